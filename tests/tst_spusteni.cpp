// The program on the desktop: the command line, files dragged onto the window,
// and what an installation puts in place.

#include "Memo.h"
#include "XMLDokument.h"
#include "SoubUtility.h"
#include "Soubory.h"
#include "TestovaciOkno.h"
#include "TextovySoubor.h"

#include <QAction>
#include <QDir>
#include <QDomDocument>
#include <QDragEnterEvent>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>
#include <QtTest>
#include <cstdio>
#include <memory>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
// Komponenty.h has a MulDiv of its own.
#define MulDiv MulDiv_Windows
#include <windows.h>
#undef MulDiv
#else
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

QByteArrayList Argumenty(const QStringList &Texty)
{
    QByteArrayList argumenty;
    for (const QString &t : Texty)
        argumenty << KodujCestu(t);
    return argumenty;
}

#ifdef Q_OS_WIN
// The working folder as the system names it, with '/' as the program writes
// its names.
QString PracovniSlozka()
{
    return QDir::currentPath();
}

#else
// The working folder as the system names it, in bytes.
QString PracovniSlozka()
{
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) ? DekodujCestu(QByteArray(buffer)) : QString();
}
#endif

// A text as a file without a byte-order mark holds it where the program reads
// such a file in the system's own encoding: UTF-8, or on Windows the ANSI code
// page.
QByteArray Mistni(const QString &Text)
{
    QByteArray bajty;
    if (!ZakodujText(Text, SystemoveKodovani(), bajty, false))
        qFatal("the text has no bytes in the system's encoding");
    return bajty;
}

// The lines "Klic=Hodnota" of a desktop entry's main group.
QMap<QString, QString> PolozkyZaznamu(const QByteArray &Obsah)
{
    QMap<QString, QString> polozky;
    for (const QByteArray &radek : Obsah.split('\n')) {
        const qsizetype rovnitko = radek.indexOf('=');
        if (rovnitko > 0 && !radek.startsWith('#'))
            polozky.insert(QString::fromUtf8(radek.left(rovnitko)).trimmed(),
                           QString::fromUtf8(radek.mid(rovnitko + 1)).trimmed());
    }
    return polozky;
}

// Runs a program to its end; its exit code, or -1 when it could not run or
// did not end in time.
int Spust(const QString &Program, const QStringList &Argumenty, const QProcessEnvironment &Prostredi,
          QByteArray *Vystup = nullptr, QByteArray *Chyby = nullptr)
{
    QProcess proces;
    proces.setProcessEnvironment(Prostredi);
    proces.start(Program, Argumenty);
    if (!proces.waitForFinished(60000)) {
        proces.kill();
        proces.waitForFinished();
        return -1;
    }
    if (Vystup)
        *Vystup = proces.readAllStandardOutput();
    if (Chyby)
        *Chyby = proces.readAllStandardError();
    return proces.exitStatus() == QProcess::NormalExit ? proces.exitCode() : -1;
}

// Removes, when it goes, what a test made under names that are not UTF-8:
// the temporary folder's own cleaning reads names as UTF-8 and cannot reach
// them. Files first, then folders, in the reverse order of making.
struct TUklid {
    QStringList Cesty;
    ~TUklid()
    {
#ifndef Q_OS_WIN // Windows names are UTF-16, which the folder's own cleaning reads whole
        for (auto i = Cesty.crbegin(); i != Cesty.crend(); ++i)
            if (::unlink(KodujCestu(*i).constData()) != 0)
                ::rmdir(KodujCestu(*i).constData());
#endif
    }
};

// Set for a copy of this program that plays the program started from the
// desktop's menu (see jazykovySoubor).
constexpr char PromennaPotomka[] = "LUMARIN_TEST_JAZYK";

// A language file whose only translation is the main window's caption.
QByteArray SouborSTitulkem(const QString &Titulek)
{
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<trelo>\n"
            "<JAZYKY><CZ index=\"0\"><n>Čeština</n><v>1</v><a>VELOR</a></CZ></JAZYKY>\n"
            "<HlavniForm><HlavniForm><CZ>"_s +
            Titulek + u"</CZ></HlavniForm></HlavniForm>\n</trelo>\n"_s)
        .toUtf8();
}

// What a test drags.
enum TCoTahnout { ctSoubor, ctDvaSoubory, ctSlozka, ctSlozkaASoubor, ctVzdalena, ctVzdalenaSTextem, ctText, ctNeUtf8 };

} // namespace

