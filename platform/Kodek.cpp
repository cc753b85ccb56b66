#include "Kodek.h"

#include "KodovaStranka.h"
#include "Pamet.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>
#include <algorithm>

namespace {

// UTF-8 in which every byte outside a well-formed sequence is kept as its
// stand-in; Zastupci counts them. A U+FEFF at the start of the text (after
// the mark) is text and stays.
QString DekodujUtf8(QByteArrayView Bajty, qsizetype &Zastupci)
{
    Zastupci = 0;
    // Nearly every file is well-formed, and the toolkit's decoder is the fast
    // one.
    QStringDecoder dekoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text(dekoder.requiredSpace(Bajty.size()), Qt::Uninitialized);
    VelkyBlok(text);
    text.truncate(dekoder.appendToBuffer(text.data(), Bajty) - text.constData());
    if (!dekoder.hasError())
        return text;

    // Never more code units than bytes.
    text = QString(Bajty.size(), Qt::Uninitialized);
    VelkyBlok(text);
    char16_t *cil = reinterpret_cast<char16_t *>(text.data());
    const auto *b = reinterpret_cast<const uchar *>(Bajty.data());
    const qsizetype n = Bajty.size();
    qsizetype j = 0;
    for (qsizetype i = 0; i < n;) {
        const int delka = DelkaSekvenceUtf8(b, i, n);
        if (delka == 0) {
            cil[j++] = char16_t(ZastupceNuly + b[i++]);
            ++Zastupci;
            continue;
        }
        const char32_t u = ZnakUtf8(b + i, delka);
        i += delka;
        if (QChar::requiresSurrogates(u)) {
            cil[j++] = QChar::highSurrogate(u);
            cil[j++] = QChar::lowSurrogate(u);
        } else {
            cil[j++] = char16_t(u);
        }
    }
    text.truncate(j);
    return text;
}

// How many bytes at the end of a block may start a UTF-8 sequence that the
// next block goes on with: from the last byte within the last three that
// begins a sequence (or cannot continue one). A sequence that starts before
// it cannot take it, and one that starts earlier ends within the block, so
// the bytes before it read the same whatever follows.
qsizetype OtevrenyKonecUtf8(QByteArrayView Bajty)
{
    const auto *b = reinterpret_cast<const uchar *>(Bajty.data());
    const qsizetype n = Bajty.size();
    for (qsizetype i = n - 1; i >= 0 && i >= n - 3; --i)
        if (b[i] >= 0xC0)
            return n - i;
    return 0;
}

// UTF-8 of Text appended to Bajty; false for a lone surrogate other than a
// byte's stand-in (U+DC80..U+DCFF: only bytes from 0x80 up are ever invalid
// in UTF-8), which is written as that byte; without bZastupci false for every
// lone surrogate.
bool ZakodujUtf8(QStringView Text, QByteArray &Bajty, bool bZastupci)
{
    const qsizetype zacatek = Bajty.size();
    QStringEncoder koder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    Bajty.resize(zacatek + koder.requiredSpace(Text.size()));
    char *cil = koder.appendToBuffer(Bajty.data() + zacatek, Text);
    if (!koder.hasError()) {
        Bajty.truncate(cil - Bajty.constData());
        return true;
    }

    // The runs between stand-ins go through the toolkit's fast encoder.
    QStringEncoder usekovy(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    cil = Bajty.data() + zacatek;
    const char16_t *zdroj = Text.utf16();
    const qsizetype n = Text.size();
    qsizetype usek = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = zdroj[i];
        if (!QChar::isSurrogate(c))
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(zdroj[i + 1])) {
            ++i;
            continue;
        }
        if (!bZastupci || c < ZastupceNuly + 0x80 || c > ZastupceNuly + 0xFF)
            return false;
        cil = usekovy.appendToBuffer(cil, Text.sliced(usek, i - usek));
        *cil++ = char(c - ZastupceNuly);
        usek = i + 1;
    }
    cil = usekovy.appendToBuffer(cil, Text.sliced(usek));
    Bajty.truncate(cil - Bajty.constData());
    return !usekovy.hasError();
}

void PridejUtf16(QByteArray &Bajty, QStringView Text, bool bBigEndian)
{
    // An empty view may have no data at all, which no copy may be given.
    if (Text.isEmpty())
        return;
    const qsizetype zacatek = Bajty.size();
    Bajty.resize(zacatek + Text.size() * 2);
    if (bBigEndian)
        qToBigEndian<char16_t>(Text.utf16(), Text.size(), Bajty.data() + zacatek);
    else
        qToLittleEndian<char16_t>(Text.utf16(), Text.size(), Bajty.data() + zacatek);
}

