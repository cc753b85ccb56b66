#pragma once
// The character-pair editor.

#include <QDialog>

class TZnakyForm : public QDialog {
    Q_OBJECT
public:
    explicit TZnakyForm(QWidget *Vlastnik = nullptr);
};
