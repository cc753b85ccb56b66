// lumarin-convert: the window's F6 for files on the command line. Each file is
// read, converted and written as the window would open, convert and save it;
// one that fails is told on its own line and left as it was, and the others
// are still converted.

#include "CiziKodovani.h"
#include "KodovaStranka.h"
#include "Konzole.h"
#include "Platforma.h"
#include "Prevod.h"
#include "Soubor.h"
#include "UlozenaTabulka.h"
#include "Verze.h"
#include "Volby.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

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

// The line of an error: "<path>: <reason>" where it concerns one file.
QString Zprava(const EChyba &Chyba)
{
    return Chyba.Cesta().isEmpty() ? Chyba.Zprava()
                                   : QStringLiteral("%1: %2").arg(Zobraz(Chyba.Cesta()), Chyba.Duvod());
}

// "1 character", "2 characters".
QString Pocet(qint64 Kolik, const char *Jedno, const char *Vice)
{
    return QStringLiteral("%1 %2").arg(Kolik).arg(QLatin1String(Kolik == 1 ? Jedno : Vice));
}

// Standard output, where every file's output goes in turn. A failure of its
// own is an error of the kind that ends the run: no later file could be
// written there either. The input's errors, named after the input, keep
// their kind, whatever the input is called.
class TStandardniVystup : public TVystup {
public:
    TStandardniVystup() : FSoubor(STDOUT_FILENO, QStringLiteral("standard output")) { }
    void Zapis(const char *Data, qsizetype Delka) override
    {
        Spolecny([&] { FSoubor.Zapis(Data, Delka); });
    }
    bool LzeOdvolat() const override { return FSoubor.LzeOdvolat(); }
    void Odvolej() override
    {
        Spolecny([&] { FSoubor.Odvolej(); });
    }
    void Zacni() { FSoubor.Zacni(); }

private:
    template <typename F> static void Spolecny(F Krok)
    {
        try {
            Krok();
        } catch (const EChyba &e) {
            throw EChyba(Zprava(e), TDruhChyby::SpolecnyVystup);
        }
    }

    TVystupSoubor FSoubor;
};

struct TVstup {
    QString Cesta; // "-" for standard input
    qint64 Velikost = 0;
    bool bZeSlozky = false; // found by -r, not named on the command line
    QByteArray Identita;    // the same for every name of one file, empty where not known
};

