#include "Umisteni.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

void VycentrujNadHlavnimOknem(QWidget *Dialog)
{
    QWidget *hlavni = Dialog->parentWidget() ? Dialog->parentWidget()->window() : nullptr;
    while (hlavni && hlavni->parentWidget())
        hlavni = hlavni->parentWidget()->window();
    if (!hlavni)
        return;
    // Outer bounds over outer bounds, frames included. A dialog never shown
    // has no frame yet; the main window's stands in for it.
    const QRect vnejsiHlavni = hlavni->frameGeometry();
    const QSize ramecek = Dialog->testAttribute(Qt::WA_WState_Created) && Dialog->frameGeometry() != Dialog->geometry()
        ? Dialog->frameGeometry().size() - Dialog->size()
        : vnejsiHlavni.size() - hlavni->size();
    const QSize vnejsi = Dialog->size() + ramecek;
    QPoint roh = vnejsiHlavni.topLeft() +
        QPoint((vnejsiHlavni.width() - vnejsi.width()) / 2, (vnejsiHlavni.height() - vnejsi.height()) / 2);
    if (const QScreen *obrazovka = hlavni->screen()) {
        const QRect plocha = obrazovka->availableGeometry();
        roh.setX(std::clamp(roh.x(), plocha.left(), std::max(plocha.left(), plocha.right() + 1 - vnejsi.width())));
        roh.setY(std::clamp(roh.y(), plocha.top(), std::max(plocha.top(), plocha.bottom() + 1 - vnejsi.height())));
    }
    Dialog->move(roh);
}
