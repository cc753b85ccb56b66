// The text codec in blocks: a file's bytes cut anywhere decode to the text
// of the whole, a text cut anywhere encodes to the bytes of the whole, and
// both agree with the toolkit's ICU codecs on well-formed input.

#include "Kodek.h"
#include "KodovaStranka.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct TDekodovano {
    QString Text;
    qint64 Zlomy = 0, Zmenene = 0, Zastupci = 0;
    bool bLiche = false;

    bool operator==(const TDekodovano &) const = default;
};

// Bajty decoded in blocks of Blok bytes (the whole at once for 0).
TDekodovano Dekoduj(TDruhKodovani Druh, bool bCrLf, const QByteArray &Bajty, qsizetype Blok)
{
    TDekoder dekoder(Druh, bCrLf);
    TDekodovano vysledek;
    if (Blok == 0)
        Blok = qMax<qsizetype>(Bajty.size(), 1);
    for (qsizetype i = 0; i < Bajty.size(); i += Blok)
        vysledek.Text += dekoder.Dekoduj(QByteArrayView(Bajty).sliced(i, qMin(Blok, Bajty.size() - i)), false);
    vysledek.Text += dekoder.Dekoduj({}, true);
    vysledek.Zlomy = dekoder.Zlomy();
    vysledek.Zmenene = dekoder.ZmeneneZlomy();
    vysledek.Zastupci = dekoder.Zastupci();
    vysledek.bLiche = dekoder.LichyNaKonci();
    return vysledek;
}

// Text encoded in pieces of Kus code units (the whole at once for 0);
// nothing when the encoding cannot hold it.
std::optional<QByteArray> Zakoduj(const TFormat &Format, bool bZastupci, const QString &Text, qsizetype Kus)
{
    TKoder koder(Format, bZastupci);
    QByteArray bajty;
    if (Kus == 0)
        Kus = qMax<qsizetype>(Text.size(), 1);
    for (qsizetype i = 0; i < Text.size(); i += Kus) {
        const qsizetype delka = qMin(Kus, Text.size() - i);
        if (!koder.Zakoduj(QStringView(Text).sliced(i, delka), i + delka == Text.size(), bajty))
            return std::nullopt;
    }
    if (Text.isEmpty() && !koder.Zakoduj({}, true, bajty))
        return std::nullopt;
    return bajty;
}

QString Zastupce(uchar Bajt)
{
    return QString(QChar(char16_t(ZastupceNuly + Bajt)));
}

// ICU's names of the encodings: the toolkit's own codecs answer to "UTF-8"
// and "UTF-16LE", and the codec's fast path is the toolkit's UTF-8 decoder.
const char *NazevIcu(TDruhKodovani Druh)
{
    switch (Druh) {
    case TDruhKodovani::Utf8: return "ibm-1208";
    case TDruhKodovani::Utf16LE: return "ibm-1202";
    case TDruhKodovani::Utf16BE: return "ibm-1200";
    case TDruhKodovani::Osmibitove: return "windows-1250";
    }
    return "";
}

// A random well-formed text: ASCII, Czech, other scripts, characters beyond
// the Basic Multilingual Plane and every kind of line break; with bJen1250
// only what windows-1250 holds.
QString NahodnyText(QRandomGenerator &R, int Znaku, bool bJen1250)
{
    static const QString cesky = u"Příliš žluťoučký kůň úpěl ďábelské ódy ŘĚŠČŽÝÁÍÉÚŮ„“–€"_s;
    static const QStringList jine = {u"Ω"_s,      u"中"_s,     u"한"_s,     u"😀"_s,          u"\U00010080"_s,
                                     u"\u0301"_s, u"\uFEFF"_s, u"\u0085"_s, u"\U0010FFFF"_s, u"\uFFFD"_s};
    static const QStringList zlomy = {u"\r\n"_s, u"\r"_s, u"\n"_s};
    QString text;
    for (int k = 0; k < Znaku; ++k) {
        const int druh = R.bounded(10);
        if (druh < 4)
            text += QChar(char16_t(0x20 + R.bounded(0x5F)));
        else if (druh < 7)
            text += cesky.at(R.bounded(int(cesky.size())));
        else if (druh < 8)
            text += zlomy.at(R.bounded(int(zlomy.size())));
        else if (!bJen1250)
            text += jine.at(R.bounded(int(jine.size())));
    }
    return text;
}

} // namespace

class TestKodek : public QObject {
    Q_OBJECT
private slots:
    void dekodovaniPoBlocich_data();
    void dekodovaniPoBlocich();
    void kodovaniPoKusech_data();
    void kodovaniPoKusech();
    void shodaSIcu_data();
    void shodaSIcu();
    void znacky();
};

