#pragma once
// Windows only: what the streaming writer of files (TZapisSouboru, in
// SouborWin.cpp) and lumarin-convert's Windows side share: paths as the
// wide-character API takes them, and the system's reasons.

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
