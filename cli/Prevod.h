#pragma once
// The converter of lumarin-convert: one file of any size read in blocks and
// written as the window writes it after opening it, pressing F6 and saving
// (DekodujText, NahradZnaky with the window's table rule, ZakodujText), or the
// same failure.
//
// A file is never held whole. Its encoding is decided as DekodujText decides
// it, over the whole file: a byte-order mark, else (where text without a mark
// may be UTF-8) the counts of its UTF-8 reading, which add up over blocks cut
// where a character starts. Where the output can be taken back (memory, a
// regular file, nothing at all) the file is converted while it is counted, in
// the encoding its first block suggests, and converted once more only when
// the whole file decides otherwise; elsewhere it is counted first.
//
// Blocks of a file that can be read at any offset are converted by several
// threads at once where each block's result depends on its bytes alone
// (UTF-8 to UTF-8 with a table of characters of the Basic Multilingual Plane,
// and the 8-bit code page); the rest (UTF-16, tables of surrogate code units,
// UTF-8 written for 8-bit text) goes block after block, carrying over what a
// block boundary cuts: a CR before its LF, a high surrogate before its low one.

#include "Chyba.h"
#include "CiziKodovani.h"
#include "Soubor.h"
#include "TextovySoubor.h"
#include "Vystupy.h"
#include "Zdroj.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

// What the user asked for, the same for every file.
struct TNastaveniPrevodu {
    QString Hledane = VychoziHledane(); // the pair table, as the window keeps it
    QString Nahrady = VychoziNahrady();
    bool bCrLf = false;                    // every line break as CR LF, as the window reads text
    bool bBinarni = false;                 // convert files that look binary too
    bool bUtf8Nahradni = false;            // text the 8-bit code page cannot hold goes out as UTF-8 with a mark
    std::optional<TDruhKodovani> Kodovani; // named instead of detected
    TCiziKodovani Cizi;                    // or another encoding named (Nazev not empty), read and written in it
    qint64 Blok = 1 << 20;                 // bytes read at a time
    int Vlaken = 2;                        // threads that convert blocks at once
    bool bMapovat = true;                  // read a file's blocks through mmap where it can be mapped

    static QString VychoziHledane();
    static QString VychoziNahrady();
};

// The outcome for one file.
struct TVysledek {
    enum TStav { vsPrevedeno, vsBinarni, vsChyba } Stav = vsPrevedeno;
    QString Chyba;            // vsChyba: why, as the line to print says it
    TFormat Vstup, Vystup;    // the encodings read and written
    qint64 Nahrazeno = 0;     // code units the table changed
    qint64 Zlomy = 0;         // line breaks that --crlf rewrote
    QString Cizi;             // the name of another encoding the input was read in (Vstup then stands for it)
    bool bCiziVystup = false; // written in that encoding too (not as UTF-8 of --utf8-fallback)

    QString NazevVstupu() const { return Cizi.isEmpty() ? NazevFormatu(Vstup) : Cizi; }
    QString NazevVystupu() const { return bCiziVystup ? Cizi : NazevFormatu(Vystup); }
    bool Zmena() const { return Nahrazeno > 0 || Zlomy > 0 || (Cizi.isEmpty() ? !(Vstup == Vystup) : !bCiziVystup); }
};

// Converts sources one after another with the same settings.
class TPrevodnik {
public:
    explicit TPrevodnik(const TNastaveniPrevodu &Nastaveni);
    ~TPrevodnik();
    TPrevodnik(const TPrevodnik &) = delete;
    TPrevodnik &operator=(const TPrevodnik &) = delete;

    // Converts Zdroj into Vystup. CestaVystupu names the file written (for
    // the window's message when UTF-8 cannot hold the text), empty for
    // standard output. Prubeh is told the bytes read as the work goes.
    // Errors of the output itself (TVystupSoubor) pass as EChyba.
    TVysledek Preved(TZdroj &Zdroj, TVystup &Vystup, const QString &CestaVystupu = {},
                     const std::function<void(qint64)> &Prubeh = {});

private:
    TVysledek PrevedCizi(TZdroj &Zdroj, TVystup &Vystup, const std::function<void(qint64)> &Prubeh);

    struct TData;
    std::unique_ptr<TData> d;
};
