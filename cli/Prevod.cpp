#include "Prevod.h"

#include "KodovaStranka.h"
#include "Konverze.h"
#include "Platforma.h"
#include "Pruchod.h"
#include "RychlyPrevod.h"
#include "convar.h"

#include <QtAlgorithms>
#include <cstring>

namespace {

constexpr qsizetype DelkaHlavy = 8192; // where a binary file shows its NUL bytes
constexpr qint64 NejmensiBlok = 64;    // the cut of a block is looked for in its last 16 bytes

// ---- the pair table ----

// The window's table for one kind of document, as the look-up of every code
// unit and, for UTF-8 to UTF-8, its UTF-8.
struct TTabulka {
    TTabulkaNahrad Mapa;
    TMapaUtf8 Utf8;
    bool bSurogaty; // a surrogate code unit is changed, or something becomes one

    TTabulka(QString Hledane, QString Nahrady, bool bBezZastupcu)
        : Mapa(bBezZastupcu ? BezZastupcu(Hledane, Nahrady) : Hledane, Nahrady),
          Utf8(Mapa.Data()),
          bSurogaty(Mapa.MeniPoloviny())
    { }
    char16_t operator[](char16_t u) const { return Mapa[u]; }

private:
    // The table of text whose U+DC00..U+DCFF stand for bytes: those pairs
    // left out (Nahrady loses their partners too).
    static QString &BezZastupcu(QString &Hledane, QString &Nahrady)
    {
        VynechPary(Hledane, Nahrady, 0xDC00, 0xDCFF);
        return Hledane;
    }
};

// Any encoding to any, block after block, through UTF-16 as the window keeps
// text: the codec's decoder (stand-ins for bytes the encoding cannot read,
// line breaks made CR LF), every code unit through the table, the codec's
// encoder. What a block boundary cuts waits in them for the next block.
class TPrevodObecny : public TPrevodBloku {
public:
    TPrevodObecny(const TTabulka &Tabulka, TFormat Vstup, TFormat Vystup, bool bCrLf, bool bPocitat_)
        : FTabulka(Tabulka),
          FDekoder(Vstup.Druh, bCrLf),
          // Stand-ins are bytes only in text read in an encoding that keeps them.
          FKoder(TFormat{Vystup.Druh, false, false}, ZastupujeBajty(Vstup)),
          bPocitat(bPocitat_),
          bHlidatZastupce(Vstup.Druh == TDruhKodovani::Utf8 && Tabulka.bSurogaty)
    { }
    bool Nezavisly() const override { return false; }
    qsizetype Nasobek() const override { return 8; }
    // Whether the file ended with the stray byte of odd UTF-16.
    bool LichyNaKonci() const { return FDekoder.LichyNaKonci(); }

    qsizetype Preved(const uchar *b, qsizetype n, bool bPosledni, uchar *Vystup, TPocty &Pocty) override
    {
        if (bPocitat)
            Pocty.Utf8 += SpocitejUtf8(QByteArrayView(b, n));
        const qint64 zlomy = FDekoder.ZmeneneZlomy();
        QString text = FDekoder.Dekoduj(QByteArrayView(b, n), bPosledni);
        Pocty.Zlomy += FDekoder.ZmeneneZlomy() - zlomy;
        // As the window's F6, never a character made a byte's stand-in, nor
        // a stand-in paired up with a half of a surrogate pair.
        const QString puvodni = bHlidatZastupce ? text : QString();
        char16_t *t = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t m = FTabulka[t[i]];
            Pocty.Nahrazeno += m != t[i];
            t[i] = m;
        }
        if (bHlidatZastupce && !text.isEmpty()) {
            if (MeniOsamelePoloviny(puvodni, text, ZastupceNuly + 0x80, ZastupceNuly + 0xFF, FPredPuvodni, FPredNovy)) {
                Pocty.bSelhalo = Pocty.bZastupce = true;
                return 0;
            }
            FPredPuvodni = puvodni.back().unicode();
            FPredNovy = text.back().unicode();
        }
        // The stand-in of an odd file's last byte is that byte again.
        if (bPosledni)
            FKoder.NastavLiche(FDekoder.LichyNaKonci());
        QByteArray bajty;
        if (!FKoder.Zakoduj(text, bPosledni, bajty)) {
            Pocty.bSelhalo = true;
            return 0;
        }
        std::memcpy(Vystup, bajty.constData(), size_t(bajty.size()));
        return bajty.size();
    }

private:
    const TTabulka &FTabulka;
    TDekoder FDekoder;
    TKoder FKoder;
    bool bPocitat;
    bool bHlidatZastupce;                     // the table changes halves of surrogate pairs in UTF-8 text
    char16_t FPredPuvodni = 0, FPredNovy = 0; // the last code unit of the block before, and what it became
};

