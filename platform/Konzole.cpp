#include "Konzole.h"

#include "Soubor.h"

#ifdef Q_OS_WIN
#include <QString>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

QByteArrayList ArgumentyProgramu(int, char *[])
{
    QByteArrayList argumenty;
    int pocet = 0;
    LPWSTR *seznam = CommandLineToArgvW(GetCommandLineW(), &pocet);
    if (!seznam)
        return argumenty;
    for (int i = 1; i < pocet; ++i)
        argumenty << KodujCestu(QString::fromWCharArray(seznam[i]));
    LocalFree(seznam);
    return argumenty;
}

void PripravStandardniVystup()
{
    const auto bezVystupu = [](DWORD Proud) {
        const HANDLE h = GetStdHandle(Proud);
        return h == nullptr || h == INVALID_HANDLE_VALUE;
    };
    if (bezVystupu(STD_OUTPUT_HANDLE) && bezVystupu(STD_ERROR_HANDLE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

#else

QByteArrayList ArgumentyProgramu(int argc, char *argv[])
{
    QByteArrayList argumenty;
    for (int i = 1; i < argc; ++i)
        argumenty << QByteArray(argv[i]);
    return argumenty;
}

void PripravStandardniVystup() { }

#endif
