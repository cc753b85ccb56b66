#pragma once
// What every test needs: no user settings, no user working folder, and message
// boxes answered by script instead of waiting for a person.

#include "Aplikace.h"
#include "Hlaseni.h"

#include <QDir>
#include <QList>
#include <QTemporaryDir>
#include <QtTest>

// Types Text into Cil key by key, as the keyboard would (also letters that
// QTest::keyClicks cannot send).
inline void Napis(QWidget *Cil, const QString &Text)
{
    for (const QChar c : Text)
        QTest::sendKeyEvent(QTest::Click, Cil, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

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
        QDir().mkpath(Docasna.filePath(QStringLiteral("prace")));
        QDir::setCurrent(Docasna.filePath(QStringLiteral("prace")));
        THlaseni::NastavPrezenter([this](const QString &Text, const QString &Nadpis, int Priznaky) {
            Dialogy.append({Text, Nadpis, Priznaky});
            return Odpovedi.isEmpty() ? IDOK : Odpovedi.takeFirst();
        });
    }
    ~TProstredi() { THlaseni::NastavPrezenter({}); }

    QString Cesta(const QString &Jmeno) const { return Docasna.filePath(QStringLiteral("prace/") + Jmeno); }

    QTemporaryDir Docasna;
    QList<TZaznamDialogu> Dialogy; // every message box shown, in order
    QList<int> Odpovedi;           // the buttons pressed, in order; OK when none is left
};
