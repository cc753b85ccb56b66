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

// Decodes Bajty in the 8-bit encoding named Nazev (as an XML declaration names
// it: "windows-1250", "cp852", "iso-8859-2") through the system's own code
// pages, for where the toolkit has no converter of that name (Qt for Windows
// is built without ICU). Nothing where the system has no such 8-bit code page,
// and always nothing outside Windows, where the toolkit knows them all.
// bChyba: a byte the code page leaves undefined was replaced.
std::optional<QString> DekodujKodovouStrankou(QByteArrayView Nazev, QByteArrayView Bajty, bool &bChyba);
