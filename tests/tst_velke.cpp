// Big texts: the long commands with the busy cursor and a progress window,
// an open that the user gives up (the document stays exactly as it was), a
// text set batch by batch that comes back unchanged, and what F6 tells in
// the status bar.

#include "JazykovySoubor.h"
#include "Konverze.h"
#include "JazykyXML.h"
#include "Memo.h"
#include "Soubory.h"
#include "StavovyRadek.h"
#include "TextovySoubor.h"
#include "TestovaciOkno.h"
#include "convar.h"

#include <QAction>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Small batches, so that a text of a few kilobytes takes many steps.
constexpr qsizetype MalaDavka = 64;

const QString Cesky = u"Příliš žluťoučký kůň\r\núpěl ďábelské ódy."_s;

// A text of many batches: Czech lines with CR LF breaks.
QString MnohoRadku(int Pocet)
{
    QString text;
    for (int i = 0; i < Pocet; ++i)
        text += u"%1. řádek: žluťoučký kůň\r\n"_s.arg(i);
    return text;
}

} // namespace

class TestVelke : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void zrusenaOtevreni_data();
    void zrusenaOtevreni();
    void textPoDavkach_data();
    void textPoDavkach();
    void cekaciKurzor_data();
    void cekaciKurzor();
    void hlaseniF6_data();
    void hlaseniF6();
    void tvarPrevodu_data();
    void tvarPrevodu();

private:
    std::unique_ptr<TTestovaciOkno> Test;
    THlavniForm *Okno = nullptr;
    TMemo *Memo = nullptr;
};

void TestVelke::init()
{
    Test = std::make_unique<TTestovaciOkno>();
    Okno = Test->Okno;
    Memo = Okno->memSoubor;
    TMemo::NastavDelkuDavky(MalaDavka);
}

void TestVelke::cleanup()
{
    THlavniForm::SledujDlouhePrikazy({});
    TMemo::NastavDelkuDavky(0);
    Test.reset();
}

// How the user gives an open up while it runs.
enum TZruseni : quint8 { zrEsc, zrStorno, zrZavreniOkna };

void TestVelke::zrusenaOtevreni_data()
{
    QTest::addColumn<int>("zruseni");
    QTest::addColumn<int>("procenta"); // how far the open is
    QTest::newRow("Esc while the text goes in") << int(zrEsc) << 50;
    QTest::newRow("Esc after the reading") << int(zrEsc) << 10;
    QTest::newRow("Storno") << int(zrStorno) << 60;
    QTest::newRow("the window's close box") << int(zrZavreniOkna) << 90;
}

void TestVelke::zrusenaOtevreni()
{
    QFETCH(int, zruseni);
    QFETCH(int, procenta);
    // A document with a file, converted (undo of F6 kept) and then typed
    // into (the editor's own undo), so unsaved.
    const QString prvni = Test->Prostredi.Cesta(u"prvni.txt"_s);
    Zapis(prvni, Utf8Soubor(Cesky));
    Okno->OtevriSoubor(prvni);
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    Okno->aOdstranitDiakritiku->trigger();
    Memo->moveCursor(QTextCursor::End);
    Napis(Memo, u"x"_s);
    const QString text = Memo->Text();
    QCOMPARE(text, u"Prilis zlutoucky kun\r\nupel dabelske ody.x"_s);
    const QString popisek = Okno->lblNazevSouboru->text();
    QVERIFY(Memo->Modified());
    QVERIFY(Okno->aUlozit->isEnabled());

    const QString druhy = Test->Prostredi.Cesta(u"druhy.txt"_s);
    Zapis(druhy, Utf8Soubor(MnohoRadku(200)));
    bool bZruseno = false, bOkno = false;
    THlavniForm::SledujDlouhePrikazy([&](QProgressDialog *Prubeh, int Procenta) {
        if (!Prubeh)
            return;
        bOkno = true;
        if (bZruseno || Procenta < procenta)
            return;
        bZruseno = true;
        switch (TZruseni(zruseni)) {
        case zrEsc: QTest::keyClick(Prubeh, Qt::Key_Escape); break;
        case zrStorno: {
            QPushButton *storno = Prubeh->findChild<QPushButton *>();
            QVERIFY(storno);
            QCOMPARE(storno->text(), u"Storno"_s);
            storno->click();
            break;
        }
        case zrZavreniOkna: Okno->close(); break;
        }
    });
    Okno->OtevriSoubor(druhy);
    THlavniForm::SledujDlouhePrikazy({});
    QVERIFY(bOkno);
    QVERIFY(bZruseno);

    // Nothing changed and nothing was said; the window is still there.
    QVERIFY(Okno->isVisible());
    QCOMPARE(Memo->Text(), text);
    QCOMPARE(Okno->NazevSouboru(), prvni);
    QCOMPARE(Okno->lblNazevSouboru->text(), popisek);
    QVERIFY(Memo->Modified());
    QVERIFY(Okno->aUlozit->isEnabled());
    QVERIFY(Test->Prostredi.Dialogy.isEmpty());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!QApplication::activeModalWidget());
    // Both undos as they were: the typing first, then the conversion.
    QTest::keyClick(Memo, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Memo->Text(), u"Prilis zlutoucky kun\r\nupel dabelske ody."_s);
    QTest::keyClick(Memo, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Memo->Text(), Cesky);

    // The same open, not given up, brings the file in.
    Okno->OtevriSoubor(druhy);
    QCOMPARE(Memo->Text(), MnohoRadku(200));
    QCOMPARE(Okno->NazevSouboru(), druhy);
    QVERIFY(!Memo->Modified());
}

