// The settings store on systems without the registry: one JSON file per user,
// $XDG_CONFIG_HOME/VELOR/Lumarin.json, with one member per key named by its
// full path from the root's name, each value {"type": ..., "data": ...}.
//
// Two running copies share the file. Each change is therefore applied alone
// under a lock to what the file holds at that moment and written at once
// through a temporary file: no copy undoes another one's values, and nobody
// ever reads half a file.

#include "Registr.h"
#include "Soubor.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QLockFile>
#include <cerrno>
#include <cmath>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString TypRetezec = QStringLiteral("REG_SZ");
const QString TypRozsirenyRetezec = QStringLiteral("REG_EXPAND_SZ");
const QString TypCislo = QStringLiteral("REG_DWORD");
const QString TypBinarni = QStringLiteral("REG_BINARY");
const QString Typ = QStringLiteral("type");
const QString Data = QStringLiteral("data");

// Settings are a few kilobytes; a file far larger is not ours to parse. It is
// damaged as a file that is no JSON is, told by its size before any of it is
// read.
constexpr qint64 NejvetsiSoubor = 16 << 20;
// A change holds the lock for milliseconds: a lock older than this belongs to
// a copy that hangs, and waiting ends only after it may be taken over.
constexpr int StariZamku = 10000;
constexpr int CekaniNaZamek = 15000;

// A change that could not be written: the store is as it was.
struct TChybaZapisu {
    QString Duvod;
};

QString NelzeCist(const QString &Jmeno)
{
    return QStringLiteral("Failed to get data for '%1'").arg(Jmeno);
}

QString NeplatnyTyp(const QString &Jmeno)
{
    return QStringLiteral("Invalid data type for '%1'").arg(Jmeno);
}

QString NelzeZapsat(const QString &Jmeno)
{
    return QStringLiteral("Failed to set data for '%1'").arg(Jmeno);
}

QString Nativni(const QString &Cesta)
{
    return QDir::toNativeSeparators(Cesta);
}

QString JmenoKorene(quint32 Koren)
{
    switch (Koren) {
    case HKEY_CLASSES_ROOT: return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER: return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case HKEY_USERS: return QStringLiteral("HKEY_USERS");
    case HKEY_PERFORMANCE_DATA: return QStringLiteral("HKEY_PERFORMANCE_DATA");
    case HKEY_CURRENT_CONFIG: return QStringLiteral("HKEY_CURRENT_CONFIG");
    case HKEY_DYN_DATA: return QStringLiteral("HKEY_DYN_DATA");
    default: return {}; // no such root: nothing below it can be opened
    }
}

TTypHodnoty TypZeJmena(const QString &Jmeno)
{
    if (Jmeno == TypRetezec)
        return rdRetezec;
    if (Jmeno == TypRozsirenyRetezec)
        return rdRozsirenyRetezec;
    if (Jmeno == TypCislo)
        return rdCislo;
    if (Jmeno == TypBinarni)
        return rdBinarni;
    return rdNeznamy;
}

// Environment variables hold bytes; a folder name that is not UTF-8 must
// still reach its folder.
QString Promenna(const char *Jmeno)
{
    return DekodujCestu(qgetenv(Jmeno));
}

QString SlozkaNastaveni()
{
    QString zaklad = Promenna("XDG_CONFIG_HOME");
    // A relative path would depend on the working folder: it counts as unset.
    if (zaklad.isEmpty() || !zaklad.startsWith(u'/')) {
        QString domov = Promenna("HOME");
        if (domov.isEmpty())
            domov = QDir::homePath();
        zaklad = domov + QStringLiteral("/.config");
    }
    return zaklad + QStringLiteral("/VELOR");
}

// The member of Objekt whose name equals Jmeno without regard to case, as the
// file spells it.
std::optional<QString> Clen(const QJsonObject &Objekt, const QString &Jmeno)
{
    const QString hledane = Jmeno.toCaseFolded();
    for (auto it = Objekt.begin(); it != Objekt.end(); ++it)
        if (it.key().toCaseFolded() == hledane)
            return it.key();
    return std::nullopt;
}

// ---- the file's shape ----

QString Misto(const QString &Klic, const QString &Hodnota)
{
    return QStringLiteral("the value \"%1\" of the key \"%2\"").arg(Hodnota, Klic);
}

