// lumarin-convert on POSIX systems: file descriptors, paths of any length
// reached one folder at a time (openat), and names as the bytes they are.

#include "Platforma.h"
#include "Vystupy.h"

#include "Prevod.h"
#include "Soubor.h"

#include <QTemporaryFile>
#include <algorithm>
#include <vector>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Duvod(int Chyba)
{
    return TextChybySystemu(Chyba);
}

} // namespace

// ---- the process ----

void PripravProces()
{
#ifdef SIGXFSZ
    // A write beyond the user's file-size limit is a write error that fails
    // that one file and leaves it as it was, not a reason to end the program
    // with a temporary file left beside it.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

QStringList RozvinVzory(const QStringList &Soubory)
{
    return Soubory;
}

void Vypis(FILE *Kam, const QString &Text)
{
    // UTF-8, except the stand-ins of a name's bytes, which go out as those
    // bytes: a name is printed as it is on disk.
    VypisBajty(Kam, KodujCestu(Text));
}

QString ChybaVypisu()
{
    return CisloChybyVypisu() != 0 ? TextChybySystemu(CisloChybyVypisu()) : QString();
}

bool ChybyNaTerminalu()
{
    return ::isatty(STDERR_FILENO);
}

QString Zobraz(const QString &Cesta)
{
    // The bytes of a name that is not UTF-8 stay in it as their stand-ins,
    // which Vypis writes as those bytes again.
    return Cesta;
}

void ZastavSe()
{
    ::raise(SIGSTOP);
}

// ---- standard output ----

TVystupSoubor::TVystupSoubor(int Fd, QString Jmeno) : FFd(Fd), FJmeno(std::move(Jmeno))
{
    // Only a regular file that is not appended to can be cut back to where
    // this program's output began.
    struct stat st;
    const int priznaky = ::fcntl(FFd, F_GETFL);
    bOdvolatelny = ::fstat(FFd, &st) == 0 && S_ISREG(st.st_mode) && priznaky >= 0 && !(priznaky & O_APPEND) &&
        ::lseek(FFd, 0, SEEK_CUR) >= 0;
    Zacni();
}

void TVystupSoubor::Zacni()
{
    // Only where the output goes on at the file's end: cutting back then
    // takes nothing that was there before (1<> writes over a file's start).
    struct stat st;
    const qint64 pozice = bOdvolatelny ? qint64(::lseek(FFd, 0, SEEK_CUR)) : -1;
    FZacatek = pozice >= 0 && ::fstat(FFd, &st) == 0 && st.st_size == pozice ? pozice : -1;
}

void TVystupSoubor::Zapis(const char *Data, qsizetype Delka)
{
    while (Delka > 0) {
        const ssize_t n = ::write(FFd, Data, size_t(Delka));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EChyba(QStringLiteral("%1: %2").arg(FJmeno, Duvod(n < 0 ? errno : EIO)));
        Data += n;
        Delka -= n;
    }
}

void TVystupSoubor::Odvolej()
{
    if (FZacatek < 0)
        return;
    if (::ftruncate(FFd, off_t(FZacatek)) != 0 || ::lseek(FFd, off_t(FZacatek), SEEK_SET) < 0)
        throw EChyba(QStringLiteral("%1: %2").arg(FJmeno, Duvod(errno)));
}

// ---- inputs ----

namespace {

qsizetype CtiVse(int Fd, char *Cil, qsizetype Delka, qint64 Pozice)
{
    qsizetype precteno = 0;
    while (precteno < Delka) {
        const ssize_t n = Pozice >= 0 ? ::pread(Fd, Cil + precteno, size_t(Delka - precteno), off_t(Pozice + precteno))
                                      : ::read(Fd, Cil + precteno, size_t(Delka - precteno));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -errno;
        if (n == 0)
            break;
        precteno += n;
    }
    return precteno;
}

QString DuvodZmeny()
{
    return QStringLiteral("The file changed while it was read");
}

bool StejnyCas(const timespec &A, const timespec &B)
{
    return A.tv_sec == B.tv_sec && A.tv_nsec == B.tv_nsec;
}

// A regular file, or anything read as it comes until it has been kept in a
// temporary file. A named file also keeps its folder (Slozka, owned, or -1)
// and its name in it, to see that the name still names it.
class TZdrojFd : public TZdroj {
public:
    TZdrojFd(int Fd, bool bVlastni, QString Jmeno, int Slozka = -1, QByteArray JmenoVeSlozce = {})
        : TZdroj(std::move(Jmeno)),
          FFd(Fd),
          bVlastni(bVlastni),
          FSlozka(Slozka),
          FJmenoVeSlozce(std::move(JmenoVeSlozce))
    {
        if (::fstat(FFd, &FStav) == 0 && S_ISREG(FStav.st_mode)) {
            bSoubor = true;
            const off_t pozice = ::lseek(FFd, 0, SEEK_CUR);
            if (pozice >= 0) {
                FZacatek = pozice;
                FVelikost = qMax<qint64>(0, FStav.st_size - pozice);
            }
        }
    }
    ~TZdrojFd() override
    {
        if (bVlastni)
            ::close(FFd);
        if (FSlozka >= 0)
            ::close(FSlozka);
    }
    qint64 Velikost() const override { return FVelikost; }

    void Over() const override
    {
        if (!bSoubor)
            return;
        struct stat st;
        const bool bStejny = ::fstat(FFd, &st) == 0 && st.st_size == FStav.st_size &&
            StejnyCas(st.st_mtim, FStav.st_mtim) && StejnyCas(st.st_ctim, FStav.st_ctim);
        // A file put in its place, or its name taken away, is a change too:
        // -i would write over the other file, or bring the name back.
        const bool bNaMiste = FSlozka < 0 ||
            (::fstatat(FSlozka, FJmenoVeSlozce.constData(), &st, 0) == 0 && st.st_dev == FStav.st_dev &&
             st.st_ino == FStav.st_ino);
        if (!bStejny || !bNaMiste)
            throw ChybaOtevreni(Jmeno(), DuvodZmeny());
    }

    bool JeSouborem(int Fd) const override
    {
        struct stat st;
        return bSoubor && ::fstat(Fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == FStav.st_dev &&
            st.st_ino == FStav.st_ino;
    }

private:
    bool Nahodny() const override { return FVelikost >= 0; }
    int Deskriptor(qint64 &Posun) const override
    {
        Posun = FZacatek;
        return Nahodny() ? Data() : -1;
    }
    // What holds the data: the file, or the temporary file of a stream.
    int Data() const { return FSchranka ? int(FSchranka->handle()) : FFd; }

    qsizetype CtiNa(qint64 Pozice, char *Cil, qsizetype Delka) override
    {
        const qsizetype n = CtiVse(Data(), Cil, Delka, FZacatek + Pozice);
        if (n < 0)
            throw ChybaOtevreni(Jmeno(), Duvod(int(-n)));
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
        const qsizetype n = CtiVse(FFd, Cil, Delka, -1);
        if (n < 0)
            throw ChybaOtevreni(Jmeno(), Duvod(int(-n)));
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
            const qsizetype n = CtiVse(FFd, FVraceno.data() + mame, Delka - mame, -1);
            if (n < 0) {
                FVraceno.truncate(mame);
                throw ChybaOtevreni(Jmeno(), Duvod(int(-n)));
            }
            FVraceno.truncate(mame + n);
        }
        return FVraceno.left(Delka);
    }

    void Uloz() override
    {
        if (Nahodny())
            return;
        auto schranka = std::make_unique<QTemporaryFile>();
        if (!schranka->open())
            throw ChybaOtevreni(
                Jmeno(), QStringLiteral("Cannot keep the input in a temporary file: %1").arg(schranka->errorString()));
        const int fd = int(schranka->handle());
        QByteArray blok(1 << 20, Qt::Uninitialized);
        qint64 celkem = 0;
        for (;;) {
            const qsizetype n = CtiDal(blok.data(), blok.size());
            if (n == 0)
                break;
            for (qsizetype zapsano = 0; zapsano < n;) {
                const ssize_t z = ::write(fd, blok.constData() + zapsano, size_t(n - zapsano));
                if (z < 0 && errno == EINTR)
                    continue;
                if (z <= 0)
                    throw ChybaOtevreni(Jmeno(),
                                        QStringLiteral("Cannot keep the input in a temporary file: %1")
                                            .arg(Duvod(z < 0 ? errno : EIO)));
                zapsano += z;
            }
            celkem += n;
        }
        FSchranka = std::move(schranka);
        FZacatek = 0;
        FVelikost = celkem;
    }

    int FFd;
    bool bVlastni;
    int FSlozka;
    QByteArray FJmenoVeSlozce;
    struct stat FStav = {}; // when it was opened
    bool bSoubor = false;   // a regular file
    qint64 FZacatek = 0;
    qint64 FVelikost = -1;
    QByteArray FVraceno; // read ahead from a stream, not yet taken
    std::unique_ptr<QTemporaryFile> FSchranka;
};

// Opens a folder only to reach what is in it, where the system can.
#ifdef O_PATH
constexpr int JenCesta = O_PATH;
#else
constexpr int JenCesta = O_RDONLY;
#endif

// open() for a path of any length: one longer than the system takes at once
// (PATH_MAX) is opened in pieces, each relative to the folder before;
// Priznaky as for open() (O_CLOEXEC added). The descriptor, or -1 with errno.
int OtevriDlouhou(const QByteArray &Cesta, int Priznaky)
{
    if (Cesta.size() < PATH_MAX)
        return ::open(Cesta.constData(), Priznaky | O_CLOEXEC);
    int slozka = AT_FDCWD;
    const auto zavri = [&] {
        if (slozka >= 0) {
            const int chyba = errno;
            ::close(slozka);
            errno = chyba;
        }
    };
    qsizetype od = 0;
    while (Cesta.size() - od >= PATH_MAX) {
        // The longest piece that the system takes, up to a "/".
        const qsizetype konec = Cesta.lastIndexOf('/', od + PATH_MAX - 2);
        if (konec < od) {
            zavri();
            errno = ENAMETOOLONG; // one name longer than any path
            return -1;
        }
        if (konec == od && od > 0) {
            ++od; // "//"
            continue;
        }
        const QByteArray kus = konec == 0 ? QByteArray("/") : Cesta.mid(od, konec - od);
        const int dalsi = ::openat(slozka, kus.constData(), JenCesta | O_DIRECTORY | O_CLOEXEC);
        zavri();
        if (dalsi < 0)
            return -1;
        slozka = dalsi;
        od = konec + 1;
    }
    const QByteArray zbytek = od < Cesta.size() ? Cesta.mid(od) : QByteArray(".");
    const int fd = ::openat(slozka, zbytek.constData(), Priznaky | O_CLOEXEC);
    zavri();
    return fd;
}

// Opens the folder of a path (O_PATH where the system has it), however long
// the path (see OtevriDlouhou). Jmeno is the path's last part, to be reached
// relative to the folder ("." for a path that ends in "/"). The descriptor,
// or -1 with errno.
int OtevriSlozkuCesty(const QByteArray &Cesta, QByteArray &Jmeno)
{
    const qsizetype lomitko = Cesta.lastIndexOf('/');
    Jmeno = Cesta.mid(lomitko + 1);
    if (Jmeno.isEmpty())
        Jmeno = ".";
    const QByteArray slozka = lomitko < 0 ? QByteArray(".") : lomitko == 0 ? QByteArray("/") : Cesta.left(lomitko);
    return OtevriDlouhou(slozka, JenCesta | O_DIRECTORY);
}

} // namespace

std::unique_ptr<TZdroj> TZdroj::Otevri(const QString &Cesta, bool bJenSoubor)
{
    const QByteArray cesta = KodujCestu(Cesta);
    if (cesta.isEmpty() || cesta.contains('\0'))
        throw ChybaOtevreni(Cesta, Duvod(ENOENT));
    // The name is reached from its folder, so that the path may be of any
    // length and the name can be looked at again later.
    QByteArray jmeno;
    const int slozka = OtevriSlozkuCesty(cesta, jmeno);
    if (slozka < 0)
        throw ChybaOtevreni(Cesta, Duvod(errno));
    const auto chyba = [&](const EChyba &Chyba) {
        ::close(slozka);
        return Chyba;
    };
    struct stat st;
    if (::fstatat(slozka, jmeno.constData(), &st, 0) != 0)
        throw chyba(ChybaOtevreni(Cesta, Duvod(errno)));
    if (S_ISDIR(st.st_mode))
        throw chyba(ChybaOtevreni(Cesta, QStringLiteral("It is a folder (-r converts the files in it)")));
    if (S_ISSOCK(st.st_mode))
        throw chyba(ChybaOtevreni(Cesta, QStringLiteral("It is a socket, not a regular file")));
    if (S_ISBLK(st.st_mode))
        throw chyba(ChybaOtevreni(Cesta, QStringLiteral("It is a block device, not a regular file")));
    const auto neniSoubor = [&] {
        return chyba(ChybaVytvoreni(Cesta, QStringLiteral("It is not a regular file, which -i could replace")));
    };
    if (bJenSoubor && !S_ISREG(st.st_mode))
        throw neniSoubor();
    // Without waiting where only a regular file will do: should a pipe take
    // the name meanwhile, it is refused below, before anything is read.
    const int fd = ::openat(slozka, jmeno.constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC | (bJenSoubor ? O_NONBLOCK : 0));
    if (fd < 0)
        throw chyba(ChybaOtevreni(Cesta, Duvod(errno)));
    if (bJenSoubor) {
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            throw neniSoubor();
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    return std::make_unique<TZdrojFd>(fd, true, Cesta, slozka, jmeno);
}

std::unique_ptr<TZdroj> TZdroj::ZDeskriptoru(int Fd, const QString &Jmeno)
{
    return std::make_unique<TZdrojFd>(Fd, false, Jmeno);
}

// ---- paths and folders ----

namespace {

QByteArray Identita(const struct stat &St)
{
    const quint64 cisla[2] = {quint64(St.st_dev), quint64(St.st_ino)};
    return QByteArray(reinterpret_cast<const char *>(cisla), sizeof cisla);
}

} // namespace

std::optional<TInfoCesty> InfoCesty(const QString &Cesta)
{
    QByteArray jmeno;
    const int slozka = OtevriSlozkuCesty(KodujCestu(Cesta), jmeno);
    if (slozka < 0)
        return std::nullopt;
    struct stat st;
    const bool bStav = ::fstatat(slozka, jmeno.constData(), &st, 0) == 0;
    ::close(slozka);
    if (!bStav)
        return std::nullopt;
    TInfoCesty info;
    info.bSlozka = S_ISDIR(st.st_mode);
    info.bSoubor = S_ISREG(st.st_mode);
    info.Velikost = info.bSoubor ? qint64(st.st_size) : 0;
    info.Identita = Identita(st);
    return info;
}

namespace {

// One folder's files and folders, in the order of their names: the files
// go to Nalezy, the folders to Slozky (their encoded paths).
struct TPolozka {
    QByteArray Jmeno;
    bool bSlozka;
    qint64 Velikost;
    QByteArray Identita;
    bool operator<(const TPolozka &Dalsi) const { return Jmeno < Dalsi.Jmeno; }
};

QList<TPolozka> PrectiSlozku(const QByteArray &Cesta, QStringList &Chyby, bool bKoren)
{
    const QString slozka = DekodujCestu(Cesta);
    const int fd = OtevriDlouhou(Cesta, O_RDONLY | O_DIRECTORY | (bKoren ? 0 : O_NOFOLLOW));
    DIR *adresar = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!adresar) {
        const int chyba = errno;
        if (fd >= 0)
            ::close(fd);
        Chyby << QStringLiteral("%1: %2").arg(Zobraz(slozka), TextChybySystemu(chyba));
        return {};
    }
    const QByteArray zaklad = Cesta.endsWith('/') ? Cesta : Cesta + '/';
    QList<TPolozka> polozky;
    for (;;) {
        errno = 0;
        const dirent *polozka = ::readdir(adresar);
        if (!polozka) {
            if (errno != 0)
                Chyby << QStringLiteral("%1: %2").arg(Zobraz(slozka), TextChybySystemu(errno));
            break;
        }
        const QByteArray jmeno(polozka->d_name);
        if (jmeno == "." || jmeno == "..")
            continue;
        struct stat st;
        if (::fstatat(::dirfd(adresar), polozka->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            // One removed meanwhile had nothing left to convert.
            if (errno != ENOENT)
                Chyby << QStringLiteral("%1: %2").arg(Zobraz(DekodujCestu(zaklad + jmeno)), TextChybySystemu(errno));
            continue;
        }
        if (S_ISDIR(st.st_mode))
            polozky << TPolozka{zaklad + jmeno, true, 0, {}};
        else if (S_ISREG(st.st_mode))
            polozky << TPolozka{zaklad + jmeno, false, qint64(st.st_size), Identita(st)};
    }
    // Closed before going deeper: however deep the tree, one folder is open
    // at a time.
    ::closedir(adresar);
    std::sort(polozky.begin(), polozky.end());
    return polozky;
}

// The walk keeps its own stack of what is still to come, not the thread's:
// a tree thousands of folders deep must not overflow the call stack.
void Projdi(const QString &Slozka, QList<TNalez> &Nalezy, QStringList &Chyby)
{
    std::vector<TPolozka> zbyva{TPolozka{KodujCestu(Slozka), true, 0, {}}};
    bool bKoren = true;
    while (!zbyva.empty()) {
        TPolozka p = std::move(zbyva.back());
        zbyva.pop_back();
        if (!p.bSlozka) {
            Nalezy << TNalez{DekodujCestu(p.Jmeno), p.Velikost, p.Identita};
            continue;
        }
        const QList<TPolozka> polozky = PrectiSlozku(p.Jmeno, Chyby, bKoren);
        bKoren = false;
        for (auto i = polozky.crbegin(); i != polozky.crend(); ++i)
            zbyva.push_back(*i);
    }
}

// The working folder moved into a file's folder for as long as it lives.
class TVeSlozce : public TCestaZapisu {
public:
    explicit TVeSlozce(const QString &Cesta)
    {
        QByteArray jmeno;
        const int slozka = OtevriSlozkuCesty(KodujCestu(Cesta), jmeno);
        if (slozka < 0)
            throw ChybaVytvoreni(Cesta, TextChybySystemu(errno));
        FPuvodni = ::open(".", JenCesta | O_DIRECTORY | O_CLOEXEC);
        if (FPuvodni < 0 || ::fchdir(slozka) != 0) {
            const int chyba = errno;
            ::close(slozka);
            if (FPuvodni >= 0)
                ::close(FPuvodni);
            throw ChybaVytvoreni(Cesta, TextChybySystemu(chyba));
        }
        ::close(slozka);
        FJmeno = DekodujCestu(jmeno);
    }
    ~TVeSlozce() override
    {
        // Every later relative path depends on it.
        if (::fchdir(FPuvodni) != 0) {
            Vypis(stderr,
                  QStringLiteral("lumarin-convert: Cannot return to the working folder: %1\n")
                      .arg(TextChybySystemu(errno)));
            std::_Exit(1);
        }
        ::close(FPuvodni);
    }
    TVeSlozce(const TVeSlozce &) = delete;
    TVeSlozce &operator=(const TVeSlozce &) = delete;
    const QString &Jmeno() const override { return FJmeno; }

private:
    int FPuvodni = -1;
    QString FJmeno;
};

} // namespace

void ProjdiSlozku(const QString &Slozka, QList<TNalez> &Nalezy, QStringList &Chyby)
{
    Projdi(Slozka, Nalezy, Chyby);
}

bool CestaZapisuMeniSlozku(const QString &Cesta)
{
    // The temporary file's name beside it is up to ten bytes longer.
    return KodujCestu(Cesta).size() + 16 >= PATH_MAX;
}

std::unique_ptr<TCestaZapisu> CestaZapisu(const QString &Cesta)
{
    if (!CestaZapisuMeniSlozku(Cesta))
        return nullptr;
    return std::make_unique<TVeSlozce>(Cesta);
}
