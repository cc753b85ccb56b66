#pragma once
// Reading and writing whole files: the one reader and the one writer of every
// file the program keeps (documents, settings, the converter's output).

#include "Chyba.h"

#include <QByteArray>
#include <QString>

// Reads a whole regular file. An EChyba "Cannot open file "<path>". <reason>"
// when it cannot (a folder, a pipe or a device is refused without being read).
QByteArray NactiBajty(const QString &Cesta);

// Replaces the file's content. A failure at any point leaves the old file as it
// was and throws an EChyba "Cannot create file "<path>". <reason>".
void ZapisSoubor(const QString &Cesta, const QByteArray &Bajty);

// The error of a file that cannot be created or written:
// "Cannot create file "<path>". <reason>".
EChyba ChybaVytvoreni(const QString &Cesta, const QString &Duvod);

// The error of a file that cannot be read: "Cannot open file "<path>". <reason>".
EChyba ChybaOtevreni(const QString &Cesta, const QString &Duvod);
