// The version calls on Windows: the system's own.

#include "Verze.h"

#include <QDir>
#include <QtEndian>
#include <cstring>
#include <vector>
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

bool DotazNaVerzi(const void *Blok, quint32 VelikostBloku, const QString &Cesta, const void **Hodnota, quint32 *Delka)
{
    if (!Blok)
        return false;
    // The block is as long as its first node says, and no longer than the
    // buffer (the system's buffer also holds room of its own after it).
    quint32 velikost = 0;
    if (VelikostBloku >= 2)
        velikost = qMin<quint32>(VelikostBloku, qFromLittleEndian<quint16>(Blok));
    // VerQueryValueW follows the lengths of a damaged block wherever they
    // lead: up to 64 KiB past each of the (at most four) nodes on the path,
    // and twice that for a value. It walks a copy followed by enough zeros
    // never to leave it (it only reads); an answer that lies outside the
    // block is none.
    static thread_local std::vector<char> kopie(65536 + 8 * 65536, '\0');
    std::memcpy(kopie.data(), Blok, velikost);
    const QString cesta = Cesta.left(Cesta.indexOf(QChar(0)));
    void *hodnota = nullptr;
    UINT delka = 0;
    const bool bNalezeno = VerQueryValueW(kopie.data(), Siroky(cesta), &hodnota, &delka) && hodnota;
    std::memset(kopie.data(), 0, velikost);
    if (!bNalezeno)
        return false;
    const qsizetype pozice = static_cast<const char *>(hodnota) - kopie.data();
    if (pozice < 0 || pozice > qsizetype(velikost))
        return false;
    const qsizetype zbyva = qsizetype(velikost) - pozice;
    // A string's length counts its null, or not, as the block was made; what
    // may be read is what lies before the null and inside the block.
    // Whether it is text goes by the path, as the system reads it (empty
    // parts count for nothing), not by the node's kind.
    const QStringList casti = cesta.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!casti.isEmpty() && casti.front().compare(QLatin1String("StringFileInfo"), Qt::CaseInsensitive) == 0) {
        const auto *text = static_cast<const char *>(Blok) + pozice;
        UINT znaku = 0;
        while (znaku < delka && 2 * qsizetype(znaku) + 2 <= zbyva && qFromLittleEndian<quint16>(text + 2 * znaku) != 0)
            ++znaku;
        delka = znaku;
    } else {
        delka = UINT(qMin<qsizetype>(delka, zbyva));
    }
    if (Hodnota)
        *Hodnota = static_cast<const char *>(Blok) + pozice;
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
