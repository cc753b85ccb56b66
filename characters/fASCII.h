#pragma once
// The character table picker.

#include <QDialog>

class TASCIIForm : public QDialog {
    Q_OBJECT
public:
    explicit TASCIIForm(QWidget *Vlastnik = nullptr);
};
