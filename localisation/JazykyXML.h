#pragma once
// The language engine: the code of the current language and the texts of the
// language document, the relabelling of whole forms and the listing of the
// document's languages.
//
// The document is the main window's: the engine only refers to it and reads
// it, walking down from its root at every call (nothing is cached, so a
// language change takes effect at the next lookup). Errors pass to the caller
// as EChyba: a text element that holds more than text, a language without a
// usable flag index, or a lookup while no document is loaded.
//
// A form is relabelled from the section named after the form: its caption
// and every component whose Tag is -1, in the form's component order, each
// through the relabel steps of the kinds of control it is (below, in
// RetezceFormulare). Every lookup falls back to the text shown at that moment,
// so a text the file leaves out keeps what the language before gave it.

#include "XMLDokument.h"

#include <QByteArray>
#include <QDomElement>
#include <QList>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

class QObject;
class QTreeWidget;
class QWidget;

// The texts that one application of a language sets, all looked up before
// any of them is set, so that a lookup that fails leaves every text as it
// was. A text read through it is the one this application has given it so
// far, else the one shown; Proved then sets them all, in the order in which
// they were first given (a text given twice is set once, to its last value),
// with the steps added by Pridej in their places.
class TNoveTexty {
public:
    // One text of the interface: the thing that holds it, which of its texts
    // (a property's name or the like) and where among several (a column, an
    // item, a cell's row and column), with how it is read and set.
    struct TMisto {
        const void *Objekt = nullptr;
        QByteArray Co;
        int Pozice = 0;
        int Pozice2 = 0;
        std::function<QString()> Cti;
        std::function<void(const QString &)> Nastav;
    };

    QString Text(const TMisto &Misto) const;
    void Nastav(const TMisto &Misto, const QString &Text);
    void Pridej(std::function<void()> Krok);
    void Proved();

private:
    using TKlic = std::tuple<const void *, QByteArray, int, int>;
    struct TZmena {
        QString Text;
        std::function<void(const QString &)> Nastav;
        std::function<void()> Krok;
    };
    std::vector<TZmena> FZmeny;
    std::map<TKlic, size_t> FPoradi;
};

// A property of an object that holds text ("text", "title", "windowTitle",
// a dynamic one such as "Caption"); a hint with its tooltip and status tip;
// a string variable (a message text).
TNoveTexty::TMisto MistoVlastnosti(QObject *Objekt, const char *Vlastnost);
TNoveTexty::TMisto MistoHintu(QObject *Objekt);
TNoveTexty::TMisto MistoRetezce(QString *Retezec);

class TJazykXML {
public:
    TJazykXML() = default;

    // The code of the current language: the element name under which a
    // translation is looked up ("CZ" until the settings or the user change it).
    const QString &Jazyk() const { return FJazyk; }
    void NastavJazyk(const QString &Jazyk) { FJazyk = Jazyk; }

    // The loaded language document, not owned (the main window's); null until
    // the main window hands it over, and again once that document is gone.
    TXMLDokument *Dokument() const { return FDokument; }
    void NastavDokument(TXMLDokument *Dokument) { FDokument = Dokument; }

    // The translation of the text Objekt of section Formular into the current
    // language, or Zakladni when the file has none: a missing section, object
    // or language element and an empty translation all give Zakladni, so the
    // file can never make a text empty. Codes and names match with case.
    QString Retezec(const QString &Formular, const QString &Objekt, const QString &Zakladni);

    // The author and version of the document as a whole; "?" when the file
    // has none or an empty one.
    QString AutorJazyka() const;
    QString VerzeJazyka() const;

    // The flag of the current language: its "index" attribute under JAZYKY,
    // -1 (no flag) when negative. A language the file does not list, a missing
    // attribute and one that is not a whole number throw EChyba.
    int IndexJazyka() const;

