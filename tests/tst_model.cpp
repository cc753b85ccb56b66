// The editor's text model without a widget: every shape of text comes back
// from the document's paragraphs as it went in, a text that leaves no code
// unit to stand in is refused before anything changes, a conversion and a
// delete all are taken back exactly once, and an equal text is found equal
// from the paragraphs alone.

#include "Chyba.h"
#include "TextovyModel.h"
#include "convar.h"

#include <QtTest>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr QChar Odstavec(0x2029);

// The document kept in a string, as the editor's QTextDocument keeps it: the
// document takes CR LF, a lone CR and a lone LF for its own paragraph breaks
// and drops U+FDD0 and U+FDD1 (its frame marks), so a model that hands it one
// of them loses it.
class TRetezcovyDokument : public TDokumentTextu {
public:
    QString Dokument;
    QList<qsizetype> Dilky;
    int Zobrazeni = 0;           // how many times the whole document was replaced
    mutable int SuroveKopie = 0; // how many times its whole string was asked for
    mutable int PrectenychOdstavcu = 0;
    bool bSpatnyDilek = false; // a mark was asked for where no separator is

    qsizetype Delka() const override { return Dokument.size(); }
    QString Surovy() const override
    {
        ++SuroveKopie;
        return Dokument;
    }
    bool Projdi(qsizetype Od, bool bText, const TKus &Kus) const override
    {
        for (qsizetype zacatek = 0;;) {
            qsizetype konec = Dokument.indexOf(Odstavec, zacatek);
            const bool bPosledni = konec < 0;
            if (bPosledni)
                konec = Dokument.size();
            if (Od <= konec) {
                TOdstavec odstavec;
                odstavec.Pozice = zacatek;
                odstavec.Delka = konec - zacatek;
                if (bText)
                    odstavec.Text = Dokument.sliced(zacatek, konec - zacatek);
                odstavec.bPosledni = bPosledni;
                odstavec.bDalsiJeDilek = !bPosledni && std::binary_search(Dilky.cbegin(), Dilky.cend(), konec);
                ++PrectenychOdstavcu;
                if (!Kus(odstavec))
                    return false;
            }
            if (bPosledni)
                return true;
            zacatek = konec + 1;
        }
    }
    void Zobraz(const QString &Novy, const QList<qsizetype> &NoveDilky) override
    {
        ++Zobrazeni;
        Dokument.clear();
        Dokument.reserve(Novy.size());
        for (qsizetype i = 0; i < Novy.size(); ++i) {
            const QChar c = Novy[i];
            if (c == u'\r' && i + 1 < Novy.size() && Novy[i + 1] == u'\n') {
                Dokument += Odstavec;
                ++i;
            } else if (c == u'\r' || c == u'\n') {
                Dokument += Odstavec;
            } else if (c != QChar(0xFDD0) && c != QChar(0xFDD1)) {
                Dokument += c;
            }
        }
        Dilky = NoveDilky;
        // A mark only on a separator, and never between the halves of a pair.
        for (const qsizetype pozice : Dilky)
            if (pozice >= Dokument.size() || Dokument[pozice] != Odstavec ||
                (pozice > 0 && pozice + 1 < Dokument.size() && Dokument[pozice - 1].isHighSurrogate() &&
                 Dokument[pozice + 1].isLowSurrogate()))
                bSpatnyDilek = true;
    }
    void Vyprazdni() override
    {
        Dokument.clear();
        Dilky.clear();
    }

    // An edit of the user: Text put in at Pozice, as the editor puts it
    // (U+2029 a new paragraph), the marks after it moved along.
    void Vloz(TTextovyModel &Model, qsizetype Pozice, const QString &Text)
    {
        Dokument.insert(Pozice, Text);
        for (qsizetype &pozice : Dilky)
            if (pozice >= Pozice)
                pozice += Text.size();
        Model.Videl(Text);
        Model.SetModified(true);
    }

    qsizetype NejdelsiOdstavec() const
    {
        qsizetype nejdelsi = 0;
        for (const QStringView odstavec : QStringView(Dokument).tokenize(Odstavec))
            nejdelsi = std::max(nejdelsi, odstavec.size());
        return nejdelsi;
    }
};

