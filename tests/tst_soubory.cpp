// Document files: encodings kept byte for byte, line breaks, the question before
// unsaved text is lost, saving that never loses the old file, and changes that
// other programs make to the document's file, asked about before a save writes
// over them and told when the window becomes active again.

#include "Chyby.h"
#include "KodovaStranka.h"
#include "Komponenty.h"
#include "Memo.h"
#include "Modalni.h"
#include "Soubory.h"
#include "TestovaciOkno.h"
#include "TextovySoubor.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QtTest>
#include <memory>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

QByteArray Utf16(const QString &Text, bool bBigEndian)
{
    QByteArray b;
    for (QChar c : Text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        b += bBigEndian ? QByteArray{&hi, 1} + QByteArray{&lo, 1} : QByteArray{&lo, 1} + QByteArray{&hi, 1};
    }
    return b;
}

// Every byte from 0x80 to 0xFF, and the ASCII around them.
QByteArray HorniBajty()
{
    QByteArray b("Horn\xED bajty:\r\n");
    for (int i = 0x80; i <= 0xFF; ++i) {
        b += char(i);
        if (i % 16 == 15)
            b += "\r\n";
    }
    return b;
}

const QString Cesky = u"Příliš žluťoučký kůň\r\núpěl ďábelské ódy."_s;

// How another program changes a file while the window has it open.
enum TCiziZmena : quint8 {
    czPripsani,     // another process appends a line: size and time change
    czStejnaDelka,  // rewritten in place with as many bytes, one nanosecond later
    czPrejmenovani, // replaced by a new file of the same size and time
};

#ifdef Q_OS_WIN
// Changes the file as another program would; the bytes it then holds.
QByteArray ZmenCizimProgramem(const QString &Cesta, TCiziZmena Zmena)
{
    const std::optional<TIdentitaSouboru> pred = IdentitaSouboru(Cesta);
    [&] { QVERIFY(pred); }();
    switch (Zmena) {
    case czPripsani: {
        QFile soubor(Cesta);
        [&] {
            QVERIFY(soubor.open(QIODevice::Append));
            QVERIFY(soubor.write(u"cizí řádek\n"_s.toUtf8()) > 0);
        }();
        break;
    }
    case czStejnaDelka: {
        QFile soubor(Cesta);
        [&] {
            QVERIFY(soubor.open(QIODevice::ReadWrite));
            QCOMPARE(soubor.write(QByteArray(pred->Velikost, 'Z')), pred->Velikost);
            soubor.close();
            // Only the time tells the change, by the finest step the system keeps.
            QVERIFY(NastavCasZmeny(Cesta, pred->ZmenaS, pred->ZmenaNs + 100));
        }();
        const std::optional<TIdentitaSouboru> po = IdentitaSouboru(Cesta);
        [&] {
            QCOMPARE(po->Uzel, pred->Uzel);
            QCOMPARE(po->Velikost, pred->Velikost);
        }();
        break;
    }
    case czPrejmenovani: {
        // As an editor that saves through a temporary file would.
        const QString novy = Cesta + u".novy"_s;
        Zapis(novy, QByteArray(pred->Velikost, 'N'));
        [&] {
            QVERIFY(NastavCasZmeny(novy, pred->ZmenaS, pred->ZmenaNs));
            QVERIFY(QFile::remove(Cesta));
            QVERIFY(QFile::rename(novy, Cesta));
        }();
        const std::optional<TIdentitaSouboru> po = IdentitaSouboru(Cesta);
        [&] {
            QVERIFY(po->Uzel != pred->Uzel);
            QCOMPARE(po->Velikost, pred->Velikost);
            QCOMPARE(po->ZmenaS, pred->ZmenaS);
            QCOMPARE(po->ZmenaNs, pred->ZmenaNs);
        }();
        break;
    }
    }
    const QByteArray bajty = Precti(Cesta);
    [&] { QVERIFY(bajty != QByteArray()); }();
    return bajty;
}
#else
struct stat Stav(const QString &Cesta)
{
    struct stat st = {};
    [&] { QCOMPARE(::stat(KodujCestu(Cesta).constData(), &st), 0); }();
    return st;
}

// Changes the file as another program would; the bytes it then holds.
QByteArray ZmenCizimProgramem(const QString &Cesta, TCiziZmena Zmena)
{
    const QByteArray cesta = KodujCestu(Cesta);
    const struct stat pred = Stav(Cesta);
    switch (Zmena) {
    case czPripsani:
        [&] {
            QCOMPARE(QProcess::execute(u"/bin/sh"_s,
                                       {u"-c"_s, u"printf 'ciz\303\255 \305\231\303\241dek\n' >> \"$0\""_s,
                                        QString::fromLocal8Bit(cesta)}),
                     0);
        }();
        break;
    case czStejnaDelka: {
        const int fd = ::open(cesta.constData(), O_WRONLY);
        [&] {
            QVERIFY(fd >= 0);
            QCOMPARE(::pwrite(fd, QByteArray(pred.st_size, 'Z').constData(), size_t(pred.st_size), 0),
                     ssize_t(pred.st_size));
            // Only the time tells the change, by the finest step the system keeps.
            struct timespec casy[2] = {pred.st_atim, pred.st_mtim};
            if (++casy[1].tv_nsec == 1000000000) {
                casy[1].tv_nsec = 0;
                ++casy[1].tv_sec;
            }
            QCOMPARE(::futimens(fd, casy), 0);
            QCOMPARE(::close(fd), 0);
        }();
        const struct stat po = Stav(Cesta);
        if (po.st_mtim.tv_sec == pred.st_mtim.tv_sec && po.st_mtim.tv_nsec == pred.st_mtim.tv_nsec)
            qWarning("the file system keeps no nanoseconds");
        [&] {
            QCOMPARE(po.st_ino, pred.st_ino);
            QCOMPARE(po.st_size, pred.st_size);
        }();
        break;
    }
    case czPrejmenovani: {
        // As an editor that saves through a temporary file would.
        const QString novy = Cesta + u".novy"_s;
        Zapis(novy, QByteArray(pred.st_size, 'N'));
        const struct timespec casy[2] = {pred.st_atim, pred.st_mtim};
        [&] {
            QCOMPARE(::utimensat(AT_FDCWD, KodujCestu(novy).constData(), casy, 0), 0);
            QCOMPARE(::rename(KodujCestu(novy).constData(), cesta.constData()), 0);
        }();
        const struct stat po = Stav(Cesta);
        [&] {
            QVERIFY(po.st_ino != pred.st_ino);
            QCOMPARE(po.st_size, pred.st_size);
            QCOMPARE(po.st_mtim.tv_sec, pred.st_mtim.tv_sec);
            QCOMPARE(po.st_mtim.tv_nsec, pred.st_mtim.tv_nsec);
        }();
        break;
    }
    }
    const QByteArray bajty = Precti(Cesta);
    [&] { QVERIFY(bajty != QByteArray()); }();
    return bajty;
}

#endif

QString OtazkaPrepsani(const QString &Cesta)
{
    return u"Soubor \"%1\" byl od otevření nebo posledního uložení změněn na disku jiným programem.\r"
           u"Přepsat jej textem z editoru? (Ne: soubor se neuloží.)"_s.arg(QDir::toNativeSeparators(Cesta));
}

// Text as a file without a byte-order mark holds it: UTF-8, and on Windows,
// where such a file is read in the ANSI code page, that code page.
QByteArray BezZnacky(const QString &Text)
{
    QByteArray bajty;
    [&] { QVERIFY2(ZakodujText(Text, SystemoveKodovani(), bajty), qPrintable(Text)); }();
    return bajty;
}

// A row that reads a file without a mark as UTF-8, which Windows never does.
#ifdef Q_OS_WIN
#define JEN_UTF8_BEZ_ZNACKY()                                                                                          \
    QSKIP("on Windows a file without a byte-order mark is read in the ANSI code page, never as UTF-8")
#else
#define JEN_UTF8_BEZ_ZNACKY()                                                                                          \
    do {                                                                                                               \
    } while (false)
#endif

} // namespace