bool JeHex(QChar Znak)
{
    const char16_t z = Znak.unicode();
    return (z >= u'0' && z <= u'9') || (z >= u'a' && z <= u'f') || (z >= u'A' && z <= u'F');
}

// What is wrong with one value; empty when nothing is.
QString ChybaHodnoty(const QString &Klic, const QString &Jmeno, const QJsonValue &Hodnota)
{
    const QString misto = Misto(Klic, Jmeno);
    if (!Hodnota.isObject())
        return misto + QStringLiteral(" is not a JSON object");
    const QJsonObject objekt = Hodnota.toObject();
    if (!objekt.contains(Typ))
        return misto + QStringLiteral(" has no \"type\"");
    if (!objekt.value(Typ).isString())
        return misto + QStringLiteral(" has a \"type\" that is not text");
    const QJsonValue data = objekt.value(Data);
    switch (TypZeJmena(objekt.value(Typ).toString())) {
    case rdRetezec:
    case rdRozsirenyRetezec:
        if (!data.isString())
            return misto + QStringLiteral(" (%1) has no text in \"data\"").arg(objekt.value(Typ).toString());
        return {};
    case rdCislo: {
        const double cislo = data.toDouble();
        if (!data.isDouble() || cislo != std::trunc(cislo))
            return misto + QStringLiteral(" (REG_DWORD) has no integer in \"data\"");
        if (cislo < -2147483648.0 || cislo > 2147483647.0)
            return misto + QStringLiteral(" (REG_DWORD) is out of the signed 32-bit range");
        return {};
    }
    case rdBinarni: {
        if (!data.isString())
            return misto + QStringLiteral(" (REG_BINARY) has no hex text in \"data\"");
        const QString hex = data.toString();
        for (qsizetype i = 0; i < hex.size(); ++i)
            if (!JeHex(hex[i]))
                return misto +
                    QStringLiteral(" (REG_BINARY) has a character that is not hex at position %1 of its "
                                   "data")
                        .arg(i);
        if (hex.size() % 2 != 0)
            return misto + QStringLiteral(" (REG_BINARY) has hex data of odd length");
        return {};
    }
    case rdNeznamy: return {}; // kept as it is, whatever it holds
    }
    return {};
}

// Two names that differ only in case would be one key or one value: which of
// them a reading finds and which a writing changes would be chance. The first
// two such names, as "\"A\" and \"a\"", or an empty string.
QString Dvojice(const QJsonObject &Objekt)
{
    QHash<QString, QString> slozena;
    for (auto it = Objekt.begin(); it != Objekt.end(); ++it) {
        const QString slozene = it.key().toCaseFolded();
        if (const auto jiny = slozena.constFind(slozene); jiny != slozena.cend())
            return QStringLiteral("\"%1\" and \"%2\"").arg(*jiny, it.key());
        slozena.insert(slozene, it.key());
    }
    return {};
}

// Parses the file into Obsah; what is wrong with it and where, empty when
// nothing is.
QString ZkontrolujSoubor(const QByteArray &Bajty, QJsonObject &Obsah)
{
    QJsonParseError chyba;
    const QJsonDocument dokument = QJsonDocument::fromJson(Bajty, &chyba);
    if (chyba.error != QJsonParseError::NoError)
        return QStringLiteral("it is not JSON (%1 at line %2, byte %3)")
            .arg(chyba.errorString())
            .arg(Bajty.left(chyba.offset).count('\n') + 1)
            .arg(chyba.offset);
    if (!dokument.isObject())
        return QStringLiteral("it is not a JSON object of keys");
    Obsah = dokument.object();
    for (auto it = Obsah.begin(); it != Obsah.end(); ++it) {
        if (!it.value().isObject())
            return QStringLiteral("the key \"%1\" is not a JSON object").arg(it.key());
        const QJsonObject hodnoty = it.value().toObject();
        for (auto h = hodnoty.begin(); h != hodnoty.end(); ++h)
            if (const QString duvod = ChybaHodnoty(it.key(), h.key(), h.value()); !duvod.isEmpty())
                return duvod;
        if (const QString dvojice = Dvojice(hodnoty); !dvojice.isEmpty())
            return QStringLiteral("the values %1 of the key \"%2\" differ only in case").arg(dvojice, it.key());
    }
    if (const QString dvojice = Dvojice(Obsah); !dvojice.isEmpty())
        return QStringLiteral("the keys %1 differ only in case").arg(dvojice);
    return {};
}

// ---- the file ----

