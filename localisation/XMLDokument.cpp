#include "XMLDokument.h"

#include "Chyba.h"
#include "KodovaStranka.h"
#include "Soubor.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <optional>

namespace {

// A language file is a few hundred kilobytes; the parsed document takes many
// times its size, so a file far beyond any real one is refused before it is
// parsed rather than left to exhaust the memory.
constexpr qint64 NejvetsiSoubor = 64 * 1024 * 1024;

// What the parser is never given, as no language file holds it and a small
// file of it would hold the window for minutes or take gigabytes: declared
// entities (a few lines of them that refer to each other expand to billions
// of characters), elements nested deeper than NejvetsiHloubka (the parser's
// time grows with the cube of the depth: 20,000 levels take it minutes), an
// element with more than NejviceAtributu attributes (the time grows with the
// square of their number), and more than NejviceUzlu elements, comments and
// the like (each takes a few hundred bytes once parsed). A language file has
// four levels, one attribute and a few thousand nodes.
constexpr int NejvetsiHloubka = 64;
constexpr int NejviceAtributu = 32;
constexpr qsizetype NejviceUzlu = 200000;

// The encoding that the XML declaration at the very start of Bajty names, as
// it stands; empty where there is none.
QByteArray DeklarovaneKodovani(const QByteArray &Bajty)
{
    if (!Bajty.startsWith("<?xml"))
        return {};
    const qsizetype konec = Bajty.indexOf("?>");
    const QByteArray deklarace = Bajty.left(konec < 0 ? 0 : konec);
    qsizetype i = deklarace.indexOf("encoding");
    if (i < 0)
        return {};
    i += 8;
    while (i < deklarace.size() &&
           (deklarace[i] == ' ' || deklarace[i] == '\t' || deklarace[i] == '\r' || deklarace[i] == '\n' ||
            deklarace[i] == '='))
        ++i;
    if (i >= deklarace.size() || (deklarace[i] != '"' && deklarace[i] != '\''))
        return {};
    const qsizetype zaver = deklarace.indexOf(deklarace[i], i + 1);
    return zaver < 0 ? QByteArray() : deklarace.mid(i + 1, zaver - i - 1);
}

// The file's text as the parser reads it: a byte-order mark (or UTF-16 and
// UTF-32 told by their first "<") decides the encoding, else the one the XML
// declaration names, else UTF-8. Bytes the encoding cannot read are replaced
// (bChyba); nothing when the declaration names an encoding that is not known,
// or is itself at fault.
std::optional<QString> TextSouboru(const QByteArray &Bajty, bool &bChyba)
{
    QStringDecoder dekoder;
    if (const auto kodovani = QStringConverter::encodingForData(Bajty, u'<')) {
        dekoder = QStringDecoder(*kodovani);
    } else {
        // The first token is the declaration, also where the file has none.
        QXmlStreamReader deklarace(Bajty);
        deklarace.readNext();
        if (deklarace.hasError()) {
            // An encoding the toolkit does not know may still be one of the
            // system's code pages (windows-1250 where Qt has no ICU).
            if (const auto text = DekodujKodovouStrankou(DeklarovaneKodovani(Bajty), Bajty, bChyba))
                return text;
            return std::nullopt; // else the parser says what is wrong
        }
        const QByteArray nazev = deklarace.documentEncoding().toLatin1();
        dekoder = nazev.isEmpty() ? QStringDecoder(QStringConverter::Utf8) : QStringDecoder(nazev.constData());
        if (!dekoder.isValid())
            if (const auto text = DekodujKodovouStrankou(nazev, Bajty, bChyba))
                return text;
    }
    if (!dekoder.isValid())
        return std::nullopt;
    QString text = dekoder.decode(Bajty);
    bChyba = dekoder.hasError();
    return text;
}

// Why the text is beyond what a language file can be, with its line and
// column; empty when it is not. One pass that knows of markup only what the
// limits need: a replaced byte is never "<", "=", ">" or a quote, so a text
// with some is measured as the parser sees it up to its fault.
QString Prekroceni(QStringView Text, int &Radek, int &Sloupec)
{
    const qsizetype n = Text.size();
    const auto za = [&](qsizetype Od, QStringView Konec) {
        const qsizetype k = Text.indexOf(Konec, Od);
        return k < 0 ? n : k + Konec.size();
    };
    QString duvod;
    qsizetype i = 0;
    for (int hloubka = 0, uzlu = 0; i < n && duvod.isEmpty(); ++i) {
        if (Text[i] != u'<')
            continue;
        const QStringView znacka = Text.sliced(i);
        if (znacka.startsWith(u"<!--")) {
            i = za(i + 4, u"-->") - 1;
        } else if (znacka.startsWith(u"<![CDATA[")) {
            i = za(i + 9, u"]]>") - 1;
        } else if (znacka.startsWith(u"<?")) {
            i = za(i + 2, u"?>") - 1;
        } else if (znacka.startsWith(u"<!ENTITY")) {
            duvod = QStringLiteral("The file declares entities, which a language file may not");
            break;
        } else if (znacka.startsWith(u"<!")) {
            continue; // the document type and its other declarations
        } else if (znacka.startsWith(u"</")) {
            hloubka = qMax(0, hloubka - 1);
            i = za(i + 2, u">") - 1;
            continue;
        } else {
            // A start tag: its attributes are its "=" outside quoted values.
            int atributu = 0;
            QChar uvozovka;
            qsizetype k = i + 1;
            for (; k < n; ++k) {
                const QChar c = Text[k];
                if (!uvozovka.isNull())
                    uvozovka = c == uvozovka ? QChar() : uvozovka;
                else if (c == u'"' || c == u'\'')
                    uvozovka = c;
                else if (c == u'=')
                    ++atributu;
                else if (c == u'>')
                    break;
            }
            if (atributu > NejviceAtributu) {
                duvod = QStringLiteral("An element has more than %1 attributes").arg(NejviceAtributu);
                break;
            }
            if (k >= n || Text[k - 1] != u'/')
                if (++hloubka > NejvetsiHloubka) {
                    duvod = QStringLiteral("Elements are nested more than %1 deep").arg(NejvetsiHloubka);
                    break;
                }
            i = k;
        }
        if (++uzlu > NejviceUzlu)
            duvod = QStringLiteral("The file has more than %1 elements, comments and other nodes").arg(NejviceUzlu);
    }
    if (duvod.isEmpty())
        return {};
    const QStringView pred = Text.left(qMin(i, n));
    Radek = int(pred.count(u'\n')) + 1;
    Sloupec = int(pred.size() - (pred.lastIndexOf(u'\n') + 1)) + 1;
    return duvod;
}

// Where an element stands below the root, as "HlavniForm/aNovy/CZ", so that an
// error tells which of the many "CZ" elements it means.
QString CestaPrvku(const QDomNode &Uzel)
{
    QStringList jmena;
    for (QDomNode n = Uzel; !n.isNull() && n.parentNode().isElement(); n = n.parentNode())
        jmena.prepend(n.nodeName());
    return jmena.isEmpty() ? Uzel.nodeName() : jmena.join(QLatin1Char('/'));
}

} // namespace