class TestSoubory : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void kodovani_data();
    void kodovani();
    void osmibitovaStrankaDrziVychoziPary();
    void konceRadku_data();
    void konceRadku();
    void novyDokumentMaZlomSystemu();

    void pruchodOknem_data();
    void pruchodOknem();
    void stavPoOtevreni();
    void stavDokumentu_data();
    void stavDokumentu();
    void zastupciBajtu_data();
    void zastupciBajtu();
    void tabulkaDelaZastupce_data();
    void tabulkaDelaZastupce();
    void stejnyTextPresPrepise();
    void otazka_data();
    void otazka();
    void zavreniSeZepta();
    void ulozitBezDialogu();
    void ulozitZmizelySoubor();
    void zruseneUlozitJakoNemeniSoubor();
    void novyPoOtevreni();
    void novyZachovaKodovani();
    void neukladatelneZnaky_data();
    void neukladatelneZnaky();
    void osamelaPolovinaDoUtf8();
    void chybaZapisuNicNezmeni();
    void chybaOtevreni_data();
    void chybaOtevreni();
    void prilisVelkySoubor();
    void pametDokumentu_data();
    void pametDokumentu();
    void souborBezVelikosti();
    void prava();
    void odkaz();
    void zmenaNaDisku_data();
    void zmenaNaDisku();
    void zmenaNaDiskuUlozitJako();
    void zmenaNaDiskuPredZtratouTextu_data();
    void zmenaNaDiskuPredZtratouTextu();
    void navratDoOkna();
    void navratDoOknaBezVnoreni();

private:
    QString Otevri(const QString &Jmeno, const QByteArray &Bajty);
    void VratSeDoOkna();
    QWidget *FJineOkno = nullptr;
    std::unique_ptr<TTestovaciOkno> Test;
    THlavniForm *Okno = nullptr;
    TSkriptDialogy *Dialogy = nullptr;
};

void TestSoubory::init()
{
    Test = std::make_unique<TTestovaciOkno>();
    Okno = Test->Okno;
    Dialogy = Test->Dialogy;
}

void TestSoubory::cleanup()
{
    delete FJineOkno;
    FJineOkno = nullptr;
    Test.reset();
    NastavNejvetsiDokument(0);
}

