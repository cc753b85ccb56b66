#include "KodovaStranka.h"

#include "Pamet.h"

#include <array>
#include <memory>

namespace {

// windows-1250, bytes 0x80 to 0xFF. The five bytes that the code page leaves
// undefined (0x81, 0x83, 0x88, 0x90, 0x98) stand for the C1 control of the
// same number, so that they survive a load and a save unchanged.
constexpr std::array<char16_t, 128> HorniPolovina = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// The byte of every UTF-16 code unit, or -1 where there is none.
const std::array<qint16, 0x10000> &Bajty()
{
    static const std::unique_ptr<std::array<qint16, 0x10000>> tabulka = [] {
        auto t = std::make_unique<std::array<qint16, 0x10000>>();
        t->fill(-1);
        for (int b = 0; b < 0x80; ++b)
            (*t)[b] = qint16(b);
        for (int b = 0x80; b < 0x100; ++b)
            (*t)[HorniPolovina[b - 0x80]] = qint16(b);
        return t;
    }();
    return *tabulka;
}

} // namespace

static QString Dekoduj1250(QByteArrayView Bajty)
{
    QString text(Bajty.size(), Qt::Uninitialized);
    VelkyBlok(text);
    char16_t *cil = reinterpret_cast<char16_t *>(text.data());
    const auto *zdroj = reinterpret_cast<const unsigned char *>(Bajty.data());
    for (qsizetype i = 0, n = Bajty.size(); i < n; ++i)
        cil[i] = zdroj[i] < 0x80 ? char16_t(zdroj[i]) : HorniPolovina[zdroj[i] - 0x80];
    return text;
}

static bool Zakoduj1250(QStringView Text, QByteArray &Vystup)
{
    const auto &bajty = Bajty();
    Vystup.resize(Text.size());
    char *cil = Vystup.data();
    const char16_t *zdroj = Text.utf16();
    for (qsizetype i = 0, n = Text.size(); i < n; ++i) {
        const qint16 b = bajty[zdroj[i]];
        if (b < 0)
            return false;
        cil[i] = char(b);
    }
    return true;
}

#ifdef Q_OS_WIN
#include <windows.h>

// The ANSI code page, where it is one byte a character and so can keep every
// byte; a multi-byte one (UTF-8, East Asian) cannot, and windows-1250 stands
// in for it.
static bool AnsiJednobajtova()
{
    CPINFO info;
    return GetACP() != CP_UTF8 && GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
}

QString DekodujOsmibitove(QByteArrayView Bajty)
{
    if (!AnsiJednobajtova())
        return Dekoduj1250(Bajty);
    if (Bajty.isEmpty())
        return {};
    const int delka = MultiByteToWideChar(CP_ACP, 0, Bajty.data(), int(Bajty.size()), nullptr, 0);
    QString text(delka, Qt::Uninitialized);
    MultiByteToWideChar(CP_ACP, 0, Bajty.data(), int(Bajty.size()), reinterpret_cast<LPWSTR>(text.data()), delka);
    return text;
}

bool ZakodujOsmibitove(QStringView Text, QByteArray &Vystup)
{
    if (!AnsiJednobajtova())
        return Zakoduj1250(Text, Vystup);
    Vystup.clear();
    if (Text.isEmpty())
        return true;
    BOOL nahrazeno = FALSE;
    const auto *zdroj = reinterpret_cast<LPCWCH>(Text.utf16());
    const int delka =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, zdroj, int(Text.size()), nullptr, 0, nullptr, &nahrazeno);
    if (delka <= 0 || nahrazeno)
        return false;
    Vystup.resize(delka);
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, zdroj, int(Text.size()), Vystup.data(), delka, nullptr,
                               &nahrazeno) == delka &&
        !nahrazeno;
}

QString NazevKodoveStranky()
{
    return AnsiJednobajtova() ? QStringLiteral("windows-%1").arg(GetACP()) : QStringLiteral("windows-1250");
}

// The code page of an encoding's name, 0 where the name is none known.
static UINT KodovaStrankaNazvu(QByteArrayView Nazev)
{
    const QByteArray nazev = Nazev.toByteArray().toLower().trimmed();
    const auto cislo = [](QByteArrayView Text) -> UINT {
        bool bOk = false;
        const uint n = Text.toByteArray().toUInt(&bOk);
        return bOk && n > 0 && n < 65000 ? UINT(n) : 0;
    };
    for (const char *predpona : {"windows-", "cp-", "cp", "ibm-", "ibm"})
        if (nazev.startsWith(predpona))
            return cislo(QByteArrayView(nazev).sliced(qstrlen(predpona)));
    if (nazev.startsWith("iso-8859-")) {
        const UINT n = cislo(QByteArrayView(nazev).sliced(9));
        return n >= 1 && n <= 16 ? 28590 + n : 0;
    }
    if (nazev == "us-ascii" || nazev == "ascii")
        return 20127;
    if (nazev == "koi8-r")
        return 20866;
    if (nazev == "koi8-u")
        return 21866;
    return 0;
}

std::optional<QString> DekodujKodovouStrankou(QByteArrayView Nazev, QByteArrayView Bajty, bool &bChyba)
{
    const UINT stranka = KodovaStrankaNazvu(Nazev);
    CPINFO info;
    if (stranka == 0 || !IsValidCodePage(stranka) || !GetCPInfo(stranka, &info) || info.MaxCharSize != 1)
        return std::nullopt;
    bChyba = false;
    if (Bajty.isEmpty())
        return QString();
    // One character a byte: the text is never longer than the bytes.
    QString text(Bajty.size(), Qt::Uninitialized);
    const auto dekoduj = [&](DWORD Priznaky) {
        return MultiByteToWideChar(stranka, Priznaky, Bajty.data(), int(Bajty.size()),
                                   reinterpret_cast<LPWSTR>(text.data()), int(text.size()));
    };
    int delka = dekoduj(MB_ERR_INVALID_CHARS);
    if (delka <= 0) {
        bChyba = true;
        delka = dekoduj(0);
        if (delka <= 0)
            return std::nullopt;
    }
    text.truncate(delka);
    return text;
}

#else

QString DekodujOsmibitove(QByteArrayView Bajty)
{
    return Dekoduj1250(Bajty);
}

bool ZakodujOsmibitove(QStringView Text, QByteArray &Vystup)
{
    return Zakoduj1250(Text, Vystup);
}

QString NazevKodoveStranky()
{
    return QStringLiteral("windows-1250");
}

std::optional<QString> DekodujKodovouStrankou(QByteArrayView, QByteArrayView, bool &)
{
    return std::nullopt;
}

#endif
