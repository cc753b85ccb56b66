#pragma once
// The character-pair editor: the table of pairs that the diacritics removal
// uses, one row a pair (the character with the mark, "=", its replacement).
// Each opening reloads the rows from the settings store; OK puts them into the
// program's pair table and the store, Storno forgets them.
//
// The two character fields are read-only: a character gets into them only
// through the picker (the "..." beside each field, or F4, Enter or Space in
// the field) or by "Upravit", which copies the selected row into them; F5
// loads the default pairs, as the button at the bottom left does. A
// change takes two presses of "Upravit": the first copies the row and locks
// everything that could lose the row or close the dialog, the second writes
// the fields back into the row.

#include <QDialog>
#include <QList>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TASCIIForm;
struct TTabulkaZnaku;

class TZnakyForm : public QDialog {
    Q_OBJECT
public:
    explicit TZnakyForm(QWidget *Vlastnik = nullptr);

    // What the form owns, in the order in which it declares it.
    QList<QObject *> Komponenty;

    QGroupBox *gbxDefiniceZnaku = nullptr;
    QLabel *lblZnakSeZnamenkem = nullptr;
    QLineEdit *edtZnakSeZnamenkem = nullptr;
    QToolButton *spbZnakSeZnamenkem = nullptr;
    QLabel *lblZnakBezZnamenka = nullptr;
    QLineEdit *edtZnakBezZnamenka = nullptr;
    QToolButton *spbZnakBezZnamenka = nullptr;
    QPushButton *bbtPridat = nullptr;
    QPushButton *bbtUpravit = nullptr;
    QPushButton *bbtSmazat = nullptr;
    QTreeWidget *livZnaky = nullptr;
    QLabel *lblSeznam = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnStorno = nullptr;
    QToolButton *sbtDefault = nullptr;

    // Event handlers.
    void FormShow(QObject *Sender);
    void bbtPridatClick(QObject *Sender);
    void bbtUpravitClick(QObject *Sender);
    void bbtSmazatClick(QObject *Sender);
    void btnOKClick(QObject *Sender);
    void sbtDefaultClick(QObject *Sender);
    void PrvekEnter(QObject *Sender);
    void PrvekExit(QObject *Sender);
    void spbZnakSeZnamenkemClick(QObject *Sender);
    void spbZnakBezZnamenkaClick(QObject *Sender);
    void livZnakyInfoTip(QObject *Sender, QTreeWidgetItem *Item, QString &InfoTip);

    // True between the two presses of "Upravit".
    bool Uprava() const { return bUprava; }

    // How the picker is run: it gets the picker and gives its modal result
    // (1 OK, 2 Cancel). Runs it modally unless a test puts its own in place.
    std::function<int(TASCIIForm *)> SpustitVyber;
    // The picker that the "..." buttons run; none until the program gives it.
    void NastavVyber(TASCIIForm *Vyber) { FVyber = Vyber; }

    void setVisible(bool Viditelny) override;

protected:
    void showEvent(QShowEvent *Udalost) override;
    void keyPressEvent(QKeyEvent *Udalost) override;
    void closeEvent(QCloseEvent *Udalost) override;
    bool eventFilter(QObject *Objekt, QEvent *Udalost) override;

private:
    void VyberZnak(QLineEdit *Pole);
    void PridejPar(const QString &SeZnamenkem, const QString &BezZnamenka);
    void NactiPary(const TTabulkaZnaku &Tabulka);
    QTreeWidgetItem *VybranyRadek() const;
    void NastavUpravu(bool Uprava);
    void PrizpusobSloupce();
    static constexpr int SirkaSloupce = 86; // of each column of characters, as designed

    bool bUprava = false;
    TASCIIForm *FVyber = nullptr;
};