// The user works in another window for a while and comes back to the main
// window; what the window does then is done before this returns.
void TestSoubory::VratSeDoOkna()
{
    if (!FJineOkno) {
        FJineOkno = new QWidget;
        FJineOkno->setWindowTitle(u"jiný program"_s);
        FJineOkno->show();
        QVERIFY(QTest::qWaitForWindowExposed(FJineOkno));
    }
    QApplication::setActiveWindow(FJineOkno);
    QVERIFY(!Okno->isActiveWindow());
    QApplication::setActiveWindow(Okno);
    QVERIFY(Okno->isActiveWindow());
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Writes a file and opens it in the window.
QString TestSoubory::Otevri(const QString &Jmeno, const QByteArray &Bajty)
{
    const QString cesta = Test->Prostredi.Cesta(Jmeno);
    Zapis(cesta, Bajty);
    Dialogy->Otevrit = {cesta};
    Okno->aOtevrit->trigger();
    return cesta;
}

void TestSoubory::kodovani_data()
{
    QTest::addColumn<QByteArray>("bajty");
    QTest::addColumn<int>("kodovani");
    QTest::addColumn<QString>("text"); // empty: not checked
    const QByteArray bom8("\xEF\xBB\xBF");
    QTest::newRow("UTF-8 se značkou") << bom8 + Cesky.toUtf8() << int(koUtf8) << Cesky;
    QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE") + Utf16(Cesky + u"😀"_s, false) << int(koUtf16LE)
                               << Cesky + u"😀"_s;
    QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF") + Utf16(Cesky, true) << int(koUtf16BE) << Cesky;
    // Without a mark: UTF-8 where it reads as such, on Windows the ANSI code
    // page (each read back byte for byte).
    const int bezZnacky = int(SystemoveKodovani());
    QTest::newRow("UTF-8 bez značky") << Cesky.toUtf8() << bezZnacky
                                      << (bezZnacky == koUtf8BezZnacky ? Cesky : QString());
    QTest::newRow("jen ASCII") << QByteArray("plain\r\n") << bezZnacky << u"plain\r\n"_s;
    QTest::newRow("windows-1250") << HorniBajty() << int(koOsmibitove) << QString();
    QTest::newRow("windows-1250 česky") << QByteArray("P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD") << int(koOsmibitove)
                                        << u"Příliš žluťoučký"_s;
    QTest::newRow("prázdný") << QByteArray() << bezZnacky << QString();
    QTest::newRow("jen značka UTF-8") << bom8 << int(koUtf8) << QString();
    QTest::newRow("UTF-8, text začíná U+FEFF") << bom8 + bom8 + QByteArray("a") << int(koUtf8) << u"\uFEFFa"_s;
    QTest::newRow("jen značka UTF-16 BE") << QByteArray("\xFE\xFF") << int(koUtf16BE) << QString();
    // Bytes that do not fit the mark's encoding are kept as stand-ins U+DC00 + byte.
    QTest::newRow("značka UTF-8, neplatné bajty")
        << bom8 + QByteArray("a\xE8") << int(koUtf8) << u"a"_s + QChar(0xDC00 + 0xE8);
    QTest::newRow("značka UTF-16, lichý počet") << QByteArray("\xFF\xFE"
                                                              "a\0b",
                                                              5)
                                                << int(koUtf16LELiche) << u"a"_s + QChar(0xDC00 + 'b');
    QTest::newRow("osamělá náhradní polovina") << QByteArray("\xFF\xFE"
                                                             "\x00\xD8"
                                                             "a\0",
                                                             6)
                                               << int(koUtf16LE) << QString();
}

void TestSoubory::kodovani()
{
    QFETCH(QByteArray, bajty);
    QFETCH(int, kodovani);
    QFETCH(QString, text);
    const TTextovySoubor soubor = DekodujText(bajty);
    QCOMPARE(int(soubor.Kodovani), kodovani);
    if (!text.isEmpty())
        QCOMPARE(soubor.Text, text);
    QByteArray zpet;
    QVERIFY(ZakodujText(soubor.Text, soubor.Kodovani, zpet));
    QCOMPARE(zpet, bajty);
}

void TestSoubory::osmibitovaStrankaDrziVychoziPary()
{
    QByteArray bajty;
    QVERIFY(ZakodujOsmibitove(VychoziZnakySeZnamenkem + VychoziZnakyBezZnamenka, bajty));
    QCOMPARE(DekodujOsmibitove(bajty), VychoziZnakySeZnamenkem + VychoziZnakyBezZnamenka);
    for (const QString &cizi : {u"ñ"_s, u"😀"_s, u"中"_s, u"\uFFFD"_s})
        QVERIFY2(!ZakodujOsmibitove(cizi, bajty), qPrintable(cizi));
}

void TestSoubory::konceRadku_data()
{
    QTest::addColumn<int>("kodovani");
    QTest::addColumn<QString>("text");    // as the file holds it
    QTest::addColumn<QString>("zlom");    // the form a save writes
    QTest::addColumn<QString>("smisene"); // told at open: the counts of CR LF, LF, CR and the form kept
    const QString systemovy = ZnakyZlomu(SystemovyZlom()).toString();
    const QString nazevSystemoveho = SystemovyZlom() == TZlom::CrLf ? u"CR LF"_s : u"LF"_s;
    const auto smisene = [](int CrLf, int Lf, int Cr, const QString &Zlom) {
        return u"%1 %2 %3 %4"_s.arg(CrLf).arg(Lf).arg(Cr).arg(Zlom);
    };
    struct TPripad {
        const char *Nazev;
        QString Text, Zlom, Smisene;
    };
    const QList<TPripad> pripady = {
        {"LF", u"Příliš\nžluťoučký kůň\núpěl\n"_s, u"\n"_s, {}},
        {"LF bez konce", u"Příliš\nžluťoučký kůň\núpěl"_s, u"\n"_s, {}},
        {"CR LF", u"Příliš\r\nžluťoučký kůň\r\núpěl\r\n"_s, u"\r\n"_s, {}},
        {"CR LF bez konce", u"Příliš\r\nžluťoučký kůň\r\núpěl"_s, u"\r\n"_s, {}},
        {"CR", u"Příliš\ržluťoučký kůň\rúpěl\r"_s, u"\r"_s, {}},
        {"CR bez konce", u"Příliš\ržluťoučký kůň\rúpěl"_s, u"\r"_s, {}},
        {"jen konec", u"Příliš\r"_s, u"\r"_s, {}},
        {"bez zlomu", u"Příliš"_s, systemovy, {}},
        {"smíšené, víc LF", u"Příliš\r\nžluťoučký kůň\núpěl\n"_s, u"\n"_s, smisene(1, 2, 0, u"LF"_s)},
        {"smíšené, víc CR", u"Příliš\ržluťoučký kůň\r\núpěl\r"_s, u"\r"_s, smisene(1, 0, 2, u"CR"_s)},
        {"smíšené, víc CR LF", u"Příliš\r\nžluťoučký kůň\r\núpěl\n"_s, u"\r\n"_s, smisene(2, 1, 0, u"CR LF"_s)},
        // A tie goes to the system's own break.
        {"smíšené, nerozhodně", u"Příliš\r\nžluťoučký kůň\núpěl"_s, systemovy, smisene(1, 1, 0, nazevSystemoveho)},
        // LF CR is two breaks, not one of either order.
        {"LF CR", u"Příliš\n\rúpěl"_s, u"\n"_s, smisene(0, 1, 1, u"LF"_s)},
    };
    const QList<std::pair<const char *, TKodovani>> kodovani = {
        {"UTF-8 se značkou", koUtf8}, {"UTF-8 bez značky", koUtf8BezZnacky}, {"UTF-16 LE", koUtf16LE},
        {"UTF-16 BE", koUtf16BE},     {"windows-1250", koOsmibitove},
    };
    for (const auto &[nazevKodovani, k] : kodovani)
        for (const TPripad &p : pripady)
            QTest::addRow("%s, %s", nazevKodovani, p.Nazev) << int(k) << p.Text << p.Zlom << p.Smisene;
}

void TestSoubory::konceRadku()
{
    // Line breaks stay as the file has them, through typing, paste, F6 and
    // save; a file of mixed breaks is saved with its most frequent one, and
    // the user is told so once, at open.
    QFETCH(int, kodovani);
    QFETCH(QString, text);
    QFETCH(QString, zlom);
    QFETCH(QString, smisene);
    QString zprava;
    if (!smisene.isEmpty()) {
        const QStringList p = smisene.split(u' ');
        zprava = rsSMISENEZLOMY.arg(p[0], p[1], p[2], p.mid(3).join(u' '));
    }
    const TKodovani k = TKodovani(kodovani);
    if (k == koUtf8BezZnacky)
        JEN_UTF8_BEZ_ZNACKY();
    const auto bajty = [k](const QString &Text) {
        QByteArray b;
        [&] { QVERIFY2(ZakodujText(Text, k, b), qPrintable(Text)); }();
        return b;
    };
    const auto seZlomem = [&](QString Text) { return NormalizujKonceRadku(Text).replace(u"\r\n"_s, zlom); };
    ZnakySeZnamenkem = VychoziZnakySeZnamenkem;
    ZnakyBezZnamenka = VychoziZnakyBezZnamenka;
    const QByteArray puvodni = bajty(text);
    const QString cesta = Otevri(u"radky.txt"_s, puvodni);
    QCOMPARE(int(Okno->Kodovani()), kodovani);
    QCOMPARE(ZnakyZlomu(Okno->Zlom()), zlom);
    if (zprava.isEmpty()) {
        QVERIFY(Test->Prostredi.Dialogy.isEmpty());
    } else {
        QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
        QCOMPARE(Test->Prostredi.Dialogy[0].Text, zprava);
        QCOMPARE(Test->Prostredi.Dialogy[0].Nadpis, rsINFORMACE);
    }

    // An edit taken back, then save: the same bytes, or every break in the
    // most frequent form.
    Napis(Okno->memSoubor, u"x"_s);
    Okno->memSoubor->undo();
    Okno->aUlozit->trigger();
    QCOMPARE(Precti(cesta), bajty(seZlomem(text)));
    if (zprava.isEmpty())
        QCOMPARE(Precti(cesta), puvodni);

    // Typed and pasted breaks, whatever their form, take the document's.
    QTest::keyClick(Okno->memSoubor, Qt::Key_Home, Qt::ControlModifier);
    Napis(Okno->memSoubor, u"x"_s);
    QTest::keyClick(Okno->memSoubor, Qt::Key_Return);
    QGuiApplication::clipboard()->setText(u"y\r\nž\n"_s);
    Okno->memSoubor->paste();
    Okno->aOdstranitDiakritiku->trigger();
    Okno->aUlozit->trigger();
    QString prevedeny = u"x\ny\nz\n"_s + text;
    for (const auto &[z, na] :
         {std::pair{u"Příliš"_s, u"Prilis"_s}, {u"žluťoučký kůň"_s, u"zlutoucky kun"_s}, {u"úpěl"_s, u"upel"_s}})
        prevedeny.replace(z, na);
    QCOMPARE(Precti(cesta), bajty(seZlomem(prevedeny)));
    QCOMPARE(Test->Prostredi.Dialogy.size(), zprava.isEmpty() ? 0 : 1);
}

void TestSoubory::novyDokumentMaZlomSystemu()
{
    // A document of CR breaks, typed into and saved through the question
    // before New, keeps them; the new document then has the system's.
    const QString cr = Otevri(u"cr.txt"_s, "a\rb");
    QCOMPARE(Okno->Zlom(), TZlom::Cr);
    QTest::keyClick(Okno->memSoubor, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(Okno->memSoubor, Qt::Key_Return);
    Test->Prostredi.Odpovedi = {IDYES};
    Okno->aNovy->trigger();
    QCOMPARE(Precti(cr), QByteArray("a\rb\r"));
    QCOMPARE(Okno->Zlom(), SystemovyZlom());

    Napis(Okno->memSoubor, u"a"_s);
    QTest::keyClick(Okno->memSoubor, Qt::Key_Return);
    QGuiApplication::clipboard()->setText(u"b\rc\r\nd\n"_s);
    Okno->memSoubor->paste();
    const QString cesta = Test->Prostredi.Cesta(u"novy.txt"_s);
    Dialogy->Ulozit = {cesta};
    Okno->aUlozitJako->trigger();
    const QByteArray z = ZnakyZlomu(SystemovyZlom()).toString().toLatin1();
    QCOMPARE(Precti(cesta), "a" + z + "b" + z + "c" + z + "d" + z);
}

void TestSoubory::pruchodOknem_data()
{
    QTest::addColumn<QByteArray>("bajty");
    QTest::newRow("UTF-8 se značkou") << QByteArray("\xEF\xBB\xBF") + Cesky.toUtf8();
    QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE") + Utf16(Cesky, false);
    QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF") + Utf16(Cesky, true);
    QTest::newRow("UTF-8 bez značky") << Cesky.toUtf8();
    QTest::newRow("windows-1250") << HorniBajty();
    // Characters that the editor's document would take for line breaks.
    const QString zvlastni = u"a\u2029b\uFDD0c\uFDD1d\uFDD2e\u2028f\uFEFF"_s;
    QTest::newRow("UTF-8, oddělovače") << zvlastni.toUtf8();
    QTest::newRow("UTF-16 LE, oddělovače") << QByteArray("\xFF\xFE") + Utf16(zvlastni, false);
}

void TestSoubory::pruchodOknem()
{
    QFETCH(QByteArray, bajty);
    const QString cesta = Otevri(u"pruchod.txt"_s, bajty);
    // An edit that comes back to the same text, then save: the same bytes.
    Napis(Okno->memSoubor, u"x"_s);
    Okno->memSoubor->undo();
    QVERIFY(Okno->memSoubor->Modified());
    Okno->aUlozit->trigger();
    QVERIFY(Test->Prostredi.Dialogy.isEmpty());
    QCOMPARE(Precti(cesta), bajty);
    QVERIFY(!Okno->memSoubor->Modified());
}

void TestSoubory::zastupciBajtu_data()
{
    QTest::addColumn<QByteArray>("bajty");
    QTest::addColumn<QByteArray>("poKonverzi");
    QTest::addColumn<bool>("liche"); // which message: odd-length UTF-16 or bad UTF-8
    const QByteArray bom8("\xEF\xBB\xBF");
    const QByteArray caj = u"čaj € …"_s.toUtf8(), caj6 = u"caj € …"_s.toUtf8();
    QTest::newRow("UTF-8 se značkou, chybný bajt") << bom8 + caj + "\xE8" << bom8 + caj6 + "\xE8" << false;
    QTest::newRow("UTF-8 bez značky, chybný bajt") << caj + "\xE8" << caj6 + "\xE8" << false;
    QTest::newRow("UTF-16 LE, lichá délka") << QByteArray("\xFF\xFE") + Utf16(u"řádek\r\n"_s, false) + "A"
                                            << QByteArray("\xFF\xFE") + Utf16(u"radek\r\n"_s, false) + "A" << true;
    QTest::newRow("UTF-16 BE, lichá délka") << QByteArray("\xFE\xFF") + Utf16(u"ř\r\n"_s, true) + "\xE8"
                                            << QByteArray("\xFE\xFF") + Utf16(u"r\r\n"_s, true) + "\xE8" << true;
}

void TestSoubory::zastupciBajtu()
{
    // Bytes that the file's encoding cannot read survive a save, unchanged or
    // after F6, also with a table that names their stand-ins; the user is told
    // once, at open.
    QFETCH(QByteArray, bajty);
    QFETCH(QByteArray, poKonverzi);
    QFETCH(bool, liche);
    if (QTest::currentDataTag() == "UTF-8 bez značky, chybný bajt"_ba)
        JEN_UTF8_BEZ_ZNACKY();
    ZnakySeZnamenkem = VychoziZnakySeZnamenkem + QChar(0xDCE8) + QChar(0xDC41);
    ZnakyBezZnamenka = VychoziZnakyBezZnamenka + u"xy"_s;
    const QString cesta = Otevri(u"poskozeny.txt"_s, bajty);
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    QCOMPARE(Test->Prostredi.Dialogy[0].Text, liche ? rsLICHEUTF16 : rsNEPLATNEUTF8);
    QCOMPARE(Test->Prostredi.Dialogy[0].Nadpis, rsINFORMACE);
    QCOMPARE(Test->Prostredi.Dialogy[0].Priznaky, MB_ICONASTERISK);
    Napis(Okno->memSoubor, u"x"_s);
    Okno->aZpet->trigger();
    Okno->aUlozit->trigger();
    QCOMPARE(Precti(cesta), bajty);
    Okno->aOdstranitDiakritiku->trigger();
    Okno->aUlozit->trigger();
    QCOMPARE(Precti(cesta), poKonverzi);
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
}

void TestSoubory::tabulkaDelaZastupce_data()
{
    QTest::addColumn<QByteArray>("bajty");
    QTest::addColumn<QString>("hledane");
    QTest::addColumn<QString>("nahrady");
    QTest::addColumn<bool>("odmitnutoF6");
    const QByteArray bom8("\xEF\xBB\xBF");
    // In UTF-8 U+DC80..U+DCFF stand for bytes: F6 makes none of a character ...
    QTest::newRow("znak na U+DC80") << QByteArray("abc") << u"a"_s << QString(QChar(0xDC80)) << true;
    QTest::newRow("znak na U+DCFF, značka") << bom8 + "abc" << u"b"_s << QString(QChar(0xDCFF)) << true;
    // ... nor one of the low half of a pair it breaks ...
    QTest::newRow("rozdělený pár") << bom8 + "\xF0\x90\x82\x80" << QString(QChar(0xD800)) << u"x"_s << true;
    // ... nor a character of a byte, with a high half put before it.
    QTest::newRow("polovina před bajtem") << bom8 + "x\x80" << u"x"_s << QString(QChar(0xD800)) << true;
    // Windows-1250 keeps no stand-ins: F6 may put U+DC80 in, but UTF-8 cannot
    // hold it when the save offers that instead.
    QTest::newRow("windows-1250") << QByteArray("\xE8\x61j") << u"a"_s << QString(QChar(0xDC80)) << false;
}

void TestSoubory::tabulkaDelaZastupce()
{
    // A table that would make a byte of the file out of a character never
    // lets a save write a byte that the text does not hold; the user is told.
    QFETCH(QByteArray, bajty);
    QFETCH(QString, hledane);
    QFETCH(QString, nahrady);
    QFETCH(bool, odmitnutoF6);
    if (QTest::currentDataTag() == "znak na U+DC80"_ba)
        JEN_UTF8_BEZ_ZNACKY();
    const QString cesta = Otevri(u"tabulka.txt"_s, bajty);
    Test->Prostredi.Dialogy.clear();
    const QString text = Okno->memSoubor->Text();
    ZnakySeZnamenkem = hledane;
    ZnakyBezZnamenka = nahrady;
    Okno->aOdstranitDiakritiku->trigger();
    if (odmitnutoF6) {
        QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
        QCOMPARE(Test->Prostredi.Dialogy[0].Text, rsZASTUPCEBAJTU + u'.');
        QCOMPARE(Okno->memSoubor->Text(), text);
        QVERIFY(!Okno->memSoubor->Modified());
    } else {
        QVERIFY(Test->Prostredi.Dialogy.isEmpty());
        QVERIFY(Okno->memSoubor->Text() != text);
    }
    Test->Prostredi.Odpovedi = {IDYES}; // the 8-bit code page's question: save as UTF-8
    Okno->aUlozit->trigger();
    QCOMPARE(Precti(cesta), bajty);
    if (!odmitnutoF6) {
        QCOMPARE(Test->Prostredi.Dialogy.size(), 2);
        QCOMPARE(Test->Prostredi.Dialogy[0].Text, rsULOZITUTF8);
        QVERIFY2(Test->Prostredi.Dialogy[1].Text.startsWith(
                     u"Cannot create file \"%1\". "_s.arg(QDir::toNativeSeparators(cesta))),
                 qPrintable(Test->Prostredi.Dialogy[1].Text));
        QVERIFY(Okno->memSoubor->Modified());
    }
}

void TestSoubory::stavPoOtevreni()
{
    Okno->memSoubor->NastavText(u"starý"_s);
    const QString cesta = Otevri(u"nový.txt"_s, BezZnacky(Cesky));
    QCOMPARE(Okno->memSoubor->Text(), Cesky);
    QCOMPARE(Okno->lblNazevSouboru->text(), QDir::toNativeSeparators(cesta));
    QCOMPARE(Okno->NazevSouboru(), cesta);
    QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clGreen);
    QCOMPARE(Okno->lblNazevSouboru->toolTip(), u"Soubor je uložen"_s);
    QVERIFY(!Okno->aUlozit->isEnabled());
    // An edit turns it red and enables Save.
    Napis(Okno->memSoubor, u"ž"_s);
    QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clRed);
    QCOMPARE(Hint(Okno->lblNazevSouboru), u"Soubor není uložen|"_s);
    QVERIFY(Okno->aUlozit->isEnabled());
}

