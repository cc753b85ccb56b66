#pragma once
// Texts cut into tokens, and list views and tree views filled from such texts.
//
// A list view is a QTreeWidget in report style: a row is a top-level item,
// its caption column 0 and its sub-items the columns after it. A row's text
// for its sub-items ("sub-item text") holds their texts in column order, each
// followed by ";"; the ";" after the last may be left out, and a sub-item text
// cannot itself hold a ";". The helper keeps no state.

#include <QString>
#include <Qt>

class QDomNode;
class QTreeWidget;
class QTreeWidgetItem;

// What a row keeps beyond its texts: the indices of its picture, its state
// picture and its group, each -1 for none.
constexpr int RoleIndexObrazku = Qt::UserRole + 1;
constexpr int RoleIndexStavu = Qt::UserRole + 2;
constexpr int RoleIndexSkupiny = Qt::UserRole + 3;

// The integer Tag of a list view's column (0 when unset), kept in its
// heading's data, since a column is no object of its own: -1 marks a column
// whose title the language file relabels.
constexpr int RoleTagSloupce = Qt::UserRole;
int TagSloupce(const QTreeWidget *ListView, int Sloupec);
void NastavTagSloupce(QTreeWidget *ListView, int Sloupec, int Tag);

class TRetezce {
public:
    TRetezce() = default;

    // Cuts the first token off Retezec at the first Oddelovac and returns it;
    // Retezec keeps what follows the separator. Without a separator the whole
    // text is the token and Retezec becomes empty.
    QString Parse(QChar Oddelovac, QString &Retezec) const;

    // Appends a row with the caption Nadpis and the sub-items of TextyPolozky
    // (an empty text between two separators is an empty sub-item, so the later
    // ones keep their columns). The row is neither selected nor scrolled to.
    // Each cell takes the alignment of its column's heading, as the columns of
    // a list view carry it.
    void PridatDoListView(QTreeWidget *ListView, const QString &Nadpis, QString TextyPolozky, int IndexObrazku) const;
    // The same with a state picture and a group; the new row is then selected
    // and scrolled into view.
    void PridatDoListView(QTreeWidget *ListView, const QString &Nadpis, QString TextyPolozky, int IndexObrazku,
                          int IndexStavu, int IndexSkupiny) const;

    // Copies the names of IUzel and everything below it, in document order,
    // under NadUzel (the top level when null). Only names are shown: a text
    // node appears as "#text".
    void PridatDoTreeViewXML(QTreeWidget *TreeView, QTreeWidgetItem *NadUzel, const QDomNode &IUzel) const;

private:
    QTreeWidgetItem *PridejRadek(QTreeWidget *ListView, const QString &Nadpis, QString TextyPolozky,
                                 int IndexObrazku) const;
};

// The global instance, alive for the whole run.
extern TRetezce *Retezce;