QString Rozsah(char32_t Od, char32_t Do, const QString &Krome = {})
{
    QString text;
    for (char32_t u = Od; u <= Do; ++u)
        if (!Krome.contains(QChar(char16_t(u))))
            text += QChar(char16_t(u));
    return text;
}

// A line of Delka letters with a space every Mezera (none when 0).
QString Radek(qsizetype Delka, qsizetype Mezera = 0)
{
    QString text(Delka, u'ř');
    if (Mezera > 0)
        for (qsizetype i = Mezera - 1; i < Delka; i += Mezera)
            text[i] = u' ';
    return text;
}

QString PrevedNaZlomy(QString Text)
{
    return Text.replace(u"\r\n"_s, QString(Odstavec));
}

} // namespace

class TestModel : public QObject {
    Q_OBJECT
private slots:
    void tamAZpet_data();
    void tamAZpet();
    void zadnyVolnyZastupce_data();
    void zadnyVolnyZastupce();
    void zpetPrevodu_data();
    void zpetPrevodu();
    void zpetNaJinyDokument();
    void zpetSmazani();
    void rovnyText_data();
    void rovnyText();
    void vlozeniUzivatele();
    void predanyText_data() { tamAZpet_data(); }
    void predanyText();
    void prevedenyTvar_data();
    void prevedenyTvar();
    void prevedenyTvarNaJinyDokument();
    void prevedenyTvarAZastupci();
};

void TestModel::tamAZpet_data()
{
    QTest::addColumn<QString>("text");
    const qsizetype mez = TTextovyModel::MaxDelkaBloku;
    const qsizetype radku = TTextovyModel::MaxRadkuBezSdruzeni;
    QTest::newRow("prázdný") << QString();
    QTest::newRow("řádky CR LF") << u"první\r\ndruhý\r\n\r\nčtvrtý"_s;
    QTest::newRow("na konci zlom") << u"a\r\n\r\n"_s;
    QTest::newRow("osamělé CR a LF") << u"a\rb\nc\r\r\nd\n\re\r"_s;
    QTest::newRow("LF CR") << u"\n\r"_s;
    QTest::newRow("U+2029 a U+2028") << u"a\u2029b\u2028c\r\n\u2029"_s;
    QTest::newRow("U+FDD0 a U+FDD1") << u"\uFDD0a\uFDD1\r\n\uFDD1"_s;
    QTest::newRow("nekaraktery") << Rozsah(0xFDD0, 0xFDEF) + u"\uFFFE\uFFFF\r\n\uFFFE"_s;
    const QChar dc80(0xDC80), d800(0xD800);
    QTest::newRow("osamělé poloviny") << dc80 + u"a"_s + d800 + u"\r\n"_s + dc80 + d800 + QChar(0xD83D);
    QTest::newRow("soukromá oblast a nekaraktery obsazeny")
        << u"\u2029"_s + Rozsah(0xE000, 0xF8FF) + Rozsah(0xFDD0, 0xFDEF) + u"\uFFFE\uFFFF"_s;
    QTest::newRow("řádek právě na mez") << Radek(mez) + u"\r\n"_s + Radek(mez);
    QTest::newRow("dlouhý řádek bez mezer") << Radek(3 * mez + 5);
    QTest::newRow("dlouhý řádek s mezerami") << Radek(3 * mez + 5, 100) + u"\r\nkonec"_s;
    QString pary;
    for (qsizetype i = 0; i < mez; ++i)
        pary += u"\U0001F600"_s;
    QTest::newRow("dlouhý řádek dvojic") << u"x"_s + pary;
    QTest::newRow("dlouhý řádek a zástupci") << u"\r\u2029"_s + Radek(2 * mez + 1) + u"\n\uFDD0"_s;
    QTest::newRow("mnoho řádků") << u"řádek\r\n"_s.repeated(radku + 1);
    QTest::newRow("mnoho řádků s U+2028") << u"a\u2028b\r\n"_s.repeated(radku + 3) + u"\r"_s;
    QTest::newRow("mnoho řádků a dlouhý") << u"a\r\n"_s.repeated(radku + 1) + Radek(2 * mez + 7) + u"\r\nb"_s;
}