// Another encoding, block after block, through UTF-16: its decoder, the line
// breaks made CR LF where asked, every code unit through the table, the
// encoder of the output's encoding. Both converters carry over what a
// block's edge cuts. A byte sequence the input's encoding cannot read fails
// the file (its bytes could not be written back as they were).
class TPrevodCizi : public TPrevodBloku {
public:
    TPrevodCizi(const TTabulka &Tabulka, const QByteArray &Vstup, const QByteArray &Vystup, bool bCrLf_)
        : FTabulka(Tabulka),
          FPrevod(Vstup, Vystup),
          bCrLf(bCrLf_)
    { }
    bool Nezavisly() const override { return false; }
    // A code unit for a byte at most, doubled by CR LF, and a little more for
    // what the block before left waiting.
    qsizetype Nasobek() const override { return 4 * FPrevod.NejviceNaZnak() + 8; }
    bool Neplatny() const { return bNeplatny; }

    qsizetype Preved(const uchar *b, qsizetype n, bool bPosledni, uchar *Vystup, TPocty &Pocty) override
    {
        QString text;
        if (!FPrevod.Dekoduj(QByteArrayView(b, n), bPosledni, text)) {
            bNeplatny = Pocty.bSelhalo = true;
            return 0;
        }
        if (bCrLf)
            text = ZlomyCrLf(text, bPosledni, Pocty.Zlomy);
        char16_t *t = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t m = FTabulka[t[i]];
            Pocty.Nahrazeno += m != t[i];
            t[i] = m;
        }
        QByteArray bajty;
        if (!FPrevod.Zakoduj(text, bPosledni, bajty) || bajty.size() > n * Nasobek() + 16) {
            Pocty.bSelhalo = true;
            return 0;
        }
        std::memcpy(Vystup, bajty.constData(), size_t(bajty.size()));
        return bajty.size();
    }

private:
    // Every CR LF, lone CR and lone LF as CR LF; Zlomy counts the lone ones.
    // A CR at a block's end waits to see whether an LF follows.
    QString ZlomyCrLf(const QString &Text, bool bPosledni, qint64 &Zlomy)
    {
        QString vysledek;
        vysledek.reserve(Text.size() + Text.size() / 8 + 2);
        for (const QChar c : Text) {
            if (bCr && c != u'\n')
                ++Zlomy; // a lone CR, already written as CR LF
            if (c == u'\r') {
                vysledek += QStringLiteral("\r\n");
            } else if (c == u'\n') {
                if (!bCr) {
                    vysledek += QStringLiteral("\r\n");
                    ++Zlomy;
                }
            } else {
                vysledek += c;
            }
            bCr = c == u'\r';
        }
        if (bPosledni && bCr)
            ++Zlomy;
        return vysledek;
    }

    const TTabulka &FTabulka;
    TCiziPrevod FPrevod;
    bool bCrLf;
    bool bCr = false; // the last code unit so far was a CR
    bool bNeplatny = false;
};

} // namespace

QString TNastaveniPrevodu::VychoziHledane()
{
    return VychoziZnakySeZnamenkem;
}

QString TNastaveniPrevodu::VychoziNahrady()
{
    return VychoziZnakyBezZnamenka;
}

// ---- the converter ----

struct TPrevodnik::TData {
    TNastaveniPrevodu Nastaveni;
    TTabulka SeZastupci,
        BezZastupcu; // for text whose U+DC00..U+DCFF are code units, and for text where they stand for bytes

