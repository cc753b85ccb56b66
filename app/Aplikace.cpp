#include "Aplikace.h"

#include "Hlaseni.h"
#include "JazykyXML.h"
#include "Nastaveni.h"
#include "Retezce.h"
#include "SoubUtility.h"
#include "Chyby.h"
#include "Soubor.h"
#include "convar.h"
#include "fASCII.h"
#include "fHlavni.h"
#include "fJazyk.h"
#include "fOAplikaci.h"
#include "fZnaky.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QPointer>
#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

// The forms are measured for Tahoma. A system without it may still have
// Wine's metric-compatible one (Debian's fonts-wine), in a folder that the
// system's font list leaves out: the program then takes it from there. Needs
// the application object, so it comes with the forms.
static void NactiTahomu()
{
#ifndef Q_OS_WIN
    static bool bHotovo = false;
    if (bHotovo || QFontDatabase::hasFamily(QStringLiteral("Tahoma")))
        return;
    bHotovo = true;
    for (const char *soubor : {"tahoma.ttf", "tahomabd.ttf"})
        QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/") + QLatin1String(soubor));
#endif
}

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
    NactiTahomu();
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(QStringLiteral("Lumarin"));
    // The name of the installed desktop entry, by which the desktop shows the
    // window with the program's name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.velor.Lumarin"));
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
    // The forms that run others find them here.
    ZnakyForm->NastavVyber(ASCIIForm);
    HlavniForm->NastavFormy(this);
}

TFormy::~TFormy()
{
    // The forms go in the reverse order of their creation.
    HlavniForm->NastavFormy(nullptr);
    ZnakyForm->NastavVyber(nullptr);
    delete ASCIIForm;
    delete ZnakyForm;
    delete OAplikaciForm;
    delete JazykForm;
    delete HlavniForm;
    PoradiZivota().append(QStringLiteral("~TFormy"));
}

void TFormy::Spust(const QString &Soubor)
{
    HlavniForm->show();
    if (Soubor.isEmpty())
        return;
    // After the window has been drawn, so that an error is told over it rather
    // than before anything of the program is seen.
    const QString cesta = UplnaCesta(Soubor);
    QPointer<THlavniForm> okno = HlavniForm;
    QMetaObject::invokeMethod(
        HlavniForm,
        [okno, cesta] {
            if (okno)
                Proved([&] { okno->OtevriSoubor(cesta); });
        },
        Qt::QueuedConnection);
}

namespace {

// Qt's own options: they never reach Qt (the window looks the same whatever
// is passed), and they are no error either, so that a launcher that passes
// them still starts the program. 1: the option takes the next argument as
// its value (unless given as -option=value); 0: it takes none; -1: not Qt's.
int VolbaQt(QByteArray Argument)
{
    static const QByteArrayList sHodnotou = {"-style",         "-stylesheet",   "-platform",      "-platformpluginpath",
                                             "-platformtheme", "-plugin",       "-qmljsdebugger", "-qwindowgeometry",
                                             "-qwindowicon",   "-qwindowtitle", "-display",       "-geometry",
                                             "-title",         "-name",         "-session",       "-visual",
                                             "-ncols",         "-cmap",         "-fontengine"};
    static const QByteArrayList bezHodnoty = {"-reverse", "-widgetcount", "-nograb",
                                              "-dograb",  "-sync",        "-testability"};
    if (Argument.startsWith("--"))
        Argument.remove(0, 1);
    const qsizetype rovnitko = Argument.indexOf('=');
    if (rovnitko > 0)
        return sHodnotou.contains(Argument.left(rovnitko)) ? 0 : -1;
    if (sHodnotou.contains(Argument))
        return 1;
    return bezHodnoty.contains(Argument) ? 0 : -1;
}

} // namespace

TPrikazovaRadka RozeberPrikazovouRadku(const QByteArrayList &Argumenty)
{
    TPrikazovaRadka radka;
    bool bVolby = true;
    for (qsizetype i = 0; i < Argumenty.size(); ++i) {
        const QByteArray &argument = Argumenty[i];
        if (const int qt = bVolby ? VolbaQt(argument) : -1; qt >= 0) {
            i += qt;
        } else if (bVolby && argument == "--") {
            bVolby = false;
        } else if (bVolby && (argument == "--help" || argument == "-h")) {
            return {dsNapoveda, {}, {}};
        } else if (bVolby && argument == "--version") {
            return {dsVerze, {}, {}};
        } else if (bVolby && argument.size() > 1 && argument.startsWith('-')) {
            // Not even a later "--help" is read: the user meant something else.
            return {dsChyba, {}, DekodujCestu(argument)};
        } else if (!argument.isEmpty() && radka.Soubor.isEmpty()) {
            // One window holds one document: the first file is opened and the
            // rest is left alone.
            radka.Soubor = DekodujCestu(argument);
        }
    }
    return radka;
}

QString NapovedaPrikazoveRadky(const QString &Program)
{
    return QStringLiteral("Usage: %1 [OPTION] [FILE]\n"
                          "Lumarin removes diacritical marks from text. Opens FILE in its editor;\n"
                          "of several files the first one.\n"
                          "\n"
                          "  -h, --help     print this help and exit\n"
                          "      --version  print the program's version and exit\n"
                          "  --             read every later argument as a file name\n")
        .arg(Program);
}

QString UplnaCesta(const QString &Cesta)
{
#ifdef Q_OS_UNIX
    QString uplna = Cesta;
    if (QDir::isRelativePath(Cesta)) {
        // The working folder's name as bytes: Qt's own reading of it would
        // turn bytes that are not UTF-8 into a name of another folder.
        QByteArray bajty(4096, '\0');
        const char *slozka;
        while (!(slozka = ::getcwd(bajty.data(), size_t(bajty.size()))) && errno == ERANGE)
            bajty.resize(bajty.size() * 2);
        // A working folder that has gone (or lies beyond the process's root)
        // has no full name: the system resolves the name as given.
        if (!slozka || slozka[0] != '/')
            return Cesta;
        uplna = DekodujCestu(QByteArray(slozka)) + QLatin1Char('/') + Cesta;
    }
    QStringList zbyle;
    const QStringList casti = uplna.split(QLatin1Char('/'));
    for (const QString &cast : casti)
        if (!cast.isEmpty() && cast != QLatin1String("."))
            zbyle << cast;
    return QLatin1Char('/') + zbyle.join(QLatin1Char('/'));
#else
    return QDir::cleanPath(QDir::current().absoluteFilePath(Cesta));
#endif
}
