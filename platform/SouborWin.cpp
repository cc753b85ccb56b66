// The streaming writer of files on Windows (TZapisSouboru; see Soubor.h), and
// the paths and reasons of the system that lumarin-convert's Windows side
// shares with it (SouborWin.h).
//
// The new content goes into a hidden temporary file beside the old one as it
// comes (after the first megabytes, which wait in memory), reaches the disk
// (FlushFileBuffers) and then takes the old file's place in one step:
// ReplaceFileW, which keeps what makes the old file what it is (attributes,
// creation time, security, alternate streams), or a rename for a new file.
// Until then the temporary file is marked for deletion, so that a writer
// killed on the way leaves nothing behind. Where a new file could not be the
// same file (it has other hard links) or the folder takes no new file, the
// content is kept in memory and written into the file itself, the old bytes
// going back should a write fail.

#include "Soubor.h"
#include "SouborWin.h"

#include <QDir>
#include <QRandomGenerator>
#include <algorithm>
#include <optional>
#include <utility>

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#include <windows.h>

namespace {

LPCWSTR W(const QString &Text)
{
    return reinterpret_cast<LPCWSTR>(Text.utf16());
}

const QString Predpona = QStringLiteral("\\\\?\\");
const QString PredponaZarizeni = QStringLiteral("\\\\.\\");

} // namespace

QString SystemovaCesta(const QString &Cesta, unsigned long *Chyba)
{
    const auto chyba = [&](DWORD Kod) {
        if (Chyba)
            *Chyba = Kod;
        return QString();
    };
    if (Cesta.isEmpty())
        return chyba(ERROR_FILE_NOT_FOUND);
    if (Cesta.contains(QChar(0)))
        return chyba(ERROR_INVALID_NAME);
    if (Cesta.startsWith(Predpona) || Cesta.startsWith(PredponaZarizeni))
        return Cesta;
    QString uplna(MAX_PATH, Qt::Uninitialized);
    for (;;) {
        const DWORD delka =
            ::GetFullPathNameW(W(Cesta), DWORD(uplna.size()), reinterpret_cast<LPWSTR>(uplna.data()), nullptr);
        if (delka == 0)
            return chyba(::GetLastError());
        if (delka < DWORD(uplna.size())) {
            uplna.truncate(delka);
            break;
        }
        uplna.resize(delka);
    }
    // A folder's path must leave room for a name of 8.3 characters.
    if (uplna.size() < MAX_PATH - 12 || uplna.startsWith(PredponaZarizeni))
        return uplna;
    if (uplna.startsWith(QStringLiteral("\\\\")))
        return QStringLiteral("\\\\?\\UNC\\") + uplna.mid(2);
    return Predpona + uplna;
}

bool JeZarizeni(const QString &Systemova)
{
    return Systemova.startsWith(PredponaZarizeni) || Systemova.startsWith(QStringLiteral("\\\\?\\GLOBALROOT\\"));
}

QString DuvodSystemu(unsigned long Kod)
{
    wchar_t *text = nullptr;
    const DWORD delka =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, Kod, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    QString duvod = delka > 0 ? QString::fromWCharArray(text, int(delka)).trimmed() : QString();
    if (text)
        ::LocalFree(text);
    if (duvod.endsWith(u'.'))
        duvod.chop(1);
    return duvod.isEmpty() ? QStringLiteral("Error %1").arg(Kod) : duvod;
}

