#pragma once
// The editor's text model: what the document holds, how a text becomes the
// document's paragraphs and back, the undo of a conversion and of delete all,
// and the modified flag. It knows no widget: it reads and fills the document
// through TDokumentTextu, which the editor keeps for its QTextDocument and a
// test keeps in a string.
//
// Whatever text is set comes back from Text() unchanged, character for
// character: a lone carriage return or line feed, U+2029, the noncharacters and
// lone halves of surrogate pairs included. The document takes some characters
// for its own line breaks; the model keeps those under stand-ins (code units
// that the text does not use) and gives them back.
//
// The document lays out a paragraph at once, and its cost grows with the square
// of a line's length and with the number of paragraphs. So that a text of
// any shape stays usable, a line longer than MaxDelkaBloku goes into pieces
// (one paragraph each, the separator before each marked as the continuation
// of the line), and a text of very many lines keeps several of them in one
// paragraph, separated by U+2028. Neither reaches Text().
//
// A big text is never copied whole where a pass over the document will do:
// Text() is built straight from the paragraphs, an equal text is found equal
// without a copy, and the undo of a conversion keeps only the code units it
// changed.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>
#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>

// One paragraph of the document, as the model reads it.
struct TOdstavec {
    qsizetype Pozice = 0;       // of its first code unit in the document's string
    qsizetype Delka = 0;        // without its separator
    QString Text;               // without its separator; empty unless asked for
    bool bPosledni = false;     // no separator follows it
    bool bDalsiJeDilek = false; // its separator only continues the line in the next paragraph
};

// The document that shows the model's text: a string of paragraphs with
// U+2029 between each two, some of those separators marked as continuing a
// line. The marks go with their separators through the user's edits and the
// document's own undo.
class TDokumentTextu {
public:
    using TKus = std::function<bool(const TOdstavec &)>;
    virtual ~TDokumentTextu() = default;
    // The length of the document's string.
    virtual qsizetype Delka() const = 0;
    // The document's string, U+2029 between the paragraphs.
    virtual QString Surovy() const = 0;
    // Calls Kus for each paragraph in order, from the one that holds position
    // Od, until Kus returns false (false then) or the paragraphs end. With
    // bText, each paragraph comes with its text.
    virtual bool Projdi(qsizetype Od, bool bText, const TKus &Kus) const = 0;
    // Replaces the whole document by Dokument, with the separators at the
    // positions Dilky marked; the document's own undo starts afresh. May
    // throw EZruseno (the user gave a long replacement up) before it changes
    // anything.
    virtual void Zobraz(const QString &Dokument, const QList<qsizetype> &Dilky) = 0;
    virtual void Vyprazdni() = 0;
    // Called now and then during a long pass over a big text, so that the
    // program can handle its events; false when the user has given the
    // replacement up (the model then throws EZruseno before any change).
    virtual bool Krok() const { return true; }
};

// A long replacement of the whole text that the user gave up: nothing has
// changed.
struct EZruseno { };

class TTextovyModel {
public:
    // The code units that a conversion of the document's string changes, as
    // the conversion finds them, in order of position: the model then need
    // not compare the strings again. Past half the string's length it keeps
    // nothing (the whole text is then as cheap to keep).
    class TZaznamZmen {
    public:
        explicit TZaznamZmen(qsizetype Delka) : FDelka(Delka) { }
        // Millions of calls for a big text: the buffers grow by doubling and
        // are written through pointers, without the containers' checks.
        void Pridej(qsizetype Pozice, char16_t Puvodni)
        {
            if (bPrilisMnoho)
                return;
            if (FPocet >= FDelka / 2) {
                bPrilisMnoho = true;
                FOdstupy = QByteArray();
                FPuvodni = QByteArray();
                FPocet = FBajtu = 0;
                return;
            }
            // A distance takes at most ten bytes of seven bits.
            if (FBajtu + 10 > FOdstupy.size() || 2 * FPocet == FPuvodni.size())
                Zvetsi();
            char *o = FOdstupy.data() + FBajtu;
            for (quint64 odstup = quint64(Pozice - FPosledni);; odstup >>= 7) {
                if (odstup < 0x80) {
                    *o++ = char(odstup);
                    break;
                }
                *o++ = char(0x80 | (odstup & 0x7F));
            }
            FBajtu = o - FOdstupy.constData();
            FPosledni = Pozice;
            std::memcpy(FPuvodni.data() + 2 * FPocet++, &Puvodni, 2);
        }

