#include "SeznamObrazku.h"

#include "Retezce.h"

#include <QIcon>
#include <QPainter>

TSeznamObrazku::TSeznamObrazku(QSize Velikost, QObject *Vlastnik) : QObject(Vlastnik), FVelikost(Velikost) { }

void TSeznamObrazku::Pridej(const QString &Soubor)
{
    // Drawn onto a transparent picture of exactly the list's size, whatever
    // proportions the file has.
    QPixmap obrazek(FVelikost);
    obrazek.fill(Qt::transparent);
    QPainter kreslic(&obrazek);
    QIcon(Soubor).paint(&kreslic, QRect(QPoint(0, 0), FVelikost));
    kreslic.end();
    FObrazky.append(obrazek);
}

QPixmap TSeznamObrazku::Obrazek(int Index) const
{
    return Index >= 0 && Index < FObrazky.size() ? FObrazky.at(Index) : QPixmap();
}

TObrazkyRadku::TObrazkyRadku(const TSeznamObrazku *Obrazky, QObject *Vlastnik)
    : QStyledItemDelegate(Vlastnik),
      FObrazky(Obrazky)
{ }

void TObrazkyRadku::initStyleOption(QStyleOptionViewItem *Volby, const QModelIndex &Index) const
{
    QStyledItemDelegate::initStyleOption(Volby, Index);
    if (Index.column() != 0 || !FObrazky)
        return;
    const QVariant index = Index.data(RoleIndexObrazku);
    QPixmap obrazek = FObrazky->Obrazek(index.isValid() ? index.toInt() : -1);
    if (obrazek.isNull()) {
        obrazek = QPixmap(FObrazky->Velikost());
        obrazek.fill(Qt::transparent);
    }
    Volby->icon = QIcon(obrazek);
    Volby->decorationSize = FObrazky->Velikost();
    Volby->features |= QStyleOptionViewItem::HasDecoration;
}
