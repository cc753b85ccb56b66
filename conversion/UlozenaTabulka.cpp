#include "UlozenaTabulka.h"

#include "Registr.h"
#include "convar.h"

#include <algorithm>
#include <optional>

namespace {

// One value of the open key: its text, or nothing when it is absent.
std::optional<QString> Hodnota(const TRegistr &Registr, const QString &Jmeno)
{
    if (!Registr.ExistujeHodnota(Jmeno))
        return std::nullopt;
    return Registr.CtiRetezec(Jmeno);
}

// One value with an accessor of its own that only reads: a key that cannot be
// opened has no values.
std::optional<QString> HodnotaSamostatne(const QString &Jmeno)
{
    TRegistr registr(KEY_READ);
    registr.NastavKoren(HKEY_CURRENT_USER);
    registr.OtevriKlic(KlicZnaky, false);
    return Hodnota(registr, Jmeno);
}

void Zapis(TRegistr &Registr, const QString &Jmeno, const QString &Text)
{
    // A key that cannot be opened leaves the write to tell why.
    Registr.OtevriKlic(KlicZnaky, true);
    Registr.ZapisRetezec(Jmeno, Text);
}

} // namespace

bool JePrazdnyText(const QString &Text)
{
    return std::all_of(Text.cbegin(), Text.cend(), [](QChar c) { return c.unicode() <= 0x20; });
}

TTabulkaZnaku TTabulkaZnaku::Vychozi()
{
    return {VychoziZnakySeZnamenkem, VychoziZnakyBezZnamenka};
}

QChar TTabulkaZnaku::Nahrada(qsizetype i) const
{
    return i < BezZnamenka.size() ? BezZnamenka.at(i) : SeZnamenkem.at(i);
}

TTabulkaZnaku CtiTabulku()
{
    TTabulkaZnaku tabulka = TTabulkaZnaku::Vychozi();
    TRegistr registr(KEY_READ);
    registr.NastavKoren(HKEY_CURRENT_USER);
    if (registr.OtevriKlic(KlicZnaky, false)) {
        if (auto se = Hodnota(registr, PolozkaSeZnamenkem))
            tabulka.SeZnamenkem = *se;
        if (auto bez = Hodnota(registr, PolozkaBezZnamenka))
            tabulka.BezZnamenka = *bez;
    }
    return tabulka;
}

TTabulkaZnaku CtiTabulkuProEditor(QString &Chyba)
{
    const auto cti = [&](const QString &Jmeno, const QString &Vychozi) {
        try {
            const std::optional<QString> hodnota = HodnotaSamostatne(Jmeno);
            return hodnota && !JePrazdnyText(*hodnota) ? *hodnota : Vychozi;
        } catch (const EChyba &e) {
            if (Chyba.isEmpty())
                Chyba = e.Zprava();
            return Vychozi;
        }
    };
    TTabulkaZnaku tabulka;
    tabulka.SeZnamenkem = cti(PolozkaSeZnamenkem, VychoziZnakySeZnamenkem);
    tabulka.BezZnamenka = cti(PolozkaBezZnamenka, VychoziZnakyBezZnamenka);
    return tabulka;
}

void PouzijTabulku(const TTabulkaZnaku &Tabulka)
{
    ZnakySeZnamenkem = Tabulka.SeZnamenkem;
    ZnakyBezZnamenka = Tabulka.BezZnamenka;
}

void PotvrdTabulku(const TTabulkaZnaku &Tabulka)
{
    PouzijTabulku(Tabulka);
    TRegistr registr(KEY_ALL_ACCESS);
    registr.NastavKoren(HKEY_CURRENT_USER);
    Zapis(registr, PolozkaSeZnamenkem, Tabulka.SeZnamenkem);
    Zapis(registr, PolozkaBezZnamenka, Tabulka.BezZnamenka);
}
