#pragma once
// The system's 8-bit code page, for text files without a byte-order mark. On
// Windows it is the ANSI code page where that is one byte a character;
// elsewhere, and in place of a multi-byte ANSI code page, windows-1250, which
// holds every letter of the default pair table.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// Decodes every byte; none is lost, so encoding the result gives the bytes back.
QString DekodujOsmibitove(QByteArrayView Bajty);

// Encodes Text; false when a character has no byte in the code page (Vystup is
// then unspecified).
bool ZakodujOsmibitove(QStringView Text, QByteArray &Vystup);

// The code page's name, such as "windows-1250".
QString NazevKodoveStranky();

// Decodes Bajty in the code page that Jmeno names ("windows-1250", "cp852",
// "iso-8859-2", as an XML declaration names them) by the system's own tables,
// for the names that Qt cannot decode where it is built without ICU, as on
// Windows. Nothing elsewhere, nor for a name of no code page the system has.
// bChyba is set when a byte that the code page does not define was replaced.
std::optional<QString> DekodujStrankouSystemu(QByteArrayView Jmeno, QByteArrayView Bajty, bool &bChyba);