// What every command leaves of the document's state: the label's caption,
// colour and hint, Save, the modified flag and the document's file.
void TestSoubory::stavDokumentu_data()
{
    QTest::addColumn<QStringList>("kroky");
    QTest::addColumn<QString>("soubor"); // the document's file; empty: none, "TEXT.TXT" shown
    QTest::addColumn<quint32>("barva");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("ulozit");
    QTest::addColumn<bool>("zmeneno");
    const QString neulozeno = u"Soubor není uložen|"_s, ulozeno = u"Soubor je uložen|"_s;
    QTest::newRow("start") << QStringList() << QString() << clWindowText << QString() << false << false;
    QTest::newRow("psaní") << QStringList{u"psát"_s} << QString() << clRed << neulozeno << true << true;
    QTest::newRow("otevření po psaní") << QStringList{u"psát"_s, u"otevřít"_s} << u"a.txt"_s << clGreen << ulozeno
                                       << false << false;
    QTest::newRow("uložení") << QStringList{u"otevřít"_s, u"psát"_s, u"uložit"_s} << u"a.txt"_s << clGreen << ulozeno
                             << false << false;
    QTest::newRow("uložit jako") << QStringList{u"otevřít"_s, u"psát"_s, u"uložit jako"_s} << u"b.txt"_s << clGreen
                                 << ulozeno << false << false;
    // New leaves Save as it was, also enabled for an empty document.
    QTest::newRow("nový po psaní") << QStringList{u"otevřít"_s, u"psát"_s, u"nový"_s} << QString() << clBlack
                                   << QString() << true << false;
    QTest::newRow("nový po otevření") << QStringList{u"otevřít"_s, u"nový"_s} << QString() << clBlack << QString()
                                      << false << false;
    QTest::newRow("F6 beze změny textu") << QStringList{u"otevřít"_s, u"F6"_s} << u"a.txt"_s << clRed << neulozeno
                                         << true << true;
    QTest::newRow("F6 po novém") << QStringList{u"otevřít"_s, u"nový"_s, u"psát"_s, u"F6"_s} << QString() << clRed
                                 << neulozeno << true << true;
    QTest::newRow("F6 prázdného textu") << QStringList{u"F6"_s} << QString() << clWindowText << QString() << false
                                        << false;
    // Delete all clears the flag and nothing else.
    QTest::newRow("smazat vše po psaní") << QStringList{u"otevřít"_s, u"psát"_s, u"smazat"_s} << u"a.txt"_s << clRed
                                         << neulozeno << true << false;
    QTest::newRow("smazat vše a F6") << QStringList{u"otevřít"_s, u"smazat"_s, u"F6"_s} << u"a.txt"_s << clGreen
                                     << ulozeno << false << false;
    QTest::newRow("psaní po novém") << QStringList{u"otevřít"_s, u"nový"_s, u"psát"_s} << QString() << clRed
                                    << neulozeno << true << true;
}

