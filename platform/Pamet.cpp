#include "Pamet.h"

#ifdef Q_OS_WIN
#include <windows.h>

qint64 FyzickaPamet()
{
    MEMORYSTATUSEX stav;
    stav.dwLength = sizeof(stav);
    return GlobalMemoryStatusEx(&stav) ? qint64(stav.ullTotalPhys) : 0;
}

#else
#include <unistd.h>

qint64 FyzickaPamet()
{
    const long stranky = sysconf(_SC_PHYS_PAGES);
    const long velikost = sysconf(_SC_PAGESIZE);
    return stranky > 0 && velikost > 0 ? qint64(stranky) * velikost : 0;
}

#endif
