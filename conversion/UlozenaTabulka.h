#pragma once
// The pair table in the settings store: the one place that knows its key, its
// two values and what stands in for a value that is missing, blank or short.
// The window reads it at start, the pair editor reads it at every opening and
// writes it on OK, and lumarin-convert reads it; nothing else touches the key.
//
// Key \Software\VELOR\Lumarin\Znaky under HKEY_CURRENT_USER, two texts:
// ZnakySeZnamenkem (the characters looked for, one UTF-16 code unit a pair)
// and ZnakyBezZnamenka (their replacements, in the same order). The store does
// not compare their lengths.
//
// A value that is missing (or the whole key) always gives its default, the
// table every new user starts with. A value that is present but blank (empty,
// or nothing but characters at or below U+0020: spaces and control
// characters) is read two ways, on purpose:
//  - as the table the program converts with (CtiTabulku: the window's start,
//    lumarin-convert) every value is taken as stored: an empty value is an
//    empty list, which finds nothing to replace, and spaces are pairs;
//  - as the rows the pair editor shows (CtiTabulkuProEditor) a blank value
//    gives its default, so the editor never opens on an empty list.
// A replacement list shorter than the list looked for leaves the characters
// past its end without a partner: they stay as they are (Nahrada; the
// conversion does the same). Extra replacements are never used.

#include <QString>

inline const QString KlicZnaky = QStringLiteral("\\Software\\VELOR\\Lumarin\\Znaky");
inline const QString PolozkaSeZnamenkem = QStringLiteral("ZnakySeZnamenkem");
inline const QString PolozkaBezZnamenka = QStringLiteral("ZnakyBezZnamenka");

// Whether Text is blank in the sense above. Used only to decide, never to
// change what is stored or shown.
bool JePrazdnyText(const QString &Text);

struct TTabulkaZnaku {
    QString SeZnamenkem; // the characters looked for
    QString BezZnamenka; // their replacements, position by position

    // The 66 default pairs.
    static TTabulkaZnaku Vychozi();

    // The partner of the character at position i of SeZnamenkem: the
    // replacement at the same position, or the character itself where the
    // replacement list is shorter.
    QChar Nahrada(qsizetype i) const;

    bool operator==(const TTabulkaZnaku &) const = default;
};

// The table the program converts with: each value as stored, a missing one
// (or a missing key) its default, a blank one an empty list. The store is
// only read. The first value that cannot be read ends the reading with the
// store's ERegistr, and nothing is given.
TTabulkaZnaku CtiTabulku();

// The table the pair editor shows: as CtiTabulku, except that a blank value
// gives its default, and that each value is read on its own: one that cannot
// be read gives its default, and Chyba gets the store's reason for the first
// such value (it is left as it was when both were read).
TTabulkaZnaku CtiTabulkuProEditor(QString &Chyba);

// The pair editor's OK: the pairs become the program's table (ZnakySeZnamenkem
// and ZnakyBezZnamenka of convar) for this run whatever the store says, then
// the two values are written, the key created where it is missing. A refused
// value throws the store's ERegistr "Failed to set data for ..."; after a
// refused first value the second is not written, so the store keeps a table
// whose halves belong together.
void PotvrdTabulku(const TTabulkaZnaku &Tabulka);

// Makes Tabulka the program's table for this run, without storing it (the
// window's start, after CtiTabulku).
void PouzijTabulku(const TTabulkaZnaku &Tabulka);