class TestSpusteni : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void prikazovaRadka_data();
    void prikazovaRadka();
    void uplnaCesta_data();
    void uplnaCesta();
    void souborZPrikazoveRadky();
    void souborVeSlozceMimoUtf8();
    void souborNelzeOtevrit_data();
    void souborNelzeOtevrit();
    void bezDispleje_data();
    void bezDispleje();
    void vystupNelzeZapsat_data();
    void vystupNelzeZapsat();

    void pretazeni_data();
    void pretazeni();
    void pretazeniSeptaSeNaZmeny_data();
    void pretazeniSeptaSeNaZmeny();

    void jazykovySoubor_data();
    void jazykovySoubor();

    void instalace();
    void platnostInstalace();

private:
    // Drags Data onto Cil: whether the enter was accepted, whether the drop
    // was, and the drop's action; then the event loop runs what the drop left.
    struct TVysledekPretazeni {
        bool bVstupPrijat;
        bool bPustenoPrijato;
        Qt::DropAction Akce;
    };
    TVysledekPretazeni Pretahni(QWidget *Cil, const QMimeData &Data);
    QString NainstalujDo(const QString &Slozka);

    std::unique_ptr<TTestovaciOkno> Test;
    THlavniForm *Okno = nullptr;
};

void TestSpusteni::init()
{
    Test = std::make_unique<TTestovaciOkno>();
    Okno = Test->Okno;
}

void TestSpusteni::cleanup()
{
    Test.reset();
}

// ---- the command line ----

void TestSpusteni::prikazovaRadka_data()
{
    QTest::addColumn<QStringList>("argumenty");
    QTest::addColumn<int>("druh");
    QTest::addColumn<QString>("soubor");
    QTest::addColumn<QString>("chyba");
    QTest::newRow("nic") << QStringList() << int(dsOkno) << QString() << QString();
    QTest::newRow("soubor") << QStringList{u"a.txt"_s} << int(dsOkno) << u"a.txt"_s << QString();
    QTest::newRow("více souborů: první") << QStringList{u"a.txt"_s, u"b.txt"_s, u"c.txt"_s} << int(dsOkno) << u"a.txt"_s
                                         << QString();
    QTest::newRow("prázdný argument nic nejmenuje")
        << QStringList{QString(), u"b.txt"_s} << int(dsOkno) << u"b.txt"_s << QString();
    QTest::newRow("--help") << QStringList{u"--help"_s} << int(dsNapoveda) << QString() << QString();
    QTest::newRow("-h") << QStringList{u"a.txt"_s, u"-h"_s} << int(dsNapoveda) << QString() << QString();
    QTest::newRow("--version za souborem")
        << QStringList{u"a.txt"_s, u"--version"_s} << int(dsVerze) << QString() << QString();
    QTest::newRow("první volba platí") << QStringList{u"--version"_s, u"--help"_s} << int(dsVerze) << QString()
                                       << QString();
    // Qt's own options are passed over, with their values, and change nothing.
    QTest::newRow("volby Qt") << QStringList{u"-style"_s, u"fusion"_s, u"-reverse"_s, u"--platform=xcb"_s, u"a.txt"_s}
                              << int(dsOkno) << u"a.txt"_s << QString();
    QTest::newRow("hodnota volby Qt není soubor")
        << QStringList{u"-stylesheet"_s, u"x.qss"_s} << int(dsOkno) << QString() << QString();
    QTest::newRow("neznámá volba před --help")
        << QStringList{u"--verze"_s, u"--help"_s} << int(dsChyba) << QString() << u"--verze"_s;
    QTest::newRow("-- : dál jen soubory")
        << QStringList{u"--"_s, u"--help"_s, u"-x"_s} << int(dsOkno) << u"--help"_s << QString();
    QTest::newRow("samotná pomlčka je soubor") << QStringList{u"-"_s} << int(dsOkno) << u"-"_s << QString();
    // The bytes 0xE9 and 0xFF of a name in windows-1250 and Latin-1.
    QTest::newRow("jméno mimo UTF-8") << QStringList{u"p\xDCE9\xDCFF.txt"_s} << int(dsOkno) << u"p\xDCE9\xDCFF.txt"_s
                                      << QString();
}

void TestSpusteni::prikazovaRadka()
{
    QFETCH(QStringList, argumenty);
    QFETCH(int, druh);
    QFETCH(QString, soubor);
    QFETCH(QString, chyba);
    const TPrikazovaRadka radka = RozeberPrikazovouRadku(Argumenty(argumenty));
    QCOMPARE(int(radka.Druh), druh);
    QCOMPARE(radka.Soubor, soubor);
    QCOMPARE(radka.Chyba, chyba);
    // A name not in UTF-8 stays the same bytes.
    if (!soubor.isEmpty())
        QVERIFY(argumenty.contains(DekodujCestu(KodujCestu(radka.Soubor))));
}

