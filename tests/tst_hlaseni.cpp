// Message boxes, input dialogs and the general error report.

#include "Chyby.h"
#include "Hlaseni.h"
#include "Prostredi.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <functional>

using namespace Qt::StringLiterals;

namespace {
// Runs Akce on the modal window that the next operation opens; a window that
// Akce leaves open (a failed check) is closed, so a failure never hangs.
void NaModalnimOkne(std::function<void(QWidget *)> Akce)
{
    QTimer::singleShot(0, [Akce] {
        QWidget *okno = QApplication::activeModalWidget();
        QVERIFY(okno);
        Akce(okno);
        QTimer::singleShot(0, [okno = QPointer<QWidget>(okno)] {
            if (auto *dialog = qobject_cast<QDialog *>(okno.data()); dialog && dialog->isVisible())
                dialog->done(QDialog::Rejected);
        });
    });
}
} // namespace

class TestHlaseni : public QObject {
    Q_OBJECT
private slots:
    void priznakyDruhu_data();
    void priznakyDruhu();
    void druhMimoRozsahNicNezobrazi();
    void skutecnaZpravovaOkna_data();
    void skutecnaZpravovaOkna();
    void vstupniDialog();
    void editDialogBezZruseni();
    void dlouhyPopisekZvetsiOkno();
    void vstupniDialogNadHlavnimOknem();
    void teckaZaChybou_data();
    void teckaZaChybou();
    void chybaObsluhyJdeDoHlaseni();
};

void TestHlaseni::priznakyDruhu_data()
{
    QTest::addColumn<int>("druh");
    QTest::addColumn<int>("priznaky");
    QTest::addColumn<int>("predane");
    QTest::newRow("chyba, 0") << int(tdChyba) << 0 << 0x10;
    QTest::newRow("chyba, 0x10 idempotentní") << int(tdChyba) << 0x10 << 0x10;
    QTest::newRow("chyba, 0x20 se skládá") << int(tdChyba) << 0x20 << 0x30;
    QTest::newRow("chyba, tlačítka zůstanou") << int(tdChyba) << 0x103 << 0x113;
    QTest::newRow("varování, 0") << int(tdVarovani) << 0 << 0x30;
    QTest::newRow("varování, 52") << int(tdVarovani) << 52 << 52;
    QTest::newRow("informace, 0") << int(tdInformace) << 0 << 0x40;
    QTest::newRow("potvrzení, 0") << int(tdPotvrzeni) << 0 << 0x24;
    QTest::newRow("potvrzení, 1") << int(tdPotvrzeni) << 1 << 1;
    QTest::newRow("potvrzení, 35") << int(tdPotvrzeni) << 35 << 35;
}

void TestHlaseni::priznakyDruhu()
{
    QFETCH(int, druh);
    QFETCH(int, priznaky);
    QFETCH(int, predane);
    TProstredi prostredi;
    prostredi.Odpovedi = {IDYES};
    THlaseni hlaseni;
    QCOMPARE(hlaseni.Dialog(TTypDialogu(druh), u"Text\rdruhý"_s, u"Nadpis"_s, priznaky), IDYES);
    QCOMPARE(prostredi.Dialogy.size(), 1);
    QCOMPARE(prostredi.Dialogy[0].Priznaky, predane);
    QCOMPARE(prostredi.Dialogy[0].Text, u"Text\rdruhý"_s);
    QCOMPARE(prostredi.Dialogy[0].Nadpis, u"Nadpis"_s);
}

void TestHlaseni::druhMimoRozsahNicNezobrazi()
{
    TProstredi prostredi;
    THlaseni hlaseni;
    QCOMPARE(hlaseni.Dialog(TTypDialogu(4), u"x"_s, u"y"_s, 0), 0);
    QCOMPARE(hlaseni.Dialog(TTypDialogu(255), u"x"_s, u"y"_s, 0), 0);
    QVERIFY(prostredi.Dialogy.isEmpty());
}

