// lumarin-convert: the window's F6 for files on the command line. Each file is
// read, converted and written as the window would open, convert and save it;
// one that fails is told on its own line and left as it was, and the others
// are still converted.

#include "Prevod.h"
#include "Registr.h"
#include "Soubor.h"
#include "Verze.h"
#include "Volby.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QtEndian>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <optional>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString KlicZnaky = QStringLiteral("\\Software\\VELOR\\Lumarin\\Znaky");

void Vypis(FILE *Kam, const QString &Text)
{
    const QByteArray bajty = Text.toUtf8();
    std::fwrite(bajty.constData(), 1, size_t(bajty.size()), Kam);
    std::fflush(Kam);
}

// A path as the messages show it: its bytes, as the user typed them.
QString Zobraz(const QString &Cesta)
{
    return QString::fromUtf8(KodujCestu(Cesta));
}

// The version of the program's own version block, empty when it has none.
QString VerzeProgramu()
{
    const QString cesta = QCoreApplication::applicationFilePath();
    quint32 ukazatel = 0;
    const quint32 velikost = ZjistiVelikostVerze(cesta, &ukazatel);
    if (velikost == 0)
        return {};
    QByteArray blok(velikost, '\0');
    const void *hodnota = nullptr;
    quint32 delka = 0;
    if (!NactiVerzi(cesta, ukazatel, velikost, blok.data()) ||
        !DotazNaVerzi(blok.constData(), velikost, QStringLiteral("\\"), &hodnota, &delka) || delka < 16)
        return {};
    // VS_FIXEDFILEINFO: signature, structure version, then the file version.
    const auto *pevne = static_cast<const uchar *>(hodnota);
    const quint32 vyssi = qFromLittleEndian<quint32>(pevne + 8);
    const quint32 nizsi = qFromLittleEndian<quint32>(pevne + 12);
    return QStringLiteral("%1.%2.%3.%4").arg(vyssi >> 16).arg(vyssi & 0xFFFF).arg(nizsi >> 16).arg(nizsi & 0xFFFF);
}

// The user's pair table as the window reads it from the store: absent values
// (or the missing key) give the defaults, an empty value an empty list. The
// store is only read.
void NactiUlozenouTabulku(QString &Hledane, QString &Nahrady)
{
    TRegistr registr(KEY_READ);
    registr.NastavKoren(HKEY_CURRENT_USER);
    Hledane = TNastaveniPrevodu::VychoziHledane();
    Nahrady = TNastaveniPrevodu::VychoziNahrady();
    if (registr.OtevriKlic(KlicZnaky, false)) {
        if (registr.ExistujeHodnota(QStringLiteral("ZnakySeZnamenkem")))
            Hledane = registr.CtiRetezec(QStringLiteral("ZnakySeZnamenkem"));
        if (registr.ExistujeHodnota(QStringLiteral("ZnakyBezZnamenka")))
            Nahrady = registr.CtiRetezec(QStringLiteral("ZnakyBezZnamenka"));
        registr.ZavriKlic();
    }
}

// "1 character", "2 characters".
QString Pocet(qint64 Kolik, const char *Jedno, const char *Vice)
{
    return QStringLiteral("%1 %2").arg(Kolik).arg(QLatin1String(Kolik == 1 ? Jedno : Vice));
}

struct TVstup {
    QString Cesta; // "-" for standard input
    qint64 Velikost = 0;
    bool bZeSlozky = false; // found by -r, not named on the command line
};

// stat() for a path of any length.
bool Stav(const QString &Cesta, struct stat &St)
{
    QByteArray jmeno;
    const int slozka = OtevriSlozkuCesty(KodujCestu(Cesta), jmeno);
    if (slozka < 0)
        return false;
    const bool bStav = ::fstatat(slozka, jmeno.constData(), &St, 0) == 0;
    ::close(slozka);
    return bStav;
}

