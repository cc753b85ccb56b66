// The language engine and its document: text lookup with every fallback, the
// flag index, the document's author and version, and the loading of the
// language file (encodings, whitespace between elements, parse errors, once
// per run, and lookups that leave the document as the file has it).

#include "Chyba.h"
#include "JazykyXML.h"
#include "Prostredi.h"
#include "XMLDokument.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A language file as a translator keeps it: indented, wrapped, with comments,
// and with every kind of entry the lookups have to tell apart.
const QString Soubor = uR"xml(<?xml version="1.0" encoding="UTF-8"?>
<!-- Lumarin: a language file for the tests -->
<trelo>
  <JAZYKY>
    <CZ index="0">
      <Nazev>Čeština</Nazev>
      <Verze>1.0</Verze>
      <Autor>Lumarin</Autor>
    </CZ>
    <!-- the languages below are here for their flag indexes -->
    <EN index="1"><N>English</N><V>1.0</V><A>Lumarin</A></EN>
    <SK index="-5"/>
    <DE index="3"/>
    <FR/>
    <ES index="x1"/>
    <IT index=""/>
    <PL index="99999999999"/>
  </JAZYKY>
  <HlavniForm>
    <HlavniForm>
      <EN>Lumarin (English)</EN>
    </HlavniForm>
    <aNovy>
      <EN>New</EN>
    </aNovy>
    <aOtevrit>
      <CZ>&amp;Otevřít&#x2026;</CZ>
      <EN></EN>
      <DE/>
      <SK>   </SK>
    </aOtevrit>
    <aUlozit><CZ><![CDATA[<Uložit> & "víc"]]></CZ></aUlozit>
    <aKonec>
      <CZ><b>Konec</b></CZ>
    </aKonec>
    <aZpet><CZ>Zpět<!-- poznámka --></CZ></aZpet>
    <aPismo><CZ><!-- jen poznámka --></CZ></aPismo>
    <aJazyk><CZ>Ja<![CDATA[zyk]]></CZ></aJazyk>
    <aZnaky><CZ>Zna<i>k</i>y</CZ></aZnaky>
  </HlavniForm>
  <Obecne>
    <rsCHYBA>
      <CZ>Chyba</CZ>
      <EN>Error</EN>
    </rsCHYBA>
  </Obecne>
  <AUTOR>Jan Novák</AUTOR>
</trelo>
)xml"_s;

const QString Vychozi = u"Výchozí text"_s;

void ZapisSoubor(const QByteArray &Bajty, const QString &Nazev = u"trelo.xml"_s)
{
    QFile f(Nazev);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(Bajty), Bajty.size());
}

// The message of the EChyba that Akce throws; empty when it throws none.
template <typename F> QString Chyba(F &&Akce)
{
    try {
        Akce();
    } catch (const EChyba &e) {
        return e.Zprava().isEmpty() ? u"<empty message>"_s : e.Zprava();
    }
    return {};
}

// The language file in a temporary working folder, loaded and handed to an
// engine.
struct TJazyk {
    explicit TJazyk(const QByteArray &Obsah = Soubor.toUtf8())
    {
        ZapisSoubor(Obsah);
        Dokument.Aktivuj();
        Engine.NastavDokument(&Dokument);
    }
    TProstredi Prostredi;
    TXMLDokument Dokument;
    TJazykXML Engine;
};

QByteArray JednaZprava(const QByteArray &Deklarace, const QByteArray &Text)
{
    return Deklarace + "<trelo>\n  <Obecne>\n    <rsCHYBA>\n      <CZ>" + Text +
        "</CZ>\n    </rsCHYBA>\n  </Obecne>\n</trelo>\n";
}

const QString Pangram = u"Příliš žluťoučký kůň úpěl ďábelské ódy"_s;

} // namespace

class TestJazyk : public QObject {
    Q_OBJECT

private slots:
    void Zacatek()
    {
        const TJazykXML jazyk;
        QCOMPARE(jazyk.Jazyk(), u"CZ"_s);
        QVERIFY(!jazyk.Dokument());
        const TXMLDokument dokument;
        QCOMPARE(dokument.NazevSouboru(), u"trelo.xml"_s);
        QVERIFY(!dokument.Aktivni());
    }

