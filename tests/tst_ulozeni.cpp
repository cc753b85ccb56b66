// The settings kept between runs: what the window reads when it is created and
// writes when it closes, and what it tells when the store fails.

#include "JazykyXML.h"
#include "Komponenty.h"
#include "Memo.h"
#include "Registr.h"
#include "TestovaciOkno.h"
#include "UlozeneNastaveni.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>
#include <limits>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// One stored value: its key below \Software\VELOR\Lumarin ("" for that key
// itself), name and data (a QString is REG_SZ, an int REG_DWORD).
struct TUlozena {
    QString Klic;
    QString Jmeno;
    QVariant Data;
};
using TUlozene = QList<TUlozena>;

void Uloz(const TUlozene &Hodnoty)
{
    TRegistr registr;
    for (const TUlozena &h : Hodnoty) {
        QVERIFY(registr.OtevriKlic(KlicLumarin + (h.Klic.isEmpty() ? QString() : u"\\"_s + h.Klic), true));
        if (h.Jmeno.isEmpty())
            continue; // the key alone
        if (h.Data.typeId() == QMetaType::QString)
            registr.ZapisRetezec(h.Jmeno, h.Data.toString());
        else
            registr.ZapisCislo(h.Jmeno, h.Data.toInt());
    }
}

// The whole Pismo key of an 8-point Tahoma, each value replaceable.
TUlozene Pismo(const TUlozene &Jine = {}, const QString &Bez = {})
{
    TUlozene pismo = {{u"Pismo"_s, u"Sada"_s, 238},
                      {u"Pismo"_s, u"Barva"_s, 0x00FF0000},
                      {u"Pismo"_s, u"Vyska"_s, -13},
                      {u"Pismo"_s, u"Nazev"_s, u"DejaVu Sans"_s},
                      {u"Pismo"_s, u"Proporce"_s, u"Variabilni"_s},
                      {u"Pismo"_s, u"Velikost"_s, 0},
                      {u"Pismo"_s, u"Tucne"_s, 0},
                      {u"Pismo"_s, u"Kurziva"_s, 0},
                      {u"Pismo"_s, u"Podtrzene"_s, 0},
                      {u"Pismo"_s, u"Preskrtnute"_s, 0}};
    for (const TUlozena &j : Jine)
        for (TUlozena &p : pismo)
            if (p.Jmeno == j.Jmeno)
                p.Data = j.Data;
    pismo.removeIf([&](const TUlozena &p) { return p.Jmeno == Bez; });
    return pismo;
}

QString Zprava(const QString &Duvod)
{
    return u"Při čtení hodnot nastavení z registru došlo k chybě.\r(%1.)"_s.arg(Duvod);
}

const QRect Navrzene(0, 0, 640, 480);

// A settings folder that outlives one window, for what a run leaves to the next.
struct TSpolecneNastaveni {
    QTemporaryDir Slozka;
    void Pouzij() const
    {
        qputenv("XDG_CONFIG_HOME", Slozka.path().toLocal8Bit());
#ifdef Q_OS_WIN
        OddelRegistr();
#endif
    }
    QString Soubor() const
    {
        return Slozka.filePath(u"VELOR/Lumarin.json"_s);
    }
};

} // namespace

// What a test expects of the window after the store was read.
struct TOcekavane {
    QString Jazyk = u"CZ"_s;
    bool bMaximalni = false;
    QRect Vnejsi = Navrzene; // restored bounds while maximised
    QString Nazev = u"Tahoma"_s;
    int Pixely = 11;
    bool bTucne = false;
    int Sada = 1;
    quint32 Barva = clWindowText;
    int Proporce = prZakladni;
    QString SeZnamenkem = VychoziZnakySeZnamenkem;
    QString BezZnamenka = VychoziZnakyBezZnamenka;
    QString Zprava; // empty: no message
};
Q_DECLARE_METATYPE(TUlozene)
Q_DECLARE_METATYPE(TOcekavane)
Q_DECLARE_METATYPE(TUmisteniOkna)

