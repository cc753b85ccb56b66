// Lumarin: removes diacritical marks from text.

#include "Aplikace.h"
#include "fHlavni.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    TSluzby sluzby;
    QApplication aplikace(argc, argv);

    // The toolkit's own texts (dialog buttons and the like) in the system's language.
    QTranslator preklad;
    if (preklad.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&preklad);

    TFormy formy;
    formy.HlavniForm->show();
    return QApplication::exec();
}
