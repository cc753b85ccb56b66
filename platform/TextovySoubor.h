#pragma once
// Text files read whole and written back in the encoding they came in, byte
// for byte: an unchanged save gives the same file (line breaks apart).
//
// A byte-order mark decides the encoding (UTF-8, then UTF-16 LE, then UTF-16
// BE); the mark is not part of the text and is written back. A file without a
// mark is, on Windows, the system's 8-bit code page (the system's text is not
// UTF-8 there); elsewhere UTF-8 or windows-1250, whichever reading makes sense
// as text (the rule is told at DekodujText). Every CR LF, lone CR and lone LF
// reads as CR LF.
//
// Bytes that do not fit the encoding are never lost or replaced: in UTF-8 each
// invalid byte b is kept as the lone low surrogate U+DC00 + b (as Python's
// "surrogateescape"), and the stray last byte of a UTF-16 file of odd length
// likewise, at the end of the text. Such stand-ins are written back as the byte
// they stand for.

#include "Chyba.h"

#include <QByteArray>
#include <QString>

enum TKodovani {
    koUtf8,        // with a byte-order mark
    koUtf16LE,     // with a byte-order mark
    koUtf16BE,     // with a byte-order mark
    koUtf8BezZnacky,
    koOsmibitove,  // the system's 8-bit code page, no mark
    koUtf16LELiche, // with a byte-order mark, an odd number of bytes
    koUtf16BELiche, // with a byte-order mark, an odd number of bytes
};

// The encoding of a new document before any file is opened: the one the
// system uses for text without a mark.
TKodovani SystemoveKodovani();

struct TTextovySoubor {
    QString Text;
    TKodovani Kodovani;
    qsizetype ZastupciBajtu = 0; // bytes kept as stand-ins U+DC00 + byte
};

// True when the code units U+DC00..U+DCFF of a text in this encoding stand for
// bytes of the file (UTF-8 with or without a mark, UTF-16 of odd length). They
// must stay as they are, or the bytes they keep are lost. In UTF-16 of even
// length a lone surrogate is a code unit of the file like any other.
bool ZastupujeBajty(TKodovani Kodovani);

// Decodes a whole file's bytes.
TTextovySoubor DekodujText(const QByteArray &Bajty);

// Encodes Text with the encoding's mark; false when the encoding cannot hold a
// character of it: the 8-bit code page most characters, UTF-8 a lone half of a
// surrogate pair other than a byte's stand-in U+DC80..U+DCFF. Nothing is ever
// replaced by "?" or U+FFFD. In UTF-16 of odd length a last code unit
// U+DC00..U+DCFF is written as its one byte; without one the text is written
// as plain UTF-16.
bool ZakodujText(const QString &Text, TKodovani Kodovani, QByteArray &Bajty);

// Reads and decodes a file; an EChyba "Cannot open file "<path>". <reason>"
// when it cannot.
TTextovySoubor NactiTextovySoubor(const QString &Cesta);

// The reason given when UTF-8 cannot hold the text.
QString DuvodNeplatnehoUtf8();

// Every CR LF, lone CR and lone LF as CR LF.
QString NormalizujKonceRadku(const QString &Text);