void TestModel::tamAZpet()
{
    QFETCH(QString, text);
    TRetezcovyDokument dokument;
    TTextovyModel model(dokument);
    model.SetModified(true);
    QCOMPARE(model.NastavText(u"předtím"_s), true);
    QVERIFY(!model.Modified());
    model.SetModified(true);
    QCOMPARE(model.NastavText(text), true);
    QVERIFY(!model.Modified());
    QVERIFY(!dokument.bSpatnyDilek);
    QVERIFY(model.Text() == text);
    QVERIFY(model.JeText(text));
    QCOMPARE(model.JePrazdny(), text.isEmpty());
    // The clipboard's form: the same text with the system's line breaks.
    QVERIFY(model.Prevod(0, dokument.Delka(), u"\n") == QString(text).replace(u"\r\n"_s, u"\n"_s));
    // What the document keeps stays within what it lays out cheaply.
    QVERIFY(dokument.NejdelsiOdstavec() <= 2 * TTextovyModel::MaxDelkaBloku + 1);
    QVERIFY(dokument.Dokument.count(Odstavec) <=
            TTextovyModel::MaxRadkuBezSdruzeni + text.size() / (TTextovyModel::MaxDelkaBloku / 2));
    // The raw text is the text itself whenever the model says so.
    if (!model.MaZastupce())
        QVERIFY(model.SurovyText() == PrevedNaZlomy(text));

    // The raw form of the text goes in and comes back the same way.
    const QString surovy = PrevedNaZlomy(text);
    TRetezcovyDokument dalsi;
    TTextovyModel surovyModel(dalsi);
    QCOMPARE(surovyModel.NastavSurovyText(surovy), !surovy.isEmpty());
    QVERIFY(surovyModel.Text() == QString(surovy).replace(Odstavec, u"\r\n"_s));
}

void TestModel::zadnyVolnyZastupce_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("prijat");
    // U+FDD2 is the first code unit to stand in; the text leaves only it free.
    const QString skoroVse = Rozsah(0, 0xFFFF, u"\r\n\uFDD0\uFDD1\uFDD2"_s);
    QTest::newRow("jeden volný na jeden znak") << skoroVse << true;
    QTest::newRow("jeden volný na dva znaky") << skoroVse + u"\uFDD0"_s << false;
    QTest::newRow("jeden volný na osamělé CR") << Rozsah(0, 0xFFFF, u"\n\u2029\uFDD0\uFDD1\uFDD2"_s) << true;
    QTest::newRow("žádný volný") << Rozsah(0, 0xFFFF) << false;
    QTest::newRow("mnoho řádků, žádný volný pro U+2028")
        << u"\r\n"_s.repeated(TTextovyModel::MaxRadkuBezSdruzeni) + Rozsah(0, 0xFFFF, u"\r\n\u2029\uFDD0\uFDD1"_s)
        << false;
}

void TestModel::zadnyVolnyZastupce()
{
    QFETCH(QString, text);
    QFETCH(bool, prijat);
    TRetezcovyDokument dokument;
    TTextovyModel model(dokument);
    model.NastavText(u"řádek"_s);
    model.NastavText(u"radek"_s, true);
    const int zobrazeni = dokument.Zobrazeni;
    if (prijat) {
        QVERIFY(model.NastavText(text));
        QVERIFY(model.Text() == text);
        return;
    }
    try {
        model.NastavText(text, true);
        QFAIL("the text was taken");
    } catch (const EChyba &e) {
        QCOMPARE(e.Zprava(), rsZASTUPCI);
    }
    // Refused before anything changed: the text, the flag and the undo.
    QCOMPARE(dokument.Zobrazeni, zobrazeni);
    QCOMPARE(model.Text(), u"radek"_s);
    QVERIFY(!model.Modified());
    QCOMPARE(model.Zpet().value_or(-1), qsizetype(0));
    QCOMPARE(model.Text(), u"řádek"_s);
}

