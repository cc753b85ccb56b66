// The pair table, the diacritics removal and the message texts.

#include "Konverze.h"
#include "convar.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestKonverze : public QObject {
    Q_OBJECT
private slots:
    void vychoziTabulka();
    void nahrazeni_data();
    void nahrazeni();
    void nahodneTextyShodneSPrimymPruchodem();
    void beze_zmenySeTextNekopiruje();
    void vynechanePary_data();
    void vynechanePary();
    void zpravoveTexty();
};

void TestKonverze::vychoziTabulka()
{
    QCOMPARE(VychoziZnakySeZnamenkem.size(), 66);
    QCOMPARE(VychoziZnakyBezZnamenka.size(), 66);
    for (qsizetype i = 0; i < 66; ++i) {
        const QChar c = VychoziZnakySeZnamenkem.at(i);
        QVERIFY2(VychoziZnakySeZnamenkem.indexOf(c) == i, "a character stands twice in the first list");
        QVERIFY(!c.isSurrogate());
        QCOMPARE(QString(c).normalized(QString::NormalizationForm_C), QString(c));
        QVERIFY(c.decompositionTag() == QChar::Canonical);
        QCOMPARE(QString(c).normalized(QString::NormalizationForm_D).at(0), VychoziZnakyBezZnamenka.at(i));
    }
    QCOMPARE(VychoziZnakySeZnamenkem.mid(33), VychoziZnakySeZnamenkem.left(33).toUpper());
    QCOMPARE(VychoziZnakyBezZnamenka.mid(33), VychoziZnakyBezZnamenka.left(33).toUpper());
}

void TestKonverze::nahrazeni_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hledane");
    QTest::addColumn<QString>("nahrady");
    QTest::addColumn<QString>("vysledek");
    const QString d = VychoziZnakySeZnamenkem, b = VychoziZnakyBezZnamenka;
    QTest::newRow("věta") << u"Žluťoučký kůň úpěl"_s << d << b << u"Zlutoucky kun upel"_s;
    QTest::newRow("velká") << u"ČŘ"_s << d << b << u"CR"_s;
    QTest::newRow("Łódź") << u"Łódź"_s << d << b << u"Łodz"_s;
    QTest::newRow("rozložené písmeno") << u"e\u030C"_s << d << b << u"e\u030C"_s;
    QTest::newRow("mimo BMP") << u"a😀é"_s << d << b << u"a😀e"_s;
    QTest::newRow("zalomení a nbsp") << u"ě\r\nš\u00A0ř\t"_s << d << b << u"e\r\ns\u00A0r\t"_s;
    QTest::newRow("jen jednou") << u"ab"_s << u"ab"_s << u"bc"_s << u"bc"_s;
    QTest::newRow("první výskyt") << u"a a"_s << u"aa"_s << u"xy"_s << u"x x"_s;
    QTest::newRow("velikost písmen") << u"aA"_s << u"a"_s << u"x"_s << u"xA"_s;
    QTest::newRow("krátké náhrady") << u"abc"_s << u"abc"_s << u"x"_s << u"xbc"_s;
    QTest::newRow("první výskyt rozhoduje") << u"ba"_s << u"aba"_s << u"xy"_s << u"yx"_s;
    QTest::newRow("první výskyt za náhradami") << u"cb"_s << u"abcc"_s << u"xyzw"_s.left(2) << u"cy"_s;
    QTest::newRow("prázdná tabulka") << u"ěš"_s << QString() << QString() << u"ěš"_s;
    QTest::newRow("prázdný text") << QString() << d << b << QString();
    QTest::newRow("sám na sebe") << u"aě"_s << u"a"_s << u"a"_s << u"aě"_s;
}

void TestKonverze::nahrazeni()
{
    QFETCH(QString, text);
    QFETCH(QString, hledane);
    QFETCH(QString, nahrady);
    QFETCH(QString, vysledek);
    QCOMPARE(NahradZnakyPrimo(text, hledane, nahrady), vysledek);
    QCOMPARE(NahradZnaky(text, hledane, nahrady), vysledek);
    // Long enough for the lookup table.
    QCOMPARE(NahradZnaky(text.repeated(3000), hledane, nahrady), vysledek.repeated(3000));
}

