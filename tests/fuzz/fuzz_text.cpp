// Documents: any bytes are decoded, encoded back in the encoding they were
// read in and decoded again. The text must be the same both times, and the
// bytes that came in must go out unchanged apart from line breaks (CR LF, a
// lone CR and a lone LF all go out as CR LF, or all in the file's own form,
// which gives the very bytes of a file whose breaks were of one form). The
// piece-by-piece reading of
// the command-line converter must come to the same encoding as the whole-file
// reading, wherever the pieces are cut.

#include "Fuzz.h"
#include "TextovySoubor.h"

#include <QtEndian>

namespace {

// The bytes an unchanged save writes: every line break as CR LF. In UTF-16
// the line breaks are code units (after the mark; the stray last byte of an
// odd length stays as it is); elsewhere bytes, since neither UTF-8 nor the
// 8-bit code page has a CR or LF byte inside a character.
QByteArray SKonciRadkuCrLf(const QByteArray &Bajty, TKodovani Kodovani)
{
    const bool b16 =
        Kodovani == koUtf16LE || Kodovani == koUtf16BE || Kodovani == koUtf16LELiche || Kodovani == koUtf16BELiche;
    const bool bBigEndian = Kodovani == koUtf16BE || Kodovani == koUtf16BELiche;
    const qsizetype zacatek = b16 ? 2 : 0;
    const qsizetype sirka = b16 ? 2 : 1;
    const qsizetype konec = zacatek + (Bajty.size() - zacatek) / sirka * sirka;
    const auto jednotka = [&](qsizetype i) -> char16_t {
        if (!b16)
            return uchar(Bajty[i]);
        return bBigEndian ? qFromBigEndian<quint16>(Bajty.constData() + i)
                          : qFromLittleEndian<quint16>(Bajty.constData() + i);
    };
    const auto pridej = [&](QByteArray &Cil, char16_t Znak) {
        if (!b16)
            Cil += char(Znak);
        else if (bBigEndian)
            Cil += char(Znak >> 8), Cil += char(Znak & 0xFF);
        else
            Cil += char(Znak & 0xFF), Cil += char(Znak >> 8);
    };
    QByteArray vysledek = Bajty.left(zacatek);
    for (qsizetype i = zacatek; i < konec; i += sirka) {
        const char16_t c = jednotka(i);
        if (c == u'\r' || c == u'\n') {
            pridej(vysledek, u'\r');
            pridej(vysledek, u'\n');
            if (c == u'\r' && i + sirka < konec && jednotka(i + sirka) == u'\n')
                i += sirka;
        } else {
            pridej(vysledek, c);
        }
    }
    return vysledek + Bajty.mid(konec);
}

// The stand-ins U+DC00 + byte in UTF-8 text: lone low surrogates (valid
// UTF-8 never gives one).
qsizetype PocetZastupcu(const QString &Text)
{
    qsizetype pocet = 0;
    for (qsizetype i = 0; i < Text.size(); ++i)
        if (Text[i].isLowSurrogate() && Text[i].unicode() <= 0xDCFF && (i == 0 || !Text[i - 1].isHighSurrogate()))
            ++pocet;
    return pocet;
}

// Lengths of pieces from a small generator seeded by the input, so that the
// same input is always cut the same way.
class TRezy {
public:
    explicit TRezy(const QByteArray &Bajty)
        : FStav(quint32(Bajty.size()) * 2654435761u ^ (Bajty.isEmpty() ? 0 : uchar(Bajty.back())))
    { }
    qsizetype Dalsi()
    {
        FStav = FStav * 1103515245u + 12345u;
        // Mostly short pieces, so that cuts fall inside characters.
        const quint32 r = FStav >> 16;
        return (r & 3) == 0 ? 1 + (r >> 2) % 4096 : 1 + (r >> 2) % 7;
    }

private:
    quint32 FStav;
};

// The piece-by-piece reading of a file without a mark against the whole-file
// one: counts of pieces cut where characters start add up to the whole file's,
// and the decision over pieces cut anywhere is DekodujText's.
void OverPoKusech(const QByteArray &Bajty, TKodovani Kodovani)
{
    const TPoctyUtf8 celek = SpocitejUtf8(Bajty);
    TRezy rezy(Bajty);
    const auto *b = reinterpret_cast<const uchar *>(Bajty.constData());
    const qsizetype n = Bajty.size();
    TPoctyUtf8 soucet;
    qsizetype zacatek = 0;
    for (qsizetype i = 0; i < n;) {
        const qsizetype cil = i + rezy.Dalsi();
        while (i < n && i < cil)
            i += qMax(1, DelkaSekvenceUtf8(b, i, n));
        soucet += SpocitejUtf8(QByteArrayView(Bajty).sliced(zacatek, i - zacatek));
        zacatek = i;
    }
    OCEKAVEJ(soucet.Neplatne == celek.Neplatne && soucet.Vicebajtove == celek.Vicebajtove &&
                 soucet.bNedefinovany == celek.bNedefinovany,
             "the counts of pieces do not add up to the whole file's");

    bool bUtf8 = false;
    switch (RozhodniUtf8(celek)) {
    case ruUtf8: bUtf8 = true; break;
    case ruOsmibitove: bUtf8 = false; break;
    case ruRozbor: {
        TRozborUtf8 rozbor;
        for (qsizetype i = 0; i < n;) {
            const qsizetype delka = qMin(rezy.Dalsi(), n - i);
            rozbor.Pridej(QByteArrayView(Bajty).sliced(i, delka));
            i += delka;
        }
        bUtf8 = rozbor.JeUtf8(celek);
        break;
    }
    }
    OCEKAVEJ(bUtf8 == (Kodovani == koUtf8BezZnacky), "the reading in pieces decides another encoding");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Velikost)
{
    // The fuzzer's own buffer, exactly as long as the input: a read past its
    // end is caught (a copy would have a terminating null there).
    const QByteArray bajty = QByteArray::fromRawData(reinterpret_cast<const char *>(Data), qsizetype(Velikost));
    const TTextovySoubor soubor = DekodujText(bajty);
    if (soubor.Kodovani == koUtf16LELiche || soubor.Kodovani == koUtf16BELiche)
        OCEKAVEJ(soubor.ZastupciBajtu == 1 && soubor.Text.back().unicode() == 0xDC00 + uchar(bajty.back()),
                 "the stray last byte of UTF-16 is not kept as its stand-in");
    else
        OCEKAVEJ(soubor.ZastupciBajtu == (ZastupujeBajty(soubor.Kodovani) ? PocetZastupcu(soubor.Text) : 0),
                 "the count of bytes kept as stand-ins is wrong");

    QByteArray zpet;
    OCEKAVEJ(ZakodujText(soubor.Text, soubor.Kodovani, zpet), "a text read from a file cannot be written back");
    OCEKAVEJ(zpet == SKonciRadkuCrLf(bajty, soubor.Kodovani), "the file written back differs from the one read");

    OCEKAVEJ(soubor.PoctyZlomu.Celkem() == soubor.Zlomy, "the line breaks by form do not add up to all of them");
    QString seZlomem = soubor.Text;
    seZlomem.replace(QStringLiteral("\r\n"), ZnakyZlomu(soubor.Zlom).toString());
    QByteArray puvodni;
    OCEKAVEJ(ZakodujText(seZlomem, soubor.Kodovani, puvodni), "a text with the file's breaks cannot be written back");
    if (!soubor.PoctyZlomu.Smisene())
        OCEKAVEJ(puvodni == bajty, "the file written back with its own breaks differs from the one read");

    const TTextovySoubor znovu = DekodujText(zpet);
    OCEKAVEJ(znovu.Kodovani == soubor.Kodovani, "the file written back reads in another encoding");
    OCEKAVEJ(znovu.Text == soubor.Text, "the file written back reads as another text");
    OCEKAVEJ(znovu.ZastupciBajtu == soubor.ZastupciBajtu, "the file written back has other stand-ins");

    const bool bZnacka =
        bajty.startsWith("\xEF\xBB\xBF") || bajty.startsWith("\xFF\xFE") || bajty.startsWith("\xFE\xFF");
    if (!bZnacka && SystemoveKodovani() == koUtf8BezZnacky)
        OverPoKusech(bajty, soubor.Kodovani);
    return 0;
}