void TestSoubory::stavDokumentu()
{
    QFETCH(QStringList, kroky);
    QFETCH(QString, soubor);
    QFETCH(quint32, barva);
    QFETCH(QString, hint);
    QFETCH(bool, ulozit);
    QFETCH(bool, zmeneno);
    const QString a = Test->Prostredi.Cesta(u"a.txt"_s);
    Zapis(a, "abc");
    for (const QString &krok : std::as_const(kroky)) {
        // Unsaved text is given up when a command asks.
        Test->Prostredi.Odpovedi = {IDNO};
        if (krok == u"psát"_s) {
            Napis(Okno->memSoubor, u"x"_s);
        } else if (krok == u"otevřít"_s) {
            Dialogy->Otevrit = {a};
            Okno->aOtevrit->trigger();
        } else if (krok == u"uložit"_s) {
            Okno->aUlozit->trigger();
        } else if (krok == u"uložit jako"_s) {
            Dialogy->Ulozit = {Test->Prostredi.Cesta(u"b.txt"_s)};
            Okno->aUlozitJako->trigger();
        } else if (krok == u"nový"_s) {
            Okno->aNovy->trigger();
        } else if (krok == u"F6"_s) {
            Okno->aOdstranitDiakritiku->trigger();
        } else {
            QCOMPARE(krok, u"smazat"_s);
            Okno->aSmazatVse->trigger();
        }
        Test->Prostredi.Odpovedi.clear();
    }
    // No command failed.
    for (const TZaznamDialogu &d : std::as_const(Test->Prostredi.Dialogy))
        QVERIFY2(d.Nadpis != u"Lumarin"_s, qPrintable(d.Text));
    const QString cesta = soubor.isEmpty() ? QString() : Test->Prostredi.Cesta(soubor);
    QCOMPARE(Okno->NazevSouboru(), cesta);
    QCOMPARE(Okno->lblNazevSouboru->text(), soubor.isEmpty() ? u"TEXT.TXT"_s : QDir::toNativeSeparators(cesta));
    QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), barva);
    QCOMPARE(Hint(Okno->lblNazevSouboru), hint);
    QCOMPARE(Okno->lblNazevSouboru->toolTip(), KratkyHint(hint));
    QCOMPARE(Okno->aUlozit->isEnabled(), ulozit);
    QCOMPARE(Okno->memSoubor->Modified(), zmeneno);
}

void TestSoubory::stejnyTextPresPrepise()
{
    Okno->memSoubor->NastavText(Cesky);
    Okno->memSoubor->SetModified(true);
    QSignalSpy zmeny(Okno->memSoubor, &TMemo::Zmena);
    Test->Prostredi.Odpovedi = {IDNO};
    Otevri(u"stejny.txt"_s, BezZnacky(Cesky));
    QCOMPARE(zmeny.size(), 0);
    QVERIFY(!Okno->memSoubor->Modified());
    QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clGreen);
}

void TestSoubory::otazka_data()
{
    QTest::addColumn<int>("odpoved");
    QTest::addColumn<bool>("pokracuje");
    QTest::newRow("zrušit") << IDCANCEL << false;
    QTest::newRow("ne") << IDNO << true;
    QTest::newRow("ano, uložit jako zrušeno") << IDYES << false;
}

void TestSoubory::otazka()
{
    QFETCH(int, odpoved);
    QFETCH(bool, pokracuje);
    Napis(Okno->memSoubor, u"neuložený"_s);
    Test->Prostredi.Odpovedi = {odpoved};
    Okno->aNovy->trigger();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    const TZaznamDialogu &d = Test->Prostredi.Dialogy[0];
    QCOMPARE(d.Text, u"Uložit změněný soubor\rTEXT.TXT?"_s);
    QCOMPARE(d.Nadpis, u"Potvrzení"_s);
    QCOMPARE(d.Priznaky, 35);
    QCOMPARE(Okno->memSoubor->JePrazdny(), pokracuje);
    QCOMPARE(Dialogy->NavrhyUlozeni, odpoved == IDYES ? QStringList{u"TEXT.TXT"_s} : QStringList());
    if (pokracuje) {
        QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clBlack);
        QVERIFY(Hint(Okno->lblNazevSouboru).isEmpty());
    } else {
        QVERIFY(Okno->memSoubor->Modified());
    }
    // Open asks the same way; with Yes and a chosen name it saves, then opens.
    const QString ulozeno = Test->Prostredi.Cesta(u"ulozeno.txt"_s);
    const QString jiny = Test->Prostredi.Cesta(u"jiny.txt"_s);
    Zapis(jiny, BezZnacky(u"jiný"_s));
    Okno->memSoubor->NastavText(u"obsah"_s);
    Okno->memSoubor->SetModified(true);
    Test->Prostredi.Odpovedi = {IDYES};
    Dialogy->Ulozit = {ulozeno};
    Dialogy->Otevrit = {jiny};
    Okno->aOtevrit->trigger();
    QCOMPARE(Precti(ulozeno), QByteArray("obsah"));
    QCOMPARE(Okno->memSoubor->Text(), u"jiný"_s);
}

void TestSoubory::zavreniSeZepta()
{
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    // A conversion that replaced nothing still leaves the text unsaved.
    Okno->memSoubor->NastavText(u"abc"_s);
    Okno->aOdstranitDiakritiku->trigger();
    Test->Prostredi.Odpovedi = {IDCANCEL};
    Okno->close();
    QVERIFY(Okno->isVisible());
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    // "Smazat vše" clears the flag: no question.
    Okno->aSmazatVse->trigger();
    Okno->aKonec->trigger();
    QVERIFY(!Okno->isVisible());
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
}

void TestSoubory::ulozitBezDialogu()
{
    // At start, Save asks for a name and proposes TEXT.TXT.
    Napis(Okno->memSoubor, u"ahoj"_s);
    const QString cesta = Test->Prostredi.Cesta(u"prvni.txt"_s);
    Dialogy->Ulozit = {cesta};
    Okno->aUlozit->trigger();
    QCOMPARE(Dialogy->NavrhyUlozeni, QStringList{u"TEXT.TXT"_s});
    QCOMPARE(Precti(cesta), QByteArray("ahoj"));
    QCOMPARE(Okno->lblNazevSouboru->text(), QDir::toNativeSeparators(cesta));
    QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clGreen);
    // Then over the existing file without a dialog.
    Napis(Okno->memSoubor, u"!"_s);
    Okno->aUlozit->trigger();
    QCOMPARE(Dialogy->NavrhyUlozeni.size(), 1);
    QCOMPARE(Precti(cesta), QByteArray("ahoj!"));
    QVERIFY(!Okno->aUlozit->isEnabled());
}

void TestSoubory::ulozitZmizelySoubor()
{
    const QString cesta = Otevri(u"zmizi.txt"_s, "text");
    QVERIFY(QFile::remove(cesta));
    Napis(Okno->memSoubor, u"x"_s);
    const QString jinam = Test->Prostredi.Cesta(u"jinam.txt"_s);
    Dialogy->Ulozit = {jinam};
    Okno->aUlozit->trigger();
    QCOMPARE(Dialogy->NavrhyUlozeni, QStringList{QDir::toNativeSeparators(cesta)});
    QVERIFY(!QFile::exists(cesta));
    QCOMPARE(Precti(jinam), QByteArray("xtext"));
    QCOMPARE(Okno->NazevSouboru(), jinam);
}

void TestSoubory::zruseneUlozitJakoNemeniSoubor()
{
    // A TEXT.TXT that happens to lie in the working folder is never written.
    const QString cizi = Test->Prostredi.Cesta(u"TEXT.TXT"_s);
    Zapis(cizi, "cizí soubor");
    Napis(Okno->memSoubor, u"můj text"_s);
    Okno->aUlozitJako->trigger(); // cancelled
    QCOMPARE(Okno->NazevSouboru(), QString());
    Okno->aUlozit->trigger(); // cancelled again: asks, writes nothing
    QCOMPARE(Dialogy->NavrhyUlozeni.size(), 2);
    QCOMPARE(Precti(cizi), QByteArray("cizí soubor"));
    QVERIFY(Okno->memSoubor->Modified());
}