void TestSpusteni::uplnaCesta_data()
{
    QTest::addColumn<QString>("cesta");
    QTest::addColumn<QString>("ocekavana"); // "<cwd>" stands for the working folder
    QTest::newRow("jméno") << u"a.txt"_s << u"<cwd>/a.txt"_s;
    QTest::newRow("tečky a zdvojená lomítka") << u"./x//./a.txt"_s << u"<cwd>/x/a.txt"_s;
#ifdef Q_OS_WIN
    // Windows resolves "..", and a name from the root is on the working
    // folder's drive ("<disk>"); '\\' separates as '/' does.
    QTest::newRow("dvě tečky") << u"../a.txt"_s << u"<up>/a.txt"_s;
    QTest::newRow("úplná") << u"/tmp//a/./b.txt"_s << u"<disk>/tmp/a/b.txt"_s;
    QTest::newRow("zpětná lomítka") << u"x\\.\\a.txt"_s << u"<cwd>/x/a.txt"_s;
    QTest::newRow("s jednotkou") << u"C:\\tmp\\..\\b.txt"_s << u"C:/b.txt"_s;
#else
    QTest::newRow("dvě tečky zůstanou") << u"../a.txt"_s << u"<cwd>/../a.txt"_s;
    QTest::newRow("úplná") << u"/tmp//a/./b.txt"_s << u"/tmp/a/b.txt"_s;
#endif
}

void TestSpusteni::uplnaCesta()
{
    QFETCH(QString, cesta);
    QFETCH(QString, ocekavana);
    const QString cwd = PracovniSlozka();
    QCOMPARE(UplnaCesta(cesta),
             QString(ocekavana)
                 .replace(u"<cwd>"_s, cwd)
                 .replace(u"<up>"_s, cwd.left(cwd.lastIndexOf(u'/')))
                 .replace(u"<disk>"_s, cwd.left(2)));
}

// The file opens as "Otevřít..." opens it: text, encoding, label and the saved state.
void TestSpusteni::souborZPrikazoveRadky()
{
    Zapis(Test->Prostredi.Cesta(u"cesky.txt"_s), QByteArray("P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD"));
    Test->Formy->Spust(u"cesky.txt"_s);
    QVERIFY(Okno->isVisible());
    QTRY_COMPARE(Okno->memSoubor->Text(), u"Příliš žluťoučký"_s);
    const QString uplna = PracovniSlozka() + u"/cesky.txt"_s;
    QCOMPARE(Okno->NazevSouboru(), uplna);
    QCOMPARE(Okno->lblNazevSouboru->text(), QDir::toNativeSeparators(uplna)); // as the system writes names
    QCOMPARE(int(Okno->Kodovani()), int(koOsmibitove));
    QVERIFY(!Okno->memSoubor->Modified());
    QVERIFY(!Okno->aUlozit->isEnabled());
    QVERIFY(Test->Prostredi.Dialogy.isEmpty());
}

// A working folder whose name is not UTF-8 still leads to the same file, and
// a save goes back to it.
// On Windows, where names are UTF-16, a name the ANSI code page cannot
// hold stands for it.
void TestSpusteni::souborVeSlozceMimoUtf8()
{
#ifdef Q_OS_WIN
    const QString slozka = Test->Prostredi.Cesta(u"pr\u03C0ce\u65E5"_s);
    VytvorSlozku(slozka);
    Zapis(slozka + u"/a.txt"_s, "obsah");
    QVERIFY(QDir::setCurrent(slozka));
#else
    const QString slozka = Test->Prostredi.Cesta(u"pr\xDCE1"
                                                 "ce"_s);
    const TUklid uklid{{slozka, slozka + u"/a.txt"_s}};
    VytvorSlozku(slozka);
    Zapis(slozka + u"/a.txt"_s, "obsah");
    QCOMPARE(::chdir(KodujCestu(slozka).constData()), 0);
#endif
    Test->Formy->Spust(u"a.txt"_s);
    QTRY_COMPARE(Okno->memSoubor->Text(), u"obsah"_s);
    QCOMPARE(Okno->NazevSouboru(), slozka + u"/a.txt"_s);
    QVERIFY(Test->Prostredi.Dialogy.isEmpty());
    Napis(Okno->memSoubor, u"!"_s);
    Okno->aUlozit->trigger();
    QCOMPARE(Precti(slozka + u"/a.txt"_s).size(), 6);
}

void TestSpusteni::souborNelzeOtevrit_data()
{
    QTest::addColumn<QString>("jmeno");
    QTest::newRow("chybí") << u"chybi.txt"_s;
    QTest::newRow("složka") << u"slozka"_s;
}

