#include "Prevod.h"

#include "KodovaStranka.h"
#include "Konverze.h"
#include "Mapa.h"
#include "Soubor.h"
#include "convar.h"

#include <QtAlgorithms>
#include <QtEndian>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr qsizetype DelkaHlavy = 8192;    // where a binary file shows its NUL bytes
constexpr qint64 NejmensiBlok = 64;       // the cut of a block is looked for in its last 16 bytes

QString Duvod(int Chyba)
{
    return qt_error_string(Chyba);
}

// UTF-8 of a code unit of the Basic Multilingual Plane that is no surrogate.
inline uchar *ZapisUtf8(uchar *o, char16_t c)
{
    if (c < 0x80) {
        *o++ = uchar(c);
    } else if (c < 0x800) {
        *o++ = uchar(0xC0 | c >> 6);
        *o++ = uchar(0x80 | (c & 0x3F));
    } else {
        *o++ = uchar(0xE0 | c >> 12);
        *o++ = uchar(0x80 | (c >> 6 & 0x3F));
        *o++ = uchar(0x80 | (c & 0x3F));
    }
    return o;
}

// Copies the run of ASCII that stays as it is from b[i] on, sixteen bytes at
// a time, up to the first byte from 0x80 up (with bZlomy also CR or LF) or the
// last sixteen bytes; i and o are moved past it. Whole vectors are written:
// the output has room past its end. The bytes it leaves go the slow way.
template <bool bZlomy>
inline void KopirujAscii([[maybe_unused]] const uchar *b, [[maybe_unused]] qsizetype &i,
                         [[maybe_unused]] qsizetype n, [[maybe_unused]] uchar *&o)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    while (i + 16 <= n) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + i));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(o), v);
        unsigned maska = unsigned(_mm_movemask_epi8(v));
        if constexpr (bZlomy)
            maska |= unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))));
        if (maska) {
            const int k = qCountTrailingZeroBits(maska);
            i += k;
            o += k;
            return;
        }
        i += 16;
        o += 16;
    }
#endif
}

// ---- the pair table ----

// The window's table for one kind of document: every code unit mapped to what
// NahradZnaky makes of it (the first occurrence decides, a character beyond
// the replacements stays).
struct TTabulka {
    TTabulkaNahrad Mapa;
    bool bSurogaty = false; // a surrogate code unit is changed, or something becomes one
    bool bAscii = false;    // an ASCII character is changed
    // For UTF-8 to UTF-8 (where nothing becomes a surrogate): for every code
    // unit, the UTF-8 of what it becomes (bytes 0 to 2), their number (bits
    // 24 and 25), whether it changes (Zmena) and whether its own UTF-8 holds
    // a byte that the 8-bit code page leaves undefined (Nedefinovany).
    std::unique_ptr<std::array<quint32, 0x10000>> Utf8 = std::make_unique<std::array<quint32, 0x10000>>();
    static constexpr quint32 Zmena = 1u << 26, Nedefinovany = 1u << 27;

    TTabulka(QString Hledane, QString Nahrady, bool bBezZastupcu)
        : Mapa(bBezZastupcu ? BezZastupcu(Hledane, Nahrady) : Hledane, Nahrady), bSurogaty(Mapa.MeniPoloviny()),
          bAscii(Mapa.MeniAscii())
    {
        const char16_t *m = Mapa.Data();
        const std::array<bool, 0x100> &nedefinovane = NedefinovaneBajty();
        for (quint32 u = 0; u < 0x10000; ++u) {
            if (QChar::isSurrogate(char16_t(u)) || QChar::isSurrogate(m[u]))
                continue;
            uchar bajty[4] = {};
            const int delka = int(ZapisUtf8(bajty, m[u]) - bajty);
            uchar vlastni[4] = {};
            const int vlastniDelka = int(ZapisUtf8(vlastni, char16_t(u)) - vlastni);
            bool bNedefinovany = false;
            for (int k = 1; k < vlastniDelka; ++k)
                bNedefinovany = bNedefinovany || nedefinovane[vlastni[k]];
            (*Utf8)[u] = quint32(bajty[0]) | quint32(bajty[1]) << 8 | quint32(bajty[2]) << 16 | quint32(delka) << 24 |
                         (m[u] != u ? Zmena : 0) | (bNedefinovany ? Nedefinovany : 0);
        }
    }
    char16_t operator[](char16_t u) const { return Mapa[u]; }

private:
    // The table of text whose U+DC00..U+DCFF stand for bytes: those pairs
    // left out (Nahrady loses their partners too).
    static QString &BezZastupcu(QString &Hledane, QString &Nahrady)
    {
        VynechPary(Hledane, Nahrady, 0xDC00, 0xDCFF);
        return Hledane;
    }
};

// ---- counts of a pass ----

struct TPocty {
    TPoctyUtf8 Utf8;      // of the input's UTF-8 reading, when asked for
    qint64 Nahrazeno = 0; // code units the table changed
    qint64 Zlomy = 0;     // line breaks rewritten as CR LF
    bool bSelhalo = false; // the output's encoding cannot hold the text
    bool bZastupce = false; // the table would make or undo a byte's stand-in (bSelhalo too)

    TPocty &operator+=(const TPocty &Dalsi)
    {
        Utf8 += Dalsi.Utf8;
        Nahrazeno += Dalsi.Nahrazeno;
        Zlomy += Dalsi.Zlomy;
        bSelhalo = bSelhalo || Dalsi.bSelhalo;
        bZastupce = bZastupce || Dalsi.bZastupce;
        return *this;
    }
};

// ---- converting a block ----

