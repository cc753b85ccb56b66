// lumarin-convert, the command-line converter: for random files and random
// pair tables it writes the bytes that the window's own path writes (open,
// F6, save) or fails as the window fails, through every route the converter
// has (in place, standard output to a file and to a pipe, standard input from
// a pipe, -o), with blocks small enough that text straddles their
// boundaries; and what a command-line user meets: a filter, in place with
// the mode kept, -r past a binary file and a link, --check's status, a file
// that cannot be written beside files that are converted, a full disk,
// usage errors, the user's table from the settings store.

#include "Konverze.h"
#include "KodovaStranka.h"
#include "Prostredi.h"
#include "Registr.h"
#include "Soubory.h"
#include "TextovySoubor.h"
#include "convar.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString Program = QStringLiteral(LUMARIN_CONVERT);

struct TBeh {
    int Kod = -1;
    QByteArray Vystup, Chyby;
};

// Runs the converter. Vstup goes to its standard input through a pipe;
// with VystupDo its standard output is that file instead of a pipe.
TBeh Spust(const QStringList &Argumenty, const QByteArray &Vstup = {}, const QString &VystupDo = {},
           const QStringList &Prostredi = {}, bool bBezPrav = false)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &promenna : Prostredi)
        env.insert(promenna.section(u'=', 0, 0), promenna.section(u'=', 1));
    p.setProcessEnvironment(env);
    if (!VystupDo.isEmpty())
        p.setStandardOutputFile(VystupDo);
    // Root may write any file; the converter then runs as nobody.
    if (bBezPrav && ::geteuid() == 0)
        p.setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(99);
        });
    p.start(Program, Argumenty);
    if (!p.waitForStarted())
        return {};
    p.write(Vstup);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    TBeh beh;
    beh.Kod = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    beh.Vystup = p.readAllStandardOutput();
    beh.Chyby = p.readAllStandardError();
    return beh;
}

// ---- the window's path ----

// The file's text before the window makes every line break CR LF.
QString SurovyText(const QByteArray &Bajty, TKodovani Kodovani)
{
    const auto utf8 = [](QByteArrayView b) {
        QString text;
        const auto *z = reinterpret_cast<const uchar *>(b.data());
        for (qsizetype i = 0; i < b.size();) {
            const int delka = DelkaSekvenceUtf8(z, i, b.size());
            if (delka == 0) {
                text += QChar(char16_t(0xDC00 + z[i++]));
                continue;
            }
            char32_t u = delka == 1 ? z[i] : z[i] & (0xFF >> (delka + 1));
            for (int k = 1; k < delka; ++k)
                u = u << 6 | (z[i + k] & 0x3F);
            if (QChar::requiresSurrogates(u)) {
                text += QChar(QChar::highSurrogate(u));
                text += QChar(QChar::lowSurrogate(u));
            } else {
                text += QChar(char16_t(u));
            }
            i += delka;
        }
        return text;
    };
    const auto utf16 = [](QByteArrayView b, bool bBig) {
        QString text(b.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const uchar x = uchar(b[2 * i]), y = uchar(b[2 * i + 1]);
            text[i] = QChar(char16_t(bBig ? x << 8 | y : y << 8 | x));
        }
        if (b.size() % 2)
            text += QChar(char16_t(0xDC00 + uchar(b.back())));
        return text;
    };
    switch (Kodovani) {
    case koUtf8: return utf8(QByteArrayView(Bajty).sliced(3));
    case koUtf8BezZnacky: return utf8(Bajty);
    case koUtf16LE:
    case koUtf16LELiche: return utf16(QByteArrayView(Bajty).sliced(2), false);
    case koUtf16BE:
    case koUtf16BELiche: return utf16(QByteArrayView(Bajty).sliced(2), true);
    case koOsmibitove: return DekodujOsmibitove(Bajty);
    }
    return {};
}

enum TSelhani { seNic, seOsmibitove, seUtf8 };