// The error of "Otevřít..." through the general error report, and the empty
// document.
void TestSpusteni::souborNelzeOtevrit()
{
    QFETCH(QString, jmeno);
    VytvorSlozku(Test->Prostredi.Cesta(u"slozka"_s));
    Test->Formy->Spust(jmeno);
    QTRY_COMPARE(Test->Prostredi.Dialogy.size(), 1);
    const TZaznamDialogu &d = Test->Prostredi.Dialogy[0];
    QVERIFY2(d.Text.startsWith(
                 u"Cannot open file \"%1\". "_s.arg(QDir::toNativeSeparators(PracovniSlozka() + u'/' + jmeno))),
             qPrintable(d.Text));
    QVERIFY(d.Text.endsWith(u'.'));
    QCOMPARE(d.Nadpis, u"Lumarin"_s);
    QCOMPARE(d.Priznaky, MB_OK | MB_ICONHAND);
    QVERIFY(Okno->memSoubor->Text().isEmpty());
    QCOMPARE(Okno->lblNazevSouboru->text(), u"TEXT.TXT"_s);
    QVERIFY(Okno->NazevSouboru().isEmpty());
    QVERIFY(Okno->isVisible());
}

void TestSpusteni::bezDispleje_data()
{
    QTest::addColumn<QStringList>("argumenty");
    QTest::addColumn<int>("kod");
    QTest::addColumn<QString>("vystup"); // a pattern; "<verze>" stands for the version line
    QTest::addColumn<QString>("chyby");
    QTest::newRow("--version") << QStringList{u"--version"_s} << 0 << u"^<verze>$"_s << u"^$"_s;
    QTest::newRow("--version se soubory")
        << QStringList{u"chybi.txt"_s, u"--version"_s} << 0 << u"^<verze>$"_s << u"^$"_s;
    QTest::newRow("--help") << QStringList{u"--help"_s} << 0
                            << u"^Usage: lumarin \\[OPTION\\] \\[FILE\\]\n.*--version"_s << u"^$"_s;
    QTest::newRow("-h") << QStringList{u"-h"_s} << 0 << u"^Usage: "_s << u"^$"_s;
    QTest::newRow("neznámá volba") << QStringList{u"-x"_s} << 2 << u"^$"_s
                                   << u"^lumarin: unknown option \"-x\"\nTry \"lumarin --help\".\n$"_s;
    QTest::newRow("volba Qt s --version")
        << QStringList{u"-reverse"_s, u"--version"_s} << 0 << u"^<verze>$"_s << u"^$"_s;
}

