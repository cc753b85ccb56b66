#include "TextovySoubor.h"

#include "Chyba.h"
#include "KodovaStranka.h"
#include "Pamet.h"
#include "Soubor.h"

#include <QHash>
#include <QtAlgorithms>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace {

// ---- UTF-8 or windows-1250 ----
//
// A file without a mark may be either: windows-1250 bytes form valid UTF-8
// more often than one would think ("PÍŠE" is 50 CD 8A 45, which UTF-8 reads as
// "P", U+034A, "E"). So the UTF-8 reading is judged by what it means. Its
// characters of more than one byte (M) are counted, and of them those that
// real text does not hold (X):
//   - a C1 control, U+0080..U+009F;
//   - a code point of two bytes (U+00A0..U+07FF) that Unicode has not
//     assigned, as windows-1250's capitals before "»", "Ś", "Ť" and the like
//     give ("ß»" is U+07FB). Unicode has added nothing there for years, so the
//     toolkit's tables hold those blocks as they stand. A code point of three
//     or four bytes that the tables do not know is never counted: all but a
//     handful of them lie in blocks that are otherwise assigned, where every
//     new version of Unicode adds characters (U+2FFC, U+A7CB, U+0CF3 and
//     U+1C89 are newer than the toolkit's tables), and such a character is far
//     more likely newer text than windows-1250 misread; the misreadings that
//     give one ("ášť" is U+169D) are no words of the languages it writes;
//   - a combining mark that the letter before it cannot take: a mark of a
//     script other than that letter's (a Syriac mark after "V"), or a mark of
//     no script of its own on a bare ASCII letter with which it does not
//     compose (NFC makes "U" + U+030A one "Ů", but nothing of "P" + U+034A).
//     Marks on a letter that is already not ASCII, marks after anything but a
//     letter and variation selectors are never counted;
//   - a letter whose script differs from the letters on both sides of it in
//     the same word (a Hangul syllable inside "p...ala"); the Chinese,
//     Japanese and Korean scripts count as one here, as they share words;
//   - a letter of a script other than Latin, Greek and Cyrillic right beside
//     a Latin letter ("p" and a Hangul syllable: "píšť");
//   - a rare letter of Latin Extended-B (U+0200..U+0217, U+021C..U+024F).
// With I bytes that are no UTF-8 at all, the file is read as UTF-8 when
//   I == 0 and (X == 0, or 2X < M, or the windows-1250 reading holds a C1
//            control, i.e. one of the bytes 81 83 88 90 98 that windows-1250
//            leaves undefined, so is no ordinary text either);
//   I > 0  and 2(I + X) < M (clearly UTF-8 with a few damaged bytes, which
//            are kept as stand-ins);
// otherwise as windows-1250. Either reading keeps every byte.

// The category and script of every code point of the BMP, looked up once: a
// large file has millions of characters beyond ASCII to judge.
class TVlastnosti {
public:
    static const TVlastnosti &Tabulka()
    {
        static const std::unique_ptr<const TVlastnosti> tabulka(new TVlastnosti);
        return *tabulka;
    }

    QChar::Category Kategorie(char32_t u) const
    {
        return u < 0x10000 ? QChar::Category(FKategorie[u]) : QChar::category(u);
    }
    QChar::Script Pismo(char32_t u) const { return u < 0x10000 ? QChar::Script(FPismo[u]) : QChar::script(u); }
    bool JePismeno(char32_t u) const { return JePismeno(Kategorie(u)); }

    static bool JePismeno(QChar::Category Kategorie)
    {
        return Kategorie >= QChar::Letter_Uppercase && Kategorie <= QChar::Letter_Other;
    }
    static bool JeZnamenko(QChar::Category Kategorie)
    {
        return Kategorie >= QChar::Mark_NonSpacing && Kategorie <= QChar::Mark_Enclosing;
    }

private:
    TVlastnosti()
    {
        for (char32_t u = 0; u < 0x10000; ++u) {
            FKategorie[u] = quint8(QChar::category(u));
            FPismo[u] = quint8(QChar::script(u));
        }
    }
    static_assert(QChar::ScriptCount <= 0x100 && QChar::Mark_NonSpacing == 0 && QChar::Mark_Enclosing == 2);

    std::array<quint8, 0x10000> FKategorie;
    std::array<quint8, 0x10000> FPismo;
};

