#include "fJazyk.h"

#include "Chyby.h"
#include "Komponenty.h"
#include "Obrazky.h"
#include "Okna.h"
#include "Retezce.h"
#include "SeznamObrazku.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

namespace {

QFont PismoFormulare()
{
    QFont pismo(QStringLiteral("Tahoma"));
    pismo.setStyleHint(QFont::SansSerif);
    pismo.setPixelSize(11);
    return pismo;
}

template <typename T> T *Pridej(QList<QObject *> &Komponenty, T *Komponenta, const char *Jmeno, int Tag)
{
    Komponenta->setObjectName(QLatin1String(Jmeno));
    NastavTag(Komponenta, Tag);
    Komponenty.append(Komponenta);
    return Komponenta;
}

} // namespace

TJazykForm::TJazykForm(QWidget *Vlastnik) : QDialog(Vlastnik)
{
    setObjectName(QStringLiteral("JazykForm"));
    NastavTag(this, -1);
    setWindowTitle(QStringLiteral("Výběr jazyka aplikace"));
    // A tool window: a small caption bar with its close box, not sizable.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    BezMinimalizace(this);
    setFont(PismoFormulare());
    setFixedSize(409, 194);

    livJazyk = Pridej(Komponenty, new QTreeWidget(this), "livJazyk", -1);
    livJazyk->setGeometry(8, 8, 393, 150);
    livJazyk->setHeaderLabels(
        {QStringLiteral("Jazyk"), QStringLiteral("Název"), QStringLiteral("Verze"), QStringLiteral("Autor")});
    const int sirky[] = {70, 100, 50, 150};
    livJazyk->header()->setMinimumSectionSize(0);
    for (int i = 0; i < 4; ++i) {
        livJazyk->setColumnWidth(i, sirky[i]);
        NastavTagSloupce(livJazyk, i, -1);
    }
    livJazyk->headerItem()->setTextAlignment(2, Qt::AlignHCenter | Qt::AlignVCenter);
    livJazyk->header()->setStretchLastSection(false);
    livJazyk->header()->setSectionsMovable(false);
    livJazyk->setRootIsDecorated(false);
    livJazyk->setUniformRowHeights(true);
    livJazyk->setAllColumnsShowFocus(true);
    livJazyk->setSelectionMode(QAbstractItemView::SingleSelection);
    livJazyk->setSelectionBehavior(QAbstractItemView::SelectRows);
    livJazyk->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The selection stays as visible when the list loses the focus.
    QPalette paleta = livJazyk->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        paleta.setColor(QPalette::Inactive, role, paleta.color(QPalette::Active, role));
    livJazyk->setPalette(paleta);

    btnOK = Pridej(Komponenty, new QPushButton(QStringLiteral("OK"), this), "btnOK", -1);
    btnOK->setGeometry(245, 164, 75, 25);
    btnOK->setEnabled(false);
    // Enter in the list confirms the row it stands on.
    btnOK->setDefault(true);
    btnStorno = Pridej(Komponenty, new QPushButton(QStringLiteral("Storno"), this), "btnStorno", -1);
    btnStorno->setGeometry(326, 164, 75, 25);
    btnStorno->setAutoDefault(false);

    ilVlajky = Pridej(Komponenty, new TSeznamObrazku(QSize(16, 13), this), "ilVlajky", 0);
    for (const char *vlajka : {"CZ", "GB", "SK", "DE", "FR", "ES"})
        ilVlajky->Pridej(CestaObrazku(QStringLiteral("flags/") + QLatin1String(vlajka)));
    livJazyk->setIconSize(ilVlajky->Velikost());
    livJazyk->setItemDelegate(new TObrazkyRadku(ilVlajky, livJazyk));

    setTabOrder(livJazyk, btnOK);
    setTabOrder(btnOK, btnStorno);
    livJazyk->setFocus();

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnStorno, &QPushButton::clicked, this, &QDialog::reject);
    PripojVyber(livJazyk,
                [this](QTreeWidgetItem *Radek, bool bVybran) { livJazykSelectItem(livJazyk, Radek, bVybran); });
}

void TJazykForm::showEvent(QShowEvent *Udalost)
{
    QDialog::showEvent(Udalost);
    // The keyboard starts in the list, on the selected row.
    livJazyk->setFocus();
    if (QTreeWidgetItem *radek = livJazyk->currentItem())
        livJazyk->scrollToItem(radek);
}

void TJazykForm::livJazykSelectItem(QObject *, QTreeWidgetItem *, bool Selected)
{
    btnOK->setEnabled(Selected);
}
