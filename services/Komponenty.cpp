#include "Komponenty.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPalette>
#include <QVariant>
#include <QWidget>
#include <cstdlib>

int Tag(const QObject *Komponenta)
{
    return Komponenta->property("Tag").toInt();
}

void NastavTag(QObject *Komponenta, int Hodnota)
{
    Komponenta->setProperty("Tag", Hodnota);
}

QString KratkyHint(const QString &Hint)
{
    const qsizetype bar = Hint.indexOf(u'|');
    return bar < 0 ? Hint : Hint.left(bar);
}

QString DlouhyHint(const QString &Hint)
{
    const qsizetype bar = Hint.indexOf(u'|');
    return bar < 0 ? Hint : Hint.mid(bar + 1);
}

QString Hint(const QObject *Komponenta)
{
    return Komponenta->property("hint").toString();
}

void NastavHint(QObject *Komponenta, const QString &Hint)
{
    Komponenta->setProperty("hint", Hint);
    const QVariant showHint = Komponenta->property("ShowHint");
    const QString tip = (!showHint.isValid() || showHint.toBool()) ? KratkyHint(Hint) : QString();
    if (auto *akce = qobject_cast<QAction *>(Komponenta)) {
        akce->setToolTip(tip.isEmpty() ? akce->text() : tip);
        akce->setStatusTip(DlouhyHint(Hint));
    } else if (auto *widget = qobject_cast<QWidget *>(Komponenta)) {
        widget->setToolTip(tip);
        widget->setStatusTip(DlouhyHint(Hint));
    }
}

QColor BarvaZHodnoty(quint32 Barva)
{
    if ((Barva & 0xFF000000u) == 0xFF000000u) {
        // System colours: only the window text is used by the program.
        return QApplication::palette().color(QPalette::WindowText);
    }
    return QColor(int(Barva & 0xFF), int((Barva >> 8) & 0xFF), int((Barva >> 16) & 0xFF));
}

void NastavBarvuPisma(QWidget *Komponenta, quint32 Barva)
{
    QPalette paleta = Komponenta->palette();
    paleta.setColor(QPalette::WindowText, BarvaZHodnoty(Barva));
    Komponenta->setPalette(paleta);
    Komponenta->setProperty("FontColor", Barva);
}

quint32 BarvaPisma(const QWidget *Komponenta)
{
    const QVariant barva = Komponenta->property("FontColor");
    return barva.isValid() ? barva.toUInt() : clWindowText;
}

int MulDiv(int Cislo, int Nasobitel, int Delitel)
{
    if (Delitel == 0)
        return -1;
    const long long soucin = static_cast<long long>(Cislo) * Nasobitel;
    const long long polovina = std::llabs(static_cast<long long>(Delitel)) / 2;
    const bool zaporne = (soucin < 0) != (Delitel < 0);
    const long long podil = (std::llabs(soucin) + polovina) / std::llabs(static_cast<long long>(Delitel));
    return static_cast<int>(zaporne ? -podil : podil);
}

int ModalniVysledek(int VysledekDialogu)
{
    return VysledekDialogu == QDialog::Accepted ? mrOk : mrCancel;
}
