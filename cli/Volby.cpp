#include "Volby.h"

#include "CiziKodovani.h"
#include "KodovaStranka.h"
#include "Soubor.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <getopt.h>
#include <vector>
#ifdef __GLIBC__
#include <libintl.h>
#endif

namespace {

// Text given on the command line: UTF-8, nothing replaced.
QString Text(const QByteArray &Argument, const QString &Volba)
{
    QStringDecoder dekoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = dekoder.decode(Argument);
    if (dekoder.hasError())
        throw EPouziti(QStringLiteral("the argument of %1 is not valid UTF-8").arg(Volba));
    return text;
}

// The encodings of the program's own codec under their names, which keep
// what they do today (stand-ins for bytes they cannot read, a byte-order
// mark); any other name is looked up among the converters of the system.
void Kodovani(const QString &Nazev, TNastaveniPrevodu &Prevod)
{
    const QString n = Nazev.toLower().remove(u'-').remove(u'_');
    const QString stranka = NazevKodoveStranky().toLower().remove(u'-');
    if (n == u"utf8")
        Prevod.Kodovani = TDruhKodovani::Utf8;
    else if (n == u"utf16le")
        Prevod.Kodovani = TDruhKodovani::Utf16LE;
    else if (n == u"utf16be")
        Prevod.Kodovani = TDruhKodovani::Utf16BE;
    else if (n == stranka || (stranka.startsWith(u"windows") && n == QStringLiteral("cp") + stranka.mid(7)))
        Prevod.Kodovani = TDruhKodovani::Osmibitove;
    else if (const std::optional<TCiziKodovani> k = NajdiKodovani(Nazev.toLatin1()); k && Nazev.size() < 100 &&
             std::all_of(Nazev.cbegin(), Nazev.cend(), [](QChar c) { return c.unicode() < 0x80; }))
        Prevod.Cizi = *k;
    else
        throw EPouziti(QStringLiteral("unknown encoding '%1' (--list-encodings lists them)").arg(Nazev));
}

enum : int { voKontrola = 0x100, voVychozi, voPary, voKodovani, voSeznam, voCrLf, voNahradni, voBinarni };

const char KratkeVolby[] = "irvhV0o:j:";
const option DlouheVolby[] = {
    {"in-place", no_argument, nullptr, 'i'},
    {"output", required_argument, nullptr, 'o'},
    {"recursive", no_argument, nullptr, 'r'},
    {"check", no_argument, nullptr, voKontrola},
    {"null", no_argument, nullptr, '0'},
    {"default-table", no_argument, nullptr, voVychozi},
    {"pairs", required_argument, nullptr, voPary},
    {"encoding", required_argument, nullptr, voKodovani},
    {"list-encodings", no_argument, nullptr, voSeznam},
    {"crlf", no_argument, nullptr, voCrLf},
    {"utf8-fallback", no_argument, nullptr, voNahradni},
    {"binary", no_argument, nullptr, voBinarni},
    {"jobs", required_argument, nullptr, 'j'},
    {"verbose", no_argument, nullptr, 'v'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

// One of glibc's messages about an option, with glibc's words in the user's
// language where its catalogue has them (as glibc's getopt_long says it), in
// English elsewhere. The program's name and the line's end are left off: the
// caller adds them to every message of the command line.
template <typename... T> QString ZpravaVolby(const char *Vzor, const QByteArray &Dodatek, T... Hodnoty)
{
#ifdef __GLIBC__
    Vzor = ::dgettext("libc", Vzor);
#endif
    const char *const program = "lumarin-convert";
    const int delka = std::snprintf(nullptr, 0, Vzor, program, Hodnoty...);
    if (delka < 0)
        return QString();
    QByteArray text(delka, Qt::Uninitialized);
    std::snprintf(text.data(), size_t(delka) + 1, Vzor, program, Hodnoty...);
    text += Dodatek;
    if (text.startsWith(QByteArray(program) + ": "))
        text.remove(0, qsizetype(std::strlen(program)) + 2);
    if (text.endsWith('\n'))
        text.chop(1);
    // The bytes of the command line as they came, also where they are not
    // UTF-8 (as the names of files are printed).
    return DekodujCestu(text);
}

// What is wrong with the option getopt_long has just refused (it is told to
// say nothing: the C libraries word their messages differently, and MinGW's
// names the program by its full path). The messages are glibc's. A long
// option's error leaves optind past it; optopt is 0 for an unknown or
// ambiguous name, the option's value where it needs or refuses an argument,
// and the character itself for a short option.
QString ChybaVolby(const std::vector<char *> &Argv)
{
    const QByteArray posledni = optind > 0 ? QByteArray(Argv[size_t(optind) - 1]) : QByteArray();
    const auto dlouha = [](int Hodnota) -> const option * {
        for (const option *o = DlouheVolby; o->name; ++o)
            if (o->val == Hodnota)
                return o;
        return nullptr;
    };
    const option *volba = dlouha(optopt);
    // An option with a short form is long here only where its argument is
    // missing and the last argument is its long name; the short options
    // without an argument cannot fail.
    if (volba && optopt < 0x100 && volba->has_arg == required_argument && !posledni.startsWith("--"))
        volba = nullptr;
    if (optopt == 0 && posledni.startsWith("--")) {
        // Unknown, or a prefix of several names (all of whose options
        // differ), listed in the table's order.
        const QByteArray jmeno = posledni.mid(2, posledni.indexOf('=') < 0 ? -1 : posledni.indexOf('=') - 2);
        QByteArray moznosti;
        int pocet = 0;
        for (const option *o = DlouheVolby; o->name; ++o)
            if (QByteArray(o->name).startsWith(jmeno)) {
                moznosti += QByteArray(" '--") + o->name + "'";
                ++pocet;
            }
        if (pocet > 1)
            return ZpravaVolby("%s: option '%s%s' is ambiguous; possibilities:", moznosti + "\n", "--",
                               posledni.constData() + 2);
        return ZpravaVolby("%s: unrecognized option '%s%s'\n", {}, "--", posledni.constData() + 2);
    }
    if (volba && volba->has_arg == required_argument)
        return ZpravaVolby("%s: option '%s%s' requires an argument\n", {}, "--", volba->name);
    if (volba)
        return ZpravaVolby("%s: option '%s%s' doesn't allow an argument\n", {}, "--", volba->name);
    const char znak = char(optopt);
    if (znak != ':' && std::strchr(KratkeVolby, znak) && optopt != 0)
        return ZpravaVolby("%s: option requires an argument -- '%c'\n", {}, znak);
    return ZpravaVolby("%s: invalid option -- '%c'\n", {}, znak);
}

} // namespace

TVolby RozeberVolby(const QByteArrayList &Argumenty)
{
    TVolby volby;
    // getopt_long reads a C argument vector.
    QByteArrayList kopie = Argumenty;
    QByteArray program("lumarin-convert");
    std::vector<char *> argv{program.data()};
    for (QByteArray &a : kopie)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int argc = int(argv.size()) - 1;

    // An option of one value given twice asks for two things unless both
    // name the same.
    const auto vystup = [&](const QByteArray &Hodnota) {
        const QString cesta = DekodujCestu(Hodnota);
        if (volby.Vystup && *volby.Vystup != cesta)
            throw EPouziti(QStringLiteral("-o names two outputs, '%1' and '%2'; give one").arg(*volby.Vystup, cesta));
        volby.Vystup = cesta;
    };
    QString nazevKodovani;
    const auto kodovani = [&](const QString &Nazev) {
        TNastaveniPrevodu novy;
        Kodovani(Nazev, novy);
        if (!nazevKodovani.isEmpty() &&
            (volby.Prevod.Kodovani != novy.Kodovani || volby.Prevod.Cizi.Nazev != novy.Cizi.Nazev))
            throw EPouziti(
                QStringLiteral("--encoding names two encodings, '%1' and '%2'; give one").arg(nazevKodovani, Nazev));
        volby.Prevod.Kodovani = novy.Kodovani;
        volby.Prevod.Cizi = novy.Cizi;
        nazevKodovani = Nazev;
    };

    // A fresh scan (GNU and BSD getopt both start over at optind 0), with
    // the arguments permuted so that options may follow files.
    optind = 0;
    opterr = 0;
    for (;;) {
        const int volba = getopt_long(argc, argv.data(), KratkeVolby, DlouheVolby, nullptr);
        if (volba == -1)
            break;
        switch (volba) {
        case 'i': volby.bNaMiste = true; break;
        case 'o': vystup(QByteArray(optarg)); break;
        case 'r': volby.bRekurzivne = true; break;
        case '0': volby.bNula = true; break;
        case 'v': volby.bPodrobne = true; break;
        case 'h': volby.bNapoveda = true; break;
        case 'V': volby.bVerze = true; break;
        case voKontrola: volby.bKontrola = true; break;
        case voVychozi: volby.bVychoziTabulka = true; break;
        case voSeznam: volby.bSeznamKodovani = true; break;
        case voCrLf: volby.Prevod.bCrLf = true; break;
        case voNahradni: volby.Prevod.bUtf8Nahradni = true; break;
        case voBinarni: volby.Prevod.bBinarni = true; break;
        case voKodovani: kodovani(Text(QByteArray(optarg), QStringLiteral("--encoding"))); break;
        case 'j': {
            bool bCislo = false;
            const int uloh = QByteArray(optarg).toInt(&bCislo);
            if (!bCislo || uloh < 1)
                throw EPouziti(QStringLiteral("invalid number of jobs '%1'").arg(QString::fromUtf8(optarg)));
            volby.Uloh = uloh;
            break;
        }
        case voPary: {
            // Two arguments: FROM is the option's own, TO the one after it.
            if (optind >= argc)
                throw EPouziti(QStringLiteral("option '--pairs' needs two arguments, FROM and TO"));
            const QString hledane = Text(QByteArray(optarg), QStringLiteral("--pairs"));
            const QString nahrady = Text(QByteArray(argv[optind++]), QStringLiteral("--pairs"));
            if (volby.Hledane && (*volby.Hledane != hledane || *volby.Nahrady != nahrady))
                throw EPouziti(QStringLiteral("--pairs names two tables; give one"));
            volby.Hledane = hledane;
            volby.Nahrady = nahrady;
            break;
        }
        default:
            // An unknown or ambiguous option, or one without its value.
            throw EPouziti(ChybaVolby(argv));
        }
    }
    for (int i = optind; i < argc; ++i) {
        const QByteArray a(argv[i]);
        volby.Soubory << (a == "-" ? QStringLiteral("-") : DekodujCestu(a));
    }
    if (volby.bNapoveda || volby.bVerze || volby.bSeznamKodovani)
        return volby;

    if (volby.Hledane && volby.bVychoziTabulka)
        throw EPouziti(QStringLiteral("--pairs and --default-table name two tables; give one"));
    if (volby.bNaMiste && volby.Vystup)
        throw EPouziti(QStringLiteral("-i and -o cannot be combined"));
    if (volby.bKontrola && (volby.bNaMiste || volby.Vystup))
        throw EPouziti(QStringLiteral("--check converts nothing; it cannot be combined with -i or -o"));
    if (volby.bNula && !volby.bKontrola)
        throw EPouziti(QStringLiteral("-0 ends the names that --check lists; it needs --check"));
    if (volby.bNaMiste && (volby.Soubory.isEmpty() || volby.Soubory.contains(QStringLiteral("-"))))
        throw EPouziti(QStringLiteral("-i replaces files; standard input cannot be replaced"));
    if (volby.Vystup && (volby.Soubory.size() > 1 || volby.bRekurzivne))
        throw EPouziti(QStringLiteral("-o writes one file; give one input (or none for standard input)"));
    if (volby.Vystup && volby.Vystup->isEmpty())
        throw EPouziti(QStringLiteral("-o needs the name of a file"));
    if (volby.Soubory.count(QStringLiteral("-")) > 1)
        throw EPouziti(QStringLiteral("standard input can be read only once"));
    return volby;
}

QString TextNapovedy()
{
    return QStringLiteral(R"(Usage: lumarin-convert [OPTION]... [FILE]...
Removes diacritics from text files as Lumarin's window does (F6): every
character of the pair table is replaced by its partner, and the file keeps its
encoding (UTF-8, UTF-16 or %1, detected as the window
detects it) and its byte-order mark. Without FILE, or with -, standard input
is converted to standard output.

Where the result goes (standard output when neither is given):
  -i, --in-place        replace each FILE with its converted text (a temporary
                        file beside it and a rename; mode and owner kept)
  -o, --output=OUT      write the converted text of the one input to OUT
  -r, --recursive       convert the files in folders and below them (symbolic
                        links are not followed)
      --check           convert nothing: list the files that would change with
                        the number of characters replaced
  -0, --null            with --check, list only the names, each followed by a
                        NUL byte (as find -print0), for xargs -0
  -j, --jobs=N          convert N files at once (default: one for each core);
                        output and messages come in the order of the files

The pair table (the user's own table of Lumarin when neither is given):
      --default-table   the 66 pairs Lumarin starts with
      --pairs FROM TO   the k-th character of FROM becomes the k-th of TO;
                        a character of FROM without a partner in TO stays

How the text is read and written:
      --encoding=NAME   the input is NAME instead of what is detected, and the
                        output is written in it: UTF-8, UTF-16LE, UTF-16BE,
                        %1 (a byte-order mark is kept), or any
                        other encoding --list-encodings lists, such as
                        ISO-8859-2, CP852 or KOI8-R
      --list-encodings  list the encodings with their aliases, and exit
      --crlf            write every line break as CR LF
      --utf8-fallback   write a text that its encoding cannot hold as UTF-8
                        with a byte-order mark (without it, such a file fails)
      --binary          convert also files with a NUL byte in their first 8 KB
                        (otherwise binary: skipped where -r finds them, a
                        failure where they are named)

  -v, --verbose         tell each file's encoding and replacements, and sum
                        them up
  -h, --help            show this help and exit
  -V, --version         show the version and the licence, and exit

A long option may be shortened to any prefix that names only it (--in-pl).

Exit status: 0 success, 1 a file failed, 2 a usage error. With --check:
0 nothing would change, 1 some file would change, 2 a file could not be
checked. A file that changes while it is converted fails and is left as it is.

Report bugs to: <lumarin@velor.example>
Lumarin home page: <https://velor.example/lumarin>
)")
        .arg(NazevKodoveStranky());
}

QString TextVerze(const QString &Verze)
{
    return QStringLiteral(R"(lumarin-convert %1
Copyright (c) 2026 VELOR
License MIT: <https://opensource.org/licenses/MIT>.
This is free software: you are free to change and redistribute it.
There is NO WARRANTY, to the extent permitted by law.
)")
        .arg(Verze.isEmpty() ? QStringLiteral("(no version information)") : Verze);
}
