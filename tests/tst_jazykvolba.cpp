// The language chooser: its make-up, the flags, the listing of a file's
// languages, the language command from the menu and from the status-bar
// flag (with and without a file, confirmed and cancelled), and the whole path
// by the keyboard across a restart.

#include "Chyba.h"
#include "JazykovySoubor.h"
#include "JazykyXML.h"
#include "Komponenty.h"
#include "Memo.h"
#include "Modalni.h"
#include "Prostredi.h"
#include "Retezce.h"
#include "SeznamObrazku.h"
#include "TestovaciOkno.h"
#include "convar.h"
#include "fHlavni.h"
#include "fJazyk.h"
#include "fZnaky.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The rows as "code|name|version|author|image index".
QStringList Radky(const QTreeWidget *Seznam)
{
    QStringList radky;
    for (int i = 0; i < Seznam->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *r = Seznam->topLevelItem(i);
        radky << QStringList{r->text(0), r->text(1), r->text(2), r->text(3),
                             QString::number(r->data(0, RoleIndexObrazku).toInt())}
                     .join(u'|');
    }
    return radky;
}

QString Vybrany(const QTreeWidget *Seznam)
{
    const QList<QTreeWidgetItem *> vybrane = Seznam->selectedItems();
    return vybrane.isEmpty() ? QString() : vybrane.first()->text(0);
}

QImage Obrazek(const QPixmap &Pixmapa)
{
    return Pixmapa.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestJazykVolba : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void vzhled();
    void vlajky_data();
    void vlajky();
    void bezSouboru_data();
    void bezSouboru();
    void seznamJazyku_data();
    void seznamJazyku();
    void chybaSeznamuBezVolby();
    void zdvojenyJazyk();
    void seznamDelenychJazyku();
    void okPovolenPodleVyberu();
    void volbaOK();
    void zruseni_data();
    void zruseni();
    void jazykBezVlajky();
    void klikNaVlajku();
    void souborPozdeji();
    void celaCestaKlavesnici();

private:
    void Spust(const QByteArray &Soubor);
    std::unique_ptr<TTestovaciOkno> O;
    TJazykForm *J = nullptr;
};

void TestJazykVolba::init()
{
    O.reset();
}

void TestJazykVolba::cleanup()
{
    O.reset();
    J = nullptr;
}

// The window with Soubor as its language file (none when empty), shown.
void TestJazykVolba::Spust(const QByteArray &Soubor)
{
    O = std::make_unique<TTestovaciOkno>([&] {
        if (!Soubor.isEmpty())
            ZapisTrelo(Soubor);
    });
    J = O->Formy->JazykForm;
    O->Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(O->Okno));
}

