// Settings and input helpers: the key filters, the colours of edit-like
// controls, text values, dates and string lists in the settings store (also
// when the store refuses to write), a list-view item moved in place and the
// system folders.

#include "Nastaveni.h"
#include "Prostredi.h"
#include "Registr.h"
#include "Soubory.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString KlicTest = u"\\Software\\VELOR\\Test"_s;

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

QStringList Popisky(const QTreeWidget &Seznam)
{
    QStringList popisky;
    for (int i = 0; i < Seznam.topLevelItemCount(); ++i)
        popisky << Seznam.topLevelItem(i)->text(0);
    return popisky;
}

QStringList Vybrane(const QTreeWidget &Seznam)
{
    QStringList vybrane;
    for (const QTreeWidgetItem *polozka : Seznam.selectedItems())
        vybrane << polozka->text(0);
    return vybrane;
}

// One widget of each edit-like kind, by name.
std::unique_ptr<QWidget> Prvek(const QString &Druh)
{
    if (Druh == u"QLineEdit")
        return std::make_unique<QLineEdit>();
    if (Druh == u"QLineEdit s maskou") {
        auto edit = std::make_unique<QLineEdit>();
        edit->setInputMask(u"99.99.9999"_s);
        return edit;
    }
    if (Druh == u"QComboBox") {
        auto combo = std::make_unique<QComboBox>();
        combo->addItems({u"a"_s, u"b"_s});
        return combo;
    }
    if (Druh == u"QComboBox s ikonami") {
        auto combo = std::make_unique<QComboBox>();
        combo->setEditable(true);
        QPixmap ikona(8, 8);
        ikona.fill(Qt::red);
        combo->addItem(QIcon(ikona), u"a"_s);
        return combo;
    }
    if (Druh == u"QSpinBox")
        return std::make_unique<QSpinBox>();
    if (Druh == u"QDoubleSpinBox")
        return std::make_unique<QDoubleSpinBox>();
    if (Druh == u"QPlainTextEdit")
        return std::make_unique<QPlainTextEdit>();
    if (Druh == u"QTextEdit")
        return std::make_unique<QTextEdit>();
    return nullptr;
}

} // namespace

class TestNastaveni : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void klavesy_data();
    void klavesy();
    void barvy_data();
    void barvy();
    void ostatniPrvkyBezBarvy();

    void seznamTamAZpet();
    void prazdnySeznamNechaPrazdnyKlic();
    void cteniSeznamu_data();
    void cteniSeznamu();
    void koreny();
    void hodnotaZeRegistru();
    void datum_data();
    void datum();
    void spatnyTyp_data();
    void spatnyTyp();
    void odmitnutyZapis();

    void presun_data();
    void presun();
    void presunZachovaZastaveneKresleni();
    void systemovaSlozka();

private:
    QString Slozka() const { return Prostredi->Docasna.filePath(u"config/VELOR"_s); }
    QString Soubor() const { return Slozka() + u"/Lumarin.json"_s; }
    std::unique_ptr<TProstredi> Prostredi;
    TNastaveni Sluzba;
    int Pipnuti = 0;
};

void TestNastaveni::init()
{
    Prostredi = std::make_unique<TProstredi>();
    Pipnuti = 0;
    TNastaveni::NastavPipnuti([this] { ++Pipnuti; });
}

