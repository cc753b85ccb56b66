// lumarin-convert on Windows: every path through the wide-character API
// (with the \\?\ prefix where it is long), files read through handles at an
// offset, standard streams in binary mode, and the command line as UTF-16.

#include "Platforma.h"
#include "Vystupy.h"

#include "Mapa.h"
#include "Prevod.h"
#include "Soubor.h"
#include "SouborWin.h"

#include <cerrno>
#include <QDir>
#include <QRandomGenerator>
#include <algorithm>
#include <cstring>

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace {

LPCWSTR W(const QString &Text)
{
    return reinterpret_cast<LPCWSTR>(Text.utf16());
}

QString PosledniDuvod()
{
    return DuvodSystemu(::GetLastError());
}

// The handle behind a descriptor of the C runtime.
HANDLE HandleZ(int Fd)
{
    const intptr_t h = ::_get_osfhandle(Fd);
    return h == -1 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(h);
}

// A handle closed when it goes out of scope.
struct THandle {
    explicit THandle(HANDLE Handle = INVALID_HANDLE_VALUE) : H(Handle) { }
    THandle(const THandle &) = delete;
    THandle &operator=(const THandle &) = delete;
    ~THandle() { Zavri(); }
    bool Platny() const { return H != INVALID_HANDLE_VALUE && H != nullptr; }
    void Zavri()
    {
        if (Platny())
            ::CloseHandle(H);
        H = INVALID_HANDLE_VALUE;
    }
    HANDLE H;
};

// Opened to be looked at only: no other program is kept from its file.
HANDLE OtevriKPohledu(const QString &Systemova)
{
    return ::CreateFileW(W(Systemova), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// What tells one state of a file from another.
struct TStavSouboru {
    DWORD Svazek = 0;
    quint64 Index = 0;
    qint64 Velikost = 0;
    qint64 Zapis = 0; // the last write time
    qint64 Zmena = 0; // the last change (of the content or the file's information)
    DWORD Atributy = 0;

    bool StejnyObsah(const TStavSouboru &Dalsi) const
    {
        return Velikost == Dalsi.Velikost && Zapis == Dalsi.Zapis && Zmena == Dalsi.Zmena;
    }
    bool StejnySoubor(const TStavSouboru &Dalsi) const { return Svazek == Dalsi.Svazek && Index == Dalsi.Index; }
};

bool Stav(HANDLE Soubor, TStavSouboru &S)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(Soubor, &info))
        return false;
    S.Svazek = info.dwVolumeSerialNumber;
    S.Index = quint64(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    S.Velikost = qint64(quint64(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
    S.Zapis = qint64(quint64(info.ftLastWriteTime.dwHighDateTime) << 32 | info.ftLastWriteTime.dwLowDateTime);
    S.Atributy = info.dwFileAttributes;
    FILE_BASIC_INFO zakladni;
    S.Zmena = ::GetFileInformationByHandleEx(Soubor, FileBasicInfo, &zakladni, sizeof zakladni)
        ? zakladni.ChangeTime.QuadPart
        : 0;
    return true;
}

// The order of names that -r and the expansion of * keep: that of their
// UTF-8 bytes (of code points), as elsewhere.
void SeradJmena(QStringList &Jmena)
{
    std::sort(Jmena.begin(), Jmena.end(),
              [](const QString &A, const QString &B) { return KodujCestu(A) < KodujCestu(B); });
}

} // namespace

// ---- the process ----

void PripravProces()
{
    // The converted bytes go out and come in as they are: no CR before each
    // LF, no end at a byte 0x1A.
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    // A drive without a medium is an error of its file, never a window that
    // waits for someone to answer it.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

QStringList RozvinVzory(const QStringList &Soubory)
{
    QStringList vysledek;
    for (const QString &soubor : Soubory) {
        const qsizetype lomitko = std::max(soubor.lastIndexOf(u'/'), soubor.lastIndexOf(u'\\'));
        const QString jmeno = soubor.mid(lomitko + 1);
        if (soubor == u"-" || soubor.startsWith(QStringLiteral("\\\\?\\")) ||
            (!jmeno.contains(u'*') && !jmeno.contains(u'?'))) {
            vysledek << soubor;
            continue;
        }
        const QString systemova = SystemovaCesta(soubor);
        QStringList nalezene;
        WIN32_FIND_DATAW data;
        const HANDLE hledani = systemova.isEmpty() ? INVALID_HANDLE_VALUE : ::FindFirstFileW(W(systemova), &data);
        if (hledani != INVALID_HANDLE_VALUE) {
            do {
                const QString nalez = QString::fromWCharArray(data.cFileName);
                if (nalez != u"." && nalez != u".." && !(data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
                    nalezene << nalez;
            } while (::FindNextFileW(hledani, &data));
            ::FindClose(hledani);
        }
        if (nalezene.isEmpty()) {
            vysledek << soubor;
            continue;
        }
        SeradJmena(nalezene);
        for (const QString &nalez : std::as_const(nalezene))
            vysledek << soubor.left(lomitko + 1) + nalez;
    }
    return vysledek;
}

void Vypis(FILE *Kam, const QString &Text)
{
    // A console shows characters, whatever its code page; anything else
    // (a file, a pipe) gets UTF-8.
    const HANDLE h = HandleZ(::_fileno(Kam));
    DWORD rezim = 0;
    if (::GetFileType(h) == FILE_TYPE_CHAR && ::GetConsoleMode(h, &rezim)) {
        std::fflush(Kam);
        for (qsizetype i = 0; i < Text.size();) {
            DWORD zapsano = 0;
            const DWORD kus = DWORD(std::min<qsizetype>(Text.size() - i, 8192));
            if (!::WriteConsoleW(h, Text.utf16() + i, kus, &zapsano, nullptr) || zapsano == 0)
                return;
            i += zapsano;
        }
        return;
    }
    // UTF-8, also of a name with half a surrogate pair (as the name's bytes
    // of the command line are).
    VypisBajty(Kam, KodujCestu(Text));
}

QString ChybaVypisu()
{
    // The C runtime's error number, not a Windows error code.
    return CisloChybyVypisu() != 0 ? QString::fromLocal8Bit(std::strerror(CisloChybyVypisu())) : QString();
}

bool ChybyNaTerminalu()
{
    // A console that takes the escape sequence which wipes the line.
    const HANDLE h = HandleZ(::_fileno(stderr));
    DWORD rezim = 0;
    if (::GetFileType(h) != FILE_TYPE_CHAR || !::GetConsoleMode(h, &rezim))
        return false;
    return (rezim & ENABLE_VIRTUAL_TERMINAL_PROCESSING) ||
        ::SetConsoleMode(h, rezim | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

QString Zobraz(const QString &Cesta)
{
    return QDir::toNativeSeparators(Cesta);
}

void ZastavSe()
{
    const QString znacka = qEnvironmentVariable("LUMARIN_CONVERT_STOP_FILE");
    if (znacka.isEmpty())
        return;
    THandle h(::CreateFileW(W(znacka), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.Platny())
        return;
    h.Zavri();
    // Two minutes at most: a test that died lets no converter hang.
    for (int i = 0; i < 12000 && ::GetFileAttributesW(W(znacka)) != INVALID_FILE_ATTRIBUTES; ++i)
        ::Sleep(10);
}

// ---- no views of files ----

// A file of which a view is mapped cannot be cut short on Windows: the
// program that tries fails instead. So every block is read.
bool TMapa::Otevri(int, qint64, qint64)
{
    return false;
}

void TMapa::Zavri() { }

TMapa::TStav TMapa::Stav() const
{
    return Cela;
}

// ---- standard output ----

TVystupSoubor::TVystupSoubor(int Fd, QString Jmeno) : FFd(Fd), FJmeno(std::move(Jmeno))
{
    // Only a file on a disk can be cut back to where this program's output
    // began.
    const HANDLE h = HandleZ(FFd);
    LARGE_INTEGER nula, pozice;
    nula.QuadPart = 0;
    bOdvolatelny = ::GetFileType(h) == FILE_TYPE_DISK && ::SetFilePointerEx(h, nula, &pozice, FILE_CURRENT);
    Zacni();
}

void TVystupSoubor::Zacni()
{
    // Only where the output goes on at the file's end: cutting back then
    // takes nothing that was there before.
    const HANDLE h = HandleZ(FFd);
    LARGE_INTEGER nula, pozice, velikost;
    nula.QuadPart = 0;
    FZacatek = bOdvolatelny && ::SetFilePointerEx(h, nula, &pozice, FILE_CURRENT) && ::GetFileSizeEx(h, &velikost) &&
            velikost.QuadPart == pozice.QuadPart
        ? pozice.QuadPart
        : -1;
}

void TVystupSoubor::Zapis(const char *Data, qsizetype Delka)
{
    const HANDLE h = HandleZ(FFd);
    while (Delka > 0) {
        DWORD n = 0;
        if (!::WriteFile(h, Data, DWORD(std::min<qsizetype>(Delka, 1 << 30)), &n, nullptr))
            throw EChyba(QStringLiteral("%1: %2").arg(FJmeno, PosledniDuvod()));
        if (n == 0)
            throw EChyba(QStringLiteral("%1: %2").arg(FJmeno, DuvodSystemu(ERROR_WRITE_FAULT)));
        Data += n;
        Delka -= n;
    }
}

void TVystupSoubor::Odvolej()
{
    if (FZacatek < 0)
        return;
    const HANDLE h = HandleZ(FFd);
    LARGE_INTEGER zacatek;
    zacatek.QuadPart = FZacatek;
    if (!::SetFilePointerEx(h, zacatek, nullptr, FILE_BEGIN) || !::SetEndOfFile(h))
        throw EChyba(QStringLiteral("%1: %2").arg(FJmeno, PosledniDuvod()));
}

// ---- inputs ----

namespace {

QString DuvodZmeny()
{
    return QStringLiteral("The file changed while it was read");
}

// Reads Delka bytes from offset Pozice (or, with Pozice < 0, from where the
// handle stands), however many calls it takes; fewer only at the end. The
// bytes read, or -1 with the system's error in Chyba.
qsizetype CtiVse(HANDLE Soubor, char *Cil, qsizetype Delka, qint64 Pozice, DWORD &Chyba)
{
    qsizetype precteno = 0;
    while (precteno < Delka) {
        DWORD n = 0;
        const DWORD kus = DWORD(std::min<qsizetype>(Delka - precteno, 1 << 30));
        BOOL bPrecteno;
        if (Pozice >= 0) {
            OVERLAPPED misto = {};
            const quint64 od = quint64(Pozice + precteno);
            misto.Offset = DWORD(od);
            misto.OffsetHigh = DWORD(od >> 32);
            bPrecteno = ::ReadFile(Soubor, Cil + precteno, kus, &n, &misto);
            if (!bPrecteno && ::GetLastError() == ERROR_IO_PENDING)
                bPrecteno = ::GetOverlappedResult(Soubor, &misto, &n, TRUE);
        } else {
            bPrecteno = ::ReadFile(Soubor, Cil + precteno, kus, &n, nullptr);
        }
        if (!bPrecteno) {
            const DWORD chyba = ::GetLastError();
            // The end of a file read at an offset, and of a pipe whose
            // writer is gone.
            if (chyba == ERROR_HANDLE_EOF || chyba == ERROR_BROKEN_PIPE)
                break;
            Chyba = chyba;
            return -1;
        }
        if (n == 0)
            break;
        precteno += n;
    }
    return precteno;
}

// A regular file, or anything read as it comes until it has been kept in a
// temporary file. A named file also keeps its path, to see that the name
// still names it.
class TZdrojWin : public TZdroj {
public:
    TZdrojWin(HANDLE Soubor, bool bVlastni, QString Jmeno, QString Systemova = {})
        : TZdroj(std::move(Jmeno)),
          FSoubor(Soubor),
          bVlastni(bVlastni),
          FSystemova(std::move(Systemova))
    {
        if (::GetFileType(FSoubor) == FILE_TYPE_DISK && Stav(FSoubor, FStav) &&
            !(FStav.Atributy & FILE_ATTRIBUTE_DIRECTORY)) {
            bSoubor = true;
            LARGE_INTEGER nula, pozice;
            nula.QuadPart = 0;
            if (::SetFilePointerEx(FSoubor, nula, &pozice, FILE_CURRENT)) {
                FZacatek = pozice.QuadPart;
                FVelikost = qMax<qint64>(0, FStav.Velikost - FZacatek);
            }
        }
    }
    ~TZdrojWin() override
    {
        PustSoubor();
        if (FSchranka != INVALID_HANDLE_VALUE)
            ::CloseHandle(FSchranka);
    }
    qint64 Velikost() const override { return FVelikost; }

    void Over() const override
    {
        if (!bSoubor)
            return;
        TStavSouboru st;
        const bool bStejny = Stav(FSoubor, st) && st.StejnyObsah(FStav);
        // A file put in its place, or its name taken away, is a change too:
        // -i would write over the other file, or bring the name back.
        bool bNaMiste = FSystemova.isEmpty();
        if (!bNaMiste) {
            const THandle jmenem(OtevriKPohledu(FSystemova));
            TStavSouboru stJmenem;
            bNaMiste = jmenem.Platny() && Stav(jmenem.H, stJmenem) && stJmenem.StejnySoubor(FStav);
        }
        if (!bStejny || !bNaMiste)
            throw ChybaOtevreni(Jmeno(), DuvodZmeny());
    }

    bool JeSouborem(int Fd) const override
    {
        const HANDLE h = HandleZ(Fd);
        TStavSouboru st;
        return bSoubor && ::GetFileType(h) == FILE_TYPE_DISK && Stav(h, st) && st.StejnySoubor(FStav);
    }

    void PustSoubor() override
    {
        if (bVlastni && FSoubor != INVALID_HANDLE_VALUE)
            ::CloseHandle(FSoubor);
        FSoubor = INVALID_HANDLE_VALUE;
    }

private:
    bool Nahodny() const override { return FVelikost >= 0; }
    // No views on Windows (see TMapa): every block is read.
    int Deskriptor(qint64 &Posun) const override
    {
        Posun = FZacatek;
        return -1;
    }
    // What holds the data: the file, or the temporary file of a stream.
    HANDLE Data() const { return FSchranka != INVALID_HANDLE_VALUE ? FSchranka : FSoubor; }

    qsizetype CtiNa(qint64 Pozice, char *Cil, qsizetype Delka) override
    {
        DWORD chyba = 0;
        const qsizetype n = CtiVse(Data(), Cil, Delka, FZacatek + Pozice, chyba);
        if (n < 0)
            throw ChybaOtevreni(Jmeno(), DuvodSystemu(chyba));
        return n;
    }

    qsizetype CtiDal(char *Cil, qsizetype Delka) override
    {
        if (!FVraceno.isEmpty()) {
            const qsizetype n = qMin(Delka, FVraceno.size());
            std::memcpy(Cil, FVraceno.constData(), size_t(n));
            FVraceno.remove(0, n);
            return n;
        }
        DWORD chyba = 0;
        const qsizetype n = CtiVse(FSoubor, Cil, Delka, -1, chyba);
        if (n < 0)
            throw ChybaOtevreni(Jmeno(), DuvodSystemu(chyba));
        return n;
    }

    QByteArray Hlava(qsizetype Delka) override
    {
        QByteArray hlava(Delka, Qt::Uninitialized);
        if (Nahodny()) {
            hlava.truncate(CtiNa(0, hlava.data(), Delka));
            return hlava;
        }
        if (FVraceno.size() < Delka) {
            const qsizetype mame = FVraceno.size();
            FVraceno.resize(Delka);
            DWORD chyba = 0;
            const qsizetype n = CtiVse(FSoubor, FVraceno.data() + mame, Delka - mame, -1, chyba);
            if (n < 0) {
                FVraceno.truncate(mame);
                throw ChybaOtevreni(Jmeno(), DuvodSystemu(chyba));
            }
            FVraceno.truncate(mame + n);
        }
        return FVraceno.left(Delka);
    }

    void Uloz() override
    {
        if (Nahodny())
            return;
        const auto nelze = [&](DWORD Chyba) {
            return ChybaOtevreni(
                Jmeno(), QStringLiteral("Cannot keep the input in a temporary file: %1").arg(DuvodSystemu(Chyba)));
        };
        // In the user's folder of temporary files, gone with its handle (also
        // when the converter is killed).
        QString slozka(MAX_PATH + 1, Qt::Uninitialized);
        const DWORD delka = ::GetTempPathW(DWORD(slozka.size()), reinterpret_cast<LPWSTR>(slozka.data()));
        if (delka == 0 || delka > DWORD(slozka.size()))
            throw nelze(::GetLastError());
        slozka.truncate(delka);
        HANDLE schranka = INVALID_HANDLE_VALUE;
        for (int pokus = 0; pokus < 100 && schranka == INVALID_HANDLE_VALUE; ++pokus) {
            const QString jmeno =
                slozka + QStringLiteral("lumarin-convert-%1.tmp").arg(QRandomGenerator::global()->generate(), 0, 36);
            schranka = ::CreateFileW(W(jmeno), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
            if (schranka == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
                throw nelze(::GetLastError());
        }
        if (schranka == INVALID_HANDLE_VALUE)
            throw nelze(ERROR_FILE_EXISTS);
        THandle drzeni(schranka);
        QByteArray blok(1 << 20, Qt::Uninitialized);
        qint64 celkem = 0;
        for (;;) {
            const qsizetype n = CtiDal(blok.data(), blok.size());
            if (n == 0)
                break;
            for (qsizetype zapsano = 0; zapsano < n;) {
                DWORD z = 0;
                if (!::WriteFile(schranka, blok.constData() + zapsano, DWORD(n - zapsano), &z, nullptr))
                    throw nelze(::GetLastError());
                if (z == 0)
                    throw nelze(ERROR_WRITE_FAULT);
                zapsano += z;
            }
            celkem += n;
        }
        drzeni.H = INVALID_HANDLE_VALUE;
        FSchranka = schranka;
        FZacatek = 0;
        FVelikost = celkem;
    }

    HANDLE FSoubor;
    bool bVlastni;
    QString FSystemova;   // the path it was opened by, empty for a handle
    TStavSouboru FStav;   // when it was opened
    bool bSoubor = false; // a regular file
    qint64 FZacatek = 0;
    qint64 FVelikost = -1;
    QByteArray FVraceno; // read ahead from a stream, not yet taken
    HANDLE FSchranka = INVALID_HANDLE_VALUE;
};

} // namespace

std::unique_ptr<TZdroj> TZdroj::Otevri(const QString &Cesta, bool bJenSoubor)
{
    DWORD chyba = 0;
    const QString systemova = SystemovaCesta(Cesta, &chyba);
    if (systemova.isEmpty())
        throw ChybaOtevreni(Cesta, DuvodSystemu(chyba));
    const auto neniSoubor = [&] {
        return ChybaVytvoreni(Cesta, QStringLiteral("It is not a regular file, which -i could replace"));
    };
    // A device (CON, NUL, a named pipe) is not even opened for -i: opening a
    // pipe takes its writer's connection.
    if (bJenSoubor && JeZarizeni(systemova))
        throw neniSoubor();
    // Other programs may go on reading, writing, renaming or deleting the
    // file meanwhile, as they may elsewhere: what they change fails the file
    // (Over). A folder opens too, to be told.
    const HANDLE h =
        ::CreateFileW(W(systemova), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw ChybaOtevreni(Cesta, PosledniDuvod());
    // What was opened is looked at through the handle, not by a name that
    // may change.
    const DWORD druh = ::GetFileType(h);
    TStavSouboru st;
    if (druh == FILE_TYPE_DISK && Stav(h, st) && (st.Atributy & FILE_ATTRIBUTE_DIRECTORY)) {
        ::CloseHandle(h);
        throw ChybaOtevreni(Cesta, QStringLiteral("It is a folder (-r converts the files in it)"));
    }
    if (bJenSoubor && druh != FILE_TYPE_DISK) {
        ::CloseHandle(h);
        throw neniSoubor();
    }
    // Named in messages as the system writes paths, as the writer names it.
    return std::make_unique<TZdrojWin>(h, true, QDir::toNativeSeparators(Cesta),
                                       druh == FILE_TYPE_DISK ? systemova : QString());
}

std::unique_ptr<TZdroj> TZdroj::ZDeskriptoru(int Fd, const QString &Jmeno)
{
    return std::make_unique<TZdrojWin>(HandleZ(Fd), false, Jmeno);
}

// ---- paths and folders ----

std::optional<TInfoCesty> InfoCesty(const QString &Cesta)
{
    const QString systemova = SystemovaCesta(Cesta);
    if (systemova.isEmpty())
        return std::nullopt;
    // A device is no file nor folder, and is not opened to be told so.
    if (JeZarizeni(systemova))
        return TInfoCesty{};
    const THandle h(OtevriKPohledu(systemova));
    TStavSouboru st;
    if (!h.Platny() || !Stav(h.H, st))
        return std::nullopt;
    TInfoCesty info;
    info.bSlozka = st.Atributy & FILE_ATTRIBUTE_DIRECTORY;
    info.bSoubor = !info.bSlozka && ::GetFileType(h.H) == FILE_TYPE_DISK;
    info.Velikost = info.bSoubor ? st.Velikost : 0;
    const quint64 cisla[2] = {quint64(st.Svazek), st.Index};
    info.Identita = QByteArray(reinterpret_cast<const char *>(cisla), sizeof cisla);
    return info;
}

void ProjdiSlozku(const QString &Slozka, QList<TNalez> &Nalezy, QStringList &Chyby)
{
    const QString zaklad = Slozka.endsWith(u'/') || Slozka.endsWith(u'\\') ? Slozka : Slozka + u'\\';
    DWORD chyba = 0;
    const QString vzor = SystemovaCesta(zaklad + u'*', &chyba);
    if (vzor.isEmpty()) {
        Chyby << QStringLiteral("%1: %2").arg(Zobraz(Slozka), DuvodSystemu(chyba));
        return;
    }
    struct TPolozka {
        QByteArray Klic; // the name's UTF-8, which orders them
        QString Jmeno;
        bool bSlozka;
        qint64 Velikost;
        bool operator<(const TPolozka &Dalsi) const { return Klic < Dalsi.Klic; }
    };
    QList<TPolozka> polozky;
    WIN32_FIND_DATAW data;
    const HANDLE hledani = ::FindFirstFileW(W(vzor), &data);
    if (hledani == INVALID_HANDLE_VALUE) {
        // A folder with nothing in it at all (the root of an empty drive).
        if (::GetLastError() != ERROR_FILE_NOT_FOUND)
            Chyby << QStringLiteral("%1: %2").arg(Zobraz(Slozka), PosledniDuvod());
        return;
    }
    do {
        const QString jmeno = QString::fromWCharArray(data.cFileName);
        if (jmeno == u"." || jmeno == u"..")
            continue;
        // Symbolic links and junctions are not followed; other reparse
        // points (files of a cloud folder, deduplicated files) are files.
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(data.dwReserved0))
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            polozky << TPolozka{KodujCestu(jmeno), jmeno, true, 0};
        else if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE))
            polozky << TPolozka{KodujCestu(jmeno), jmeno, false,
                                qint64(quint64(data.nFileSizeHigh) << 32 | data.nFileSizeLow)};
    } while (::FindNextFileW(hledani, &data));
    if (::GetLastError() != ERROR_NO_MORE_FILES)
        Chyby << QStringLiteral("%1: %2").arg(Zobraz(Slozka), PosledniDuvod());
    // Closed before going deeper: however deep the tree, one folder is open
    // at a time.
    ::FindClose(hledani);
    std::sort(polozky.begin(), polozky.end());
    for (const TPolozka &p : std::as_const(polozky)) {
        if (p.bSlozka)
            ProjdiSlozku(zaklad + p.Jmeno, Nalezy, Chyby);
        else
            Nalezy << TNalez{zaklad + p.Jmeno, p.Velikost, {}};
    }
}

bool CestaZapisuMeniSlozku(const QString &)
{
    return false;
}

std::unique_ptr<TCestaZapisu> CestaZapisu(const QString &)
{
    // The writer takes a path of any length (SystemovaCesta).
    return nullptr;
}
