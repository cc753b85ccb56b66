// The document editor: every character comes back as it went in, whatever
// the document underneath takes for its own breaks; texts of any shape (very
// long lines, very many lines) keep the editor contract, and the edits, undo
// and clipboard around the pieces of a long line work on the text itself.

#include "Chyby.h"
#include "Konverze.h"
#include "Memo.h"
#include "Soubory.h"
#include "TestovaciOkno.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTextBlock>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString Rozsah(char16_t Od, char16_t Do)
{
    QString text;
    for (char32_t u = Od; u <= Do; ++u)
        text += QChar(char16_t(u));
    return text;
}

// Every code unit once, but those in Krome: the halves of surrogate pairs as
// whole pairs (so that the text is valid UTF-16), line breaks as one CR LF.
QString VsechnyKrome(const QString &Krome = {})
{
    QString text;
    for (char32_t u = 0; u <= 0xFFFF; ++u)
        if (!(u >= 0xD800 && u <= 0xDFFF) && u != u'\r' && u != u'\n' && !Krome.contains(QChar(char16_t(u))))
            text += QChar(char16_t(u));
    for (char16_t i = 0; i < 0x400; ++i) {
        text += QChar(char16_t(0xD800 + i));
        text += QChar(char16_t(0xDC00 + i));
    }
    return text + u"\r\n"_s;
}

QString Hex(qsizetype Delka)
{
    QString text(Delka, Qt::Uninitialized);
    for (qsizetype i = 0; i < Delka; ++i)
        text[i] = QLatin1Char("0123456789abcdef"[(i * 7 + i / 3) % 16]);
    return text;
}

QString Opakuj(const QString &Kus, qsizetype Kolikrat)
{
    return Kus.repeated(Kolikrat);
}

} // namespace

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void znakyProjdou_data();
    void znakyProjdou();
    void zastupciDosli();
    void otevreniBezZastupcu();
    void surovaCesta_data();
    void surovaCesta();
    void surovyTextBezZtraty();
    void tvaryTextu_data();
    void tvaryTextu();
    void ulozeniTvaru_data();
    void ulozeniTvaru();
    void upravyNaRozhraniDilku();
    void schrankaAZastupci();
    void sdruzeneRadky();
    void rovnostTextu_data();
    void rovnostTextu();
    void zpetPrevodu_data();
    void zpetPrevodu();
    void zpetNaJinyDokument();
    void kopieKoloDilku();

private:
    // Sets Text and checks the contract: one change event, not modified, the
    // same text back; the equal text again changes nothing.
    void Nastav(const QString &Text);
    std::unique_ptr<TTestovaciOkno> Test;
    THlavniForm *Okno = nullptr;
    TMemo *Memo = nullptr;
};

void TestEditor::init()
{
    Test = std::make_unique<TTestovaciOkno>();
    Okno = Test->Okno;
    Memo = Okno->memSoubor;
    ZnakySeZnamenkem = VychoziZnakySeZnamenkem;
    ZnakyBezZnamenka = VychoziZnakyBezZnamenka;
}

void TestEditor::cleanup()
{
    Test.reset();
}

void TestEditor::Nastav(const QString &Text)
{
    QSignalSpy zmeny(Memo, &TMemo::Zmena);
    Memo->SetModified(true);
    Memo->NastavText(Text);
    QCOMPARE(zmeny.size(), 1);
    QVERIFY(!Memo->Modified());
    QVERIFY(Memo->Text() == Text);
    Memo->SetModified(true);
    Memo->NastavText(Text);
    QCOMPARE(zmeny.size(), 1);
    QVERIFY(Memo->Modified());
}

