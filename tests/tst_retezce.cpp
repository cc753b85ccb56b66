// The string and list helpers: tokens, list-view rows from a sub-item text,
// and a DOM tree copied into a tree view.

#include "Retezce.h"

#include <QDomDocument>
#include <QHeaderView>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestRetezce : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void podpolozky_data();
    void podpolozky();
    void zarovnaniSloupcu();
    void druhaFormaVybereAOdroluje();
    void stromXml();

private:
    TRetezce Sluzba;
};

void TestRetezce::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("zbytek");
    QTest::newRow("prázdný") << u""_s << u""_s << u""_s;
    QTest::newRow("oddělovač na začátku") << u";abc"_s << u""_s << u"abc"_s;
    QTest::newRow("bez oddělovače") << u"abc"_s << u"abc"_s << u""_s;
    QTest::newRow("první ze dvou") << u"a;b;c"_s << u"a"_s << u"b;c"_s;
    QTest::newRow("oddělovač na konci") << u"ab;"_s << u"ab"_s << u""_s;
    QTest::newRow("jen oddělovač") << u";"_s << u""_s << u""_s;
    QTest::newRow("dva za sebou") << u";;"_s << u""_s << u";"_s;
}

void TestRetezce::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, token);
    QFETCH(QString, zbytek);
    QCOMPARE(Sluzba.Parse(u';', text), token);
    QCOMPARE(text, zbytek);
}

void TestRetezce::podpolozky_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("podpolozky");
    QTest::newRow("=;e;") << u"=;e;"_s << QStringList{u"="_s, u"e"_s};
    QTest::newRow("=;e") << u"=;e"_s << QStringList{u"="_s, u"e"_s};
    QTest::newRow("=;;") << u"=;;"_s << QStringList{u"="_s, u""_s};
    QTest::newRow("a;;b") << u"a;;b"_s << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow(";a") << u";a"_s << QStringList{u""_s, u"a"_s};
    QTest::newRow("prázdný") << u""_s << QStringList{};
}

void TestRetezce::podpolozky()
{
    QFETCH(QString, text);
    QFETCH(QStringList, podpolozky);
    QTreeWidget seznam;
    seznam.setColumnCount(4);
    Sluzba.PridatDoListView(&seznam, u"první"_s, u"x;y"_s, 3);
    const QString puvodni = text;
    Sluzba.PridatDoListView(&seznam, u"nadpis"_s, text, -1);
    QCOMPARE(text, puvodni);

    QCOMPARE(seznam.topLevelItemCount(), 2);
    const QTreeWidgetItem *radek = seznam.topLevelItem(1);
    QCOMPARE(radek->text(0), u"nadpis"_s);
    QStringList udelane;
    for (int i = 1; i < radek->columnCount(); ++i)
        udelane << radek->text(i);
    QCOMPARE(udelane, podpolozky);
    // No picture, not selected, not the current row, and the list redraws again.
    QCOMPARE(radek->data(0, RoleIndexObrazku).toInt(), -1);
    QVERIFY(radek->icon(0).isNull());
    QCOMPARE(seznam.topLevelItem(0)->data(0, RoleIndexObrazku).toInt(), 3);
    QVERIFY(seznam.selectedItems().isEmpty());
    QVERIFY(!seznam.currentItem());
    QVERIFY(seznam.updatesEnabled());
}

// A cell takes its column's alignment, as the columns of a list view carry it;
// a column without one leaves the cell's default.
void TestRetezce::zarovnaniSloupcu()
{
    QTreeWidget seznam;
    seznam.setHeaderLabels({u"A"_s, u"B"_s, u"C"_s});
    seznam.headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    Sluzba.PridatDoListView(&seznam, u"a"_s, u"=;b;"_s, -1);
    const QTreeWidgetItem *radek = seznam.topLevelItem(0);
    QCOMPARE(radek->textAlignment(2), int(Qt::AlignRight | Qt::AlignVCenter));
    QVERIFY(!radek->data(0, Qt::TextAlignmentRole).isValid());
}

void TestRetezce::druhaFormaVybereAOdroluje()
{
    QTreeWidget seznam;
    seznam.setSelectionMode(QAbstractItemView::SingleSelection);
    seznam.resize(200, 120);
    seznam.show();
    QVERIFY(QTest::qWaitForWindowExposed(&seznam));
    for (int i = 0; i < 100; ++i)
        Sluzba.PridatDoListView(&seznam, QString::number(i), u"x;"_s, -1);
    seznam.topLevelItem(0)->setSelected(true);
    QVERIFY(seznam.visualItemRect(seznam.topLevelItem(99)).top() > seznam.viewport()->height());

    Sluzba.PridatDoListView(&seznam, u"nový"_s, u"a;b"_s, 2, 5, 7);
    QTreeWidgetItem *novy = seznam.topLevelItem(100);
    QCOMPARE(seznam.selectedItems(), QList<QTreeWidgetItem *>{novy});
    QCOMPARE(novy->data(0, RoleIndexObrazku).toInt(), 2);
    QCOMPARE(novy->data(0, RoleIndexStavu).toInt(), 5);
    QCOMPARE(novy->data(0, RoleIndexSkupiny).toInt(), 7);
    QCOMPARE(novy->text(2), u"b"_s);
    const QRect rect = seznam.visualItemRect(novy);
    QVERIFY(seznam.viewport()->rect().contains(rect));

    // A list that takes more rows keeps those selected before.
    seznam.setSelectionMode(QAbstractItemView::MultiSelection);
    Sluzba.PridatDoListView(&seznam, u"další"_s, u""_s, -1, -1, -1);
    QCOMPARE(seznam.selectedItems().size(), 2);
}

void TestRetezce::stromXml()
{
    QDomDocument dokument;
    QVERIFY(dokument.setContent(u"<koren><a x=\"1\">text<b/></a><!-- pozn --><c/></koren>"_s));
    QTreeWidget strom;

    Sluzba.PridatDoTreeViewXML(&strom, nullptr, QDomNode());
    QCOMPARE(strom.topLevelItemCount(), 0);

    Sluzba.PridatDoTreeViewXML(&strom, nullptr, dokument.documentElement());
    QCOMPARE(strom.topLevelItemCount(), 1);
    const QTreeWidgetItem *koren = strom.topLevelItem(0);
    const auto popis = [](const QTreeWidgetItem *Uzel, const auto &Sebe) -> QString {
        QString text = Uzel->text(0);
        if (Uzel->childCount() > 0) {
            QStringList deti;
            for (int i = 0; i < Uzel->childCount(); ++i)
                deti << Sebe(Uzel->child(i), Sebe);
            text += u'(' + deti.join(u',') + u')';
        }
        return text;
    };
    QCOMPARE(popis(koren, popis), u"koren(a(#text,b),#comment,c)"_s);

    // Under a given node the copy goes there, not to the top level.
    auto *nad = new QTreeWidgetItem(&strom, {u"nad"_s});
    Sluzba.PridatDoTreeViewXML(&strom, nad, dokument.documentElement().firstChild());
    QCOMPARE(strom.topLevelItemCount(), 2);
    QCOMPARE(popis(nad, popis), u"nad(a(#text,b))"_s);
}

QTEST_MAIN(TestRetezce)
#include "tst_retezce.moc"