void TestSoubory::novyPoOtevreni()
{
    const QString cesta = Otevri(u"otevreny.txt"_s, "původní");
    Okno->aNovy->trigger();
    QCOMPARE(Okno->lblNazevSouboru->text(), u"TEXT.TXT"_s);
    QVERIFY(Okno->NazevSouboru().isEmpty());
    Napis(Okno->memSoubor, u"nový"_s);
    Okno->aUlozit->trigger(); // the save dialog comes, and is cancelled
    QCOMPARE(Dialogy->NavrhyUlozeni, QStringList{u"TEXT.TXT"_s});
    QCOMPARE(Precti(cesta), QByteArray("původní"));
}

void TestSoubory::novyZachovaKodovani()
{
    Otevri(u"utf16.txt"_s, QByteArray("\xFE\xFF") + Utf16(u"x"_s, true));
    Okno->aNovy->trigger();
    Napis(Okno->memSoubor, u"ř"_s);
    const QString cesta = Test->Prostredi.Cesta(u"novy.txt"_s);
    Dialogy->Ulozit = {cesta};
    Okno->aUlozitJako->trigger();
    QCOMPARE(Precti(cesta), QByteArray("\xFE\xFF\x01\x59", 4));
}

void TestSoubory::neukladatelneZnaky_data()
{
    QTest::addColumn<int>("odpoved");
    QTest::newRow("ne") << IDNO;
    QTest::newRow("ano") << IDYES;
}

void TestSoubory::neukladatelneZnaky()
{
    QFETCH(int, odpoved);
    const QByteArray puvodni("\xE8\x61j"); // "čaj" in windows-1250
    const QString cesta = Otevri(u"cp1250.txt"_s, puvodni);
    QCOMPARE(Okno->Kodovani(), koOsmibitove);
    QCOMPARE(Okno->memSoubor->Text(), u"čaj"_s);
    Okno->memSoubor->moveCursor(QTextCursor::End);
    Napis(Okno->memSoubor, u" ñ"_s);
    Test->Prostredi.Odpovedi = {odpoved};
    Okno->aUlozit->trigger();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    QCOMPARE(Test->Prostredi.Dialogy[0].Text, rsULOZITUTF8);
    QCOMPARE(Test->Prostredi.Dialogy[0].Priznaky, MB_YESNO | MB_ICONEXCLAMATION);
    if (odpoved == IDNO) {
        QCOMPARE(Precti(cesta), puvodni);
        QVERIFY(Okno->memSoubor->Modified());
        QCOMPARE(Okno->Kodovani(), koOsmibitove);
        QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clRed);
    } else {
        QCOMPARE(Precti(cesta), QByteArray("\xEF\xBB\xBF") + u"čaj ñ"_s.toUtf8());
        QVERIFY(!Okno->memSoubor->Modified());
        QCOMPARE(Okno->Kodovani(), koUtf8);
    }
}

void TestSoubory::osamelaPolovinaDoUtf8()
{
    // A lone half of a surrogate pair (F6 can make one from a pair of the
    // table) has no UTF-8 form: an error, and the file stays as it was.
    const QString cesta = Otevri(u"utf8.txt"_s,
                                 "\xEF\xBB\xBFp\xC5\x99"
                                 "ed");
    Okno->memSoubor->NastavText(u"p"_s + QChar(0xD83D) + u"ed"_s);
    Okno->memSoubor->SetModified(true);
    Proved([this] { Okno->aUlozitExecute(Okno->aUlozit); });
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    QVERIFY2(Test->Prostredi.Dialogy[0].Text.startsWith(u"Cannot create file"_s),
             qPrintable(Test->Prostredi.Dialogy[0].Text));
    QCOMPARE(Precti(cesta),
             QByteArray("\xEF\xBB\xBFp\xC5\x99"
                        "ed"));
    QVERIFY(Okno->memSoubor->Modified());
}