// One JSON value on one line.
QByteArray Json(const QJsonValue &Hodnota)
{
    const QByteArray pole = QJsonDocument(QJsonArray{Hodnota}).toJson(QJsonDocument::Compact);
    return pole.mid(1, pole.size() - 2);
}

// The file as people read and edit it: a key per member, a value per line,
// its type before its data (and after them whatever else a value of another
// type holds).
QByteArray Text(const QJsonObject &Obsah)
{
    QByteArray text = "{";
    for (auto klic = Obsah.begin(); klic != Obsah.end(); ++klic) {
        text += (klic == Obsah.begin() ? "\n    " : ",\n    ") + Json(klic.key()) + ": {";
        const QJsonObject hodnoty = klic.value().toObject();
        for (auto h = hodnoty.begin(); h != hodnoty.end(); ++h) {
            const QJsonObject hodnota = h.value().toObject();
            QStringList poradi{Typ, Data};
            for (const QString &clen : hodnota.keys())
                if (!poradi.contains(clen))
                    poradi << clen;
            QByteArrayList cleny;
            for (const QString &clen : poradi)
                if (hodnota.contains(clen))
                    cleny << Json(clen) + ": " + Json(hodnota.value(clen));
            text +=
                (h == hodnoty.begin() ? "\n        " : ",\n        ") + Json(h.key()) + ": {" + cleny.join(", ") + "}";
        }
        text += hodnoty.isEmpty() ? "}" : "\n    }";
    }
    return text + (Obsah.isEmpty() ? "}\n" : "\n}\n");
}

