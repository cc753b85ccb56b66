#include "Obrazky.h"

QString CestaObrazku(const QString &Jmeno)
{
#ifdef LUMARIN_OBRAZKY_PNG
    return QStringLiteral(":/") + Jmeno + QStringLiteral(".png");
#else
    return QStringLiteral(":/") + Jmeno + QStringLiteral(".svg");
#endif
}
