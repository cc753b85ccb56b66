#pragma once
// What lumarin-convert needs of the operating system beyond Qt Core and
// beyond its arguments (Konzole.h): its standard streams, the lines it tells
// the user, what a path names, the files below a folder, and the hook that
// tests stop it at. Two implementations, chosen by CMake: PlatformaPosix.cpp
// (file descriptors, openat and dirent, of any path length) and
// PlatformaWin.cpp (the wide-character Windows API, with the \\?\ prefix for
// long paths). The inputs and standard output (TZdroj, TVystupSoubor in
// Prevod.h) are implemented in the same two files.

#include <QByteArrayList>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <memory>
#include <optional>

// Before anything else in main: a write beyond the user's file-size limit is
// an error of that one file (POSIX); standard input and output carry bytes as
// they are, with no CR LF of the C runtime (Windows).
void PripravProces();

// The files the user named. On Windows, where the shell leaves * and ? to
// the program, a name with them stands for the files and folders it matches
// (hidden ones left out), in the order of their names; one that matches
// nothing stays as it is, and its error names it. Elsewhere the shell has
// done that already.
QStringList RozvinVzory(const QStringList &Soubory);

// Writes a line of text to standard output or error: UTF-8 bytes, or on a
// Windows console its characters, whatever the console's code page.
void Vypis(FILE *Kam, const QString &Text);

// The system's reason why the first write of Vypis to standard output failed
// (a full disk, a closed pipe); empty while none has.
QString ChybaVypisu();

// Whether standard error is a terminal that redraws a line in place ("\r" and
// "\033[K").
bool ChybyNaTerminalu();

// A path as the messages show it: as the user typed it (its bytes, on
// POSIX; with the system's separators, on Windows).
QString Zobraz(const QString &Cesta);

// What a path names (links followed), or nothing where it cannot be looked at.
// Identita is the same for every name of one file (its device and inode, or
// volume and file index), empty where it is not known.
struct TInfoCesty {
    bool bSlozka = false;
    bool bSoubor = false; // a regular file
    qint64 Velikost = 0;
    QByteArray Identita;
};
std::optional<TInfoCesty> InfoCesty(const QString &Cesta);

// A file that -r found below a folder.
struct TNalez {
    QString Cesta;
    qint64 Velikost = 0;
    QByteArray Identita; // as in TInfoCesty
};

// The regular files below a folder, in the order of their names (UTF-8 byte
// order); symbolic links and anything but regular files and folders are
// passed over (a link that the user named as the folder is followed). A path
// of any length is reached, and what cannot be read is told in Chyby:
// nothing is passed over in silence.
void ProjdiSlozku(const QString &Slozka, QList<TNalez> &Nalezy, QStringList &Chyby);

// For -i: the path the writer is given for a file, and what keeps it valid
// for as long as it lives. Where the system cannot take the path at once
// (longer than PATH_MAX on POSIX) the working folder moves into the file's
// folder meanwhile and the writer reaches the file by its name alone; null
// where the path serves as it is. Throws EChyba when it cannot.
class TCestaZapisu {
public:
    virtual ~TCestaZapisu() = default;
    virtual const QString &Jmeno() const = 0;
};
std::unique_ptr<TCestaZapisu> CestaZapisu(const QString &Cesta);
// Whether CestaZapisu moves the working folder for this path: nothing else
// that uses a relative path may run meanwhile.
bool CestaZapisuMeniSlozku(const QString &Cesta);

// A test's hold on the converter (LUMARIN_CONVERT_STOP): the converter stops
// until the test lets it go on. POSIX: SIGSTOP, and the test's SIGCONT.
// Windows: the file named by LUMARIN_CONVERT_STOP_FILE is created, and the
// converter goes on once the test has removed it.
void ZastavSe();
