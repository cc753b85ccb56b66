#include "Vystupy.h"

#include <cerrno>

namespace {

// The first failed write of VypisBajty to standard output.
int FChybaVypisu = 0;

} // namespace

void VypisBajty(FILE *Kam, const QByteArray &Bajty)
{
    errno = 0;
    const bool bZapsano = std::fwrite(Bajty.constData(), 1, size_t(Bajty.size()), Kam) == size_t(Bajty.size());
    if ((std::fflush(Kam) != 0 || !bZapsano) && Kam == stdout && FChybaVypisu == 0)
        FChybaVypisu = errno != 0 ? errno : EIO;
}

int CisloChybyVypisu()
{
    return FChybaVypisu;
}

TVystupZapis::TVystupZapis(const QString &Cesta, bool bOdlozitChybu, const QString &Jmeno) : bOdlozit(bOdlozitChybu)
{
    Krok([&] {
        FZapis.Otevri(Cesta, Jmeno);
        bOtevreno = true;
    });
}

void TVystupZapis::Krok(const std::function<void()> &Krok)
{
    try {
        Krok();
    } catch (const EChyba &e) {
        if (!bOdlozit)
            throw;
        FChyba = e;
    }
}

void TVystupZapis::Zapis(const char *Data, qsizetype Delka)
{
    if (!FChyba)
        Krok([&] { FZapis.Pridej(QByteArrayView(Data, Delka)); });
}

void TVystupZapis::Odvolej()
{
    // A file that could not be opened stays so; a failed write may go
    // through when the content starts over.
    if (!bOtevreno)
        return;
    FChyba.reset();
    Krok([&] { FZapis.Znovu(); });
}

void TVystupZapis::Dokonci(const std::function<void()> &Kontrola)
{
    if (FChyba)
        throw *FChyba;
    FZapis.Dokonci(Kontrola);
}
