// Hostile input that the program refuses rather than follows: language files
// that would expand to gigabytes or hold the parser for minutes, a settings
// file of hundreds of megabytes, and a file far larger than lumarin-convert
// may hold. Each case is the smallest input that shows it. (Inputs that the fuzz targets of tests/fuzz found to break a
// reader also belong here, each with its smallest input.)

#include "JazykyXML.h"
#include "KodovaStranka.h"
#include "Registr.h"
#include "Soubory.h"
#include "TestovaciOkno.h"
#include "XMLDokument.h"

#include <QDir>
#include <QtTest>
#include <functional>
#ifdef Q_OS_WIN
#include <QProcess>
// Komponenty.h has a MulDiv of its own.
#define MulDiv MulDiv_Windows
#include <windows.h>
#undef MulDiv
#define PSAPI_VERSION 2 // K32GetProcessMemoryInfo, in kernel32 itself
#include <psapi.h>
#else
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;
#endif

using namespace Qt::StringLiterals;

namespace {

// The message of the EChyba that Akce throws; empty when none.
QString Chyba(const std::function<void()> &Akce)
{
    try {
        Akce();
    } catch (const EChyba &chyba) {
        return chyba.Zprava();
    }
    return {};
}

// Puts the language file in the working folder, where the program looks.
void ZapisTrelo(const QByteArray &Obsah)
{
    Zapis(u"trelo.xml"_s, Obsah);
}

QByteArray Opakuj(const QByteArray &Kus, int Kolikrat)
{
    return Kus.repeated(Kolikrat);
}

// "Billion laughs": ten entities, each ten of the one before, a 3-letter
// text at the bottom: 3 * 10^9 characters from under a kilobyte.
QByteArray MiliardaSmichu()
{
    QByteArray dtd = "<!ENTITY l0 \"lol\">\n";
    for (int i = 1; i <= 9; ++i)
        dtd +=
            "<!ENTITY l" + QByteArray::number(i) + " \"" + Opakuj("&l" + QByteArray::number(i - 1) + ";", 10) + "\">\n";
    return "<?xml version=\"1.0\"?>\n<!DOCTYPE trelo [\n" + dtd +
        "]>\n<trelo><Obecne><rsCHYBA><CZ>&l9;</CZ>"
        "</rsCHYBA></Obecne></trelo>\n";
}

// One entity of 4,000 characters, referred to 100,000 times (300 kB): 400
// million characters, each reference under the parser's limit for one.
QByteArray KvadratickeRozsireni()
{
    return "<?xml version=\"1.0\"?>\n<!DOCTYPE trelo [<!ENTITY e \"" + QByteArray(4000, 'x') +
        "\">]>\n<trelo><Obecne><rsCHYBA><CZ>" + Opakuj("&e;", 100000) + "</CZ></rsCHYBA></Obecne></trelo>\n";
}

#ifndef Q_OS_WIN
// Runs a command line through the shell: its exit status, -1 when it did not
// end on its own.
int Spust(const QString &Prikaz)
{
    const QByteArray prikaz = Prikaz.toUtf8();
    const char *argumenty[] = {"/bin/sh", "-c", prikaz.constData(), nullptr};
    pid_t pid;
    if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char **>(argumenty), environ) != 0)
        return -1;
    int stav = 0;
    if (::waitpid(pid, &stav, 0) != pid)
        return -1;
    return WIFEXITED(stav) ? WEXITSTATUS(stav) : -1;
}
#endif

} // namespace

class TestNalezy : public QObject {
    Q_OBJECT
private slots:
    void jazykovaBomba_data();
    void jazykovaBomba();
    void jazykNaMezi();
    void bombaVOkne();
    void obrovskeNastaveni_data();
    void obrovskeNastaveni();
    void obrovskeNastaveniVOkne();
#ifdef LUMARIN_PREVODNIK
    void obrovskySouborPrevodniku_data();
    void obrovskySouborPrevodniku();
#endif
};