class TPrevodBloku {
public:
    virtual ~TPrevodBloku() = default;
    // Whether a block's result depends on its own bytes alone, so that blocks
    // may go through several threads at once.
    virtual bool Nezavisly() const = 0;
    // The most output bytes for one input byte.
    virtual qsizetype Nasobek() const = 0;
    // Converts Delka bytes into Vystup (room for Nasobek() * Delka + 16 bytes)
    // and returns the bytes written; bPosledni for the file's last block
    // (possibly empty). Sixteen zero bytes follow Vstup, which may be read.
    virtual qsizetype Preved(const uchar *Vstup, qsizetype Delka, bool bPosledni, uchar *Vystup, TPocty &Pocty) = 0;
};

// UTF-8 to UTF-8 with a table that touches no surrogate: bytes that no
// character of the table needs are copied as they are (a well-formed sequence
// decoded and encoded again is the same bytes, and so is a byte's stand-in),
// and only the sequences of characters that the table changes are written
// anew. The counts of the UTF-8 reading come with it.
class TPrevodUtf8 : public TPrevodBloku {
public:
    TPrevodUtf8(const TTabulka &Tabulka, bool bCrLf) : FTabulka(Tabulka), bCrLf(bCrLf) {}
    bool Nezavisly() const override { return true; }
    qsizetype Nasobek() const override { return 6; } // a lone LF as two characters of three bytes

    qsizetype Preved(const uchar *b, qsizetype n, bool, uchar *Vystup, TPocty &Pocty) override
    {
        return bCrLf ? Preved<true>(b, n, Vystup, Pocty) : Preved<false>(b, n, Vystup, Pocty);
    }

private:
    // Everything the loop needs is held in locals: the output's bytes may
    // alias anything, and each write would make the compiler read members
    // again.
    template <bool bZlomy>
    qsizetype Preved(const uchar *b, qsizetype n, uchar *Vystup, TPocty &Pocty) const
    {
        const quint32 *utf8 = FTabulka.Utf8->data();
        const bool bPoBajtu = FTabulka.bAscii;
        const auto zvlastni = [&](uchar c) {
            return c >= 0x80 || (bZlomy && (c == '\r' || c == '\n')) || (bPoBajtu && (utf8[c] & TTabulka::Zmena));
        };
        // The UTF-8 of what a character becomes, written whole (the output
        // has room past its end), as much of it kept as it is long.
        const auto zapis = [](uchar *&o, quint32 e) {
            std::memcpy(o, &e, 4);
            o += e >> 24 & 3;
        };
        uchar *o = Vystup;
        qsizetype i = 0;
        qint64 neplatne = 0, vicebajtove = 0, nahrazeno = 0, zlomy = 0;
        quint32 priznaky = 0;
        while (true) {
            if (!bPoBajtu)
                KopirujAscii<bZlomy>(b, i, n, o);
            while (i < n && !zvlastni(b[i]))
                *o++ = b[i++];
            if (i >= n)
                break;
            const uchar c = b[i];
            // Most letters beyond ASCII take two bytes.
            if (c >= 0xC2 && c <= 0xDF && (b[i + 1] & 0xC0) == 0x80) {
                const quint32 e = utf8[(c & 0x1F) << 6 | (b[i + 1] & 0x3F)];
                zapis(o, e);
                priznaky |= e;
                nahrazeno += e >> 26 & 1;
                ++vicebajtove;
                i += 2;
                continue;
            }
            if (c < 0x80) {
                if (bZlomy && (c == '\r' || c == '\n')) {
                    // CR LF, a lone CR and a lone LF all become CR LF.
                    if (c == '\r' && i + 1 < n && b[i + 1] == '\n') {
                        i += 2;
                    } else {
                        ++i;
                        ++zlomy;
                    }
                    zapis(o, utf8[u'\r']);
                    zapis(o, utf8[u'\n']);
                    nahrazeno += (utf8[u'\r'] >> 26 & 1) + (utf8[u'\n'] >> 26 & 1);
                } else {
                    zapis(o, utf8[c]);
                    nahrazeno += utf8[c] >> 26 & 1;
                    ++i;
                }
                continue;
            }
            const int delka = DelkaSekvenceUtf8(b, i, n);
            if (delka == 3) {
                const quint32 e = utf8[(c & 0x0F) << 12 | (b[i + 1] & 0x3F) << 6 | (b[i + 2] & 0x3F)];
                zapis(o, e);
                priznaky |= e;
                nahrazeno += e >> 26 & 1;
                ++vicebajtove;
                i += 3;
                continue;
            }
            // A character beyond the Basic Multilingual Plane, or a byte that
            // belongs to none: the same bytes.
            const std::array<bool, 0x100> &nedefinovane = NedefinovaneBajty();
            if (delka == 0) {
                ++neplatne;
                priznaky |= nedefinovane[c] ? TTabulka::Nedefinovany : 0;
                *o++ = c;
                ++i;
                continue;
            }
            ++vicebajtove;
            for (int k = 1; k < delka; ++k)
                priznaky |= nedefinovane[b[i + k]] ? TTabulka::Nedefinovany : 0;
            std::memcpy(o, b + i, size_t(delka));
            o += delka;
            i += delka;
        }
        Pocty.Utf8.Neplatne += neplatne;
        Pocty.Utf8.Vicebajtove += vicebajtove;
        Pocty.Utf8.bNedefinovany = Pocty.Utf8.bNedefinovany || (priznaky & TTabulka::Nedefinovany);
        Pocty.Nahrazeno += nahrazeno;
        Pocty.Zlomy += zlomy;
        return o - Vystup;
    }

    const TTabulka &FTabulka;
    bool bCrLf;
};

