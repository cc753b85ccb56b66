#include "Konverze.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>

namespace {

// Below this many code units, building the lookup table costs more than it saves.
constexpr qsizetype MezTabulky = 2048;

// Position of c in Hledane, or -1.
inline qsizetype NajdiZnak(char16_t c, const char16_t *hledane, qsizetype pocet)
{
    for (qsizetype j = 0; j < pocet; ++j)
        if (hledane[j] == c)
            return j;
    return -1;
}

// Cil[i] = Mapa[Zdroj[i]] for Od <= i < Do. The three never overlap, which
// the compiler is told: the look-up lives in the table's own allocation, and
// without the promise every write could change it.
void Preloz(char16_t *__restrict Cil, const char16_t *__restrict Zdroj, const char16_t *__restrict Mapa, qsizetype Od,
            qsizetype Do)
{
    for (qsizetype i = Od; i < Do; ++i)
        Cil[i] = Mapa[Zdroj[i]];
}

} // namespace

TTabulkaNahrad::TTabulkaNahrad(const QString &Hledane, const QString &Nahrady) : FMapa(new char16_t[0x10000])
{
    // Filled from the end of Hledane, so that the first occurrence of a
    // character is the one that stays.
    char16_t *m = FMapa.get();
    std::iota(m, m + 0x10000, char16_t(0));
    const char16_t *hledane = reinterpret_cast<const char16_t *>(Hledane.constData());
    const char16_t *nahrady = reinterpret_cast<const char16_t *>(Nahrady.constData());
    for (qsizetype j = Hledane.size() - 1; j >= 0; --j)
        m[hledane[j]] = j < Nahrady.size() ? nahrady[j] : hledane[j];
    for (qsizetype j = 0; j < Hledane.size(); ++j) {
        const char16_t u = hledane[j];
        if (m[u] == u)
            continue;
        bPoloviny = bPoloviny || QChar::isSurrogate(u) || QChar::isSurrogate(m[u]);
        bAscii = bAscii || u < 0x80;
    }
}

QString NahradZnakyPrimo(const QString &Text, const QString &Hledane, const QString &Nahrady)
{
    const char16_t *hledane = reinterpret_cast<const char16_t *>(Hledane.constData());
    const char16_t *nahrady = reinterpret_cast<const char16_t *>(Nahrady.constData());
    const qsizetype pocetHledanych = Hledane.size();
    const qsizetype pocetNahrad = Nahrady.size();

    QString vysledek = Text; // shared until the first replacement
    char16_t *data = nullptr;
    const char16_t *zdroj = reinterpret_cast<const char16_t *>(Text.constData());
    for (qsizetype i = 0, n = Text.size(); i < n; ++i) {
        const char16_t c = zdroj[i];
        const qsizetype j = NajdiZnak(c, hledane, pocetHledanych);
        if (j < 0 || j >= pocetNahrad || nahrady[j] == c)
            continue;
        if (!data)
            data = reinterpret_cast<char16_t *>(vysledek.data()); // the one copy
        data[i] = nahrady[j];
    }
    return vysledek;
}

QString NahradZnaky(const QString &Text, const QString &Hledane, const QString &Nahrady)
{
    const qsizetype n = Text.size();
    if (n < MezTabulky || Hledane.isEmpty())
        return NahradZnakyPrimo(Text, Hledane, Nahrady);

    const TTabulkaNahrad tabulka(Hledane, Nahrady);
    const char16_t *t = tabulka.Data();

    const char16_t *zdroj = reinterpret_cast<const char16_t *>(Text.constData());
    qsizetype prvni = 0;
    while (prvni < n && t[zdroj[prvni]] == zdroj[prvni])
        ++prvni;
    if (prvni == n)
        return Text;

    QString vysledek(n, Qt::Uninitialized);
    char16_t *cil = reinterpret_cast<char16_t *>(vysledek.data());
    std::memcpy(cil, zdroj, size_t(prvni) * sizeof(char16_t));
    Preloz(cil, zdroj, t, prvni, n);
    return vysledek;
}

void VynechPary(QString &Hledane, QString &Nahrady, char16_t Od, char16_t Do)
{
    for (qsizetype j = Hledane.size() - 1; j >= 0; --j) {
        const char16_t c = Hledane.at(j).unicode();
        if (c < Od || c > Do)
            continue;
        Hledane.remove(j, 1);
        if (j < Nahrady.size())
            Nahrady.remove(j, 1);
    }
}

bool MeniPoloviny(const QString &Hledane, const QString &Nahrady)
{
    return TTabulkaNahrad(Hledane, Nahrady).MeniPoloviny();
}

bool MeniOsamelePoloviny(QStringView Puvodni, QStringView Novy, char16_t Od, char16_t Do, char16_t PredPuvodni,
                         char16_t PredNovy)
{
    const char16_t *p = Puvodni.utf16();
    const char16_t *n = Novy.utf16();
    const qsizetype delka = std::min(Puvodni.size(), Novy.size());
    // A low half is lone unless a high half stands right before it; a
    // conversion changes that only at a changed code unit or right after one.
    const auto osamela = [&](const char16_t *t, char16_t Pred, qsizetype i) {
        return t[i] >= Od && t[i] <= Do && !QChar::isHighSurrogate(i > 0 ? t[i - 1] : Pred);
    };
    bool bZmenaPred = PredPuvodni != PredNovy;
    for (qsizetype i = 0; i < delka; ++i) {
        const bool bZmena = p[i] != n[i];
        if ((bZmena || bZmenaPred) && osamela(p, PredPuvodni, i) != osamela(n, PredNovy, i))
            return true;
        bZmenaPred = bZmena;
    }
    return false;
}
