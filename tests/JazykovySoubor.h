#pragma once
// Language files as the localisation tests need them: small fixtures written
// into the test's working folder, the shipped trelo.xml, and a record of what
// the program looks up.

#include "JazykyXML.h"
#include "Soubory.h"

#include <QList>
#include <QString>
#include <QtTest>

// Two languages, CZ with the Czech flag and EN with the British one.
inline const QString DvaJazyky = QStringLiteral("<JAZYKY>"
                                                "<CZ index=\"0\"><N>Čeština</N><V>1.0</V><A>Jan Novák</A></CZ>"
                                                "<EN index=\"1\"><N>English</N><V>1.1</V><A>John Smith</A></EN>"
                                                "</JAZYKY>");

// A whole language file: the languages, then the sections given as XML.
inline QByteArray JazykovySoubor(const QString &Sekce, const QString &Jazyky = DvaJazyky)
{
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<trelo>\n") + Jazyky + Sekce +
            QStringLiteral("\n</trelo>\n"))
        .toUtf8();
}

// Puts the language file in the working folder, where the program looks.
inline void ZapisTrelo(const QByteArray &Obsah)
{
    Zapis(QStringLiteral("trelo.xml"), Obsah);
}

// The language file that comes with the program.
inline QByteArray DodavanyTrelo()
{
    const QByteArray obsah = Precti(QStringLiteral(LUMARIN_TRELO));
    [&] { QVERIFY2(obsah != "<unreadable>", LUMARIN_TRELO); }();
    return obsah;
}

struct THledani {
    QString Sekce;
    QString Klic;
    QString Zakladni;
};

// Every lookup of the global engine while it lives.
class TZaznamHledani {
public:
    TZaznamHledani()
    {
        JazykXML->PriHledani = [this](const QString &Sekce, const QString &Klic, const QString &Zakladni) {
            Hledani.append({Sekce, Klic, Zakladni});
        };
    }
    ~TZaznamHledani()
    {
        if (JazykXML)
            JazykXML->PriHledani = {};
    }
    TZaznamHledani(const TZaznamHledani &) = delete;
    TZaznamHledani &operator=(const TZaznamHledani &) = delete;

    QList<THledani> Hledani;
};