bool JeVariacniSelektor(char32_t u)
{
    return (u >= 0xFE00 && u <= 0xFE0F) || (u >= 0xE0100 && u <= 0xE01EF) || (u >= 0x180B && u <= 0x180F);
}

// Scripts that share words count as one.
int Rodina(QChar::Script Pismo)
{
    switch (Pismo) {
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Bopomofo:
    case QChar::Script_Hangul: return QChar::Script_Han;
    default: return Pismo;
    }
}

// Scripts that real text does not write inside a Latin word, as windows-1250
// letters read as UTF-8 give them ("píšť" is "p" and a Hangul syllable).
// Greek and Cyrillic are near enough: "5 μm", "Фpанк".
bool JeVzdalene(int Rodina)
{
    return Rodina > QChar::Script_Common && Rodina != QChar::Script_Latin && Rodina != QChar::Script_Greek &&
        Rodina != QChar::Script_Cyrillic;
}

// Latin letters that hardly any text uses, and that windows-1250's "Č" and
// "É" before "Š", "ť", "…" and the like make of UTF-8 ("ČŠ" is U+020A); the
// Romanian ș and ț (U+0218..U+021B) are not among them.
bool JeVzacnaLatinka(char32_t u)
{
    return (u >= 0x200 && u <= 0x217) || (u >= 0x21C && u <= 0x24F);
}

bool MaVlastniPismo(QChar::Script Pismo)
{
    return Pismo > QChar::Script_Common;
}

// Whether NFC composes an ASCII letter with a combining mark, computed once
// for each pair that occurs.
class TSkladani {
public:
    bool Slozi(char16_t Pismeno, char32_t Znamenko)
    {
        if (Znamenko >= 0x300 && Znamenko < 0x370) {
            qint8 &v = Blok[Pismeno * 0x70 + (Znamenko - 0x300)];
            if (!v)
                v = Spocitej(Pismeno, Znamenko) ? 1 : -1;
            return v > 0;
        }
        const quint32 klic = quint32(Znamenko) << 7 | Pismeno;
        auto it = Ostatni.constFind(klic);
        if (it == Ostatni.cend())
            it = Ostatni.insert(klic, Spocitej(Pismeno, Znamenko));
        return *it;
    }

private:
    static bool Spocitej(char16_t Pismeno, char32_t Znamenko)
    {
        QString dvojice{QChar(Pismeno)};
        dvojice += QString::fromUcs4(&Znamenko, 1);
        return dvojice.normalized(QString::NormalizationForm_C).size() == 1;
    }

    std::array<qint8, 0x80 * 0x70> Blok{}; // the combining diacritical marks
    QHash<quint32, bool> Ostatni;
};

// The code point that starts at t[i] (i < n), i moved past it; a lone
// surrogate is returned as it is.
char32_t ZnakNa(const char16_t *t, qsizetype &i, qsizetype n)
{
    const char16_t c = t[i++];
    if (QChar::isHighSurrogate(c) && i < n && QChar::isLowSurrogate(t[i]))
        return QChar::surrogateToUcs4(c, t[i++]);
    return c;
}

// Counts M and X of the UTF-8 reading, given its characters beyond ASCII one
// at a time, in order; stand-ins are neither. Positions are any measure of the
// text that grows by each character's length (code units of the decoded text,
// or bytes of the file), so that the file may be read as a whole or in pieces.
// A letter that is judged by the character after it waits for that character:
// the next one that Znak is given, or the ASCII one that follows where the
// letter ends (Ceka, Ascii); at the end of the text nothing follows.
class TRozborZnaku {
public:
    TRozborZnaku() : v(TVlastnosti::Tabulka()) { }