// The 8-bit code page to itself: one table of 256 bytes, and the pair CR LF
// for every line break with --crlf. A byte whose character the table turns
// into one the code page cannot hold fails the file. With bPocitat the counts
// of the UTF-8 reading come with it, for a file whose encoding is still open.
class TPrevodOsmibitovy : public TPrevodBloku {
public:
    TPrevodOsmibitovy(const TTabulka &Tabulka, bool bCrLf_, bool bPocitat_) : bCrLf(bCrLf_), bPocitat(bPocitat_)
    {
        QByteArray vsechny(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            vsechny[b] = char(b);
        const QString znaky = DekodujOsmibitove(vsechny);
        for (int b = 0; b < 256; ++b) {
            const char16_t u = znaky.at(b).unicode();
            const char16_t m = Tabulka[u];
            QByteArray bajt;
            const bool bLze = ZakodujOsmibitove(QStringView(&m, 1), bajt) && bajt.size() == 1;
            FPolozka[b] = quint16((bLze ? uchar(bajt[0]) : 0) | (bLze ? 0 : Zvlastni) | (m != u ? Zmena : 0));
            bSelhani = bSelhani || !bLze;
        }
        if (bCrLf) {
            FZlom[0] = FPolozka['\r'];
            FZlom[1] = FPolozka['\n'];
            FPolozka['\r'] |= Zvlastni;
            FPolozka['\n'] |= Zvlastni;
        }
        bAsciiStejne = true;
        for (int b = 0; b < 0x80; ++b)
            bAsciiStejne = bAsciiStejne && FPolozka[b] == b;
    }
    bool Nezavisly() const override { return true; }
    qsizetype Nasobek() const override { return 2; }
    // Whether some byte cannot be written at all.
    bool MuzeSelhat() const { return bSelhani; }

    qsizetype Preved(const uchar *b, qsizetype n, bool, uchar *Vystup, TPocty &Pocty) override
    {
        if (bAsciiStejne)
            return PrevedNadAscii(b, n, Vystup, Pocty);
        if (bPocitat)
            Pocty.Utf8 += SpocitejUtf8(QByteArrayView(b, n));
        const quint16 *polozka = FPolozka.data();
        if (!bCrLf) {
            // One look-up a byte and no branch; a byte that cannot be written
            // fails the block at its end.
            qint64 nahrazeno = 0;
            quint16 vse = 0;
            for (qsizetype i = 0; i < n; ++i) {
                const quint16 p = polozka[b[i]];
                Vystup[i] = uchar(p);
                nahrazeno += p >> 9;
                vse |= p;
            }
            if (vse & Zvlastni) {
                Pocty.bSelhalo = true;
                return 0;
            }
            Pocty.Nahrazeno += nahrazeno;
            return n;
        }
        uchar *o = Vystup;
        qint64 nahrazeno = 0, zlomy = 0;
        for (qsizetype i = 0; i < n; ++i) {
            const quint16 p = polozka[b[i]];
            if (!(p & Zvlastni)) {
                *o++ = uchar(p);
                nahrazeno += p >> 9;
                continue;
            }
            if (!bCrLf || (b[i] != '\r' && b[i] != '\n')) {
                Pocty.bSelhalo = true;
                return o - Vystup;
            }
            if (b[i] == '\r' && i + 1 < n && b[i + 1] == '\n')
                ++i;
            else
                ++zlomy;
            for (const quint16 z : FZlom) {
                if (z & Zvlastni) {
                    Pocty.bSelhalo = true;
                    return o - Vystup;
                }
                *o++ = uchar(z);
                nahrazeno += z >> 9;
            }
        }
        Pocty.Nahrazeno += nahrazeno;
        Pocty.Zlomy += zlomy;
        return o - Vystup;
    }

private:
    // Where every ASCII byte stays as it is: the ASCII is copied sixteen bytes
    // at a time and only the bytes from 0x80 up are looked up (and, while the
    // file's encoding is open, counted for its UTF-8 reading on the way, all
    // bytes of a sequence being from 0x80 up).
    qsizetype PrevedNadAscii(const uchar *b, qsizetype n, uchar *Vystup, TPocty &Pocty) const
    {
        const quint16 *polozka = FPolozka.data();
        const std::array<bool, 0x100> &nedefinovane = NedefinovaneBajty();
        const bool bPocitatUtf8 = bPocitat;
        uchar *o = Vystup;
        qsizetype i = 0;
        qint64 nahrazeno = 0, neplatne = 0, vicebajtove = 0;
        quint16 vse = 0;
        bool bNedefinovany = false;
        while (true) {
            KopirujAscii<false>(b, i, n, o);
            while (i < n && b[i] < 0x80)
                *o++ = b[i++];
            if (i >= n)
                break;
            qsizetype konec = i + 1;
            if (bPocitatUtf8) {
                const int delka = DelkaSekvenceUtf8(b, i, n);
                if (delka == 0) {
                    ++neplatne;
                    bNedefinovany |= nedefinovane[b[i]];
                } else {
                    ++vicebajtove;
                    for (int k = 1; k < delka; ++k)
                        bNedefinovany |= nedefinovane[b[i + k]];
                    konec = i + delka;
                }
            }
            for (; i < konec; ++i) {
                const quint16 p = polozka[b[i]];
                *o++ = uchar(p);
                nahrazeno += p >> 9;
                vse |= p;
            }
        }
        if (vse & Zvlastni) {
            Pocty.bSelhalo = true;
            return 0;
        }
        if (bPocitatUtf8) {
            Pocty.Utf8.Neplatne += neplatne;
            Pocty.Utf8.Vicebajtove += vicebajtove;
            Pocty.Utf8.bNedefinovany = Pocty.Utf8.bNedefinovany || bNedefinovany;
        }
        Pocty.Nahrazeno += nahrazeno;
        return o - Vystup;
    }

    static constexpr quint16 Zvlastni = 0x100, Zmena = 0x200;
    std::array<quint16, 256> FPolozka; // the output byte, Zvlastni, Zmena
    std::array<quint16, 2> FZlom{};    // CR and LF
    bool bCrLf, bPocitat;
    bool bSelhani = false;
    bool bAsciiStejne = false; // every ASCII byte written as it is
};

// Any encoding to any, block after block, through UTF-16 as the window keeps
// text: the codec's decoder (stand-ins for bytes the encoding cannot read,
// line breaks made CR LF), every code unit through the table, the codec's
// encoder. What a block boundary cuts waits in them for the next block.
class TPrevodObecny : public TPrevodBloku {
public:
    TPrevodObecny(const TTabulka &Tabulka, TFormat Vstup, TFormat Vystup, bool bCrLf, bool bPocitat_)
        : FTabulka(Tabulka), FDekoder(Vstup.Druh, bCrLf),
          // Stand-ins are bytes only in text read in an encoding that keeps them.
          FKoder(TFormat{Vystup.Druh, false, false}, ZastupujeBajty(Vstup)), bPocitat(bPocitat_),
          bHlidatZastupce(Vstup.Druh == TDruhKodovani::Utf8 && Tabulka.bSurogaty)
    {
    }
    bool Nezavisly() const override { return false; }
    qsizetype Nasobek() const override { return 8; }
    // Whether the file ended with the stray byte of odd UTF-16.
    bool LichyNaKonci() const { return FDekoder.LichyNaKonci(); }

