#include "AkcniPolozka.h"

#include "Komponenty.h"

TAkcniPolozka::TAkcniPolozka(QAction *Akce, const QString &Titulek, bool bVMenu, QObject *Rodic)
    : QAction(Titulek, Rodic),
      FAkce(Akce),
      FTitulekAkce(Akce->text()),
      bVMenu(bVMenu)
{
    NastavTag(this, 0);
    setIcon(Akce->icon());
    Prevezmi();
    connect(Akce, &QAction::changed, this, &TAkcniPolozka::Prevezmi);
    connect(this, &QAction::triggered, Akce, [this] {
        if (FAkce)
            FAkce->trigger();
    });
}

void TAkcniPolozka::Prevezmi()
{
    setEnabled(FAkce->isEnabled());
    setToolTip(FAkce->toolTip());
    setStatusTip(FAkce->statusTip());
    setIcon(FAkce->icon());
    if (FAkce->text() != FTitulekAkce) {
        FTitulekAkce = FAkce->text();
        setText(FTitulekAkce);
    }
    // The menu shows the action's shortcut ("Ctrl+Del", whatever the locale);
    // only the action itself owns it.
    QString text = this->text();
    const qsizetype tab = text.indexOf(u'\t');
    if (tab >= 0)
        text.truncate(tab);
    if (bVMenu && !FAkce->shortcut().isEmpty())
        text += u'\t' + FAkce->shortcut().toString(QKeySequence::PortableText);
    if (text != this->text())
        setText(text);
}
