#pragma once
// What every test needs: no user settings, no user working folder, and message
// boxes answered by script instead of waiting for a person.

#include "Aplikace.h"
#include "Dialogy.h"
#include "Hlaseni.h"

#include <QDir>
#include <QList>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

// Types Text into Cil key by key, as the keyboard would (also letters that
// QTest::keyClicks cannot send).
inline void Napis(QWidget *Cil, const QString &Text)
{
    for (const QChar c : Text)
        QTest::sendKeyEvent(QTest::Click, Cil, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Drops root's right to ignore file permissions for as long as it lives, so
// that a write-protected folder or file protects also in a test run as root.
// Windows has no such right to drop: there it does nothing.
struct TBezPrivilegii {
#ifndef Q_OS_WIN
    TBezPrivilegii()
    {
        if (geteuid() == 0)
            bRoot = seteuid(65534) == 0;
    }
    ~TBezPrivilegii()
    {
        if (bRoot)
            QVERIFY(seteuid(0) == 0);
    }
#else
    TBezPrivilegii() = default;
#endif
    TBezPrivilegii(const TBezPrivilegii &) = delete;
    TBezPrivilegii &operator=(const TBezPrivilegii &) = delete;
    bool bRoot = false;
};

#ifdef Q_OS_WIN
// On Windows the settings live in the registry under HKEY_CURRENT_USER: for
// as long as a test's environment lives, that root of this process is a key
// of its own, one for each settings folder (XDG_CONFIG_HOME, which a test
// that changes it follows with OddelRegistr), all removed when the test ends
// (ProstrediWin.cpp). Programs the test starts see the user's own root.
void OddelRegistr();
void VratRegistr();
// Sets the file's time of last change, in the units of TIdentitaSouboru
// (seconds since 1601 and nanoseconds, kept to 100 ns).
bool NastavCasZmeny(const QString &Cesta, qint64 Sekundy, qint64 Nanosekundy);
// Whether the tests run under Wine rather than on Windows itself, for the few
// cases where Wine cannot do what Windows does (each skip says what).
bool PodWine();
#endif

// Starts a program the test runs and waits until it runs. Under Wine the
// start itself fails now and then, about once in a thousand, with no fault of
// the program started; there it is tried twice more, each retry said in the
// log. Elsewhere a start that fails is the test's failure.
inline bool Spusteno(QProcess &P, const QString &Program, const QStringList &Argumenty)
{
    P.start(Program, Argumenty);
    bool bBezi = P.waitForStarted();
#ifdef Q_OS_WIN
    for (int pokus = 0; !bBezi && pokus < 2 && PodWine(); ++pokus) {
        qWarning("under Wine the program did not start (%s); starting it again", qPrintable(P.errorString()));
        if (P.state() != QProcess::NotRunning) {
            P.kill();
            P.waitForFinished();
        }
        P.start(Program, Argumenty);
        bBezi = P.waitForStarted();
    }
#endif
    return bBezi;
}

// Skips a test of the settings file itself (damaged, protected, its exact
// shape) where there is none: on Windows the settings are in the registry.
#ifdef Q_OS_WIN
#define JEN_SOUBOR_NASTAVENI() QSKIP("on Windows the settings are in the registry, not in a file to damage or protect")
#else
#define JEN_SOUBOR_NASTAVENI()                                                                                         \
    do {                                                                                                               \
    } while (false)
#endif

struct TZaznamDialogu {
    QString Text;
    QString Nadpis;
    int Priznaky;
};

class TProstredi {
public:
    TProstredi()
    {
        QVERIFY2(Docasna.isValid(), "no temporary folder");
        qputenv("XDG_CONFIG_HOME", Docasna.filePath(QStringLiteral("config")).toLocal8Bit());
#ifdef Q_OS_WIN
        OddelRegistr();
#endif
        QDir().mkpath(Docasna.filePath(QStringLiteral("prace")));
        QDir::setCurrent(Docasna.filePath(QStringLiteral("prace")));
        THlaseni::NastavPrezenter([this](const QString &Text, const QString &Nadpis, int Priznaky) {
            Dialogy.append({Text, Nadpis, Priznaky});
            return Odpovedi.isEmpty() ? IDOK : Odpovedi.takeFirst();
        });
    }
    ~TProstredi()
    {
        THlaseni::NastavPrezenter({});
#ifdef Q_OS_WIN
        VratRegistr();
        // Windows removes no folder that is a process's working folder.
        QDir::setCurrent(QDir::tempPath());
#endif
    }

    QString Cesta(const QString &Jmeno) const
    {
        return Docasna.filePath(QStringLiteral("prace/") + Jmeno);
    }

    QTemporaryDir Docasna;
    QList<TZaznamDialogu> Dialogy; // every message box shown, in order
    QList<int> Odpovedi;           // the buttons pressed, in order; OK when none is left
};

// Font and file dialogs answered by script; what they were asked is kept.
class TSkriptDialogy : public TDialogy {
public:
    bool Potvrdit = false;
    QFont Pismo;
    int PocetPisem = 0;
    QStringList Otevrit;       // the files chosen in the open dialog, in order; empty: cancel
    QStringList Ulozit;        // the files chosen in the save dialog, in order; empty: cancel
    QStringList NavrhyUlozeni; // the names the save dialog proposed
    int PocetOtevreni = 0;

    bool VyberPismo(QWidget *, QFont &pismo, QColor &) override
    {
        ++PocetPisem;
        if (Potvrdit)
            pismo = Pismo;
        return Potvrdit;
    }
    QString OtevritSoubor(QWidget *) override
    {
        ++PocetOtevreni;
        return Otevrit.isEmpty() ? QString() : Otevrit.takeFirst();
    }
    QString UlozitSoubor(QWidget *, const QString &Navrh) override
    {
        NavrhyUlozeni << Navrh;
        return Ulozit.isEmpty() ? QString() : Ulozit.takeFirst();
    }
};
