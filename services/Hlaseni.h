#pragma once
// Message boxes and one-line input dialogs: the program's one way of putting a
// modal message in front of the user.

#include <QString>
#include <QSize>

class QFontMetrics;
class QWidget;
#include <functional>

// Message-box flags, as the Windows message box defines them.
constexpr int MB_OK = 0x00;
constexpr int MB_OKCANCEL = 0x01;
constexpr int MB_ABORTRETRYIGNORE = 0x02;
constexpr int MB_YESNOCANCEL = 0x03;
constexpr int MB_YESNO = 0x04;
constexpr int MB_RETRYCANCEL = 0x05;
constexpr int MB_CANCELTRYCONTINUE = 0x06;
constexpr int MB_ICONHAND = 0x10;
constexpr int MB_ICONQUESTION = 0x20;
constexpr int MB_ICONEXCLAMATION = 0x30;
constexpr int MB_ICONASTERISK = 0x40;
constexpr int MB_DEFBUTTON2 = 0x100;
constexpr int MB_DEFBUTTON3 = 0x200;

// Button identifiers returned by a message box.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDTRYAGAIN = 10;
constexpr int IDCONTINUE = 11;

enum TTypDialogu : quint8 { tdChyba = 0, tdVarovani = 1, tdInformace = 2, tdPotvrzeni = 3 };

class THlaseni {
public:
    // Shows Text (lines separated by a carriage return) under the title Nadpis
    // with the buttons and icon that Priznaky asks for; the pressed button.
    int Dialog(const QString &Text, const QString &Nadpis, int Priznaky);
    // The same with the kind's icon OR-ed into Priznaky; 0 and no box for a kind
    // outside tdChyba..tdPotvrzeni.
    int Dialog(TTypDialogu TypDialogu, const QString &Text, const QString &Nadpis, int Priznaky);

    // A small form asking for one line of text; true and the text in Value when
    // confirmed, false with Value untouched otherwise.
    bool VstupniDialog(const QString &Nadpis, const QString &Popisek, const QString &BtnOK, const QString &BtnX,
                       QString &Value);
    // The same with only the confirming button.
    bool EditDialog(const QString &Nadpis, const QString &Popisek, const QString &BtnOK, QString &Value);

    // What every message box goes through: a function of text, title and flags
    // returning a button identifier. Tests put their own in place to script the
    // answers; an empty function restores the real message box.
    using TPrezenter = std::function<int(const QString &Text, const QString &Nadpis, int Priznaky)>;
    static void NastavPrezenter(TPrezenter Prezenter);
    static int Zobraz(const QString &Text, const QString &Nadpis, int Priznaky);

    // The flags that Dialog with a kind passes on; -1 for a kind outside the four.
    static int PriznakyDruhu(TTypDialogu TypDialogu, int Priznaky);

    // The program's main window ("HlavniForm"), or nullptr before it exists.
    static QWidget *HlavniOkno();

    // The platform's message box, modal over the active window.
    static int MessageBox(const QString &Text, const QString &Nadpis, int Priznaky);

private:
    // The average width of a letter (cx) and the height of a line (cy) in the
    // font of Metriky; one dialog unit is cx/4 across and cy/8 down.
    static void PrumernaVelikostZnaku(const QFontMetrics &Metriky, QSize &Velikost);
    bool SpustVstup(const QString &Nadpis, const QString &Popisek, const QString &BtnOK, const QString *BtnX,
                    QString &Value);
};

// The global instance, alive for the whole run.
extern THlaseni *Hlaseni;