TXMLDokument::TXMLDokument(QObject *Vlastnik) : QObject(Vlastnik) { }

QString TXMLDokument::NazevSouboru() const
{
    if (ExistujeSoubor(FNazevSouboru) || !QCoreApplication::instance())
        return FNazevSouboru;
    const QString program = QCoreApplication::applicationDirPath();
    for (const QString &slozka : {program, QDir::cleanPath(program + QStringLiteral("/../share/lumarin"))}) {
        const QString cesta = slozka + QLatin1Char('/') + FNazevSouboru;
        if (ExistujeSoubor(cesta))
            return cesta;
    }
    return FNazevSouboru;
}

void TXMLDokument::Aktivuj()
{
    if (FAktivni)
        return;
    const QString nazev = NazevSouboru();
    const QByteArray bajty = NactiBajty(nazev, NejvetsiSoubor);
    QDomDocument dokument;
    QString zprava;
    int radek = 0;
    int sloupec = 0;
    // The parser reads the very text the limits were checked on; where the
    // text has bytes its encoding cannot read, it reads the bytes, so that
    // it stops at the first of them and says where.
    bool bChyba = false;
    const std::optional<QString> text = TextSouboru(bajty, bChyba);
    if (text)
        zprava = Prekroceni(*text, radek, sloupec);
    // A document that fails to parse keeps what was read before the fault, so
    // nothing of it is kept.
    if (!zprava.isEmpty() ||
        !(text && !bChyba ? dokument.setContent(*text, &zprava, &radek, &sloupec)
                          : dokument.setContent(bajty, &zprava, &radek, &sloupec)))
        throw EChyba(QStringLiteral("Cannot load file \"%1\". Line %2, column %3: %4")
                         .arg(nazev)
                         .arg(radek)
                         .arg(sloupec)
                         .arg(zprava));
    FDokument = dokument;
    FAktivni = true;
}

QDomElement TXMLDokument::DokumentovyPrvek() const
{
    if (!FAktivni)
        throw EChyba(QStringLiteral("The language document \"%1\" is not loaded").arg(FNazevSouboru));
    return FDokument.documentElement();
}

QDomElement Potomek(const QDomNode &Uzel, const QString &Jmeno)
{
    for (QDomNode n = Uzel.firstChild(); !n.isNull(); n = n.nextSibling())
        if (n.isElement() && n.nodeName() == Jmeno)
            return n.toElement();
    return {};
}

int PocetPotomku(const QDomNode &Uzel)
{
    return int(Uzel.childNodes().count());
}

QDomNode PotomekNa(const QDomNode &Uzel, int Pozice)
{
    const QDomNodeList potomci = Uzel.childNodes();
    if (Pozice < 0 || Pozice >= potomci.count())
        throw EChyba(QStringLiteral("Element \"%1\" has no child node at position %2: it has %3")
                         .arg(CestaPrvku(Uzel))
                         .arg(Pozice)
                         .arg(potomci.count()));
    return potomci.item(Pozice);
}

QString TextUzlu(const QDomNode &Uzel)
{
    if (Uzel.isNull())
        return {};
    if (!Uzel.isElement())
        return Uzel.nodeValue();
    const QDomNode prvni = Uzel.firstChild();
    if (prvni.isNull())
        return {};
    // The parser gives one node for a run of text, entity and character
    // references included; a CDATA section beside text is a second node.
    const bool bText = prvni.nodeType() == QDomNode::TextNode || prvni.nodeType() == QDomNode::CDATASectionNode;
    if (!bText || !prvni.nextSibling().isNull())
        throw EChyba(QStringLiteral("Element \"%1\" does not contain a single text node").arg(CestaPrvku(Uzel)));
    return prvni.nodeValue();
}

QString AtributUzlu(const QDomNode &Uzel, const QString &Jmeno)
{
    const QDomElement prvek = Uzel.toElement();
    if (prvek.isNull() || !prvek.hasAttribute(Jmeno))
        return {};
    const QString hodnota = prvek.attribute(Jmeno);
    return hodnota.isNull() ? QStringLiteral("") : hodnota;
}
