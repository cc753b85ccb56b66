// The settings store's file: the registry's reading rules, names without
// regard to case, keys with everything above and below them, the file's exact
// shape, two running copies that never undo each other's values, and a file
// that is damaged or cannot be written, which is never lost.

#include "Prostredi.h"
#include "Registr.h"
#include "Soubory.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <csignal>
#include <functional>
#include <memory>
#ifndef Q_OS_WIN
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QString KlicLumarin = u"\\Software\\VELOR\\Lumarin"_s;

// The message of the ERegistr that Akce throws; "<no error>" when none.
QString Chyba(const std::function<void()> &Akce)
{
    try {
        Akce();
    } catch (const ERegistr &chyba) {
        return chyba.Zprava();
    }
    return u"<no error>"_s;
}

} // namespace

class TestRegistr : public QObject {
    Q_OBJECT
private slots:
#ifdef Q_OS_WIN
    void initTestCase()
    {
        QSKIP("the settings store on Windows is the registry itself, not this file (tst_windows tests it)");
    }
#endif
    void init();
    void cleanup();

    void cteni_data();
    void cteni();
    void zapisBezZtraty_data();
    void zapisBezZtraty();
    void odmitnutyZapis();
    void velikostPismen();
    void nadrazeneKlice();
    void smazaniKlice();
    void pocetHodnot();
    void tvarSouboru();
    void vychoziSlozka_data();
    void vychoziSlozka();
    void neznameTypy();
    void dvaProcesy();
    void zabityProces();
    void poskozenySoubor_data();
    void poskozenySoubor();
    void poskozenyPriZapisu();
    void necitelnySoubor();
    void nezapisovatelnySoubor_data();
    void nezapisovatelnySoubor();

private:
    QString Slozka() const
    {
        return Prostredi->Docasna.filePath(u"config/VELOR"_s);
    }
    QString Soubor() const
    {
        return Slozka() + u"/Lumarin.json"_s;
    }
    QJsonObject Obsah() const;
    QStringList Soubory() const
    {
        return QDir(Slozka()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
    std::unique_ptr<TProstredi> Prostredi;
};

void TestRegistr::init()
{
    Prostredi = std::make_unique<TProstredi>();
}

void TestRegistr::cleanup()
{
    // A folder a test made read-only still goes with the temporary folder.
    if (QFileInfo::exists(Slozka()))
        QFile::setPermissions(Slozka(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Prostredi.reset();
}

QJsonObject TestRegistr::Obsah() const
{
    QJsonParseError chyba;
    const QJsonDocument dokument = QJsonDocument::fromJson(Precti(Soubor()), &chyba);
    [&] { QCOMPARE(chyba.errorString(), QJsonParseError().errorString()); }();
    return dokument.object();
}

// One stored value of the key Lumarin, read as text, integer or binary data,
// as the registry reads it.
void TestRegistr::cteni_data()
{
    QTest::addColumn<QByteArray>("hodnota"); // its JSON; empty: missing
    QTest::addColumn<int>("typ");
    QTest::addColumn<char>("cteni"); // 's' text, 'i' integer, 'b' binary data
    QTest::addColumn<QVariant>("vysledek");
    QTest::addColumn<QString>("chyba"); // the reason before " for 'Hodnota'"; empty: none

    const QString jine = u"Invalid data type"_s, nelze = u"Failed to get data"_s;
    QTest::newRow("text") << R"({"type": "REG_SZ", "data": "Zakladni"})"_ba << int(rdRetezec) << 's'
                          << QVariant(u"Zakladni"_s) << QString();
    QTest::newRow("rozšířený text") << R"({"type": "REG_EXPAND_SZ", "data": "%TEMP%\\x"})"_ba << int(rdRozsirenyRetezec)
                                    << 's' << QVariant(u"%TEMP%\\x"_s) << QString();
    QTest::newRow("prázdný text") << R"({"type": "REG_SZ", "data": ""})"_ba << int(rdRetezec) << 's'
                                  << QVariant(QString()) << QString();
    QTest::newRow("chybějící text") << QByteArray() << int(rdNeznamy) << 's' << QVariant(QString()) << QString();
    QTest::newRow("číslo jako text") << R"({"type": "REG_DWORD", "data": 1})"_ba << int(rdCislo) << 's' << QVariant()
                                     << jine;
    QTest::newRow("binární jako text") << R"({"type": "REG_BINARY", "data": "00"})"_ba << int(rdBinarni) << 's'
                                       << QVariant() << jine;
    QTest::newRow("prázdná binární jako text")
        << R"({"type": "REG_BINARY", "data": ""})"_ba << int(rdBinarni) << 's' << QVariant(QString()) << QString();
    QTest::newRow("cizí typ jako text") << R"({"type": "REG_MULTI_SZ", "data": ["a"]})"_ba << int(rdNeznamy) << 's'
                                        << QVariant() << jine;

    QTest::newRow("číslo") << R"({"type": "REG_DWORD", "data": -11})"_ba << int(rdCislo) << 'i' << QVariant(-11)
                           << QString();
    QTest::newRow("barva okna") << R"({"type": "REG_DWORD", "data": -16777208})"_ba << int(rdCislo) << 'i'
                                << QVariant(-16777208) << QString();
    QTest::newRow("nejmenší číslo") << R"({"type": "REG_DWORD", "data": -2147483648})"_ba << int(rdCislo) << 'i'
                                    << QVariant(INT_MIN) << QString();
    QTest::newRow("největší číslo") << R"({"type": "REG_DWORD", "data": 2147483647})"_ba << int(rdCislo) << 'i'
                                    << QVariant(INT_MAX) << QString();
    QTest::newRow("chybějící číslo") << QByteArray() << int(rdNeznamy) << 'i' << QVariant() << nelze;
    // Text as an integer: up to four bytes with the terminator is of another
    // type, longer text does not fit.
    QTest::newRow("prázdný text jako číslo")
        << R"({"type": "REG_SZ", "data": ""})"_ba << int(rdRetezec) << 'i' << QVariant() << jine;
    QTest::newRow("znak jako číslo") << R"({"type": "REG_SZ", "data": "1"})"_ba << int(rdRetezec) << 'i' << QVariant()
                                     << jine;
    QTest::newRow("rozšířený znak jako číslo")
        << R"({"type": "REG_EXPAND_SZ", "data": "1"})"_ba << int(rdRozsirenyRetezec) << 'i' << QVariant() << jine;
    QTest::newRow("dva znaky jako číslo")
        << R"({"type": "REG_SZ", "data": "12"})"_ba << int(rdRetezec) << 'i' << QVariant() << nelze;
    QTest::newRow("náhradní pár jako číslo")
        << "{\"type\": \"REG_SZ\", \"data\": \"\xF0\x9F\x98\x80\"}"_ba << int(rdRetezec) << 'i' << QVariant() << nelze;
    QTest::newRow("4 bajty jako číslo") << R"({"type": "REG_BINARY", "data": "01020304"})"_ba << int(rdBinarni) << 'i'
                                        << QVariant() << jine;
    QTest::newRow("5 bajtů jako číslo") << R"({"type": "REG_BINARY", "data": "0102030405"})"_ba << int(rdBinarni) << 'i'
                                        << QVariant() << nelze;
    QTest::newRow("cizí typ jako číslo") << R"({"type": "REG_QWORD", "data": 1})"_ba << int(rdNeznamy) << 'i'
                                         << QVariant() << jine;

    QTest::newRow("datum") << R"({"type": "REG_BINARY", "data": "000000000000f03f"})"_ba << int(rdBinarni) << 'b'
                           << QVariant(QByteArray::fromHex("000000000000f03f")) << QString();
    QTest::newRow("velká písmena hex") << R"({"type": "REG_BINARY", "data": "00FF"})"_ba << int(rdBinarni) << 'b'
                                       << QVariant("\x00\xff"_ba) << QString();
    QTest::newRow("prázdná binární") << R"({"type": "REG_BINARY", "data": ""})"_ba << int(rdBinarni) << 'b'
                                     << QVariant(QByteArray()) << QString();
    QTest::newRow("chybějící binární") << QByteArray() << int(rdNeznamy) << 'b' << QVariant() << nelze;
    QTest::newRow("text jako binární") << R"({"type": "REG_SZ", "data": "00"})"_ba << int(rdRetezec) << 'b'
                                       << QVariant() << jine;
    QTest::newRow("číslo jako binární") << R"({"type": "REG_DWORD", "data": 0})"_ba << int(rdCislo) << 'b' << QVariant()
                                        << jine;
}

void TestRegistr::cteni()
{
    QFETCH(QByteArray, hodnota);
    QFETCH(int, typ);
    QFETCH(char, cteni);
    QFETCH(QVariant, vysledek);
    QFETCH(QString, chyba);
    const QByteArray jina = R"("Jina": {"type": "REG_SZ", "data": "x"})";
    Zapis(Soubor(),
          R"({"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin": {)" + jina +
              (hodnota.isEmpty() ? QByteArray() : ", \"Hodnota\": " + hodnota) + "}}");

    TRegistr registr(KEY_READ);
    QVERIFY(registr.OtevriKlic(KlicLumarin, false));
    QCOMPARE(registr.ExistujeHodnota(u"Hodnota"_s), !hodnota.isEmpty());
    QCOMPARE(int(registr.TypHodnoty(u"Hodnota"_s)), typ);
    QVariant precteno;
    const QString zprava = Chyba([&] {
        if (cteni == 's')
            precteno = registr.CtiRetezec(u"Hodnota"_s);
        else if (cteni == 'i')
            precteno = registr.CtiCislo(u"Hodnota"_s);
        else
            precteno = registr.CtiBinarni(u"Hodnota"_s);
    });
    if (chyba.isEmpty()) {
        QCOMPARE(zprava, u"<no error>"_s);
        QCOMPARE(precteno, vysledek);
    } else {
        QCOMPARE(zprava, chyba + u" for 'Hodnota'"_s);
    }
}

// What is written is read back exactly, through the file.
void TestRegistr::zapisBezZtraty_data()
{
    QTest::addColumn<QVariant>("hodnota");
    QTest::addColumn<QByteArray>("json"); // the value's member in the file
    QTest::newRow("text") << QVariant(u"Příliš žluťoučký kůň \"ó\"\r\n\\"_s)
                          << "{\"type\": \"REG_SZ\", \"data\": \"Příliš žluťoučký kůň \\\"ó\\\"\\r\\n\\\\\"}"_ba;
    QString zvlastni = u"a"_s;
    zvlastni += QChar(0xD800); // a lone surrogate of the pair table
    zvlastni += QChar(u'\0');
    zvlastni += u"b\U0001F600"_s;
    QTest::newRow("osamělá polovina a nula")
        << QVariant(zvlastni) << "{\"type\": \"REG_SZ\", \"data\": \"a\\ud800\\u0000b\xF0\x9F\x98\x80\"}"_ba;
    QTest::newRow("prázdný text") << QVariant(QString()) << R"({"type": "REG_SZ", "data": ""})"_ba;
    QTest::newRow("záporné číslo") << QVariant(-11) << R"({"type": "REG_DWORD", "data": -11})"_ba;
    QTest::newRow("nejmenší číslo") << QVariant(INT_MIN) << R"({"type": "REG_DWORD", "data": -2147483648})"_ba;
    QTest::newRow("největší číslo") << QVariant(INT_MAX) << R"({"type": "REG_DWORD", "data": 2147483647})"_ba;
    QTest::newRow("datum") << QVariant(QByteArray::fromHex("000000000000F03F"))
                           << R"({"type": "REG_BINARY", "data": "000000000000f03f"})"_ba;
    QTest::newRow("prázdná binární") << QVariant(QByteArray()) << R"({"type": "REG_BINARY", "data": ""})"_ba;
}

void TestRegistr::zapisBezZtraty()
{
    QFETCH(QVariant, hodnota);
    QFETCH(QByteArray, json);
    {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(KlicLumarin, true));
        if (hodnota.typeId() == QMetaType::QString)
            registr.ZapisRetezec(u"Hodnota"_s, hodnota.toString());
        else if (hodnota.typeId() == QMetaType::Int)
            registr.ZapisCislo(u"Hodnota"_s, hodnota.toInt());
        else
            registr.ZapisBinarni(u"Hodnota"_s, hodnota.toByteArray());
    }
    const QJsonObject ocekavana = QJsonDocument::fromJson("{\"x\": " + json + "}").object();
    QVERIFY(!ocekavana.isEmpty());
    QCOMPARE(Obsah().value(u"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin"_s).toObject().value(u"Hodnota"_s),
             ocekavana.value(u"x"_s));

    TRegistr registr(KEY_READ);
    QVERIFY(registr.OtevriKlic(KlicLumarin, false));
    if (hodnota.typeId() == QMetaType::QString)
        QCOMPARE(registr.CtiRetezec(u"Hodnota"_s), hodnota.toString());
    else if (hodnota.typeId() == QMetaType::Int)
        QCOMPARE(registr.CtiCislo(u"Hodnota"_s), hodnota.toInt());
    else
        QCOMPARE(registr.CtiBinarni(u"Hodnota"_s), hodnota.toByteArray());
}

// A reading accessor, no open key and an unknown root never change the store.
void TestRegistr::odmitnutyZapis()
{
    {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(KlicLumarin, true));
        registr.ZapisRetezec(u"Jazyk"_s, u"CZ"_s);
    }
    const QByteArray puvodni = Precti(Soubor());

    TRegistr cteni(KEY_READ);
    QVERIFY(cteni.OtevriKlic(KlicLumarin, true)); // an existing key opens
    QCOMPARE(cteni.CtiRetezec(u"Jazyk"_s), u"CZ"_s);
    QCOMPARE(Chyba([&] { cteni.ZapisRetezec(u"Jazyk"_s, u"EN"_s); }), u"Failed to set data for 'Jazyk'"_s);
    QCOMPARE(Chyba([&] { cteni.ZapisCislo(u"Vlevo"_s, 1); }), u"Failed to set data for 'Vlevo'"_s);
    QVERIFY(!cteni.OtevriKlic(KlicLumarin + u"\\Znaky"_s, true));
    QVERIFY(cteni.AktualniKlic().isEmpty());
    QVERIFY(!cteni.SmazKlic(KlicLumarin));
    QCOMPARE(Precti(Soubor()), puvodni);

    TRegistr zapis;
    QCOMPARE(Chyba([&] { zapis.ZapisRetezec(u"Jazyk"_s, u"EN"_s); }), u"Failed to set data for 'Jazyk'"_s);
    QCOMPARE(Chyba([&] { zapis.PocetHodnot(); }), u"Failed to get the values of the key: no key is open"_s);
    QVERIFY(!zapis.ExistujeHodnota(u"Jazyk"_s));
    QCOMPARE(zapis.CtiRetezec(u"Jazyk"_s), QString());
    QCOMPARE(Chyba([&] { zapis.CtiCislo(u"Jazyk"_s); }), u"Failed to get data for 'Jazyk'"_s);
    zapis.NastavKoren(0x1234);
    QVERIFY(!zapis.OtevriKlic(KlicLumarin, true));
    QVERIFY(!zapis.ExistujeKlic(KlicLumarin));
    QCOMPARE(Precti(Soubor()), puvodni);
}

void TestRegistr::velikostPismen()
{
    {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(KlicLumarin, true));
        registr.ZapisRetezec(u"Jazyk"_s, u"CZ"_s);
    }
    {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(u"\\SOFTWARE\\velor\\LUMARIN"_s, false));
        QVERIFY(registr.ExistujeHodnota(u"JAZYK"_s));
        registr.ZapisRetezec(u"jazyk"_s, u"EN"_s);
        QCOMPARE(registr.CtiRetezec(u"JaZyK"_s), u"EN"_s);
        QVERIFY(registr.OtevriKlic(u"\\software\\VELOR\\lumarin\\Pismo"_s, true));
        registr.ZapisCislo(u"Vyska"_s, -11);
        QCOMPARE(registr.AktualniKlic(), u"\\software\\VELOR\\lumarin\\Pismo"_s);
    }
    const QJsonObject obsah = Obsah();
    QCOMPARE(obsah.keys(),
             (QStringList{u"HKEY_CURRENT_USER\\Software"_s, u"HKEY_CURRENT_USER\\Software\\VELOR"_s,
                          u"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin"_s,
                          u"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin\\Pismo"_s}));
    const QJsonObject lumarin = obsah.value(u"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin"_s).toObject();
    QCOMPARE(lumarin.keys(), QStringList{u"Jazyk"_s});
    QCOMPARE(lumarin.value(u"Jazyk"_s).toObject().value(u"data"_s).toString(), u"EN"_s);
    TRegistr registr;
    QVERIFY(registr.OtevriKlic(u"\\software\\velor\\lumarin"_s, false));
    QCOMPARE(registr.JmenaHodnot(), QStringList{u"Jazyk"_s});
}