void TestNastaveni::cleanup()
{
    TNastaveni::NastavPipnuti({});
    // A folder a test made read-only still goes with the temporary folder.
    if (QFileInfo::exists(Slozka()))
        QFile::setPermissions(Slozka(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Prostredi.reset();
}

// ---- key filters ----

void TestNastaveni::klavesy_data()
{
    QTest::addColumn<QString>("filtr"); // Real, Real-, Veda, Soubor, Rimsky
    QTest::addColumn<QChar>("oddelovac");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("zacatek"); // of the selection, or the caret
    QTest::addColumn<int>("delka");   // of the selection
    QTest::addColumn<QChar>("vstup");
    QTest::addColumn<QChar>("vystup"); // null: rejected with a beep

    const QChar nic(u'\0'), bs(8), d(u'.'), c(u',');
    const auto radek = [](const char *Jmeno, const char *Filtr, QChar D, const QString &Text, int Zacatek, int Delka,
                          QChar Vstup, QChar Vystup) {
        QTest::newRow(Jmeno) << QString::fromLatin1(Filtr) << D << Text << Zacatek << Delka << Vstup << Vystup;
    };

    // Real numbers with a decimal comma.
    radek("real ,: tečka se stane čárkou", "Real", c, u"12"_s, 2, 0, u'.', c);
    radek("real ,: druhá čárka bez výběru", "Real", c, u"1,5"_s, 3, 0, c, nic);
    radek("real ,: tečka jako druhá čárka", "Real", c, u"1,5"_s, 3, 0, u'.', nic);
    radek("real ,: čárka nahradí výběr", "Real", c, u"1,5"_s, 0, 3, c, c);
    radek("real ,: tečka nahradí výběr", "Real", c, u"1,5"_s, 1, 1, u'.', c);
    radek("real ,: znak nad 255 s nízkým bajtem čárky", "Real", c, u""_s, 0, 0, QChar(0x012C), nic);
    // Real numbers with a decimal point.
    radek("real .: čárka se stane tečkou", "Real", d, u""_s, 0, 0, c, d);
    radek("real .: druhá tečka", "Real", d, u"1.5"_s, 1, 0, d, nic);
    radek("real .: číslice", "Real", d, u"1.5"_s, 3, 0, u'7', u'7');
    radek("real .: backspace i za tečkou", "Real", d, u"1.5"_s, 3, 0, bs, bs);
    radek("real .: písmeno", "Real", d, u""_s, 0, 0, u'a', nic);
    radek("real .: E jen ve vědeckém zápisu", "Real", d, u"1"_s, 1, 0, u'E', nic);
    radek("real .: č", "Real", d, u""_s, 0, 0, u'č', nic);
    radek("real .: znak nad 255 s nízkým bajtem číslice", "Real", d, u""_s, 0, 0, QChar(0x0135), nic);
    radek("real .: Enter", "Real", d, u"1"_s, 1, 0, QChar(13), nic);
    radek("real .: Esc", "Real", d, u"1"_s, 1, 0, QChar(27), nic);
    radek("real .: Ctrl+C", "Real", d, u"1"_s, 1, 0, QChar(3), nic);
    radek("real .: Ctrl+V", "Real", d, u"1"_s, 1, 0, QChar(22), nic);
    radek("real .: Ctrl+X", "Real", d, u"1"_s, 1, 0, QChar(24), nic);
    // The sign.
    radek("real bez znaménka: minus", "Real", d, u"12"_s, 0, 0, u'-', nic);
    radek("real se znaménkem: první minus", "Real-", d, u"12"_s, 0, 0, u'-', u'-');
    radek("real se znaménkem: druhé minus na konci", "Real-", d, u"-12"_s, 3, 0, u'-', nic);
    radek("real se znaménkem: druhé minus přes výběr", "Real-", d, u"-12"_s, 0, 1, u'-', nic);
    radek("real se znaménkem: tečka", "Real-", d, u"-12"_s, 3, 0, d, d);
    // Scientific notation.
    radek("věda: E", "Veda", d, u"1"_s, 1, 0, u'E', u'E');
    radek("věda: malé e", "Veda", d, u"1"_s, 1, 0, u'e', nic);
    radek("věda: kolikáté minus", "Veda", d, u"-1E-"_s, 4, 0, u'-', u'-');
    radek("věda: čárka se stane tečkou", "Veda", d, u"1"_s, 1, 0, c, d);
    radek("věda ,: tečka se stane čárkou", "Veda", c, u"1"_s, 1, 0, d, c);
    radek("věda: druhá tečka", "Veda", d, u"1.5E"_s, 4, 0, d, nic);
    radek("věda: tečka nahradí výběr", "Veda", d, u"1.5E"_s, 1, 1, d, d);
    radek("věda: plus", "Veda", d, u"1E"_s, 2, 0, u'+', nic);
    radek("věda: backspace", "Veda", d, u"1"_s, 1, 0, bs, bs);
    radek("věda: Enter", "Veda", d, u"1"_s, 1, 0, QChar(13), nic);
    radek("věda: Ctrl+V", "Veda", d, u"1"_s, 1, 0, QChar(22), nic);
    radek("věda: znak nad 255 s nízkým bajtem E", "Veda", d, u"1"_s, 1, 0, QChar(0x0145), nic);
    // File names.
    for (const QChar zakazany : u"\"*/:<>?\\|"_s) {
        const QByteArray jmeno = "soubor: " + QString(zakazany).toUtf8();
        radek(jmeno.constData(), "Soubor", d, u""_s, 0, 0, zakazany, nic);
    }
    radek("soubor: tečka", "Soubor", d, u"a"_s, 1, 0, d, d);
    radek("soubor: mezera", "Soubor", d, u"a"_s, 1, 0, u' ', u' ');
    radek("soubor: č", "Soubor", d, u"a"_s, 1, 0, u'č', u'č');
    radek("soubor: znak nad 255 s nízkým bajtem otazníku", "Soubor", d, u""_s, 0, 0, QChar(0x013F), QChar(0x013F));
    radek("soubor: Enter", "Soubor", d, u""_s, 0, 0, QChar(13), QChar(13));
    radek("soubor: Esc", "Soubor", d, u""_s, 0, 0, QChar(27), QChar(27));
    radek("soubor: Ctrl+C", "Soubor", d, u""_s, 0, 0, QChar(3), QChar(3));
    radek("soubor: Ctrl+V", "Soubor", d, u""_s, 0, 0, QChar(22), QChar(22));
    radek("soubor: Ctrl+X", "Soubor", d, u""_s, 0, 0, QChar(24), QChar(24));
    // Roman numerals.
    radek("římské: x", "Rimsky", d, u""_s, 0, 0, u'x', u'x');
    radek("římské: X", "Rimsky", d, u""_s, 0, 0, u'X', u'X');
    radek("římské: m", "Rimsky", d, u""_s, 0, 0, u'm', u'm');
    radek("římské: backspace", "Rimsky", d, u"X"_s, 1, 0, bs, bs);
    radek("římské: Y", "Rimsky", d, u""_s, 0, 0, u'Y', nic);
    radek("římské: 0", "Rimsky", d, u""_s, 0, 0, u'0', nic);
    radek("římské: mezera", "Rimsky", d, u""_s, 0, 0, u' ', nic);
    radek("římské: Enter", "Rimsky", d, u""_s, 0, 0, QChar(13), nic);
    radek("římské: Ř, nízký bajt X", "Rimsky", d, u""_s, 0, 0, u'Ř', nic);
}

void TestNastaveni::klavesy()
{
    QFETCH(QString, filtr);
    QFETCH(QChar, oddelovac);
    QFETCH(QString, text);
    QFETCH(int, zacatek);
    QFETCH(int, delka);
    QFETCH(QChar, vstup);
    QFETCH(QChar, vystup);

    const QChar puvodni = FormatoveNastaveni().DesetinnyOddelovac;
    FormatoveNastaveni().DesetinnyOddelovac = oddelovac;
    QLineEdit edit(text);
    if (delka > 0)
        edit.setSelection(zacatek, delka);
    else
        edit.setCursorPosition(zacatek);
    QChar klavesa = vstup;
    if (filtr == u"Real" || filtr == u"Real-")
        Sluzba.StiskKlavesyReal(&edit, klavesa, filtr == u"Real-");
    else if (filtr == u"Veda")
        Sluzba.StiskKlavesyRealVeda(&edit, klavesa);
    else if (filtr == u"Soubor")
        Sluzba.StiskKlavesySoubor(&edit, klavesa);
    else
        Sluzba.StiskKlavesyRimsky(&edit, klavesa);
    FormatoveNastaveni().DesetinnyOddelovac = puvodni;

    QCOMPARE(klavesa, vystup);
    QCOMPARE(Pipnuti, vystup.isNull() ? 1 : 0);
    QCOMPARE(edit.text(), text); // the filter only decides, the edit box types
}

// ---- colours ----

void TestNastaveni::barvy_data()
{
    QTest::addColumn<QString>("druh");
    QTest::addColumn<bool>("vykresleni"); // the background can be checked on the painted widget
    QTest::newRow("QLineEdit") << u"QLineEdit"_s << true;
    QTest::newRow("QLineEdit s maskou") << u"QLineEdit s maskou"_s << true;
    QTest::newRow("QComboBox") << u"QComboBox"_s << false; // its face is a gradient of the colour
    QTest::newRow("QComboBox s ikonami") << u"QComboBox s ikonami"_s << true;
    QTest::newRow("QSpinBox") << u"QSpinBox"_s << true;
    QTest::newRow("QDoubleSpinBox") << u"QDoubleSpinBox"_s << true;
    QTest::newRow("QPlainTextEdit") << u"QPlainTextEdit"_s << true;
    QTest::newRow("QTextEdit") << u"QTextEdit"_s << true;
}

void TestNastaveni::barvy()
{
    QFETCH(QString, druh);
    QFETCH(bool, vykresleni);
    const std::unique_ptr<QWidget> prvek = Prvek(druh);
    QVERIFY(prvek);
    prvek->resize(200, 80);
    const bool bCombo = qobject_cast<QComboBox *>(prvek.get());
    const QColor cervena(255, 0, 0), zluta(255, 255, 200);

    Sluzba.BarvaTextu(prvek.get(), 0x0000FF);
    Sluzba.BarvaPozadi(prvek.get(), 0x00C8FFFF); // bytes in blue, green, red order
    for (const auto skupina : {QPalette::Active, QPalette::Inactive}) {
        QCOMPARE(prvek->palette().color(skupina, QPalette::Text), cervena);
        if (bCombo)
            QCOMPARE(prvek->palette().color(skupina, QPalette::ButtonText), cervena);
    }
    for (const auto skupina : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QCOMPARE(prvek->palette().color(skupina, QPalette::Base), zluta);
        if (bCombo)
            QCOMPARE(prvek->palette().color(skupina, QPalette::Button), zluta);
    }
    if (vykresleni) {
        const QImage obraz = prvek->grab().toImage();
        QCOMPARE(obraz.pixelColor(obraz.width() / 4, obraz.height() / 2), zluta);
    }

    // The system's window background and window text give back the control's own colours.
    Sluzba.BarvaPozadi(prvek.get(), 0xFF000005);
    Sluzba.BarvaTextu(prvek.get(), 0xFF000008);
    const QPalette vychozi = QApplication::palette(prvek.get());
    QCOMPARE(prvek->palette().color(QPalette::Base), vychozi.color(QPalette::Base));
    QCOMPARE(prvek->palette().color(QPalette::Text), vychozi.color(QPalette::Text));
    QVERIFY(vychozi.color(QPalette::Base) != vychozi.color(QPalette::Text));
}

void TestNastaveni::ostatniPrvkyBezBarvy()
{
    QLabel popisek(u"text"_s);
    QPushButton tlacitko(u"OK"_s);
    const QPalette paletaPopisku = popisek.palette(), paletaTlacitka = tlacitko.palette();
    QTimer casovac;
    for (QObject *objekt : {static_cast<QObject *>(&popisek), static_cast<QObject *>(&tlacitko),
                            static_cast<QObject *>(&casovac), static_cast<QObject *>(nullptr)}) {
        Sluzba.BarvaTextu(objekt, 0x0000FF);
        Sluzba.BarvaPozadi(objekt, 0x00C8FFFF);
    }
    QCOMPARE(popisek.palette(), paletaPopisku);
    QCOMPARE(tlacitko.palette(), paletaTlacitka);
    QVERIFY(!popisek.testAttribute(Qt::WA_SetPalette));
}

// ---- string lists ----

void TestNastaveni::seznamTamAZpet()
{
    const QStringList seznam{u"první"_s, u""_s, u"a\\b"_s};
    Sluzba.StringListDoRegistru(HKEY_CURRENT_USER, KlicTest, seznam);
    {
        TRegistr registr(KEY_READ);
        QVERIFY(registr.OtevriKlic(KlicTest, false));
        QStringList jmena = registr.JmenaHodnot();
        jmena.sort();
        QCOMPARE(jmena, QStringList({u"0"_s, u"1"_s, u"2"_s}));
        QCOMPARE(registr.TypHodnoty(u"1"_s), rdRetezec);
    }

    QStringList precteno;
    Sluzba.StringListZeRegistru(HKEY_CURRENT_USER, KlicTest, precteno);
    QCOMPARE(precteno, seznam);

    QStringList pripojeno{u"x"_s};
    Sluzba.StringListZeRegistru(HKEY_CURRENT_USER, KlicTest, pripojeno);
    QCOMPARE(pripojeno, QStringList{u"x"_s} + seznam);

    // A shorter list leaves none of the longer one behind.
    Sluzba.StringListDoRegistru(HKEY_CURRENT_USER, KlicTest, {u"jen"_s});
    precteno.clear();
    Sluzba.StringListZeRegistru(HKEY_CURRENT_USER, KlicTest, precteno);
    QCOMPARE(precteno, QStringList{u"jen"_s});
}

void TestNastaveni::prazdnySeznamNechaPrazdnyKlic()
{
    Sluzba.StringListDoRegistru(HKEY_CURRENT_USER, KlicTest, {u"a"_s, u"b"_s});
    {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(KlicTest + u"\\Pod"_s, true));
        registr.ZapisRetezec(u"x"_s, u"y"_s);
    }
    Sluzba.StringListDoRegistru(HKEY_CURRENT_USER, KlicTest, {});
    TRegistr registr(KEY_READ);
    QVERIFY(registr.OtevriKlic(KlicTest, false));
    QCOMPARE(registr.PocetHodnot(), 0);
    QVERIFY(!registr.ExistujeKlic(KlicTest + u"\\Pod"_s));
}

void TestNastaveni::cteniSeznamu_data()
{
    QTest::addColumn<QStringList>("hodnoty"); // name=text, written before
    QTest::addColumn<QStringList>("precteno");
    QTest::newRow("chybějící klíč") << QStringList() << QStringList();
    QTest::newRow("prázdný klíč") << QStringList{u"-"_s} << QStringList();
    QTest::newRow("díra v číslování") << QStringList{u"0=a"_s, u"2=c"_s, u"jmeno=z"_s}
                                      << QStringList{u"a"_s, u""_s, u"c"_s};
    QTest::newRow("čísla bez nul na začátku") << QStringList{u"00=a"_s, u"1=b"_s} << QStringList{u""_s, u"b"_s};
}

void TestNastaveni::cteniSeznamu()
{
    QFETCH(QStringList, hodnoty);
    QFETCH(QStringList, precteno);
    if (!hodnoty.isEmpty()) {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(KlicTest, true));
        for (const QString &hodnota : hodnoty)
            if (hodnota.contains(u'='))
                registr.ZapisRetezec(hodnota.section(u'=', 0, 0), hodnota.section(u'=', 1));
    }
    QStringList seznam{u"před"_s};
    Sluzba.StringListZeRegistru(HKEY_CURRENT_USER, KlicTest, seznam);
    QCOMPARE(seznam, QStringList{u"před"_s} + precteno);
    QVERIFY(TRegistr(KEY_READ).ExistujeKlic(KlicTest)); // reading leaves the key behind
}