// Refused before it is parsed, with the reason and where it stands, as a file
// that cannot be parsed is; without the refusal each took the parser minutes
// or gigabytes.
void TestNalezy::jazykovaBomba_data()
{
    QTest::addColumn<QByteArray>("obsah");
    QTest::addColumn<QString>("chyba"); // a regular expression

    QTest::newRow("billion laughs") << MiliardaSmichu() << u"Line 3, column 1: The file declares entities"_s;
    QTest::newRow("a long entity many times") << KvadratickeRozsireni() << u"Line 2, column 18: .*entities"_s;
    QTest::newRow("an entity in windows-1250")
        << "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\n<!DOCTYPE t [<!ENTITY \xE8 \"x\">]><t/>"_ba
        << u"entities"_s;
    QTest::newRow("an entity in UTF-16") << [] {
        const QString text = u"<!DOCTYPE t [<!ENTITY e \"x\">]><t/>"_s;
        QByteArray b("\xFF\xFE");
        for (const QChar c : text)
            b += char(c.unicode() & 0xFF), b += char(c.unicode() >> 8);
        return b;
    }() << u"entities"_s;
    QTest::newRow("100,000 levels") << Opakuj("<a>", 100000) + Opakuj("</a>", 100000)
                                    << u"Line 1, column 193: Elements are nested more than 64 deep"_s;
    QTest::newRow("100,000 levels never closed") << Opakuj("<a>\n", 100000) << u"Line 65, column 1: .*64 deep"_s;
    QTest::newRow("50,000 attributes") << [] {
        QByteArray b = "<trelo";
        for (int i = 0; i < 50000; ++i)
            b += " a" + QByteArray::number(i) + "=''";
        return b + "/>";
    }() << u"Line 1, column 1: An element has more than 32 attributes"_s;
    QTest::newRow("300,000 elements") << "<t>" + Opakuj("<a/>", 300000) + "</t>"
                                      << u"more than 200000 elements, comments and other nodes"_s;
    QTest::newRow("300,000 comments") << "<t>" + Opakuj("<!---->", 300000) + "</t>"
                                      << u"more than 200000 elements, comments and other nodes"_s;
}

void TestNalezy::jazykovaBomba()
{
    QFETCH(QByteArray, obsah);
    QFETCH(QString, chyba);
    TProstredi prostredi;
    ZapisTrelo(obsah);
    TXMLDokument dokument;
    const QString zprava = Chyba([&] { dokument.Aktivuj(); });
    QVERIFY2(zprava.startsWith(u"Cannot load file \"trelo.xml\". Line "_s), qPrintable(zprava));
    QVERIFY2(zprava.contains(QRegularExpression(chyba)), qPrintable(zprava));
    QVERIFY(!dokument.Aktivni());
}

// What a language file may hold stays allowed: a document type without
// entities, the predefined entities and character references, elements 64
// deep, 32 attributes, and whatever markup comments and CDATA hold.
void TestNalezy::jazykNaMezi()
{
    TProstredi prostredi;
    QByteArray atributy;
    for (int i = 0; i < 32; ++i)
        atributy += " a" + QByteArray::number(i) + "=\"=\"";
    // 64 levels with the root.
    const QByteArray hluboko = Opakuj("<h>", 63) + Opakuj("</h>", 63);
    ZapisTrelo("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE trelo>\n<trelo" + atributy +
               ">\n<!-- <!ENTITY in a comment> <a><a><a> -->\n"
               "<JAZYKY><CZ index=\"0\"><N>x</N><V>1</V><A>y</A></CZ></JAZYKY>\n"
               "<Obecne><rsCHYBA><CZ>&lt;Chyba&gt; &#x10D;</CZ></rsCHYBA>"
               "<rsJINA><CZ><![CDATA[<!ENTITY x \"y\"> <a a='1' b='2'>]]></CZ></rsJINA></Obecne>\n" +
               hluboko + "\n</trelo>\n");
    TXMLDokument dokument;
    TJazykXML jazyk;
    jazyk.NastavDokument(&dokument);
    dokument.Aktivuj();
    QCOMPARE(jazyk.Retezec(u"Obecne"_s, u"rsCHYBA"_s, u"?"_s), u"<Chyba> č"_s);
    QCOMPARE(jazyk.Retezec(u"Obecne"_s, u"rsJINA"_s, u"?"_s), u"<!ENTITY x \"y\"> <a a='1' b='2'>"_s);
    QCOMPARE(jazyk.IndexJazyka(), 0);
}