    void Retezec_data()
    {
        QTest::addColumn<QString>("jazyk");
        QTest::addColumn<QString>("formular");
        QTest::addColumn<QString>("objekt");
        QTest::addColumn<QString>("ocekavano");
        QTest::addColumn<QString>("chyba"); // a part of the error; empty: none

        const auto radek = [](const char *Nazev, const QString &Jazyk, const QString &Objekt, const QString &Ocekavano,
                              const QString &Chyba = {}, const QString &Formular = u"HlavniForm"_s) {
            QTest::newRow(Nazev) << Jazyk << Formular << Objekt << Ocekavano << Chyba;
        };
        radek("translation", u"EN"_s, u"aNovy"_s, u"New"_s);
        radek("no element for the language", u"CZ"_s, u"aNovy"_s, Vychozi);
        radek("code in the file's case", u"CZ"_s, u"aOtevrit"_s, u"&Otevřít…"_s);
        radek("code in another case", u"cz"_s, u"aOtevrit"_s, Vychozi);
        radek("empty translation", u"EN"_s, u"aOtevrit"_s, Vychozi);
        radek("empty element", u"DE"_s, u"aOtevrit"_s, Vychozi);
        radek("only whitespace", u"SK"_s, u"aOtevrit"_s, Vychozi);
        radek("missing object", u"EN"_s, u"aKopirovat"_s, Vychozi);
        radek("missing section", u"EN"_s, u"btnOK"_s, Vychozi, {}, u"ZnakyForm"_s);
        radek("form caption under the form's name", u"EN"_s, u"HlavniForm"_s, u"Lumarin (English)"_s);
        radek("CDATA section", u"CZ"_s, u"aUlozit"_s, u"<Uložit> & \"víc\""_s);
        radek("message text", u"EN"_s, u"rsCHYBA"_s, u"Error"_s, {}, u"Obecne"_s);
        radek("child element", u"CZ"_s, u"aKonec"_s, {}, u"\"HlavniForm/aKonec/CZ\""_s);
        radek("text and a comment", u"CZ"_s, u"aZpet"_s, {}, u"\"HlavniForm/aZpet/CZ\""_s);
        radek("only a comment", u"CZ"_s, u"aPismo"_s, {}, u"\"HlavniForm/aPismo/CZ\""_s);
        radek("text and a CDATA section", u"CZ"_s, u"aJazyk"_s, {}, u"\"HlavniForm/aJazyk/CZ\""_s);
        radek("text around an element", u"CZ"_s, u"aZnaky"_s, {}, u"\"HlavniForm/aZnaky/CZ\""_s);
        radek("fault in another language", u"EN"_s, u"aKonec"_s, Vychozi);
    }
    void Retezec()
    {
        QFETCH(QString, jazyk);
        QFETCH(QString, formular);
        QFETCH(QString, objekt);
        QFETCH(QString, ocekavano);
        QFETCH(QString, chyba);
        TJazyk j;
        j.Engine.NastavJazyk(jazyk);
        QString vysledek;
        const QString zprava = Chyba([&] { vysledek = j.Engine.Retezec(formular, objekt, Vychozi); });
        if (chyba.isEmpty()) {
            QVERIFY2(zprava.isEmpty(), qPrintable(zprava));
            QCOMPARE(vysledek, ocekavano);
        } else {
            QVERIFY2(zprava.contains(chyba), qPrintable(zprava));
        }
    }

