// Version blocks: any bytes as an executable (ELF or PE) whose block the
// program reads, with every query the about box and the file information
// make; and the same bytes as a block itself, asked every path, with every
// byte each answer says may be read read. Nothing may be read outside the
// file or the block, and nothing may crash or hang.

#include "Fuzz.h"
#include "SoubUtility.h"
#include "Verze.h"

#include <QtEndian>

namespace {

// The paths the program asks, and some it does not.
void ProverBlok(const uint8_t *Blok, size_t Velikost)
{
    const auto dotaz = [&](const QString &Cesta) -> std::optional<std::pair<const uchar *, quint32>> {
        const void *hodnota = nullptr;
        quint32 delka = 0;
        if (!DotazNaVerzi(Blok, quint32(Velikost), Cesta, &hodnota, &delka))
            return std::nullopt;
        const auto *h = static_cast<const uchar *>(hodnota);
        OCEKAVEJ(h >= Blok && h <= Blok + Velikost, "a value outside the block");
        return std::pair{h, delka};
    };
    for (const QString &cesta : {QStringLiteral("\\"), QStringLiteral(""), QStringLiteral("\\VarFileInfo"),
                                 QStringLiteral("\\StringFileInfo"), QStringLiteral("\\\\\\")})
        if (const auto h = dotaz(cesta))
            Projdi(h->first, h->second);

    const auto preklady = dotaz(QStringLiteral("\\VarFileInfo\\Translation"));
    if (!preklady)
        return;
    Projdi(preklady->first, preklady->second);
    const auto hex4 = [](quint32 Cislo) {
        return QString::number(Cislo & 0xFFFF, 16).rightJustified(4, u'0').toUpper();
    };
    for (quint32 i = 0; i + 4 <= preklady->second && i < 16; i += 4) {
        const quint32 preklad = qFromLittleEndian<quint32>(preklady->first + i);
        const QString tabulka = QStringLiteral("\\StringFileInfo\\") + hex4(preklad) + hex4(preklad >> 16) + u'\\';
        for (const QStringView klic : VerInfoKlice) {
            // A value under StringFileInfo is measured in UTF-16 characters.
            if (const auto h = dotaz(tabulka + klic.toString() + QChar(0) + QStringLiteral("\\za nulou")))
                Projdi(h->first, size_t(h->second) * 2);
        }
    }
}

// The program's own path: the block read from the file, then its queries.
void ProverSoubor(const QString &Cesta)
{
    try {
        const TVerInfoZdroj zdroj(Cesta);
        for (int i = 0; i < int(std::size(VerInfoKlice)); ++i)
            zdroj.ZiskejPreDefRet(TVerInfoTyp(i));
        zdroj.VerzeSouboru();
        zdroj.VerzeProduktu();
        zdroj.SouborOS();
        zdroj.PriznakySouboru();
    } catch (const EChyba &) {
        // A file without a usable block says so; that is all it may do.
    }
    const TSouboroveInfo info;
    for (const TVerTyp typ : {vtSestaveni, vtHlavniVerze, vtVedlejsiVerze, vtOprava})
        info.Verze(Cesta, typ);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Velikost)
{
    static TPametovySoubor soubor;
    soubor.Nastav(Data, Velikost);
    ProverSoubor(soubor.Cesta());
    ProverBlok(Data, Velikost);
    return 0;
}
