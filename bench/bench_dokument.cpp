// A 20 MB UTF-8 Czech text file (about 300,000 lines) in the real window on
// the offscreen platform: open, F6 and save, each timed, against the toolkit's
// own floor, a bare QPlainTextEdit::setPlainText of the same text. Prints the
// figures and the peak memory of the process.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_dokument [megabytes]

#include "Aplikace.h"
#include "CeskyText.h"
#include "Dialogy.h"
#include "Memo.h"
#include "fHlavni.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

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

} // namespace

// Each measurement runs in a process of its own, so that the peak memory is
// the window's alone, not the test file's generation or the floor's.
int main(int argc, char *argv[])
{
    TSluzby sluzby;
    QApplication aplikace(argc, argv);
    const QStringList argumenty = QApplication::arguments();

    if (argumenty.size() == 3 && argumenty[1] == u"--podlaha") {
        QFile soubor(argumenty[2]);
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
    if (argumenty.size() == 3 && argumenty[1] == u"--okno") {
        auto dialog = std::make_unique<TDialogSouboru>();
        dialog->Cesta = argumenty[2];
        NastavDialogy(std::move(dialog));
        TFormy formy;
        THlavniForm *okno = formy.HlavniForm;
        okno->show();
        QApplication::processEvents();
        const double otevreni = Zmer([&] { okno->aOtevrit->trigger(); });
        const double f6 = Zmer([&] { okno->aOdstranitDiakritiku->trigger(); });
        const double ulozeni = Zmer([&] { okno->aUlozit->trigger(); });
        std::printf("%.1f %.1f %.1f %ld\n", otevreni, f6, ulozeni, SpickaPametiKB());
        return 0;
    }

    const int megabajty = argumenty.size() > 1 ? argumenty[1].toInt() : 20;
    QTemporaryDir slozka;
    const QString cesta = slozka.filePath(QStringLiteral("velky.txt"));
    long velikost, radky;
    {
        QByteArray bajty = CeskyText(qsizetype(megabajty) * 1000 * 1000, QStringLiteral("\r\n"), 1).toUtf8();
        bajty.truncate(qsizetype(megabajty) * 1000 * 1000);
        // Ends on a whole character.
        while (!bajty.isEmpty() && (uchar(bajty.back()) & 0xC0) == 0x80)
            bajty.chop(1);
        if (!bajty.isEmpty() && uchar(bajty.back()) >= 0xC0)
            bajty.chop(1);
        QFile soubor(cesta);
        if (!soubor.open(QIODevice::WriteOnly) || soubor.write(bajty) != bajty.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(cesta));
            return 1;
        }
        velikost = long(bajty.size());
        radky = long(bajty.count('\n'));
    }

    const auto spust = [&](const QString &rezim) {
        QProcess proces;
        proces.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proces.start(QApplication::applicationFilePath(), {rezim, cesta});
        proces.waitForFinished(-1);
        return QString::fromLocal8Bit(proces.readAllStandardOutput()).split(u' ', Qt::SkipEmptyParts);
    };
    const QStringList podlaha = spust(QStringLiteral("--podlaha"));
    const QStringList okno = spust(QStringLiteral("--okno"));
    if (podlaha.size() != 1 || okno.size() != 4) {
        std::fprintf(stderr, "a measurement failed\n");
        return 1;
    }
    const double p = podlaha[0].toDouble();
    std::printf("file: %.1f MB, %ld lines\n", velikost / 1e6, radky);
    std::printf("floor (bare setPlainText): %8.0f ms\n", p);
    std::printf("open:                      %8.0f ms  (%.2f x floor)\n", okno[0].toDouble(), okno[0].toDouble() / p);
    std::printf("F6:                        %8.0f ms  (%.2f x floor)\n", okno[1].toDouble(), okno[1].toDouble() / p);
    std::printf("save:                      %8.0f ms\n", okno[2].toDouble());
    std::printf("peak memory of the window: %.0f MB (%.1f x file size)\n", okno[3].toDouble() / 1024.0,
                okno[3].toDouble() * 1024.0 / velikost);
    return 0;
}