class TestUlozeni : public QObject {
    Q_OBJECT
private slots:
    void cteni_data();
    void cteni();
    void zapis();
    void umisteni_data();
    void umisteni();
    void zmenaUmisteni();
    void omezeni_data();
    void omezeni();
    void zapisMaximalnihoNechaUmisteni();
    void zpetPoZapisu();
    void chybaZapisu();
    void poskozenySoubor();
};

void TestUlozeni::cteni_data()
{
    QTest::addColumn<TUlozene>("ulozene");
    QTest::addColumn<TOcekavane>("ocekavane");
    const QString vychozi = VychoziZnakySeZnamenkem;

    QTest::newRow("první spuštění") << TUlozene{} << TOcekavane{};
    {
        TOcekavane o;
        o.Jazyk = u"EN"_s;
        o.Vnejsi = QRect(40, 30, 700, 520);
        QTest::newRow("jazyk a umístění")
            << TUlozene{{{}, u"Jazyk"_s, u"EN"_s}, {{}, u"Maximalni"_s, 0}, {{}, u"Vlevo"_s, 40},
                        {{}, u"Nahore"_s, 30},     {{}, u"Vyska"_s, 520},   {{}, u"Sirka"_s, 700}}
            << o;
    }
    {
        TOcekavane o;
        o.bMaximalni = true;
        QTest::newRow("maximalizované") << TUlozene{{{}, u"Maximalni"_s, 1},
                                                    {{}, u"Vlevo"_s, 40},
                                                    {{}, u"Nahore"_s, 30},
                                                    {{}, u"Vyska"_s, 520},
                                                    {{}, u"Sirka"_s, 700}}
                                        << o;
    }
    {
        // A placement on a monitor since removed comes back to the nearest
        // place on the screen.
        const QRect plocha = QGuiApplication::primaryScreen()->availableGeometry();
        TOcekavane o;
        o.Vnejsi = QRect(plocha.right() + 1 - 700, plocha.top(), 700, 520);
        QTest::newRow("mimo obrazovku") << TUlozene{{{}, u"Vlevo"_s, 30000},
                                                    {{}, u"Nahore"_s, -30000},
                                                    {{}, u"Vyska"_s, 520},
                                                    {{}, u"Sirka"_s, 700}}
                                        << o;
    }
    {
        TOcekavane o;
        o.Nazev = u"DejaVu Sans"_s;
        o.Pixely = 13;
        o.Sada = 238;
        o.Barva = 0x00FF0000;
        o.Proporce = prVariabilni;
        QTest::newRow("celé písmo") << Pismo() << o;
    }
    {
        TOcekavane o;
        o.SeZnamenkem.clear();
        o.BezZnamenka.clear();
        o.Zprava = Zprava(u"Failed to get data for 'Sada'"_s);
        QTest::newRow("Pismo bez Sada") << Pismo({}, u"Sada"_s) << o;
    }
    {
        // The reading stops at Vlevo: the language is already applied, the
        // rest keeps its state.
        TOcekavane o;
        o.Jazyk = u"EN"_s;
        o.SeZnamenkem.clear();
        o.BezZnamenka.clear();
        o.Zprava = Zprava(u"Invalid data type for 'Vlevo'"_s);
        QTest::newRow("Vlevo jako znak") << TUlozene{{{}, u"Jazyk"_s, u"EN"_s},
                                                     {{}, u"Vlevo"_s, u"5"_s},
                                                     {{}, u"Nahore"_s, 30}} +
                Pismo() << o;
        o.Zprava = Zprava(u"Failed to get data for 'Vlevo'"_s);
        QTest::newRow("Vlevo jako text") << TUlozene{{{}, u"Jazyk"_s, u"EN"_s},
                                                     {{}, u"Vlevo"_s, u"500"_s},
                                                     {{}, u"Nahore"_s, 30}} +
                Pismo() << o;
    }
    {
        // Compared exactly: a lower-case "fixni" leaves the pitch as it was.
        TOcekavane o;
        o.Nazev = u"DejaVu Sans"_s;
        o.Pixely = 13;
        o.Sada = 238;
        o.Barva = 0x00FF0000;
        QTest::newRow("fixni") << Pismo({{u"Pismo"_s, u"Proporce"_s, u"fixni"_s}}) << o;
        o.Proporce = prFixni;
        QTest::newRow("Fixni") << Pismo({{u"Pismo"_s, u"Proporce"_s, u"Fixni"_s}}) << o;
        o.Proporce = prVariabilni;
        o.bTucne = true;
        QTest::newRow("Tucne 7") << Pismo({{u"Pismo"_s, u"Tucne"_s, 7}}) << o;
        o.bTucne = false;
        o.Pixely = MulDiv(12, PixeluNaPalec(), 72); // 16 at 96 pixels per inch
        QTest::newRow("Velikost nad Vyska")
            << Pismo({{u"Pismo"_s, u"Velikost"_s, 12}, {u"Pismo"_s, u"Vyska"_s, -11}}) << o;
        o.Pixely = 13;
        o.Barva = clWindowText;
        QTest::newRow("barva textu okna") << Pismo({{u"Pismo"_s, u"Barva"_s, -16777208}}) << o;
        o.Nazev = u"Tahoma"_s;
        QTest::newRow("prázdný Nazev") << Pismo({{u"Pismo"_s, u"Barva"_s, -16777208}}, u"Nazev"_s) << o;
    }
    {
        TOcekavane o;
        o.SeZnamenkem.clear();
        QTest::newRow("prázdné ZnakySeZnamenkem") << TUlozene{{u"Znaky"_s, u"ZnakySeZnamenkem"_s, QString()}} << o;
        o.SeZnamenkem = u"ab"_s;
        QTest::newRow("chybí ZnakyBezZnamenka") << TUlozene{{u"Znaky"_s, u"ZnakySeZnamenkem"_s, u"ab"_s}} << o;
        o.SeZnamenkem = vychozi;
        QTest::newRow("prázdný klíč Znaky") << TUlozene{{u"Znaky"_s, QString(), {}}} << o;
    }
}

