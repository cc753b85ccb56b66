#include "Retezce.h"

#include <QDomNode>
#include <QHeaderView>
#include <QTreeWidget>
#include <utility>

TRetezce *Retezce = nullptr;

namespace {

// Holds back the redrawing of a widget for as long as it lives, and gives it
// back as it was, so that calls inside one another and errors leave it right.
class TBezPrekresleni {
public:
    explicit TBezPrekresleni(QWidget *Prvek) : FPrvek(Prvek), FPuvodne(Prvek->updatesEnabled())
    {
        FPrvek->setUpdatesEnabled(false);
    }
    ~TBezPrekresleni() { FPrvek->setUpdatesEnabled(FPuvodne); }
    TBezPrekresleni(const TBezPrekresleni &) = delete;
    TBezPrekresleni &operator=(const TBezPrekresleni &) = delete;

private:
    QWidget *FPrvek;
    bool FPuvodne;
};

} // namespace

int TagSloupce(const QTreeWidget *ListView, int Sloupec)
{
    return ListView->headerItem()->data(Sloupec, RoleTagSloupce).toInt();
}

void NastavTagSloupce(QTreeWidget *ListView, int Sloupec, int Tag)
{
    ListView->headerItem()->setData(Sloupec, RoleTagSloupce, Tag);
}

QString TRetezce::Parse(QChar Oddelovac, QString &Retezec) const
{
    const qsizetype p = Retezec.indexOf(Oddelovac);
    if (p < 0)
        return std::exchange(Retezec, QString());
    QString token = Retezec.left(p);
    Retezec.remove(0, p + 1);
    return token;
}

QTreeWidgetItem *TRetezce::PridejRadek(QTreeWidget *ListView, const QString &Nadpis, QString TextyPolozky,
                                       int IndexObrazku) const
{
    auto *radek = new QTreeWidgetItem;
    radek->setText(0, Nadpis);
    int sloupec = 1;
    while (!TextyPolozky.isEmpty())
        radek->setText(sloupec++, Parse(u';', TextyPolozky));
    // The alignment of a cell is its column's, as the heading shows it.
    const QTreeWidgetItem *hlavicka = ListView->headerItem();
    for (int i = 0; i < radek->columnCount() && i < hlavicka->columnCount(); ++i) {
        const QVariant zarovnani = hlavicka->data(i, Qt::TextAlignmentRole);
        if (zarovnani.isValid())
            radek->setData(i, Qt::TextAlignmentRole, zarovnani);
    }
    radek->setData(0, RoleIndexObrazku, IndexObrazku);
    ListView->addTopLevelItem(radek);
    return radek;
}

void TRetezce::PridatDoListView(QTreeWidget *ListView, const QString &Nadpis, QString TextyPolozky,
                                int IndexObrazku) const
{
    TBezPrekresleni bezPrekresleni(ListView);
    PridejRadek(ListView, Nadpis, std::move(TextyPolozky), IndexObrazku);
}

void TRetezce::PridatDoListView(QTreeWidget *ListView, const QString &Nadpis, QString TextyPolozky, int IndexObrazku,
                                int IndexStavu, int IndexSkupiny) const
{
    QTreeWidgetItem *radek;
    {
        TBezPrekresleni bezPrekresleni(ListView);
        radek = PridejRadek(ListView, Nadpis, std::move(TextyPolozky), IndexObrazku);
        radek->setData(0, RoleIndexStavu, IndexStavu);
        radek->setData(0, RoleIndexSkupiny, IndexSkupiny);
    }
    // One row at a time where the list allows no more, as the list itself
    // would select it; otherwise it joins the rows already selected.
    if (ListView->selectionMode() == QAbstractItemView::SingleSelection)
        ListView->setCurrentItem(radek, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else
        radek->setSelected(true);
    ListView->scrollToItem(radek, QAbstractItemView::EnsureVisible);
}

void TRetezce::PridatDoTreeViewXML(QTreeWidget *TreeView, QTreeWidgetItem *NadUzel, const QDomNode &IUzel) const
{
    // A stack of its own instead of recursion, so that a document nested
    // however deep cannot exhaust the program's stack. Children go on it last
    // first, so that every node gets its children in document order.
    struct TKrok {
        QDomNode Uzel;
        QTreeWidgetItem *Nad;
    };
    QList<TKrok> zasobnik{{IUzel, NadUzel}};
    while (!zasobnik.isEmpty()) {
        const TKrok krok = zasobnik.takeLast();
        if (krok.Uzel.isNull())
            continue;
        auto *uzel = new QTreeWidgetItem(QStringList{krok.Uzel.nodeName()});
        if (krok.Nad)
            krok.Nad->addChild(uzel);
        else
            TreeView->addTopLevelItem(uzel);
        for (QDomNode dite = krok.Uzel.lastChild(); !dite.isNull(); dite = dite.previousSibling())
            zasobnik.append({dite, uzel});
    }
}
