#pragma once
// What lumarin-convert reads: a named file or a descriptor.

#include <QByteArray>
#include <QString>
#include <memory>

class TPrevodnik;
struct TPruchod;

// An input: a named file, or a descriptor (standard input). Implemented
// with the rest of what the system provides (Platforma.h). Anything that
// cannot be read at any offset (a pipe, a terminal) is read as it comes and,
// when the file has to be read twice, kept in a temporary file meanwhile.
//
// A regular file is watched from the moment it is opened: its size, its
// modification and change times, and (for a named file) that its name still
// names it (the same inode, or on Windows the same file index). The
// converter's result stands only while they are as they were.
class TZdroj {
public:
    // Opens a file or takes a descriptor; an EChyba "Cannot open file ..."
    // when it cannot be read. A path of any length is opened (one folder at
    // a time on POSIX, with the \\?\ prefix on Windows). With bJenSoubor
    // (-i) anything but a regular file is refused with "Cannot create file
    // ..." without being read, and a named pipe without being opened: no
    // writer is waited for, and no writer's data is taken. Otherwise a named
    // pipe waits for its writer, as any reader of it does.
    static std::unique_ptr<TZdroj> Otevri(const QString &Cesta, bool bJenSoubor = false);
    static std::unique_ptr<TZdroj> ZDeskriptoru(int Fd, const QString &Jmeno);
    virtual ~TZdroj() = default;

    const QString &Jmeno() const { return FJmeno; }
    // The size when it is known before reading, else -1.
    virtual qint64 Velikost() const = 0;
    // Throws EChyba "Cannot open file "<name>". The file changed while it was
    // read" where the regular file is no longer what it was when it was
    // opened: another size, modification or change time, or its name now
    // names another file or none. Nothing for a pipe or a terminal.
    virtual void Over() const = 0;
    // Whether descriptor Fd has this very regular file open.
    virtual bool JeSouborem(int Fd) const = 0;
    // Lets go of the file just before the converted text takes its name:
    // Windows replaces no file that is open. Nothing is read after it.
    virtual void PustSoubor() { }

protected:
    explicit TZdroj(QString Jmeno) : FJmeno(std::move(Jmeno)) { }

private:
    QString FJmeno;
    friend class TPrevodnik;
    friend struct TPruchod;
    // Reading at an offset from the start (only where Nahodny() is true), and
    // in order; Hlava gives the first bytes without taking them, so that
    // CtiDal still starts with them.
    virtual bool Nahodny() const = 0;
    // The descriptor that holds the data from offset Posun on, to be mapped,
    // or -1 (only where Nahodny() is true).
    virtual int Deskriptor(qint64 &Posun) const = 0;
    virtual qsizetype CtiNa(qint64 Pozice, char *Cil, qsizetype Delka) = 0;
    virtual qsizetype CtiDal(char *Cil, qsizetype Delka) = 0;
    virtual QByteArray Hlava(qsizetype Delka) = 0;
    // Makes the input readable at any offset from its start, reading the rest
    // into a temporary file.
    virtual void Uloz() = 0;
};