    // The character u takes Zacatek..Konec; Pred is the code unit (an ASCII
    // one, unless u continues a cluster) just before Zacatek, 0 at the start.
    void Znak(char32_t u, qint64 Zacatek, qint64 Konec, char32_t Pred)
    {
        const bool bSurogat = QChar::isSurrogate(u);
        if (FCeka != ckNic) {
            // Marks after the letter are passed over; anything else follows it.
            if (!bSurogat && !JeSamostatny(u))
                FKonecCekani = Konec;
            else
                Vyres(u);
        }
        if (bSurogat) {
            shluk = {0, false, Konec};
            return;
        }
        ++M;
        if (shluk.Konec != Zacatek)
            shluk = {Pred, false, Zacatek};
        const QChar::Category kategorie = v.Kategorie(u);
        if (TVlastnosti::JeZnamenko(kategorie) && !JeVariacniSelektor(u)) {
            const char32_t zaklad = shluk.Zaklad;
            shluk.Konec = Konec;
            if (!v.JePismeno(zaklad))
                return;
            const QChar::Script pismo = v.Pismo(u);
            if (MaVlastniPismo(pismo))
                X += Rodina(pismo) != Rodina(v.Pismo(zaklad));
            else if (zaklad < 0x80 && !shluk.bSlozeno)
                X += !(shluk.bSlozeno = skladani.Slozi(char16_t(zaklad), u));
            return;
        }
        const char32_t pred = shluk.Zaklad;
        shluk = {u, false, Konec};
        if (u <= 0x9F) {
            ++X;
        } else if (kategorie == QChar::Other_NotAssigned) {
            X += u < 0x800;
        } else if (JeVzacnaLatinka(u)) {
            ++X;
        } else if (TVlastnosti::JePismeno(kategorie) && JeVzdalene(Rodina(v.Pismo(u)))) {
            if (Latinka(pred))
                ++X;
            else
                Cekej(ckLatinka, 0, Konec);
        } else if (TVlastnosti::JePismeno(kategorie) && v.JePismeno(pred)) {
            const int rodina = Rodina(v.Pismo(u));
            const QChar::Script pismoPred = v.Pismo(pred);
            if (rodina > QChar::Script_Common && MaVlastniPismo(pismoPred) && Rodina(pismoPred) != rodina)
                Cekej(ckJinePismo, rodina, Konec);
        }
    }

    // Whether a letter waits for the character at Pozice.
    bool Ceka(qint64 Pozice) const { return FCeka != ckNic && FKonecCekani == Pozice; }
    // The ASCII character that follows the waiting letter (and its marks).
    void Ascii(char32_t c) { Vyres(c); }

    qsizetype M = 0; // characters of more than one byte
    qsizetype X = 0; // of them those that real text does not hold

private:
    enum TCekani { ckNic, ckLatinka, ckJinePismo };

    // What the look past a letter's marks stops at: ASCII, anything but a
    // combining mark, or a variation selector.
    bool JeSamostatny(char32_t u) const
    {
        return u < 0x80 || !TVlastnosti::JeZnamenko(v.Kategorie(u)) || JeVariacniSelektor(u);
    }
    bool Latinka(char32_t c) const { return v.JePismeno(c) && v.Pismo(c) == QChar::Script_Latin; }

    void Cekej(TCekani Co, int Rodina_, qint64 Konec)
    {
        FCeka = Co;
        FRodina = Rodina_;
        FKonecCekani = Konec;
    }

    // Za is the character after the waiting letter: a letter of a distant
    // script counts beside a Latin one, a letter between two of other scripts
    // counts when Za is the second.
    void Vyres(char32_t Za)
    {
        if (FCeka == ckLatinka) {
            X += Latinka(Za);
        } else if (FCeka == ckJinePismo) {
            const QChar::Script pismoZa = v.Pismo(Za);
            X += v.JePismeno(Za) && MaVlastniPismo(pismoZa) && Rodina(pismoZa) != FRodina;
        }
        FCeka = ckNic;
    }

    const TVlastnosti &v;
    TSkladani skladani;
    // The character that the marks after it sit on, kept while the scan is in
    // its cluster; Konec is where the cluster has got to.
    struct {
        char32_t Zaklad = 0;
        bool bSlozeno = false; // an ASCII letter that a mark of it has composed with
        qint64 Konec = -1;
    } shluk;
    TCekani FCeka = ckNic;
    int FRodina = 0;
    qint64 FKonecCekani = -1;
};

struct TRozbor {
    qsizetype Vicebajtove = 0;     // M
    qsizetype Nepravdepodobne = 0; // X
};

