#pragma once
// Files as the tests see them: read and written with plain system calls (names
// that are not UTF-8 included, and never waiting on a pipe), and the limits a
// test puts on the process for a while.

#include "Soubor.h"

#include <QByteArray>
#include <QFileInfo>
#include <QtTest>
#ifdef Q_OS_WIN
#include <QDir>
#include <QFile>

// The whole file, or "<unreadable>".
inline QByteArray Precti(const QString &Cesta)
{
    QFile soubor(Cesta);
    if (!soubor.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return soubor.readAll();
}

// Creates a folder and those above it that are missing.
inline void VytvorSlozku(const QString &Slozka)
{
    if (!Slozka.isEmpty())
        QDir().mkpath(Slozka);
}

// Creates or replaces the file (and its folder) with exactly these bytes.
inline void Zapis(const QString &Cesta, const QByteArray &Bajty)
{
    VytvorSlozku(QFileInfo(Cesta).path());
    QFile soubor(Cesta);
    QVERIFY2(soubor.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(Cesta));
    QCOMPARE(soubor.write(Bajty), Bajty.size());
    QVERIFY(soubor.flush());
}

// Windows has no file size limit of a process: bNastaven stays false.
using rlim_t = quint64;
struct TLimitVelikosti {
    explicit TLimitVelikosti(rlim_t) { }
    TLimitVelikosti(const TLimitVelikosti &) = delete;
    TLimitVelikosti &operator=(const TLimitVelikosti &) = delete;
    bool bNastaven = false;
};

#else
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <unistd.h>

// The whole file, or "<unreadable>".
inline QByteArray Precti(const QString &Cesta)
{
    const int fd = ::open(KodujCestu(Cesta).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return "<unreadable>";
    QByteArray bajty;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        bajty.append(buffer, n);
    ::close(fd);
    return bajty;
}

// Creates a folder and those above it that are missing, by the names' bytes.
inline void VytvorSlozku(const QString &Slozka)
{
    const QByteArray bajty = KodujCestu(Slozka);
    struct stat st;
    if (Slozka.isEmpty() || ::stat(bajty.constData(), &st) == 0)
        return;
    VytvorSlozku(QFileInfo(Slozka).path());
    ::mkdir(bajty.constData(), 0755);
}

// Creates or replaces the file (and its folder) with exactly these bytes.
inline void Zapis(const QString &Cesta, const QByteArray &Bajty)
{
    VytvorSlozku(QFileInfo(Cesta).path());
    const int fd = ::open(KodujCestu(Cesta).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY2(fd >= 0, qPrintable(Cesta));
    QCOMPARE(::write(fd, Bajty.constData(), size_t(Bajty.size())), ssize_t(Bajty.size()));
    QCOMPARE(::close(fd), 0);
}

// A file size limit for this process, as a quota or `ulimit -f` gives it: a
// write beyond it fails with EFBIG (SIGXFSZ ignored, as the program does).
struct TLimitVelikosti {
    explicit TLimitVelikosti(rlim_t Bajtu)
    {
        FSignal = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &FPuvodni);
        rlimit novy = FPuvodni;
        novy.rlim_cur = Bajtu;
        bNastaven = ::setrlimit(RLIMIT_FSIZE, &novy) == 0;
    }
    ~TLimitVelikosti()
    {
        ::setrlimit(RLIMIT_FSIZE, &FPuvodni);
        std::signal(SIGXFSZ, FSignal);
    }
    TLimitVelikosti(const TLimitVelikosti &) = delete;
    TLimitVelikosti &operator=(const TLimitVelikosti &) = delete;
    bool bNastaven = false;
    rlimit FPuvodni;
    void (*FSignal)(int);
};

#endif

// Text as a UTF-8 file that every system reads as UTF-8: on Windows, where a
// file without a byte-order mark is read in the ANSI code page, with the mark.
inline QByteArray Utf8Soubor(const QString &Text)
{
#ifdef Q_OS_WIN
    return "\xEF\xBB\xBF" + Text.toUtf8();
#else
    return Text.toUtf8();
#endif
}

// Restores an environment variable when it goes out of scope.
struct TPromenna {
    explicit TPromenna(const char *Jmeno_)
        : Jmeno(Jmeno_),
          bBylo(qEnvironmentVariableIsSet(Jmeno_)),
          Puvodni(qgetenv(Jmeno_))
    { }
    ~TPromenna()
    {
        if (bBylo)
            qputenv(Jmeno, Puvodni);
        else
            qunsetenv(Jmeno);
    }
    TPromenna(const TPromenna &) = delete;
    TPromenna &operator=(const TPromenna &) = delete;
    const char *Jmeno;
    bool bBylo;
    QByteArray Puvodni;
};
