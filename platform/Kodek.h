#pragma once
// The program's one text codec: the encodings a file is read and written in,
// their byte-order marks, the stand-ins for bytes that an encoding cannot
// read, and a decoder and an encoder that take a file's bytes or a text in
// blocks of any size, carrying over what a block's edge cuts. The window
// reads and writes a file as one block (TextovySoubor.h); lumarin-convert
// streams files through the same objects.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

enum class TDruhKodovani : quint8 { Utf8, Utf16LE, Utf16BE, Osmibitove };

// A file's encoding as it is read and written back.
struct TFormat {
    TDruhKodovani Druh = TDruhKodovani::Utf8;
    bool bZnacka = false; // a byte-order mark before the text, written back
    bool bLiche = false;  // UTF-16 of an odd number of bytes: the last one kept as its stand-in

    bool operator==(const TFormat &) const = default;
};

inline bool JeUtf16(TDruhKodovani Druh)
{
    return Druh == TDruhKodovani::Utf16LE || Druh == TDruhKodovani::Utf16BE;
}

// The byte-order mark of an encoding (none for the 8-bit code page).
QByteArrayView ZnackaDruhu(TDruhKodovani Druh);
// The mark written before the text: the encoding's where Format has one.
QByteArrayView Znacka(const TFormat &Format);

// The encoding whose mark the bytes start with, UTF-8 first; none without a
// mark.
std::optional<TDruhKodovani> DruhPodleZnacky(QByteArrayView Bajty);

// A byte that belongs to no character of the encoding stays in the text as
// U+DC00 + byte: a lone low surrogate, which no well-formed text holds.
inline constexpr char16_t ZastupceNuly = 0xDC00;

inline bool JeZastupce(char16_t c)
{
    return c >= ZastupceNuly && c <= ZastupceNuly + 0xFF;
}

// True when the code units U+DC00..U+DCFF of a text read in this encoding
// stand for bytes of the file (UTF-8, UTF-16 of odd length); in UTF-16 of
// even length and in the 8-bit code page they are code units like any other.
bool ZastupujeBajty(const TFormat &Format);

// "UTF-8", "UTF-8 with BOM", "UTF-16LE with BOM", "windows-1250", ...
QString NazevFormatu(const TFormat &Format);

// The length of the well-formed UTF-8 sequence that starts at b[i] (i < n), 0
// when none does (a stray continuation byte, a sequence cut short, an overlong
// form, a surrogate, a code point above U+10FFFF). It looks at b[i] to b[i + 3]
// at most, and past a byte that cannot continue a sequence never.
Q_ALWAYS_INLINE int DelkaSekvenceUtf8(const uchar *b, qsizetype i, qsizetype n)
{
    const auto pokracuje = [&](qsizetype k, uchar Od = 0x80, uchar Do = 0xBF) {
        return i + k < n && b[i + k] >= Od && b[i + k] <= Do;
    };
    const uchar c = b[i];
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return pokracuje(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF)
        return pokracuje(1, c == 0xE0 ? 0xA0 : 0x80, c == 0xED ? 0x9F : 0xBF) && pokracuje(2) ? 3 : 0;
    if (c >= 0xF0 && c <= 0xF4)
        return pokracuje(1, c == 0xF0 ? 0x90 : 0x80, c == 0xF4 ? 0x8F : 0xBF) && pokracuje(2) && pokracuje(3) ? 4 : 0;
    return 0;
}

// The code point of the well-formed sequence of Delka bytes at b (1 to 4).
Q_ALWAYS_INLINE char32_t ZnakUtf8(const uchar *b, int Delka)
{
    switch (Delka) {
    case 2: return char32_t(b[0] & 0x1F) << 6 | (b[1] & 0x3F);
    case 3: return char32_t(b[0] & 0x0F) << 12 | char32_t(b[1] & 0x3F) << 6 | (b[2] & 0x3F);
    case 4:
        return char32_t(b[0] & 0x07) << 18 | char32_t(b[1] & 0x3F) << 12 | char32_t(b[2] & 0x3F) << 6 | (b[3] & 0x3F);
    default: return b[0];
    }
}

// The three forms a line break takes in a file.
enum class TZlom : quint8 { Lf, CrLf, Cr };