// ---- roots, single values, dates ----

void TestNastaveni::koreny()
{
#ifdef Q_OS_WIN
    QSKIP("HKEY_DYN_DATA is Windows 9x's only, and the other roots would be the machine's own");
#endif
    // Lists: a root that is not a predefined one means the current user's.
    const QList<QPair<quint32, quint32>> seznamy{{HKEY_LOCAL_MACHINE, HKEY_LOCAL_MACHINE},
                                                 {HKEY_DYN_DATA, HKEY_DYN_DATA},
                                                 {0x80000007, HKEY_CURRENT_USER},
                                                 {0x7FFFFFFF, HKEY_CURRENT_USER},
                                                 {0, HKEY_CURRENT_USER}};
    for (const auto &[koren, skutecny] : seznamy) {
        const QString klic = KlicTest + u"\\%1"_s.arg(koren, 0, 16);
        Sluzba.StringListDoRegistru(koren, klic, {u"a"_s});
        TRegistr registr(KEY_READ);
        registr.NastavKoren(skutecny);
        QVERIFY2(registr.OtevriKlic(klic, false), qPrintable(klic));
        QCOMPARE(registr.CtiRetezec(u"0"_s), u"a"_s);
        QStringList precteno;
        Sluzba.StringListZeRegistru(koren, klic, precteno);
        QCOMPARE(precteno, QStringList{u"a"_s});
    }

    // Single values: the root as it is given; one that is none opens nothing.
    QVERIFY(Sluzba.HodnotaDoRegistru(HKEY_USERS, KlicTest, u"A"_s, u"u"_s));
    TRegistr uzivatele(KEY_READ);
    uzivatele.NastavKoren(HKEY_USERS);
    QVERIFY(uzivatele.OtevriKlic(KlicTest, false));
    QCOMPARE(uzivatele.CtiRetezec(u"A"_s), u"u"_s);
    QCOMPARE(Sluzba.HodnotaZeRegistru(HKEY_USERS, KlicTest, u"A"_s, u"výchozí"_s), u"u"_s);
    QCOMPARE(Sluzba.HodnotaZeRegistru(HKEY_CURRENT_USER, KlicTest, u"A"_s, u"výchozí"_s), u"výchozí"_s);

    const QByteArray predtim = Precti(Soubor());
    QVERIFY(!Sluzba.HodnotaDoRegistru(0x80000007, KlicTest, u"A"_s, u"x"_s));
    QVERIFY(!Sluzba.HodnotaDoRegistru(0x80000007, KlicTest, u"D"_s, TDate(1.0)));
    QCOMPARE(Precti(Soubor()), predtim);
    QCOMPARE(Sluzba.HodnotaZeRegistru(0x80000007, KlicTest, u"A"_s, u"výchozí"_s), u"výchozí"_s);
}