void TestEditor::znakyProjdou_data()
{
    QTest::addColumn<QString>("text");
    const QString nekaraktery = Rozsah(0xFDD2, 0xFDEF);
    QTest::newRow("U+2029 a U+FDD2 až U+FDEF") << u"a\u2029b"_s + nekaraktery;
    QTest::newRow("U+FDD1 a U+FDD2 až U+FDEF") << u"a\uFDD1b"_s + nekaraktery;
    QTest::newRow("U+FDD0 až U+FFFF") << u"\u2029"_s + Rozsah(0xFDD0, 0xFDEF) + u"\uFFFE\uFFFF"_s;
    QTest::newRow("i soukromá oblast obsazena")
        << Rozsah(0xFDD0, 0xFDEF) + u"\u2029\uFFFE\uFFFF"_s + Rozsah(0xE000, 0xF8FF);
    QTest::newRow("jediný volný zástupce") << VsechnyKrome(u"q\uFDD0\uFDD1"_s);
    QTest::newRow("tři volní na tři znaky") << VsechnyKrome(u"qrs"_s);
    const QChar dc80(0xDC80), d800(0xD800);
    QTest::newRow("osamělé poloviny") << dc80 + u"a"_s + d800 + u"\r\n"_s + dc80 + d800 + QChar(0xD83D);
    QTest::newRow("U+FFFC, U+2028, U+0000, U+FEFF") << u"\uFEFFa\uFFFCb\u2028c"_s + QChar(0) + u"d\uFEFF"_s;
    QTest::newRow("osamělé CR a LF") << u"a\rb\nc\r\r\nd\n\re\r"_s;
    QTest::newRow("na konci zlom") << u"a\r\n\r\n"_s;
}

void TestEditor::znakyProjdou()
{
    QFETCH(QString, text);
    Nastav(text);
    if (QTest::currentTestFailed())
        return;
    // F6 converts the text itself, and undo brings it back.
    Okno->aOdstranitDiakritikuExecute(Okno->aOdstranitDiakritiku);
    QVERIFY(Memo->Text() == NahradZnaky(text, ZnakySeZnamenkem, ZnakyBezZnamenka));
    Memo->Zpet();
    QVERIFY(Memo->Text() == text);
}

void TestEditor::zastupciDosli()
{
    // A text that holds every code unit leaves none to stand in for U+2029,
    // U+FDD0 and U+FDD1: it is refused before anything changes.
    Memo->NastavText(u"řádek"_s);
    Okno->aOdstranitDiakritiku->trigger();
    QSignalSpy zmeny(Memo, &TMemo::Zmena);
    try {
        Memo->NastavText(VsechnyKrome());
        QFAIL("the text was taken");
    } catch (const EChyba &e) {
        QCOMPARE(e.Zprava(), rsZASTUPCI);
    }
    QCOMPARE(Memo->Text(), u"radek"_s);
    QVERIFY(Memo->Modified());
    QCOMPARE(zmeny.size(), 0);
    Memo->Zpet();
    QCOMPARE(Memo->Text(), u"řádek"_s);
}

void TestEditor::otevreniBezZastupcu()
{
    Memo->NastavText(u"dosavadní"_s);
    const QString cesta = Test->Prostredi.Cesta(u"vsechno.txt"_s);
    QFile soubor(cesta);
    QVERIFY(soubor.open(QIODevice::WriteOnly));
    QVERIFY(soubor.write(Utf8Soubor(VsechnyKrome())) > 0);
    soubor.close();
    Test->Dialogy->Otevrit = {cesta};
    Okno->aOtevrit->trigger();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    QCOMPARE(Test->Prostredi.Dialogy[0].Text, ZpravaSTeckou(rsZASTUPCI));
    QCOMPARE(Test->Prostredi.Dialogy[0].Nadpis, u"Lumarin"_s);
    QCOMPARE(Memo->Text(), u"dosavadní"_s);
    QVERIFY(Okno->NazevSouboru() != cesta);
    QVERIFY(Okno->lblNazevSouboru->text() != cesta);
}

void TestEditor::surovaCesta_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hledane");
    QTest::addColumn<QString>("nahrady");
    QTest::addColumn<bool>("bezpecna");
    const QString text = u"Žluťoučký\r\nkůň ab"_s;
    QTest::newRow("výchozí tabulka") << text << VychoziZnakySeZnamenkem << VychoziZnakyBezZnamenka << true;
    QTest::newRow("náhrada U+2028") << text << u"a"_s << u"\u2028"_s << true;
    QTest::newRow("náhrada U+FDD2") << text << u"a"_s << u"\uFDD2"_s << true;
    QTest::newRow("náhrada U+2029") << text << u"a"_s << u"\u2029"_s << false;
    QTest::newRow("náhrada U+FDD0") << text << u"ab"_s << u"x\uFDD0"_s << false;
    QTest::newRow("náhrada U+FDD1") << text << u"a"_s << u"\uFDD1"_s << false;
    QTest::newRow("náhrada CR") << text << u"a"_s << u"\r"_s << false;
    QTest::newRow("náhrada LF") << text << u"a"_s << u"\n"_s << false;
    QTest::newRow("hledá CR") << text << u"\r"_s << u"x"_s << false;
    QTest::newRow("hledá LF") << text << u"\n"_s << u"x"_s << false;
    QTest::newRow("hledá U+2029") << text << u"\u2029"_s << u"x"_s << false;
    QTest::newRow("editor má zástupce") << u"a\u2029b"_s << u"a"_s << u"b"_s << false;
    QTest::newRow("dlouhý řádek") << Opakuj(u"ab"_s, 20000) << u"a"_s << u"b"_s << false;
    QTest::newRow("mnoho řádků") << Opakuj(u"a\r\n"_s, TMemo::MaxRadkuBezSdruzeni + 1) << u"a"_s << u"b"_s << false;
}

