#pragma once
// The language chooser: the languages of the language file, one row each
// (code, name, version, author, with the language's flag), from which the
// user picks the language of the interface. The main window's language
// command fills it, shows it modally and applies the chosen row on OK.
//
// OK is enabled exactly while a row is selected, also after the rows have
// been refilled or removed; Enter presses it, Esc and Storno cancel.

#include <QDialog>
#include <QList>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TSeznamObrazku;

class TJazykForm : public QDialog {
    Q_OBJECT
public:
    explicit TJazykForm(QWidget *Vlastnik = nullptr);

    // What the form owns, in the order in which it declares it.
    QList<QObject *> Komponenty;

    QTreeWidget *livJazyk = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnStorno = nullptr;
    // The flags, 16 x 13: 0 Czech Republic, 1 United Kingdom, 2 Slovakia,
    // 3 Germany, 4 France, 5 Spain. A language's index in the file is a
    // position in this list.
    TSeznamObrazku *ilVlajky = nullptr;

    // Event handlers.
    void livJazykSelectItem(QObject *Sender, QTreeWidgetItem *Item, bool Selected);

protected:
    void showEvent(QShowEvent *Udalost) override;
};