    qsizetype Preved(const uchar *b, qsizetype n, bool bPosledni, uchar *Vystup, TPocty &Pocty) override
    {
        if (bPocitat)
            Pocty.Utf8 += SpocitejUtf8(QByteArrayView(b, n));
        const qint64 zlomy = FDekoder.ZmeneneZlomy();
        QString text = FDekoder.Dekoduj(QByteArrayView(b, n), bPosledni);
        Pocty.Zlomy += FDekoder.ZmeneneZlomy() - zlomy;
        // As the window's F6, never a character made a byte's stand-in, nor
        // a stand-in paired up with a half of a surrogate pair.
        const QString puvodni = bHlidatZastupce ? text : QString();
        char16_t *t = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t m = FTabulka[t[i]];
            Pocty.Nahrazeno += m != t[i];
            t[i] = m;
        }
        if (bHlidatZastupce && !text.isEmpty()) {
            if (MeniOsamelePoloviny(puvodni, text, ZastupceNuly + 0x80, ZastupceNuly + 0xFF, FPredPuvodni, FPredNovy)) {
                Pocty.bSelhalo = Pocty.bZastupce = true;
                return 0;
            }
            FPredPuvodni = puvodni.back().unicode();
            FPredNovy = text.back().unicode();
        }
        // The stand-in of an odd file's last byte is that byte again.
        if (bPosledni)
            FKoder.NastavLiche(FDekoder.LichyNaKonci());
        QByteArray bajty;
        if (!FKoder.Zakoduj(text, bPosledni, bajty)) {
            Pocty.bSelhalo = true;
            return 0;
        }
        std::memcpy(Vystup, bajty.constData(), size_t(bajty.size()));
        return bajty.size();
    }

private:
    const TTabulka &FTabulka;
    TDekoder FDekoder;
    TKoder FKoder;
    bool bPocitat;
    bool bHlidatZastupce;  // the table changes halves of surrogate pairs in UTF-8 text
    char16_t FPredPuvodni = 0, FPredNovy = 0; // the last code unit of the block before, and what it became
};

// Only counts: the first reading of a file whose encoding is still open.
class TPocitani : public TPrevodBloku {
public:
    bool Nezavisly() const override { return true; }
    qsizetype Nasobek() const override { return 0; }
    qsizetype Preved(const uchar *b, qsizetype n, bool, uchar *, TPocty &Pocty) override
    {
        Pocty.Utf8 += SpocitejUtf8(QByteArrayView(b, n));
        return 0;
    }
};

} // namespace

// ---- the encodings ----

QString TNastaveniPrevodu::VychoziHledane()
{
    return VychoziZnakySeZnamenkem;
}

QString TNastaveniPrevodu::VychoziNahrady()
{
    return VychoziZnakyBezZnamenka;
}

// ---- outputs ----

TVystupZapis::TVystupZapis(const QString &Cesta, bool bOdlozitChybu, const QString &Jmeno) : bOdlozit(bOdlozitChybu)
{
    Krok([&] {
        FZapis.Otevri(Cesta, Jmeno);
        bOtevreno = true;
    });
}

void TVystupZapis::Krok(const std::function<void()> &Krok)
{
    try {
        Krok();
    } catch (const EChyba &e) {
        if (!bOdlozit)
            throw;
        FChyba = e;
    }
}

void TVystupZapis::Zapis(const char *Data, qsizetype Delka)
{
    if (!FChyba)
        Krok([&] { FZapis.Pridej(QByteArrayView(Data, Delka)); });
}

void TVystupZapis::Odvolej()
{
    // A file that could not be opened stays so; a failed write may go
    // through when the content starts over.
    if (!bOtevreno)
        return;
    FChyba.reset();
    Krok([&] { FZapis.Znovu(); });
}

void TVystupZapis::Dokonci(const std::function<void()> &Kontrola)
{
    if (FChyba)
        throw *FChyba;
    FZapis.Dokonci(Kontrola);
}

// ---- one pass over a file ----

// Reads the data of a file (from Zacatek, after its mark) in blocks and puts
// each through the block converter, in order, into the output. A block of
// UTF-8 or 8-bit text ends where a character of the UTF-8 reading starts and
// never between CR and LF, so that it reads the same alone as within the file
// and counts add up; a block of UTF-16 holds whole code units.
struct TPruchod {
    TZdroj &Zdroj;
    qint64 Zacatek;
    bool bUtf16;
    qint64 Blok;
    int Vlaken;
    bool bMapovat;
    std::function<void(qint64)> Prubeh;

