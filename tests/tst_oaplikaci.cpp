// The about box: its components as they are placed, drawn and marked; the
// version read from this test's own executable (which carries the program's
// version block) and from a copy whose block the reader cannot find; labels
// that keep their anchored edge as their texts change; every way of closing
// it while it runs modally; the web address handed to the browser.

#include "Komponenty.h"
#include "SoubUtility.h"
#include "TestovaciOkno.h"
#include "fHlavni.h"
#include "fOAplikaci.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Set for a copy of this test that only says what its about box shows.
constexpr char PromennaVerze[] = "LUMARIN_JEN_VERZE";

int VypisVerzi()
{
    SouboroveInfo = new TSouboroveInfo;
    {
        TOAplikaciForm forma;
        std::printf("[%s]\n", forma.lblVerze->text().toUtf8().constData());
    }
    delete SouboroveInfo;
    SouboroveInfo = nullptr;
    return 0;
}

// Runs Akce on the modal window that the next call opens, once its event loop
// runs; a window that Akce leaves open (a failed check) is closed, so a
// failure never hangs the test.
void NaModalnimOkne(std::function<void(QWidget *)> Akce)
{
    QTimer::singleShot(0, [Akce] {
        QPointer<QWidget> okno = QApplication::activeModalWidget();
        QVERIFY(okno);
        QVERIFY(QTest::qWaitForWindowActive(okno));
        Akce(okno);
        if (auto *dialog = qobject_cast<QDialog *>(okno.data()); dialog && dialog->isVisible())
            dialog->done(QDialog::Accepted);
    });
}

QWidget *Komponenta(TOAplikaciForm *Forma, const QString &Jmeno)
{
    for (QObject *k : std::as_const(Forma->Komponenty))
        if (k->objectName() == Jmeno)
            return qobject_cast<QWidget *>(k);
    return nullptr;
}

} // namespace

class TestOAplikaci : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void forma();
    void komponenty_data();
    void komponenty();
    void vykresleni();
    void verze_data();
    void verze();
    void zmenaTextu_data();
    void zmenaTextu();
    void zavreni_data();
    void zavreni();
    void nadHlavnimOknem();
    void odkaz_data();
    void odkaz();

private:
    std::unique_ptr<TTestovaciOkno> O;
    TOAplikaciForm *F = nullptr;
};

void TestOAplikaci::init()
{
    O = std::make_unique<TTestovaciOkno>();
    F = O->Formy->OAplikaciForm;
}

void TestOAplikaci::cleanup()
{
    O.reset();
}

// The form as the language engine and the window system see it: its
// components in creation order (which is also the order they are drawn in)
// with their markers, a fixed tool window with a close box, and the button
// that takes the focus and Enter.
void TestOAplikaci::forma()
{
    QStringList komponenty;
    for (const QObject *k : std::as_const(F->Komponenty))
        komponenty << k->objectName() + u':' + QString::number(Tag(k));
    QCOMPARE(komponenty,
             QStringList({u"Shape1:0"_s, u"Label1:0"_s, u"lblPopis:-1"_s, u"lblVerze:0"_s, u"Bevel1:0"_s, u"Label3:0"_s,
                          u"Label4:0"_s, u"Label5:0"_s, u"btnZavrit:-1"_s}));
    QList<QObject *> vykreslovani;
    for (QObject *k : F->children())
        if (k->isWidgetType())
            vykreslovani << k;
    QCOMPARE(vykreslovani, F->Komponenty);

    QCOMPARE(F->objectName(), u"OAplikaciForm"_s);
    QCOMPARE(Tag(F), -1);
    QCOMPARE(F->windowTitle(), u"O aplikaci"_s);
    QCOMPARE(F->parentWidget(), O->Okno);
    QCOMPARE(F->minimumSize(), QSize(428, 198));
    QCOMPARE(F->maximumSize(), QSize(428, 198));
    QCOMPARE(F->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QVERIFY(F->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(F->windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint)));
    QCOMPARE(F->font().family(), u"Tahoma"_s);
    QCOMPARE(F->font().pixelSize(), 11);
    QCOMPARE(F->backgroundRole(), QPalette::Button);
    QVERIFY(F->btnZavrit->isDefault());

    F->open();
    QVERIFY(QTest::qWaitForWindowActive(F));
    QCOMPARE(QApplication::focusWidget(), F->btnZavrit);
    QCOMPARE(F->size(), QSize(428, 198));
    F->reject();
}