void TestNastaveni::hodnotaZeRegistru()
{
    const QString vychozi = u"výchozí"_s;
    QCOMPARE(Sluzba.HodnotaZeRegistru(HKEY_CURRENT_USER, KlicTest, u"A"_s, vychozi), vychozi);
    QCOMPARE(Sluzba.HodnotaZeRegistru(HKEY_CURRENT_USER, KlicTest, u"D"_s, TDate(2.5)), TDate(2.5));
    QVERIFY(!TRegistr(KEY_READ).ExistujeKlic(KlicTest)); // reading creates nothing

    QVERIFY(Sluzba.HodnotaDoRegistru(HKEY_CURRENT_USER, KlicTest, u"Prazdna"_s, u""_s));
    QVERIFY(Sluzba.HodnotaDoRegistru(HKEY_CURRENT_USER, KlicTest, u"Plna"_s, u"ěščř\\\"x"_s));
    {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(KlicTest, false));
        QCOMPARE(registr.TypHodnoty(u"Plna"_s), rdRetezec);
    }
    QCOMPARE(Sluzba.HodnotaZeRegistru(HKEY_CURRENT_USER, KlicTest, u"A"_s, vychozi), vychozi);
    QCOMPARE(Sluzba.HodnotaZeRegistru(HKEY_CURRENT_USER, KlicTest, u"Prazdna"_s, vychozi), u""_s);
    QCOMPARE(Sluzba.HodnotaZeRegistru(HKEY_CURRENT_USER, KlicTest, u"Plna"_s, vychozi), u"ěščř\\\"x"_s);
    // Names and keys without regard to case, a key path without the leading backslash.
    QCOMPARE(Sluzba.HodnotaZeRegistru(HKEY_CURRENT_USER, KlicTest.toUpper().mid(1), u"PLNA"_s, vychozi),
             u"ěščř\\\"x"_s);
}