// Creates the folder and every missing one above it, for the user alone.
// 0, or the system's error.
int VytvorSlozku(const QString &Slozka)
{
    const QByteArray cesta = KodujCestu(Slozka);
    for (qsizetype i = 1; i <= cesta.size(); ++i) {
        if (i < cesta.size() && cesta[i] != '/')
            continue;
        if (::mkdir(cesta.left(i).constData(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    struct stat st;
    if (::stat(cesta.constData(), &st) != 0)
        return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

bool Chybi(const QString &Cesta)
{
    struct stat st;
    return ::stat(KodujCestu(Cesta).constData(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

QString DuvodZamku(const QLockFile &Zamek, const QString &Cesta)
{
    switch (Zamek.error()) {
    case QLockFile::LockFailedError:
        return QStringLiteral("The settings file is locked by another program (\"%1\")").arg(Nativni(Cesta));
    case QLockFile::PermissionError:
        return QStringLiteral("Cannot create the lock file \"%1\": the folder cannot be written").arg(Nativni(Cesta));
    default: return QStringLiteral("Cannot create the lock file \"%1\"").arg(Nativni(Cesta));
    }
}

class TSoubor {
public:
    TSoubor() : Slozka(SlozkaNastaveni()), Cesta(Slozka + QStringLiteral("/Lumarin.json")) { }

    // What the file holds, checked; empty when there is no file yet. A file
    // that cannot be read throws ERegistr. A damaged one is moved aside and
    // reported with ERegistr, so that nothing ever writes over it.
    QJsonObject Nacti(bool bZamceno) const
    {
        QByteArray bajty;
        QString poskozeni;
        try {
            if (Chybi(Cesta))
                return {};
            bajty = NactiBajty(Cesta, NejvetsiSoubor);
        } catch (const EPrilisVelky &chyba) {
            poskozeni = QStringLiteral("it is %1 bytes long, far more than settings ever take").arg(chyba.Velikost());
        } catch (const EChyba &chyba) {
            if (Chybi(Cesta)) // taken away meanwhile
                return {};
            throw ERegistr(QStringLiteral("The settings cannot be read: %1").arg(chyba.Zprava()));
        }
        QJsonObject obsah;
        if (poskozeni.isEmpty())
            poskozeni = ZkontrolujSoubor(bajty, obsah);
        if (poskozeni.isEmpty())
            return obsah;
        if (bZamceno)
            OdlozPoskozeny(poskozeni);
        // A file written in place (one with other hard links) may be read
        // half; only what is still damaged under the lock is damaged.
        QLockFile zamek(ZamekCesta());
        zamek.setStaleLockTime(StariZamku);
        if (!zamek.tryLock(CekaniNaZamek))
            throw ERegistr(Poskozeny(poskozeni) +
                           QStringLiteral(". It could not be moved aside (%1)").arg(DuvodZamku(zamek, ZamekCesta())));
        return Nacti(true);
    }

    // Applies one change to what the file holds now and writes the result.
    // The content as the file holds it afterwards. A failed write throws
    // TChybaZapisu and leaves the file as it was; a file that cannot be read
    // or is damaged throws ERegistr.
    QJsonObject Zmen(const std::function<bool(QJsonObject &)> &Zmena) const
    {
        if (const int chyba = VytvorSlozku(Slozka))
            throw TChybaZapisu{
                QStringLiteral("Cannot create the folder \"%1\": %2").arg(Nativni(Slozka), qt_error_string(chyba))};
        QLockFile zamek(ZamekCesta());
        zamek.setStaleLockTime(StariZamku);
        if (!zamek.tryLock(CekaniNaZamek))
            throw TChybaZapisu{DuvodZamku(zamek, ZamekCesta())};
        QJsonObject obsah = Nacti(true);
        if (!Zmena(obsah))
            return obsah;
        try {
            ZapisSoubor(Cesta, Text(obsah));
        } catch (const EChyba &chyba) {
            throw TChybaZapisu{chyba.Zprava()};
        }
        return obsah;
    }

private:
    QString ZamekCesta() const { return Cesta + QStringLiteral(".lock"); }

    QString Poskozeny(const QString &Duvod) const
    {
        return QStringLiteral("The settings file \"%1\" is damaged: %2").arg(Nativni(Cesta), Duvod);
    }

    // Only under the lock: no other copy is moving or replacing the file.
    [[noreturn]] void OdlozPoskozeny(const QString &Duvod) const
    {
        const QString zaklad = Cesta + QStringLiteral(".damaged-") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        QString nove = zaklad;
        // Damaged twice in one second: the first one is kept too.
        for (int i = 2; !Chybi(nove) && i < 1000; ++i)
            nove = zaklad + QStringLiteral("-%1").arg(i);
        QString duvod = QStringLiteral("no free name");
        if (Chybi(nove)) {
            if (::rename(KodujCestu(Cesta).constData(), KodujCestu(nove).constData()) == 0)
                throw ERegistr(Poskozeny(Duvod) + QStringLiteral(". It was moved to \"%1\"").arg(Nativni(nove)));
            duvod = qt_error_string(errno);
        }
        throw ERegistr(Poskozeny(Duvod) +
                       QStringLiteral(". It could not be moved aside (%1) and was left as it is").arg(duvod));
    }

    QString Slozka;
    QString Cesta;
};

} // namespace

struct TRegistr::TData {
    quint32 Pristup;
    quint32 Koren = HKEY_CURRENT_USER;
    bool bOtevren = false;
    QStringList Klic;                 // the open key's path below the root, as it was named
    QString DuvodNeotevreni;          // why the store could not create the key last asked for
    std::optional<QJsonObject> Obsah; // the file as this accessor last read or wrote it
    TSoubor Soubor;

    bool bZapis() const { return (Pristup & 0x2) != 0; } // KEY_SET_VALUE

    QStringList Cesta(const QString &Jmeno) const
    {
        QStringList casti = Jmeno.split(u'\\', Qt::SkipEmptyParts);
        if (!Jmeno.startsWith(u'\\') && bOtevren)
            casti = Klic + casti;
        return casti;
    }

    QString PlneJmeno(const QStringList &Casti) const { return (QStringList{JmenoKorene(Koren)} + Casti).join(u'\\'); }

    const QJsonObject &Nactene()
    {
        if (!Obsah)
            Obsah = Soubor.Nacti(false);
        return *Obsah;
    }

    bool Existuje(const QStringList &Casti)
    {
        if (JmenoKorene(Koren).isEmpty())
            return false;
        return Casti.isEmpty() || Clen(Nactene(), PlneJmeno(Casti)).has_value();
    }

    // Adds the key and every missing key above it; the key's member as the
    // file spells it.
    QString PridejKlic(QJsonObject &Dokument, const QStringList &Casti, bool &bZmeneno) const
    {
        // The root always exists; it has a member only once it has values.
        QString jmeno = JmenoKorene(Koren);
        if (Casti.isEmpty())
            return Clen(Dokument, jmeno).value_or(jmeno);
        for (const QString &cast : Casti) {
            const QString dalsi = jmeno + u'\\' + cast;
            const auto clen = Clen(Dokument, dalsi);
            jmeno = clen.value_or(dalsi);
            if (!clen) {
                Dokument.insert(jmeno, QJsonObject());
                bZmeneno = true;
            }
        }
        return jmeno;
    }

    std::optional<QJsonObject> Hodnoty()
    {
        if (!bOtevren)
            return std::nullopt;
        const QJsonObject &obsah = Nactene();
        const auto klic = Clen(obsah, PlneJmeno(Klic));
        if (!klic)
            return std::nullopt;
        return obsah.value(*klic).toObject();
    }

    std::optional<QJsonObject> Hodnota(const QString &Jmeno)
    {
        const auto hodnoty = Hodnoty();
        if (!hodnoty)
            return std::nullopt;
        const auto clen = Clen(*hodnoty, Jmeno);
        if (!clen)
            return std::nullopt;
        return hodnoty->value(*clen).toObject();
    }

    void Zapis(const QString &Jmeno, const QString &NazevTypu, const QJsonValue &HodnotaDat)
    {
        if (!bOtevren)
            throw ERegistr(NelzeZapsat(Jmeno) +
                           (DuvodNeotevreni.isEmpty() ? QString() : QStringLiteral(": ") + DuvodNeotevreni));
        if (!bZapis())
            throw ERegistr(NelzeZapsat(Jmeno));
        const QJsonObject nova{{Typ, NazevTypu}, {Data, HodnotaDat}};
        try {
            Obsah = Soubor.Zmen([&](QJsonObject &obsah) {
                bool bZmeneno = false;
                const QString klic = PridejKlic(obsah, Klic, bZmeneno);
                QJsonObject hodnoty = obsah.value(klic).toObject();
                const QString jmeno = Clen(hodnoty, Jmeno).value_or(Jmeno);
                if (hodnoty.value(jmeno) == nova) // nothing to write
                    return bZmeneno;
                hodnoty.insert(jmeno, nova);
                obsah.insert(klic, hodnoty);
                return true;
            });
        } catch (const ERegistr &chyba) {
            Obsah.reset();
            throw ERegistr(NelzeZapsat(Jmeno) + QStringLiteral(": ") + chyba.Zprava());
        } catch (const TChybaZapisu &chyba) {
            Obsah.reset();
            throw ERegistr(NelzeZapsat(Jmeno) + QStringLiteral(": ") + chyba.Duvod);
        }
    }

    static qsizetype VelikostDat(const QJsonObject &Hodnota)
    {
        switch (TypZeJmena(Hodnota.value(Typ).toString())) {
        case rdRetezec:
        case rdRozsirenyRetezec: return (Hodnota.value(Data).toString().size() + 1) * 2; // with the terminator
        case rdCislo: return 4;
        case rdBinarni: return Hodnota.value(Data).toString().size() / 2;
        case rdNeznamy: break;
        }
        return 0;
    }
};

TRegistr::TRegistr(quint32 Pristup) : d(std::make_unique<TData>())
{
    d->Pristup = Pristup;
}

TRegistr::~TRegistr() = default;

quint32 TRegistr::Koren() const
{
    return d->Koren;
}

void TRegistr::NastavKoren(quint32 Koren)
{
    ZavriKlic();
    d->Koren = Koren;
}

bool TRegistr::OtevriKlic(const QString &Klic, bool bVytvorit)
{
    const QStringList casti = d->Cesta(Klic);
    ZavriKlic();
    if (JmenoKorene(d->Koren).isEmpty())
        return false;
    if (!d->Existuje(casti)) {
        if (!bVytvorit)
            return false;
        if (!d->bZapis()) {
            d->DuvodNeotevreni = QStringLiteral("The settings are open for reading only");
            return false;
        }
        try {
            d->Obsah = d->Soubor.Zmen([&](QJsonObject &obsah) {
                bool bZmeneno = false;
                d->PridejKlic(obsah, casti, bZmeneno);
                return bZmeneno;
            });
        } catch (const TChybaZapisu &chyba) {
            d->Obsah.reset();
            d->DuvodNeotevreni = chyba.Duvod;
            return false;
        } catch (const ERegistr &) {
            d->Obsah.reset();
            throw;
        }
    }
    d->bOtevren = true;
    d->Klic = casti;
    return true;
}

void TRegistr::ZavriKlic()
{
    d->bOtevren = false;
    d->Klic.clear();
    d->DuvodNeotevreni.clear();
}

QString TRegistr::AktualniKlic() const
{
    return d->bOtevren ? u'\\' + d->Klic.join(u'\\') : QString();
}

bool TRegistr::ExistujeKlic(const QString &Klic) const
{
    return d->Existuje(d->Cesta(Klic));
}

bool TRegistr::SmazKlic(const QString &Klic)
{
    const QStringList casti = d->Cesta(Klic);
    if (casti.isEmpty() || JmenoKorene(d->Koren).isEmpty() || !d->bZapis())
        return false;
    bool bNalezen = false;
    try {
        d->Obsah = d->Soubor.Zmen([&](QJsonObject &obsah) {
            const auto klic = Clen(obsah, d->PlneJmeno(casti));
            if (!klic)
                return false;
            bNalezen = true;
            const QString podklice = (*klic + u'\\').toCaseFolded();
            for (auto it = obsah.begin(); it != obsah.end();)
                if (it.key() == *klic || it.key().toCaseFolded().startsWith(podklice))
                    it = obsah.erase(it);
                else
                    ++it;
            return true;
        });
    } catch (const TChybaZapisu &) {
        d->Obsah.reset();
        return false;
    } catch (const ERegistr &) {
        d->Obsah.reset();
        throw;
    }
    return bNalezen;
}

bool TRegistr::ExistujeHodnota(const QString &Jmeno) const
{
    return d->Hodnota(Jmeno).has_value();
}

TTypHodnoty TRegistr::TypHodnoty(const QString &Jmeno) const
{
    const auto hodnota = d->Hodnota(Jmeno);
    return hodnota ? TypZeJmena(hodnota->value(Typ).toString()) : rdNeznamy;
}

int TRegistr::PocetHodnot() const
{
    if (!d->bOtevren)
        throw ERegistr(QStringLiteral("Failed to get the values of the key: no key is open"));
    const auto hodnoty = d->Hodnoty();
    return hodnoty ? int(hodnoty->size()) : 0;
}

QStringList TRegistr::JmenaHodnot() const
{
    const auto hodnoty = d->Hodnoty();
    return hodnoty ? hodnoty->keys() : QStringList();
}

QString TRegistr::CtiRetezec(const QString &Jmeno) const
{
    const auto hodnota = d->Hodnota(Jmeno);
    if (!hodnota)
        return {};
    switch (TypZeJmena(hodnota->value(Typ).toString())) {
    case rdRetezec:
    case rdRozsirenyRetezec: return hodnota->value(Data).toString();
    case rdBinarni:
        // Data of no size reads as empty text, as in the registry.
        if (TData::VelikostDat(*hodnota) == 0)
            return {};
        break;
    default: break;
    }
    throw ERegistr(NeplatnyTyp(Jmeno));
}

qint32 TRegistr::CtiCislo(const QString &Jmeno) const
{
    const auto hodnota = d->Hodnota(Jmeno);
    if (!hodnota)
        throw ERegistr(NelzeCist(Jmeno));
    const TTypHodnoty typ = TypZeJmena(hodnota->value(Typ).toString());
    if (typ == rdCislo)
        return qint32(hodnota->value(Data).toDouble());
    // The registry reads into four bytes first and looks at the type after:
    // data that does not fit fails before its type is seen.
    if (typ != rdNeznamy && TData::VelikostDat(*hodnota) > 4)
        throw ERegistr(NelzeCist(Jmeno));
    throw ERegistr(NeplatnyTyp(Jmeno));
}

QByteArray TRegistr::CtiBinarni(const QString &Jmeno) const
{
    const auto hodnota = d->Hodnota(Jmeno);
    if (!hodnota)
        throw ERegistr(NelzeCist(Jmeno));
    if (TypZeJmena(hodnota->value(Typ).toString()) != rdBinarni)
        throw ERegistr(NeplatnyTyp(Jmeno));
    return QByteArray::fromHex(hodnota->value(Data).toString().toLatin1());
}

void TRegistr::ZapisRetezec(const QString &Jmeno, const QString &Hodnota)
{
    d->Zapis(Jmeno, TypRetezec, Hodnota);
}

void TRegistr::ZapisCislo(const QString &Jmeno, qint32 Hodnota)
{
    d->Zapis(Jmeno, TypCislo, qint64(Hodnota));
}

void TRegistr::ZapisBinarni(const QString &Jmeno, const QByteArray &Hodnota)
{
    d->Zapis(Jmeno, TypBinarni, QString::fromLatin1(Hodnota.toHex()));
}
