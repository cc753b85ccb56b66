#pragma once
// The pictures compiled into the program (icons and flags), named by their
// folder and name without extension, such as "icons/novy" or "flags/CZ".

#include <QString>

// The resource path of the picture, for QIcon: the SVG file, or the PNG
// rendered from it in a build whose toolkit draws no SVG.
QString CestaObrazku(const QString &Jmeno);
