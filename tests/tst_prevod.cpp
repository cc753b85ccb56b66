// lumarin-convert, the command-line converter: for random files and random
// pair tables it writes the bytes that the window's own path writes (open,
// F6, save) or fails as the window fails, through every route the converter
// has (in place, standard output to a file and to a pipe, standard input from
// a pipe, -o), with blocks small enough that text straddles their
// boundaries; and what a command-line user meets: a filter, in place with
// the mode kept, -r past a binary file and a link, --check's status, a file
// that cannot be written beside files that are converted, a full disk,
// usage errors, the user's table from the settings store. On Windows also
// what only it has: names beyond the ANSI code page, the hidden and read-only
// attributes, paths longer than MAX_PATH, devices refused by -i, standard
// streams without the C runtime's CR LF.

#include "Konverze.h"
#include "KodovaStranka.h"
#include "Prostredi.h"
#include "Registr.h"
#include "Soubory.h"
#include "TextovySoubor.h"
#include "convar.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QRandomGenerator>
#include <QtTest>
#include <QScopeGuard>
#include <functional>
#ifdef Q_OS_WIN
#include "SouborWin.h"
// Komponenty.h has a MulDiv of its own.
#define MulDiv MulDiv_Windows
#include <windows.h>
#undef MulDiv
#else
#include <clocale>
#include <csignal>
#ifdef __GLIBC__
#include <libintl.h>
#endif
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QString Program = QStringLiteral(LUMARIN_CONVERT);

// A path as the converter's messages show it: with the system's separators.
QString Nativni(const QString &Cesta)
{
    return QDir::toNativeSeparators(Cesta);
}

// The bytes of a file without a mark that this system reads as Text: UTF-8
// where text without a mark may be UTF-8, else the 8-bit code page (as on
// Windows, where such a file is always that).
QByteArray BezZnacky(const QString &Text)
{
    if (SystemoveKodovani() == koUtf8BezZnacky)
        return Text.toUtf8();
    QByteArray bajty;
    if (!ZakodujOsmibitove(Text, bajty))
        qFatal("the 8-bit code page cannot hold the test's text");
    return bajty;
}

// The system's words for a file that is not there, as the converter gives
// them: on POSIX strerror's in the C locale the tests start it in; on
// Windows the system's own text, in the system's language (Czech in a Czech
// Wine prefix).
QByteArray NeniTam()
{
#ifdef Q_OS_WIN
    return DuvodSystemu(ERROR_FILE_NOT_FOUND).toUtf8();
#else
    return "No such file or directory";
#endif
}

#ifdef Q_OS_WIN
LPCWSTR W(const QString &Text)
{
    return reinterpret_cast<LPCWSTR>(Text.utf16());
}

DWORD Atributy(const QString &Cesta)
{
    return ::GetFileAttributesW(W(QDir::toNativeSeparators(Cesta)));
}
#endif

struct TBeh {
    int Kod = -1;
    QByteArray Vystup, Chyby;
};

#ifndef Q_OS_WIN
// The converter as another user may start it: the build folder may lie where
// only its owner can enter (a checkout under /root, which is 0700), so this
// is a copy in a folder of its own in the temporary folder, open to all.
// Empty when the copy cannot be made.
QString ProgramProVsechny()
{
    static QTemporaryDir slozka(QDir::tempPath() + u"/lumarin-convert-XXXXXX"_s);
    static const QString kopie = [] {
        const QString cesta = slozka.filePath(u"lumarin-convert"_s);
        if (!slozka.isValid() || !QFile::copy(Program, cesta) ||
            ::chmod(QFile::encodeName(slozka.path()).constData(), 0755) != 0 ||
            ::chmod(QFile::encodeName(cesta).constData(), 0755) != 0)
            return QString();
        return cesta;
    }();
    return kopie;
}
#endif

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
#ifdef Q_OS_WIN
    Q_UNUSED(bBezPrav); // no right to ignore a read-only attribute
    const bool bBezi = Spusteno(p, Program, Argumenty);
#else
    p.setChildProcessModifier([bBezPrav] {
        // The converter starts as a shell starts it: a write beyond the file
        // size limit ends it, unless it sees to that itself.
        std::signal(SIGXFSZ, SIG_DFL);
        // Root may write any file; the converter then runs as nobody.
        if (bBezPrav && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(99);
    });
    const bool bBezi = Spusteno(p, bBezPrav && ::geteuid() == 0 ? ProgramProVsechny() : Program, Argumenty);
#endif
    if (!bBezi) {
        qWarning("the converter did not start: %s", qPrintable(p.errorString()));
        return {};
    }
    p.write(Vstup);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    TBeh beh;
    beh.Kod = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    beh.Vystup = p.readAllStandardOutput();
    beh.Chyby = p.readAllStandardError();
    return beh;
}

// Runs the converter in a process of its own with LUMARIN_CONVERT_STOP=Kde,
// so that it stops itself at that point of its work; each time it stops,
// Zastaveno runs (another program changes a file under it) and the converter
// goes on. Its standard input comes from the file StdinZ (else /dev/null), its
// standard output goes to the file StdoutDo (else a file of its own), its
// standard error to a file of its own. Zastaveni counts its stops.
struct TBehSeZastavenim : TBeh {
    int Zastaveni = 0;
};

