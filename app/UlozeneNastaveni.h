#pragma once
// What the main window keeps in the settings store between runs: the language,
// its placement, the editor's font and the pair table. Read once when the
// window is created, written (all but the pair table) once when it closes.
//
// Key \Software\VELOR\Lumarin under HKEY_CURRENT_USER: Jazyk (text),
// Maximalni, Vlevo, Nahore, Vyska, Sirka (integers); its subkey Pismo (the
// editor's font) and Znaky (the two lists of the pair table, UlozenaTabulka.h).

#include "Komponenty.h"
#include "UlozenaTabulka.h" // KlicZnaky

#include <QFont>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

class THlavniForm;

inline const QString KlicLumarin = QStringLiteral("\\Software\\VELOR\\Lumarin");
inline const QString KlicPismo = QStringLiteral("\\Software\\VELOR\\Lumarin\\Pismo");

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

// The main window's placement as the store keeps it: its outer bounds, any
// signed 32-bit values, also ones that no screen can show. The designed
// placement until the store gives other values.
struct TUmisteniOkna {
    int Vlevo = 0;
    int Nahore = 0;
    int Sirka = 640;
    int Vyska = 480;
    bool operator==(const TUmisteniOkna &) const = default;
};

// The main window's smallest outer size, frame included.
inline constexpr QSize NejmensiVnejsi(640, 480);

// The outer bounds that a stored placement gets on the screens whose
// available areas are Plochy (the primary screen's first), as the system's
// own placement of a restored window does: the window lands on the screen
// that it overlaps most, or on the nearest one when it overlaps none (a
// monitor since unplugged); there it is no larger than the screen's available
// area and no smaller than Minimum, and it is moved as little as keeps it
// wholly inside that area (a window larger than the area, by Minimum, stands
// at its top left corner). Without any screen, the designed place and
// Minimum.
QRect OmezUmisteni(const TUmisteniOkna &Ulozene, const QList<QRect> &Plochy, const QSize &Minimum);

// The available areas of the screens, the primary screen's first.
QList<QRect> PlochyObrazovek();

// Reads the store into the window, in the order language, placement, font,
// pair table. The first failure ends the reading with the store's ERegistr;
// what was read before it stays applied, the rest keeps its state (a failure
// before the pair table leaves it empty). A stored placement is bounded to
// the screens (OmezUmisteni) before the window takes it; the stored values
// themselves are kept for the close.
void NactiNastaveni(THlavniForm &Okno);

// Writes language, placement and font; the first failure ends the writing
// with the store's ERegistr, and what was written before it stays. A window
// that still has the bounds the program gave it at the start writes back the
// placement it read, so a placement that did not fit the screens of this run
// (a monitor unplugged, a size larger than any screen) is not lost by a run
// that merely started and ended; once the window has been moved or resized,
// it writes its own bounds.
void UlozNastaveni(THlavniForm &Okno);
