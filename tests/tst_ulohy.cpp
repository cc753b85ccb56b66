// lumarin-convert with several jobs (-j): over a tree of files, some of which
// fail (missing, not a regular file, binary, unreadable, changed meanwhile,
// named twice), every run says and does byte for byte what one job says and
// does: standard output, standard error, exit status and the files left; a
// standard output that fails midway still ends the run; -j's own usage.

#include "Prostredi.h"
#include "Soubory.h"

#include <QDirIterator>
#include <QProcess>
#include <QtTest>
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QString Program = QStringLiteral(LUMARIN_CONVERT);

struct TBeh {
    int Kod = -1;
    QByteArray Vystup, Chyby;
};

// Runs the converter in folder Slozka (so that its messages name the files
// as the arguments do), with blocks of 4 KB so that a file of a few blocks
// goes through the block threads too; with VystupDo its standard output is
// that file.
TBeh Spust(const QString &Slozka, const QStringList &Argumenty, const QString &VystupDo = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LUMARIN_CONVERT_BLOCK"_s, u"4096"_s);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(Slozka);
    p.setStandardInputFile(QProcess::nullDevice());
    if (!VystupDo.isEmpty())
        p.setStandardOutputFile(VystupDo);
    if (!Spusteno(p, Program, Argumenty)) {
        qWarning("the converter did not start: %s", qPrintable(p.errorString()));
        return {};
    }
    p.waitForFinished(120000);
    TBeh beh;
    beh.Kod = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    beh.Vystup = p.readAllStandardOutput();
    beh.Chyby = p.readAllStandardError();
    return beh;
}

// Czech prose of about Bajtu bytes, different for each Semeno.
QByteArray Text(qsizetype Bajtu, int Semeno)
{
    static const QStringList vety{u"Příliš žluťoučký kůň úpěl ďábelské ódy. "_s,
                                  u"The quick brown fox jumps over the lazy dog.\n"_s,
                                  u"Večer jsme šli s dědečkem k řece.\n"_s, u"Ťukání na dveře přerušilo čtení. "_s};
    QByteArray text;
    for (int i = Semeno; text.size() < Bajtu; ++i)
        text += vety.at(i % vety.size()).toUtf8();
    return text;
}

// Every regular file below Koren with its bytes.
QMap<QString, QByteArray> Obsah(const QString &Koren)
{
    QMap<QString, QByteArray> obsah;
    QDirIterator it(Koren, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString cesta = it.next();
        if (QFileInfo(cesta).isFile())
            obsah.insert(QDir(Koren).relativeFilePath(cesta), Precti(cesta));
    }
    return obsah;
}

// The tree that every run converts: a large file first, which finishes last
// with several jobs; forty files of a few blocks; files with nothing to
// convert, a binary one, windows-1250 and UTF-16; on POSIX a named pipe, a
// second name (hard link) of one of the forty, and where the tests do not
// run as root (who reads anything) a file that cannot be read.
void Strom(const QString &Koren)
{
    Zapis(Koren + u"/a-velky.txt"_s, Text(3 << 20, 0));
    for (int i = 0; i < 40; ++i)
        Zapis(Koren + u"/b/%1.txt"_s.arg(i, 2, 10, QChar(u'0')), Text(997 * i, i));
    Zapis(Koren + u"/b/prosty.txt"_s, "nothing to convert here\n");
    Zapis(Koren + u"/b/binarni.dat"_s, "\xC4\x8D\0\x01\x02");
    Zapis(Koren + u"/c/1250.txt"_s, "\xE8\x61j a k\xE1va\r\n");
    Zapis(Koren + u"/c/utf16.txt"_s, QByteArray("\xFF\xFE", 2) + QByteArray("\x0D\x01j\0", 4));
#ifndef Q_OS_WIN
    QVERIFY(::mkfifo(KodujCestu(Koren + u"/c/roura"_s).constData(), 0644) == 0);
    QVERIFY(::link(KodujCestu(Koren + u"/b/05.txt"_s).constData(), KodujCestu(Koren + u"/c/odkaz.txt"_s).constData()) ==
            0);
    if (::geteuid() != 0) {
        Zapis(Koren + u"/c/necitelny.txt"_s, "čaj");
        QVERIFY(::chmod(KodujCestu(Koren + u"/c/necitelny.txt"_s).constData(), 0) == 0);
    }
#endif
}

} // namespace