void TestKodek::dekodovaniPoBlocich_data()
{
    QTest::addColumn<int>("druh");
    QTest::addColumn<bool>("crlf");
    QTest::addColumn<QByteArray>("bajty");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("zastupci");
    QTest::addColumn<int>("zlomy");

    const int utf8 = int(TDruhKodovani::Utf8), le = int(TDruhKodovani::Utf16LE), be = int(TDruhKodovani::Utf16BE);
    QTest::newRow("UTF-8 of two, three and four bytes")
        << utf8 << false << "\xC4\x8D\xE2\x82\xAC\xF0\x9F\x98\x80"_ba << u"č€😀"_s << 0 << 0;
    QTest::newRow("UTF-8 cut short before a character")
        << utf8 << false
        << "a\xE2\x82"
           "b\xF0\x9F\x98"_ba
        << u"a"_s + Zastupce(0xE2) + Zastupce(0x82) + u"b"_s + Zastupce(0xF0) + Zastupce(0x9F) + Zastupce(0x98) << 5
        << 0;
    QTest::newRow("UTF-8 stray continuation bytes and overlong forms")
        << utf8 << false << "\x80\xC0\xAF\xED\xA0\x80\xC4\x8D"_ba
        << Zastupce(0x80) + Zastupce(0xC0) + Zastupce(0xAF) + Zastupce(0xED) + Zastupce(0xA0) + Zastupce(0x80) + u"č"_s
        << 6 << 0;
    QTest::newRow("UTF-8 line breaks of every kind")
        << utf8 << true << "a\r\nb\rc\nd\n\re\r"_ba << u"a\r\nb\r\nc\r\nd\r\n\r\ne\r\n"_s << 0 << 6;
    QTest::newRow("UTF-8 line breaks kept") << utf8 << false << "a\rb\n"_ba << u"a\rb\n"_s << 0 << 0;
    QTest::newRow("UTF-16LE odd length, a pair and CR LF")
        << le << true << "\x3D\xD8\x00\xDE\x0D\x00\x0A\x00\x0D\x00\x41"_ba << u"😀\r\n\r\n"_s + Zastupce(0x41) << 1 << 2;
    QTest::newRow("UTF-16BE lone surrogates stay") << be << false << "\xDC\x80\xD8\x00\x00\x61"_ba
                                                   << QString::fromUtf16(u"\xDC80\xD800"
                                                                         u"a")
                                                   << 0 << 0;
    QTest::newRow("8-bit") << int(TDruhKodovani::Osmibitove) << true << "\x8A\xE8\r\x81\n"_ba << u"Šč\r\n\u0081\r\n"_s
                           << 0 << 2;
}

// Every cut of the bytes gives the text of the whole and the same counts.
void TestKodek::dekodovaniPoBlocich()
{
    QFETCH(int, druh);
    QFETCH(bool, crlf);
    QFETCH(QByteArray, bajty);
    QFETCH(QString, text);
    QFETCH(int, zastupci);
    QFETCH(int, zlomy);
    const TDekodovano celek = Dekoduj(TDruhKodovani(druh), crlf, bajty, 0);
    QCOMPARE(celek.Text, text);
    QCOMPARE(celek.Zastupci, qint64(zastupci));
    QCOMPARE(celek.Zlomy, qint64(zlomy));
    for (qsizetype blok = 1; blok < bajty.size(); ++blok)
        QVERIFY2(Dekoduj(TDruhKodovani(druh), crlf, bajty, blok) == celek, qPrintable(u"block %1"_s.arg(blok)));
    // Two cuts at every pair of places.
    for (qsizetype a = 0; a <= bajty.size(); ++a) {
        for (qsizetype b = a; b <= bajty.size(); ++b) {
            TDekoder dekoder(TDruhKodovani(druh), crlf);
            QString t = dekoder.Dekoduj(QByteArrayView(bajty).first(a), false);
            t += dekoder.Dekoduj(QByteArrayView(bajty).sliced(a, b - a), false);
            t += dekoder.Dekoduj(QByteArrayView(bajty).sliced(b), true);
            QVERIFY2(t == text, qPrintable(u"cut at %1 and %2"_s.arg(a).arg(b)));
        }
    }
}

