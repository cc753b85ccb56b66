#include "Chyby.h"

#include "Hlaseni.h"
#include "convar.h"

QString ZpravaSTeckou(const QString &Zprava)
{
    if (!Zprava.isEmpty() && Zprava.back().unicode() > u'.')
        return Zprava + u'.';
    return Zprava;
}

void ZobrazChybu(const QString &Zprava)
{
    THlaseni::Zobraz(ZpravaSTeckou(Zprava), QStringLiteral("Lumarin"), MB_OK | MB_ICONHAND);
}

void Proved(const std::function<void()> &Obsluha)
{
    try {
        Obsluha();
    } catch (const EChyba &e) {
        ZobrazChybu(e.Zprava());
    } catch (const std::exception &e) {
        ZobrazChybu(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ZobrazChybu(rsOBECNACHYBA);
    }
}
