#pragma once
// One item of the menu bar or the toolbar: shows its own caption (with its access
// key) and runs the action it stands for. It follows the action's enabled state,
// icon and hint, and takes over the action's caption whenever that changes.

#include <QAction>
#include <QPointer>

class TAkcniPolozka : public QAction {
    Q_OBJECT
public:
    // A menu item (bVMenu) also shows the action's shortcut after its caption.
    TAkcniPolozka(QAction *Akce, const QString &Titulek, bool bVMenu, QObject *Rodic);
    QAction *Akce() const { return FAkce; }

private:
    void Prevezmi();
    QPointer<QAction> FAkce;
    QString FTitulekAkce;
    bool bVMenu;
};