// Creating a key creates every key above it; opening without creating
// creates nothing; a path without a backslash is below the open key.
void TestRegistr::nadrazeneKlice()
{
    TRegistr registr;
    QVERIFY(!registr.OtevriKlic(KlicLumarin, false));
    QVERIFY(!registr.ExistujeKlic(u"\\Software"_s));
    QVERIFY(!QFileInfo::exists(Soubor()));
    QVERIFY(registr.ExistujeKlic(u"\\"_s)); // the root always exists

    QVERIFY(registr.OtevriKlic(KlicLumarin, true));
    QVERIFY(registr.OtevriKlic(u"Pismo"_s, true));
    QCOMPARE(registr.AktualniKlic(), KlicLumarin + u"\\Pismo"_s);
    QVERIFY(registr.ExistujeKlic(u"\\Software\\VELOR"_s));
    QVERIFY(!registr.ExistujeKlic(u"Pismo"_s)); // below Pismo
    QVERIFY(!registr.OtevriKlic(u"Neni"_s, false));
    QVERIFY(registr.AktualniKlic().isEmpty()); // a failed open closes too
    QVERIFY(!registr.ExistujeHodnota(u"Vyska"_s));

    QCOMPARE(Obsah(),
             QJsonDocument::fromJson(R"({
        "HKEY_CURRENT_USER\\Software": {},
        "HKEY_CURRENT_USER\\Software\\VELOR": {},
        "HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin": {},
        "HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin\\Pismo": {}
    })")
                 .object());
    TRegistr dalsi(KEY_READ);
    QVERIFY(dalsi.OtevriKlic(u"\\Software"_s, false));
    QCOMPARE(dalsi.PocetHodnot(), 0);
}

