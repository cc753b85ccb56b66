#pragma once
// The toolkit's own texts (the buttons of message boxes, the file and font
// dialogs) in the language of the interface.
//
// The main window owns one TPrekladQt and sets it at every application of the
// language: the code CZ takes Qt's Czech translation, SK Slovak, DE German and
// EN English (codes without regard to case); any other code loads nothing, so
// the translation of the system's language that the program installed at its
// start answers instead. A translation that is missing on the machine is no
// error: the toolkit's English texts stay.
//
// Qt's translations do not carry every button text as a Windows user knows it
// (Czech "Zrušit" for Cancel where the program's own dialogs say "Storno",
// Slovak has no button texts at all), so the four standard buttons that the
// program's message boxes show take their texts from the language file's
// section "Tlacitka" first; Czech has them built in.

#include <QString>
#include <QTranslator>
#include <array>
#include <memory>

// A standard button whose text the language file may give: its key in the
// section "Tlacitka", the toolkit's source text, the program's Czech text.
struct TTlacitkoDialogu {
    const char *Klic;
    const char *Zdroj;
    const char16_t *Cesky;
};
extern const std::array<TTlacitkoDialogu, 4> TlacitkaDialogu;

// The section of the language file that holds the button texts.
inline const QString SekceTlacitek = QStringLiteral("Tlacitka");

class TPrekladQt : public QTranslator {
    Q_OBJECT
public:
    explicit TPrekladQt(QObject *Vlastnik = nullptr);
    ~TPrekladQt() override;

    // Qt's name of the language that a code of the language file stands for
    // ("cs" for CZ, ...); empty for a code Qt's translations are not taken for.
    static QString JazykQt(const QString &Kod);

    // Takes the toolkit translation for the code Kod, and Tlacitka as the
    // texts of the standard buttons in the order of TlacitkaDialogu (an empty
    // text leaves the button to the translation), and installs itself
    // application-wide in place of what it held before.
    void Nastav(const QString &Kod, const std::array<QString, 4> &Tlacitka);

    // The Qt language loaded by the last Nastav; empty when none was loaded.
    const QString &NactenyJazyk() const { return FNactenyJazyk; }

    QString translate(const char *Kontext, const char *Zdroj, const char *Rozliseni = nullptr,
                      int Pocet = -1) const override;
    bool isEmpty() const override;

private:
    std::unique_ptr<QTranslator> FQt;
    std::array<QString, 4> FTlacitka;
    QString FNactenyJazyk;
    bool bInstalovany = false;
};