    // Whether the data may end a block before Data[p] (0 < p < n, Data[p - 3]
    // .. Data[p] readable where p >= 3).
    bool LzeRiznout(const uchar *b, qsizetype p) const
    {
        const auto pokracovaci = [](uchar c) { return c >= 0x80 && c <= 0xBF; };
        if (!pokracovaci(b[p]) && !(b[p - 1] == '\r' && b[p] == '\n'))
            return true;
        return p >= 3 && pokracovaci(b[p - 1]) && pokracovaci(b[p - 2]) && pokracovaci(b[p - 3]);
    }

    // The last place in b[Od..n) where a block may end, or -1; b[n] must be
    // the next byte (only whole code units for UTF-16).
    qsizetype PosledniRez(const uchar *b, qsizetype Od, qsizetype n) const
    {
        if (bUtf16)
            return n - n % 2 >= Od ? n - n % 2 : -1;
        for (qsizetype p = n - 1; p >= qMax<qsizetype>(Od, 1); --p)
            if (LzeRiznout(b, p))
                return p;
        return -1;
    }

    // Where block k of a file of Delka data bytes starts: near k * Blok.
    qint64 Rez(qint64 k, qint64 Delka)
    {
        const qint64 nominal = k * Blok;
        if (k == 0)
            return 0;
        if (nominal >= Delka)
            return Delka;
        if (bUtf16)
            return nominal - nominal % 2;
        // Among any five places one may be cut; sixteen are looked at.
        uchar okno[20];
        const qint64 od = nominal - 19;
        const qsizetype n = Zdroj.CtiNa(Zacatek + od, reinterpret_cast<char *>(okno), 20);
        if (n < 20)
            throw ChybaOtevreni(Zdroj.Jmeno(), QStringLiteral("The file changed while it was read"));
        for (qsizetype p = 19; p >= 4; --p)
            if (LzeRiznout(okno, p))
                return od + p;
        return nominal; // never: some place among any five can be cut
    }

    TPocty Spust(TPrevodBloku &Prevod, TVystup *Vystup)
    {
        if (!Zdroj.Nahodny())
            return SpustProud(Prevod, Vystup);
        const qint64 delka = Zdroj.Velikost() - Zacatek;
        const qint64 bloku = qMax<qint64>(1, (delka + Blok - 1) / Blok);
        if (Prevod.Nezavisly() && Vlaken > 1 && bloku > 1)
            return SpustParalelne(Prevod, Vystup, delka, bloku);
        TPocty pocty;
        TBlok blok;
        qint64 od = 0;
        for (qint64 k = 0; k < bloku && !pocty.bSelhalo; ++k) {
            const qint64 doBloku = Rez(k + 1, delka);
            Nacti(od, doBloku, blok);
            PrevedBlok(Prevod, blok, k + 1 == bloku, pocty);
            Uvolni(blok);
            Predej(blok, pocty, Vystup);
            od = doBloku;
        }
        return pocty;
    }

private:
    // A block's bytes and sixteen more that a converter may read past its
    // end (zeros after a copy, the file's next bytes in a view of it), and
    // its output.
    struct TBlok {
        QByteArray Vstup, Vystup;
        TMapa Mapa;
        const uchar *Data = nullptr;
        qsizetype Delka = 0, Vyslo = 0;

        char *Priprav(qsizetype Bajtu)
        {
            Delka = Bajtu;
            Vstup.resize(Bajtu + Presah);
            std::memset(Vstup.data() + Bajtu, 0, Presah);
            Data = reinterpret_cast<const uchar *>(Vstup.constData());
            return Vstup.data();
        }
    };
    static constexpr qsizetype Presah = 16;

    [[noreturn]] void Zmenen() const
    {
        throw ChybaOtevreni(Zdroj.Jmeno(), QStringLiteral("The file changed while it was read"));
    }

    // A block is mapped, saving the copy, where it and the sixteen bytes
    // after it lie in the file; the file's last block is copied.
    void Nacti(qint64 Od, qint64 Do, TBlok &Blok)
    {
        qint64 posun = 0;
        const int fd = bMapovat ? Zdroj.Deskriptor(posun) : -1;
        if (fd >= 0 && Zacatek + Do + Presah <= Zdroj.Velikost() &&
            Blok.Mapa.Otevri(fd, posun + Zacatek + Od, Do - Od + Presah)) {
            Blok.Data = Blok.Mapa.Data();
            Blok.Delka = Do - Od;
            return;
        }
        if (Zdroj.CtiNa(Zacatek + Od, Blok.Priprav(Do - Od), Do - Od) != Do - Od)
            Zmenen();
    }

    // Gives a converted block's view back, and fails the file where the
    // view did not hold the file's bytes to the end.
    void Uvolni(TBlok &Blok) const
    {
        if (!Blok.Mapa.Otevrena())
            return;
        const TMapa::TStav stav = Blok.Mapa.Stav();
        Blok.Mapa.Zavri();
        Blok.Data = nullptr;
        if (stav == TMapa::Kratsi)
            Zmenen();
        if (stav == TMapa::Necitelna)
            throw ChybaOtevreni(Zdroj.Jmeno(), Duvod(EIO));
    }

    static void PrevedBlok(TPrevodBloku &Prevod, TBlok &Blok, bool bPosledni, TPocty &Pocty)
    {
        Blok.Vystup.resize(Blok.Delka * Prevod.Nasobek() + Presah);
        Blok.Vyslo = Prevod.Preved(Blok.Data, Blok.Delka, bPosledni, reinterpret_cast<uchar *>(Blok.Vystup.data()), Pocty);
    }