void TestModel::zpetPrevodu_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("prevedeny");
    QTest::addColumn<bool>("surovy");
    const qsizetype mez = TTextovyModel::MaxDelkaBloku;
    const QString dlouhy = Radek(2 * mez + 3, 50);
    QTest::newRow("krátký") << u"žluťoučký kůň\r\núpěl"_s << u"zlutoucky kun\r\nupel"_s << false;
    QTest::newRow("krátký, surový") << u"žluťoučký kůň\r\núpěl"_s << u"zlutoucky kun\r\nupel"_s << true;
    QTest::newRow("mění se vše") << u"ěščř"_s << u"escr"_s << false;
    QTest::newRow("jiná délka") << u"ěšč"_s << u"ieesc"_s << false;
    QTest::newRow("se zástupci") << u"ě\rš\u2029č\uFDD0"_s << u"e\rs\u2029c\uFDD0"_s << false;
    QTest::newRow("převod dá osamělé CR") << u"aěb\r\n"_s << u"a\rb\r\n"_s << false;
    QTest::newRow("dlouhý řádek") << u"ž"_s + dlouhy << u"z"_s + QString(dlouhy).replace(u'ř', u'r') << false;
    const QString radky = u"čára\r\n"_s.repeated(TTextovyModel::MaxRadkuBezSdruzeni + 1);
    QTest::newRow("mnoho řádků") << radky + u"ž"_s << radky + u"z"_s << false;
}

void TestModel::zpetPrevodu()
{
    QFETCH(QString, text);
    QFETCH(QString, prevedeny);
    QFETCH(bool, surovy);
    TRetezcovyDokument dokument;
    TTextovyModel model(dokument);
    QVERIFY(model.NastavText(text));
    const QList<qsizetype> dilky = dokument.Dilky;
    QVERIFY(!model.Zpet()); // a text set by program is no step back
    if (surovy)
        QVERIFY(model.NastavSurovyText(PrevedNaZlomy(prevedeny), true, 3));
    else
        QVERIFY(model.NastavText(prevedeny, true, 3));
    QVERIFY(model.Text() == prevedeny);
    QVERIFY(!model.Modified());
    QCOMPARE(model.Zpet().value_or(-1), qsizetype(3));
    QVERIFY(model.Text() == text);
    QVERIFY(model.Modified()); // taking the conversion back is an edit
    QCOMPARE(dokument.Dilky, dilky);
    QVERIFY(!dokument.bSpatnyDilek);
    // Once only; and a text set by program after a conversion forgets it.
    QVERIFY(!model.Zpet());
    QVERIFY(model.Text() == text);
    QVERIFY(model.NastavText(prevedeny, true));
    QVERIFY(model.NastavText(u"jiný"_s));
    QVERIFY(!model.Zpet());
    QCOMPARE(model.Text(), u"jiný"_s);
}

void TestModel::zpetNaJinyDokument()
{
    // The changes of a conversion go back only onto the string it gave: after
    // an edit of the user that the document's own undo did not take back,
    // the step is dropped instead of putting the old code units elsewhere.
    TRetezcovyDokument dokument;
    TTextovyModel model(dokument);
    model.NastavText(u"čáp a šíp"_s);
    model.NastavText(u"cap a sip"_s, true);
    dokument.Vloz(model, 0, u"x"_s);
    QVERIFY(!model.Zpet());
    QCOMPARE(model.Text(), u"xcap a sip"_s);
    QVERIFY(!model.MuzeZpet());
    // The same length, another string.
    model.NastavText(u"čapka"_s);
    model.NastavText(u"capka"_s, true);
    dokument.Dokument[0] = u'k';
    QVERIFY(!model.Zpet());
    QCOMPARE(model.Text(), u"kapka"_s);
}

void TestModel::zpetSmazani()
{
    TRetezcovyDokument dokument;
    TTextovyModel model(dokument);
    const QString text = u"a\rb\u2029c\r\n"_s + Radek(TTextovyModel::MaxDelkaBloku + 9);
    model.NastavText(text);
    model.SetModified(true);
    model.Smaz(true, 4);
    QVERIFY(model.JePrazdny());
    QVERIFY(!model.Modified());
    QVERIFY(!model.MaZastupce());
    // Delete all of an empty text keeps the step before it.
    model.Smaz(true, 0);
    QCOMPARE(model.Zpet().value_or(-1), qsizetype(4));
    QVERIFY(model.Text() == text);
    QVERIFY(model.Modified());
    QVERIFY(!dokument.Dilky.isEmpty());
    // A delete all that is not the user's command forgets the step.
    model.Smaz(true, 0);
    model.Smaz(false);
    QVERIFY(!model.Zpet());
    QVERIFY(model.JePrazdny());
}