    void IndexJazyka_data()
    {
        QTest::addColumn<QString>("jazyk");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("chyba");
        QTest::newRow("first flag") << u"CZ"_s << 0 << QString();
        QTest::newRow("second flag") << u"EN"_s << 1 << QString();
        QTest::newRow("negative") << u"SK"_s << -1 << QString();
        QTest::newRow("beyond the flags") << u"DE"_s << 3 << QString();
        QTest::newRow("no attribute") << u"FR"_s << 0 << u"no flag index"_s;
        QTest::newRow("not a number") << u"ES"_s << 0 << u"\"x1\""_s;
        QTest::newRow("empty attribute") << u"IT"_s << 0 << u"not a whole number"_s;
        QTest::newRow("too large") << u"PL"_s << 0 << u"not a whole number"_s;
        QTest::newRow("code in another case") << u"cz"_s << 0 << u"does not list the language \"cz\""_s;
        QTest::newRow("not listed") << u"NL"_s << 0 << u"does not list the language \"NL\""_s;
    }
    void IndexJazyka()
    {
        QFETCH(QString, jazyk);
        QFETCH(int, index);
        QFETCH(QString, chyba);
        TJazyk j;
        j.Engine.NastavJazyk(jazyk);
        int vysledek = -2;
        const QString zprava = Chyba([&] { vysledek = j.Engine.IndexJazyka(); });
        if (chyba.isEmpty()) {
            QVERIFY2(zprava.isEmpty(), qPrintable(zprava));
            QCOMPARE(vysledek, index);
        } else {
            QVERIFY2(zprava.contains(chyba), qPrintable(zprava));
            QCOMPARE(vysledek, -2);
        }
    }

    void AutorVerze_data()
    {
        QTest::addColumn<QByteArray>("obsah");
        QTest::addColumn<QString>("autor");
        QTest::addColumn<QString>("verze");
        QTest::newRow("both") << QByteArray("<t><VERZE>2.1</VERZE><AUTOR>Jan Nov\xC3\xA1k</AUTOR></t>")
                              << u"Jan Novák"_s << u"2.1"_s;
        QTest::newRow("neither") << QByteArray("<t><JAZYKY/></t>") << u"?"_s << u"?"_s;
        QTest::newRow("empty") << QByteArray("<t><AUTOR/><VERZE>\n  </VERZE></t>") << u"?"_s << u"?"_s;
        QTest::newRow("only the author") << Soubor.toUtf8() << u"Jan Novák"_s << u"?"_s;
    }
    void AutorVerze()
    {
        QFETCH(QByteArray, obsah);
        TJazyk j(obsah);
        QTEST(j.Engine.AutorJazyka(), "autor");
        QTEST(j.Engine.VerzeJazyka(), "verze");
    }

    // The three descriptive children of a language are taken by position;
    // a comment takes a position, whitespace does not.
    void PotomciNaPozici()
    {
        TJazyk j;
        const QDomElement jazyky = Potomek(j.Dokument.DokumentovyPrvek(), u"JAZYKY"_s);
        QCOMPARE(PocetPotomku(jazyky), 9);
        QCOMPARE(PotomekNa(jazyky, 1).nodeType(), QDomNode::CommentNode);
        QCOMPARE(TextUzlu(PotomekNa(jazyky, 1)), u" the languages below are here for their flag indexes "_s);
        const QDomElement cz = Potomek(jazyky, u"CZ"_s);
        QCOMPARE(PocetPotomku(cz), 3);
        QCOMPARE(TextUzlu(PotomekNa(cz, 0)), u"Čeština"_s);
        QCOMPARE(TextUzlu(PotomekNa(cz, 2)), u"Lumarin"_s);
        for (const int pozice : {3, -1}) {
            const QString zprava = Chyba([&] { PotomekNa(cz, pozice); });
            QVERIFY2(zprava.contains(u"\"JAZYKY/CZ\""_s) && zprava.contains(QString::number(pozice)),
                     qPrintable(zprava));
        }
        QVERIFY(AtributUzlu(Potomek(jazyky, u"FR"_s), u"index"_s).isNull());
        const QString prazdny = AtributUzlu(Potomek(jazyky, u"IT"_s), u"index"_s);
        QVERIFY(!prazdny.isNull() && prazdny.isEmpty());
    }

    // Lookups of what the file does not have leave the document as it was, so
    // that a listing of its languages meets only the file's own.
    void HledaniNemeniDokument()
    {
        TJazyk j;
        const QString pred = j.Dokument.Dokument().toString(-1);
        j.Engine.NastavJazyk(u"NL"_s);
        QCOMPARE(j.Engine.Retezec(u"HlavniForm"_s, u"aNovy"_s, Vychozi), Vychozi);
        QCOMPARE(j.Engine.Retezec(u"HlavniForm"_s, u"aKopirovat"_s, Vychozi), Vychozi);
        QCOMPARE(j.Engine.Retezec(u"ZnakyForm"_s, u"btnOK"_s, Vychozi), Vychozi);
        QVERIFY(!Chyba([&] { j.Engine.IndexJazyka(); }).isEmpty());
        QCOMPARE(j.Engine.VerzeJazyka(), u"?"_s);
        QCOMPARE(j.Dokument.Dokument().toString(-1), pred);
        QCOMPARE(PocetPotomku(Potomek(j.Dokument.DokumentovyPrvek(), u"JAZYKY"_s)), 9);
    }