void TestEditor::surovaCesta()
{
    QFETCH(QString, text);
    QFETCH(QString, hledane);
    QFETCH(QString, nahrady);
    QFETCH(bool, bezpecna);
    const QString vysledek = NahradZnaky(text, hledane, nahrady);
    Memo->NastavText(text);
    QCOMPARE(Memo->SurovaCestaBezpecna(hledane, nahrady), bezpecna);
    if (bezpecna) {
        Memo->NastavSurovyText(NahradZnaky(Memo->SurovyText(), hledane, nahrady), true);
        QVERIFY(Memo->Text() == vysledek);
        Memo->Zpet();
        QVERIFY(Memo->Text() == text);
    }
    Memo->NastavText(NahradZnaky(Memo->Text(), hledane, nahrady), true);
    QVERIFY(Memo->Text() == vysledek);
}

void TestEditor::surovyTextBezZtraty()
{
    // U+2029 stands for a line break in the raw text; the characters that the
    // document would take for breaks too stay what they are.
    Memo->NastavSurovyText(u"a\uFDD0b\u2029c\nd\re\uFDD1"_s);
    QCOMPARE(Memo->Text(), u"a\uFDD0b\r\nc\nd\re\uFDD1"_s);
}

void TestEditor::tvaryTextu_data()
{
    QTest::addColumn<QString>("text");
    const qsizetype mez = TMemo::MaxDelkaBloku;
    QTest::newRow("100 000 × a") << QString(100000, u'a');
    QTest::newRow("hex") << Hex(3 * mez + 5);
    QTest::newRow("právě na mezi a za ní") << QString(mez, u'a') + u"\r\n"_s + QString(mez + 1, u'b');
    QTest::newRow("dvojice přes řez") << u"a"_s + Opakuj(u"😀"_s, mez);
    QTest::newRow("slova") << Opakuj(u"slovo "_s, 20000);
    QTest::newRow("zvláštní znaky v dlouhém řádku")
        << QString(mez + 10, u'a') + u"\u2029\uFDD0\r\n\u2028\n"_s + QString(2 * mez, u'b') + u"\uFDD1\r"_s;
    QTest::newRow("mnoho řádků s U+2028") << Opakuj(u"ř\r\n"_s, 300000) + u"\u2028"_s + Opakuj(u"\r\nž"_s, 300000);
    QTest::newRow("jen konce řádků") << Opakuj(u"\r\n"_s, 1000000);
}

void TestEditor::tvaryTextu()
{
    QFETCH(QString, text);
    Nastav(text);
    if (QTest::currentTestFailed())
        return;
    // The document never lays out a paragraph much longer than the bound, nor
    // keeps a paragraph for each of a million lines.
    const QTextDocument *dokument = Memo->document();
    QVERIFY(dokument->blockCount() <= 2 * TMemo::CilovyPocetBloku);
    int nejdelsi = 0;
    for (QTextBlock blok = dokument->begin(); blok.isValid(); blok = blok.next()) {
        nejdelsi = std::max(nejdelsi, blok.length());
        // A piece never begins inside a surrogate pair.
        QVERIFY(!dokument->characterAt(blok.position()).isLowSurrogate());
    }
    QVERIFY2(nejdelsi <= 2 * TMemo::MaxDelkaBloku + 1, qPrintable(QString::number(nejdelsi)));

    Okno->aOdstranitDiakritikuExecute(Okno->aOdstranitDiakritiku);
    QVERIFY(Memo->Text() == NahradZnaky(text, ZnakySeZnamenkem, ZnakyBezZnamenka));
    Memo->Zpet();
    QVERIFY(Memo->Text() == text);
    QSignalSpy zmeny(Memo, &TMemo::Zmena);
    Memo->Smaz();
    QVERIFY(Memo->JePrazdny());
    QCOMPARE(zmeny.size(), 0);
}

