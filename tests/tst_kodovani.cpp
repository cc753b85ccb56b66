// Reading damaged and ambiguous encodings: invalid UTF-8 bytes and the stray
// byte of odd-length UTF-16 kept as stand-ins, windows-1250 text that happens
// to be valid UTF-8 told from real UTF-8, and every such file written back
// byte for byte.

#include "KodovaStranka.h"
#include "Konverze.h"
#include "TextovySoubor.h"
#include "convar.h"

#include <QStringDecoder>
#include <QtTest>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString Zastupce(uchar Bajt)
{
    return QString(QChar(0xDC00 + Bajt));
}

QByteArray Windows1250(const QString &Text)
{
    QByteArray bajty;
    if (!ZakodujOsmibitove(Text, bajty))
        qFatal("not windows-1250: %s", qPrintable(Text));
    return bajty;
}

bool JePlatneUtf8(const QByteArray &Bajty)
{
    QStringDecoder dekoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    (void)dekoder.decode(Bajty);
    return !dekoder.hasError();
}

// Decodes, checks what came out, and encodes back to the same bytes.
void OverPruchod(const QByteArray &Bajty, TKodovani Kodovani, const QString &Text, qsizetype Zastupci)
{
    const TTextovySoubor soubor = DekodujText(Bajty);
    QCOMPARE(soubor.Text, Text);
    QCOMPARE(int(soubor.Kodovani), int(Kodovani));
    QCOMPARE(soubor.ZastupciBajtu, Zastupci);
    QByteArray zpet;
    QVERIFY(ZakodujText(soubor.Text, soubor.Kodovani, zpet));
    QCOMPARE(zpet, Bajty);
}

const QByteArray ZnackaUtf8("\xEF\xBB\xBF");
// Where the system's text is UTF-8, a file without a mark may be UTF-8; on
// Windows it is always the ANSI code page.
const bool bBezZnackyUtf8 = SystemoveKodovani() == koUtf8BezZnacky;
const QString Cesky = u"Příliš žluťoučký kůň\r\núpěl ďábelské ódy."_s;

} // namespace

class TestKodovani : public QObject {
    Q_OBJECT
private slots:
    void windows1250ProtiUtf8_data();
    void windows1250ProtiUtf8();
    void neplatneUtf8_data();
    void neplatneUtf8();
    void konverzeNechaNeplatneBajty();
    void lichyUtf16_data();
    void lichyUtf16();
    void lichyUtf16PoUprave_data();
    void lichyUtf16PoUprave();
    void osamelePolovinyDoUtf8_data();
    void osamelePolovinyDoUtf8();
    void poBlocich_data();
    void poBlocich();
};