// NormalizujKonceRadku, adding the line breaks to Pocty by their form.
QString Normalizuj(const QString &Text, TPoctyZlomu &Pocty)
{
    const char16_t *zdroj = reinterpret_cast<const char16_t *>(Text.constData());
    const qsizetype n = Text.size();
    // Most files need nothing, or only LF to become CR LF.
    qsizetype lf = 0, cr = 0, paru = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (zdroj[i] == u'\n') {
            if (i == 0 || zdroj[i - 1] != u'\r')
                ++lf;
            else
                ++paru;
        } else if (zdroj[i] == u'\r' && (i + 1 == n || zdroj[i + 1] != u'\n')) {
            ++cr;
        }
    }
    Pocty.CrLf += paru;
    Pocty.Cr += cr;
    Pocty.Lf += lf;
    const qsizetype pridat = lf + cr;
    if (pridat == 0)
        return Text;
    QString vysledek(n + pridat, Qt::Uninitialized);
    VelkyBlok(vysledek);
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

} // namespace

QByteArrayView ZnackaDruhu(TDruhKodovani Druh)
{
    switch (Druh) {
    case TDruhKodovani::Utf8: return QByteArrayView("\xEF\xBB\xBF", 3);
    case TDruhKodovani::Utf16LE: return QByteArrayView("\xFF\xFE", 2);
    case TDruhKodovani::Utf16BE: return QByteArrayView("\xFE\xFF", 2);
    case TDruhKodovani::Osmibitove: return {};
    }
    return {};
}

QByteArrayView Znacka(const TFormat &Format)
{
    return Format.bZnacka ? ZnackaDruhu(Format.Druh) : QByteArrayView();
}

std::optional<TDruhKodovani> DruhPodleZnacky(QByteArrayView Bajty)
{
    for (const TDruhKodovani druh : {TDruhKodovani::Utf8, TDruhKodovani::Utf16LE, TDruhKodovani::Utf16BE})
        if (Bajty.startsWith(ZnackaDruhu(druh)))
            return druh;
    return std::nullopt;
}

bool ZastupujeBajty(const TFormat &Format)
{
    switch (Format.Druh) {
    case TDruhKodovani::Utf8: return true;
    case TDruhKodovani::Utf16LE:
    case TDruhKodovani::Utf16BE: return Format.bLiche;
    case TDruhKodovani::Osmibitove: return false;
    }
    return false;
}

QString NazevFormatu(const TFormat &Format)
{
    QString nazev;
    switch (Format.Druh) {
    case TDruhKodovani::Utf8: nazev = QStringLiteral("UTF-8"); break;
    case TDruhKodovani::Utf16LE: nazev = QStringLiteral("UTF-16LE"); break;
    case TDruhKodovani::Utf16BE: nazev = QStringLiteral("UTF-16BE"); break;
    case TDruhKodovani::Osmibitove: return NazevKodoveStranky();
    }
    if (Format.bZnacka)
        nazev += QStringLiteral(" with BOM");
    if (Format.bLiche)
        nazev += QStringLiteral(", odd length");
    return nazev;
}

QStringView ZnakyZlomu(TZlom Zlom)
{
    switch (Zlom) {
    case TZlom::Lf: return u"\n";
    case TZlom::CrLf: return u"\r\n";
    case TZlom::Cr: return u"\r";
    }
    return u"\n";
}

TZlom SystemovyZlom()
{
#ifdef Q_OS_WIN
    return TZlom::CrLf;
#else
    return TZlom::Lf;
#endif
}

TZlom TPoctyZlomu::Prevazujici() const
{
    const auto pocet = [this](TZlom Zlom) {
        switch (Zlom) {
        case TZlom::Lf: return Lf;
        case TZlom::CrLf: return CrLf;
        case TZlom::Cr: return Cr;
        }
        return qint64(0);
    };
    const qint64 nejvice = std::max({CrLf, Cr, Lf});
    for (const TZlom zlom : {SystemovyZlom(), TZlom::Lf, TZlom::CrLf, TZlom::Cr})
        if (pocet(zlom) == nejvice)
            return zlom;
    return SystemovyZlom();
}

QString NormalizujKonceRadku(const QString &Text, qsizetype *Zlomy, TPoctyZlomu *Pocty)
{
    TPoctyZlomu pocty;
    QString vysledek = Normalizuj(Text, pocty);
    if (Zlomy)
        *Zlomy = pocty.Celkem();
    if (Pocty)
        *Pocty = pocty;
    return vysledek;
}