    void Predej(const TBlok &Blok, const TPocty &Pocty, TVystup *Cil)
    {
        if (Cil && !Pocty.bSelhalo)
            Cil->Zapis(Blok.Vystup.constData(), Blok.Vyslo);
        if (Prubeh)
            Prubeh(Blok.Delka);
    }

    // Read as it comes: what follows the last place a block may end waits
    // for the next read.
    TPocty SpustProud(TPrevodBloku &Prevod, TVystup *Vystup)
    {
        TPocty pocty;
        // The mark is not text.
        char znacka[4];
        if (Zacatek > 0 && Zdroj.CtiDal(znacka, Zacatek) != Zacatek)
            throw ChybaOtevreni(Zdroj.Jmeno(), QStringLiteral("The file changed while it was read"));
        TBlok blok;
        QByteArray zbytek;
        bool bKonec = false;
        while (!bKonec && !pocty.bSelhalo) {
            QByteArray vstup = zbytek;
            const qsizetype mame = vstup.size();
            vstup.resize(mame + Blok);
            const qsizetype n = Zdroj.CtiDal(vstup.data() + mame, Blok);
            vstup.resize(mame + n);
            bKonec = n == 0;
            qsizetype rez = vstup.size();
            if (!bKonec) {
                rez = PosledniRez(reinterpret_cast<const uchar *>(vstup.constData()), 1, vstup.size());
                if (rez <= 0) {
                    zbytek = vstup;
                    continue;
                }
            }
            zbytek = vstup.mid(rez);
            std::memcpy(blok.Priprav(rez), vstup.constData(), size_t(rez));
            PrevedBlok(Prevod, blok, bKonec, pocty);
            Predej(blok, pocty, Vystup);
        }
        return pocty;
    }

    // Several threads convert the next blocks while this one writes them in
    // order; at most a few blocks wait at a time.
    TPocty SpustParalelne(TPrevodBloku &Prevod, TVystup *Cil, qint64 Delka, qint64 Bloku)
    {
        struct TMisto {
            TBlok Blok;
            TPocty Pocty;
            qint64 Cislo = -1; // the block it holds, ready to be written
            std::exception_ptr Chyba;
        };
        const int mist = 2 * Vlaken;
        std::vector<TMisto> mista(mist);
        std::mutex zamek;
        std::condition_variable zmena;
        qint64 dalsi = 0, zapsano = 0;
        bool bKonec = false;

        const auto pracuj = [&] {
            for (;;) {
                qint64 k;
                {
                    std::unique_lock<std::mutex> z(zamek);
                    zmena.wait(z, [&] { return bKonec || dalsi >= Bloku || dalsi < zapsano + mist; });
                    if (bKonec || dalsi >= Bloku)
                        return;
                    k = dalsi++;
                }
                TMisto &m = mista[k % mist];
                TPocty pocty;
                std::exception_ptr chyba;
                try {
                    Nacti(Rez(k, Delka), Rez(k + 1, Delka), m.Blok);
                    PrevedBlok(Prevod, m.Blok, k + 1 == Bloku, pocty);
                    Uvolni(m.Blok);
                } catch (...) {
                    chyba = std::current_exception();
                }
                {
                    std::lock_guard<std::mutex> z(zamek);
                    m.Pocty = pocty;
                    m.Chyba = chyba;
                    m.Cislo = k;
                }
                zmena.notify_all();
            }
        };
        std::vector<std::thread> vlakna;
        for (int i = 0; i < Vlaken; ++i)
            vlakna.emplace_back(pracuj);
        const auto zastav = [&] {
            {
                std::lock_guard<std::mutex> z(zamek);
                bKonec = true;
            }
            zmena.notify_all();
            for (std::thread &v : vlakna)
                v.join();
        };

        TPocty pocty;
        try {
            for (qint64 k = 0; k < Bloku && !pocty.bSelhalo; ++k) {
                TMisto &m = mista[k % mist];
                {
                    std::unique_lock<std::mutex> z(zamek);
                    zmena.wait(z, [&] { return m.Cislo == k; });
                }
                if (m.Chyba)
                    std::rethrow_exception(m.Chyba);
                pocty += m.Pocty;
                Predej(m.Blok, pocty, Cil);
                {
                    std::lock_guard<std::mutex> z(zamek);
                    m.Cislo = -1;
                    ++zapsano;
                }
                zmena.notify_all();
            }
        } catch (...) {
            zastav();
            throw;
        }
        zastav();
        return pocty;
    }
};

// The second reading of a file whose counts did not decide: the characters
// that real text does not hold, block after block.
class TRozborBloku : public TPrevodBloku {
public:
    bool Nezavisly() const override { return false; }
    qsizetype Nasobek() const override { return 0; }
    qsizetype Preved(const uchar *b, qsizetype n, bool, uchar *, TPocty &) override
    {
        Rozbor.Pridej(QByteArrayView(b, n));
        return 0;
    }
    TRozborUtf8 Rozbor;
};

// ---- the converter ----

struct TPrevodnik::TData {
    TNastaveniPrevodu Nastaveni;
    TTabulka SeZastupci, BezZastupcu; // for text whose U+DC00..U+DCFF are code units, and for text where they stand for bytes

    explicit TData(const TNastaveniPrevodu &N)
        : Nastaveni(N), SeZastupci(N.Hledane, N.Nahrady, false), BezZastupcu(N.Hledane, N.Nahrady, true)
    {
        Nastaveni.Blok = qMax(Nastaveni.Blok, NejmensiBlok);
        Nastaveni.Vlaken = qMax(Nastaveni.Vlaken, 1);
    }

    const TTabulka &Tabulka(const TFormat &Format) const
    {
        return ZastupujeBajty(Format) ? BezZastupcu : SeZastupci;
    }