// Files without a mark whose bytes are all valid UTF-8: windows-1250 words
// that only look like UTF-8, side by side with real UTF-8 that must stay so.
void TestKodovani::windows1250ProtiUtf8_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kodovani");
    const int w = koOsmibitove, u = koUtf8BezZnacky;
    // Combining marks that no letter takes (PÍŠE = P, U+034A, E) ...
    QTest::newRow("PÍŠE") << u"PÍŠE"_s << w;
    QTest::newRow("NÍŽE") << u"NÍŽE"_s << w;
    QTest::newRow("MÍŠA") << u"MÍŠA"_s << w;
    QTest::newRow("SPÍŠE BLÍŽE") << u"SPÍŠE BLÍŽE"_s << w;
    QTest::newRow("MĚŠEC (kroužek nad M)") << u"MĚŠEC"_s << w;
    QTest::newRow("VĚŠET (kroužek nad V)") << u"VĚŠET"_s << w;
    // ... a Syriac mark after a Latin letter ...
    QTest::newRow("VÝŠE") << u"VÝŠE"_s << w;
    QTest::newRow("VÝŠKA") << u"VÝŠKA"_s << w;
    QTest::newRow("NEJVÝŠE") << u"NEJVÝŠE"_s << w;
    // ... a letter of a script that neither neighbour uses ...
    QTest::newRow("píšťala (hangul)") << u"píšťala"_s << w;
    QTest::newRow("PÓŁNOC (cyrilice)") << u"PÓŁNOC"_s << w;
    // ... a C1 control, a code point not assigned.
    QTest::newRow("C1 řídicí znak") << u"ÂŽ"_s << w;
    QTest::newRow("nepřiřazený znak") << u"Fuß»"_s << w;
    QTest::newRow("více řádků") << u"PÍŠE\r\nVÝŠE\r\nNÍŽE"_s << w;

    QTest::newRow("česky") << Cesky << u;
    QTest::newRow("česky NFD") << Cesky.normalized(QString::NormalizationForm_D) << u;
    QTest::newRow("Ů rozložené (UĚŠ)") << u"U\u030A"_s << u;
    QTest::newRow("ě rozložené") << u"e\u030C"_s << u;
    QTest::newRow("KŮŇ rozložené") << u"KU\u030AN\u030C"_s << u;
    QTest::newRow("vietnamsky NFD") << u"Tiếng Việt"_s.normalized(QString::NormalizationForm_D) << u;
    QTest::newRow("jorubsky, znaménko na ẹ") << u"\u1EB9\u0300"_s << u;
    QTest::newRow("řecké písmeno ve větě") << u"Uhel α je ostry."_s << u;
    QTest::newRow("5 μm, βeta") << u"5 μm, βeta"_s << u;
    QTest::newRow("cyrilice") << u"Привет, мир"_s << u;
    QTest::newRow("čínsky") << u"中文文本"_s << u;
    QTest::newRow("japonsky s latinkou") << u"Windowsで、日本語のテキスト。"_s << u;
    QTest::newRow("korejsky") << u"한국어 텍스트"_s << u;
    QTest::newRow("hebrejsky s body") << u"שָׁלוֹם"_s << u;
    QTest::newRow("arabsky se znaménky") << u"مَرْحَبًا"_s << u;
    QTest::newRow("emoji") << u"Ahoj 👋 ❤️ 1️⃣ 👍🏽"_s << u;
    QTest::newRow("nové emoji") << u"🫨"_s << u;
    // Marks that do not compose, but windows-1250 would hold an undefined byte.
    QTest::newRow("přeškrtnuté a Ř") << u"s\u0336t\u0336a\u0336r\u0336é Ř"_s << u;
}

void TestKodovani::windows1250ProtiUtf8()
{
    QFETCH(QString, text);
    QFETCH(int, kodovani);
    if (!bBezZnackyUtf8)
        QSKIP("a file without a mark is the ANSI code page here");
    const QByteArray bajty = kodovani == koOsmibitove ? Windows1250(text) : text.toUtf8();
    // The case worth deciding: both readings keep every byte.
    QVERIFY2(JePlatneUtf8(bajty), bajty.toHex(' ').constData());
    OverPruchod(bajty, TKodovani(kodovani), text, 0);
}

// Files with bytes that are no UTF-8: with the mark, or clearly UTF-8, they
// are UTF-8 with each such byte kept as U+DC00 + byte.
void TestKodovani::neplatneUtf8_data()
{
    QTest::addColumn<QByteArray>("bajty");
    QTest::addColumn<int>("kodovani");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("zastupci");
    const QString caj = u"čaj € …"_s;
    QTest::newRow("značka, čaj a E8") << ZnackaUtf8 + caj.toUtf8() + "\xE8" << int(koUtf8) << caj + Zastupce(0xE8) << 1;
    QTest::newRow("bez značky, čaj a E8") << caj.toUtf8() + "\xE8" << int(koUtf8BezZnacky) << caj + Zastupce(0xE8) << 1;
    QTest::newRow("bez značky, česky a E8 uvnitř")
        << Cesky.left(10).toUtf8() + "\xE8" + Cesky.mid(10).toUtf8() << int(koUtf8BezZnacky)
        << Cesky.left(10) + Zastupce(0xE8) + Cesky.mid(10) << 1;
    // Windows-1250 stays so, also where part of it looks like UTF-8.
    QTest::newRow("windows-1250 s neplatným bajtem")
        << Windows1250(u"PÍŠE VÝŠE NÍŽE ČAJ"_s) << int(koOsmibitove) << u"PÍŠE VÝŠE NÍŽE ČAJ"_s << 0;
    QTest::newRow("jeden znak, jeden neplatný") << QByteArray("\xC4\x8D\xE8") << int(koOsmibitove) << u"ÄŤč"_s << 0;
    // Each byte of every kind of ill-formed sequence is one stand-in.
    const struct {
        const char *Nazev;
        QByteArray Bajty;
        QString Text;
    } spatne[] = {
        {"osamělý pokračovací bajt",
         "a\x80"
         "b",
         u"a"_s + Zastupce(0x80) + u"b"_s},
        {"useknutý na konci", "a\xC5", u"a"_s + Zastupce(0xC5)},
        {"useknutý uprostřed",
         "\xE2\x82"
         "a",
         Zastupce(0xE2) + Zastupce(0x82) + u"a"_s},
        {"useknutý čtyřbajtový", "\xF0\x9F\x98", Zastupce(0xF0) + Zastupce(0x9F) + Zastupce(0x98)},
        {"příliš dlouhý zápis", "\xC0\x80\xE0\x80\x80",
         Zastupce(0xC0) + Zastupce(0x80) + Zastupce(0xE0) + Zastupce(0x80) + Zastupce(0x80)},
        {"náhradní polovina", "\xED\xA0\x80", Zastupce(0xED) + Zastupce(0xA0) + Zastupce(0x80)},
        {"nad U+10FFFF", "\xF4\x90\x80\x80", Zastupce(0xF4) + Zastupce(0x90) + Zastupce(0x80) + Zastupce(0x80)},
        {"F5 až FF", "\xF5\xFF", Zastupce(0xF5) + Zastupce(0xFF)},
        {"platný za neplatným", "\xC5\xC5\x99", Zastupce(0xC5) + u"ř"_s},
        {"jako zalomení nic", "\xC2\r\n", Zastupce(0xC2) + u"\r\n"_s},
    };
    for (const auto &s : spatne)
        QTest::newRow(s.Nazev) << ZnackaUtf8 + s.Bajty << int(koUtf8) << s.Text
                               << int(std::count_if(s.Text.cbegin(), s.Text.cend(),
                                                    [](QChar c) { return c.isLowSurrogate(); }));
}