// With no display at all, the texts are printed and the program ends; it
// never tries to open a window.
void TestSpusteni::bezDispleje()
{
    QFETCH(QStringList, argumenty);
    QFETCH(int, kod);
    QFETCH(QString, vystup);
    QFETCH(QString, chyby);
    // The program names itself as it was started (on Windows "lumarin.exe").
    const QString jmeno = QRegularExpression::escape(QFileInfo(QStringLiteral(LUMARIN_PROGRAM)).fileName());
    vystup.replace(u"lumarin"_s, jmeno);
    chyby.replace(u"lumarin"_s, jmeno);
    QProcessEnvironment prostredi = QProcessEnvironment::systemEnvironment();
    for (const char *promenna : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        prostredi.remove(QLatin1String(promenna));
    QByteArray out, err;
    QCOMPARE(Spust(QStringLiteral(LUMARIN_PROGRAM), argumenty, prostredi, &out, &err), kod);
    // The version as the program's own block gives it: the product version,
    // then the file version, which is the project's.
    const QString verze = u"Lumarin %1 \\(%2\\)\n"_s.arg(
        QRegularExpression::escape(TSouboroveInfo().Verze(QStringLiteral(LUMARIN_PROGRAM), vtOprava)),
        QRegularExpression::escape(QStringLiteral(LUMARIN_VERZE)));
    const QRegularExpression vzor(vystup.replace(u"<verze>"_s, verze), QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(vzor.match(QString::fromLocal8Bit(out)).hasMatch(), out.constData());
    QVERIFY2(QRegularExpression(chyby).match(QString::fromLocal8Bit(err)).hasMatch(), err.constData());
}

void TestSpusteni::vystupNelzeZapsat_data()
{
    QTest::addColumn<QString>("volba");
    QTest::newRow("--version") << u"--version"_s;
    QTest::newRow("--help") << u"--help"_s;
}

// A text that never reached its reader is an error, not a success.
void TestSpusteni::vystupNelzeZapsat()
{
    QFETCH(QString, volba);
    if (!QFileInfo::exists(u"/dev/full"_s))
        QSKIP("no /dev/full on this system");
    QProcess proces;
    proces.setStandardOutputFile(u"/dev/full"_s);
    proces.start(QStringLiteral(LUMARIN_PROGRAM), {volba});
    QVERIFY(proces.waitForFinished(60000));
    QCOMPARE(proces.exitStatus(), QProcess::NormalExit);
    QCOMPARE(proces.exitCode(), 1);
    QCOMPARE(proces.readAllStandardError(), QByteArray("lumarin: the output cannot be written\n"));
}

// ---- files dragged onto the window ----

TestSpusteni::TVysledekPretazeni TestSpusteni::Pretahni(QWidget *Cil, const QMimeData &Data)
{
    // Shift asks the source for a move: the window must answer with a copy, or
    // the source would delete its file.
    const Qt::DropActions akce = Qt::CopyAction | Qt::MoveAction;
    const QPoint kde(20, 20);
    QDragEnterEvent vstup(kde, akce, &Data, Qt::LeftButton, Qt::ShiftModifier);
    vstup.setDropAction(Qt::MoveAction);
    vstup.ignore();
    QCoreApplication::sendEvent(Cil, &vstup);
    TVysledekPretazeni vysledek{vstup.isAccepted(), false, Qt::IgnoreAction};
    if (vysledek.bVstupPrijat) {
        QDragMoveEvent pohyb(kde, akce, &Data, Qt::LeftButton, Qt::ShiftModifier);
        pohyb.setDropAction(Qt::MoveAction);
        QCoreApplication::sendEvent(Cil, &pohyb);
    }
    // A drop is sent also where the enter was refused: whatever arrives, what
    // was refused must not be opened.
    QDropEvent pusteni(kde, akce, &Data, Qt::LeftButton, Qt::ShiftModifier);
    pusteni.setDropAction(Qt::MoveAction);
    pusteni.ignore();
    QCoreApplication::sendEvent(Cil, &pusteni);
    vysledek.bPustenoPrijato = pusteni.isAccepted();
    vysledek.Akce = pusteni.dropAction();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return vysledek;
}

void TestSpusteni::pretazeni_data()
{
    QTest::addColumn<bool>("naEditor");
    QTest::addColumn<int>("coTahnout");
    QTest::addColumn<bool>("prijato");
    QTest::addColumn<QString>("text");   // the editor's text afterwards
    QTest::addColumn<QString>("soubor"); // the document's file afterwards, under the test folder
    for (const bool naEditor : {false, true}) {
        const char *kam = naEditor ? "editor" : "okno";
        const auto radek = [&](const char *nazev) -> QTestData & {
            return QTest::addRow("%s: %s", kam, nazev) << naEditor;
        };
        radek("soubor") << int(ctSoubor) << true << u"první"_s << u"a.txt"_s;
        radek("dva soubory: první") << int(ctDvaSoubory) << true << u"první"_s << u"a.txt"_s;
        radek("složka") << int(ctSlozka) << false << QString() << QString();
        radek("složka, pak soubor: platí první") << int(ctSlozkaASoubor) << false << QString() << QString();
        radek("vzdálená adresa") << int(ctVzdalena) << false << QString() << QString();
        radek("jméno mimo UTF-8") << int(ctNeUtf8) << true << u"třetí"_s << u"p\xDCE9.txt"_s;
        // Text, and a link with its text from a browser, stay the editor's own.
        radek("text") << int(ctText) << naEditor << (naEditor ? u"vložený text"_s : QString()) << QString();
        radek("adresa s textem") << int(ctVzdalenaSTextem) << naEditor
                                 << (naEditor ? u"https://velor.example/x.txt"_s : QString()) << QString();
    }
}

// A file dropped on the window or on the editor opens as "Otevřít..." opens it.
void TestSpusteni::pretazeni()
{
    QFETCH(bool, naEditor);
    QFETCH(int, coTahnout);
    QFETCH(bool, prijato);
    QFETCH(QString, text);
    QFETCH(QString, soubor);
#ifdef Q_OS_WIN
    const bool bNeUtf8 = !PodWine();
    if (coTahnout == ctNeUtf8 && !bNeUtf8)
        QSKIP("Wine cannot make a file whose name holds half of a UTF-16 surrogate pair (its Unix names are "
              "UTF-8); Windows can");
    // A file manager names a file on a drive "file:///C:/...".
    const QByteArray koren = "file:///";
#else
    const bool bNeUtf8 = true;
    const QByteArray koren = "file://";
#endif
    const TProstredi &p = Test->Prostredi;
    Zapis(p.Cesta(u"a.txt"_s), Mistni(u"první"_s));
    Zapis(p.Cesta(u"b.txt"_s), Mistni(u"druhý"_s));
    const TUklid uklid{{p.Cesta(u"p\xDCE9.txt"_s)}};
    if (bNeUtf8)
        Zapis(p.Cesta(u"p\xDCE9.txt"_s), Mistni(u"třetí"_s));
    VytvorSlozku(p.Cesta(u"slozka"_s));
    const auto mistni = [&](const QString &Jmeno) {
        // As a file manager writes it: the name's bytes, percent-encoded.
        return QUrl::fromEncoded(koren + KodujCestu(p.Cesta(Jmeno)).toPercentEncoding("/:"));
    };
    QMimeData data;
    switch (TCoTahnout(coTahnout)) {
    case ctSoubor: data.setUrls({mistni(u"a.txt"_s)}); break;
    case ctDvaSoubory: data.setUrls({mistni(u"a.txt"_s), mistni(u"b.txt"_s)}); break;
    case ctSlozka: data.setUrls({mistni(u"slozka"_s)}); break;
    case ctSlozkaASoubor: data.setUrls({mistni(u"slozka"_s), mistni(u"a.txt"_s)}); break;
    case ctVzdalena: data.setUrls({QUrl(u"https://velor.example/x.txt"_s)}); break;
    case ctVzdalenaSTextem:
        data.setUrls({QUrl(u"https://velor.example/x.txt"_s)});
        data.setText(u"https://velor.example/x.txt"_s);
        break;
    case ctText: data.setText(u"vložený text"_s); break;
    case ctNeUtf8: data.setUrls({mistni(u"p\xDCE9.txt"_s)}); break;
    }
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    QWidget *cil = naEditor ? Okno->memSoubor->viewport() : static_cast<QWidget *>(Okno);
    const TVysledekPretazeni v = Pretahni(cil, data);
    QCOMPARE(v.bVstupPrijat, prijato);
    QCOMPARE(v.bPustenoPrijato, prijato);
    QCOMPARE(Okno->memSoubor->Text(), text);
    QCOMPARE(Okno->NazevSouboru(), soubor.isEmpty() ? QString() : p.Cesta(soubor));
    QVERIFY(Test->Prostredi.Dialogy.isEmpty());
    if (!soubor.isEmpty()) {
        QCOMPARE(v.Akce, Qt::CopyAction);
        QCOMPARE(Okno->lblNazevSouboru->text(), QDir::toNativeSeparators(p.Cesta(soubor)));
        QVERIFY(!Okno->memSoubor->Modified());
    }
    // The dragged files are where they were.
    QCOMPARE(Precti(p.Cesta(u"a.txt"_s)), Mistni(u"první"_s));
    if (bNeUtf8)
        QCOMPARE(Precti(p.Cesta(u"p\xDCE9.txt"_s)), Mistni(u"třetí"_s));
}

void TestSpusteni::pretazeniSeptaSeNaZmeny_data()
{
    QTest::addColumn<int>("odpoved");
    QTest::addColumn<QByteArray>("staryPotom"); // the old file's bytes afterwards
    QTest::newRow("Storno") << IDCANCEL << Mistni(u"staré"_s);
    QTest::newRow("Ne") << IDNO << Mistni(u"staré"_s);
    QTest::newRow("Ano: uloží, pak otevře") << IDYES << Mistni(u"staré!"_s);
}

// A changed document is never replaced without the question; Storno keeps
// everything as it was.
void TestSpusteni::pretazeniSeptaSeNaZmeny()
{
    QFETCH(int, odpoved);
    QFETCH(QByteArray, staryPotom);
    const bool otevreno = odpoved != IDCANCEL;
    const TProstredi &p = Test->Prostredi;
    const QString stary = p.Cesta(u"stary.txt"_s), novy = p.Cesta(u"novy.txt"_s);
    Zapis(stary, Mistni(u"staré"_s));
    Zapis(novy, Mistni(u"nové"_s));
    Okno->OtevriSoubor(stary);
    Okno->memSoubor->moveCursor(QTextCursor::End);
    Napis(Okno->memSoubor, u"!"_s);
    QVERIFY(Okno->memSoubor->Modified());
    Test->Prostredi.Odpovedi = {odpoved};
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(novy)});
    Pretahni(Okno, data);
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    QVERIFY(Test->Prostredi.Dialogy[0].Text.startsWith(rsULOZITSOUBOR));
    QCOMPARE(Test->Prostredi.Dialogy[0].Priznaky, MB_YESNOCANCEL | MB_ICONQUESTION);
    QCOMPARE(Okno->NazevSouboru(), otevreno ? novy : stary);
    QCOMPARE(Okno->memSoubor->Text(), otevreno ? u"nové"_s : u"staré!"_s);
    QCOMPARE(Okno->memSoubor->Modified(), !otevreno);
    QCOMPARE(Okno->aUlozit->isEnabled(), !otevreno);
    QCOMPARE(Precti(stary), staryPotom);
    QCOMPARE(Precti(novy), Mistni(u"nové"_s));
}

