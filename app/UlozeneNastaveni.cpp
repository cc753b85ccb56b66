#include "UlozeneNastaveni.h"

#include "JazykyXML.h"
#include "Memo.h"
#include "Registr.h"
#include "UlozenaTabulka.h"
#include "fHlavni.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <optional>

TPismoEditoru VychoziPismoEditoru()
{
    TPismoEditoru pismo;
    pismo.Pismo = QFont(QStringLiteral("Tahoma"));
    pismo.Pismo.setStyleHint(QFont::SansSerif);
    pismo.Pismo.setPixelSize(11);
    return pismo;
}

int PixeluNaPalec()
{
    const QScreen *obrazovka = QGuiApplication::primaryScreen();
    const int dpi = obrazovka ? qRound(obrazovka->logicalDotsPerInchY()) : 0;
    return dpi > 0 ? dpi : 96;
}

int VyskaPisma(const QFont &Pismo)
{
    if (Pismo.pixelSize() > 0)
        return -Pismo.pixelSize();
    return -qRound(Pismo.pointSizeF() * PixeluNaPalec() / 72.0);
}

int VelikostPisma(const QFont &Pismo)
{
    return MulDiv(-VyskaPisma(Pismo), 72, PixeluNaPalec());
}

QRect OmezUmisteni(const TUmisteniOkna &Ulozene, const QList<QRect> &Plochy, const QSize &Minimum)
{
    if (Plochy.isEmpty())
        return QRect(QPoint(0, 0), Minimum);
    // In 64 bits: a stored edge plus a stored size may pass the range of int.
    const qint64 vlevo = Ulozene.Vlevo, nahore = Ulozene.Nahore;
    const qint64 sirka = std::max<qint64>(Ulozene.Sirka, Minimum.width());
    const qint64 vyska = std::max<qint64>(Ulozene.Vyska, Minimum.height());
    // The screen it overlaps most; of those it overlaps none, the nearest;
    // the primary screen where they tie.
    const auto presah = [](qint64 Od1, qint64 Delka1, qint64 Od2, qint64 Delka2) {
        return std::min(Od1 + Delka1, Od2 + Delka2) - std::max(Od1, Od2);
    };
    QRect plocha = Plochy.front();
    qint64 nejvetsiPrekryv = -1;
    double nejmensiVzdalenost = -1;
    for (const QRect &p : Plochy) {
        const qint64 x = presah(vlevo, sirka, p.left(), p.width());
        const qint64 y = presah(nahore, vyska, p.top(), p.height());
        if (x > 0 && y > 0) {
            if (x * y > nejvetsiPrekryv) {
                nejvetsiPrekryv = x * y;
                plocha = p;
            }
        } else if (nejvetsiPrekryv < 0) {
            // The gap on each axis, up to 2^32 each: their squares are
            // summed as doubles, which cannot overflow.
            const double dx = double(std::max<qint64>(0, -x)), dy = double(std::max<qint64>(0, -y));
            const double vzdalenost = dx * dx + dy * dy;
            if (nejmensiVzdalenost < 0 || vzdalenost < nejmensiVzdalenost) {
                nejmensiVzdalenost = vzdalenost;
                plocha = p;
            }
        }
    }
    const int w = int(std::max<qint64>(Minimum.width(), std::min<qint64>(sirka, plocha.width())));
    const int h = int(std::max<qint64>(Minimum.height(), std::min<qint64>(vyska, plocha.height())));
    const auto dovnitr = [](qint64 Od, int Delka, int PlochaOd, int PlochaDelka) {
        return int(std::max<qint64>(PlochaOd, std::min<qint64>(Od, qint64(PlochaOd) + PlochaDelka - Delka)));
    };
    return QRect(dovnitr(vlevo, w, plocha.left(), plocha.width()), dovnitr(nahore, h, plocha.top(), plocha.height()), w,
                 h);
}

QList<QRect> PlochyObrazovek()
{
    QList<QRect> plochy;
    const QScreen *primarni = QGuiApplication::primaryScreen();
    if (primarni)
        plochy << primarni->availableGeometry();
    for (const QScreen *obrazovka : QGuiApplication::screens())
        if (obrazovka != primarni)
            plochy << obrazovka->availableGeometry();
    return plochy;
}

namespace {

// The window's outer bounds from what the store holds, bounded to the
// screens; the stored values stay with the window for its close.
void UmistiOkno(THlavniForm &Okno, std::optional<int> Vlevo, std::optional<int> Nahore, std::optional<int> Vyska,
                std::optional<int> Sirka)
{
    TUmisteniOkna ulozene;
    ulozene.Vlevo = Vlevo.value_or(ulozene.Vlevo);
    ulozene.Nahore = Nahore.value_or(ulozene.Nahore);
    ulozene.Vyska = Vyska.value_or(ulozene.Vyska);
    ulozene.Sirka = Sirka.value_or(ulozene.Sirka);
    Okno.NastavVnejsiGeometrii(OmezUmisteni(ulozene, PlochyObrazovek(), NejmensiVnejsi));
    Okno.NastavUlozeneUmisteni(ulozene);
}

std::optional<int> CisloPokudJe(const TRegistr &Registr, const QString &Jmeno)
{
    if (!Registr.ExistujeHodnota(Jmeno))
        return std::nullopt;
    return Registr.CtiCislo(Jmeno);
}

} // namespace

