#include "fZnaky.h"

TZnakyForm::TZnakyForm(QWidget *Vlastnik) : QDialog(Vlastnik)
{
    setObjectName(QStringLiteral("ZnakyForm"));
}
