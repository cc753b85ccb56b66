// Message boxes, input dialogs and the general error report.

#include "Chyby.h"
#include "Hlaseni.h"
#include "Prostredi.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {
// Runs Akce on the modal window that the next operation opens.
void NaModalnimOkne(std::function<void(QWidget *)> Akce)
{
    QTimer::singleShot(0, [Akce] {
        QWidget *okno = QApplication::activeModalWidget();
        QVERIFY(okno);
        Akce(okno);
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
    QCOMPARE(hlaseni.Dialog(TTypDialogu(druh), u"Text\rdruhý"_qs, u"Nadpis"_qs, priznaky), IDYES);
    QCOMPARE(prostredi.Dialogy.size(), 1);
    QCOMPARE(prostredi.Dialogy[0].Priznaky, predane);
    QCOMPARE(prostredi.Dialogy[0].Text, u"Text\rdruhý"_qs);
    QCOMPARE(prostredi.Dialogy[0].Nadpis, u"Nadpis"_qs);
}

void TestHlaseni::druhMimoRozsahNicNezobrazi()
{
    TProstredi prostredi;
    THlaseni hlaseni;
    QCOMPARE(hlaseni.Dialog(TTypDialogu(4), u"x"_qs, u"y"_qs, 0), 0);
    QCOMPARE(hlaseni.Dialog(TTypDialogu(255), u"x"_qs, u"y"_qs, 0), 0);
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
        QCOMPARE(box->text(), u"první\ndruhý"_qs);
        if (klavesa)
            QTest::keyClick(box, Qt::Key(klavesa));
        else
            box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)->click() : box->buttons().first()->click();
    });
    QCOMPARE(THlaseni::MessageBox(u"první\rdruhý"_qs, u"Titulek"_qs, priznaky), vysledek);
}

void TestHlaseni::vstupniDialog()
{
    THlaseni hlaseni;
    QString hodnota = u"původní"_qs;
    NaModalnimOkne([](QWidget *okno) {
        auto *edit = okno->findChild<QLineEdit *>(u"edtHodnota"_qs);
        QCOMPARE(edit->selectedText(), u"původní"_qs);
        QCOMPARE(edit->maxLength(), 255);
        QCOMPARE(okno->windowTitle(), u"Nadpis"_qs);
        Napis(edit, u"nová"_qs);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QVERIFY(hlaseni.VstupniDialog(u"Nadpis"_qs, u"Popisek"_qs, u"OK"_qs, u"Zrušit"_qs, hodnota));
    QCOMPARE(hodnota, u"nová"_qs);

    NaModalnimOkne([](QWidget *okno) {
        auto *edit = okno->findChild<QLineEdit *>(u"edtHodnota"_qs);
        Napis(edit, u"jiná"_qs);
        QTest::keyClick(edit, Qt::Key_Escape);
    });
    QVERIFY(!hlaseni.VstupniDialog(u"Nadpis"_qs, u"Popisek"_qs, u"OK"_qs, u"Zrušit"_qs, hodnota));
    QCOMPARE(hodnota, u"nová"_qs);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestHlaseni::editDialogBezZruseni()
{
    THlaseni hlaseni;
    QString hodnota = u"beze změny"_qs;
    NaModalnimOkne([](QWidget *okno) {
        QCOMPARE(okno->findChildren<QPushButton *>().size(), 1);
        auto *edit = okno->findChild<QLineEdit *>(u"edtHodnota"_qs);
        Napis(edit, u"x"_qs);
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY2(okno->isVisible(), "Esc closed a dialog without a cancelling button");
        okno->close(); // the caption bar's close box
    });
    QVERIFY(!hlaseni.EditDialog(u"Nadpis"_qs, u"Popisek"_qs, u"OK"_qs, hodnota));
    QCOMPARE(hodnota, u"beze změny"_qs);
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
            r.Popisek = okno->findChild<QLabel *>(u"lblPopisek"_qs)->height();
            r.Edit = okno->findChild<QLineEdit *>(u"edtHodnota"_qs)->y();
            r.Tlacitko = okno->findChild<QPushButton *>(u"btnOK"_qs)->y();
            r.Okno = okno->height();
            static_cast<QDialog *>(okno)->reject();
        });
        QString hodnota;
        hlaseni.VstupniDialog(u"N"_qs, popisek, u"OK"_qs, u"X"_qs, hodnota);
        return r;
    };
    const TRozmery kratky = zmer(u"Krátký"_qs);
    const TRozmery dlouhy = zmer(u"Velmi dlouhý popisek, který se na jeden řádek dialogu určitě nevejde, "
                                 "a proto se musí zalomit do několika řádků pod sebou."_qs);
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
    QTest::newRow("písmeno") << u"Nelze"_qs << u"Nelze."_qs;
    QTest::newRow("tečka") << u"Nelze."_qs << u"Nelze."_qs;
    QTest::newRow("vykřičník") << u"Nelze!"_qs << u"Nelze!"_qs;
    QTest::newRow("závorka") << u"(důvod)"_qs << u"(důvod)"_qs;
    QTest::newRow("lomítko 47") << u"a/"_qs << u"a/."_qs;
    QTest::newRow("dvojtečka 58") << u"Soubor:"_qs << u"Soubor:."_qs;
    QTest::newRow("mezera") << u"a "_qs << u"a "_qs;
    QTest::newRow("diakritika") << u"chyba ř"_qs << u"chyba ř."_qs;
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
    Proved([] { throw EChyba(u"Cannot open file \"x\". Přístup odepřen"_qs); });
    Proved([] { throw std::runtime_error("plain"); });
    Proved([&] { pokracovalo = true; });
    QVERIFY(pokracovalo);
    QCOMPARE(prostredi.Dialogy.size(), 2);
    QCOMPARE(prostredi.Dialogy[0].Nadpis, u"Lumarin"_qs);
    QCOMPARE(prostredi.Dialogy[0].Text, u"Cannot open file \"x\". Přístup odepřen."_qs);
    QCOMPARE(prostredi.Dialogy[0].Priznaky, MB_ICONHAND);
    QCOMPARE(prostredi.Dialogy[1].Text, u"plain."_qs);
}

QTEST_MAIN(TestHlaseni)
#include "tst_hlaseni.moc"