void TestRegistr::smazaniKlice()
{
    {
        TRegistr registr;
        for (const QString &klic :
             {KlicLumarin, KlicLumarin + u"\\Pismo\\Hloubka"_s, KlicLumarin + u"2"_s, u"\\Software\\Jiny"_s}) {
            QVERIFY(registr.OtevriKlic(klic, true));
            registr.ZapisCislo(u"Hodnota"_s, 1);
        }
    }
    TRegistr registr;
    QVERIFY(registr.SmazKlic(u"\\software\\velor\\LUMARIN"_s));
    QVERIFY(!registr.ExistujeKlic(KlicLumarin));
    QVERIFY(!registr.ExistujeKlic(KlicLumarin + u"\\Pismo"_s));
    QVERIFY(!registr.SmazKlic(KlicLumarin));
    QVERIFY(!registr.SmazKlic(u"\\"_s)); // not the root
    QCOMPARE(Obsah().keys(),
             (QStringList{u"HKEY_CURRENT_USER\\Software"_s, u"HKEY_CURRENT_USER\\Software\\Jiny"_s,
                          u"HKEY_CURRENT_USER\\Software\\VELOR"_s, u"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin2"_s}));

    // Deleted and written again, as a string list is.
    QVERIFY(registr.OtevriKlic(KlicLumarin + u"\\Pismo"_s, true));
    QCOMPARE(registr.PocetHodnot(), 0);
    QVERIFY(registr.OtevriKlic(u"\\Software"_s, false));
    QVERIFY(registr.SmazKlic(u"Jiny"_s)); // relative to the open key
    QVERIFY(!registr.ExistujeKlic(u"\\Software\\Jiny"_s));
}

