#include "SoubUtility.h"

#include "Verze.h"

#include <QDate>
#include <QDateTime>
#include <QtEndian>
#include <limits>

TSouboroveInfo *SouboroveInfo = nullptr;

namespace {

// The fixed information (VS_FIXEDFILEINFO): 13 fields of 32 bits.
constexpr quint32 DelkaFixInfo = 52;
enum : int {
    dwFileVersionMS = 2,
    dwFileVersionLS = 3,
    dwProductVersionMS = 4,
    dwProductVersionLS = 5,
    dwFileFlagsMask = 6,
    dwFileFlags = 7,
    dwFileOS = 8
};

quint32 PoleFixInfo(const uchar *FixInfo, int Index)
{
    return qFromLittleEndian<quint32>(FixInfo + 4 * Index);
}

// The four 16-bit parts of a version, each in decimal.
QString CastiVerze(quint32 MS, quint32 LS, int Casti)
{
    const quint16 casti[4] = {quint16(MS >> 16), quint16(MS), quint16(LS >> 16), quint16(LS)};
    QStringList text;
    for (int i = 0; i < Casti; ++i)
        text << QString::number(casti[i]);
    return text.join(u'.');
}

struct TPriznak {
    quint32 Bit;
    const char16_t *Text;
};
constexpr TPriznak Priznaky[] = {
    {0x02, u"Zkušební"},  // VS_FF_PRERELEASE
    {0x08, u"Soukromé"},  // VS_FF_PRIVATEBUILD
    {0x20, u"Speciální"}, // VS_FF_SPECIALBUILD
    {0x01, u"Debug"},     // VS_FF_DEBUG
};

struct TSystem {
    quint32 Hodnota;
    const char16_t *Text;
};
constexpr TSystem Systemy[] = {
    {0x00000001, u"Vytvořeno pro 16-bit Windows"},
    {0x00000002, u"Vytvořeno pro 16-bit PM"},
    {0x00000003, u"Vytvořeno pro 32-bit PM"},
    {0x00000004, u"Vytvořeno pro 32-bit Windows"},
    {0x00010000, u"Vytvořeno pro MS-DOS"},
    {0x00010001, u"Vytvořeno pro 16-bit Windows, běžící na MS-DOS"},
    {0x00010004, u"Vytvořeno pro Win32 API, běžící na MS-DOS"},
    {0x00020000, u"Vytvořeno pro 16-bit OS/2"},
    {0x00020002, u"Vytvořeno pro 16-bit PM, běžící na 16-bit OS/2"},
    {0x00030000, u"Vytvořeno pro 32-bit OS/2"},
    {0x00030003, u"Vytvořeno pro 32-bit PM, běžící na 32-bit OS/2"},
    {0x00040000, u"Vytvořeno pro Windows NT"},
    {0x00040004, u"Vytvořeno pro Win32 API, běžící na Windows/NT"},
};

// Milliseconds since 1970 UTC as a local TDateTime. Before 30 December 1899
// the time of day counts back from the day, as TDateTime has it.
TDateTime MistniCas(qint64 Milisekundy)
{
    const QDateTime cas = QDateTime::fromMSecsSinceEpoch(Milisekundy, Qt::LocalTime);
    const qint64 dny = QDate(1899, 12, 30).daysTo(cas.date());
    const double denniCas = cas.time().msecsSinceStartOfDay() / 86400000.0;
    return dny >= 0 ? double(dny) + denniCas : double(dny) - denniCas;
}

} // namespace

// ---- TVerInfoZdroj ----

TVerInfoZdroj::TVerInfoZdroj(const QString &NazevSouboru) : FNazevSouboru(NazevSouboru)
{
    const quint32 velikost = ZjistiVelikostVerze(FNazevSouboru, &Ukazatel);
    Velikost = velikost > quint32(std::numeric_limits<qint32>::max()) ? 0 : qint32(velikost);
    if (Velikost <= 0)
        throw ENeniVerInfo(QStringLiteral("Informace o verzi nejsou dostupné."));
    Zasobnik = QByteArray(Velikost, '\0');
    if (!NactiVerzi(FNazevSouboru, Ukazatel, quint32(Velikost), Zasobnik.data()))
        throw EVerInfo(QStringLiteral("Nelze získat informace o verzi."));

    const void *hodnota = nullptr;
    quint32 delka = 0;
    // A table without one whole entry is no table: its first entry would lie
    // outside it.
    if (!DotazNaVerzi(Zasobnik.constData(), quint32(Velikost), QStringLiteral("\\VarFileInfo\\Translation"), &hodnota,
                      &delka) ||
        delka < 4)
        throw EVerInfo(QStringLiteral("Neexistuje jazyková informace."));
    TabulkaJazyku = static_cast<const uchar *>(hodnota);

    if (!DotazNaVerzi(Zasobnik.constData(), quint32(Velikost), QStringLiteral("\\"), &hodnota, &delka) ||
        delka < DelkaFixInfo)
        throw ENeniFixVerInfo(QStringLiteral("Neexistuje informace o souboru."));
    FixInfoZasobnik = static_cast<const uchar *>(hodnota);

    const quint32 priznaky = Pole(dwFileFlagsMask) & Pole(dwFileFlags);
    for (const TPriznak &p : Priznaky)
        if (priznaky & p.Bit)
            FPriznakySouboru << QString::fromUtf16(p.Text);
}

quint32 TVerInfoZdroj::Pole(int Index) const
{
    return PoleFixInfo(FixInfoZasobnik, Index);
}

