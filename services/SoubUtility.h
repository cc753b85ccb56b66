#pragma once
// File and version information: what an executable's version block says
// (strings, versions, target system, build flags), when a file or folder was
// created, changed or last opened, how large a file is and what the desktop
// calls its type.
//
// TVerInfoZdroj reads a file's whole version block once and answers from its
// copy; it throws one of its three exceptions when the file has no usable
// block. TSouboroveInfo is the service the program calls: its version queries
// build a reader, ask it and drop it (its exceptions pass through), except
// Verze, which reads the product version on its own and never throws. The
// block comes from the version calls of Verze.h, which never read outside the
// block however it is damaged.

#include "Chyba.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// A point in time as days since 30 December 1899, the fraction being the time
// of day (before that day the fraction counts back from the day: -1.25 is
// 29 December 1899, 6:00).
using TDateTime = double;

// The file has no version block.
class ENeniVerInfo : public EChyba {
public:
    using EChyba::EChyba;
};
// The version block cannot be read, or it has no translation table.
class EVerInfo : public EChyba {
public:
    using EChyba::EChyba;
};
// The block has no fixed information, or less than its 52 bytes.
class ENeniFixVerInfo : public EChyba {
public:
    using EChyba::EChyba;
};

// The predefined string keys of a version block.
enum TVerInfoTyp : quint8 {
    viSpolecnost,
    viPopis,
    viVerzeSouboru,
    viVnitrniNazev,
    viAutorskaPrava,
    viOchranneZnamky,
    viPuvodniNazev,
    viNazevProduktu,
    viVerzeProduktu,
    viKomentare
};
inline constexpr QStringView VerInfoKlice[] = {
    u"CompanyName",     u"FileDescription",  u"FileVersion", u"InternalName",   u"LegalCopyright",
    u"LegalTrademarks", u"OriginalFilename", u"ProductName", u"ProductVersion", u"Comments"};

// How much of the product version Verze gives: all four parts, the first, the
// first two, the first three.
enum TVerTyp : quint8 { vtSestaveni, vtHlavniVerze, vtVedlejsiVerze, vtOprava };

// Which time stamp of a file or folder.
enum TCasSouboru : quint8 { csVytvoreno, csUpraveno, csNaposledyOtevreno };

class TVerInfoZdroj {
public:
    // Reads the file's version block; throws ENeniVerInfo, EVerInfo or
    // ENeniFixVerInfo (with their Czech messages) when it is missing or not
    // usable.
    explicit TVerInfoZdroj(const QString &NazevSouboru);
    TVerInfoZdroj(const TVerInfoZdroj &) = delete; // the pointers below lead into its own buffer
    TVerInfoZdroj &operator=(const TVerInfoZdroj &) = delete;

    // The value of a key under the first language and code page of the
    // translation table; empty when there is none.
    QString ZiskejPreDefRet(TVerInfoTyp DruhInformace) const;
    QString ZiskejUziDefRet(const QString &Klic) const;
    // Where a key's value is looked for: "\StringFileInfo\", the language and
    // the code page as four upper-case hexadecimal digits each, "\", the key
    // and a null that ends the path.
    QString CestaKlice(QStringView Klic) const;

    // P1.P2.P3.P4 of the fixed information.
    QString VerzeSouboru() const;
    QString VerzeProduktu() const;
    // The texts of the build flags set under the flag mask, in the order
    // "Zkušební", "Soukromé", "Speciální", "Debug".
    const QStringList &PriznakySouboru() const { return FPriznakySouboru; }
    // Which system the file was made for, in words; "Neznámé" for a value not
    // in the table.
    QString SouborOS() const;

private:
    quint32 Pole(int Index) const; // the Index-th 32-bit field of the fixed information

    quint32 Ukazatel = 0;
    qint32 Velikost = 0;
    QByteArray Zasobnik;
    const uchar *TabulkaJazyku = nullptr;   // the translation table's first entry
    const uchar *FixInfoZasobnik = nullptr; // the fixed information, all 52 bytes of it
    QStringList FPriznakySouboru;
    QString FNazevSouboru;
};

class TSouboroveInfo {
public:
    TSouboroveInfo() = default;

    // The version queries: a reader's answer; its exceptions pass through.
    QString SouborovaInformace(const QString &SouborAplikace, TVerInfoTyp SouboroveInfo) const;
    QString VerzeSouboru(const QString &SouborAplikace) const;
    QString VerzeProduktu(const QString &SouborAplikace) const;
    QString VyzadovanyOS(const QString &SouborAplikace) const;
    // The flag texts joined by ", ".
    QString PriznakyKompilace(const QString &SouborAplikace) const;
    // The product version to the precision TypCislaVerze asks for ("3.0.0" for
    // vtOprava of 3.0.0.0); empty when the file has no readable version
    // information or TypCislaVerze is none of the four. Never throws.
    QString Verze(const QString &SouborAplikace, TVerTyp TypCislaVerze) const;

    // The time stamp of a file, in local time. For a name that is not a file
    // (missing, or a folder) ZakladniDatum becomes 2.75 (1 January 1900,
    // 18:00) and is returned.
    TDateTime CasSouboru(const QString &SouborAplikace, TCasSouboru TypCasuSouboru);
    // The time stamp of a folder (or a file), in local time; 0 when there is
    // nothing of that name.
    TDateTime CasSlozky(const QString &SlozkaAplikace, TCasSouboru TypCasuSlozky) const;
    // (Where the file system keeps no creation time, csVytvoreno is the last
    // change of the entry itself, the earliest time the system knows of.)

    // The size in bytes (a folder's is 0); -1 when there is nothing of that
    // name. A file of 2 GiB or more gives 2147483647, the most the result can
    // hold, rather than a cut value that could read as a small size or as -1.
    qint32 VelikostSouboru(const QString &NazevSouboru) const;
    // What the desktop calls the file's type (on Windows the shell's type
    // name, elsewhere the description of its MIME type), at most 80
    // characters; "?" when there is nothing of that name.
    QString TypSouboru(const QString &NazevSouboru) const;

    TDateTime ZakladniDatum() const { return FZakladniDatum; }

private:
    TDateTime FZakladniDatum = 0;
};

// The global instance, alive for the whole run.
extern TSouboroveInfo *SouboroveInfo;
