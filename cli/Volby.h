#pragma once
// The command line of lumarin-convert: what the options ask for, and the help
// text that describes them.

#include "Chyba.h"
#include "Prevod.h"

#include <QByteArrayList>
#include <QString>
#include <QStringList>
#include <optional>

// A command line that cannot be obeyed; the message says why.
class EPouziti : public EChyba {
public:
    using EChyba::EChyba;
};

struct TVolby {
    QStringList Soubory;                     // as given; "-" is standard input
    bool bNaMiste = false;                   // -i
    std::optional<QString> Vystup;           // -o
    bool bRekurzivne = false;                // -r
    bool bKontrola = false;                  // --check
    bool bNula = false;                      // -0: --check's names each ended by NUL
    bool bPodrobne = false;                  // --verbose
    bool bNapoveda = false;                  // --help
    bool bVerze = false;                     // --version
    bool bSeznamKodovani = false;            // --list-encodings
    bool bVychoziTabulka = false;            // --default-table
    int Uloh = 0;                            // -j: files converted at once; 0 the number of cores
    std::optional<QString> Hledane, Nahrady; // --pairs
    TNastaveniPrevodu Prevod;                // --crlf, --binary, --utf8-fallback, --encoding
};

// Reads the arguments after the program's name (bytes as the system gave
// them; names of files that are not UTF-8 stay what they are). EPouziti when
// they ask for something impossible.
TVolby RozeberVolby(const QByteArrayList &Argumenty);

QString TextNapovedy();
QString TextVerze(const QString &Verze);