// ---- decoding ----

TDekoder::TDekoder(TDruhKodovani Druh, bool bCrLf_) : FDruh(Druh), bCrLf(bCrLf_) { }

QString TDekoder::Dekoduj(QByteArrayView Blok, bool bPosledni)
{
    // What the last block's edge cut goes first.
    QByteArrayView bajty = Blok;
    QByteArray spojene;
    if (!FZbytek.isEmpty()) {
        spojene = FZbytek;
        spojene.append(Blok);
        FZbytek.clear();
        bajty = spojene;
    }
    QString text;
    switch (FDruh) {
    case TDruhKodovani::Osmibitove: text = DekodujOsmibitove(bajty); break;
    case TDruhKodovani::Utf8: {
        const qsizetype otevreny = bPosledni ? 0 : OtevrenyKonecUtf8(bajty);
        FZbytek = bajty.last(otevreny).toByteArray();
        qsizetype zastupci = 0;
        text = DekodujUtf8(bajty.chopped(otevreny), zastupci);
        FZastupci += zastupci;
        break;
    }
    case TDruhKodovani::Utf16LE:
    case TDruhKodovani::Utf16BE: text = DekodujUtf16(bajty, bPosledni); break;
    }
    if (!bCrLf)
        return text;
    if (bCr) {
        text.prepend(u'\r');
        bCr = false;
    }
    if (!bPosledni && text.endsWith(u'\r')) {
        text.chop(1);
        bCr = true;
    }
    return Normalizuj(text, FPocty);
}

// Unpaired surrogates pass as they are and are written back the same; a
// stray last byte of an odd length is kept as its stand-in at the end.
QString TDekoder::DekodujUtf16(QByteArrayView Bajty, bool bPosledni)
{
    const qsizetype n = Bajty.size() / 2;
    const bool bLiche = Bajty.size() % 2;
    QString text(n + (bLiche && bPosledni), Qt::Uninitialized);
    VelkyBlok(text);
    char16_t *cil = reinterpret_cast<char16_t *>(text.data());
    // An empty view may have no data at all, which no copy may be given.
    if (n > 0 && FDruh == TDruhKodovani::Utf16BE)
        qFromBigEndian<char16_t>(Bajty.data(), n, cil);
    else if (n > 0)
        qFromLittleEndian<char16_t>(Bajty.data(), n, cil);
    if (bLiche && bPosledni) {
        cil[n] = char16_t(ZastupceNuly + uchar(Bajty.back()));
        ++FZastupci;
        bLichyNaKonci = true;
    } else if (bLiche) {
        FZbytek = Bajty.last(1).toByteArray();
    }
    return text;
}

// ---- encoding ----

TKoder::TKoder(const TFormat &Format, bool bZastupci_) : FFormat(Format), bZastupci(bZastupci_) { }

bool TKoder::Zakoduj(QStringView Text, bool bPosledni, QByteArray &Bajty)
{
    QStringView text = Text;
    QString spojeny;
    if (FVysoky) {
        spojeny.reserve(Text.size() + 1);
        spojeny += QChar(FVysoky);
        spojeny += Text;
        text = spojeny;
        FVysoky = 0;
    }
    // UTF-8 writes the two halves of a pair as one character.
    if (!bPosledni && !text.isEmpty() && text.back().isHighSurrogate()) {
        FVysoky = text.back().unicode();
        text.chop(1);
    }
    switch (FFormat.Druh) {
    case TDruhKodovani::Utf8: return ZakodujUtf8(text, Bajty, bZastupci);
    case TDruhKodovani::Osmibitove: {
        if (Bajty.isEmpty())
            return ZakodujOsmibitove(text, Bajty);
        QByteArray bajty;
        if (!ZakodujOsmibitove(text, bajty))
            return false;
        Bajty += bajty;
        return true;
    }
    case TDruhKodovani::Utf16LE:
    case TDruhKodovani::Utf16BE: {
        const bool bBigEndian = FFormat.Druh == TDruhKodovani::Utf16BE;
        // The stand-in of an odd file's last byte is that byte again.
        if (bPosledni && FFormat.bLiche && bZastupci && !text.isEmpty() && JeZastupce(text.back().unicode())) {
            PridejUtf16(Bajty, text.chopped(1), bBigEndian);
            Bajty += char(text.back().unicode() - ZastupceNuly);
        } else {
            PridejUtf16(Bajty, text, bBigEndian);
        }
        return true;
    }
    }
    return false;
}