void TestUlozeni::cteni()
{
    QFETCH(TUlozene, ulozene);
    QFETCH(TOcekavane, ocekavane);
    TTestovaciOkno test([&] { Uloz(ulozene); });
    THlavniForm *okno = test.Okno;
    QCOMPARE(JazykXML->Jazyk(), ocekavane.Jazyk);
    QCOMPARE(bool(okno->windowState() & Qt::WindowMaximized), ocekavane.bMaximalni);
    QCOMPARE(okno->VnejsiGeometrie(), ocekavane.Vnejsi);
    const TPismoEditoru &pismo = okno->PismoEditoru();
    QCOMPARE(pismo.Pismo.family(), ocekavane.Nazev);
    QCOMPARE(VyskaPisma(pismo.Pismo), -ocekavane.Pixely);
    QCOMPARE(okno->memSoubor->font().pixelSize(), ocekavane.Pixely);
    QCOMPARE(pismo.Pismo.bold(), ocekavane.bTucne);
    QCOMPARE(pismo.Sada, ocekavane.Sada);
    QCOMPARE(pismo.Barva, ocekavane.Barva);
    QCOMPARE(okno->memSoubor->palette().color(QPalette::Text), BarvaZHodnoty(ocekavane.Barva));
    QCOMPARE(int(pismo.Proporce), ocekavane.Proporce);
    QCOMPARE(ZnakySeZnamenkem, ocekavane.SeZnamenkem);
    QCOMPARE(ZnakyBezZnamenka, ocekavane.BezZnamenka);
    const QList<TZaznamDialogu> &dialogy = test.Prostredi.Dialogy;
    QCOMPARE(dialogy.size(), ocekavane.Zprava.isEmpty() ? 0 : 1);
    if (!dialogy.isEmpty()) {
        QCOMPARE(dialogy[0].Text, ocekavane.Zprava);
        QCOMPARE(dialogy[0].Nadpis, u"Chyba"_s);
        QCOMPARE(dialogy[0].Priznaky, MB_ICONHAND);
    }
    if (ocekavane.bMaximalni) {
        // Restored, it takes the designed place and size, not the stored ones.
        okno->show();
        okno->showNormal();
        QCOMPARE(okno->VnejsiGeometrie(), Navrzene);
    }
}