void TestModel::rovnyText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("jiny");
    QTest::addColumn<int>("odstavcu"); // at most read to find the other text different
    const QString radky = u"řádek\r\n"_s.repeated(1000);
    QTest::newRow("stejný") << radky << radky << 1001;
    QTest::newRow("jiný na začátku") << radky << u"x"_s + radky << 1;
    QTest::newRow("jiný na konci") << radky << radky + u"x"_s << 1001;
    QTest::newRow("kratší") << radky << radky.chopped(2) << 1001;
    QTest::newRow("CR LF proti osamělému CR") << u"a\r\nb"_s << u"a\rb"_s << 1;
    QTest::newRow("se zástupci, stejný") << u"a\rb\u2029"_s << u"a\rb\u2029"_s << 1;
    QTest::newRow("se zástupci, jiný") << u"a\rb\u2029"_s << u"a\nb\u2029"_s << 1;
    const QString mnoho = u"ř\r\n"_s.repeated(TTextovyModel::MaxRadkuBezSdruzeni + 1);
    QTest::newRow("sdružené řádky, jiný zlom") << mnoho << u"ř\u2028"_s + mnoho.sliced(3) << 1;
}

void TestModel::rovnyText()
{
    QFETCH(QString, text);
    QFETCH(QString, jiny);
    QFETCH(int, odstavcu);
    TRetezcovyDokument dokument;
    TTextovyModel model(dokument);
    model.NastavText(u"předtím"_s);
    model.NastavText(text, true);
    model.SetModified(true);
    const int zobrazeni = dokument.Zobrazeni;
    dokument.SuroveKopie = 0;
    // An equal text changes nothing (the flag and the undo step included),
    // found from the paragraphs without a copy of the whole document.
    QCOMPARE(model.NastavText(text, true), false);
    QCOMPARE(dokument.Zobrazeni, zobrazeni);
    QCOMPARE(dokument.SuroveKopie, 0);
    QVERIFY(model.Modified());
    // Another text is found different as soon as a paragraph differs.
    dokument.PrectenychOdstavcu = 0;
    QCOMPARE(model.JeText(jiny), jiny == text);
    QVERIFY2(dokument.PrectenychOdstavcu <= odstavcu, qPrintable(QString::number(dokument.PrectenychOdstavcu)));
    QCOMPARE(dokument.SuroveKopie, 0);
    QCOMPARE(model.Zpet().value_or(-1), qsizetype(0));
    QCOMPARE(model.Text(), u"předtím"_s);
    QVERIFY(model.NastavText(jiny));
    QVERIFY(model.Text() == jiny);
}

void TestModel::vlozeniUzivatele()
{
    // A code unit the user put in is never taken to stand in for another: the
    // model is told of every edit, and the first free stand-in (U+FDD2) is
    // then taken.
    TRetezcovyDokument dokument;
    TTextovyModel model(dokument);
    model.NastavText(u"ab"_s);
    QCOMPARE(model.ProDokument(u"\uFDD2"_s, false).value_or(QString()), u"\uFDD2"_s);
    dokument.Vloz(model, 1, u"\uFDD2"_s);
    const std::optional<QString> vlozeny = model.ProDokument(u"\u2029\r\n\r"_s, false);
    QVERIFY(vlozeny);
    QVERIFY(!vlozeny->contains(QChar(0xFDD2)));
    QVERIFY(!vlozeny->contains(u'\r') && !vlozeny->contains(u'\n') && !vlozeny->contains(Odstavec));
    dokument.Vloz(model, 2, *vlozeny);
    QCOMPARE(model.Text(), u"a\uFDD2\u2029\r\n\rb"_s);
    QVERIFY(model.Modified());
    // With breaks: CR LF, a lone CR and a lone LF each start a line; a code
    // unit that now stands for another gets a stand-in of its own.
    const QString zastupce = vlozeny->sliced(0, 1);
    const std::optional<QString> sZlomy = model.ProDokument(u"x\r\ny\rz\n"_s + zastupce, true);
    QVERIFY(sZlomy);
    dokument.Vloz(model, 0, *sZlomy);
    QCOMPARE(model.Text(), u"x\r\ny\r\nz\r\n"_s + zastupce + u"a\uFDD2\u2029\r\n\rb"_s);
}