// Counts M and X of the UTF-8 reading of a whole text. Only the characters
// beyond ASCII take a look, so plain text passes at memory speed.
TRozbor Rozeber(QStringView Text)
{
    TRozborZnaku rozbor;
    const char16_t *t = Text.utf16();
    const qsizetype n = Text.size();
    for (qsizetype i = 0; i < n; ++i) {
        // Four units at a time through ASCII.
        for (quint64 ctyri; i + 4 <= n; i += 4) {
            std::memcpy(&ctyri, t + i, sizeof ctyri);
            if (ctyri & 0xFF80'FF80'FF80'FF80u)
                break;
        }
        if (i == n || t[i] < 0x80)
            continue;
        const qsizetype zacatek = i;
        const char32_t u = ZnakNa(t, i, n);
        rozbor.Znak(u, zacatek, i, zacatek > 0 ? t[zacatek - 1] : char32_t(0));
        if (i < n && t[i] < 0x80 && rozbor.Ceka(i))
            rozbor.Ascii(t[i]);
        --i;
    }
    return {rozbor.M, rozbor.X};
}

} // namespace

// The bytes that the 8-bit code page would read as a C1 control: windows-1250
// leaves 81 83 88 90 98 undefined, and no ordinary text of it holds them.
const std::array<bool, 0x100> &NedefinovaneBajty()
{
    static const std::array<bool, 0x100> nedefinovane = [] {
        std::array<bool, 0x100> n{};
        for (int b = 0x80; b < 0x100; ++b) {
            const char c = char(b);
            const QString znak = DekodujOsmibitove(QByteArrayView(&c, 1));
            n[b] = znak.size() == 1 && znak[0].unicode() >= 0x80 && znak[0].unicode() <= 0x9F;
        }
        return n;
    }();
    return nedefinovane;
}