void NactiNastaveni(THlavniForm &Okno)
{
    TRegistr registr;
    registr.NastavKoren(HKEY_CURRENT_USER);
    // A missing key is no error: every value of it counts as absent.
    if (registr.OtevriKlic(KlicLumarin, false)) {
        if (registr.ExistujeHodnota(QStringLiteral("Jazyk")))
            JazykXML->NastavJazyk(registr.CtiRetezec(QStringLiteral("Jazyk")));
        if (registr.ExistujeHodnota(QStringLiteral("Maximalni")) &&
            registr.CtiCislo(QStringLiteral("Maximalni")) != 0) {
            Okno.setWindowState(Okno.windowState() | Qt::WindowMaximized);
        } else {
            const auto vlevo = CisloPokudJe(registr, QStringLiteral("Vlevo"));
            const auto nahore = CisloPokudJe(registr, QStringLiteral("Nahore"));
            const auto vyska = CisloPokudJe(registr, QStringLiteral("Vyska"));
            const auto sirka = CisloPokudJe(registr, QStringLiteral("Sirka"));
            UmistiOkno(Okno, vlevo, nahore, vyska, sirka);
        }
    }

    if (registr.ExistujeKlic(KlicPismo)) {
        registr.OtevriKlic(KlicPismo, false);
        // Every integer must be there; a missing text reads as empty.
        TPismoEditoru pismo = Okno.PismoEditoru();
        pismo.Sada = registr.CtiCislo(QStringLiteral("Sada"));
        pismo.Barva = quint32(registr.CtiCislo(QStringLiteral("Barva")));
        const int vyska = registr.CtiCislo(QStringLiteral("Vyska"));
        if (vyska != 0)
            pismo.Pismo.setPixelSize(std::abs(vyska));
        const QString nazev = registr.CtiRetezec(QStringLiteral("Nazev"));
        if (!nazev.isEmpty())
            pismo.Pismo.setFamily(nazev);
        const QString proporce = registr.CtiRetezec(QStringLiteral("Proporce"));
        if (proporce == QLatin1String("Zakladni"))
            pismo.Proporce = prZakladni;
        if (proporce == QLatin1String("Fixni"))
            pismo.Proporce = prFixni;
        if (proporce == QLatin1String("Variabilni"))
            pismo.Proporce = prVariabilni;
        // The size in points supersedes the height.
        const int velikost = registr.CtiCislo(QStringLiteral("Velikost"));
        const int vyskaZVelikosti = MulDiv(velikost, PixeluNaPalec(), 72);
        if (vyskaZVelikosti != 0)
            pismo.Pismo.setPixelSize(std::abs(vyskaZVelikosti));
        // Styles are only ever added.
        if (registr.CtiCislo(QStringLiteral("Tucne")) != 0)
            pismo.Pismo.setBold(true);
        if (registr.CtiCislo(QStringLiteral("Kurziva")) != 0)
            pismo.Pismo.setItalic(true);
        if (registr.CtiCislo(QStringLiteral("Podtrzene")) != 0)
            pismo.Pismo.setUnderline(true);
        if (registr.CtiCislo(QStringLiteral("Preskrtnute")) != 0)
            pismo.Pismo.setStrikeOut(true);
        Okno.NastavPismoEditoru(pismo);
        registr.ZavriKlic();
    }

    // The pair table as the program converts with it (a blank stored list is
    // an empty one); the rest of the reading ended before it on a failure.
    PouzijTabulku(CtiTabulku());
}

void UlozNastaveni(THlavniForm &Okno)
{
    TRegistr registr;
    registr.NastavKoren(HKEY_CURRENT_USER);
    // A key that cannot be opened leaves the first write to tell why.
    registr.OtevriKlic(KlicLumarin, true);
    registr.ZapisRetezec(QStringLiteral("Jazyk"), JazykXML->Jazyk());
    // A maximised window keeps the placement stored before; a minimised one
    // counts as not maximised and its restored bounds are written.
    if (Okno.windowState() & Qt::WindowMaximized && !(Okno.windowState() & Qt::WindowMinimized)) {
        registr.ZapisCislo(QStringLiteral("Maximalni"), 1);
    } else {
        registr.ZapisCislo(QStringLiteral("Maximalni"), 0);
        const TUmisteniOkna umisteni = Okno.UmisteniKUlozeni();
        registr.ZapisCislo(QStringLiteral("Vlevo"), umisteni.Vlevo);
        registr.ZapisCislo(QStringLiteral("Nahore"), umisteni.Nahore);
        registr.ZapisCislo(QStringLiteral("Vyska"), umisteni.Vyska);
        registr.ZapisCislo(QStringLiteral("Sirka"), umisteni.Sirka);
    }

    registr.OtevriKlic(KlicPismo, true);
    const TPismoEditoru pismo = Okno.PismoEditoru();
    static const char *const proporce[] = {"Zakladni", "Variabilni", "Fixni"};
    registr.ZapisCislo(QStringLiteral("Sada"), pismo.Sada);
    registr.ZapisCislo(QStringLiteral("Barva"), qint32(pismo.Barva));
    registr.ZapisCislo(QStringLiteral("Vyska"), VyskaPisma(pismo.Pismo));
    registr.ZapisRetezec(QStringLiteral("Nazev"), pismo.Pismo.family());
    registr.ZapisRetezec(QStringLiteral("Proporce"), QLatin1String(proporce[pismo.Proporce]));
    registr.ZapisCislo(QStringLiteral("Velikost"), VelikostPisma(pismo.Pismo));
    registr.ZapisCislo(QStringLiteral("Tucne"), pismo.Pismo.bold() ? 1 : 0);
    registr.ZapisCislo(QStringLiteral("Kurziva"), pismo.Pismo.italic() ? 1 : 0);
    registr.ZapisCislo(QStringLiteral("Podtrzene"), pismo.Pismo.underline() ? 1 : 0);
    registr.ZapisCislo(QStringLiteral("Preskrtnute"), pismo.Pismo.strikeOut() ? 1 : 0);
    registr.ZavriKlic();
}