class TestUlohy : public QObject {
    Q_OBJECT
private slots:
    void init();
    void jakoJednaUloha_data();
    void jakoJednaUloha();
    void zmenenySoubor();
    void chybaVystupuUkonci_data();
    void chybaVystupuUkonci();
    void pouziti_data();
    void pouziti();
    void dlouheCesty();

private:
    std::unique_ptr<TProstredi> Prostredi;
};

void TestUlohy::init()
{
    Prostredi = std::make_unique<TProstredi>();
}

void TestUlohy::jakoJednaUloha_data()
{
    QTest::addColumn<QStringList>("Argumenty");
    const QStringList vse{u"a-velky.txt"_s, u"b"_s, u"c"_s, u"chybi.txt"_s};
    QTest::newRow("--check -r") << QStringList{u"--check"_s, u"-r"_s} + vse;
    QTest::newRow("--check -v") << QStringList{u"--check"_s, u"-v"_s, u"-r"_s} + vse;
    QTest::newRow("-i -r") << QStringList{u"-i"_s, u"-r"_s} + vse;
    QTest::newRow("-i -r -v --crlf") << QStringList{u"-i"_s, u"-r"_s, u"-v"_s, u"--crlf"_s} + vse;
    // The same file under two names, and twice under one: the second
    // finds it converted. A folder named without -r, a binary file named.
    QTest::newRow("-i named") << QStringList{
        u"-i"_s,          u"-v"_s,       u"b/05.txt"_s,       u"c/odkaz.txt"_s, u"b/07.txt"_s,
        u"b/07.txt"_s,    u"b/07.txt"_s, u"b/binarni.dat"_s,  u"c"_s,           u"a-velky.txt"_s,
        u"a-velky.txt"_s, u"c/roura"_s,  u"c/necitelny.txt"_s};
    QTest::newRow("-i --pairs") << QStringList{u"-i"_s, u"-r"_s, u"--pairs"_s, u"aeiouě"_s, u"AEIOU"_s} + vse;
}

// The same tree converted by one job, by four and by as many as there are
// cores: the same lines in the same order, the same status, the same files.
void TestUlohy::jakoJednaUloha()
{
    QFETCH(QStringList, Argumenty);
    const QStringList tabulka = Argumenty.contains(u"--pairs"_s) ? QStringList() : QStringList{u"--default-table"_s};
    const QString jedna = Prostredi->Cesta(u"j1"_s);
    Strom(jedna);
    const QMap<QString, QByteArray> puvodni = Obsah(jedna);
    const TBeh vzor = Spust(jedna, tabulka + QStringList{u"-j"_s, u"1"_s} + Argumenty);
    // One job as the converter has always worked: some files fail, others
    // are converted or listed in the order of their names (with --check, a
    // file that cannot be checked is trouble: 2).
    // The messages name the files with the system's separators.
    const auto nativni = [](const QString &Cesta) { return QDir::toNativeSeparators(Cesta).toUtf8(); };
    QCOMPARE(vzor.Kod, Argumenty.contains(u"--check"_s) ? 2 : 1);
    QVERIFY2(vzor.Chyby.contains("chybi.txt") || vzor.Chyby.contains(nativni(u"c/roura"_s)), vzor.Chyby.constData());
    if (Argumenty.contains(u"--check"_s)) {
        QVERIFY(vzor.Vystup.startsWith("a-velky.txt: "));
        QVERIFY2(vzor.Vystup.contains(nativni(u"b/39.txt: "_s)), vzor.Vystup.constData());
        QCOMPARE(Obsah(jedna), puvodni);
    } else {
        QVERIFY(Obsah(jedna) != puvodni);
    }

    for (const QStringList &uloh : {QStringList{u"-j"_s, u"4"_s}, QStringList{u"--jobs=3"_s}, QStringList()}) {
        const QString slozka = Prostredi->Cesta(u"j"_s + uloh.join(QString()));
        Strom(slozka);
        const TBeh beh = Spust(slozka, tabulka + uloh + Argumenty);
        QCOMPARE(beh.Vystup, vzor.Vystup);
        QCOMPARE(beh.Chyby, vzor.Chyby);
        QCOMPARE(beh.Kod, vzor.Kod);
        QCOMPARE(Obsah(slozka), Obsah(jedna));
    }
}

