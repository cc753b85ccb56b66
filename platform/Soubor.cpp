#include "Soubor.h"

#include "Pamet.h"

#include <QDir>

#ifdef Q_OS_WIN
#include "SouborWin.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <limits>
#include <string>
#include <windows.h>
#else
#include <QList>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>
#endif

namespace {

QString DuvodSlozky()
{
    return QStringLiteral("It is a folder, not a file");
}

} // namespace

EChyba ChybaVytvoreni(const QString &Cesta, const QString &Duvod)
{
    return EChyba(QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(Cesta), Duvod),
                  QDir::toNativeSeparators(Cesta), Duvod);
}

EChyba ChybaOtevreni(const QString &Cesta, const QString &Duvod)
{
    return EChyba(QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(Cesta), Duvod),
                  QDir::toNativeSeparators(Cesta), Duvod);
}

EPrilisVelky::EPrilisVelky(const QString &Cesta, qint64 Velikost, bool bNejmene)
    : EChyba(ChybaOtevreni(Cesta,
                           bNejmene ? QStringLiteral("It is too large (more than %1 bytes)").arg(Velikost - 1)
                                    : QStringLiteral("It is too large (%1 bytes)").arg(Velikost))
                 .Zprava()),
      FVelikost(Velikost),
      bFNejmene(bNejmene)
{ }

#ifdef Q_OS_WIN

// Windows names are UTF-16, which may hold a lone half of a surrogate pair.
// As bytes they are UTF-8, and such a half the three bytes of its code point
// (the generalised UTF-8 of WTF-8), so that the name comes back whole.
QByteArray KodujCestu(const QString &Cesta)
{
    QByteArray bajty;
    bajty.reserve(Cesta.size() * 3);
    for (qsizetype i = 0; i < Cesta.size(); ++i) {
        char32_t znak = Cesta[i].unicode();
        if (QChar::isHighSurrogate(znak) && i + 1 < Cesta.size() && Cesta[i + 1].isLowSurrogate())
            znak = QChar::surrogateToUcs4(char16_t(znak), Cesta[++i].unicode());
        if (znak < 0x80) {
            bajty += char(znak);
        } else if (znak < 0x800) {
            bajty += char(0xC0 | (znak >> 6));
            bajty += char(0x80 | (znak & 0x3F));
        } else if (znak < 0x10000) {
            bajty += char(0xE0 | (znak >> 12));
            bajty += char(0x80 | ((znak >> 6) & 0x3F));
            bajty += char(0x80 | (znak & 0x3F));
        } else {
            bajty += char(0xF0 | (znak >> 18));
            bajty += char(0x80 | ((znak >> 12) & 0x3F));
            bajty += char(0x80 | ((znak >> 6) & 0x3F));
            bajty += char(0x80 | (znak & 0x3F));
        }
    }
    return bajty;
}

QString DekodujCestu(const QByteArray &Bajty)
{
    QString cesta;
    cesta.reserve(Bajty.size());
    const qsizetype delka = Bajty.size();
    for (qsizetype i = 0; i < delka;) {
        const uchar prvni = uchar(Bajty[i]);
        int pocet = 0;
        char32_t znak = prvni, nejmensi = 0;
        if (prvni < 0x80)
            pocet = 1;
        else if ((prvni & 0xE0) == 0xC0)
            pocet = 2, znak = prvni & 0x1F, nejmensi = 0x80;
        else if ((prvni & 0xF0) == 0xE0)
            pocet = 3, znak = prvni & 0x0F, nejmensi = 0x800;
        else if ((prvni & 0xF8) == 0xF0)
            pocet = 4, znak = prvni & 0x07, nejmensi = 0x10000;
        bool bPlatny = pocet > 0 && i + pocet <= delka;
        for (int k = 1; bPlatny && k < pocet; ++k) {
            const uchar dalsi = uchar(Bajty[i + k]);
            bPlatny = (dalsi & 0xC0) == 0x80;
            znak = (znak << 6) | (dalsi & 0x3F);
        }
        if (!bPlatny || znak < nejmensi || znak > 0x10FFFF) {
            cesta += QChar(QChar::ReplacementCharacter); // no name gives such bytes
            ++i;
            continue;
        }
        if (QChar::requiresSurrogates(znak)) {
            cesta += QChar(QChar::highSurrogate(znak));
            cesta += QChar(QChar::lowSurrogate(znak));
        } else {
            cesta += QChar(char16_t(znak));
        }
        i += pocet;
    }
    return cesta;
}

QString NajdiSoubor(const QString &Cesta)
{
    return Cesta;
}

bool ExistujeSoubor(const QString &Cesta)
{
    const QFileInfo info(Cesta);
    return info.exists() && !info.isDir();
}

QString TextChybySystemu(int Chyba)
{
    return qt_error_string(Chyba);
}

