#pragma once
// The program's life: the service instances, then the five forms, each created
// in its order and freed in the reverse one.

#include <QByteArrayList>
#include <QStringList>
#include <memory>

class THlavniForm;
class TJazykForm;
class TOAplikaciForm;
class TZnakyForm;
class TASCIIForm;

// The five service instances, created before any window and freed after the
// last one; their end also empties the pair table and the message texts.
class TSluzby {
public:
    TSluzby();
    ~TSluzby();
    TSluzby(const TSluzby &) = delete;
    TSluzby &operator=(const TSluzby &) = delete;
};

// The five forms, created hidden in the order main window, language chooser,
// about dialog, pair editor, character picker. Needs a QApplication.
class TFormy {
public:
    TFormy();
    ~TFormy();
    TFormy(const TFormy &) = delete;
    TFormy &operator=(const TFormy &) = delete;

    THlavniForm *HlavniForm = nullptr;
    TJazykForm *JazykForm = nullptr;
    TOAplikaciForm *OAplikaciForm = nullptr;
    TZnakyForm *ZnakyForm = nullptr;
    TASCIIForm *ASCIIForm = nullptr;

    // Shows the main window (its show event applies the language) and, once
    // the event loop runs, opens Soubor as "Otevřít..." opens a file; a file
    // that cannot be opened is told by the general error report and leaves
    // the empty document. An empty Soubor opens nothing.
    void Spust(const QString &Soubor = QString());
};

// What the command line asks the program to do. Only the program's own options
// are read; the toolkit never sees any of them.
enum TDruhSpusteni : quint8 { dsOkno, dsNapoveda, dsVerze, dsChyba };

struct TPrikazovaRadka {
    TDruhSpusteni Druh = dsOkno;
    // dsOkno: the file to open at start (the first one named), empty for none.
    QString Soubor;
    // dsChyba: the argument that is no option of the program.
    QString Chyba;
};

// Reads the arguments after the program's name. "--help" or "-h" and
// "--version" ask for the text alone (the first of them counts); "--" makes
// every later argument a file name; any other argument that begins with "-"
// (a lone "-" excepted) is an unknown option. A file name's bytes become a
// path without loss (DekodujCestu), also when they are not UTF-8; an empty
// argument names nothing.
TPrikazovaRadka RozeberPrikazovouRadku(const QByteArrayList &Argumenty);

// What "--help" prints; Program is the name the program was started by.
QString NapovedaPrikazoveRadky(const QString &Program);

// A path given relative to the working folder as the full path to the same
// file: the working folder's bytes as the system gives them, "." parts and
// doubled separators left out. ".." stays, since a symbolic link before it
// makes it mean something else than a shortening.
QString UplnaCesta(const QString &Cesta);

// The order in which services and forms were created and freed in this run,
// by class name.
QStringList &PoradiZivota();
