#pragma once
// What every fuzz target shares: a check that ends the run with the input that
// broke it (libFuzzer keeps the input as crash-<hash>), and files that exist
// only in memory, so that a reader that takes a path is fed at memory speed.

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

// A property the reader must keep: when it does not, the run ends here and
// libFuzzer writes out the input.
#define OCEKAVEJ(Podminka, Popis)                                                                                      \
    do {                                                                                                               \
        if (!(Podminka)) {                                                                                             \
            std::fprintf(stderr, "%s:%d: %s (%s)\n", __FILE__, __LINE__, Popis, #Podminka);                            \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

// A regular file in memory (memfd) that a path names: /proc/self/fd/<n>. Each
// input replaces its content; open() on the path opens the same file.
class TPametovySoubor {
public:
    TPametovySoubor() : FFd(::memfd_create("lumarin-fuzz", MFD_CLOEXEC))
    {
        if (FFd < 0) {
            std::perror("memfd_create");
            std::abort();
        }
    }
    ~TPametovySoubor() { ::close(FFd); }
    TPametovySoubor(const TPametovySoubor &) = delete;
    TPametovySoubor &operator=(const TPametovySoubor &) = delete;

    QString Cesta() const { return QStringLiteral("/proc/self/fd/%1").arg(FFd); }

    void Nastav(const uint8_t *Data, size_t Velikost)
    {
        if (::ftruncate(FFd, 0) != 0 || (Velikost > 0 && ::pwrite(FFd, Data, Velikost, 0) != ssize_t(Velikost))) {
            std::perror("memfd");
            std::abort();
        }
    }

private:
    int FFd;
};

// Reads every byte of a range the reader said may be read, so that the
// address sanitizer sees a range that reaches outside the input.
inline void Projdi(const void *Data, size_t Velikost)
{
    const auto *b = static_cast<const volatile unsigned char *>(Data);
    for (size_t i = 0; i < Velikost; ++i)
        (void)b[i];
}