void TestHlaseni::skutecnaZpravovaOkna_data()
{
    QTest::addColumn<int>("priznaky");
    QTest::addColumn<int>("ikona");
    QTest::addColumn<int>("pocetTlacitek");
    QTest::addColumn<int>("klavesa"); // 0: click the first button
    QTest::addColumn<int>("vysledek");
    QTest::newRow("chyba, OK, Esc") << 0x10 << int(QMessageBox::Critical) << 1 << int(Qt::Key_Escape) << IDOK;
    QTest::newRow("ano/ne/zrušit, Esc") << 35 << int(QMessageBox::Question) << 3 << int(Qt::Key_Escape) << IDCANCEL;
    QTest::newRow("ano/ne/zrušit, Ano") << 35 << int(QMessageBox::Question) << 3 << 0 << IDYES;
    QTest::newRow("ano/ne, varování") << 52 << int(QMessageBox::Warning) << 2 << 0 << IDYES;
    QTest::newRow("OK/zrušit bez ikony") << 1 << int(QMessageBox::NoIcon) << 2 << int(Qt::Key_Escape) << IDCANCEL;
}

void TestHlaseni::skutecnaZpravovaOkna()
{
    QFETCH(int, priznaky);
    QFETCH(int, ikona);
    QFETCH(int, pocetTlacitek);
    QFETCH(int, klavesa);
    QFETCH(int, vysledek);
    NaModalnimOkne([=](QWidget *okno) {
        auto *box = qobject_cast<QMessageBox *>(okno);
        QVERIFY(box);
        QCOMPARE(int(box->icon()), ikona);
        QCOMPARE(box->buttons().size(), pocetTlacitek);
        QCOMPARE(box->text(), u"první\ndruhý"_s);
        if (klavesa)
            QTest::keyClick(box, Qt::Key(klavesa));
        else
            box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)->click() : box->buttons().first()->click();
    });
    QCOMPARE(THlaseni::MessageBox(u"první\rdruhý"_s, u"Titulek"_s, priznaky), vysledek);
}

void TestHlaseni::vstupniDialog()
{
    THlaseni hlaseni;
    QString hodnota = u"původní"_s;
    NaModalnimOkne([](QWidget *okno) {
        auto *edit = okno->findChild<QLineEdit *>(u"edtHodnota"_s);
        QCOMPARE(edit->selectedText(), u"původní"_s);
        QCOMPARE(edit->maxLength(), 255);
        QCOMPARE(okno->windowTitle(), u"Nadpis"_s);
        Napis(edit, u"nová"_s);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QVERIFY(hlaseni.VstupniDialog(u"Nadpis"_s, u"Popisek"_s, u"OK"_s, u"Zrušit"_s, hodnota));
    QCOMPARE(hodnota, u"nová"_s);

    NaModalnimOkne([](QWidget *okno) {
        auto *edit = okno->findChild<QLineEdit *>(u"edtHodnota"_s);
        Napis(edit, u"jiná"_s);
        QTest::keyClick(edit, Qt::Key_Escape);
    });
    QVERIFY(!hlaseni.VstupniDialog(u"Nadpis"_s, u"Popisek"_s, u"OK"_s, u"Zrušit"_s, hodnota));
    QCOMPARE(hodnota, u"nová"_s);
    QVERIFY(!QApplication::activeModalWidget());

    // A starting value longer than the typing limit comes back whole.
    const QString dlouha = u"ř"_s.repeated(300);
    hodnota = dlouha;
    NaModalnimOkne(
        [](QWidget *okno) { QTest::keyClick(okno->findChild<QLineEdit *>(u"edtHodnota"_s), Qt::Key_Return); });
    QVERIFY(hlaseni.VstupniDialog(u"Nadpis"_s, u"Popisek"_s, u"OK"_s, u"Zrušit"_s, hodnota));
    QCOMPARE(hodnota, dlouha);
}

void TestHlaseni::editDialogBezZruseni()
{
    THlaseni hlaseni;
    QString hodnota = u"beze změny"_s;
    NaModalnimOkne([](QWidget *okno) {
        QCOMPARE(okno->findChildren<QPushButton *>().size(), 1);
        auto *edit = okno->findChild<QLineEdit *>(u"edtHodnota"_s);
        Napis(edit, u"x"_s);
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY2(okno->isVisible(), "Esc closed a dialog without a cancelling button");
        okno->close(); // the caption bar's close box
    });
    QVERIFY(!hlaseni.EditDialog(u"Nadpis"_s, u"Popisek"_s, u"OK"_s, hodnota));
    QCOMPARE(hodnota, u"beze změny"_s);
}

void TestHlaseni::vstupniDialogNadHlavnimOknem()
{
    // Centred over the main window, also while another window is active.
    QWidget hlavni;
    hlavni.setObjectName(u"HlavniForm"_s);
    hlavni.setGeometry(100, 100, 600, 400);
    hlavni.show();
    QWidget jine;
    jine.setGeometry(700, 500, 200, 150);
    jine.show();
    jine.activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&jine));
    THlaseni hlaseni;
    QString hodnota;
    QPoint stred;
    NaModalnimOkne([&](QWidget *okno) { stred = okno->frameGeometry().center(); });
    hlaseni.EditDialog(u"Nadpis"_s, u"Popisek"_s, u"OK"_s, hodnota);
    QVERIFY2((stred - hlavni.frameGeometry().center()).manhattanLength() <= 4,
             qPrintable(u"%1,%2"_s.arg(stred.x()).arg(stred.y())));
}

