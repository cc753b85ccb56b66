// The main window: its make-up, the status bar, the editor contract, the
// commands and the conversion as the user runs it.

#include "AkcniPolozka.h"
#include "Aplikace.h"
#include "Dialogy.h"
#include "Klavesnice.h"
#include "Komponenty.h"
#include "Memo.h"
#include "Modalni.h"
#include "Prostredi.h"
#include "TestovaciOkno.h"
#include "StavovyRadek.h"
#include "convar.h"
#include "fASCII.h"
#include "fHlavni.h"
#include "fJazyk.h"
#include "fOAplikaci.h"
#include "fZnaky.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QFile>
#include <QFontDialog>
#include <QLibraryInfo>
#include <QTranslator>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

class TSkriptKlavesy : public TStavKlaves {
public:
    bool Caps = false, Num = false, Ins = false;
    bool CapsLock() const override { return Caps; }
    bool NumLock() const override { return Num; }
    bool Insert() const override { return Ins; }
};

} // namespace

class TestHlavni : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void poradiStartu();
    void okno();
    void komponenty();
    void akce_data();
    void akce();
    void nabidky();
    void nastrojovaLista();
    void vzhledNabidek();
    void vyskaNastrojoveListy();
    void zkratkyVCestine();
    void zadneNabidkyLisny();
    void kontextovaNabidkaEditoru();
    void sirkaPanelu_data();
    void sirkaPanelu();
    void klavesy_data();
    void klavesy();
    void hintNadTlacitkem();
    void editor();
    void editorTextZachovaZnaky();
    void odstranitDiakritiku_data();
    void odstranitDiakritiku();
    void novaTabulkaPlatiHned();
    void smazatVse();
    void zpetPoKonverziASmazani();
    void editacniPrikazy();
    void pismo();
    void pismoABarva_data();
    void pismoABarva();
    void tahoma();
    void tlacitkoListyBezMezery();
    void konecZavreOkno();
    void psaniAF6();

private:
    std::unique_ptr<TTestovaciOkno> Test;
    std::unique_ptr<TSluzby> &Sluzby() { return Test->Sluzby; }
    std::unique_ptr<TFormy> &Formy() { return Test->Formy; }
    TSkriptKlavesy *Klavesy = nullptr;
    TSkriptDialogy *Dialogy = nullptr;
    THlavniForm *Okno = nullptr;
};

void TestHlavni::init()
{
    auto klavesy = std::make_unique<TSkriptKlavesy>();
    Klavesy = klavesy.get();
    NastavStavKlaves(std::move(klavesy));
    Test = std::make_unique<TTestovaciOkno>();
    Okno = Test->Okno;
    Dialogy = Test->Dialogy;
}

void TestHlavni::cleanup()
{
    Test.reset();
    NastavStavKlaves(nullptr);
}

void TestHlavni::poradiStartu()
{
    QCOMPARE(PoradiZivota(),
             QStringList({u"TJazykXML"_s, u"THlaseni"_s, u"TSouboroveInfo"_s, u"TNastaveni"_s, u"TRetezce"_s,
                          u"THlavniForm"_s, u"TJazykForm"_s, u"TOAplikaciForm"_s, u"TZnakyForm"_s, u"TASCIIForm"_s}));
    for (QWidget *forma : {static_cast<QWidget *>(Formy()->HlavniForm), static_cast<QWidget *>(Formy()->JazykForm),
                           static_cast<QWidget *>(Formy()->OAplikaciForm), static_cast<QWidget *>(Formy()->ZnakyForm),
                           static_cast<QWidget *>(Formy()->ASCIIForm)})
        QVERIFY(!forma->isVisible());
    // The window's creation gives the pair table its defaults.
    QCOMPARE(ZnakySeZnamenkem, VychoziZnakySeZnamenkem);
    QCOMPARE(ZnakyBezZnamenka, VychoziZnakyBezZnamenka);

    Formy().reset();
    Sluzby().reset();
    QCOMPARE(PoradiZivota().mid(10),
             QStringList({u"~TFormy"_s, u"~TRetezce"_s, u"~TNastaveni"_s, u"~TSouboroveInfo"_s, u"~THlaseni"_s,
                          u"~TJazykXML"_s}));
    QVERIFY(ZnakySeZnamenkem.isEmpty() && rsCHYBA.isEmpty());
}