void TestKodek::kodovaniPoKusech_data()
{
    QTest::addColumn<int>("druh");
    QTest::addColumn<bool>("liche");
    QTest::addColumn<bool>("zastupci");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bajty"); // empty: the encoding cannot hold the text

    const int utf8 = int(TDruhKodovani::Utf8);
    QTest::newRow("UTF-8 a pair cut between its halves") << utf8 << false << true << u"a😀b"_s
                                                         << "a\xF0\x9F\x98\x80"
                                                            "b"_ba;
    QTest::newRow("UTF-8 stand-ins as their bytes")
        << utf8 << false << true << u"č"_s + Zastupce(0xE8) + u"x"_s << "\xC4\x8D\xE8x"_ba;
    QTest::newRow("UTF-8 stand-ins that stand for no bytes")
        << utf8 << false << false << u"a"_s + Zastupce(0xE8) << QByteArray();
    QTest::newRow("UTF-8 a stand-in of an ASCII byte") << utf8 << false << true << Zastupce(0x41) << QByteArray();
    QTest::newRow("UTF-8 a lone high half at the end")
        << utf8 << false << true << QString::fromUtf16(u"ab\xD83D") << QByteArray();
    QTest::newRow("UTF-16LE odd length, the last stand-in a byte")
        << int(TDruhKodovani::Utf16LE) << true << true << u"č"_s + Zastupce(0x41) << "\x0D\x01\x41"_ba;
    QTest::newRow("UTF-16BE even length, a stand-in a code unit")
        << int(TDruhKodovani::Utf16BE) << false << true << u"č"_s + Zastupce(0x41) << "\x01\x0D\xDC\x41"_ba;
    QTest::newRow("8-bit") << int(TDruhKodovani::Osmibitove) << false << false << u"Šč\r\n"_s << "\x8A\xE8\r\n"_ba;
    QTest::newRow("8-bit cannot hold it")
        << int(TDruhKodovani::Osmibitove) << false << false << u"a中"_s << QByteArray();
}

// Every cut of the text gives the bytes of the whole, or fails as it does.
void TestKodek::kodovaniPoKusech()
{
    QFETCH(int, druh);
    QFETCH(bool, liche);
    QFETCH(bool, zastupci);
    QFETCH(QString, text);
    QFETCH(QByteArray, bajty);
    const TFormat format{TDruhKodovani(druh), false, liche};
    for (qsizetype kus = 0; kus <= text.size(); ++kus) {
        const std::optional<QByteArray> vysledek = Zakoduj(format, zastupci, text, kus);
        if (bajty.isEmpty())
            QVERIFY2(!vysledek, qPrintable(u"pieces of %1"_s.arg(kus)));
        else
            QVERIFY2(vysledek == bajty, qPrintable(u"pieces of %1"_s.arg(kus)));
    }
}

void TestKodek::shodaSIcu_data()
{
    QTest::addColumn<int>("druh");
    QTest::newRow("UTF-8") << int(TDruhKodovani::Utf8);
    QTest::newRow("UTF-16LE") << int(TDruhKodovani::Utf16LE);
    QTest::newRow("UTF-16BE") << int(TDruhKodovani::Utf16BE);
    // The code page is windows-1250 wherever the system does not name another.
#ifndef Q_OS_WIN
    QTest::newRow("windows-1250") << int(TDruhKodovani::Osmibitove);
#endif
}

// Random well-formed texts, encoded by ICU, decoded by the codec in random
// blocks, and encoded again in random pieces: the same text, the same bytes.
void TestKodek::shodaSIcu()
{
    QFETCH(int, druh);
    const TDruhKodovani d = TDruhKodovani(druh);
    QStringEncoder icuKoder(NazevIcu(d), QStringConverter::Flag::Stateless);
    // No mark written: the codec's encoder writes none either.
#ifdef Q_OS_WIN
    // The toolkit for Windows is built without ICU.
    if (!icuKoder.isValid())
        QSKIP("the toolkit has no ICU");
#endif
    QVERIFY2(icuKoder.isValid(), "the toolkit has no ICU codec for it");
    QRandomGenerator r(uint(druh) + 21);
    for (int k = 0; k < 300; ++k) {
        const QString text = NahodnyText(r, r.bounded(1, 200), d == TDruhKodovani::Osmibitove);
        const QByteArray bajty = icuKoder.encode(text);
        QVERIFY(!icuKoder.hasError());
        QStringDecoder icuDekoder(NazevIcu(d),
                                  QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
        QCOMPARE(QString(icuDekoder.decode(bajty)), text);

        const TDekodovano dekodovano = Dekoduj(d, false, bajty, r.bounded(1, 40));
        QVERIFY2(dekodovano.Text == text, bajty.toHex().constData());
        QCOMPARE(dekodovano.Zastupci, qint64(0));
        QVERIFY2(Zakoduj({d, false, false}, true, text, r.bounded(1, 40)) == bajty, bajty.toHex().constData());
    }
}

void TestKodek::znacky()
{
    QVERIFY(DruhPodleZnacky("\xEF\xBB\xBFx") == TDruhKodovani::Utf8);
    QVERIFY(DruhPodleZnacky("\xFF\xFE") == TDruhKodovani::Utf16LE);
    QVERIFY(DruhPodleZnacky(QByteArrayView("\xFE\xFF\x00", 3)) == TDruhKodovani::Utf16BE);
    QVERIFY(!DruhPodleZnacky("\xEF\xBB"));
    QVERIFY(!DruhPodleZnacky("abc"));
    QVERIFY(Znacka({TDruhKodovani::Utf8, false, false}).isEmpty());
    QVERIFY(Znacka({TDruhKodovani::Utf16BE, true, true}) == QByteArrayView("\xFE\xFF"));
}

QTEST_GUILESS_MAIN(TestKodek)
#include "tst_kodek.moc"