    explicit TData(const TNastaveniPrevodu &N)
        : Nastaveni(N),
          SeZastupci(N.Hledane, N.Nahrady, false),
          BezZastupcu(N.Hledane, N.Nahrady, true)
    {
        Nastaveni.Blok = qMax(Nastaveni.Blok, NejmensiBlok);
        Nastaveni.Vlaken = qMax(Nastaveni.Vlaken, 1);
    }

    const TTabulka &Tabulka(const TFormat &Format) const { return ZastupujeBajty(Format) ? BezZastupcu : SeZastupci; }

    // Whether the table of UTF-16 text depends on the file's length (the
    // stray byte of an odd length makes U+DC00..U+DCFF stand-ins).
    bool TabulkaPodleDelky() const
    {
        return std::memcmp(SeZastupci.Mapa.Data() + 0xDC00, BezZastupcu.Mapa.Data() + 0xDC00,
                           0x100 * sizeof(char16_t)) != 0;
    }

    // Whether converting Vstup into Vystup may meet a character that Vystup
    // cannot hold.
    bool MuzeSelhat(const TFormat &Vstup, const TFormat &Vystup) const
    {
        if (Vystup.Druh == TDruhKodovani::Osmibitove)
            return Vstup.Druh != TDruhKodovani::Osmibitove ||
                OsmibitovyMuzeSelhat(Tabulka(Vstup).Mapa.Data(), Nastaveni.bCrLf);
        if (Vystup.Druh == TDruhKodovani::Utf8)
            return Vstup.Druh != TDruhKodovani::Utf8 || Tabulka(Vstup).bSurogaty;
        return false;
    }

    std::unique_ptr<TPrevodBloku> Prevod(const TFormat &Vstup, const TFormat &Vystup, bool bPocitat) const
    {
        const TTabulka &tabulka = Tabulka(Vstup);
        if (Vstup.Druh == TDruhKodovani::Utf8 && Vystup.Druh == TDruhKodovani::Utf8 && !tabulka.bSurogaty)
            return PrevodUtf8(tabulka.Utf8, Nastaveni.bCrLf);
        if (Vstup.Druh == TDruhKodovani::Osmibitove && Vystup.Druh == TDruhKodovani::Osmibitove)
            return PrevodOsmibitovy(tabulka.Mapa.Data(), Nastaveni.bCrLf, bPocitat);
        return std::make_unique<TPrevodObecny>(tabulka, Vstup, Vystup, Nastaveni.bCrLf, bPocitat);
    }
};

TPrevodnik::TPrevodnik(const TNastaveniPrevodu &Nastaveni) : d(std::make_unique<TData>(Nastaveni)) { }

TPrevodnik::~TPrevodnik() = default;