void TestEditor::ulozeniTvaru_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("dlouhý řádek") << Opakuj(u"ěščř"_s, 30000) + u"\r\n\u2029konec\uFDD0"_s;
    QTest::newRow("mnoho řádků") << Opakuj(u"čára\r\n"_s, TMemo::MaxRadkuBezSdruzeni + 3) + u"\u2028"_s;
}

void TestEditor::ulozeniTvaru()
{
    // Opened, edited and taken back, converted and saved: the bytes of the
    // converted text, nothing else.
    QFETCH(QString, text);
    const QString cesta = Test->Prostredi.Cesta(u"tvar.txt"_s);
    QFile soubor(cesta);
    QVERIFY(soubor.open(QIODevice::WriteOnly));
    QVERIFY(soubor.write(Utf8Soubor(text)) > 0);
    soubor.close();
    Test->Dialogy->Otevrit = {cesta};
    Okno->aOtevrit->trigger();
    QVERIFY(Memo->Text() == text);
    Memo->moveCursor(QTextCursor::End);
    Napis(Memo, u"x"_s);
    QTest::keyClick(Memo, Qt::Key_Backspace);
    Okno->aOdstranitDiakritiku->trigger();
    Okno->aUlozit->trigger();
    QVERIFY(Test->Prostredi.Dialogy.isEmpty());
    QVERIFY(soubor.open(QIODevice::ReadOnly));
    QVERIFY(soubor.readAll() == Utf8Soubor(NahradZnaky(text, ZnakySeZnamenkem, ZnakyBezZnamenka)));
}

void TestEditor::upravyNaRozhraniDilku()
{
    // One line in three pieces: 0..16383, 16384..32767, 32768..
    const qsizetype mez = TMemo::MaxDelkaBloku;
    QString text = QString(mez, u'a') + QString(mez, u'b') + QString(1000, u'c');
    Memo->NastavText(text);
    QCOMPARE(Memo->document()->blockCount(), 3);
    const auto kurzorNa = [this](int Pozice) {
        QTextCursor kurzor = Memo->textCursor();
        kurzor.setPosition(Pozice);
        Memo->setTextCursor(kurzor);
    };

    // Backspace at the start of a piece and Delete at the end of one take the
    // character beyond the mark.
    kurzorNa(Memo->document()->findBlockByNumber(1).position());
    QTest::keyClick(Memo, Qt::Key_Backspace);
    text.remove(mez - 1, 1);
    QVERIFY(Memo->Text() == text);
    kurzorNa(Memo->document()->findBlockByNumber(1).position() - 1);
    QTest::keyClick(Memo, Qt::Key_Delete);
    text.remove(mez - 1, 1);
    QVERIFY(Memo->Text() == text);

    // Enter in a piece emptied by the user is a line break, not a piece mark.
    const QTextBlock druhy = Memo->document()->findBlockByNumber(1);
    QTextCursor kurzor = Memo->textCursor();
    kurzor.setPosition(druhy.position());
    kurzor.setPosition(druhy.position() + druhy.length() - 1, QTextCursor::KeepAnchor);
    Memo->setTextCursor(kurzor);
    QTest::keyClick(Memo, Qt::Key_Delete);
    Napis(Memo, u"x"_s);
    QTest::keyClick(Memo, Qt::Key_Return);
    Napis(Memo, u"y"_s);
    QTest::keyClick(Memo, Qt::Key_Return, Qt::ShiftModifier);
    QVERIFY(Memo->Text() == QString(mez - 1, u'a') + u"x\r\ny\r\n"_s + QString(1000, u'c'));

    // Undo brings the pieces back with their marks.
    while (Memo->document()->isUndoAvailable())
        Memo->undo();
    QVERIFY(Memo->Text() == QString(mez, u'a') + QString(mez, u'b') + QString(1000, u'c'));
}