// The files below a folder, in the order of their names; symbolic links and
// anything but regular files and folders are passed over (a symbolic link
// that the user named as the folder is followed). A path of any length is
// reached, and what cannot be read is told as an error: nothing is passed
// over in silence.
void Projdi(const QString &Slozka, QList<TVstup> &Vstupy, QStringList &Chyby, bool bKoren = true)
{
    const QByteArray cesta = KodujCestu(Slozka);
    const int fd = OtevriDlouhou(cesta, O_RDONLY | O_DIRECTORY | (bKoren ? 0 : O_NOFOLLOW));
    DIR *adresar = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!adresar) {
        const int chyba = errno;
        if (fd >= 0)
            ::close(fd);
        Chyby << ChybaOtevreni(Slozka, qt_error_string(chyba)).Zprava();
        return;
    }
    const QByteArray zaklad = cesta.endsWith('/') ? cesta : cesta + '/';
    struct TPolozka {
        QByteArray Jmeno;
        bool bSlozka;
        qint64 Velikost;
        bool operator<(const TPolozka &Dalsi) const { return Jmeno < Dalsi.Jmeno; }
    };
    QList<TPolozka> polozky;
    for (;;) {
        errno = 0;
        const dirent *polozka = ::readdir(adresar);
        if (!polozka) {
            if (errno != 0)
                Chyby << ChybaOtevreni(Slozka, qt_error_string(errno)).Zprava();
            break;
        }
        const QByteArray jmeno(polozka->d_name);
        if (jmeno == "." || jmeno == "..")
            continue;
        struct stat st;
        if (::fstatat(::dirfd(adresar), polozka->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            // One removed meanwhile had nothing left to convert.
            if (errno != ENOENT)
                Chyby << ChybaOtevreni(DekodujCestu(zaklad + jmeno), qt_error_string(errno)).Zprava();
            continue;
        }
        if (S_ISDIR(st.st_mode))
            polozky << TPolozka{jmeno, true, 0};
        else if (S_ISREG(st.st_mode))
            polozky << TPolozka{jmeno, false, qint64(st.st_size)};
    }
    // Closed before going deeper: however deep the tree, one folder is open
    // at a time.
    ::closedir(adresar);
    std::sort(polozky.begin(), polozky.end());
    for (const TPolozka &p : std::as_const(polozky)) {
        if (p.bSlozka)
            Projdi(DekodujCestu(zaklad + p.Jmeno), Vstupy, Chyby, false);
        else
            Vstupy << TVstup{DekodujCestu(zaklad + p.Jmeno), p.Velikost, true};
    }
}

// The working folder moved into a file's folder for as long as it lives, for
// a path too long for the system to take at once: the writer of -i then
// reaches the file by its name alone. Throws EChyba when it cannot.
class TVeSlozce {
public:
    explicit TVeSlozce(const QString &Cesta)
    {
        QByteArray jmeno;
        const int slozka = OtevriSlozkuCesty(KodujCestu(Cesta), jmeno);
        if (slozka < 0)
            throw ChybaVytvoreni(Cesta, qt_error_string(errno));
#ifdef O_PATH
        FPuvodni = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
        FPuvodni = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
        if (FPuvodni < 0 || ::fchdir(slozka) != 0) {
            const int chyba = errno;
            ::close(slozka);
            if (FPuvodni >= 0)
                ::close(FPuvodni);
            throw ChybaVytvoreni(Cesta, qt_error_string(chyba));
        }
        ::close(slozka);
        FJmeno = DekodujCestu(jmeno);
    }
    ~TVeSlozce()
    {
        // Every later relative path depends on it.
        if (::fchdir(FPuvodni) != 0) {
            Vypis(stderr, QStringLiteral("lumarin-convert: Cannot return to the working folder: %1\n")
                              .arg(qt_error_string(errno)));
            std::_Exit(1);
        }
        ::close(FPuvodni);
    }
    TVeSlozce(const TVeSlozce &) = delete;
    TVeSlozce &operator=(const TVeSlozce &) = delete;
    const QString &Jmeno() const { return FJmeno; }

private:
    int FPuvodni = -1;
    QString FJmeno;
};