TVysledek TPrevodnik::Preved(TZdroj &Zdroj, TVystup &Vystup, const QString &CestaVystupu,
                             const std::function<void(qint64)> &Prubeh)
{
    if (!d->Nastaveni.Cizi.Nazev.isEmpty())
        return PrevedCizi(Zdroj, Vystup, Prubeh);
    const TNastaveniPrevodu &nastaveni = d->Nastaveni;
    TVysledek vysledek;

    // The first bytes tell a mark and a binary file.
    const QByteArray hlava = Zdroj.Hlava(DelkaHlavy);
    TFormat format;
    bool bZnamy = true;
    if (nastaveni.Kodovani) {
        format.Druh = *nastaveni.Kodovani;
        format.bZnacka = format.Druh != TDruhKodovani::Osmibitove && hlava.startsWith(ZnackaDruhu(format.Druh));
    } else if (const std::optional<TDruhKodovani> druh = DruhPodleZnacky(hlava)) {
        format = {*druh, true, false};
    } else if (SystemoveKodovani() == koUtf8BezZnacky) {
        bZnamy = false; // UTF-8 or the 8-bit code page: the whole file decides
    } else {
        format.Druh = TDruhKodovani::Osmibitove;
    }
    vysledek.Vstup = vysledek.Vystup = format;

    // Converted as 8-bit text, a binary file would be corrupted. UTF-16 holds
    // NUL bytes in any Latin text.
    if (!nastaveni.bBinarni && !JeUtf16(format.Druh) && hlava.contains('\0')) {
        vysledek.Stav = TVysledek::vsBinarni;
        return vysledek;
    }

    const auto prubeh = [&](qint64 Bajtu) {
        if (Prubeh)
            Prubeh(Bajtu);
    };
    const auto chyba = [&](const TFormat &Vystupni, bool bZastupce) {
        vysledek.Stav = TVysledek::vsChyba;
        if (bZastupce)
            vysledek.Chyba = QStringLiteral("%1: The pair table changes halves of UTF-16 surrogate pairs so that a "
                                            "stand-in for a byte of the file (U+DC80 to U+DCFF) would appear or "
                                            "disappear, and the output would hold other bytes than the text")
                                 .arg(Zdroj.Jmeno());
        else if (Vystupni.Druh == TDruhKodovani::Osmibitove)
            vysledek.Chyba = QStringLiteral("%1: The converted text holds characters that %2 cannot store "
                                            "(--utf8-fallback writes such a file as UTF-8 with a byte-order mark)")
                                 .arg(Zdroj.Jmeno(), NazevKodoveStranky());
        else if (CestaVystupu.isEmpty())
            vysledek.Chyba = QStringLiteral("%1: %2").arg(Zdroj.Jmeno(), DuvodNeplatnehoUtf8());
        else
            vysledek.Chyba = QStringLiteral("%1: %2").arg(Zobraz(CestaVystupu), DuvodNeplatnehoUtf8());
        return vysledek;
    };

    // What is read as it comes is kept in a temporary file when it may have
    // to be read more than once, or when its length decides the table.
    const qint64 zacatek = Znacka(format).size();
    if (!Zdroj.Nahodny()) {
        const bool bNahradni = format.Druh == TDruhKodovani::Osmibitove && nastaveni.bUtf8Nahradni;
        // So is UTF-8 in which a table that changes halves of surrogate pairs
        // may meet a byte's stand-in: the whole of it is looked at for that
        // before a failure is told.
        const bool bPoloviny = format.Druh == TDruhKodovani::Utf8 && d->BezZastupcu.bSurogaty;
        const bool bJednou = bZnamy && !(JeUtf16(format.Druh) && d->TabulkaPodleDelky()) && !bPoloviny &&
            (!d->MuzeSelhat(format, format) || (Vystup.LzeOdvolat() && !bNahradni));
        if (!bJednou)
            Zdroj.Uloz();
    }
    if (Zdroj.Nahodny() && JeUtf16(format.Druh))
        format.bLiche = (Zdroj.Velikost() - zacatek) % 2;

    TPruchod pruchod{Zdroj, zacatek, JeUtf16(format.Druh), nastaveni.Blok, nastaveni.Vlaken, nastaveni.bMapovat,
                     prubeh};
    // The window refuses F6 for a byte's stand-in before a save can fail at
    // all: a pass that stopped at a character the output cannot hold has not
    // seen the whole file, which is looked at for that first.
    const auto zastupce = [&](const TPocty &Pocty) {
        if (Pocty.bZastupce || !Zdroj.Nahodny() || format.Druh != TDruhKodovani::Utf8 || !d->Tabulka(format).bSurogaty)
            return Pocty.bZastupce;
        TPrevodObecny kontrola(d->Tabulka(format), format, TFormat{TDruhKodovani::Utf16LE, false, false},
                               nastaveni.bCrLf, false);
        return pruchod.Spust(kontrola, nullptr).bZastupce;
    };
    const auto prevest = [&](const TFormat &Vstupni, const TFormat &Vystupni, TVystup *Cil, bool bPocitat) {
        const std::unique_ptr<TPrevodBloku> prevod = d->Prevod(Vstupni, Vystupni, bPocitat);
        if (Cil) {
            const QByteArrayView znacka = Znacka(Vystupni);
            Cil->Zapis(znacka.constData(), znacka.size());
        }
        TPocty pocty = pruchod.Spust(*prevod, Cil);
        if (auto *obecny = dynamic_cast<TPrevodObecny *>(prevod.get()); obecny && obecny->LichyNaKonci())
            format.bLiche = true;
        return pocty;
    };
    // A result stands only for the file as it was when it was opened.
    const auto hotovo = [&](const TPocty &Pocty, const TFormat &Vystupni) {
        Zdroj.Over();
        vysledek.Vstup = format;
        vysledek.Vystup = Vystupni;
        if (JeUtf16(Vystupni.Druh))
            vysledek.Vystup.bLiche = format.bLiche;
        vysledek.Nahrazeno = Pocty.Nahrazeno;
        vysledek.Zlomy = Pocty.Zlomy;
        return vysledek;
    };
    // UTF-8 or the 8-bit code page, by the counts of the UTF-8 reading and,
    // where they do not decide, by a second reading.
    const auto rozhodni = [&](const TPoctyUtf8 &Pocty) {
        switch (RozhodniUtf8(Pocty)) {
        case ruUtf8: return TDruhKodovani::Utf8;
        case ruOsmibitove: return TDruhKodovani::Osmibitove;
        case ruRozbor: break;
        }
        TRozborBloku rozbor;
        pruchod.Spust(rozbor, nullptr);
        return rozbor.Rozbor.JeUtf8(Pocty) ? TDruhKodovani::Utf8 : TDruhKodovani::Osmibitove;
    };

    if (!bZnamy) {
        if (Vystup.LzeOdvolat()) {
            // Converted while counted, in the encoding that the first block
            // suggests; again only when the whole file decides otherwise.
            QByteArray prvni(qMin(nastaveni.Blok, Zdroj.Velikost()), Qt::Uninitialized);
            prvni.truncate(Zdroj.CtiNa(0, prvni.data(), prvni.size()));
            TFormat odhad;
            odhad.Druh =
                RozhodniUtf8(SpocitejUtf8(prvni)) == ruOsmibitove ? TDruhKodovani::Osmibitove : TDruhKodovani::Utf8;
            TPocty pocty = prevest(odhad, odhad, &Vystup, true);
            if (pocty.bSelhalo) {
                Vystup.Odvolej();
                TPocitani pocitani;
                pocty.Utf8 = pruchod.Spust(pocitani, nullptr).Utf8;
            }
            format.Druh = rozhodni(pocty.Utf8);
            if (format == odhad && !pocty.bSelhalo)
                return hotovo(pocty, format);
            if (!pocty.bSelhalo)
                Vystup.Odvolej();
        } else {
            TPocitani pocitani;
            format.Druh = rozhodni(pruchod.Spust(pocitani, nullptr).Utf8);
        }
    }

    TFormat vystupni = format;
    const TFormat utf8SeZnackou{TDruhKodovani::Utf8, true, false};
    const bool bNahradni = format.Druh == TDruhKodovani::Osmibitove && nastaveni.bUtf8Nahradni;
    // Where the output cannot be taken back, a first reading finds out what
    // the output can hold.
    if (d->MuzeSelhat(format, format) && !Vystup.LzeOdvolat()) {
        if (const TPocty prvni = prevest(format, format, nullptr, false); prvni.bSelhalo) {
            if (!bNahradni)
                return chyba(format, zastupce(prvni));
            vystupni = utf8SeZnackou;
            if (const TPocty druhy = prevest(format, vystupni, nullptr, false); druhy.bSelhalo)
                return chyba(vystupni, zastupce(druhy));
        }
    }
    TPocty pocty = prevest(format, vystupni, &Vystup, false);
    if (pocty.bSelhalo) {
        Vystup.Odvolej();
        if (!bNahradni || vystupni == utf8SeZnackou)
            return chyba(vystupni, zastupce(pocty));
        // As the window asks before it saves such text as UTF-8.
        vystupni = utf8SeZnackou;
        pocty = prevest(format, vystupni, &Vystup, false);
        if (pocty.bSelhalo) {
            Vystup.Odvolej();
            return chyba(vystupni, zastupce(pocty));
        }
    }
    return hotovo(pocty, vystupni);
}