// The characters of a break: "\n", "\r\n" or "\r".
QStringView ZnakyZlomu(TZlom Zlom);
// The break of the system's own text files, which a new document gets: CR LF
// on Windows, LF elsewhere.
TZlom SystemovyZlom();

// A text's line breaks counted by their form.
struct TPoctyZlomu {
    qint64 CrLf = 0, Cr = 0, Lf = 0;

    qint64 Celkem() const { return CrLf + Cr + Lf; }
    // More than one form among them.
    bool Smisene() const { return (CrLf > 0) + (Cr > 0) + (Lf > 0) > 1; }
    // The form that most of them have. A tie goes to the system's break when
    // it is among the most frequent, then to LF, then to CR LF; a text
    // without a break has the system's.
    TZlom Prevazujici() const;

    TPoctyZlomu &operator+=(const TPoctyZlomu &Dalsi)
    {
        CrLf += Dalsi.CrLf;
        Cr += Dalsi.Cr;
        Lf += Dalsi.Lf;
        return *this;
    }
};

// Every CR LF, lone CR and lone LF as CR LF; Zlomy, when given, is set to the
// number of line breaks, Pocty to their count by form.
QString NormalizujKonceRadku(const QString &Text, qsizetype *Zlomy = nullptr, TPoctyZlomu *Pocty = nullptr);

// The bytes of a file (after its mark) in blocks, in order, to UTF-16 text.
// A block may end anywhere: a UTF-8 sequence, a UTF-16 code unit or (with
// bCrLf) a CR whose LF may follow waits for the next block. The text of all
// blocks together is the text of the bytes decoded at once.
class TDekoder {
public:
    // bCrLf: every CR LF, lone CR and lone LF as CR LF.
    TDekoder(TDruhKodovani Druh, bool bCrLf);

    // The text of the next block; bPosledni for the file's last one (possibly
    // empty), which ends what waits.
    QString Dekoduj(QByteArrayView Blok, bool bPosledni);

    qint64 Zlomy() const { return FPocty.Celkem(); }              // line breaks, with bCrLf
    qint64 ZmeneneZlomy() const { return FPocty.Cr + FPocty.Lf; } // of them the lone CR and LF made CR LF
    const TPoctyZlomu &PoctyZlomu() const { return FPocty; }      // by the form they had
    qint64 Zastupci() const { return FZastupci; }                 // bytes kept as stand-ins
    // Whether UTF-16 ended with a stray byte (kept as its stand-in).
    bool LichyNaKonci() const { return bLichyNaKonci; }

private:
    QString DekodujUtf16(QByteArrayView Bajty, bool bPosledni);

    TDruhKodovani FDruh;
    bool bCrLf;
    QByteArray FZbytek; // the bytes a block's edge cut: a UTF-8 sequence, the odd byte of UTF-16
    bool bCr = false;   // a CR at a block's end
    bool bLichyNaKonci = false;
    TPoctyZlomu FPocty;
    qint64 FZastupci = 0;
};

// UTF-16 text in pieces, in order, to the bytes of an encoding (without its
// mark: Znacka). A high surrogate at a piece's end waits for its low half.
// Nothing is ever replaced by "?" or U+FFFD: a character the encoding cannot
// hold fails the text (the 8-bit code page most characters, UTF-8 a lone
// half of a surrogate pair other than a byte's stand-in U+DC80..U+DCFF).
class TKoder {
public:
    // bZastupci false: the text's U+DC00..U+DCFF stand for no bytes (it was
    // read in an encoding that keeps none, ZastupujeBajty, and is written in
    // another), so they are code units like any other, and UTF-8 cannot hold
    // them. With Format.bLiche (UTF-16), a last code unit U+DC00..U+DCFF of
    // the whole text is written as its one byte.
    TKoder(const TFormat &Format, bool bZastupci = true);

    // Appends the bytes of the next piece to Bajty; bPosledni for the text's
    // last piece. False when the encoding cannot hold a character.
    bool Zakoduj(QStringView Text, bool bPosledni, QByteArray &Bajty);
    // The text was read from UTF-16 of odd length, which its decoder finds
    // only at the end: the last stand-in goes out as its byte.
    void NastavLiche(bool bLiche)
    {
        FFormat.bLiche = bLiche;
        bZastupci = bZastupci || bLiche;
    }

private:
    TFormat FFormat;
    bool bZastupci;
    char16_t FVysoky = 0; // a high surrogate at a piece's end
};
