// Version and file information: version blocks built here and put into small
// ELF and PE files, read through TSouboroveInfo (values, flags, systems,
// strings, the three exceptions); damaged blocks and files, with every read
// of the block watched by guard pages; the program's own block; file times in
// local time, sizes and type names of files, folders and pipes made here.

#include "Prostredi.h"
#include "SoubUtility.h"
#include "Soubor.h"
#include "Verze.h"

#include <QDate>
#include <QDateTime>
#include <QMimeDatabase>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>
#include <cstring>
#include <functional>
#include <time.h>
#ifdef Q_OS_WIN
// Komponenty.h has a MulDiv of its own.
#define MulDiv MulDiv_Windows
#include <windows.h>
#include <shellapi.h>
#undef MulDiv
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// ---- version blocks, byte by byte ----

void Zarovnej(QByteArray &Bajty)
{
    while (Bajty.size() % 4 != 0)
        Bajty += '\0';
}

void Slovo(QByteArray &Bajty, quint16 Hodnota)
{
    Bajty += char(Hodnota & 0xFF);
    Bajty += char(Hodnota >> 8);
}

void DvojSlovo(QByteArray &Bajty, quint32 Hodnota)
{
    Slovo(Bajty, quint16(Hodnota));
    Slovo(Bajty, quint16(Hodnota >> 16));
}

QByteArray Utf16(const QString &Text, bool bNula = true)
{
    QByteArray b;
    for (const QChar c : Text)
        Slovo(b, c.unicode());
    if (bNula)
        Slovo(b, 0);
    return b;
}

// One node: length, value length, kind, key, value, children, each on a
// 32-bit boundary.
QByteArray Uzel(const QString &Klic, const QByteArray &Hodnota, quint16 DelkaHodnoty, quint16 Typ,
                const QList<QByteArray> &Deti = {})
{
    QByteArray b(6, '\0');
    b += Utf16(Klic);
    Zarovnej(b);
    b += Hodnota;
    for (const QByteArray &dite : Deti) {
        Zarovnej(b);
        b += dite;
    }
    qToLittleEndian<quint16>(quint16(b.size()), b.data());
    qToLittleEndian<quint16>(DelkaHodnoty, b.data() + 2);
    qToLittleEndian<quint16>(Typ, b.data() + 4);
    return b;
}

QByteArray Retezec(const QString &Klic, const QString &Hodnota)
{
    return Uzel(Klic, Utf16(Hodnota), quint16(Hodnota.size() + 1), 1);
}

struct TVerze {
    quint32 SouborMS = 0x00030000, SouborLS = 0x00020008;
    quint32 ProduktMS = 0x00030000, ProduktLS = 0;
    quint32 Maska = 0x3F, Priznaky = 0, System = 4, Typ = 1;
    int DelkaFix = 52;                                       // 0: no fixed information
    std::optional<QList<quint32>> Preklady = {{0x04E40409}}; // none: no VarFileInfo
    bool bPrekladyPrvni = false;                             // VarFileInfo before StringFileInfo
    QString Tabulka = u"040904E4"_s;
    QList<std::pair<QString, QString>> Retezce = {
        {u"CompanyName"_s, u"VELOR"_s},
        {u"FileDescription"_s, u"Aplikace pro konverzi textů s diakritickými znaménky"_s},
        {u"FileVersion"_s, u"3.0.2.8"_s},
        {u"ProductName"_s, u"Lumarin"_s},
        {u"ProductVersion"_s, u"3.0"_s},
        {u"OriginalFilename"_s, u"trelo.exe"_s},
    };
};

QByteArray FixInfo(const TVerze &V)
{
    QByteArray f;
    for (quint32 pole : {0xFEEF04BDu, 0x00010000u, V.SouborMS, V.SouborLS, V.ProduktMS, V.ProduktLS, V.Maska,
                         V.Priznaky, V.System, V.Typ, 0u, 0u, 0u})
        DvojSlovo(f, pole);
    return f.left(V.DelkaFix);
}

QByteArray Blok(const TVerze &V = {})
{
    QList<QByteArray> retezce;
    for (const auto &[klic, hodnota] : V.Retezce)
        retezce << Retezec(klic, hodnota);
    QList<QByteArray> deti{Uzel(u"StringFileInfo"_s, {}, 0, 1, {Uzel(V.Tabulka, {}, 0, 1, retezce)})};
    if (V.Preklady) {
        QByteArray tabulka;
        for (quint32 p : *V.Preklady)
            DvojSlovo(tabulka, p);
        const QByteArray uzel =
            Uzel(u"VarFileInfo"_s, {}, 0, 1, {Uzel(u"Translation"_s, tabulka, quint16(tabulka.size()), 0)});
        deti.insert(V.bPrekladyPrvni ? 0 : 1, uzel);
    }
    return Uzel(u"VS_VERSION_INFO"_s, FixInfo(V), quint16(V.DelkaFix), 0, deti);
}

// Where a key starts in a block (for damaging it there).
qsizetype Pozice(const QByteArray &Blok, const QString &Klic)
{
    return Blok.indexOf(Utf16(Klic, false)) - 6;
}

QByteArray Zmen(QByteArray Bajty, qsizetype Kde, quint16 Hodnota)
{
    qToLittleEndian<quint16>(Hodnota, Bajty.data() + Kde);
    return Bajty;
}

// ---- files that hold a block ----

template <typename T> void Zapis(QByteArray &Bajty, qsizetype Kde, T Hodnota, bool bVelky = false)
{
    if (Bajty.size() < Kde + qsizetype(sizeof(T)))
        Bajty.resize(Kde + qsizetype(sizeof(T)), '\0');
    if (bVelky)
        qToBigEndian<T>(Hodnota, Bajty.data() + Kde);
    else
        qToLittleEndian<T>(Hodnota, Bajty.data() + Kde);
}

// An ELF file with three sections: none, SekceVerze holding Obsah (when
// bSekce), the names. The block starts at 64, the section table at Tabulka.
struct TElf {
    QByteArray Bajty;
    qsizetype Tabulka, Zaznam; // the section table, the size of one entry
};

TElf Elf(const QByteArray &Obsah, bool b64 = true, bool bVelky = false, bool bSekce = true)
{
    QByteArray b(64, '\0');
    b[0] = 0x7F;
    b[1] = 'E';
    b[2] = 'L';
    b[3] = 'F';
    b[4] = b64 ? 2 : 1;
    b[5] = bVelky ? 2 : 1;
    b[6] = 1;
    const qsizetype hlavicka = b64 ? 64 : 52;
    b.resize(hlavicka);
    b += Obsah;
    const qsizetype jmena = b.size();
    const QByteArray nazvy =
        QByteArray("\0", 1) + (bSekce ? QByteArray(SekceVerze) : "jina_sekce"_ba) + QByteArray("\0.shstrtab\0", 11);
    b += nazvy;
    Zarovnej(b);
    const qsizetype tabulka = b.size();
    const qsizetype zaznam = b64 ? 64 : 40;
    b.resize(tabulka + 3 * zaznam, '\0');
    auto sekce = [&](int i, quint32 Nazev, quint32 Typ, quint64 Pozice, quint64 Delka) {
        const qsizetype z = tabulka + i * zaznam;
        Zapis<quint32>(b, z, Nazev, bVelky);
        Zapis<quint32>(b, z + 4, Typ, bVelky);
        if (b64) {
            Zapis<quint64>(b, z + 24, Pozice, bVelky);
            Zapis<quint64>(b, z + 32, Delka, bVelky);
        } else {
            Zapis<quint32>(b, z + 16, quint32(Pozice), bVelky);
            Zapis<quint32>(b, z + 20, quint32(Delka), bVelky);
        }
    };
    sekce(1, 1, 1, quint64(hlavicka), quint64(Obsah.size()));
    sekce(2, quint32(nazvy.indexOf(".shstrtab")), 3, quint64(jmena), quint64(nazvy.size()));
    Zapis<quint16>(b, 16, 2, bVelky); // an executable
    if (b64) {
        Zapis<quint64>(b, 0x28, quint64(tabulka), bVelky);
        Zapis<quint16>(b, 0x3A, quint16(zaznam), bVelky);
        Zapis<quint16>(b, 0x3C, 3, bVelky);
        Zapis<quint16>(b, 0x3E, 2, bVelky);
    } else {
        Zapis<quint32>(b, 0x20, quint32(tabulka), bVelky);
        Zapis<quint16>(b, 0x2E, quint16(zaznam), bVelky);
        Zapis<quint16>(b, 0x30, 3, bVelky);
        Zapis<quint16>(b, 0x32, 2, bVelky);
    }
    return {b, tabulka, zaznam};
}