struct TOkno {
    TSelhani Selhani = seNic;
    QByteArray Bajty;
};

// Open, F6, save: the window's own functions, and the question before text
// that the 8-bit code page cannot hold is saved as UTF-8 (answered by
// bNahradni).
TOkno Okno(const QByteArray &Bajty, QString Hledane, QString Nahrady, bool bCrLf, bool bNahradni)
{
    const TTextovySoubor soubor = DekodujText(Bajty);
    QString text = SurovyText(Bajty, soubor.Kodovani);
    if (NormalizujKonceRadku(text) != soubor.Text)
        qFatal("the test reads %s otherwise than the window", Bajty.toHex().constData());
    if (bCrLf)
        text = soubor.Text;
    if (ZastupujeBajty(soubor.Kodovani))
        VynechPary(Hledane, Nahrady, 0xDC00, 0xDCFF);
    text = NahradZnaky(text, Hledane, Nahrady);
    TOkno okno;
    if (ZakodujText(text, soubor.Kodovani, okno.Bajty))
        return okno;
    if (soubor.Kodovani == koOsmibitove && !bNahradni)
        return {seOsmibitove, {}};
    if (soubor.Kodovani == koOsmibitove && ZakodujText(text, koUtf8, okno.Bajty))
        return okno;
    return {seUtf8, {}};
}

// ---- random files and tables ----

QString Vyber(QRandomGenerator &R, const QStringList &Z)
{
    return Z.at(R.bounded(int(Z.size())));
}

// Text of every kind the files hold: Czech and English, letters that
// windows-1250 lacks, other scripts, combining marks, characters beyond the
// Basic Multilingual Plane (one of them with the low surrogate U+DC80).
QString NahodnyText(QRandomGenerator &R, int Kusu, bool bJen1250)
{
    static const QStringList cesky = {u"Příliš žluťoučký kůň"_s, u"úpěl ďábelské ódy"_s, u"ŘEKA Ústí"_s, u"PÍŠE"_s,
                                      u"The quick fox"_s, u"č"_s, u"ň"_s, u"„uvozovky“ – €"_s, u" "_s, u"  "_s,
                                      u"x"_s, u"Ľudovít Štúr"_s};
    static const QStringList jine = {u"ø"_s, u"Ωμέγα"_s, u"中文"_s, u"한국"_s, u"😀"_s, u"\U00010080"_s, u"a\u0301"_s,
                                     u"\u034A"_s, u"ȁ"_s, u"\u0085"_s, u"\uFEFF"_s, u"ſ"_s};
    static const QStringList zlomy = {u"\r\n"_s, u"\r"_s, u"\n"_s, u"\n\r"_s, u"\r\r\n"_s};
    QString text;
    for (int k = 0; k < Kusu; ++k) {
        const int druh = R.bounded(10);
        if (druh < 6)
            text += Vyber(R, cesky);
        else if (druh < 8)
            text += Vyber(R, zlomy);
        else if (!bJen1250)
            text += Vyber(R, jine);
    }
    return text;
}

QByteArray Utf16(const QString &Text, bool bBig)
{
    QByteArray b;
    for (const QChar c : Text) {
        const char16_t u = c.unicode();
        b += bBig ? char(u >> 8) : char(u & 0xFF);
        b += bBig ? char(u & 0xFF) : char(u >> 8);
    }
    return b;
}

QByteArray NahodneBajty(QRandomGenerator &R, int Delka, int Z = 256)
{
    QByteArray b(Delka, Qt::Uninitialized);
    for (char &c : b)
        c = char(R.bounded(Z));
    return b;
}

