// Saves that survive a kill. A child process saves a large document (the
// window's save after F6, and lumarin-convert -i) or writes the settings at
// the window's close, and is killed with SIGKILL at many moments: at random
// ones after it was told to start, and at random ones while a temporary file
// of its writer exists, which inotify tells. Afterwards the file is always
// the whole old or the whole new content, never torn or empty, the settings
// always read (every value old or new, none lost); what a kill leaves behind
// is only hidden temporary files, and a later save through the same path
// succeeds beside them.
//
// The test's executable is its own child: with LUMARIN_ZABITI_DITE set it
// plays the window (see main at the end).
//
// Windows has neither SIGKILL nor inotify: there the converter's -i is killed
// in tst_prevod (zabitiNaMiste), through TerminateProcess.

#include <QtTest>

#ifdef Q_OS_WIN
class TestZabiti : public QObject {
    Q_OBJECT
private slots:
    void ulozeni() { QSKIP("SIGKILL and inotify are POSIX's (tst_prevod kills lumarin-convert -i on Windows)"); }
    void nastaveniPriZavreni() { QSKIP("the settings are the registry on Windows, not a file written at close"); }
};

QTEST_MAIN(TestZabiti)
#else
#include "Memo.h"
#include "Registr.h"
#include "Soubory.h"
#include "TestovaciOkno.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <functional>
#include <optional>
#include <poll.h>
#include <sys/inotify.h>

using namespace Qt::StringLiterals;

namespace {

// ---- the child ----

// Tells the parent it is ready, and waits until the parent says go.
void CekejNaStart()
{
    std::fputs("pripraven\n", stdout);
    std::fflush(stdout);
    char c;
    if (::read(STDIN_FILENO, &c, 1) != 1)
        std::exit(3);
}

void Hotovo()
{
    std::fputs("hotovo\n", stdout);
    std::fflush(stdout);
}

// "okno": opens LUMARIN_ZABITI_SOUBOR, presses F6 and, once told, saves.
// "nastaveni": starts on the settings of LUMARIN_ZABITI_SLOZKA (as
// XDG_CONFIG_HOME), moves and resizes the window and, once told, closes it,
// which writes the settings.
int Dite(const QByteArray &Role)
{
    const QString soubor = qEnvironmentVariable("LUMARIN_ZABITI_SOUBOR");
    const QByteArray slozka = qgetenv("LUMARIN_ZABITI_SLOZKA");
    TTestovaciOkno test([&] {
        if (!slozka.isEmpty())
            qputenv("XDG_CONFIG_HOME", slozka);
    });
    THlavniForm *okno = test.Okno;
    if (Role == "okno") {
        test.Dialogy->Otevrit = {soubor};
        okno->aOtevrit->trigger();
        okno->aOdstranitDiakritiku->trigger();
        if (okno->memSoubor->Text().contains(u"č"_s) || !test.Prostredi.Dialogy.isEmpty())
            return 2;
        CekejNaStart();
        okno->aUlozit->trigger();
    } else {
        okno->setGeometry(130, 140, 510, 420);
        CekejNaStart();
        okno->close();
    }
    if (!test.Prostredi.Dialogy.isEmpty()) // a save that failed is told
        return 4;
    Hotovo();
    return 0;
}

// ---- the parent ----

// A Czech text of about Bajtu bytes in UTF-8, with CR LF line breaks (so
// that F6 alone changes it).
QByteArray CeskyText(qsizetype Bajtu)
{
    const QByteArray odstavec =
        u"Příliš žluťoučký kůň úpěl ďábelské ódy; ŘEKA Ústí nad Labem, „Čtvrť“ 2026.\r\n"_s.toUtf8();
    QByteArray text;
    text.reserve(Bajtu + odstavec.size());
    while (text.size() < Bajtu)
        text += odstavec;
    return text;
}

// The hidden temporary files the writer leaves beside Jmeno when it is killed
// (".<name>.<random>~").
QStringList Docasne(const QString &Slozka, const QString &Jmeno)
{
    return QDir(Slozka).entryList({u"."_s + Jmeno + u".*~"_s}, QDir::Files | QDir::Hidden);
}

// Watches a folder for the writer's temporary files: when each is created
// and when it is renamed over its file.
class TSledovani {
public:
    explicit TSledovani(const QString &Slozka)
        : FFd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
          FWatch(::inotify_add_watch(FFd, KodujCestu(Slozka).constData(), IN_CREATE | IN_MOVED_FROM))
    {
        Hodiny.start();
    }
    ~TSledovani() { ::close(FFd); }
    TSledovani(const TSledovani &) = delete;
    TSledovani &operator=(const TSledovani &) = delete;
    bool Platne() const { return FFd >= 0 && FWatch >= 0; }

