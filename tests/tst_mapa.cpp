// lumarin-convert reads a file's blocks through mmap. A file that another
// program cuts short meanwhile must fail that one file with a message, never
// end the process with SIGBUS nor pass for converted: the views of a file read
// zeros past its new end and say that it changed, and the converter reports
// "The file changed while it was read". A SIGBUS that no view caused still
// ends the process as before. On Windows, where files are read and never
// mapped, only the converter's part means anything.

#include "Chyba.h"
#include "Mapa.h"
#include "Prevod.h"

#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstring>
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

#ifdef Q_OS_WIN
const qint64 Strana = 4096;
#else
const qint64 Strana = ::sysconf(_SC_PAGESIZE);
#endif

// Views are a POSIX matter: Windows reads files (a mapped file cannot even be
// cut short there).
#ifdef Q_OS_WIN
#define BEZ_POHLEDU_NA_WINDOWS QSKIP("files are read, never mapped, on Windows")
#else
#define BEZ_POHLEDU_NA_WINDOWS
#endif

QByteArray Vzorek(qsizetype Delka)
{
    QByteArray b(Delka, Qt::Uninitialized);
    for (qsizetype i = 0; i < Delka; ++i)
        b[i] = char('a' + i % 23);
    return b;
}

// An output that cuts its input file short at its first write: the mark of
// UTF-16 before any block is read, the first block of UTF-8.
class TZkracujici : public TVystupPamet {
public:
    TZkracujici(QString Cesta, qint64 Na) : FCesta(std::move(Cesta)), FNa(Na) { }
    void Zapis(const char *Data, qsizetype Delka) override
    {
        if (Delka > 0 && !bZkraceno) {
#ifdef Q_OS_WIN
            // Another program may, while the converter has the file open.
            QVERIFY(QFile::resize(FCesta, FNa));
#else
            QVERIFY(::truncate(QFile::encodeName(FCesta).constData(), off_t(FNa)) == 0);
#endif
            bZkraceno = true;
        }
        TVystupPamet::Zapis(Data, Delka);
    }

private:
    QString FCesta;
    qint64 FNa;
    bool bZkraceno = false;
};

} // namespace

class TestMapa : public QObject {
    Q_OBJECT
private slots:
    void pohled();
    void zkracenySoubor_data();
    void zkracenySoubor();
    void ciziSigbus();
    void prevodZkracenehoSouboru_data();
    void prevodZkracenehoSouboru();
};

// A view at an offset that is no page's start holds the file's bytes there.
void TestMapa::pohled()
{
    BEZ_POHLEDU_NA_WINDOWS;
    QTemporaryDir slozka;
    QFile soubor(slozka.filePath(u"a.txt"_s));
    const QByteArray obsah = Vzorek(5 * Strana + 123);
    QVERIFY(soubor.open(QIODevice::ReadWrite) && soubor.write(obsah) == obsah.size() && soubor.flush());
    TMapa mapa;
    QVERIFY(mapa.Otevri(int(soubor.handle()), Strana + 7, 3 * Strana));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(mapa.Data()), 3 * Strana), obsah.mid(Strana + 7, 3 * Strana));
    QCOMPARE(mapa.Stav(), TMapa::Cela);
    mapa.Zavri();
    QVERIFY(!mapa.Otevrena());
}

// The file cut short after the view was made: every byte of the view reads
// (the file's bytes, then zeros) and the view says the file changed.
void TestMapa::zkracenySoubor_data()
{
    QTest::addColumn<qint64>("na");
    QTest::newRow("to nothing: every page past the end") << qint64(0);
    QTest::newRow("inside the view's first page") << qint64(Strana + 100);
    QTest::newRow("inside a middle page") << qint64(3 * Strana + 5);
    QTest::newRow("inside the view's last page: no signal at all") << qint64(5 * Strana + 3);
}

void TestMapa::zkracenySoubor()
{
    QFETCH(qint64, na);
    BEZ_POHLEDU_NA_WINDOWS;
    QTemporaryDir slozka;
    QFile soubor(slozka.filePath(u"a.txt"_s));
    const QByteArray obsah = Vzorek(8 * Strana);
    QVERIFY(soubor.open(QIODevice::ReadWrite) && soubor.write(obsah) == obsah.size() && soubor.flush());
    const qint64 od = Strana + 50, delka = 4 * Strana - 40; // pages 1 to 5, ending 10 bytes into page 5
    TMapa mapa;
    QVERIFY(mapa.Otevri(int(soubor.handle()), od, delka));
    QVERIFY(soubor.resize(na));
    QByteArray precteno(reinterpret_cast<const char *>(mapa.Data()), delka);
    QCOMPARE(mapa.Stav(), TMapa::Kratsi);
    const qsizetype platnych = qBound<qint64>(0, na - od, delka);
    QCOMPARE(precteno.left(platnych), obsah.mid(od, platnych));
    QCOMPARE(precteno.mid(platnych), QByteArray(delka - platnych, '\0'));
    mapa.Zavri();
    // Another view of what is left is whole again.
    if (na > 0) {
        QVERIFY(mapa.Otevri(int(soubor.handle()), 0, na));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(mapa.Data()), na), obsah.left(na));
        QCOMPARE(mapa.Stav(), TMapa::Cela);
    }
}

