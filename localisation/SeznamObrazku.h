#pragma once
// An image list: pictures of one size, addressed by their position, and the
// way a list view shows the picture of each row from such a list.

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <QStyledItemDelegate>

class TSeznamObrazku : public QObject {
    Q_OBJECT
public:
    TSeznamObrazku(QSize Velikost, QObject *Vlastnik = nullptr);

    QSize Velikost() const { return FVelikost; }
    int Pocet() const { return int(FObrazky.size()); }

    // Adds the picture of a file (SVG included), drawn at the list's size.
    void Pridej(const QString &Soubor);

    // The picture at Index; a null picture (nothing to draw) for -1 and for
    // any position outside the list.
    QPixmap Obrazek(int Index) const;

private:
    QSize FVelikost;
    QList<QPixmap> FObrazky;
};

// Draws in a list view's first column the picture that each row names by its
// image index (RoleIndexObrazku). A row without a picture keeps the picture's
// room, so that the captions stand in one line.
class TObrazkyRadku : public QStyledItemDelegate {
    Q_OBJECT
public:
    TObrazkyRadku(const TSeznamObrazku *Obrazky, QObject *Vlastnik = nullptr);

protected:
    void initStyleOption(QStyleOptionViewItem *Volby, const QModelIndex &Index) const override;

private:
    const TSeznamObrazku *FObrazky;
};