void TestRegistr::pocetHodnot()
{
    Zapis(Soubor(), R"({"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin\\Seznam": {
        "0": {"type": "REG_SZ", "data": "a"},
        "Cizi": {"type": "REG_MULTI_SZ", "data": ["b"]}}})");
    TRegistr registr;
    QVERIFY(registr.OtevriKlic(KlicLumarin + u"\\Seznam"_s, false));
    QCOMPARE(registr.PocetHodnot(), 2);
    registr.ZapisRetezec(u"1"_s, u"c"_s);
    registr.ZapisRetezec(u"0"_s, u"d"_s);    // the same value again
    registr.ZapisRetezec(u"CIZI"_s, u"e"_s); // and one in another case
    QCOMPARE(registr.PocetHodnot(), 3);
    QCOMPARE(registr.JmenaHodnot(), (QStringList{u"0"_s, u"1"_s, u"Cizi"_s}));
    QCOMPARE(registr.TypHodnoty(u"cizi"_s), rdRetezec);
    QVERIFY(registr.OtevriKlic(KlicLumarin, true));
    QCOMPARE(registr.PocetHodnot(), 0);
}

// The file of a program that closed once, in the shape others may read and
// edit: one member per key, named by its whole path from the root's name.
void TestRegistr::tvarSouboru()
{
    {
        TRegistr registr;
        registr.NastavKoren(HKEY_CURRENT_USER);
        QVERIFY(registr.OtevriKlic(KlicLumarin, true));
        registr.ZapisRetezec(u"Jazyk"_s, u"CZ"_s);
        registr.ZapisCislo(u"Maximalni"_s, 0);
        QVERIFY(registr.OtevriKlic(KlicLumarin + u"\\Pismo"_s, true));
        registr.ZapisCislo(u"Vyska"_s, -11);
        registr.ZapisCislo(u"Barva"_s, qint32(0xFF000008));
        QVERIFY(registr.OtevriKlic(u"\\Software\\Other\\Dates"_s, true));
        registr.ZapisBinarni(u"Od"_s, QByteArray::fromHex("000000000000f03f"));
        registr.NastavKoren(HKEY_LOCAL_MACHINE);
        QVERIFY(registr.OtevriKlic(u"\\Software\\Jiny"_s, true));
        registr.ZapisRetezec(QString(), u"výchozí"_s);
        QVERIFY(registr.OtevriKlic(u"\\"_s, false));
        registr.ZapisCislo(u"Koren"_s, 7);
    }
    const QByteArray ocekavany = R"({
    "HKEY_CURRENT_USER\\Software": {},
    "HKEY_CURRENT_USER\\Software\\Other": {},
    "HKEY_CURRENT_USER\\Software\\Other\\Dates": {
        "Od": {"type": "REG_BINARY", "data": "000000000000f03f"}
    },
    "HKEY_CURRENT_USER\\Software\\VELOR": {},
    "HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin": {
        "Jazyk": {"type": "REG_SZ", "data": "CZ"},
        "Maximalni": {"type": "REG_DWORD", "data": 0}
    },
    "HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin\\Pismo": {
        "Barva": {"type": "REG_DWORD", "data": -16777208},
        "Vyska": {"type": "REG_DWORD", "data": -11}
    },
    "HKEY_LOCAL_MACHINE": {
        "Koren": {"type": "REG_DWORD", "data": 7}
    },
    "HKEY_LOCAL_MACHINE\\Software": {},
    "HKEY_LOCAL_MACHINE\\Software\\Jiny": {
        "": {"type": "REG_SZ", "data": "výchozí"}
    }
}
)";
    QCOMPARE(Precti(Soubor()), ocekavany);
    QCOMPARE(Soubory(), QStringList{u"Lumarin.json"_s}); // no lock or temporary file left
}

