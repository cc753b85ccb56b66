#include "JazykyXML.h"

#include "Chyba.h"

TJazykXML *JazykXML = nullptr;

QDomElement TJazykXML::Koren() const
{
    if (!FDokument)
        throw EChyba(QStringLiteral("No language document is loaded"));
    return FDokument->DokumentovyPrvek();
}

QString TJazykXML::Retezec(const QString &Formular, const QString &Objekt, const QString &Zakladni)
{
    FJazykUzel = Potomek(Potomek(Koren(), Formular), Objekt);
    const QString text = TextUzlu(Potomek(FJazykUzel, FJazyk));
    return text.isEmpty() ? Zakladni : text;
}

QString TJazykXML::TextNeboOtaznik(const QString &Jmeno) const
{
    const QString text = TextUzlu(Potomek(Koren(), Jmeno));
    return text.isEmpty() ? QStringLiteral("?") : text;
}

QString TJazykXML::AutorJazyka() const
{
    return TextNeboOtaznik(QStringLiteral("AUTOR"));
}

QString TJazykXML::VerzeJazyka() const
{
    return TextNeboOtaznik(QStringLiteral("VERZE"));
}

int TJazykXML::IndexJazyka() const
{
    const QDomElement jazyk = Potomek(Potomek(Koren(), QStringLiteral("JAZYKY")), FJazyk);
    if (jazyk.isNull())
        throw EChyba(QStringLiteral("The language file does not list the language \"%1\"").arg(FJazyk));
    const QString index = AtributUzlu(jazyk, QStringLiteral("index"));
    if (index.isNull())
        throw EChyba(QStringLiteral("The language \"%1\" has no flag index").arg(FJazyk));
    bool bCislo = false;
    const int cislo = index.toInt(&bCislo, 10);
    if (!bCislo)
        throw EChyba(QStringLiteral("The flag index \"%1\" of the language \"%2\" is not a whole number")
                         .arg(index, FJazyk));
    return cislo >= 0 ? cislo : -1;
}
