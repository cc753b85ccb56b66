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
#include "Soubor.h"
#include "TextovySoubor.h"

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
    bool bCrLf = false;        // every line break as CR LF, as the window reads text
    bool bBinarni = false;     // convert files that look binary too
    bool bUtf8Nahradni = false; // text the 8-bit code page cannot hold goes out as UTF-8 with a mark
    std::optional<TDruhKodovani> Kodovani; // named instead of detected
    qint64 Blok = 1 << 20;     // bytes read at a time
    int Vlaken = 2;            // threads that convert blocks at once
    bool bMapovat = true;      // read a file's blocks through mmap where it can be mapped

    static QString VychoziHledane();
    static QString VychoziNahrady();
};

// Where the converted bytes go.
class TVystup {
public:
    virtual ~TVystup() = default;
    virtual void Zapis(const char *Data, qsizetype Delka) = 0;
    // Whether what was written can be taken back (Odvolej).
    virtual bool LzeOdvolat() const = 0;
    virtual void Odvolej() = 0;
};

// Into memory, where a caller wants the bytes themselves.
class TVystupPamet : public TVystup {
public:
    void Zapis(const char *Data, qsizetype Delka) override { Bajty.append(Data, Delka); }
    bool LzeOdvolat() const override { return true; }
    void Odvolej() override { Bajty.clear(); }
    QByteArray Bajty;
};

// Into a file through the program's one writer of files (-i and -o): the
// bytes stream into its temporary file, and are taken back by starting that
// file over. Errors of the writer pass as EChyba "Cannot create file ...".
//
// With bOdlozitChybu (-i) a file that cannot be written is still converted,
// and its error waits for Dokonci: -i writes only a file that changes, so a
// read-only file, or a full disk, is no failure for a file with nothing to
// convert. Until then the bytes go nowhere.
//
// Jmeno, where given, names the file in messages instead of Cesta (see
// TZapisSouboru::Otevri).
class TVystupZapis : public TVystup {
public:
    TVystupZapis(const QString &Cesta, bool bOdlozitChybu, const QString &Jmeno = {});
    void Zapis(const char *Data, qsizetype Delka) override;
    bool LzeOdvolat() const override { return true; }
    void Odvolej() override;
    // Puts the file in place, or throws the error of the writer; Kontrola
    // runs just before the old file is replaced and may still stop it (see
    // TZapisSouboru::Dokonci).
    void Dokonci(const std::function<void()> &Kontrola = {});

private:
    // Runs a step of the writer: its error goes on, or with bOdlozit waits.
    void Krok(const std::function<void()> &Krok);

    TZapisSouboru FZapis;
    bool bOdlozit;
    bool bOtevreno = false;
    std::optional<EChyba> FChyba;
};

// Nowhere: --check, which only counts.
class TVystupNic : public TVystup {
public:
    void Zapis(const char *, qsizetype) override {}
    bool LzeOdvolat() const override { return true; }
    void Odvolej() override {}
};

// A descriptor (standard output; on Windows written through the C runtime's
// handle of it). What went to the end of a regular file opened without
// O_APPEND can be taken back: the file is cut back to where this output
// began. A failed write throws EChyba naming Jmeno.
class TVystupSoubor : public TVystup {
public:
    TVystupSoubor(int Fd, QString Jmeno);
    void Zapis(const char *Data, qsizetype Delka) override;
    bool LzeOdvolat() const override { return FZacatek >= 0; }
    void Odvolej() override;
    // Marks the current position as the start of the next file's output.
    void Zacni();

private:
    int FFd;
    QString FJmeno;
    qint64 FZacatek = -1;
    bool bOdvolatelny = false;
};

// An input: a named file, or a descriptor (standard input). Implemented
// with the rest of what the system provides (Platforma.h). Anything that
// cannot be read at any offset (a pipe, a terminal) is read as it comes and,
// when the file has to be read twice, kept in a temporary file meanwhile.
//
// A regular file is watched from the moment it is opened: its size, its
// modification and change times, and (for a named file) that its name still
// names it (the same inode, or on Windows the same file index). The
// converter's result stands only while they are as they were.
class TZdroj {
public:
    // Opens a file or takes a descriptor; an EChyba "Cannot open file ..."
    // when it cannot be read. A path of any length is opened (one folder at
    // a time on POSIX, with the \\?\ prefix on Windows). With bJenSoubor
    // (-i) anything but a regular file is refused with "Cannot create file
    // ..." without being read, and a named pipe without being opened: no
    // writer is waited for, and no writer's data is taken. Otherwise a named
    // pipe waits for its writer, as any reader of it does.
    static std::unique_ptr<TZdroj> Otevri(const QString &Cesta, bool bJenSoubor = false);
    static std::unique_ptr<TZdroj> ZDeskriptoru(int Fd, const QString &Jmeno);
    virtual ~TZdroj() = default;

    const QString &Jmeno() const { return FJmeno; }
    // The size when it is known before reading, else -1.
    virtual qint64 Velikost() const = 0;
    // Throws EChyba "Cannot open file "<name>". The file changed while it was
    // read" where the regular file is no longer what it was when it was
    // opened: another size, modification or change time, or its name now
    // names another file or none. Nothing for a pipe or a terminal.
    virtual void Over() const = 0;
    // Whether descriptor Fd has this very regular file open.
    virtual bool JeSouborem(int Fd) const = 0;
    // Lets go of the file just before the converted text takes its name:
    // Windows replaces no file that is open. Nothing is read after it.
    virtual void PustSoubor() {}

protected:
    explicit TZdroj(QString Jmeno) : FJmeno(std::move(Jmeno)) {}

private:
    QString FJmeno;
    friend class TPrevodnik;
    friend struct TPruchod;
    // Reading at an offset from the start (only where Nahodny() is true), and
    // in order; Hlava gives the first bytes without taking them, so that
    // CtiDal still starts with them.
    virtual bool Nahodny() const = 0;
    // The descriptor that holds the data from offset Posun on, to be mapped,
    // or -1 (only where Nahodny() is true).
    virtual int Deskriptor(qint64 &Posun) const = 0;
    virtual qsizetype CtiNa(qint64 Pozice, char *Cil, qsizetype Delka) = 0;
    virtual qsizetype CtiDal(char *Cil, qsizetype Delka) = 0;
    virtual QByteArray Hlava(qsizetype Delka) = 0;
    // Makes the input readable at any offset from its start, reading the rest
    // into a temporary file.
    virtual void Uloz() = 0;
};

// The outcome for one file.
struct TVysledek {
    enum TStav { vsPrevedeno, vsBinarni, vsChyba } Stav = vsPrevedeno;
    QString Chyba;           // vsChyba: why, as the line to print says it
    TFormat Vstup, Vystup;   // the encodings read and written
    qint64 Nahrazeno = 0;    // code units the table changed
    qint64 Zlomy = 0;        // line breaks that --crlf rewrote

    bool Zmena() const { return Nahrazeno > 0 || Zlomy > 0 || !(Vstup == Vystup); }
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
    struct TData;
    std::unique_ptr<TData> d;
};
