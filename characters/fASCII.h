#pragma once
// The character table picker: the characters of the 8-bit code page from
// byte 65 to byte 255, each with its code in decimal and hexadecimal. The
// pair editor hands a character in through Znak, opens the picker modally and,
// after OK, takes the chosen one back from Znak.

#include <QChar>
#include <QDialog>
#include <QList>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TASCIIForm : public QDialog {
    Q_OBJECT
public:
    explicit TASCIIForm(QWidget *Vlastnik = nullptr);

    // What the form owns, in the order in which it declares it.
    QList<QObject *> Komponenty;

    QTreeWidget *livASCII = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnStorno = nullptr;

    // The current character: the caller sets it to have its row selected,
    // every change of a row's selection sets it to that row's character, and
    // after OK the caller takes it. It keeps its value between uses, also
    // after Storno. U+0000 until a row is first selected.
    QChar Znak = QChar(u'\0');

    // Event handlers.
    void FormCreate(QObject *Sender);
    void FormShow(QObject *Sender);
    void livASCIISelectItem(QObject *Sender, QTreeWidgetItem *Item, bool Selected);
    void livASCIIDblClick(QObject *Sender);

    void setVisible(bool Viditelny) override;

    // The designed width, for the title in Tahoma 8 pt.
    static constexpr int SirkaNavrzena = 172;

protected:
    void showEvent(QShowEvent *Udalost) override;

private:
    void PrizpusobSirku();
};