namespace {

// A handle closed when it goes out of scope.
struct THandle {
    explicit THandle(HANDLE Handle = INVALID_HANDLE_VALUE) : H(Handle) { }
    THandle(const THandle &) = delete;
    THandle &operator=(const THandle &) = delete;
    ~THandle()
    {
        if (Platny())
            ::CloseHandle(H);
    }
    bool Platny() const { return H != INVALID_HANDLE_VALUE && H != nullptr; }
    // A writer looks at the result: some file systems report a failed write
    // only when the file is closed.
    DWORD Zavri()
    {
        const BOOL bZavreno = ::CloseHandle(H);
        H = INVALID_HANDLE_VALUE;
        return bZavreno ? 0 : ::GetLastError();
    }
    HANDLE H;
};

// Writes all the bytes at the handle's position. 0, or the system's error;
// Zapsano counts the bytes that reached the file.
DWORD ZapisVse(HANDLE Soubor, const char *Data, qint64 Delka, qint64 &Zapsano)
{
    Zapsano = 0;
    while (Zapsano < Delka) {
        DWORD n = 0;
        if (!::WriteFile(Soubor, Data + Zapsano, DWORD(std::min<qint64>(Delka - Zapsano, 1 << 30)), &n, nullptr))
            return ::GetLastError();
        if (n == 0)
            return ERROR_WRITE_FAULT;
        Zapsano += n;
    }
    return 0;
}

bool NaPozici(HANDLE Soubor, qint64 Pozice)
{
    LARGE_INTEGER p;
    p.QuadPart = Pozice;
    return ::SetFilePointerEx(Soubor, p, nullptr, FILE_BEGIN);
}

// The file's size becomes Delka.
bool Zkrat(HANDLE Soubor, qint64 Delka)
{
    return NaPozici(Soubor, Delka) && ::SetEndOfFile(Soubor);
}

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

// The file that the writer replaces.
struct TCil {
    QString Cesta;  // as the messages name it
    QString Soubor; // for the system: a symbolic link's target where the name is a link
    bool bExistuje = false;
    BY_HANDLE_FILE_INFORMATION Info{};
};

[[noreturn]] void Selhani(const TCil &Cil, DWORD Chyba)
{
    throw ChybaVytvoreni(Cil.Cesta, DuvodSystemu(Chyba));
}

// The file a save to Cesta replaces, or the error that refuses it at once:
// a folder, a device or a pipe, a file that may not be written (read-only,
// or not to this user), a file another program holds shut.
TCil NajdiCil(const QString &Cesta, const QString &Jmeno)
{
    TCil cil;
    cil.Cesta = Jmeno.isEmpty() ? Cesta : Jmeno;
    DWORD chyba = 0;
    cil.Soubor = SystemovaCesta(Cesta, &chyba);
    if (cil.Soubor.isEmpty())
        Selhani(cil, chyba);
    const QString neniSoubor = QStringLiteral("It is not a regular file");
    if (JeZarizeni(cil.Soubor))
        throw ChybaVytvoreni(cil.Cesta, neniSoubor);
    const THandle soubor(::CreateFileW(W(cil.Soubor), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!soubor.Platny()) {
        chyba = ::GetLastError();
        if (chyba != ERROR_FILE_NOT_FOUND)
            Selhani(cil, chyba);
        return cil; // a new file
    }
    if (::GetFileType(soubor.H) != FILE_TYPE_DISK || !::GetFileInformationByHandle(soubor.H, &cil.Info))
        throw ChybaVytvoreni(cil.Cesta, neniSoubor);
    if (cil.Info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        throw ChybaVytvoreni(cil.Cesta, QStringLiteral("It is a folder, not a file"));
    // A read-only file stays read-only: it is not replaced behind the user's
    // back, as a write-protected file elsewhere.
    if (cil.Info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        Selhani(cil, ERROR_ACCESS_DENIED);
    // Nor one the user may not write, or one another program keeps from
    // writers (an open document of an office program).
    const THandle zapis(::CreateFileW(W(cil.Soubor), FILE_WRITE_DATA,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!zapis.Platny())
        Selhani(cil, ::GetLastError());
    cil.bExistuje = true;
    // A symbolic link stands for the file it leads to: that file is
    // replaced, and the link stays a link.
    const DWORD atributy = ::GetFileAttributesW(W(cil.Soubor));
    if (atributy != INVALID_FILE_ATTRIBUTES && (atributy & FILE_ATTRIBUTE_REPARSE_POINT)) {
        QString konecna(32768, Qt::Uninitialized);
        const DWORD delka = ::GetFinalPathNameByHandleW(soubor.H, reinterpret_cast<LPWSTR>(konecna.data()),
                                                        DWORD(konecna.size()), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (delka == 0 || delka >= DWORD(konecna.size()))
            Selhani(cil, delka == 0 ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE);
        konecna.truncate(delka);
        cil.Soubor = konecna;
    }
    return cil;
}

// Marks a file of the handle for deletion when the handle closes, or takes
// the mark back.
bool OznacKeSmazani(HANDLE Soubor, bool bSmazat)
{
    FILE_DISPOSITION_INFO dispozice;
    dispozice.DeleteFile = bSmazat;
    return ::SetFileInformationByHandle(Soubor, FileDispositionInfo, &dispozice, sizeof dispozice);
}

// A temporary file beside the target, gone unless it has taken its place.
struct TDocasny {
    ~TDocasny()
    {
        // Closed while marked, it goes with its handle.
        const bool bSmazano = Soubor.Platny() && bOznacen;
        if (Soubor.Platny())
            Soubor.Zavri();
        if (!bSmazano && !bNahradil && !Jmeno.isEmpty())
            ::DeleteFileW(W(Jmeno));
    }
    QString Jmeno;
    THandle Soubor;
    bool bOznacen = false; // marked for deletion
    qint64 Delka = 0;      // the bytes written into it
    bool bNahradil = false;
};

// CREATE_NEW: nothing that already lies in the folder is ever taken over.
// Hidden, and named after the target, so that one left behind by a crash
// tells whose it is.
std::unique_ptr<TDocasny> VytvorDocasny(const TCil &Cil, DWORD &Chyba)
{
    const qsizetype lomitko = Cil.Soubor.lastIndexOf(u'\\');
    const QString zacatek = Cil.Soubor.left(lomitko + 1) + u'.' + Cil.Soubor.mid(lomitko + 1).left(200) + u'.';
    for (int pokus = 0; pokus < 100; ++pokus) {
        const QString jmeno = zacatek + QString::number(QRandomGenerator::global()->generate(), 36) + u'~';
        const HANDLE h =
            ::CreateFileW(W(jmeno), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            auto docasny = std::make_unique<TDocasny>();
            docasny->Jmeno = jmeno;
            docasny->Soubor.H = h;
            docasny->bOznacen = OznacKeSmazani(h, true);
            return docasny;
        }
        Chyba = ::GetLastError();
        if (Chyba != ERROR_FILE_EXISTS && Chyba != ERROR_ALREADY_EXISTS)
            return nullptr;
    }
    Chyba = ERROR_FILE_EXISTS;
    return nullptr;
}

void PridejDoDocasneho(const TCil &Cil, TDocasny &Docasny, QByteArrayView Bajty)
{
    qint64 zapsano = 0;
    const DWORD chyba = ZapisVse(Docasny.Soubor.H, Bajty.data(), Bajty.size(), zapsano);
    Docasny.Delka += zapsano;
    if (chyba)
        Selhani(Cil, chyba);
}

// Puts the temporary file, written whole, in the old file's place, with
// Kontrola (see TZapisSouboru) just before.
TIdentitaSouboru DokonciNahrazeni(const TCil &Cil, TDocasny &Docasny, const std::function<void()> &Kontrola)
{
    const HANDLE h = Docasny.Soubor.H;
    // The old file's attributes (its hidden or system mark among them) and
    // its creation time, also where the system's replacement would not carry
    // them over; a new file is a plain one.
    FILE_BASIC_INFO zakladni = {};
    constexpr DWORD Prevzate =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    zakladni.FileAttributes = Cil.bExistuje ? Cil.Info.dwFileAttributes & Prevzate : 0;
    if (zakladni.FileAttributes == 0)
        zakladni.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (Cil.bExistuje) {
        zakladni.CreationTime.LowPart = Cil.Info.ftCreationTime.dwLowDateTime;
        zakladni.CreationTime.HighPart = LONG(Cil.Info.ftCreationTime.dwHighDateTime);
    }
    ::SetFileInformationByHandle(h, FileBasicInfo, &zakladni, sizeof zakladni);
    // The data reach the disk before the new name does: a crash in between
    // leaves the old file, never an empty one.
    DWORD chyba = ::FlushFileBuffers(h) ? 0 : ::GetLastError();
    if (!chyba && Docasny.bOznacen && !OznacKeSmazani(h, false))
        chyba = ::GetLastError();
    if (!chyba) {
        Docasny.bOznacen = false;
        chyba = Docasny.Soubor.Zavri();
    }
    if (chyba)
        Selhani(Cil, chyba);
    if (Kontrola)
        Kontrola();
    BOOL bHotovo;
    if (Cil.bExistuje) {
        QString zachovano;
        chyba = NahradSoubor(W(Cil.Soubor), W(Docasny.Jmeno), IdentitaZInfo(Cil.Info), zachovano);
        if (!zachovano.isEmpty()) {
            Docasny.bNahradil = true; // the only copy of the content
            throw ChybaVytvoreni(Cil.Cesta, DuvodSystemu(chyba) + zachovano);
        }
        bHotovo = chyba == 0;
        if (chyba)
            ::SetLastError(chyba);
    } else {
        // Not over a file that another program made meanwhile.
        bHotovo = ::MoveFileExW(W(Docasny.Jmeno), W(Cil.Soubor), MOVEFILE_WRITE_THROUGH);
    }
    if (!bHotovo)
        Selhani(Cil, ::GetLastError());
    Docasny.bNahradil = true;
    return IdentitaSouboru(Cil.Soubor).value_or(TIdentitaSouboru());
}

// Reads the whole file from its start. 0, or the system's error.
DWORD PrectiVse(HANDLE Soubor, QByteArray &Bajty)
{
    LARGE_INTEGER velikost;
    if (!::GetFileSizeEx(Soubor, &velikost) || !NaPozici(Soubor, 0))
        return ::GetLastError();
    Bajty = QByteArray(velikost.QuadPart, Qt::Uninitialized);
    qint64 precteno = 0;
    for (;;) {
        if (precteno == Bajty.size())
            Bajty.resize(std::max<qint64>(Bajty.size() * 2, 65536));
        DWORD n = 0;
        if (!::ReadFile(Soubor, Bajty.data() + precteno, DWORD(std::min<qint64>(Bajty.size() - precteno, 1 << 30)), &n,
                        nullptr))
            return ::GetLastError();
        if (n == 0)
            break;
        precteno += n;
    }
    Bajty.truncate(precteno);
    return 0;
}

// Writes the new content into the file itself. The space is reserved first,
// so that a full disk stops the save before any old byte is overwritten;
// should a write fail all the same, the old bytes, read before, go back.
TIdentitaSouboru ZapisNaMiste(const TCil &Cil, const QByteArray &Bajty, const std::function<void()> &Kontrola)
{
    // Others may go on reading it, but none writes meanwhile.
    THandle soubor(::CreateFileW(W(Cil.Soubor), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!soubor.Platny())
        Selhani(Cil, ::GetLastError());
    QByteArray stare;
    if (const DWORD chyba = PrectiVse(soubor.H, stare))
        Selhani(Cil, chyba);
    if (Kontrola)
        Kontrola();
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
    qint64 zapsano = 0;
    DWORD chyba = NaPozici(soubor.H, 0) ? ZapisVse(soubor.H, Bajty.constData(), nova, zapsano) : ::GetLastError();
    if (!chyba && nova < stare.size()) {
        if (!Zkrat(soubor.H, nova))
            chyba = ::GetLastError();
        zapsano = stare.size(); // the end that was cut off goes back too
    }
    if (!chyba && !::FlushFileBuffers(soubor.H))
        chyba = ::GetLastError();
    if (chyba) {
        qint64 zpet = 0;
        if (!NaPozici(soubor.H, 0) ||
            ZapisVse(soubor.H, stare.constData(), std::min<qint64>(stare.size(), zapsano), zpet) != 0 ||
            !Zkrat(soubor.H, stare.size()) || !::FlushFileBuffers(soubor.H))
            throw ChybaVytvoreni(
                Cil.Cesta, DuvodSystemu(chyba) + QStringLiteral(". The old content could not be put back either"));
        Selhani(Cil, chyba);
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(soubor.H, &info))
        Selhani(Cil, ::GetLastError());
    if (const DWORD zavreni = soubor.Zavri())
        Selhani(Cil, zavreni);
    return IdentitaZInfo(info);
}

// Up to this many bytes the new content waits in memory before the way of
// writing is chosen: a writer given up early (a file that turned out not to
// change) then leaves no trace in the folder, not even a temporary file that
// came and went.
constexpr qsizetype VPameti = 4 << 20;

int NahradSystemem(const wchar_t *Stary, const wchar_t *Novy)
{
    return ::ReplaceFileW(Stary, Novy, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
}

TNahrazeniSouboru Nahrazeni = NahradSystemem;

} // namespace

TNahrazeniSouboru NastavNahrazeniSouboru(TNahrazeniSouboru Nova)
{
    return std::exchange(Nahrazeni, Nova ? Nova : NahradSystemem);
}

unsigned long NahradSoubor(const wchar_t *Stary, const wchar_t *Novy, const TIdentitaSouboru &Puvodni,
                           QString &Zachovano)
{
    Zachovano.clear();
    if (Nahrazeni(Stary, Novy))
        return 0;
    DWORD chyba = ::GetLastError();
    // A file system that cannot replace (some network shares) still
    // renames, over the old file in one step.
    if (chyba == ERROR_INVALID_FUNCTION || chyba == ERROR_NOT_SUPPORTED || chyba == ERROR_INVALID_PARAMETER ||
        chyba == ERROR_CALL_NOT_IMPLEMENTED)
        return ::MoveFileExW(Novy, Stary, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0 : ::GetLastError();
    if (chyba != ERROR_UNABLE_TO_MOVE_REPLACEMENT && chyba != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        return chyba;
    // The replacement failed after the old file had left its name (the
    // system says so with these two codes). Where the name no longer holds
    // the old file, the new one is the only copy of the content: it takes
    // the name if the name is free, and is otherwise kept, visible, and
    // named in the message.
    // (The same index is not enough: Wine gives the next file made the
    // number of the one just deleted.)
    if (IdentitaSouboru(QString::fromWCharArray(Stary)) == Puvodni)
        return chyba;
    if (::MoveFileExW(Novy, Stary, MOVEFILE_WRITE_THROUGH))
        return 0;
    chyba = ::GetLastError();
    ::SetFileAttributesW(Novy, FILE_ATTRIBUTE_NORMAL);
    QString kde = QDir::toNativeSeparators(QString::fromWCharArray(Novy));
    if (kde.startsWith(Predpona) && !kde.startsWith(QStringLiteral("\\\\?\\UNC\\")))
        kde.remove(0, Predpona.size());
    Zachovano = QStringLiteral(". The new content is in \"%1\"").arg(kde);
    return chyba;
}

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
    // A new file cannot be the same file where it has other names (hard
    // links); a folder that takes no new file leaves the file itself.
    void Zvol()
    {
        if (Cil->bExistuje && Cil->Info.nNumberOfLinks > 1) {
            bNaMiste = true;
            return;
        }
        DWORD chyba = 0;
        Docasny = VytvorDocasny(*Cil, chyba);
        if (!Docasny && Cil->bExistuje && chyba == ERROR_ACCESS_DENIED)
            bNaMiste = true;
        else if (!Docasny)
            Selhani(*Cil, chyba);
    }
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
    if (!d->Docasny->Soubor.Platny()) {
        d->Docasny.reset();
        return;
    }
    d->Docasny->Delka = 0;
    if (!Zkrat(d->Docasny->Soubor.H, 0)) {
        d->Chyba = ChybaVytvoreni(d->Cil->Cesta, DuvodSystemu(::GetLastError()));
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
            d->Identita = DokonciNahrazeni(*d->Cil, *d->Docasny, Kontrola);
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
