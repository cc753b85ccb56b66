#include "Pamet.h"

#ifdef Q_OS_WIN
#include <windows.h>

qint64 FyzickaPamet()
{
    MEMORYSTATUSEX stav;
    stav.dwLength = sizeof(stav);
    return GlobalMemoryStatusEx(&stav) ? qint64(stav.ullTotalPhys) : 0;
}

void VelkyBlok(void *, qint64) { }

#else
#include <sys/mman.h>
#include <unistd.h>

qint64 FyzickaPamet()
{
    const long stranky = sysconf(_SC_PHYS_PAGES);
    const long velikost = sysconf(_SC_PAGESIZE);
    return stranky > 0 && velikost > 0 ? qint64(stranky) * velikost : 0;
}

void VelkyBlok(void *Data, qint64 Bajtu)
{
#ifdef MADV_HUGEPAGE
    // Only whole huge pages can take them. A buffer of more than 64 MiB has
    // pages of its own (the allocator maps it apart), which no neighbour
    // shares.
    constexpr quintptr velka = quintptr(2) << 20;
    if (!Data || Bajtu < qint64(32 * velka))
        return;
    const quintptr stranka = quintptr(sysconf(_SC_PAGESIZE));
    const quintptr zacatek = (quintptr(Data) + stranka - 1) & ~(stranka - 1);
    const quintptr konec = (quintptr(Data) + quintptr(Bajtu)) & ~(stranka - 1);
    if (konec > zacatek)
        ::madvise(reinterpret_cast<void *>(zacatek), konec - zacatek, MADV_HUGEPAGE);
#else
    Q_UNUSED(Data);
    Q_UNUSED(Bajtu);
#endif
}

#endif
