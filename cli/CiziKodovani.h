#pragma once
// Encodings beyond the program's own codec (UTF-8, UTF-16 and the 8-bit code
// page of Kodek.h), for --encoding: every converter ICU knows on POSIX
// systems (ISO-8859-2, CP852, KOI8-R, Shift_JIS, ...), the system's
// single-byte code pages on Windows, whose toolkit has no ICU. A file in such
// an encoding is read and written back in it; nothing is ever replaced by a
// substitute: a byte sequence the encoding cannot read, or a character it
// cannot hold, fails the text.

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>
#include <memory>
#include <optional>

struct TCiziKodovani {
    QByteArray Nazev;  // what the converter is opened by
    QString Zobrazeni; // the usual name, for messages ("ISO-8859-2", "IBM852")
    int Nejmene = 1;   // bytes of the shortest character (2 and more: NUL bytes are text)
};

// The encoding of a name or alias (any case; "latin2", "cp852",
// "ISO_8859-2:1987"), nothing when none has that name.
std::optional<TCiziKodovani> NajdiKodovani(const QByteArray &Jmeno);

// Every encoding, each as its name followed by its aliases.
QList<QByteArrayList> SeznamKodovani();

// Decodes the bytes of one encoding in blocks and encodes text in another
// (or the same) in pieces; what a block's edge cuts (a multi-byte character,
// the state of a stateful encoding) is carried over to the next.
class TCiziPrevod {
public:
    TCiziPrevod(const QByteArray &Vstup, const QByteArray &Vystup); // EChyba when one cannot be opened
    ~TCiziPrevod();
    TCiziPrevod(const TCiziPrevod &) = delete;
    TCiziPrevod &operator=(const TCiziPrevod &) = delete;

    // Bytes written for one code unit at most, for sizing the output.
    int NejviceNaZnak() const;
    // Appends the text of the next block; bPosledni ends what waits. False
    // at bytes the input encoding cannot read (or a character cut short at
    // the end).
    bool Dekoduj(QByteArrayView Bajty, bool bPosledni, QString &Text);
    // Appends the bytes of the next piece; false at a character the output
    // encoding cannot hold.
    bool Zakoduj(QStringView Text, bool bPosledni, QByteArray &Bajty);

private:
    struct TData;
    std::unique_ptr<TData> d;
};