// The window that finds a bomb as its language file says so when it is
// shown, keeps its own texts and goes on working.
void TestNalezy::bombaVOkne()
{
    TTestovaciOkno O([] { ZapisTrelo(MiliardaSmichu()); });
    O.Okno->show();
    QCOMPARE(O.Prostredi.Dialogy.size(), 1);
    QVERIFY2(O.Prostredi.Dialogy[0].Text.contains(u"The file declares entities"),
             qPrintable(O.Prostredi.Dialogy[0].Text));
    QCOMPARE(O.Okno->aNovy->text(), u"Nový"_s);
}

// A settings file far beyond what settings take is damaged: told by its size
// before anything of it is read (a file of 17 MiB that is good JSON is
// refused too), moved aside whole, and the next change starts a new file.
void TestNalezy::obrovskeNastaveni_data()
{
    QTest::addColumn<qint64>("velikost");
    QTest::addColumn<bool>("json"); // good JSON up to its size, else a sparse file of nothing
    QTest::newRow("300 MB of nothing") << qint64(300'000'000) << false;
    QTest::newRow("17 MiB of good JSON") << qint64(17 << 20) << true;
    QTest::newRow("16 MiB of good JSON") << qint64(16 << 20) << true;
}

void TestNalezy::obrovskeNastaveni()
{
    QFETCH(qint64, velikost);
    QFETCH(bool, json);
#ifdef Q_OS_WIN
    QSKIP("the settings are the registry on Windows, not a file");
#else
    TProstredi prostredi;
    const QString slozka = prostredi.Docasna.filePath(u"config/VELOR"_s);
    const QString soubor = slozka + u"/Lumarin.json"_s;
    qint64 delkaTextu = 0;
    if (json) {
        const QByteArray zacatek =
            R"({"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin": {"Jazyk": {"type": "REG_SZ", "data": ")";
        const QByteArray konec = "\"}}}\n";
        Zapis(soubor, zacatek + QByteArray(velikost - zacatek.size() - konec.size(), 'x') + konec);
        delkaTextu = velikost - zacatek.size() - konec.size();
    } else {
        Zapis(soubor, {});
        QCOMPARE(::truncate(KodujCestu(soubor).constData(), off_t(velikost)), 0);
    }
    QCOMPARE(QFileInfo(soubor).size(), velikost);

    TRegistr registr;
    QString zprava;
    try {
        registr.OtevriKlic(u"\\Software\\VELOR\\Lumarin"_s, false);
        QCOMPARE(registr.CtiRetezec(u"Jazyk"_s).size(), delkaTextu);
    } catch (const ERegistr &chyba) {
        zprava = chyba.Zprava();
    }
    if (velikost <= 16 << 20) {
        QCOMPARE(zprava, QString());
        return;
    }
    QVERIFY2(zprava.startsWith(u"The settings file \"%1\" is damaged: it is %2 bytes long"_s.arg(soubor).arg(velikost)),
             qPrintable(zprava));
    const QStringList odlozene = QDir(slozka).entryList({u"Lumarin.json.damaged-*"_s}, QDir::Files);
    QCOMPARE(odlozene.size(), 1);
    QVERIFY2(zprava.endsWith(u". It was moved to \"%1/%2\""_s.arg(slozka, odlozene[0])), qPrintable(zprava));
    QCOMPARE(QFileInfo(slozka + u'/' + odlozene[0]).size(), velikost);
    QVERIFY(!QFileInfo::exists(soubor));

    QVERIFY(registr.OtevriKlic(u"\\Software\\VELOR\\Lumarin"_s, true));
    registr.ZapisRetezec(u"Jazyk"_s, u"EN"_s);
    QVERIFY(QFileInfo(soubor).size() < 1000);
#endif
}

