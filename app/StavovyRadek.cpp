#include "StavovyRadek.h"

#include <algorithm>

TStavovyRadek::TStavovyRadek(QWidget *Rodic) : QStatusBar(Rodic)
{
    setSizeGripEnabled(false);
}

int TStavovyRadek::PridejPanel(int Sirka, Qt::Alignment Zarovnani)
{
    auto *panel = new QLabel(this);
    panel->setObjectName(QStringLiteral("Panel%1").arg(Panely.size()));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Zarovnani | Qt::AlignVCenter);
    panel->setIndent(2);
    Panely.append(panel);
    Sirky.append(Sirka);
    Rozmisti();
    return int(Panely.size()) - 1;
}

void TStavovyRadek::NastavSirku(int Index, int Sirka)
{
    Sirky[Index] = Sirka;
    Rozmisti();
}

void TStavovyRadek::resizeEvent(QResizeEvent *Udalost)
{
    QStatusBar::resizeEvent(Udalost);
    Rozmisti();
}

void TStavovyRadek::Rozmisti()
{
    int x = 0;
    for (qsizetype i = 0; i < Panely.size(); ++i) {
        const int sirka = std::max(Sirky.at(i), 0);
        Panely.at(i)->setGeometry(x, 0, sirka, height());
        x += sirka;
    }
}