void TestKodovani::neplatneUtf8()
{
    QFETCH(QByteArray, bajty);
    QFETCH(int, kodovani);
    QFETCH(QString, text);
    QFETCH(int, zastupci);
    if (!bBezZnackyUtf8 && !bajty.startsWith(ZnackaUtf8))
        QSKIP("a file without a mark is the ANSI code page here");
    OverPruchod(bajty, TKodovani(kodovani), text, zastupci);
}

// F6 with the default pairs, then save: the letters change, the bad bytes do
// not.
void TestKodovani::konverzeNechaNeplatneBajty()
{
    for (const bool bZnacka : {true, !bBezZnackyUtf8}) {
        const QByteArray znacka = bZnacka ? ZnackaUtf8 : QByteArray();
        const QByteArray bajty = znacka + u"čaj € …"_s.toUtf8() + "\xE8\x80" + Cesky.toUtf8() + "\xFF";
        const TTextovySoubor soubor = DekodujText(bajty);
        QCOMPARE(soubor.ZastupciBajtu, 3);
        const QString prevedeny = NahradZnaky(soubor.Text, VychoziZnakySeZnamenkem, VychoziZnakyBezZnamenka);
        QByteArray zpet;
        QVERIFY(ZakodujText(prevedeny, soubor.Kodovani, zpet));
        QCOMPARE(zpet,
                 znacka + u"caj € …"_s.toUtf8() + "\xE8\x80" +
                     NahradZnaky(Cesky, VychoziZnakySeZnamenkem, VychoziZnakyBezZnamenka).toUtf8() + "\xFF");
    }
}

// UTF-16 of odd length: the stray last byte is a stand-in at the end of the
// text and is written back as that byte.
void TestKodovani::lichyUtf16_data()
{
    QTest::addColumn<QByteArray>("bajty");
    QTest::addColumn<int>("kodovani");
    QTest::addColumn<QString>("text");
    QTest::newRow("LE") << QByteArray("\xFF\xFE"
                                      "a\0\r\0\n\0"
                                      "b\0"
                                      "c",
                                      11)
                        << int(koUtf16LELiche) << u"a\r\nb"_s + Zastupce('c');
    QTest::newRow("BE") << QByteArray("\xFE\xFF"
                                      "\0a\0\r\0\n\x01\x61"
                                      "c",
                                      11)
                        << int(koUtf16BELiche) << u"a\r\nš"_s + Zastupce('c');
    QTest::newRow("jen značka a bajt") << QByteArray("\xFF\xFE"
                                                     "\xE8",
                                                     3)
                                       << int(koUtf16LELiche) << Zastupce(0xE8);
    QTest::newRow("zbylý bajt je LF") << QByteArray("\xFF\xFE"
                                                    "a\0"
                                                    "\n",
                                                    5)
                                      << int(koUtf16LELiche) << u"a"_s + Zastupce('\n');
    QTest::newRow("zbylý bajt je CR za CR") << QByteArray("\xFF\xFE"
                                                          "\r\0\n\0"
                                                          "\r",
                                                          7)
                                            << int(koUtf16LELiche) << u"\r\n"_s + Zastupce('\r');
    // Real lone surrogates of the file stay code units; only the last one is a byte.
    QTest::newRow("osamělé poloviny v textu")
        << QByteArray("\xFF\xFE"
                      "\x80\xDC"
                      "\x00\xD8"
                      "\x41",
                      7)
        << int(koUtf16LELiche) << QString(QChar(0xDC80)) + QChar(0xD800) + Zastupce(0x41);
}