    struct TUdalost {
        qint64 Cas;  // ms of Hodiny
        bool bVznik; // created, else renamed
        QByteArray Jmeno;
    };
    QList<TUdalost> Udalosti;
    QElapsedTimer Hodiny;

    // Forgets what happened so far and starts the clock.
    void Vyprazdni()
    {
        Cti(0);
        Udalosti.clear();
        Hodiny.restart();
    }

    // Takes what happens within Cekat ms.
    void Cti(int Cekat)
    {
        pollfd p{FFd, POLLIN, 0};
        if (::poll(&p, 1, Cekat) <= 0)
            return;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; (n = ::read(FFd, buffer, sizeof buffer)) > 0;)
            for (ssize_t i = 0; i < n;) {
                const auto *udalost = reinterpret_cast<const inotify_event *>(buffer + i);
                const QByteArray jmeno(udalost->len ? udalost->name : "");
                if (jmeno.startsWith('.') && jmeno.endsWith('~'))
                    Udalosti.append({Hodiny.elapsed(), (udalost->mask & IN_CREATE) != 0, jmeno});
                i += qsizetype(sizeof(inotify_event)) + udalost->len;
            }
    }

    int Vzniklo() const
    {
        return int(std::count_if(Udalosti.cbegin(), Udalosti.cend(), [](const TUdalost &u) { return u.bVznik; }));
    }

    // Waits until Kolik temporary files have been created; false when they
    // have not within Cekat ms.
    bool CekejNaDocasne(int Kolik, int Cekat)
    {
        while (Vzniklo() < Kolik && Hodiny.elapsed() < Cekat)
            Cti(1);
        return Vzniklo() >= Kolik;
    }

private:
    int FFd;
    int FWatch;
};

// One way of saving, killed again and again.
struct TScenar {
    QString Program;
    QStringList Argumenty;
    QProcessEnvironment Prostredi;
    QString Slozka, Jmeno;         // the file (or the settings file) and its folder
    std::function<void()> Priprav; // puts the old content in place
    std::function<QString()> Over; // what is wrong after a kill; empty when nothing
};

struct TPrubeh {
    qint64 Celkem = 0; // ms from "go" to the end of a save that is not killed
    int Docasnych = 0; // temporary files it creates
    qint64 Zivot = 0;  // ms a temporary file of it lives, the longest
};

// Starts the child, waits until it is ready; it is told to go by the caller.
bool Spust(const TScenar &S, QProcess &Proces)
{
    Proces.setProcessEnvironment(S.Prostredi);
    Proces.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Proces.start(S.Program, S.Argumenty);
    if (!Proces.waitForStarted(30000))
        return false;
    // The converter starts at once; the window says when it is ready.
    if (!S.Prostredi.contains(u"LUMARIN_ZABITI_DITE"_s))
        return true;
    while (!Proces.canReadLine())
        if (!Proces.waitForReadyRead(120000))
            return false;
    return Proces.readLine() == "pripraven\n";
}

void Pust(const TScenar &S, QProcess &Proces)
{
    if (S.Prostredi.contains(u"LUMARIN_ZABITI_DITE"_s)) {
        Proces.write("g");
        Proces.waitForBytesWritten();
    }
}

