#pragma once
// A status bar of panels with fixed widths laid side by side from the left, as
// the window sets them.

#include <QLabel>
#include <QList>
#include <QStatusBar>

class TStavovyRadek : public QStatusBar {
    Q_OBJECT
public:
    explicit TStavovyRadek(QWidget *Rodic = nullptr);

    // Adds a panel of the given width and text alignment; its index.
    int PridejPanel(int Sirka, Qt::Alignment Zarovnani);
    int PocetPanelu() const { return int(Panely.size()); }
    QLabel *Panel(int Index) const { return Panely.at(Index); }
    int Sirka(int Index) const { return Sirky.at(Index); }
    void NastavSirku(int Index, int Sirka);

protected:
    void resizeEvent(QResizeEvent *Udalost) override;

private:
    void Rozmisti();
    QList<QLabel *> Panely;
    QList<int> Sirky;
};