void TestHlavni::okno()
{
    QCOMPARE(Okno->windowTitle(), u"Lumarin"_s);
    QCOMPARE(Okno->objectName(), u"HlavniForm"_s);
    QCOMPARE(Tag(Okno), -1);
    QCOMPARE(Okno->size(), QSize(632, 446));
    QCOMPARE(Okno->pos(), QPoint(0, 0));
    QCOMPARE(Okno->lblNazevSouboru->text(), u"TEXT.TXT"_s);
    QCOMPARE(Tag(Okno->lblNazevSouboru), -1);
    QVERIFY(Okno->lblNazevSouboru->font().bold());
    QCOMPARE(Okno->lblNazevSouboru->geometry(), QRect(8, 6, 617, 13));
    QCOMPARE(Okno->memSoubor->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QVERIFY(Okno->memSoubor->tabChangesFocus());

    // Top to bottom: menu bar, toolbar, file-name strip, editor, status bar.
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    const auto y = [this](QWidget *w) { return w->mapTo(Okno, QPoint(0, 0)).y(); };
    QVERIFY(y(Okno->ActionMainMenuBar1) < y(Okno->ActionToolBar1));
    QVERIFY(y(Okno->ActionToolBar1) < y(Okno->Panel1));
    QVERIFY(y(Okno->Panel1) < y(Okno->memSoubor));
    QVERIFY(y(Okno->memSoubor) < y(Okno->JvStatusBar1));
    // Without a language file there is no language's flag to show.
    QVERIFY(Okno->imgJazyk->pixmap().isNull());
    QCOMPARE(Okno->imgJazyk->size(), QSize(16, 14));

    // Start state of the document display.
    QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clWindowText);
    QVERIFY(Hint(Okno->lblNazevSouboru).isEmpty());
    QVERIFY(!Okno->aUlozit->isEnabled());
}

void TestHlavni::komponenty()
{
    // The localisation walks the window's components in the order in which
    // the window declares them; the actions follow the action table.
    QStringList jmena;
    for (const QObject *k : std::as_const(Okno->Komponenty))
        jmena << k->objectName();
    QCOMPARE(jmena, QStringList({u"amgHlavniMenu"_s,   u"ActionMainMenuBar1"_s,
                                 u"aNovy"_s,           u"imlMenu"_s,
                                 u"aOtevrit"_s,        u"aUlozit"_s,
                                 u"aUlozitJako"_s,     u"aKonec"_s,
                                 u"xdcJazyk"_s,        u"aVyjmout"_s,
                                 u"aKopirovat"_s,      u"aVlozit"_s,
                                 u"aSmazatVse"_s,      u"aOznacitVse"_s,
                                 u"aZpet"_s,           u"aOdstranitDiakritiku"_s,
                                 u"aPismo"_s,          u"aJazyk"_s,
                                 u"aZnaky"_s,          u"aOAplikaci"_s,
                                 u"ActionToolBar1"_s,  u"JvStatusBar1"_s,
                                 u"imgJazyk"_s,        u"Panel1"_s,
                                 u"lblNazevSouboru"_s, u"memSoubor"_s}));
    QCOMPARE(Okno->Komponenty[14], Okno->aZpet);
    QCOMPARE(Okno->Komponenty[25], Okno->memSoubor);
    QStringList akce;
    for (const QAction *a : Okno->Akce())
        akce << a->objectName();
    QCOMPARE(akce,
             QStringList({u"aNovy"_s, u"aOtevrit"_s, u"aUlozit"_s, u"aUlozitJako"_s, u"aKonec"_s, u"aZpet"_s,
                          u"aVyjmout"_s, u"aKopirovat"_s, u"aVlozit"_s, u"aSmazatVse"_s, u"aOznacitVse"_s,
                          u"aOdstranitDiakritiku"_s, u"aPismo"_s, u"aJazyk"_s, u"aZnaky"_s, u"aOAplikaci"_s}));
}

