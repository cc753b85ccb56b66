// The settings file: any bytes as Lumarin.json, read as the window reads its
// settings (every value of the program's keys, as text, integer and binary
// data), then one value written. A damaged file must be refused and moved
// aside, never written over; a readable one must keep every value it had
// through the write, and the file written must read back the same.

#include "Fuzz.h"
#include "Registr.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QVariant>

namespace {

const QStringList Klice = {QStringLiteral("\\Software\\VELOR\\Lumarin"),
                           QStringLiteral("\\Software\\VELOR\\Lumarin\\Pismo"),
                           QStringLiteral("\\Software\\VELOR\\Lumarin\\Znaky"), QStringLiteral("\\Software")};
// Names the window reads, whether the file has them or not.
const QStringList Jmena = {QStringLiteral("Jazyk"), QStringLiteral("Maximalni"), QStringLiteral("Vyska"),
                           QStringLiteral("Nazev"), QStringLiteral("ZnakySeZnamenkem")};

// A value as every reading gives it: the result or the store's reason.
QString Precti(const TRegistr &Registr, const QString &Jmeno)
{
    QString vysledek = QString::number(int(Registr.TypHodnoty(Jmeno))) + u'|';
    const auto zkus = [&](const auto &Cteni) {
        try {
            vysledek += Cteni();
        } catch (const ERegistr &chyba) {
            vysledek += u'!' + chyba.Zprava();
        }
        vysledek += u'|';
    };
    zkus([&] { return Registr.CtiRetezec(Jmeno); });
    zkus([&] { return QString::number(Registr.CtiCislo(Jmeno)); });
    zkus([&] { return QString::fromLatin1(Registr.CtiBinarni(Jmeno).toHex()); });
    return vysledek;
}

// Every value of the keys, by key and name (names folded, as the store
// compares them); false when the file was refused.
bool PrectiVse(QHash<QString, QString> &Hodnoty)
{
    try {
        TRegistr registr(KEY_READ);
        for (const QString &klic : Klice) {
            if (!registr.OtevriKlic(klic, false))
                continue;
            QStringList jmena = registr.JmenaHodnot();
            jmena += Jmena;
            registr.PocetHodnot();
            for (const QString &jmeno : jmena)
                Hodnoty.insert(klic + u'\\' + jmeno.toCaseFolded(), Precti(registr, jmeno));
        }
        return true;
    } catch (const ERegistr &) {
        return false;
    }
}

// The folder that XDG_CONFIG_HOME names while the target runs, in memory
// rather than on a disk: every input is written, moved and read back.
struct TSlozka {
    TSlozka()
    {
        const QString zaklad =
            QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        Cesta = zaklad + QStringLiteral("/lumarin-fuzz-nastaveni-%1").arg(::getpid());
        QDir(Cesta).removeRecursively();
        QDir().mkpath(Cesta + QStringLiteral("/VELOR"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(Cesta));
    }
    ~TSlozka() { QDir(Cesta).removeRecursively(); }
    QString Cesta;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Velikost)
{
    static const TSlozka nastaveni;
    const QString slozka = nastaveni.Cesta + QStringLiteral("/VELOR");
    const QString cesta = slozka + QStringLiteral("/Lumarin.json");
    for (const QString &jmeno : QDir(slozka).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(slozka + u'/' + jmeno);
    const QByteArray bajty(reinterpret_cast<const char *>(Data), qsizetype(Velikost));
    {
        QFile soubor(cesta);
        OCEKAVEJ(soubor.open(QIODevice::WriteOnly) && soubor.write(bajty) == bajty.size(), "cannot write the file");
    }

    QHash<QString, QString> pred;
    if (!PrectiVse(pred)) {
        // Refused: moved aside whole, and nothing in its place.
        const QStringList odlozene = QDir(slozka).entryList({QStringLiteral("Lumarin.json.damaged-*")}, QDir::Files);
        OCEKAVEJ(odlozene.size() == 1, "a refused file was not moved aside");
        QFile odlozeny(slozka + u'/' + odlozene.front());
        OCEKAVEJ(odlozeny.open(QIODevice::ReadOnly) && odlozeny.readAll() == bajty, "the file moved aside changed");
        OCEKAVEJ(!QFile::exists(cesta), "a refused file is still in place");
        return 0;
    }

    // One change, as the window makes at its close: every other value stays.
    const QString klic = Klice.front();
    const QString jmeno = QStringLiteral("Jazyk");
    try {
        TRegistr registr;
        OCEKAVEJ(registr.OtevriKlic(klic, true), "a readable file takes no new key");
        registr.ZapisRetezec(jmeno, QStringLiteral("EN"));
    } catch (const ERegistr &chyba) {
        std::fprintf(stderr, "%s\n", chyba.what());
        OCEKAVEJ(false, "a readable file cannot be written");
    }
    QHash<QString, QString> po;
    OCEKAVEJ(PrectiVse(po), "the file written cannot be read back");
    pred.remove(klic + u'\\' + jmeno.toCaseFolded());
    for (auto it = pred.cbegin(); it != pred.cend(); ++it)
        if (po.value(it.key()) != it.value()) {
            std::fprintf(stderr, "%s: %s -> %s\n", qPrintable(it.key()), qPrintable(it.value()),
                         qPrintable(po.value(it.key())));
            OCEKAVEJ(false, "a value changed through a write of another one");
        }
    OCEKAVEJ(po.value(klic + u'\\' + jmeno.toCaseFolded()).contains(QStringLiteral("|EN|")),
             "the value written is not there");
    return 0;
}