QByteArray NahodnySoubor(QRandomGenerator &R)
{
    const int kusu = R.bounded(1, 120);
    QByteArray b;
    switch (R.bounded(9)) {
    case 0: // UTF-8, sometimes with a mark
        b = (R.bounded(3) == 0 ? "\xEF\xBB\xBF" : "") + NahodnyText(R, kusu, false).toUtf8();
        break;
    case 1: { // windows-1250
        if (!ZakodujOsmibitove(NahodnyText(R, kusu, true), b))
            qFatal("not windows-1250");
        break;
    }
    case 2:
    case 3: { // UTF-16 with a mark, of even or odd length, lone surrogates in it
        const bool bBig = R.bounded(2);
        QString text = NahodnyText(R, kusu, false);
        if (R.bounded(3) == 0)
            text.insert(R.bounded(int(text.size()) + 1), QChar(char16_t(R.bounded(2) ? 0xD800 : 0xDC80)));
        b = (bBig ? "\xFE\xFF" : "\xFF\xFE") + Utf16(text, bBig);
        if (R.bounded(2))
            b += char(R.bounded(256));
        break;
    }
    case 4: // a UTF-8 mark before content that is not UTF-8
        b = "\xEF\xBB\xBF" + NahodneBajty(R, R.bounded(300)) + NahodnyText(R, kusu, false).toUtf8();
        break;
    case 5: // anything
        b = NahodneBajty(R, R.bounded(2000));
        break;
    case 6: { // UTF-8 with a few broken bytes, or windows-1250 beside UTF-8
        b = NahodnyText(R, kusu, false).toUtf8();
        QByteArray cesky;
        ZakodujOsmibitove(NahodnyText(R, 3, true), cesky);
        for (int i = R.bounded(4); i > 0; --i)
            b.insert(R.bounded(int(b.size()) + 1), R.bounded(2) ? cesky : NahodneBajty(R, 1));
        break;
    }
    case 7: // line breaks and letters beyond ASCII, densely
        for (int i = 0; i < kusu * 4; ++i)
            b += QByteArrayList{"\r", "\n", "\xC4\x8D", "\xE8", "a", "\xF0\x9F\x98\x80"}.at(R.bounded(6));
        break;
    default: // nearly nothing
        b = QByteArrayList{"", "\xEF\xBB", "\xFF", "\xFF\xFE\x0D", "\xFE\xFF\x00", "\r", "\xC4"}.at(R.bounded(7));
        break;
    }
    return b;
}

struct TTabulkaTestu {
    QString Hledane, Nahrady;
};

// Pairs with repeated characters, fewer replacements than characters,
// line breaks, letters windows-1250 lacks, and characters beyond the Basic
// Multilingual Plane, whose halves pair with other units (so that a half of
// a surrogate pair may be replaced alone).
TTabulkaTestu NahodnaTabulka(QRandomGenerator &R)
{
    static const QStringList znaky = {u"č"_s, u"ř"_s, u"ž"_s, u"Ú"_s, u"ě"_s, u"a"_s, u"e"_s, u"x"_s, u"\r"_s,
                                      u"\n"_s, u"ø"_s, u"Ω"_s, u"€"_s, u"😀"_s, u"\U00010080"_s, u"中"_s,
                                      u"\u0301"_s, u"ȁ"_s};
    TTabulkaTestu t;
    const int pocet = R.bounded(0, 12);
    for (int i = 0; i < pocet; ++i)
        t.Hledane += Vyber(R, znaky);
    const int nahrad = R.bounded(4) == 0 ? R.bounded(0, pocet + 1) : pocet + 1;
    for (int i = 0; i < nahrad; ++i)
        t.Nahrady += Vyber(R, znaky);
    return t;
}

} // namespace

class TestPrevod : public QObject {
    Q_OBJECT
private slots:
    void init();
    void rozpoznaniPoKusech();
    void rozdilovy_data();
    void rozdilovy();

private:
    std::unique_ptr<TProstredi> Prostredi;
};

void TestPrevod::init()
{
    Prostredi = std::make_unique<TProstredi>();
}

