#pragma once
// Reading and writing whole files: the one reader and the one writer of every
// file the program keeps (documents, settings, the converter's output).
//
// Paths are QStrings; on POSIX systems a name is bytes, and a name that is not
// valid UTF-8 still has to reach the same file. KodujCestu and DekodujCestu
// turn one into the other without loss: UTF-8, except that a byte that does
// not belong to valid UTF-8 is the lone surrogate U+DC80..U+DCFF (the byte
// 0x80..0xFF). Every path given to the functions below is read that way.

#include "Chyba.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

// What tells one state of a file from another without reading it: the file
// itself (device and inode number, or the volume and file index), its size and
// the time of its last change, to the resolution that the file system keeps.
// A file rewritten in place, appended to, or replaced by another one under the
// same name has another identity.
struct TIdentitaSouboru {
    quint64 Zarizeni = 0;
    quint64 Uzel = 0;
    qint64 Velikost = 0;
    qint64 ZmenaS = 0;  // seconds since the epoch
    qint64 ZmenaNs = 0; // and nanoseconds within that second
    bool operator==(const TIdentitaSouboru &) const = default;
};

// A file larger than the reader was allowed to take. Velikost is its size in
// bytes; with bNejmene only the bytes it was seen to hold (a file that grew
// while it was read, or one whose size the system gives as 0 and that reads
// on, as those of /proc), one more than the reader takes.
class EPrilisVelky : public EChyba {
public:
    EPrilisVelky(const QString &Cesta, qint64 Velikost, bool bNejmene = false);
    qint64 Velikost() const { return FVelikost; }
    bool Nejmene() const { return bFNejmene; }

private:
    qint64 FVelikost;
    bool bFNejmene;
};

// Reads a whole regular file. An EChyba "Cannot open file "<path>". <reason>"
// when it cannot: a folder, a pipe, a socket or a device is refused without
// being read (and without waiting for a writer). With Nejvice >= 0 a file of
// more bytes throws EPrilisVelky, before anything is read when its size says
// so, or as soon as it has given more than that while being read (never more
// than Nejvice + 1 bytes are read). Identita, when given, receives the
// identity of the file that was read as it stood when the reading began, so
// that a change made while it was read shows as a change.
QByteArray NactiBajty(const QString &Cesta, qint64 Nejvice = -1, TIdentitaSouboru *Identita = nullptr);

// Replaces the file's content; the name of a symbolic link stands for the file
// it points to, which is created when it does not exist. A failure at any point
// leaves the old file as it was and throws an EChyba
// "Cannot create file "<path>". <reason>" with the system's reason. Only a
// regular file is ever replaced. The file stays the same file: its mode, group,
// extended attributes (ACLs among them), its owner and its other hard links.
// Where keeping those means writing into the file itself (other hard links,
// another owner, a folder that takes no new file), the write is checked and
// undone on failure like any other, but a program killed in the middle of it
// leaves the file partly written; the usual path through a temporary file and
// a rename survives a kill at any point. Returns the identity of the file that
// now holds the content, as the writer left it.
TIdentitaSouboru ZapisSoubor(const QString &Cesta, const QByteArray &Bajty);

// ZapisSoubor for content that comes in pieces, so that a file of any size is
// written without being held whole: Otevri names the file, Pridej adds to the
// new content, Znovu drops what was added and starts over, Dokonci puts the
// new content in place. Nothing of the old file changes before Dokonci, and a
// writer destroyed without a Dokonci that succeeded leaves the old file as it
// was and no temporary file behind. Every step may throw the EChyba of
// ZapisSoubor, with the same checks and texts; Otevri refuses at once what
// ZapisSoubor never replaces (a folder, a pipe, a device, a file that may not
// be written). A failed Pridej or Dokonci leaves the writer failed: later
// calls throw the same error until Znovu starts over.
//
// The content goes through the temporary file as it comes, so that memory
// stays bounded, except where the file is written in place (other hard links,
// another owner, a folder that takes no new file): there the whole new content
// is kept in memory until Dokonci, since the old bytes must stay untouched
// until then. A content of a few megabytes is kept in memory anyway, so that
// a writer given up before Dokonci (a file that turned out unchanged) has made
// no temporary file at all.
//
// Otevri's Jmeno, where given, names the file in the messages instead of
// Cesta (a caller that reaches the file by a shorter, relative path). Dokonci's
// Kontrola runs at the last moment before the old content is replaced: after
// the temporary file is on the disk and just before the rename, or after the
// old bytes of a file written in place are read and before the first of them
// is overwritten. An EChyba it throws fails Dokonci with the old file as it
// was, so that a caller can make sure that the file is still the one whose
// content it converted.
class TZapisSouboru {
public:
    TZapisSouboru();
    ~TZapisSouboru();
    TZapisSouboru(const TZapisSouboru &) = delete;
    TZapisSouboru &operator=(const TZapisSouboru &) = delete;

    void Otevri(const QString &Cesta, const QString &Jmeno = {});
    void Pridej(QByteArrayView Bajty);
    void Znovu();
    void Dokonci(const std::function<void()> &Kontrola = {});
    // The bytes of the new content so far.
    qint64 Velikost() const;
    // After a Dokonci that succeeded: the identity of the file that holds the
    // new content.
    TIdentitaSouboru Identita() const;

private:
    struct TData;
    std::unique_ptr<TData> d;
};

// True when Cesta (links followed) names something that exists and is not a
// folder: something that a save writes to or refuses, rather than asking for
// another name.
bool ExistujeSoubor(const QString &Cesta);

// The identity of the file that Cesta names now (links followed); none when
// there is no such file or it cannot be looked at.
std::optional<TIdentitaSouboru> IdentitaSouboru(const QString &Cesta);

// The bytes of a path, and the path of bytes (see the top of this header).
QByteArray KodujCestu(const QString &Cesta);
QString DekodujCestu(const QByteArray &Bajty);

// Qt's own file dialog decodes a name that is not valid UTF-8 with U+FFFD for
// the bytes it cannot read, and so names a file that does not exist. When
// Cesta does not exist and its folder holds exactly one entry that decodes that
// way to Cesta's last part, this is the path of that entry; otherwise Cesta.
QString NajdiSoubor(const QString &Cesta);

// The system's text for an error number (errno; on Windows as Qt reads the
// number), in the language of the user's locale.
QString TextChybySystemu(int Chyba);

// The error of a file that cannot be created or written:
// "Cannot create file "<path>". <reason>".
EChyba ChybaVytvoreni(const QString &Cesta, const QString &Duvod);

// The error of a file that cannot be read: "Cannot open file "<path>". <reason>".
EChyba ChybaOtevreni(const QString &Cesta, const QString &Duvod);
