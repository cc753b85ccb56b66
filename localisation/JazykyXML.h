#pragma once
// The language engine: the code of the current language and the texts of the
// language document.
//
// The document is the main window's: the engine only refers to it and reads
// it, walking down from its root at every call (nothing is cached, so a
// language change takes effect at the next lookup). Errors pass to the caller
// as EChyba: a text element that holds more than text, a language without a
// usable flag index, or a lookup while no document is loaded.

#include "XMLDokument.h"

#include <QDomElement>
#include <QPointer>
#include <QString>

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

private:
    QDomElement Koren() const;
    QString TextNeboOtaznik(const QString &Jmeno) const;

    QString FJazyk = QStringLiteral("CZ");
    QPointer<TXMLDokument> FDokument;
    QDomElement FJazykUzel; // the object element the last Retezec reached
};

// The global instance, alive for the whole run.
extern TJazykXML *JazykXML;
