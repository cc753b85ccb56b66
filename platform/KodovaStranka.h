#pragma once
// The system's 8-bit code page, for text files without a byte-order mark. On
// Windows it is the ANSI code page where that is one byte a character;
// elsewhere, and in place of a multi-byte ANSI code page, windows-1250, which
// holds every letter of the default pair table.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Decodes every byte; none is lost, so encoding the result gives the bytes back.
QString DekodujOsmibitove(QByteArrayView Bajty);

// Encodes Text; false when a character has no byte in the code page (Vystup is
// then unspecified).
bool ZakodujOsmibitove(QStringView Text, QByteArray &Vystup);

// The code page's name, such as "windows-1250".
QString NazevKodoveStranky();
