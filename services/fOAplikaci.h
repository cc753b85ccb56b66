#pragma once
// The about dialog.

#include <QDialog>

class TOAplikaciForm : public QDialog {
    Q_OBJECT
public:
    explicit TOAplikaciForm(QWidget *Vlastnik = nullptr);
};
