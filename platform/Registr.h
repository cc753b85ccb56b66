#pragma once
// The settings store: the Windows registry on Windows, elsewhere one per-user
// JSON file ($XDG_CONFIG_HOME/VELOR/Lumarin.json) that keeps the same keys,
// value names and types. An accessor opens one key at a time below a root, as
// the registry's own accessors do; what it writes reaches the store at the
// latest when it is destroyed, also when an error passes through.
//
// Key paths and value names compare without regard to case and keep the case
// they were written with. A key path with a leading backslash is absolute from
// the root; without one it is relative to the open key.
//
// The file: every change (a value written, a key created or deleted) is
// written at once, under a lock, into what the file holds at that moment, so
// two running copies never undo each other's values and no reader ever sees
// half a file. A file that cannot be read makes the operation that needed it
// throw ERegistr with the system's reason. A damaged file (not JSON, not in
// the store's shape, or over 16 MiB, which no settings ever take) is never
// written over: it is moved aside as "Lumarin.json.damaged-<yyyyMMdd-hhmmss>"
// in the same folder, and the operation that found it throws ERegistr saying
// what is wrong, where, and where the file went; the next change starts a new
// file.
//
// On Windows include this header before <windows.h>, which defines the same
// names as macros.

#include "Chyba.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

#if defined(HKEY_CURRENT_USER) || defined(KEY_READ)
#error "Registr.h must be included before <windows.h>"
#endif

// The store's own failure; its message is the store's reason, such as
// "Failed to get data for 'Vlevo'".
class ERegistr : public EChyba {
public:
    using EChyba::EChyba;
};

// Predefined roots, as the registry numbers them.
constexpr quint32 HKEY_CLASSES_ROOT = 0x80000000;
constexpr quint32 HKEY_CURRENT_USER = 0x80000001;
constexpr quint32 HKEY_LOCAL_MACHINE = 0x80000002;
constexpr quint32 HKEY_USERS = 0x80000003;
constexpr quint32 HKEY_PERFORMANCE_DATA = 0x80000004;
constexpr quint32 HKEY_CURRENT_CONFIG = 0x80000005;
constexpr quint32 HKEY_DYN_DATA = 0x80000006;

// Access rights of an accessor.
constexpr quint32 KEY_READ = 0x20019;
constexpr quint32 KEY_ALL_ACCESS = 0xF003F;

// The type of a stored value.
enum TTypHodnoty { rdNeznamy, rdRetezec, rdRozsirenyRetezec, rdCislo, rdBinarni };

class TRegistr {
public:
    explicit TRegistr(quint32 Pristup = KEY_ALL_ACCESS);
    ~TRegistr(); // closes the key; pending changes reach the store
    TRegistr(const TRegistr &) = delete;
    TRegistr &operator=(const TRegistr &) = delete;

    quint32 Koren() const;
    void NastavKoren(quint32 Koren); // closes the open key

    // Opens a key, creating it and every missing key above it when bVytvorit;
    // false when it does not exist (and is not to be created) or cannot be
    // opened: an unknown root, an accessor without write access asked to
    // create it, a store that cannot be written (a later write then tells
    // why). Opening closes the key opened before, also when it fails.
    bool OtevriKlic(const QString &Klic, bool bVytvorit);
    void ZavriKlic();
    QString AktualniKlic() const; // the open key's absolute path as it was named, empty when none

    bool ExistujeKlic(const QString &Klic) const;
    bool SmazKlic(const QString &Klic); // with every key and value below it; false without write access
    bool ExistujeHodnota(const QString &Jmeno) const;
    TTypHodnoty TypHodnoty(const QString &Jmeno) const; // rdNeznamy when missing or of another type
    int PocetHodnot() const;                            // of the open key; throws when no key is open
    QStringList JmenaHodnot() const;

    // Reading throws ERegistr "Failed to get data for '<name>'" when the value
    // is missing (a missing text reads as empty instead) or its data does not
    // fit, and "Invalid data type for '<name>'" when it is of another type.
    // A REG_SZ read as an integer follows the registry's rule: data of up to
    // four bytes (one character and its terminator) is of another type,
    // longer data does not fit.
    QString CtiRetezec(const QString &Jmeno) const;    // REG_SZ or REG_EXPAND_SZ
    qint32 CtiCislo(const QString &Jmeno) const;       // REG_DWORD
    QByteArray CtiBinarni(const QString &Jmeno) const; // REG_BINARY

    // Writing throws ERegistr "Failed to set data for '<name>'" when the store
    // refuses it (no key open, an accessor without write access, a store that
    // cannot be written). Where the system gave a reason, it follows after
    // ": " (the message then reads "Failed to set data for 'Jazyk': Cannot
    // create file ... Permission denied").
    void ZapisRetezec(const QString &Jmeno, const QString &Hodnota);
    void ZapisCislo(const QString &Jmeno, qint32 Hodnota);
    void ZapisBinarni(const QString &Jmeno, const QByteArray &Hodnota);

private:
    struct TData;
    std::unique_ptr<TData> d;
};