// Without XDG_CONFIG_HOME, or with an empty or relative one, the file is in
// ~/.config.
void TestRegistr::vychoziSlozka_data()
{
    QTest::addColumn<QByteArray>("xdg"); // "-": unset
    QTest::newRow("nenastavena") << "-"_ba;
    QTest::newRow("prázdná") << ""_ba;
    QTest::newRow("relativní") << "config"_ba;
}

void TestRegistr::vychoziSlozka()
{
    QFETCH(QByteArray, xdg);
    TPromenna domov("HOME");
    const QString slozka = Prostredi->Docasna.filePath(u"domov"_s);
    qputenv("HOME", slozka.toLocal8Bit());
    if (xdg == "-")
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", xdg);
    {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(KlicLumarin, true));
        registr.ZapisRetezec(u"Jazyk"_s, u"EN"_s);
    }
    const QString soubor = slozka + u"/.config/VELOR/Lumarin.json"_s;
    QVERIFY2(Precti(soubor).contains("\"EN\""), qPrintable(soubor));
    QVERIFY(!QFileInfo::exists(u"config"_s)); // nothing in the working folder
    QCOMPARE(QFile::permissions(slozka + u"/.config/VELOR"_s) & 0x0077, QFile::Permissions()); // the user's own
}

// A value of a type the program does not write survives every change of the
// file, and reads as "of another type".
void TestRegistr::neznameTypy()
{
    const QByteArray cizi = R"({"type": "REG_MULTI_SZ", "data": ["a", "b"], "poznamka": 1})";
    Zapis(Soubor(),
          R"({"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin": {
        "Seznam": )" +
              cizi + R"(,
        "Bez dat": {"type": "REG_NONE"},
        "Malymi": {"type": "reg_sz", "data": "x"}}})");
    {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(KlicLumarin, false));
        QVERIFY(registr.ExistujeHodnota(u"Seznam"_s));
        QCOMPARE(registr.TypHodnoty(u"Seznam"_s), rdNeznamy);
        QCOMPARE(registr.TypHodnoty(u"Malymi"_s), rdNeznamy);
        QCOMPARE(Chyba([&] { registr.CtiRetezec(u"Malymi"_s); }), u"Invalid data type for 'Malymi'"_s);
        registr.ZapisRetezec(u"Jazyk"_s, u"CZ"_s);
        QVERIFY(registr.OtevriKlic(u"Pismo"_s, true));
    }
    const QJsonObject lumarin = Obsah().value(u"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin"_s).toObject();
    QCOMPARE(lumarin.value(u"Seznam"_s).toObject(), QJsonDocument::fromJson(cizi).object());
    QCOMPARE(lumarin.value(u"Bez dat"_s).toObject(), QJsonDocument::fromJson(R"({"type": "REG_NONE"})").object());
    QCOMPARE(lumarin.value(u"Malymi"_s).toObject().value(u"type"_s).toString(), u"reg_sz"_s);
    QCOMPARE(lumarin.size(), 4);
}