void TestHlavni::akce_data()
{
    QTest::addColumn<QString>("jmeno");
    QTest::addColumn<QString>("kategorie");
    QTest::addColumn<QString>("titulek");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QKeySequence>("zkratka");
    QTest::addColumn<int>("ikona");
    const auto radek = [](const char *jmeno, const QString &kat, const QString &tit, const QString &hint,
                          QKeySequence zkr, int ikona) {
        QTest::newRow(jmeno) << QString::fromLatin1(jmeno) << kat << tit << hint << zkr << ikona;
    };
    radek("aNovy", u"Soubor"_s, u"Nový"_s, u"Vytvoří nový soubor"_s, QKeySequence(u"Ctrl+N"_s), 0);
    radek("aOtevrit", u"Soubor"_s, u"Otevřít..."_s, u"Otevře existující soubor"_s, QKeySequence(u"Ctrl+O"_s), 1);
    radek("aUlozit", u"Soubor"_s, u"Uložit"_s, u"Uloží aktuální soubor"_s, QKeySequence(u"Ctrl+S"_s), 2);
    radek("aUlozitJako", u"Soubor"_s, u"Uložit jako..."_s, u"Uloží aktuální soubor pod novým jménem"_s, {}, -1);
    radek("aKonec", u"Soubor"_s, u"Konec"_s, u"Ukončí aplikaci"_s, {}, -1);
    radek("aZpet", u"Úpravy"_s, u"Zpět"_s, u"Vrátí poslední akci zpět"_s, QKeySequence(u"Ctrl+Z"_s), 6);
    radek("aVyjmout", u"Úpravy"_s, u"Vyjmout"_s, u"Vyjme označený text do schránky"_s, QKeySequence(u"Ctrl+X"_s), 3);
    radek("aKopirovat", u"Úpravy"_s, u"Kopírovat"_s, u"Zkopíruje označený text do schránky"_s,
          QKeySequence(u"Ctrl+C"_s), 4);
    radek("aVlozit", u"Úpravy"_s, u"Vložit"_s, u"Vloží text obsažený ve schránce na pozici kurzoru"_s,
          QKeySequence(u"Ctrl+V"_s), 5);
    radek("aSmazatVse", u"Úpravy"_s, u"Smazat vše"_s, u"Smaže celý text"_s, QKeySequence(u"Ctrl+Del"_s), -1);
    radek("aOznacitVse", u"Úpravy"_s, u"Označit vše"_s, u"Označí celý text"_s, QKeySequence(u"Ctrl+A"_s), -1);
    radek("aOdstranitDiakritiku", u"Akce"_s, u"Odstranit diakritiku"_s, u"Odstraní diakritická znaménka z textu"_s,
          QKeySequence(u"F6"_s), 7);
    radek("aPismo", u"Nastavení"_s, u"Písmo..."_s, u"Nastavení písma textu"_s, {}, -1);
    radek("aJazyk", u"Nastavení"_s, u"Jazyk..."_s, u"Umožnění volby jazyku prostředí aplikace"_s, {}, -1);
    radek("aZnaky", u"Nastavení"_s, u"Znaky..."_s, u"Definice znaků pro konverzi"_s, {}, 8);
    radek("aOAplikaci", u"Nápověda"_s, u"O aplikaci..."_s, u"Zobrazení informací o aplikaci"_s, {}, -1);
}

void TestHlavni::akce()
{
    QFETCH(QString, jmeno);
    QFETCH(QString, kategorie);
    QFETCH(QString, titulek);
    QFETCH(QString, hint);
    QFETCH(QKeySequence, zkratka);
    QFETCH(int, ikona);
    QCOMPARE(Okno->Akce().size(), 16);
    auto *akce = Okno->findChild<QAction *>(jmeno, Qt::FindDirectChildrenOnly);
    QVERIFY(akce);
    QVERIFY(Okno->Akce().contains(akce));
    QCOMPARE(akce->property("Category").toString(), kategorie);
    QCOMPARE(akce->text(), titulek);
    QCOMPARE(Hint(akce), hint);
    QCOMPARE(akce->toolTip(), hint);
    QCOMPARE(akce->statusTip(), hint);
    QCOMPARE(akce->shortcut(), zkratka);
    QCOMPARE(akce->property("ImageIndex").toInt(), ikona);
    QCOMPARE(akce->icon().isNull(), ikona < 0);
    QCOMPARE(Tag(akce), -1);
    QCOMPARE(akce->isEnabled(), jmeno != u"aUlozit"_s);
}

void TestHlavni::nabidky()
{
    const QList<QAction *> polozky = Okno->ActionMainMenuBar1->actions();
    QCOMPARE(polozky.size(), 5);
    const QStringList titulky = {u"&Soubor"_s, u"Ú&pravy"_s, u"&Akce"_s, u"&Nastavení"_s, u"Náp&ověda"_s};
    const QList<QStringList> obsahy = {
        {u"&Nový\tCtrl+N"_s, u"&Otevřít...\tCtrl+O"_s, u"&Uložit\tCtrl+S"_s, u"U&ložit jako..."_s, u"-"_s, u"&Konec"_s},
        {u"Z&pět\tCtrl+Z"_s, u"-"_s, u"&Vyjmout\tCtrl+X"_s, u"&Kopírovat\tCtrl+C"_s, u"V&ložit\tCtrl+V"_s, u"-"_s,
         u"&Smazat vše\tCtrl+Del"_s, u"O&značit vše\tCtrl+A"_s},
        {u"&Odstranit diakritiku\tF6"_s},
        {u"&Písmo..."_s, u"&Jazyk..."_s, u"-"_s, u"&Znaky..."_s},
        {u"&O aplikaci..."_s},
    };
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(polozky[i]->text(), titulky[i]);
        QCOMPARE(Tag(polozky[i]), i + 1);
        QStringList obsah;
        for (QAction *a : polozky[i]->menu()->actions())
            obsah << (a->isSeparator() ? u"-"_s : a->text());
        QCOMPARE(obsah, obsahy[i]);
    }
    // A menu item runs its action and follows its enabled state.
    QAction *ulozit = polozky[0]->menu()->actions()[2];
    QVERIFY(!ulozit->isEnabled());
    Okno->aUlozit->setEnabled(true);
    QVERIFY(ulozit->isEnabled());
    QSignalSpy spusteno(Okno->aOdstranitDiakritiku, &QAction::triggered);
    polozky[2]->menu()->actions()[0]->trigger();
    QCOMPARE(spusteno.size(), 1);
}

