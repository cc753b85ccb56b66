// Text files of several shapes in the real main window: open, the way to the
// end of the text (Ctrl+End, then a key typed and taken back), F6, save and a
// wider window (every paragraph laid out anew), each timed with the events it
// leaves (layout, painting): how long the window does not answer. For ordinary text also the toolkit's
// own floor, a bare QPlainTextEdit::setPlainText of the same text. Prints the
// figures, the peak memory of the window's process and whether the saved file
// holds exactly the converted text.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_dokument [shape...]
//
// A shape is cesky:MB (Czech prose with CR LF line breaks, a bare number
// means the same), a:MiB (one line of "a"), hex:MiB (one line of hex digits)
// or lf:MiB (line feeds only); "vse" stands for cesky:20 a:1 hex:1 a:10 lf:10
// cesky:100. Without a shape: cesky:20.

#include "Aplikace.h"
#include "CeskyText.h"
#include "Dialogy.h"
#include "Konverze.h"
#include "Memo.h"
#include "convar.h"
#include "fHlavni.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

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

// Milliseconds of Krok, with the events it leaves (layout, painting) handled.
template <typename F> double Zmer(F Krok)
{
    QElapsedTimer cas;
    cas.start();
    Krok();
    QApplication::processEvents();
    return cas.nsecsElapsed() / 1e6;
}

void Klavesa(QWidget *Cil, int Klic, Qt::KeyboardModifiers Modifikatory = Qt::NoModifier, const QString &Text = {})
{
    QKeyEvent stisk(QEvent::KeyPress, Klic, Modifikatory, Text);
    QApplication::sendEvent(Cil, &stisk);
    QKeyEvent uvolneni(QEvent::KeyRelease, Klic, Modifikatory, Text);
    QApplication::sendEvent(Cil, &uvolneni);
}

struct TTvar {
    QString Druh; // cesky, a, hex, lf
    double Velikost;
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
    QByteArray bajty(bajtu, Qt::Uninitialized);
    QRandomGenerator nahoda(20261210);
    for (char &b : bajty)
        b = "0123456789abcdef"[nahoda.bounded(16)];
    return bajty;
}

// What a save after F6 must write: the file's text with CR LF line breaks,
// converted with the pair table.
QByteArray OcekavaneUlozeni(const QByteArray &Bajty)
{
    // In one pass: QString::replace moves the rest of the text for each of
    // a hundred million line feeds.
    const QString text = QString::fromUtf8(Bajty);
    QString crlf;
    crlf.reserve(text.size() + text.count(u'\n') + text.count(u'\r'));
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            crlf += u"\r\n"_s;
        } else {
            crlf += text[i];
        }
    }
    return NahradZnaky(crlf, ZnakySeZnamenkem, ZnakyBezZnamenka).toUtf8();
}

int Podlaha(const QString &Cesta)
{
    QFile soubor(Cesta);
    if (!soubor.open(QIODevice::ReadOnly))
        return 1;
    const QString text = QString::fromUtf8(soubor.readAll());
    QPlainTextEdit holy;
    holy.resize(632, 330);
    holy.show();
    QApplication::processEvents();
    std::printf("%.1f\n", Zmer([&] { holy.setPlainText(text); }));
    return 0;
}

int Okno(const QString &Cesta)
{
    QByteArray puvodni;
    {
        QFile soubor(Cesta);
        if (!soubor.open(QIODevice::ReadOnly))
            return 1;
        puvodni = soubor.readAll();
    }
    auto dialog = std::make_unique<TDialogSouboru>();
    dialog->Cesta = Cesta;
    NastavDialogy(std::move(dialog));
    TFormy formy;
    THlavniForm *okno = formy.HlavniForm;
    okno->show();
    QApplication::processEvents();
    const QByteArray ocekavane = OcekavaneUlozeni(puvodni);
    puvodni.clear();
    TMemo *memo = okno->memSoubor;
    const double otevreni = Zmer([&] { okno->aOtevrit->trigger(); });
    const double konec = Zmer([&] { Klavesa(memo, Qt::Key_End, Qt::ControlModifier); });
    const double klavesa = Zmer([&] {
        Klavesa(memo, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        Klavesa(memo, Qt::Key_Backspace);
    });
    const double f6 = Zmer([&] { okno->aOdstranitDiakritiku->trigger(); });
    const double ulozeni = Zmer([&] { okno->aUlozit->trigger(); });
    const long spicka = SpickaPametiKB();
    // Last, for the toolkit keeps a layout object for every paragraph after it.
    const double zmenaVelikosti = Zmer([&] { okno->resize(okno->width() + 40, okno->height()); });
    const long spickaPoZmene = SpickaPametiKB();
    QFile ulozeny(Cesta);
    const bool stejne = ulozeny.open(QIODevice::ReadOnly) && ulozeny.readAll() == ocekavane;
    std::printf("%.1f %.1f %.1f %.1f %.1f %ld %d %.1f %ld\n", otevreni, konec, klavesa, f6, ulozeni, spicka,
                int(stejne), zmenaVelikosti, spickaPoZmene);
    return 0;
}

} // namespace