namespace {

bool MaNedefinovanyBajt(QByteArrayView Bajty)
{
    const std::array<bool, 0x100> &nedefinovane = NedefinovaneBajty();
    const auto *b = reinterpret_cast<const uchar *>(Bajty.data());
    const qsizetype n = Bajty.size();
    for (qsizetype i = 0; i < n; ++i) {
        // Eight bytes at a time through ASCII.
        for (quint64 osm; i + 8 <= n; i += 8) {
            std::memcpy(&osm, b + i, sizeof osm);
            if (osm & 0x8080'8080'8080'8080u)
                break;
        }
        if (i < n && nedefinovane[b[i]])
            return true;
    }
    return false;
}

// The rule's last step, once X is known: I stand-ins, M characters of more
// than one byte, X of them unlikely.
bool PodleRozboru(qint64 Neplatne, qint64 Vicebajtove, qint64 Nepravdepodobne)
{
    if (Neplatne == 0)
        return Nepravdepodobne == 0 || 2 * Nepravdepodobne < Vicebajtove;
    return 2 * (Neplatne + Nepravdepodobne) < Vicebajtove;
}

// Whether a file without a mark is read as UTF-8, by the rule above, given its
// UTF-8 reading with Neplatne stand-ins and, when there are any, Vicebajtove.
bool CtiJakoUtf8(QByteArrayView Bajty, QStringView Text, qsizetype Neplatne, qsizetype Vicebajtove)
{
    if (Neplatne == 0) {
        // Plain ASCII reads the same either way.
        if (Text.size() == Bajty.size() || MaNedefinovanyBajt(Bajty))
            return true;
        const TRozbor rozbor = Rozeber(Text);
        return PodleRozboru(0, rozbor.Vicebajtove, rozbor.Nepravdepodobne);
    }
    // X only adds to I.
    if (2 * Neplatne >= Vicebajtove)
        return false;
    const TRozbor rozbor = Rozeber(Text);
    return PodleRozboru(Neplatne, rozbor.Vicebajtove, rozbor.Nepravdepodobne);
}

} // namespace

TKodovani SystemoveKodovani()
{
#ifdef Q_OS_WIN
    return koOsmibitove;
#else
    return koUtf8BezZnacky;
#endif
}

TFormat FormatKodovani(TKodovani Kodovani)
{
    switch (Kodovani) {
    case koUtf8: return {TDruhKodovani::Utf8, true, false};
    case koUtf16LE: return {TDruhKodovani::Utf16LE, true, false};
    case koUtf16BE: return {TDruhKodovani::Utf16BE, true, false};
    case koUtf8BezZnacky: return {TDruhKodovani::Utf8, false, false};
    case koOsmibitove: return {TDruhKodovani::Osmibitove, false, false};
    case koUtf16LELiche: return {TDruhKodovani::Utf16LE, true, true};
    case koUtf16BELiche: return {TDruhKodovani::Utf16BE, true, true};
    }
    return {};
}

bool ZastupujeBajty(TKodovani Kodovani)
{
    return ZastupujeBajty(FormatKodovani(Kodovani));
}

namespace {

// The bytes of a block that the decoder takes at once when the reading takes
// steps, and the bytes between two steps.
constexpr qsizetype DelkaBloku = qsizetype(1) << 20;
constexpr qsizetype BajtuNaKrok = qsizetype(8) << 20;

// The text of all of Data through Dekoder, with Krok between blocks; without
// Krok, or for a small file, as one block.
QString DekodujVse(TDekoder &Dekoder, TDruhKodovani Druh, QByteArrayView Data,
                   const std::function<void(qint64, qint64)> &Krok)
{
    const qsizetype n = Data.size();
    if (!Krok || n <= BajtuNaKrok)
        return Dekoder.Dekoduj(Data, true);
    // Room for the usual text at once (UTF-16 gives a code unit for two
    // bytes, the others at most one for each byte, more only where a lone
    // CR or LF becomes CR LF), ready for a big one.
    QString text;
    text.reserve(JeUtf16(Druh) ? n / 2 + 1 : n);
    VelkyBlok(text);
    for (qsizetype od = 0, dalsiKrok = BajtuNaKrok; od < n;) {
        const qsizetype delka = std::min(DelkaBloku, n - od);
        text += Dekoder.Dekoduj(Data.sliced(od, delka), od + delka == n);
        od += delka;
        if (od >= dalsiKrok && od < n) {
            Krok(od, n);
            dalsiKrok = od + BajtuNaKrok;
        }
    }
    return text;
}

} // namespace

TTextovySoubor DekodujText(const QByteArray &Bajty, const std::function<void(qint64, qint64)> &Krok)
{
    const QByteArrayView bajty(Bajty);
    TTextovySoubor soubor;
    soubor.Kodovani = koOsmibitove;
    const auto dekoduj = [&](TDruhKodovani Druh, QByteArrayView Data, bool bCrLf) {
        TDekoder dekoder(Druh, bCrLf);
        soubor.Text = DekodujVse(dekoder, Druh, Data, Krok);
        soubor.ZastupciBajtu = dekoder.Zastupci();
        soubor.Zlomy = dekoder.Zlomy();
        soubor.PoctyZlomu = dekoder.PoctyZlomu();
        return dekoder.LichyNaKonci();
    };
    if (const std::optional<TDruhKodovani> druh = DruhPodleZnacky(bajty)) {
        const bool bLiche = dekoduj(*druh, bajty.sliced(ZnackaDruhu(*druh).size()), true);
        switch (*druh) {
        case TDruhKodovani::Utf16LE: soubor.Kodovani = bLiche ? koUtf16LELiche : koUtf16LE; break;
        case TDruhKodovani::Utf16BE: soubor.Kodovani = bLiche ? koUtf16BELiche : koUtf16BE; break;
        default: soubor.Kodovani = koUtf8; break;
        }
    } else if (SystemoveKodovani() == koUtf8BezZnacky) {
        // Which reading it is depends on the UTF-8 reading itself; its line
        // breaks are made CR LF after.
        dekoduj(TDruhKodovani::Utf8, bajty, false);
        // Each of the passes over a big text that follow is a step of its own.
        const auto krok = [&] {
            if (Krok && bajty.size() > BajtuNaKrok)
                Krok(bajty.size() - 1, bajty.size());
        };
        krok();
        const qsizetype neplatne = soubor.ZastupciBajtu;
        if (CtiJakoUtf8(bajty, soubor.Text, neplatne, neplatne ? SpocitejUtf8(bajty).Vicebajtove : 0)) {
            krok();
            soubor.Kodovani = koUtf8BezZnacky;
            soubor.Text = NormalizujKonceRadku(soubor.Text, &soubor.Zlomy, &soubor.PoctyZlomu);
        } else {
            soubor.Text.clear();
            dekoduj(TDruhKodovani::Osmibitove, bajty, true);
        }
    } else {
        dekoduj(TDruhKodovani::Osmibitove, bajty, true);
    }
    soubor.Zlom = soubor.PoctyZlomu.Prevazujici();
    return soubor;
}

bool ZakodujText(const QString &Text, TKodovani Kodovani, QByteArray &Bajty, bool bZastupci)
{
    const TFormat format = FormatKodovani(Kodovani);
    Bajty = Znacka(format).toByteArray();
    return TKoder(format, bZastupci).Zakoduj(Text, true, Bajty);
}

QString DuvodNeplatnehoUtf8()
{
    return QStringLiteral("The text holds half of a UTF-16 surrogate pair, which UTF-8 cannot store");
}

TPoctyUtf8 SpocitejUtf8(QByteArrayView Bajty)
{
    const std::array<bool, 0x100> &nedefinovane = NedefinovaneBajty();
    const auto *b = reinterpret_cast<const uchar *>(Bajty.data());
    const qsizetype n = Bajty.size();
    TPoctyUtf8 pocty;
    bool bNedefinovany = false;
    for (qsizetype i = 0; i < n;) {
        // Eight bytes at a time through ASCII, to the first byte beyond it.
        for (quint64 osm; i + 8 <= n; i += 8) {
            std::memcpy(&osm, b + i, sizeof osm);
            if (const quint64 vysoke = qFromLittleEndian(osm) & 0x8080'8080'8080'8080u) {
                i += qCountTrailingZeroBits(vysoke) / 8;
                break;
            }
        }
        if (i == n)
            break;
        if (b[i] < 0x80) {
            ++i;
            continue;
        }
        const int delka = DelkaSekvenceUtf8(b, i, n);
        if (delka == 0) {
            ++pocty.Neplatne;
            bNedefinovany |= nedefinovane[b[i]];
            ++i;
            continue;
        }
        ++pocty.Vicebajtove;
        for (int k = 1; k < delka; ++k)
            bNedefinovany |= nedefinovane[b[i + k]];
        i += delka;
    }
    pocty.bNedefinovany = bNedefinovany;
    return pocty;
}

TRozhodnutiUtf8 RozhodniUtf8(const TPoctyUtf8 &Pocty)
{
    // As CtiJakoUtf8 decides before it needs X.
    if (Pocty.Neplatne == 0)
        return Pocty.Vicebajtove == 0 || Pocty.bNedefinovany ? ruUtf8 : ruRozbor;
    return 2 * Pocty.Neplatne >= Pocty.Vicebajtove ? ruOsmibitove : ruRozbor;
}

struct TRozborUtf8::TData {
    TRozborZnaku Rozbor;
    QByteArray Zbytek;      // bytes not judged yet: the start of a sequence that a piece cut
    qint64 Pozice = 0;      // of Zbytek's first byte in the file
    char32_t Predchozi = 0; // the byte before it, 0 at the start of the file