// What the child of ciziSigbus does, in a process of its own (without the
// test framework's handler of crashes): a view, then a fault in a mapping of
// its own past the end of a file.
#ifndef Q_OS_WIN
static int CiziSigbus(const char *Cesta)
{
    // What handled SIGBUS before is the default (a sanitizer's handler
    // would report the fault its own way).
    std::signal(SIGBUS, SIG_DFL);
    const int fd = ::open(Cesta, O_RDWR);
    TMapa mapa; // the handler is in place from the first view on
    if (fd < 0 || !mapa.Otevri(fd, 0, Strana))
        return 3;
    void *cizi = ::mmap(nullptr, size_t(4 * Strana), PROT_READ, MAP_SHARED, fd, 0);
    if (cizi == MAP_FAILED || ::ftruncate(fd, 0) != 0)
        return 4;
    volatile char c = static_cast<const char *>(cizi)[2 * Strana];
    (void)c;
    return 0;
}

// A fault in a mapping that is no view still ends the process with SIGBUS,
// not in a loop nor silently.
#endif

void TestMapa::ciziSigbus()
{
#ifdef Q_OS_WIN
    QSKIP("no SIGBUS on Windows, where files are read, never mapped");
#else
    QTemporaryDir slozka;
    const QByteArray cesta = QFile::encodeName(slozka.filePath(u"a.txt"_s));
    {
        QFile f(QString::fromLocal8Bit(cesta));
        const QByteArray obsah = Vzorek(4 * Strana);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(obsah) == obsah.size());
    }
    const QByteArray program = QFile::encodeName(QCoreApplication::applicationFilePath());
    const pid_t dite = ::fork();
    QVERIFY(dite >= 0);
    if (dite == 0) {
        const char *argumenty[] = {program.constData(), "--cizi-sigbus", cesta.constData(), nullptr};
        ::execv(program.constData(), const_cast<char **>(argumenty));
        ::_exit(127);
    }
    int stav = 0;
    QCOMPARE(::waitpid(dite, &stav, 0), dite);
    QVERIFY2(WIFSIGNALED(stav), qPrintable(u"exit status %1"_s.arg(WEXITSTATUS(stav))));
    QCOMPARE(WTERMSIG(stav), SIGBUS);
#endif
}

// The converter on a file that is cut short while it is read: the file fails
// with the change named, never passes for converted, by either way of
// reading, in blocks one after another (UTF-16) and by two threads (UTF-8).
void TestMapa::prevodZkracenehoSouboru_data()
{
    QTest::addColumn<bool>("mapovat");
    QTest::addColumn<bool>("utf16");
    QTest::addColumn<qint64>("na");
    for (const bool mapovat : {true, false}) {
        const char *jak = mapovat ? "mmap" : "read";
        QTest::addRow("%s, UTF-16, to nothing", jak) << mapovat << true << qint64(0);
        QTest::addRow("%s, UTF-16, inside the third block", jak) << mapovat << true << qint64(2 * 65536 + 301);
        QTest::addRow("%s, UTF-8, to nothing", jak) << mapovat << false << qint64(0);
        QTest::addRow("%s, UTF-8, inside the third block", jak) << mapovat << false << qint64(2 * 65536 + 301);
    }
}

void TestMapa::prevodZkracenehoSouboru()
{
    QFETCH(bool, mapovat);
    QFETCH(bool, utf16);
    QFETCH(qint64, na);
    if (mapovat) {
        BEZ_POHLEDU_NA_WINDOWS;
    }
    QTemporaryDir slozka;
    const QString cesta = slozka.filePath(u"a.txt"_s);
    const QString text = QString(u"Příliš žluťoučký kůň úpěl ďábelské ódy.\n"_s).repeated(30000);
    QByteArray obsah;
    if (utf16) {
        obsah = QByteArray("\xFF\xFE", 2);
        obsah.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    } else {
        obsah = text.toUtf8();
    }
    {
        QFile f(cesta);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(obsah) == obsah.size());
    }
    TNastaveniPrevodu nastaveni;
    nastaveni.Blok = 65536;
    nastaveni.Vlaken = utf16 ? 1 : 2;
    nastaveni.bMapovat = mapovat;
    TPrevodnik prevodnik(nastaveni);
    TZkracujici vystup(cesta, na);
    const std::unique_ptr<TZdroj> zdroj = TZdroj::Otevri(cesta);
    try {
        prevodnik.Preved(*zdroj, vystup, cesta);
        QFAIL(qPrintable(u"a file cut short passed for converted (%1 bytes out)"_s.arg(vystup.Bajty.size())));
    } catch (const EChyba &chyba) {
        QVERIFY2(chyba.Zprava().contains(u"The file changed while it was read"_s), qPrintable(chyba.Zprava()));
        QVERIFY2(chyba.Zprava().contains(QDir::toNativeSeparators(cesta)), qPrintable(chyba.Zprava()));
    }
}

int main(int argc, char *argv[])
{
#ifndef Q_OS_WIN
    if (argc == 3 && std::strcmp(argv[1], "--cizi-sigbus") == 0)
        return CiziSigbus(argv[2]);
#endif
    QCoreApplication aplikace(argc, argv);
    TestMapa test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mapa.moc"