void TestOAplikaci::komponenty_data()
{
    // A width or height of -1: the size of the label's text. A right edge
    // (x + width) of 420: the label is anchored there and x follows.
    QTest::addColumn<QString>("jmeno");
    QTest::addColumn<QRect>("misto");
    QTest::addColumn<int>("vyska"); // of the font, in pixels
    QTest::addColumn<bool>("tucne");
    QTest::addColumn<bool>("podtrzene");
    QTest::addColumn<quint32>("barva");
    QTest::addColumn<QString>("text");
    const int a = -1;
    QTest::newRow("Shape1") << u"Shape1"_s << QRect(88, 87, 249, 33) << 11 << false << false << clGreen << QString();
    QTest::newRow("Label1") << u"Label1"_s << QRect(8, 8, a, a) << 27 << true << false << 0x000080u << u"Lumarin 3"_s;
    QTest::newRow("lblPopis") << u"lblPopis"_s << QRect(420, 55, a, a) << 13 << true << false << clWindowText
                              << u"Odstranění diakritických znamének"_s;
    QTest::newRow("lblVerze") << u"lblVerze"_s << QRect(420, 24, a, a) << 11 << true << false << 0x000080u
                              << u"3.0.0"_s;
    QTest::newRow("Bevel1") << u"Bevel1"_s << QRect(8, 72, 412, 9) << 11 << false << false << clWindowText << QString();
    QTest::newRow("Label3") << u"Label3"_s << QRect(168, 95, a, a) << 16 << true << false << clGreen << u"FREEWARE"_s;
    QTest::newRow("Label4") << u"Label4"_s << QRect(8, 136, a, a) << 11 << false << false << clWindowText
                            << u"Copyright © VELOR"_s;
    QTest::newRow("Label5") << u"Label5"_s << QRect(420, 136, a, a) << 11 << false << true << 0xFF0000u
                            << u"https://velor.example/lumarin"_s;
    QTest::newRow("btnZavrit") << u"btnZavrit"_s << QRect(345, 166, 75, 25) << 11 << false << false << clWindowText
                               << u"Zavřít"_s;
}

void TestOAplikaci::komponenty()
{
    QFETCH(QString, jmeno);
    QFETCH(QRect, misto);
    QFETCH(int, vyska);
    QFETCH(bool, tucne);
    QFETCH(bool, podtrzene);
    QFETCH(quint32, barva);
    QFETCH(QString, text);
    // Placed as the form is created, and kept so when it is shown.
    for (const bool bZobrazena : {false, true}) {
        if (bZobrazena) {
            F->open();
            QVERIFY(QTest::qWaitForWindowExposed(F));
        }
        QWidget *k = Komponenta(F, jmeno);
        QVERIFY(k);
        QRect ocekavane = misto;
        if (misto.width() == -1) {
            const QSize s = k->sizeHint();
            QVERIFY(s.width() > 0 && s.height() > 0);
            ocekavane = QRect(misto.x() == 420 ? 420 - s.width() : misto.x(), misto.y(), s.width(), s.height());
        }
        QCOMPARE(k->geometry(), ocekavane);
        QCOMPARE(k->font().family(), u"Tahoma"_s);
        QCOMPARE(k->font().pixelSize(), vyska);
        QCOMPARE(k->font().bold(), tucne);
        QCOMPARE(k->font().underline(), podtrzene);
        QCOMPARE(BarvaPisma(k), barva);
        QCOMPARE(k->palette().color(QPalette::WindowText),
                 BarvaZHodnoty(barva, F->palette(), QPalette::Active, QPalette::WindowText));
        if (auto *l = qobject_cast<QLabel *>(k)) {
            QCOMPARE(l->text(), text);
            QCOMPARE(l->textFormat(), Qt::PlainText);
            QCOMPARE(l->alignment() & Qt::AlignHorizontal_Mask, misto.x() == 420 ? Qt::AlignRight : Qt::AlignLeft);
        } else if (auto *b = qobject_cast<QPushButton *>(k)) {
            QCOMPARE(b->text(), text);
        }
    }
    F->reject();
}