// A line on standard error that tells how far the work is, redrawn at most
// four times a second.
class TPrubeh {
public:
    TPrubeh(qint64 Bajtu, qsizetype Souboru, bool bZobrazit)
        : FBajtu(Bajtu), FSouboru(Souboru), bZobrazit(bZobrazit)
    {
        FCas.start();
    }
    void Pridej(qint64 Bajtu)
    {
        FHotovo += Bajtu;
        Kresli(false);
    }
    void Soubor(qint64 Velikost)
    {
        FZaSoubory += Velikost;
        FHotovo = FZaSoubory;
        ++FHotovychSouboru;
        Kresli(false);
    }
    // Before another line goes to standard error.
    void Smaz()
    {
        if (bZobrazeno)
            Vypis(stderr, QStringLiteral("\r\033[K"));
        bZobrazeno = false;
    }
    void Kresli(bool bHned)
    {
        if (!bZobrazit || (!bHned && bZobrazeno && FCas.elapsed() - FNaposledy < 250))
            return;
        FNaposledy = FCas.elapsed();
        const double mb = 1024.0 * 1024.0;
        Vypis(stderr, QStringLiteral("\r\033[Klumarin-convert: %1 of %2 files, %3 of %4 MB")
                          .arg(FHotovychSouboru)
                          .arg(FSouboru)
                          .arg(qMin(FHotovo, FBajtu) / mb, 0, 'f', 0)
                          .arg(FBajtu / mb, 0, 'f', 0));
        bZobrazeno = true;
    }

private:
    qint64 FBajtu;
    qsizetype FSouboru;
    bool bZobrazit;
    bool bZobrazeno = false;
    qint64 FHotovo = 0, FZaSoubory = 0;
    qsizetype FHotovychSouboru = 0;
    QElapsedTimer FCas;
    qint64 FNaposledy = 0;
};

