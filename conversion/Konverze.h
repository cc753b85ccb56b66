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

// Drops from the pair table every pair whose character to look for lies in
// Od..Do; the pairs after it keep their partners. The conversion of a document
// whose code units U+DC00..U+DCFF stand for bytes of the file uses it, so that
// those bytes are never replaced.
void VynechPary(QString &Hledane, QString &Nahrady, char16_t Od, char16_t Do);