void TestEditor::schrankaAZastupci()
{
    // The clipboard gets the text itself: no stand-ins, no piece marks.
    const QString text = u"x\u2029y\uFDD0"_s + QString(TMemo::MaxDelkaBloku + 100, u'a');
    Memo->NastavText(text);
    Okno->aOznacitVse->trigger();
    Okno->aKopirovat->trigger();
    QVERIFY(QGuiApplication::clipboard()->text() == text);
    Memo->Smaz();
    Okno->aVlozit->trigger();
    QVERIFY(Memo->Text() == text);

    // Pasted characters that now stand in for others stay themselves.
    const QString cizi = Rozsah(0xFDD0, 0xFDD4) + u"\u2029z"_s;
    QGuiApplication::clipboard()->setText(cizi);
    Memo->moveCursor(QTextCursor::End);
    Okno->aVlozit->trigger();
    QVERIFY(Memo->Text() == text + cizi);
    Memo->Zpet();
    QVERIFY(Memo->Text() == text);
    Memo->redo();
    QVERIFY(Memo->Text() == text + cizi);
    // Line breaks of another program's text are line breaks.
    QGuiApplication::clipboard()->setText(u"1\n2\r3\r\n4"_s);
    Okno->aVlozit->trigger();
    QVERIFY(Memo->Text() == text + cizi + u"1\r\n2\r\n3\r\n4"_s);
}

void TestEditor::sdruzeneRadky()
{
    // Many lines share paragraphs, joined by U+2028; a U+2028 of the text,
    // typed or pasted, stays a character, Enter a line break.
    const QString text = Opakuj(u"řádek\r\n"_s, TMemo::MaxRadkuBezSdruzeni + 1);
    Memo->NastavText(text);
    QVERIFY(Memo->document()->blockCount() <= TMemo::CilovyPocetBloku + 1);
    Memo->moveCursor(QTextCursor::End);
    Napis(Memo, u"a\u2028b"_s);
    QTest::keyClick(Memo, Qt::Key_Return);
    QGuiApplication::clipboard()->setText(u"c\u2028"_s);
    Okno->aVlozit->trigger();
    QVERIFY(Memo->Text() == text + u"a\u2028b\r\nc\u2028"_s);
    // Copying a few lines gives them with the system's line breaks.
    QTextCursor kurzor = Memo->textCursor();
    kurzor.setPosition(0);
    kurzor.setPosition(12, QTextCursor::KeepAnchor);
    Memo->setTextCursor(kurzor);
    Okno->aKopirovat->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"řádek\nřádek\n"_s);
}

void TestEditor::rovnostTextu_data()
{
    // The editor finds an equal text equal without a copy of its own: a text
    // that only begins like it, or goes on after it, is another.
    QTest::addColumn<QString>("dosud");
    QTest::addColumn<QString>("novy");
    const qsizetype mez = TMemo::MaxDelkaBloku;
    const QString radky = Opakuj(u"řádek\r\n"_s, TMemo::MaxRadkuBezSdruzeni + 1);
    QTest::newRow("kratší") << u"abc\r\n"_s << u"abc"_s;
    QTest::newRow("delší") << u"abc"_s << u"abc\r\n"_s;
    QTest::newRow("CR místo CR LF") << u"a\r\n"_s << u"a\r"_s;
    QTest::newRow("prázdný") << u"a"_s << QString();
    QTest::newRow("dílky, stejný") << QString(3 * mez, u'a') << QString(3 * mez, u'a');
    QTest::newRow("dílky, jiný konec") << QString(3 * mez, u'a') << QString(3 * mez - 1, u'a') + u"b"_s;
    QTest::newRow("dílky, zlom místo dílku")
        << QString(2 * mez, u'a') << QString(mez, u'a') + u"\r\n"_s + QString(mez, u'a');
    QTest::newRow("sdružené, stejný") << radky << radky;
    QTest::newRow("sdružené, o řádek víc") << radky << radky + u"\r\n"_s;
    QTest::newRow("zástupci, stejný") << u"a\u2029b\uFDD0"_s << u"a\u2029b\uFDD0"_s;
    QTest::newRow("zástupce a jeho znak") << u"a\u2029b"_s << u"a\r\nb"_s;
}

void TestEditor::rovnostTextu()
{
    QFETCH(QString, dosud);
    QFETCH(QString, novy);
    Memo->NastavText(dosud);
    Memo->SetModified(true);
    QSignalSpy zmeny(Memo, &TMemo::Zmena);
    Memo->NastavText(novy);
    QCOMPARE(zmeny.size(), dosud == novy ? 0 : 1);
    QCOMPARE(Memo->Modified(), dosud == novy);
    QVERIFY(Memo->Text() == novy);
}