void TestUlozeni::zapis()
{
    // What is written at close is read back at the next start; the pair table
    // is not written at close.
    TSpolecneNastaveni spolecne;
    TPismoEditoru pismo;
    {
        TTestovaciOkno test([&] { spolecne.Pouzij(); });
        test.Okno->NastavVnejsiGeometrii(QRect(50, 60, 700, 500));
        JazykXML->NastavJazyk(u"SK"_s);
        pismo = test.Okno->PismoEditoru();
        pismo.Pismo.setFamily(u"DejaVu Serif"_s);
        pismo.Pismo.setPointSize(12);
        pismo.Pismo.setItalic(true);
        pismo.Sada = 238;
        pismo.Proporce = prFixni;
        test.Okno->NastavPismoEditoru(pismo);
        ZnakySeZnamenkem = u"x"_s;
        test.Okno->show();
        test.Okno->close();
        QVERIFY(test.Prostredi.Dialogy.isEmpty());

        TRegistr registr(KEY_READ);
        QVERIFY(registr.OtevriKlic(KlicPismo, false));
        QCOMPARE(registr.CtiCislo(u"Barva"_s), -16777208);
        QCOMPARE(registr.CtiCislo(u"Velikost"_s), 12);
        QCOMPARE(registr.CtiCislo(u"Vyska"_s), -MulDiv(12, PixeluNaPalec(), 72));
        QCOMPARE(registr.CtiRetezec(u"Proporce"_s), u"Fixni"_s);
        QCOMPARE(registr.CtiCislo(u"Kurziva"_s), 1);
        QCOMPARE(registr.CtiCislo(u"Tucne"_s), 0);
        QVERIFY(!registr.ExistujeKlic(KlicZnaky));
    }
    TTestovaciOkno test([&] { spolecne.Pouzij(); });
    QCOMPARE(JazykXML->Jazyk(), u"SK"_s);
    QCOMPARE(test.Okno->VnejsiGeometrie(), QRect(50, 60, 700, 500));
    QCOMPARE(test.Okno->PismoEditoru().Pismo.family(), u"DejaVu Serif"_s);
    QCOMPARE(VelikostPisma(test.Okno->PismoEditoru().Pismo), 12);
    QVERIFY(test.Okno->PismoEditoru().Pismo.italic());
    QCOMPARE(test.Okno->PismoEditoru().Sada, 238);
    QCOMPARE(int(test.Okno->PismoEditoru().Proporce), int(prFixni));
    QCOMPARE(ZnakySeZnamenkem, VychoziZnakySeZnamenkem);
}

// A stored placement is bounded to the screen before the window takes it:
// no larger than the screen's available area, no smaller than 640 x 480, and
// wholly on the screen. The stored values stay as they are: a run that only
// starts and closes writes them back unchanged.
void TestUlozeni::umisteni_data()
{
    QTest::addColumn<TUmisteniOkna>("ulozene");
    QTest::addColumn<QRect>("vnejsi");
    const QRect p = QGuiApplication::primaryScreen()->availableGeometry();
    constexpr int max = std::numeric_limits<int>::max(), min = std::numeric_limits<int>::min();
    QTest::newRow("normal") << TUmisteniOkna{40, 30, 700, 520} << QRect(40, 30, 700, 520);
    QTest::newRow("exactly the screen") << TUmisteniOkna{p.left(), p.top(), p.width(), p.height()} << p;
    QTest::newRow("huge") << TUmisteniOkna{0, 0, max, max} << p;
    QTest::newRow("huge at the far corner") << TUmisteniOkna{max, max, max, max} << p;
    QTest::newRow("one pixel too large") << TUmisteniOkna{p.left(), p.top(), p.width() + 1, p.height()} << p;
    QTest::newRow("negative size") << TUmisteniOkna{40, 30, -5, min} << QRect(40, 30, 640, 480);
    QTest::newRow("below the minimum") << TUmisteniOkna{40, 30, 100, 479} << QRect(40, 30, 640, 480);
    QTest::newRow("partly off the screen") << TUmisteniOkna{p.right() - 100, p.bottom() - 100, 700, 520}
                                           << QRect(p.right() + 1 - 700, p.bottom() + 1 - 520, 700, 520);
    QTest::newRow("far above and left") << TUmisteniOkna{min, min, 700, 520} << QRect(p.topLeft(), QSize(700, 520));
}