void TestSoubory::chybaZapisuNicNezmeni()
{
    const QString slozka = Test->Prostredi.Docasna.filePath(u"jen_ke_cteni"_s);
    QVERIFY(QDir().mkpath(slozka));
    const QString cesta = slozka + u"/dokument.txt"_s;
    const QByteArray stara = BezZnacky(u"stará verze"_s);
    Zapis(cesta, stara);
    Dialogy->Otevrit = {cesta};
    Okno->aOtevrit->trigger();
    Napis(Okno->memSoubor, u"nová "_s);
    QFile::setPermissions(Test->Prostredi.Docasna.path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                              QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(slozka,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                              QFile::ExeOther);
    QFile::setPermissions(cesta, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    {
        TBezPrivilegii bezPrav;
        Okno->aUlozit->trigger();
    }
    QFile::setPermissions(slozka, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(Precti(cesta), stara);
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    QCOMPARE(Test->Prostredi.Dialogy[0].Nadpis, u"Lumarin"_s);
    QVERIFY2(Test->Prostredi.Dialogy[0].Text.startsWith(
                 u"Cannot create file \"%1\". "_s.arg(QDir::toNativeSeparators(cesta))),
             qPrintable(Test->Prostredi.Dialogy[0].Text));
    QVERIFY(Test->Prostredi.Dialogy[0].Text.endsWith(u'.'));
    QCOMPARE(Test->Prostredi.Dialogy[0].Priznaky, MB_ICONHAND);
    QVERIFY(Okno->memSoubor->Modified());
    QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clRed);
    QCOMPARE(Okno->NazevSouboru(), cesta);
    QVERIFY(Okno->aUlozit->isEnabled());
    QCOMPARE(QDir(slozka).entryList(QDir::Files | QDir::Hidden), QStringList{u"dokument.txt"_s});

    // Asked before New, the failed save ends New too.
    Test->Prostredi.Odpovedi = {IDYES};
    QFile::setPermissions(slozka,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                              QFile::ExeOther);
    {
        TBezPrivilegii bezPrav;
        Okno->aNovy->trigger();
    }
    QFile::setPermissions(slozka, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(Okno->memSoubor->Text(), u"nová stará verze"_s);
    QCOMPARE(Okno->lblNazevSouboru->text(), QDir::toNativeSeparators(cesta));

    // Nor does the window close when the save asked for on closing fails.
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    Test->Prostredi.Odpovedi = {IDYES};
    QFile::setPermissions(slozka,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                              QFile::ExeOther);
    {
        TBezPrivilegii bezPrav;
        Okno->close();
    }
    QFile::setPermissions(slozka, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(Okno->isVisible());
    QVERIFY(Okno->memSoubor->Modified());
    QCOMPARE(Precti(cesta), stara);
    // Writable again, or Windows could not remove the read-only file.
    QVERIFY(QFile::setPermissions(cesta, QFile::ReadOwner | QFile::WriteOwner));
}

void TestSoubory::chybaOtevreni_data()
{
    QTest::addColumn<QString>("jmeno");
    QTest::addColumn<bool>("slozka");
    QTest::newRow("neexistuje") << u"neni.txt"_s << false;
    QTest::newRow("složka") << u"slozka"_s << true;
#ifdef Q_OS_WIN
    QTest::newRow("zařízení") << u"NUL"_s << false;
#else
    QTest::newRow("zařízení") << u"/dev/zero"_s << false;
#endif
}

void TestSoubory::chybaOtevreni()
{
    QFETCH(QString, jmeno);
    QFETCH(bool, slozka);
    const QString cesta = jmeno.startsWith(u'/') ? jmeno : Test->Prostredi.Cesta(jmeno);
    if (slozka)
        QVERIFY(QDir().mkpath(cesta));
    Okno->memSoubor->NastavText(u"zůstane"_s);
    Okno->memSoubor->SetModified(true);
    Test->Prostredi.Odpovedi = {IDNO};
    Dialogy->Otevrit = {cesta};
    Okno->aOtevrit->trigger();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 2);
    QVERIFY2(
        Test->Prostredi.Dialogy[1].Text.startsWith(u"Cannot open file \"%1\". "_s.arg(QDir::toNativeSeparators(cesta))),
        qPrintable(Test->Prostredi.Dialogy[1].Text));
    QCOMPARE(Okno->memSoubor->Text(), u"zůstane"_s);
    QVERIFY(Okno->memSoubor->Modified());
    QCOMPARE(Okno->lblNazevSouboru->text(), u"TEXT.TXT"_s);
    QVERIFY(Okno->NazevSouboru().isEmpty());
}

void TestSoubory::prilisVelkySoubor()
{
    // A sparse file one byte over the limit: refused by its size, before any of
    // it is read, and the document stays as it was.
    const QString cesta = Test->Prostredi.Cesta(u"obri.txt"_s);
    QFile obri(cesta);
    QVERIFY(obri.open(QIODevice::WriteOnly));
    const qint64 limit = NejvetsiDokument();
    QVERIFY(limit > 0 && limit <= std::numeric_limits<int>::max() / 2);
    QVERIFY(obri.resize(limit + 1));
    obri.close();
    Okno->memSoubor->NastavText(u"zůstane"_s);
    Okno->memSoubor->SetModified(true);
    Test->Prostredi.Odpovedi = {IDNO};
    Dialogy->Otevrit = {cesta};
    Okno->aOtevrit->trigger();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 2);
    const QLocale mistni(QLocale::Czech);
    QCOMPARE(Test->Prostredi.Dialogy[1].Text,
             u"Soubor \"%1\" má %2 bajtů a je pro editor příliš velký: otevře nejvýše %3 bajtů a jen soubor, jehož "
             u"text si v paměti nevezme víc než %4 bajtů (asi 9 bajtů na znak a 5 navíc na každý řádek). Soubor "
             u"nebyl otevřen."_s.arg(QDir::toNativeSeparators(cesta), mistni.toString(limit + 1),
                                     mistni.toString(limit), mistni.toString(8 * limit)));
    QCOMPARE(Okno->memSoubor->Text(), u"zůstane"_s);
    QVERIFY(Okno->memSoubor->Modified());
    QVERIFY(Okno->NazevSouboru().isEmpty());
}

// Under the limit's bytes, a file is still refused when its text would take
// more than eight times the limit in memory: each character about 9 bytes,
// each line break 5 more.
void TestSoubory::pametDokumentu_data()
{
    QTest::addColumn<QByteArray>("bajty");
    QTest::addColumn<bool>("otevren");
    constexpr qint64 limit = 1 << 20;
    const qint64 pamet = 8 * limit;
    const qint64 naRadek = PametNaZnak + PametNaZlom;
    QTest::newRow("konce řádků těsně pod") << QByteArray(pamet / naRadek, '\n') << true;
    QTest::newRow("konce řádků těsně nad") << QByteArray(pamet / naRadek + 1, '\n') << false;
    QTest::newRow("jeden řádek těsně nad") << QByteArray(pamet / PametNaZnak + 1, 'a') << false;
}

void TestSoubory::pametDokumentu()
{
    QFETCH(QByteArray, bajty);
    QFETCH(bool, otevren);
    NastavNejvetsiDokument(1 << 20);
    QVERIFY(bajty.size() < NejvetsiDokument());
    Okno->memSoubor->NastavText(u"zůstane"_s);
    const QString cesta = Otevri(u"radky.txt"_s, bajty);
    if (otevren) {
        QVERIFY2(Test->Prostredi.Dialogy.isEmpty(), qPrintable(Test->Prostredi.Dialogy.value(0).Text));
        QCOMPARE(Okno->NazevSouboru(), cesta);
        QCOMPARE(Okno->memSoubor->Text().size(), bajty.size() * 2);
        return;
    }
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    const QLocale mistni(QLocale::Czech);
    QVERIFY2(Test->Prostredi.Dialogy[0].Text.startsWith(u"Soubor \"%1\" má %2 bajtů a je pro editor příliš velký"_s.arg(
                 QDir::toNativeSeparators(cesta), mistni.toString(bajty.size()))),
             qPrintable(Test->Prostredi.Dialogy[0].Text));
    QCOMPARE(Okno->memSoubor->Text(), u"zůstane"_s);
    QVERIFY(Okno->NazevSouboru().isEmpty());
}

namespace {

// Bytes this process has read so far, with read() and its kin.
qint64 PrectenoProcesem()
{
    QFile io(u"/proc/self/io"_s);
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &radek : io.readAll().split('\n'))
        if (radek.startsWith("rchar:"))
            return radek.mid(6).trimmed().toLongLong();
    return -1;
}

} // namespace

void TestSoubory::souborBezVelikosti()
{
    // A file whose size the system gives as 0 but that reads on without end
    // (about 256 GB of page table here) is refused once it has given more than
    // the limit, no more of it read, and the message claims no size it has.
#ifdef Q_OS_WIN
    QSKIP("Windows has no file whose size says 0 while it reads on, as those of /proc");
#endif
    const QString cesta = u"/proc/self/pagemap"_s;
    if (!QFile::exists(cesta) || PrectenoProcesem() < 0)
        QSKIP("this system has no /proc/self/pagemap or /proc/self/io");
    constexpr qint64 limit = 1 << 20;
    NastavNejvetsiDokument(limit);
    Okno->memSoubor->NastavText(u"zůstane"_s);
    Dialogy->Otevrit = {cesta};
    const qint64 pred = PrectenoProcesem();
    Okno->aOtevrit->trigger();
    const qint64 precteno = PrectenoProcesem() - pred;
    QVERIFY2(precteno > limit && precteno <= limit + 4096, qPrintable(QString::number(precteno)));
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    QCOMPARE(Test->Prostredi.Dialogy[0].Text,
             u"Cannot open file \"%1\". It is too large (more than %2 bytes)"_s.arg(cesta).arg(limit));
    QCOMPARE(Okno->memSoubor->Text(), u"zůstane"_s);
    QVERIFY(Okno->NazevSouboru().isEmpty());
}

void TestSoubory::prava()
{
    const QString cesta = Otevri(u"prava.txt"_s, "a");
    const QFile::Permissions prava = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(cesta, prava));
    const QFile::Permissions pred = QFile::permissions(cesta);
    Napis(Okno->memSoubor, u"b"_s);
    Okno->aUlozit->trigger();
    QCOMPARE(Precti(cesta), QByteArray("ba"));
    QCOMPARE(QFile::permissions(cesta), pred);
}

void TestSoubory::odkaz()
{
    const QString cil = Test->Prostredi.Cesta(u"cil.txt"_s);
    const QString odkaz = Test->Prostredi.Cesta(u"odkaz.txt"_s);
#ifdef Q_OS_WIN
    QSKIP("QFile::link makes a shortcut on Windows, not a symbolic link (tst_windows saves through one)");
#endif
    Zapis(cil, "a");
    QVERIFY(QFile::link(cil, odkaz));
    Dialogy->Otevrit = {odkaz};
    Okno->aOtevrit->trigger();
    Napis(Okno->memSoubor, u"b"_s);
    Okno->aUlozit->trigger();
    QVERIFY(QFileInfo(odkaz).isSymLink());
    QCOMPARE(Precti(cil), QByteArray("ba"));
}

void TestSoubory::zmenaNaDisku_data()
{
    QTest::addColumn<int>("zmena");
    QTest::newRow("připsáno jiným procesem") << int(czPripsani);
    QTest::newRow("stejná délka, novější čas") << int(czStejnaDelka);
    QTest::newRow("nahrazen, stejná délka i čas") << int(czPrejmenovani);
}

void TestSoubory::zmenaNaDisku()
{
    // Save writes over a file that another program changed only when the
    // user says so; No writes nothing and keeps the text unsaved.
    QFETCH(int, zmena);
    const QByteArray puvodni = BezZnacky(u"řádek\r\n"_s);
    const QString cesta = Otevri(u"sdileny.txt"_s, puvodni);
    Napis(Okno->memSoubor, u"můj "_s);
    const QByteArray cizi = ZmenCizimProgramem(cesta, TCiziZmena(zmena));
    QVERIFY(cizi != puvodni);

    Test->Prostredi.Odpovedi = {IDNO};
    Okno->aUlozit->trigger();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    QCOMPARE(Test->Prostredi.Dialogy[0].Text, OtazkaPrepsani(cesta));
    QCOMPARE(Test->Prostredi.Dialogy[0].Nadpis, u"Potvrzení"_s);
    QCOMPARE(Test->Prostredi.Dialogy[0].Priznaky, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    QCOMPARE(Precti(cesta), cizi);
    QVERIFY(Okno->memSoubor->Modified());
    QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clRed);
    QVERIFY(Okno->aUlozit->isEnabled());
    QVERIFY(Dialogy->NavrhyUlozeni.isEmpty());

    // Asked again at the next save; Yes writes the document.
    Test->Prostredi.Odpovedi = {IDYES};
    Okno->aUlozit->trigger();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 2);
    QCOMPARE(Test->Prostredi.Dialogy[1].Text, OtazkaPrepsani(cesta));
    QCOMPARE(Precti(cesta), BezZnacky(u"můj řádek\r\n"_s));
    QVERIFY(!Okno->memSoubor->Modified());
    QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clGreen);

    // The file the window wrote itself is no change.
    Napis(Okno->memSoubor, u"a "_s);
    Okno->aUlozit->trigger();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 2);
    QCOMPARE(Precti(cesta), BezZnacky(u"můj a řádek\r\n"_s));
}

