// A real session of the main window on text files of several shapes, against
// the toolkit's own floor. The window opens the file, goes to its end
// (Ctrl+End, then a key typed and taken back), presses F6, saves, takes the
// conversion back (Ctrl+Z), saves under another name, and is made larger
// (1000 x 700) and then as small as before. Each step is timed with the events
// it leaves (layout, painting): how long the window does not answer. Each
// step's peak memory is taken too (the process's high-water mark, set back
// before the step); the session's peak is the highest.
//
// Each step of the window also gives the longest stretch in which the event
// loop did not run (so the window could neither paint nor take input).
//
// The floor is a bare QPlainTextEdit set up as the window's editor is (font,
// wrapping, scroll bars, size), in a process of its own, doing what the
// toolkit must do in each step: setPlainText of the text, of the converted
// text and of the text again, then the same two changes of size. The floor
// and the window run alternately, each in a fresh process, several times; the
// table gives medians and the medians of the paired ratios.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_dokument [-n runs] [-w] [shape...]
//
// A shape is cesky:MB (Czech prose with CR LF line breaks, a bare number
// means the same), a:MiB (one line of "a"), hex:MiB (one line of hex digits)
// lf:MiB (line feeds only), kratke:MiB (short lines, "čáš" and a line feed:
// F6 changes every letter) or zmeny:MiB (one line of "č": F6 changes every
// character); "vse" stands for cesky:20 a:1 hex:1 a:10 lf:10
// cesky:100. Without a shape: cesky:20. Five runs unless -n says otherwise;
// -w runs the window alone, without the floor (which takes minutes and
// gigabytes for hundreds of megabytes of prose).
// The run fails when a saved file is not exactly the converted text, or the
// text again after the undo, or when the floor's editor is not set up as the
// window's.

#include "Aplikace.h"
#include "CeskyText.h"
#include "Dialogy.h"
#include "Kodek.h"
#include "Konverze.h"
#include "Memo.h"
#include "convar.h"
#include "fHlavni.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

// The window's size in the wider step.
constexpr QSize VetsiOkno(1000, 700);

class TDialogSouboru : public TDialogy {
public:
    QString Cesta;
    QString OtevritSoubor(QWidget *) override { return Cesta; }
    QString UlozitSoubor(QWidget *, const QString &) override { return Cesta; }
};

long SpickaPametiKB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &radek : status.readAll().split('\n'))
        if (radek.startsWith("VmHWM:"))
            return radek.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// The session's peak so far, in KiB.
long SpickaSezeni = 0;

struct TKrok {
    double Ms;
    long SpickaKB;   // the step's own peak
    double MezeraMs; // the longest stretch in which the event loop did not run
    double CpuMs;    // the process's processor time: on a shared machine it varies less than the wall time
};

double CasProcesoruMs()
{
    timespec cas{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cas);
    return cas.tv_sec * 1e3 + cas.tv_nsec / 1e6;
}

// The event loop's passes: each wakes the event dispatcher, and only then can
// the window paint or take the user's input.
QElapsedTimer Hodiny;
qint64 PosledniBehNs = 0, NejdelsiMezeraNs = 0;

void BehSmycky()
{
    const qint64 ted = Hodiny.nsecsElapsed();
    NejdelsiMezeraNs = std::max(NejdelsiMezeraNs, ted - PosledniBehNs);
    PosledniBehNs = ted;
}

// Krok timed with the events it leaves (layout, painting) handled. Before it
// the process's high-water mark is set back to what the process holds now
// (Linux's clear_refs), so the mark after it is the step's own peak; where
// that cannot be done, the mark is the session's so far.
template <typename F> TKrok Zmer(F Krok)
{
    SpickaSezeni = std::max(SpickaSezeni, SpickaPametiKB());
    {
        QFile obnova(QStringLiteral("/proc/self/clear_refs"));
        if (obnova.open(QIODevice::WriteOnly))
            obnova.write("5");
    }
    if (!Hodiny.isValid()) {
        Hodiny.start();
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, BehSmycky);
    }
    QElapsedTimer cas;
    cas.start();
    const double cpu = CasProcesoruMs();
    PosledniBehNs = Hodiny.nsecsElapsed();
    NejdelsiMezeraNs = 0;
    Krok();
    BehSmycky();
    QApplication::processEvents();
    const TKrok krok{cas.nsecsElapsed() / 1e6, SpickaPametiKB(), NejdelsiMezeraNs / 1e6, CasProcesoruMs() - cpu};
    SpickaSezeni = std::max(SpickaSezeni, krok.SpickaKB);
    return krok;
}