// The window that finds such a file says so once and starts on its defaults.
void TestNalezy::obrovskeNastaveniVOkne()
{
#ifdef Q_OS_WIN
    QSKIP("the settings are the registry on Windows, not a file");
#else
    TTestovaciOkno O([] {
        const QString soubor = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + u"/VELOR/Lumarin.json"_s;
        Zapis(soubor, {});
        QCOMPARE(::truncate(KodujCestu(soubor).constData(), off_t(500'000'000)), 0);
    });
    QCOMPARE(O.Prostredi.Dialogy.size(), 1);
    QVERIFY2(O.Prostredi.Dialogy[0].Text.contains(u"is damaged: it is 500000000 bytes long"),
             qPrintable(O.Prostredi.Dialogy[0].Text));
    QCOMPARE(JazykXML->Jazyk(), u"CZ"_s);
#endif
}

#ifdef LUMARIN_PREVODNIK
// lumarin-convert never holds a whole file: a text of 256 MiB (most of it a
// hole in the file, which reads as NUL bytes) is converted in less than 64 MiB
// of memory, read from a file or a pipe, to standard output, to another file,
// in place, or only counted. The converted file is checked at its start and
// end, where the first and the last block went.
void TestNalezy::obrovskySouborPrevodniku_data()
{
    // {p} the converter (its memory taken), {f} the file, {o} another file;
    // the file whose end is checked afterwards, if any.
    QTest::addColumn<QString>("prikaz");
    QTest::addColumn<int>("stav");
    QTest::addColumn<QString>("vysledek");
    QTest::newRow("to standard output") << u"{p} --binary {f} > {o}"_s << 0 << u"{o}"_s;
    QTest::newRow("from a pipe") << u"cat {f} | {p} --binary > /dev/null"_s << 0 << QString();
    QTest::newRow("--check") << u"{p} --binary --check {f}"_s << 1 << QString();
    QTest::newRow("-o") << u"{p} --binary -o {o} {f}"_s << 0 << u"{o}"_s;
    QTest::newRow("-i") << u"{p} --binary -i {f}"_s << 0 << u"{f}"_s;
}