// A save that is not killed: how long it takes, how many temporary files it
// makes and how long they live.
std::optional<TPrubeh> Zmer(const TScenar &S)
{
    S.Priprav();
    QProcess proces;
    TSledovani sledovani(S.Slozka);
    if (!sledovani.Platne() || !Spust(S, proces))
        return std::nullopt;
    sledovani.Vyprazdni();
    Pust(S, proces);
    while (!proces.waitForFinished(1) && sledovani.Hodiny.elapsed() < 120000)
        sledovani.Cti(0);
    TPrubeh prubeh;
    prubeh.Celkem = sledovani.Hodiny.elapsed();
    sledovani.Cti(0);
    if (proces.state() != QProcess::NotRunning || proces.exitStatus() != QProcess::NormalExit || proces.exitCode() != 0)
        return std::nullopt;
    prubeh.Docasnych = sledovani.Vzniklo();
    QHash<QByteArray, qint64> vznik;
    for (const TSledovani::TUdalost &u : std::as_const(sledovani.Udalosti))
        if (u.bVznik)
            vznik.insert(u.Jmeno, u.Cas);
        else if (vznik.contains(u.Jmeno))
            prubeh.Zivot = qMax(prubeh.Zivot, u.Cas - vznik.value(u.Jmeno));
    return prubeh;
}

// Kills the save Kol times: half of them at a random moment of the whole save,
// a quarter as soon as one of its temporary files appears, and a quarter at a
// random moment of that file's life.
// Fails at the first state that is not the old or the new one; returns how
// many kills found a temporary file left behind. Each Kolo draws other moments.
int Zabijej(const TScenar &S, const TPrubeh &P, int Kol, int Kolo = 0)
{
    QRandomGenerator nahoda(20261210 + quint32(Kolo));
    int zanechano = 0;
    for (int kolo = 0; kolo < Kol; ++kolo) {
        S.Priprav();
        const int pred = int(Docasne(S.Slozka, S.Jmeno).size());
        QProcess proces;
        TSledovani sledovani(S.Slozka);
        [&] { QVERIFY(sledovani.Platne() && Spust(S, proces)); }();
        if (QTest::currentTestFailed())
            return -1;
        sledovani.Vyprazdni();
        Pust(S, proces);
        if (kolo % 2 == 0)
            ::usleep(useconds_t(nahoda.bounded(qint64(P.Celkem * 1200 + 1000))));
        else if (sledovani.CekejNaDocasne(1 + nahoda.bounded(qMax(P.Docasnych, 1)), int(P.Celkem * 3 + 5000)) &&
                 kolo % 4 == 3) // else at once, while it is being written
            ::usleep(useconds_t(nahoda.bounded(qint64(P.Zivot * 1500 + 500))));
        ::kill(pid_t(proces.processId()), SIGKILL);
        proces.waitForFinished(30000);
        const QString chyba = S.Over();
        [&] { QVERIFY2(chyba.isEmpty(), qPrintable(u"kill %1: %2"_s.arg(kolo).arg(chyba))); }();
        if (QTest::currentTestFailed())
            return -1;
        if (Docasne(S.Slozka, S.Jmeno).size() > pred)
            ++zanechano;
    }
    return zanechano;
}

QProcessEnvironment ProstrediDitete(const QString &Role)
{
    QProcessEnvironment prostredi = QProcessEnvironment::systemEnvironment();
    prostredi.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    if (!Role.isEmpty())
        prostredi.insert(u"LUMARIN_ZABITI_DITE"_s, Role);
    return prostredi;
}

} // namespace

class TestZabiti : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void ulozeni_data();
    void ulozeni();
    void nastaveniPriZavreni();

private:
    std::unique_ptr<TProstredi> Prostredi;
};

void TestZabiti::init()
{
    Prostredi = std::make_unique<TProstredi>();
}

void TestZabiti::cleanup()
{
    Prostredi.reset();
}

// A large document saved over its old content, through a temporary file and
// a rename: by the window after F6, and by lumarin-convert -i, whose output
// streams into the temporary file once it is past the first 4 MB.
void TestZabiti::ulozeni_data()
{
    QTest::addColumn<bool>("prevodnik");
    QTest::addColumn<int>("velikost");
    QTest::newRow("okno") << false << (4 << 20);
#ifdef LUMARIN_PREVODNIK
    QTest::newRow("lumarin-convert -i") << true << (16 << 20);
#endif
}