    private:
        friend class TTextovyModel;
        void Zvetsi()
        {
            FOdstupy.resize(std::max<qsizetype>(4096, FOdstupy.size() * 2));
            if (2 * FPocet == FPuvodni.size())
                FPuvodni.resize(std::max<qsizetype>(4096, FPuvodni.size() * 2));
        }
        qsizetype FDelka;
        qsizetype FPosledni = 0;
        bool bPrilisMnoho = false;
        QByteArray FOdstupy; // FBajtu of them written
        QByteArray FPuvodni; // FPocet code units written, two bytes each
        qsizetype FBajtu = 0, FPocet = 0;
    };

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

    struct TZastupce {
        char16_t Znak, Zastupce;
    };
    using TVidene = std::array<bool, 0x10000>; // code units that the document has held
    // A text as the document is to keep it.
    struct TPodoba {
        QString Dokument;
        QList<qsizetype> Dilky; // positions of the separators that continue a line
        QList<TZastupce> Zastupci;
        bool bSdruzene = false; // U+2028 stands for a line break of the text
        std::unique_ptr<TVidene> Videne;
    };
    // How the document is to keep Text; an EChyba (rsZASTUPCI) when the text
    // holds every code unit that could stand in for another.
    // Krok, where given, is called now and then during the passes over a big
    // text; when it returns false, EZruseno.
    static TPodoba Podoba(const QString &Text, const std::function<bool()> &Krok = {});
    // The same for a text that the caller gives up: its buffer may take the
    // document's form. Until an EChyba the text is as it was.
    static TPodoba Podoba(QString &&Text, const std::function<bool()> &Krok = {});
    // The raw text (U+2029 for each line break) as the document can keep it
    // as it is; nothing when it cannot.
    static std::optional<TPodoba> SurovaPodoba(const QString &Surovy);

    explicit TTextovyModel(TDokumentTextu &Dokument) : FDokument(Dokument) { }
    TTextovyModel(const TTextovyModel &) = delete;
    TTextovyModel &operator=(const TTextovyModel &) = delete;

    // The line break of the text, as Text() gives it and NastavText() takes it.
    QStringView Zlom() const { return u"\r\n"; }

    QString Text() const;
    // Text() piece by piece, in order, without a copy of the whole; Kus
    // returns false to stop (false then).
    bool ProjdiCelyText(const std::function<bool(QStringView Kus)> &Kus) const;
    // The same with Zlom for each line break.
    bool ProjdiCelyText(QStringView Zlom, const std::function<bool(QStringView Kus)> &Kus) const;
    // The text of the document's positions Od to Do, with Zlom for each line
    // break.
    QString Prevod(qsizetype Od, qsizetype Do, QStringView Zlom) const;
    // The same text as the document keeps it, with U+2029 for each line break.
    // Only while MaZastupce() is false is it the text itself.
    QString SurovyText() const { return FDokument.Surovy(); }
    bool JePrazdny() const { return FDokument.Delka() == 0; }
    bool JeText(const QString &Text) const;

    // A replacement by program: false, and nothing done, when the document
    // already holds the text. bVratitelne: Zpet can take it back (the caret
    // was at Pozice); otherwise what Zpet kept is forgotten. Clears the
    // modified flag. An EChyba (rsZASTUPCI) as Podoba, before any change;
    // without bVratitelne, an EZruseno from the document, with nothing changed.
    bool NastavText(QString Text, bool bVratitelne = false, qsizetype Pozice = 0);
    // The same for a raw text; one that the document cannot keep as it is
    // goes the way of NastavText.
    bool NastavSurovyText(const QString &Text, bool bVratitelne = false, qsizetype Pozice = 0);
    // Delete all; with bVratitelne, Zpet brings a text that was there back.
    void Smaz(bool bVratitelne = false, qsizetype Pozice = 0);
    // Brings back the text before the last conversion or delete all, once;
    // the caret's position then. Nothing when there is none, or when the
    // document no longer holds what the conversion gave. Sets the modified
    // flag: taking a change back is an edit of the user.
    std::optional<qsizetype> Zpet();
    bool MuzeZpet() const { return FZpet.has_value(); }

