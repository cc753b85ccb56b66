#include "fASCII.h"

TASCIIForm::TASCIIForm(QWidget *Vlastnik) : QDialog(Vlastnik)
{
    setObjectName(QStringLiteral("ASCIIForm"));
}
