#pragma once
// The fast paths of the codec: a file's bytes converted to bytes of the same
// encoding block by block, every character through a look-up of all 65,536
// code units (the pair table), without the UTF-16 text in between that the
// general way (TDekoder, TKoder) makes. They give the bytes that decoding,
// the look-up and encoding give, and count the UTF-8 reading on the way.

#include "Kodek.h"
#include "TextovySoubor.h"

#include <QtGlobal>
#include <array>
#include <memory>

// What a pass over a file found.
struct TPocty {
    TPoctyUtf8 Utf8;        // of the input's UTF-8 reading, when asked for
    qint64 Nahrazeno = 0;   // code units the table changed
    qint64 Zlomy = 0;       // line breaks rewritten as CR LF
    bool bSelhalo = false;  // the output's encoding cannot hold the text
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

// Converts a file block after block, in order (or, where Nezavisly, any
// block alone).
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

// The look-up for UTF-8 to UTF-8 where nothing becomes a surrogate: for every
// code unit, the UTF-8 of what it becomes (bytes 0 to 2), their number (bits
// 24 and 25), whether it changes (Zmena) and whether its own UTF-8 holds a
// byte that the 8-bit code page leaves undefined (Nedefinovany).
struct TMapaUtf8 {
    // Mapa: what each of the 65,536 code units becomes.
    explicit TMapaUtf8(const char16_t *Mapa);

    std::unique_ptr<std::array<quint32, 0x10000>> Utf8 = std::make_unique<std::array<quint32, 0x10000>>();
    bool bAscii = false; // an ASCII character is changed
    static constexpr quint32 Zmena = 1u << 26, Nedefinovany = 1u << 27;
};

// UTF-8 to UTF-8 (Mapa must outlive it); with bCrLf every line break as CR LF.
std::unique_ptr<TPrevodBloku> PrevodUtf8(const TMapaUtf8 &Mapa, bool bCrLf);

// The 8-bit code page to itself through Mapa (65,536 code units); with
// bPocitat the counts of the UTF-8 reading come with it.
std::unique_ptr<TPrevodBloku> PrevodOsmibitovy(const char16_t *Mapa, bool bCrLf, bool bPocitat);
// Whether the 8-bit conversion through Mapa may meet a character that the
// code page cannot hold.
bool OsmibitovyMuzeSelhat(const char16_t *Mapa, bool bCrLf);

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