// What is drawn: the background in the button-face colour of the form's own
// palette, each text in its own colour (the window-text colour where it has
// none, never the button-text colour that goes with the button face), the
// frame as a green outline with nothing filled inside, the bevel as a shadow
// line over a highlight line along its top edge only.
void TestOAplikaci::vykresleni()
{
    QPalette paleta = F->palette();
    paleta.setColor(QPalette::Button, QColor(0xC0, 0xD0, 0xE0));
    paleta.setColor(QPalette::Window, QColor(0x40, 0x40, 0x40));
    paleta.setColor(QPalette::WindowText, QColor(0x30, 0x20, 0x10));
    paleta.setColor(QPalette::ButtonText, QColor(0xFF, 0, 0xFF));
    paleta.setColor(QPalette::Dark, QColor(0x10, 0x20, 0x30));
    paleta.setColor(QPalette::Light, QColor(0xF0, 0xF8, 0xFF));
    F->setPalette(paleta);
    F->open();
    QVERIFY(QTest::qWaitForWindowExposed(F));
    const QImage obraz = F->grab().toImage();
    const auto barva = [&](int x, int y) { return QColor(obraz.pixel(x, y)); };
    const QColor pozadi(0xC0, 0xD0, 0xE0);
    QCOMPARE(barva(2, 190), pozadi);
    QCOMPARE(barva(300, 50), pozadi);
    // Shape1 at 88, 87, 249 x 33: each side of the outline, then inside it.
    const QColor zelena(0, 0x80, 0);
    QCOMPARE(barva(88, 100), zelena);
    QCOMPARE(barva(336, 100), zelena);
    QCOMPARE(barva(200, 87), zelena);
    QCOMPARE(barva(200, 119), zelena);
    QCOMPARE(barva(89, 100), pozadi);
    QCOMPARE(barva(100, 117), pozadi);
    QCOMPARE(barva(87, 100), pozadi);
    // Bevel1 at 8, 72, 412 x 9.
    QCOMPARE(barva(200, 72), QColor(0x10, 0x20, 0x30));
    QCOMPARE(barva(200, 73), QColor(0xF0, 0xF8, 0xFF));
    for (int y = 74; y < 81; ++y)
        QCOMPARE(barva(200, y), pozadi);
    QCOMPARE(barva(8, 72), QColor(0x10, 0x20, 0x30));
    QCOMPARE(barva(419, 72), QColor(0x10, 0x20, 0x30));
    QCOMPARE(barva(7, 72), pozadi);
    QCOMPARE(barva(420, 72), pozadi);

    // The strongest pixel of each text: a blend of the background and the
    // text's colour, as far as smoothing lets it reach the colour itself.
    const auto barvaTextu = [&](const QLabel *Popisek, QColor Ocekavana) {
        QColor nejsilnejsi = pozadi;
        int vzdalenost = 0;
        const QRect r = Popisek->geometry();
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = barva(x, y);
                const int d = std::abs(c.red() - pozadi.red()) + std::abs(c.green() - pozadi.green()) +
                    std::abs(c.blue() - pozadi.blue());
                if (d > vzdalenost) {
                    vzdalenost = d;
                    nejsilnejsi = c;
                }
            }
        QList<double> podily;
        for (const auto slozka : {&QColor::red, &QColor::green, &QColor::blue}) {
            const int rozsah = (Ocekavana.*slozka)() - (pozadi.*slozka)();
            if (std::abs(rozsah) >= 64)
                podily << double((nejsilnejsi.*slozka)() - (pozadi.*slozka)()) / rozsah;
        }
        const auto [min, max] = std::minmax_element(podily.cbegin(), podily.cend());
        return *min > 0.5 && *max - *min < 0.1;
    };
    const std::pair<const QLabel *, QColor> texty[] = {
        {F->Label1, QColor(0x80, 0, 0)}, {F->lblPopis, QColor(0x30, 0x20, 0x10)}, {F->lblVerze, QColor(0x80, 0, 0)},
        {F->Label3, QColor(0, 0x80, 0)}, {F->Label4, QColor(0x30, 0x20, 0x10)},   {F->Label5, QColor(0, 0, 0xFF)}};
    for (const auto &[popisek, ocekavana] : texty)
        QVERIFY2(barvaTextu(popisek, ocekavana), qPrintable(popisek->objectName()));
    F->reject();
}

// The version as the about box reads it from the executable it runs in: this
// test carries the program's block; a copy whose block the reader cannot find
// (its section renamed) shows nothing. The copy runs as its own process,
// since the box reads the file of the running program.
void TestOAplikaci::verze_data()
{
    QTest::addColumn<QString>("kopie"); // "": this process; else how the copy is made
    QTest::addColumn<QString>("verze");
    QTest::newRow("this test") << QString() << u"3.0.0"_s;
    QTest::newRow("copy") << u"copy"_s << u"3.0.0"_s;
    QTest::newRow("copy without the block") << u"renamed"_s << QString();
}