void TestNastaveni::datum_data()
{
    QTest::addColumn<double>("datum");
    QTest::addColumn<QString>("hex");
    QTest::newRow("31. 12. 1899") << 1.0 << u"000000000000f03f"_s;
    QTest::newRow("15. 3. 2023 18:00") << 45000.75 << u"0000000018f9e540"_s;
    QTest::newRow("před rokem 1899") << -1.5 << u"000000000000f8bf"_s;
    QTest::newRow("nula") << 0.0 << u"0000000000000000"_s;
}

void TestNastaveni::datum()
{
    QFETCH(double, datum);
    QFETCH(QString, hex);
    QVERIFY(Sluzba.HodnotaDoRegistru(HKEY_CURRENT_USER, KlicTest, u"Od"_s, TDate(datum)));
    QCOMPARE(Sluzba.HodnotaZeRegistru(HKEY_CURRENT_USER, KlicTest, u"Od"_s, TDate(99.0)), TDate(datum));

#ifdef Q_OS_WIN
    TRegistr registr(KEY_READ);
    QVERIFY(registr.OtevriKlic(u"\\Software\\VELOR\\Test"_s, false));
    QCOMPARE(int(registr.TypHodnoty(u"Od"_s)), int(rdBinarni));
    QCOMPARE(QString::fromLatin1(registr.CtiBinarni(u"Od"_s).toHex()), hex); // eight bytes, little-endian
#else
    const QJsonObject soubor = QJsonDocument::fromJson(Precti(Soubor())).object();
    const QJsonObject hodnota =
        soubor.value(u"HKEY_CURRENT_USER\\Software\\VELOR\\Test"_s).toObject().value(u"Od"_s).toObject();
    QCOMPARE(hodnota.value(u"type"_s).toString(), u"REG_BINARY"_s);
    QCOMPARE(hodnota.value(u"data"_s).toString(), hex); // eight bytes, little-endian
#endif
}