void TestVelke::textPoDavkach_data()
{
    QTest::addColumn<QString>("obsah"); // of the file, in UTF-8
    // Where a batch would end between the two halves of something.
    QString zlom(MalaDavka - 1, u'a');
    zlom += u"\r\n"_s + QString(MalaDavka * 3, u'b') + u"\r\n"_s;
    QTest::newRow("CR LF across a batch's end") << zlom + zlom;
    QString dvojice(MalaDavka - 1, u'a');
    dvojice += u"😀č"_s;
    QTest::newRow("surrogate pair across a batch's end") << dvojice.repeated(5);
    QTest::newRow("a long line in pieces") << QString(3 * TMemo::MaxDelkaBloku + 5, u'ř') + u"\r\nkonec"_s;
    QTest::newRow("lone CR and LF, U+2029") << u"a\rb\nc\u2029d\r\n"_s.repeated(40);
    QTest::newRow("many lines in one paragraph") << u"č\r\n"_s.repeated(int(TMemo::MaxRadkuBezSdruzeni) + 10);
}

// A text that goes into the editor batch by batch comes back as it was,
// through F6 and its undo too, and the editor takes the user's edits and
// has no undo step of its own from the open.
void TestVelke::textPoDavkach()
{
    QFETCH(QString, obsah);
    const QString cesta = Test->Prostredi.Cesta(u"davky.txt"_s);
    Zapis(cesta, obsah.toUtf8());
    // The text as the file's reading gives it.
    const QString text = DekodujText(obsah.toUtf8()).Text;
    int kroku = 0;
    THlavniForm::SledujDlouhePrikazy([&](QProgressDialog *Prubeh, int) { kroku += Prubeh != nullptr; });
    Okno->OtevriSoubor(cesta);
    QVERIFY(kroku > 2);
    QVERIFY(Memo->Text() == text);
    QVERIFY(!Memo->document()->isUndoAvailable());
    QVERIFY(!Memo->Modified());

    Okno->aOdstranitDiakritiku->trigger();
    const QString prevedeny = NahradZnaky(text, ZnakySeZnamenkem, ZnakyBezZnamenka);
    QVERIFY(Memo->Text() == prevedeny);
    QVERIFY(!Memo->document()->isUndoAvailable());
    Okno->aZpet->trigger();
    QVERIFY(Memo->Text() == text);

    Memo->moveCursor(QTextCursor::Start);
    Napis(Memo, u"y"_s);
    QVERIFY(Memo->Text() == u"y"_s + text);
    QTest::keyClick(Memo, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(Memo->Text() == text);
}

void TestVelke::cekaciKurzor_data()
{
    QTest::addColumn<QString>("prikaz");
    for (const char *prikaz : {"open", "save", "F6", "undo", "Ctrl+Z", "delete all", "new"})
        QTest::newRow(prikaz) << QString::fromLatin1(prikaz);
}

// Every command that may take long shows the busy cursor while it runs, and
// the default one after it.
void TestVelke::cekaciKurzor()
{
    QFETCH(QString, prikaz);
    const QString cesta = Test->Prostredi.Cesta(u"kurzor.txt"_s);
    Zapis(cesta, MnohoRadku(50).toUtf8());
    Okno->OtevriSoubor(cesta);
    Okno->aOdstranitDiakritiku->trigger();
    Test->Dialogy->Ulozit << Test->Prostredi.Cesta(u"jinam.txt"_s);

    QList<bool> cekaci;
    THlavniForm::SledujDlouhePrikazy([&](QProgressDialog *, int) {
        cekaci << (QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    });
    if (prikaz == u"open")
        Okno->OtevriSoubor(cesta);
    else if (prikaz == u"save")
        Okno->aUlozit->trigger();
    else if (prikaz == u"F6")
        Okno->aOdstranitDiakritiku->trigger();
    else if (prikaz == u"undo")
        Okno->aZpet->trigger();
    else if (prikaz == u"Ctrl+Z")
        QTest::keyClick(Memo, Qt::Key_Z, Qt::ControlModifier);
    else if (prikaz == u"delete all")
        Okno->aSmazatVse->trigger();
    else if (prikaz == u"new") {
        // The changes are not saved.
        Test->Prostredi.Odpovedi << IDNO;
        Okno->aNovy->trigger();
        QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
        Test->Prostredi.Dialogy.clear();
    }
    THlavniForm::SledujDlouhePrikazy({});
    QVERIFY(!cekaci.isEmpty());
    QVERIFY(!cekaci.contains(false));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(Test->Prostredi.Dialogy.isEmpty());
}

void TestVelke::hlaseniF6_data()
{
    QTest::addColumn<QString>("jazyk"); // empty: no language file
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hlaseni");
    QTest::newRow("Czech, built in") << QString() << Cesky << u"Nahrazeno znaků: 15"_s;
    QTest::newRow("Czech, thousands") << QString() << u"ě"_s.repeated(12345) << u"Nahrazeno znaků: 12\u00A0345"_s;
    QTest::newRow("Czech, nothing") << QString() << u"abc"_s << u"V textu není co nahradit"_s;
    QTest::newRow("English, thousands") << u"EN"_s << u"Ě"_s.repeated(12345) << u"Characters replaced: 12,345"_s;
    QTest::newRow("English, nothing") << u"EN"_s << QString() << u"Nothing to replace in the text"_s;
    QTest::newRow("German, thousands") << u"DE"_s << u"ö"_s.repeated(1234) << u"Ersetzte Zeichen: 1.234"_s;
    QTest::newRow("Slovak, one") << u"SK"_s << u"ľ"_s << u"Nahradené znaky: 1"_s;
    // A character outside the first plane is one character, not two.
    QTest::newRow("surrogate pair counted once") << QString() << u"😀"_s << u"Nahrazeno znaků: 1"_s;
}

// F6 tells in the status bar's first panel how many characters it replaced,
// in the language of the interface.
void TestVelke::hlaseniF6()
{
    QFETCH(QString, jazyk);
    QFETCH(QString, text);
    QFETCH(QString, hlaseni);
    if (!jazyk.isEmpty()) {
        ZapisTrelo(DodavanyTrelo());
        JazykXML->NastavJazyk(jazyk);
        Okno->NastavJazyk();
    }
    if (QTest::currentDataTag() == "surrogate pair counted once"_L1) {
        ZnakySeZnamenkem = u"😀"_s;
        ZnakyBezZnamenka = u"𝐀"_s;
    }
    Memo->NastavText(text);
    Okno->aOdstranitDiakritiku->trigger();
    QCOMPARE(Okno->JvStatusBar1->Panel(0)->text(), hlaseni);
    QCOMPARE(Okno->AktualniHint(), hlaseni);
    // It stays until the hint under the mouse changes.
    QApplication::processEvents();
    QCOMPARE(Okno->JvStatusBar1->Panel(0)->text(), hlaseni);
}

void TestVelke::tvarPrevodu_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hledane");
    QTest::addColumn<QString>("nahrady");
    const QString mnoho = u"čáš\r\n"_s.repeated(int(TMemo::MaxRadkuBezSdruzeni) + 10);
    QTest::newRow("many lines, the default table") << mnoho << QString() << QString();
    // Each of these would be taken for a line break if the document's own
    // string were converted.
    QTest::newRow("many lines, a letter to U+2028") << mnoho << u"á"_s << u"\u2028"_s;
    QTest::newRow("a lone CR, a letter to the stand-in's code") << u"ab\rc\r\nč"_s << u"a"_s << u"\uFDD2"_s;
    QTest::newRow("a lone CR, a letter to CR") << u"ab\rc\r\nč"_s << u"a"_s << u"\r"_s;
    QTest::newRow("a long line in pieces") << QString(3 * TMemo::MaxDelkaBloku, u'ž') << QString() << QString();
}

// F6 on a text that the editor keeps in a shape of its own (shared
// paragraphs, stand-ins, pieces) gives exactly the converted text, whatever
// the table puts in, and its undo the text as it was.
void TestVelke::tvarPrevodu()
{
    QFETCH(QString, text);
    QFETCH(QString, hledane);
    QFETCH(QString, nahrady);
    if (!hledane.isEmpty()) {
        ZnakySeZnamenkem = hledane;
        ZnakyBezZnamenka = nahrady;
    }
    Memo->NastavText(text);
    QVERIFY(Memo->MaZastupce());
    Okno->aOdstranitDiakritiku->trigger();
    QVERIFY(Memo->Text() == NahradZnaky(text, ZnakySeZnamenkem, ZnakyBezZnamenka));
    Okno->aZpet->trigger();
    QVERIFY(Memo->Text() == text);
}

QTEST_MAIN(TestVelke)
#include "tst_velke.moc"