void TestKodovani::lichyUtf16()
{
    QFETCH(QByteArray, bajty);
    QFETCH(int, kodovani);
    QFETCH(QString, text);
    OverPruchod(bajty, TKodovani(kodovani), text, 1);
    // The line breaks of a file with LF only become CR LF; nothing else changes.
    QByteArray jenLf = bajty;
    const bool bBigEndian = kodovani == koUtf16BELiche;
    jenLf.replace(bBigEndian ? QByteArray("\0\r\0\n", 4) : QByteArray("\r\0\n\0", 4),
                  bBigEndian ? QByteArray("\0\n", 2) : QByteArray("\n\0", 2));
    QCOMPARE(DekodujText(jenLf).Text, text);
}

// After an edit the stand-in is a byte only while it is still the last code
// unit; without it the text is plain UTF-16 under the same mark.
void TestKodovani::lichyUtf16PoUprave_data()
{
    QTest::addColumn<int>("kodovani");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bajty");
    QTest::newRow("připsáno před bajt") << int(koUtf16LELiche) << u"ab"_s + Zastupce('c')
                                        << QByteArray("\xFF\xFE"
                                                      "a\0b\0"
                                                      "c",
                                                      7);
    QTest::newRow("bajt smazán") << int(koUtf16LELiche) << u"ab"_s
                                 << QByteArray("\xFF\xFE"
                                               "a\0b\0",
                                               6);
    QTest::newRow("připsáno za bajt") << int(koUtf16BELiche) << Zastupce('c') + u"d"_s
                                      << QByteArray("\xFE\xFF"
                                                    "\xDC\x63"
                                                    "\0d",
                                                    6);
    QTest::newRow("prázdný") << int(koUtf16BELiche) << QString() << QByteArray("\xFE\xFF");
}

void TestKodovani::lichyUtf16PoUprave()
{
    QFETCH(int, kodovani);
    QFETCH(QString, text);
    QFETCH(QByteArray, bajty);
    QByteArray vysledek;
    QVERIFY(ZakodujText(text, TKodovani(kodovani), vysledek));
    QCOMPARE(vysledek, bajty);
}

// UTF-8 writes a lone U+DC80..U+DCFF as the byte it stands for; any other
// lone half of a surrogate pair has no UTF-8 form.
void TestKodovani::osamelePolovinyDoUtf8_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("lzeUlozit");
    QTest::addColumn<QByteArray>("bajty");
    QTest::newRow("U+DC80") << u"a"_s + QChar(0xDC80) << true << QByteArray("a\x80");
    QTest::newRow("U+DCFF na začátku") << Zastupce(0xFF) + u"ž"_s << true << QByteArray("\xFF\xC5\xBE");
    QTest::newRow("U+DC7F") << u"a"_s + QChar(0xDC7F) << false << QByteArray();
    QTest::newRow("U+DC00") << QString(QChar(0xDC00)) << false << QByteArray();
    QTest::newRow("U+DD00") << QString(QChar(0xDD00)) << false << QByteArray();
    QTest::newRow("horní polovina") << u"a"_s + QChar(0xD83D) << false << QByteArray();
    QTest::newRow("horní polovina před zástupcem") << QString(QChar(0xD83D)) + QChar(0xDC80) << true << u"💀"_s.toUtf8();
}

void TestKodovani::osamelePolovinyDoUtf8()
{
    QFETCH(QString, text);
    QFETCH(bool, lzeUlozit);
    QFETCH(QByteArray, bajty);
    for (const TKodovani kodovani : {koUtf8, koUtf8BezZnacky}) {
        QByteArray vysledek;
        QCOMPARE(ZakodujText(text, kodovani, vysledek), lzeUlozit);
        if (lzeUlozit)
            QCOMPARE(vysledek, (kodovani == koUtf8 ? ZnackaUtf8 : QByteArray()) + bajty);
    }
}