void TestNastaveni::spatnyTyp_data()
{
    QTest::addColumn<char>("typ"); // s REG_SZ, e REG_EXPAND_SZ, d REG_DWORD, b REG_BINARY
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("bDatum");
    QTest::addColumn<QString>("chyba");
    const QString typ = u"Invalid data type for 'X'"_s, data = u"Failed to get data for 'X'"_s;
    QTest::newRow("text z čísla") << 'd' << QByteArray("7") << false << typ;
    QTest::newRow("text z binárních dat") << 'b' << QByteArray("ab") << false << typ;
    QTest::newRow("datum z čísla") << 'd' << QByteArray("7") << true << typ;
    QTest::newRow("datum z krátkého textu") << 's' << QByteArray("abc") << true << typ;
    QTest::newRow("datum z dlouhého textu") << 's' << QByteArray("abcdef") << true << data;
    QTest::newRow("datum ze 4 bajtů") << 'b' << QByteArray(4, '\1') << true << typ;
    QTest::newRow("datum z prázdných dat") << 'b' << QByteArray() << true << typ;
    QTest::newRow("datum z 9 bajtů") << 'b' << QByteArray(9, '\1') << true << data;
}

void TestNastaveni::spatnyTyp()
{
    QFETCH(char, typ);
    QFETCH(QByteArray, data);
    QFETCH(bool, bDatum);
    QFETCH(QString, chyba);
    {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(KlicTest, true));
        switch (typ) {
        case 's': registr.ZapisRetezec(u"X"_s, QString::fromLatin1(data)); break;
        case 'd': registr.ZapisCislo(u"X"_s, data.toInt()); break;
        default: registr.ZapisBinarni(u"X"_s, data); break;
        }
    }
    QCOMPARE(Chyba([&] {
                 if (bDatum)
                     Sluzba.HodnotaZeRegistru(HKEY_CURRENT_USER, KlicTest, u"X"_s, TDate(1.0));
                 else
                     Sluzba.HodnotaZeRegistru(HKEY_CURRENT_USER, KlicTest, u"X"_s, u"výchozí"_s);
             }),
             chyba);
    // A list item of the wrong type stops the reading; the list stays as it was.
    if (typ != 's') {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(KlicTest, false));
        registr.ZapisRetezec(u"0"_s, u"a"_s);
        registr.ZapisCislo(u"1"_s, 1);
        QStringList seznam{u"před"_s};
        QCOMPARE(Chyba([&] { Sluzba.StringListZeRegistru(HKEY_CURRENT_USER, KlicTest, seznam); }),
                 u"Invalid data type for '1'"_s);
        QCOMPARE(seznam, QStringList{u"před"_s});
    }
}