void TestZabiti::ulozeni()
{
    QFETCH(bool, prevodnik);
    QFETCH(int, velikost);
    const QString slozka = Prostredi->Cesta(u"dokumenty"_s);
    const QString soubor = slozka + u"/clanek.txt"_s;
    const QByteArray stary = CeskyText(velikost);
    TScenar s;
#ifdef LUMARIN_PREVODNIK
    if (prevodnik) {
        s.Program = QStringLiteral(LUMARIN_PREVODNIK);
        s.Argumenty = {u"-i"_s, soubor};
    }
#endif
    if (!prevodnik) {
        s.Program = QCoreApplication::applicationFilePath();
        s.Prostredi = ProstrediDitete(u"okno"_s);
    } else {
        s.Prostredi = ProstrediDitete({});
    }
    s.Prostredi.insert(u"LUMARIN_ZABITI_SOUBOR"_s, soubor);
    s.Slozka = slozka;
    s.Jmeno = u"clanek.txt"_s;
    s.Priprav = [&] { Zapis(soubor, stary); };

    const std::optional<TPrubeh> prubeh = Zmer(s);
    QVERIFY2(prubeh, "the save that is not killed fails");
    const QByteArray novy = Precti(soubor);
    QVERIFY(novy != stary && !novy.isEmpty() && !novy.contains("\xC4\x8D"));
    QVERIFY2(prubeh->Docasnych >= 1, "the save makes no temporary file");

    int stare = 0, nove = 0;
    s.Over = [&]() -> QString {
        const QByteArray obsah = Precti(soubor);
        if (obsah == stary)
            return ++stare, QString();
        if (obsah == novy)
            return ++nove, QString();
        return u"the file holds %1 bytes that are neither the old %2 nor the new %3"_s.arg(obsah.size())
            .arg(stary.size())
            .arg(novy.size());
    };
    // The kills must fall before, inside and after the save. On a busy machine
    // the save's length varies from run to run, so a round of kills that
    // missed one of the three is followed by another, with other moments.
    int zanechano = 0, kol = 0;
    for (int kolo = 0; kolo < 4 && (stare == 0 || nove == 0 || zanechano == 0); ++kolo) {
        zanechano += Zabijej(s, *prubeh, 24, kolo);
        QVERIFY(!QTest::currentTestFailed());
        kol += 24;
    }
    qInfo("%d kills of a save of %lld ms: %d left the old file, %d the new one, %d a temporary file", kol,
          prubeh->Celkem, stare, nove, zanechano);
    QVERIFY2(stare > 0 && nove > 0 && zanechano > 0,
             qPrintable(u"old %1, new %2, temporary files left %3"_s.arg(stare).arg(nove).arg(zanechano)));

    // What the kills left is hidden temporary files only, and a later save
    // goes through beside them.
    const QStringList vse = QDir(slozka).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(vse.size(), 1 + Docasne(slozka, u"clanek.txt"_s).size());
    s.Priprav();
    s.Priprav = [] {};
    QVERIFY(Zmer(s));
    QCOMPARE(Precti(soubor), novy);
}

