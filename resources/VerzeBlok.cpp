// The program's version block where there is no Windows version resource: the
// bytes a resource compiler would make of lumarin.rc (the VS_VERSIONINFO
// format), built by the compiler from the same values and kept in the
// executable's section SekceVerze, where the version reader finds it.

#include "Verze.h"
#include "VerzeHodnoty.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using namespace VerzeHodnoty;

// Writes the block into Cil; with Cil null it only counts the bytes. All
// numbers are little-endian, every node and value starts on a 32-bit boundary
// of the block.
class TZapis {
public:
    constexpr explicit TZapis(unsigned char *Cil) : FCil(Cil) { }
    constexpr std::size_t Pozice() const { return FPozice; }

    constexpr void Bajt(unsigned Hodnota)
    {
        if (FCil)
            FCil[FPozice] = static_cast<unsigned char>(Hodnota);
        ++FPozice;
    }
    constexpr void Slovo(unsigned Hodnota)
    {
        Bajt(Hodnota & 0xFF);
        Bajt((Hodnota >> 8) & 0xFF);
    }
    constexpr void DvojSlovo(std::uint32_t Hodnota)
    {
        Slovo(Hodnota & 0xFFFF);
        Slovo(Hodnota >> 16);
    }
    constexpr void Text(std::u16string_view Text)
    {
        for (const char16_t znak : Text)
            Slovo(znak);
        Slovo(0);
    }
    constexpr void Zarovnej()
    {
        while (FPozice % 4 != 0)
            Bajt(0);
    }

    // A node's header and key; its length is filled in by Konec.
    // DelkaHodnoty counts bytes of a binary value (Typ 0), characters of a
    // text (Typ 1).
    constexpr std::size_t Uzel(std::u16string_view Klic, unsigned DelkaHodnoty, unsigned Typ)
    {
        Zarovnej();
        const std::size_t zacatek = FPozice;
        Slovo(0);
        Slovo(DelkaHodnoty);
        Slovo(Typ);
        Text(Klic);
        Zarovnej();
        return zacatek;
    }
    constexpr void Konec(std::size_t Zacatek)
    {
        const std::size_t delka = FPozice - Zacatek;
        if (FCil) {
            FCil[Zacatek] = static_cast<unsigned char>(delka & 0xFF);
            FCil[Zacatek + 1] = static_cast<unsigned char>(delka >> 8);
        }
    }

private:
    unsigned char *FCil;
    std::size_t FPozice = 0;
};

constexpr std::uint32_t Slova(unsigned Vyssi, unsigned Nizsi)
{
    return (std::uint32_t(Vyssi) << 16) | (Nizsi & 0xFFFF);
}

constexpr std::size_t Zapis(unsigned char *Cil)
{
    TZapis z(Cil);
    const std::size_t koren = z.Uzel(u"VS_VERSION_INFO", 52, 0);
    // VS_FIXEDFILEINFO
    z.DvojSlovo(0xFEEF04BD); // its signature
    z.DvojSlovo(0x00010000); // and format version
    z.DvojSlovo(Slova(VerzeSouboru[0], VerzeSouboru[1]));
    z.DvojSlovo(Slova(VerzeSouboru[2], VerzeSouboru[3]));
    z.DvojSlovo(Slova(VerzeProduktu[0], VerzeProduktu[1]));
    z.DvojSlovo(Slova(VerzeProduktu[2], VerzeProduktu[3]));
    z.DvojSlovo(MaskaPriznaku);
    z.DvojSlovo(Priznaky);
    z.DvojSlovo(SystemSouboru);
    z.DvojSlovo(TypSouboru);
    z.DvojSlovo(0); // subtype
    z.DvojSlovo(0); // date, high and low
    z.DvojSlovo(0);

    const std::size_t retezce = z.Uzel(u"StringFileInfo", 0, 1);
    const std::size_t tabulka = z.Uzel(Tabulka, 0, 1);
    for (const TRetezec &r : Retezce) {
        const std::size_t uzel = z.Uzel(r.Klic, unsigned(r.Hodnota.size() + 1), 1);
        z.Text(r.Hodnota);
        z.Konec(uzel);
    }
    z.Konec(tabulka);
    z.Konec(retezce);

    const std::size_t promenne = z.Uzel(u"VarFileInfo", 0, 1);
    const std::size_t preklad = z.Uzel(u"Translation", 4, 0);
    z.DvojSlovo(Slova(KodovaStranka, Jazyk));
    z.Konec(preklad);
    z.Konec(promenne);
    z.Konec(koren);
    return z.Pozice();
}

constexpr std::size_t Velikost = Zapis(nullptr);
static_assert(Velikost <= 0xFFFF, "a version block holds at most 65535 bytes");

constexpr std::array<unsigned char, Velikost> Sestav()
{
    std::array<unsigned char, Velikost> blok{};
    Zapis(blok.data());
    return blok;
}

} // namespace

// Kept by the linker though nothing refers to it: the reader looks for the
// section by its name in the file.
#if defined(__has_attribute) && __has_attribute(retain)
#define LUMARIN_PONECHAT __attribute__((used, retain))
#else
#define LUMARIN_PONECHAT __attribute__((used))
#endif
static_assert(std::string_view(SekceVerze) == "lumarin_verze", "the section the reader looks for");
LUMARIN_PONECHAT __attribute__((section("lumarin_verze"))) alignas(
    4) constexpr std::array<unsigned char, Velikost> BlokVerze = Sestav();
