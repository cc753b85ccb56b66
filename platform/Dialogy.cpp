#include "Dialogy.h"

#include "Soubor.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>

bool TDialogy::VyberPismo(QWidget *Rodic, QFont &Pismo, QColor &Barva)
{
    // Qt's font dialog has no colour choice, so the colour dialog follows it
    // as the second half of one step: cancelled in either, nothing changes.
    bool ok = false;
    const QFont vybrane = QFontDialog::getFont(&ok, Pismo, Rodic);
    if (!ok)
        return false;
    const QColor barva = QColorDialog::getColor(Barva, Rodic);
    if (!barva.isValid())
        return false;
    Pismo = vybrane;
    Barva = barva;
    return true;
}

QString TDialogy::OtevritSoubor(QWidget *Rodic)
{
    // The dialog reads a name that is not UTF-8 lossily; NajdiSoubor finds the real file.
    return NajdiSoubor(QFileDialog::getOpenFileName(Rodic));
}

QString TDialogy::UlozitSoubor(QWidget *Rodic, const QString &Navrh)
{
    QFileDialog dialog(Rodic);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.selectFile(Navrh);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return NajdiSoubor(QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath());
}

namespace {
std::unique_ptr<TDialogy> &Instance()
{
    static std::unique_ptr<TDialogy> dialogy;
    return dialogy;
}
} // namespace

TDialogy &Dialogy()
{
    auto &d = Instance();
    if (!d)
        d = std::make_unique<TDialogy>();
    return *d;
}

void NastavDialogy(std::unique_ptr<TDialogy> NoveDialogy)
{
    Instance() = std::move(NoveDialogy);
}
