#pragma once
// Text files read whole and written back in the encoding they came in, byte
// for byte: an unchanged save gives the same file, unless its line breaks were
// of more than one form.
//
// A byte-order mark decides the encoding (UTF-8, then UTF-16 LE, then UTF-16
// BE); the mark is not part of the text and is written back. A file without a
// mark is, on Windows, the system's 8-bit code page (the system's text is not
// UTF-8 there); elsewhere UTF-8 or windows-1250, whichever reading makes sense
// as text (the rule is told at DekodujText). Every CR LF, lone CR and lone LF
// reads as CR LF, and the file's form of break is kept beside the text to be
// written back: the one form of all its breaks, or, where they are mixed, the
// most frequent one (TPoctyZlomu::Prevazujici).
//
// Bytes that do not fit the encoding are never lost or replaced: in UTF-8 each
// invalid byte b is kept as the lone low surrogate U+DC00 + b (as Python's
// "surrogateescape"), and the stray last byte of a UTF-16 file of odd length
// likewise, at the end of the text. Such stand-ins are written back as the byte
// they stand for.

#include "Chyba.h"
#include "Kodek.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>
#include <QString>
#include <array>
#include <functional>
#include <memory>

enum TKodovani {
    koUtf8,    // with a byte-order mark
    koUtf16LE, // with a byte-order mark
    koUtf16BE, // with a byte-order mark
    koUtf8BezZnacky,
    koOsmibitove,   // the system's 8-bit code page, no mark
    koUtf16LELiche, // with a byte-order mark, an odd number of bytes
    koUtf16BELiche, // with a byte-order mark, an odd number of bytes
};

// The encoding of a new document before any file is opened: the one the
// system uses for text without a mark.
TKodovani SystemoveKodovani();

struct TTextovySoubor {
    QString Text;
    TKodovani Kodovani;
    qsizetype ZastupciBajtu = 0;  // bytes kept as stand-ins U+DC00 + byte
    qsizetype Zlomy = 0;          // line breaks of Text, each a CR LF
    TPoctyZlomu PoctyZlomu;       // the file's line breaks by the form they had
    TZlom Zlom = SystemovyZlom(); // the form they are written back in
};

// True when the code units U+DC00..U+DCFF of a text in this encoding stand for
// bytes of the file (UTF-8 with or without a mark, UTF-16 of odd length). They
// must stay as they are, or the bytes they keep are lost. In UTF-16 of even
// length a lone surrogate is a code unit of the file like any other.
bool ZastupujeBajty(TKodovani Kodovani);

// The encoding as the codec takes it.
TFormat FormatKodovani(TKodovani Kodovani);

// Decodes a whole file's bytes. With Krok, a big file is decoded in blocks
// with a call of Krok (bytes done, bytes in all) after every few megabytes,
// which may throw to give the reading up; the text is the same.
TTextovySoubor DekodujText(const QByteArray &Bajty, const std::function<void(qint64, qint64)> &Krok = {});

// Encodes Text with the encoding's mark; false when the encoding cannot hold a
// character of it: the 8-bit code page most characters, UTF-8 a lone half of a
// surrogate pair other than a byte's stand-in U+DC80..U+DCFF. Nothing is ever
// replaced by "?" or U+FFFD. In UTF-16 of odd length a last code unit
// U+DC00..U+DCFF is written as its one byte; without one the text is written
// as plain UTF-16. bZastupci false: the text's U+DC00..U+DCFF stand for no
// bytes (it was read in an encoding that keeps none, ZastupujeBajty, and is
// written in another), so they are code units like any other, and UTF-8
// cannot hold them.
bool ZakodujText(const QString &Text, TKodovani Kodovani, QByteArray &Bajty, bool bZastupci = true);

// Reads and decodes a file; an EChyba "Cannot open file "<path>". <reason>"
// when it cannot.
TTextovySoubor NactiTextovySoubor(const QString &Cesta);

// The reason given when UTF-8 cannot hold the text.
QString DuvodNeplatnehoUtf8();

// ---- Reading a file piece by piece ----
//
// The command-line converter reads files of any size in blocks, and must come
// to the same encoding and the same text as DekodujText does with the whole
// file. These are the parts of the rules above that it needs.

// What the UTF-8 reading of a file without a mark holds, counted over its
// bytes. Counts of pieces add up to the whole file's when every piece starts
// where a character of the UTF-8 reading starts (no piece cuts a well-formed
// sequence in two, nor a sequence that is cut short: see the converter's
// block reader).
struct TPoctyUtf8 {
    qint64 Neplatne = 0;        // bytes outside well-formed sequences (I)
    qint64 Vicebajtove = 0;     // characters of more than one byte (M)
    bool bNedefinovany = false; // a byte that the 8-bit code page leaves undefined

    TPoctyUtf8 &operator+=(const TPoctyUtf8 &Dalsi)
    {
        Neplatne += Dalsi.Neplatne;
        Vicebajtove += Dalsi.Vicebajtove;
        bNedefinovany = bNedefinovany || Dalsi.bNedefinovany;
        return *this;
    }
};

TPoctyUtf8 SpocitejUtf8(QByteArrayView Bajty);

// The bytes that the 8-bit code page leaves undefined (TPoctyUtf8::bNedefinovany).
const std::array<bool, 0x100> &NedefinovaneBajty();

// What the counts decide for the whole file: UTF-8, the 8-bit code page, or
// nothing yet (the characters that real text does not hold must be counted:
// TRozborUtf8).
enum TRozhodnutiUtf8 { ruUtf8, ruOsmibitove, ruRozbor };
TRozhodnutiUtf8 RozhodniUtf8(const TPoctyUtf8 &Pocty);

// The count of characters that real text does not hold, over a file's bytes
// given in pieces cut anywhere, in order.
class TRozborUtf8 {
public:
    TRozborUtf8();
    ~TRozborUtf8();
    TRozborUtf8(const TRozborUtf8 &) = delete;
    TRozborUtf8 &operator=(const TRozborUtf8 &) = delete;

    void Pridej(QByteArrayView Kus);
    // After the last piece: whether DekodujText reads the file as UTF-8.
    bool JeUtf8(const TPoctyUtf8 &Pocty);

private:
    struct TData;
    std::unique_ptr<TData> d;
};