    void Kodovani_data()
    {
        QTest::addColumn<QByteArray>("obsah");
        const QByteArray utf8 = Pangram.toUtf8();
        // The same text in windows-1250 bytes, written out so that they do not
        // depend on the encoder under test.
        const QByteArray cp1250("P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2 \xFAp\xECl \xEF\xE1"
                                "belsk\xE9 \xF3"
                                "dy");
        QTest::newRow("UTF-8 declared") << JednaZprava("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", utf8);
        QTest::newRow("UTF-8 with a mark")
            << JednaZprava("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", utf8);
        QTest::newRow("UTF-8 with a mark, no declaration") << JednaZprava("\xEF\xBB\xBF", utf8);
        QTest::newRow("UTF-8, no declaration") << JednaZprava({}, utf8);
        QTest::newRow("windows-1250") << JednaZprava("<?xml version=\"1.0\" encoding=\"windows-1250\"?>\r\n", cp1250);
        QTest::newRow("windows-1250 in capitals")
            << JednaZprava("<?xml version='1.0' encoding='WINDOWS-1250' standalone='yes'?>\r\n", cp1250);
        // Another 8-bit encoding, whose š, ž and ť are not windows-1250's bytes.
        QTest::newRow("ISO-8859-2") << JednaZprava("<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>\n",
                                                   "P\xF8\xEDli\xB9 \xBElu\xBBou\xE8k\xFD k\xF9\xF2 \xFAp\xECl \xEF\xE1"
                                                   "belsk\xE9 \xF3"
                                                   "dy");
        QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        QTest::newRow("UTF-16 with a mark") << QByteArray(
            utf16.encode(QString::fromUtf8(JednaZprava("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n", utf8))));
    }
    void Kodovani()
    {
        QFETCH(QByteArray, obsah);
        TJazyk j(obsah);
        QCOMPARE(j.Engine.Retezec(u"Obecne"_s, u"rsCHYBA"_s, Vychozi), Pangram);
    }

    // A file that cannot be loaded is an error with the parser's message and
    // its place, and leaves the document unloaded; a mended file loads at the
    // next activation.
    void ChybnySoubor_data()
    {
        QTest::addColumn<QByteArray>("obsah"); // null: no file
        QTest::addColumn<QString>("chyba");    // a regular expression
        QTest::newRow("tags that do not match")
            << QByteArray("<trelo>\n  <JAZYKY>\n    <CZ index=\"0\">\n  </JAZYKY>\n</trelo>\n")
            << u"^Cannot load file \"trelo.xml\". Line 4, column \\d+: \\S"_s;
        QTest::newRow("unknown encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"x-nic\"?>\n<trelo/>\n")
                                          << u"Line 1, column \\d+: .*x-nic"_s;
        QTest::newRow("bytes that are not UTF-8")
            << JednaZprava("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", "P\xF8\xEDli\x9A")
            << u"Line \\d+, column \\d+: \\S"_s; // the reader tells the place of its block, not of the byte
        QTest::newRow("two roots") << QByteArray("<a/>\n<b/>\n") << u"Line 2, column \\d+: \\S"_s;
        QTest::newRow("empty file") << QByteArray("") << u"Line \\d+, column \\d+: \\S"_s;
        QTest::newRow("no file") << QByteArray() << u"^Cannot open file \"trelo.xml\""_s;
    }
    void ChybnySoubor()
    {
        QFETCH(QByteArray, obsah);
        QFETCH(QString, chyba);
        TProstredi prostredi;
        if (!obsah.isNull())
            ZapisSoubor(obsah);
        TXMLDokument dokument;
        TJazykXML jazyk;
        jazyk.NastavDokument(&dokument);
        const QString zprava = Chyba([&] { dokument.Aktivuj(); });
        QVERIFY2(zprava.contains(QRegularExpression(chyba)), qPrintable(zprava));
        QVERIFY(!dokument.Aktivni());
        QVERIFY(dokument.Dokument().documentElement().isNull());
        QVERIFY(!Chyba([&] { jazyk.Retezec(u"Obecne"_s, u"rsCHYBA"_s, Vychozi); }).isEmpty());

        ZapisSoubor(JednaZprava({}, "Opraveno"));
        dokument.Aktivuj();
        QCOMPARE(jazyk.Retezec(u"Obecne"_s, u"rsCHYBA"_s, Vychozi), u"Opraveno"_s);
    }

