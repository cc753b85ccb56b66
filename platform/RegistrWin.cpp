// The settings store on Windows: the registry itself.

#include "Registr.h"

namespace {
// <windows.h> turns these names into its own macros.
constexpr quint32 KorenTrid = HKEY_CLASSES_ROOT, KorenUzivatele = HKEY_CURRENT_USER, KorenPocitace = HKEY_LOCAL_MACHINE,
                  KorenUzivatelu = HKEY_USERS, KorenVykonu = HKEY_PERFORMANCE_DATA,
                  KorenKonfigurace = HKEY_CURRENT_CONFIG, KorenDynamickych = HKEY_DYN_DATA;
} // namespace

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601 // RegDeleteTreeW
#endif
#include <windows.h>

#include <vector>

namespace {

HKEY KlicKorene(quint32 Koren)
{
    switch (Koren) {
    case KorenTrid: return HKEY_CLASSES_ROOT;
    case KorenUzivatele: return HKEY_CURRENT_USER;
    case KorenPocitace: return HKEY_LOCAL_MACHINE;
    case KorenUzivatelu: return HKEY_USERS;
    case KorenVykonu: return HKEY_PERFORMANCE_DATA;
    case KorenKonfigurace: return HKEY_CURRENT_CONFIG;
    case KorenDynamickych: return HKEY_DYN_DATA;
    default: return nullptr; // no such root: nothing below it can be opened
    }
}

LPCWSTR W(const QString &Text)
{
    return reinterpret_cast<LPCWSTR>(Text.utf16());
}

QString NelzeCist(const QString &Jmeno)
{
    return QStringLiteral("Failed to get data for '%1'").arg(Jmeno);
}

QString NeplatnyTyp(const QString &Jmeno)
{
    return QStringLiteral("Invalid data type for '%1'").arg(Jmeno);
}

QString NelzeZapsat(const QString &Jmeno)
{
    return QStringLiteral("Failed to set data for '%1'").arg(Jmeno);
}

} // namespace

struct TRegistr::TData {
    quint32 Pristup;
    quint32 Koren = KorenUzivatele;
    HKEY Klic = nullptr;
    QStringList Cesta;       // the open key's path below the root, as it was named
    QString DuvodNeotevreni; // why the key last asked for could not be created

    bool bZapis() const { return (Pristup & KEY_SET_VALUE) != 0; }

    QStringList Casti(const QString &Jmeno) const
    {
        QStringList casti = Jmeno.split(u'\\', Qt::SkipEmptyParts);
        if (!Jmeno.startsWith(u'\\') && Klic)
            casti = Cesta + casti;
        return casti;
    }

    // Type and size of a value; false when it cannot be read at all.
    bool Info(const QString &Jmeno, DWORD &Typ, DWORD &Velikost) const
    {
        Velikost = 0;
        return Klic && RegQueryValueExW(Klic, W(Jmeno), nullptr, &Typ, nullptr, &Velikost) == ERROR_SUCCESS;
    }

    void Zapis(const QString &Jmeno, DWORD Typ, const void *Data, DWORD Velikost)
    {
        if (!Klic)
            throw ERegistr(NelzeZapsat(Jmeno) +
                           (DuvodNeotevreni.isEmpty() ? QString() : QStringLiteral(": ") + DuvodNeotevreni));
        if (!bZapis())
            throw ERegistr(NelzeZapsat(Jmeno));
        const LSTATUS vysledek = RegSetValueExW(Klic, W(Jmeno), 0, Typ, static_cast<const BYTE *>(Data), Velikost);
        if (vysledek != ERROR_SUCCESS)
            throw ERegistr(NelzeZapsat(Jmeno) + QStringLiteral(": ") + qt_error_string(int(vysledek)));
    }
};

TRegistr::TRegistr(quint32 Pristup) : d(std::make_unique<TData>())
{
    d->Pristup = Pristup;
}

TRegistr::~TRegistr()
{
    ZavriKlic();
}

quint32 TRegistr::Koren() const
{
    return d->Koren;
}

void TRegistr::NastavKoren(quint32 Koren)
{
    ZavriKlic();
    d->Koren = Koren;
}

bool TRegistr::OtevriKlic(const QString &Klic, bool bVytvorit)
{
    const QStringList casti = d->Casti(Klic);
    ZavriKlic();
    const HKEY koren = KlicKorene(d->Koren);
    if (!koren)
        return false;
    const QString cesta = casti.join(u'\\');
    HKEY klic = nullptr;
    LSTATUS vysledek = RegOpenKeyExW(koren, W(cesta), 0, d->Pristup, &klic);
    if (vysledek == ERROR_FILE_NOT_FOUND && bVytvorit) {
        if (!d->bZapis()) {
            d->DuvodNeotevreni = QStringLiteral("The settings are open for reading only");
            return false;
        }
        vysledek =
            RegCreateKeyExW(koren, W(cesta), 0, nullptr, REG_OPTION_NON_VOLATILE, d->Pristup, nullptr, &klic, nullptr);
        if (vysledek != ERROR_SUCCESS)
            d->DuvodNeotevreni = qt_error_string(int(vysledek));
    }
    if (vysledek != ERROR_SUCCESS)
        return false;
    d->Klic = klic;
    d->Cesta = casti;
    return true;
}

void TRegistr::ZavriKlic()
{
    if (d->Klic)
        RegCloseKey(d->Klic);
    d->Klic = nullptr;
    d->Cesta.clear();
    d->DuvodNeotevreni.clear();
}