// ---- the language file outside the working folder ----

void TestSpusteni::jazykovySoubor_data()
{
    QTest::addColumn<QStringList>("kde"); // where a language file lies: "prace", "bin", "share"
    QTest::addColumn<QString>("titulek");
    QTest::addColumn<QString>("soubor"); // the file read, "" for none
    const QString sdilena = u"share/lumarin/trelo.xml"_s;
    QTest::newRow("pracovní složka má přednost")
        << QStringList{u"prace"_s, u"bin"_s, u"share"_s} << u"prace"_s << u"trelo.xml"_s;
    QTest::newRow("vedle programu (sestavení)")
        << QStringList{u"bin"_s, u"share"_s} << u"bin"_s << u"<koren>/bin/trelo.xml"_s;
    QTest::newRow("instalace") << QStringList{u"share"_s} << u"share"_s << u"<koren>/share/lumarin/trelo.xml"_s;
    QTest::newRow("nikde") << QStringList() << u"Lumarin"_s << u"trelo.xml"_s;
}

// A program started where its working folder has no language file (from the
// desktop's menu, in the home folder) reads the one of its data folders; the
// working folder's own file still comes first.
void TestSpusteni::jazykovySoubor()
{
    QFETCH(QStringList, kde);
    QFETCH(QString, titulek);
    QFETCH(QString, soubor);
    // A copy of this program stands for the program, placed as an
    // installation places it; the copy builds the whole window and says what
    // it read.
    const QString koren = Test->Prostredi.Docasna.filePath(u"koren"_s);
    const QString program = koren + u"/bin/lumarin"_s;
    QVERIFY(QDir().mkpath(koren + u"/bin"_s));
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
    const QMap<QString, QString> mista = {{u"prace"_s, Test->Prostredi.Cesta(u"trelo.xml"_s)},
                                          {u"bin"_s, koren + u"/bin/trelo.xml"_s},
                                          {u"share"_s, koren + u"/share/lumarin/trelo.xml"_s}};
    for (const QString &m : std::as_const(kde))
        Zapis(mista.value(m), SouborSTitulkem(m));
    QProcessEnvironment prostredi = QProcessEnvironment::systemEnvironment();
    prostredi.insert(QLatin1String(PromennaPotomka), u"1"_s);
    prostredi.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    QByteArray out, err;
    QCOMPARE(Spust(program, {}, prostredi, &out, &err), 0);
    // No message box: the toolkit's own warnings may come on the same stream.
    QVERIFY2(!err.contains("Hlaseni: "), err.constData());
    QCOMPARE(QString::fromUtf8(out), soubor.replace(u"<koren>"_s, koren) + u'\n' + titulek + u'\n');
}

