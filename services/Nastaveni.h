#pragma once
// Settings and input helpers: colours of edit-like controls, filters of the
// characters typed into edit boxes, text values, dates and string lists in the
// settings store, an item moved inside a list view, and the system's folders.
//
// No state of its own. Every call to the store opens its own accessor and
// closes it before it returns, also when an error passes through. The helpers
// answer by their results (false, an empty string, the caller's default); only
// the store's own ERegistr passes through, for a value of the wrong type, a
// write the store refuses, or a settings file that cannot be read or is
// damaged (a damaged file is moved aside, and saying nothing would lose it
// quietly).

#include <QChar>
#include <QString>
#include <QStringList>
#include <functional>

class QLineEdit;
class QObject;
class QTreeWidget;

// A date as days since 30 December 1899; the fraction is the time of day.
using TDate = double;

// The format settings the real-number filters read their decimal separator
// from, alive for the whole run. Filled from the system's locale at first use:
// "," where the locale writes a decimal comma, "." everywhere else (also where
// it uses a separator of its own, such as the Arabic one, which nobody types
// for a number here). Tests set it.
struct TFormatoveNastaveni {
    QChar DesetinnyOddelovac;
};
TFormatoveNastaveni &FormatoveNastaveni();

class TNastaveni {
public:
    TNastaveni() = default;

    // Colours are 32-bit values: 0x00BBGGRR, or 0xFF0000nn for system colour
    // nn (0xFF000005 the window background, 0xFF000008 the window text). Only
    // edit-like controls are coloured: QLineEdit (also with an input mask or a
    // validator), QComboBox (also with icons), QAbstractSpinBox (QSpinBox,
    // QDoubleSpinBox, ...), QPlainTextEdit and QTextEdit, and classes derived
    // from them; any other object is left alone.
    void BarvaTextu(QObject *Objekt, quint32 Barva) const;
    void BarvaPozadi(QObject *Objekt, quint32 Barva) const;

    // Key filters, called from an edit box's key press with the character
    // about to be inserted: Klavesa either stays (the real-number filters may
    // turn "." or "," into the decimal separator first) or becomes the null
    // character with a beep, and the edit box then ignores the key.
    //
    // Real number: backspace, digits, the separator (not a second one unless
    // text is selected) and, when Znamenko, one "-".
    void StiskKlavesyReal(const QLineEdit *Edit, QChar &Klavesa, bool Znamenko) const;
    // Scientific notation: backspace, digits, "-", "E" and one separator.
    void StiskKlavesyRealVeda(const QLineEdit *Edit, QChar &Klavesa) const;
    // File name: all but " * / : < > ? \ |.
    void StiskKlavesySoubor(const QLineEdit *Edit, QChar &Klavesa) const;
    // Roman numeral: backspace and C D I L M V X in either case.
    void StiskKlavesyRimsky(const QLineEdit *Edit, QChar &Klavesa) const;

    // A string list as one key holding the values "0", "1", ... Writing
    // replaces the key with everything below it; reading appends to Retezce,
    // creates a missing key, and reads a missing number as an empty string.
    // A root other than the seven predefined ones means HKEY_CURRENT_USER.
    // Both stop silently when the key cannot be opened.
    void StringListDoRegistru(quint32 Koren, const QString &Klic, const QStringList &Retezce) const;
    void StringListZeRegistru(quint32 Koren, const QString &Klic, QStringList &Retezce) const;

    // Moves the top-level item Odkud to the place before the item Kam (counted
    // before the move; Kam may be the number of items) with all its columns,
    // icons and data, and selects it: moved down it ends at Kam - 1. False,
    // and the list as it was, when Odkud names no item or Kam no place.
    bool PresunPolozkyListView(QTreeWidget *ListView, quint16 Odkud, quint16 Kam) const;

    // One value: text as REG_SZ, a date as an 8-byte REG_BINARY (the double,
    // little-endian). Writing creates the key; false when it cannot be opened.
    // Reading never creates anything and gives the default when the key or
    // the value is missing.
    bool HodnotaDoRegistru(quint32 Koren, const QString &Klic, const QString &Polozka, const QString &Hodnota) const;
    bool HodnotaDoRegistru(quint32 Koren, const QString &Klic, const QString &Polozka, TDate Hodnota) const;
    QString HodnotaZeRegistru(quint32 Koren, const QString &Klic, const QString &Polozka, const QString &Hodnota) const;
    TDate HodnotaZeRegistru(quint32 Koren, const QString &Klic, const QString &Polozka, TDate Hodnota) const;

    // A system folder by its kind: 0 temporary files (with a trailing
    // separator), 1 system, 2 Windows, 3 to 32 the shell's special folders
    // CSIDL_DESKTOP ... CSIDL_HISTORY (without 0x0C to 0x0F and 0x1C). Empty
    // for a folder the system cannot give and for kinds above 32. Outside
    // Windows only the folders with a real counterpart have a path.
    QString SystemovaSlozka(quint8 TypSlozky) const;

    // The beep of a rejected key. Tests put their own function in place to
    // count them; an empty function restores the platform's beep.
    using TPipnuti = std::function<void()>;
    static void NastavPipnuti(TPipnuti Pipnuti);
};

// The global instance, alive for the whole run.
extern TNastaveni *Nastaveni;