void TestHlavni::nastrojovaLista()
{
    QCOMPARE(Okno->ActionToolBar1->windowTitle(), u"Standard"_s);
    const QList<QAction *> polozky = Okno->ActionToolBar1->actions();
    QCOMPARE(polozky.size(), 13);
    const QList<int> oddelovace = {3, 5, 9, 11};
    const QStringList titulky = {u"&Nový"_s,
                                 u"&Otevřít..."_s,
                                 u"&Uložit"_s,
                                 {},
                                 u"&Zpět"_s,
                                 {},
                                 u"&Vyjmout"_s,
                                 u"&Kopírovat"_s,
                                 u"V&ložit"_s,
                                 {},
                                 u"O&dstranit diakritiku"_s,
                                 {},
                                 u"Zn&aky..."_s};
    for (int i = 0; i < 13; ++i) {
        QCOMPARE(polozky[i]->isSeparator(), oddelovace.contains(i));
        if (polozky[i]->isSeparator())
            continue;
        QCOMPARE(polozky[i]->text(), titulky[i]);
        QCOMPARE(Tag(polozky[i]), 0);
        auto *tlacitko = qobject_cast<QToolButton *>(Okno->ActionToolBar1->widgetForAction(polozky[i]));
        QVERIFY(tlacitko);
        QVERIFY(!tlacitko->icon().isNull());
        QCOMPARE(tlacitko->toolButtonStyle(), i == 10 ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    }
    QCOMPARE(polozky[0]->toolTip(), u"Vytvoří nový soubor"_s);
}

void TestHlavni::vzhledNabidek()
{
    // The drop-down menus look like the bars: Tahoma 8 pt, black, grey when
    // disabled, a white highlight.
    for (QAction *polozka : Okno->ActionMainMenuBar1->actions()) {
        const QMenu *menu = polozka->menu();
        QCOMPARE(menu->font().family(), u"Tahoma"_s);
        QCOMPARE(menu->font().pixelSize(), 11);
        const QPalette &paleta = menu->palette();
        if (paleta.color(QPalette::Window).lightness() < 128)
            QSKIP("a dark theme keeps its own colours");
        QCOMPARE(paleta.color(QPalette::Active, QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(paleta.color(QPalette::Disabled, QPalette::WindowText), QColor(109, 109, 109));
        QCOMPARE(paleta.color(QPalette::Disabled, QPalette::Text), QColor(109, 109, 109));
        QCOMPARE(paleta.color(QPalette::Active, QPalette::Highlight), QColor(Qt::white));
    }
    QCOMPARE(Okno->ActionToolBar1->palette().color(QPalette::Active, QPalette::Highlight), QColor(Qt::white));
}

void TestHlavni::vyskaNastrojoveListy()
{
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    QCOMPARE(Okno->ActionToolBar1->height(), 28);
    QCOMPARE(Okno->ActionMainMenuBar1->height(), 25);
}

void TestHlavni::zkratkyVCestine()
{
    // The shortcut texts are the same in every language of the toolkit.
    QTranslator cestina;
    if (!cestina.load(QLocale(QLocale::Czech), u"qtbase"_s, u"_"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QSKIP("no Czech translation of Qt on this machine");
    QApplication::installTranslator(&cestina);
    Test.reset();
    Test = std::make_unique<TTestovaciOkno>();
    Okno = Test->Okno;
    QStringList texty;
    for (QAction *a : Okno->KontextovaNabidka()->actions())
        texty << a->text();
    QApplication::removeTranslator(&cestina);
    QVERIFY2(texty.contains(u"&Smazat vše\tCtrl+Del"_s), qPrintable(texty.join(u" | ")));
    QVERIFY(texty.contains(u"Z&pět\tCtrl+Z"_s));
}

void TestHlavni::zadneNabidkyLisny()
{
    // Right-clicking a bar offers nothing, in particular not to hide the toolbar.
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    QCOMPARE(Okno->createPopupMenu(), nullptr);
    for (QWidget *lista :
         {static_cast<QWidget *>(Okno->ActionMainMenuBar1), static_cast<QWidget *>(Okno->ActionToolBar1)}) {
        QContextMenuEvent udalost(QContextMenuEvent::Mouse, QPoint(5, 5), lista->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(lista, &udalost);
        QVERIFY(!QApplication::activePopupWidget());
    }
}

void TestHlavni::kontextovaNabidkaEditoru()
{
    // The editor's context menu is the "Úpravy" menu: its undo takes back F6
    // as "Zpět" does, and it holds no command of its own.
    QCOMPARE(Okno->memSoubor->contextMenuPolicy(), Qt::CustomContextMenu);
    QMenu *menu = Okno->KontextovaNabidka();
    QVERIFY(menu);
    QCOMPARE(Tag(menu), 2);
    Okno->memSoubor->NastavText(u"Žluťoučký kůň"_s);
    Okno->aOdstranitDiakritiku->trigger();
    QCOMPARE(Okno->memSoubor->Text(), u"Zlutoucky kun"_s);
    QAction *zpet = menu->actions().first();
    QVERIFY(zpet->isEnabled());
    zpet->trigger();
    QCOMPARE(Okno->memSoubor->Text(), u"Žluťoučký kůň"_s);
    QVERIFY(Okno->memSoubor->Modified());
    for (QAction *a : menu->actions())
        QVERIFY(a->isSeparator() || qobject_cast<TAkcniPolozka *>(a));
}

void TestHlavni::sirkaPanelu_data()
{
    QTest::addColumn<int>("sirka");
    QTest::addColumn<int>("panel0");
    QTest::newRow("800") << 800 << 630;
    QTest::newRow("1024") << 1024 << 854;
    QTest::newRow("pod minimem") << 300 << -1;
}

void TestHlavni::sirkaPanelu()
{
    QFETCH(int, sirka);
    QFETCH(int, panel0);
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    Okno->resize(sirka, 500);
    if (panel0 < 0) {
        // The outer size never falls below 640 x 480, and panel 0 keeps the rest.
        QVERIFY(Okno->frameGeometry().width() >= 640);
        QVERIFY(Okno->frameGeometry().height() >= 480);
        panel0 = Okno->width() - 170;
        QVERIFY(panel0 > 0);
    }
    QCOMPARE(Okno->JvStatusBar1->Sirka(0), panel0);
    QCOMPARE(Okno->JvStatusBar1->Panel(0)->width(), panel0);
    const QList<int> sirky = {40, 40, 40, 50};
    for (int i = 1; i <= 4; ++i)
        QCOMPARE(Okno->JvStatusBar1->Panel(i)->width(), sirky[i - 1]);
    QVERIFY(Okno->JvStatusBar1->Panel(1)->alignment() & Qt::AlignHCenter);
    QVERIFY(Okno->JvStatusBar1->Panel(4)->x() + 50 <= Okno->JvStatusBar1->width());
}

void TestHlavni::klavesy_data()
{
    QTest::addColumn<bool>("caps");
    QTest::addColumn<bool>("num");
    QTest::addColumn<bool>("ins");
    QTest::newRow("nic") << false << false << false;
    QTest::newRow("caps") << true << false << false;
    QTest::newRow("num a ins") << false << true << true;
    QTest::newRow("vše") << true << true << true;
}

void TestHlavni::klavesy()
{
    QFETCH(bool, caps);
    QFETCH(bool, num);
    QFETCH(bool, ins);
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    Okno->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Okno));
    Klavesy->Caps = caps;
    Klavesy->Num = num;
    Klavesy->Ins = ins;
    // The panels follow when the event queue empties and the loop is about
    // to wait. A short timer may fire on a busy machine before the loop ever
    // waits: the loop runs until it is about to wait (the window's handler,
    // connected first, runs first).
    QEventLoop smycka;
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &smycka, &QEventLoop::quit);
    QTimer::singleShot(5000, &smycka, &QEventLoop::quit);
    smycka.exec();
    QCOMPARE(Okno->JvStatusBar1->Panel(1)->text(), caps ? u"CAPS"_s : QString());
    QCOMPARE(Okno->JvStatusBar1->Panel(2)->text(), num ? u"NUM"_s : QString());
    QCOMPARE(Okno->JvStatusBar1->Panel(3)->text(), ins ? u"INS"_s : QString());
}

void TestHlavni::hintNadTlacitkem()
{
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    QWidget *novy = Okno->ActionToolBar1->widgetForAction(Okno->ActionToolBar1->actions().first());
    QEvent vstup(QEvent::Enter);
    QCoreApplication::sendEvent(novy, &vstup);
    QCOMPARE(Okno->AktualniHint(), u"Vytvoří nový soubor"_s);
    QCOMPARE(Okno->JvStatusBar1->Panel(0)->text(), u"Vytvoří nový soubor"_s);
    QCOMPARE(novy->toolTip(), u"Vytvoří nový soubor"_s);
    QEvent odchod(QEvent::Leave);
    QCoreApplication::sendEvent(novy, &odchod);
    QCOMPARE(Okno->JvStatusBar1->Panel(0)->text(), QString());

    // The label's hint ends in "|": a tooltip, and nothing for the status bar.
    NastavHint(Okno->lblNazevSouboru, rsNEULOZENO + u'|');
    QCOMPARE(Okno->lblNazevSouboru->toolTip(), u"Soubor není uložen"_s);
    QCOMPARE(Okno->lblNazevSouboru->statusTip(), QString());
}

void TestHlavni::editor()
{
    TMemo *memo = Okno->memSoubor;
    QSignalSpy zmeny(memo, &TMemo::Zmena);
    Okno->show();
    memo->setFocus();

    // Every edit of the user: modified, one change event.
    Napis(memo, u"ab"_s);
    QVERIFY(memo->Modified());
    QCOMPARE(zmeny.size(), 2);
    memo->SetModified(false);
    memo->undo();
    QVERIFY2(memo->Modified(), "an undo is an edit");
    QCOMPARE(zmeny.size(), 3);

    // Setting an equal text does nothing.
    zmeny.clear();
    memo->SetModified(true);
    memo->NastavText(memo->Text());
    QVERIFY(memo->Modified());
    QCOMPARE(zmeny.size(), 0);

    // A different text replaces it, clears the flag and raises the event once.
    memo->NastavText(u"první\r\ndruhý"_s);
    QCOMPARE(memo->Text(), u"první\r\ndruhý"_s);
    QVERIFY(!memo->Modified());
    QCOMPARE(zmeny.size(), 1);

    // Clearing empties it silently.
    memo->SetModified(true);
    memo->Smaz();
    QVERIFY(memo->JePrazdny());
    QVERIFY(!memo->Modified());
    QCOMPARE(zmeny.size(), 1);

    // A new font is not an edit.
    QFont pismo = memo->font();
    pismo.setPointSize(pismo.pointSize() + 4);
    memo->setFont(pismo);
    QCOMPARE(zmeny.size(), 1);
    QVERIFY(!memo->Modified());

    // Shift+Enter breaks the line like Enter.
    memo->NastavText(u"a"_s);
    memo->moveCursor(QTextCursor::End);
    QTest::keyClick(memo, Qt::Key_Return, Qt::ShiftModifier);
    Napis(memo, u"b"_s);
    QCOMPARE(memo->Text(), u"a\r\nb"_s);

    // Tab moves the focus instead of entering a tab character.
    Okno->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Okno));
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Tab);
    QVERIFY(!memo->Text().contains(u'\t'));
}