// The settings folder cannot be written: every write is refused, nothing
// already stored is lost, and the caller learns it.
void TestNastaveni::odmitnutyZapis()
{
    JEN_SOUBOR_NASTAVENI();
    QVERIFY(Sluzba.HodnotaDoRegistru(HKEY_CURRENT_USER, KlicTest, u"A"_s, u"stará"_s));
    QVERIFY(Sluzba.HodnotaDoRegistru(HKEY_CURRENT_USER, KlicTest, u"D"_s, TDate(3.25)));
    Sluzba.StringListDoRegistru(HKEY_CURRENT_USER, KlicTest + u"\\Seznam"_s, {u"a"_s, u"b"_s});
    const QByteArray puvodni = Precti(Soubor());

    const auto jenCteni =
        QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    // Others may pass through to the settings, but not write into their folder.
    QFile::setPermissions(Prostredi->Docasna.path(), jenCteni | QFile::WriteOwner);
    QFile::setPermissions(Prostredi->Docasna.filePath(u"config"_s), jenCteni | QFile::WriteOwner);
    QFile::setPermissions(Slozka(), jenCteni);
    {
        TBezPrivilegii bezPrav;
        const QString zapis = u"Failed to set data for '%1': "_s;
        QString chyba = Chyba([&] { Sluzba.HodnotaDoRegistru(HKEY_CURRENT_USER, KlicTest, u"A"_s, u"nová"_s); });
        QVERIFY2(chyba.startsWith(zapis.arg(u"A"_s)), qPrintable(chyba));
        chyba = Chyba([&] { Sluzba.HodnotaDoRegistru(HKEY_CURRENT_USER, KlicTest, u"D"_s, TDate(4.0)); });
        QVERIFY2(chyba.startsWith(zapis.arg(u"D"_s)), qPrintable(chyba));
        chyba = Chyba([&] { Sluzba.StringListDoRegistru(HKEY_CURRENT_USER, KlicTest + u"\\Seznam"_s, {u"x"_s}); });
        QVERIFY2(chyba.startsWith(zapis.arg(u"0"_s)), qPrintable(chyba));

        // A key that cannot be created: false, or nothing for a list.
        bool bZapsano = true;
        QCOMPARE(Chyba([&] { bZapsano = Sluzba.HodnotaDoRegistru(HKEY_CURRENT_USER, u"\\Nova"_s, u"A"_s, u"x"_s); }),
                 u"<no error>"_s);
        QVERIFY(!bZapsano);
        QStringList seznam{u"před"_s};
        QCOMPARE(Chyba([&] { Sluzba.StringListZeRegistru(HKEY_CURRENT_USER, u"\\Nova"_s, seznam); }), u"<no error>"_s);
        QCOMPARE(seznam, QStringList{u"před"_s});
    }
    QCOMPARE(Precti(Soubor()), puvodni);
    QCOMPARE(Sluzba.HodnotaZeRegistru(HKEY_CURRENT_USER, KlicTest, u"A"_s, u""_s), u"stará"_s);
    QCOMPARE(Sluzba.HodnotaZeRegistru(HKEY_CURRENT_USER, KlicTest, u"D"_s, TDate(0)), TDate(3.25));
    QStringList seznam;
    Sluzba.StringListZeRegistru(HKEY_CURRENT_USER, KlicTest + u"\\Seznam"_s, seznam);
    QCOMPARE(seznam, QStringList({u"a"_s, u"b"_s}));
}

// ---- list view ----