    // Judges the characters of Zbytek that the bytes after it can no longer
    // change; with bKonec all of them.
    void Zpracuj(bool bKonec)
    {
        const auto *b = reinterpret_cast<const uchar *>(Zbytek.constData());
        const qsizetype n = Zbytek.size();
        qsizetype i = 0;
        if (n > 0 && b[0] < 0x80 && Rozbor.Ceka(Pozice))
            Rozbor.Ascii(b[0]);
        while (i < n) {
            if (b[i] < 0x80) {
                ++i;
                continue;
            }
            // A sequence is told by its first four bytes.
            if (!bKonec && i + 4 > n)
                break;
            const int delka = DelkaSekvenceUtf8(b, i, n);
            const char32_t u = delka == 0 ? char32_t(ZastupceNuly + b[i]) : ZnakUtf8(b + i, delka);
            const qsizetype konec = i + qMax(delka, 1);
            Rozbor.Znak(u, Pozice + i, Pozice + konec, i > 0 ? b[i - 1] : Predchozi);
            i = konec;
            if (i < n && b[i] < 0x80 && Rozbor.Ceka(Pozice + i))
                Rozbor.Ascii(b[i]);
        }
        if (i > 0) {
            Predchozi = b[i - 1];
            Pozice += i;
            Zbytek.remove(0, i);
        }
    }
};

TRozborUtf8::TRozborUtf8() : d(std::make_unique<TData>()) { }

TRozborUtf8::~TRozborUtf8() = default;

void TRozborUtf8::Pridej(QByteArrayView Kus)
{
    d->Zbytek.append(Kus.data(), Kus.size());
    d->Zpracuj(false);
}

bool TRozborUtf8::JeUtf8(const TPoctyUtf8 &Pocty)
{
    d->Zpracuj(true);
    return PodleRozboru(Pocty.Neplatne, d->Rozbor.M, d->Rozbor.X);
}

TTextovySoubor NactiTextovySoubor(const QString &Cesta)
{
    return DekodujText(NactiBajty(Cesta));
}
