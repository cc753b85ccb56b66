#include "fASCII.h"

#include "Chyby.h"
#include "KodovaStranka.h"
#include "Komponenty.h"
#include "Okna.h"
#include "Retezce.h"
#include "Umisteni.h"

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace {

QFont PismoFormulare()
{
    QFont pismo(QStringLiteral("Tahoma"));
    pismo.setStyleHint(QFont::SansSerif);
    pismo.setPixelSize(11);
    return pismo;
}

// A character that draws as nothing (a control character, such as 127 and
// the C1 controls that the bytes undefined in the code page decode to; the
// no-break space; the soft hyphen) shows a grey square instead, so that no
// row looks blank. The row's own text stays the character; its other columns
// give the code.
bool Neviditelny(QChar Znak)
{
    const QChar::Category druh = Znak.category();
    return druh == QChar::Other_Control || druh == QChar::Other_Format || druh == QChar::Separator_Space;
}

// Draws the stand-in of such a character, greyed.
class TZnakDelegat : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *Volby, const QModelIndex &Index) const override
    {
        QStyledItemDelegate::initStyleOption(Volby, Index);
        const QString text = Index.data(Qt::DisplayRole).toString();
        if (Index.column() == 0 && text.size() == 1 && Neviditelny(text.at(0))) {
            Volby->text = QStringLiteral("\u25A1");
            Volby->palette.setColor(QPalette::Text, Volby->palette.color(QPalette::PlaceholderText));
        }
    }
};

} // namespace

TASCIIForm::TASCIIForm(QWidget *Vlastnik) : QDialog(Vlastnik)
{
    setObjectName(QStringLiteral("ASCIIForm"));
    NastavTag(this, -1);
    setWindowTitle(QStringLiteral("Tabulka ASCII znaků"));
    // A tool window with a close box and nothing else.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    BezMinimalizace(this);
    setFont(PismoFormulare());
    setFixedSize(SirkaNavrzena, 224);

    livASCII = new QTreeWidget(this);
    livASCII->setObjectName(QStringLiteral("livASCII"));
    NastavTag(livASCII, -1);
    livASCII->setGeometry(0, 0, SirkaNavrzena, 185);
    livASCII->setHeaderLabels({QStringLiteral("Znak"), QStringLiteral("Dec"), QStringLiteral("Hex")});
    NastavTagSloupce(livASCII, 0, -1);
    livASCII->header()->setStretchLastSection(false);
    livASCII->header()->setSectionsMovable(false);
    for (int i = 0; i < 3; ++i)
        livASCII->setColumnWidth(i, 50);
    livASCII->setRootIsDecorated(false);
    livASCII->setUniformRowHeights(true);
    livASCII->setAllColumnsShowFocus(true);
    livASCII->setSelectionMode(QAbstractItemView::SingleSelection);
    livASCII->setSelectionBehavior(QAbstractItemView::SelectRows);
    livASCII->setEditTriggers(QAbstractItemView::NoEditTriggers);
    livASCII->setItemDelegate(new TZnakDelegat(livASCII));
    // The selection stays as visible when the list loses the focus.
    QPalette paleta = livASCII->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        paleta.setColor(QPalette::Inactive, role, paleta.color(QPalette::Active, role));
    livASCII->setPalette(paleta);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    NastavTag(btnOK, -1);
    btnOK->setGeometry(8, 192, 75, 25);
    btnOK->setDefault(true);

    btnStorno = new QPushButton(QStringLiteral("Storno"), this);
    btnStorno->setObjectName(QStringLiteral("btnStorno"));
    NastavTag(btnStorno, -1);
    btnStorno->setGeometry(88, 192, 75, 25);

    Komponenty = {livASCII, btnOK, btnStorno};
    setTabOrder(livASCII, btnOK);
    setTabOrder(btnOK, btnStorno);
    livASCII->setFocus();

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnStorno, &QPushButton::clicked, this, &QDialog::reject);
    PripojVyber(livASCII,
                [this](QTreeWidgetItem *Radek, bool bVybran) { livASCIISelectItem(livASCII, Radek, bVybran); });
    connect(livASCII, &QTreeWidget::itemDoubleClicked, this,
            [this] { Proved([this] { livASCIIDblClick(livASCII); }); });

    Proved([this] { FormCreate(this); });
}

void TASCIIForm::FormCreate(QObject *)
{
    // Decoded as the documents are, so that each character here has the byte
    // that its row shows wherever the program reads or writes that code page.
    QByteArray bajty;
    for (int b = 65; b <= 255; ++b)
        bajty.append(char(b));
    const QString znaky = DekodujOsmibitove(bajty);
    for (int b = 65; b <= 255; ++b)
        Retezce->PridatDoListView(livASCII, znaky.at(b - 65),
                                  QString::number(b) + u';' + QString::number(b, 16).toUpper() + u';', -1);
}

void TASCIIForm::FormShow(QObject *)
{
    const QString hledany(Znak);
    for (int i = 0; i < livASCII->topLevelItemCount(); ++i) {
        QTreeWidgetItem *radek = livASCII->topLevelItem(i);
        if (radek->text(0) == hledany) {
            livASCII->setCurrentItem(radek, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            livASCII->scrollToItem(radek, QAbstractItemView::EnsureVisible);
            break;
        }
    }
    livASCII->setFocus();
}

void TASCIIForm::livASCIISelectItem(QObject *, QTreeWidgetItem *Item, bool)
{
    if (Item && !Item->text(0).isEmpty())
        Znak = Item->text(0).at(0);
}

void TASCIIForm::livASCIIDblClick(QObject *)
{
    const QList<QTreeWidgetItem *> vybrane = livASCII->selectedItems();
    if (vybrane.isEmpty())
        return;
    livASCIISelectItem(livASCII, vybrane.first(), true);
    accept();
}

// The width is made for the title in Tahoma 8 pt; a wider font in the title
// bar, or a longer title from a language file, widens the dialog (and its
// list) to show the title whole.
void TASCIIForm::PrizpusobSirku()
{
    const int sirka = std::max(SirkaNavrzena, SirkaProTitulek(this, windowTitle()));
    setFixedSize(sirka, height());
    livASCII->resize(sirka, livASCII->height());
}

void TASCIIForm::setVisible(bool Viditelny)
{
    if (Viditelny && !isVisible()) {
        PrizpusobSirku();
        VycentrujNadHlavnimOknem(this);
    }
    QDialog::setVisible(Viditelny);
}

void TASCIIForm::showEvent(QShowEvent *Udalost)
{
    QDialog::showEvent(Udalost);
    if (!Udalost->spontaneous())
        Proved([this] { FormShow(this); });
}
