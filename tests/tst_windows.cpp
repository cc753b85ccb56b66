// What only Windows can show: the ANSI code page of the run, the settings in
// the registry itself (every type of value, and the wrong, missing and
// damaged cases), the version resource of lumarin.exe read back by the
// version API, windows-1250 files opened, converted (F6) and saved through
// the ANSI code page, the keyboard's toggles, and the window's writer with
// the Windows ways a save fails.

#include "KodovaStranka.h"
#include "Klavesnice.h"
#include "Konzole.h"
#include "Memo.h"
#include "Registr.h"
#include "SoubUtility.h"
#include "Soubor.h"
#include "SouborWin.h"
#include "Soubory.h"
#include "TestovaciOkno.h"
#include "TextovySoubor.h"
#include "UlozeneNastaveni.h"

#include <QAction>
#include <QDirIterator>
#include <QProcess>
#include <QtTest>
#include <climits>
#include <functional>
#include <memory>

// After Registr.h and the program's headers, whose names <windows.h> would
// otherwise turn into macros; Komponenty.h has a MulDiv of its own.
#define MulDiv MulDiv_Windows
#include <windows.h>
#undef MulDiv
#ifndef SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
#define SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE 0x2
#endif

using namespace Qt::StringLiterals;

namespace {

const wchar_t *const KlicW = L"Software\\VELOR\\Lumarin";

// The message of the EChyba that Akce throws; "<no error>" when none.
QString Chyba(const std::function<void()> &Akce)
{
    try {
        Akce();
    } catch (const EChyba &chyba) {
        return chyba.Zprava();
    }
    return u"<no error>"_s;
}

std::wstring W(const QString &Text)
{
    return QDir::toNativeSeparators(Text).toStdWString();
}

// The UTF-16 bytes of a registry text, with its terminating null.
QByteArray Sz(const QString &Text)
{
    return QByteArray(reinterpret_cast<const char *>(Text.utf16()), (Text.size() + 1) * 2);
}

QByteArray Dword(quint32 Hodnota)
{
    return QByteArray(reinterpret_cast<const char *>(&Hodnota), 4);
}

// Writes a value of any type and data into the key Lumarin with the
// registry's own call.
void ZapisSurove(const wchar_t *Jmeno, DWORD Typ, const QByteArray &Data)
{
    HKEY klic = nullptr;
    QCOMPARE(RegCreateKeyExW(HKEY_CURRENT_USER, KlicW, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &klic, nullptr),
             LSTATUS(ERROR_SUCCESS));
    QCOMPARE(RegSetValueExW(klic, Jmeno, 0, Typ, reinterpret_cast<const BYTE *>(Data.constData()), DWORD(Data.size())),
             LSTATUS(ERROR_SUCCESS));
    RegCloseKey(klic);
}

// Reads a value of the key Lumarin with the registry's own call: its type and data.
bool CtiSurove(const wchar_t *Jmeno, DWORD &Typ, QByteArray &Data)
{
    DWORD velikost = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, KlicW, Jmeno, RRF_RT_ANY | RRF_NOEXPAND, &Typ, nullptr, &velikost) !=
        ERROR_SUCCESS)
        return false;
    Data.resize(velikost);
    return RegGetValueW(HKEY_CURRENT_USER, KlicW, Jmeno, RRF_RT_ANY | RRF_NOEXPAND, &Typ, Data.data(), &velikost) ==
        ERROR_SUCCESS &&
        (Data.resize(velikost), true);
}

// Every byte from 0x80 on, each followed by a space, in windows-1250.
QByteArray HorniBajty()
{
    QByteArray bajty;
    for (int b = 0x80; b <= 0xFF; ++b) {
        bajty += char(b);
        bajty += ' ';
    }
    return bajty;
}

// The file's attributes, or INVALID_FILE_ATTRIBUTES.
DWORD Atributy(const QString &Cesta)
{
    return GetFileAttributesW(W(Cesta).c_str());
}

} // namespace

class TestWindows : public QObject {
    Q_OBJECT
private slots:
    void init() { Prostredi = std::make_unique<TProstredi>(); }
    void cleanup() { Prostredi.reset(); }

    void kodovaStranka();
    void registrCteni_data();
    void registrCteni();
    void registrZapis_data();
    void registrZapis();
    void registrKlice();
    void verzeProgramu();
    void soubor1250_data();
    void soubor1250();
    void klavesnice();
    void prikazovaRadka();
    void zapisNahradi();
    void zapisOdmitne();
    void zapisDrzenehoSouboru();
    void nahrazeniBezStareho_data();
    void nahrazeniBezStareho();
    void zapisPresOdkaz();
    void zapisDlouheCesty();
    void plnyDisk();

private:
    // The folder's entries besides the given ones: a temporary file left over shows here.
    QStringList Zbytky(const QStringList &Ocekavane) const
    {
        QStringList zbytky = QDir(Prostredi->Cesta({})).entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &jmeno : Ocekavane)
            zbytky.removeAll(jmeno);
        return zbytky;
    }
    std::unique_ptr<TProstredi> Prostredi;
};