// A file changed just before its converted text would replace it fails and
// keeps the change, with several jobs as with one, while the files around it
// are looked at at the same time.
void TestUlohy::zmenenySoubor()
{
#ifdef Q_OS_WIN
    QSKIP("the converter is held still with SIGSTOP, which only POSIX has");
#else
    for (const QByteArray uloh : {"1", "4"}) {
        const QString slozka = Prostredi->Cesta(u"z"_s + QString::fromLatin1(uloh));
        for (int i = 0; i < 20; ++i)
            Zapis(slozka + u"/%1.txt"_s.arg(i, 2, 10, QChar(u'0')), "plain text, nothing to convert\n");
        const QByteArray text = Text(50000, 3);
        Zapis(slozka + u"/10.txt"_s, text);
        // The only file written stops the converter just before it replaces
        // it (LUMARIN_CONVERT_STOP=replace), and is changed meanwhile.
        QByteArrayList argv{KodujCestu(Program), "--default-table", "-i", "-r", "-j", uloh, "."};
        QByteArrayList prostredi;
        for (const QString &p : QProcessEnvironment::systemEnvironment().toStringList())
            if (!p.startsWith(u"LUMARIN_CONVERT_"_s))
                prostredi << p.toLocal8Bit();
        prostredi << "LUMARIN_CONVERT_STOP=replace"
                  << "LUMARIN_CONVERT_BLOCK=4096";
        std::vector<char *> a, e;
        for (QByteArray &x : argv)
            a.push_back(x.data());
        a.push_back(nullptr);
        for (QByteArray &x : prostredi)
            e.push_back(x.data());
        e.push_back(nullptr);
        const QByteArray adresar = KodujCestu(slozka), chyby = KodujCestu(Prostredi->Cesta(u"chyby"_s));
        const pid_t dite = ::fork();
        QVERIFY(dite >= 0);
        if (dite == 0) {
            const int fd = ::open(chyby.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (::chdir(adresar.constData()) != 0 || fd < 0 || ::dup2(fd, 2) < 0)
                ::_exit(98);
            ::execve(a[0], a.data(), e.data());
            ::_exit(97);
        }
        int stav = 0, zastaveni = 0;
        while (::waitpid(dite, &stav, WUNTRACED) == dite && WIFSTOPPED(stav)) {
            ++zastaveni;
            const int fd = ::open(KodujCestu(slozka + u"/10.txt"_s).constData(), O_WRONLY | O_APPEND);
            QVERIFY(fd >= 0 && ::write(fd, "x", 1) == 1 && ::close(fd) == 0);
            ::kill(dite, SIGCONT);
        }
        QVERIFY(WIFEXITED(stav));
        QCOMPARE(WEXITSTATUS(stav), 1);
        QCOMPARE(zastaveni, 1);
        QCOMPARE(Precti(Prostredi->Cesta(u"chyby"_s)),
                 QByteArray("lumarin-convert: ./10.txt: The file changed while it was read\n"));
        QCOMPARE(Precti(slozka + u"/10.txt"_s), text + "x");
    }
#endif
}

void TestUlohy::chybaVystupuUkonci_data()
{
    QTest::addColumn<QString>("Uloh");
    QTest::newRow("-j 1") << u"1"_s;
    QTest::newRow("-j 4") << u"4"_s;
}

// Standard output that cannot take the second file's text (beyond the file
// size limit) ends the run: the first file's text stays, the second's is
// taken back, and no later file is converted or named.
void TestUlohy::chybaVystupuUkonci()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no file size limit of a process");
#else
    QFETCH(QString, Uloh);
    const QString slozka = Prostredi->Cesta(u"v"_s);
    Zapis(slozka + u"/a.txt"_s, "čaj\n");
    Zapis(slozka + u"/b.txt"_s, Text(300000, 1));
    Zapis(slozka + u"/c.txt"_s, "čaj\n");
    const QString vystup = Prostredi->Cesta(u"vystup"_s);
    TBeh beh;
    {
        TLimitVelikosti limit(100000);
        QVERIFY(limit.bNastaven);
        beh = Spust(slozka, {u"--default-table"_s, u"-j"_s, Uloh, u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"chybi.txt"_s},
                    vystup);
    }
    QCOMPARE(beh.Chyby, QByteArray("lumarin-convert: standard output: File too large\n"));
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(Precti(vystup), QByteArray("caj\n"));
#endif
}