    // Relabels the form TridaFormulare, whose components, in its order, are
    // Komponenty. The kinds of control, as this program makes them, and what
    // each has relabelled, in this order (a component takes every step whose
    // kind it is; "name" is its object name; hint is the hint rule below):
    //   1 every widget except a menu: hint
    //   2 push button without an icon: caption, hint
    //   3 label: caption, hint
    //   4 menu (QMenu): title
    //   5 action: caption and hint by the action rule below
    //   6 group box: title
    //   7 page of a tab widget: its tab's text
    //   8 list view (QTreeWidget): a hint that is not empty becomes "|" and
    //     lookup(name); then each column whose Tag is -1: lookup(name + its
    //     position from 0 among all columns)
    //   9 tool button: caption, hint
    //  10 radio group (a group box with the property RadioGroup on): title,
    //     hint, then its radio buttons' texts, lookup(name + position)
    //  11 check box: caption
    //  12 panel (a plain QFrame, whose caption is its property Caption): caption
    //  13 combo box: each item, lookup(name + position)
    //  14 value list editor (QTableWidget): a hint that is not empty becomes
    //     "|" and lookup(name + "-H"); the two column titles, lookup(name +
    //     "-K") and lookup(name + "-V"); each line "key=value", lookup(name +
    //     position), cut again at its first "="
    //  15 radio button: caption
    //  16 check list box (QListWidget): hint, then each item, lookup(name +
    //     position)
    //  17 push button with an icon (a button with a picture): caption, hint
    // The hint rule leaves an empty hint empty; otherwise r = lookup(name +
    // "-H") gives "r|" while the component shows hints (its property ShowHint
    // is not false: r is the tooltip) and "|r" while it does not (r only in
    // the status line). The action rule: caption = lookup(name); r =
    // lookup(name + "-H"); a translation that ends in "|" is the whole hint,
    // else the hint is caption + "|" + r.
    // The separator that an earlier run (or an earlier step of this one)
    // added is taken off a hint before it serves as the default of its
    // lookup, so hints do not grow a "|" at every language change; with a
    // translation for every key this changes nothing.
    // The form's texts are looked up first and set only when every lookup
    // has succeeded; with Texty they are only given to Texty, to be set with
    // the other texts of one application of the language.
    void RetezceFormulare(QWidget *TridaFormulare, const QList<QObject *> &Komponenty);
    void RetezceFormulare(QWidget *TridaFormulare, const QList<QObject *> &Komponenty, TNoveTexty &Texty);
    template <typename TFormular> void RetezceFormulare(TFormular *TridaFormulare)
    {
        RetezceFormulare(TridaFormulare, TridaFormulare->Komponenty);
    }
    template <typename TFormular> void RetezceFormulare(TFormular *TridaFormulare, TNoveTexty &Texty)
    {
        RetezceFormulare(TridaFormulare, TridaFormulare->Komponenty, Texty);
    }

    // Fills Seznam (a list view of at least four columns) with the languages
    // under JAZYKY, one row for each element among its children (comments
    // and other nodes are skipped): the caption is the element's name, the
    // columns after it the texts of its first, second and third child node
    // (name, version, author, by position whatever their names), the row's
    // image index its attribute "index". A code listed again (the same name,
    // with case) gives no second row: the first element of a code is the one
    // its flag is taken from. Then the first row whose caption is the current
    // code, without regard to case, is selected. A language whose children or
    // index cannot be read throws EChyba naming it; the rows before it stay.
    void SeznamJazyku(QTreeWidget *Seznam);
    // The same for a file whose language elements hold their name as text:
    // the columns are that text and the document's version and author.
    void SeznamDelenychJazyku(QTreeWidget *Seznam);

    // What the document's JAZYKY lists more than once: for every code given
    // again, where (line and column) it stands first and again, and that the
    // first is used; empty when every code is listed once.
    QString ZdvojeneJazyky() const;

    // When set, called with the section, key and default of every lookup
    // before it is made: what the program asks the language file for, as it
    // runs.
    std::function<void(const QString &Formular, const QString &Objekt, const QString &Zakladni)> PriHledani;

private:
    void PridejJazyky(QTreeWidget *Seznam, bool bDelene);
    QDomElement Koren() const;
    QString TextNeboOtaznik(const QString &Jmeno) const;

    QString FJazyk = QStringLiteral("CZ");
    QPointer<TXMLDokument> FDokument;
    QDomElement FJazykUzel; // the object element the last Retezec reached
};

// The global instance, alive for the whole run.
extern TJazykXML *JazykXML;