// The tests run with the ANSI code page 1250 (LANG=cs_CZ.UTF-8 under Wine,
// a Czech system locale on Windows), which the 8-bit files are read in.
void TestWindows::kodovaStranka()
{
    QVERIFY2(GetACP() == 1250,
             qPrintable(u"the ANSI code page is %1, not 1250: run with LANG=cs_CZ.UTF-8"_s.arg(GetACP())));
    QCOMPARE(NazevKodoveStranky(), u"windows-1250"_s);
    // Every byte decodes as the system's own call decodes it, and back.
    QByteArray bajty;
    for (int b = 0; b < 256; ++b)
        bajty += char(b);
    wchar_t siroke[256];
    QCOMPARE(MultiByteToWideChar(1250, 0, bajty.constData(), 256, siroke, 256), 256);
    const QString text = DekodujOsmibitove(bajty);
    QCOMPARE(text, QString::fromWCharArray(siroke, 256));
    QByteArray zpet;
    QVERIFY(ZakodujOsmibitove(text, zpet));
    QCOMPARE(zpet, bajty);
    // A character the code page lacks is refused, never replaced by a look-alike.
    for (const QString &cizi : {u"ñ"_s, u"😀"_s, u"中"_s, u"ő ñ"_s})
        QVERIFY2(!ZakodujOsmibitove(cizi, zpet), qPrintable(cizi));
}

// One value of the key Lumarin, written by the registry's own call with any
// type and data, read as text, integer or binary data through the store.
void TestWindows::registrCteni_data()
{
    QTest::addColumn<int>("typ"); // the registry's type; -1: no such value
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("typHodnoty"); // what TypHodnoty says
    QTest::addColumn<char>("cteni");     // 's' text, 'i' integer, 'b' binary data
    QTest::addColumn<QVariant>("vysledek");
    QTest::addColumn<QString>("chyba"); // the reason before " for 'Hodnota'"; empty: none

    const QString jine = u"Invalid data type"_s, nelze = u"Failed to get data"_s;
    QTest::newRow("text") << int(REG_SZ) << Sz(u"Příliš žluťoučký"_s) << int(rdRetezec) << 's'
                          << QVariant(u"Příliš žluťoučký"_s) << QString();
    QTest::newRow("rozšířený text") << int(REG_EXPAND_SZ) << Sz(u"%TEMP%\\x"_s) << int(rdRozsirenyRetezec) << 's'
                                    << QVariant(u"%TEMP%\\x"_s) << QString();
    QTest::newRow("prázdný text") << int(REG_SZ) << Sz({}) << int(rdRetezec) << 's' << QVariant(QString()) << QString();
    QTest::newRow("text bez nuly") << int(REG_SZ) << "a\0b\0"_ba << int(rdRetezec) << 's' << QVariant(u"ab"_s)
                                   << QString();
    QTest::newRow("chybějící text") << -1 << QByteArray() << int(rdNeznamy) << 's' << QVariant(QString()) << QString();
    QTest::newRow("číslo jako text") << int(REG_DWORD) << Dword(1) << int(rdCislo) << 's' << QVariant() << jine;
    QTest::newRow("binární jako text") << int(REG_BINARY) << "\x00"_ba << int(rdBinarni) << 's' << QVariant() << jine;
    QTest::newRow("cizí typ jako text") << int(REG_MULTI_SZ) << "a\0\0\0\0\0"_ba << int(rdNeznamy) << 's' << QVariant()
                                        << jine;

    QTest::newRow("číslo") << int(REG_DWORD) << Dword(quint32(-11)) << int(rdCislo) << 'i' << QVariant(-11)
                           << QString();
    QTest::newRow("barva okna") << int(REG_DWORD) << Dword(quint32(-16777208)) << int(rdCislo) << 'i'
                                << QVariant(-16777208) << QString();
    QTest::newRow("nejmenší číslo") << int(REG_DWORD) << Dword(0x80000000u) << int(rdCislo) << 'i' << QVariant(INT_MIN)
                                    << QString();
    QTest::newRow("největší číslo") << int(REG_DWORD) << Dword(0x7FFFFFFFu) << int(rdCislo) << 'i' << QVariant(INT_MAX)
                                    << QString();
    QTest::newRow("chybějící číslo") << -1 << QByteArray() << int(rdNeznamy) << 'i' << QVariant() << nelze;
    // Text as an integer: up to four bytes with the terminator is of another
    // type, longer text does not fit.
    QTest::newRow("znak jako číslo") << int(REG_SZ) << Sz(u"1"_s) << int(rdRetezec) << 'i' << QVariant() << jine;
    QTest::newRow("dva znaky jako číslo") << int(REG_SZ) << Sz(u"12"_s) << int(rdRetezec) << 'i' << QVariant() << nelze;
    QTest::newRow("4 bajty jako číslo") << int(REG_BINARY) << "\x01\x02\x03\x04"_ba << int(rdBinarni) << 'i'
                                        << QVariant() << jine;
    QTest::newRow("5 bajtů jako číslo") << int(REG_BINARY) << "\x01\x02\x03\x04\x05"_ba << int(rdBinarni) << 'i'
                                        << QVariant() << nelze;
    QTest::newRow("cizí typ jako číslo") << int(REG_QWORD) << "\x01\0\0\0\0\0\0\0"_ba << int(rdNeznamy) << 'i'
                                         << QVariant() << nelze;

    QTest::newRow("datum") << int(REG_BINARY) << QByteArray::fromHex("000000000000f03f") << int(rdBinarni) << 'b'
                           << QVariant(QByteArray::fromHex("000000000000f03f")) << QString();
    QTest::newRow("prázdná binární") << int(REG_BINARY) << QByteArray() << int(rdBinarni) << 'b'
                                     << QVariant(QByteArray()) << QString();
    QTest::newRow("chybějící binární") << -1 << QByteArray() << int(rdNeznamy) << 'b' << QVariant() << nelze;
    QTest::newRow("text jako binární") << int(REG_SZ) << Sz(u"00"_s) << int(rdRetezec) << 'b' << QVariant() << jine;
    QTest::newRow("číslo jako binární") << int(REG_DWORD) << Dword(0) << int(rdCislo) << 'b' << QVariant() << jine;
}

