#include "fJazyk.h"

TJazykForm::TJazykForm(QWidget *Vlastnik) : QDialog(Vlastnik)
{
    setObjectName(QStringLiteral("JazykForm"));
}
