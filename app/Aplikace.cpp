#include "Aplikace.h"

#include "Hlaseni.h"
#include "JazykyXML.h"
#include "Nastaveni.h"
#include "Retezce.h"
#include "SoubUtility.h"
#include "convar.h"
#include "fASCII.h"
#include "fHlavni.h"
#include "fJazyk.h"
#include "fOAplikaci.h"
#include "fZnaky.h"

#include <QApplication>

static void NactiZdroje()
{
    Q_INIT_RESOURCE(lumarin);
}

QStringList &PoradiZivota()
{
    static QStringList poradi;
    return poradi;
}

namespace {
template <typename T> void Vytvor(T *&Instance, const char *Jmeno)
{
    Instance = new T;
    PoradiZivota().append(QLatin1String(Jmeno));
}
template <typename T> void Uvolni(T *&Instance, const char *Jmeno)
{
    delete Instance;
    Instance = nullptr;
    PoradiZivota().append(QStringLiteral("~") + QLatin1String(Jmeno));
}
} // namespace

TSluzby::TSluzby()
{
    NactiZdroje();
    Vytvor(JazykXML, "TJazykXML");
    Vytvor(Hlaseni, "THlaseni");
    Vytvor(SouboroveInfo, "TSouboroveInfo");
    Vytvor(Nastaveni, "TNastaveni");
    Vytvor(Retezce, "TRetezce");
}

TSluzby::~TSluzby()
{
    Uvolni(Retezce, "TRetezce");
    Uvolni(Nastaveni, "TNastaveni");
    Uvolni(SouboroveInfo, "TSouboroveInfo");
    Uvolni(Hlaseni, "THlaseni");
    Uvolni(JazykXML, "TJazykXML");
    UvolniConvar();
}

TFormy::TFormy()
{
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(QStringLiteral("Lumarin"));
    // The main window comes first; its creation runs before the others exist.
    // The other forms are owned by it, so they close with it and stay off the
    // taskbar.
    HlavniForm = new THlavniForm;
    PoradiZivota().append(QStringLiteral("THlavniForm"));
    JazykForm = new TJazykForm(HlavniForm);
    PoradiZivota().append(QStringLiteral("TJazykForm"));
    OAplikaciForm = new TOAplikaciForm(HlavniForm);
    PoradiZivota().append(QStringLiteral("TOAplikaciForm"));
    ZnakyForm = new TZnakyForm(HlavniForm);
    PoradiZivota().append(QStringLiteral("TZnakyForm"));
    ASCIIForm = new TASCIIForm(ZnakyForm);
    PoradiZivota().append(QStringLiteral("TASCIIForm"));
}

TFormy::~TFormy()
{
    // The forms go in the reverse order of their creation.
    delete ASCIIForm;
    delete ZnakyForm;
    delete OAplikaciForm;
    delete JazykForm;
    delete HlavniForm;
    PoradiZivota().append(QStringLiteral("~TFormy"));
}
