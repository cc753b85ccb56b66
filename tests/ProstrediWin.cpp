// What the tests need of Windows itself (see Prostredi.h). A registry of the
// test's own: HKEY_CURRENT_USER of this process becomes a fresh key below the
// user's, so that a test never reads or changes the user's settings, and two
// tests running at once never see each other's.

#include "Prostredi.h"

#include <QDir>
#include <QHash>
#include <QtGlobal>
#include <cstdlib>
#include <string>
#include <windows.h>

namespace {
HKEY Oddeleny = nullptr;

// The keys of this process, below the user's root; removed when it ends.
const std::wstring &KlicProcesu()
{
    static const std::wstring klic = L"Software\\VELOR\\LumarinTesty\\" + std::to_wstring(GetCurrentProcessId());
    return klic;
}

void SmazKlice()
{
    VratRegistr();
    RegDeleteTreeW(HKEY_CURRENT_USER, KlicProcesu().c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, KlicProcesu().c_str());
    // The keys above go too where nothing else is below them.
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VELOR\\LumarinTesty");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VELOR");
}
} // namespace

// One key for each settings folder ($XDG_CONFIG_HOME, which every test's
// environment has of its own): a test that shares a folder between two
// windows shares their registry as well.
void OddelRegistr()
{
    VratRegistr();
    static const bool bUklid = (std::atexit(SmazKlice), true);
    Q_UNUSED(bUklid);
    const std::wstring klic = KlicProcesu() + L'\\' + std::to_wstring(qHash(qEnvironmentVariable("XDG_CONFIG_HOME")));
    if (RegCreateKeyExW(HKEY_CURRENT_USER, klic.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &Oddeleny, nullptr) != ERROR_SUCCESS ||
        RegOverridePredefKey(HKEY_CURRENT_USER, Oddeleny) != ERROR_SUCCESS)
        qFatal("The tests' own registry key cannot be made: the user's settings would be used");
}

void VratRegistr()
{
    if (!Oddeleny)
        return;
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(Oddeleny);
    Oddeleny = nullptr;
}

bool NastavCasZmeny(const QString &Cesta, qint64 Sekundy, qint64 Nanosekundy)
{
    const HANDLE soubor = CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(Cesta).utf16()),
                                      FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (soubor == INVALID_HANDLE_VALUE)
        return false;
    const quint64 sto = quint64(Sekundy) * 10000000 + quint64(Nanosekundy) / 100;
    FILETIME cas;
    cas.dwLowDateTime = DWORD(sto);
    cas.dwHighDateTime = DWORD(sto >> 32);
    const bool bOk = SetFileTime(soubor, nullptr, nullptr, &cas);
    CloseHandle(soubor);
    return bOk;
}

bool PodWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}