void TestUlozeni::umisteni()
{
    QFETCH(TUmisteniOkna, ulozene);
    QFETCH(QRect, vnejsi);
    TSpolecneNastaveni spolecne;
    {
        TTestovaciOkno test([&] {
            spolecne.Pouzij();
            Uloz({{{}, u"Vlevo"_s, ulozene.Vlevo},
                  {{}, u"Nahore"_s, ulozene.Nahore},
                  {{}, u"Vyska"_s, ulozene.Vyska},
                  {{}, u"Sirka"_s, ulozene.Sirka}});
        });
        THlavniForm *okno = test.Okno;
        QCOMPARE(okno->VnejsiGeometrie(), vnejsi);
        okno->show();
        QVERIFY(QTest::qWaitForWindowExposed(okno));
        QCOMPARE(okno->VnejsiGeometrie(), vnejsi);
        // What the window really is, not only what it says of itself.
        QVERIFY2(okno->frameGeometry().width() <= vnejsi.width() && okno->frameGeometry().height() <= vnejsi.height(),
                 qPrintable(u"%1 x %2"_s.arg(okno->frameGeometry().width()).arg(okno->frameGeometry().height())));
        QVERIFY(okno->close());
        QVERIFY(test.Prostredi.Dialogy.isEmpty());
        TRegistr registr(KEY_READ);
        QVERIFY(registr.OtevriKlic(KlicLumarin, false));
        QCOMPARE(registr.CtiCislo(u"Vlevo"_s), ulozene.Vlevo);
        QCOMPARE(registr.CtiCislo(u"Nahore"_s), ulozene.Nahore);
        QCOMPARE(registr.CtiCislo(u"Sirka"_s), ulozene.Sirka);
        QCOMPARE(registr.CtiCislo(u"Vyska"_s), ulozene.Vyska);
    }
    // The next run bounds them again alike.
    TTestovaciOkno test([&] { spolecne.Pouzij(); });
    QCOMPARE(test.Okno->VnejsiGeometrie(), vnejsi);
}

// Once the window has other bounds than those the program gave it, they are
// its own, and the close writes them; a window maximised and restored again
// has been neither moved nor resized.
void TestUlozeni::zmenaUmisteni()
{
    const QRect p = QGuiApplication::primaryScreen()->availableGeometry();
    constexpr int max = std::numeric_limits<int>::max();
    {
        TTestovaciOkno test([] { Uloz({{{}, u"Sirka"_s, max}, {{}, u"Vyska"_s, max}}); });
        test.Okno->show();
        test.Okno->showMaximized();
        test.Okno->showNormal();
        QCOMPARE(test.Okno->VnejsiGeometrie(), p);
        QVERIFY(test.Okno->close());
        TRegistr registr(KEY_READ);
        QVERIFY(registr.OtevriKlic(KlicLumarin, false));
        QCOMPARE(registr.CtiCislo(u"Sirka"_s), max);
        QCOMPARE(registr.CtiCislo(u"Vlevo"_s), 0);
    }
    TTestovaciOkno test([] { Uloz({{{}, u"Sirka"_s, max}, {{}, u"Vyska"_s, max}}); });
    test.Okno->show();
    test.Okno->NastavVnejsiGeometrii(QRect(10, 20, 700, 500));
    QVERIFY(test.Okno->close());
    TRegistr registr(KEY_READ);
    QVERIFY(registr.OtevriKlic(KlicLumarin, false));
    QCOMPARE(QRect(registr.CtiCislo(u"Vlevo"_s), registr.CtiCislo(u"Nahore"_s), registr.CtiCislo(u"Sirka"_s),
                   registr.CtiCislo(u"Vyska"_s)),
             QRect(10, 20, 700, 500));
}