QString TRegistr::AktualniKlic() const
{
    return d->Klic ? u'\\' + d->Cesta.join(u'\\') : QString();
}

bool TRegistr::ExistujeKlic(const QString &Klic) const
{
    const HKEY koren = KlicKorene(d->Koren);
    HKEY klic = nullptr;
    if (!koren || RegOpenKeyExW(koren, W(d->Casti(Klic).join(u'\\')), 0, KEY_READ, &klic) != ERROR_SUCCESS)
        return false;
    RegCloseKey(klic);
    return true;
}

bool TRegistr::SmazKlic(const QString &Klic)
{
    const QStringList casti = d->Casti(Klic);
    const HKEY koren = KlicKorene(d->Koren);
    if (!koren || casti.isEmpty() || !d->bZapis())
        return false;
    return RegDeleteTreeW(koren, W(casti.join(u'\\'))) == ERROR_SUCCESS;
}

bool TRegistr::ExistujeHodnota(const QString &Jmeno) const
{
    DWORD typ, velikost;
    return d->Info(Jmeno, typ, velikost);
}

TTypHodnoty TRegistr::TypHodnoty(const QString &Jmeno) const
{
    DWORD typ, velikost;
    if (!d->Info(Jmeno, typ, velikost))
        return rdNeznamy;
    switch (typ) {
    case REG_SZ: return rdRetezec;
    case REG_EXPAND_SZ: return rdRozsirenyRetezec;
    case REG_DWORD: return rdCislo;
    case REG_BINARY: return rdBinarni;
    default: return rdNeznamy;
    }
}

int TRegistr::PocetHodnot() const
{
    DWORD pocet = 0;
    if (!d->Klic ||
        RegQueryInfoKeyW(d->Klic, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &pocet, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        throw ERegistr(QStringLiteral("Failed to get the values of the key: no key is open"));
    return int(pocet);
}

QStringList TRegistr::JmenaHodnot() const
{
    QStringList jmena;
    DWORD pocet = 0, nejdelsi = 0;
    if (!d->Klic ||
        RegQueryInfoKeyW(d->Klic, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &pocet, &nejdelsi, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return jmena;
    std::vector<wchar_t> jmeno(nejdelsi + 1);
    for (DWORD i = 0; i < pocet; ++i) {
        DWORD delka = DWORD(jmeno.size());
        if (RegEnumValueW(d->Klic, i, jmeno.data(), &delka, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            jmena << QString::fromWCharArray(jmeno.data(), int(delka));
    }
    return jmena;
}

QString TRegistr::CtiRetezec(const QString &Jmeno) const
{
    DWORD typ, velikost;
    if (!d->Info(Jmeno, typ, velikost) || velikost == 0)
        return {}; // missing, or data of no size whatever its type
    std::vector<wchar_t> data(velikost / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(d->Klic, W(Jmeno), nullptr, &typ, reinterpret_cast<BYTE *>(data.data()), &velikost) !=
        ERROR_SUCCESS)
        throw ERegistr(NelzeCist(Jmeno));
    if (typ != REG_SZ && typ != REG_EXPAND_SZ)
        throw ERegistr(NeplatnyTyp(Jmeno));
    // The terminators go, the characters before them all stay.
    size_t delka = velikost / sizeof(wchar_t);
    while (delka > 0 && data[delka - 1] == L'\0')
        --delka;
    return QString::fromWCharArray(data.data(), int(delka));
}

qint32 TRegistr::CtiCislo(const QString &Jmeno) const
{
    // Four bytes are asked for: data that does not fit fails before its type
    // is looked at.
    DWORD typ = REG_NONE, velikost = sizeof(qint32);
    qint32 cislo = 0;
    if (!d->Klic ||
        RegQueryValueExW(d->Klic, W(Jmeno), nullptr, &typ, reinterpret_cast<BYTE *>(&cislo), &velikost) !=
            ERROR_SUCCESS)
        throw ERegistr(NelzeCist(Jmeno));
    if (typ != REG_DWORD)
        throw ERegistr(NeplatnyTyp(Jmeno));
    return cislo;
}

QByteArray TRegistr::CtiBinarni(const QString &Jmeno) const
{
    DWORD typ, velikost;
    if (!d->Info(Jmeno, typ, velikost))
        throw ERegistr(NelzeCist(Jmeno));
    if (typ != REG_BINARY)
        throw ERegistr(NeplatnyTyp(Jmeno));
    QByteArray data(qsizetype(velikost), '\0');
    if (RegQueryValueExW(d->Klic, W(Jmeno), nullptr, &typ, reinterpret_cast<BYTE *>(data.data()), &velikost) !=
        ERROR_SUCCESS)
        throw ERegistr(NelzeCist(Jmeno));
    data.resize(qsizetype(velikost));
    return data;
}

void TRegistr::ZapisRetezec(const QString &Jmeno, const QString &Hodnota)
{
    d->Zapis(Jmeno, REG_SZ, Hodnota.utf16(), DWORD((Hodnota.size() + 1) * sizeof(char16_t)));
}

void TRegistr::ZapisCislo(const QString &Jmeno, qint32 Hodnota)
{
    d->Zapis(Jmeno, REG_DWORD, &Hodnota, sizeof Hodnota);
}

void TRegistr::ZapisBinarni(const QString &Jmeno, const QByteArray &Hodnota)
{
    d->Zapis(Jmeno, REG_BINARY, Hodnota.constData(), DWORD(Hodnota.size()));
}