void TestKonverze::nahodneTextyShodneSPrimymPruchodem()
{
    QRandomGenerator nahoda(42);
    // Characters from ASCII, Latin-1, Latin Extended-A, combining marks and surrogates.
    const auto znak = [&nahoda] {
        static const char16_t rozsahy[][2] = {{0x20, 0x7E}, {0xC0, 0x17F}, {0x300, 0x30F}, {0xD800, 0xDFFF}};
        const auto &r = rozsahy[nahoda.bounded(4)];
        return QChar(char16_t(r[0] + nahoda.bounded(r[1] - r[0] + 1)));
    };
    for (int pokus = 0; pokus < 200; ++pokus) {
        QString hledane, nahrady, text;
        for (int i = nahoda.bounded(80); i > 0; --i)
            hledane += znak();
        for (int i = nahoda.bounded(90); i > 0; --i)
            nahrady += znak();
        for (int i = nahoda.bounded(6000); i > 0; --i)
            text += (nahoda.bounded(3) == 0 && !hledane.isEmpty()) ? hledane.at(nahoda.bounded(int(hledane.size())))
                                                                   : znak();
        QCOMPARE(NahradZnaky(text, hledane, nahrady), NahradZnakyPrimo(text, hledane, nahrady));
    }
}

void TestKonverze::beze_zmenySeTextNekopiruje()
{
    const QString text = QStringLiteral("plain ASCII only ").repeated(500);
    QCOMPARE(NahradZnaky(text, VychoziZnakySeZnamenkem, VychoziZnakyBezZnamenka).constData(), text.constData());
    QCOMPARE(NahradZnakyPrimo(text, VychoziZnakySeZnamenkem, VychoziZnakyBezZnamenka).constData(), text.constData());
}

// A string of code units, lone surrogates included.
static QString Jednotky(std::initializer_list<char16_t> Kody)
{
    return QString(reinterpret_cast<const QChar *>(Kody.begin()), qsizetype(Kody.size()));
}

void TestKonverze::vynechanePary_data()
{
    QTest::addColumn<QString>("hledane");
    QTest::addColumn<QString>("nahrady");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("vysledek");
    // The pairs after a dropped one keep their partners.
    QTest::newRow("uprostřed") << Jednotky({u'a', 0xDCE8, u'b'}) << u"xyz"_s << Jednotky({u'a', u'b', 0xDCE8})
                               << Jednotky({u'x', u'z', 0xDCE8});
    QTest::newRow("jen vynechané") << Jednotky({0xDC80, 0xDCFF}) << u"ab"_s << Jednotky({0xDC80, 0xDCFF})
                                   << Jednotky({0xDC80, 0xDCFF});
    QTest::newRow("mimo rozsah") << Jednotky({0xDBFF, 0xDD00}) << u"ab"_s << Jednotky({0xDBFF, 0xDD00}) << u"ab"_s;
    // A pair beyond the end of the replacement list stays without a partner.
    QTest::newRow("krátké náhrady") << Jednotky({u'a', 0xDC90, u'b', u'c'}) << u"xy"_s << u"abc"_s << u"xbc"_s;
}

void TestKonverze::vynechanePary()
{
    QFETCH(QString, hledane);
    QFETCH(QString, nahrady);
    QFETCH(QString, text);
    QFETCH(QString, vysledek);
    VynechPary(hledane, nahrady, 0xDC00, 0xDCFF);
    QCOMPARE(NahradZnaky(text, hledane, nahrady), vysledek);
    QCOMPARE(NahradZnaky(text.repeated(1000), hledane, nahrady), vysledek.repeated(1000));
}

void TestKonverze::zpravoveTexty()
{
    QCOMPARE(ZpravoveTexty.size(), size_t(28));
    QCOMPARE(QLatin1String(ZpravoveTexty.front().Klic), QLatin1String("rsCHYBA"));
    QCOMPARE(QLatin1String(ZpravoveTexty[15].Klic), QLatin1String("rsNEULOZENO"));
    QCOMPARE(QLatin1String(ZpravoveTexty[16].Klic), QLatin1String("rsULOZITUTF8"));
    QCOMPARE(QLatin1String(ZpravoveTexty[20].Klic), QLatin1String("rsZASTUPCI"));
    QCOMPARE(QLatin1String(ZpravoveTexty[24].Klic), QLatin1String("rsZASTUPCEBAJTU"));
    QCOMPARE(QLatin1String(ZpravoveTexty[25].Klic), QLatin1String("rsSMISENEZLOMY"));
    QCOMPARE(QLatin1String(ZpravoveTexty.back().Klic), QLatin1String("rsNENINAHRAZENO"));
    // Held from program start, before anything sets them.
    QCOMPARE(rsNELZEZEREGISTRU, u"Při čtení hodnot nastavení z registru došlo k chybě"_s);
    QCOMPARE(rsNEULOZENO, u"Soubor není uložen"_s);
    QCOMPARE(rsPOTVRZENI, u"Potvrzení"_s);
    rsVAROVANI = QStringLiteral("Warning");
    ObnovZpravoveTexty();
    QCOMPARE(rsVAROVANI, u"Varování"_s);
    UvolniConvar();
    for (const TZpravovyText &t : ZpravoveTexty)
        QVERIFY(t.Text->isEmpty());
    ObnovZpravoveTexty();
}

QTEST_GUILESS_MAIN(TestKonverze)
#include "tst_konverze.moc"