// The screen a placement lands on, with a second screen right of the primary.
void TestUlozeni::omezeni_data()
{
    QTest::addColumn<QList<QRect>>("plochy");
    QTest::addColumn<TUmisteniOkna>("ulozene");
    QTest::addColumn<QRect>("vnejsi");
    const QRect a(0, 0, 1920, 1040), b(1920, 0, 1280, 1024);
    QTest::newRow("on the second screen")
        << QList{a, b} << TUmisteniOkna{2000, 100, 800, 600} << QRect(2000, 100, 800, 600);
    QTest::newRow("more on the second") << QList{a, b} << TUmisteniOkna{1800, 100, 800, 600}
                                        << QRect(1920, 100, 800, 600);
    QTest::newRow("larger than the second") << QList{a, b} << TUmisteniOkna{2000, 10, 3000, 3000} << b;
    QTest::newRow("right of the second, unplugged")
        << QList{a, b} << TUmisteniOkna{4000, 200, 800, 600} << QRect(2400, 200, 800, 600);
    QTest::newRow("below the primary") << QList{a, b} << TUmisteniOkna{100, 5000, 800, 600}
                                       << QRect(100, 440, 800, 600);
    constexpr int min = std::numeric_limits<int>::min();
    QTest::newRow("far above and left of both")
        << QList{a, QRect(1920, 1080, 1280, 1024)} << TUmisteniOkna{min, min, 640, 480} << QRect(0, 0, 640, 480);
    QTest::newRow("a screen smaller than the minimum")
        << QList{QRect(0, 0, 600, 400)} << TUmisteniOkna{50, 50, 800, 600} << QRect(0, 0, 640, 480);
    QTest::newRow("no screen") << QList<QRect>{} << TUmisteniOkna{50, 50, 800, 600} << QRect(0, 0, 640, 480);
}

void TestUlozeni::omezeni()
{
    QFETCH(QList<QRect>, plochy);
    QFETCH(TUmisteniOkna, ulozene);
    QFETCH(QRect, vnejsi);
    QCOMPARE(OmezUmisteni(ulozene, plochy, NejmensiVnejsi), vnejsi);
}

void TestUlozeni::zapisMaximalnihoNechaUmisteni()
{
    TTestovaciOkno test([] {
        Uloz({{{}, u"Vlevo"_s, 40}, {{}, u"Nahore"_s, 30}, {{}, u"Vyska"_s, 520}, {{}, u"Sirka"_s, 700}});
    });
    test.Okno->setWindowState(Qt::WindowMaximized);
    test.Okno->close();
    TRegistr registr(KEY_READ);
    QVERIFY(registr.OtevriKlic(KlicLumarin, false));
    QCOMPARE(registr.CtiCislo(u"Maximalni"_s), 1);
    QCOMPARE(registr.CtiCislo(u"Vlevo"_s), 40);
    QCOMPARE(registr.CtiCislo(u"Sirka"_s), 700);
    QCOMPARE(registr.CtiRetezec(u"Jazyk"_s), u"CZ"_s);
    QVERIFY(registr.ExistujeKlic(KlicPismo));
}

void TestUlozeni::zpetPoZapisu()
{
    // A language chosen during the run reaches the store only at close: a run
    // that ends without closing leaves the stored one.
    TSpolecneNastaveni spolecne;
    {
        TTestovaciOkno test([&] {
            spolecne.Pouzij();
            Uloz({{{}, u"Jazyk"_s, u"EN"_s}});
        });
        JazykXML->NastavJazyk(u"DE"_s);
    }
    // The store as the next run finds it (on Windows the registry of the
    // window's environment went with it).
    TProstredi dalsiBeh;
    spolecne.Pouzij();
    TRegistr registr(KEY_READ);
    QVERIFY(registr.OtevriKlic(KlicLumarin, false));
    QCOMPARE(registr.CtiRetezec(u"Jazyk"_s), u"EN"_s);
}

