// Lumarin: removes diacritical marks from text.

#include "Aplikace.h"
#include "fHlavni.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <csignal>

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // A write beyond the user's file-size limit is a write error that the save
    // reports, not a reason to end the program with the text unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    TSluzby sluzby;
    // Qt's own options (-reverse, -style, ...) never reach Qt: the window looks
    // the same whatever is passed. Only the program's name goes to it.
    static_cast<void>(argc);
    int argcQt = 1;
    char *argvQt[] = {argv[0], nullptr};
    QApplication aplikace(argcQt, argvQt);

    // The toolkit's own texts (dialog buttons and the like) in the system's language.
    QTranslator preklad;
    if (preklad.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&preklad);

    TFormy formy;
    formy.HlavniForm->show();
    return QApplication::exec();
}