QTEST_GUILESS_MAIN(TestModel)
// A text that its holder hands over becomes the document's form in its own
// buffer where it can: the same document as from a text that is still held
// elsewhere.
void TestModel::predanyText()
{
    QFETCH(QString, text);
    TRetezcovyDokument sdileny, predany;
    TTextovyModel sdilenyModel(sdileny), predanyModel(predany);
    sdilenyModel.NastavText(text);
    // A copy of its own, which nothing else holds.
    QString vlastni(text.constData(), text.size());
    QVERIFY(vlastni.isDetached() || vlastni.isEmpty());
    predanyModel.NastavText(std::move(vlastni));
    QVERIFY(predany.Dokument == sdileny.Dokument);
    QCOMPARE(predany.Dilky, sdileny.Dilky);
    QVERIFY(predanyModel.Text() == text);
    // A delete all taken back brings the text back the same way.
    if (text.isEmpty())
        return;
    predanyModel.Smaz(true, 0);
    QVERIFY(predanyModel.Zpet());
    QVERIFY(predany.Dokument == sdileny.Dokument);
    QVERIFY(predanyModel.Text() == text);
}

// A conversion handed over in the shape the document keeps (code units
// replaced one for one): what changed is found in one pass over the
// document, which also finds an unchanged text unchanged; the undo brings
// back every code unit, also beyond the slices the check of the document
// is taken in.
void TestModel::prevedenyTvar_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<qsizetype>>("zmeny"); // positions in the document's string
    const QString radky = u"řádek\r\n"_s.repeated(40000);
    QTest::newRow("nic") << radky << QList<qsizetype>{};
    QTest::newRow("první a poslední") << radky << QList<qsizetype>{0, 6 * 40000 - 2};
    QTest::newRow("kolem hranic úseků") << radky << QList<qsizetype>{65535,  65536,  65537,  131071,
                                                                     131072, 196607, 196608, 196609};
    QTest::newRow("daleko od sebe") << radky << QList<qsizetype>{1, 20000, 200000};
    QTest::newRow("se zástupci a dílky") << u"a\rb\u2029"_s + Radek(3 * TTextovyModel::MaxDelkaBloku + 1, 40)
                                         << QList<qsizetype>{7, 20000, 40000};
    QTest::newRow("sdružené řádky") << u"čára\r\n"_s.repeated(TTextovyModel::MaxRadkuBezSdruzeni + 1)
                                    << QList<qsizetype>{0, 100000, 499999};
    // The hash of the converted string is taken in steps of 4 Mi code units.
    QTest::newRow("přes kroky otisku") << u"šíp\r\n"_s.repeated(1100000)
                                       << QList<qsizetype>{1, 4194304, 4194305, 4399997};
    // A change at every third code unit: the record grows many times.
    QList<qsizetype> kazdaTreti;
    for (qsizetype i = 0; i < 300000; i += 3)
        kazdaTreti.append(i);
    QTest::newRow("mnoho změn") << u"čččččččč\r\n"_s.repeated(33334) << kazdaTreti;
    // More than half: the undo keeps the whole text.
    QTest::newRow("mění se vše") << u"ěščř"_s << QList<qsizetype>{0, 1, 2, 3};
}