void TestHlaseni::dlouhyPopisekZvetsiOkno()
{
    THlaseni hlaseni;
    struct TRozmery {
        int Popisek, Edit, Tlacitko, Okno;
    };
    const auto zmer = [&hlaseni](const QString &popisek) {
        TRozmery r{};
        NaModalnimOkne([&r](QWidget *okno) {
            r.Popisek = okno->findChild<QLabel *>(u"lblPopisek"_s)->height();
            r.Edit = okno->findChild<QLineEdit *>(u"edtHodnota"_s)->y();
            r.Tlacitko = okno->findChild<QPushButton *>(u"btnOK"_s)->y();
            r.Okno = okno->height();
            static_cast<QDialog *>(okno)->reject();
        });
        QString hodnota;
        hlaseni.VstupniDialog(u"N"_s, popisek, u"OK"_s, u"X"_s, hodnota);
        return r;
    };
    const TRozmery kratky = zmer(u"Krátký"_s);
    const TRozmery dlouhy = zmer(u"Velmi dlouhý popisek, který se na jeden řádek dialogu určitě nevejde, "
                                 "a proto se musí zalomit do několika řádků pod sebou."_s);
    const int narust = dlouhy.Popisek - kratky.Popisek;
    QVERIFY(narust > 0);
    QCOMPARE(dlouhy.Edit - kratky.Edit, narust);
    QCOMPARE(dlouhy.Tlacitko - kratky.Tlacitko, narust);
    QCOMPARE(dlouhy.Okno - kratky.Okno, narust);
}

void TestHlaseni::teckaZaChybou_data()
{
    QTest::addColumn<QString>("zprava");
    QTest::addColumn<QString>("zobrazeno");
    QTest::newRow("písmeno") << u"Nelze"_s << u"Nelze."_s;
    QTest::newRow("tečka") << u"Nelze."_s << u"Nelze."_s;
    QTest::newRow("vykřičník") << u"Nelze!"_s << u"Nelze!"_s;
    QTest::newRow("závorka") << u"(důvod)"_s << u"(důvod)"_s;
    QTest::newRow("lomítko 47") << u"a/"_s << u"a/."_s;
    QTest::newRow("dvojtečka 58") << u"Soubor:"_s << u"Soubor:."_s;
    QTest::newRow("mezera") << u"a "_s << u"a "_s;
    QTest::newRow("diakritika") << u"chyba ř"_s << u"chyba ř."_s;
    QTest::newRow("prázdná") << QString() << QString();
}

void TestHlaseni::teckaZaChybou()
{
    QFETCH(QString, zprava);
    QFETCH(QString, zobrazeno);
    QCOMPARE(ZpravaSTeckou(zprava), zobrazeno);
}

void TestHlaseni::chybaObsluhyJdeDoHlaseni()
{
    TProstredi prostredi;
    bool pokracovalo = false;
    Proved([] { throw EChyba(u"Cannot open file \"x\". Přístup odepřen"_s); });
    Proved([] { throw std::runtime_error("plain"); });
    Proved([] { throw 42; });
    Proved([&] { pokracovalo = true; });
    QVERIFY(pokracovalo);
    QCOMPARE(prostredi.Dialogy.size(), 3);
    QCOMPARE(prostredi.Dialogy[2].Text, u"V aplikaci se vyskytla neurčitá chyba."_s);
    QCOMPARE(prostredi.Dialogy[0].Nadpis, u"Lumarin"_s);
    QCOMPARE(prostredi.Dialogy[0].Text, u"Cannot open file \"x\". Přístup odepřen."_s);
    QCOMPARE(prostredi.Dialogy[0].Priznaky, MB_ICONHAND);
    QCOMPARE(prostredi.Dialogy[1].Text, u"plain."_s);
}

QTEST_MAIN(TestHlaseni)
#include "tst_hlaseni.moc"