void TestWindows::registrCteni()
{
    QFETCH(int, typ);
    QFETCH(QByteArray, data);
    QFETCH(int, typHodnoty);
    QFETCH(char, cteni);
    QFETCH(QVariant, vysledek);
    QFETCH(QString, chyba);
    ZapisSurove(L"Jina", REG_SZ, Sz(u"x"_s));
    if (typ >= 0)
        ZapisSurove(L"Hodnota", DWORD(typ), data);

    TRegistr registr(KEY_READ);
    QVERIFY(registr.OtevriKlic(KlicLumarin, false));
    QCOMPARE(registr.ExistujeHodnota(u"Hodnota"_s), typ >= 0);
    QCOMPARE(int(registr.TypHodnoty(u"Hodnota"_s)), typHodnoty);
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

// What the store writes is in the registry with the registry's own type and
// bytes, and reads back exactly.
void TestWindows::registrZapis_data()
{
    QTest::addColumn<QVariant>("hodnota");
    QTest::addColumn<int>("typ");
    QTest::addColumn<QByteArray>("data");
    const QString text = u"Příliš žluťoučký kůň \"ó\"\r\n\\"_s;
    QTest::newRow("text") << QVariant(text) << int(REG_SZ) << Sz(text);
    QString zvlastni = u"a"_s;
    zvlastni += QChar(0xD800); // a lone surrogate of the pair table
    zvlastni += QChar(u'\0');
    zvlastni += u"b\U0001F600"_s;
    QTest::newRow("osamělá polovina a nula") << QVariant(zvlastni) << int(REG_SZ) << Sz(zvlastni);
    QTest::newRow("prázdný text") << QVariant(QString()) << int(REG_SZ) << Sz({});
    QTest::newRow("záporné číslo") << QVariant(-11) << int(REG_DWORD) << Dword(quint32(-11));
    QTest::newRow("nejmenší číslo") << QVariant(INT_MIN) << int(REG_DWORD) << Dword(0x80000000u);
    QTest::newRow("největší číslo") << QVariant(INT_MAX) << int(REG_DWORD) << Dword(0x7FFFFFFFu);
    QTest::newRow("datum") << QVariant(QByteArray::fromHex("000000000000F03F")) << int(REG_BINARY)
                           << QByteArray::fromHex("000000000000F03F");
    QTest::newRow("prázdná binární") << QVariant(QByteArray()) << int(REG_BINARY) << QByteArray();
}

void TestWindows::registrZapis()
{
    QFETCH(QVariant, hodnota);
    QFETCH(int, typ);
    QFETCH(QByteArray, data);
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
    DWORD ulozenyTyp = 0;
    QByteArray ulozena;
    QVERIFY(CtiSurove(L"Hodnota", ulozenyTyp, ulozena));
    QCOMPARE(int(ulozenyTyp), typ);
    QCOMPARE(ulozena.toHex(' '), data.toHex(' '));

    TRegistr registr(KEY_READ);
    QVERIFY(registr.OtevriKlic(KlicLumarin, false));
    if (hodnota.typeId() == QMetaType::QString)
        QCOMPARE(registr.CtiRetezec(u"Hodnota"_s), hodnota.toString());
    else if (hodnota.typeId() == QMetaType::Int)
        QCOMPARE(registr.CtiCislo(u"Hodnota"_s), hodnota.toInt());
    else
        QCOMPARE(registr.CtiBinarni(u"Hodnota"_s), hodnota.toByteArray());
}

// Keys: a missing one is not made by opening it, creating makes those above
// it, names compare without regard to case, a reading accessor changes
// nothing, and deleting takes everything below.
void TestWindows::registrKlice()
{
    TRegistr registr;
    QVERIFY(!registr.ExistujeKlic(KlicLumarin));
    QVERIFY(!registr.OtevriKlic(KlicLumarin, false));
    QVERIFY(!registr.ExistujeKlic(KlicLumarin));
    QCOMPARE(Chyba([&] { registr.ZapisRetezec(u"Jazyk"_s, u"CZ"_s); }), u"Failed to set data for 'Jazyk'"_s);

    QVERIFY(registr.OtevriKlic(KlicLumarin + u"\\Pismo"_s, true));
    registr.ZapisCislo(u"Vyska"_s, -11);
    QVERIFY(registr.OtevriKlic(u"\\SOFTWARE\\velor\\LUMARIN"_s, false));
    registr.ZapisRetezec(u"Jazyk"_s, u"EN"_s);
    QCOMPARE(registr.CtiRetezec(u"JAZYK"_s), u"EN"_s);
    QCOMPARE(registr.JmenaHodnot(), QStringList{u"Jazyk"_s});
    QCOMPARE(registr.PocetHodnot(), 1);

    TRegistr cteni(KEY_READ);
    QVERIFY(cteni.OtevriKlic(KlicLumarin, false));
    QCOMPARE(Chyba([&] { cteni.ZapisRetezec(u"Jazyk"_s, u"CZ"_s); }), u"Failed to set data for 'Jazyk'"_s);
    QVERIFY(!cteni.OtevriKlic(KlicLumarin + u"\\Znaky"_s, true));
    QVERIFY(!cteni.SmazKlic(KlicLumarin));
    QCOMPARE(registr.CtiRetezec(u"Jazyk"_s), u"EN"_s);

    QVERIFY(registr.SmazKlic(KlicLumarin));
    QVERIFY(!registr.ExistujeKlic(KlicLumarin + u"\\Pismo"_s));
    QVERIFY(!registr.ExistujeKlic(KlicLumarin));
    QVERIFY(registr.ExistujeKlic(u"\\Software\\VELOR"_s));
}

// The version resource compiled into lumarin.exe, read back by the version
// API with the values of the program's version block.
void TestWindows::verzeProgramu()
{
    const std::wstring program = W(QStringLiteral(LUMARIN_PROGRAM));
    DWORD nic = 0;
    const DWORD velikost = GetFileVersionInfoSizeW(program.c_str(), &nic);
    QVERIFY(velikost > 0);
    QByteArray blok(velikost, '\0');
    QVERIFY(GetFileVersionInfoW(program.c_str(), 0, velikost, blok.data()));

    VS_FIXEDFILEINFO *fix = nullptr;
    UINT delka = 0;
    QVERIFY(VerQueryValueW(blok.constData(), L"\\", reinterpret_cast<void **>(&fix), &delka));
    QCOMPARE(delka, UINT(sizeof(VS_FIXEDFILEINFO)));
    QCOMPARE(fix->dwSignature, DWORD(0xFEEF04BD));
    QCOMPARE(fix->dwFileVersionMS, DWORD(0x00030000));
    QCOMPARE(fix->dwFileVersionLS, DWORD(0x00020008));
    QCOMPARE(fix->dwProductVersionMS, DWORD(0x00030000));
    QCOMPARE(fix->dwProductVersionLS, DWORD(0));
    QCOMPARE(fix->dwFileFlagsMask, DWORD(0x3F));
    QCOMPARE(fix->dwFileFlags, DWORD(0));
    QCOMPARE(fix->dwFileOS, DWORD(VOS__WINDOWS32));
    QCOMPARE(fix->dwFileType, DWORD(VFT_APP));

    DWORD *preklad = nullptr;
    QVERIFY(
        VerQueryValueW(blok.constData(), L"\\VarFileInfo\\Translation", reinterpret_cast<void **>(&preklad), &delka));
    QCOMPARE(delka, UINT(4));
    QCOMPARE(*preklad, DWORD(0x04E40409));

    const QList<std::pair<QString, QString>> retezce = {
        {u"CompanyName"_s, u"VELOR"_s},
        {u"FileDescription"_s, u"Aplikace pro konverzi textů s diakritickými znaménky"_s},
        {u"FileVersion"_s, u"3.0.2.8"_s},
        {u"LegalCopyright"_s, u"Copyright © VELOR"_s},
        {u"OriginalFilename"_s, u"trelo.exe"_s},
        {u"ProductName"_s, u"Lumarin"_s},
        {u"ProductVersion"_s, u"3.0"_s},
    };
    for (const auto &[klic, hodnota] : retezce) {
        wchar_t *text = nullptr;
        const std::wstring cesta = (u"\\StringFileInfo\\040904E4\\"_s + klic).toStdWString();
        QVERIFY2(VerQueryValueW(blok.constData(), cesta.c_str(), reinterpret_cast<void **>(&text), &delka),
                 qPrintable(klic));
        QCOMPARE(QString::fromWCharArray(text), hodnota);
    }

    // The program's own reading, as the about box and --version use it.
    TSouboroveInfo info;
    QCOMPARE(info.Verze(QStringLiteral(LUMARIN_PROGRAM), vtOprava), u"3.0.0"_s);
    QCOMPARE(info.VerzeSouboru(QStringLiteral(LUMARIN_PROGRAM)), u"3.0.2.8"_s);
    QCOMPARE(info.VerzeProduktu(QStringLiteral(LUMARIN_PROGRAM)), u"3.0.0.0"_s);

    // And the icon that Explorer shows.
    const HMODULE modul = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    QVERIFY(modul);
    const bool bIkona = FindResourceW(modul, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)) != nullptr; // RT_GROUP_ICON
    FreeLibrary(modul);
    QVERIFY(bIkona);
}