#ifdef Q_OS_WIN
// Windows: the converter stops by creating the file named in
// LUMARIN_CONVERT_STOP_FILE (beside Slozka) and goes on once it is removed.
TBehSeZastavenim SpustSeZastavenim(const QStringList &Argumenty, const QString &Kde, const QString &Slozka,
                                   const std::function<void()> &Zastaveno, const QString &StdinZ = {},
                                   const QString &StdoutDo = {})
{
    TBehSeZastavenim beh;
    const QString znacka = Slozka + u".stop"_s;
    QFile::remove(znacka);
    QProcessEnvironment prostredi;
    const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    for (const QString &promenna : system.keys())
        if (!promenna.startsWith(u"LUMARIN_CONVERT_"_s))
            prostredi.insert(promenna, system.value(promenna));
    prostredi.insert(u"LUMARIN_CONVERT_STOP"_s, Kde);
    prostredi.insert(u"LUMARIN_CONVERT_STOP_FILE"_s, Nativni(znacka));
    prostredi.insert(u"LUMARIN_CONVERT_BLOCK"_s, u"65536"_s);
    QProcess p;
    p.setProcessEnvironment(prostredi);
    p.setStandardInputFile(StdinZ.isEmpty() ? QProcess::nullDevice() : StdinZ);
    if (!StdoutDo.isEmpty())
        p.setStandardOutputFile(StdoutDo);
    if (!Spusteno(p, Program, Argumenty)) {
        qWarning("the converter did not start: %s", qPrintable(p.errorString()));
        return beh;
    }
    QElapsedTimer hodiny;
    hodiny.start();
    while (!p.waitForFinished(10) && hodiny.elapsed() < 120000) {
        if (!QFile::exists(znacka))
            continue;
        ++beh.Zastaveni;
        Zastaveno();
        QFile::remove(znacka);
    }
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
    }
    beh.Kod = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    beh.Vystup = StdoutDo.isEmpty() ? p.readAllStandardOutput() : QByteArray();
    beh.Chyby = p.readAllStandardError();
    return beh;
}
#else
TBehSeZastavenim SpustSeZastavenim(const QStringList &Argumenty, const QString &Kde, const QString &Slozka,
                                   const std::function<void()> &Zastaveno, const QString &StdinZ = {},
                                   const QString &StdoutDo = {})
{
    TBehSeZastavenim beh;
    const QByteArray program = KodujCestu(Program);
    QByteArrayList argumenty{program};
    for (const QString &a : Argumenty)
        argumenty << KodujCestu(a);
    QByteArrayList prostredi;
    for (const QString &p : QProcessEnvironment::systemEnvironment().toStringList())
        if (!p.startsWith(u"LUMARIN_CONVERT_"_s))
            prostredi << p.toLocal8Bit();
    prostredi << "LUMARIN_CONVERT_STOP=" + Kde.toUtf8() << "LUMARIN_CONVERT_BLOCK=65536";
    std::vector<char *> argv, envp;
    for (QByteArray &a : argumenty)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (QByteArray &p : prostredi)
        envp.push_back(p.data());
    envp.push_back(nullptr);
    const QByteArray vstup = StdinZ.isEmpty() ? QByteArray("/dev/null") : KodujCestu(StdinZ);
    const QByteArray vystup = KodujCestu(StdoutDo.isEmpty() ? Slozka + u"/.stdout"_s : StdoutDo);
    const QByteArray chyby = KodujCestu(Slozka + u"/.stderr"_s);

    const pid_t dite = ::fork();
    if (dite < 0)
        return beh;
    if (dite == 0) {
        // Only what may be called between fork and exec.
        const int i = ::open(vstup.constData(), O_RDONLY);
        const int o = ::open(vystup.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(chyby.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (i < 0 || o < 0 || e < 0 || ::dup2(i, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0)
            ::_exit(98);
        ::signal(SIGXFSZ, SIG_DFL);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(97);
    }
    int stav = 0;
    for (;;) {
        if (::waitpid(dite, &stav, WUNTRACED) != dite)
            return beh;
        if (!WIFSTOPPED(stav))
            break;
        ++beh.Zastaveni;
        Zastaveno();
        ::kill(dite, SIGCONT);
    }
    beh.Kod = WIFEXITED(stav) ? WEXITSTATUS(stav) : -1;
    beh.Vystup = StdoutDo.isEmpty() ? Precti(Slozka + u"/.stdout"_s) : QByteArray();
    beh.Chyby = Precti(Slozka + u"/.stderr"_s);
    ::unlink(KodujCestu(Slozka + u"/.stdout"_s).constData());
    ::unlink(KodujCestu(Slozka + u"/.stderr"_s).constData());
    return beh;
}

// Removes the folder Jmeno in Slozka and everything below it, at any depth:
// it goes down holding one descriptor and climbs back by "..", so that
// neither the length of a path nor the number of descriptors limits it.
void SmazStrom(int Slozka, const QByteArray &Jmeno)
{
    int fd = ::openat(Slozka, Jmeno.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    QByteArrayList dolu; // the folders below Jmeno that fd went into
    while (fd >= 0) {
        DIR *adresar = ::fdopendir(::dup(fd));
        QByteArray slozka;
        while (const dirent *e = adresar ? ::readdir(adresar) : nullptr) {
            const QByteArray nazev(e->d_name);
            if (nazev == "." || nazev == "..")
                continue;
            struct stat st;
            if (::fstatat(fd, nazev.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
                slozka = nazev;
                break;
            }
            ::unlinkat(fd, nazev.constData(), 0);
        }
        if (adresar)
            ::closedir(adresar);
        if (!slozka.isEmpty()) {
            const int dalsi = ::openat(fd, slozka.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            ::close(fd);
            fd = dalsi;
            dolu << slozka;
            continue;
        }
        if (dolu.isEmpty()) {
            ::close(fd);
            ::unlinkat(Slozka, Jmeno.constData(), AT_REMOVEDIR);
            return;
        }
        const int nahoru = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = nahoru;
        if (fd >= 0)
            ::unlinkat(fd, dolu.takeLast().constData(), AT_REMOVEDIR);
    }
}

#endif

// The names in a folder, hidden ones too.
QStringList Jmena(const QString &Slozka)
{
    return QDir(Slozka).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
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

enum TSelhani { seNic, seOsmibitove, seUtf8, seZastupce };

struct TOkno {
    TSelhani Selhani = seNic;
    QByteArray Bajty;
};

// Which line breaks the text goes through F6 with.
enum TZlomy {
    zlSurove, // as the file has them, as the converter keeps them
    zlCrLf,   // made CR LF, as the converter's --crlf and the window's editor have them
    zlOkno,   // made CR LF, and after F6 written in the file's form, as the window saves
};

// Open, F6, save: the window's own functions, and the question before text
// that the 8-bit code page cannot hold is saved as UTF-8 (answered by
// bNahradni).
TOkno Okno(const QByteArray &Bajty, QString Hledane, QString Nahrady, TZlomy Zlomy, bool bNahradni)
{
    const TTextovySoubor soubor = DekodujText(Bajty);
    QString text = SurovyText(Bajty, soubor.Kodovani);
    if (NormalizujKonceRadku(text) != soubor.Text)
        qFatal("the test reads %s otherwise than the window", Bajty.toHex().constData());
    if (Zlomy != zlSurove)
        text = soubor.Text;
    const bool bZastupci = ZastupujeBajty(soubor.Kodovani);
    if (bZastupci)
        VynechPary(Hledane, Nahrady, 0xDC00, 0xDCFF);
    const QString puvodni = text;
    text = NahradZnaky(text, Hledane, Nahrady);
    // F6 refuses to make or undo a byte's stand-in of UTF-8.
    if ((soubor.Kodovani == koUtf8 || soubor.Kodovani == koUtf8BezZnacky) &&
        MeniOsamelePoloviny(puvodni, text, 0xDC80, 0xDCFF))
        return {seZastupce, {}};
    if (Zlomy == zlOkno)
        text.replace(u"\r\n"_s, ZnakyZlomu(soubor.Zlom).toString());
    TOkno okno;
    if (ZakodujText(text, soubor.Kodovani, okno.Bajty, bZastupci))
        return okno;
    if (soubor.Kodovani == koOsmibitove && !bNahradni)
        return {seOsmibitove, {}};
    if (soubor.Kodovani == koOsmibitove && ZakodujText(text, koUtf8, okno.Bajty, bZastupci))
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
    static const QStringList cesky = {u"Příliš žluťoučký kůň"_s,
                                      u"úpěl ďábelské ódy"_s,
                                      u"ŘEKA Ústí"_s,
                                      u"PÍŠE"_s,
                                      u"The quick fox"_s,
                                      u"č"_s,
                                      u"ň"_s,
                                      u"„uvozovky“ – €"_s,
                                      u" "_s,
                                      u"  "_s,
                                      u"x"_s,
                                      u"Ľudovít Štúr"_s};
    static const QStringList jine = {u"ø"_s,       u"Ωμέγα"_s,  u"中文"_s, u"한국"_s,   u"😀"_s,      u"\U00010080"_s,
                                     u"a\u0301"_s, u"\u034A"_s, u"ȁ"_s,    u"\u0085"_s, u"\uFEFF"_s, u"ſ"_s};
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
    static const QStringList znaky = {u"č"_s, u"ř"_s, u"ž"_s,          u"Ú"_s,  u"ě"_s,      u"a"_s,
                                      u"e"_s, u"x"_s, u"\r"_s,         u"\n"_s, u"ø"_s,      u"Ω"_s,
                                      u"€"_s, u"😀"_s, u"\U00010080"_s, u"中"_s, u"\u0301"_s, u"ȁ"_s};
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
    void novejsiZnaky_data();
    void novejsiZnaky();
    void rozdilovy_data();
    void rozdilovy();
    void filtr_data();
    void filtr();
    void naMiste();
    void konecPriChybeVystupu();
    void rekurzivneBezBinarnich();
    void kontrola();
    void zmenaZdroje_data();
    void zmenaZdroje();
    void rouraNaMiste();
    void hlubokyStrom();
    void binarniPojmenovany_data();
    void binarniPojmenovany();
    void souborBezPrav();
    void plnyDisk_data();
    void plnyDisk();
    void zabitiNaMiste();
    void pouziti_data();
    void pouziti();
    void prikazovaRadka_data();
    void prikazovaRadka();
    void volbyVJazyceUzivatele();
    void jmenoJakoBajty();
    void ciziKodovani_data();
    void ciziKodovani();
    void ciziKodovaniNaHranachBloku();
    void tabulkaUzivatele();
    void tabulkaDelaZastupce_data();
    void tabulkaDelaZastupce();
    void verzeANapoveda();
    void prubehNaTerminalu();

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

// Characters newer than the toolkit's Unicode tables, in a sentence of UTF-8,
// beside windows-1250 words whose bytes form UTF-8 too: the window reads each
// file in its own encoding, and the converter converts it in the same one.
void TestPrevod::novejsiZnaky_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("utf8");
    for (const char32_t znak :
         {U'\u2FFC', U'\uA7CB', U'\u0CF3', U'\u1C89', U'\u31E4', U'\u0897', U'\uA7DC', U'\u31EF', U'\u2FFF'})
        QTest::addRow("U+%04X", uint(znak)) << u"Note: %1 is new.\n"_s.arg(QString::fromUcs4(&znak, 1)) << true;
    for (const QString &slovo : {u"PÍŠE"_s, u"VÝŠE"_s, u"NÍŽE"_s, u"MŮŽE"_s, u"ÚŽASNÝ"_s, u"Fuß»"_s})
        QTest::newRow(qPrintable(u"windows-1250 "_s + slovo)) << slovo << false;
    QTest::newRow("windows-1250 na řádcích") << u"PÍŠE\nVÝŠE\nNÍŽE\n"_s << false;
}

void TestPrevod::novejsiZnaky()
{
    QFETCH(QString, text);
    QFETCH(bool, utf8);
    // The windows-1250 words hold where text without a mark is always the
    // 8-bit code page too.
    if (utf8 && SystemoveKodovani() != koUtf8BezZnacky)
        QSKIP("text without a mark is always the 8-bit code page here");
    QByteArray bajty;
    if (utf8)
        bajty = text.toUtf8();
    else
        QVERIFY(ZakodujOsmibitove(text, bajty));
    const TTextovySoubor soubor = DekodujText(bajty);
    QCOMPARE(int(soubor.Kodovani), int(utf8 ? koUtf8BezZnacky : koOsmibitove));
    QCOMPARE(soubor.Text, NormalizujKonceRadku(text));

    // Read in the other encoding, the default table would change other bytes.
    const QString prevedeny = NahradZnaky(text, VychoziZnakySeZnamenkem, VychoziZnakyBezZnamenka);
    QByteArray ocekavane;
    if (utf8)
        ocekavane = prevedeny.toUtf8();
    else
        QVERIFY(ZakodujOsmibitove(prevedeny, ocekavane));
    const TBeh beh = Spust({u"--default-table"_s}, bajty);
    QCOMPARE(beh.Vystup, ocekavane);
    QCOMPARE(beh.Kod, 0);
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
        const TTabulkaTestu tabulka =
            t == 0 ? TTabulkaTestu{VychoziZnakySeZnamenkem, VychoziZnakyBezZnamenka} : NahodnaTabulka(r);
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
            return u"table %1 → %2, file %3"_s.arg(tabulka.Hledane, tabulka.Nahrady,
                                                   QString::fromLatin1(vstupy[s].toHex().left(400)));
        };
        // The window writes a file back with its line breaks as they are
        // when they are all of one form, as the converter does without
        // --crlf, unless the table looks for a CR or LF (the window's
        // editor sees each break as CR LF) or puts one in (next to each other
        // they make a CR LF, a break the window writes in the file's form).
        const auto zlomTabulky = [](const QString &Znaky) { return Znaky.contains(u'\r') || Znaky.contains(u'\n'); };
        if (!crlf && !zlomTabulky(tabulka.Hledane) && !zlomTabulky(tabulka.Nahrady))
            for (int s = 0; s < souboru; ++s) {
                if (DekodujText(vstupy[s]).PoctyZlomu.Smisene())
                    continue;
                const TOkno okno = Okno(vstupy[s], tabulka.Hledane, tabulka.Nahrady, zlOkno, nahradni);
                const TOkno prevod = Okno(vstupy[s], tabulka.Hledane, tabulka.Nahrady, zlSurove, nahradni);
                QVERIFY2(okno.Selhani == prevod.Selhani && okno.Bajty == prevod.Bajty, qPrintable(popis(s)));
            }
        // What each file's line on standard error says when it fails.
        const auto overChybu = [&](const QByteArray &Chyby, int s, const TOkno &okno, const QString &Jmeno) {
            const QByteArray radek = "lumarin-convert: " +
                Nativni(okno.Selhani == seOsmibitove || okno.Selhani == seZastupce || Jmeno.isEmpty() ? cesty[s]
                                                                                                      : Jmeno)
                    .toUtf8() +
                ": ";
            QVERIFY2(Chyby.contains(radek), qPrintable(popis(s) + u"\n"_s + QString::fromUtf8(Chyby.left(1000))));
        };

        if (cesta == u"-i") {
            const TBeh beh = Spust(argumenty + QStringList{u"-i"_s} + cesty, {}, {}, prostredi);
            bool bSelhani = false;
            for (int s = 0; s < souboru; ++s) {
                const TOkno okno =
                    Okno(vstupy[s], tabulka.Hledane, tabulka.Nahrady, crlf ? zlCrLf : zlSurove, nahradni);
                bSelhani = bSelhani || okno.Selhani != seNic;
                if (okno.Selhani == seNic) {
                    QVERIFY2(Precti(cesty[s]) == okno.Bajty,
                             qPrintable(popis(s) +
                                        u"\ngot  %1\nwant %2"_s.arg(QString::fromLatin1(Precti(cesty[s]).toHex()),
                                                                    QString::fromLatin1(okno.Bajty.toHex()))));
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
                const TOkno okno =
                    Okno(vstupy[s], tabulka.Hledane, tabulka.Nahrady, crlf ? zlCrLf : zlSurove, nahradni);
                ocekavane += okno.Bajty;
                if (okno.Selhani != seNic)
                    overChybu(beh.Chyby, s, okno, QString());
            }
            QCOMPARE(cesta == u"soubor" ? Precti(vystup) : beh.Vystup, ocekavane);
        } else {
            for (int s = 0; s < souboru; ++s) {
                const TOkno okno =
                    Okno(vstupy[s], tabulka.Hledane, tabulka.Nahrady, crlf ? zlCrLf : zlSurove, nahradni);
                if (cesta == u"stdin") {
                    const TBeh beh = Spust(argumenty, vstupy[s], {}, prostredi);
                    QVERIFY2(beh.Vystup == okno.Bajty, qPrintable(popis(s)));
                    QCOMPARE(beh.Kod, okno.Selhani == seNic ? 0 : 1);
                } else {
                    const QString vystup = Prostredi->Cesta(u"o%1_%2.txt"_s.arg(t).arg(s));
                    Zapis(vystup, "old");
                    const TBeh beh = Spust(argumenty + QStringList{u"-o"_s, vystup, cesty[s]}, {}, {}, prostredi);
                    const QByteArray ocekavane = okno.Selhani == seNic ? okno.Bajty : "old";
                    QVERIFY2(Precti(vystup) == ocekavane,
                             qPrintable(popis(s) +
                                        u"\ngot  %1\nwant %2\n%3"_s.arg(QString::fromLatin1(Precti(vystup).toHex()),
                                                                        QString::fromLatin1(ocekavane.toHex()),
                                                                        QString::fromUtf8(beh.Chyby))));
                    if (okno.Selhani != seNic)
                        overChybu(beh.Chyby, s, okno, okno.Selhani == seUtf8 ? vystup : QString());
                    QCOMPARE(beh.Kod, okno.Selhani == seNic ? 0 : 1);
                }
            }
        }
    }
}

void TestPrevod::filtr_data()
{
    QTest::addColumn<QStringList>("argumenty");
    QTest::addColumn<QByteArray>("vstup");
    QTest::addColumn<QByteArray>("vystup");
    QByteArray cesky1250;
    ZakodujOsmibitove(u"Žluťoučký kůň\r\n"_s, cesky1250);
    // Without a mark: UTF-8, or on Windows the ANSI code page. Standard input
    // and output carry bytes, with no CR added before LF nor an end at ^Z.
    QTest::newRow("bez značky, konce řádků jak jsou")
        << QStringList{} << BezZnacky(u"Kůň\r\nčte\rdál\n"_s) << QByteArray("Kun\r\ncte\rdal\n");
    QTest::newRow("--crlf") << QStringList{u"--crlf"_s} << BezZnacky(u"Kůň\r\nčte\rdál\n"_s)
                            << QByteArray("Kun\r\ncte\r\ndal\r\n");
    QTest::newRow("bajt 0x1A") << QStringList{} << BezZnacky(u"ž\x1Aár\n\x1A"_s)
                               << QByteArray("z\x1A"
                                             "ar\n\x1A");
    QTest::newRow("pomlčka") << QStringList{u"-"_s} << BezZnacky(u"žár"_s) << QByteArray("zar");
    QTest::newRow("windows-1250") << QStringList{} << cesky1250 << QByteArray("Zlutoucky kun\r\n");
    QTest::newRow("UTF-8 se značkou") << QStringList{} << QByteArray("\xEF\xBB\xBF") + u"ěšč"_s.toUtf8()
                                      << QByteArray("\xEF\xBB\xBF"
                                                    "esc");
    QTest::newRow("UTF-16LE se značkou") << QStringList{} << QByteArray("\xFF\xFE") + Utf16(u"Žár"_s, false)
                                         << QByteArray("\xFF\xFE") + Utf16(u"Zar"_s, false);
    QTest::newRow("--encoding UTF-16BE bez značky")
        << QStringList{u"--encoding=utf-16be"_s} << Utf16(u"čaj"_s, true) << Utf16(u"caj"_s, true);
    QTest::newRow("--encoding windows-1250")
        << QStringList{u"--encoding"_s, u"windows-1250"_s} << QByteArray("\xEF\xBB\xBF\xE8")
        << QByteArray("d\xBB"
                      "zc");
    QTest::newRow("--pairs") << QStringList{u"--pairs"_s, u"ab"_s, u"x"_s} << QByteArray("abc") << QByteArray("xbc");
    // An option given twice with the same value asks for one thing.
    QTest::newRow("--encoding dvakrát stejně")
        << QStringList{u"--encoding=utf8"_s, u"--encoding=UTF-8"_s} << QByteArray("\xC4\x8D") << QByteArray("c");
}

// Standard input to standard output, in the encoding it came in.
void TestPrevod::filtr()
{
    QFETCH(QStringList, argumenty);
    QFETCH(QByteArray, vstup);
    QFETCH(QByteArray, vystup);
    if (!argumenty.contains(u"--pairs"_s))
        argumenty.prepend(u"--default-table"_s);
    const TBeh beh = Spust(argumenty, vstup);
    QCOMPARE(beh.Vystup, vystup);
    QCOMPARE(beh.Chyby, QByteArray());
    QCOMPARE(beh.Kod, 0);
}

// In place: the converted text under the same name (one beyond the ANSI
// code page of Windows too) with the same mode, or on Windows the same hidden
// attribute; a file with nothing to convert is not written at all; a file
// that is also standard output's is refused rather than read while it grows.
void TestPrevod::naMiste()
{
    const QString a = Prostredi->Cesta(u"a b Ωmega 中文.txt"_s), b = Prostredi->Cesta(u"b.txt"_s);
    Zapis(a, BezZnacky(u"Řeřicha\n"_s));
    Zapis(b, "nic\n");
#ifdef Q_OS_WIN
    QVERIFY(::SetFileAttributesW(W(Nativni(a)), FILE_ATTRIBUTE_HIDDEN));
#else
    QVERIFY(::chmod(KodujCestu(a).constData(), 0640) == 0);
#endif
    const std::optional<TIdentitaSouboru> pred = IdentitaSouboru(b);
    QVERIFY(pred);
    const TBeh beh = Spust({u"--default-table"_s, u"-i"_s, a, b});
    QCOMPARE(beh.Chyby, QByteArray());
    QCOMPARE(beh.Kod, 0);
    QCOMPARE(Precti(a), QByteArray("Rericha\n"));
#ifdef Q_OS_WIN
    QVERIFY2(Atributy(a) != INVALID_FILE_ATTRIBUTES && (Atributy(a) & FILE_ATTRIBUTE_HIDDEN),
             qPrintable(QString::number(Atributy(a), 16)));
#else
    struct stat po;
    ::stat(KodujCestu(a).constData(), &po);
    QCOMPARE(po.st_mode & 07777, mode_t(0640));
#endif
    QCOMPARE(IdentitaSouboru(b), pred);
    QCOMPARE(Jmena(Prostredi->Cesta(QString())), (QStringList{u"a b Ωmega 中文.txt"_s, u"b.txt"_s}));

    const TBeh sebe = Spust({u"--default-table"_s, a, b}, {}, b);
    QCOMPARE(sebe.Kod, 1);
    QVERIFY2(sebe.Chyby.contains(Nativni(b).toUtf8() + ": The input is the file that standard output writes to"),
             sebe.Chyby.constData());
}

// Standard output that cannot be written ends the run: no later file could
// be written there either. An input's own error ends nothing, also where the
// input's name makes its message read like one of standard output.
void TestPrevod::konecPriChybeVystupu()
{
    const QString b = Prostredi->Cesta(u"b.txt"_s);
    Zapis(b, BezZnacky(u"č"_s));
    const QString jmeno = u"standard output"_s; // named relative to the working folder, as messages name it
    Zapis(Prostredi->Cesta(jmeno), "x");
    // The converter starts in the test's working folder, which is made the
    // file's folder for this test.
    const QString predtim = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QFileInfo(Prostredi->Cesta(jmeno)).absolutePath()));
    const auto zpet = qScopeGuard([&] { QDir::setCurrent(predtim); });
    const TBeh beh = Spust({u"--default-table"_s, jmeno, b}, {}, Prostredi->Cesta(jmeno));
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(beh.Chyby,
             QByteArray("lumarin-convert: standard output: The input is the file that standard output "
                        "writes to\n"));
    QCOMPARE(Precti(Prostredi->Cesta(jmeno)), QByteArray("c"));
#ifndef Q_OS_WIN
    // Two files into a full device: one message, the second file not tried.
    const TBeh plny = Spust({u"--default-table"_s, b, b}, {}, u"/dev/full"_s);
    QCOMPARE(plny.Kod, 1);
    QCOMPARE(plny.Chyby, QByteArray("lumarin-convert: standard output: No space left on device\n"));
    // What only lists or tells (the --check list, the help, the version)
    // into a full device is trouble too, never "found work" or success.
    const QString c = Prostredi->Cesta(u"c.txt"_s);
    Zapis(c, "\xC4\x8D");
    const QByteArray plnyDisk = "lumarin-convert: standard output: No space left on device\n";
    for (const auto &[argumenty, kod] :
         {std::pair{QStringList{u"--default-table"_s, u"--check"_s, c}, 2},
          std::pair{QStringList{u"--default-table"_s, u"--check"_s, u"-0"_s, c}, 2},
          std::pair{QStringList{u"--help"_s}, 1}, std::pair{QStringList{u"--version"_s}, 1}}) {
        const TBeh beh = Spust(argumenty, {}, u"/dev/full"_s);
        QCOMPARE(beh.Kod, kod);
        QCOMPARE(beh.Chyby, plnyDisk);
    }
    QCOMPARE(Precti(c), QByteArray("\xC4\x8D"));
#endif
}

// -r converts the files below a folder; a file with a NUL byte in its first
// 8 KB is skipped with a note (UTF-16 with its mark is not binary), and
// symbolic links are not followed.
void TestPrevod::rekurzivneBezBinarnich()
{
    const QString slozka = Prostredi->Cesta(u"strom"_s), venku = Prostredi->Cesta(u"venku"_s);
    const QByteArray c = BezZnacky(u"č"_s);
    Zapis(slozka + u"/a.txt"_s, c);
    Zapis(slozka + u"/hloub/b.txt"_s, BezZnacky(u"ř"_s));
    Zapis(slozka + u"/utf16.txt"_s, "\xFF\xFE\x0D\x01");
    const QByteArray binarni = c + QByteArray("\x00\x01", 2);
    Zapis(slozka + u"/obraz.bin"_s, binarni);
    const QByteArray pozde = QByteArray(8192, 'x') + '\0' + c;
    Zapis(slozka + u"/pozde.txt"_s, pozde);
    Zapis(venku + u"/c.txt"_s, c);
#ifdef Q_OS_WIN
    const bool bOdkazy = ::CreateSymbolicLinkW(W(Nativni(slozka + u"/odkaz.txt"_s)), W(Nativni(venku + u"/c.txt"_s)),
                                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
        ::CreateSymbolicLinkW(W(Nativni(slozka + u"/odkaz"_s)), W(Nativni(venku)),
                              SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
#else
    QVERIFY(::symlink(KodujCestu(venku + u"/c.txt"_s).constData(), KodujCestu(slozka + u"/odkaz.txt"_s).constData()) ==
            0);
    QVERIFY(::symlink(KodujCestu(venku).constData(), KodujCestu(slozka + u"/odkaz"_s).constData()) == 0);
    const bool bOdkazy = true;
#endif

    const TBeh beh = Spust({u"--default-table"_s, u"-r"_s, u"-i"_s, slozka});
    QCOMPARE(beh.Kod, 0);
    QCOMPARE(Precti(slozka + u"/a.txt"_s), QByteArray("c"));
    QCOMPARE(Precti(slozka + u"/hloub/b.txt"_s), QByteArray("r"));
    QCOMPARE(Precti(slozka + u"/utf16.txt"_s), QByteArray("\xFF\xFE\x63\x00", 4));
    QCOMPARE(Precti(slozka + u"/obraz.bin"_s), binarni);
    QCOMPARE(Precti(slozka + u"/pozde.txt"_s),
             QByteArray(8192, 'x') +
                 QByteArray("\x00"
                            "c",
                            2));
    QCOMPARE(Precti(venku + u"/c.txt"_s), c);
    QCOMPARE(beh.Chyby,
             ("lumarin-convert: " + Nativni(slozka + u"/obraz.bin"_s) +
              u": skipped, a binary file (--binary converts it)\n"_s)
                 .toUtf8());

    QCOMPARE(Spust({u"--default-table"_s, u"--binary"_s, u"-i"_s, slozka + u"/obraz.bin"_s}).Kod, 0);
    QCOMPARE(Precti(slozka + u"/obraz.bin"_s), QByteArray("c\x00\x01", 3));
    // Without -r a folder is an error of its own; the files beside it are converted.
    const TBeh bezR = Spust({u"--default-table"_s, u"-i"_s, slozka, venku + u"/c.txt"_s});
    QCOMPARE(bezR.Kod, 1);
    QVERIFY2(bezR.Chyby.contains("-r converts the files in it"), bezR.Chyby.constData());
    QCOMPARE(Precti(venku + u"/c.txt"_s), QByteArray("c"));
#ifdef Q_OS_WIN
    // The shell leaves * and ? to the program: they match the files and
    // folders of the name's folder, in the order of their names.
    Zapis(slozka + u"/d.txt"_s, c);
    Zapis(slozka + u"/e1.txt"_s, c);
    const TBeh vzor = Spust({u"--default-table"_s, u"--check"_s, Nativni(slozka) + u"\\?.txt"_s, slozka + u"/e*"_s,
                             slozka + u"/nic*.txt"_s});
    QCOMPARE(
        vzor.Vystup,
        (Nativni(slozka + u"/d.txt: 1 character replaced\n"_s) + Nativni(slozka + u"/e1.txt: 1 character replaced\n"_s))
            .toUtf8());
    QVERIFY2(vzor.Chyby.startsWith(u"lumarin-convert: %1: "_s.arg(Nativni(slozka + u"/nic*.txt"_s)).toUtf8()),
             vzor.Chyby.constData());
#endif
    if (!bOdkazy)
        QSKIP("this system makes no symbolic links for this user (Windows without developer mode): "
              "links met by -r were not tried");
}

// --check changes nothing, lists the files that would change and says so by
// its exit status.
void TestPrevod::kontrola()
{
    const QString a = Prostredi->Cesta(u"a.txt"_s), b = Prostredi->Cesta(u"b.txt"_s);
    Zapis(a, BezZnacky(u"čárka\n"_s));
    Zapis(b, "ascii\n");
    TBeh beh = Spust({u"--default-table"_s, u"--check"_s, a, b});
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(beh.Vystup, Nativni(a).toUtf8() + ": 2 characters replaced\n");
    QCOMPARE(Precti(a), BezZnacky(u"čárka\n"_s));

    beh = Spust({u"--default-table"_s, u"--check"_s, b});
    QCOMPARE(beh.Kod, 0);
    QCOMPARE(beh.Vystup, QByteArray());

    beh = Spust({u"--default-table"_s, u"--check"_s, u"--crlf"_s, b});
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(beh.Vystup, Nativni(b).toUtf8() + ": 0 characters replaced, 1 line break rewritten\n");
}

void TestPrevod::zmenaZdroje_data()
{
    QTest::addColumn<QString>("cesta"); // "-i", "-o", "stdout", "stdin" (a file as standard input) or "--check"
    QTest::addColumn<QString>(
        "kdy"); // "read": after the first block; "replace": just before the output replaces a file
    QTest::addColumn<QString>("zmena"); // "append": 40 lines added; "rename": a new file put in its place
    QTest::addColumn<bool>("odkaz");    // another hard link, so that -i writes into the file itself
    QTest::newRow("-i, appended while read") << u"-i"_s << u"read"_s << u"append"_s << false;
    QTest::newRow("-i, appended before the rename") << u"-i"_s << u"replace"_s << u"append"_s << false;
    QTest::newRow("-i, replaced before the rename") << u"-i"_s << u"replace"_s << u"rename"_s << false;
    QTest::newRow("-i, hard link, appended while read") << u"-i"_s << u"read"_s << u"append"_s << true;
    QTest::newRow("-i, hard link, appended before the write") << u"-i"_s << u"replace"_s << u"append"_s << true;
    QTest::newRow("-o, appended while read") << u"-o"_s << u"read"_s << u"append"_s << false;
    QTest::newRow("-o, appended before the rename") << u"-o"_s << u"replace"_s << u"append"_s << false;
    QTest::newRow("standard output, appended while read") << u"stdout"_s << u"read"_s << u"append"_s << false;
    QTest::newRow("standard input, appended while read") << u"stdin"_s << u"read"_s << u"append"_s << false;
    QTest::newRow("--check, appended while read") << u"--check"_s << u"read"_s << u"append"_s << false;
}

// A file that another program changes while the converter reads it, or after
// it has read it and before the converted text replaces it, fails with the
// change named: nothing that was appended is lost, a file put in its place
// stays, -o leaves its old output, standard output is taken back, and no
// route passes such a file for converted.
void TestPrevod::zmenaZdroje()
{
    QFETCH(QString, cesta);
    QFETCH(QString, kdy);
    QFETCH(QString, zmena);
    QFETCH(bool, odkaz);
    const QString slozka = Prostredi->Cesta(u"zmena"_s);
    VytvorSlozku(slozka);
    const QString zdroj = slozka + u"/velky.txt"_s, vystup = slozka + u"/vystup.txt"_s;
    const QByteArray puvodni = BezZnacky(u"Příliš žluťoučký kůň úpěl ďábelské ódy.\n"_s).repeated(30000);
    Zapis(zdroj, puvodni);
#ifdef Q_OS_WIN
    if (odkaz)
        QVERIFY(::CreateHardLinkW(W(Nativni(slozka + u"/odkaz.txt"_s)), W(Nativni(zdroj)), nullptr));
#else
    if (odkaz)
        QCOMPARE(::link(KodujCestu(zdroj).constData(), KodujCestu(slozka + u"/odkaz.txt"_s).constData()), 0);
#endif
    Zapis(vystup, "old");
    const QStringList jmena = Jmena(slozka);

    // The other program: a shell that keeps the file open while it appends
    // 40 lines, or one that writes a new file and renames it over the old.
    QByteArray ocekavane;
    if (zmena == u"append") {
        ocekavane = puvodni;
        for (int i = 1; i <= 40; ++i)
            ocekavane += "ONE LINE APPENDED " + QByteArray::number(i) + '\n';
    } else {
        ocekavane = "NEW\n";
    }
#ifdef Q_OS_WIN
    // Here the test itself, through the system's calls as another program
    // makes them, while the converter has the file open. Just before it is
    // written, a file that -i writes into itself (it has another hard link)
    // is shut to other writers, and a file that is open may not be renamed
    // over on every system: that program is then refused (bOdmitnut), its
    // change never happens, and the converted text is the file's.
    bool bOdmitnut = false;
    const bool bMuzeOdmitnout = cesta == u"-i" && kdy == u"replace" && (odkaz || zmena == u"rename");
    const auto odmitnut = [&](DWORD Chyba) {
        QVERIFY2(bMuzeOdmitnout && (Chyba == ERROR_SHARING_VIOLATION || Chyba == ERROR_ACCESS_DENIED),
                 qPrintable(DuvodSystemu(Chyba)));
        bOdmitnut = true;
    };
    const auto jinyProgram = [&] {
        if (zmena == u"append") {
            const HANDLE f = ::CreateFileW(W(Nativni(zdroj)), FILE_APPEND_DATA,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (f == INVALID_HANDLE_VALUE)
                return odmitnut(::GetLastError());
            for (int i = 1; i <= 40; ++i) {
                const QByteArray radek = "ONE LINE APPENDED " + QByteArray::number(i) + '\n';
                DWORD zapsano = 0;
                QVERIFY(::WriteFile(f, radek.constData(), DWORD(radek.size()), &zapsano, nullptr) &&
                        zapsano == DWORD(radek.size()));
            }
            ::CloseHandle(f);
        } else {
            Zapis(zdroj + u".new"_s, "NEW\n");
            if (!::MoveFileExW(W(Nativni(zdroj + u".new"_s)), W(Nativni(zdroj)), MOVEFILE_REPLACE_EXISTING)) {
                const DWORD chyba = ::GetLastError();
                QVERIFY(QFile::remove(zdroj + u".new"_s));
                return odmitnut(chyba);
            }
        }
    };
#else
    const auto jinyProgram = [&] {
        QProcess sh;
        sh.start(u"/bin/sh"_s,
                 {u"-c"_s,
                  zmena == u"append"
                      ? u"i=1; while [ $i -le 40 ]; do echo \"ONE LINE APPENDED $i\"; i=$((i+1)); done >> \"$1\""_s
                      : u"printf 'NEW\\n' > \"$1.new\" && mv \"$1.new\" \"$1\""_s,
                  u"sh"_s, zdroj});
        QVERIFY(sh.waitForFinished(30000));
        QCOMPARE(sh.exitCode(), 0);
    };
#endif

    QStringList argumenty{u"--default-table"_s};
    QString stdinZ, stdoutDo;
    if (cesta == u"-i") {
        argumenty << u"-i"_s << zdroj;
    } else if (cesta == u"-o") {
        argumenty << u"-o"_s << vystup << zdroj;
    } else if (cesta == u"stdout") {
        argumenty << zdroj;
        stdoutDo = vystup;
    } else if (cesta == u"stdin") {
        stdinZ = zdroj;
        stdoutDo = vystup;
    } else {
        argumenty << u"--check"_s << zdroj;
    }
    const TBehSeZastavenim beh = SpustSeZastavenim(argumenty, kdy, slozka, jinyProgram, stdinZ, stdoutDo);
    QCOMPARE(beh.Zastaveni, 1);
#ifdef Q_OS_WIN
    if (bOdmitnut) {
        const QByteArray prevedeny = BezZnacky(u"Prilis zlutoucky kun upel dabelske ody.\n"_s).repeated(30000);
        QCOMPARE(beh.Chyby, QByteArray());
        QCOMPARE(beh.Kod, 0);
        QVERIFY2(Precti(zdroj) == prevedeny, "the file is not the converted text");
        if (odkaz)
            QVERIFY(Precti(slozka + u"/odkaz.txt"_s) == prevedeny);
        QCOMPARE(Jmena(slozka), jmena);
        return;
    }
#endif
    // --check could not check the file: trouble (2), not work found (1).
    QCOMPARE(beh.Kod, cesta == u"--check" ? 2 : 1);
    const QString jmeno = cesta == u"stdin" ? u"standard input"_s : Nativni(zdroj);
    QCOMPARE(beh.Chyby, ("lumarin-convert: " + jmeno + u": The file changed while it was read\n"_s).toUtf8());
    QVERIFY2(Precti(zdroj) == ocekavane, "the other program's change is lost");
    if (odkaz)
        QVERIFY(Precti(slozka + u"/odkaz.txt"_s) == ocekavane);
    // No output passes for the result: -o keeps its old file, standard
    // output is taken back, --check lists nothing.
    QCOMPARE(Precti(vystup), !stdoutDo.isEmpty() ? QByteArray() : QByteArray("old"));
    QCOMPARE(beh.Vystup, QByteArray());
    QCOMPARE(Jmena(slozka), jmena);
}

#ifdef Q_OS_WIN
// -i refuses a device without opening it: a named pipe (whose server waits
// for a client, and would take the converter for one) and NUL; the files
// after it are converted. Without -i a named pipe is read as any client
// reads it.
void TestPrevod::rouraNaMiste()
{
    const QString a = Prostredi->Cesta(u"a.txt"_s), b = Prostredi->Cesta(u"b.txt"_s);
    const QString roura = u"\\\\.\\pipe\\lumarin-convert-test-%1"_s.arg(QCoreApplication::applicationPid());
    const HANDLE server =
        ::CreateNamedPipeW(W(roura), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_NOWAIT, 1, 4096, 4096, 0, nullptr);
    QVERIFY(server != INVALID_HANDLE_VALUE);
    auto zavri = qScopeGuard([&] { ::CloseHandle(server); });
    for (const QString &zarizeni : {roura, u"NUL"_s}) {
        Zapis(a, BezZnacky(u"č"_s));
        Zapis(b, BezZnacky(u"ř"_s));
        const TBeh beh = Spust({u"--default-table"_s, u"-i"_s, a, zarizeni, b});
        QCOMPARE(beh.Kod, 1);
        QCOMPARE(
            beh.Chyby,
            (u"lumarin-convert: "_s + zarizeni + u": It is not a regular file, which -i could replace\n"_s).toUtf8());
        QCOMPARE(Precti(a), QByteArray("c"));
        QCOMPARE(Precti(b), QByteArray("r"));
    }
    // No client has come.
    QVERIFY(!::ConnectNamedPipe(server, nullptr));
    QCOMPARE(::GetLastError(), DWORD(ERROR_PIPE_LISTENING));

    // To standard output, the pipe is read once its server writes.
    QProcess p;
    p.start(Program, {u"--default-table"_s, roura});
    QElapsedTimer hodiny;
    hodiny.start();
    while (!(!::ConnectNamedPipe(server, nullptr) && ::GetLastError() == ERROR_PIPE_CONNECTED) &&
           hodiny.elapsed() < 30000)
        ::Sleep(10);
    const QByteArray data = BezZnacky(u"Žár"_s);
    DWORD zapsano = 0;
    QVERIFY(::WriteFile(server, data.constData(), DWORD(data.size()), &zapsano, nullptr));
    QCOMPARE(int(zapsano), int(data.size()));
    // Read to its end before the server goes, which ends it for the reader.
    ::FlushFileBuffers(server);
    zavri.dismiss();
    ::CloseHandle(server);
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.readAllStandardOutput(), QByteArray("Zar"));
    QCOMPARE(p.exitCode(), 0);
}
#else
// -i refuses a named pipe without opening it for reading: it neither waits
// for a writer nor takes the data of a writer waiting for a reader, and the
// files after it are converted. Without -i a named pipe is read as any
// reader reads it.
void TestPrevod::rouraNaMiste()
{
    const QString a = Prostredi->Cesta(u"a.txt"_s), roura = Prostredi->Cesta(u"roura"_s),
                  b = Prostredi->Cesta(u"b.txt"_s);
    QCOMPARE(::mkfifo(KodujCestu(roura).constData(), 0644), 0);
    const auto spust = [&](const QStringList &Argumenty, QProcess &p) {
        p.start(Program, Argumenty);
        const bool bHotovo = p.waitForFinished(10000);
        if (!bHotovo) {
            p.kill();
            p.waitForFinished();
        }
        return bHotovo;
    };
    const QByteArray chyba =
        ("lumarin-convert: " + roura + u": It is not a regular file, which -i could replace\n"_s).toUtf8();
    // Without a writer, and with one that waits for a reader to write DATA.
    for (const bool bPisatel : {false, true}) {
        Zapis(a, u"č"_s.toUtf8());
        Zapis(b, u"ř"_s.toUtf8());
        QProcess pisatel;
        if (bPisatel) {
            pisatel.start(u"/bin/sh"_s, {u"-c"_s, u"printf DATA > \"$1\""_s, u"sh"_s, roura});
            QVERIFY(pisatel.waitForStarted());
        }
        QProcess p;
        QVERIFY2(spust({u"--default-table"_s, u"-i"_s, a, roura, b}, p), "-i waits on a named pipe");
        QCOMPARE(p.exitCode(), 1);
        QCOMPARE(p.readAllStandardError(), chyba);
        QCOMPARE(Precti(a), QByteArray("c"));
        QCOMPARE(Precti(b), QByteArray("r"));
        if (bPisatel) {
            // The writer still waits, its data unwritten: a reader now gets it.
            const int ctenar = ::open(KodujCestu(roura).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            QVERIFY(ctenar >= 0);
            QVERIFY(pisatel.waitForFinished(10000));
            char data[16];
            const ssize_t n = ::read(ctenar, data, sizeof data);
            ::close(ctenar);
            QCOMPARE(QByteArray(data, int(qMax<ssize_t>(n, 0))), QByteArray("DATA"));
        }
    }

    // To standard output, the pipe is read once a writer comes.
    QProcess pisatel;
    pisatel.start(u"/bin/sh"_s, {u"-c"_s, u"sleep 0.2; printf '\\305\\275\\303\\241r' > \"$1\""_s, u"sh"_s, roura});
    QProcess p;
    QVERIFY(spust({u"--default-table"_s, roura}, p));
    QCOMPARE(p.readAllStandardOutput(), QByteArray("Zar"));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(pisatel.waitForFinished(10000));
}
#endif

#ifdef Q_OS_WIN
// A tree whose deeper paths are longer than a plain call of Windows takes
// (MAX_PATH, 260 characters; 150 folders below the test's own): -r reads,
// checks and replaces every file in it through the \\?\ prefix, and a file
// that deep named on the command line is converted as well, with no
// temporary file left beside it.
void TestPrevod::hlubokyStrom()
{
    const QString koren = Prostredi->Cesta(u"hluboko"_s);
    const int hloubka = 150, stred = 60;
    const auto cestaV = [&](int Uroven) { return koren + u"/d"_s.repeated(Uroven) + u"/f.txt"_s; };
    Zapis(cestaV(0), BezZnacky(u"č"_s));
    Zapis(cestaV(stred), BezZnacky(u"ř"_s));
    Zapis(cestaV(hloubka), BezZnacky(u"ž"_s));
    QVERIFY(cestaV(hloubka).size() > MAX_PATH + 10);
    QCOMPARE(Precti(cestaV(hloubka)), BezZnacky(u"ž"_s));

    // In the order of the names: "d" before "f.txt", the deepest file first.
    TBeh beh = Spust({u"--default-table"_s, u"--check"_s, u"-r"_s, koren});
    QCOMPARE(beh.Chyby, QByteArray());
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(beh.Vystup,
             Nativni(cestaV(hloubka) + u": 1 character replaced\n"_s + cestaV(stred) + u": 1 character replaced\n"_s +
                     cestaV(0) + u": 1 character replaced\n"_s)
                 .toUtf8());
    beh = Spust({u"--default-table"_s, u"-r"_s, koren});
    QCOMPARE(beh.Chyby, QByteArray());
    QCOMPARE(beh.Vystup, QByteArray("zrc"));
    QCOMPARE(beh.Kod, 0);

    // Named on the command line; the temporary file beside it is gone.
    beh = Spust({u"--default-table"_s, u"-i"_s, cestaV(hloubka)});
    QCOMPARE(beh.Chyby, QByteArray());
    QCOMPARE(beh.Kod, 0);
    QCOMPARE(Precti(cestaV(hloubka)), QByteArray("z"));
    QCOMPARE(Jmena(koren + u"/d"_s.repeated(hloubka)), QStringList{u"f.txt"_s});
    beh = Spust({u"--default-table"_s, u"-r"_s, u"-i"_s, koren});
    QCOMPARE(beh.Chyby, QByteArray());
    QCOMPARE(beh.Kod, 0);
    QCOMPARE(Precti(cestaV(0)), QByteArray("c"));
    QCOMPARE(Precti(cestaV(stred)), QByteArray("r"));
    beh = Spust({u"--default-table"_s, u"--check"_s, u"-r"_s, koren});
    QCOMPARE(beh.Vystup, QByteArray());
    QCOMPARE(beh.Kod, 0);
}
#else
// A tree deeper than any path the system takes at once (2,100 folders, so
// that the deepest paths are longer than PATH_MAX): -r reads, checks and
// replaces every file in it, and a file that deep named on the command line
// is converted as well.
void TestPrevod::hlubokyStrom()
{
    const QString koren = Prostredi->Cesta(u"hluboko"_s);
    VytvorSlozku(koren);
    const auto smaz = qScopeGuard([&] { SmazStrom(AT_FDCWD, KodujCestu(koren)); });
    const int hloubka = 2100, stred = 1000;
    const auto zapisDo = [](int Slozka, const QByteArray &Bajty) {
        const int fd = ::openat(Slozka, "f.txt", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, Bajty.constData(), size_t(Bajty.size())), ssize_t(Bajty.size()));
        ::close(fd);
    };
    // The file f.txt in the folder that many levels down, read or listed by
    // descriptors.
    const auto slozkaV = [&](int Uroven) {
        int fd = ::open(KodujCestu(koren).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int i = 0; i < Uroven && fd >= 0; ++i) {
            const int dalsi = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            fd = dalsi;
        }
        return fd;
    };
    const auto prectiV = [&](int Uroven) {
        const int slozka = slozkaV(Uroven);
        const int fd = ::openat(slozka, "f.txt", O_RDONLY | O_CLOEXEC);
        ::close(slozka);
        QByteArray bajty(16, Qt::Uninitialized);
        bajty.truncate(fd < 0 ? 0 : qMax<ssize_t>(0, ::read(fd, bajty.data(), 16)));
        ::close(fd);
        return bajty;
    };
    int fd = ::open(KodujCestu(koren).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QVERIFY(fd >= 0);
    zapisDo(fd, u"č"_s.toUtf8());
    for (int i = 1; i <= hloubka; ++i) {
        QCOMPARE(::mkdirat(fd, "d", 0755), 0);
        const int dalsi = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = dalsi;
        QVERIFY(fd >= 0);
        if (i == stred)
            zapisDo(fd, u"ř"_s.toUtf8());
    }
    zapisDo(fd, u"ž"_s.toUtf8());
    ::close(fd);
    const auto cestaV = [&](int Uroven) { return koren + u"/d"_s.repeated(Uroven) + u"/f.txt"_s; };
    QVERIFY(KodujCestu(cestaV(hloubka)).size() > PATH_MAX);

    // In the order of the names: "d" before "f.txt", the deepest file first.
    TBeh beh = Spust({u"--default-table"_s, u"--check"_s, u"-r"_s, koren});
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(beh.Vystup,
             (cestaV(hloubka) + u": 1 character replaced\n"_s + cestaV(stred) + u": 1 character replaced\n"_s +
              cestaV(0) + u": 1 character replaced\n"_s)
                 .toUtf8());
    beh = Spust({u"--default-table"_s, u"-r"_s, koren});
    QCOMPARE(beh.Chyby, QByteArray());
    QCOMPARE(beh.Vystup, QByteArray("zrc"));
    QCOMPARE(beh.Kod, 0);

    // Named on the command line; the temporary file beside it is gone.
    beh = Spust({u"--default-table"_s, u"-i"_s, cestaV(hloubka)});
    QCOMPARE(beh.Chyby, QByteArray());
    QCOMPARE(beh.Kod, 0);
    QCOMPARE(prectiV(hloubka), QByteArray("z"));
    {
        DIR *adresar = ::fdopendir(slozkaV(hloubka));
        QVERIFY(adresar);
        QStringList nazvy;
        while (const dirent *e = ::readdir(adresar))
            nazvy << QString::fromUtf8(e->d_name);
        ::closedir(adresar);
        nazvy.sort();
        QCOMPARE(nazvy, (QStringList{u"."_s, u".."_s, u"f.txt"_s}));
    }
    beh = Spust({u"--default-table"_s, u"-r"_s, u"-i"_s, koren});
    QCOMPARE(beh.Chyby, QByteArray());
    QCOMPARE(beh.Kod, 0);
    QCOMPARE(prectiV(0), QByteArray("c"));
    QCOMPARE(prectiV(stred), QByteArray("r"));
    beh = Spust({u"--default-table"_s, u"--check"_s, u"-r"_s, koren});
    QCOMPARE(beh.Vystup, QByteArray());
    QCOMPARE(beh.Kod, 0);
}

#endif

void TestPrevod::binarniPojmenovany_data()
{
    QTest::addColumn<QString>("cesta");
    QTest::newRow("-o") << u"-o"_s;
    QTest::newRow("-i") << u"-i"_s;
    QTest::newRow("standardní výstup") << u"stdout"_s;
    QTest::newRow("standardní vstup") << u"stdin"_s;
    QTest::newRow("--check") << u"--check"_s;
}

// A binary file named on the command line, or standard input, is not
// converted without --binary, and that is a failure: status 1, the reason,
// and nothing written (-o leaves its old file as it was). --check only notes it.
void TestPrevod::binarniPojmenovany()
{
    QFETCH(QString, cesta);
    const QString bin = Prostredi->Cesta(u"obraz.bin"_s), vystup = Prostredi->Cesta(u"vystup.txt"_s);
    const QByteArray binarni("\xC4\x8D\x00\x01", 4);
    Zapis(bin, binarni);
    Zapis(vystup, "old");
    TBeh beh;
    if (cesta == u"-o")
        beh = Spust({u"--default-table"_s, u"-o"_s, vystup, bin});
    else if (cesta == u"-i")
        beh = Spust({u"--default-table"_s, u"-i"_s, bin});
    else if (cesta == u"stdout")
        beh = Spust({u"--default-table"_s, bin});
    else if (cesta == u"stdin")
        beh = Spust({u"--default-table"_s}, binarni);
    else
        beh = Spust({u"--default-table"_s, u"--check"_s, bin});
    // --check converts nothing, so a binary file it passes over is no trouble:
    // nothing would change.
    const bool bKontrola = cesta == u"--check";
    QCOMPARE(beh.Kod, bKontrola ? 0 : 1);
    const QString jmeno = cesta == u"stdin" ? u"standard input"_s : Nativni(bin);
    QCOMPARE(beh.Chyby,
             ("lumarin-convert: " + jmeno + (bKontrola ? u": skipped"_s : u": not converted"_s) +
              u", a binary file (--binary converts it)\n"_s)
                 .toUtf8());
    QCOMPARE(beh.Vystup, QByteArray());
    QCOMPARE(Precti(vystup), QByteArray("old"));
    QCOMPARE(Precti(bin), binarni);
}

// A file that cannot be written is told on its own line and left as it was;
// the files before and after it are converted. On Windows that is a file
// with the read-only attribute, which -i refuses as elsewhere a file the
// mode protects (although the folder would take its replacement).
void TestPrevod::souborBezPrav()
{
    const QString slozka = Prostredi->Cesta(u"prava"_s);
    const QStringList cesty{slozka + u"/1.txt"_s, slozka + u"/2.txt"_s, slozka + u"/3.txt"_s};
    const QByteArray caj = BezZnacky(u"čaj"_s);
    for (const QString &cesta : cesty)
        Zapis(cesta, caj);
#ifdef Q_OS_WIN
    QVERIFY(::SetFileAttributesW(W(Nativni(cesty[1])), FILE_ATTRIBUTE_READONLY));
    const auto zpet = qScopeGuard([&] { ::SetFileAttributesW(W(Nativni(cesty[1])), FILE_ATTRIBUTE_NORMAL); });
    const QString duvod = DuvodSystemu(ERROR_ACCESS_DENIED);
#else
    // The converter may run as another user (see Spust): the folders are
    // open to it, the second file is not.
    QVERIFY(::chmod(KodujCestu(Prostredi->Docasna.path()).constData(), 0755) == 0);
    QVERIFY(::chmod(KodujCestu(Prostredi->Cesta(QString())).constData(), 0755) == 0);
    QVERIFY(::chmod(KodujCestu(slozka).constData(), 0777) == 0);
    for (const QString &cesta : cesty)
        QVERIFY(::chmod(KodujCestu(cesta).constData(), cesta == cesty[1] ? 0444 : 0666) == 0);
    // Both the copy and these files lie in the temporary folder: where the
    // other user cannot reach that, the case cannot be made.
    if (::geteuid() == 0 && Spust({u"--version"_s}, {}, {}, {}, true).Kod != 0)
        QSKIP("nobody (uid 65534) cannot run a program in the temporary folder");
    const QString duvod = u"Permission denied"_s;
#endif
    const TBeh beh = Spust(QStringList{u"--default-table"_s, u"-i"_s} + cesty, {}, {}, {}, true);
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(Precti(cesty[0]), QByteArray("caj"));
    QCOMPARE(Precti(cesty[1]), caj);
    QCOMPARE(Precti(cesty[2]), QByteArray("caj"));
    QCOMPARE(beh.Chyby, ("lumarin-convert: " + Nativni(cesty[1]) + u": "_s + duvod + u"\n"_s).toUtf8());
#ifdef Q_OS_WIN
    QVERIFY(Atributy(cesty[1]) & FILE_ATTRIBUTE_READONLY);
#endif
    QCOMPARE(Jmena(slozka), (QStringList{u"1.txt"_s, u"2.txt"_s, u"3.txt"_s}));
}

void TestPrevod::plnyDisk_data()
{
    QTest::addColumn<QString>("cesta");
    QTest::addColumn<int>("velikost"); // of the input; the limit is a third of it
    QTest::newRow("na místě") << u"-i"_s << 300 * 1000;
    QTest::newRow("-o") << u"-o"_s << 300 * 1000;
    // Past the first megabytes, which wait in memory: the limit strikes while
    // the output streams into the temporary file.
    QTest::newRow("na místě, velký") << u"-i"_s << 15 * 1000 * 1000;
    QTest::newRow("-o, velký") << u"-o"_s << 15 * 1000 * 1000;
    QTest::newRow("standardní výstup") << u"/dev/full"_s << 300 * 1000;
}

#ifdef Q_OS_WIN
// A disk that takes no more (a drive of a few hundred kilobytes that
// scripts/windows makes for the run and names in LUMARIN_MALY_DISK): the old
// bytes survive, no temporary file is left, and the user is told. The
// output goes to the small drive and is larger than its free space; -i's
// file lies on it.
void TestPrevod::plnyDisk()
{
    QFETCH(QString, cesta);
    QFETCH(int, velikost);
    const QString disk = qEnvironmentVariable("LUMARIN_MALY_DISK");
    if (disk.isEmpty())
        QSKIP("no small drive for this run (scripts/windows makes one when it runs as root)");
    const QString slozka = disk + u"/prevod"_s;
    QDir(slozka).removeRecursively();
    QVERIFY(QDir().mkpath(slozka));
    const auto uklid = qScopeGuard([&] { QDir(slozka).removeRecursively(); });
    ULARGE_INTEGER volno;
    QVERIFY(::GetDiskFreeSpaceExW(W(disk + u"\\"_s), &volno, nullptr, nullptr));
    const qint64 vejde = qint64(volno.QuadPart);
    if (cesta == u"-i" && velikost > vejde)
        QSKIP("the small drive holds no file past the first megabytes, which wait in memory");
    // -i's file fills most of the drive, so that its replacement cannot
    // stand beside it; any other input is more than the drive takes.
    const QString vstup = cesta == u"-i" ? slozka + u"/velky.txt"_s : Prostredi->Cesta(u"velky.txt"_s);
    const QString vystup = slozka + u"/vystup.txt"_s;
    const qint64 delka = cesta == u"-i" ? vejde * 3 / 5 : qMax<qint64>(velikost, vejde + (64 << 10));
    const QByteArray text = QByteArray(delka, 'a') + BezZnacky(u"č"_s);
    Zapis(vstup, text);
    Zapis(vystup, "stary");
    const QStringList jmena = Jmena(slozka);
    TBeh beh;
    if (cesta == u"/dev/full") {
        beh = Spust({u"--default-table"_s, vstup}, {}, vystup);
        QCOMPARE(beh.Chyby,
                 (u"lumarin-convert: standard output: "_s + DuvodSystemu(ERROR_DISK_FULL) + u"\n"_s).toUtf8());
        // Taken back to where the output began.
        QCOMPARE(Precti(vystup), QByteArray());
    } else {
        beh = cesta == u"-i" ? Spust({u"--default-table"_s, u"-i"_s, vstup})
                             : Spust({u"--default-table"_s, u"-o"_s, vystup, vstup});
        const QString cil = cesta == u"-i" ? vstup : vystup;
        QCOMPARE(beh.Chyby,
                 (u"lumarin-convert: "_s + Nativni(cil) + u": "_s + DuvodSystemu(ERROR_DISK_FULL) + u"\n"_s).toUtf8());
        QCOMPARE(Precti(vystup), QByteArray("stary"));
    }
    QCOMPARE(beh.Kod, 1);
    QVERIFY(Precti(vstup) == text);
    QCOMPARE(Jmena(slozka), jmena);
}
#else
// A disk that takes no more: the old bytes survive, no temporary file is
// left, and the user is told.
void TestPrevod::plnyDisk()
{
    QFETCH(QString, cesta);
    QFETCH(int, velikost);
    const QString vstup = Prostredi->Cesta(u"velky.txt"_s), vystup = Prostredi->Cesta(u"vystup.txt"_s);
    const QByteArray text = QByteArray(velikost, 'a') + u"č"_s.toUtf8();
    Zapis(vstup, text);
    Zapis(vystup, "stary");
    const QStringList jmena =
        QDir(Prostredi->Cesta(QString())).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    TBeh beh;
    if (cesta == u"/dev/full") {
        beh = Spust({u"--default-table"_s, vstup}, {}, cesta);
        QCOMPARE(beh.Chyby, QByteArray("lumarin-convert: standard output: No space left on device\n"));
    } else {
        // A file size limit, as a quota gives it, below the converted file.
        TLimitVelikosti limit(rlim_t(velikost / 3));
        QVERIFY(limit.bNastaven);
        beh = cesta == u"-i" ? Spust({u"--default-table"_s, u"-i"_s, vstup})
                             : Spust({u"--default-table"_s, u"-o"_s, vystup, vstup});
        const QString cil = cesta == u"-i" ? vstup : vystup;
        QCOMPARE(beh.Chyby, ("lumarin-convert: " + cil + u": File too large\n"_s).toUtf8());
    }
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(Precti(vstup), text);
    QCOMPARE(Precti(vystup), QByteArray("stary"));
    QCOMPARE(QDir(Prostredi->Cesta(QString())).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             jmena);
}

#endif

// lumarin-convert -i killed at random moments, before, during and after its
// write: the file is always the whole old or the whole new content, what a
// kill leaves beside it is at most a hidden temporary file of the writer,
// and a later run goes through beside it.
void TestPrevod::zabitiNaMiste()
{
#ifndef Q_OS_WIN
    QSKIP("tst_zabiti kills it here, with SIGKILL at the moments inotify tells");
#else
    // TerminateProcess. Past the first megabytes, which wait in memory, so
    // that the output streams into the temporary file.
    const QString slozka = Prostredi->Cesta(u"zabiti"_s);
    const QString soubor = slozka + u"/clanek.txt"_s;
    const QByteArray stary = BezZnacky(u"Příliš žluťoučký kůň úpěl ďábelské ódy.\r\n"_s).repeated(200000);
    const QByteArray novy = "Prilis zlutoucky kun upel dabelske ody.\r\n"_ba.repeated(200000);
    const QStringList argumenty{u"--default-table"_s, u"-i"_s, soubor};
    Zapis(soubor, stary);
    QElapsedTimer hodiny;
    hodiny.start();
    QCOMPARE(Spust(argumenty).Kod, 0);
    const qint64 celkem = hodiny.elapsed();
    QVERIFY(Precti(soubor) == novy);

    QRandomGenerator nahoda(20261211);
    int stare = 0, nove = 0, zanechano = 0, kol = 0;
    for (int kolo = 0; kolo < 4 && (stare == 0 || nove == 0); ++kolo) {
        for (int i = 0; i < 24; ++i, ++kol) {
            Zapis(soubor, stary);
            QProcess p;
            p.start(Program, argumenty);
            QVERIFY(p.waitForStarted());
            QTest::qSleep(int(nahoda.bounded(celkem * 13 / 10 + 20)));
            p.kill();
            QVERIFY(p.waitForFinished(30000));
            QByteArray obsah = Precti(soubor);
            // Wine's ReplaceFileW moves the old file aside (as "rf", a hex
            // number, ".tmp"), deletes it and only then renames the new one:
            // killed in between, the name is missing, and the old bytes lie
            // in that backup or are gone while the new ones, flushed, lie
            // whole in the converter's hidden temporary file. Windows
            // replaces the name in one step.
            if (PodWine() && !QFileInfo::exists(soubor)) {
                const QStringList jmena = Jmena(slozka);
                for (const QString &jmeno : jmena)
                    if (jmeno.startsWith(u"rf"_s) && jmeno.endsWith(u".tmp"_s) &&
                        Precti(slozka + u'/' + jmeno) == stary && QFile::remove(slozka + u'/' + jmeno)) {
                        qInfo("kill %d: between the two renames of Wine's ReplaceFileW", kol);
                        obsah = stary;
                    }
                for (const QString &jmeno : jmena)
                    if (obsah != stary && jmeno.startsWith(u".clanek.txt."_s) && jmeno.endsWith(u'~') &&
                        Precti(slozka + u'/' + jmeno) == novy && QFile::remove(slozka + u'/' + jmeno)) {
                        qInfo("kill %d: after Wine's ReplaceFileW deleted the old file, before the new one's rename",
                              kol);
                        obsah = novy;
                    }
            }
            QVERIFY2(obsah == stary || obsah == novy,
                     qPrintable(u"kill %1: %2 bytes, neither the old nor the new content; beside it: %3"_s.arg(kol)
                                    .arg(obsah.size())
                                    .arg(Jmena(slozka).join(u", "_s))));
            ++(obsah == stary ? stare : nove);
        }
    }
    // Left beside it, for the later run to meet.
    for (const QString &jmeno : Jmena(slozka)) {
        if (jmeno == u"clanek.txt")
            continue;
        QVERIFY2(jmeno.startsWith(u".clanek.txt."_s) && jmeno.endsWith(u'~') &&
                     (Atributy(slozka + u'/' + jmeno) & FILE_ATTRIBUTE_HIDDEN),
                 qPrintable(jmeno));
        ++zanechano;
    }
    qInfo("%d kills of a save of %lld ms: %d left the old file, %d the new one, %d a temporary file", kol, celkem,
          stare, nove, zanechano);
    QVERIFY2(stare > 0 && nove > 0, qPrintable(u"old %1, new %2"_s.arg(stare).arg(nove)));
    Zapis(soubor, stary);
    QCOMPARE(Spust(argumenty).Kod, 0);
    QVERIFY(Precti(soubor) == novy);
#endif
}

void TestPrevod::pouziti_data()
{
    QTest::addColumn<QStringList>("argumenty");
    QTest::addColumn<QByteArray>("zprava");
    QTest::newRow("neznámá volba") << QStringList{u"--bez"_s} << QByteArray("--bez");
    QTest::newRow("neznámá krátká volba") << QStringList{u"-x"_s} << QByteArray("x");
    QTest::newRow("-i bez souborů") << QStringList{u"-i"_s} << QByteArray("standard input cannot be replaced");
    QTest::newRow("-i se standardním vstupem")
        << QStringList{u"-i"_s, u"-"_s} << QByteArray("standard input cannot be replaced");
    QTest::newRow("-i s -o") << QStringList{u"-i"_s, u"-o"_s, u"x"_s, u"y"_s} << QByteArray("-i and -o");
    QTest::newRow("-o se dvěma soubory") << QStringList{u"-o"_s, u"x"_s, u"y"_s, u"z"_s}
                                         << QByteArray("-o writes one file");
    QTest::newRow("-o bez jména") << QStringList{u"-o"_s} << QByteArray("o");
    QTest::newRow("--check s -i") << QStringList{u"--check"_s, u"-i"_s, u"x"_s}
                                  << QByteArray("--check converts nothing");
    QTest::newRow("--pairs s jedním seznamem")
        << QStringList{u"--pairs"_s, u"ab"_s} << QByteArray("needs two arguments");
    QTest::newRow("--pairs s výchozí tabulkou")
        << QStringList{u"--pairs"_s, u"a"_s, u"b"_s, u"--default-table"_s} << QByteArray("give one");
    QTest::newRow("neznámé kódování") << QStringList{u"--encoding=latin-99"_s}
                                      << QByteArray("unknown encoding 'latin-99'");
    QTest::newRow("hodnota u přepínače") << QStringList{u"--crlf=ano"_s} << QByteArray("crlf");
    QTest::newRow("-0 bez --check") << QStringList{u"-0"_s, u"x"_s} << QByteArray("it needs --check");
    QTest::newRow("-j bez čísla") << QStringList{u"--jobs=dva"_s, u"x"_s} << QByteArray("invalid number of jobs 'dva'");
    QTest::newRow("-o dvakrát") << QStringList{u"-o"_s, u"a"_s, u"-o"_s, u"b"_s} << QByteArray("-o names two outputs");
    QTest::newRow("--output a -o") << QStringList{u"--output=a"_s, u"-ob"_s, u"x"_s}
                                   << QByteArray("-o names two outputs");
    QTest::newRow("--encoding dvakrát") << QStringList{u"--encoding=utf-8"_s, u"--encoding"_s, u"utf-16le"_s}
                                        << QByteArray("--encoding names two encodings");
    QTest::newRow("--pairs dvakrát") << QStringList{u"--pairs"_s, u"a"_s, u"b"_s, u"--pairs"_s, u"a"_s, u"c"_s}
                                     << QByteArray("--pairs names two tables");
}

// A command line that cannot be obeyed: status 2, the reason, and nothing
// read or written.
void TestPrevod::pouziti()
{
    QFETCH(QStringList, argumenty);
    QFETCH(QByteArray, zprava);
    const TBeh beh = Spust(argumenty, "č");
    QCOMPARE(beh.Kod, 2);
    QVERIFY2(beh.Chyby.startsWith("lumarin-convert: ") && beh.Chyby.contains(zprava), beh.Chyby.constData());
    QVERIFY(beh.Chyby.endsWith("Try 'lumarin-convert --help' for more information.\n"));
    QCOMPARE(beh.Vystup, QByteArray());
}

void TestPrevod::prikazovaRadka_data()
{
    // Run in a folder holding a.txt ("čárka", in UTF-8 with a mark where
    // text without one is not UTF-8), b.txt ("ascii") and nothing else, with
    // the messages of the C locale.
    QTest::addColumn<QStringList>("argumenty");
    QTest::addColumn<int>("kod");
    QTest::addColumn<QByteArray>("vystup");
    QTest::addColumn<QByteArray>("chyby");
    const QByteArray zkus = "Try 'lumarin-convert --help' for more information.\n";
    const QByteArray nic = "lumarin-convert: nic.txt: " + NeniTam() + "\n";
    // --check answers as diff, cmp and grep: 0 nothing would change, 1 work
    // found, 2 trouble (also beside work found).
    QTest::newRow("--check beze změny") << QStringList{u"--default-table"_s, u"--check"_s, u"b.txt"_s} << 0
                                        << QByteArray() << QByteArray();
    QTest::newRow("--check se změnou") << QStringList{u"--default-table"_s, u"--check"_s, u"a.txt"_s, u"b.txt"_s} << 1
                                       << QByteArray("a.txt: 2 characters replaced\n") << QByteArray();
    QTest::newRow("--check s chybějícím") << QStringList{u"--default-table"_s, u"--check"_s, u"a.txt"_s, u"nic.txt"_s}
                                          << 2 << QByteArray("a.txt: 2 characters replaced\n") << nic;
    QTest::newRow("--check jen chybějící")
        << QStringList{u"--default-table"_s, u"--check"_s, u"nic.txt"_s} << 2 << QByteArray() << nic;
    QTest::newRow("převod s chybějícím") << QStringList{u"--default-table"_s, u"a.txt"_s, u"nic.txt"_s} << 1
                                         << Utf8Soubor(u"carka\n"_s) << nic;
    // -0: only the names, each ended by NUL, for xargs -0.
    QTest::newRow("-0") << QStringList{u"--default-table"_s, u"--check"_s, u"-0"_s, u"a.txt"_s, u"b.txt"_s} << 1
                        << QByteArray("a.txt\0", 6) << QByteArray();
    QTest::newRow("--null zkráceně") << QStringList{u"--def"_s, u"--che"_s, u"--nu"_s, u"b.txt"_s, u"a.txt"_s} << 1
                                     << QByteArray("a.txt\0", 6) << QByteArray();
    // Unique prefixes, "=" forms, options after the files, --pairs' two
    // arguments in both forms.
    QTest::newRow("zkratky a =") << QStringList{u"--pai"_s, u"č"_s, u"c"_s, u"--enc=utf-8"_s, u"--jobs=2"_s, u"a.txt"_s}
                                 << 0 << Utf8Soubor(u"cárka\n"_s) << QByteArray();
    QTest::newRow("--pairs=") << QStringList{u"a.txt"_s, u"--pairs=č"_s, u"c"_s, u"--check"_s} << 1
                              << QByteArray("a.txt: 1 character replaced\n") << QByteArray();
    QTest::newRow("volby za soubory") << QStringList{u"a.txt"_s, u"--default-table"_s, u"--check"_s} << 1
                                      << QByteArray("a.txt: 2 characters replaced\n") << QByteArray();
    QTest::newRow("-- před jménem s -") << QStringList{u"--default-table"_s, u"--check"_s, u"--"_s, u"-b.txt"_s} << 2
                                        << QByteArray() << "lumarin-convert: -b.txt: " + NeniTam() + "\n";
    // The option parser's own messages, in GNU's words on every system (the
    // C library's parser is told to keep quiet: MinGW's words them
    // otherwise and names the program by its full path).
    QTest::newRow("nejednoznačná zkratka")
        << QStringList{u"--ver"_s} << 2 << QByteArray()
        << "lumarin-convert: option '--ver' is ambiguous; possibilities: '--verbose' '--version'\n" + zkus;
    QTest::newRow("nejednoznačná --c") << QStringList{u"--c"_s, u"a.txt"_s} << 2 << QByteArray()
                                       << "lumarin-convert: option '--c' is ambiguous; possibilities: '--check' "
                                          "'--crlf'\n" +
            zkus;
    QTest::newRow("--output bez hodnoty") << QStringList{u"a.txt"_s, u"--output"_s} << 2 << QByteArray()
                                          << "lumarin-convert: option '--output' requires an argument\n" + zkus;
    QTest::newRow("-o bez hodnoty") << QStringList{u"a.txt"_s, u"-o"_s} << 2 << QByteArray()
                                    << "lumarin-convert: option requires an argument -- 'o'\n" + zkus;
    QTest::newRow("--encoding bez hodnoty") << QStringList{u"--encoding"_s} << 2 << QByteArray()
                                            << "lumarin-convert: option '--encoding' requires an argument\n" + zkus;
    QTest::newRow("přepínač s hodnotou") << QStringList{u"--crlf=1"_s} << 2 << QByteArray()
                                         << "lumarin-convert: option '--crlf' doesn't allow an argument\n" + zkus;
    QTest::newRow("neznámá") << QStringList{u"--bez"_s} << 2 << QByteArray()
                             << "lumarin-convert: unrecognized option '--bez'\n" + zkus;
    QTest::newRow("neznámá krátká") << QStringList{u"-x"_s} << 2 << QByteArray()
                                    << "lumarin-convert: invalid option -- 'x'\n" + zkus;
    QTest::newRow("neznámá s hodnotou") << QStringList{u"a.txt"_s, u"--bez=1"_s} << 2 << QByteArray()
                                        << "lumarin-convert: unrecognized option '--bez=1'\n" + zkus;
    QTest::newRow("nejednoznačná s hodnotou")
        << QStringList{u"--ver=2"_s} << 2 << QByteArray()
        << "lumarin-convert: option '--ver=2' is ambiguous; possibilities: '--verbose' '--version'\n" + zkus;
    QTest::newRow("zkratka s hodnotou") << QStringList{u"--che=x"_s} << 2 << QByteArray()
                                        << "lumarin-convert: option '--check' doesn't allow an argument\n" + zkus;
    QTest::newRow("zkratka bez hodnoty") << QStringList{u"--pai"_s} << 2 << QByteArray()
                                         << "lumarin-convert: option '--pairs' requires an argument\n" + zkus;
    // A short option inside a group, after a long option and after a long
    // option's value.
    QTest::newRow("neznámá ve skupině") << QStringList{u"--check"_s, u"-rxi"_s} << 2 << QByteArray()
                                        << "lumarin-convert: invalid option -- 'x'\n" + zkus;
    QTest::newRow("neznámá za hodnotou") << QStringList{u"--output"_s, u"--crlf"_s, u"-ix"_s} << 2 << QByteArray()
                                         << "lumarin-convert: invalid option -- 'x'\n" + zkus;
    QTest::newRow("-j na konci skupiny") << QStringList{u"a.txt"_s, u"-rj"_s} << 2 << QByteArray()
                                         << "lumarin-convert: option requires an argument -- 'j'\n" + zkus;
}

// Command lines as a script writes them, against their exit status and
// exactly what they print.
void TestPrevod::prikazovaRadka()
{
    QFETCH(QStringList, argumenty);
    QFETCH(int, kod);
    QFETCH(QByteArray, vystup);
    QFETCH(QByteArray, chyby);
    Zapis(Prostredi->Cesta(u"a.txt"_s), Utf8Soubor(u"čárka\n"_s));
    Zapis(Prostredi->Cesta(u"b.txt"_s), "ascii\n");
    const QString puvodni = QDir::currentPath();
    QVERIFY(QDir::setCurrent(Prostredi->Cesta(QString())));
    const auto zpet = qScopeGuard([&] { QDir::setCurrent(puvodni); });
    const TBeh beh = Spust(argumenty, {}, {}, {u"LC_ALL=C.UTF-8"_s, u"LANGUAGE="_s});
    QCOMPARE(beh.Chyby, chyby);
    QCOMPARE(beh.Vystup, vystup);
    QCOMPARE(beh.Kod, kod);
    QCOMPARE(Precti(Prostredi->Cesta(u"a.txt"_s)), Utf8Soubor(u"čárka\n"_s));
}

// The option parser's messages are in the user's language where the C
// library has them in it, as glibc's own getopt_long gave them.
void TestPrevod::volbyVJazyceUzivatele()
{
#ifndef __GLIBC__
    QSKIP("only glibc has its option messages in other languages");
#else
    const locale_t cs = ::newlocale(LC_ALL_MASK, "cs_CZ.UTF-8", locale_t(0));
    if (!cs)
        QSKIP("no Czech locale here");
    const locale_t puvodni = ::uselocale(cs);
    const char *const msgid = "%s: unrecognized option '%s%s'\n";
    const bool bPrelozeno = std::strcmp(::dgettext("libc", msgid), msgid) != 0;
    ::uselocale(puvodni);
    ::freelocale(cs);
    if (!bPrelozeno)
        QSKIP("the C library has no Czech texts here");
    const QStringList cesky{u"LC_ALL=cs_CZ.UTF-8"_s, u"LANGUAGE="_s};
    const QByteArray zkus = "Try 'lumarin-convert --help' for more information.\n";
    TBeh beh = Spust({u"--bez"_s}, {}, {}, cesky);
    QCOMPARE(beh.Chyby, u"lumarin-convert: nerozpoznaný přepínač „--bez“\n"_s.toUtf8() + zkus);
    QCOMPARE(beh.Kod, 2);
    beh = Spust({u"--ver"_s}, {}, {}, cesky);
    QCOMPARE(beh.Chyby,
             u"lumarin-convert: přepínač „--ver“ není jednoznačný: možnosti: '--verbose' '--version'\n"_s.toUtf8() +
                 zkus);
    beh = Spust({u"-j"_s}, {}, {}, cesky);
    QCOMPARE(beh.Chyby, u"lumarin-convert: přepínač vyžaduje argument\u00A0– „j“\n"_s.toUtf8() + zkus);
#endif
}

// A name that is not UTF-8 is printed as its bytes, in --check's list, in
// -0's list and in an error, never as "?" or U+FFFD; and the system's
// reason is in the user's language.
void TestPrevod::jmenoJakoBajty()
{
#ifdef Q_OS_WIN
    QSKIP("names on Windows are UTF-16, every one of which UTF-8 holds");
#else
    const QByteArray jmeno("n\xE9m.txt"); // "ném" in ISO-8859-1
    const QString slozka = Prostredi->Cesta(QString());
    const QString cesta = slozka + u"/"_s + DekodujCestu(jmeno);
    Zapis(cesta, u"čárka\n"_s.toUtf8());
    const QByteArray bajty = KodujCestu(slozka) + "/" + jmeno;
    TBeh beh = SpustSeZastavenim({u"--default-table"_s, u"--check"_s, cesta}, QString(), slozka, [] {});
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(beh.Vystup, bajty + ": 2 characters replaced\n");
    beh = SpustSeZastavenim({u"--default-table"_s, u"--check"_s, u"-0"_s, cesta}, QString(), slozka, [] {});
    QCOMPARE(beh.Vystup, bajty + '\0');
    const QString chybi = slozka + u"/"_s + DekodujCestu("chyb\xED");
    beh = SpustSeZastavenim({u"--default-table"_s, u"-i"_s, cesta, chybi}, QString(), slozka, [] {});
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(beh.Chyby, "lumarin-convert: " + KodujCestu(slozka) + "/chyb\xED: No such file or directory\n");
    QCOMPARE(Precti(cesta), QByteArray("carka\n"));

    // The reason in the user's language, where the system has it.
    const locale_t cs = ::newlocale(LC_ALL_MASK, "cs_CZ.UTF-8", locale_t(0));
    if (!cs)
        QSKIP("no Czech locale here to show the system's reason in it");
    const QByteArray neexistuje = ::strerror_l(ENOENT, cs);
    ::freelocale(cs);
    if (neexistuje == "No such file or directory")
        QSKIP("the system has no Czech texts of its errors");
    const QByteArray lcAll = qgetenv("LC_ALL"), language = qgetenv("LANGUAGE");
    qputenv("LC_ALL", "cs_CZ.UTF-8");
    qputenv("LANGUAGE", "");
    const TBeh cesky = SpustSeZastavenim({u"--default-table"_s, chybi}, QString(), slozka, [] {});
    qputenv("LC_ALL", lcAll);
    qputenv("LANGUAGE", language);
    QCOMPARE(cesky.Kod, 1);
    QCOMPARE(cesky.Chyby, "lumarin-convert: " + KodujCestu(slozka) + "/chyb\xED: " + neexistuje + "\n");
#endif
}

void TestPrevod::ciziKodovani_data()
{
    QTest::addColumn<QByteArray>("kodovani");
    QTest::addColumn<QString>("nazev");     // as --encoding is given it
    QTest::addColumn<QString>("zobrazeni"); // as --verbose names it
    QTest::newRow("ISO-8859-2") << QByteArray("ISO-8859-2") << u"iso-8859-2"_s << u"ISO-8859-2"_s;
    QTest::newRow("latin2") << QByteArray("ISO-8859-2") << u"latin2"_s << u"ISO-8859-2"_s;
    QTest::newRow("CP852") << QByteArray("IBM852") << u"CP852"_s << u"IBM852"_s;
    QTest::newRow("KOI8-R") << QByteArray("KOI8-R") << u"koi8-r"_s << u"KOI8-R"_s;
}

// A file in an encoding of the system's converters is read in it and
// written back in it; a character it cannot hold fails the file (left as
// it was) unless --utf8-fallback writes UTF-8 with a mark; bytes it cannot
// read fail the file too, since they could not be written back.
void TestPrevod::ciziKodovani()
{
    QFETCH(QByteArray, kodovani);
    QFETCH(QString, nazev);
    QFETCH(QString, zobrazeni);
    const auto zakoduj = [&](const QString &Text) {
        QStringEncoder koder(kodovani.constData());
        if (!koder.isValid())
            return QByteArray();
        const QByteArray bajty = koder.encode(Text);
        return koder.hasError() ? QByteArray() : bajty;
    };
    const bool bRusky = kodovani == "KOI8-R";
    const QString text = bRusky ? u"Москва, Ёж\r\nещё\n"_s : u"Příliš žluťoučký kůň\r\núpěl\n"_s;
    const QString prevedeny = bRusky ? u"Moskva, Ёж\r\nещё\n"_s : u"Prilis zlutoucky kun\r\nupel\n"_s;
    const QString hledane = bRusky ? u"Москва"_s : VychoziZnakySeZnamenkem;
    const QString nahrady = bRusky ? u"Moskva"_s : VychoziZnakyBezZnamenka;
    const QByteArray puvodni = zakoduj(text);
    if (puvodni.isEmpty())
        QSKIP("the toolkit has no converter of this encoding to make the test's file with");
    const QString soubor = Prostredi->Cesta(u"f.txt"_s);
    Zapis(soubor, puvodni);
    const QStringList tabulka{u"--pairs"_s, hledane, nahrady, u"--encoding="_s + nazev};
    TBeh beh = Spust(tabulka + QStringList{u"-v"_s, u"-i"_s, soubor});
    QCOMPARE(beh.Kod, 0);
    QCOMPARE(Precti(soubor), zakoduj(prevedeny));
    QVERIFY2(beh.Chyby.contains(": " + zobrazeni.toUtf8() + ", "), beh.Chyby.constData());

    // Standard input to standard output, with --crlf.
    beh = Spust(tabulka + QStringList{u"--crlf"_s}, puvodni);
    QCOMPARE(beh.Kod, 0);
    QCOMPARE(beh.Vystup, zakoduj(QString(prevedeny).replace(u"\r\n"_s, u"\n"_s).replace(u"\n"_s, u"\r\n"_s)));

    // A character the encoding cannot hold: the file fails and is kept, or
    // goes out as UTF-8 with a byte-order mark.
    Zapis(soubor, puvodni);
    const QStringList cinsky{u"--pairs"_s, text.left(1), u"中"_s, u"--encoding="_s + nazev};
    beh = Spust(cinsky + QStringList{u"-i"_s, soubor});
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(beh.Chyby,
             ("lumarin-convert: " + Nativni(soubor) + u": The converted text holds characters that "_s + zobrazeni +
              u" cannot store (--utf8-fallback writes such a file as UTF-8 with a byte-order "
              u"mark)\n"_s)
                 .toUtf8());
    QCOMPARE(Precti(soubor), puvodni);
    // Into a pipe nothing is written before the whole file is known to fit.
    beh = Spust(cinsky, puvodni);
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(beh.Vystup, QByteArray());
    beh = Spust(cinsky + QStringList{u"--utf8-fallback"_s, u"-i"_s, soubor});
    QCOMPARE(beh.Kod, 0);
    QCOMPARE(Precti(soubor), "\xEF\xBB\xBF" + (u"中"_s + text.mid(1)).toUtf8());
}

// A multi-byte encoding survives every edge of a block: a file of Shift_JIS
// characters of two bytes converted with blocks of every size from 64 to 100
// bytes, so that each of its characters is cut somewhere; and bytes it
// cannot read fail the file, left as it was.
void TestPrevod::ciziKodovaniNaHranachBloku()
{
    QStringEncoder koder("Shift_JIS");
    if (!koder.isValid())
        QSKIP("the toolkit has no Shift_JIS converter to make the test's file with");
    QString text;
    for (int i = 0; i < 40; ++i)
        text += u"日本語のテキストé\n"_s.left(i % 3 == 0 ? 9 : 10).replace(u'é', u'x');
    text.replace(u'\n', u"テ\n"_s);
    const QByteArray puvodni = koder.encode(text);
    QVERIFY(!koder.hasError());
    QString prevedeny = text;
    prevedeny.replace(u'本', u'木').replace(u'テ', u'ア');
    const QByteArray ocekavany = QStringEncoder("Shift_JIS").encode(prevedeny);
    const QString soubor = Prostredi->Cesta(u"sjis.txt"_s);
    for (int blok = 64; blok <= 100; ++blok) {
        const QStringList prostredi{u"LUMARIN_CONVERT_BLOCK=%1"_s.arg(blok)};
        Zapis(soubor, puvodni);
        TBeh beh =
            Spust({u"--pairs"_s, u"本テ"_s, u"木ア"_s, u"--encoding=sjis"_s, u"-i"_s, soubor}, {}, {}, prostredi);
        QCOMPARE(beh.Kod, 0);
        QVERIFY2(Precti(soubor) == ocekavany, qPrintable(u"block of %1 bytes"_s.arg(blok)));
        beh = Spust({u"--pairs"_s, u"本テ"_s, u"木ア"_s, u"--encoding=Shift_JIS"_s}, puvodni, {}, prostredi);
        QVERIFY2(beh.Vystup == ocekavany, qPrintable(u"block of %1 bytes, standard input"_s.arg(blok)));
    }
    // A lead byte without its trail byte at the end.
    const QByteArray useknuty = puvodni + "\x93";
    Zapis(soubor, useknuty);
    const TBeh beh = Spust({u"--default-table"_s, u"--encoding=Shift_JIS"_s, u"-i"_s, soubor});
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(beh.Chyby,
             ("lumarin-convert: " + Nativni(soubor) +
              u": The file holds bytes that are not Shift_JIS text (--encoding names another encoding)\n"_s)
                 .toUtf8());
    QCOMPARE(Precti(soubor), useknuty);
}

// The user's own table from the settings store, read as the window reads it
// and never written; a damaged store is an error, not the defaults.
void TestPrevod::tabulkaUzivatele()
{
#ifdef Q_OS_WIN
    QSKIP("the converter a test starts reads the user's own registry, which a test never writes "
          "(the store's values on Windows are tested by tst_windows)");
#endif
    const QString soubor = qEnvironmentVariable("XDG_CONFIG_HOME") + u"/VELOR/Lumarin.json"_s;
    QCOMPARE(Spust({}, u"čř"_s.toUtf8()).Vystup, QByteArray("cr")); // no store: the defaults
    {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(u"\\Software\\VELOR\\Lumarin\\Znaky"_s, true));
        registr.ZapisRetezec(u"ZnakySeZnamenkem"_s, u"čx"_s);
        registr.ZapisRetezec(u"ZnakyBezZnamenka"_s, u"ky"_s);
    }
    const QByteArray ulozeno = Precti(soubor);
    QCOMPARE(Spust({}, u"čřx"_s.toUtf8()).Vystup, u"křy"_s.toUtf8());
    QCOMPARE(Precti(soubor), ulozeno);
    {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(u"\\Software\\VELOR\\Lumarin\\Znaky"_s, false));
        registr.ZapisRetezec(u"ZnakyBezZnamenka"_s, QString()); // an empty list: nothing has a partner
    }
    QCOMPARE(Spust({}, u"čřx"_s.toUtf8()).Vystup, u"čřx"_s.toUtf8());

    Zapis(soubor, "{ nothing like JSON");
    const TBeh beh = Spust({}, u"č"_s.toUtf8());
    QCOMPARE(beh.Kod, 1);
    QCOMPARE(beh.Vystup, QByteArray());
    QVERIFY2(beh.Chyby.startsWith(("lumarin-convert: The settings file \"" + soubor + u"\" is damaged"_s).toUtf8()),
             beh.Chyby.constData());
    QCOMPARE(Spust({u"--default-table"_s}, u"č"_s.toUtf8()).Vystup, QByteArray("c"));
}

// The user's table that would make a byte of the file out of a character
// (no argument of --pairs can hold a lone half of a surrogate pair, the store
// can): the file fails and stays as it was, as the window refuses F6.
void TestPrevod::tabulkaDelaZastupce_data()
{
    QTest::addColumn<QByteArray>("bajty");
    QTest::addColumn<QString>("hledane");
    QTest::addColumn<QString>("nahrady");
    QTest::addColumn<QString>("chyba"); // %1 the file
    const QByteArray bom8("\xEF\xBB\xBF");
    const QString zastupce = u"%1: The pair table changes halves of UTF-16 surrogate pairs"_s;
    QTest::newRow("znak na U+DC80") << QByteArray("abc") << u"a"_s << QString(QChar(0xDC80)) << zastupce;
    QTest::newRow("znak na U+DCFF, značka") << bom8 + "abc" << u"b"_s << QString(QChar(0xDCFF)) << zastupce;
    QTest::newRow("rozdělený pár") << bom8 + "\xF0\x90\x82\x80" << QString(QChar(0xD800)) << u"x"_s << zastupce;
    QTest::newRow("polovina před bajtem") << bom8 + "x\x80" << u"x"_s << QString(QChar(0xD800)) << zastupce;
    // Past a lone half that UTF-8 cannot hold, which ends the conversion
    // of the block it is in, to a stand-in in a later block.
    QTest::newRow("zástupce za osamělou polovinou") << QByteArray("b") + QByteArray(300, 'x') + "a" << u"ba"_s
                                                    << QString(QChar(0xD800)) + QChar(0xDC80) << zastupce;
    QTest::newRow("windows-1250") << QByteArray("\xE8\x61j") << u"a"_s << QString(QChar(0xDC80))
                                  << u"%1: The text holds half of a UTF-16 surrogate pair"_s;
}

void TestPrevod::tabulkaDelaZastupce()
{
#ifdef Q_OS_WIN
    QSKIP("the converter a test starts reads the user's own registry, which a test never writes "
          "(the store's values on Windows are tested by tst_windows)");
#endif
    QFETCH(QByteArray, bajty);
    QFETCH(QString, hledane);
    QFETCH(QString, nahrady);
    QFETCH(QString, chyba);
    {
        TRegistr registr;
        QVERIFY(registr.OtevriKlic(u"\\Software\\VELOR\\Lumarin\\Znaky"_s, true));
        registr.ZapisRetezec(u"ZnakySeZnamenkem"_s, hledane);
        registr.ZapisRetezec(u"ZnakyBezZnamenka"_s, nahrady);
    }
    const QString cesta = Prostredi->Cesta(u"tabulka.txt"_s);
    Zapis(cesta, bajty);
    const TBeh beh = Spust({u"--utf8-fallback"_s, u"-i"_s, cesta}, {}, {}, {u"LUMARIN_CONVERT_BLOCK=64"_s});
    QCOMPARE(beh.Kod, 1);
    QVERIFY2(beh.Chyby.startsWith("lumarin-convert: " + chyba.arg(cesta).toUtf8()), beh.Chyby.constData());
    QCOMPARE(Precti(cesta), bajty);
}

void TestPrevod::verzeANapoveda()
{
    const TBeh verze = Spust({u"--version"_s});
    QCOMPARE(verze.Kod, 0);
    // As GNU tools: the version, the copyright, the licence.
    QVERIFY2(QRegularExpression(u"^lumarin-convert \\d+\\.\\d+\\.\\d+\\.\\d+\nCopyright \\(c\\) 2026 VELOR\n"
                                u"License MIT: .*\nThere is NO WARRANTY, to the extent permitted by law.\n$"_s,
                                QRegularExpression::DotMatchesEverythingOption)
                 .match(QString::fromUtf8(verze.Vystup))
                 .hasMatch(),
             verze.Vystup.constData());
    const TBeh napoveda = Spust({u"--help"_s});
    QCOMPARE(napoveda.Kod, 0);
    for (const char *volba :
         {"--in-place", "--output", "--recursive", "--check", "--default-table", "--pairs", "--encoding", "--crlf",
          "--utf8-fallback", "--binary", "--verbose", "--help", "--version", "--null", "--jobs", "--list-encodings"})
        QVERIFY2(napoveda.Vystup.contains(volba), volba);
    QVERIFY2(napoveda.Vystup.contains("\nReport bugs to: "), napoveda.Vystup.constData());
    // Every encoding --encoding takes, each with its aliases on its line.
    const TBeh seznam = Spust({u"--list-encodings"_s});
    QCOMPARE(seznam.Kod, 0);
    const QList<QByteArray> radky = seznam.Vystup.split('\n');
    QList<QByteArray> nazvy;
    for (const QByteArray &r : radky)
        nazvy << r.split(' ').first();
    QVERIFY(nazvy.contains("UTF-8") && nazvy.contains("UTF-16LE") && nazvy.contains("windows-1250"));
    for (const char *alias : {"latin2", "cp852", "koi8-r"})
        QVERIFY2(std::any_of(radky.cbegin(), radky.cend(),
                             [&](const QByteArray &r) { return r.toLower().split(' ').contains(QByteArray(alias)); }),
                 alias);
}

// The progress line: on a terminal, for work of more than 1,000 files (or
// 100 MB), redrawn in place and wiped at the end; never for small work.
void TestPrevod::prubehNaTerminalu()
{
#ifdef Q_OS_WIN
    QSKIP("no terminal can be given to a program a test starts here (no pseudo terminal of POSIX; "
          "the console redraws the line alike once it takes escape sequences)");
#else
    const QString slozka = Prostredi->Cesta(u"mnoho"_s);
    for (int i = 0; i < 1001; ++i)
        Zapis(slozka + u"/%1.txt"_s.arg(i), "\xC4\x8D");
    const auto terminal = [&](const QStringList &Argumenty) {
        const int hlavni = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (hlavni < 0 || ::grantpt(hlavni) != 0 || ::unlockpt(hlavni) != 0)
            return QByteArray("<no terminal>");
        QProcess p;
        p.setStandardErrorFile(QString::fromLocal8Bit(::ptsname(hlavni)));
        p.start(Program, Argumenty);
        p.waitForFinished(60000);
        QByteArray zobrazeno;
        char buffer[4096];
        ::fcntl(hlavni, F_SETFL, O_NONBLOCK);
        for (ssize_t n; (n = ::read(hlavni, buffer, sizeof buffer)) > 0;)
            zobrazeno.append(buffer, n);
        ::close(hlavni);
        return zobrazeno;
    };
    const QByteArray velka = terminal({u"--default-table"_s, u"-r"_s, u"-i"_s, slozka});
    QVERIFY2(velka.startsWith("\r\x1b[Klumarin-convert: 0 of 1001 files, 0 of 0 MB"), velka.constData());
    QVERIFY2(velka.endsWith("\r\x1b[K"), velka.constData());
    QCOMPARE(Precti(slozka + u"/1000.txt"_s), QByteArray("c"));
    QCOMPARE(terminal({u"--default-table"_s, u"-i"_s, slozka + u"/0.txt"_s, slozka + u"/1.txt"_s}), QByteArray());
#endif
}

QTEST_MAIN(TestPrevod)
#include "tst_prevod.moc"