QTEST_GUILESS_MAIN(TestKodovani)
// A big file decoded in blocks with steps gives what it gives at once: every
// megabyte's edge (where a block ends) cuts the sequence of the row, at every
// offset, through a multi-byte character, CR LF, a surrogate pair, a byte
// kept as its stand-in; and a step that throws gives the reading up.
void TestKodovani::poBlocich_data()
{
    QTest::addColumn<QByteArray>("znacka");
    QTest::addColumn<QByteArray>("sekvence"); // in the file's encoding
    QTest::addColumn<int>("jednotka");        // bytes of a code unit
    const auto utf16 = [](const QString &Text, bool bBigEndian) {
        QByteArray bajty;
        for (const QChar c : Text) {
            const char16_t u = c.unicode();
            const char vyssi = char(u >> 8), nizsi = char(u & 0xFF);
            bajty += bBigEndian ? QByteArray{&vyssi, 1} + QByteArray{&nizsi, 1}
                                : QByteArray{&nizsi, 1} + QByteArray{&vyssi, 1};
        }
        return bajty;
    };
    const QString vzorek = u"ř\r\n\U0001F600\r\r\n\n"_s;
    QTest::newRow("UTF-8 se značkou") << ZnackaUtf8 << (vzorek.toUtf8() + "\xFF\xE2\x82") << 1;
    if (bBezZnackyUtf8)
        QTest::newRow("UTF-8 bez značky") << QByteArray() << vzorek.toUtf8() << 1;
    // Invalid UTF-8 enough for the 8-bit code page.
    QTest::newRow("osmibitové") << QByteArray() << Windows1250(u"ř\r\nž\rš\n"_s) << 1;
    QTest::newRow("UTF-16LE") << QByteArray("\xFF\xFE") << utf16(vzorek + QChar(0xDC80), false) << 2;
    QTest::newRow("UTF-16BE") << QByteArray("\xFE\xFF") << utf16(vzorek + QChar(0xD800), true) << 2;
}

void TestKodovani::poBlocich()
{
    QFETCH(QByteArray, znacka);
    QFETCH(QByteArray, sekvence);
    QFETCH(int, jednotka);
    constexpr qsizetype mega = qsizetype(1) << 20;
    // Ten megabytes of plain text with the sequence across each edge, one
    // offset further each time, then the odd byte of a UTF-16 file.
    QByteArray bajty = znacka;
    const QByteArray vypln = jednotka == 1 ? QByteArray("a") : QByteArray(2, 'a');
    for (int okraj = 1; okraj <= 10; ++okraj) {
        // Where the sequence starts after the mark: the edge falls after
        // okraj code units of it (of its length and one more).
        const qsizetype zacatek = okraj * mega - (okraj % (sekvence.size() / jednotka + 1)) * jednotka;
        while (bajty.size() < znacka.size() + zacatek)
            bajty += vypln;
        bajty += sekvence;
    }
    if (jednotka == 2)
        bajty += 'x';
    const TTextovySoubor naJednou = DekodujText(bajty);
    int kroku = 0;
    const TTextovySoubor poBlocich = DekodujText(bajty, [&](qint64 Hotovo, qint64 Celkem) {
        QVERIFY(Hotovo > 0 && Hotovo < Celkem);
        ++kroku;
    });
    QVERIFY(kroku > 0);
    QVERIFY(poBlocich.Text == naJednou.Text);
    QCOMPARE(int(poBlocich.Kodovani), int(naJednou.Kodovani));
    QCOMPARE(poBlocich.ZastupciBajtu, naJednou.ZastupciBajtu);
    QCOMPARE(poBlocich.Zlomy, naJednou.Zlomy);
    QCOMPARE(poBlocich.PoctyZlomu.CrLf, naJednou.PoctyZlomu.CrLf);
    QCOMPARE(poBlocich.PoctyZlomu.Cr, naJednou.PoctyZlomu.Cr);
    QCOMPARE(poBlocich.PoctyZlomu.Lf, naJednou.PoctyZlomu.Lf);
    QCOMPARE(int(poBlocich.Zlom), int(naJednou.Zlom));
    // A step that throws ends the reading.
    bool bVyjimka = false;
    try {
        DekodujText(bajty, [](qint64, qint64) { throw 7; });
    } catch (int) {
        bVyjimka = true;
    }
    QVERIFY(bVyjimka);
}

#include "tst_kodovani.moc"