// The encoding of a file without a mark comes out the same when its bytes are
// counted in pieces cut anywhere as when the window reads the file whole.
void TestPrevod::rozpoznaniPoKusech()
{
    if (SystemoveKodovani() != koUtf8BezZnacky)
        QSKIP("text without a mark is always the 8-bit code page here");
    QRandomGenerator r(12);
    int rozboru = 0;
    for (int i = 0; i < 20000; ++i) {
        const QByteArray b = NahodnySoubor(r);
        if (b.startsWith("\xEF\xBB\xBF") || b.startsWith("\xFF\xFE") || b.startsWith("\xFE\xFF"))
            continue;
        const TPoctyUtf8 pocty = SpocitejUtf8(b);
        bool bUtf8 = RozhodniUtf8(pocty) == ruUtf8;
        if (RozhodniUtf8(pocty) == ruRozbor) {
            ++rozboru;
            TRozborUtf8 rozbor;
            for (qsizetype k = 0; k < b.size();) {
                const qsizetype delka = qMin<qsizetype>(r.bounded(1, 9), b.size() - k);
                rozbor.Pridej(QByteArrayView(b).sliced(k, delka));
                k += delka;
            }
            bUtf8 = rozbor.JeUtf8(pocty);
        }
        QVERIFY2(bUtf8 == (DekodujText(b).Kodovani == koUtf8BezZnacky), b.toHex().constData());
    }
    QVERIFY(rozboru > 1000);
}

void TestPrevod::rozdilovy_data()
{
    QTest::addColumn<QString>("cesta");
    QTest::addColumn<bool>("crlf");
    QTest::addColumn<bool>("nahradni");
    QTest::newRow("na místě, CR LF") << u"-i"_s << true << false;
    QTest::newRow("na místě, konce řádků jak jsou") << u"-i"_s << false << false;
    QTest::newRow("na místě, UTF-8 místo 8bitové") << u"-i"_s << true << true;
    QTest::newRow("standardní výstup do souboru") << u"soubor"_s << true << false;
    QTest::newRow("standardní výstup do roury") << u"roura"_s << true << true;
    QTest::newRow("standardní vstup z roury") << u"stdin"_s << true << false;
    QTest::newRow("-o") << u"-o"_s << false << true;
}