// The steps' times, then their peaks, then the session's peak; with
// bMezery, then the steps' longest stretches without the event loop and
// their processor times.
void Vypis(const QList<TKrok> &Kroky, bool bMezery = false)
{
    for (const TKrok &krok : Kroky)
        std::printf("%.1f ", krok.Ms);
    for (const TKrok &krok : Kroky)
        std::printf("%ld ", krok.SpickaKB);
    std::printf("%ld", std::max(SpickaSezeni, SpickaPametiKB()));
    if (bMezery) {
        for (const TKrok &krok : Kroky)
            std::printf(" %.1f", krok.MezeraMs);
        for (const TKrok &krok : Kroky)
            std::printf(" %.1f", krok.CpuMs);
    }
    std::printf("\n");
}

void Klavesa(QWidget *Cil, int Klic, Qt::KeyboardModifiers Modifikatory = Qt::NoModifier, const QString &Text = {})
{
    QKeyEvent stisk(QEvent::KeyPress, Klic, Modifikatory, Text);
    QApplication::sendEvent(Cil, &stisk);
    QKeyEvent uvolneni(QEvent::KeyRelease, Klic, Modifikatory, Text);
    QApplication::sendEvent(Cil, &uvolneni);
}

// The editor's set-up that decides how its text is laid out, as one line:
// the floor must print the same as the window.
QString Nastaveni(const QPlainTextEdit *Editor)
{
    return u"%1;%2;%3;%4;%5;%6x%7"_s.arg(Editor->font().toString())
        .arg(int(Editor->lineWrapMode()))
        .arg(int(Editor->wordWrapMode()))
        .arg(int(Editor->verticalScrollBarPolicy()))
        .arg(int(Editor->horizontalScrollBarPolicy()))
        .arg(Editor->viewport()->width())
        .arg(Editor->viewport()->height());
}

struct TTvar {
    QString Druh; // cesky, a, hex, lf, kratke, zmeny
    double Velikost;
    QString Nazev() const { return Druh + u':' + QString::number(Velikost); }
};

QByteArray Obsah(const TTvar &Tvar)
{
    if (Tvar.Druh == u"cesky") {
        const qsizetype bajtu = qsizetype(Tvar.Velikost * 1000 * 1000);
        QByteArray bajty = CeskyText(bajtu, QStringLiteral("\r\n"), 1).toUtf8();
        bajty.truncate(bajtu);
        // Ends on a whole character.
        while (!bajty.isEmpty() && (uchar(bajty.back()) & 0xC0) == 0x80)
            bajty.chop(1);
        if (!bajty.isEmpty() && uchar(bajty.back()) >= 0xC0)
            bajty.chop(1);
        return bajty;
    }
    const qsizetype bajtu = qsizetype(Tvar.Velikost * 1024 * 1024);
    if (Tvar.Druh == u"a")
        return QByteArray(bajtu, 'a');
    if (Tvar.Druh == u"lf")
        return QByteArray(bajtu, '\n');
    if (Tvar.Druh == u"kratke") {
        const QByteArray radek = u"čáš\n"_s.toUtf8();
        return radek.repeated(bajtu / radek.size());
    }
    if (Tvar.Druh == u"zmeny")
        return u"č"_s.toUtf8().repeated(bajtu / 2);
    QByteArray bajty(bajtu, Qt::Uninitialized);
    QRandomGenerator nahoda(20261210);
    for (char &b : bajty)
        b = "0123456789abcdef"[nahoda.bounded(16)];
    return bajty;
}

// The file's text with every line break in the file's most frequent form, as
// a save writes it back; DelkaCrLf receives the length of the text the editor
// holds, with CR LF for each break.
QString SeZlomySouboru(const QByteArray &Bajty, qsizetype &DelkaCrLf)
{
    TPoctyZlomu pocty;
    const QString text = NormalizujKonceRadku(QString::fromUtf8(Bajty), nullptr, &pocty);
    DelkaCrLf = text.size();
    const QString zlom = ZnakyZlomu(pocty.Prevazujici()).toString();
    if (zlom == u"\r\n"_s)
        return text;
    // In one pass: QString::replace moves the rest of the text for each of
    // a hundred million line breaks.
    QString vysledek;
    vysledek.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            vysledek += zlom;
            ++i;
        } else {
            vysledek += text[i];
        }
    }
    return vysledek;
}

