#pragma once
// Where lumarin-convert's converted bytes go: memory, a file through the
// program's one writer of files, nowhere, or a descriptor.

#include "Chyba.h"
#include "Soubor.h"

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <functional>
#include <optional>

// Writes Bajty to a C stream (standard output or error) and flushes it; the
// first write to standard output that fails is remembered with its errno.
void VypisBajty(FILE *Kam, const QByteArray &Bajty);
// The errno of that first failed write to standard output, 0 while none has.
int CisloChybyVypisu();

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
    void Zapis(const char *, qsizetype) override { }
    bool LzeOdvolat() const override { return true; }
    void Odvolej() override { }
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