namespace {

// The system's reason for the last failed call, without the period that
// Windows ends it with (the messages add their own punctuation).
QString DuvodChyby(DWORD Chyba)
{
    QString duvod = qt_error_string(int(Chyba)).trimmed();
    if (duvod.endsWith(u'.'))
        duvod.chop(1);
    return duvod;
}

// A path as the wide calls take it: backslashes, and an absolute path that a
// plain call would refuse as too long behind the \\?\ prefix (which takes the
// path as it stands, so it is made absolute and clean first).
std::wstring SirokaCesta(const QString &Cesta)
{
    QString cesta = QDir::toNativeSeparators(Cesta);
    if (cesta.size() >= MAX_PATH - 12 && !cesta.startsWith(QLatin1String("\\\\?\\"))) {
        cesta = QDir::toNativeSeparators(QDir::cleanPath(QDir::current().absoluteFilePath(Cesta)));
        cesta = cesta.startsWith(QLatin1String("\\\\")) ? QStringLiteral("\\\\?\\UNC\\") + cesta.mid(2)
                                                        : QStringLiteral("\\\\?\\") + cesta;
    }
    return cesta.toStdWString();
}

// A handle closed when it goes out of scope.
struct TRukojet {
    explicit TRukojet(HANDLE Rukojet) : H(Rukojet) { }
    TRukojet(const TRukojet &) = delete;
    TRukojet &operator=(const TRukojet &) = delete;
    ~TRukojet()
    {
        if (Platna())
            ::CloseHandle(H);
    }
    bool Platna() const { return H != INVALID_HANDLE_VALUE && H != nullptr; }
    // A writer looks at the result: a file system may report a failed write
    // only when the file is closed.
    DWORD Zavri()
    {
        const BOOL bZavreno = ::CloseHandle(H);
        H = INVALID_HANDLE_VALUE;
        return bZavreno ? 0 : ::GetLastError();
    }
    HANDLE H;
};

TIdentitaSouboru IdentitaZInfo(const BY_HANDLE_FILE_INFORMATION &Info)
{
    TIdentitaSouboru identita;
    identita.Zarizeni = Info.dwVolumeSerialNumber;
    identita.Uzel = quint64(Info.nFileIndexHigh) << 32 | Info.nFileIndexLow;
    identita.Velikost = qint64(quint64(Info.nFileSizeHigh) << 32 | Info.nFileSizeLow);
    // In units of 100 ns since 1601.
    const quint64 cas = quint64(Info.ftLastWriteTime.dwHighDateTime) << 32 | Info.ftLastWriteTime.dwLowDateTime;
    identita.ZmenaS = qint64(cas / 10000000);
    identita.ZmenaNs = qint64(cas % 10000000) * 100;
    return identita;
}

// What a handle that is no regular file on a disk stands for.
QString DuvodDruhu(HANDLE Soubor, const BY_HANDLE_FILE_INFORMATION *Info)
{
    if (Info && (Info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return DuvodSlozky();
    switch (::GetFileType(Soubor)) {
    case FILE_TYPE_PIPE: return QStringLiteral("It is a pipe, not a regular file");
    case FILE_TYPE_CHAR: return QStringLiteral("It is a character device, not a regular file");
    default: return QStringLiteral("It is not a regular file");
    }
}

// Writes all the bytes at the handle's position, in pieces the call takes.
// 0, or the system's error.
DWORD ZapisVse(HANDLE Soubor, const char *Data, qint64 Delka, qint64 &Zapsano)
{
    Zapsano = 0;
    while (Zapsano < Delka) {
        DWORD zapsano = 0;
        const DWORD kus = DWORD(std::min<qint64>(Delka - Zapsano, 1 << 30));
        if (!::WriteFile(Soubor, Data + Zapsano, kus, &zapsano, nullptr))
            return ::GetLastError();
        if (zapsano == 0)
            return ERROR_WRITE_FAULT;
        Zapsano += zapsano;
    }
    return 0;
}

} // namespace

std::optional<TIdentitaSouboru> IdentitaSouboru(const QString &Cesta)
{
    if (Cesta.isEmpty() || Cesta.contains(QChar(0)))
        return std::nullopt;
    // Opened for no access at all, so that no other program is kept from its file.
    const TRukojet soubor(::CreateFileW(SirokaCesta(Cesta).c_str(), 0,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!soubor.Platna() || !::GetFileInformationByHandle(soubor.H, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return IdentitaZInfo(info);
}

QByteArray NactiBajty(const QString &Cesta, qint64 Nejvice, TIdentitaSouboru *Identita)
{
    if (Cesta.isEmpty() || Cesta.contains(QChar(0)))
        throw ChybaOtevreni(Cesta, DuvodChyby(ERROR_FILE_NOT_FOUND));
    // Other programs may go on reading, writing, renaming or deleting the file
    // meanwhile, as they may on other systems; a folder opens too, to be told.
    const TRukojet soubor(::CreateFileW(SirokaCesta(Cesta).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!soubor.Platna())
        throw ChybaOtevreni(Cesta, DuvodChyby(::GetLastError()));
    // What was opened is checked on the handle, not on a name that may change.
    BY_HANDLE_FILE_INFORMATION info;
    const bool bInfo = ::GetFileType(soubor.H) == FILE_TYPE_DISK && ::GetFileInformationByHandle(soubor.H, &info);
    if (!bInfo || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        throw ChybaOtevreni(Cesta, DuvodDruhu(soubor.H, bInfo ? &info : nullptr));
    const TIdentitaSouboru identita = IdentitaZInfo(info);
    if (Nejvice >= 0 && identita.Velikost > Nejvice)
        throw EPrilisVelky(Cesta, identita.Velikost);
    // The size the file had when it was opened; one that grows meanwhile is
    // read on in pieces, to one byte past the limit.
    const qint64 strop = Nejvice < 0 ? std::numeric_limits<qint64>::max() : Nejvice + 1;
    QByteArray bajty(std::min(identita.Velikost, strop), Qt::Uninitialized);
    qint64 precteno = 0;
    while (precteno < strop) {
        if (precteno == bajty.size())
            bajty.resize(std::min<qint64>(std::max<qint64>(bajty.size() * 2, 65536), strop));
        DWORD n = 0;
        const DWORD kus = DWORD(std::min<qint64>(bajty.size() - precteno, 1 << 30));
        if (!::ReadFile(soubor.H, bajty.data() + precteno, kus, &n, nullptr))
            throw ChybaOtevreni(Cesta, DuvodChyby(::GetLastError()));
        if (n == 0)
            break;
        precteno += n;
    }
    if (Nejvice >= 0 && precteno > Nejvice)
        throw EPrilisVelky(Cesta, Nejvice + 1, true);
    bajty.resize(precteno);
    if (Identita)
        *Identita = identita;
    return bajty;
}

namespace {

// The file that a save to Cesta writes: the path as the wide calls take it
// (a symbolic link's target, when it exists, as the system resolves it),
// whether it exists, and, when it does, what the system knows of it.
struct TCil {
    QString Cesta; // as the caller named it, for the message
    std::wstring Soubor;
    bool bExistuje = false;
    BY_HANDLE_FILE_INFORMATION Info{};
};

[[noreturn]] void Selhani(const TCil &Cil, DWORD Chyba)
{
    throw ChybaVytvoreni(Cil.Cesta, DuvodChyby(Chyba));
}

// The file that a save to Cesta replaces, or the error that refuses it: a
// folder, something that is not a regular file (a device, a pipe), a file
// that may not be written (read-only).
TCil NajdiCil(const QString &Cesta)
{
    TCil cil;
    cil.Cesta = Cesta;
    if (Cesta.isEmpty() || Cesta.contains(QChar(0)))
        Selhani(cil, ERROR_INVALID_NAME);
    cil.Soubor = SirokaCesta(Cesta);
    const TRukojet soubor(::CreateFileW(cil.Soubor.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!soubor.Platna()) {
        const DWORD chyba = ::GetLastError();
        if (chyba != ERROR_FILE_NOT_FOUND)
            Selhani(cil, chyba);
        // A symbolic link whose target is missing creates that target.
        const QFileInfo odkaz(Cesta);
        if (odkaz.isSymbolicLink())
            cil.Soubor = SirokaCesta(odkaz.symLinkTarget());
        return cil;
    }
    const bool bInfo = ::GetFileType(soubor.H) == FILE_TYPE_DISK && ::GetFileInformationByHandle(soubor.H, &cil.Info);
    if (!bInfo || (cil.Info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        throw ChybaVytvoreni(Cesta, DuvodDruhu(soubor.H, bInfo ? &cil.Info : nullptr));
    if (cil.Info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        Selhani(cil, ERROR_ACCESS_DENIED);
    cil.bExistuje = true;
    // A symbolic link (or a junction above the file) stands for the file it
    // leads to: that file is replaced, the link stays.
    std::wstring konecna(32768, L'\0');
    const DWORD delka = ::GetFinalPathNameByHandleW(soubor.H, konecna.data(), DWORD(konecna.size()),
                                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (delka > 0 && delka < konecna.size()) {
        konecna.resize(delka);
        cil.Soubor = konecna;
    }
    return cil;
}

// The folder part of a wide path, with its last separator.
std::wstring Slozka(const std::wstring &Soubor)
{
    const size_t lomitko = Soubor.find_last_of(L"\\/");
    return lomitko == std::wstring::npos ? std::wstring() : Soubor.substr(0, lomitko + 1);
}

// A temporary file beside the target, removed unless it has taken its place.
struct TDocasny {
    ~TDocasny()
    {
        if (Soubor.Platna())
            Soubor.Zavri();
        if (!bNahradil && !Jmeno.empty())
            ::DeleteFileW(Jmeno.c_str());
    }
    std::wstring Jmeno;
    TRukojet Soubor{INVALID_HANDLE_VALUE};
    bool bNahradil = false;
};

// CREATE_NEW: nothing that already lies in the folder is ever taken over.
// 0, or the system's error.
DWORD VytvorDocasny(const TCil &Cil, TDocasny &Docasny)
{
    const std::wstring slozka = Slozka(Cil.Soubor);
    const std::wstring jmeno = Cil.Soubor.substr(slozka.size()).substr(0, 200);
    for (int pokus = 0; pokus < 100; ++pokus) {
        const std::wstring docasne = slozka + L'.' + jmeno + L'.' +
            QString::number(QRandomGenerator::global()->generate(), 36).toStdWString() + L'~';
        const HANDLE h = ::CreateFileW(docasne.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            Docasny.Jmeno = docasne;
            Docasny.Soubor.H = h;
            return 0;
        }
        const DWORD chyba = ::GetLastError();
        if (chyba != ERROR_FILE_EXISTS && chyba != ERROR_ALREADY_EXISTS)
            return chyba;
    }
    return ERROR_FILE_EXISTS;
}

// Writes the new content into the file itself, where a new file would not be
// the same file (other hard links) or the folder takes no new file. The space
// is reserved first, so that a full disk stops the save before any old byte
// is overwritten; should a write fail all the same, the old bytes, read
// before, go back.
TIdentitaSouboru ZapisNaMiste(const TCil &Cil, const QByteArray &Bajty)
{
    TRukojet soubor(::CreateFileW(Cil.Soubor.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!soubor.Platna())
        Selhani(Cil, ::GetLastError());
    QByteArray stare;
    try {
        stare = NactiBajty(QString::fromStdWString(Cil.Soubor));
    } catch (const EChyba &) {
        Selhani(Cil, ERROR_READ_FAULT);
    }
    const qint64 nova = Bajty.size();
    if (nova > stare.size()) {
        FILE_ALLOCATION_INFO misto;
        misto.AllocationSize.QuadPart = nova;
        // Where the file system cannot reserve, every write is still checked.
        if (!::SetFileInformationByHandle(soubor.H, FileAllocationInfo, &misto, sizeof misto)) {
            const DWORD chyba = ::GetLastError();
            if (chyba == ERROR_DISK_FULL || chyba == ERROR_HANDLE_DISK_FULL)
                Selhani(Cil, chyba);
        }
    }
    const auto konec = [&](qint64 Delka) {
        LARGE_INTEGER pozice;
        pozice.QuadPart = Delka;
        return ::SetFilePointerEx(soubor.H, pozice, nullptr, FILE_BEGIN) && ::SetEndOfFile(soubor.H);
    };
    const auto zacatek = [&] {
        LARGE_INTEGER nula;
        nula.QuadPart = 0;
        return ::SetFilePointerEx(soubor.H, nula, nullptr, FILE_BEGIN) != 0;
    };
    qint64 zapsano = 0;
    DWORD chyba = zacatek() ? ZapisVse(soubor.H, Bajty.constData(), nova, zapsano) : ::GetLastError();
    if (!chyba && nova < stare.size() && !konec(nova))
        chyba = ::GetLastError();
    if (!chyba && !::FlushFileBuffers(soubor.H))
        chyba = ::GetLastError();
    if (chyba) {
        qint64 zpet = 0;
        if (!zacatek() || ZapisVse(soubor.H, stare.constData(), stare.size(), zpet) != 0 || !konec(stare.size()) ||
            !::FlushFileBuffers(soubor.H))
            throw ChybaVytvoreni(Cil.Cesta,
                                 DuvodChyby(chyba) + QStringLiteral(". The old content could not be put back either"));
        Selhani(Cil, chyba);
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(soubor.H, &info))
        Selhani(Cil, ::GetLastError());
    if (const DWORD zavreni = soubor.Zavri())
        Selhani(Cil, zavreni);
    return IdentitaZInfo(info);
}

// What OverCil gives a streaming writer: the refusal of what a save never
// replaces, at once.
QString OverCil(const QString &Cesta)
{
    return QString::fromStdWString(NajdiCil(Cesta).Soubor);
}

} // namespace

// A temporary file in the same folder receives the content, reaches the disk
// and then takes the old file's place in one step: ReplaceFileW, which keeps
// what makes the old file what it is (attributes, creation time, security,
// alternate streams), or, for a new file, a rename. A failure at any step
// leaves the old file whole and removes the temporary one. Where a new file
// cannot be that file (it has other hard links) or the folder takes no new
// file, the content goes into the file itself.
TIdentitaSouboru ZapisSoubor(const QString &Cesta, const QByteArray &Bajty)
{
    const TCil cil = NajdiCil(Cesta);
    if (cil.bExistuje && cil.Info.nNumberOfLinks > 1)
        return ZapisNaMiste(cil, Bajty);
    TDocasny docasny;
    if (const DWORD chyba = VytvorDocasny(cil, docasny)) {
        if (cil.bExistuje && chyba == ERROR_ACCESS_DENIED)
            return ZapisNaMiste(cil, Bajty);
        Selhani(cil, chyba);
    }
    qint64 zapsano = 0;
    DWORD chyba = ZapisVse(docasny.Soubor.H, Bajty.constData(), Bajty.size(), zapsano);
    // The new file takes the old one's attributes and creation time at once.
    // ReplaceFileW carries them over itself on Windows, so that a system whose
    // ReplaceFileW does not (Wine) makes no save fail for it.
    if (!chyba && cil.bExistuje) {
        FILE_BASIC_INFO zaklad = {};
        zaklad.CreationTime.LowPart = cil.Info.ftCreationTime.dwLowDateTime;
        zaklad.CreationTime.HighPart = LONG(cil.Info.ftCreationTime.dwHighDateTime);
        zaklad.FileAttributes = cil.Info.dwFileAttributes &
            (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
             FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (!zaklad.FileAttributes)
            zaklad.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        ::SetFileInformationByHandle(docasny.Soubor.H, FileBasicInfo, &zaklad, sizeof zaklad);
    }
    // The data reach the disk before the new name does: a crash in between
    // leaves the old file, never an empty one.
    if (!chyba && !::FlushFileBuffers(docasny.Soubor.H))
        chyba = ::GetLastError();
    if (!chyba)
        chyba = docasny.Soubor.Zavri();
    QString zachovano;
    if (!chyba && cil.bExistuje)
        chyba = NahradSoubor(cil.Soubor.c_str(), docasny.Jmeno.c_str(), IdentitaZInfo(cil.Info), zachovano);
    else if (!chyba && !::MoveFileExW(docasny.Jmeno.c_str(), cil.Soubor.c_str(), MOVEFILE_WRITE_THROUGH))
        chyba = ::GetLastError();
    if (!zachovano.isEmpty()) {
        docasny.bNahradil = true; // the only copy of the content
        throw ChybaVytvoreni(cil.Cesta, DuvodChyby(chyba) + zachovano);
    }
    if (chyba)
        Selhani(cil, chyba);
    docasny.bNahradil = true;
    const std::optional<TIdentitaSouboru> identita = IdentitaSouboru(QString::fromStdWString(cil.Soubor));
    return identita.value_or(TIdentitaSouboru());
}

// TZapisSouboru: SouborWin.cpp.

#else

// ---- names as bytes ----

QByteArray KodujCestu(const QString &Cesta)
{
    QByteArray bajty;
    bajty.reserve(Cesta.size() * 2);
    for (qsizetype i = 0; i < Cesta.size(); ++i) {
        char32_t znak = Cesta[i].unicode();
        if (QChar::isHighSurrogate(znak) && i + 1 < Cesta.size() && Cesta[i + 1].isLowSurrogate()) {
            znak = QChar::surrogateToUcs4(char16_t(znak), Cesta[++i].unicode());
        } else if (znak >= 0xDC80 && znak <= 0xDCFF) {
            bajty += char(znak - 0xDC00); // a byte of a name that is not UTF-8
            continue;
        } else if (QChar::isSurrogate(znak)) {
            znak = QChar::ReplacementCharacter; // no name decodes to it
        }
        if (znak < 0x80) {
            bajty += char(znak);
        } else if (znak < 0x800) {
            bajty += char(0xC0 | (znak >> 6));
            bajty += char(0x80 | (znak & 0x3F));
        } else if (znak < 0x10000) {
            bajty += char(0xE0 | (znak >> 12));
            bajty += char(0x80 | ((znak >> 6) & 0x3F));
            bajty += char(0x80 | (znak & 0x3F));
        } else {
            bajty += char(0xF0 | (znak >> 18));
            bajty += char(0x80 | ((znak >> 12) & 0x3F));
            bajty += char(0x80 | ((znak >> 6) & 0x3F));
            bajty += char(0x80 | (znak & 0x3F));
        }
    }
    return bajty;
}

QString DekodujCestu(const QByteArray &Bajty)
{
    QString cesta;
    cesta.reserve(Bajty.size());
    const qsizetype delka = Bajty.size();
    for (qsizetype i = 0; i < delka;) {
        const uchar prvni = uchar(Bajty[i]);
        if (prvni < 0x80) {
            cesta += QChar(prvni);
            ++i;
            continue;
        }
        int pocet = 0;
        char32_t znak = 0, nejmensi = 0;
        if ((prvni & 0xE0) == 0xC0)
            pocet = 2, znak = prvni & 0x1F, nejmensi = 0x80;
        else if ((prvni & 0xF0) == 0xE0)
            pocet = 3, znak = prvni & 0x0F, nejmensi = 0x800;
        else if ((prvni & 0xF8) == 0xF0)
            pocet = 4, znak = prvni & 0x07, nejmensi = 0x10000;
        bool bPlatny = pocet > 0 && i + pocet <= delka;
        for (int k = 1; bPlatny && k < pocet; ++k) {
            const uchar dalsi = uchar(Bajty[i + k]);
            bPlatny = (dalsi & 0xC0) == 0x80;
            znak = (znak << 6) | (dalsi & 0x3F);
        }
        // Overlong forms and encoded surrogates are not UTF-8: were they read
        // as characters, two names would map to one.
        if (bPlatny && znak >= nejmensi && znak <= 0x10FFFF && !QChar::isSurrogate(znak)) {
            if (QChar::requiresSurrogates(znak)) {
                cesta += QChar(QChar::highSurrogate(znak));
                cesta += QChar(QChar::lowSurrogate(znak));
            } else {
                cesta += QChar(char16_t(znak));
            }
            i += pocet;
        } else {
            cesta += QChar(char16_t(0xDC00 + prvni));
            ++i;
        }
    }
    return cesta;
}

namespace {

// strerror_r comes in two kinds: GNU's gives the text, POSIX's fills the buffer.
[[maybe_unused]] const char *TextChyby(const char *Text, const char *)
{
    return Text;
}

[[maybe_unused]] const char *TextChyby(int Vysledek, const char *Buffer)
{
    return Vysledek == 0 ? Buffer : nullptr;
}

} // namespace

QString TextChybySystemu(int Chyba)
{
    // The system's own text, in the language of the user's locale (Qt's
    // own words for a few errors would always be English).
    char buffer[512] = {};
    const char *text = TextChyby(strerror_r(Chyba, buffer, sizeof buffer), buffer);
    return text && *text ? QString::fromLocal8Bit(text) : qt_error_string(Chyba);
}

namespace {

QString DuvodChyby(int Chyba)
{
    return TextChybySystemu(Chyba);
}

// What a path names when it is not a regular file.
QString DuvodDruhu(mode_t Druh)
{
    if (S_ISDIR(Druh))
        return DuvodSlozky();
    if (S_ISFIFO(Druh))
        return QStringLiteral("It is a named pipe (FIFO), not a regular file");
    if (S_ISSOCK(Druh))
        return QStringLiteral("It is a socket, not a regular file");
    if (S_ISCHR(Druh))
        return QStringLiteral("It is a character device, not a regular file");
    if (S_ISBLK(Druh))
        return QStringLiteral("It is a block device, not a regular file");
    return QStringLiteral("It is not a regular file");
}

// The bytes to hand to the system; 0 when the path cannot name a file (a
// null character would cut it short and name another one).
int SystemovaCesta(const QString &Cesta, QByteArray &Bajty)
{
    Bajty = KodujCestu(Cesta);
    if (Bajty.isEmpty())
        return ENOENT;
    return Bajty.contains('\0') ? EINVAL : 0;
}

// A descriptor closed when it goes out of scope.
struct TDeskriptor {
    explicit TDeskriptor(int Popisovac) : Fd(Popisovac) { }
    TDeskriptor(const TDeskriptor &) = delete;
    TDeskriptor &operator=(const TDeskriptor &) = delete;
    ~TDeskriptor()
    {
        if (Fd >= 0)
            ::close(Fd);
    }
    // A writer looks at close's result: some file systems report a failed
    // write only there.
    int Zavri()
    {
        const int vysledek = ::close(Fd);
        Fd = -1;
        return vysledek == 0 ? 0 : errno;
    }
    int Fd;
};

// Reads from the descriptor's position to its end; Velikost is the size the
// file had when it was opened. With Nejvice >= 0 it reads no more than
// Nejvice + 1 bytes, enough to know that the file holds more than Nejvice
// (rounded up to whole 8 bytes past the size: some files of /proc take reads
// of whole entries only); then bVice is set and Bajty is left empty. 0, or
// the system's error.
int PrectiVse(int Fd, qint64 Velikost, qint64 Nejvice, QByteArray &Bajty, bool *bVice = nullptr)
{
    const qint64 strop = Nejvice < 0 ? std::numeric_limits<qint64>::max() : Nejvice + 1;
    Bajty = QByteArray(std::min(Velikost, strop), Qt::Uninitialized);
    VelkyBlok(Bajty.data(), Bajty.size());
    // Past the size (a file that grew, or one whose size says nothing, as
    // those of /proc) the bytes come in pieces, twice as long each time up to
    // 16 MiB, joined at the end: never a copy of all of them for each piece.
    std::vector<QByteArray> kusy;
    qint64 precteno = 0, vKusu = 0; // bytes in the last piece
    while (precteno < strop) {
        const bool bDoKusu = precteno >= Bajty.size();
        if (bDoKusu && (kusy.empty() || vKusu == kusy.back().size())) {
            const qint64 delka = kusy.empty() ? 65536 : std::min<qint64>(kusy.back().size() * 2, 16 << 20);
            kusy.emplace_back(Nejvice < 0 ? delka : std::min(delka, (strop - precteno + 7) & ~qint64(7)),
                              Qt::Uninitialized);
            vKusu = 0;
        }
        char *const cil = bDoKusu ? kusy.back().data() + vKusu : Bajty.data() + precteno;
        const qint64 misto = bDoKusu ? kusy.back().size() - vKusu : Bajty.size() - precteno;
        const ssize_t n = ::read(Fd, cil, size_t(misto));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break;
        if (bDoKusu)
            vKusu += n;
        precteno += n;
    }
    if (bVice)
        *bVice = precteno > Nejvice && Nejvice >= 0;
    if (bVice && *bVice) {
        Bajty.clear();
        return 0;
    }
    const qint64 zaklad = std::min<qint64>(Bajty.size(), precteno);
    Bajty.resize(precteno); // a file that shrank meanwhile, or grew
    char *cil = Bajty.data() + zaklad;
    for (QByteArray &kus : kusy) {
        const qint64 delka = std::min<qint64>(kus.size(), Bajty.constData() + precteno - cil);
        std::memcpy(cil, kus.constData(), size_t(delka));
        cil += delka;
        kus = QByteArray(); // each piece goes as soon as it is copied
    }
    return 0;
}

// Writes Delka bytes into the file from its offset Od, however many calls it
// takes; Zapsano counts the bytes that reached it. 0, or the system's error.
int ZapisVse(int Fd, const char *Data, qint64 Delka, qint64 Od, qint64 &Zapsano)
{
    Zapsano = 0;
    while (Zapsano < Delka) {
        const ssize_t n = ::pwrite(Fd, Data + Zapsano, size_t(Delka - Zapsano), off_t(Od + Zapsano));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        Zapsano += n;
    }
    return 0;
}

TIdentitaSouboru IdentitaZeStat(const struct stat &St)
{
    TIdentitaSouboru identita;
    identita.Zarizeni = quint64(St.st_dev);
    identita.Uzel = quint64(St.st_ino);
    identita.Velikost = qint64(St.st_size);
    identita.ZmenaS = qint64(St.st_mtim.tv_sec);
    identita.ZmenaNs = qint64(St.st_mtim.tv_nsec);
    return identita;
}

} // namespace

QByteArray NactiBajty(const QString &Cesta, qint64 Nejvice, TIdentitaSouboru *Identita)
{
    QByteArray cesta;
    if (const int chyba = SystemovaCesta(Cesta, cesta))
        throw ChybaOtevreni(Cesta, DuvodChyby(chyba));
    // Without O_NONBLOCK a pipe would wait for a writer; what the open found
    // is then checked on the descriptor itself, not on a name that may change.
    TDeskriptor fd(::open(cesta.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st;
    if (fd.Fd < 0) {
        // A socket cannot be opened at all; "No such device or address" would
        // not tell the user why.
        const int chyba = errno;
        const bool bJinyDruh = ::stat(cesta.constData(), &st) == 0 && !S_ISREG(st.st_mode);
        throw ChybaOtevreni(Cesta, bJinyDruh ? DuvodDruhu(st.st_mode) : DuvodChyby(chyba));
    }
    if (::fstat(fd.Fd, &st) != 0)
        throw ChybaOtevreni(Cesta, DuvodChyby(errno));
    if (!S_ISREG(st.st_mode))
        throw ChybaOtevreni(Cesta, DuvodDruhu(st.st_mode));
    if (Nejvice >= 0 && st.st_size > Nejvice)
        throw EPrilisVelky(Cesta, st.st_size);
    QByteArray bajty;
    bool bVice = false;
    if (const int chyba = PrectiVse(fd.Fd, st.st_size, Nejvice, bajty, &bVice))
        throw ChybaOtevreni(Cesta, DuvodChyby(chyba));
    // A file whose size said less than it holds (one that grows, one of /proc
    // that says 0): how much more, nobody knows.
    if (bVice)
        throw EPrilisVelky(Cesta, Nejvice + 1, true);
    if (Identita)
        *Identita = IdentitaZeStat(st);
    return bajty;
}

std::optional<TIdentitaSouboru> IdentitaSouboru(const QString &Cesta)
{
    QByteArray cesta;
    struct stat st;
    if (SystemovaCesta(Cesta, cesta) != 0 || ::stat(cesta.constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return std::nullopt;
    return IdentitaZeStat(st);
}

bool ExistujeSoubor(const QString &Cesta)
{
    QByteArray cesta;
    struct stat st;
    if (SystemovaCesta(Cesta, cesta) != 0)
        return false;
    if (::stat(cesta.constData(), &st) == 0)
        return !S_ISDIR(st.st_mode);
    // A file behind a folder we may not search still exists: the save then
    // says why it cannot write it, rather than asking for another name.
    return errno != ENOENT && errno != ENOTDIR;
}

QString NajdiSoubor(const QString &Cesta)
{
    QByteArray cesta;
    struct stat st;
    const qsizetype lomitko = Cesta.lastIndexOf(u'/');
    const QString jmeno = Cesta.mid(lomitko + 1);
    // Only a name with U+FFFD can be the lossy reading of another one.
    if (SystemovaCesta(Cesta, cesta) != 0 || ::lstat(cesta.constData(), &st) == 0 ||
        !jmeno.contains(QChar::ReplacementCharacter))
        return Cesta;
    // The folder's own name may have been read the same way.
    const QString slozka = lomitko > 0 ? NajdiSoubor(Cesta.left(lomitko)) : Cesta.left(lomitko + 1);
    QByteArray bajtySlozky;
    if (slozka.isEmpty())
        bajtySlozky = ".";
    else if (SystemovaCesta(slozka, bajtySlozky) != 0)
        return Cesta;
    DIR *adresar = ::opendir(bajtySlozky.constData());
    if (!adresar)
        return Cesta;
    QByteArray nalezeny;
    int pocet = 0;
    while (const dirent *polozka = ::readdir(adresar)) {
        const QByteArray nazev(polozka->d_name);
        if (QString::fromUtf8(nazev) == jmeno && ++pocet == 1)
            nalezeny = nazev;
    }
    ::closedir(adresar);
    if (pocet != 1)
        return Cesta;
    return (lomitko > 0 ? slozka + u'/' : slozka) + DekodujCestu(nalezeny);
}

// ---- the writer ----

namespace {

struct TCil {
    QString Cesta;     // as the caller named it, for the message
    QByteArray Soubor; // the file itself, every link followed
    bool bExistuje = false;
    struct stat St = {};
};

[[noreturn]] void Selhani(const TCil &Cil, int Chyba)
{
    throw ChybaVytvoreni(Cil.Cesta, DuvodChyby(Chyba));
}

// The file that a chain of links ends in. A link whose target does not exist
// names the file that the save creates.
QByteArray CilOdkazu(QByteArray Cesta)
{
    for (int i = 0; i < 40; ++i) {
        struct stat st;
        if (::lstat(Cesta.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return Cesta;
        QByteArray odkaz(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlink(Cesta.constData(), odkaz.data(), size_t(odkaz.size()));
        if (n <= 0 || n >= odkaz.size())
            return Cesta; // stat reports why
        odkaz.resize(n);
        // A relative target is relative to the link's own folder.
        Cesta = odkaz.startsWith('/') ? odkaz : Cesta.left(Cesta.lastIndexOf('/') + 1) + odkaz;
    }
    return Cesta; // a loop of links: stat reports it
}

TCil NajdiCil(const QString &Cesta, const QString &Jmeno)
{
    TCil cil;
    cil.Cesta = Jmeno.isEmpty() ? Cesta : Jmeno;
    QByteArray cesta;
    if (const int chyba = SystemovaCesta(Cesta, cesta))
        Selhani(cil, chyba);
    cil.Soubor = CilOdkazu(cesta);
    cil.bExistuje = ::stat(cil.Soubor.constData(), &cil.St) == 0;
    if (!cil.bExistuje && errno != ENOENT)
        Selhani(cil, errno);
    if (cil.bExistuje) {
        // A pipe would block the window, a device take the text; neither is
        // replaced by a regular file.
        if (!S_ISREG(cil.St.st_mode))
            throw ChybaVytvoreni(cil.Cesta, DuvodDruhu(cil.St.st_mode));
        // A write-protected file stays protected: it is not replaced behind
        // the user's back.
        if (::faccessat(AT_FDCWD, cil.Soubor.constData(), W_OK, AT_EACCESS) != 0)
            Selhani(cil, errno);
    }
    return cil;
}

// A temporary file beside the target, removed unless it has taken its place.
struct TDocasny {
    ~TDocasny()
    {
        if (!bNahradil)
            ::unlink(Jmeno.constData());
    }
    QByteArray Jmeno;
    TDeskriptor Fd{-1};
    qint64 Delka = 0; // the bytes written into it
    bool bNahradil = false;
};

// O_EXCL: nothing that already lies in the folder is ever taken over. Until
// it has the old file's mode, only its owner may read it.
std::unique_ptr<TDocasny> VytvorDocasny(const TCil &Cil, int &Chyba)
{
    const qsizetype lomitko = Cil.Soubor.lastIndexOf('/');
    // Hidden, still telling whose it is, and short enough for any file system.
    const QByteArray zacatek = Cil.Soubor.left(lomitko + 1) + '.' + Cil.Soubor.mid(lomitko + 1).left(200) + '.';
    for (int pokus = 0; pokus < 100; ++pokus) {
        const QByteArray jmeno = zacatek + QByteArray::number(QRandomGenerator::global()->generate(), 36) + "~";
        const int fd =
            ::open(jmeno.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, Cil.bExistuje ? 0600 : 0666);
        if (fd >= 0) {
            auto docasny = std::make_unique<TDocasny>();
            docasny->Jmeno = jmeno;
            docasny->Fd.Fd = fd;
            return docasny;
        }
        if (errno != EEXIST) {
            Chyba = errno;
            return nullptr;
        }
    }
    Chyba = EEXIST;
    return nullptr;
}

// Calls one of the extended-attribute functions that fill a buffer, as often
// as the attributes change between asking for the size and reading. A file
// system without extended attributes has none.
std::optional<QByteArray> Atributy(const std::function<ssize_t(char *, size_t)> &Volani)
{
    for (int pokus = 0; pokus < 10; ++pokus) {
        const ssize_t delka = Volani(nullptr, 0);
        if (delka < 0)
            return errno == ENOTSUP ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
        QByteArray hodnota(delka, Qt::Uninitialized);
        const ssize_t n = Volani(hodnota.data(), size_t(hodnota.size()));
        if (n >= 0) {
            hodnota.resize(n);
            return hodnota;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
    return std::nullopt;
}

// The temporary file ends with exactly the old file's extended attributes:
// the ACLs (system.posix_acl_*) among them, and without an ACL that the
// folder's default gave it.
bool PrevezmiAtributy(const QByteArray &Zdroj, int Fd)
{
    const auto seznam = Atributy([&](char *b, size_t n) { return ::listxattr(Zdroj.constData(), b, n); });
    const auto zdedene = Atributy([&](char *b, size_t n) { return ::flistxattr(Fd, b, n); });
    if (!seznam || !zdedene)
        return false;
    const QList<QByteArray> jmena = seznam->split('\0');
    for (const QByteArray &jmeno : zdedene->split('\0'))
        if (!jmeno.isEmpty() && !jmena.contains(jmeno) && ::fremovexattr(Fd, jmeno.constData()) != 0)
            return false;
    for (const QByteArray &jmeno : jmena) {
        if (jmeno.isEmpty())
            continue;
        const auto hodnota =
            Atributy([&](char *b, size_t n) { return ::getxattr(Zdroj.constData(), jmeno.constData(), b, n); });
        if (!hodnota || ::fsetxattr(Fd, jmeno.constData(), hodnota->constData(), size_t(hodnota->size()), 0) != 0)
            return false;
    }
    return true;
}

// Gives the temporary file all that makes the old file what it is besides its
// content and owner. False when the system allows not all of it.
bool PrevezmiIdentitu(const TCil &Cil, int Fd)
{
    struct stat st;
    if (::fstat(Fd, &st) != 0)
        return false;
    if (st.st_gid != Cil.St.st_gid && ::fchown(Fd, uid_t(-1), Cil.St.st_gid) != 0)
        return false;
    if (!PrevezmiAtributy(Cil.Soubor, Fd))
        return false;
    // The mode last: a change of group clears the set-ID bits, and an ACL
    // sets the group bits.
    return ::fchmod(Fd, Cil.St.st_mode & 07777) == 0;
}

// Decides how the new content replaces the old. A temporary file renamed over
// the old one never leaves a half-written file behind, so it is the way
// wherever the new file can be all that the old one was. Where it cannot, the
// content goes into the old file itself (no temporary file returned): the
// file has other names (hard links), which would keep the old content; it
// belongs to another user, who would lose it to us; the folder takes no new
// file although the file itself may be written; or the new file cannot be
// given the old one's group or extended attributes.
std::unique_ptr<TDocasny> ZvolZpusob(const TCil &Cil)
{
    if (Cil.bExistuje && (Cil.St.st_nlink > 1 || Cil.St.st_uid != ::geteuid()))
        return nullptr;
    int chyba = 0;
    std::unique_ptr<TDocasny> docasny = VytvorDocasny(Cil, chyba);
    if (!docasny && !Cil.bExistuje)
        Selhani(Cil, chyba);
    if (docasny && Cil.bExistuje && !PrevezmiIdentitu(Cil, docasny->Fd.Fd))
        return nullptr;
    return docasny;
}

// Adds the bytes at the end of the temporary file.
void PridejDoDocasneho(const TCil &Cil, TDocasny &Docasny, QByteArrayView Bajty)
{
    qint64 zapsano = 0;
    const int chyba = ZapisVse(Docasny.Fd.Fd, Bajty.data(), Bajty.size(), Docasny.Delka, zapsano);
    Docasny.Delka += zapsano;
    if (chyba)
        Selhani(Cil, chyba);
}

// Puts the temporary file, written whole, in the old file's place, with
// Kontrola (see TZapisSouboru) just before; the identity of the file that it
// then is (a rename changes neither its inode nor its time of change).
TIdentitaSouboru DokonciPrejmenovani(const TCil &Cil, TDocasny &Docasny, const std::function<void()> &Kontrola)
{
    int chyba = 0;
    struct stat st;
    // The data reach the disk before the new name does: a crash in between
    // leaves the old file, never an empty one.
    if (::fsync(Docasny.Fd.Fd) != 0 || ::fstat(Docasny.Fd.Fd, &st) != 0)
        chyba = errno;
    if (!chyba)
        chyba = Docasny.Fd.Zavri();
    if (!chyba && Kontrola)
        Kontrola();
    if (!chyba && ::rename(Docasny.Jmeno.constData(), Cil.Soubor.constData()) != 0)
        chyba = errno;
    if (chyba)
        Selhani(Cil, chyba);
    Docasny.bNahradil = true;
    // So that the new name, too, survives a crash. The file already shows the
    // new content whatever this says, so a failure here is no failed save.
    const qsizetype lomitko = Cil.Soubor.lastIndexOf('/');
    const QByteArray slozka = lomitko < 0 ? QByteArray(".") : Cil.Soubor.left(lomitko + 1);
    TDeskriptor adresar(::open(slozka.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (adresar.Fd >= 0)
        ::fsync(adresar.Fd);
    return IdentitaZeStat(st);
}

// Puts the old bytes back over the Prepsano bytes that a failed save wrote,
// and the old length.
bool Obnov(int Fd, const QByteArray &Stare, qint64 Prepsano)
{
    qint64 zapsano = 0;
    return ZapisVse(Fd, Stare.constData(), qMin<qint64>(Stare.size(), Prepsano), 0, zapsano) == 0 &&
        ::ftruncate(Fd, off_t(Stare.size())) == 0 && ::fsync(Fd) == 0;
}

// Writes the new content into the file itself. The space is reserved first,
// so that a full disk or a size limit stops the save before any old byte is
// overwritten; should a write fail all the same, the old bytes, read before,
// go back.
// Reserves the blocks for Delka bytes of the file, or gives the reason why the
// disk cannot take them. Where it can, the file keeps its size meanwhile, so
// that a program killed between the reservation and the write leaves the old
// content as it was.
int Rezervuj(int Fd, qint64 Delka)
{
#ifdef FALLOC_FL_KEEP_SIZE
    int vysledek;
    while ((vysledek = ::fallocate(Fd, FALLOC_FL_KEEP_SIZE, 0, off_t(Delka))) != 0 && errno == EINTR) { }
    if (vysledek == 0 || (errno != EOPNOTSUPP && errno != ENOSYS))
        return vysledek == 0 ? 0 : errno;
#endif
    int chyba;
    while ((chyba = ::posix_fallocate(Fd, 0, off_t(Delka))) == EINTR) { }
    return chyba;
}

TIdentitaSouboru ZapisNaMiste(const TCil &Cil, const QByteArray &Bajty, const std::function<void()> &Kontrola)
{
    TDeskriptor fd(::open(Cil.Soubor.constData(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st;
    if (fd.Fd < 0 || ::fstat(fd.Fd, &st) != 0)
        Selhani(Cil, errno);
    if (!S_ISREG(st.st_mode))
        throw ChybaVytvoreni(Cil.Cesta, DuvodDruhu(st.st_mode));
    QByteArray stare;
    if (const int chyba = PrectiVse(fd.Fd, st.st_size, -1, stare))
        Selhani(Cil, chyba);
    if (Kontrola)
        Kontrola();
    const qint64 nova = Bajty.size();
    if (nova > stare.size()) {
        const int chyba = Rezervuj(fd.Fd, nova);
        // Where the file system cannot reserve, every write is still checked.
        if (chyba && chyba != EOPNOTSUPP && chyba != ENOSYS) {
            ::ftruncate(fd.Fd, off_t(stare.size()));
            Selhani(Cil, chyba);
        }
    }
    qint64 zapsano = 0;
    int chyba = ZapisVse(fd.Fd, Bajty.constData(), nova, 0, zapsano);
    if (!chyba && nova < stare.size()) {
        if (::ftruncate(fd.Fd, off_t(nova)) != 0)
            chyba = errno;
        zapsano = stare.size(); // the end that was cut off goes back too
    }
    if (!chyba && ::fsync(fd.Fd) != 0)
        chyba = errno;
    if (chyba && !Obnov(fd.Fd, stare, zapsano))
        throw ChybaVytvoreni(Cil.Cesta,
                             DuvodChyby(chyba) + QStringLiteral(". The old content could not be put back either"));
    if (!chyba && ::fstat(fd.Fd, &st) != 0)
        chyba = errno;
    if (!chyba)
        chyba = fd.Zavri();
    if (chyba)
        Selhani(Cil, chyba);
    return IdentitaZeStat(st);
}

// Up to this many bytes the new content waits in memory before the way of
// writing is chosen: a writer given up early (a file that turned out not to
// change) then leaves no trace in the folder, not even a temporary file that
// came and went.
constexpr qsizetype VPameti = 4 << 20;

} // namespace

struct TZapisSouboru::TData {
    std::optional<TCil> Cil;           // the file named by Otevri
    std::unique_ptr<TDocasny> Docasny; // the temporary file, once it is the way
    bool bNaMiste = false;             // the content goes into the file itself
    QByteArray Pamet;                  // the content not in the temporary file
    qint64 Velikost = 0;
    std::optional<EChyba> Chyba; // the failure that the writer keeps to
    bool bHotovo = false;
    TIdentitaSouboru Identita; // the file that Dokonci left

    bool Zvoleno() const { return Docasny || bNaMiste; }
    void Zvol()
    {
        Docasny = ZvolZpusob(*Cil);
        bNaMiste = !Docasny;
    }
    // What waits in memory goes into the temporary file.
    void Vyprazdni()
    {
        if (Pamet.isEmpty())
            return;
        PridejDoDocasneho(*Cil, *Docasny, Pamet);
        Pamet = QByteArray();
    }
    void Over() const
    {
        if (!Cil || bHotovo)
            qFatal("TZapisSouboru used without Otevri or after Dokonci");
        if (Chyba)
            throw *Chyba;
    }
};

TZapisSouboru::TZapisSouboru() : d(std::make_unique<TData>()) { }

TZapisSouboru::~TZapisSouboru() = default;

void TZapisSouboru::Otevri(const QString &Cesta, const QString &Jmeno)
{
    if (d->Cil)
        qFatal("TZapisSouboru opened twice");
    d->Cil = NajdiCil(Cesta, Jmeno);
}

void TZapisSouboru::Pridej(QByteArrayView Bajty)
{
    d->Over();
    if (!d->Zvoleno() && d->Pamet.size() + Bajty.size() <= VPameti) {
        d->Pamet.append(Bajty);
        d->Velikost += Bajty.size();
        return;
    }
    try {
        if (!d->Zvoleno())
            d->Zvol();
        if (d->bNaMiste) {
            d->Pamet.append(Bajty);
        } else {
            d->Vyprazdni();
            PridejDoDocasneho(*d->Cil, *d->Docasny, Bajty);
        }
    } catch (const EChyba &e) {
        d->Chyba = e;
        throw;
    }
    d->Velikost += Bajty.size();
}

void TZapisSouboru::Znovu()
{
    if (!d->Cil || d->bHotovo)
        qFatal("TZapisSouboru used without Otevri or after Dokonci");
    d->Chyba.reset();
    d->Pamet = QByteArray();
    d->Velikost = 0;
    if (!d->Docasny)
        return;
    // A temporary file that a failed Dokonci closed is of no more use.
    if (d->Docasny->Fd.Fd < 0) {
        d->Docasny.reset();
        return;
    }
    d->Docasny->Delka = 0;
    if (::ftruncate(d->Docasny->Fd.Fd, 0) != 0) {
        d->Chyba = ChybaVytvoreni(d->Cil->Cesta, DuvodChyby(errno));
        throw *d->Chyba;
    }
}

void TZapisSouboru::Dokonci(const std::function<void()> &Kontrola)
{
    d->Over();
    try {
        if (!d->Zvoleno())
            d->Zvol();
        if (d->Docasny) {
            d->Vyprazdni();
            d->Identita = DokonciPrejmenovani(*d->Cil, *d->Docasny, Kontrola);
        } else {
            d->Identita = ZapisNaMiste(*d->Cil, d->Pamet, Kontrola);
        }
    } catch (const EChyba &e) {
        d->Chyba = e;
        throw;
    }
    d->bHotovo = true;
    d->Docasny.reset();
    d->Pamet = QByteArray();
}

qint64 TZapisSouboru::Velikost() const
{
    return d->Velikost;
}

TIdentitaSouboru TZapisSouboru::Identita() const
{
    return d->Identita;
}

TIdentitaSouboru ZapisSoubor(const QString &Cesta, const QByteArray &Bajty)
{
    TZapisSouboru zapis;
    zapis.Otevri(Cesta);
    zapis.Pridej(Bajty);
    zapis.Dokonci();
    return zapis.Identita();
}

#endif