void TestHlavni::editorTextZachovaZnaky()
{
    // Non-breaking spaces, tabs and characters outside the BMP come back as
    // they went in; only line breaks read as CR LF.
    const QString text = u"a\u00A0b\tc😀\r\n\r\nd \u2028e"_s;
    Okno->memSoubor->NastavText(text);
    QCOMPARE(Okno->memSoubor->Text(), text);
}

void TestHlavni::odstranitDiakritiku_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("vysledek");
    QTest::newRow("věta") << u"Žluťoučký kůň úpěl\r\nďábelské ódy"_s << u"Zlutoucky kun upel\r\ndabelske ody"_s;
    QTest::newRow("beze změny, přesto upraveno") << u"plain text"_s << u"plain text"_s;
    QTest::newRow("prázdný editor") << QString() << QString();
    QTest::newRow("oddělovače odstavců") << u"ě\u2029š\uFDD0ž\uFDD1\r\n"_s << u"e\u2029s\uFDD0z\uFDD1\r\n"_s;
}

void TestHlavni::odstranitDiakritiku()
{
    QFETCH(QString, text);
    QFETCH(QString, vysledek);
    Okno->memSoubor->NastavText(text);
    Okno->aOdstranitDiakritikuExecute(Okno->aOdstranitDiakritiku);
    QCOMPARE(Okno->memSoubor->Text(), vysledek);
    QVERIFY(!QApplication::overrideCursor());
    if (text.isEmpty()) {
        // Nothing changes for an empty editor.
        QVERIFY(!Okno->memSoubor->Modified());
        QVERIFY(!Okno->aUlozit->isEnabled());
        QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clWindowText);
        QVERIFY(Hint(Okno->lblNazevSouboru).isEmpty());
    } else {
        QVERIFY(Okno->memSoubor->Modified());
        QVERIFY(Okno->aUlozit->isEnabled());
        QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clRed);
        QCOMPARE(Okno->lblNazevSouboru->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(Hint(Okno->lblNazevSouboru), u"Soubor není uložen|"_s);
        QCOMPARE(Okno->lblNazevSouboru->toolTip(), u"Soubor není uložen"_s);
    }
}