// Random files through random tables, compared byte for byte with the
// window's path, or failing where it fails (the file then left as it was).
void TestPrevod::rozdilovy()
{
    QFETCH(QString, cesta);
    QFETCH(bool, crlf);
    QFETCH(bool, nahradni);
    QRandomGenerator r(uint(qHash(cesta) ^ crlf ^ nahradni << 1));
    const bool bPoJednom = cesta == u"stdin" || cesta == u"-o";
    const int tabulek = 12, souboru = bPoJednom ? 12 : 60;
    for (int t = 0; t < tabulek; ++t) {
        const TTabulkaTestu tabulka = t == 0 ? TTabulkaTestu{VychoziZnakySeZnamenkem, VychoziZnakyBezZnamenka}
                                             : NahodnaTabulka(r);
        QStringList argumenty{u"--binary"_s, u"--pairs"_s, tabulka.Hledane, tabulka.Nahrady};
        if (crlf)
            argumenty << u"--crlf"_s;
        if (nahradni)
            argumenty << u"--utf8-fallback"_s;
        const QStringList prostredi{u"LUMARIN_CONVERT_BLOCK=%1"_s.arg(QList<int>{64, 100, 257, 4096}.at(t % 4))};
        QList<QByteArray> vstupy;
        QStringList cesty;
        for (int s = 0; s < souboru; ++s) {
            vstupy << NahodnySoubor(r);
            cesty << Prostredi->Cesta(u"t%1_%2.txt"_s.arg(t).arg(s));
            Zapis(cesty.back(), vstupy.back());
        }
        const auto popis = [&](int s) {
            return u"table %1 → %2, file %3"_s.arg(tabulka.Hledane, tabulka.Nahrady, QString::fromLatin1(vstupy[s].toHex().left(400)));
        };
        // What each file's line on standard error says when it fails.
        const auto overChybu = [&](const QByteArray &Chyby, int s, const TOkno &okno, const QString &Jmeno) {
            const QByteArray radek = "lumarin-convert: " +
                                     (okno.Selhani == seOsmibitove || Jmeno.isEmpty()
                                          ? (Jmeno.isEmpty() ? cesty[s] : Jmeno).toUtf8() + ": "
                                          : "Cannot create file \"" + Jmeno.toUtf8() + "\". ");
            QVERIFY2(Chyby.contains(radek), qPrintable(popis(s) + u"\n"_s + QString::fromUtf8(Chyby.left(1000))));
        };

        if (cesta == u"-i") {
            const TBeh beh = Spust(argumenty + QStringList{u"-i"_s} + cesty, {}, {}, prostredi);
            bool bSelhani = false;
            for (int s = 0; s < souboru; ++s) {
                const TOkno okno = Okno(vstupy[s], tabulka.Hledane, tabulka.Nahrady, crlf, nahradni);
                bSelhani = bSelhani || okno.Selhani != seNic;
                if (okno.Selhani == seNic) {
                    QVERIFY2(Precti(cesty[s]) == okno.Bajty,
                             qPrintable(popis(s) + u"\ngot  %1\nwant %2"_s.arg(QString::fromLatin1(Precti(cesty[s]).toHex()), QString::fromLatin1(okno.Bajty.toHex()))));
                } else {
                    QVERIFY2(Precti(cesty[s]) == vstupy[s], qPrintable(popis(s)));
                    overChybu(beh.Chyby, s, okno, okno.Selhani == seUtf8 ? cesty[s] : QString());
                }
            }
            QCOMPARE(beh.Kod, bSelhani ? 1 : 0);
        } else if (cesta == u"soubor" || cesta == u"roura") {
            // All files one after another to standard output.
            const QString vystup = Prostredi->Cesta(u"vystup%1"_s.arg(t));
            const TBeh beh = Spust(argumenty + cesty, {}, cesta == u"soubor" ? vystup : QString(), prostredi);
            QByteArray ocekavane;
            for (int s = 0; s < souboru; ++s) {
                const TOkno okno = Okno(vstupy[s], tabulka.Hledane, tabulka.Nahrady, crlf, nahradni);
                ocekavane += okno.Bajty;
                if (okno.Selhani != seNic)
                    overChybu(beh.Chyby, s, okno, QString());
            }
            QCOMPARE(cesta == u"soubor" ? Precti(vystup) : beh.Vystup, ocekavane);
        } else {
            for (int s = 0; s < souboru; ++s) {
                const TOkno okno = Okno(vstupy[s], tabulka.Hledane, tabulka.Nahrady, crlf, nahradni);
                if (cesta == u"stdin") {
                    const TBeh beh = Spust(argumenty, vstupy[s], {}, prostredi);
                    QVERIFY2(beh.Vystup == okno.Bajty, qPrintable(popis(s)));
                    QCOMPARE(beh.Kod, okno.Selhani == seNic ? 0 : 1);
                } else {
                    const QString vystup = Prostredi->Cesta(u"o%1_%2.txt"_s.arg(t).arg(s));
                    Zapis(vystup, "old");
                    const TBeh beh = Spust(argumenty + QStringList{u"-o"_s, vystup, cesty[s]}, {}, {}, prostredi);
                    QVERIFY2(Precti(vystup) == (okno.Selhani == seNic ? okno.Bajty : "old"), qPrintable(popis(s)));
                    if (okno.Selhani != seNic)
                        overChybu(beh.Chyby, s, okno, okno.Selhani == seUtf8 ? vystup : QString());
                    QCOMPARE(beh.Kod, okno.Selhani == seNic ? 0 : 1);
                }
            }
        }
    }
}

QTEST_MAIN(TestPrevod)
#include "tst_prevod.moc"