void TestJazykVolba::vzhled()
{
    Spust({});
    QCOMPARE(J->objectName(), u"JazykForm"_s);
    QCOMPARE(Tag(J), -1);
    QCOMPARE(J->windowTitle(), u"Výběr jazyka aplikace"_s);
    QCOMPARE(J->size(), QSize(409, 194));
    QCOMPARE(J->minimumSize(), J->maximumSize());
    QVERIFY(J->windowFlags() & Qt::Tool);
    QCOMPARE(J->Komponenty, (QList<QObject *>{J->livJazyk, J->btnOK, J->btnStorno, J->ilVlajky}));

    QCOMPARE(J->livJazyk->geometry(), QRect(8, 8, 393, 150));
    QCOMPARE(Tag(J->livJazyk), -1);
    QCOMPARE(J->livJazyk->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(J->livJazyk->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(J->livJazyk->editTriggers(), QAbstractItemView::NoEditTriggers);
    const QPalette paleta = J->livJazyk->palette();
    QCOMPARE(paleta.color(QPalette::Inactive, QPalette::Highlight),
             paleta.color(QPalette::Active, QPalette::Highlight));
    const QStringList nazvy = {u"Jazyk"_s, u"Název"_s, u"Verze"_s, u"Autor"_s};
    const int sirky[] = {70, 100, 50, 150};
    QCOMPARE(J->livJazyk->columnCount(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(J->livJazyk->headerItem()->text(i), nazvy[i]);
        QCOMPARE(J->livJazyk->columnWidth(i), sirky[i]);
        QCOMPARE(TagSloupce(J->livJazyk, i), -1);
    }
    QCOMPARE(Qt::Alignment(J->livJazyk->headerItem()->textAlignment(2)) & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

    QCOMPARE(J->btnOK->text(), u"OK"_s);
    QCOMPARE(J->btnOK->geometry(), QRect(245, 164, 75, 25));
    QVERIFY(!J->btnOK->isEnabled());
    QCOMPARE(Tag(J->btnOK), -1);
    QCOMPARE(J->btnStorno->text(), u"Storno"_s);
    QCOMPARE(J->btnStorno->geometry(), QRect(326, 164, 75, 25));
    QCOMPARE(Tag(J->btnStorno), -1);
}

// Six flags of 16 x 13 in their order, each told by a colour where it has
// one no other flag has there; nothing before the first and after the last.
void TestJazykVolba::vlajky_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QPoint>("bod");
    QTest::addColumn<QColor>("barva");
    QTest::newRow("0 Czech Republic, the wedge") << 0 << QPoint(2, 6) << QColor(0x11, 0x45, 0x7e);
    QTest::newRow("0 Czech Republic, the red") << 0 << QPoint(13, 10) << QColor(0xd7, 0x14, 0x1a);
    QTest::newRow("1 United Kingdom, the cross") << 1 << QPoint(8, 6) << QColor(0xc8, 0x10, 0x2e);
    QTest::newRow("1 United Kingdom, the blue") << 1 << QPoint(5, 1) << QColor(0x01, 0x21, 0x69);
    QTest::newRow("2 Slovakia, the blue") << 2 << QPoint(13, 6) << QColor(0x0b, 0x4e, 0xa2);
    QTest::newRow("3 Germany, the black") << 3 << QPoint(8, 2) << QColor(0, 0, 0);
    QTest::newRow("3 Germany, the gold") << 3 << QPoint(8, 10) << QColor(0xff, 0xce, 0x00);
    QTest::newRow("4 France, the blue") << 4 << QPoint(2, 6) << QColor(0x00, 0x55, 0xa4);
    QTest::newRow("5 Spain, the yellow") << 5 << QPoint(12, 6) << QColor(0xf1, 0xbf, 0x00);
}

void TestJazykVolba::vlajky()
{
    QFETCH(int, index);
    QFETCH(QPoint, bod);
    QFETCH(QColor, barva);
    TTestovaciOkno okno;
    const TSeznamObrazku *vlajky = okno.Formy->JazykForm->ilVlajky;
    QCOMPARE(vlajky->Pocet(), 6);
    QCOMPARE(vlajky->Velikost(), QSize(16, 13));
    const QPixmap vlajka = vlajky->Obrazek(index);
    QCOMPARE(vlajka.size(), QSize(16, 13));
    const QColor skutecna = Obrazek(vlajka).pixelColor(bod);
    QVERIFY2(std::abs(skutecna.red() - barva.red()) + std::abs(skutecna.green() - barva.green()) +
                     std::abs(skutecna.blue() - barva.blue()) <=
                 12,
             qPrintable(skutecna.name()));
    for (int mimo : {-1, 6, 7})
        QVERIFY(vlajky->Obrazek(mimo).isNull());
}

// Without the file: the information, in Czech whatever the language, and no
// chooser.
void TestJazykVolba::bezSouboru_data()
{
    QTest::addColumn<QString>("jazyk");
    QTest::newRow("CZ") << u"CZ"_s;
    QTest::newRow("EN") << u"EN"_s;
}

void TestJazykVolba::bezSouboru()
{
    QFETCH(QString, jazyk);
    Spust({});
    JazykXML->NastavJazyk(jazyk);
    bool bVolba = false;
    QTimer::singleShot(0, [&] { bVolba = QApplication::activeModalWidget() != nullptr; });
    O->Okno->aJazyk->trigger();
    QCoreApplication::processEvents();
    QVERIFY(!bVolba);
    QCOMPARE(O->Prostredi.Dialogy.size(), 1);
    QCOMPARE(O->Prostredi.Dialogy[0].Text,
             u"Nebyl nalezen žádný jazykový soubor\rAplikace používá výchozí jazyk (Češtinu)."_s);
    QCOMPARE(O->Prostredi.Dialogy[0].Nadpis, u"Informace"_s);
    QCOMPARE(O->Prostredi.Dialogy[0].Priznaky, MB_ICONASTERISK);
    QCOMPARE(JazykXML->Jazyk(), jazyk);
}

// The languages of a file as rows, the current one selected without regard
// to case, OK enabled exactly when a row is selected. A language that cannot
// be read ends the listing with an error naming it; the rows before it stay.
void TestJazykVolba::seznamJazyku_data()
{
    QTest::addColumn<QString>("jazyky");
    QTest::addColumn<QString>("jazyk");
    QTest::addColumn<QStringList>("radky");
    QTest::addColumn<QString>("vybrany");
    QTest::addColumn<QString>("chyba");

    const QStringList dva = {u"CZ|Čeština|1.0|Jan Novák|0"_s, u"EN|English|1.1|John Smith|1"_s};
    QTest::newRow("two languages") << DvaJazyky << u"CZ"_s << dva << u"CZ"_s << QString();
    QTest::newRow("the second current") << DvaJazyky << u"EN"_s << dva << u"EN"_s << QString();
    QTest::newRow("cz selects CZ") << DvaJazyky << u"cz"_s << dva << u"CZ"_s << QString();
    QTest::newRow("the current one missing") << DvaJazyky << u"FR"_s << dva << QString() << QString();
    QTest::newRow("comments and text between languages")
        << u"<JAZYKY><!-- first --><CZ index=\"0\"><N>Čeština</N><V>1.0</V><A>Jan Novák</A></CZ>"
           "<!-- second --><EN index=\"1\"><N>English</N><V>1.1</V><A>John Smith</A></EN></JAZYKY>"_s
        << u"EN"_s << dva << u"EN"_s << QString();
    QTest::newRow("names by position, not by element name")
        << u"<JAZYKY><DE index=\"3\"><a>Deutsch</a><b></b><c>Hans</c></DE></JAZYKY>"_s << u"DE"_s
        << QStringList{u"DE|Deutsch||Hans|3"_s} << u"DE"_s << QString();
    QTest::newRow("index 7 and -1")
        << u"<JAZYKY><XX index=\"7\"><N>Sedm</N><V>1</V><A>A</A></XX><YY index=\"-1\"><N>Bez</N><V>1</V><A>A</A></YY></JAZYKY>"_s
        << u"XX"_s << QStringList{u"XX|Sedm|1|A|7"_s, u"YY|Bez|1|A|-1"_s} << u"XX"_s << QString();
    QTest::newRow("a code listed twice")
        << u"<JAZYKY><CZ index=\"0\"><N>Čeština</N><V>1.0</V><A>Jan Novák</A></CZ>"
           "<EN index=\"1\"><N>English</N><V>1.1</V><A>John Smith</A></EN>"
           "<EN index=\"5\"><N>Español</N><V>2</V><A>Juan</A></EN><en index=\"2\"><N>en</N><V>1</V><A>A</A></en></JAZYKY>"_s
        << u"EN"_s << dva + QStringList{u"en|en|1|A|2"_s} << u"EN"_s << QString();
    const QString pred = u"<CZ index=\"0\"><N>Čeština</N><V>1.0</V><A>Jan Novák</A></CZ>"_s;
    const QStringList jenPrvni = {u"CZ|Čeština|1.0|Jan Novák|0"_s};
    QTest::newRow("a language with two children")
        << u"<JAZYKY>"_s + pred + u"<EN index=\"1\"><N>English</N><V>1.1</V></EN></JAZYKY>"_s << u"CZ"_s << jenPrvni
        << QString() << u"\"JAZYKY/EN\" has no child node at position 2"_s;
    QTest::newRow("a name that is not text")
        << u"<JAZYKY>"_s + pred + u"<EN index=\"1\"><N><b>English</b></N><V>1</V><A>A</A></EN></JAZYKY>"_s << u"CZ"_s
        << jenPrvni << QString() << u"\"JAZYKY/EN/N\""_s;
    QTest::newRow("an index that is no number")
        << u"<JAZYKY>"_s + pred + u"<EN index=\"x\"><N>English</N><V>1</V><A>A</A></EN></JAZYKY>"_s << u"CZ"_s
        << jenPrvni << QString() << u"\"x\""_s;
    QTest::newRow("no index") << u"<JAZYKY>"_s + pred + u"<EN><N>English</N><V>1</V><A>A</A></EN></JAZYKY>"_s << u"CZ"_s
                              << jenPrvni << QString() << u"\"EN\" has no flag index"_s;
}

void TestJazykVolba::seznamJazyku()
{
    QFETCH(QString, jazyky);
    QFETCH(QString, jazyk);
    QFETCH(QStringList, radky);
    QFETCH(QString, vybrany);
    QFETCH(QString, chyba);
    Spust(JazykovySoubor({}, jazyky));
    JazykXML->NastavJazyk(jazyk);
    QString zprava;
    try {
        JazykXML->SeznamJazyku(J->livJazyk);
    } catch (const EChyba &e) {
        zprava = e.Zprava();
    }
    QCOMPARE(Radky(J->livJazyk), radky);
    QCOMPARE(Vybrany(J->livJazyk), vybrany);
    QCOMPARE(J->btnOK->isEnabled(), !vybrany.isEmpty());
    QVERIFY2(chyba.isEmpty() ? zprava.isEmpty() : zprava.contains(chyba), qPrintable(zprava));
    // The version column is centred like its heading.
    if (!radky.isEmpty())
        QCOMPARE(Qt::Alignment(J->livJazyk->topLevelItem(0)->textAlignment(2)) & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
}

// The command whose listing fails tells the error and shows no chooser.
void TestJazykVolba::chybaSeznamuBezVolby()
{
    Spust(
        JazykovySoubor({}, u"<JAZYKY><CZ index=\"0\"><N>Čeština</N><V>1</V><A>A</A></CZ><EN index=\"1\"/></JAZYKY>"_s));
    QVERIFY(O->Prostredi.Dialogy.isEmpty());
    bool bVolba = false;
    QTimer::singleShot(0, [&] {
        if (auto *okno = QApplication::activeModalWidget()) {
            bVolba = true;
            okno->close();
        }
    });
    O->Okno->aJazyk->trigger();
    QCoreApplication::processEvents();
    QVERIFY(!bVolba);
    QCOMPARE(O->Prostredi.Dialogy.size(), 1);
    QCOMPARE(O->Prostredi.Dialogy[0].Nadpis, u"Lumarin"_s);
    QVERIFY(O->Prostredi.Dialogy[0].Text.contains(u"JAZYKY/EN"_s));
    QCOMPARE(JazykXML->Jazyk(), u"CZ"_s);
}

// A code that JAZYKY lists twice is told once, when the file is loaded, with
// where it stands both times; the file is used all the same, and the first
// entry of the code is the one that counts (its flag).
void TestJazykVolba::zdvojenyJazyk()
{
    O = std::make_unique<TTestovaciOkno>([] {
        ZapisTrelo(JazykovySoubor(u"<HlavniForm><aNovy><EN>New</EN></aNovy></HlavniForm>"_s,
                                  u"<JAZYKY>\n<CZ index=\"0\"><N>Čeština</N><V>1</V><A>A</A></CZ>\n"
                                  "<EN index=\"1\"><N>English</N><V>1</V><A>A</A></EN>\n"
                                  "<EN index=\"3\"><N>Deutsch</N><V>1</V><A>A</A></EN>\n</JAZYKY>"_s));
    });
    J = O->Formy->JazykForm;
    JazykXML->NastavJazyk(u"EN"_s);
    O->Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(O->Okno));
    QCOMPARE(O->Prostredi.Dialogy.size(), 1);
    QCOMPARE(O->Prostredi.Dialogy[0].Nadpis, u"Lumarin"_s);
    const QString text = O->Prostredi.Dialogy[0].Text;
    QVERIFY2(text.contains(u"\"EN\" again in JAZYKY at line 6, column "_s) &&
                 text.contains(u"(first at line 5, column "_s),
             qPrintable(text));
    QCOMPARE(O->Okno->aNovy->text(), u"New"_s);
    QCOMPARE(Obrazek(O->Okno->imgJazyk->pixmap()), Obrazek(J->ilVlajky->Obrazek(1)));

    O->Okno->NastavJazyk();
    NaModalnimOkne([&](QWidget *) {
        QCOMPARE(Radky(J->livJazyk), QStringList({u"CZ|Čeština|1|A|0"_s, u"EN|English|1|A|1"_s}));
        QTest::mouseClick(J->btnOK, Qt::LeftButton);
    });
    O->Okno->aJazyk->trigger();
    QCOMPARE(O->Prostredi.Dialogy.size(), 1);
    QCOMPARE(JazykXML->Jazyk(), u"EN"_s);
}

// A file whose language elements hold their names as text: the document's
// version and author on every row, "?" for what it does not have.
void TestJazykVolba::seznamDelenychJazyku()
{
    Spust(JazykovySoubor(u"<VERZE>2.0</VERZE>"_s,
                         u"<JAZYKY><CZ index=\"0\">Čeština</CZ><!-- x --><EN index=\"1\">English</EN></JAZYKY>"_s));
    JazykXML->NastavJazyk(u"en"_s);
    JazykXML->SeznamDelenychJazyku(J->livJazyk);
    QCOMPARE(Radky(J->livJazyk), QStringList({u"CZ|Čeština|2.0|?|0"_s, u"EN|English|2.0|?|1"_s}));
    QCOMPARE(Vybrany(J->livJazyk), u"EN"_s);
}

// OK follows the selection: by the user, and when a refill leaves no row
// selected.
void TestJazykVolba::okPovolenPodleVyberu()
{
    Spust(JazykovySoubor({}));
    JazykXML->SeznamJazyku(J->livJazyk);
    QVERIFY(J->btnOK->isEnabled());
    J->livJazyk->clearSelection();
    QVERIFY(!J->btnOK->isEnabled());
    J->livJazyk->setCurrentItem(J->livJazyk->topLevelItem(1));
    QVERIFY(J->btnOK->isEnabled());
    JazykXML->NastavJazyk(u"FR"_s);
    JazykXML->SeznamJazyku(J->livJazyk);
    QCOMPARE(Radky(J->livJazyk).size(), 2);
    QVERIFY(!J->btnOK->isEnabled());
    delete J->livJazyk->topLevelItem(0);
    QVERIFY(!J->btnOK->isEnabled());
}

// OK on another row: its code becomes current, its flag shows, and the whole
// interface takes its texts (the chooser too), with the shipped file.
void TestJazykVolba::volbaOK()
{
    Spust(DodavanyTrelo());
    const QImage cesky = Obrazek(O->Okno->imgJazyk->pixmap());
    QCOMPARE(cesky, Obrazek(J->ilVlajky->Obrazek(0)));
    bool bProbehlo = false;
    NaModalnimOkne([&](QWidget *Okno) {
        QCOMPARE(Okno, static_cast<QWidget *>(J));
        QCOMPARE(Radky(J->livJazyk).size(), 4);
        QCOMPARE(Vybrany(J->livJazyk), u"CZ"_s);
        QVERIFY((J->geometry().center() - O->Okno->geometry().center()).manhattanLength() <= 2);
        J->livJazyk->setCurrentItem(J->livJazyk->findItems(u"DE"_s, Qt::MatchExactly).value(0));
        QTest::mouseClick(J->btnOK, Qt::LeftButton);
        bProbehlo = true;
    });
    O->Okno->aJazyk->trigger();
    QVERIFY(bProbehlo);
    QCOMPARE(JazykXML->Jazyk(), u"DE"_s);
    QCOMPARE(Obrazek(O->Okno->imgJazyk->pixmap()), Obrazek(J->ilVlajky->Obrazek(3)));
    QCOMPARE(O->Okno->aNovy->text(), u"Neu"_s);
    QCOMPARE(rsCHYBA, u"Fehler"_s);
    QCOMPARE(J->windowTitle(), u"Sprache der Anwendung"_s);
    QCOMPARE(J->btnStorno->text(), u"Abbrechen"_s);
    QCOMPARE(O->Formy->ZnakyForm->windowTitle(), u"Zeichenliste"_s);
    QVERIFY(O->Prostredi.Dialogy.isEmpty());
}

// Storno, Esc and the close box after another row was selected change
// nothing: the language, the flag, the texts.
void TestJazykVolba::zruseni_data()
{
    QTest::addColumn<QString>("jak");
    QTest::newRow("Storno") << u"storno"_s;
    QTest::newRow("Esc") << u"esc"_s;
    QTest::newRow("the close box") << u"zavrit"_s;
}

void TestJazykVolba::zruseni()
{
    QFETCH(QString, jak);
    Spust(DodavanyTrelo());
    const QImage vlajka = Obrazek(O->Okno->imgJazyk->pixmap());
    NaModalnimOkne([&](QWidget *) {
        J->livJazyk->setCurrentItem(J->livJazyk->findItems(u"EN"_s, Qt::MatchExactly).value(0));
        if (jak == u"storno")
            QTest::mouseClick(J->btnStorno, Qt::LeftButton);
        else if (jak == u"esc")
            Stiskni(Qt::Key_Escape);
        else
            QVERIFY(J->close());
    });
    O->Okno->aJazyk->trigger();
    QVERIFY(!J->isVisible());
    QCOMPARE(JazykXML->Jazyk(), u"CZ"_s);
    QCOMPARE(Obrazek(O->Okno->imgJazyk->pixmap()), vlajka);
    QCOMPARE(O->Okno->aNovy->text(), u"Nový"_s);
    QCOMPARE(J->windowTitle(), u"Výběr jazyka aplikace"_s);
}

// A language whose flag index is past the last flag is chosen and applied;
// the status bar then shows no flag.
void TestJazykVolba::jazykBezVlajky()
{
    Spust(JazykovySoubor(u"<HlavniForm><aNovy><XX>Sedm</XX></aNovy></HlavniForm>"_s,
                         u"<JAZYKY><CZ index=\"0\"><N>Čeština</N><V>1</V><A>A</A></CZ>"
                         "<XX index=\"7\"><N>Sedmička</N><V>1</V><A>A</A></XX></JAZYKY>"_s));
    QVERIFY(!O->Okno->imgJazyk->pixmap().isNull());
    NaModalnimOkne([&](QWidget *) {
        J->livJazyk->setCurrentItem(J->livJazyk->topLevelItem(1));
        QTest::mouseClick(J->btnOK, Qt::LeftButton);
    });
    O->Okno->aJazyk->trigger();
    QCOMPARE(JazykXML->Jazyk(), u"XX"_s);
    QVERIFY(O->Okno->imgJazyk->pixmap().isNull());
    QCOMPARE(O->Okno->aNovy->text(), u"Sedm"_s);
    QVERIFY(O->Prostredi.Dialogy.isEmpty());
}

// A click on the flag in the status bar opens the same chooser.
void TestJazykVolba::klikNaVlajku()
{
    Spust(DodavanyTrelo());
    bool bProbehlo = false;
    NaModalnimOkne([&](QWidget *Okno) {
        QCOMPARE(Okno, static_cast<QWidget *>(J));
        QCOMPARE(Vybrany(J->livJazyk), u"CZ"_s);
        QVERIFY(J->btnOK->isEnabled());
        bProbehlo = true;
    });
    QTest::mouseClick(O->Okno->imgJazyk, Qt::LeftButton);
    QVERIFY(bProbehlo);
}

// A file put in place after the first show is loaded by the command.
void TestJazykVolba::souborPozdeji()
{
    Spust({});
    QVERIFY(O->Okno->imgJazyk->pixmap().isNull());
    ZapisTrelo(DodavanyTrelo());
    NaModalnimOkne([&](QWidget *) {
        QCOMPARE(Radky(J->livJazyk).size(), 4);
        J->livJazyk->setCurrentItem(J->livJazyk->findItems(u"SK"_s, Qt::MatchExactly).value(0));
        QTest::mouseClick(J->btnOK, Qt::LeftButton);
    });
    O->Okno->aJazyk->trigger();
    QCOMPARE(JazykXML->Jazyk(), u"SK"_s);
    QCOMPARE(O->Okno->aUlozit->text(), u"Uložiť"_s);
    QCOMPARE(Obrazek(O->Okno->imgJazyk->pixmap()), Obrazek(J->ilVlajky->Obrazek(2)));
    QVERIFY(O->Prostredi.Dialogy.isEmpty());
}

// The user's way, by keys alone: Alt+N, J opens the chooser on Czech; Down
// and Enter choose English; the interface is English, and after a restart in
// the same settings it is English again.
void TestJazykVolba::celaCestaKlavesnici()
{
    Spust(DodavanyTrelo());
    O->Okno->activateWindow();
    Aktivuj(O->Okno);
    O->Okno->memSoubor->setFocus();

    QTest::keyClick(O->Okno, Qt::Key_N, Qt::AltModifier);
    auto *nabidka = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(nabidka);
    bool bProbehlo = false;
    NaModalnimOkne([&](QWidget *Okno) {
        QCOMPARE(Okno, static_cast<QWidget *>(J));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(J->livJazyk));
        QCOMPARE(Vybrany(J->livJazyk), u"CZ"_s);
        Stiskni(Qt::Key_Down);
        QCOMPARE(Vybrany(J->livJazyk), u"EN"_s);
        bProbehlo = true;
        Stiskni(Qt::Key_Return);
    });
    QTest::keyClick(nabidka, Qt::Key_J);
    QVERIFY(bProbehlo);
    QVERIFY(!J->isVisible());

    const auto anglicky = [this] {
        QCOMPARE(JazykXML->Jazyk(), u"EN"_s);
        QCOMPARE(O->Okno->ActionMainMenuBar1->actions().value(0)->text(), u"&File"_s);
        QCOMPARE(O->Okno->aNovy->text(), u"New"_s);
        QCOMPARE(O->Okno->aNovy->toolTip(), u"New"_s);
        QCOMPARE(O->Okno->aNovy->statusTip(), u"Creates a new file"_s);
        QCOMPARE(O->Okno->KontextovaNabidka()->actions().value(0)->text(), u"&Undo\tCtrl+Z"_s);
        QCOMPARE(rsNEULOZENO, u"The file is not saved"_s);
        QCOMPARE(O->Formy->ZnakyForm->bbtPridat->text(), u"Add"_s);
        QCOMPARE(Obrazek(O->Okno->imgJazyk->pixmap()), Obrazek(J->ilVlajky->Obrazek(1)));
    };
    anglicky();

    // A restart: the window closes (and stores the language), everything of
    // the program goes, and starts again in the same settings.
    QVERIFY(O->Okno->close());
    O->Formy.reset();
    O->Sluzby.reset();
    ObnovZpravoveTexty();
    O->Sluzby = std::make_unique<TSluzby>();
    O->Formy = std::make_unique<TFormy>();
    O->Okno = O->Formy->HlavniForm;
    J = O->Formy->JazykForm;
    O->Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(O->Okno));
    anglicky();
    QVERIFY(O->Prostredi.Dialogy.isEmpty());
}

QTEST_MAIN(TestJazykVolba)
#include "tst_jazykvolba.moc"
