// Lumarin: removes diacritical marks from text.

#include "Aplikace.h"
#include "Konzole.h"
#include "SoubUtility.h"
#include "fHlavni.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <csignal>
#include <cstdio>

namespace {

// False when the text could not be written (a full disk, a closed pipe): the
// program then says so and ends with an error, not with success.
bool Vypis(std::FILE *Kam, const QString &Text)
{
    const bool bZapsano = std::fputs(Text.toLocal8Bit().constData(), Kam) >= 0;
    return std::fflush(Kam) == 0 && bZapsano && !std::ferror(Kam);
}

int VypisVysledek(const QString &Text)
{
    if (Vypis(stdout, Text))
        return 0;
    Vypis(stderr, QStringLiteral("lumarin: the output cannot be written\n"));
    return 1;
}

// The program's version as its own version block gives it: the product
// version that the about box shows, then the file version, which tells one
// build from another.
int VypisVerzi(int argcQt, char **argvQt)
{
    QCoreApplication jadro(argcQt, argvQt);
    const QString program = QCoreApplication::applicationFilePath();
    const QString produkt = SouboroveInfo->Verze(program, vtOprava);
    if (produkt.isEmpty()) {
        Vypis(stderr, QStringLiteral("lumarin: the version information of \"%1\" cannot be read\n").arg(program));
        return 1;
    }
    QString soubor;
    try {
        soubor = SouboroveInfo->VerzeSouboru(program);
    } catch (const EChyba &) { }
    return VypisVysledek(QStringLiteral("Lumarin %1%2\n")
                             .arg(produkt, soubor.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(soubor)));
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // A write beyond the user's file-size limit is a write error that the save
    // reports, not a reason to end the program with the text unsaved.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // The program's own options are read before anything needs a display, so
    // that --help and --version work without one.
    PripravStandardniVystup();
    const TPrikazovaRadka radka = RozeberPrikazovouRadku(ArgumentyProgramu(argc, argv));
    const QString program =
        argc > 0 && argv[0] ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName() : QStringLiteral("lumarin");

    TSluzby sluzby;
    // Qt's own options (-reverse, -style, ...) never reach Qt: the window looks
    // the same whatever is passed. Only the program's name goes to it.
    // (A program started without even its name still gets one.)
    static char nazev[] = "lumarin";
    int argcQt = 1;
    char *argvQt[] = {argc > 0 && argv[0] ? argv[0] : nazev, nullptr};
    switch (radka.Druh) {
    case dsNapoveda: return VypisVysledek(NapovedaPrikazoveRadky(program));
    case dsVerze: return VypisVerzi(argcQt, argvQt);
    case dsChyba:
        Vypis(stderr, QStringLiteral("%1: unknown option \"%2\"\nTry \"%1 --help\".\n").arg(program, radka.Chyba));
        return 2;
    case dsOkno: break;
    }

    QApplication aplikace(argcQt, argvQt);

    // The toolkit's own texts (dialog buttons and the like) in the system's language.
    QTranslator preklad;
    if (preklad.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&preklad);

    TFormy formy;
    formy.Spust(radka.Soubor);
    return QApplication::exec();
}