    // Whether the table of UTF-16 text depends on the file's length (the
    // stray byte of an odd length makes U+DC00..U+DCFF stand-ins).
    bool TabulkaPodleDelky() const
    {
        return std::memcmp(SeZastupci.Mapa.Data() + 0xDC00, BezZastupcu.Mapa.Data() + 0xDC00,
                           0x100 * sizeof(char16_t)) != 0;
    }

    // Whether converting Vstup into Vystup may meet a character that Vystup
    // cannot hold.
    bool MuzeSelhat(const TFormat &Vstup, const TFormat &Vystup) const
    {
        if (Vystup.Druh == TDruhKodovani::Osmibitove)
            return Vstup.Druh != TDruhKodovani::Osmibitove ||
                   TPrevodOsmibitovy(Tabulka(Vstup), Nastaveni.bCrLf, false).MuzeSelhat();
        if (Vystup.Druh == TDruhKodovani::Utf8)
            return Vstup.Druh != TDruhKodovani::Utf8 || Tabulka(Vstup).bSurogaty;
        return false;
    }

    std::unique_ptr<TPrevodBloku> Prevod(const TFormat &Vstup, const TFormat &Vystup, bool bPocitat) const
    {
        const TTabulka &tabulka = Tabulka(Vstup);
        if (Vstup.Druh == TDruhKodovani::Utf8 && Vystup.Druh == TDruhKodovani::Utf8 && !tabulka.bSurogaty)
            return std::make_unique<TPrevodUtf8>(tabulka, Nastaveni.bCrLf);
        if (Vstup.Druh == TDruhKodovani::Osmibitove && Vystup.Druh == TDruhKodovani::Osmibitove)
            return std::make_unique<TPrevodOsmibitovy>(tabulka, Nastaveni.bCrLf, bPocitat);
        return std::make_unique<TPrevodObecny>(tabulka, Vstup, Vystup, Nastaveni.bCrLf, bPocitat);
    }
};

TPrevodnik::TPrevodnik(const TNastaveniPrevodu &Nastaveni) : d(std::make_unique<TData>(Nastaveni)) {}

TPrevodnik::~TPrevodnik() = default;