// The copy's part: the program's start (settings, forms, the first show with
// its language), then the file the language document read and the caption.
int JazykovyPotomek(int argc, char *argv[])
{
    THlaseni::NastavPrezenter([](const QString &Text, const QString &, int) {
        std::fprintf(stderr, "Hlaseni: %s\n", Text.toUtf8().constData());
        return IDOK;
    });
#ifdef Q_OS_WIN
    _setmode(_fileno(stdout), _O_BINARY); // the lines as the test compares them, without CR
#endif
    TSluzby sluzby;
    QApplication aplikace(argc, argv);
    TFormy formy;
    formy.Spust();
    std::printf("%s\n%s\n", formy.HlavniForm->xdcJazyk->NazevSouboru().toUtf8().constData(),
                formy.HlavniForm->windowTitle().toUtf8().constData());
    return 0;
}

// ---- installation ----

// Installs the build into Slozka as a package would put it under /usr; the
// prefix below it, or an empty string (and a failed check) when it fails.
QString TestSpusteni::NainstalujDo(const QString &Slozka)
{
    QProcessEnvironment prostredi = QProcessEnvironment::systemEnvironment();
    prostredi.insert(u"DESTDIR"_s, Slozka);
    QByteArray out, err;
    const int kod =
        Spust(QStringLiteral(LUMARIN_CMAKE),
              {u"--install"_s, QStringLiteral(LUMARIN_SESTAVENI), u"--prefix"_s, u"/usr"_s}, prostredi, &out, &err);
    if (kod != 0) {
        qWarning("%s%s", out.constData(), err.constData());
        return {};
    }
    return Slozka + u"/usr"_s;
}