// Two copies of the program write at the same time, each through accessors of
// its own: the file always parses, and neither copy undoes the other's values.
// One after the other, the later one's values stand and the earlier one's
// other values stay.
void TestRegistr::dvaProcesy()
{
    const int pocet = 100;
    QProcess a, b;
    a.start(QStringLiteral(REGISTR_KLIENT), {u"A"_s, QString::number(pocet)});
    b.start(QStringLiteral(REGISTR_KLIENT), {u"B"_s, QString::number(pocet)});
    QVERIFY(a.waitForStarted() && b.waitForStarted());
    int precteno = 0;
    while (a.state() != QProcess::NotRunning || b.state() != QProcess::NotRunning) {
        const QByteArray bajty = Precti(Soubor());
        if (bajty != "<unreadable>") {
            QJsonParseError chyba;
            QJsonDocument::fromJson(bajty, &chyba);
            QVERIFY2(chyba.error == QJsonParseError::NoError, bajty.constData());
            ++precteno;
        }
        a.waitForFinished(1);
        b.waitForFinished(1);
    }
    QVERIFY2(a.exitStatus() == QProcess::NormalExit && a.exitCode() == 0, a.readAllStandardError().constData());
    QVERIFY2(b.exitStatus() == QProcess::NormalExit && b.exitCode() == 0, b.readAllStandardError().constData());
    QVERIFY(precteno > 0);
    {
        TRegistr registr(KEY_READ);
        QVERIFY(registr.OtevriKlic(KlicLumarin, false));
        QCOMPARE(registr.CtiCislo(u"PocetA"_s), pocet - 1);
        QCOMPARE(registr.CtiCislo(u"PocetB"_s), pocet - 1);
        QVERIFY(registr.ExistujeHodnota(u"KonecA"_s) && registr.ExistujeHodnota(u"KonecB"_s));
        QVERIFY(QRegularExpression(u"^[AB]-%1$"_s.arg(pocet - 1)).match(registr.CtiRetezec(u"Spolecna"_s)).hasMatch());
    }

    QProcess c;
    c.start(QStringLiteral(REGISTR_KLIENT), {u"C"_s, u"3"_s});
    QVERIFY(c.waitForFinished() && c.exitCode() == 0);
    c.start(QStringLiteral(REGISTR_KLIENT), {u"A"_s, u"2"_s});
    QVERIFY(c.waitForFinished() && c.exitCode() == 0);
    TRegistr registr(KEY_READ);
    QVERIFY(registr.OtevriKlic(KlicLumarin, false));
    QCOMPARE(registr.CtiRetezec(u"Spolecna"_s), u"A-1"_s);
    QCOMPARE(registr.CtiCislo(u"PocetA"_s), 1);
    QCOMPARE(registr.CtiCislo(u"PocetC"_s), 2);
    QCOMPARE(registr.CtiCislo(u"PocetB"_s), pocet - 1);
    QCOMPARE(Soubory(), QStringList{u"Lumarin.json"_s});
}

