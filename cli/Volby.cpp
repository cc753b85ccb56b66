#include "Volby.h"

#include "KodovaStranka.h"
#include "Soubor.h"

#include <QStringDecoder>

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

TDruhKodovani Kodovani(const QString &Nazev)
{
    const QString n = Nazev.toLower().remove(u'-').remove(u'_');
    if (n == u"utf8")
        return TDruhKodovani::Utf8;
    if (n == u"utf16le")
        return TDruhKodovani::Utf16LE;
    if (n == u"utf16be")
        return TDruhKodovani::Utf16BE;
    const QString stranka = NazevKodoveStranky().toLower().remove(u'-');
    if (n == stranka || (stranka.startsWith(u"windows") && n == QStringLiteral("cp") + stranka.mid(7)))
        return TDruhKodovani::Osmibitove;
    throw EPouziti(
        QStringLiteral("unknown encoding '%1' (UTF-8, UTF-16LE, UTF-16BE or %2)").arg(Nazev, NazevKodoveStranky()));
}

} // namespace

TVolby RozeberVolby(const QByteArrayList &Argumenty)
{
    TVolby volby;
    bool bJenSoubory = false;
    // An option of one value given twice asks for two things unless both
    // name the same.
    const auto vystup = [&](const QByteArray &Hodnota) {
        const QString cesta = DekodujCestu(Hodnota);
        if (volby.Vystup && *volby.Vystup != cesta)
            throw EPouziti(QStringLiteral("-o names two outputs, '%1' and '%2'; give one")
                               .arg(QString::fromUtf8(KodujCestu(*volby.Vystup)), QString::fromUtf8(Hodnota)));
        volby.Vystup = cesta;
    };
    QString nazevKodovani;
    const auto kodovani = [&](const QString &Nazev) {
        const TDruhKodovani druh = Kodovani(Nazev);
        if (volby.Prevod.Kodovani && *volby.Prevod.Kodovani != druh)
            throw EPouziti(
                QStringLiteral("--encoding names two encodings, '%1' and '%2'; give one").arg(nazevKodovani, Nazev));
        volby.Prevod.Kodovani = druh;
        nazevKodovani = Nazev;
    };
    for (qsizetype i = 0; i < Argumenty.size(); ++i) {
        const QByteArray &a = Argumenty.at(i);
        if (bJenSoubory || a == "-" || !a.startsWith('-')) {
            volby.Soubory << (a == "-" ? QStringLiteral("-") : DekodujCestu(a));
            continue;
        }
        if (a == "--") {
            bJenSoubory = true;
            continue;
        }
        // The value of an option: "--name=value", "-ovalue", or the next argument.
        QByteArray nazev = a, hodnota;
        bool bHodnota = false;
        if (a.startsWith("--") && a.contains('=')) {
            nazev = a.left(a.indexOf('='));
            hodnota = a.mid(a.indexOf('=') + 1);
            bHodnota = true;
        }
        const QString jmeno = QString::fromUtf8(nazev);
        const auto dalsi = [&]() -> QByteArray {
            if (bHodnota)
                return hodnota;
            if (i + 1 >= Argumenty.size())
                throw EPouziti(QStringLiteral("option '%1' needs an argument").arg(jmeno));
            return Argumenty.at(++i);
        };
        const auto bezHodnoty = [&] {
            if (bHodnota)
                throw EPouziti(QStringLiteral("option '%1' takes no argument").arg(jmeno));
        };
        if (!a.startsWith("--")) {
            // Short options, several in one argument ("-ri"); -o takes the
            // rest of the argument or the next one.
            for (qsizetype k = 1; k < a.size(); ++k) {
                switch (a.at(k)) {
                case 'i': volby.bNaMiste = true; break;
                case 'r': volby.bRekurzivne = true; break;
                case 'v': volby.bPodrobne = true; break;
                case 'h': volby.bNapoveda = true; break;
                case 'V': volby.bVerze = true; break;
                case 'o':
                    if (k + 1 < a.size()) {
                        vystup(a.mid(k + 1));
                    } else {
                        if (i + 1 >= Argumenty.size())
                            throw EPouziti(QStringLiteral("option '-o' needs an argument"));
                        vystup(Argumenty.at(++i));
                    }
                    k = a.size();
                    break;
                default: throw EPouziti(QStringLiteral("unknown option '-%1'").arg(QChar(a.at(k))));
                }
            }
            continue;
        }
        if (nazev == "--in-place") {
            bezHodnoty();
            volby.bNaMiste = true;
        } else if (nazev == "--output") {
            vystup(dalsi());
        } else if (nazev == "--recursive") {
            bezHodnoty();
            volby.bRekurzivne = true;
        } else if (nazev == "--check") {
            bezHodnoty();
            volby.bKontrola = true;
        } else if (nazev == "--crlf") {
            bezHodnoty();
            volby.Prevod.bCrLf = true;
        } else if (nazev == "--binary") {
            bezHodnoty();
            volby.Prevod.bBinarni = true;
        } else if (nazev == "--utf8-fallback") {
            bezHodnoty();
            volby.Prevod.bUtf8Nahradni = true;
        } else if (nazev == "--encoding") {
            kodovani(Text(dalsi(), jmeno));
        } else if (nazev == "--default-table") {
            bezHodnoty();
            volby.bVychoziTabulka = true;
        } else if (nazev == "--pairs") {
            // Two arguments: never "--pairs=FROM".
            bezHodnoty();
            if (i + 2 >= Argumenty.size())
                throw EPouziti(QStringLiteral("option '--pairs' needs two arguments, FROM and TO"));
            const QString hledane = Text(Argumenty.at(++i), jmeno);
            const QString nahrady = Text(Argumenty.at(++i), jmeno);
            if (volby.Hledane && (*volby.Hledane != hledane || *volby.Nahrady != nahrady))
                throw EPouziti(QStringLiteral("--pairs names two tables; give one"));
            volby.Hledane = hledane;
            volby.Nahrady = nahrady;
        } else if (nazev == "--verbose") {
            bezHodnoty();
            volby.bPodrobne = true;
        } else if (nazev == "--help") {
            bezHodnoty();
            volby.bNapoveda = true;
        } else if (nazev == "--version") {
            bezHodnoty();
            volby.bVerze = true;
        } else {
            throw EPouziti(QStringLiteral("unknown option '%1'").arg(jmeno));
        }
    }
    if (volby.bNapoveda || volby.bVerze)
        return volby;

    if (volby.Hledane && volby.bVychoziTabulka)
        throw EPouziti(QStringLiteral("--pairs and --default-table name two tables; give one"));
    if (volby.bNaMiste && volby.Vystup)
        throw EPouziti(QStringLiteral("-i and -o cannot be combined"));
    if (volby.bKontrola && (volby.bNaMiste || volby.Vystup))
        throw EPouziti(QStringLiteral("--check converts nothing; it cannot be combined with -i or -o"));
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
                        the number of characters replaced; exit status 1 when
                        any would change

The pair table (the user's own table of Lumarin when neither is given):
      --default-table   the 66 pairs Lumarin starts with
      --pairs FROM TO   the k-th character of FROM becomes the k-th of TO;
                        a character of FROM without a partner in TO stays

How the text is read and written:
      --encoding=NAME   the input is NAME (UTF-8, UTF-16LE, UTF-16BE or
                        %1) instead of what is detected; a
                        byte-order mark is kept
      --crlf            write every line break as CR LF
      --utf8-fallback   write a text that %1 cannot hold as
                        UTF-8 with a byte-order mark (without it, such a
                        file fails)
      --binary          convert also files with a NUL byte in their first 8 KB
                        (otherwise binary: skipped where -r finds them, a
                        failure where they are named)

  -v, --verbose         tell each file's encoding and replacements, and sum
                        them up
  -h, --help            show this help
  -V, --version         show the version

Exit status: 0 success, 1 a file failed (or --check found work), 2 a usage
error. A file that changes while it is converted fails and is left as it is.
)")
        .arg(NazevKodoveStranky());
}