void TestNastaveni::presun_data()
{
    QTest::addColumn<int>("odkud");
    QTest::addColumn<int>("kam");
    QTest::addColumn<bool>("bPresunuto");
    QTest::addColumn<QStringList>("poradi");
    const QStringList abcd{u"A"_s, u"B"_s, u"C"_s, u"D"_s};
    QTest::newRow("0 → 3") << 0 << 3 << true << QStringList{u"B"_s, u"C"_s, u"A"_s, u"D"_s};
    QTest::newRow("3 → 0") << 3 << 0 << true << QStringList{u"D"_s, u"A"_s, u"B"_s, u"C"_s};
    QTest::newRow("0 → 4, na konec") << 0 << 4 << true << QStringList{u"B"_s, u"C"_s, u"D"_s, u"A"_s};
    QTest::newRow("1 → 1") << 1 << 1 << true << abcd;
    QTest::newRow("1 → 2") << 1 << 2 << true << abcd;
    QTest::newRow("odkud mimo seznam") << 4 << 0 << false << abcd;
    QTest::newRow("kam mimo seznam") << 0 << 5 << false << abcd;
    QTest::newRow("65535 → 0") << 65535 << 0 << false << abcd;
}

void TestNastaveni::presun()
{
    QFETCH(int, odkud);
    QFETCH(int, kam);
    QFETCH(bool, bPresunuto);
    QFETCH(QStringList, poradi);

    QTreeWidget seznam;
    seznam.setRootIsDecorated(false);
    seznam.setColumnCount(2);
    seznam.setSelectionMode(QAbstractItemView::SingleSelection);
    QPixmap ikona(8, 8);
    ikona.fill(Qt::green);
    for (const QString &popisek : {u"A"_s, u"B"_s, u"C"_s, u"D"_s}) {
        auto *polozka = new QTreeWidgetItem(&seznam, {popisek, popisek.toLower() + u"1"_s});
        polozka->setIcon(0, QIcon(ikona));
        polozka->setData(0, Qt::UserRole, popisek.at(0).unicode());
        polozka->setCheckState(1, Qt::Checked);
    }
    seznam.topLevelItem(2)->setSelected(true);
    const QString presouvana = odkud < 4 ? seznam.topLevelItem(odkud)->text(0) : QString();

    QCOMPARE(Sluzba.PresunPolozkyListView(&seznam, quint16(odkud), quint16(kam)), bPresunuto);
    QCOMPARE(Popisky(seznam), poradi);
    QVERIFY(seznam.updatesEnabled());
    if (!bPresunuto) {
        QCOMPARE(Vybrane(seznam), QStringList{u"C"_s});
        return;
    }
    QCOMPARE(Vybrane(seznam), QStringList{presouvana});
    const QTreeWidgetItem *polozka = seznam.selectedItems().constFirst();
    QCOMPARE(polozka->text(1), presouvana.toLower() + u"1"_s);
    QCOMPARE(polozka->data(0, Qt::UserRole).toInt(), int(presouvana.at(0).unicode()));
    QVERIFY(!polozka->icon(0).isNull());
    QCOMPARE(polozka->checkState(1), Qt::Checked);
}

void TestNastaveni::presunZachovaZastaveneKresleni()
{
    QTreeWidget seznam;
    new QTreeWidgetItem(&seznam, {u"A"_s});
    new QTreeWidgetItem(&seznam, {u"B"_s});
    seznam.setUpdatesEnabled(false); // the caller's own begin update
    QVERIFY(Sluzba.PresunPolozkyListView(&seznam, 1, 0));
    QVERIFY(!seznam.updatesEnabled());
    QVERIFY(!Sluzba.PresunPolozkyListView(nullptr, 0, 1));
}

// ---- system folders ----

void TestNastaveni::systemovaSlozka()
{
    QTemporaryDir docasna;
    QVERIFY(docasna.isValid());
#ifdef Q_OS_WIN
    const char *promenna = "TMP"; // the first that Windows reads for it
#else
    const char *promenna = "TMPDIR";
#endif
    TPromenna tmpdir(promenna);
    qputenv(promenna, QDir::toNativeSeparators(docasna.path()).toLocal8Bit());
    QCOMPARE(Sluzba.SystemovaSlozka(0), QDir::toNativeSeparators(docasna.path()) + QDir::separator());

    QCOMPARE(Sluzba.SystemovaSlozka(7), QString());  // the printers: no folder
    QCOMPARE(Sluzba.SystemovaSlozka(13), QString()); // the recycle bin
    for (int typ = 33; typ <= 255; ++typ)
        QVERIFY2(Sluzba.SystemovaSlozka(quint8(typ)).isEmpty(), qPrintable(QString::number(typ)));
    for (int typ = 0; typ <= 32; ++typ) {
        const QString slozka = Sluzba.SystemovaSlozka(quint8(typ));
        QVERIFY2(slozka.isEmpty() || QDir::isAbsolutePath(slozka), qPrintable(slozka));
    }
}

QTEST_MAIN(TestNastaveni)
#include "tst_nastaveni.moc"
