// lumarin-convert: any bytes converted by the streaming converter, in blocks
// whose size the input chooses, from a file or from a pipe, against the
// window's conversion of the same bytes held whole in memory (open, F6,
// save): the output must be identical byte for byte, or both must fail.
// Without --crlf (line breaks kept as they are, which the window does not
// offer) against the converter's own conversion of the file in one block.
// Both share the program's codec, so a well-formed input is also converted
// by ICU's codecs and the plain scan of the table, which share nothing with
// it.
//
// The first byte of an input chooses how it is converted; the rest is the
// file:
//   bits 0-1  the table: the default one, one that changes line breaks and
//             ASCII, one with surrogate code units, one that maps onto the
//             stand-ins of bytes
//   bit 2     8-bit text that the code page cannot hold goes out as UTF-8
//   bit 3     two threads (else one)
//   bit 4     read from a pipe (else from a file that can be read anywhere)
//   bit 5     line breaks kept (else --crlf, as the window reads text)
//   bits 6-7  the block size: 64 << (bits 6-7) bytes, the converter's least
//             and a few more, so that blocks cut text often

#include "Fuzz.h"
#include "Konverze.h"
#include "Prevod.h"
#include "TextovySoubor.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <csignal>
#include <map>
#include <memory>
#include <thread>

