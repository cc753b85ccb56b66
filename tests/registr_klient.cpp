// A running copy of the program as the settings store sees it, for the test of
// two copies at once: "registr_klient <name> <count>" writes, count times, the
// shared text Spolecna = "<name>-<i>" and its own number Pocet<name> = i, each
// through an accessor of its own, and reads its number back at once: the other
// copy never touches it, so any other value means a change was undone. At the
// end it writes Konec<name>. Exit code 0, or 1 with the reason on stderr.

#include "Registr.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication aplikace(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: registr_klient <name> <count>\n");
        return 1;
    }
    const QString ja = QString::fromLocal8Bit(argv[1]);
    const int pocet = QByteArray(argv[2]).toInt();
    const QString klic = QStringLiteral("\\Software\\VELOR\\Lumarin");
    try {
        for (int i = 0; i < pocet; ++i) {
            {
                TRegistr registr;
                if (!registr.OtevriKlic(klic, true))
                    throw EChyba(QStringLiteral("the key cannot be opened"));
                registr.ZapisRetezec(QStringLiteral("Spolecna"), QStringLiteral("%1-%2").arg(ja).arg(i));
                registr.ZapisCislo(QStringLiteral("Pocet") + ja, i);
            }
            TRegistr registr(KEY_READ);
            if (!registr.OtevriKlic(klic, false))
                throw EChyba(QStringLiteral("the key is gone"));
            if (const int precteno = registr.CtiCislo(QStringLiteral("Pocet") + ja); precteno != i)
                throw EChyba(QStringLiteral("Pocet%1 is %2 after %3 was written").arg(ja).arg(precteno).arg(i));
        }
        TRegistr registr;
        registr.OtevriKlic(klic, true);
        registr.ZapisRetezec(QStringLiteral("Konec") + ja, QStringLiteral("ano"));
    } catch (const EChyba &chyba) {
        std::fprintf(stderr, "%s\n", chyba.what());
        return 1;
    }
    return 0;
}