// A windows-1250 file through the window: opened in the ANSI code page,
// converted with F6 and saved byte for byte in it.
void TestWindows::soubor1250_data()
{
    QTest::addColumn<QByteArray>("bajty");
    QTest::addColumn<QString>("text");          // as the editor shows it; empty: not checked
    QTest::addColumn<QByteArray>("poKonverzi"); // the file after F6 and Save
    QTest::newRow("česky")
        << "P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2\r\n\xFAp\xECl \xEF\xE1\x62\x65lsk\xE9 \xF3\x64y."_ba
        << u"Příliš žluťoučký kůň\r\núpěl ďábelské ódy."_s << "Prilis zlutoucky kun\r\nupel dabelske ody."_ba;
    QTest::newRow("velká písmena") << "\x8A\x8E\xC8\xD8\xCC\xC1\xCD\xC9\xDA\xD9"_ba << u"ŠŽČŘĚÁÍÉÚŮ"_s
                                   << "SZCREAIEUU"_ba;
    // Bytes no pair touches stay as they were, also those the code page
    // leaves undefined.
    const QByteArray horni = HorniBajty();
    QByteArray horniPoKonverzi = horni;
    const QString vzor = DekodujOsmibitove(horni);
    QString prevedeny = vzor;
    for (qsizetype i = 0; i < prevedeny.size(); ++i) {
        const qsizetype j = VychoziZnakySeZnamenkem.indexOf(prevedeny[i]);
        if (j >= 0)
            prevedeny[i] = VychoziZnakyBezZnamenka[j];
    }
    QVERIFY(ZakodujOsmibitove(prevedeny, horniPoKonverzi));
    QTest::newRow("všechny horní bajty") << horni << QString() << horniPoKonverzi;
}

