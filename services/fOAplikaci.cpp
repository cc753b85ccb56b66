#include "fOAplikaci.h"

TOAplikaciForm::TOAplikaciForm(QWidget *Vlastnik) : QDialog(Vlastnik)
{
    setObjectName(QStringLiteral("OAplikaciForm"));
}