void TestUlohy::pouziti_data()
{
    QTest::addColumn<QStringList>("Argumenty");
    QTest::addColumn<int>("Kod");
    QTest::addColumn<QByteArray>("Chyby");
    const QByteArray zkus = "\nTry 'lumarin-convert --help' for more information.\n";
    QTest::newRow("-j 2") << QStringList{u"-j"_s, u"2"_s} << 0 << QByteArray();
    QTest::newRow("-j2") << QStringList{u"-j2"_s} << 0 << QByteArray();
    QTest::newRow("-rj2") << QStringList{u"-rj2"_s} << 0 << QByteArray();
    QTest::newRow("--jobs 2") << QStringList{u"--jobs"_s, u"2"_s} << 0 << QByteArray();
    QTest::newRow("--jobs=2") << QStringList{u"--jobs=2"_s} << 0 << QByteArray();
    QTest::newRow("-j 0") << QStringList{u"-j"_s, u"0"_s} << 2 << "lumarin-convert: invalid number of jobs '0'" + zkus;
    QTest::newRow("--jobs=-3") << QStringList{u"--jobs=-3"_s} << 2
                               << "lumarin-convert: invalid number of jobs '-3'" + zkus;
    QTest::newRow("-j a") << QStringList{u"-j"_s, u"a"_s} << 2 << "lumarin-convert: invalid number of jobs 'a'" + zkus;
    QTest::newRow("-j") << QStringList{u"-j"_s} << 2 << "lumarin-convert: option requires an argument -- 'j'" + zkus;
    QTest::newRow("--jobs") << QStringList{u"--jobs"_s} << 2
                            << "lumarin-convert: option '--jobs' requires an argument" + zkus;
}

// -j and --jobs take a whole number from 1 on, in every form an option of one
// value takes; with no file, standard input is converted.
void TestUlohy::pouziti()
{
    QFETCH(QStringList, Argumenty);
    QFETCH(int, Kod);
    QFETCH(QByteArray, Chyby);
    QProcess p;
    p.start(Program, QStringList{u"--default-table"_s} + Argumenty);
    QVERIFY2(p.waitForStarted(), qPrintable(p.errorString()));
    p.write(Utf8Soubor(u"čaj"_s));
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.readAllStandardError(), Chyby);
    QCOMPARE(p.exitCode(), Kod);
    QCOMPARE(p.readAllStandardOutput(), Kod == 0 ? Utf8Soubor(u"caj"_s) : QByteArray());
}