// A Windows executable with one section ".rsrc" whose resource tree holds the
// block as type 16, name 1, language 0x0409. Positions of its parts, for
// damaging them:
struct TPe {
    QByteArray Bajty;
    static constexpr qsizetype Pe = 0x40;                // "PE\0\0"
    static constexpr qsizetype Sekce = 0x400;            // raw data of .rsrc, at virtual address 0x1000
    static constexpr qsizetype Jmena = Sekce + 16;       // the type level's entry
    static constexpr qsizetype Nazvy = Sekce + 24 + 16;  // the name level's entry
    static constexpr qsizetype Jazyky = Sekce + 48 + 16; // the language level's entry
    static constexpr qsizetype Data = Sekce + 72;        // the data entry
    static constexpr qsizetype Blok = Sekce + 88;
    qsizetype TabulkaSekci = 0;
};

TPe Pe(const QByteArray &Obsah, bool b64 = true)
{
    TPe pe;
    QByteArray &b = pe.Bajty;
    b = QByteArray(TPe::Sekce, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    Zapis<quint32>(b, 0x3C, TPe::Pe);
    std::memcpy(b.data() + TPe::Pe, "PE\0\0", 4);
    const qsizetype coff = TPe::Pe + 4;
    const quint16 volitelna = b64 ? 240 : 224;
    Zapis<quint16>(b, coff, b64 ? 0x8664 : 0x14C);
    Zapis<quint16>(b, coff + 2, 1);
    Zapis<quint16>(b, coff + 16, volitelna);
    const qsizetype opt = coff + 20;
    Zapis<quint16>(b, opt, b64 ? 0x20B : 0x10B);
    Zapis<quint32>(b, opt + (b64 ? 108 : 92), 16);
    const qsizetype adresare = opt + (b64 ? 112 : 96);
    const quint32 delka = quint32(88 + Obsah.size());
    Zapis<quint32>(b, adresare + 2 * 8, 0x1000);
    Zapis<quint32>(b, adresare + 2 * 8 + 4, delka);
    pe.TabulkaSekci = opt + volitelna;
    std::memcpy(b.data() + pe.TabulkaSekci, ".rsrc\0\0\0", 8);
    Zapis<quint32>(b, pe.TabulkaSekci + 8, delka);
    Zapis<quint32>(b, pe.TabulkaSekci + 12, 0x1000);
    Zapis<quint32>(b, pe.TabulkaSekci + 16, (delka + 0x1FF) & ~0x1FFu);
    Zapis<quint32>(b, pe.TabulkaSekci + 20, TPe::Sekce);
    // Three directories of one entry each, then the data entry.
    Zapis<quint16>(b, TPe::Sekce + 14, 1);
    Zapis<quint32>(b, TPe::Jmena, 16);
    Zapis<quint32>(b, TPe::Jmena + 4, 0x80000000u | 24);
    Zapis<quint16>(b, TPe::Sekce + 24 + 14, 1);
    Zapis<quint32>(b, TPe::Nazvy, 1);
    Zapis<quint32>(b, TPe::Nazvy + 4, 0x80000000u | 48);
    Zapis<quint16>(b, TPe::Sekce + 48 + 14, 1);
    Zapis<quint32>(b, TPe::Jazyky, 0x0409);
    Zapis<quint32>(b, TPe::Jazyky + 4, 72);
    Zapis<quint32>(b, TPe::Data, 0x1000 + 88);
    Zapis<quint32>(b, TPe::Data + 4, quint32(Obsah.size()));
    b.resize(TPe::Blok, '\0');
    b += Obsah;
    b.resize(TPe::Sekce + ((delka + 0x1FF) & ~0x1FF), '\0');
    return pe;
}

// A program holding the block where the system's own version calls look for
// it: on Windows in its version resource (Windows reads no ELF file), elsewhere
// in its ELF section.
QByteArray Program(const QByteArray &Obsah)
{
#ifdef Q_OS_WIN
    return Pe(Obsah).Bajty;
#else
    return Elf(Obsah).Bajty;
#endif
}

// ---- what the reader answers ----

// The value, or the exception's class and message.
QString Vysledek(const std::function<QString()> &Dotaz)
{
    try {
        return Dotaz();
    } catch (const ENeniVerInfo &e) {
        return u"ENeniVerInfo: "_s + e.Zprava();
    } catch (const ENeniFixVerInfo &e) {
        return u"ENeniFixVerInfo: "_s + e.Zprava();
    } catch (const EVerInfo &e) {
        return u"EVerInfo: "_s + e.Zprava();
    }
}

const QString BezBloku = u"ENeniVerInfo: Informace o verzi nejsou dostupné."_s;
const QString BezPrekladu = u"EVerInfo: Neexistuje jazyková informace."_s;
const QString BezFixInfo = u"ENeniFixVerInfo: Neexistuje informace o souboru."_s;

// A block placed so that reading one byte before or past it faults: it lies
// between two pages that may not be read, against the later one (bNaKonci) or
// the earlier one.
class TStrazenyBlok {
public:
#ifdef Q_OS_WIN
    // Windows has no mmap: a plain copy, so a read outside the block is not
    // caught here (the system's own version calls do the reading there).
    TStrazenyBlok(const QByteArray &Obsah, bool) : FKopie(Obsah)
    {
        FData = FKopie.constData();
    }
    TStrazenyBlok(const TStrazenyBlok &) = delete;
    TStrazenyBlok &operator=(const TStrazenyBlok &) = delete;
    const char *Data() const
    {
        return FData;
    }

private:
    QByteArray FKopie;
    const char *FData;
};
#else
    TStrazenyBlok(const QByteArray &Obsah, bool bNaKonci)
    {
        const qsizetype stranka = sysconf(_SC_PAGESIZE);
        FDelka = (Obsah.size() + stranka - 1) / stranka * stranka + 2 * stranka;
        FPamet = static_cast<char *>(
            mmap(nullptr, size_t(FDelka), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        if (FPamet == MAP_FAILED)
            qFatal("no memory for a guarded block");
        mprotect(FPamet, size_t(stranka), PROT_NONE);
        mprotect(FPamet + FDelka - stranka, size_t(stranka), PROT_NONE);
        FData = bNaKonci ? FPamet + FDelka - stranka - Obsah.size() : FPamet + stranka;
        std::memcpy(FData, Obsah.constData(), size_t(Obsah.size()));
    }
    ~TStrazenyBlok()
    {
        munmap(FPamet, size_t(FDelka));
    }
    TStrazenyBlok(const TStrazenyBlok &) = delete;
    TStrazenyBlok &operator=(const TStrazenyBlok &) = delete;
    const char *Data() const
    {
        return FData;
    }

private:
    char *FPamet;
    char *FData;
    qsizetype FDelka;
};
#endif

// Every path the program asks for, and some it does not.
const QStringList Cesty = {
    u"\\"_s,
    u""_s,
    u"\\VarFileInfo\\Translation"_s,
    u"\\VarFileInfo"_s,
    u"\\VarFileInfo\\Translation\\Dal"_s,
    u"\\StringFileInfo"_s,
    u"\\StringFileInfo\\040904E4"_s,
    u"\\StringFileInfo\\040904E4\\CompanyName"_s + QChar(0),
    u"\\StringFileInfo\\040904E4\\FileDescription"_s,
    u"\\StringFileInfo\\040904E4\\OriginalFilename"_s,
    u"\\StringFileInfo\\040904E4\\ProductVersion"_s,
    u"\\StringFileInfo\\040904E4\\Neni"_s,
    u"\\\\StringFileInfo\\\\040904e4\\productname\\"_s,
};

// Asks every path of a block lying between guard pages, and reads everything
// each answer says may be read. A read outside the block ends the test.
void ProverVsechnyCesty(const QByteArray &Blok)
{
    for (const bool bNaKonci : {true, false}) {
        const TStrazenyBlok strazeny(Blok, bNaKonci);
        for (const QString &cesta : Cesty) {
            const void *hodnota = nullptr;
            quint32 delka = 0;
            if (!DotazNaVerzi(strazeny.Data(), quint32(Blok.size()), cesta, &hodnota, &delka))
                continue;
            const bool bText = cesta.contains(u"StringFileInfo"_s, Qt::CaseInsensitive);
            const auto *zacatek = static_cast<const char *>(hodnota);
            const qsizetype bajtu = bText ? 2 * qsizetype(delka) : qsizetype(delka);
            if (zacatek < strazeny.Data() || zacatek + bajtu > strazeny.Data() + Blok.size())
                QFAIL(qPrintable(u"an answer for %1 lies outside the block"_s.arg(cesta)));
            volatile char soucet = 0;
            for (qsizetype i = 0; i < bajtu; ++i)
                soucet = char(soucet + zacatek[i]);
        }
    }
}

bool ZapisDo(const QString &Cesta, const QByteArray &Bajty)
{
    QFile f(Cesta);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(Bajty) == Bajty.size();
}

#ifdef Q_OS_WIN
// Sets a file's or folder's last write and last access times (milliseconds
// since 1970 UTC).
bool NastavCasy(const QString &Cesta, qint64 Zapis, qint64 Pristup)
{
    const HANDLE h = CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(Cesta).utf16()),
                                 FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const auto cas = [](qint64 Ms) {
        const quint64 sto = quint64(Ms * 10000 + 116444736000000000LL);
        return FILETIME{DWORD(sto), DWORD(sto >> 32)};
    };
    const FILETIME zapis = cas(Zapis), pristup = cas(Pristup);
    const bool bOk = SetFileTime(h, nullptr, &pristup, &zapis);
    CloseHandle(h);
    return bOk;
}

// The shell's name of the type of a file or folder of that name, by its name
// alone.
QString TypPodleJmena(const QString &Jmeno, bool bSlozka)
{
    SHFILEINFOW info = {};
    SHGetFileInfoW(reinterpret_cast<const wchar_t *>(Jmeno.utf16()),
                   bSlozka ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                   SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
    return QString::fromWCharArray(info.szTypeName);
}

// A file of the given size.
bool Ridky(const QString &Cesta, qint64 Velikost)
{
    QFile soubor(Cesta);
    return soubor.open(QIODevice::WriteOnly | QIODevice::Truncate) && soubor.resize(Velikost);
}
#else
// Sets a file's last write and last access times (milliseconds since 1970 UTC).
bool NastavCasy(const QString &Cesta, qint64 Zapis, qint64 Pristup)
{
    auto cas = [](qint64 Ms) {
        struct timespec t;
        t.tv_sec = time_t(Ms >= 0 ? Ms / 1000 : -((-Ms + 999) / 1000));
        t.tv_nsec = long((Ms - qint64(t.tv_sec) * 1000) * 1000000);
        return t;
    };
    const struct timespec casy[2] = {cas(Pristup), cas(Zapis)};
    return utimensat(AT_FDCWD, KodujCestu(Cesta).constData(), casy, 0) == 0;
}

// A file of the given size without its bytes on the disk.
bool Ridky(const QString &Cesta, qint64 Velikost)
{
    const int fd = ::open(KodujCestu(Cesta).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool bOk = fd >= 0 && ::ftruncate(fd, off_t(Velikost)) == 0;
    if (fd >= 0)
        ::close(fd);
    return bOk;
}
#endif

QString Komentar(const char *Typ)
{
    return QMimeDatabase().mimeTypeForName(QString::fromLatin1(Typ)).comment();
}

} // namespace

class TestVerze : public QObject {
    Q_OBJECT

private:
    QString Soubor(const QString &Jmeno, const QByteArray &Bajty)
    {
        const QString cesta = Docasna.filePath(Jmeno);
        if (!ZapisDo(cesta, Bajty))
            qFatal("cannot write a fixture");
        return cesta;
    }
    TProstredi Prostredi;
    QTemporaryDir &Docasna = Prostredi.Docasna;
    TSouboroveInfo Info;

private slots:
    void initTestCase()
    {
        QVERIFY(Docasna.isValid());
        // A zone that is never UTC, with summer time, so that a time left in
        // UTC or given the wrong offset shows.
#ifdef Q_OS_WIN
        // The C runtime reads only this form, Prague's with the US dates of
        // summer time, which none of the times below tells apart.
        qputenv("TZ", "CET-1CEST");
        _tzset();
#else
        qputenv("TZ", "Europe/Prague");
        tzset();
#endif
    }

    // The block of one file through every query of the service.
    void cteni_data()
    {
        QTest::addColumn<QByteArray>("soubor");
        QTest::addColumn<QString>("verzeSouboru"); // or the exception every reader query raises
        QTest::addColumn<QString>("verzeProduktu");
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("priznaky");
        QTest::addColumn<QString>("klic");
        QTest::addColumn<QString>("hodnota");
        QTest::addColumn<QString>("verze"); // Verze with vtOprava, which never raises

        auto radek = [](const char *Nazev, const QByteArray &Blok, const QString &VerzeSouboru,
                        const QString &VerzeProduktu = u"3.0.0.0"_s, const QString &Priznaky = {},
                        const QString &Klic = u"OriginalFilename"_s, const QString &Hodnota = u"trelo.exe"_s,
                        const QString &Verze = u"3.0.0"_s) {
            const bool bChyba = VerzeSouboru.startsWith(u'E');
            QTest::newRow(Nazev) << Program(Blok) << VerzeSouboru << (bChyba ? VerzeSouboru : VerzeProduktu)
                                 << (bChyba ? VerzeSouboru : u"Vytvořeno pro 32-bit Windows"_s)
                                 << (bChyba ? VerzeSouboru : Priznaky) << Klic << (bChyba ? VerzeSouboru : Hodnota)
                                 << Verze;
        };
        const QByteArray vzor = Blok();
        radek("the program's values", vzor, u"3.0.2.8"_s);
        QTest::newRow("an ELF file without the section") << Elf(vzor, true, false, false).Bajty << BezBloku << BezBloku
                                                         << BezBloku << BezBloku << QString() << BezBloku << QString();

        TVerze v;
        v.Preklady.reset();
        radek("no translation table", Blok(v), BezPrekladu);
        v.Preklady = QList<quint32>{};
        radek("an empty translation table", Blok(v), BezPrekladu);
        radek("a translation table of two bytes", Zmen(Blok(), Blok().indexOf(Utf16(u"Translation"_s)) - 4, 2),
              BezPrekladu);
        v = {};
        v.DelkaFix = 0;
        radek("no fixed information", Blok(v), BezFixInfo, {}, {}, {}, {}, {});
        v.DelkaFix = 51;
        radek("fixed information of 51 bytes", Blok(v), BezFixInfo, {}, {}, {}, {}, {});
        v.Preklady.reset();
        radek("neither translation nor fixed information", Blok(v), BezPrekladu, {}, {}, {}, {}, {});

        v = {};
        v.Priznaky = 0x2B;
        radek("flags 0x2B under the mask 0x3F", Blok(v), u"3.0.2.8"_s, u"3.0.0.0"_s,
              u"Zkušební, Soukromé, Speciální, Debug"_s);
        v.Priznaky = 0x22;
        radek("flags 0x22", Blok(v), u"3.0.2.8"_s, u"3.0.0.0"_s, u"Zkušební, Speciální"_s);
        v.Maska = 0x3E;
        v.Priznaky = 0x01;
        radek("flag 0x01 outside the mask", Blok(v), u"3.0.2.8"_s);
        v.Maska = 0x3F;
        v.Priznaky = 0x14;
        radek("patched and inferred add nothing", Blok(v), u"3.0.2.8"_s);
        v.Maska = v.Priznaky = 0xFFFFFFFF;
        radek("every bit", Blok(v), u"3.0.2.8"_s, u"3.0.0.0"_s, u"Zkušební, Soukromé, Speciální, Debug"_s);

        v = {};
        v.SouborMS = v.SouborLS = v.ProduktMS = v.ProduktLS = 0xFFFFFFFF;
        radek("parts of 65535", Blok(v), u"65535.65535.65535.65535"_s, u"65535.65535.65535.65535"_s, {},
              u"OriginalFilename"_s, u"trelo.exe"_s, u"65535.65535.65535"_s);
        v = {};
        v.ProduktMS = 0x000A0002;
        v.ProduktLS = 0x00010007;
        radek("product 10.2.1.7", Blok(v), u"3.0.2.8"_s, u"10.2.1.7"_s, {}, u"OriginalFilename"_s, u"trelo.exe"_s,
              u"10.2.1"_s);

        v = {};
        v.Tabulka = u"040904B0"_s;
        radek("strings under another code page", Blok(v), u"3.0.2.8"_s, u"3.0.0.0"_s, {}, u"OriginalFilename"_s, {});
        v.Tabulka = u"040504E2"_s;
        v.Preklady = QList<quint32>{0x04E40409, 0x04E20405};
        radek("only the first translation counts", Blok(v), u"3.0.2.8"_s, u"3.0.0.0"_s, {}, u"OriginalFilename"_s, {});
        v.Preklady = QList<quint32>{0x04E20405, 0x04E40409};
        radek("the strings' language first", Blok(v), u"3.0.2.8"_s);
        v = {};
        v.Tabulka = u"040904e4"_s;
        radek("names compare without regard to case", Blok(v), u"3.0.2.8"_s);
        radek("a key the block does not have", vzor, u"3.0.2.8"_s, u"3.0.0.0"_s, {}, u"Comments"_s, {});
        radek("the longest string", vzor, u"3.0.2.8"_s, u"3.0.0.0"_s, {}, u"FileDescription"_s,
              u"Aplikace pro konverzi textů s diakritickými znaménky"_s);
        v = {};
        v.Retezce = {{u"Comments"_s, {}}};
        radek("an empty string", Blok(v), u"3.0.2.8"_s, u"3.0.0.0"_s, {}, u"Comments"_s, {});

        // Damaged blocks: whatever lies inside the block still reads, nothing
        // outside it does.
        radek("the block's length past its end", Zmen(vzor, 0, 0xFFFF), u"3.0.2.8"_s);
#ifndef Q_OS_WIN // the system writes a signature of its own over a length of 0
        radek("the block's length 0", Zmen(vzor, 0, 0), BezPrekladu, {}, {}, {}, {}, {});
#endif
        radek("the block's length 5", Zmen(vzor, 0, 5), BezPrekladu, {}, {}, {}, {}, {});
        radek("the strings' length 0, before the translation", Zmen(vzor, Pozice(vzor, u"StringFileInfo"_s), 0),
              BezPrekladu);
        radek("a string's length 0", Zmen(vzor, Pozice(vzor, u"ProductVersion"_s), 0), u"3.0.2.8"_s, u"3.0.0.0"_s, {},
              u"OriginalFilename"_s, {});
        radek("a string's value longer than its node", Zmen(vzor, Pozice(vzor, u"OriginalFilename"_s) + 2, 0x7FFF),
              u"3.0.2.8"_s);
        radek("a string without its null", Zmen(vzor, vzor.indexOf(Utf16(u"trelo.exe"_s)) + 18, u'!'), u"3.0.2.8"_s,
              u"3.0.0.0"_s, {}, u"OriginalFilename"_s, u"trelo.exe!"_s);
        v = {};
        v.bPrekladyPrvni = true;
        const QByteArray prekladyPrvni = Blok(v);
        const qsizetype text = prekladyPrvni.indexOf(Utf16(u"trelo.exe"_s));
        radek("a block that ends where a string's null would be", prekladyPrvni.left(text + 18), u"3.0.2.8"_s);
#ifndef Q_OS_WIN // the system's buffer does not say where the cut block ended
        radek("an odd block that ends inside a string", prekladyPrvni.left(text + 17), u"3.0.2.8"_s, u"3.0.0.0"_s, {},
              u"OriginalFilename"_s, u"trelo.ex"_s);
#endif
        radek("an odd block that ends in the strings' header", vzor.left(Pozice(vzor, u"StringFileInfo"_s) + 1),
              BezPrekladu);
        radek("a block cut before the translation", vzor.left(Pozice(vzor, u"VarFileInfo"_s)), BezPrekladu);
        radek("a block of three bytes", vzor.left(3), BezPrekladu, {}, {}, {}, {}, {});
    }

    void cteni()
    {
        QFETCH(QByteArray, soubor);
        QFETCH(QString, klic);
        const QString cesta = Soubor(u"blok"_s, soubor);
        QTEST(Vysledek([&] { return Info.VerzeSouboru(cesta); }), "verzeSouboru");
        QTEST(Vysledek([&] { return Info.VerzeProduktu(cesta); }), "verzeProduktu");
        QTEST(Vysledek([&] { return Info.VyzadovanyOS(cesta); }), "system");
        QTEST(Vysledek([&] { return Info.PriznakyKompilace(cesta); }), "priznaky");
        QTEST(Vysledek([&] { return TVerInfoZdroj(cesta).ZiskejUziDefRet(klic); }), "hodnota");
        QTEST(Info.Verze(cesta, vtOprava), "verze");
    }

    // Verze works on the product version, VerzeSouboru on the file version.
    void verze_data()
    {
        QTest::addColumn<int>("typ");
        QTest::addColumn<QString>("verze");
        QTest::newRow("vtSestaveni") << int(vtSestaveni) << u"3.0.0.0"_s;
        QTest::newRow("vtHlavniVerze") << int(vtHlavniVerze) << u"3"_s;
        QTest::newRow("vtVedlejsiVerze") << int(vtVedlejsiVerze) << u"3.0"_s;
        QTest::newRow("vtOprava") << int(vtOprava) << u"3.0.0"_s;
        QTest::newRow("none of the four") << 4 << QString();
    }

    void verze()
    {
        QFETCH(int, typ);
        const QString cesta = Soubor(u"verze"_s, Program(Blok()));
        QTEST(Info.Verze(cesta, TVerTyp(typ)), "verze");
        QCOMPARE(Info.VerzeSouboru(cesta), u"3.0.2.8"_s);
    }

    void system_data()
    {
        QTest::addColumn<quint32>("hodnota");
        QTest::addColumn<QString>("text");
        const std::pair<quint32, const char16_t *> systemy[] = {
            {0x00000001, u"Vytvořeno pro 16-bit Windows"},
            {0x00000002, u"Vytvořeno pro 16-bit PM"},
            {0x00000003, u"Vytvořeno pro 32-bit PM"},
            {0x00000004, u"Vytvořeno pro 32-bit Windows"},
            {0x00010000, u"Vytvořeno pro MS-DOS"},
            {0x00010001, u"Vytvořeno pro 16-bit Windows, běžící na MS-DOS"},
            {0x00010004, u"Vytvořeno pro Win32 API, běžící na MS-DOS"},
            {0x00020000, u"Vytvořeno pro 16-bit OS/2"},
            {0x00020002, u"Vytvořeno pro 16-bit PM, běžící na 16-bit OS/2"},
            {0x00030000, u"Vytvořeno pro 32-bit OS/2"},
            {0x00030003, u"Vytvořeno pro 32-bit PM, běžící na 32-bit OS/2"},
            {0x00040000, u"Vytvořeno pro Windows NT"},
            {0x00040004, u"Vytvořeno pro Win32 API, běžící na Windows/NT"},
            {0x00040001, u"Neznámé"},
            {0x00000000, u"Neznámé"},
            {0x80000004, u"Neznámé"},
        };
        for (const auto &[hodnota, text] : systemy)
            QTest::addRow("0x%08X", hodnota) << hodnota << QString::fromUtf16(text);
    }

    void system()
    {
        QFETCH(quint32, hodnota);
        TVerze v;
        v.System = hodnota;
        QTEST(Info.VyzadovanyOS(Soubor(u"system"_s, Program(Blok(v)))), "text");
    }

    // The path a string is asked for: the first translation entry's language
    // and code page as upper-case hexadecimal digits, then the key and a null.
    void cestaKlice_data()
    {
        QTest::addColumn<QList<quint32>>("preklady");
        QTest::addColumn<int>("klic");
        QTest::addColumn<QString>("cesta");
        QTest::newRow("0x0409, 1252") << QList<quint32>{0x04E40409} << int(viPuvodniNazev)
                                      << u"\\StringFileInfo\\040904E4\\OriginalFilename"_s + QChar(0);
        QTest::newRow("the first of two") << QList<quint32>{0x04E20405, 0x04B00409} << int(viSpolecnost)
                                          << u"\\StringFileInfo\\040504E2\\CompanyName"_s + QChar(0);
        QTest::newRow("letters in both halves")
            << QList<quint32>{0xEF01ABCD} << int(viKomentare) << u"\\StringFileInfo\\ABCDEF01\\Comments"_s + QChar(0);
    }

    void cestaKlice()
    {
        QFETCH(QList<quint32>, preklady);
        QFETCH(int, klic);
        TVerze v;
        v.Preklady = preklady;
        const TVerInfoZdroj zdroj(Soubor(u"cesta"_s, Program(Blok(v))));
        QTEST(zdroj.CestaKlice(VerInfoKlice[klic]), "cesta");
    }

    // Every predefined key of the program's block, and a key outside the table.
    void predefinovaneKlice()
    {
        TVerze v;
        v.Retezce << std::pair{u"LegalCopyright"_s, u"©"_s} << std::pair{u"InternalName"_s, u"lumarin"_s};
        const TVerInfoZdroj zdroj(Soubor(u"klice"_s, Program(Blok(v))));
        QCOMPARE(zdroj.ZiskejPreDefRet(viSpolecnost), u"VELOR"_s);
        QCOMPARE(zdroj.ZiskejPreDefRet(viPopis), u"Aplikace pro konverzi textů s diakritickými znaménky"_s);
        QCOMPARE(zdroj.ZiskejPreDefRet(viVerzeSouboru), u"3.0.2.8"_s);
        QCOMPARE(zdroj.ZiskejPreDefRet(viVnitrniNazev), u"lumarin"_s);
        QCOMPARE(zdroj.ZiskejPreDefRet(viAutorskaPrava), u"©"_s);
        QCOMPARE(zdroj.ZiskejPreDefRet(viOchranneZnamky), QString());
        QCOMPARE(zdroj.ZiskejPreDefRet(viPuvodniNazev), u"trelo.exe"_s);
        QCOMPARE(zdroj.ZiskejPreDefRet(viNazevProduktu), u"Lumarin"_s);
        QCOMPARE(zdroj.ZiskejPreDefRet(viVerzeProduktu), u"3.0"_s);
        QCOMPARE(zdroj.ZiskejPreDefRet(viKomentare), QString());
        QCOMPARE(zdroj.ZiskejPreDefRet(TVerInfoTyp(10)), QString());
        QCOMPARE(Info.SouborovaInformace(Soubor(u"klice"_s, Program(Blok(v))), viNazevProduktu), u"Lumarin"_s);
    }

    // The same block in each kind of file the reader knows.
    void kontejnery_data()
    {
        QTest::addColumn<QByteArray>("soubor");
        QTest::addColumn<quint32>("velikost");
        const quint32 blok = quint32(Blok().size());
        QTest::newRow("ELF, 64 bits") << Elf(Blok()).Bajty << blok;
        QTest::newRow("ELF, 32 bits") << Elf(Blok(), false).Bajty << blok;
        QTest::newRow("ELF, big-endian") << Elf(Blok(), true, true).Bajty << blok;
        QTest::newRow("PE32+") << Pe(Blok()).Bajty << blok;
        QTest::newRow("PE32") << Pe(Blok(), false).Bajty << blok;
        // A section longer than a block can be: its first 65535 bytes count.
        QTest::newRow("ELF section of 70000 bytes") << Elf(Blok() + QByteArray(70000, 'x')).Bajty << 65535u;
    }

    void kontejnery()
    {
        QFETCH(QByteArray, soubor);
#ifdef Q_OS_WIN
        if (soubor.startsWith("\x7F"
                              "ELF"))
            QSKIP("Windows' version calls read PE files only: an ELF file has no block there");
#endif
        const QString cesta = Soubor(u"kontejner"_s, soubor);
        quint32 ukazatel = 1;
        const quint32 velikost = ZjistiVelikostVerze(cesta, &ukazatel);
        QCOMPARE(ukazatel, 0u);
#ifdef Q_OS_WIN
        // The system's buffer holds the block and room of its own after it.
        const quint32 velikostBloku = [] {
            QFETCH(quint32, velikost);
            return velikost;
        }();
        QVERIFY(velikost >= velikostBloku);
#else
        QTEST(velikost, "velikost");
#endif
        QByteArray blok(velikost, '\0');
        QVERIFY(NactiVerzi(cesta, ukazatel, velikost, blok.data()));
        QVERIFY(blok.startsWith(Blok()));
        QCOMPARE(Info.VerzeSouboru(cesta), u"3.0.2.8"_s);
        QCOMPARE(Info.Verze(cesta, vtOprava), u"3.0.0"_s);
        QCOMPARE(Info.SouborovaInformace(cesta, viPopis), u"Aplikace pro konverzi textů s diakritickými znaménky"_s);
    }

    // Files without a (findable) block: size 0, ENeniVerInfo, and Verze empty.
    // None of them is waited for or read outside its bytes.
    void bezBloku_data()
    {
        QTest::addColumn<QByteArray>("soubor");

        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << "Lumarin 3.0.0\n"_ba;
        QTest::newRow("only \"MZ\"") << "MZ"_ba;
        QTest::newRow("ELF header only") << Elf(Blok()).Bajty.left(64);

        auto elf = [](std::function<void(TElf &)> Zmena) {
            TElf e = Elf(Blok());
            Zmena(e);
            return e.Bajty;
        };
        const auto sekce = [](TElf &e, int Index, int Pole) { return e.Tabulka + Index * e.Zaznam + Pole; };
        QTest::newRow("ELF: section table past the end")
            << elf([](TElf &e) { Zapis<quint64>(e.Bajty, 0x28, quint64(e.Bajty.size())); });
        QTest::newRow("ELF: section table at 2^64 - 8")
            << elf([](TElf &e) { Zapis<quint64>(e.Bajty, 0x28, ~quint64(7)); });
        QTest::newRow("ELF: entries of 0 bytes") << elf([](TElf &e) { Zapis<quint16>(e.Bajty, 0x3A, 0); });
        QTest::newRow("ELF: 65535 entries of 65535 bytes") << elf([](TElf &e) {
            Zapis<quint16>(e.Bajty, 0x3A, 0xFFFF);
            Zapis<quint16>(e.Bajty, 0x3C, 0xFFFF);
        });
        QTest::newRow("ELF: names in a section that does not exist")
            << elf([](TElf &e) { Zapis<quint16>(e.Bajty, 0x3E, 3); });
        QTest::newRow("ELF: names past the end")
            << elf([&](TElf &e) { Zapis<quint64>(e.Bajty, sekce(e, 2, 24), quint64(e.Bajty.size()) - 4); });
        QTest::newRow("ELF: a name past the names")
            << elf([&](TElf &e) { Zapis<quint32>(e.Bajty, sekce(e, 1, 0), 0xFFFFFFF0u); });
        QTest::newRow("ELF: the name cut by the end of the names")
            << elf([&](TElf &e) { Zapis<quint64>(e.Bajty, sekce(e, 2, 32), 8); });
        QTest::newRow("ELF: the block past the end")
            << elf([&](TElf &e) { Zapis<quint64>(e.Bajty, sekce(e, 1, 24), quint64(e.Bajty.size()) - 8); });
        QTest::newRow("ELF: a block of 2^64 - 1 bytes")
            << elf([&](TElf &e) { Zapis<quint64>(e.Bajty, sekce(e, 1, 32), ~quint64(0)); });
        QTest::newRow("ELF: the block's section without data")
            << elf([&](TElf &e) { Zapis<quint32>(e.Bajty, sekce(e, 1, 4), 8); });
        QTest::newRow("ELF: a block of 0 bytes") << elf([&](TElf &e) { Zapis<quint64>(e.Bajty, sekce(e, 1, 32), 0); });
        QTest::newRow("ELF: an unknown class") << elf([](TElf &e) { e.Bajty[4] = 3; });

        auto pe = [](std::function<void(TPe &)> Zmena) {
            TPe p = Pe(Blok());
            Zmena(p);
            return p.Bajty;
        };
        QTest::newRow("PE: header past the end") << pe([](TPe &p) { Zapis<quint32>(p.Bajty, 0x3C, 0xFFFFFFF0u); });
        QTest::newRow("PE: an unknown optional header")
            << pe([](TPe &p) { Zapis<quint16>(p.Bajty, TPe::Pe + 24, 0x107); });
        QTest::newRow("PE: no resource directory")
            << pe([](TPe &p) { Zapis<quint32>(p.Bajty, TPe::Pe + 24 + 108, 2); });
        QTest::newRow("PE: resources outside every section")
            << pe([](TPe &p) { Zapis<quint32>(p.Bajty, TPe::Pe + 24 + 112 + 16, 0x9000); });
        QTest::newRow("PE: 200 sections") << pe([](TPe &p) { Zapis<quint16>(p.Bajty, TPe::Pe + 6, 200); });
        QTest::newRow("PE: 65535 entries in the type level")
            << pe([](TPe &p) { Zapis<quint16>(p.Bajty, TPe::Sekce + 14, 0xFFFF); });
        QTest::newRow("PE: no version type") << pe([](TPe &p) { Zapis<quint32>(p.Bajty, TPe::Jmena, 3); });
        QTest::newRow("PE: version name 2") << pe([](TPe &p) { Zapis<quint32>(p.Bajty, TPe::Nazvy, 2); });
        QTest::newRow("PE: the name level points at itself")
            << pe([](TPe &p) { Zapis<quint32>(p.Bajty, TPe::Nazvy + 4, 0x80000000u | 24); });
        QTest::newRow("PE: the type level points at the root")
            << pe([](TPe &p) { Zapis<quint32>(p.Bajty, TPe::Jmena + 4, 0x80000000u); });
        QTest::newRow("PE: a directory far outside")
            << pe([](TPe &p) { Zapis<quint32>(p.Bajty, TPe::Jmena + 4, 0xFFFFFFFFu); });
        QTest::newRow("PE: a language entry that is a directory")
            << pe([](TPe &p) { Zapis<quint32>(p.Bajty, TPe::Jazyky + 4, 0x80000000u | 72); });
        QTest::newRow("PE: the block past its section")
            << pe([](TPe &p) { Zapis<quint32>(p.Bajty, TPe::Data + 4, 0x10000); });
        QTest::newRow("PE: the block at an address of no section")
            << pe([](TPe &p) { Zapis<quint32>(p.Bajty, TPe::Data, 0xFFFFFFF0u); });
        QTest::newRow("PE: a section past the end of the file")
            << pe([](TPe &p) { Zapis<quint32>(p.Bajty, p.TabulkaSekci + 20, 0xFFFFFF00u); });
        QTest::newRow("PE: a block of 0 bytes") << pe([](TPe &p) { Zapis<quint32>(p.Bajty, TPe::Data + 4, 0); });
        QTest::newRow("PE: the file cut inside the block") << Pe(Blok()).Bajty.left(TPe::Blok + 100);
    }

    void bezBloku()
    {
        QFETCH(QByteArray, soubor);
#ifdef Q_OS_WIN
        if (soubor.startsWith("MZ"))
            QSKIP("the system's loader judges a damaged PE file itself (Wine finds blocks the program's own "
                  "reader refuses); the reading stays inside the block, see poskozenyBlok");
#endif
        const QString cesta = Soubor(u"bez"_s, soubor);
        quint32 ukazatel = 0;
        QCOMPARE(ZjistiVelikostVerze(cesta, &ukazatel), 0u);
        char zasobnik[16];
        QVERIFY(!NactiVerzi(cesta, 0, sizeof zasobnik, zasobnik));
        QCOMPARE(Vysledek([&] { return Info.VerzeSouboru(cesta); }), BezBloku);
        QCOMPARE(Info.Verze(cesta, vtSestaveni), QString());
    }

    // Names that are no regular file have no block either, and a pipe is not
    // waited for.
    void bezBlokuJinyDruh()
    {
        const QString slozka = Docasna.filePath(u"slozka"_s);
        const QString roura = Docasna.filePath(u"roura"_s);
        QVERIFY(QDir().mkpath(slozka));
#ifdef Q_OS_WIN
        // Windows has no named pipes in its folders; NUL is its device.
        Q_UNUSED(roura);
        for (const QString &cesta :
             {slozka, u"NUL"_s, Docasna.filePath(u"neni"_s), QString(), u"a"_s + QChar(0) + u"b"_s}) {
#else
        QVERIFY(mkfifo(KodujCestu(roura).constData(), 0600) == 0);
        for (const QString &cesta :
             {slozka, roura, Docasna.filePath(u"neni"_s), QString(), u"a"_s + QChar(0) + u"b"_s, u"/dev/zero"_s}) {
#endif
            quint32 ukazatel = 0;
            QCOMPARE(ZjistiVelikostVerze(cesta, &ukazatel), 0u);
            QCOMPARE(Vysledek([&] { return Info.VyzadovanyOS(cesta); }), BezBloku);
            QCOMPARE(Info.Verze(cesta, vtOprava), QString());
        }
    }

    // A file cut at every length: the block is found whole or not at all.
    void zkracenySoubor()
    {
        const QByteArray blok = Blok();
        for (const QByteArray &cely : {Elf(blok).Bajty, Pe(blok).Bajty}) {
            const QString cesta = Soubor(u"zkraceny"_s, cely);
            for (qsizetype delka = cely.size(); delka >= 0; --delka) {
                QVERIFY(QFile::resize(cesta, delka));
                quint32 ukazatel = 0;
                const quint32 velikost = ZjistiVelikostVerze(cesta, &ukazatel);
#ifdef Q_OS_WIN
                // The system's buffer holds the block and room of its own after it.
                QVERIFY2(velikost == 0 || velikost >= quint32(blok.size()), qPrintable(QString::number(delka)));
#else
                QVERIFY2(velikost == 0 || velikost == quint32(blok.size()), qPrintable(QString::number(delka)));
#endif
                const QString verze = Info.Verze(cesta, vtOprava);
                QVERIFY(verze == (velikost ? u"3.0.0"_s : QString()));
            }
        }
    }

    // The query over blocks cut at every length, with every byte and every
    // length field damaged, and at random: it answers within the block or
    // not at all, and always comes to an end.
    void poskozenyBlok()
    {
        TVerze v;
        v.Retezce << std::pair{u"Comments"_s, QString()};
        const QByteArray vzor = Blok(v);
        for (qsizetype delka = 0; delka <= vzor.size(); ++delka)
            ProverVsechnyCesty(vzor.left(delka));
        for (qsizetype i = 0; i < vzor.size(); ++i)
            for (const char bajt : {'\x00', '\x01', '\x05', '\x7F', '\xFF'}) {
                QByteArray b = vzor;
                b[i] = bajt;
                ProverVsechnyCesty(b);
            }
        for (qsizetype i = 0; i + 1 < vzor.size(); i += 2)
            for (const quint16 delka : {6, 7, 8, 0x7FFF, 0xFFFF})
                ProverVsechnyCesty(Zmen(vzor, i, delka));
        QRandomGenerator nahoda(20240611);
        for (int pokus = 0; pokus < 3000; ++pokus) {
            QByteArray b = vzor.left(nahoda.bounded(qint32(vzor.size()) + 1));
            for (int k = nahoda.bounded(1, 6); k > 0 && !b.isEmpty(); --k)
                b[nahoda.bounded(qint32(b.size()))] = char(nahoda.bounded(256));
            ProverVsechnyCesty(b);
        }
    }

    // The program's own block, as the build made it: read from this test's
    // executable (which links it as the program does), from the program's, and
    // from a copy of the program without its symbols.
    void vlastniProgram_data()
    {
        QTest::addColumn<QString>("cesta");
        QTest::newRow("this test") << QCoreApplication::applicationFilePath();
        QTest::newRow("lumarin") << QStringLiteral(LUMARIN_PROGRAM);
        QTest::newRow("lumarin stripped") << u"strip"_s;
    }

    void vlastniProgram()
    {
        QFETCH(QString, cesta);
        if (cesta == u"strip"_s) {
            cesta = Docasna.filePath(u"lumarin-bez-symbolu"_s);
            QFile::remove(cesta);
            QVERIFY(QFile::copy(QStringLiteral(LUMARIN_PROGRAM), cesta));
            if (QProcess::execute(u"strip"_s, {cesta}) != 0)
                QSKIP("no strip on this machine");
        }
        QCOMPARE(Info.Verze(cesta, vtOprava), u"3.0.0"_s);
        QCOMPARE(Info.VerzeSouboru(cesta), u"3.0.2.8"_s);
        QCOMPARE(Info.VerzeProduktu(cesta), u"3.0.0.0"_s);
        QCOMPARE(Info.PriznakyKompilace(cesta), QString());
        QCOMPARE(Info.VyzadovanyOS(cesta), u"Vytvořeno pro 32-bit Windows"_s);
        const TVerInfoZdroj zdroj(cesta);
        QCOMPARE(zdroj.CestaKlice(u"X"), u"\\StringFileInfo\\040904E4\\X"_s + QChar(0));
        QCOMPARE(zdroj.ZiskejPreDefRet(viPopis), u"Aplikace pro konverzi textů s diakritickými znaménky"_s);
        QCOMPARE(zdroj.ZiskejPreDefRet(viVerzeSouboru), u"3.0.2.8"_s);
        QCOMPARE(zdroj.ZiskejPreDefRet(viNazevProduktu), u"Lumarin"_s);
        QCOMPARE(zdroj.ZiskejPreDefRet(viVerzeProduktu), u"3.0"_s);
        QCOMPARE(zdroj.ZiskejPreDefRet(viPuvodniNazev), u"trelo.exe"_s);
        QVERIFY(!zdroj.ZiskejPreDefRet(viSpolecnost).isEmpty());
        QVERIFY(!zdroj.ZiskejPreDefRet(viAutorskaPrava).isEmpty());

        // The fields no query of the service shows: mask, flags, file type.
        quint32 ukazatel = 0;
        const quint32 velikost = ZjistiVelikostVerze(cesta, &ukazatel);
        QByteArray blok(velikost, '\0');
        QVERIFY(NactiVerzi(cesta, ukazatel, velikost, blok.data()));
        const void *hodnota = nullptr;
        quint32 delka = 0;
        QVERIFY(DotazNaVerzi(blok.constData(), velikost, u"\\"_s, &hodnota, &delka));
        QCOMPARE(delka, 52u);
        const auto *fix = static_cast<const uchar *>(hodnota);
        QCOMPARE(qFromLittleEndian<quint32>(fix), 0xFEEF04BDu);
        QCOMPARE(qFromLittleEndian<quint32>(fix + 24), 0x3Fu);
        QCOMPARE(qFromLittleEndian<quint32>(fix + 28), 0u);
        QCOMPARE(qFromLittleEndian<quint32>(fix + 36), 1u);
        QVERIFY(DotazNaVerzi(blok.constData(), velikost, u"\\VarFileInfo\\Translation"_s, &hodnota, &delka));
        QCOMPARE(delka, 4u);
        QCOMPARE(qFromLittleEndian<quint32>(hodnota), 0x04E40409u);
    }

    // Time stamps in local time, milliseconds kept, for a file and (through
    // CasSlozky) a folder and a file.
    void casy_data()
    {
        QTest::addColumn<QDateTime>("utc");
        QTest::addColumn<double>("mistni");
        QTest::newRow("summer") << QDateTime(QDate(2021, 7, 1), QTime(10, 0, 0, 250), Qt::UTC)
                                << 44378 + (12 * 3600000 + 250) / 86400000.0;
        QTest::newRow("winter") << QDateTime(QDate(2021, 1, 15), QTime(22, 59, 59, 999), Qt::UTC)
                                << 44211 + (23 * 3600000 + 59 * 60000 + 59999) / 86400000.0;
        QTest::newRow("the next local day")
            << QDateTime(QDate(2021, 1, 15), QTime(23, 30), Qt::UTC) << 44212 + 1800000 / 86400000.0;
        QTest::newRow("after 2038") << QDateTime(QDate(2038, 3, 1), QTime(10, 0), Qt::UTC) << 50465 + 11 / 24.0;
#ifndef Q_OS_WIN // the C runtime knows no local time before 1970, and Qt leaves such a time in UTC
        QTest::newRow("before 30 December 1899") << QDateTime(QDate(1899, 12, 29), QTime(5, 0), Qt::UTC) << -1.25;
#endif
    }

    void casy()
    {
        QFETCH(QDateTime, utc);
        QFETCH(double, mistni);
        // In memory where there is such a file system: it keeps times before
        // 1901, which ext4 does not.
        QTemporaryDir pamet(u"/dev/shm/tst_verze-XXXXXX"_s);
        const QTemporaryDir &kde = pamet.isValid() ? pamet : Docasna;
        const QString soubor = kde.filePath(u"cas.txt"_s);
        QVERIFY(ZapisDo(soubor, "x"));
        const QString slozka = kde.filePath(u"cas"_s);
        QVERIFY(QDir().mkpath(slozka));
        const qint64 ms = utc.toMSecsSinceEpoch();
        QVERIFY(NastavCasy(soubor, ms, ms + 86400000));
        QVERIFY(NastavCasy(slozka, ms - 86400000, ms));
        if (QFileInfo(soubor).lastModified().toMSecsSinceEpoch() != ms)
            QSKIP("the file system keeps no such time");
        const auto blizko = [](double a, double b) { return std::abs(a - b) < 0.5 / 86400000; };
        QVERIFY2(blizko(Info.CasSouboru(soubor, csUpraveno), mistni),
                 qPrintable(QString::number(Info.CasSouboru(soubor, csUpraveno), 'f', 12)));
        QVERIFY(blizko(Info.CasSouboru(soubor, csNaposledyOtevreno), mistni >= 0 ? mistni + 1 : mistni + 1.5));
        QVERIFY(blizko(Info.CasSlozky(slozka, csUpraveno), mistni >= 0 ? mistni - 1 : -2.25));
        QVERIFY(blizko(Info.CasSlozky(slozka, csNaposledyOtevreno), mistni));
        QVERIFY(blizko(Info.CasSlozky(soubor, csUpraveno), mistni));
    }

    // Creation: as new as the file (where the system keeps no creation time,
    // the last change of its entry).
    void casVytvoreni()
    {
        // Local time as the program converts it (on Windows the system's own
        // clock reading would follow the system's zone, not TZ).
        const QDateTime pred = QDateTime::currentDateTimeUtc().toLocalTime().addSecs(-2);
        const QString soubor = Soubor(u"novy"_s, "x");
        const QDateTime po = QDateTime::currentDateTimeUtc().toLocalTime().addSecs(2);
        const auto tdt = [](const QDateTime &t) {
            return QDate(1899, 12, 30).daysTo(t.date()) + t.time().msecsSinceStartOfDay() / 86400000.0;
        };
        const double vytvoreno = Info.CasSouboru(soubor, csVytvoreno);
        QVERIFY(vytvoreno >= tdt(pred) && vytvoreno <= tdt(po));
        QVERIFY(NastavCasy(soubor, 0, 0)); // 1970: creation does not follow
#ifdef Q_OS_WIN
        if (PodWine())
            QSKIP("Wine keeps no creation time: it gives the last write for it");
#endif
        QVERIFY(Info.CasSouboru(soubor, csVytvoreno) >= tdt(pred));
    }

    // What is not a file: a missing name and a folder give 2.75 and keep it as
    // ZakladniDatum; CasSlozky gives 0 for a missing name and leaves it alone.
    void casNeniSoubor()
    {
        TSouboroveInfo info;
        QCOMPARE(info.ZakladniDatum(), 0.0);
        const QString slozka = Docasna.filePath(u"zakladni"_s);
        QVERIFY(QDir().mkpath(slozka));
        QCOMPARE(info.CasSlozky(Docasna.filePath(u"neni"_s), csUpraveno), 0.0);
        QCOMPARE(info.ZakladniDatum(), 0.0);
        QCOMPARE(info.CasSouboru(slozka, csUpraveno), 2.75);
        QCOMPARE(info.ZakladniDatum(), 2.75);
        QVERIFY(info.CasSlozky(slozka, csUpraveno) > 40000);
        QCOMPARE(info.CasSouboru(Docasna.filePath(u"neni"_s), csVytvoreno), 2.75);
        QCOMPARE(info.CasSouboru(QString(), csVytvoreno), 2.75);
        QVERIFY(info.CasSouboru(Soubor(u"je"_s, "x"), csUpraveno) > 40000);
        QCOMPARE(info.ZakladniDatum(), 2.75);
        QCOMPARE(info.CasSouboru(Soubor(u"je"_s, "x"), TCasSouboru(3)), 0.0);
    }

    void velikost_data()
    {
        QTest::addColumn<QString>("jmeno");
        QTest::addColumn<qint64>("bajtu"); // of the file made; -1: nothing made, -2: a folder, -3: a pipe
        QTest::addColumn<qint32>("velikost");
        QTest::newRow("missing") << u"neni"_s << qint64(-1) << -1;
        QTest::newRow("empty") << u"prazdny"_s << qint64(0) << 0;
        QTest::newRow("five bytes") << u"pet"_s << qint64(5) << 5;
        QTest::newRow("a folder") << u"slozka"_s << qint64(-2) << 0;
        QTest::newRow("a pipe, not opened") << u"roura"_s << qint64(-3) << 0;
        QTest::newRow("2 GiB - 1") << u"velky"_s << qint64(0x7FFFFFFF) << 0x7FFFFFFF;
        // Beyond what the result holds: the most it holds, never a small size
        // nor -1, as the low 32 bits would give.
        QTest::newRow("2 GiB") << u"velky"_s << qint64(0x80000000) << 0x7FFFFFFF;
        QTest::newRow("4 GiB - 1") << u"velky"_s << qint64(0xFFFFFFFF) << 0x7FFFFFFF;
        QTest::newRow("4 GiB + 5") << u"velky"_s << qint64(0x100000005) << 0x7FFFFFFF;
    }

    void velikost()
    {
        QFETCH(QString, jmeno);
        QFETCH(qint64, bajtu);
        QTemporaryDir slozka;
        const QString cesta = slozka.filePath(jmeno);
        if (bajtu == -2)
            QVERIFY(QDir().mkpath(cesta));
        else if (bajtu == -3)
#ifdef Q_OS_WIN
            QSKIP("Windows has no named pipes in its folders");
#else
            QVERIFY(mkfifo(KodujCestu(cesta).constData(), 0600) == 0);
#endif
        else if (bajtu >= 0 && !Ridky(cesta, bajtu))
            QSKIP("the file system takes no file of that size");
        QTEST(Info.VelikostSouboru(cesta), "velikost");
        // A name relative to the current folder.
        const QString puvodni = QDir::currentPath();
        QVERIFY(QDir::setCurrent(slozka.path()));
        const qint32 relativni = Info.VelikostSouboru(jmeno);
        QDir::setCurrent(puvodni);
        QTEST(relativni, "velikost");
    }

    // The desktop's type names: found by name and by content, for folders and
    // pipes (never opened) too, and "?" for nothing.
    void typ_data()
    {
        QTest::addColumn<QString>("jmeno");
        QTest::addColumn<QByteArray>("obsah"); // "<folder>", "<pipe>", "<none>", or the file's bytes
        QTest::addColumn<QString>("typ");
        QTest::newRow("missing") << u"neni.txt"_s << "<none>"_ba << u"?"_s;
        QTest::newRow("text by its name") << u"a.txt"_s << "ahoj\n"_ba << Komentar("text/plain");
        QTest::newRow("PDF by its content")
            << u"dokument"_s << "%PDF-1.4\n%\xE2\xE3\n"_ba << Komentar("application/pdf");
        QTest::newRow("empty") << u"prazdny"_s << QByteArray() << Komentar("application/x-zerosize");
        QTest::newRow("a folder") << u"slozka"_s << "<folder>"_ba << Komentar("inode/directory");
        QTest::newRow("a pipe") << u"roura"_s << "<pipe>"_ba << Komentar("inode/fifo");
        QTest::newRow("a name that is not UTF-8") << DekodujCestu("x\xFF.txt") << "ahoj\n"_ba << Komentar("text/plain");
    }

    void typ()
    {
        QFETCH(QString, jmeno);
        QFETCH(QByteArray, obsah);
        QTemporaryDir slozka;
        const QString cesta = slozka.path() + u'/' + jmeno;
        if (obsah == "<folder>")
            QVERIFY(QDir().mkpath(cesta));
        else if (obsah == "<pipe>")
#ifdef Q_OS_WIN
            QSKIP("Windows has no named pipes in its folders");
#else
            QVERIFY(mkfifo(KodujCestu(cesta).constData(), 0600) == 0);
#endif
        else if (obsah != "<none>")
            ZapisSoubor(cesta, obsah);
        const QString typ = Info.TypSouboru(cesta);
#ifdef Q_OS_WIN
        QFile::remove(cesta);
#else
        ::unlink(KodujCestu(cesta).constData()); // Qt cannot name every file it would have to remove
#endif
#ifdef Q_OS_WIN
        // The shell's own name for the type, which it finds by the name alone.
        if (obsah != "<none>") {
            const QString podleJmena = TypPodleJmena(jmeno, obsah == "<folder>");
            if (PodWine() && typ != podleJmena)
                QSKIP(qPrintable(u"Wine's shell names the type of a file (\"%1\") and of its name alone (\"%2\") "
                                 "differently; Windows' does not"_s.arg(typ, podleJmena)));
            QCOMPARE(typ, podleJmena);
        } else
#endif
            QTEST(typ, "typ");
        QVERIFY(!typ.isEmpty() && typ.size() <= 80);
    }

    // A file that may not be read is still named by its name.
    void typNectitelny()
    {
#ifdef Q_OS_WIN
        QSKIP("a file its owner may not read needs POSIX permissions (and a user without privileges)");
#endif
        const QString cesta = Soubor(u"tajny.txt"_s, "ahoj\n");
        QVERIFY(QFile::setPermissions(cesta, {}));
        QVERIFY(QFile::setPermissions(Docasna.path(),
                                      QFile::permissions(Docasna.path()) | QFile::ExeGroup | QFile::ExeOther));
        TBezPrivilegii bezPrav;
        QCOMPARE(Info.TypSouboru(cesta), Komentar("text/plain"));
    }
};

QTEST_GUILESS_MAIN(TestVerze)
#include "tst_verze.moc"
