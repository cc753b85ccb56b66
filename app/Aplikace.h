#pragma once
// The program's life: the service instances, then the five forms, each created
// in its order and freed in the reverse one.

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
};

// The order in which services and forms were created and freed in this run,
// by class name.
QStringList &PoradiZivota();