// Each measurement runs in a process of its own, so that the peak memory is
// the window's alone, not the test file's generation or the floor's.
int main(int argc, char *argv[])
{
    TSluzby sluzby;
    QApplication aplikace(argc, argv);
    const QStringList argumenty = QApplication::arguments();
    if (argumenty.size() == 3 && argumenty[1] == u"--podlaha")
        return Podlaha(argumenty[2]);
    if (argumenty.size() == 3 && argumenty[1] == u"--okno")
        return Okno(argumenty[2]);

    QList<TTvar> tvary;
    for (const QString &argument : argumenty.mid(1)) {
        if (argument == u"vse") {
            tvary += {{QStringLiteral("cesky"), 20}, {QStringLiteral("a"), 1},     {QStringLiteral("hex"), 1},
                      {QStringLiteral("a"), 10},     {QStringLiteral("lf"), 10},   {QStringLiteral("cesky"), 100}};
            continue;
        }
        const QStringList casti = argument.split(u':');
        bool bCislo = false;
        const double velikost = casti.back().toDouble(&bCislo);
        const QString druh = casti.size() == 2 ? casti[0] : QStringLiteral("cesky");
        if (!bCislo || casti.size() > 2 || !QStringList{u"cesky"_s, u"a"_s, u"hex"_s, u"lf"_s}.contains(druh)) {
            std::fprintf(stderr, "unknown shape %s\n", qPrintable(argument));
            return 2;
        }
        tvary.append({druh, velikost});
    }
    if (tvary.isEmpty())
        tvary.append({QStringLiteral("cesky"), 20});

    QTemporaryDir slozka;
    const QString cesta = slozka.filePath(QStringLiteral("velky.txt"));
    const auto spust = [&](const QString &rezim) {
        QProcess proces;
        proces.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proces.start(QApplication::applicationFilePath(), {rezim, cesta});
        proces.waitForFinished(-1);
        return QString::fromLocal8Bit(proces.readAllStandardOutput()).trimmed().split(u' ', Qt::SkipEmptyParts);
    };
    std::printf("%-12s %8s %9s %9s %8s %7s %7s %7s %8s %8s %10s %9s\n", "shape", "file MB", "lines", "floor ms",
                "open ms", "end ms", "key ms", "F6 ms", "save ms", "peak MB", "resize ms", "then MB");
    int vysledek = 0;
    for (const TTvar &tvar : tvary) {
        long velikost, radky;
        {
            const QByteArray bajty = Obsah(tvar);
            QFile soubor(cesta);
            if (!soubor.open(QIODevice::WriteOnly) || soubor.write(bajty) != bajty.size()) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(cesta));
                return 1;
            }
            velikost = long(bajty.size());
            radky = long(bajty.count('\n')) + 1;
        }
        // The floor of a single line without break opportunities is the very
        // fault the window avoids (minutes); it is measured for prose only.
        const QStringList podlaha = tvar.Druh == u"cesky" ? spust(QStringLiteral("--podlaha")) : QStringList{u"-"_s};
        const QStringList okno = spust(QStringLiteral("--okno"));
        const QString nazev = tvar.Druh + u':' + QString::number(tvar.Velikost);
        if (podlaha.size() != 1 || okno.size() != 9) {
            std::fprintf(stderr, "%s: a measurement failed\n", qPrintable(nazev));
            vysledek = 1;
            continue;
        }
        const double p = podlaha[0].toDouble();
        const double otevreni = okno[0].toDouble(), f6 = okno[3].toDouble();
        std::printf("%-12s %8.1f %9ld %9s %8.0f %7.0f %7.0f %7.0f %8.0f %8.0f %10.0f %9.0f%s\n", qPrintable(nazev),
                    velikost / 1e6, radky, qPrintable(podlaha[0]), otevreni, okno[1].toDouble(), okno[2].toDouble(),
                    f6, okno[4].toDouble(), okno[5].toDouble() / 1024.0, okno[7].toDouble(),
                    okno[8].toDouble() / 1024.0,
                    okno[6] == u"1" ? "" : "  SAVED FILE DIFFERS");
        if (p > 0)
            std::printf("%-12s open %.2f x floor, F6 %.2f x floor, peak %.1f x file\n", "", otevreni / p, f6 / p,
                        okno[5].toDouble() * 1024.0 / velikost);
        else
            std::printf("%-12s peak %.1f x file\n", "", okno[5].toDouble() * 1024.0 / velikost);
        if (okno[6] != u"1")
            vysledek = 1;
        std::fflush(stdout);
    }
    return vysledek;
}
