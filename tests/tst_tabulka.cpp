// The pair table in the settings store: the two readings of the same stored
// values side by side (the table the program converts with, and the rows the
// pair editor shows), and what OK writes.

#include "Prostredi.h"
#include "Registr.h"
#include "UlozenaTabulka.h"
#include "convar.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// A stored value: a QString is REG_SZ, an int REG_DWORD, a null QVariant
// nothing stored.
void Uloz(const QString &Jmeno, const QVariant &Hodnota)
{
    if (Hodnota.isNull())
        return;
    TRegistr registr;
    QVERIFY(registr.OtevriKlic(KlicZnaky, true));
    if (Hodnota.typeId() == QMetaType::QString)
        registr.ZapisRetezec(Jmeno, Hodnota.toString());
    else
        registr.ZapisCislo(Jmeno, Hodnota.toInt());
}

} // namespace

class TestTabulka : public QObject {
    Q_OBJECT
private slots:
    void init() { Prostredi = std::make_unique<TProstredi>(); }
    void cleanup()
    {
        Prostredi.reset();
        ZnakySeZnamenkem.clear();
        ZnakyBezZnamenka.clear();
    }

    void cteni_data();
    void cteni();
    void potvrzeni();

private:
    std::unique_ptr<TProstredi> Prostredi;
};

void TestTabulka::cteni_data()
{
    QTest::addColumn<bool>("klic"); // the Znaky key exists
    QTest::addColumn<QVariant>("se");
    QTest::addColumn<QVariant>("bez");
    QTest::addColumn<QStringList>("prevod"); // the table converted with; one item: the reason it is not read
    QTest::addColumn<QStringList>("editor"); // the rows' two lists the pair editor shows
    QTest::addColumn<QString>("chyba");      // what the editor is told

    const QString vse = VychoziZnakySeZnamenkem, vbez = VychoziZnakyBezZnamenka;
    const QStringList vychozi{vse, vbez};
    const QString bile = u" \t\r\n\u0001\u0020"_s;
    const QString pary = u"\U0001F600"_s + QChar(0xD800) + u"a"_s; // a pair of halves, then a lone high one
    const QString polovina = u"xy"_s + QChar(0xDC80);

    QTest::newRow("chybí klíč") << false << QVariant() << QVariant() << vychozi << vychozi << QString();
    QTest::newRow("prázdný klíč") << true << QVariant() << QVariant() << vychozi << vychozi << QString();
    QTest::newRow("chybí ZnakyBezZnamenka") << true << QVariant(u"ab"_s) << QVariant() << QStringList{u"ab"_s, vbez}
                                            << QStringList{u"ab"_s, vbez} << QString();
    // Blank: the conversion takes it as stored, the editor shows the default.
    QTest::newRow("prázdné") << true << QVariant(u""_s) << QVariant(u""_s) << QStringList{u""_s, u""_s} << vychozi
                             << QString();
    QTest::newRow("mezery a řídicí znaky")
        << true << QVariant(bile) << QVariant(u" "_s) << QStringList{bile, u" "_s} << vychozi << QString();
    // Each value on its own; lengths are never compared nor repaired.
    QTest::newRow("jen náhrady prázdné") << true << QVariant(u"ab"_s) << QVariant(u""_s) << QStringList{u"ab"_s, u""_s}
                                         << QStringList{u"ab"_s, vbez} << QString();
    QTest::newRow("jen hledané bílé") << true << QVariant(u"\t"_s) << QVariant(u"xyz"_s)
                                      << QStringList{u"\t"_s, u"xyz"_s} << QStringList{vse, u"xyz"_s} << QString();
    QTest::newRow("kratší náhrady") << true << QVariant(u"abc"_s) << QVariant(u"x"_s) << QStringList{u"abc"_s, u"x"_s}
                                    << QStringList{u"abc"_s, u"x"_s} << QString();
    QTest::newRow("delší náhrady") << true << QVariant(u"a"_s) << QVariant(u"xyz"_s) << QStringList{u"a"_s, u"xyz"_s}
                                   << QStringList{u"a"_s, u"xyz"_s} << QString();
    // Not blank: the first character above U+0020, and one between spaces,
    // which nothing trims away.
    QTest::newRow("nezlomitelná mezera") << true << QVariant(u"\u00A0"_s) << QVariant(u" a "_s)
                                         << QStringList{u"\u00A0"_s, u" a "_s} << QStringList{u"\u00A0"_s, u" a "_s}
                                         << QString();
    QTest::newRow("poloviny dvojic UTF-16") << true << QVariant(pary) << QVariant(polovina)
                                            << QStringList{pary, polovina} << QStringList{pary, polovina} << QString();
    // A value that cannot be read: the conversion gets nothing, the editor
    // that value's default, the other value as stored, and the reason.
    const QString typ = u"Invalid data type for 'ZnakySeZnamenkem'"_s;
    QTest::newRow("jiný typ") << true << QVariant(7) << QVariant(u"x"_s) << QStringList{typ} << QStringList{vse, u"x"_s}
                              << typ;
}

void TestTabulka::cteni()
{
    QFETCH(bool, klic);
    QFETCH(QVariant, se);
    QFETCH(QVariant, bez);
    QFETCH(QStringList, prevod);
    QFETCH(QStringList, editor);
    QFETCH(QString, chyba);
    if (klic) {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(KlicZnaky, true));
    }
    Uloz(PolozkaSeZnamenkem, se);
    Uloz(PolozkaBezZnamenka, bez);

    if (prevod.size() == 1) {
        QString zprava;
        try {
            CtiTabulku();
        } catch (const ERegistr &e) {
            zprava = e.Zprava();
        }
        QCOMPARE(zprava, prevod.first());
    } else {
        const TTabulkaZnaku tabulka = CtiTabulku();
        QCOMPARE(tabulka.SeZnamenkem, prevod[0]);
        QCOMPARE(tabulka.BezZnamenka, prevod[1]);
    }

    QString duvod;
    const TTabulkaZnaku radky = CtiTabulkuProEditor(duvod);
    QCOMPARE(radky.SeZnamenkem, editor[0]);
    QCOMPARE(radky.BezZnamenka, editor[1]);
    QCOMPARE(duvod, chyba);

    // Reading writes nothing: no key where there was none.
    TRegistr registr(KEY_READ);
    QCOMPARE(registr.ExistujeKlic(KlicZnaky), klic);
}

// OK makes the pairs the program's table and stores them as they are; the
// conversion's reading gives back exactly that, halves of UTF-16 pairs and
// unequal lengths too.
void TestTabulka::potvrzeni()
{
    const TTabulkaZnaku tabulka{QChar(0xD83D) + u"ab"_s, u"x"_s + QChar(0xDC80)};
    PotvrdTabulku(tabulka);
    QCOMPARE(ZnakySeZnamenkem, tabulka.SeZnamenkem);
    QCOMPARE(ZnakyBezZnamenka, tabulka.BezZnamenka);
    QCOMPARE(CtiTabulku(), tabulka);
    QString duvod;
    QCOMPARE(CtiTabulkuProEditor(duvod), tabulka);
    QVERIFY(duvod.isEmpty());
}

QTEST_MAIN(TestTabulka)
#include "tst_tabulka.moc"