    // True while the document keeps the text otherwise than SurovyText() says:
    // under stand-ins, a long line in pieces or several lines in a paragraph.
    bool MaZastupce() const { return !FZastupci.isEmpty() || bSdruzene || bDilky; }
    bool MaDilky() const { return bDilky; }
    // Whether converting SurovyText() with the pair table Hledane -> Nahrady
    // gives the same text as converting Text(): not when the document keeps
    // the text otherwise, when the table looks for line breaks, or when it
    // would put in a character that the document takes for a line break.
    bool SurovaCestaBezpecna(const QString &Hledane, const QString &Nahrady) const;
    // Whether converting SurovyText() with the pair table Hledane -> Nahrady
    // gives the document's form of the converted text in the shape the
    // document keeps now (its stand-ins, pieces and shared paragraphs): when
    // the table neither looks for nor puts in a break, a stand-in or a
    // character kept under one.
    bool TvarPrevoduBezpecny(const QString &Hledane, const QString &Nahrady) const;
    // The replacement of such a conversion, with the contract of NastavText;
    // Surovy is SurovyText() with code units replaced one for one.
    bool NastavPrevedenyTvar(const QString &Surovy, bool bVratitelne = false, qsizetype Pozice = 0);
    // The same with the changes as the conversion found them (of a string as
    // long as the document's).
    bool NastavPrevedenyTvar(const QString &Surovy, TZaznamZmen &&Zaznam, bool bVratitelne, qsizetype Pozice);

    // What the user puts in as the document is to keep it: the characters it
    // would take for breaks and those that now stand for another under
    // stand-ins of their own; with bZlomy, CR LF, a lone CR and a lone LF as
    // line breaks. Nothing when no stand-in is left.
    std::optional<QString> ProDokument(const QString &Vkladany, bool bZlomy);
    // Code units the user's edit put into the document: never a stand-in.
    void Videl(QStringView Vlozeny);

    bool Modified() const { return FModified; }
    void SetModified(bool Hodnota) { FModified = Hodnota; }

private:
    static TPodoba PodobaDo(const QString &Text, QString *Misto, const std::function<bool()> &Krok);
    template <typename F> bool ProjdiText(qsizetype Od, qsizetype Do, QStringView Zlom, F &&Kus) const;
    template <typename F> bool ProjdiDokument(F &&Kus) const;
    qsizetype DelkaPrevodu(qsizetype Od, qsizetype Do, qsizetype DelkaZlomu) const;
    bool JeSurovyText(const QString &Surovy) const;
    QList<qsizetype> PoziceDilku() const;
    void Zobraz(TPodoba Podoba);

    TDokumentTextu &FDokument;
    QList<TZastupce> FZastupci;
    bool bSdruzene = false; // U+2028 in the document is a line break of the text
    bool bDilky = false;    // the document holds separators that continue a line
    std::unique_ptr<TVidene> FVidene;
    // After a replacement that kept the length of the document's string (a
    // conversion): the code units it changed, and the shape the text had.
    struct TZmeny {
        qsizetype Delka;    // of the document's string after the replacement
        size_t Otisk;       // its hash (PridejOtisk): the changes only ever go back onto that string
        QByteArray Odstupy; // from one changed position to the next, 7 bits a byte
        QByteArray Puvodni; // what each changed code unit was, two bytes each
        QList<qsizetype> Dilky;
        QList<TZastupce> Zastupci;
        bool bSdruzene;
        std::unique_ptr<TVidene> Videne;
    };
    struct TZpet {
        QString Text; // the whole text, unless Zmeny is set
        bool bSurovy; // as SurovyText() gave it
        qsizetype Pozice;
        std::unique_ptr<TZmeny> Zmeny;
    };
    std::unique_ptr<TZmeny> Zmeny(const QString &NovyDokument, bool *bStejne = nullptr) const;
    static std::unique_ptr<TZmeny> ZmenyZaznamu(TZaznamZmen &&Zaznam);
    std::unique_ptr<TZmeny> DoplnZmeny(std::unique_ptr<TZmeny> Zmeny, const QString &NovyDokument,
                                       bool bOtisk = true) const;
    bool NastavPrevedenyTvar(const QString &Surovy, std::unique_ptr<TZmeny> Zmeny, bool bZnameZmeny, bool bVratitelne,
                             qsizetype Pozice);
    template <typename F> static void ProjdiZmeny(const TZmeny &Zmeny, F &&Kus);
    void PripravZpet(bool bVratitelne, qsizetype Pozice, const QString *NovyDokument = nullptr, bool bSurovy = false,
                     std::unique_ptr<TZmeny> Nalezene = nullptr);
    std::optional<TZpet> FZpet;
    bool FModified = false;
};