void TestOAplikaci::verze()
{
    QFETCH(QString, kopie);
    QFETCH(QString, verze);
    if (kopie.isEmpty()) {
        QCOMPARE(F->lblVerze->text(), verze);
        // The notice says what the block says.
        QCOMPARE(F->Label4->text(),
                 SouboroveInfo->SouborovaInformace(QCoreApplication::applicationFilePath(), viAutorskaPrava));
        return;
    }
    const QString cesta = O->Prostredi.Cesta(u"lumarin-kopie"_s);
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), cesta));
    if (kopie == u"renamed"_s) {
        QProcess objcopy;
        objcopy.start(u"objcopy"_s, {u"--rename-section"_s, u"lumarin_verze=lumarin_jinde"_s, cesta});
        if (!objcopy.waitForFinished() || objcopy.exitStatus() != QProcess::NormalExit)
            QSKIP("no objcopy on this machine");
        QCOMPARE(objcopy.exitCode(), 0);
        QCOMPARE(SouboroveInfo->Verze(cesta, vtOprava), QString());
    }
    QProcess program;
    QProcessEnvironment prostredi = QProcessEnvironment::systemEnvironment();
    prostredi.insert(QLatin1String(PromennaVerze), u"1"_s);
    prostredi.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    program.setProcessEnvironment(prostredi);
    program.start(cesta, {});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).trimmed(), u'[' + verze + u']');
}

// Texts that change after the form was created (a language applied, a
// longer version): the label takes its new size at once, hidden or shown,
// and keeps its anchored edge.
void TestOAplikaci::zmenaTextu_data()
{
    QTest::addColumn<QString>("jmeno");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("zobrazena");
    QTest::addColumn<int>("kotva"); // x of the left edge, or of the right edge when right-aligned
    QTest::newRow("longer version, hidden") << u"lblVerze"_s << u"10.20.300 (sestavení 2024-06-11)"_s << false << 420;
    QTest::newRow("longer version, shown") << u"lblVerze"_s << u"10.20.300 (sestavení 2024-06-11)"_s << true << 420;
    QTest::newRow("shorter version") << u"lblVerze"_s << u"3"_s << false << 420;
    QTest::newRow("no version") << u"lblVerze"_s << QString() << false << 420;
    QTest::newRow("description in English")
        << u"lblPopis"_s << u"Removes diacritical marks from text"_s << false << 420;
    QTest::newRow("longer address") << u"Label5"_s << u"https://velor.example/lumarin/o-programu"_s << true << 420;
    QTest::newRow("longer title") << u"Label1"_s << u"Lumarin 3 Professional"_s << false << 8;
}

void TestOAplikaci::zmenaTextu()
{
    QFETCH(QString, jmeno);
    QFETCH(QString, text);
    QFETCH(bool, zobrazena);
    QFETCH(int, kotva);
    auto *l = qobject_cast<QLabel *>(Komponenta(F, jmeno));
    QVERIFY(l);
    if (zobrazena) {
        F->open();
        QVERIFY(QTest::qWaitForWindowExposed(F));
    }
    const QRect pred = l->geometry();
    l->setText(text);
    const QSize s = l->sizeHint();
    QVERIFY(text.isEmpty() || s.width() != pred.width());
    const QRect ocekavane(kotva == 420 ? 420 - s.width() : kotva, pred.y(), s.width(), s.height());
    QCOMPARE(l->geometry(), ocekavane);
    if (!zobrazena) {
        F->open();
        QVERIFY(QTest::qWaitForWindowExposed(F));
    }
    QCOMPARE(l->geometry(), ocekavane);
    // The new text is drawn whole, inside the form.
    QVERIFY(F->rect().contains(l->geometry()) || text.isEmpty());
    F->reject();
}

// Every way out of the running dialog closes it with Cancel, and the modal
// call returns.
void TestOAplikaci::zavreni_data()
{
    QTest::addColumn<QString>("akce");
    QTest::newRow("Enter") << u"enter"_s;
    QTest::newRow("Enter on the keypad") << u"keypad"_s;
    QTest::newRow("Esc") << u"esc"_s;
    QTest::newRow("the button") << u"tlacitko"_s;
    QTest::newRow("Space on the button") << u"mezernik"_s;
    QTest::newRow("the close box") << u"zavrit"_s;
}