QString TVerInfoZdroj::CestaKlice(QStringView Klic) const
{
    const quint32 preklad = qFromLittleEndian<quint32>(TabulkaJazyku);
    const auto hex4 = [](quint32 Cislo) {
        return QString::number(Cislo & 0xFFFF, 16).rightJustified(4, u'0').toUpper();
    };
    QString cesta = QStringLiteral("\\StringFileInfo\\") + hex4(preklad) + hex4(preklad >> 16) + u'\\';
    cesta += Klic;
    cesta += QChar(0);
    return cesta;
}

QString TVerInfoZdroj::ZiskejUziDefRet(const QString &Klic) const
{
    const void *hodnota = nullptr;
    quint32 delka = 0;
    if (!DotazNaVerzi(Zasobnik.constData(), quint32(Velikost), CestaKlice(Klic), &hodnota, &delka))
        return {};
    QString text(delka, Qt::Uninitialized);
    const auto *znaky = static_cast<const uchar *>(hodnota);
    for (quint32 i = 0; i < delka; ++i)
        text[i] = QChar(qFromLittleEndian<quint16>(znaky + 2 * i));
    return text;
}

QString TVerInfoZdroj::ZiskejPreDefRet(TVerInfoTyp DruhInformace) const
{
    if (DruhInformace >= std::size(VerInfoKlice))
        return {};
    return ZiskejUziDefRet(VerInfoKlice[DruhInformace].toString());
}

QString TVerInfoZdroj::VerzeSouboru() const
{
    return CastiVerze(Pole(dwFileVersionMS), Pole(dwFileVersionLS), 4);
}

QString TVerInfoZdroj::VerzeProduktu() const
{
    return CastiVerze(Pole(dwProductVersionMS), Pole(dwProductVersionLS), 4);
}

QString TVerInfoZdroj::SouborOS() const
{
    const quint32 system = Pole(dwFileOS);
    for (const TSystem &s : Systemy)
        if (s.Hodnota == system)
            return QString::fromUtf16(s.Text);
    return QStringLiteral("Neznámé");
}

// ---- TSouboroveInfo ----

QString TSouboroveInfo::SouborovaInformace(const QString &SouborAplikace, TVerInfoTyp SouboroveInfo) const
{
    return TVerInfoZdroj(SouborAplikace).ZiskejPreDefRet(SouboroveInfo);
}

QString TSouboroveInfo::VerzeSouboru(const QString &SouborAplikace) const
{
    return TVerInfoZdroj(SouborAplikace).VerzeSouboru();
}

QString TSouboroveInfo::VerzeProduktu(const QString &SouborAplikace) const
{
    return TVerInfoZdroj(SouborAplikace).VerzeProduktu();
}

QString TSouboroveInfo::VyzadovanyOS(const QString &SouborAplikace) const
{
    return TVerInfoZdroj(SouborAplikace).SouborOS();
}

QString TSouboroveInfo::PriznakyKompilace(const QString &SouborAplikace) const
{
    return TVerInfoZdroj(SouborAplikace).PriznakySouboru().join(QStringLiteral(", "));
}

QString TSouboroveInfo::Verze(const QString &SouborAplikace, TVerTyp TypCislaVerze) const
{
    static constexpr int Casti[] = {4, 1, 2, 3}; // by TVerTyp
    if (TypCislaVerze >= std::size(Casti))
        return {};
    try {
        quint32 ukazatel = 0;
        const quint32 velikost = ZjistiVelikostVerze(SouborAplikace, &ukazatel);
        if (velikost == 0)
            return {};
        QByteArray zasobnik(qsizetype(velikost), '\0');
        if (!NactiVerzi(SouborAplikace, ukazatel, velikost, zasobnik.data()))
            return {};
        const void *hodnota = nullptr;
        quint32 delka = 0;
        // Shorter fixed information would leave the versions outside it.
        if (!DotazNaVerzi(zasobnik.constData(), velikost, QStringLiteral("\\"), &hodnota, &delka) ||
            delka < DelkaFixInfo)
            return {};
        const auto *fix = static_cast<const uchar *>(hodnota);
        return CastiVerze(PoleFixInfo(fix, dwProductVersionMS), PoleFixInfo(fix, dwProductVersionLS),
                          Casti[TypCislaVerze]);
    } catch (...) {
        return {}; // only memory can run out here, and the caller is told nothing either way
    }
}

TDateTime TSouboroveInfo::CasSouboru(const QString &SouborAplikace, TCasSouboru TypCasuSouboru)
{
    const auto zaznam = NajdiZaznam(SouborAplikace);
    if (!zaznam || zaznam->bSlozka) {
        FZakladniDatum = 2.75;
        return FZakladniDatum;
    }
    return TypCasuSouboru <= csNaposledyOtevreno ? MistniCas(zaznam->Casy[TypCasuSouboru]) : 0;
}

TDateTime TSouboroveInfo::CasSlozky(const QString &SlozkaAplikace, TCasSouboru TypCasuSlozky) const
{
    const auto zaznam = NajdiZaznam(SlozkaAplikace);
    if (!zaznam || TypCasuSlozky > csNaposledyOtevreno)
        return 0;
    return MistniCas(zaznam->Casy[TypCasuSlozky]);
}

qint32 TSouboroveInfo::VelikostSouboru(const QString &NazevSouboru) const
{
    const auto zaznam = NajdiZaznam(NazevSouboru);
    if (!zaznam)
        return -1;
    return qint32(std::min<qint64>(zaznam->Velikost, std::numeric_limits<qint32>::max()));
}

QString TSouboroveInfo::TypSouboru(const QString &NazevSouboru) const
{
    const QString nazev = NazevTypu(NazevSouboru);
    return nazev.isEmpty() ? QStringLiteral("?") : nazev.left(80);
}