int Spust(const TVolby &Volby)
{
    TNastaveniPrevodu nastaveni = Volby.Prevod;
    if (Volby.Hledane) {
        nastaveni.Hledane = *Volby.Hledane;
        nastaveni.Nahrady = *Volby.Nahrady;
    } else if (!Volby.bVychoziTabulka) {
        try {
            NactiUlozenouTabulku(nastaveni.Hledane, nastaveni.Nahrady);
        } catch (const EChyba &e) {
            Vypis(stderr, QStringLiteral("lumarin-convert: %1\n").arg(e.Zprava()));
            return 1;
        }
    }
    // Where tests ask for small blocks, to meet the block boundaries often,
    // or a benchmark for another number of threads, or for files read with
    // read() instead of mmap.
    if (const qint64 blok = qEnvironmentVariableIntValue("LUMARIN_CONVERT_BLOCK"); blok > 0)
        nastaveni.Blok = blok;
    if (const int v = qEnvironmentVariableIntValue("LUMARIN_CONVERT_THREADS"); v > 0)
        nastaveni.Vlaken = v;
    if (qEnvironmentVariable("LUMARIN_CONVERT_MMAP") == QLatin1String("0"))
        nastaveni.bMapovat = false;
    // Where a test holds the converter still to change a file under it: it
    // stops itself (SIGSTOP) after the first block of each file is read
    // ("read"), or just before its output replaces a file ("replace").
    const QString zastavit = qEnvironmentVariable("LUMARIN_CONVERT_STOP");
    const bool bZastavitPoCteni = zastavit == u"read", bZastavitPredNahrazenim = zastavit == u"replace";

    // The inputs, folders walked first so that the progress line knows the whole.
    QList<TVstup> vstupy;
    QStringList chybyVstupu;
    bool bChyba = false;
    const QStringList soubory = Volby.Soubory.isEmpty() ? QStringList{QStringLiteral("-")} : Volby.Soubory;
    for (const QString &soubor : soubory) {
        struct stat st;
        const bool bStav = soubor != u"-" && Stav(soubor, st);
        if (bStav && Volby.bRekurzivne && S_ISDIR(st.st_mode)) {
            Projdi(soubor, vstupy, chybyVstupu);
            continue;
        }
        qint64 velikost = 0;
        if (bStav && S_ISREG(st.st_mode))
            velikost = st.st_size;
        vstupy << TVstup{soubor, velikost};
    }
    qint64 bajtu = 0;
    for (const TVstup &v : std::as_const(vstupy))
        bajtu += v.Velikost;
    TPrubeh prubeh(bajtu, vstupy.size(),
                   ::isatty(STDERR_FILENO) && (bajtu > 100 * 1000 * 1000 || vstupy.size() > 1000));
    const auto chyba = [&](const QString &Zprava) {
        prubeh.Smaz();
        Vypis(stderr, QStringLiteral("lumarin-convert: %1\n").arg(Zprava));
        bChyba = true;
    };
    for (const QString &c : std::as_const(chybyVstupu))
        chyba(c);

    // Standard output, unless the files go elsewhere. A file that is also
    // where the output goes would read its own output.
    const bool bStandardni = !Volby.bKontrola && !Volby.bNaMiste && !Volby.Vystup;
    TVystupSoubor standardni(STDOUT_FILENO, QStringLiteral("standard output"));
    struct stat vystupSt;
    const bool bVystupSoubor = bStandardni && ::fstat(STDOUT_FILENO, &vystupSt) == 0 && S_ISREG(vystupSt.st_mode);
    // Whether standard output holds the current file's output, which a
    // failure takes back where it can.
    bool bNaStandardni = false;
    const auto odvolejStandardni = [&] {
        if (!bNaStandardni)
            return;
        bNaStandardni = false;
        try {
            standardni.Odvolej();
        } catch (const EChyba &) {
            // The file fails all the same; its error is the one told.
        }
    };

    TPrevodnik prevodnik(nastaveni);
    qsizetype prevedeno = 0, preskoceno = 0, selhalo = 0, zmeneno = 0;
    qint64 nahrazeno = 0;
    for (const TVstup &vstup : std::as_const(vstupy)) {
        const bool bStdin = vstup.Cesta == u"-";
        const QString jmeno = bStdin ? QStringLiteral("standard input") : Zobraz(vstup.Cesta);
        bNaStandardni = false;
        try {
            // -i replaces only a regular file, and looks at nothing else
            // (a named pipe would wait for a writer, or take its data).
            std::unique_ptr<TZdroj> zdroj =
                bStdin ? TZdroj::ZDeskriptoru(STDIN_FILENO, jmeno) : TZdroj::Otevri(vstup.Cesta, Volby.bNaMiste);
            if (bVystupSoubor && zdroj->JeSouborem(STDOUT_FILENO))
                throw EChyba(QStringLiteral("%1: The input is the file that standard output writes to").arg(jmeno));

            std::optional<TVeSlozce> veSlozce;
            TVystupNic nic;
            std::optional<TVystupZapis> soubor;
            TVystup *vystup = &nic;
            QString cestaVystupu;
            if (Volby.bNaMiste || Volby.Vystup) {
                // Streamed into the writer's temporary file, so that a file
                // of any size takes little memory. In place, a file that
                // cannot be written fails only if it has to be written.
                cestaVystupu = Volby.bNaMiste ? vstup.Cesta : *Volby.Vystup;
                // The temporary file's name beside it is up to ten bytes longer.
                if (Volby.bNaMiste && KodujCestu(cestaVystupu).size() + 16 >= PATH_MAX) {
                    veSlozce.emplace(cestaVystupu);
                    vystup = &soubor.emplace(veSlozce->Jmeno(), true, cestaVystupu);
                } else {
                    vystup = &soubor.emplace(cestaVystupu, Volby.bNaMiste);
                }
            } else if (bStandardni) {
                standardni.Zacni();
                vystup = &standardni;
                bNaStandardni = true;
            }

            bool bPrvniBlok = true;
            const auto prubehSouboru = [&](qint64 b) {
                if (bZastavitPoCteni && bPrvniBlok)
                    ::raise(SIGSTOP);
                bPrvniBlok = false;
                prubeh.Pridej(b);
            };
            const TVysledek v = prevodnik.Preved(*zdroj, *vystup, cestaVystupu, prubehSouboru);
            if (v.Stav == TVysledek::vsBinarni && vstup.bZeSlozky) {
                ++preskoceno;
                prubeh.Smaz();
                Vypis(stderr, QStringLiteral("lumarin-convert: %1: skipped, a binary file (--binary converts it)\n")
                                  .arg(jmeno));
            } else if (v.Stav == TVysledek::vsBinarni) {
                // Named on the command line, it was meant to be converted.
                ++selhalo;
                chyba(QStringLiteral("%1: not converted, a binary file (--binary converts it)").arg(jmeno));
            } else if (v.Stav == TVysledek::vsChyba) {
                ++selhalo;
                chyba(v.Chyba);
            } else {
                // An unchanged file is not written again in place. The file
                // replaced must still be the one that was converted.
                if ((Volby.bNaMiste && v.Zmena()) || Volby.Vystup)
                    soubor->Dokonci([&] {
                        if (bZastavitPredNahrazenim)
                            ::raise(SIGSTOP);
                        zdroj->Over();
                    });
                ++prevedeno;
                nahrazeno += v.Nahrazeno;
                zmeneno += v.Zmena();
                if (Volby.bKontrola && v.Zmena()) {
                    QString radek = QStringLiteral("%1: %2 replaced")
                                        .arg(jmeno, Pocet(v.Nahrazeno, "character", "characters"));
                    if (v.Zlomy > 0)
                        radek += QStringLiteral(", %1 rewritten").arg(Pocet(v.Zlomy, "line break", "line breaks"));
                    if (!(v.Vstup == v.Vystup))
                        radek += QStringLiteral(", written as %1").arg(NazevFormatu(v.Vystup));
                    prubeh.Smaz();
                    Vypis(stdout, radek + u'\n');
                }
                if (Volby.bPodrobne) {
                    QString radek = QStringLiteral("lumarin-convert: %1: %2, %3 replaced")
                                        .arg(jmeno, NazevFormatu(v.Vstup),
                                             Pocet(v.Nahrazeno, "character", "characters"));
                    if (v.Zlomy > 0)
                        radek += QStringLiteral(", %1 rewritten").arg(Pocet(v.Zlomy, "line break", "line breaks"));
                    if (!(v.Vstup == v.Vystup))
                        radek += QStringLiteral(", written as %1").arg(NazevFormatu(v.Vystup));
                    prubeh.Smaz();
                    Vypis(stderr, radek + u'\n');
                }
            }
        } catch (const std::bad_alloc &) {
            ++selhalo;
            odvolejStandardni();
            chyba(QStringLiteral("%1: Not enough memory").arg(jmeno));
        } catch (const EChyba &e) {
            ++selhalo;
            odvolejStandardni();
            chyba(e.Zprava());
            // Standard output that cannot be written ends the run.
            if (e.Zprava().startsWith(QStringLiteral("standard output:")))
                break;
        }
        prubeh.Soubor(vstup.Velikost);
    }
    prubeh.Smaz();
    if (Volby.bPodrobne) {
        QString souhrn = QStringLiteral("lumarin-convert: %1 %2, %3 replaced")
                             .arg(Pocet(prevedeno, "file", "files"),
                                  Volby.bKontrola ? QStringLiteral("checked (%1 would change)").arg(zmeneno)
                                                  : QStringLiteral("converted"),
                                  Pocet(nahrazeno, "character", "characters"));
        if (preskoceno)
            souhrn += QStringLiteral(", %1 skipped").arg(Pocet(preskoceno, "binary file", "binary files"));
        if (selhalo || !chybyVstupu.isEmpty())
            souhrn += QStringLiteral(", %1 failed").arg(selhalo + chybyVstupu.size());
        Vypis(stderr, souhrn + u'\n');
    }
    return bChyba || (Volby.bKontrola && zmeneno > 0) ? 1 : 0;
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // A write beyond the user's file-size limit is a write error that fails
    // that one file and leaves it as it was, not a reason to end the program
    // with a temporary file left beside it.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QCoreApplication aplikace(argc, argv);
    QByteArrayList argumenty;
    for (int i = 1; i < argc; ++i)
        argumenty << QByteArray(argv[i]);
    TVolby volby;
    try {
        volby = RozeberVolby(argumenty);
    } catch (const EPouziti &e) {
        Vypis(stderr, QStringLiteral("lumarin-convert: %1\nTry 'lumarin-convert --help' for more information.\n")
                          .arg(e.Zprava()));
        return 2;
    }
    if (volby.bNapoveda) {
        Vypis(stdout, TextNapovedy());
        return 0;
    }
    if (volby.bVerze) {
        const QString verze = VerzeProgramu();
        Vypis(stdout, verze.isEmpty() ? QStringLiteral("lumarin-convert (no version information)\n")
                                      : QStringLiteral("lumarin-convert %1\n").arg(verze));
        return 0;
    }
    return Spust(volby);
}
