#include "XMLDokument.h"

#include "Chyba.h"
#include "Soubor.h"

#include <QCoreApplication>
#include <QDir>

namespace {

// A language file is a few hundred kilobytes; the parsed document takes many
// times its size, so a file far beyond any real one is refused before it is
// parsed rather than left to exhaust the memory.
constexpr qint64 NejvetsiSoubor = 64 * 1024 * 1024;

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

TXMLDokument::TXMLDokument(QObject *Vlastnik) : QObject(Vlastnik) {}

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
    // A document that fails to parse keeps what was read before the fault, so
    // nothing of it is kept.
    if (!dokument.setContent(bajty, &zprava, &radek, &sloupec))
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
