#pragma once
// The platform's font and file dialogs behind one replaceable interface, so that
// tests can answer them without a modal window.

#include <QColor>
#include <QFont>
#include <QString>
#include <memory>

class QWidget;

class TDialogy {
public:
    virtual ~TDialogy() = default;

    // The font dialog, then the colour dialog, started with Pismo and Barva;
    // true and the chosen font and colour when the user confirms both, false
    // and both unchanged when either is cancelled.
    virtual bool VyberPismo(QWidget *Rodic, QFont &Pismo, QColor &Barva);

    // The open dialog (all files); the chosen file's full path, or empty when
    // the user cancels.
    virtual QString OtevritSoubor(QWidget *Rodic);

    // The save dialog proposing Navrh (all files, default extension "txt",
    // asks before an existing file is overwritten); the chosen full path, or
    // empty when the user cancels.
    virtual QString UlozitSoubor(QWidget *Rodic, const QString &Navrh);
};

TDialogy &Dialogy();
void NastavDialogy(std::unique_ptr<TDialogy> NoveDialogy);
