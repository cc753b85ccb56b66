#include "Komponenty.h"
#include "Chyby.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPalette>
#include <QTreeWidget>
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

// The palette role that stands for Windows system colour Index (COLOR_*);
// Vychozi for an index that has none.
QPalette::ColorRole RoleSystemoveBarvy(quint32 Index, QPalette::ColorRole Vychozi)
{
    static constexpr QPalette::ColorRole role[] = {
        QPalette::Button,          // 0 scroll bar
        QPalette::Window,          // 1 desktop
        QPalette::Highlight,       // 2 active caption
        QPalette::Window,          // 3 inactive caption
        QPalette::Window,          // 4 menu
        QPalette::Base,            // 5 window background
        QPalette::Shadow,          // 6 window frame
        QPalette::WindowText,      // 7 menu text
        QPalette::Text,            // 8 window text
        QPalette::HighlightedText, // 9 caption text
        QPalette::Window,          // 10 active border
        QPalette::Window,          // 11 inactive border
        QPalette::Dark,            // 12 application workspace
        QPalette::Highlight,       // 13 highlight
        QPalette::HighlightedText, // 14 highlighted text
        QPalette::Button,          // 15 button face
        QPalette::Dark,            // 16 button shadow
        QPalette::PlaceholderText, // 17 grayed text
        QPalette::ButtonText,      // 18 button text
        QPalette::WindowText,      // 19 inactive caption text
        QPalette::Light,           // 20 button highlight
        QPalette::Shadow,          // 21 3D dark shadow
        QPalette::Midlight,        // 22 3D light
        QPalette::ToolTipText,     // 23 tooltip text
        QPalette::ToolTipBase,     // 24 tooltip background
        QPalette::NoRole,          // 25 unused
        QPalette::Link,            // 26 hot-tracked item
        QPalette::Highlight,       // 27 gradient of the active caption
        QPalette::Window,          // 28 gradient of the inactive caption
        QPalette::Highlight,       // 29 highlighted menu item
        QPalette::Window,          // 30 menu bar
    };
    return Index < std::size(role) && role[Index] != QPalette::NoRole ? role[Index] : Vychozi;
}

QColor BarvaZHodnoty(quint32 Barva, const QPalette &Paleta, QPalette::ColorGroup Skupina, QPalette::ColorRole Vychozi)
{
    if ((Barva & 0xFF000000u) == 0xFF000000u)
        return Paleta.color(Skupina, RoleSystemoveBarvy(Barva & 0xFFu, Vychozi));
    return QColor(int(Barva & 0xFF), int((Barva >> 8) & 0xFF), int((Barva >> 16) & 0xFF));
}

QColor BarvaZHodnoty(quint32 Barva)
{
    return BarvaZHodnoty(Barva, QApplication::palette(), QPalette::Active, QPalette::WindowText);
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

void PripojVyber(QTreeWidget *Seznam, const std::function<void(QTreeWidgetItem *, bool)> &Vyber)
{
    QObject::connect(Seznam->selectionModel(), &QItemSelectionModel::selectionChanged, Seznam,
                     [Seznam, Vyber](const QItemSelection &Vybrane, const QItemSelection &Zrusene) {
                         Proved([&] {
                             for (const QModelIndex &i : Zrusene.indexes())
                                 if (i.column() == 0)
                                     Vyber(Seznam->topLevelItem(i.row()), false);
                             for (const QModelIndex &i : Vybrane.indexes())
                                 if (i.column() == 0)
                                     Vyber(Seznam->topLevelItem(i.row()), true);
                         });
                     });
}
