#pragma once
// Windows only: what the streaming writer of files (TZapisSouboru, in
// SouborWin.cpp) and lumarin-convert's Windows side share: paths as the
// wide-character API takes them, and the system's reasons.

#include "Soubor.h"

#include <QString>

// The path to hand to the wide-character API: full, with the system's
// separators, and behind the \\?\ prefix where it is too long for a plain
// call (MAX_PATH), so that a file deep in folders is reached too. A path
// that already has the prefix, or names a device (\\.\), is taken as it
// stands. Empty where the path can name no file (empty, or with a NUL in
// it); Chyba then receives the system's error code.
QString SystemovaCesta(const QString &Cesta, unsigned long *Chyba = nullptr);

// Whether a path that SystemovaCesta gave names a device (CON, NUL, COM1, a
// named pipe: anything under \\.\), which is no file and which opening
// alone may disturb.
bool JeZarizeni(const QString &Systemova);

// The system's reason for an error code of GetLastError(), in the system's
// language and without the full stop Windows ends it with.
QString DuvodSystemu(unsigned long Kod);

// Puts Novy, a file written whole beside it, in the place of Stary, the file
// that the save found there (Puvodni): ReplaceFileW, which
// keeps what makes the old file what it is, or a rename where the file
// system cannot replace. 0, or the system's error. Where the replacement
// failed after the old file had left its name and the new one cannot take
// the name either, the new file is the only copy of the content: it is kept
// and made visible, and Zachovano receives the words that tell the user
// where it is (to follow the reason); otherwise Zachovano is empty.
unsigned long NahradSoubor(const wchar_t *Stary, const wchar_t *Novy, const TIdentitaSouboru &Puvodni,
                           QString &Zachovano);

// The system's ReplaceFileW as NahradSoubor calls it (the old file, the new
// one; non-zero on success, else the error in GetLastError). A test puts
// another in its place to make the replacement fail as the system may; the
// one before is returned.
using TNahrazeniSouboru = int (*)(const wchar_t *Stary, const wchar_t *Novy);
TNahrazeniSouboru NastavNahrazeniSouboru(TNahrazeniSouboru Nahrazeni);