void TestHlavni::novaTabulkaPlatiHned()
{
    Okno->memSoubor->NastavText(u"abcě"_s);
    ZnakySeZnamenkem = u"ab"_s;
    ZnakyBezZnamenka = u"bc"_s;
    Okno->aOdstranitDiakritiku->trigger();
    QCOMPARE(Okno->memSoubor->Text(), u"bccě"_s);
}

void TestHlavni::smazatVse()
{
    Okno->memSoubor->NastavText(u"ěšč"_s);
    Okno->aOdstranitDiakritiku->trigger();
    Okno->aSmazatVse->trigger();
    QVERIFY(Okno->memSoubor->JePrazdny());
    QVERIFY(!Okno->memSoubor->Modified());
    QVERIFY(Okno->aUlozit->isEnabled());
    QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clRed);
}

void TestHlavni::zpetPoKonverziASmazani()
{
    TMemo *memo = Okno->memSoubor;
    memo->NastavText(u"řádek ě\r\nčást š"_s);
    QTextCursor kurzor = memo->textCursor();
    kurzor.setPosition(9);
    kurzor.setPosition(13, QTextCursor::KeepAnchor);
    memo->setTextCursor(kurzor);

    // The conversion keeps the caret and the selection, and undo takes it back.
    Okno->aOdstranitDiakritiku->trigger();
    QCOMPARE(memo->Text(), u"radek e\r\ncast s"_s);
    QCOMPARE(memo->textCursor().anchor(), 9);
    QCOMPARE(memo->textCursor().position(), 13);
    memo->moveCursor(QTextCursor::End);
    Napis(memo, u"!"_s);
    Okno->aZpet->trigger(); // the typed "!" first
    QCOMPARE(memo->Text(), u"radek e\r\ncast s"_s);
    QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier); // then the conversion
    QCOMPARE(memo->Text(), u"řádek ě\r\nčást š"_s);
    QVERIFY(memo->Modified());
    Okno->aZpet->trigger(); // nothing further back
    QCOMPARE(memo->Text(), u"řádek ě\r\nčást š"_s);

    // Delete all, too, can be taken back.
    Okno->aSmazatVse->trigger();
    QVERIFY(memo->JePrazdny());
    Okno->aZpet->trigger();
    QCOMPARE(memo->Text(), u"řádek ě\r\nčást š"_s);

    // A text set by program (an opened file) is not taken back.
    Okno->aSmazatVse->trigger();
    memo->NastavText(u"soubor"_s);
    Okno->aZpet->trigger();
    QCOMPARE(memo->Text(), u"soubor"_s);
}