// The floor: the bare editor, set up as the window's, in the same steps.
// Prints its set-up, then the times and peaks of open, end, key, F6, undo,
// wider and back.
int Podlaha(const QString &Cesta, const QFont &Pismo, int Zalamovani, int ZalamovaniSlov, int SvislyPosuvnik,
            int VodorovnyPosuvnik, QSize Velikost, QSize Vetsi)
{
    QString text, prevedeny;
    {
        QFile soubor(Cesta);
        if (!soubor.open(QIODevice::ReadOnly))
            return 1;
        text = QString::fromUtf8(soubor.readAll());
    }
    prevedeny = NahradZnaky(text, ZnakySeZnamenkem, ZnakyBezZnamenka);
    QPlainTextEdit holy;
    holy.setFont(Pismo);
    holy.setLineWrapMode(QPlainTextEdit::LineWrapMode(Zalamovani));
    holy.setWordWrapMode(QTextOption::WrapMode(ZalamovaniSlov));
    holy.setVerticalScrollBarPolicy(Qt::ScrollBarPolicy(SvislyPosuvnik));
    holy.setHorizontalScrollBarPolicy(Qt::ScrollBarPolicy(VodorovnyPosuvnik));
    holy.resize(Velikost);
    holy.show();
    QApplication::processEvents();
    std::printf("%s\n", qPrintable(Nastaveni(&holy)));
    QList<TKrok> kroky;
    kroky << Zmer([&] { holy.setPlainText(text); });
    kroky << Zmer([&] { Klavesa(&holy, Qt::Key_End, Qt::ControlModifier); });
    kroky << Zmer([&] {
        Klavesa(&holy, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        Klavesa(&holy, Qt::Key_Backspace);
    });
    kroky << Zmer([&] { holy.setPlainText(prevedeny); });
    kroky << Zmer([&] { holy.setPlainText(text); });
    kroky << Zmer([&] { holy.resize(Vetsi); });
    kroky << Zmer([&] { holy.resize(Velikost); });
    Vypis(kroky);
    return 0;
}

// The window's session. Prints the editor's set-up, then the times and peaks
// of open, end, key, F6, save, undo, save as, wider and back.
int Okno(const QString &Cesta, const QString &CestaPoZpet)
{
    auto dialogVlastni = std::make_unique<TDialogSouboru>();
    TDialogSouboru *dialog = dialogVlastni.get();
    dialog->Cesta = Cesta;
    NastavDialogy(std::move(dialogVlastni));
    TFormy formy;
    THlavniForm *okno = formy.HlavniForm;
    okno->show();
    QApplication::processEvents();
    TMemo *memo = okno->memSoubor;
    std::printf("%s\n", qPrintable(Nastaveni(memo)));
    const QSize velikost = okno->size();
    QList<TKrok> kroky;
    kroky << Zmer([&] { okno->aOtevrit->trigger(); });
    kroky << Zmer([&] { Klavesa(memo, Qt::Key_End, Qt::ControlModifier); });
    kroky << Zmer([&] {
        Klavesa(memo, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        Klavesa(memo, Qt::Key_Backspace);
    });
    kroky << Zmer([&] { okno->aOdstranitDiakritiku->trigger(); });
    kroky << Zmer([&] { okno->aUlozit->trigger(); });
    kroky << Zmer([&] { Klavesa(memo, Qt::Key_Z, Qt::ControlModifier); });
    // The text as it was, under another name, for the caller to compare.
    dialog->Cesta = CestaPoZpet;
    kroky << Zmer([&] { okno->aUlozitJako->trigger(); });
    kroky << Zmer([&] { okno->resize(VetsiOkno); });
    kroky << Zmer([&] { okno->resize(velikost); });
    Vypis(kroky, true);
    return 0;
}

double Median(QList<double> Hodnoty)
{
    if (Hodnoty.isEmpty())
        return 0;
    std::sort(Hodnoty.begin(), Hodnoty.end());
    const qsizetype n = Hodnoty.size();
    return n % 2 ? Hodnoty[n / 2] : (Hodnoty[n / 2 - 1] + Hodnoty[n / 2]) / 2;
}

// One process's output: the set-up line and the figures.
struct TVystup {
    QString Nastaveni;
    QList<double> Cisla;
};

} // namespace

// Each measurement runs in a process of its own, so that the peak memory is
// the session's alone, not the test file's generation or the floor's.
int main(int argc, char *argv[])
{
    TSluzby sluzby;
    QApplication aplikace(argc, argv);
    ZnakySeZnamenkem = VychoziZnakySeZnamenkem;
    ZnakyBezZnamenka = VychoziZnakyBezZnamenka;
    const QStringList argumenty = QApplication::arguments();
    if (argumenty.size() == 10 && argumenty[1] == u"--podlaha") {
        QFont pismo;
        pismo.fromString(argumenty[3]);
        return Podlaha(argumenty[2], pismo, argumenty[4].toInt(), argumenty[5].toInt(), argumenty[6].toInt(),
                       argumenty[7].toInt(),
                       QSize(argumenty[8].section(u'x', 0, 0).toInt(), argumenty[8].section(u'x', 1, 1).toInt()),
                       QSize(argumenty[9].section(u'x', 0, 0).toInt(), argumenty[9].section(u'x', 1, 1).toInt()));
    }
    if (argumenty.size() == 4 && argumenty[1] == u"--okno")
        return Okno(argumenty[2], argumenty[3]);

    int opakovani = 5;
    bool bJenOkno = false;
    QList<TTvar> tvary;
    for (qsizetype i = 1; i < argumenty.size(); ++i) {
        const QString &argument = argumenty[i];
        if (argument == u"-n" && i + 1 < argumenty.size()) {
            opakovani = std::max(1, argumenty[++i].toInt());
            continue;
        }
        if (argument == u"-w") {
            bJenOkno = true;
            continue;
        }
        if (argument == u"vse") {
            tvary += {{QStringLiteral("cesky"), 20}, {QStringLiteral("a"), 1},   {QStringLiteral("hex"), 1},
                      {QStringLiteral("a"), 10},     {QStringLiteral("lf"), 10}, {QStringLiteral("cesky"), 100}};
            continue;
        }
        const QStringList casti = argument.split(u':');
        bool bCislo = false;
        const double velikost = casti.back().toDouble(&bCislo);
        const QString druh = casti.size() == 2 ? casti[0] : QStringLiteral("cesky");
        if (!bCislo || casti.size() > 2 ||
            !QStringList{u"cesky"_s, u"a"_s, u"hex"_s, u"lf"_s, u"kratke"_s, u"zmeny"_s}.contains(druh)) {
            std::fprintf(stderr, "unknown shape %s\n", qPrintable(argument));
            return 2;
        }
        tvary.append({druh, velikost});
    }
    if (tvary.isEmpty())
        tvary.append({QStringLiteral("cesky"), 20});

    // The sessions read no settings of the user's (another font would lay
    // the text out otherwise).
    QTemporaryDir slozka;
    QProcessEnvironment prostredi = QProcessEnvironment::systemEnvironment();
    prostredi.insert(u"XDG_CONFIG_HOME"_s, slozka.filePath(u"nastaveni"_s));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(slozka.filePath(u"nastaveni"_s)));

    // The window's editor as the floor is to copy it, at the window's two
    // sizes.
    QStringList nastaveniPodlahy;
    {
        auto dialog = std::make_unique<TDialogSouboru>();
        NastavDialogy(std::move(dialog));
        TFormy formy;
        THlavniForm *okno = formy.HlavniForm;
        const QSize velikost = okno->size();
        okno->show();
        QApplication::processEvents();
        const TMemo *memo = okno->memSoubor;
        const QSize editor = memo->size();
        okno->resize(VetsiOkno);
        QApplication::processEvents();
        const QSize vetsiEditor = memo->size();
        okno->resize(velikost);
        QApplication::processEvents();
        nastaveniPodlahy = {memo->font().toString(),
                            QString::number(int(memo->lineWrapMode())),
                            QString::number(int(memo->wordWrapMode())),
                            QString::number(int(memo->verticalScrollBarPolicy())),
                            QString::number(int(memo->horizontalScrollBarPolicy())),
                            u"%1x%2"_s.arg(editor.width()).arg(editor.height()),
                            u"%1x%2"_s.arg(vetsiEditor.width()).arg(vetsiEditor.height())};
        ZnakySeZnamenkem = VychoziZnakySeZnamenkem;
        ZnakyBezZnamenka = VychoziZnakyBezZnamenka;
    }

    const QString cesta = slozka.filePath(QStringLiteral("velky.txt"));
    const QString cestaPoZpet = slozka.filePath(QStringLiteral("zpet.txt"));
    const auto spust = [&](const QStringList &Argumenty, qsizetype PocetCisel) -> std::optional<TVystup> {
        QProcess proces;
        proces.setProcessEnvironment(prostredi);
        proces.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proces.start(QApplication::applicationFilePath(), Argumenty);
        proces.waitForFinished(-1);
        const QStringList radky = QString::fromLocal8Bit(proces.readAllStandardOutput()).trimmed().split(u'\n');
        if (proces.exitStatus() != QProcess::NormalExit || proces.exitCode() != 0 || radky.size() != 2)
            return std::nullopt;
        TVystup vystup{radky[0], {}};
        for (const QString &cislo : radky[1].split(u' ', Qt::SkipEmptyParts))
            vystup.Cisla.append(cislo.toDouble());
        if (vystup.Cisla.size() != PocetCisel)
            return std::nullopt;
        return vystup;
    };
    const auto soubor = [](const QString &Cesta) {
        QFile f(Cesta);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const auto zapis = [](const QString &Cesta, const QByteArray &Bajty) {
        QFile f(Cesta);
        return f.open(QIODevice::WriteOnly) && f.write(Bajty) == Bajty.size() && f.flush();
    };

    std::printf("%d runs of each, floor and window alternately, each in a fresh process; ms, peaks in MiB\n",
                opakovani);
    int vysledek = 0;
    for (const TTvar &tvar : tvary) {
        const QString nazev = tvar.Nazev();
        QByteArray puvodni = Obsah(tvar);
        const long velikost = long(puvodni.size());
        const long radky = long(puvodni.count('\n')) + 1;
        qsizetype delkaCrLf = 0;
        const QString text = SeZlomySouboru(puvodni, delkaCrLf);
        const QByteArray ocekavane = NahradZnaky(text, ZnakySeZnamenkem, ZnakyBezZnamenka).toUtf8();
        // Where F6 finds nothing to convert, it leaves the editor's history
        // alone, and Ctrl+Z takes back the Backspace.
        const QByteArray ocekavanePoZpet = text.toUtf8() + (ocekavane == text.toUtf8() ? "x" : "");
        // The floor of a single line without break opportunities is the very
        // fault the window avoids (minutes); it is measured for prose only.
        const bool bPodlaha = tvar.Druh == u"cesky" && !bJenOkno;
        std::printf("\n%s: %.1f MB, %ld lines\n", qPrintable(nazev), velikost / 1e6, radky);
        // The columns: open, end, key, F6, save, undo, wider, back (ms) and
        // the session's peak; where each is in the floor's and the window's
        // figures (-1: the floor has no such step).
        static constexpr int podlahaSloupce[] = {0, 1, 2, 3, -1, 4, 5, 6, 14};
        static constexpr int oknoSloupce[] = {0, 1, 2, 3, 4, 5, 7, 8, 18};
        const auto radek = [](const char *Nazev, const QList<double> &Hodnoty, const int *Sloupce, const char *Format) {
            std::printf("%-10s", Nazev);
            for (int i = 0; i < 9; ++i) {
                if (Sloupce[i] < 0)
                    std::printf(" %8s", "");
                else
                    std::printf(Format, i == 8 ? Hodnoty[Sloupce[i]] / 1024 : Hodnoty[Sloupce[i]]);
            }
        };
        std::printf("%-10s %8s %8s %8s %8s %8s %8s %8s %8s %8s\n", "", "open", "end", "key", "F6", "save", "undo",
                    "wider", "back", "peak MiB");
        QList<QList<double>> podlahy, okna;
        for (int i = 0; i < opakovani; ++i) {
            if (!zapis(cesta, puvodni)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(cesta));
                return 1;
            }
            QFile::remove(cestaPoZpet);
            std::optional<TVystup> podlaha;
            if (bPodlaha) {
                podlaha = spust(QStringList{u"--podlaha"_s, cesta} + nastaveniPodlahy, 15);
                if (!podlaha) {
                    std::fprintf(stderr, "%s: the floor failed\n", qPrintable(nazev));
                    vysledek = 1;
                    continue;
                }
            }
            const std::optional<TVystup> okno = spust({u"--okno"_s, cesta, cestaPoZpet}, 37);
            if (!okno) {
                std::fprintf(stderr, "%s: the window's session failed\n", qPrintable(nazev));
                vysledek = 1;
                continue;
            }
            if (podlaha && podlaha->Nastaveni != okno->Nastaveni) {
                std::fprintf(stderr, "%s: the floor's editor is not the window's:\n  floor  %s\n  window %s\n",
                             qPrintable(nazev), qPrintable(podlaha->Nastaveni), qPrintable(okno->Nastaveni));
                vysledek = 1;
            }
            if (podlaha) {
                radek("floor", podlaha->Cisla, podlahaSloupce, " %8.0f");
                std::printf("\n");
                podlahy.append(podlaha->Cisla);
            }
            radek("window", okno->Cisla, oknoSloupce, " %8.0f");
            okna.append(okno->Cisla);
            if (soubor(cesta) != ocekavane) {
                std::printf("  SAVED FILE IS NOT THE CONVERTED TEXT");
                vysledek = 1;
            }
            if (soubor(cestaPoZpet) != ocekavanePoZpet) {
                std::printf("  THE UNDO DID NOT BRING THE TEXT BACK");
                vysledek = 1;
            }
            std::printf("\n");
            std::fflush(stdout);
        }
        if (okna.isEmpty())
            continue;
        const auto mediany = [](const QList<QList<double>> &Behy) {
            QList<double> vysledky;
            for (qsizetype j = 0; j < Behy.front().size(); ++j) {
                QList<double> hodnoty;
                for (const QList<double> &beh : Behy)
                    hodnoty.append(beh[j]);
                vysledky.append(Median(hodnoty));
            }
            return vysledky;
        };
        const QList<double> o = mediany(okna);
        if (!podlahy.isEmpty()) {
            radek("floor med", mediany(podlahy), podlahaSloupce, " %8.0f");
            std::printf("\n");
        }
        radek("window med", o, oknoSloupce, " %8.0f");
        std::printf("\n");
        if (!podlahy.isEmpty()) {
            // Each run's window against the floor of the same pair.
            QList<double> pomery;
            for (int j = 0; j < 9; ++j) {
                QList<double> hodnoty;
                for (qsizetype i = 0; i < std::min(okna.size(), podlahy.size()); ++i)
                    if (podlahaSloupce[j] >= 0 && podlahy[i][podlahaSloupce[j]] > 0)
                        hodnoty.append(okna[i][oknoSloupce[j]] / podlahy[i][podlahaSloupce[j]]);
                pomery.append(Median(hodnoty));
            }
            std::printf("%-10s %8.2f %8s %8s %8.2f %8s %8.2f %8.2f %8.2f %8.2f\n", "ratio med", pomery[0], "", "",
                        pomery[3], "", pomery[5], pomery[6], pomery[7], pomery[8]);
        }
        std::printf("window peak of each step (MiB, medians): open %.0f, F6 %.0f, save %.0f, undo %.0f, "
                    "save as %.0f, wider %.0f, back %.0f\n",
                    o[9] / 1024, o[12] / 1024, o[13] / 1024, o[14] / 1024, o[15] / 1024, o[16] / 1024, o[17] / 1024);
        std::printf("window's longest stretch without the event loop (ms, medians): open %.0f, F6 %.0f, save %.0f, "
                    "undo %.0f, save as %.0f\n",
                    o[19], o[22], o[23], o[24], o[25]);
        std::printf("window's processor time (ms, medians): open %.0f, F6 %.0f, save %.0f, undo %.0f, save as %.0f\n",
                    o[28], o[31], o[32], o[33], o[34]);
        std::printf("session peak %.1f x file\n", o[18] * 1024.0 / velikost);
        // What the window estimates before it opens a file, against what
        // the session took. The estimate leaves out the process's own 40 MiB
        // or so, and falls below the peak for files of a few megabytes.
        const qint64 odhad = PametDokumentu(delkaCrLf, radky - 1);
        std::printf("the window's estimate %.0f MiB, %.2f x the session's peak\n", odhad / 1048576.0,
                    odhad / (o[18] * 1024.0));
        std::fflush(stdout);
    }
    return vysledek;
}