TVysledek TPrevodnik::Preved(TZdroj &Zdroj, TVystup &Vystup, const QString &CestaVystupu,
                             const std::function<void(qint64)> &Prubeh)
{
    const TNastaveniPrevodu &nastaveni = d->Nastaveni;
    TVysledek vysledek;

    // The first bytes tell a mark and a binary file.
    const QByteArray hlava = Zdroj.Hlava(DelkaHlavy);
    TFormat format;
    bool bZnamy = true;
    if (nastaveni.Kodovani) {
        format.Druh = *nastaveni.Kodovani;
        format.bZnacka = format.Druh != TDruhKodovani::Osmibitove && hlava.startsWith(ZnackaDruhu(format.Druh));
    } else if (const std::optional<TDruhKodovani> druh = DruhPodleZnacky(hlava)) {
        format = {*druh, true, false};
    } else if (SystemoveKodovani() == koUtf8BezZnacky) {
        bZnamy = false; // UTF-8 or the 8-bit code page: the whole file decides
    } else {
        format.Druh = TDruhKodovani::Osmibitove;
    }
    vysledek.Vstup = vysledek.Vystup = format;

    // Converted as 8-bit text, a binary file would be corrupted. UTF-16 holds
    // NUL bytes in any Latin text.
    if (!nastaveni.bBinarni && !JeUtf16(format.Druh) && hlava.contains('\0')) {
        vysledek.Stav = TVysledek::vsBinarni;
        return vysledek;
    }

    const auto prubeh = [&](qint64 Bajtu) {
        if (Prubeh)
            Prubeh(Bajtu);
    };
    const auto chyba = [&](const TFormat &Vystupni, bool bZastupce) {
        vysledek.Stav = TVysledek::vsChyba;
        if (bZastupce)
            vysledek.Chyba = QStringLiteral("%1: The pair table changes halves of UTF-16 surrogate pairs so that a "
                                            "stand-in for a byte of the file (U+DC80 to U+DCFF) would appear or "
                                            "disappear, and the output would hold other bytes than the text")
                                 .arg(Zdroj.Jmeno());
        else if (Vystupni.Druh == TDruhKodovani::Osmibitove)
            vysledek.Chyba = QStringLiteral("%1: The converted text holds characters that %2 cannot store "
                                            "(--utf8-fallback writes such a file as UTF-8 with a byte-order mark)")
                                 .arg(Zdroj.Jmeno(), NazevKodoveStranky());
        else if (CestaVystupu.isEmpty())
            vysledek.Chyba = QStringLiteral("%1: %2").arg(Zdroj.Jmeno(), DuvodNeplatnehoUtf8());
        else
            vysledek.Chyba = ChybaVytvoreni(CestaVystupu, DuvodNeplatnehoUtf8()).Zprava();
        return vysledek;
    };

    // What is read as it comes is kept in a temporary file when it may have
    // to be read more than once, or when its length decides the table.
    const qint64 zacatek = Znacka(format).size();
    if (!Zdroj.Nahodny()) {
        const bool bNahradni = format.Druh == TDruhKodovani::Osmibitove && nastaveni.bUtf8Nahradni;
        // So is UTF-8 in which a table that changes halves of surrogate pairs
        // may meet a byte's stand-in: the whole of it is looked at for that
        // before a failure is told.
        const bool bPoloviny = format.Druh == TDruhKodovani::Utf8 && d->BezZastupcu.bSurogaty;
        const bool bJednou = bZnamy && !(JeUtf16(format.Druh) && d->TabulkaPodleDelky()) && !bPoloviny &&
                             (!d->MuzeSelhat(format, format) || (Vystup.LzeOdvolat() && !bNahradni));
        if (!bJednou)
            Zdroj.Uloz();
    }
    if (Zdroj.Nahodny() && JeUtf16(format.Druh))
        format.bLiche = (Zdroj.Velikost() - zacatek) % 2;

    TPruchod pruchod{Zdroj, zacatek, JeUtf16(format.Druh), nastaveni.Blok, nastaveni.Vlaken, nastaveni.bMapovat, prubeh};
    // The window refuses F6 for a byte's stand-in before a save can fail at
    // all: a pass that stopped at a character the output cannot hold has not
    // seen the whole file, which is looked at for that first.
    const auto zastupce = [&](const TPocty &Pocty) {
        if (Pocty.bZastupce || !Zdroj.Nahodny() || format.Druh != TDruhKodovani::Utf8 || !d->Tabulka(format).bSurogaty)
            return Pocty.bZastupce;
        TPrevodObecny kontrola(d->Tabulka(format), format, TFormat{TDruhKodovani::Utf16LE, false, false},
                               nastaveni.bCrLf, false);
        return pruchod.Spust(kontrola, nullptr).bZastupce;
    };
    const auto prevest = [&](const TFormat &Vstupni, const TFormat &Vystupni, TVystup *Cil, bool bPocitat) {
        const std::unique_ptr<TPrevodBloku> prevod = d->Prevod(Vstupni, Vystupni, bPocitat);
        if (Cil) {
            const QByteArrayView znacka = Znacka(Vystupni);
            Cil->Zapis(znacka.constData(), znacka.size());
        }
        TPocty pocty = pruchod.Spust(*prevod, Cil);
        if (auto *obecny = dynamic_cast<TPrevodObecny *>(prevod.get()); obecny && obecny->LichyNaKonci())
            format.bLiche = true;
        return pocty;
    };
    // A result stands only for the file as it was when it was opened.
    const auto hotovo = [&](const TPocty &Pocty, const TFormat &Vystupni) {
        Zdroj.Over();
        vysledek.Vstup = format;
        vysledek.Vystup = Vystupni;
        if (JeUtf16(Vystupni.Druh))
            vysledek.Vystup.bLiche = format.bLiche;
        vysledek.Nahrazeno = Pocty.Nahrazeno;
        vysledek.Zlomy = Pocty.Zlomy;
        return vysledek;
    };
    // UTF-8 or the 8-bit code page, by the counts of the UTF-8 reading and,
    // where they do not decide, by a second reading.
    const auto rozhodni = [&](const TPoctyUtf8 &Pocty) {
        switch (RozhodniUtf8(Pocty)) {
        case ruUtf8: return TDruhKodovani::Utf8;
        case ruOsmibitove: return TDruhKodovani::Osmibitove;
        case ruRozbor: break;
        }
        TRozborBloku rozbor;
        pruchod.Spust(rozbor, nullptr);
        return rozbor.Rozbor.JeUtf8(Pocty) ? TDruhKodovani::Utf8 : TDruhKodovani::Osmibitove;
    };

    if (!bZnamy) {
        if (Vystup.LzeOdvolat()) {
            // Converted while counted, in the encoding that the first block
            // suggests; again only when the whole file decides otherwise.
            QByteArray prvni(qMin(nastaveni.Blok, Zdroj.Velikost()), Qt::Uninitialized);
            prvni.truncate(Zdroj.CtiNa(0, prvni.data(), prvni.size()));
            TFormat odhad;
            odhad.Druh = RozhodniUtf8(SpocitejUtf8(prvni)) == ruOsmibitove ? TDruhKodovani::Osmibitove
                                                                            : TDruhKodovani::Utf8;
            TPocty pocty = prevest(odhad, odhad, &Vystup, true);
            if (pocty.bSelhalo) {
                Vystup.Odvolej();
                TPocitani pocitani;
                pocty.Utf8 = pruchod.Spust(pocitani, nullptr).Utf8;
            }
            format.Druh = rozhodni(pocty.Utf8);
            if (format == odhad && !pocty.bSelhalo)
                return hotovo(pocty, format);
            if (!pocty.bSelhalo)
                Vystup.Odvolej();
        } else {
            TPocitani pocitani;
            format.Druh = rozhodni(pruchod.Spust(pocitani, nullptr).Utf8);
        }
    }

    TFormat vystupni = format;
    const TFormat utf8SeZnackou{TDruhKodovani::Utf8, true, false};
    const bool bNahradni = format.Druh == TDruhKodovani::Osmibitove && nastaveni.bUtf8Nahradni;
    // Where the output cannot be taken back, a first reading finds out what
    // the output can hold.
    if (d->MuzeSelhat(format, format) && !Vystup.LzeOdvolat()) {
        if (const TPocty prvni = prevest(format, format, nullptr, false); prvni.bSelhalo) {
            if (!bNahradni)
                return chyba(format, zastupce(prvni));
            vystupni = utf8SeZnackou;
            if (const TPocty druhy = prevest(format, vystupni, nullptr, false); druhy.bSelhalo)
                return chyba(vystupni, zastupce(druhy));
        }
    }
    TPocty pocty = prevest(format, vystupni, &Vystup, false);
    if (pocty.bSelhalo) {
        Vystup.Odvolej();
        if (!bNahradni || vystupni == utf8SeZnackou)
            return chyba(vystupni, zastupce(pocty));
        // As the window asks before it saves such text as UTF-8.
        vystupni = utf8SeZnackou;
        pocty = prevest(format, vystupni, &Vystup, false);
        if (pocty.bSelhalo) {
            Vystup.Odvolej();
            return chyba(vystupni, zastupce(pocty));
        }
    }
    return hotovo(pocty, vystupni);
}