void TestModel::prevedenyTvar()
{
    QFETCH(QString, text);
    QFETCH(QList<qsizetype>, zmeny);
    // The model compares the strings itself, or takes the changes as the
    // conversion found them.
    for (const bool bZaznam : {false, true}) {
        TRetezcovyDokument dokument;
        TTextovyModel model(dokument);
        model.NastavText(u"předtím"_s);
        model.NastavText(text, true, 2);
        model.SetModified(true);
        const QString puvodni = dokument.Dokument;
        const QList<qsizetype> dilky = dokument.Dilky;
        QString prevedeny = puvodni;
        TTextovyModel::TZaznamZmen zaznam(prevedeny.size());
        for (const qsizetype pozice : zmeny) {
            QVERIFY(prevedeny[pozice] != u'x');
            zaznam.Pridej(pozice, prevedeny[pozice].unicode());
            prevedeny[pozice] = u'x';
        }
        const auto nastav = [&](qsizetype Pozice) {
            return bZaznam ? model.NastavPrevedenyTvar(prevedeny, std::move(zaznam), true, Pozice)
                           : model.NastavPrevedenyTvar(prevedeny, true, Pozice);
        };
        const int zobrazeni = dokument.Zobrazeni;
        if (zmeny.isEmpty()) {
            // Nothing to do: the text, the flag and the step back stay.
            QCOMPARE(nastav(5), false);
            QCOMPARE(dokument.Zobrazeni, zobrazeni);
            QVERIFY(model.Modified());
            QCOMPARE(model.Zpet().value_or(-1), qsizetype(2));
            QCOMPARE(model.Text(), u"předtím"_s);
            continue;
        }
        QVERIFY(nastav(5));
        QVERIFY(dokument.Dokument == prevedeny);
        QCOMPARE(dokument.Dilky, dilky);
        QVERIFY(!model.Modified());
        QCOMPARE(model.Zpet().value_or(-1), qsizetype(5));
        QVERIFY(dokument.Dokument == puvodni);
        QCOMPARE(dokument.Dilky, dilky);
        QVERIFY(model.Text() == text);
        QVERIFY(!model.Zpet());
    }
}

// The changes go back only onto the very string the conversion gave: one
// code unit changed anywhere, however far in, drops the step.
void TestModel::prevedenyTvarNaJinyDokument()
{
    const QString text = u"šíp\r\n"_s.repeated(100000);
    for (const qsizetype pozice : {qsizetype(2), qsizetype(65536 + 6), qsizetype(4 * 100000 - 2)}) {
        TRetezcovyDokument dokument;
        TTextovyModel model(dokument);
        model.NastavText(text);
        QCOMPARE(dokument.Dokument.size(), 4 * 100000);
        QString prevedeny = dokument.Dokument;
        prevedeny.replace(u'š', u's');
        QVERIFY(model.NastavPrevedenyTvar(prevedeny, true));
        dokument.Dokument[pozice] = dokument.Dokument[pozice] == u'y' ? u'z' : u'y';
        const QString jiny = dokument.Dokument;
        QVERIFY(!model.Zpet());
        QVERIFY(dokument.Dokument == jiny);
        QVERIFY(!model.MuzeZpet());
    }
}

// What a conversion puts in is never taken to stand in for another
// character later: a stand-in that the user's text then needs is a code unit
// the document has never held.
void TestModel::prevedenyTvarAZastupci()
{
    TRetezcovyDokument dokument;
    TTextovyModel model(dokument);
    model.NastavText(u"a\rbc"_s); // the lone CR takes the first stand-in
    QVERIFY(model.MaZastupce());
    const qsizetype b = dokument.Dokument.indexOf(u'b');
    // The conversion puts in the next free code units.
    QString prevedeny = dokument.Dokument;
    prevedeny[b] = QChar(0xFDD3);
    prevedeny[b + 1] = QChar(0xFDD4);
    QVERIFY(model.NastavPrevedenyTvar(prevedeny, true));
    // U+2029 typed in now needs a stand-in of its own.
    const std::optional<QString> vlozeny = model.ProDokument(u"\u2029"_s, false);
    QVERIFY(vlozeny);
    QVERIFY(*vlozeny != u"\uFDD3"_s && *vlozeny != u"\uFDD4"_s);
    dokument.Vloz(model, 0, *vlozeny);
    QCOMPARE(model.Text(), u"\u2029a\r\uFDD3\uFDD4"_s);
}

#include "tst_model.moc"
