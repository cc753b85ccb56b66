#include "Mapa.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The views the handler knows, read by it without a lock. A view is entered
// before it is read and leaves before it is unmapped; Od is written last on
// entering and first on leaving, so a handler that sees it non-zero sees the
// view's Do too.
struct TMisto {
    std::atomic<uintptr_t> Od{0}, Do{0};
    std::atomic<bool> bZmena{false};
    std::atomic<bool> bObsazeno{false};
};
constexpr int PocetMist = 64;
TMisto Mista[PocetMist];

struct sigaction Puvodni; // what handled SIGBUS before
uintptr_t Strana = 4096;
bool bInstalovano = false;

void Obsluha(int Signal, siginfo_t *Info, void *Kontext)
{
    const int chyba = errno;
    const uintptr_t adresa = reinterpret_cast<uintptr_t>(Info->si_addr);
    for (TMisto &m : Mista) {
        const uintptr_t od = m.Od.load(std::memory_order_acquire);
        if (od == 0 || adresa < od || adresa >= m.Do.load(std::memory_order_relaxed))
            continue;
        // The page is past the file's end: zeros in its place, and the
        // reader is told.
        void *strana = reinterpret_cast<void *>(adresa & ~(Strana - 1));
        if (::mmap(strana, Strana, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            m.bZmena.store(true, std::memory_order_relaxed);
            errno = chyba;
            return;
        }
        break;
    }
    // Not a view's: as it was handled before.
    if ((Puvodni.sa_flags & SA_SIGINFO) && Puvodni.sa_sigaction) {
        Puvodni.sa_sigaction(Signal, Info, Kontext);
    } else if (Puvodni.sa_handler != SIG_DFL && Puvodni.sa_handler != SIG_IGN) {
        Puvodni.sa_handler(Signal);
    } else {
        // The fault comes again on return and ends the process as it would
        // have without this handler.
        ::sigaction(SIGBUS, &Puvodni, nullptr);
    }
    errno = chyba;
}

bool Instaluj()
{
    static std::once_flag jednou;
    std::call_once(jednou, [] {
        const long strana = ::sysconf(_SC_PAGESIZE);
        if (strana <= 0 || (strana & (strana - 1)))
            return;
        Strana = uintptr_t(strana);
        struct sigaction akce = {};
        akce.sa_sigaction = Obsluha;
        akce.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&akce.sa_mask);
        bInstalovano = ::sigaction(SIGBUS, &akce, &Puvodni) == 0;
    });
    return bInstalovano;
}

} // namespace

bool TMapa::Otevri(int Fd, qint64 Od, qint64 Delka)
{
    Zavri();
    if (Fd < 0 || Od < 0 || Delka <= 0 || !Instaluj())
        return false;
    int misto = -1;
    for (int i = 0; i < PocetMist && misto < 0; ++i) {
        bool volno = false;
        if (Mista[i].bObsazeno.compare_exchange_strong(volno, true))
            misto = i;
    }
    if (misto < 0)
        return false;
    const qint64 zarovnano = Od - Od % qint64(Strana);
    const size_t delka = size_t(Delka + (Od - zarovnano));
    // Populated at once: one call instead of a fault every few pages.
    void *m = ::mmap(nullptr, delka, PROT_READ, MAP_PRIVATE | MAP_POPULATE, Fd, off_t(zarovnano));
    if (m == MAP_FAILED) {
        Mista[misto].bObsazeno.store(false);
        return false;
    }
    TMisto &s = Mista[misto];
    s.bZmena.store(false, std::memory_order_relaxed);
    s.Do.store(reinterpret_cast<uintptr_t>(m) + delka, std::memory_order_relaxed);
    s.Od.store(reinterpret_cast<uintptr_t>(m), std::memory_order_release);
    FZacatek = m;
    FDelka = delka;
    FData = static_cast<const uchar *>(m) + (Od - zarovnano);
    FMisto = misto;
    FFd = Fd;
    FKonec = Od + Delka;
    return true;
}

void TMapa::Zavri()
{
    if (!FZacatek)
        return;
    TMisto &s = Mista[FMisto];
    s.Od.store(0, std::memory_order_release);
    ::munmap(FZacatek, FDelka);
    s.bObsazeno.store(false, std::memory_order_release);
    FZacatek = nullptr;
    FData = nullptr;
    FMisto = -1;
}

TMapa::TStav TMapa::Stav() const
{
    if (!FZacatek)
        return Cela;
    struct stat st;
    if (::fstat(FFd, &st) != 0 || st.st_size < FKonec)
        return Kratsi;
    return Mista[FMisto].bZmena.load(std::memory_order_relaxed) ? Necitelna : Cela;
}
