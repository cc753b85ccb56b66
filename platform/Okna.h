#pragma once
// What the window manager draws around the program's fixed-size dialogs: the
// buttons of their title bars, and room enough for their titles.

#include <QString>
#include <optional>

class QWidget;

// The running window manager's name as it announces itself (X11: the
// _NET_WM_NAME of the _NET_SUPPORTING_WM_CHECK window, "Openbox" for
// instance); empty where there is none or the platform does not tell.
QString JmenoSpravceOken();
// For tests: the name to report instead of the running manager's (nullopt
// gives the real one back).
void NastavJmenoSpravceOken(std::optional<QString> Jmeno);

// A fixed-size dialog asks for no minimise and no maximise button by its
// window flags (no Qt::WindowMinimizeButtonHint, no
// Qt::WindowMaximizeButtonHint), which Windows and most X11 window managers
// follow. Openbox reads those hints for the title and the size only and gives
// every window type a minimise button but the toolbar and menu types; under
// it, the dialog therefore also names itself a toolbar window when it is
// shown, with its own type kept after it. Called once, before the dialog is
// first shown.
void BezMinimalizace(QWidget *Dialog);

// The outer width that a tool window with a close box needs for its title bar
// to show Titulek whole: the title measured in the font that the title bar is
// drawn in where the platform tells it, otherwise in the window's own font
// (bold, as window managers commonly draw titles) and, under X11, in the
// system's sans-serif at the same size as well, with room for the window's
// icon and the close box.
int SirkaProTitulek(const QWidget *Okno, const QString &Titulek);