// A staged install holds everything the desktop needs, and the files agree
// with each other and with the program.
void TestSpusteni::instalace()
{
#ifdef Q_OS_WIN
    QSKIP("the installed layout, desktop entry and AppStream file are the Linux desktop's; "
          "Windows gets a zip and an installer (scripts/windows-package)");
#endif
    const QString usr = NainstalujDo(Test->Prostredi.Docasna.filePath(u"koren"_s));
    QVERIFY(!usr.isEmpty());
    const QString zaznam = usr + u"/share/applications/example.velor.Lumarin.desktop"_s;
    const QString metainfo = usr + u"/share/metainfo/example.velor.Lumarin.metainfo.xml"_s;
    QStringList soubory = {u"/bin/lumarin"_s, u"/share/icons/hicolor/scalable/apps/lumarin.svg"_s,
                           u"/share/lumarin/trelo.xml"_s};
#ifdef LUMARIN_PREVODNIK
    soubory << u"/bin/lumarin-convert"_s;
#endif
    for (const QString &s : std::as_const(soubory))
        QVERIFY2(QFileInfo(usr + s).isFile(), qPrintable(s));

    // The installed program runs and knows its version.
    QByteArray out;
    QCOMPARE(Spust(usr + u"/bin/lumarin"_s, {u"--version"_s}, QProcessEnvironment::systemEnvironment(), &out), 0);
    QVERIFY2(out.contains(" (" LUMARIN_VERZE ")"), out.constData());

    // The entry starts the installed program with the file and shows the
    // installed icon.
    QVERIFY(QFileInfo(zaznam).isFile());
    const QMap<QString, QString> polozky = PolozkyZaznamu(Precti(zaznam));
    QCOMPARE(polozky.value(u"Exec"_s), u"lumarin %f"_s);
    QVERIFY(QFileInfo(usr + u"/share/icons/hicolor/scalable/apps/"_s + polozky.value(u"Icon"_s) + u".svg"_s).isFile());
    // The entry claims no file type: the desktop's file database lists the
    // programs of a type by name, and where no default is set the first of
    // them opens its files, so a claim on text/plain would take text files
    // from an editor whose name sorts after this one.
    QVERIFY2(!polozky.contains(u"MimeType"_s), qPrintable(polozky.value(u"MimeType"_s)));
    QCOMPARE(polozky.value(u"Categories"_s), u"Utility;TextEditor;"_s);

    // Every language of the language file names the program in the menu.
    QDomDocument jazyky;
    QVERIFY(jazyky.setContent(Precti(usr + u"/share/lumarin/trelo.xml"_s)));
    int pocet = 0;
    for (QDomElement j = jazyky.documentElement().firstChildElement(u"JAZYKY"_s).firstChildElement(); !j.isNull();
         j = j.nextSiblingElement(), ++pocet) {
        const QString kod = j.tagName() == u"CZ"_s ? u"cs"_s : j.tagName().toLower();
        QVERIFY2(kod == u"en"_s || polozky.contains(u"Name[%1]"_s.arg(kod)), qPrintable(kod));
    }
    QVERIFY(pocet > 1);

    // AppStream: the component is the installed entry, and its newest release
    // is the program's version.
    QDomDocument komponenta;
    QVERIFY(komponenta.setContent(Precti(metainfo)));
    const QDomElement koren = komponenta.documentElement();
    QCOMPARE(koren.firstChildElement(u"launchable"_s).text(), QFileInfo(zaznam).fileName());
    QCOMPARE(koren.firstChildElement(u"id"_s).text() + u".desktop"_s, QFileInfo(zaznam).fileName());
    QCOMPARE(koren.firstChildElement(u"releases"_s).firstChildElement(u"release"_s).attribute(u"version"_s),
             QStringLiteral(LUMARIN_VERZE));
}

// The desktop's own checkers accept the installed entry and metadata.
void TestSpusteni::platnostInstalace()
{
#ifdef Q_OS_WIN
    QSKIP("the desktop entry and AppStream file are the Linux desktop's");
#endif
    const QString desktop = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    const QString appstream = QStandardPaths::findExecutable(u"appstreamcli"_s);
    if (desktop.isEmpty() || appstream.isEmpty())
        QSKIP("desktop-file-validate or appstreamcli is not installed (desktop-file-utils, appstream)");
    const QString usr = NainstalujDo(Test->Prostredi.Docasna.filePath(u"koren"_s));
    QVERIFY(!usr.isEmpty());
    const QProcessEnvironment prostredi = QProcessEnvironment::systemEnvironment();
    QByteArray out, err;
    QCOMPARE(Spust(desktop, {usr + u"/share/applications/example.velor.Lumarin.desktop"_s}, prostredi, &out, &err), 0);
    QVERIFY2(out.isEmpty() && err.isEmpty(), (out + err).constData());
    QVERIFY2(Spust(appstream,
                   {u"validate"_s, u"--no-net"_s, usr + u"/share/metainfo/example.velor.Lumarin.metainfo.xml"_s},
                   prostredi, &out, &err) == 0,
             (out + err).constData());
    QVERIFY2(Spust(appstream, {u"validate-tree"_s, u"--no-net"_s, usr}, prostredi, &out, &err) == 0,
             (out + err).constData());
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet(PromennaPotomka))
        return JazykovyPotomek(argc, argv);
    QApplication aplikace(argc, argv);
    TestSpusteni test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_spusteni.moc"
