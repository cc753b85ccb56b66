// The encodings of ICU's converters, with substitution switched off in both
// directions.

#include "CiziKodovani.h"

#include "Chyba.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

namespace {

struct TZavri {
    void operator()(UConverter *c) const { ucnv_close(c); }
};
using TKonvertor = std::unique_ptr<UConverter, TZavri>;

// A converter that stops at the first byte or character it cannot convert.
TKonvertor Otevri(const char *Nazev)
{
    UErrorCode chyba = U_ZERO_ERROR;
    TKonvertor c(ucnv_open(Nazev, &chyba));
    if (U_FAILURE(chyba) || !c)
        return nullptr;
    ucnv_setToUCallBack(c.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &chyba);
    ucnv_setFromUCallBack(c.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &chyba);
    ucnv_setFallback(c.get(), false);
    return U_SUCCESS(chyba) ? std::move(c) : nullptr;
}

// The name an encoding is usually known by (MIME's, else IANA's, else
// Windows'), else ICU's own.
QByteArray ObvykleJmeno(const char *Nazev)
{
    for (const char *standard : {"MIME", "IANA", "WINDOWS"}) {
        UErrorCode chyba = U_ZERO_ERROR;
        if (const char *jmeno = ucnv_getStandardName(Nazev, standard, &chyba); U_SUCCESS(chyba) && jmeno)
            return jmeno;
    }
    return Nazev;
}

} // namespace

std::optional<TCiziKodovani> NajdiKodovani(const QByteArray &Jmeno)
{
    // An empty name would open the default converter, and a name with a
    // comma would take options.
    if (Jmeno.isEmpty() || Jmeno.contains(','))
        return std::nullopt;
    const TKonvertor c = Otevri(Jmeno.constData());
    if (!c)
        return std::nullopt;
    UErrorCode chyba = U_ZERO_ERROR;
    TCiziKodovani k;
    k.Nazev = ucnv_getName(c.get(), &chyba);
    if (U_FAILURE(chyba))
        return std::nullopt;
    k.Nejmene = ucnv_getMinCharSize(c.get());
    k.Zobrazeni = QString::fromLatin1(ObvykleJmeno(k.Nazev.constData()));
    return k;
}

QList<QByteArrayList> SeznamKodovani()
{
    QList<QByteArrayList> seznam;
    const int32_t pocet = ucnv_countAvailable();
    for (int32_t i = 0; i < pocet; ++i) {
        const char *nazev = ucnv_getAvailableName(i);
        // The usual name first (ICU's own is often "ibm-912_P100-1995").
        QByteArrayList jmena{ObvykleJmeno(nazev)};
        if (jmena.first() != nazev)
            jmena << QByteArray(nazev);
        UErrorCode chyba = U_ZERO_ERROR;
        const uint16_t aliasu = ucnv_countAliases(nazev, &chyba);
        for (uint16_t a = 0; U_SUCCESS(chyba) && a < aliasu; ++a) {
            const QByteArray alias = ucnv_getAlias(nazev, a, &chyba);
            if (U_SUCCESS(chyba) && !alias.isEmpty() && !jmena.contains(alias))
                jmena << alias;
        }
        seznam << jmena;
    }
    return seznam;
}

struct TCiziPrevod::TData {
    TKonvertor Dekoder, Koder;
};

TCiziPrevod::TCiziPrevod(const QByteArray &Vstup, const QByteArray &Vystup) : d(std::make_unique<TData>())
{
    d->Dekoder = Otevri(Vstup.constData());
    d->Koder = Otevri(Vystup.constData());
    if (!d->Dekoder || !d->Koder)
        throw EChyba(QStringLiteral("The converter of %1 cannot be opened")
                         .arg(QString::fromLatin1(d->Dekoder ? Vystup : Vstup)));
}

TCiziPrevod::~TCiziPrevod() = default;

int TCiziPrevod::NejviceNaZnak() const
{
    return ucnv_getMaxCharSize(d->Koder.get());
}

bool TCiziPrevod::Dekoduj(QByteArrayView Bajty, bool bPosledni, QString &Text)
{
    const char *zdroj = Bajty.data(), *konec = zdroj + Bajty.size();
    const qsizetype zacatek = Text.size();
    qsizetype mame = zacatek;
    for (;;) {
        // A byte gives at most one code unit in nearly every encoding; the
        // rest of the loop is for the few that give more.
        Text.resize(mame + (konec - zdroj) + 16);
        UChar *cil = reinterpret_cast<UChar *>(Text.data()) + mame;
        UChar *const zacatekCile = cil;
        UChar *const konecCile = reinterpret_cast<UChar *>(Text.data()) + Text.size();
        UErrorCode chyba = U_ZERO_ERROR;
        ucnv_toUnicode(d->Dekoder.get(), &cil, konecCile, &zdroj, konec, nullptr, bPosledni, &chyba);
        mame += cil - zacatekCile;
        if (chyba == U_BUFFER_OVERFLOW_ERROR)
            continue;
        Text.resize(mame);
        return U_SUCCESS(chyba);
    }
}

bool TCiziPrevod::Zakoduj(QStringView Text, bool bPosledni, QByteArray &Bajty)
{
    const UChar *zdroj = reinterpret_cast<const UChar *>(Text.utf16());
    const UChar *const konec = zdroj + Text.size();
    qsizetype mame = Bajty.size();
    for (;;) {
        Bajty.resize(mame + (konec - zdroj) * NejviceNaZnak() + 32);
        char *cil = Bajty.data() + mame;
        char *const zacatekCile = cil;
        UErrorCode chyba = U_ZERO_ERROR;
        ucnv_fromUnicode(d->Koder.get(), &cil, Bajty.data() + Bajty.size(), &zdroj, konec, nullptr, bPosledni, &chyba);
        mame += cil - zacatekCile;
        if (chyba == U_BUFFER_OVERFLOW_ERROR)
            continue;
        Bajty.resize(mame);
        return U_SUCCESS(chyba);
    }
}