void TestWindows::soubor1250()
{
    QFETCH(QByteArray, bajty);
    QFETCH(QString, text);
    QFETCH(QByteArray, poKonverzi);
    Prostredi.reset(); // the window brings its own
    TTestovaciOkno test;
    const QString cesta = test.Prostredi.Cesta(u"soubor 1250.txt"_s);
    Zapis(cesta, bajty);
    test.Dialogy->Otevrit = {cesta};
    test.Okno->aOtevrit->trigger();
    QCOMPARE(int(test.Okno->Kodovani()), int(koOsmibitove));
    if (!text.isEmpty())
        QCOMPARE(test.Okno->memSoubor->Text(), text);
    // Saved unchanged: the same bytes.
    test.Okno->aUlozitExecute(test.Okno->aUlozit);
    QCOMPARE(Precti(cesta), bajty);
    test.Okno->aOdstranitDiakritiku->trigger();
    test.Okno->aUlozitExecute(test.Okno->aUlozit);
    QVERIFY(test.Prostredi.Dialogy.isEmpty());
    QCOMPARE(Precti(cesta).toHex(' '), poKonverzi.toHex(' '));
    Prostredi = std::make_unique<TProstredi>();
}

// The toggles are the keyboard state that Windows keeps for the thread.
void TestWindows::klavesnice()
{
    BYTE puvodni[256];
    QVERIFY(GetKeyboardState(puvodni));
    for (const int klavesa : {VK_CAPITAL, VK_NUMLOCK, VK_INSERT}) {
        for (const bool bZapnuto : {true, false}) {
            BYTE stav[256];
            memcpy(stav, puvodni, sizeof stav);
            stav[klavesa] = bZapnuto ? 1 : 0;
            QVERIFY(SetKeyboardState(stav));
            const bool bCteno = klavesa == VK_CAPITAL ? StavKlaves().CapsLock()
                : klavesa == VK_NUMLOCK               ? StavKlaves().NumLock()
                                                      : StavKlaves().Insert();
            QCOMPARE(bCteno, bZapnuto);
        }
    }
    SetKeyboardState(puvodni);
}