void TestUlozeni::chybaZapisu()
{
    JEN_SOUBOR_NASTAVENI();
    // A settings folder that cannot be written: the close tells it, the window
    // closes all the same, and the old file stays whole.
    TTestovaciOkno test([] { Uloz({{{}, u"Jazyk"_s, u"EN"_s}}); });
    const QString slozka = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + u"/VELOR"_s;
    // The folders above stay open to the user the test becomes.
    const QFile::Permissions pruchozi = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(test.Prostredi.Docasna.path(), pruchozi));
    QVERIFY(QFile::setPermissions(test.Prostredi.Docasna.filePath(u"config"_s), pruchozi));
    QFile soubor(slozka + u"/Lumarin.json"_s);
    QVERIFY(soubor.open(QIODevice::ReadOnly));
    const QByteArray pred = soubor.readAll();
    soubor.close();
    QVERIFY(QFile::setPermissions(slozka,
                                  QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::ExeOther));
    QVERIFY(QFile::setPermissions(soubor.fileName(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    test.Okno->show();
    {
        TBezPrivilegii bezPrav;
        test.Okno->close();
    }
    QFile::setPermissions(slozka, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!test.Okno->isVisible());
    QCOMPARE(test.Prostredi.Dialogy.size(), 1);
    QVERIFY2(test.Prostredi.Dialogy[0].Text.startsWith(
                 u"Při zápisu hodnot nastavení do registru došlo k chybě.\r(Failed to set data for 'Jazyk'"_s),
             qPrintable(test.Prostredi.Dialogy[0].Text));
    QVERIFY(test.Prostredi.Dialogy[0].Text.endsWith(u".)"_s));
    QVERIFY(soubor.open(QIODevice::ReadOnly));
    QCOMPARE(soubor.readAll(), pred);
}

void TestUlozeni::poskozenySoubor()
{
    JEN_SOUBOR_NASTAVENI();
    // A damaged file: the start tells why and where it went, the program runs
    // on its defaults, and the next close writes a fresh file.
    TSpolecneNastaveni spolecne;
    const QString slozka = spolecne.Slozka.filePath(u"VELOR"_s);
    {
        TTestovaciOkno test([&] {
            spolecne.Pouzij();
            QDir().mkpath(slozka);
            QFile f(spolecne.Soubor());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("{ \"HKEY_CURRENT_USER\\\\Software\\\\VELOR\\\\Lumarin\": { \"Jazyk\": ");
        });
        QCOMPARE(test.Prostredi.Dialogy.size(), 1);
        const QString text = test.Prostredi.Dialogy[0].Text;
        QVERIFY2(text.startsWith(u"Při čtení hodnot nastavení z registru došlo k chybě.\r("_s), qPrintable(text));
        QVERIFY2(text.contains(u"Lumarin.json.damaged"_s), qPrintable(text));
        QCOMPARE(ZnakySeZnamenkem, QString());
        QCOMPARE(JazykXML->Jazyk(), u"CZ"_s);
        test.Okno->show();
        test.Okno->close();
        QCOMPARE(test.Prostredi.Dialogy.size(), 1);
        const QStringList stranou = QDir(slozka).entryList({u"Lumarin.json.damaged*"_s}, QDir::Files);
        QCOMPARE(stranou.size(), 1);
    }
    TTestovaciOkno test([&] { spolecne.Pouzij(); });
    QVERIFY(test.Prostredi.Dialogy.isEmpty());
    QCOMPARE(ZnakySeZnamenkem, VychoziZnakySeZnamenkem);
    QFile novy(spolecne.Soubor());
    QVERIFY(novy.open(QIODevice::ReadOnly));
    QVERIFY(novy.readAll().contains("Pismo"));
}

QTEST_MAIN(TestUlozeni)
#include "tst_ulozeni.moc"
