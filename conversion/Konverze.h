#pragma once

#include <QString>

// Replaces every code unit of Text that occurs in Hledane by the code unit at the
// same position of Nahrady. The first occurrence in Hledane decides; the text is
// read once and each code unit is replaced at most once, so the result has the
// length of Text. A match that lies beyond the end of Nahrady leaves the code
// unit as it is. Returns Text itself (shared, not copied) when nothing changes.
QString NahradZnaky(const QString &Text, const QString &Hledane, const QString &Nahrady);

// The same result by the plain scan of Hledane for every code unit: the
// reference that NahradZnaky is compared with, and the fallback for short texts.
QString NahradZnakyPrimo(const QString &Text, const QString &Hledane, const QString &Nahrady);
