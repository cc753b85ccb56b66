#pragma once
// Small helpers shared by every form: the integer Tag, two-part hints, colours
// as 32-bit values, dialog-unit arithmetic, modal results and the selection of
// a list's rows.

#include <QColor>
#include <QPalette>
#include <QString>
#include <functional>

class QObject;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

int Tag(const QObject *Komponenta);
void NastavTag(QObject *Komponenta, int Hodnota);

// A hint "short|long": the part before the first "|" is the tooltip, the part
// after it the long hint for the status bar; without "|" the text is both.
QString KratkyHint(const QString &Hint);
QString DlouhyHint(const QString &Hint);
QString Hint(const QObject *Komponenta);
// Stores the hint and sets the tooltip (only while the "ShowHint" property is not
// false) and the status tip of a widget or an action.
void NastavHint(QObject *Komponenta, const QString &Hint);

// Colours as 32-bit values: 0x00BBGGRR, or 0xFF0000nn for system colour nn.
constexpr quint32 clBlack = 0x000000;
constexpr quint32 clRed = 0x0000FF;
constexpr quint32 clGreen = 0x008000;
constexpr quint32 clWindowText = 0xFF000008;
// The palette role that stands for Windows system colour Index (COLOR_*);
// Vychozi for an index that has none.
QPalette::ColorRole RoleSystemoveBarvy(quint32 Index, QPalette::ColorRole Vychozi);
// The colour a value stands for: a system colour is taken from Paleta's
// group Skupina (the window text, 0xFF000008, from the application's palette
// in the short form).
QColor BarvaZHodnoty(quint32 Barva, const QPalette &Paleta, QPalette::ColorGroup Skupina, QPalette::ColorRole Vychozi);
QColor BarvaZHodnoty(quint32 Barva);
void NastavBarvuPisma(QWidget *Komponenta, quint32 Barva);
quint32 BarvaPisma(const QWidget *Komponenta);

// Multiplies and divides, rounding to the nearest integer (halves away from 0).
int MulDiv(int Cislo, int Nasobitel, int Delitel);

// Modal results: 1 OK, 2 Cancel.
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
int ModalniVysledek(int VysledekDialogu);

// Calls Vyber for every row of Seznam whose selection changes, with whether it
// is now selected: the rows that lose the selection first, so that a move ends
// with the row that gains it. An error goes to the general error report.
void PripojVyber(QTreeWidget *Seznam, const std::function<void(QTreeWidgetItem *, bool)> &Vyber);
