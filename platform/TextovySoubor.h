#pragma once
// Text files read whole and written back in the encoding they came in.
//
// A byte-order mark decides the encoding (UTF-8, then UTF-16 LE, then UTF-16
// BE); the mark is not part of the text and is written back. A file without a
// mark is UTF-8 when its bytes are valid UTF-8 (not on Windows, where the
// system's text is not UTF-8), otherwise the system's 8-bit code page. Every
// CR LF, lone CR and lone LF reads as CR LF. Nothing is ever lost: a file whose
// bytes do not fit the encoding its mark names is read in the 8-bit code page,
// mark included, so that saving it unchanged gives the same bytes.

#include "Chyba.h"

#include <QByteArray>
#include <QString>

enum TKodovani {
    koUtf8,        // with a byte-order mark
    koUtf16LE,     // with a byte-order mark
    koUtf16BE,     // with a byte-order mark
    koUtf8BezZnacky,
    koOsmibitove,  // the system's 8-bit code page, no mark
};

// The encoding of a new document before any file is opened: the one the
// system uses for text without a mark.
TKodovani SystemoveKodovani();

struct TTextovySoubor {
    QString Text;
    TKodovani Kodovani;
};

// Decodes a whole file's bytes.
TTextovySoubor DekodujText(const QByteArray &Bajty);

// Encodes Text with the encoding's mark; false when the encoding cannot hold a
// character of it: the 8-bit code page most characters, UTF-8 a lone half of a
// surrogate pair. Nothing is ever replaced by "?" or U+FFFD.
bool ZakodujText(const QString &Text, TKodovani Kodovani, QByteArray &Bajty);

// Reads and decodes a file; an EChyba "Cannot open file "<path>". <reason>"
// when it cannot.
TTextovySoubor NactiTextovySoubor(const QString &Cesta);

// The reason given when UTF-8 cannot hold the text.
QString DuvodNeplatnehoUtf8();

// Every CR LF, lone CR and lone LF as CR LF.
QString NormalizujKonceRadku(const QString &Text);
