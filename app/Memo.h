#pragma once
// The document editor: a plain-text editor that keeps the contract the window
// relies on. Its text has carriage return plus line feed line breaks; every edit
// of the user sets the modified flag and raises Zmena; setting a different text
// by program replaces it, clears the flag and raises Zmena once; setting an equal
// text does nothing; clearing raises nothing.
//
// Whatever text is set comes back from Text() unchanged, character for
// character: a lone carriage return or line feed, U+2029, the noncharacters and
// lone halves of surrogate pairs included. The document underneath takes some
// characters for its own line breaks; the editor keeps those under stand-ins
// (code units that the text does not use) and gives them back.
//
// The text model (TextovyModel.h) keeps the text, its stand-ins and pieces,
// the undo of a conversion and of delete all, and the modified flag; the
// editor shows its document and passes the user's edits to it.

#include "TextovyModel.h"

#include <QPlainTextEdit>
#include <functional>
#include <optional>

class QTextBlock;
class QTextDocument;

class TMemo : public QPlainTextEdit, private TDokumentTextu {
    Q_OBJECT
public:
    static constexpr qsizetype MaxDelkaBloku = TTextovyModel::MaxDelkaBloku;
    static constexpr qsizetype MaxRadkuBezSdruzeni = TTextovyModel::MaxRadkuBezSdruzeni;
    static constexpr qsizetype CilovyPocetBloku = TTextovyModel::CilovyPocetBloku;

    explicit TMemo(QWidget *Rodic = nullptr);

    const TTextovyModel &Model() const { return FModel; }

    QString Text() const { return FModel.Text(); }
    // bVratitelne: the replacement is a command of the user (the conversion)
    // that Zpet can take back; the caret and the view stay where they were.
    // An EChyba (rsZASTUPCI) when the text holds every code unit that could
    // stand in for the characters the document takes for line breaks; the
    // editor is then unchanged.
    void NastavText(QString Text, bool bVratitelne = false);

    // The same text as the document keeps it, with U+2029 (paragraph separator)
    // for each line break: cheaper for a big text, with the same contract.
    // Only while MaZastupce() is false is it the text itself; a raw text that
    // the document cannot keep as it is goes the way of NastavText.
    QString SurovyText() const { return FModel.SurovyText(); }
    // SurovyText() piece by piece, without a copy of the whole: Kus takes each
    // paragraph's text and each separator between two.
    void ProjdiSurovyText(const std::function<void(QStringView Kus)> &Kus) const;
    void NastavSurovyText(const QString &Text, bool bVratitelne = false);
    bool JePrazdny() const { return FModel.JePrazdny(); }

    // True while the document keeps the text otherwise than SurovyText() says:
    // under stand-ins, a long line in pieces or several lines in a paragraph.
    bool MaZastupce() const { return FModel.MaZastupce(); }
    // Whether converting SurovyText() with the pair table Hledane -> Nahrady
    // gives the same text as converting Text(): not when the document keeps
    // the text otherwise, when the table looks for line breaks, or when it
    // would put in a character that the document takes for a line break.
    bool SurovaCestaBezpecna(const QString &Hledane, const QString &Nahrady) const
    {
        return FModel.SurovaCestaBezpecna(Hledane, Nahrady);
    }
    // A conversion of SurovyText() that keeps the shape in which the document
    // holds the text (TTextovyModel::TvarPrevoduBezpecny), as NastavSurovyText.
    bool TvarPrevoduBezpecny(const QString &Hledane, const QString &Nahrady) const
    {
        return FModel.TvarPrevoduBezpecny(Hledane, Nahrady);
    }
    void NastavPrevedenyTvar(const QString &Surovy, bool bVratitelne = false);
    // The same with the changes as the conversion found them.
    void NastavPrevedenyTvar(const QString &Surovy, TTextovyModel::TZaznamZmen &&Zaznam, bool bVratitelne);
    void Smaz(bool bVratitelne = false);

    // Undo: the editor's own edits first, then the last conversion or delete
    // all, whose text is kept until the next replacement by program.
    void Zpet();

    bool Modified() const { return FModel.Modified(); }
    void SetModified(bool Hodnota) { FModel.SetModified(Hodnota); }

    // What a long replacement of the whole text reports between its steps:
    // Krok(Hotovo, Celkem) says how far it is and returns false when the user
    // gives it up, which only a replacement with bZrusitelna takes (an EZruseno,
    // the editor and its undo as they were). Without Krok a text is set at once.
    // A text of more than DelkaDavky() code units goes in in batches of that
    // size, with a step after each.
    struct TPrubeh {
        std::function<bool(qint64 Hotovo, qint64 Celkem)> Krok;
        bool bZrusitelna = false;
    };
    TPrubeh Prubeh;
    static qsizetype DelkaDavky();
    // For tests: smaller batches (0 gives the usual size back).
    static void NastavDelkuDavky(qsizetype Delka);

    // Ctrl+Z typed in the editor runs this instead of Zpet() where it is set,
    // so that the window's undo command (busy cursor, progress) takes it.
    std::function<void()> PrikazZpet;

signals:
    void Zmena();

protected:
    void keyPressEvent(QKeyEvent *Udalost) override;
    void inputMethodEvent(QInputMethodEvent *Udalost) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *Zdroj) override;

private:
    // The document as the model reads and fills it.
    qsizetype Delka() const override;
    QString Surovy() const override;
    bool Projdi(qsizetype Od, bool bText, const TKus &Kus) const override;
    void Zobraz(const QString &Dokument, const QList<qsizetype> &Dilky) override;
    void Vyprazdni() override;
    bool Krok() const override;

    void PripojDokument();
    void VlozPoDavkach(QTextDocument &Dokument, const QString &Text, bool bZrusitelne);
    static void OznacDilky(QTextDocument &Dokument, const QList<qsizetype> &Dilky);
    // After a replacement by program that changed the text.
    void Nahrazeno(int Kotva, int Pozice, int Posuv, bool bZachovatPolohu);
    // Replaces the document through Zmen, which takes the cursor's position
    // and says whether the text changed; then as Nahrazeno.
    void Nahrad(bool bVratitelne, const std::function<bool(int Pozice)> &Zmen);
    bool JeDilek(const QTextBlock &Blok) const;
    bool VlozOdUzivatele(const QString &Vkladany, bool bZlomy);

    TTextovyModel FModel{*this};
    int FFormatDilku = -1; // the character format of the separators that continue a line
    bool bProgram = false;
};
