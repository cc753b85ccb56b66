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
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <optional>

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
                vstupy << TVstup{n.Cesta, n.Velikost, true};
            continue;
        }
        vstupy << TVstup{soubor, info ? info->Velikost : 0};
    }
    qint64 bajtu = 0;
    for (const TVstup &v : std::as_const(vstupy))
        bajtu += v.Velikost;
    TPrubeh prubeh(bajtu, vstupy.size(), ChybyNaTerminalu() && (bajtu > 100 * 1000 * 1000 || vstupy.size() > 1000));
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
    TStandardniVystup standardni;
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
                prubeh.Pridej(b);
            };
            const TVysledek v = prevodnik.Preved(*zdroj, *vystup, cestaVystupu, prubehSouboru);
            // --check converts nothing, so a binary file is no trouble there.
            if (v.Stav == TVysledek::vsBinarni && (vstup.bZeSlozky || Volby.bKontrola)) {
                ++preskoceno;
                prubeh.Smaz();
                Vypis(
                    stderr,
                    QStringLiteral("lumarin-convert: %1: skipped, a binary file (--binary converts it)\n").arg(jmeno));
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
                            ZastavSe();
                        zdroj->Over();
                        zdroj->PustSoubor();
                    });
                ++prevedeno;
                nahrazeno += v.Nahrazeno;
                zmeneno += v.Zmena();
                if (Volby.bKontrola && v.Zmena() && Volby.bNula) {
                    prubeh.Smaz();
                    Vypis(stdout, jmeno + QChar(u'\0'));
                } else if (Volby.bKontrola && v.Zmena()) {
                    QString radek =
                        QStringLiteral("%1: %2 replaced").arg(jmeno, Pocet(v.Nahrazeno, "character", "characters"));
                    if (v.Zlomy > 0)
                        radek += QStringLiteral(", %1 rewritten").arg(Pocet(v.Zlomy, "line break", "line breaks"));
                    if (v.NazevVstupu() != v.NazevVystupu())
                        radek += QStringLiteral(", written as %1").arg(v.NazevVystupu());
                    prubeh.Smaz();
                    Vypis(stdout, radek + u'\n');
                }
                if (Volby.bPodrobne) {
                    QString radek = QStringLiteral("lumarin-convert: %1: %2, %3 replaced")
                                        .arg(jmeno, v.NazevVstupu(), Pocet(v.Nahrazeno, "character", "characters"));
                    if (v.Zlomy > 0)
                        radek += QStringLiteral(", %1 rewritten").arg(Pocet(v.Zlomy, "line break", "line breaks"));
                    if (v.NazevVstupu() != v.NazevVystupu())
                        radek += QStringLiteral(", written as %1").arg(v.NazevVystupu());
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
            chyba(Zprava(e));
            // Standard output that cannot be written ends the run.
            if (e.Druh() == TDruhChyby::SpolecnyVystup)
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
    // As diff, cmp and grep: with --check, 1 is an answer (something would
    // change) and 2 trouble; otherwise 1 is a file that failed.
    if (Volby.bKontrola)
        return bChyba ? 2 : zmeneno > 0 ? 1 : 0;
    return bChyba ? 1 : 0;
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
        // An empty message: the option parser has told what is wrong.
        if (!e.Zprava().isEmpty())
            Vypis(stderr, QStringLiteral("lumarin-convert: %1\n").arg(e.Zprava()));
        Vypis(stderr, QStringLiteral("Try 'lumarin-convert --help' for more information.\n"));
        return 2;
    }
    if (volby.bNapoveda) {
        Vypis(stdout, TextNapovedy());
        return 0;
    }
    if (volby.bVerze) {
        Vypis(stdout, TextVerze(VerzeProgramu()));
        return 0;
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
        return 0;
    }
    return Spust(volby);
}