void TestEditor::zpetPrevodu_data()
{
    // Undo of F6 brings back exactly the text before it, whatever the
    // document made of it: the text set by the program or put in by the user
    // (who can make a document of very many paragraphs, or a line of one
    // paragraph far over the bound), edited before F6 and after it.
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("vlozit");
    const qsizetype radku = TMemo::MaxRadkuBezSdruzeni + 1;
    QTest::newRow("sdružené řádky") << Opakuj(u"řádek\r\n"_s, radku) << false;
    QTest::newRow("mění se vše") << Opakuj(u"ěš"_s, 5000) << false;
    QTest::newRow("dílky a zástupci") << u"ž\u2029\uFDD0"_s + Opakuj(u"čá"_s, TMemo::MaxDelkaBloku) + u"\r\nř"_s
                                      << false;
    QTest::newRow("vložené řádky, mění se vše") << Opakuj(u"řž\r\n"_s, radku) << true;
    QTest::newRow("vložený dlouhý řádek, mění se vše") << Opakuj(u"ěš"_s, TMemo::MaxDelkaBloku) << true;
    QTest::newRow("vložené řádky, mění se málo") << Opakuj(u"řádek\r\n"_s, radku) << true;
}

void TestEditor::zpetPrevodu()
{
    QFETCH(QString, text);
    QFETCH(bool, vlozit);
    if (vlozit) {
        Memo->Smaz();
        QGuiApplication::clipboard()->setText(text);
        Okno->aVlozit->trigger();
    } else {
        Memo->NastavText(text);
    }
    QVERIFY(Memo->Text() == text);
    // A line typed at the start.
    Memo->moveCursor(QTextCursor::Start);
    QTest::keyClick(Memo, Qt::Key_Return);
    Napis(Memo, u"ň"_s);
    const QString pred = Memo->Text();
    QVERIFY(pred == u"\r\nň"_s + text);

    Okno->aOdstranitDiakritiku->trigger();
    QVERIFY(Memo->Text() == NahradZnaky(pred, ZnakySeZnamenkem, ZnakyBezZnamenka));
    // An edit after F6 goes back first, then F6 itself.
    Memo->moveCursor(QTextCursor::End);
    Napis(Memo, u"é"_s);
    Memo->Zpet();
    QVERIFY(Memo->Text() == NahradZnaky(pred, ZnakySeZnamenkem, ZnakyBezZnamenka));
    Memo->SetModified(false);
    Memo->Zpet();
    QVERIFY(Memo->Text() == pred);
    QVERIFY(Memo->Modified());
    Memo->Zpet();
    QVERIFY(Memo->Text() == pred);
    // The shape is back too: F6 again converts the same text.
    Okno->aOdstranitDiakritiku->trigger();
    QVERIFY(Memo->Text() == NahradZnaky(pred, ZnakySeZnamenkem, ZnakyBezZnamenka));
}

void TestEditor::zpetNaJinyDokument()
{
    // Undo of F6 puts the changed characters back only onto the text F6
    // gave; a document changed otherwise than by edits that undo takes back
    // stays as it is, never patched in the wrong places.
    Memo->NastavText(u"žluťoučký\r\nkůň"_s);
    Okno->aOdstranitDiakritiku->trigger();
    QTextDocument *dokument = Memo->document();
    dokument->setUndoRedoEnabled(false);
    QTextCursor(dokument).insertText(u"x"_s);
    dokument->setUndoRedoEnabled(true);
    Memo->Zpet();
    QCOMPARE(Memo->Text(), u"xzlutoucky\r\nkun"_s);
}

void TestEditor::kopieKoloDilku()
{
    // Copying a part of a line that goes on in the next piece gives the line
    // without a break, across one piece mark and across the next.
    const qsizetype mez = TMemo::MaxDelkaBloku;
    Memo->NastavText(QString(mez, u'a') + QString(mez, u'b') + u"\u2029c"_s);
    QTextCursor kurzor = Memo->textCursor();
    kurzor.setPosition(int(mez) - 2);
    kurzor.setPosition(int(mez) + 3, QTextCursor::KeepAnchor);
    Memo->setTextCursor(kurzor);
    Okno->aKopirovat->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"aabb"_s);
    kurzor.setPosition(2 * int(mez));
    kurzor.setPosition(2 * int(mez) + 4, QTextCursor::KeepAnchor);
    Memo->setTextCursor(kurzor);
    Okno->aKopirovat->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"b\u2029c"_s);
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
