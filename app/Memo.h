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
// The document lays out a paragraph at once, and its cost grows with the square
// of a line's length and with the number of paragraphs. So that a text of
// any shape stays usable, a line longer than MaxDelkaBloku is shown in pieces
// (one paragraph each, marked as the continuation of the line), and a text of
// very many lines keeps several of them in one paragraph, separated by U+2028.
// Neither reaches Text(), the clipboard or a saved file.
//
// A big text is never copied whole where a pass over the document will do:
// Text() is built straight from the paragraphs, an equal text is found equal
// without a copy, and the undo of a conversion keeps only the code units it
// changed.

#include <QPlainTextEdit>
#include <array>
#include <memory>
#include <optional>

class QTextBlock;

class TMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    // The longest piece of a line that the document lays out as one paragraph.
    static constexpr qsizetype MaxDelkaBloku = 16384;
    // Up to this number of lines each has a paragraph of its own. A paragraph
    // costs the document about 200 bytes, and from the first change of the
    // editor's width another 300 (the toolkit then gives every paragraph a
    // layout object of its own and keeps it): several times the text of a
    // short line. Inserting one takes about five microseconds.
    static constexpr qsizetype MaxRadkuBezSdruzeni = 100000;
    // With more lines, about this many paragraphs hold them.
    static constexpr qsizetype CilovyPocetBloku = 50000;

    explicit TMemo(QWidget *Rodic = nullptr);

    QString Text() const;
    // bVratitelne: the replacement is a command of the user (the conversion)
    // that Zpet can take back; the caret and the view stay where they were.
    // An EChyba (rsZASTUPCI) when the text holds every code unit that could
    // stand in for the characters the document takes for line breaks; the
    // editor is then unchanged.
    void NastavText(const QString &Text, bool bVratitelne = false);

    // The same text as the document keeps it, with U+2029 (paragraph separator)
    // for each line break: cheaper for a big text, with the same contract.
    // Only while MaZastupce() is false is it the text itself; a raw text that
    // the document cannot keep as it is goes the way of NastavText.
    QString SurovyText() const;
    void NastavSurovyText(const QString &Text, bool bVratitelne = false);
    bool JePrazdny() const;

    // True while the document keeps the text otherwise than SurovyText() says:
    // under stand-ins, a long line in pieces or several lines in a paragraph.
    bool MaZastupce() const { return !FZastupci.isEmpty() || bSdruzene || bDilky; }
    // Whether converting SurovyText() with the pair table Hledane -> Nahrady
    // gives the same text as converting Text(): not when the document keeps
    // the text otherwise, when the table looks for line breaks, or when it
    // would put in a character that the document takes for a line break.
    bool SurovaCestaBezpecna(const QString &Hledane, const QString &Nahrady) const;
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
    void inputMethodEvent(QInputMethodEvent *Udalost) override;
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *Zdroj) override;

private:
    struct TZastupce {
        char16_t Znak, Zastupce;
    };
    using TVidene = std::array<bool, 0x10000>; // code units that the document has held
    // The text as the document is to keep it.
    struct TPodoba {
        QString Dokument;
        QList<qsizetype> Dilky; // positions of the separators that continue a line
        QList<TZastupce> Zastupci;
        bool bSdruzene = false;
        std::unique_ptr<TVidene> Videne;
    };
    static TPodoba Podoba(const QString &Text);
    static std::optional<TPodoba> SurovaPodoba(const QString &Surovy);
    void Nahrad(TPodoba Podoba, bool bZachovatPolohu);
    void Zobraz(TPodoba Podoba);
    void PripravZpet(bool bVratitelne, const QString *NovyDokument = nullptr, bool bSurovy = false);
    QString Prevod(int Od, int Do, QStringView Zlom) const;
    qsizetype DelkaPrevodu(int Od, int Do, qsizetype DelkaZlomu) const;
    template <typename F> bool ProjdiText(int Od, int Do, QStringView Zlom, F &&Kus) const;
    template <typename F> bool ProjdiDokument(F &&Kus) const;
    bool JeText(const QString &Text) const;
    bool JeSurovyText(const QString &Surovy) const;
    QList<qsizetype> PoziceDilku() const;
    bool JeDilek(const QTextBlock &Blok) const;
    std::optional<QString> ProDokument(const QString &Vkladany, bool bZlomy);
    bool VlozOdUzivatele(const QString &Vkladany, bool bZlomy);

    QList<TZastupce> FZastupci;
    bool bSdruzene = false; // U+2028 in the document is a line break of the text
    bool bDilky = false;    // the document holds separators that continue a line
    int FFormatDilku = -1;  // their character format
    std::unique_ptr<TVidene> FVidene;
    // After a replacement that kept the length of the document's string (a
    // conversion): the code units it changed, and the shape the text had.
    struct TZmeny {
        qsizetype Delka; // of the document's string after the replacement
        size_t Otisk;    // its hash: the changes only ever go back onto that string
        QByteArray Odstupy; // from one changed position to the next, 7 bits a byte
        QList<char16_t> Puvodni; // what each changed code unit was
        QList<qsizetype> Dilky;
        QList<TZastupce> Zastupci;
        bool bSdruzene;
        std::unique_ptr<TVidene> Videne;
    };
    struct TZpet {
        QString Text; // the whole text, unless Zmeny is set
        bool bSurovy; // as SurovyText() gave it
        int Pozice;
        std::unique_ptr<TZmeny> Zmeny;
    };
    std::unique_ptr<TZmeny> Zmeny(const QString &NovyDokument) const;
    std::optional<TZpet> FZpet;
    bool bProgram = false;
    bool FModified = false;
};