#ifdef Q_OS_WIN
// Windows: the same routes, the converter started by the test itself and its
// peak of private memory read through its process handle; a pipe is another
// converter with an empty table, which passes the bytes on as they are.
void TestNalezy::obrovskySouborPrevodniku()
{
    QFETCH(QString, prikaz);
    QFETCH(int, stav);
    QFETCH(QString, vysledek);
    TProstredi prostredi;
    const qint64 velikost = qint64(256) << 20;
    QByteArray text;
    QVERIFY(ZakodujOsmibitove(u"Příliš žluťoučký kůň úpěl ďábelské ódy.\r\n"_s.repeated(400), text));
    const QByteArray prevedeny = "Prilis zlutoucky kun upel dabelske ody.\r\n"_ba.repeated(400);
    const QString soubor = prostredi.Cesta(u"velky.txt"_s), vystup = prostredi.Cesta(u"vystup.txt"_s);
    Zapis(soubor, text);
    QVERIFY(QFile::resize(soubor, velikost));
    {
        QFile konec(soubor);
        QVERIFY(konec.open(QIODevice::Append));
        QCOMPARE(konec.write(text), text.size());
    }
    const QString program = QStringLiteral(LUMARIN_PREVODNIK);
    QStringList argumenty{u"--binary"_s};
    QProcess zdroj, p;
    p.setStandardOutputFile(QProcess::nullDevice());
    if (prikaz.startsWith(u"cat")) {
        zdroj.setStandardInputFile(soubor);
        zdroj.setStandardOutputProcess(&p);
        zdroj.start(program, {u"--binary"_s, u"--pairs"_s, QString(), QString()});
        QVERIFY(zdroj.waitForStarted());
    } else if (prikaz.contains(u"--check"_s)) {
        argumenty << u"--check"_s << soubor;
    } else if (prikaz.contains(u"-o"_s)) {
        argumenty << u"-o"_s << vystup << soubor;
    } else if (prikaz.contains(u"-i"_s)) {
        argumenty << u"-i"_s << soubor;
    } else {
        p.setStandardOutputFile(vystup);
        argumenty << soubor;
    }
    p.start(program, argumenty);
    QVERIFY(p.waitForStarted());
    const HANDLE proces = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, DWORD(p.processId()));
    QVERIFY(proces);
    const auto zavri = qScopeGuard([&] { ::CloseHandle(proces); });
    QVERIFY(p.waitForFinished(600000));
    if (zdroj.state() != QProcess::NotRunning)
        QVERIFY(zdroj.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), stav);
    PROCESS_MEMORY_COUNTERS pamet = {};
    QVERIFY(::K32GetProcessMemoryInfo(proces, &pamet, sizeof pamet));
    const qint64 spicka = qint64(qMax(pamet.PeakPagefileUsage, pamet.PeakWorkingSetSize));
    qInfo("%lld MiB converted in a peak of %lld MiB", velikost >> 20, spicka >> 20);
    QVERIFY2(spicka < qint64(64) << 20, qPrintable(u"%1 MiB"_s.arg(spicka >> 20)));
    if (!vysledek.isEmpty()) {
        QFile f(vysledek == u"{o}" ? vystup : soubor);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const qint64 delka = velikost - text.size() + 2 * prevedeny.size();
        QCOMPARE(f.size(), delka);
        QCOMPARE(f.read(prevedeny.size()), prevedeny);
        QVERIFY(f.seek(delka - prevedeny.size()));
        QCOMPARE(f.readAll(), prevedeny);
    }
}
#else
void TestNalezy::obrovskySouborPrevodniku()
{
    QFETCH(QString, prikaz);
    QFETCH(int, stav);
    QFETCH(QString, vysledek);
    TProstredi prostredi;
    const qint64 velikost = qint64(256) << 20;
    const QByteArray text = u"Příliš žluťoučký kůň úpěl ďábelské ódy.\r\n"_s.toUtf8().repeated(400);
    const QByteArray prevedeny = "Prilis zlutoucky kun upel dabelske ody.\r\n"_ba.repeated(400);
    const QString soubor = prostredi.Cesta(u"velky.txt"_s);
    const QString spicka = prostredi.Cesta(u"spicka"_s);
    Zapis(soubor, text);
    QCOMPARE(::truncate(KodujCestu(soubor).constData(), off_t(velikost)), 0);
    {
        QFile konec(soubor);
        QVERIFY(konec.open(QIODevice::Append));
        QCOMPARE(konec.write(text), text.size());
    }
    const auto uvozovky = [](const QString &s) { return u"'"_s + s + u"'"_s; };
    const QString vystup = prostredi.Cesta(u"vystup.txt"_s);
    const auto dosad = [&](QString s) {
        return s
            .replace(u"{p}"_s,
                     uvozovky(QStringLiteral(LUMARIN_SPICKA)) + u' ' + uvozovky(spicka) + u' ' +
                         uvozovky(QStringLiteral(LUMARIN_PREVODNIK)))
            .replace(u"{f}"_s, uvozovky(soubor))
            .replace(u"{o}"_s, uvozovky(vystup));
    };
    // The address sanitizer keeps freed memory aside for a while; a little
    // of it is enough.
    QCOMPARE(Spust(u"ASAN_OPTIONS=\"$ASAN_OPTIONS:quarantine_size_mb=16\" "_s + dosad(prikaz)), stav);
    bool ok = false;
    const long pamet = Precti(spicka).trimmed().toLong(&ok);
    QVERIFY(ok);
    qInfo("%lld MiB converted in a peak of %ld MiB", velikost >> 20, pamet >> 10);
    QVERIFY2(pamet < 64 * 1024, qPrintable(u"%1 MiB"_s.arg(pamet >> 10)));
    if (!vysledek.isEmpty()) {
        QFile f(dosad(vysledek).mid(1).chopped(1));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const qint64 delka = velikost - text.size() + 2 * prevedeny.size();
        QCOMPARE(f.size(), delka);
        QCOMPARE(f.read(prevedeny.size()), prevedeny);
        QVERIFY(f.seek(delka - prevedeny.size()));
        QCOMPARE(f.readAll(), prevedeny);
    }
}
#endif
#endif

QTEST_MAIN(TestNalezy)
#include "tst_nalezy.moc"