void TestSoubory::zmenaNaDiskuUlozitJako()
{
    const QString cesta = Otevri(u"sdileny.txt"_s, "text");
    Napis(Okno->memSoubor, u"můj "_s);
    const QByteArray cizi = ZmenCizimProgramem(cesta, czPripsani);
    // Another name: the dialog has asked all there is to ask.
    const QString jinam = Test->Prostredi.Cesta(u"jinam.txt"_s);
    Zapis(jinam, "staré");
    Dialogy->Ulozit = {jinam};
    Okno->aUlozitJako->trigger();
    QVERIFY(Test->Prostredi.Dialogy.isEmpty());
    QCOMPARE(Precti(jinam), BezZnacky(u"můj text"_s));
    QCOMPARE(Precti(cesta), cizi);
#ifdef Q_OS_WIN
    QSKIP("QFile::link makes a shortcut on Windows, not a symbolic link (tst_windows saves through one)");
#endif
    // The same file under another name, changed meanwhile: asked as Save asks.
    const QString odkaz = Test->Prostredi.Cesta(u"odkaz.txt"_s);
    QVERIFY(QFile::link(jinam, odkaz));
    Napis(Okno->memSoubor, u"+"_s);
    const QByteArray cizi2 = ZmenCizimProgramem(jinam, czStejnaDelka);
    Test->Prostredi.Odpovedi = {IDNO};
    Dialogy->Ulozit = {odkaz};
    Okno->aUlozitJako->trigger();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    QCOMPARE(Test->Prostredi.Dialogy[0].Text, OtazkaPrepsani(jinam));
    QCOMPARE(Precti(jinam), cizi2);
    QVERIFY(Okno->memSoubor->Modified());
    QCOMPARE(Okno->NazevSouboru(), jinam);
}

void TestSoubory::zmenaNaDiskuPredZtratouTextu_data()
{
    QTest::addColumn<QString>("prikaz");
    QTest::newRow("zavření") << u"zavreni"_s;
    QTest::newRow("nový") << u"novy"_s;
    QTest::newRow("otevřít") << u"otevrit"_s;
}

void TestSoubory::zmenaNaDiskuPredZtratouTextu()
{
    // Yes to "save the changed file?", then No to writing over the file that
    // another program changed: the command stops as when the save dialog is
    // cancelled, and neither the text nor the file is lost.
    QFETCH(QString, prikaz);
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    const QString cesta = Otevri(u"sdileny.txt"_s, "text");
    Napis(Okno->memSoubor, u"můj "_s);
    const QByteArray cizi = ZmenCizimProgramem(cesta, czPripsani);
    const QString jiny = Test->Prostredi.Cesta(u"jiny.txt"_s);
    Zapis(jiny, "jiný");
    Dialogy->Otevrit = {jiny};
    Test->Prostredi.Odpovedi = {IDYES, IDNO};
    if (prikaz == u"zavreni"_s)
        Okno->aKonec->trigger();
    else if (prikaz == u"novy"_s)
        Okno->aNovy->trigger();
    else
        Okno->aOtevrit->trigger();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 2);
    QCOMPARE(Test->Prostredi.Dialogy[0].Text, u"Uložit změněný soubor\r"_s + QDir::toNativeSeparators(cesta) + u'?');
    QCOMPARE(Test->Prostredi.Dialogy[1].Text, OtazkaPrepsani(cesta));
    QVERIFY(Okno->isVisible());
    QCOMPARE(Okno->memSoubor->Text(), u"můj text"_s);
    QVERIFY(Okno->memSoubor->Modified());
    QCOMPARE(Okno->NazevSouboru(), cesta);
    QCOMPARE(Dialogy->PocetOtevreni, 1); // the first Otevri only
    QCOMPARE(Precti(cesta), cizi);
}

void TestSoubory::navratDoOkna()
{
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    const QString cesta = Otevri(u"sdileny.txt"_s, "text");
    Aktivuj(Okno);
    const QString zmeneno =
        u"Soubor \"%1\" byl od otevření nebo posledního uložení změněn na disku jiným programem.\r"
        u"Text v editoru zůstává, jak byl. Novou verzi uvidíte, když soubor otevřete znovu; před uložením se "
        u"program zeptá, zda soubor přepsat."_s.arg(QDir::toNativeSeparators(cesta));
    VratSeDoOkna();
    QVERIFY(Test->Prostredi.Dialogy.isEmpty());

    // A change is told once, with nothing read again; a further one again.
    ZmenCizimProgramem(cesta, czPripsani);
    VratSeDoOkna();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    QCOMPARE(Test->Prostredi.Dialogy[0].Text, zmeneno);
    QCOMPARE(Test->Prostredi.Dialogy[0].Nadpis, u"Informace"_s);
    QCOMPARE(Test->Prostredi.Dialogy[0].Priznaky, MB_OK | MB_ICONASTERISK);
    QCOMPARE(Okno->memSoubor->Text(), u"text"_s);
    QVERIFY(!Okno->memSoubor->Modified());
    VratSeDoOkna();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    ZmenCizimProgramem(cesta, czPrejmenovani);
    VratSeDoOkna();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 2);
    QCOMPARE(Test->Prostredi.Dialogy[1].Text, zmeneno);

    // A change asked about at a save is not told again.
    ZmenCizimProgramem(cesta, czStejnaDelka);
    Napis(Okno->memSoubor, u"x"_s);
    Test->Prostredi.Odpovedi = {IDNO};
    Okno->aUlozit->trigger();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 3);
    QCOMPARE(Test->Prostredi.Dialogy[2].Text, OtazkaPrepsani(cesta));
    VratSeDoOkna();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 3);

    // The window's own saves are no change.
    Test->Prostredi.Odpovedi = {IDYES};
    Okno->aUlozit->trigger();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 4);
    Napis(Okno->memSoubor, u"y"_s);
    Okno->aUlozit->trigger();
    VratSeDoOkna();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 4);
    QCOMPARE(Precti(cesta), QByteArray("xytext"));

    // Not while a dialog of the program is up; after it, once.
    ZmenCizimProgramem(cesta, czPripsani);
    {
        QDialog dialog(Okno);
        dialog.setModal(true);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        VratSeDoOkna();
        QCOMPARE(Test->Prostredi.Dialogy.size(), 4);
    }
    VratSeDoOkna();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 5);
    QCOMPARE(Test->Prostredi.Dialogy[4].Text, zmeneno);

    // A file removed is told once too; Save then asks for a name.
    QVERIFY(QFile::remove(cesta));
    VratSeDoOkna();
    VratSeDoOkna();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 6);
    QCOMPARE(
        Test->Prostredi.Dialogy[5].Text,
        u"Soubor \"%1\" byl od otevření nebo posledního uložení smazán nebo přesunut jiným programem.\r"
        u"Text v editoru zůstává, jak byl; uložení se zeptá na jméno souboru."_s.arg(QDir::toNativeSeparators(cesta)));
    QCOMPARE(Okno->memSoubor->Text(), u"xytext"_s);

    // A new document has no file to watch.
    Okno->aNovy->trigger();
    VratSeDoOkna();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 6);
}

void TestSoubory::navratDoOknaBezVnoreni()
{
    // The message box takes the activation from the window and gives it back,
    // and the file may change again meanwhile: no second box over the first.
    Okno->show();
    QVERIFY(QTest::qWaitForWindowExposed(Okno));
    const QString cesta = Otevri(u"sdileny.txt"_s, "text");
    Aktivuj(Okno);
    int otevrenych = 0, nejvic = 0;
    QStringList texty;
    THlaseni::NastavPrezenter([&](const QString &Text, const QString &, int) {
        texty << Text;
        nejvic = std::max(nejvic, ++otevrenych);
        if (texty.size() == 1) {
            ZmenCizimProgramem(cesta, czPripsani);
            VratSeDoOkna();
        }
        --otevrenych;
        return IDOK;
    });
    ZmenCizimProgramem(cesta, czPripsani);
    VratSeDoOkna();
    QCOMPARE(nejvic, 1);
    // The change made while the box was up is news once the box is gone.
    VratSeDoOkna();
    QCOMPARE(texty.size(), 2);
    QCOMPARE(nejvic, 1);
    VratSeDoOkna();
    QCOMPARE(texty.size(), 2);
}

QTEST_MAIN(TestSoubory)
#include "tst_soubory.moc"
