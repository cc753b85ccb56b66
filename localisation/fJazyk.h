#pragma once
// The language chooser.

#include <QDialog>

class TJazykForm : public QDialog {
    Q_OBJECT
public:
    explicit TJazykForm(QWidget *Vlastnik = nullptr);
};