void TestOAplikaci::zavreni()
{
    QFETCH(QString, akce);
    bool bProbehlo = false;
    NaModalnimOkne([&](QWidget *Okno) {
        QCOMPARE(Okno, F);
        QWidget *fokus = QApplication::focusWidget();
        QCOMPARE(fokus, F->btnZavrit);
        if (akce == u"enter")
            QTest::keyClick(fokus, Qt::Key_Return);
        else if (akce == u"keypad")
            QTest::keyClick(fokus, Qt::Key_Enter, Qt::KeypadModifier);
        else if (akce == u"esc")
            QTest::keyClick(fokus, Qt::Key_Escape);
        else if (akce == u"tlacitko")
            QTest::mouseClick(F->btnZavrit, Qt::LeftButton);
        else if (akce == u"mezernik")
            QTest::keyClick(fokus, Qt::Key_Space);
        else
            QVERIFY(F->close());
        bProbehlo = true;
    });
    const int vysledek = F->exec();
    QVERIFY(bProbehlo);
    QVERIFY(!F->isVisible());
    QCOMPARE(ModalniVysledek(vysledek), mrCancel);
    // Hidden, not destroyed: it opens again as it was.
    QCOMPARE(O->Formy->OAplikaciForm, F);
    QCOMPARE(F->lblVerze->text(), u"3.0.0"_s);
}

// The Nápověda command opens it modally, centred over the main window, and
// again centred after the user moved it.
void TestOAplikaci::nadHlavnimOknem()
{
    O->Okno->setGeometry(40, 60, 700, 500);
    O->Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(O->Okno));
    const QPoint stred = O->Okno->geometry().center();
    for (int i = 0; i < 2; ++i) {
        bool bProbehlo = false;
        NaModalnimOkne([&](QWidget *Okno) {
            QCOMPARE(Okno, F);
            QVERIFY2((F->geometry().center() - stred).manhattanLength() <= 2,
                     qPrintable(u"%1,%2"_s.arg(F->geometry().center().x()).arg(F->geometry().center().y())));
            QCOMPARE(F->size(), QSize(428, 198));
            F->move(F->pos() + QPoint(150, -40)); // the user moves it
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            bProbehlo = true;
        });
        O->Okno->aOAplikaci->trigger();
        QVERIFY(bProbehlo);
        QVERIFY(!F->isVisible());
    }
}

// A click on the address hands exactly that address to the browser; other
// buttons, and a press that ends outside the label, do not. The address
// shows the pointing hand.
void TestOAplikaci::odkaz_data()
{
    QTest::addColumn<Qt::MouseButton>("tlacitko");
    QTest::addColumn<bool>("venku"); // released outside the label
    QTest::addColumn<int>("otevreni");
    QTest::newRow("left click") << Qt::LeftButton << false << 1;
    QTest::newRow("right click") << Qt::RightButton << false << 0;
    QTest::newRow("released outside") << Qt::LeftButton << true << 0;
}

void TestOAplikaci::odkaz()
{
    QFETCH(Qt::MouseButton, tlacitko);
    QFETCH(bool, venku);
    QFETCH(int, otevreni);
    QList<QUrl> adresy;
    F->OtevritAdresu = [&](const QUrl &Adresa) {
        adresy << Adresa;
        return true;
    };
    F->open();
    QVERIFY(QTest::qWaitForWindowExposed(F));
    QCOMPARE(F->Label5->cursor().shape(), Qt::PointingHandCursor);
    const QPoint stred = F->Label5->rect().center();
    QTest::mousePress(F->Label5, tlacitko, {}, stred);
    QTest::mouseRelease(F->Label5, tlacitko, {}, venku ? QPoint(-20, stred.y()) : stred);
    QCOMPARE(adresy.size(), otevreni);
    if (otevreni)
        QCOMPARE(adresy.first(), QUrl(u"https://velor.example/lumarin"_s));
    QCOMPARE(TOAplikaciForm::AdresaAutora, F->Label5->text());
    QVERIFY(F->isVisible());
    F->reject();
}

int main(int argc, char *argv[])
{
    QApplication aplikace(argc, argv);
    if (qEnvironmentVariableIsSet(PromennaVerze))
        return VypisVerzi();
    aplikace.setAttribute(Qt::AA_Use96Dpi, true);
    TestOAplikaci test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_oaplikaci.moc"
