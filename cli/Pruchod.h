#pragma once
// Reading a source in blocks for a pass of the converter: each block through
// a block converter, in order, into an output; blocks of a file that can be
// read anywhere by several threads at once where the converter allows.

#include "Prevod.h"
#include "Mapa.h"
#include "RychlyPrevod.h"

#include <QByteArray>
#include <cstring>
#include <functional>

// Reads the data of a file (from Zacatek, after its mark) in blocks and puts
// each through the block converter, in order, into the output. A block of
// UTF-8 or 8-bit text ends where a character of the UTF-8 reading starts and
// never between CR and LF, so that it reads the same alone as within the file
// and counts add up; a block of UTF-16 holds whole code units.
struct TPruchod {
    TZdroj &Zdroj;
    qint64 Zacatek;
    bool bUtf16;
    qint64 Blok;
    int Vlaken;
    bool bMapovat;
    std::function<void(qint64)> Prubeh;

    // Whether the data may end a block before Data[p] (0 < p < n, Data[p - 3]
    // .. Data[p] readable where p >= 3).
    bool LzeRiznout(const uchar *b, qsizetype p) const;

    // The last place in b[Od..n) where a block may end, or -1; b[n] must be
    // the next byte (only whole code units for UTF-16).
    qsizetype PosledniRez(const uchar *b, qsizetype Od, qsizetype n) const;

    // Where block k of a file of Delka data bytes starts: near k * Blok.
    qint64 Rez(qint64 k, qint64 Delka);

    TPocty Spust(TPrevodBloku &Prevod, TVystup *Vystup);

private:
    // A block's bytes and sixteen more that a converter may read past its
    // end (zeros after a copy, the file's next bytes in a view of it), and
    // its output.
    struct TBlok {
        QByteArray Vstup, Vystup;
        TMapa Mapa;
        const uchar *Data = nullptr;
        qsizetype Delka = 0, Vyslo = 0;

        char *Priprav(qsizetype Bajtu)
        {
            Delka = Bajtu;
            Vstup.resize(Bajtu + Presah);
            std::memset(Vstup.data() + Bajtu, 0, Presah);
            Data = reinterpret_cast<const uchar *>(Vstup.constData());
            return Vstup.data();
        }
    };
    static constexpr qsizetype Presah = 16;

    [[noreturn]] void Zmenen() const;

    // A block is mapped, saving the copy, where it and the sixteen bytes
    // after it lie in the file; the file's last block is copied.
    void Nacti(qint64 Od, qint64 Do, TBlok &Blok);

    // Gives a converted block's view back, and fails the file where the
    // view did not hold the file's bytes to the end.
    void Uvolni(TBlok &Blok) const;

    static void PrevedBlok(TPrevodBloku &Prevod, TBlok &Blok, bool bPosledni, TPocty &Pocty);

    void Predej(const TBlok &Blok, const TPocty &Pocty, TVystup *Cil);

    // Read as it comes: what follows the last place a block may end waits
    // for the next read.
    TPocty SpustProud(TPrevodBloku &Prevod, TVystup *Vystup);

    // Several threads convert the next blocks while this one writes them in
    // order; at most a few blocks wait at a time.
    TPocty SpustParalelne(TPrevodBloku &Prevod, TVystup *Cil, qint64 Delka, qint64 Bloku);
};
