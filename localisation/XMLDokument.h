#pragma once
// The language document: the XML file the main window loads once per run and
// the language engine reads, and the few ways of walking its nodes that the
// engine uses.
//
// The file is only read, never written. Whitespace-only text nodes are dropped
// when it is loaded, so the line breaks and indentation between elements are
// not nodes; comments stay and take a position among their siblings. The
// character encoding is the one the file's XML declaration names (windows-1250
// included); without a declaration it is UTF-8, or UTF-16 by its mark.
//
// A file beyond what a language file can be is refused with a message, as a
// file that cannot be parsed is, before it is parsed: one that declares
// entities (which could expand to gigabytes), nests elements more than 64
// deep, gives an element more than 32 attributes or holds more than 200,000
// elements, comments and the like.
//
// Looking a child up by name never adds anything to the document: a missing
// element is a null node, whose text is empty. So the document in memory stays
// the file's, and a listing of its languages never meets an element that the
// file does not have.

#include <QDomDocument>
#include <QObject>
#include <QString>

class TXMLDokument : public QObject {
    Q_OBJECT
public:
    explicit TXMLDokument(QObject *Vlastnik = nullptr);

    // The file as the document reads it. The bare name is looked for in the
    // working folder first; when that has none, in the program's data
    // folders: beside the executable (a build tree), then share/lumarin above
    // it (an installation), so that a program started from the desktop's menu,
    // whose working folder is the home folder, still finds its file. The bare
    // name when none of them has it. Asked again at every call.
    QString NazevSouboru() const;

    // Loads and parses the file the first time; on an active document it does
    // nothing, so the file is read once per run and later changes on disk are
    // not seen. A file that cannot be read or parsed throws EChyba (the
    // parser's message with its line and column) and leaves the document
    // inactive, so a later activation tries again.
    void Aktivuj();
    bool Aktivni() const { return FAktivni; }

    // The root element of the loaded file; EChyba while nothing is loaded.
    QDomElement DokumentovyPrvek() const;
    // The whole loaded document (empty while nothing is loaded).
    const QDomDocument &Dokument() const { return FDokument; }

private:
    QString FNazevSouboru = QStringLiteral("trelo.xml");
    QDomDocument FDokument;
    bool FAktivni = false;
};

// The first child element named Jmeno (names match exactly, with case), or a
// null element when there is none.
QDomElement Potomek(const QDomNode &Uzel, const QString &Jmeno);

// The number of child nodes, and the child at a 0-based position among all of
// them (comments included); a position outside the list throws EChyba.
int PocetPotomku(const QDomNode &Uzel);
QDomNode PotomekNa(const QDomNode &Uzel, int Pozice);

// The text of a node. An element whose only content is one text node or one
// CDATA section gives that text, an empty element (or a null node) the empty
// string; any other content (child elements, a comment, text mixed with
// either) throws EChyba naming the element. Any other kind of node gives its
// own value.
QString TextUzlu(const QDomNode &Uzel);

// The attribute's value; a null string when the element has no such attribute
// (an empty value is an empty string that is not null).
QString AtributUzlu(const QDomNode &Uzel, const QString &Jmeno);
