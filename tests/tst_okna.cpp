// What the window manager is asked to draw around each form: the buttons of
// its title bar, and a fixed size where the form has one. Openbox draws a
// minimise button on every window type but the toolbar and menu types,
// whatever the other hints say, so under it the fixed dialogs also name
// themselves toolbar windows; other managers get the dialogs' own types.

#include "Hlaseni.h"
#include "Modalni.h"
#include "Okna.h"
#include "TestovaciOkno.h"
#include "fASCII.h"
#include "fJazyk.h"
#include "fOAplikaci.h"
#include "fZnaky.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestOkna : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void tlacitka_data();
    void tlacitka();

private:
    // Runs Kontrola on the named form while it is open, the main window too.
    void NaFormulari(TTestovaciOkno &O, const QString &Jmeno, const std::function<void(QWidget *)> &Kontrola);
};

void TestOkna::cleanup()
{
    NastavJmenoSpravceOken(std::nullopt);
}

void TestOkna::NaFormulari(TTestovaciOkno &O, const QString &Jmeno, const std::function<void(QWidget *)> &Kontrola)
{
    O.Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(O.Okno));
    if (Jmeno == u"HlavniForm"_s)
        return Kontrola(O.Okno);
    const QHash<QString, QDialog *> formy = {
        {u"ZnakyForm"_s, O.Formy->ZnakyForm},
        {u"ASCIIForm"_s, O.Formy->ASCIIForm},
        {u"JazykForm"_s, O.Formy->JazykForm},
        {u"OAplikaciForm"_s, O.Formy->OAplikaciForm},
    };
    if (QDialog *dialog = formy.value(Jmeno)) {
        dialog->open();
        Kontrola(dialog);
        dialog->reject();
        return;
    }
    bool bHotovo = false;
    NaModalnimOkne([&](QWidget *Okno) {
        Kontrola(Okno);
        bHotovo = true;
    });
    QString hodnota;
    if (Jmeno == u"VstupniForm"_s)
        Hlaseni->VstupniDialog(u"Nadpis"_s, u"Popisek"_s, u"OK"_s, u"Storno"_s, hodnota);
    else
        THlaseni::MessageBox(u"Text"_s, u"Nadpis"_s, 35);
    QVERIFY(bHotovo);
}

void TestOkna::tlacitka_data()
{
    QTest::addColumn<QString>("spravce");
    QTest::addColumn<QString>("formular");
    QTest::addColumn<bool>("bZavrit");
    QTest::addColumn<bool>("bPevny");
    QTest::addColumn<bool>("bListaNastroju");

    struct TFormular {
        const char *Jmeno;
        bool bZavrit, bPevny;
    };
    const TFormular formulare[] = {
        {"HlavniForm", true, false}, {"ZnakyForm", false, true},    {"ASCIIForm", true, true},
        {"JazykForm", true, true},   {"OAplikaciForm", true, true}, {"VstupniForm", true, true},
        {"MessageBox", true, true},
    };
    for (const char *spravce : {"Openbox", "KWin", ""}) {
        for (const TFormular &f : formulare) {
            const bool bLista = f.bPevny && QByteArray(spravce) == "Openbox";
            QTest::addRow("%s %s", *spravce ? spravce : "none", f.Jmeno)
                << QString::fromLatin1(spravce) << QString::fromLatin1(f.Jmeno) << f.bZavrit << f.bPevny << bLista;
        }
    }
}

void TestOkna::tlacitka()
{
    QFETCH(QString, spravce);
    QFETCH(QString, formular);
    QFETCH(bool, bZavrit);
    QFETCH(bool, bPevny);
    QFETCH(bool, bListaNastroju);

    NastavJmenoSpravceOken(spravce);
    TTestovaciOkno O;
    NaFormulari(O, formular, [&](QWidget *Okno) {
        const Qt::WindowFlags priznaky = Okno->windowFlags();
        // The main window keeps all three; a fixed dialog neither minimises
        // nor maximises, and the pair editor has no close box either.
        QCOMPARE(bool(priznaky & Qt::WindowMinimizeButtonHint), !bPevny);
        QCOMPARE(bool(priznaky & Qt::WindowMaximizeButtonHint), !bPevny);
        QCOMPARE(bool(priznaky & Qt::WindowCloseButtonHint), bZavrit);
        QVERIFY(priznaky & Qt::WindowTitleHint || !(priznaky & Qt::CustomizeWindowHint));
        QCOMPARE(Okno->minimumSize() == Okno->maximumSize(), bPevny);
        QCOMPARE(Okno->testAttribute(Qt::WA_X11NetWmWindowTypeToolBar), bListaNastroju);
    });
}

QTEST_MAIN(TestOkna)
#include "tst_okna.moc"