#ifndef Q_OS_WIN
namespace {

constexpr int Hloubka = 22; // folders of 200 bytes: a path beyond PATH_MAX (4096)

QByteArray Clanek(int i)
{
    return (i % 2 ? "b" : "c") + QByteArray(199, 'x');
}

// Removes what StromDlouhych made: from the deepest folder up, by
// descriptors, since no path reaches it.
void SmazDlouhe(const QString &Koren)
{
    int fd = ::open(KodujCestu(Koren).constData(), O_RDONLY | O_DIRECTORY);
    QList<int> cesta{fd};
    for (int i = 0; i < Hloubka && fd >= 0; ++i)
        cesta << (fd = ::openat(fd, Clanek(i).constData(), O_RDONLY | O_DIRECTORY));
    for (int i = Hloubka; i >= 0; --i) {
        if (cesta.value(i, -1) < 0)
            continue;
        for (int f = 0; f < 30; ++f)
            ::unlinkat(cesta[i], QByteArray("f%1.txt").replace("%1", QByteArray::number(f)).constData(), 0);
        if (i < Hloubka)
            ::unlinkat(cesta[i], Clanek(i).constData(), AT_REMOVEDIR);
        ::close(cesta[i]);
    }
}

// Files at every depth of a chain of folders that goes beyond PATH_MAX, and
// thirty at its bottom, whose writing moves the working folder.
void StromDlouhych(const QString &Koren)
{
    VytvorSlozku(Koren);
    int fd = ::open(KodujCestu(Koren).constData(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i <= Hloubka; ++i) {
        for (int f = 0; f < (i == Hloubka ? 30 : 1); ++f) {
            const int soubor = ::openat(fd, QByteArray("f" + QByteArray::number(f) + ".txt").constData(),
                                        O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const QByteArray text = Text(3000 + 100 * f, i + f);
            QVERIFY(soubor >= 0 && ::write(soubor, text.constData(), size_t(text.size())) == text.size());
            ::close(soubor);
        }
        if (i == Hloubka)
            break;
        QVERIFY(::mkdirat(fd, Clanek(i).constData(), 0755) == 0);
        const int dalsi = ::openat(fd, Clanek(i).constData(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = dalsi;
        QVERIFY(fd >= 0);
    }
    ::close(fd);
}

// The words of every file below Koren (each file's first 40 bytes), in
// the order -r walks them.
QByteArray Zacatky(const QString &Koren)
{
    QByteArray vse;
    int fd = ::open(KodujCestu(Koren).constData(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i <= Hloubka && fd >= 0; ++i) {
        for (int f = 0; f < (i == Hloubka ? 30 : 1); ++f) {
            const int soubor = ::openat(fd, QByteArray("f" + QByteArray::number(f) + ".txt").constData(), O_RDONLY);
            char zacatek[40];
            vse += soubor >= 0 ? QByteArray(zacatek, ::read(soubor, zacatek, sizeof zacatek)) : "<missing>";
            vse += '\n';
            ::close(soubor);
        }
        const int dalsi = i < Hloubka ? ::openat(fd, Clanek(i).constData(), O_RDONLY | O_DIRECTORY) : -1;
        ::close(fd);
        fd = dalsi;
    }
    return vse;
}

} // namespace
#endif

// Files whose paths go beyond PATH_MAX are written from within their folder
// (the working folder moves there meanwhile): with several jobs, no other
// file is opened by its relative path at that time, and every file comes out
// as with one job.
void TestUlohy::dlouheCesty()
{
#ifdef Q_OS_WIN
    QSKIP("only POSIX moves the working folder for a long path");
#else
    QByteArray vzor;
    TBeh prvni;
    for (const QString &uloh : {u"1"_s, u"4"_s}) {
        const QString koren = Prostredi->Cesta(u"d"_s + uloh);
        StromDlouhych(koren + u"/d"_s);
        const auto smazat = qScopeGuard([&] { SmazDlouhe(koren + u"/d"_s); });
        const TBeh beh = Spust(koren, {u"--default-table"_s, u"-v"_s, u"-r"_s, u"-i"_s, u"-j"_s, uloh, u"d"_s});
        const QByteArray zacatky = Zacatky(koren + u"/d"_s);
        QCOMPARE(beh.Kod, 0);
        QVERIFY(!zacatky.contains("<missing>"));
        // Converted, each in its place: no letter with a mark is left, and
        // nothing was written in the working folder instead.
        QVERIFY(std::none_of(zacatky.cbegin(), zacatky.cend(), [](char c) { return uchar(c) >= 0x80; }));
        QCOMPARE(QDir(koren).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{u"d"_s});
        if (uloh == u"1") {
            vzor = zacatky;
            prvni = beh;
        } else {
            QCOMPARE(zacatky, vzor);
            QCOMPARE(beh.Chyby, prvni.Chyby);
        }
    }
#endif
}

QTEST_MAIN(TestUlohy)
#include "tst_ulohy.moc"
