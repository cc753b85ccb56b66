#pragma once

#include <QString>
#include <memory>

// The pair table as a look-up: every one of the 65,536 code units mapped to
// what the conversion makes of it. The first occurrence of a character in
// Hledane decides; one that lies beyond the end of Nahrady stays as it is.
class TTabulkaNahrad {
public:
    TTabulkaNahrad(const QString &Hledane, const QString &Nahrady);

    char16_t operator[](char16_t u) const { return FMapa[u]; }
    const char16_t *Data() const { return FMapa.get(); }
    // A half of a surrogate pair is changed, or something becomes one.
    bool MeniPoloviny() const { return bPoloviny; }
    // An ASCII character is changed.
    bool MeniAscii() const { return bAscii; }

private:
    std::unique_ptr<char16_t[]> FMapa;
    bool bPoloviny = false;
    bool bAscii = false;
};

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

// Whether the pair table changes a half of a surrogate pair or puts one in:
// only such a table can make MeniOsamelePoloviny true.
bool MeniPoloviny(const QString &Hledane, const QString &Nahrady);

// Whether Novy, the conversion of Puvodni (of the same length), holds a lone
// low half of a surrogate pair in Od..Do where Puvodni holds none, or a pair
// where Puvodni holds a lone one. In a text whose U+DC00..U+DCFF stand for
// bytes of its file, the conversion would then make a byte of the file out of
// a character, or a character out of one; a save would write other bytes than
// the text holds. PredPuvodni and PredNovy are the code units just before the
// two (the end of the text before them, when a text comes in blocks), 0 at
// the start.
bool MeniOsamelePoloviny(QStringView Puvodni, QStringView Novy, char16_t Od, char16_t Do, char16_t PredPuvodni = 0,
                         char16_t PredNovy = 0);
