// Windows, whose toolkit has no ICU: the system's single-byte code pages
// under their usual names and aliases, converted by MultiByteToWideChar and
// WideCharToMultiByte. A single-byte code page has no state, so a block's
// edge cuts nothing. Multi-byte encodings (Shift_JIS, GB18030, ...) are not
// offered here.

#include "CiziKodovani.h"

#include "Chyba.h"

#include <windows.h>

namespace {

struct TStranka {
    UINT Cislo;
    const char *Jmena; // the name first, then its aliases, separated by spaces
};

const TStranka Stranky[] = {
    {437, "IBM437 cp437 437 csPC8CodePage437"},
    {737, "IBM737 cp737 737"},
    {775, "IBM775 cp775 775"},
    {850, "IBM850 cp850 850 csPC850Multilingual"},
    {852, "IBM852 cp852 852 csPCp852"},
    {855, "IBM855 cp855 855"},
    {857, "IBM857 cp857 857"},
    {860, "IBM860 cp860 860"},
    {861, "IBM861 cp861 861"},
    {862, "IBM862 cp862 862"},
    {863, "IBM863 cp863 863"},
    {865, "IBM865 cp865 865"},
    {866, "IBM866 cp866 866"},
    {869, "IBM869 cp869 869"},
    {874, "windows-874 cp874 TIS-620"},
    {1250, "windows-1250 cp1250"},
    {1251, "windows-1251 cp1251"},
    {1252, "windows-1252 cp1252"},
    {1253, "windows-1253 cp1253"},
    {1254, "windows-1254 cp1254"},
    {1255, "windows-1255 cp1255"},
    {1256, "windows-1256 cp1256"},
    {1257, "windows-1257 cp1257"},
    {1258, "windows-1258 cp1258"},
    {10000, "macintosh mac macroman x-mac-roman"},
    {10029, "x-mac-ce mac-centraleurope maccentraleurope"},
    {20866, "KOI8-R koi8r cskoi8r"},
    {21866, "KOI8-U koi8u"},
    {28591, "ISO-8859-1 iso8859-1 latin1 l1 ISO_8859-1 ISO_8859-1:1987 cp819 IBM819"},
    {28592, "ISO-8859-2 iso8859-2 latin2 l2 ISO_8859-2 ISO_8859-2:1987"},
    {28593, "ISO-8859-3 iso8859-3 latin3 l3 ISO_8859-3"},
    {28594, "ISO-8859-4 iso8859-4 latin4 l4 ISO_8859-4"},
    {28595, "ISO-8859-5 iso8859-5 cyrillic ISO_8859-5"},
    {28596, "ISO-8859-6 iso8859-6 arabic ISO_8859-6"},
    {28597, "ISO-8859-7 iso8859-7 greek ISO_8859-7"},
    {28598, "ISO-8859-8 iso8859-8 hebrew ISO_8859-8"},
    {28599, "ISO-8859-9 iso8859-9 latin5 l5 ISO_8859-9"},
    {28603, "ISO-8859-13 iso8859-13 latin7"},
    {28605, "ISO-8859-15 iso8859-15 latin9 latin-9 ISO_8859-15"},
};

// Names compared as ICU compares them: case, '-', '_' and spaces aside.
QByteArray Klic(const QByteArray &Jmeno)
{
    QByteArray k;
    for (char c : Jmeno)
        if (c != '-' && c != '_' && c != ' ')
            k += char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return k;
}

const TStranka *Najdi(const QByteArray &Jmeno)
{
    const QByteArray klic = Klic(Jmeno);
    for (const TStranka &s : Stranky)
        for (const QByteArray &j : QByteArray(s.Jmena).split(' '))
            if (Klic(j) == klic)
                return IsValidCodePage(s.Cislo) ? &s : nullptr;
    return nullptr;
}

} // namespace

std::optional<TCiziKodovani> NajdiKodovani(const QByteArray &Jmeno)
{
    const TStranka *s = Jmeno.isEmpty() ? nullptr : Najdi(Jmeno);
    if (!s)
        return std::nullopt;
    const QByteArray nazev = QByteArray(s->Jmena).split(' ').first();
    return TCiziKodovani{nazev, QString::fromLatin1(nazev), 1};
}

QList<QByteArrayList> SeznamKodovani()
{
    QList<QByteArrayList> seznam;
    for (const TStranka &s : Stranky)
        if (IsValidCodePage(s.Cislo))
            seznam << QByteArray(s.Jmena).split(' ');
    return seznam;
}

struct TCiziPrevod::TData {
    UINT Vstup = 0, Vystup = 0; // CP_UTF8 for the output of --utf8-fallback
    wchar_t Vysoky = 0;         // a high surrogate at a piece's end
};

TCiziPrevod::TCiziPrevod(const QByteArray &Vstup, const QByteArray &Vystup) : d(std::make_unique<TData>())
{
    const auto stranka = [](const QByteArray &Jmeno) -> UINT {
        if (Klic(Jmeno) == "utf8")
            return CP_UTF8;
        const TStranka *s = Najdi(Jmeno);
        if (!s)
            throw EChyba(
                QStringLiteral("The code page %1 is not available on this system").arg(QString::fromLatin1(Jmeno)));
        return s->Cislo;
    };
    d->Vstup = stranka(Vstup);
    d->Vystup = stranka(Vystup);
}

TCiziPrevod::~TCiziPrevod() = default;

int TCiziPrevod::NejviceNaZnak() const
{
    return d->Vystup == CP_UTF8 ? 3 : 1;
}

bool TCiziPrevod::Dekoduj(QByteArrayView Bajty, bool, QString &Text)
{
    if (Bajty.isEmpty())
        return true;
    const qsizetype mame = Text.size();
    Text.resize(mame + Bajty.size());
    const int n = MultiByteToWideChar(d->Vstup, MB_ERR_INVALID_CHARS, Bajty.data(), int(Bajty.size()),
                                      reinterpret_cast<wchar_t *>(Text.data()) + mame, int(Bajty.size()));
    Text.resize(mame + qMax(n, 0));
    return n == Bajty.size();
}

bool TCiziPrevod::Zakoduj(QStringView Text, bool bPosledni, QByteArray &Bajty)
{
    QString text;
    if (d->Vysoky)
        text += QChar(d->Vysoky);
    text += Text;
    d->Vysoky = 0;
    if (!bPosledni && !text.isEmpty() && text.back().isHighSurrogate()) {
        d->Vysoky = text.back().unicode();
        text.chop(1);
    }
    if (text.isEmpty())
        return true;
    const qsizetype mame = Bajty.size();
    Bajty.resize(mame + text.size() * 3);
    BOOL bNahrazeno = FALSE;
    const bool bUtf8 = d->Vystup == CP_UTF8;
    const int n = WideCharToMultiByte(
        d->Vystup, bUtf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t *>(text.utf16()),
        int(text.size()), Bajty.data() + mame, int(text.size() * 3), nullptr, bUtf8 ? nullptr : &bNahrazeno);
    Bajty.resize(mame + qMax(n, 0));
    return n > 0 && !bNahrazeno;
}