// A file in another encoding the user named: no mark, no detection, no
// stand-ins. It is read and written back in that encoding, or as UTF-8 with
// a byte-order mark where --utf8-fallback allows and the encoding cannot
// hold the converted text.
TVysledek TPrevodnik::PrevedCizi(TZdroj &Zdroj, TVystup &Vystup, const std::function<void(qint64)> &Prubeh)
{
    const TNastaveniPrevodu &nastaveni = d->Nastaveni;
    const TCiziKodovani &kodovani = nastaveni.Cizi;
    TVysledek vysledek;
    vysledek.Cizi = kodovani.Zobrazeni;
    vysledek.bCiziVystup = true;

    // Where every character takes one byte or more, a NUL byte is binary;
    // in UTF-16 or UTF-32 it is text.
    if (!nastaveni.bBinarni && kodovani.Nejmene == 1 && Zdroj.Hlava(DelkaHlavy).contains('\0')) {
        vysledek.Stav = TVysledek::vsBinarni;
        return vysledek;
    }
    // Output that cannot be taken back is written only after a first pass
    // found the text convertible, and the fallback to UTF-8 is a second
    // pass: both read the input again.
    const bool bNahradni = nastaveni.bUtf8Nahradni;
    if (!Zdroj.Nahodny() && (!Vystup.LzeOdvolat() || bNahradni))
        Zdroj.Uloz();
    TPruchod pruchod{Zdroj, 0, false, nastaveni.Blok, 1, nastaveni.bMapovat, [&](qint64 Bajtu) {
                         if (Prubeh)
                             Prubeh(Bajtu);
                     }};
    const QByteArray utf8("UTF-8");
    // A pass into Cil (nothing: only to see whether it succeeds); Neplatny
    // tells bytes the input's encoding cannot read.
    bool bNeplatny = false;
    const auto prevest = [&](bool bUtf8, TVystup *Cil) {
        TPrevodCizi prevod(d->SeZastupci, kodovani.Nazev, bUtf8 ? utf8 : kodovani.Nazev, nastaveni.bCrLf);
        if (Cil && bUtf8)
            Cil->Zapis("\xEF\xBB\xBF", 3);
        const TPocty pocty = pruchod.Spust(prevod, Cil);
        bNeplatny = prevod.Neplatny();
        if (pocty.bSelhalo && Cil)
            Cil->Odvolej();
        return pocty;
    };
    const auto chyba = [&](bool bUtf8) {
        vysledek.Stav = TVysledek::vsChyba;
        if (bNeplatny)
            vysledek.Chyba = QStringLiteral("%1: The file holds bytes that are not %2 text (--encoding names "
                                            "another encoding)")
                                 .arg(Zdroj.Jmeno(), kodovani.Zobrazeni);
        else if (bUtf8)
            vysledek.Chyba = QStringLiteral("%1: %2").arg(Zdroj.Jmeno(), DuvodNeplatnehoUtf8());
        else
            vysledek.Chyba = QStringLiteral("%1: The converted text holds characters that %2 cannot store "
                                            "(--utf8-fallback writes such a file as UTF-8 with a byte-order mark)")
                                 .arg(Zdroj.Jmeno(), kodovani.Zobrazeni);
        return vysledek;
    };

    bool bUtf8 = false;
    if (!Vystup.LzeOdvolat()) {
        if (prevest(false, nullptr).bSelhalo) {
            if (bNeplatny || !bNahradni)
                return chyba(false);
            bUtf8 = true;
            if (prevest(true, nullptr).bSelhalo)
                return chyba(true);
        }
    }
    TPocty pocty = prevest(bUtf8, &Vystup);
    if (pocty.bSelhalo) {
        if (bNeplatny || !bNahradni || bUtf8)
            return chyba(bUtf8);
        bUtf8 = true;
        pocty = prevest(true, &Vystup);
        if (pocty.bSelhalo)
            return chyba(true);
    }
    Zdroj.Over();
    if (bUtf8) {
        vysledek.Vystup = TFormat{TDruhKodovani::Utf8, true, false};
        vysledek.bCiziVystup = false;
    }
    vysledek.Nahrazeno = pocty.Nahrazeno;
    vysledek.Zlomy = pocty.Zlomy;
    return vysledek;
}