    // The file is read once per run: what happens to it on disk afterwards is
    // not seen, also after the language has changed.
    void NacteniJednouZaBeh()
    {
        TJazyk j;
        j.Engine.NastavJazyk(u"EN"_s);
        QCOMPARE(j.Engine.Retezec(u"Obecne"_s, u"rsCHYBA"_s, Vychozi), u"Error"_s);
        ZapisSoubor(QString(Soubor).replace(u"Error"_s, u"Mistake"_s).replace(u"Chyba"_s, u"Omyl"_s).toUtf8());
        j.Dokument.Aktivuj();
        j.Engine.NastavJazyk(u"CZ"_s);
        QCOMPARE(j.Engine.Retezec(u"Obecne"_s, u"rsCHYBA"_s, Vychozi), u"Chyba"_s);
        j.Engine.NastavJazyk(u"EN"_s);
        QCOMPARE(j.Engine.Retezec(u"Obecne"_s, u"rsCHYBA"_s, Vychozi), u"Error"_s);
        QVERIFY(QFile::remove(u"trelo.xml"_s));
        j.Dokument.Aktivuj();
        QVERIFY(j.Dokument.Aktivni());
        QCOMPARE(j.Engine.Retezec(u"Obecne"_s, u"rsCHYBA"_s, Vychozi), u"Error"_s);
    }

    // The bare name is found in the working folder of the moment of loading,
    // not of the moment the document was made.
    void SouborZPracovniSlozky()
    {
        TProstredi prostredi;
        ZapisSoubor(JednaZprava({}, "Prvn\xC3\xAD"));
        TXMLDokument dokument;
        QVERIFY(QDir().mkpath(prostredi.Cesta(u"jinde"_s)));
        QVERIFY(QDir::setCurrent(prostredi.Cesta(u"jinde"_s)));
        ZapisSoubor(JednaZprava({}, "Druh\xC3\xBD"));
        dokument.Aktivuj();
        QCOMPARE(TextUzlu(PotomekNa(PotomekNa(PotomekNa(dokument.DokumentovyPrvek(), 0), 0), 0)), u"Druhý"_s);
    }

    // Without a loaded document a lookup is an error, never a crash: before
    // the document is handed over, while it is not loaded, and after it is
    // gone.
    void BezDokumentu()
    {
        TProstredi prostredi;
        TJazykXML jazyk;
        const auto hledej = [&] { jazyk.Retezec(u"Obecne"_s, u"rsCHYBA"_s, Vychozi); };
        QVERIFY(!Chyba(hledej).isEmpty());
        auto dokument = std::make_unique<TXMLDokument>();
        jazyk.NastavDokument(dokument.get());
        QVERIFY(!Chyba(hledej).isEmpty());
        QVERIFY(!Chyba([&] { jazyk.IndexJazyka(); }).isEmpty());
        QVERIFY(!Chyba([&] { jazyk.AutorJazyka(); }).isEmpty());
        ZapisSoubor(JednaZprava({}, "Chyba"));
        dokument->Aktivuj();
        QCOMPARE(jazyk.Retezec(u"Obecne"_s, u"rsCHYBA"_s, Vychozi), u"Chyba"_s);
        dokument.reset();
        QVERIFY(!jazyk.Dokument());
        QVERIFY(!Chyba(hledej).isEmpty());
    }
};

QTEST_MAIN(TestJazyk)
#include "tst_jazyk.moc"