namespace {

using namespace Qt::StringLiterals;

struct TTabulka {
    QString Hledane, Nahrady;
};

TTabulka Tabulka(int Volba)
{
    switch (Volba) {
    case 1: return {QStringLiteral("\r\na\u010D"), QStringLiteral("\n\rb\n")};
    case 2: return {QString::fromUtf16(u"\xD83D\xDE00\u00E9\u0161"), QString::fromUtf16(u"ab\xDC80\xD800")};
    case 3: return {QString::fromUtf16(u"\xDC80\xDCFF\u010D\u0159"), QString::fromUtf16(u"xy\xDCC4\xDC8D")};
    default: return {TNastaveniPrevodu::VychoziHledane(), TNastaveniPrevodu::VychoziNahrady()};
    }
}

// The window: the file decoded whole (its line breaks as CR LF), the table
// applied but never to code units that stand for bytes, nor where it would
// make or undo such a stand-in of UTF-8 (F6 refuses), the text encoded in the
// file's encoding, or 8-bit text that the code page cannot hold as UTF-8 with
// a mark when the user agrees. Nothing when F6 or the save fails.
std::optional<QByteArray> Okno(const QByteArray &Bajty, TTabulka T, bool bNahradni)
{
    const TTextovySoubor soubor = DekodujText(Bajty);
    const bool bZastupci = ZastupujeBajty(soubor.Kodovani);
    if (bZastupci)
        VynechPary(T.Hledane, T.Nahrady, 0xDC00, 0xDCFF);
    const QString text = NahradZnaky(soubor.Text, T.Hledane, T.Nahrady);
    if ((soubor.Kodovani == koUtf8 || soubor.Kodovani == koUtf8BezZnacky) &&
        MeniOsamelePoloviny(soubor.Text, text, 0xDC80, 0xDCFF))
        return std::nullopt;
    QByteArray vystup;
    if (ZakodujText(text, soubor.Kodovani, vystup, bZastupci))
        return vystup;
    if (soubor.Kodovani == koOsmibitove && bNahradni && ZakodujText(text, koUtf8, vystup, bZastupci))
        return vystup;
    return std::nullopt;
}

// ICU's conversion of a well-formed input in the encodings the converter
// read and wrote: decoded, every line break made CR LF (with --crlf), the
// table applied by its plain scan, encoded. Nothing where ICU finds the input
// or the result ill-formed (stand-ins and lone surrogates are the program's
// own), or for 8-bit text on Windows, where the code page is the system's.
std::optional<QByteArray> PodleIcu(const QByteArray &Bajty, const TVysledek &Vysledek, const TTabulka &T, bool bCrLf)
{
    const auto nazev = [](TDruhKodovani Druh) {
        switch (Druh) {
        case TDruhKodovani::Utf8: return "ibm-1208"; // not "UTF-8": that names the toolkit's own codec
        case TDruhKodovani::Utf16LE: return "ibm-1202";
        case TDruhKodovani::Utf16BE: return "ibm-1200";
        case TDruhKodovani::Osmibitove: return "windows-1250";
        }
        return "";
    };
#ifdef Q_OS_WIN
    if (Vysledek.Vstup.Druh == TDruhKodovani::Osmibitove || Vysledek.Vystup.Druh == TDruhKodovani::Osmibitove)
        return std::nullopt;
#endif
    if (Vysledek.Vstup.bLiche)
        return std::nullopt;
    QStringDecoder dekoder(nazev(Vysledek.Vstup.Druh),
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = dekoder.decode(QByteArrayView(Bajty).sliced(Znacka(Vysledek.Vstup).size()));
    if (dekoder.hasError() || !QStringView(text).isValidUtf16())
        return std::nullopt;
    if (bCrLf) {
        text.replace(u"\r\n"_s, u"\n"_s);
        text.replace(u'\r', u'\n');
        text.replace(u"\n"_s, u"\r\n"_s);
    }
    text = NahradZnakyPrimo(text, T.Hledane, T.Nahrady);
    if (!QStringView(text).isValidUtf16())
        return std::nullopt;
    QStringEncoder koder(nazev(Vysledek.Vystup.Druh), QStringConverter::Flag::Stateless);
    QByteArray vysledek = Znacka(Vysledek.Vystup).toByteArray();
    vysledek += koder.encode(text);
    if (koder.hasError())
        return std::nullopt;
    return vysledek;
}

// A converter builds its tables once and converts file after file with them,
// as lumarin-convert does; building them for every input would be most of
// the time. One for each key of the settings.
TPrevodnik &Prevodnik(int Klic, const TNastaveniPrevodu &Nastaveni)
{
    static std::map<int, std::unique_ptr<TPrevodnik>> prevodniky;
    std::unique_ptr<TPrevodnik> &prevodnik = prevodniky[Klic];
    if (!prevodnik)
        prevodnik = std::make_unique<TPrevodnik>(Nastaveni);
    return *prevodnik;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // A converter that stops reading a pipe early must not kill its writer.
    std::signal(SIGPIPE, SIG_IGN);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Velikost)
{
    if (Velikost == 0)
        return 0;
    const uint8_t volby = Data[0];
    const QByteArray bajty(reinterpret_cast<const char *>(Data + 1), qsizetype(Velikost - 1));
    const TTabulka tabulka = Tabulka(volby & 3);

    TNastaveniPrevodu nastaveni;
    nastaveni.Hledane = tabulka.Hledane;
    nastaveni.Nahrady = tabulka.Nahrady;
    nastaveni.bCrLf = !(volby & 32);
    nastaveni.bBinarni = true;
    nastaveni.bUtf8Nahradni = volby & 4;
    nastaveni.Vlaken = volby & 8 ? 2 : 1;
    nastaveni.Blok = qint64(64) << (volby >> 6);

    TPrevodnik &prevodnik = Prevodnik(volby & ~16, nastaveni);
    TVystupPamet vystup;
    TVysledek vysledek;
    try {
        if (volby & 16) {
            int roura[2];
            OCEKAVEJ(::pipe(roura) == 0, "no pipe");
            std::thread pisar([&] {
                for (qsizetype i = 0; i < bajty.size();) {
                    const ssize_t n = ::write(roura[1], bajty.constData() + i, size_t(bajty.size() - i));
                    if (n <= 0)
                        break;
                    i += n;
                }
                ::close(roura[1]);
            });
            {
                const std::unique_ptr<TZdroj> zdroj = TZdroj::ZDeskriptoru(roura[0], QStringLiteral("roura"));
                vysledek = prevodnik.Preved(*zdroj, vystup, QStringLiteral("roura"));
            }
            // Whatever the converter left unread, the writer must not wait on.
            ::close(roura[0]);
            pisar.join();
        } else {
            static TPametovySoubor soubor;
            soubor.Nastav(Data + 1, Velikost - 1);
            const std::unique_ptr<TZdroj> zdroj = TZdroj::Otevri(soubor.Cesta());
            vysledek = prevodnik.Preved(*zdroj, vystup, soubor.Cesta());
        }
    } catch (const EChyba &chyba) {
        std::fprintf(stderr, "%s\n", chyba.what());
        OCEKAVEJ(false, "the converter threw");
    }

    std::optional<QByteArray> ocekavane;
    if (nastaveni.bCrLf) {
        ocekavane = Okno(bajty, tabulka, nastaveni.bUtf8Nahradni);
    } else {
        // The whole file as one block (inputs are far shorter), read from
        // memory.
        TNastaveniPrevodu celek = nastaveni;
        celek.Blok = 1 << 24;
        celek.Vlaken = 1;
        static TPametovySoubor soubor;
        soubor.Nastav(Data + 1, Velikost - 1);
        const std::unique_ptr<TZdroj> zdroj = TZdroj::Otevri(soubor.Cesta());
        TVystupPamet vystupCelku;
        if (Prevodnik(0x100 | (volby & 0x27), celek).Preved(*zdroj, vystupCelku, soubor.Cesta()).Stav !=
            TVysledek::vsChyba)
            ocekavane = vystupCelku.Bajty;
    }
    OCEKAVEJ(vysledek.Stav != TVysledek::vsBinarni, "a binary file skipped although --binary was given");
    OCEKAVEJ((vysledek.Stav == TVysledek::vsChyba) == !ocekavane.has_value(),
             ocekavane ? "the converter fails where the whole file is converted"
                       : "the converter converts where the whole file fails");
    if (vysledek.Stav == TVysledek::vsPrevedeno) {
        const std::optional<QByteArray> icu = PodleIcu(bajty, vysledek, tabulka, nastaveni.bCrLf);
        OCEKAVEJ(!icu || *icu == vystup.Bajty, "the converter's output differs from ICU's conversion");
    }
    if (ocekavane && *ocekavane != vystup.Bajty) {
        qsizetype i = 0;
        while (i < ocekavane->size() && i < vystup.Bajty.size() && ocekavane->at(i) == vystup.Bajty.at(i))
            ++i;
        std::fprintf(stderr, "whole file %lld bytes, converter %lld bytes, first difference at %lld\n",
                     (long long)ocekavane->size(), (long long)vystup.Bajty.size(), (long long)i);
        OCEKAVEJ(false, "the converter's output differs from that of the whole file");
    }
    return 0;
}