// A copy killed while it writes leaves a whole file and a lock that the next
// change takes over.
void TestRegistr::zabityProces()
{
    QProcess a;
    a.start(QStringLiteral(REGISTR_KLIENT), {u"A"_s, u"100000"_s});
    QVERIFY(a.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(Precti(Soubor()).contains("\"PocetA\""), 30000);
    QTest::qWait(200); // well into its writing
    a.kill();
    QVERIFY(a.waitForFinished());
    QCOMPARE(a.exitStatus(), QProcess::CrashExit);
    const QJsonObject lumarin = Obsah().value(u"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin"_s).toObject();
    QVERIFY(lumarin.contains(u"PocetA"_s));

    TRegistr registr;
    QVERIFY(registr.OtevriKlic(KlicLumarin, false));
    registr.ZapisRetezec(u"Jazyk"_s, u"EN"_s);
    QCOMPARE(registr.CtiRetezec(u"Jazyk"_s), u"EN"_s);
    QCOMPARE(Obsah().value(u"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin"_s).toObject().value(u"Jazyk"_s),
             QJsonValue(QJsonObject{{u"type"_s, u"REG_SZ"_s}, {u"data"_s, u"EN"_s}}));
    QVERIFY(!QFileInfo::exists(Soubor() + u".lock"_s));
}

// A damaged file is moved aside byte for byte, the reading that found it says
// what is wrong and where the file went, and the next change starts anew.
void TestRegistr::poskozenySoubor_data()
{
    QTest::addColumn<QByteArray>("bajty");
    QTest::addColumn<QString>("duvod");
    const QByteArray pred =
        R"({"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin": {"Jazyk": {"type": "REG_SZ", "data": "CZ"}},
        "HKEY_CURRENT_USER\\Software\\Other": {"Hodnota": )";
    const QString misto = uR"(the value "Hodnota" of the key "HKEY_CURRENT_USER\Software\Other")"_s;
    QTest::newRow("useknutý") << R"({"HKEY_CURRENT_USER\\Software": {)"_ba << u"it is not JSON ("_s;
    QTest::newRow("chybí čárka") << "{\n  \"a\": {}\n  \"b\": {}\n}"_ba
                                 << u"it is not JSON (unterminated object at line 3, byte 15)"_s;
    QTest::newRow("prázdný") << QByteArray() << u"it is not JSON ("_s;
    QTest::newRow("binární smetí") << "\x00\xff\xfe{}"_ba << u"it is not JSON ("_s;
    QTest::newRow("pole") << R"([{"type": "REG_SZ"}])"_ba << u"it is not a JSON object of keys"_s;
    QTest::newRow("klíč není objekt") << R"({"HKEY_CURRENT_USER\\Software": [1]})"_ba
                                      << uR"(the key "HKEY_CURRENT_USER\Software" is not a JSON object)"_s;
    QTest::newRow("hodnota není objekt") << pred + "\"CZ\"}}" << misto + u" is not a JSON object"_s;
    QTest::newRow("bez typu") << pred + R"({"data": "CZ"}}})" << misto + u" has no \"type\""_s;
    QTest::newRow("typ není text") << pred + R"({"type": 1, "data": "CZ"}}})"
                                   << misto + u" has a \"type\" that is not text"_s;
    QTest::newRow("text bez textu") << pred + R"({"type": "REG_SZ", "data": 5}}})"
                                    << misto + u" (REG_SZ) has no text in \"data\""_s;
    QTest::newRow("rozšířený bez dat") << pred + R"({"type": "REG_EXPAND_SZ"}}})"
                                       << misto + u" (REG_EXPAND_SZ) has no text in \"data\""_s;
    QTest::newRow("číslo nad rozsahem") << pred + R"({"type": "REG_DWORD", "data": 2147483648}}})"
                                        << misto + u" (REG_DWORD) is out of the signed 32-bit range"_s;
    QTest::newRow("číslo pod rozsahem") << pred + R"({"type": "REG_DWORD", "data": -2147483649}}})"
                                        << misto + u" (REG_DWORD) is out of the signed 32-bit range"_s;
    QTest::newRow("necelé číslo") << pred + R"({"type": "REG_DWORD", "data": 1.5}}})"
                                  << misto + u" (REG_DWORD) has no integer in \"data\""_s;
    QTest::newRow("číslo jako text") << pred + R"({"type": "REG_DWORD", "data": "5"}}})"
                                     << misto + u" (REG_DWORD) has no integer in \"data\""_s;
    QTest::newRow("lichý hex") << pred + R"({"type": "REG_BINARY", "data": "abc"}}})"
                               << misto + u" (REG_BINARY) has hex data of odd length"_s;
    QTest::newRow("nehex") << pred + R"({"type": "REG_BINARY", "data": "00zz"}}})"
                           << misto + u" (REG_BINARY) has a character that is not hex at position 2 of its data"_s;
    QTest::newRow("klíče různé velikostí")
        << R"({"HKEY_CURRENT_USER\\Software": {}, "HKEY_CURRENT_USER\\SOFTWARE": {}})"_ba
        << uR"(the keys "HKEY_CURRENT_USER\SOFTWARE" and "HKEY_CURRENT_USER\Software" differ only in case)"_s;
    QTest::newRow("hodnoty různé velikostí")
        << R"({"HKEY_CURRENT_USER\\Software": {"Jazyk": {"type": "REG_SZ", "data": "CZ"}, "JAZYK": {"type": "REG_SZ", "data": "EN"}}})"_ba
        << uR"(the values "JAZYK" and "Jazyk" of the key "HKEY_CURRENT_USER\Software" differ only in case)"_s;
}

void TestRegistr::poskozenySoubor()
{
    QFETCH(QByteArray, bajty);
    QFETCH(QString, duvod);
    Zapis(Soubor(), bajty);

    TRegistr registr;
    const QString zprava = Chyba([&] { registr.OtevriKlic(KlicLumarin, false); });
    QVERIFY2(zprava.startsWith(u"The settings file \"%1\" is damaged: "_s.arg(Soubor())), qPrintable(zprava));
    QVERIFY2(zprava.contains(duvod), qPrintable(zprava));
    const auto nalez =
        QRegularExpression(u"\\. It was moved to \"(.*/Lumarin\\.json\\.damaged-\\d{8}-\\d{6})\"$"_s).match(zprava);
    QVERIFY2(nalez.hasMatch(), qPrintable(zprava));
    const QString odlozeny = nalez.captured(1);
    QCOMPARE(QFileInfo(odlozeny).path(), Slozka());
    QCOMPARE(Precti(odlozeny), bajty);
    QCOMPARE(Soubory(), QStringList{QFileInfo(odlozeny).fileName()});

    // The program goes on with its defaults and writes a new file.
    QVERIFY(registr.OtevriKlic(KlicLumarin, true));
    registr.ZapisRetezec(u"Jazyk"_s, u"EN"_s);
    QCOMPARE(Obsah().value(u"HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin"_s).toObject().keys(),
             QStringList{u"Jazyk"_s});
    QCOMPARE(Precti(odlozeny), bajty);
    QCOMPARE(Soubory().size(), 2);
}

// The first write of an accessor that read nothing yet finds the damage: it
// writes nothing, and a second damaged file in the same second keeps the
// first one.
void TestRegistr::poskozenyPriZapisu()
{
    QStringList odlozene;
    for (const QByteArray &bajty : {"{\"prvni\""_ba, "[\"druhy\"]"_ba}) {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(u"\\"_s, true)); // the root needs no file
        Zapis(Soubor(), bajty);
        const QString zprava = Chyba([&] { registr.ZapisRetezec(u"Jazyk"_s, u"EN"_s); });
        QVERIFY2(
            zprava.startsWith(u"Failed to set data for 'Jazyk': The settings file \"%1\" is damaged: "_s.arg(Soubor())),
            qPrintable(zprava));
        const auto nalez = QRegularExpression(u"It was moved to \"(.*)\"$"_s).match(zprava);
        QVERIFY2(nalez.hasMatch(), qPrintable(zprava));
        QCOMPARE(Precti(nalez.captured(1)), bajty);
        odlozene << nalez.captured(1);
        QVERIFY(!QFileInfo::exists(Soubor()));
    }
    QVERIFY(odlozene[0] != odlozene[1]);
    QCOMPARE(Precti(odlozene[0]), "{\"prvni\""_ba);
}

