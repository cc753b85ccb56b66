#pragma once
// The document editor: a plain-text editor that keeps the contract the window
// relies on. Its text has carriage return plus line feed line breaks; every edit
// of the user sets the modified flag and raises Zmena; setting a different text
// by program replaces it, clears the flag and raises Zmena once; setting an equal
// text does nothing; clearing raises nothing.

#include <QPlainTextEdit>
#include <optional>

class TMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TMemo(QWidget *Rodic = nullptr);

    QString Text() const;
    // bVratitelne: the replacement is a command of the user (the conversion)
    // that Zpet can take back; the caret and the view stay where they were.
    void NastavText(const QString &Text, bool bVratitelne = false);

    // The same text as the document keeps it, with U+2029 (paragraph separator)
    // for each line break: cheaper for a big text, with the same contract.
    // Only while MaZastupce() is false is it the text itself.
    QString SurovyText() const;
    void NastavSurovyText(const QString &Text, bool bVratitelne = false);
    bool JePrazdny() const;

    // The document takes U+2029, U+FDD0 and U+FDD1 for line breaks. A text that
    // holds them keeps them under stand-ins (noncharacters the text does not
    // use) for as long as it is in the editor; Text() gives them back.
    bool MaZastupce() const { return !FZastupci.isEmpty(); }
    void Smaz(bool bVratitelne = false);

    // Undo: the editor's own edits first, then the last conversion or delete
    // all, whose text is kept until the next replacement by program.
    void Zpet();

    bool Modified() const { return FModified; }
    void SetModified(bool Hodnota) { FModified = Hodnota; }

signals:
    void Zmena();

protected:
    void keyPressEvent(QKeyEvent *Udalost) override;

private:
    void Nahrad(const QString &Text, bool bZachovatPolohu);
    void PripravZpet(bool bVratitelne);
    struct TZastupce {
        char16_t Znak, Zastupce;
    };
    QList<TZastupce> FZastupci;
    struct TZpet {
        QString Text; // as the document kept it
        QList<TZastupce> Zastupci;
        int Pozice;
    };
    std::optional<TZpet> FZpet;
    bool bProgram = false;
    bool FModified = false;
};
