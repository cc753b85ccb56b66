#include "RychlyPrevod.h"

#include "KodovaStranka.h"

#include <QtAlgorithms>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

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
inline void KopirujAscii([[maybe_unused]] const uchar *b, [[maybe_unused]] qsizetype &i, [[maybe_unused]] qsizetype n,
                         [[maybe_unused]] uchar *&o)
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

// UTF-8 to UTF-8 with a table that touches no surrogate: bytes that no
// character of the table needs are copied as they are (a well-formed sequence
// decoded and encoded again is the same bytes, and so is a byte's stand-in),
// and only the sequences of characters that the table changes are written
// anew. The counts of the UTF-8 reading come with it.
class TPrevodUtf8 : public TPrevodBloku {
public:
    TPrevodUtf8(const TMapaUtf8 &Tabulka, bool bCrLf) : FTabulka(Tabulka), bCrLf(bCrLf) { }
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
    template <bool bZlomy> qsizetype Preved(const uchar *b, qsizetype n, uchar *Vystup, TPocty &Pocty) const
    {
        const quint32 *utf8 = FTabulka.Utf8->data();
        const bool bPoBajtu = FTabulka.bAscii;
        const auto zvlastni = [&](uchar c) {
            return c >= 0x80 || (bZlomy && (c == '\r' || c == '\n')) || (bPoBajtu && (utf8[c] & TMapaUtf8::Zmena));
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
                priznaky |= nedefinovane[c] ? TMapaUtf8::Nedefinovany : 0;
                *o++ = c;
                ++i;
                continue;
            }
            ++vicebajtove;
            for (int k = 1; k < delka; ++k)
                priznaky |= nedefinovane[b[i + k]] ? TMapaUtf8::Nedefinovany : 0;
            std::memcpy(o, b + i, size_t(delka));
            o += delka;
            i += delka;
        }
        Pocty.Utf8.Neplatne += neplatne;
        Pocty.Utf8.Vicebajtove += vicebajtove;
        Pocty.Utf8.bNedefinovany = Pocty.Utf8.bNedefinovany || (priznaky & TMapaUtf8::Nedefinovany);
        Pocty.Nahrazeno += nahrazeno;
        Pocty.Zlomy += zlomy;
        return o - Vystup;
    }

    const TMapaUtf8 &FTabulka;
    bool bCrLf;
};

// The 8-bit code page to itself: one table of 256 bytes, and the pair CR LF
// for every line break with --crlf. A byte whose character the table turns
// into one the code page cannot hold fails the file. With bPocitat the counts
// of the UTF-8 reading come with it, for a file whose encoding is still open.
class TPrevodOsmibitovy : public TPrevodBloku {
public:
    TPrevodOsmibitovy(const char16_t *Tabulka, bool bCrLf_, bool bPocitat_) : bCrLf(bCrLf_), bPocitat(bPocitat_)
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

} // namespace

TMapaUtf8::TMapaUtf8(const char16_t *Mapa)
{
    const char16_t *m = Mapa;
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
    for (char16_t u = 0; u < 0x80; ++u)
        bAscii = bAscii || Mapa[u] != u;
}

std::unique_ptr<TPrevodBloku> PrevodUtf8(const TMapaUtf8 &Mapa, bool bCrLf)
{
    return std::make_unique<TPrevodUtf8>(Mapa, bCrLf);
}

std::unique_ptr<TPrevodBloku> PrevodOsmibitovy(const char16_t *Mapa, bool bCrLf, bool bPocitat)
{
    return std::make_unique<TPrevodOsmibitovy>(Mapa, bCrLf, bPocitat);
}

bool OsmibitovyMuzeSelhat(const char16_t *Mapa, bool bCrLf)
{
    return TPrevodOsmibitovy(Mapa, bCrLf, false).MuzeSelhat();
}
