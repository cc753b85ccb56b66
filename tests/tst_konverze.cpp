// The pair table, the diacritics removal and the message texts.

#include "Konverze.h"
#include "convar.h"

#include <QRandomGenerator>
#include <QtTest>

class TestKonverze : public QObject {
    Q_OBJECT
private slots:
    void vychoziTabulka();
    void nahrazeni_data();
    void nahrazeni();
    void nahodneTextyShodneSPrimymPruchodem();
    void beze_zmenySeTextNekopiruje();
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
    QTest::newRow("věta") << u"Žluťoučký kůň úpěl"_qs << d << b << u"Zlutoucky kun upel"_qs;
    QTest::newRow("velká") << u"ČŘ"_qs << d << b << u"CR"_qs;
    QTest::newRow("Łódź") << u"Łódź"_qs << d << b << u"Łodz"_qs;
    QTest::newRow("rozložené písmeno") << u"e\u030C"_qs << d << b << u"e\u030C"_qs;
    QTest::newRow("mimo BMP") << u"a😀é"_qs << d << b << u"a😀e"_qs;
    QTest::newRow("zalomení a nbsp") << u"ě\r\nš\u00A0ř\t"_qs << d << b << u"e\r\ns\u00A0r\t"_qs;
    QTest::newRow("jen jednou") << u"ab"_qs << u"ab"_qs << u"bc"_qs << u"bc"_qs;
    QTest::newRow("první výskyt") << u"a a"_qs << u"aa"_qs << u"xy"_qs << u"x x"_qs;
    QTest::newRow("velikost písmen") << u"aA"_qs << u"a"_qs << u"x"_qs << u"xA"_qs;
    QTest::newRow("krátké náhrady") << u"abc"_qs << u"abc"_qs << u"x"_qs << u"xbc"_qs;
    QTest::newRow("první výskyt rozhoduje") << u"ba"_qs << u"aba"_qs << u"xy"_qs << u"yx"_qs;
    QTest::newRow("první výskyt za náhradami") << u"cb"_qs << u"abcc"_qs << u"xyzw"_qs.left(2) << u"cy"_qs;
    QTest::newRow("prázdná tabulka") << u"ěš"_qs << QString() << QString() << u"ěš"_qs;
    QTest::newRow("prázdný text") << QString() << d << b << QString();
    QTest::newRow("sám na sebe") << u"aě"_qs << u"a"_qs << u"a"_qs << u"aě"_qs;
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
    QCOMPARE(NahradZnakyPrimo(text, VychoziZnakySeZnamenkem, VychoziZnakyBezZnamenka).constData(),
             text.constData());
}

void TestKonverze::zpravoveTexty()
{
    QCOMPARE(ZpravoveTexty.size(), size_t(17));
    QCOMPARE(QLatin1String(ZpravoveTexty.front().Klic), QLatin1String("rsCHYBA"));
    QCOMPARE(QLatin1String(ZpravoveTexty[15].Klic), QLatin1String("rsNEULOZENO"));
    QCOMPARE(QLatin1String(ZpravoveTexty.back().Klic), QLatin1String("rsULOZITUTF8"));
    // Held from program start, before anything sets them.
    QCOMPARE(rsNELZEZEREGISTRU, u"Při čtení hodnot nastavení z registru došlo k chybě"_qs);
    QCOMPARE(rsNEULOZENO, u"Soubor není uložen"_qs);
    QCOMPARE(rsPOTVRZENI, u"Potvrzení"_qs);
    rsVAROVANI = QStringLiteral("Warning");
    ObnovZpravoveTexty();
    QCOMPARE(rsVAROVANI, u"Varování"_qs);
    UvolniConvar();
    for (const TZpravovyText &t : ZpravoveTexty)
        QVERIFY(t.Text->isEmpty());
    ObnovZpravoveTexty();
}

QTEST_GUILESS_MAIN(TestKonverze)
#include "tst_konverze.moc"
