// The version calls on Windows: the system's own.

#include "Verze.h"

#include <QDir>
#include <windows.h>
#include <shellapi.h>

namespace {

const wchar_t *Siroky(const QString &Text)
{
    return reinterpret_cast<const wchar_t *>(Text.utf16());
}

} // namespace

quint32 ZjistiVelikostVerze(const QString &Soubor, quint32 *Ukazatel)
{
    const QString cesta = QDir::toNativeSeparators(Soubor);
    DWORD ukazatel = 0;
    const DWORD velikost = GetFileVersionInfoSizeW(Siroky(cesta), &ukazatel);
    if (Ukazatel)
        *Ukazatel = ukazatel;
    return velikost;
}

bool NactiVerzi(const QString &Soubor, quint32 Ukazatel, quint32 Velikost, void *Zasobnik)
{
    const QString cesta = QDir::toNativeSeparators(Soubor);
    return GetFileVersionInfoW(Siroky(cesta), Ukazatel, Velikost, Zasobnik) != 0;
}

bool DotazNaVerzi(const void *Blok, quint32 VelikostBloku, const QString &Cesta, const void **Hodnota,
                  quint32 *Delka)
{
    if (!Blok)
        return false;
    const QString cesta = Cesta.left(Cesta.indexOf(QChar(0)));
    void *hodnota = nullptr;
    UINT delka = 0;
    if (!VerQueryValueW(Blok, Siroky(cesta), &hodnota, &delka))
        return false;
    // A string's length counts its null, or not, as the block was made; what
    // may be read is what lies before the null and inside the buffer.
    if (cesta.startsWith(QLatin1String("\\StringFileInfo\\"), Qt::CaseInsensitive)) {
        const auto *text = static_cast<const wchar_t *>(hodnota);
        const auto *konec = reinterpret_cast<const wchar_t *>(static_cast<const char *>(Blok) + VelikostBloku);
        UINT znaku = 0;
        while (znaku < delka && text + znaku + 1 <= konec && text[znaku] != 0)
            ++znaku;
        delka = znaku;
    }
    if (Hodnota)
        *Hodnota = hodnota;
    if (Delka)
        *Delka = delka;
    return true;
}

namespace {

// A FILETIME (100 ns since 1 January 1601 UTC) as milliseconds since 1970.
qint64 Milisekundy(const FILETIME &Cas)
{
    const qint64 sto = (qint64(Cas.dwHighDateTime) << 32) | Cas.dwLowDateTime;
    return (sto - 116444736000000000LL) / 10000;
}

} // namespace

std::optional<TZaznamSouboru> NajdiZaznam(const QString &Cesta)
{
    const QString cesta = QDir::toNativeSeparators(Cesta);
    // A search pattern would find some other entry: only a name is looked for.
    if (cesta.isEmpty() || cesta.contains(QLatin1Char('*')) || cesta.contains(QLatin1Char('?')))
        return {};
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Siroky(cesta), GetFileExInfoStandard, &data))
        return {};
    TZaznamSouboru z;
    z.bSlozka = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    z.Velikost = z.bSlozka ? 0 : (qint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    z.Casy[0] = Milisekundy(data.ftCreationTime);
    z.Casy[1] = Milisekundy(data.ftLastWriteTime);
    z.Casy[2] = Milisekundy(data.ftLastAccessTime);
    return z;
}

QString NazevTypu(const QString &Cesta)
{
    const QString cesta = QDir::toNativeSeparators(Cesta);
    SHFILEINFOW info = {};
    if (cesta.isEmpty() || !SHGetFileInfoW(Siroky(cesta), 0, &info, sizeof info, SHGFI_TYPENAME))
        return {};
    return QString::fromWCharArray(info.szTypeName);
}