// A line on standard error that tells how far the work is, redrawn at most
// four times a second.
class TPrubeh {
public:
    TPrubeh(qint64 Bajtu, qsizetype Souboru, bool bZobrazit) : FBajtu(Bajtu), FSouboru(Souboru), bZobrazit(bZobrazit)
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
    // Where several files are converted at once: the bytes read and the
    // files finished so far.
    void Stav(qint64 Hotovo, qsizetype Souboru)
    {
        FHotovo = Hotovo;
        FHotovychSouboru = Souboru;
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
        Vypis(stderr,
              QStringLiteral("\r\033[Klumarin-convert: %1 of %2 files, %3 of %4 MB")
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

// What one file's conversion told and counted.
struct TZaznam {
    qsizetype Prevedeno = 0, Preskoceno = 0, Selhalo = 0, Zmeneno = 0;
    qint64 Nahrazeno = 0;
    bool bChyba = false; // an error was told
    bool bKonec = false; // standard output failed: no later file is converted
};

// Where a file's lines go: at once with one job, kept for the file's turn
// with several.
using TRekni = std::function<void(FILE *, const QString &)>;

// The lines of a file converted by one of several jobs, told when every file
// before it has been told.
struct TOdlozeny {
    TZaznam Zaznam;
    QList<std::pair<FILE *, QString>> Radky;
    bool bHotovo = false;
};

// Several files at once, in place or checked (never to standard output, which
// takes one file after another): each job takes the next file in order. Two
// names of one file are converted one after the other, in their order, as
// one job would; a file whose writing moves the working folder is converted
// while no other job runs.
class TUlohy {
public:
    // Converts file k in the job's thread number Uloha.
    using TPrace = std::function<void(int Uloha, qsizetype k, TOdlozeny &)>;

    TUlohy(const QList<TVstup> &Vstupy, bool bNaMiste, TPrace Prace) : FVstupy(Vstupy), FPrace(std::move(Prace))
    {
        FVysledky.resize(Vstupy.size());
        FPredchozi.resize(Vstupy.size(), -1);
        FVyhradni.resize(Vstupy.size(), false);
        QHash<QByteArray, qsizetype> posledni;
        for (qsizetype k = 0; k < Vstupy.size(); ++k) {
            const QByteArray &identita = Vstupy.at(k).Identita;
            if (!identita.isEmpty()) {
                FPredchozi[k] = posledni.value(identita, -1);
                posledni.insert(identita, k);
            }
            FVyhradni[k] = bNaMiste && CestaZapisuMeniSlozku(Vstupy.at(k).Cesta);
        }
    }
    ~TUlohy() { Zastav(); }

    void Spust(int Uloh)
    {
        for (int i = 0; i < Uloh; ++i)
            FVlakna.emplace_back([this, i] { Pracuj(i); });
    }

    // Waits for file k; Cekani runs every quarter of a second meanwhile.
    TOdlozeny &Pockej(qsizetype k, const std::function<void()> &Cekani)
    {
        std::unique_lock<std::mutex> z(FZamek);
        while (!FZmena.wait_for(z, std::chrono::milliseconds(250), [&] { return FVysledky[k].bHotovo; })) {
            z.unlock();
            Cekani();
            z.lock();
        }
        return FVysledky[k];
    }

    // No further file is started; those under way are finished.
    void Zastav()
    {
        {
            std::lock_guard<std::mutex> z(FZamek);
            bZastavit = true;
        }
        FZmena.notify_all();
        for (std::thread &v : FVlakna)
            v.join();
        FVlakna.clear();
    }

private:
    void Pracuj(int Uloha)
    {
        for (;;) {
            std::unique_lock<std::mutex> z(FZamek);
            if (bZastavit || FDalsi >= FVstupy.size())
                return;
            const qsizetype k = FDalsi++;
            // The earlier name of the same file first: the file this one
            // reads is the one that job wrote.
            FZmena.wait(z, [&] { return bZastavit || FPredchozi[k] < 0 || FVysledky[FPredchozi[k]].bHotovo; });
            if (bZastavit)
                return;
            if (FVyhradni[k]) {
                ++FCekajiciVyhradni;
                FZmena.wait(z, [&] { return FAktivnich == 0; });
                --FCekajiciVyhradni;
                bVyhradni = true;
            } else {
                FZmena.wait(z, [&] { return !bVyhradni && FCekajiciVyhradni == 0; });
            }
            ++FAktivnich;
            z.unlock();

            TOdlozeny vysledek;
            FPrace(Uloha, k, vysledek);

            z.lock();
            --FAktivnich;
            bVyhradni = false;
            FVysledky[k] = std::move(vysledek);
            FVysledky[k].bHotovo = true;
            z.unlock();
            FZmena.notify_all();
        }
    }

    const QList<TVstup> &FVstupy;
    TPrace FPrace;
    std::vector<TOdlozeny> FVysledky;
    std::vector<qsizetype> FPredchozi; // the file's earlier name among the inputs, or -1
    std::vector<bool> FVyhradni;       // converted while no other job runs
    std::mutex FZamek;
    std::condition_variable FZmena;
    qsizetype FDalsi = 0;
    int FAktivnich = 0, FCekajiciVyhradni = 0;
    bool bVyhradni = false, bZastavit = false;
    std::vector<std::thread> FVlakna;
};

// Files converted at once at most, whatever -j asks: each holds a block or
// two of its file.
constexpr int NejviceUloh = 64;

int Spust(const TVolby &Volby)
{
    TNastaveniPrevodu nastaveni = Volby.Prevod;
    if (Volby.Hledane) {
        nastaveni.Hledane = *Volby.Hledane;
        nastaveni.Nahrady = *Volby.Nahrady;
    } else if (!Volby.bVychoziTabulka) {
        // The user's table as the window converts with it; the store is
        // only read.
        try {
            const TTabulkaZnaku tabulka = CtiTabulku();
            nastaveni.Hledane = tabulka.SeZnamenkem;
            nastaveni.Nahrady = tabulka.BezZnamenka;
        } catch (const EChyba &e) {
            Vypis(stderr, QStringLiteral("lumarin-convert: %1\n").arg(Zprava(e)));
            return Volby.bKontrola ? 2 : 1;
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
    // stops (ZastavSe) after the first block of each file is read ("read"),
    // or just before its output replaces a file ("replace").
    const QString zastavit = qEnvironmentVariable("LUMARIN_CONVERT_STOP");
    const bool bZastavitPoCteni = zastavit == u"read", bZastavitPredNahrazenim = zastavit == u"replace";

    // The inputs, folders walked first so that the progress line knows the whole.
    QList<TVstup> vstupy;
    QStringList chybyVstupu;
    bool bChyba = false;
    const QStringList soubory = Volby.Soubory.isEmpty() ? QStringList{QStringLiteral("-")} : RozvinVzory(Volby.Soubory);
    for (const QString &soubor : soubory) {
        const std::optional<TInfoCesty> info = soubor != u"-" ? InfoCesty(soubor) : std::nullopt;
        if (info && Volby.bRekurzivne && info->bSlozka) {
            QList<TNalez> nalezy;
            ProjdiSlozku(soubor, nalezy, chybyVstupu);
            for (const TNalez &n : std::as_const(nalezy))
                vstupy << TVstup{n.Cesta, n.Velikost, true, n.Identita};
            continue;
        }
        vstupy << TVstup{soubor, info ? info->Velikost : 0, false, info ? info->Identita : QByteArray()};
    }
    qint64 bajtu = 0;
    for (const TVstup &v : std::as_const(vstupy))
        bajtu += v.Velikost;
    TPrubeh prubeh(bajtu, vstupy.size(), ChybyNaTerminalu() && (bajtu > 100 * 1000 * 1000 || vstupy.size() > 1000));
    const TRekni rekniHned = [&](FILE *Kam, const QString &Text) {
        prubeh.Smaz();
        Vypis(Kam, Text);
    };
    for (const QString &c : std::as_const(chybyVstupu)) {
        rekniHned(stderr, QStringLiteral("lumarin-convert: %1\n").arg(c));
        bChyba = true;
    }

    // Standard output, unless the files go elsewhere. A file that is also
    // where the output goes would read its own output.
    const bool bStandardni = !Volby.bKontrola && !Volby.bNaMiste && !Volby.Vystup;
    TStandardniVystup standardni;

    // One file: what it tells goes to Rekni, what it counts to Zaznam. Prubeh
    // is told the bytes read.
    const auto zpracuj = [&](const TVstup &vstup, TPrevodnik &prevodnik, TZaznam &Zaznam, const TRekni &Rekni,
                             const std::function<void(qint64)> &Prubeh) {
        const auto chyba = [&](const QString &Zprava) {
            Rekni(stderr, QStringLiteral("lumarin-convert: %1\n").arg(Zprava));
            Zaznam.bChyba = true;
        };
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
        const bool bStdin = vstup.Cesta == u"-";
        const QString jmeno = bStdin ? QStringLiteral("standard input") : Zobraz(vstup.Cesta);
        try {
            // -i replaces only a regular file, and looks at nothing else
            // (a named pipe would wait for a writer, or take its data).
            std::unique_ptr<TZdroj> zdroj =
                bStdin ? TZdroj::ZDeskriptoru(STDIN_FILENO, jmeno) : TZdroj::Otevri(vstup.Cesta, Volby.bNaMiste);
            if (bStandardni && zdroj->JeSouborem(STDOUT_FILENO))
                throw EChyba(QStringLiteral("%1: The input is the file that standard output writes to").arg(jmeno));

            std::unique_ptr<TCestaZapisu> veSlozce;
            TVystupNic nic;
            std::optional<TVystupZapis> soubor;
            TVystup *vystup = &nic;
            QString cestaVystupu;
            if (Volby.bNaMiste || Volby.Vystup) {
                // Streamed into the writer's temporary file, so that a file
                // of any size takes little memory. In place, a file that
                // cannot be written fails only if it has to be written.
                cestaVystupu = Volby.bNaMiste ? vstup.Cesta : *Volby.Vystup;
                if (Volby.bNaMiste)
                    veSlozce = CestaZapisu(cestaVystupu);
                if (veSlozce) {
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
                    ZastavSe();
                bPrvniBlok = false;
                Prubeh(b);
            };
            const TVysledek v = prevodnik.Preved(*zdroj, *vystup, cestaVystupu, prubehSouboru);
            // --check converts nothing, so a binary file is no trouble there.
            if (v.Stav == TVysledek::vsBinarni && (vstup.bZeSlozky || Volby.bKontrola)) {
                ++Zaznam.Preskoceno;
                Rekni(
                    stderr,
                    QStringLiteral("lumarin-convert: %1: skipped, a binary file (--binary converts it)\n").arg(jmeno));
            } else if (v.Stav == TVysledek::vsBinarni) {
                // Named on the command line, it was meant to be converted.
                ++Zaznam.Selhalo;
                chyba(QStringLiteral("%1: not converted, a binary file (--binary converts it)").arg(jmeno));
            } else if (v.Stav == TVysledek::vsChyba) {
                ++Zaznam.Selhalo;
                chyba(v.Chyba);
            } else {
                // An unchanged file is not written again in place. The file
                // replaced must still be the one that was converted.
                if ((Volby.bNaMiste && v.Zmena()) || Volby.Vystup)
                    soubor->Dokonci([&] {
                        if (bZastavitPredNahrazenim)
                            ZastavSe();
                        zdroj->Over();
                        zdroj->PustSoubor();
                    });
                ++Zaznam.Prevedeno;
                Zaznam.Nahrazeno += v.Nahrazeno;
                Zaznam.Zmeneno += v.Zmena();
                if (Volby.bKontrola && v.Zmena() && Volby.bNula) {
                    Rekni(stdout, jmeno + QChar(u'\0'));
                } else if (Volby.bKontrola && v.Zmena()) {
                    QString radek =
                        QStringLiteral("%1: %2 replaced").arg(jmeno, Pocet(v.Nahrazeno, "character", "characters"));
                    if (v.Zlomy > 0)
                        radek += QStringLiteral(", %1 rewritten").arg(Pocet(v.Zlomy, "line break", "line breaks"));
                    if (v.NazevVstupu() != v.NazevVystupu())
                        radek += QStringLiteral(", written as %1").arg(v.NazevVystupu());
                    Rekni(stdout, radek + u'\n');
                }
                if (Volby.bPodrobne) {
                    QString radek = QStringLiteral("lumarin-convert: %1: %2, %3 replaced")
                                        .arg(jmeno, v.NazevVstupu(), Pocet(v.Nahrazeno, "character", "characters"));
                    if (v.Zlomy > 0)
                        radek += QStringLiteral(", %1 rewritten").arg(Pocet(v.Zlomy, "line break", "line breaks"));
                    if (v.NazevVstupu() != v.NazevVystupu())
                        radek += QStringLiteral(", written as %1").arg(v.NazevVystupu());
                    Rekni(stderr, radek + u'\n');
                }
            }
        } catch (const std::bad_alloc &) {
            ++Zaznam.Selhalo;
            odvolejStandardni();
            chyba(QStringLiteral("%1: Not enough memory").arg(jmeno));
        } catch (const EChyba &e) {
            ++Zaznam.Selhalo;
            odvolejStandardni();
            chyba(Zprava(e));
            // Standard output that cannot be written ends the run.
            Zaznam.bKonec = e.Druh() == TDruhChyby::SpolecnyVystup;
        }
    };

    qsizetype prevedeno = 0, preskoceno = 0, selhalo = 0, zmeneno = 0;
    qint64 nahrazeno = 0;
    const auto secti = [&](const TZaznam &z) {
        prevedeno += z.Prevedeno;
        preskoceno += z.Preskoceno;
        selhalo += z.Selhalo;
        zmeneno += z.Zmeneno;
        nahrazeno += z.Nahrazeno;
        bChyba = bChyba || z.bChyba;
    };

    // Several files at once where none goes to standard output; each job
    // converts its file's blocks in as many threads as make the share of
    // one job, so that the threads, and the blocks they hold, do not grow
    // with the number of jobs beyond one each.
    int uloh = Volby.Uloh > 0 ? Volby.Uloh : int(std::thread::hardware_concurrency());
    uloh = int(qBound<qsizetype>(1, qMin<qsizetype>(uloh, NejviceUloh), vstupy.size()));
    if (bStandardni)
        uloh = 1;
    if (uloh == 1) {
        TPrevodnik prevodnik(nastaveni);
        for (const TVstup &vstup : std::as_const(vstupy)) {
            TZaznam z;
            zpracuj(vstup, prevodnik, z, rekniHned, [&](qint64 b) { prubeh.Pridej(b); });
            secti(z);
            if (z.bKonec)
                break;
            prubeh.Soubor(vstup.Velikost);
        }
    } else {
        TNastaveniPrevodu nastaveniUlohy = nastaveni;
        nastaveniUlohy.Vlaken = qMax(1, nastaveni.Vlaken / uloh);
        std::atomic<qint64> precteno = 0;
        std::atomic<qsizetype> hotovychSouboru = 0;
        // The tables, built once for each job.
        std::vector<std::unique_ptr<TPrevodnik>> prevodniky(uloh);
        TUlohy ulohy(vstupy, Volby.bNaMiste, [&](int Uloha, qsizetype k, TOdlozeny &Odlozeny) {
            std::unique_ptr<TPrevodnik> &prevodnik = prevodniky[Uloha];
            if (!prevodnik)
                prevodnik = std::make_unique<TPrevodnik>(nastaveniUlohy);
            zpracuj(
                vstupy.at(k), *prevodnik, Odlozeny.Zaznam,
                [&](FILE *Kam, const QString &Text) {
                    Odlozeny.Radky.append({Kam, Text});
                },
                [&](qint64 b) { precteno += b; });
            ++hotovychSouboru;
        });
        // The progress line from the start, then as files finish (at most
        // four times a second, also while one file takes long).
        const auto kresli = [&] { prubeh.Stav(precteno, hotovychSouboru); };
        kresli();
        ulohy.Spust(uloh);
        for (qsizetype k = 0; k < vstupy.size(); ++k) {
            TOdlozeny &o = ulohy.Pockej(k, kresli);
            for (const auto &[kam, text] : std::as_const(o.Radky))
                rekniHned(kam, text);
            o.Radky.clear();
            secti(o.Zaznam);
            if (o.Zaznam.bKonec)
                break;
            kresli();
        }
        ulohy.Zastav();
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
    // As diff, cmp and grep: with --check, 1 is an answer (something would
    // change) and 2 trouble; otherwise 1 is a file that failed.
    if (Volby.bKontrola)
        return bChyba ? 2 : zmeneno > 0 ? 1 : 0;
    return bChyba ? 1 : 0;
}

// The status, unless what went to standard output (the --check list, the
// help) could not be written: that is told, and is trouble.
int Konec(const TVolby &Volby, int Kod)
{
    const QString chyba = ChybaVypisu();
    if (chyba.isEmpty())
        return Kod;
    Vypis(stderr, QStringLiteral("lumarin-convert: standard output: %1\n").arg(chyba));
    return Volby.bKontrola ? 2 : qMax(Kod, 1);
}

} // namespace

int main(int argc, char *argv[])
{
    PripravProces();
    QCoreApplication aplikace(argc, argv);
    TVolby volby;
    try {
        volby = RozeberVolby(ArgumentyProgramu(argc, argv));
    } catch (const EPouziti &e) {
        Vypis(stderr, QStringLiteral("lumarin-convert: %1\n").arg(e.Zprava()));
        Vypis(stderr, QStringLiteral("Try 'lumarin-convert --help' for more information.\n"));
        return 2;
    }
    if (volby.bNapoveda) {
        Vypis(stdout, TextNapovedy());
        return Konec(volby, 0);
    }
    if (volby.bVerze) {
        Vypis(stdout, TextVerze(VerzeProgramu()));
        return Konec(volby, 0);
    }
    if (volby.bSeznamKodovani) {
        // Every encoding of the system's converters with its aliases, one a
        // line, and the program's own where the system has not listed them.
        const QList<QByteArrayList> kodovani = SeznamKodovani();
        QString seznam;
        for (const QString &vlastni :
             {QStringLiteral("UTF-8"), QStringLiteral("UTF-16LE"), QStringLiteral("UTF-16BE"), NazevKodoveStranky()})
            if (std::none_of(kodovani.cbegin(), kodovani.cend(), [&](const QByteArrayList &Jmena) {
                    return QString::fromLatin1(Jmena.first()).compare(vlastni, Qt::CaseInsensitive) == 0;
                }))
                seznam += vlastni + u'\n';
        for (const QByteArrayList &jmena : kodovani)
            seznam += QString::fromLatin1(jmena.join(' ')) + u'\n';
        Vypis(stdout, seznam);
        return Konec(volby, 0);
    }
    return Konec(volby, Spust(volby));
}