// The settings the window writes when it closes: a value at a time, each a
// replacement of the whole file under a lock. Whenever the program is killed,
// the file reads (never damaged, never empty), every value is the old or the
// new one and none is lost, and a later close writes them all, although a
// lock file of the killed program may be left.
void TestZabiti::nastaveniPriZavreni()
{
    const QString config = Prostredi->Cesta(u"config"_s);
    const QString slozka = config + u"/VELOR"_s;
    const QString soubor = slozka + u"/Lumarin.json"_s;
    const QByteArray stary = R"({
    "HKEY_CURRENT_USER\\Software\\VELOR\\Lumarin": {
        "Jazyk": {"type": "REG_SZ", "data": "CZ"},
        "Maximalni": {"type": "REG_DWORD", "data": 0},
        "Vlevo": {"type": "REG_DWORD", "data": 11},
        "Nahore": {"type": "REG_DWORD", "data": 12},
        "Vyska": {"type": "REG_DWORD", "data": 301},
        "Sirka": {"type": "REG_DWORD", "data": 402},
        "Jine": {"type": "REG_SZ", "data": "a value of another program"}
    },
    "HKEY_CURRENT_USER\\Software\\Jiny\\Program": {
        "Okno": {"type": "REG_BINARY", "data": "00ff10"}
    }
}
)";
    TScenar s;
    s.Program = QCoreApplication::applicationFilePath();
    s.Prostredi = ProstrediDitete(u"nastaveni"_s);
    s.Prostredi.insert(u"LUMARIN_ZABITI_SLOZKA"_s, config);
    s.Slozka = slozka;
    s.Jmeno = u"Lumarin.json"_s;
    s.Priprav = [&] { Zapis(soubor, stary); };

    const auto hodnoty = [&](const QByteArray &Json) {
        QJsonParseError chyba;
        const QJsonObject obsah = QJsonDocument::fromJson(Json, &chyba).object();
        QHash<QString, QJsonValue> h;
        if (chyba.error != QJsonParseError::NoError)
            return h;
        for (auto k = obsah.begin(); k != obsah.end(); ++k) {
            const QJsonObject klic = k.value().toObject();
            for (auto v = klic.begin(); v != klic.end(); ++v)
                h.insert(k.key() + u'\\' + v.key(), v.value());
        }
        return h;
    };
    const QHash<QString, QJsonValue> stare = hodnoty(stary);

    const std::optional<TPrubeh> prubeh = Zmer(s);
    QVERIFY2(prubeh, "the close that is not killed fails");
    const QHash<QString, QJsonValue> nove = hodnoty(Precti(soubor));
    QVERIFY(nove.size() > stare.size());
    QVERIFY(nove != stare);
    QVERIFY2(prubeh->Docasnych > 1, "the settings are not written a value at a time through temporary files");

    s.Over = [&]() -> QString {
        // As the program reads it: a damaged file would be moved aside.
        const QByteArray obsah = Precti(soubor);
        {
            TPromenna xdg("XDG_CONFIG_HOME");
            qputenv("XDG_CONFIG_HOME", KodujCestu(config));
            try {
                TRegistr registr(KEY_READ);
                registr.OtevriKlic(u"\\Software\\VELOR\\Lumarin"_s, false);
            } catch (const ERegistr &chyba) {
                return chyba.Zprava();
            }
        }
        const QHash<QString, QJsonValue> h = hodnoty(obsah);
        for (auto it = stare.cbegin(); it != stare.cend(); ++it)
            if (!h.contains(it.key()))
                return u"the value %1 is lost"_s.arg(it.key());
        for (auto it = h.cbegin(); it != h.cend(); ++it)
            if (it.value() != stare.value(it.key()) && it.value() != nove.value(it.key()))
                return u"the value %1 is neither old nor new"_s.arg(it.key());
        return {};
    };
    int stareNove[2] = {};
    const auto over = s.Over;
    s.Over = [&] {
        const QString chyba = over();
        ++stareNove[hodnoty(Precti(soubor)) == nove];
        return chyba;
    };
    // Another round, with other moments, where a busy machine made every kill
    // of the first miss the writing of the values.
    int zanechano = 0, kol = 0;
    for (int kolo = 0; kolo < 4 && zanechano == 0; ++kolo) {
        zanechano += Zabijej(s, *prubeh, 24, kolo);
        QVERIFY(!QTest::currentTestFailed());
        kol += 24;
    }
    qInfo("%d kills of a close that writes %d values in %lld ms: %d left some values old, %d all new, %d a "
          "temporary file",
          kol, prubeh->Docasnych, prubeh->Celkem, stareNove[0], stareNove[1], zanechano);
    QVERIFY2(zanechano > 0, "no kill fell while a value was written");

    // A lock file of a killed copy does not hold the next one up.
    s.Priprav();
    s.Priprav = [] {};
    QVERIFY(Zmer(s));
    QCOMPARE(hodnoty(Precti(soubor)), nove);
}

int main(int argc, char *argv[])
{
    QApplication aplikace(argc, argv);
    if (const QByteArray role = qgetenv("LUMARIN_ZABITI_DITE"); !role.isEmpty())
        return Dite(role);
    TestZabiti test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#endif

#include "tst_zabiti.moc"
