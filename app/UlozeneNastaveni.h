#pragma once
// What the main window keeps in the settings store between runs: the language,
// its placement, the editor's font and the pair table. Read once when the
// window is created, written (all but the pair table) once when it closes.
//
// Key \Software\VELOR\Lumarin under HKEY_CURRENT_USER: Jazyk (text),
// Maximalni, Vlevo, Nahore, Vyska, Sirka (integers); its subkey Pismo (the
// editor's font) and Znaky (the two lists of the pair table).

#include "Komponenty.h"

#include <QFont>
#include <QString>

class THlavniForm;

inline const QString KlicLumarin = QStringLiteral("\\Software\\VELOR\\Lumarin");
inline const QString KlicPismo = QStringLiteral("\\Software\\VELOR\\Lumarin\\Pismo");
inline const QString KlicZnaky = QStringLiteral("\\Software\\VELOR\\Lumarin\\Znaky");

// The pitch of the editor's font as the user chose it.
enum TProporce { prZakladni, prVariabilni, prFixni };

// The editor's font with what a Qt font does not hold: the character set,
// the colour as its 32-bit value (so the window-text colour stays the system
// colour) and the pitch as chosen.
struct TPismoEditoru {
    QFont Pismo;
    int Sada = 1;
    quint32 Barva = clWindowText;
    TProporce Proporce = prZakladni;
};

// Tahoma 8 pt (11 pixels), character set 1, the window-text colour, default
// pitch, no style.
TPismoEditoru VychoziPismoEditoru();

// The font's height as the store keeps it: negative, the character height in
// pixels without internal leading; and its size in points.
int VyskaPisma(const QFont &Pismo);
int VelikostPisma(const QFont &Pismo);
// The screen's pixels per inch, as sizes in points are converted with.
int PixeluNaPalec();

// Reads the store into the window, in the order language, placement, font,
// pair table. The first failure ends the reading with the store's ERegistr;
// what was read before it stays applied, the rest keeps its state (a failure
// before the pair table leaves it empty).
void NactiNastaveni(THlavniForm &Okno);

// Writes language, placement and font; the first failure ends the writing
// with the store's ERegistr, and what was written before it stays.
void UlozNastaveni(THlavniForm &Okno);