// The command line reaches the program whole, also characters that the ANSI
// code page lacks (argv would hold "?" for them), and its output ends lines
// with LF alone, as elsewhere.
void TestWindows::prikazovaRadka()
{
    const QStringList argumenty = {u"Příliš žluťoučký kůň.txt"_s, u"emoji 😀 ő ñ 中.txt"_s, u"a \"b\" c"_s, QString(),
                                   u"-x"_s};
    QProcess proces;
    proces.start(QStringLiteral(LUMARIN_ARGUMENTY), argumenty);
    QVERIFY(proces.waitForFinished(60000));
    QCOMPARE(proces.exitCode(), 0);
    const QByteArray vystup = proces.readAllStandardOutput();
    QVERIFY2(vystup.endsWith('\n') && !vystup.contains('\r'), vystup.constData());
    QStringList vypsane;
    for (const QByteArray &radek : vystup.chopped(1).split('\n'))
        vypsane << QString::fromUtf8(QByteArray::fromHex(radek));
    QCOMPARE(vypsane, argumenty);
}

// A save replaces the file's content and keeps the file what it was: its
// attributes, its name of any characters, its other hard links; nothing is
// left beside it.
void TestWindows::zapisNahradi()
{
    const QString cesta = Prostredi->Cesta(u"Příliš žluťoučký kůň 😀.txt"_s);
    Zapis(cesta, "stary obsah, delsi nez novy");
    QVERIFY(SetFileAttributesW(W(cesta).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    const TIdentitaSouboru identita = ZapisSoubor(cesta, "novy");
    QCOMPARE(Precti(cesta), "novy"_ba);
    QCOMPARE(NactiBajty(cesta), "novy"_ba);
    QVERIFY(Atributy(cesta) & FILE_ATTRIBUTE_HIDDEN);
    QCOMPARE(IdentitaSouboru(cesta), std::optional<TIdentitaSouboru>(identita));
    QCOMPARE(identita.Velikost, qint64(4));
    QCOMPARE(Zbytky({QFileInfo(cesta).fileName()}), QStringList());

    // A file with another name: written in place, so both names keep it.
    const QString druhe = Prostredi->Cesta(u"druhé jméno.txt"_s);
    QVERIFY(CreateHardLinkW(W(druhe).c_str(), W(cesta).c_str(), nullptr));
    ZapisSoubor(cesta, "pres oba nazvy, delsi");
    QCOMPARE(Precti(druhe), "pres oba nazvy, delsi"_ba);
    ZapisSoubor(druhe, "kratsi");
    QCOMPARE(Precti(cesta), "kratsi"_ba);
    QCOMPARE(Zbytky({QFileInfo(cesta).fileName(), QFileInfo(druhe).fileName()}), QStringList());

    // A new file.
    const QString nova = Prostredi->Cesta(u"nový.txt"_s);
    ZapisSoubor(nova, QByteArray(100000, 'x'));
    QCOMPARE(Precti(nova), QByteArray(100000, 'x'));
}

// What a save never writes over: a folder, a read-only file, a device, a
// folder that does not exist; each is told and left as it was.
void TestWindows::zapisOdmitne()
{
    const QString slozka = Prostredi->Cesta(u"slozka"_s);
    QVERIFY(QDir().mkpath(slozka));
    QCOMPARE(Chyba([&] { ZapisSoubor(slozka, "x"); }),
             u"Cannot create file \"%1\". It is a folder, not a file"_s.arg(QDir::toNativeSeparators(slozka)));
    QCOMPARE(Chyba([&] { NactiBajty(slozka); }),
             u"Cannot open file \"%1\". It is a folder, not a file"_s.arg(QDir::toNativeSeparators(slozka)));

    const QString chraneny = Prostredi->Cesta(u"jen ke čtení.txt"_s);
    Zapis(chraneny, "chraneny");
    QVERIFY(SetFileAttributesW(W(chraneny).c_str(), FILE_ATTRIBUTE_READONLY));
    QVERIFY(Chyba([&] {
                ZapisSoubor(chraneny, "x");
            }).startsWith(u"Cannot create file \"%1\". "_s.arg(QDir::toNativeSeparators(chraneny))));
    QCOMPARE(Precti(chraneny), "chraneny"_ba);
    SetFileAttributesW(W(chraneny).c_str(), FILE_ATTRIBUTE_NORMAL);

    const QString nul = u"NUL"_s;
    QVERIFY(Chyba([&] { NactiBajty(nul); }).startsWith(u"Cannot open file \"NUL\". It is"_s));
    QVERIFY(Chyba([&] { ZapisSoubor(nul, "x"); }).startsWith(u"Cannot create file \"NUL\". It is"_s));

    const QString chybi = Prostredi->Cesta(u"neni/soubor.txt"_s);
    QVERIFY(Chyba([&] {
                ZapisSoubor(chybi, "x");
            }).startsWith(u"Cannot create file \"%1\". "_s.arg(QDir::toNativeSeparators(chybi))));
    QVERIFY(Chyba([&] {
                NactiBajty(chybi);
            }).startsWith(u"Cannot open file \"%1\". "_s.arg(QDir::toNativeSeparators(chybi))));
    QCOMPARE(Zbytky({u"jen ke čtení.txt"_s}), QStringList());
}

// A file that another program keeps open without letting it be replaced:
// the save fails with the system's reason, the old bytes stay and no
// temporary file is left; once the other program lets go, the save succeeds.
void TestWindows::zapisDrzenehoSouboru()
{
    const QString cesta = Prostredi->Cesta(u"drzeny.txt"_s);
    Zapis(cesta, "stary obsah");
    HANDLE jiny = CreateFileW(W(cesta).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    QVERIFY(jiny != INVALID_HANDLE_VALUE);
    const QString zprava = Chyba([&] { ZapisSoubor(cesta, "novy obsah"); });
    CloseHandle(jiny);
    QVERIFY2(zprava.startsWith(u"Cannot create file \"%1\". "_s.arg(QDir::toNativeSeparators(cesta))),
             qPrintable(zprava));
    QCOMPARE(Precti(cesta), "stary obsah"_ba);
    QStringList zbytky = Zbytky({u"drzeny.txt"_s});
    // Wine's ReplaceFileW leaves its own backup ("rf", a hex number, ".tmp")
    // when it fails; Windows leaves nothing, and the save leaves nothing of
    // its own under either.
    if (PodWine())
        zbytky.removeIf([](const QString &Jmeno) { return Jmeno.startsWith(u"rf"_s) && Jmeno.endsWith(u".tmp"_s); });
    QVERIFY2(zbytky.isEmpty(), qPrintable(zbytky.join(u", "_s)));
    ZapisSoubor(cesta, "novy obsah");
    QCOMPARE(Precti(cesta), "novy obsah"_ba);
}

// ReplaceFileW as it fails after it took the old file from its name
// (ERROR_UNABLE_TO_MOVE_REPLACEMENT): the old file gone, the new one still
// under its temporary name; with bObsadit, something else then takes the
// name.
namespace {
bool bObsaditJmeno = false;
int NahradBezStareho(const wchar_t *Stary, const wchar_t *)
{
    DeleteFileW(Stary);
    if (bObsaditJmeno)
        CreateDirectoryW(Stary, nullptr);
    SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
    return FALSE;
}
} // namespace

void TestWindows::nahrazeniBezStareho_data()
{
    QTest::addColumn<bool>("obsadit");
    QTest::addColumn<bool>("proud"); // through the streaming writer
    QTest::newRow("jméno volné") << false << false;
    QTest::newRow("jméno obsazené") << true << false;
    QTest::newRow("po částech, jméno volné") << false << true;
    QTest::newRow("po částech, jméno obsazené") << true << true;
}

// The content of a save whose replacement failed once the old file had gone
// is never thrown away with the temporary file: it takes the free name, or
// stays in the temporary file, which the message names.
void TestWindows::nahrazeniBezStareho()
{
    QFETCH(bool, obsadit);
    QFETCH(bool, proud);
    const QString cesta = Prostredi->Cesta(u"článek.txt"_s);
    Zapis(cesta, "stary obsah");
    bObsaditJmeno = obsadit;
    const TNahrazeniSouboru predtim = NastavNahrazeniSouboru(NahradBezStareho);
    const QString zprava = Chyba([&] {
        if (!proud) {
            ZapisSoubor(cesta, "novy obsah");
            return;
        }
        TZapisSouboru zapis;
        zapis.Otevri(cesta);
        zapis.Pridej("novy ");
        zapis.Pridej("obsah");
        zapis.Dokonci();
    });
    NastavNahrazeniSouboru(predtim);
    if (!obsadit) {
        QCOMPARE(zprava, u"<no error>"_s);
        QCOMPARE(Precti(cesta), "novy obsah"_ba);
        QCOMPARE(Zbytky({u"článek.txt"_s}), QStringList());
        return;
    }
    const QStringList zbytky = Zbytky({});
    QVERIFY2(zbytky.size() == 1, qPrintable(zprava + u" | "_s + zbytky.join(u", "_s)));
    const QString docasny = QDir::toNativeSeparators(Prostredi->Cesta(zbytky.first()));
    QCOMPARE(Precti(docasny), "novy obsah"_ba);
    QVERIFY2(zprava.startsWith(u"Cannot create file \"%1\". "_s.arg(QDir::toNativeSeparators(cesta))) &&
                 zprava.endsWith(u". The new content is in \"%1\""_s.arg(docasny)),
             qPrintable(zprava));
    // Wine shows every name that begins with a dot as hidden.
    if (!PodWine())
        QVERIFY(!(Atributy(docasny) & FILE_ATTRIBUTE_HIDDEN));
}

// A symbolic link stands for its target, which the save replaces; the link
// stays a link.
void TestWindows::zapisPresOdkaz()
{
    const QString cil = Prostredi->Cesta(u"cil.txt"_s), odkaz = Prostredi->Cesta(u"odkaz.txt"_s);
    Zapis(cil, "cil");
    if (!CreateSymbolicLinkW(W(odkaz).c_str(), W(cil).c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
        QSKIP("this system makes no symbolic links for this user (Windows without developer mode)");
    if (PodWine() && Atributy(odkaz) == INVALID_FILE_ATTRIBUTES)
        QSKIP("Wine makes the symbolic link but cannot open a file through it");
    QCOMPARE(NactiBajty(odkaz), "cil"_ba);
    ZapisSoubor(odkaz, "novy cil");
    QCOMPARE(Precti(cil), "novy cil"_ba);
    QVERIFY(Atributy(odkaz) & FILE_ATTRIBUTE_REPARSE_POINT);
    QCOMPARE(Zbytky({u"cil.txt"_s, u"odkaz.txt"_s}), QStringList());
}

// A path longer than MAX_PATH reads and saves like any other.
void TestWindows::zapisDlouheCesty()
{
    QString slozka = Prostredi->Cesta(u"hluboko"_s);
    QVERIFY(QDir().mkpath(slozka));
    // Each level made through the wide call with the long-path prefix.
    while (slozka.size() < 300) {
        slozka += u"/hluboká složka s dlouhým jménem"_s;
        QVERIFY(CreateDirectoryW(W(u"\\\\?\\"_s + slozka).c_str(), nullptr));
    }
    const QString cesta = slozka + u"/soubor.txt"_s;
    QVERIFY(cesta.size() > MAX_PATH);
    ZapisSoubor(cesta, "hluboko");
    QCOMPARE(NactiBajty(cesta), "hluboko"_ba);
    ZapisSoubor(cesta, "hluboko znovu");
    QCOMPARE(NactiBajty(cesta), "hluboko znovu"_ba);
    QVERIFY(IdentitaSouboru(cesta).has_value());
}

// A disk that fills up while the new content is written (a drive of a few
// hundred kilobytes that scripts/windows makes for the run and names in
// LUMARIN_MALY_DISK): the save fails with the reason, and the old file stays
// whole, in place and alone.
void TestWindows::plnyDisk()
{
    const QString disk = qEnvironmentVariable("LUMARIN_MALY_DISK");
    if (disk.isEmpty())
        QSKIP("no small drive for this run (scripts/windows makes one when it runs as root)");
    const QString slozka = disk + u"/plny-disk"_s;
    QDir(slozka).removeRecursively();
    QVERIFY(QDir().mkpath(slozka));
    const QString cesta = slozka + u"/dokument.txt"_s;
    const QByteArray stare(64 << 10, 's');
    Zapis(cesta, stare);
    ULARGE_INTEGER volno;
    QVERIFY(GetDiskFreeSpaceExW(W(disk + u"/"_s).c_str(), &volno, nullptr, nullptr));
    const QByteArray nove(qsizetype(volno.QuadPart) + (256 << 10), 'n');
    const QString zprava = Chyba([&] { ZapisSoubor(cesta, nove); });
    QVERIFY2(zprava.startsWith(u"Cannot create file \"%1\". "_s.arg(QDir::toNativeSeparators(cesta))),
             qPrintable(zprava));
    QCOMPARE(Precti(cesta), stare);
    QCOMPARE(QDir(slozka).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{u"dokument.txt"_s});
    // The same through a second name, where the content goes into the file itself.
    QVERIFY(CreateHardLinkW(W(slozka + u"/druhy.txt"_s).c_str(), W(cesta).c_str(), nullptr));
    const QString zprava2 = Chyba([&] { ZapisSoubor(cesta, nove); });
    QVERIFY2(zprava2.startsWith(u"Cannot create file "_s), qPrintable(zprava2));
    QCOMPARE(Precti(cesta), stare);
    QDir(slozka).removeRecursively();
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