// A file that cannot be read is no damaged file: it stays where it is, and
// neither reading nor writing pretends that it is empty.
void TestRegistr::necitelnySoubor()
{
    QVERIFY(QDir().mkpath(Soubor()));
    TRegistr registr;
    QCOMPARE(Chyba([&] { registr.OtevriKlic(KlicLumarin, false); }),
             u"The settings cannot be read: Cannot open file \"%1\". It is a folder, not a file"_s.arg(Soubor()));
    QCOMPARE(Chyba([&] { registr.OtevriKlic(KlicLumarin, true); }).left(29), u"The settings cannot be read: "_s);
    QVERIFY(registr.OtevriKlic(u"\\"_s, true));
    QVERIFY(Chyba([&] {
                registr.ZapisCislo(u"Vlevo"_s, 1);
            }).startsWith(u"Failed to set data for 'Vlevo': The settings cannot be read: "_s));
    QVERIFY(QFileInfo(Soubor()).isDir());
}

// A store that cannot be written: the write fails with the store's reason and
// the system's, and the old file stays as it was.
void TestRegistr::nezapisovatelnySoubor_data()
{
    QTest::addColumn<char>("pripad");
    QTest::addColumn<QString>("duvod"); // what follows "Failed to set data for 'Jazyk': "
    QTest::newRow("složka jen pro čtení") << 'r' << u"Cannot create the lock file \""_s;
    QTest::newRow("složku nelze vytvořit") << 'n' << u"Cannot create the folder \""_s;
    QTest::newRow("soubor chráněný proti zápisu") << 'f' << u"Cannot create file \""_s;
    QTest::newRow("limit velikosti souborů") << 'l' << u"Cannot create file \""_s;
}

void TestRegistr::nezapisovatelnySoubor()
{
    QFETCH(char, pripad);
    QFETCH(QString, duvod);
    const auto jenCteni =
        QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    const auto vsem = jenCteni | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    const QString docasna = Prostredi->Docasna.path();
    QFile::setPermissions(docasna, jenCteni | QFile::WriteOwner); // so that nobody may pass through it
    QByteArray puvodni;
    if (pripad == 'n') {
        // XDG_CONFIG_HOME in a folder where VELOR cannot be made.
        QVERIFY(QDir().mkpath(docasna + u"/zamcena"_s));
        QFile::setPermissions(docasna + u"/zamcena"_s, jenCteni);
        qputenv("XDG_CONFIG_HOME", (docasna + u"/zamcena"_s).toLocal8Bit());
    } else {
        {
            TRegistr registr;
            QVERIFY(registr.OtevriKlic(KlicLumarin, true));
            registr.ZapisRetezec(u"Jazyk"_s, u"CZ"_s);
        }
        puvodni = Precti(Soubor());
        QFile::setPermissions(Prostredi->Docasna.filePath(u"config"_s), jenCteni | QFile::WriteOwner);
        // Without root's rights, the folder takes a lock file in all but the
        // first case; the file is protected in the third.
        QFile::setPermissions(Slozka(), pripad == 'r' ? jenCteni : vsem);
        QFile::setPermissions(Soubor(),
                              pripad == 'f'
                                  ? QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther
                                  : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    const QStringList predtim = Soubory();

    QString zprava;
    {
        std::unique_ptr<TBezPrivilegii> bezPrav;
        std::unique_ptr<TLimitVelikosti> limit;
        if (pripad == 'l')
            limit = std::make_unique<TLimitVelikosti>(rlim_t(puvodni.size() + 10));
        else
            bezPrav = std::make_unique<TBezPrivilegii>();
        TRegistr registr;
        QCOMPARE(registr.OtevriKlic(KlicLumarin, true), pripad != 'n');
        zprava = Chyba([&] { registr.ZapisRetezec(u"Jazyk"_s, u"Příliš dlouhý text, který se nevejde"_s); });
    }
    QVERIFY2(zprava.startsWith(u"Failed to set data for 'Jazyk': "_s + duvod), qPrintable(zprava));
    if (pripad == 'n') {
        QVERIFY(!QFileInfo::exists(docasna + u"/zamcena/VELOR"_s));
        return;
    }
    QCOMPARE(Precti(Soubor()), puvodni);
    QCOMPARE(Soubory(), predtim); // no temporary file or lock left behind
    TRegistr registr(KEY_READ);
    QVERIFY(registr.OtevriKlic(KlicLumarin, false));
    QCOMPARE(registr.CtiRetezec(u"Jazyk"_s), u"CZ"_s);
}

QTEST_MAIN(TestRegistr)
#include "tst_registr.moc"