void TestHlavni::editacniPrikazy()
{
    TMemo *memo = Okno->memSoubor;
    memo->NastavText(u"jedna dva"_s);
    // With nothing selected, cut and undo do nothing.
    Okno->aVyjmout->trigger();
    Okno->aZpet->trigger();
    QCOMPARE(memo->Text(), u"jedna dva"_s);
    Okno->aOznacitVse->trigger();
    QCOMPARE(memo->textCursor().selectedText(), u"jedna dva"_s);
    Okno->aKopirovat->trigger();
    Okno->aVyjmout->trigger();
    QVERIFY(memo->JePrazdny());
    QVERIFY(memo->Modified());
    Okno->aVlozit->trigger();
    Okno->aVlozit->trigger();
    QCOMPARE(memo->Text(), u"jedna dvajedna dva"_s);
    Okno->aZpet->trigger();
    QCOMPARE(memo->Text(), u"jedna dva"_s);
    for (QAction *a :
         {Okno->aZpet, Okno->aVyjmout, Okno->aKopirovat, Okno->aVlozit, Okno->aSmazatVse, Okno->aOznacitVse})
        QVERIFY(a->isEnabled());
}

void TestHlavni::pismo()
{
    const QFont puvodni = Okno->memSoubor->font();
    const QFont stitek = Okno->lblNazevSouboru->font();
    Dialogy->Potvrdit = false;
    Okno->aPismo->trigger();
    QCOMPARE(Dialogy->PocetPisem, 1);
    QCOMPARE(Okno->memSoubor->font(), puvodni);

    Dialogy->Potvrdit = true;
    Dialogy->Pismo = QFont(u"DejaVu Serif"_s, 14, QFont::Bold, true);
    Okno->aPismo->trigger();
    QCOMPARE(Okno->memSoubor->font().family(), u"DejaVu Serif"_s);
    QCOMPARE(Okno->memSoubor->font().pointSize(), 14);
    QVERIFY(Okno->memSoubor->font().italic());
    QCOMPARE(Okno->lblNazevSouboru->font(), stitek);
    QCOMPARE(Okno->ActionMainMenuBar1->font(), Okno->font());
}

void TestHlavni::pismoABarva_data()
{
    QTest::addColumn<bool>("pismo"); // the font dialog confirmed
    QTest::addColumn<bool>("barva"); // the colour dialog confirmed
    QTest::newRow("obojí potvrzeno") << true << true;
    QTest::newRow("Storno v barvě") << true << false;
    QTest::newRow("Storno v písmu") << false << false;
}

