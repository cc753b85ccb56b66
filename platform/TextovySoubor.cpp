#include "TextovySoubor.h"

#include "Chyba.h"
#include "KodovaStranka.h"
#include "Soubor.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>
#include <cstring>

namespace {

const QByteArray ZnackaUtf8("\xEF\xBB\xBF", 3);
const QByteArray ZnackaUtf16LE("\xFF\xFE", 2);
const QByteArray ZnackaUtf16BE("\xFE\xFF", 2);

// Strict UTF-8: false for any byte sequence that is not well-formed. A U+FEFF
// at the start of the text (after the mark) is text and stays.
bool DekodujUtf8(QByteArrayView Bajty, QString &Text)
{
    QStringDecoder dekoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    Text = dekoder.decode(Bajty);
    return !dekoder.hasError();
}

// UTF-16 of the given byte order; false for an odd number of bytes. Unpaired
// surrogates pass as they are and are written back the same.
bool DekodujUtf16(QByteArrayView Bajty, bool bBigEndian, QString &Text)
{
    if (Bajty.size() % 2)
        return false;
    const qsizetype n = Bajty.size() / 2;
    Text = QString(n, Qt::Uninitialized);
    char16_t *cil = reinterpret_cast<char16_t *>(Text.data());
    if (bBigEndian)
        qFromBigEndian<char16_t>(Bajty.data(), n, cil);
    else
        qFromLittleEndian<char16_t>(Bajty.data(), n, cil);
    return true;
}

void PridejUtf16(QByteArray &Bajty, const QString &Text, bool bBigEndian)
{
    const qsizetype zacatek = Bajty.size();
    Bajty.resize(zacatek + Text.size() * 2);
    if (bBigEndian)
        qToBigEndian<char16_t>(Text.utf16(), Text.size(), Bajty.data() + zacatek);
    else
        qToLittleEndian<char16_t>(Text.utf16(), Text.size(), Bajty.data() + zacatek);
}

} // namespace

TKodovani SystemoveKodovani()
{
#ifdef Q_OS_WIN
    return koOsmibitove;
#else
    return koUtf8BezZnacky;
#endif
}

QString NormalizujKonceRadku(const QString &Text)
{
    const char16_t *zdroj = reinterpret_cast<const char16_t *>(Text.constData());
    const qsizetype n = Text.size();
    // Most files need nothing, or only LF to become CR LF.
    qsizetype pridat = 0;
    bool bZmena = false;
    for (qsizetype i = 0; i < n; ++i) {
        if (zdroj[i] == u'\n') {
            if (i == 0 || zdroj[i - 1] != u'\r') {
                ++pridat;
                bZmena = true;
            }
        } else if (zdroj[i] == u'\r' && (i + 1 == n || zdroj[i + 1] != u'\n')) {
            ++pridat;
            bZmena = true;
        }
    }
    if (!bZmena)
        return Text;
    QString vysledek(n + pridat, Qt::Uninitialized);
    char16_t *cil = reinterpret_cast<char16_t *>(vysledek.data());
    qsizetype j = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = zdroj[i];
        if (c == u'\r') {
            cil[j++] = u'\r';
            cil[j++] = u'\n';
            if (i + 1 < n && zdroj[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            cil[j++] = u'\r';
            cil[j++] = u'\n';
        } else {
            cil[j++] = c;
        }
    }
    return vysledek;
}

TTextovySoubor DekodujText(const QByteArray &Bajty)
{
    TTextovySoubor soubor{QString(), koOsmibitove};
    bool bPlatne = false;
    if (Bajty.startsWith(ZnackaUtf8)) {
        soubor.Kodovani = koUtf8;
        bPlatne = DekodujUtf8(QByteArrayView(Bajty).sliced(3), soubor.Text);
    } else if (Bajty.startsWith(ZnackaUtf16LE)) {
        soubor.Kodovani = koUtf16LE;
        bPlatne = DekodujUtf16(QByteArrayView(Bajty).sliced(2), false, soubor.Text);
    } else if (Bajty.startsWith(ZnackaUtf16BE)) {
        soubor.Kodovani = koUtf16BE;
        bPlatne = DekodujUtf16(QByteArrayView(Bajty).sliced(2), true, soubor.Text);
    } else if (SystemoveKodovani() == koUtf8BezZnacky) {
        soubor.Kodovani = koUtf8BezZnacky;
        bPlatne = DekodujUtf8(Bajty, soubor.Text);
    }
    if (!bPlatne) {
        soubor.Kodovani = koOsmibitove;
        soubor.Text = DekodujOsmibitove(Bajty);
    }
    soubor.Text = NormalizujKonceRadku(soubor.Text);
    return soubor;
}

bool ZakodujText(const QString &Text, TKodovani Kodovani, QByteArray &Bajty)
{
    switch (Kodovani) {
    case koUtf8:
    case koUtf8BezZnacky: {
        // A lone half of a surrogate pair has no UTF-8 form: false rather than a
        // stand-in character.
        QStringEncoder koder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const qsizetype znacka = Kodovani == koUtf8 ? ZnackaUtf8.size() : 0;
        Bajty.resize(znacka + koder.requiredSpace(Text.size()));
        std::memcpy(Bajty.data(), ZnackaUtf8.constData(), size_t(znacka));
        char *konec = koder.appendToBuffer(Bajty.data() + znacka, Text);
        Bajty.truncate(konec - Bajty.constData());
        return !koder.hasError();
    }
    case koUtf16LE:
        Bajty = ZnackaUtf16LE;
        PridejUtf16(Bajty, Text, false);
        return true;
    case koUtf16BE:
        Bajty = ZnackaUtf16BE;
        PridejUtf16(Bajty, Text, true);
        return true;
    case koOsmibitove:
        return ZakodujOsmibitove(Text, Bajty);
    }
    return false;
}

QString DuvodNeplatnehoUtf8()
{
    return QStringLiteral("The text holds half of a UTF-16 surrogate pair, which UTF-8 cannot store");
}

TTextovySoubor NactiTextovySoubor(const QString &Cesta)
{
    return DekodujText(NactiBajty(Cesta));
}