void TestHlavni::pismoABarva()
{
    // The font command's own dialogs: the font, then its colour, one step
    // that Storno in either cancels whole; the colour chosen is the one kept.
#ifdef Q_OS_WIN
    QSKIP("the system's own font and colour dialogs are not Qt windows a test can drive");
#endif
    QFETCH(bool, pismo);
    QFETCH(bool, barva);
    NastavDialogy(std::make_unique<TDialogy>());
    const TPismoEditoru puvodni = Okno->PismoEditoru();
    const QFont pismoEditoru = Okno->memSoubor->font();
    const QFont nove(u"DejaVu Serif"_s, 14);
    bool bBarvaUkazana = false;
    NaModalnimOkne([&](QWidget *Dialog) {
        auto *dialog = qobject_cast<QFontDialog *>(Dialog);
        QVERIFY(dialog);
        if (!pismo)
            return;
        NaModalnimOkne([&](QWidget *Dialog) {
            auto *vyber = qobject_cast<QColorDialog *>(Dialog);
            QVERIFY(vyber);
            bBarvaUkazana = true;
            QCOMPARE(vyber->currentColor(), QColor(BarvaZHodnoty(puvodni.Barva)));
            vyber->setCurrentColor(QColor(0x12, 0x34, 0x56));
            if (barva)
                vyber->accept();
        });
        dialog->setCurrentFont(nove);
        dialog->accept();
    });
    Okno->aPismo->trigger();
    QCOMPARE(bBarvaUkazana, pismo);
    const TPismoEditoru po = Okno->PismoEditoru();
    if (pismo && barva) {
        QCOMPARE(po.Pismo.family(), nove.family());
        QCOMPARE(po.Pismo.pointSize(), 14);
        // Kept as the store keeps it: red in the low byte.
        QCOMPARE(po.Barva, 0x563412u);
        QCOMPARE(Okno->memSoubor->palette().color(QPalette::Text), QColor(0x12, 0x34, 0x56));
    } else {
        QCOMPARE(po.Pismo, puvodni.Pismo);
        QCOMPARE(po.Barva, puvodni.Barva);
        QCOMPARE(Okno->memSoubor->font(), pismoEditoru);
    }
}

void TestHlavni::tahoma()
{
    // The forms are measured for Tahoma: where Wine's is installed (fonts-wine,
    // outside the system's font list), they render with it, not a substitute.
#ifndef Q_OS_WIN
    if (!QFile::exists(u"/usr/share/wine/fonts/tahoma.ttf"_s))
        QSKIP("Wine's Tahoma (fonts-wine) is not installed");
#endif
    for (QWidget *w : {static_cast<QWidget *>(Okno), static_cast<QWidget *>(Okno->lblNazevSouboru),
                       static_cast<QWidget *>(Test->Formy->ZnakyForm), static_cast<QWidget *>(Test->Formy->ASCIIForm)})
        QCOMPARE(QFontInfo(w->font()).family(), u"Tahoma"_s);
    QFont tucne = Okno->font();
    tucne.setBold(true);
    QCOMPARE(QFontInfo(tucne).family(), u"Tahoma"_s);
    QVERIFY(QFontInfo(tucne).bold());
}

void TestHlavni::tlacitkoListyBezMezery()
{
    // "Odstranit diakritiku" on the toolbar, its caption beside the icon: as
    // much room after the caption as before the icon, no empty gap.
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    QToolButton *tlacitko = nullptr;
    for (QToolButton *t : Okno->ActionToolBar1->findChildren<QToolButton *>())
        if (t->toolButtonStyle() == Qt::ToolButtonTextBesideIcon)
            tlacitko = t;
    QVERIFY(tlacitko);
    QCOMPARE(tlacitko->text(), u"Odstranit diakritiku"_s);
    const QImage obraz = tlacitko->grab().toImage();
    const QColor pozadi = obraz.pixelColor(1, 1);
    int prvni = obraz.width(), posledni = -1;
    for (int x = 0; x < obraz.width(); ++x)
        for (int y = 0; y < obraz.height(); ++y) {
            const QColor c = obraz.pixelColor(x, y);
            if (std::abs(c.red() - pozadi.red()) + std::abs(c.green() - pozadi.green()) +
                    std::abs(c.blue() - pozadi.blue()) >
                60) {
                prvni = std::min(prvni, x);
                posledni = std::max(posledni, x);
            }
        }
    QVERIFY(posledni >= prvni);
    const int vlevo = prvni, vpravo = obraz.width() - 1 - posledni;
    QVERIFY2(vpravo <= vlevo + 2,
             qPrintable(u"%1 px before the icon, %2 px after the caption"_s.arg(vlevo).arg(vpravo)));
}

void TestHlavni::konecZavreOkno()
{
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    Okno->aKonec->trigger();
    QVERIFY(!Okno->isVisible());
}

void TestHlavni::psaniAF6()
{
    Okno->show();
    Okno->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Okno));
    Okno->memSoubor->setFocus();
    Napis(Okno->memSoubor, u"Příliš žluťoučký kůň"_s);
    QTest::keyClick(Okno->memSoubor, Qt::Key_F6);
    QCOMPARE(Okno->memSoubor->Text(), u"Prilis zlutoucky kun"_s);
    QVERIFY(Okno->aUlozit->isEnabled());
    QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clRed);
}

QTEST_MAIN(TestHlavni)
#include "tst_hlavni.moc"
