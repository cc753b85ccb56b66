#include "Verze.h"

#include "Soubor.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The largest block there can be: its length is a 16-bit field.
constexpr quint32 NejvetsiBlok = 0xFFFF;

// The bytes to hand to the system; empty when the path cannot name a file (a
// null character would cut it short and name another one).
QByteArray SystemovaCesta(const QString &Cesta)
{
    const QByteArray cesta = KodujCestu(Cesta);
    return cesta.contains('\0') ? QByteArray() : cesta;
}

// ---- the file, read piece by piece ----

// A regular file open for reading; every read is checked against its size, so
// that no offset or length a damaged file gives leads outside it.
class TSoubor {
public:
    explicit TSoubor(const QString &Cesta)
    {
        const QByteArray cesta = SystemovaCesta(Cesta);
        if (cesta.isEmpty())
            return;
        // Without O_NONBLOCK a pipe would wait for a writer.
        FFd = ::open(cesta.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat st;
        if (FFd >= 0 && (::fstat(FFd, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(FFd);
            FFd = -1;
        }
        if (FFd >= 0)
            FVelikost = quint64(st.st_size);
    }
    ~TSoubor()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    TSoubor(const TSoubor &) = delete;
    TSoubor &operator=(const TSoubor &) = delete;

    bool Otevren() const { return FFd >= 0; }

    // True when Delka bytes from Pozice lie in the file.
    bool Obsahuje(quint64 Pozice, quint64 Delka) const { return Pozice <= FVelikost && Delka <= FVelikost - Pozice; }

    // Exactly Delka bytes from Pozice, or false.
    bool Cti(quint64 Pozice, void *Cil, quint64 Delka) const
    {
        if (FFd < 0 || !Obsahuje(Pozice, Delka))
            return false;
        auto *cil = static_cast<char *>(Cil);
        while (Delka > 0) {
            const ssize_t n = ::pread(FFd, cil, size_t(Delka), off_t(Pozice));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false; // an error, or a file that became shorter
            cil += n;
            Pozice += quint64(n);
            Delka -= quint64(n);
        }
        return true;
    }

private:
    int FFd = -1;
    quint64 FVelikost = 0;
};

// Where in the file a block lies.
struct TUsek {
    quint64 Pozice;
    quint64 Delka;
};

// ---- ELF: the section named SekceVerze ----

std::optional<TUsek> NajdiVElf(const TSoubor &Soubor)
{
    static constexpr uchar Znacka[] = {0x7F, 'E', 'L', 'F'};
    uchar hlavicka[64];
    if (!Soubor.Cti(0, hlavicka, 16) || std::memcmp(hlavicka, Znacka, sizeof Znacka) != 0)
        return {};
    const uchar trida = hlavicka[4], poradi = hlavicka[5];
    if ((trida != 1 && trida != 2) || (poradi != 1 && poradi != 2))
        return {};
    const bool b64 = trida == 2;
    const bool bVelky = poradi == 2;
    auto u16 = [bVelky](const uchar *p) -> quint64 {
        return bVelky ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
    };
    auto u32 = [bVelky](const uchar *p) -> quint64 {
        return bVelky ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
    };
    auto u64 = [bVelky](const uchar *p) -> quint64 {
        return bVelky ? qFromBigEndian<quint64>(p) : qFromLittleEndian<quint64>(p);
    };
    auto slovo = [&](const uchar *p) { return b64 ? u64(p) : u32(p); };

    if (!Soubor.Cti(0, hlavicka, b64 ? 64 : 52))
        return {};
    const quint64 tabulka = b64 ? u64(hlavicka + 0x28) : u32(hlavicka + 0x20);
    const quint64 velikostZaznamu = u16(hlavicka + (b64 ? 0x3A : 0x2E));
    const quint64 pocet = u16(hlavicka + (b64 ? 0x3C : 0x30));
    const quint64 nazvy = u16(hlavicka + (b64 ? 0x3E : 0x32));
    const quint64 potreba = b64 ? 64 : 40;
    if (tabulka == 0 || velikostZaznamu < potreba || pocet == 0 || nazvy >= pocet ||
        !Soubor.Obsahuje(tabulka, pocet * velikostZaznamu))
        return {};

    // The section table and the names, each read whole; an executable's are a
    // few kilobytes, and larger ones are no file this program made.
    constexpr quint64 NejvetsiTabulka = 16 << 20;
    if (pocet * velikostZaznamu > NejvetsiTabulka)
        return {};
    QByteArray tab(qsizetype(pocet * velikostZaznamu), Qt::Uninitialized);
    if (!Soubor.Cti(tabulka, tab.data(), quint64(tab.size())))
        return {};
    struct TSekce {
        quint64 Nazev, Typ, Pozice, Delka;
    };
    auto sekce = [&](quint64 Index) {
        const auto *zaznam = reinterpret_cast<const uchar *>(tab.constData()) + Index * velikostZaznamu;
        return TSekce{u32(zaznam), u32(zaznam + 4), slovo(zaznam + (b64 ? 24 : 16)), slovo(zaznam + (b64 ? 32 : 20))};
    };
    constexpr quint64 SHT_NOBITS = 8; // a section that takes no room in the file
    const TSekce retezce = sekce(nazvy);
    if (retezce.Typ == SHT_NOBITS || retezce.Delka > NejvetsiTabulka || !Soubor.Obsahuje(retezce.Pozice, retezce.Delka))
        return {};
    QByteArray jmena(qsizetype(retezce.Delka), Qt::Uninitialized);
    if (!Soubor.Cti(retezce.Pozice, jmena.data(), retezce.Delka))
        return {};

    constexpr quint64 DelkaNazvu = sizeof SekceVerze; // with its null
    for (quint64 i = 0; i < pocet; ++i) {
        const TSekce s = sekce(i);
        if (s.Nazev >= retezce.Delka || retezce.Delka - s.Nazev < DelkaNazvu ||
            std::memcmp(jmena.constData() + s.Nazev, SekceVerze, DelkaNazvu) != 0)
            continue;
        if (s.Typ == SHT_NOBITS || !Soubor.Obsahuje(s.Pozice, s.Delka))
            return {};
        return TUsek{s.Pozice, s.Delka};
    }
    return {};
}

// ---- PE: the version resource ----

std::optional<TUsek> NajdiVPe(const TSoubor &Soubor)
{
    uchar dos[64];
    if (!Soubor.Cti(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z')
        return {};
    const quint64 pe = qFromLittleEndian<quint32>(dos + 0x3C);
    uchar coff[24];
    if (!Soubor.Cti(pe, coff, sizeof coff) || std::memcmp(coff, "PE\0\0", 4) != 0)
        return {};
    const quint64 pocetSekci = qFromLittleEndian<quint16>(coff + 6);
    const quint64 velikostVolitelne = qFromLittleEndian<quint16>(coff + 20);

    // The optional header: its kind says where the data directories lie; the
    // third of them is the resources'.
    uchar volitelna[2];
    if (!Soubor.Cti(pe + 24, volitelna, 2))
        return {};
    const quint16 druh = qFromLittleEndian<quint16>(volitelna);
    quint64 pocetAdresaru, adresare;
    if (druh == 0x10B)
        pocetAdresaru = 92, adresare = 96;
    else if (druh == 0x20B)
        pocetAdresaru = 108, adresare = 112;
    else
        return {};
    constexpr quint64 ADRESAR_ZDROJU = 2;
    const quint64 konecZdroju = adresare + (ADRESAR_ZDROJU + 1) * 8;
    uchar pole[8];
    if (velikostVolitelne < konecZdroju || !Soubor.Cti(pe + 24 + pocetAdresaru, pole, 4) ||
        qFromLittleEndian<quint32>(pole) <= ADRESAR_ZDROJU ||
        !Soubor.Cti(pe + 24 + adresare + ADRESAR_ZDROJU * 8, pole, 8))
        return {};
    const quint64 zdroje = qFromLittleEndian<quint32>(pole);
    if (zdroje == 0)
        return {};
    // The section table, read whole: Windows loads no image of more than 96
    // sections.
    if (pocetSekci > 96)
        return {};
    QByteArray sekce(qsizetype(pocetSekci * 40), Qt::Uninitialized);
    if (!Soubor.Cti(pe + 24 + velikostVolitelne, sekce.data(), quint64(sekce.size())))
        return {};

    // A virtual address and length to the file's bytes: they have to lie in
    // the raw data of one section.
    auto vSouboru = [&](quint64 Adresa, quint64 Delka) -> std::optional<quint64> {
        for (quint64 i = 0; i < pocetSekci; ++i) {
            const auto *zaznam = reinterpret_cast<const uchar *>(sekce.constData()) + i * 40;
            const quint64 va = qFromLittleEndian<quint32>(zaznam + 12);
            const quint64 surova = qFromLittleEndian<quint32>(zaznam + 16);
            const quint64 pozice = qFromLittleEndian<quint32>(zaznam + 20);
            if (Adresa < va || Adresa - va >= surova)
                continue;
            if (Delka > surova - (Adresa - va) || !Soubor.Obsahuje(pozice + (Adresa - va), Delka))
                return {};
            return pozice + (Adresa - va);
        }
        return {};
    };
    auto cti = [&](quint64 Adresa, void *Cil, quint64 Delka) {
        const auto pozice = vSouboru(Adresa, Delka);
        return pozice && Soubor.Cti(*pozice, Cil, Delka);
    };

    // Three levels: type, name, language. Offsets inside the tree count from
    // its start; a set top bit marks a subdirectory. Each level is looked at
    // once, so no offset can send the search round in a loop.
    constexpr quint32 PODADRESAR = 0x80000000u;
    auto polozka = [&](quint64 Adresar, std::optional<quint32> Id, quint32 &Cil) {
        uchar hlava[16];
        if (!cti(zdroje + Adresar, hlava, sizeof hlava))
            return false;
        const quint64 pocet = quint64(qFromLittleEndian<quint16>(hlava + 12)) + qFromLittleEndian<quint16>(hlava + 14);
        QByteArray zaznamy(qsizetype(pocet * 8), Qt::Uninitialized);
        if (!cti(zdroje + Adresar + 16, zaznamy.data(), quint64(zaznamy.size())))
            return false;
        for (quint64 i = 0; i < pocet; ++i) {
            const auto *zaznam = reinterpret_cast<const uchar *>(zaznamy.constData()) + i * 8;
            // A name given as a string has its top bit set, so it never equals an Id.
            if (!Id || qFromLittleEndian<quint32>(zaznam) == *Id) {
                Cil = qFromLittleEndian<quint32>(zaznam + 4);
                return true;
            }
        }
        return false;
    };
    constexpr quint32 RT_VERSION = 16, VS_VERSION_INFO = 1;
    quint32 typ, jmeno, jazyk;
    if (!polozka(0, RT_VERSION, typ) || !(typ & PODADRESAR) || !polozka(typ & ~PODADRESAR, VS_VERSION_INFO, jmeno) ||
        !(jmeno & PODADRESAR) || !polozka(jmeno & ~PODADRESAR, std::nullopt, jazyk) || (jazyk & PODADRESAR))
        return {};
    uchar data[8];
    if (!cti(zdroje + jazyk, data, sizeof data))
        return {};
    const quint64 adresa = qFromLittleEndian<quint32>(data);
    const quint64 delka = std::min<quint64>(qFromLittleEndian<quint32>(data + 4), NejvetsiBlok);
    const auto pozice = vSouboru(adresa, delka);
    if (!pozice)
        return {};
    return TUsek{*pozice, delka};
}

// The file's version block, at most NejvetsiBlok bytes.
std::optional<QByteArray> CtiBlok(const QString &Cesta)
{
    const TSoubor soubor(Cesta);
    if (!soubor.Otevren())
        return {};
    auto usek = NajdiVElf(soubor);
    if (!usek)
        usek = NajdiVPe(soubor);
    if (!usek || usek->Delka == 0)
        return {};
    QByteArray blok(qsizetype(std::min<quint64>(usek->Delka, NejvetsiBlok)), Qt::Uninitialized);
    if (!soubor.Cti(usek->Pozice, blok.data(), quint64(blok.size())))
        return {};
    return blok;
}

// ---- the block's tree ----

quint32 Zarovnej(quint32 Pozice)
{
    return (Pozice + 3) & ~3u;
}

// One node of the block: a header of three 16-bit words (its length, the
// length of its value, its kind: 1 text, 0 binary), its key in UTF-16 with a
// null, then on 32-bit boundaries its value and its children. Every position
// counts from the start of the block; Konec is where the node ends, cut to
// where its parent (or the buffer) ends.
struct TUzel {
    quint32 Zacatek = 0, Delka = 0, Konec = 0;
    quint32 Klic = 0, DelkaKlice = 0;
    quint32 Hodnota = 0, DelkaHodnoty = 0; // the value's bytes that lie inside the node
    bool bText = false;
    quint32 Deti = 0;
};

std::optional<TUzel> CtiUzel(const uchar *Blok, quint32 Zacatek, quint32 Mez)
{
    if (Zacatek > Mez || Mez - Zacatek < 6)
        return {};
    TUzel u;
    u.Zacatek = Zacatek;
    u.Delka = qFromLittleEndian<quint16>(Blok + Zacatek);
    if (u.Delka < 6)
        return {}; // not even its header: nothing after it can be trusted either
    const quint32 deklarovana = qFromLittleEndian<quint16>(Blok + Zacatek + 2);
    u.bText = qFromLittleEndian<quint16>(Blok + Zacatek + 4) == 1;
    u.Konec = std::min(Zacatek + u.Delka, Mez);
    u.Klic = Zacatek + 6;
    quint32 p = u.Klic;
    while (p + 2 <= u.Konec && qFromLittleEndian<quint16>(Blok + p) != 0)
        p += 2;
    u.DelkaKlice = (p - u.Klic) / 2;
    if (p + 2 > u.Konec) { // a key without its null: neither value nor children
        u.Hodnota = u.Deti = u.Konec;
        return u;
    }
    u.Hodnota = Zarovnej(p + 2);
    const quint32 bajtu = u.bText ? deklarovana * 2 : deklarovana;
    u.DelkaHodnoty = u.Hodnota >= u.Konec ? 0 : std::min(bajtu, u.Konec - u.Hodnota);
    u.Hodnota = std::min(u.Hodnota, u.Konec);
    u.Deti = Zarovnej(u.Hodnota + bajtu);
    return u;
}

bool StejnyKlic(const uchar *Blok, const TUzel &Uzel, QStringView Jmeno)
{
    if (qsizetype(Uzel.DelkaKlice) != Jmeno.size())
        return false;
    QString klic(Jmeno.size(), Qt::Uninitialized);
    for (quint32 i = 0; i < Uzel.DelkaKlice; ++i)
        klic[i] = QChar(qFromLittleEndian<quint16>(Blok + Uzel.Klic + 2 * i));
    return klic.compare(Jmeno, Qt::CaseInsensitive) == 0;
}

// The child of Rodic named Jmeno. Each sibling starts past the one before it
// (every node is at least its header long), so a damaged length cannot send
// the search round in a loop.
std::optional<TUzel> NajdiDite(const uchar *Blok, const TUzel &Rodic, QStringView Jmeno)
{
    for (quint32 p = Rodic.Deti; p < Rodic.Konec;) {
        const auto dite = CtiUzel(Blok, p, Rodic.Konec);
        if (!dite)
            return {};
        if (StejnyKlic(Blok, *dite, Jmeno))
            return dite;
        p = Zarovnej(p + dite->Delka);
    }
    return {};
}

} // namespace

bool DotazNaVerzi(const void *Blok, quint32 VelikostBloku, const QString &Cesta, const void **Hodnota, quint32 *Delka)
{
    if (!Blok)
        return false;
    const auto *blok = static_cast<const uchar *>(Blok);
    auto uzel = CtiUzel(blok, 0, VelikostBloku);
    if (!uzel)
        return false;
    const QStringView cesta = QStringView(Cesta).left(Cesta.indexOf(QChar(0)));
    const QList<QStringView> casti = cesta.split(u'\\', Qt::SkipEmptyParts);
    for (const QStringView cast : casti) {
        uzel = NajdiDite(blok, *uzel, cast);
        if (!uzel)
            return false;
    }
    // Whether the value is read as text goes by the path, not by the node's
    // kind, which a damaged block could give wrongly: the caller reads a
    // string's length in characters.
    quint32 delka = uzel->DelkaHodnoty;
    if (!casti.isEmpty() && casti.front().compare(u"StringFileInfo", Qt::CaseInsensitive) == 0) {
        quint32 znaku = 0;
        while (2 * znaku + 2 <= delka && qFromLittleEndian<quint16>(blok + uzel->Hodnota + 2 * znaku) != 0)
            ++znaku;
        delka = znaku;
    }
    if (Hodnota)
        *Hodnota = blok + uzel->Hodnota;
    if (Delka)
        *Delka = delka;
    return true;
}

quint32 ZjistiVelikostVerze(const QString &Soubor, quint32 *Ukazatel)
{
    if (Ukazatel)
        *Ukazatel = 0;
    const auto blok = CtiBlok(Soubor);
    return blok ? quint32(blok->size()) : 0;
}

bool NactiVerzi(const QString &Soubor, quint32, quint32 Velikost, void *Zasobnik)
{
    const auto blok = CtiBlok(Soubor);
    if (!blok || !Zasobnik)
        return false;
    std::memcpy(Zasobnik, blok->constData(), std::min<size_t>(Velikost, size_t(blok->size())));
    return true;
}

// ---- entries and types ----

namespace {

qint64 Milisekundy(qint64 Sekundy, qint64 Nanosekundy)
{
    return Sekundy * 1000 + Nanosekundy / 1000000; // nanoseconds are never negative
}

} // namespace

std::optional<TZaznamSouboru> NajdiZaznam(const QString &Cesta)
{
    const QByteArray cesta = SystemovaCesta(Cesta);
    if (cesta.isEmpty())
        return {};
    TZaznamSouboru z;
    struct statx stx;
    int vysledek;
    do
        vysledek = ::statx(AT_FDCWD, cesta.constData(), AT_STATX_SYNC_AS_STAT, STATX_BASIC_STATS | STATX_BTIME, &stx);
    while (vysledek != 0 && errno == EINTR);
    if (vysledek == 0) {
        z.bSlozka = S_ISDIR(stx.stx_mode);
        z.Velikost = z.bSlozka ? 0 : qint64(stx.stx_size);
        const struct statx_timestamp &zrozeni = (stx.stx_mask & STATX_BTIME) ? stx.stx_btime : stx.stx_ctime;
        z.Casy[0] = Milisekundy(zrozeni.tv_sec, zrozeni.tv_nsec);
        z.Casy[1] = Milisekundy(stx.stx_mtime.tv_sec, stx.stx_mtime.tv_nsec);
        z.Casy[2] = Milisekundy(stx.stx_atime.tv_sec, stx.stx_atime.tv_nsec);
        return z;
    }
    if (errno != ENOSYS)
        return {};
    // A kernel without statx: no creation time.
    struct stat st;
    if (::stat(cesta.constData(), &st) != 0)
        return {};
    z.bSlozka = S_ISDIR(st.st_mode);
    z.Velikost = z.bSlozka ? 0 : qint64(st.st_size);
    z.Casy[0] = Milisekundy(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    z.Casy[1] = Milisekundy(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    z.Casy[2] = Milisekundy(st.st_atim.tv_sec, st.st_atim.tv_nsec);
    return z;
}

QString NazevTypu(const QString &Cesta)
{
    const QByteArray cesta = SystemovaCesta(Cesta);
    struct stat st;
    if (cesta.isEmpty() || ::stat(cesta.constData(), &st) != 0)
        return {};
    const QMimeDatabase databaze;
    const char *druh = S_ISDIR(st.st_mode) ? "inode/directory"
        : S_ISFIFO(st.st_mode)             ? "inode/fifo"
        : S_ISSOCK(st.st_mode)             ? "inode/socket"
        : S_ISCHR(st.st_mode)              ? "inode/chardevice"
        : S_ISBLK(st.st_mode)              ? "inode/blockdevice"
                                           : nullptr;
    if (druh)
        return databaze.mimeTypeForName(QString::fromLatin1(druh)).comment();
    // The name, and the first bytes where the file may be read: opened here
    // without waiting, as it could have become a pipe since.
    const QString jmeno = QFileInfo(Cesta).fileName();
    const int fd = ::open(cesta.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat otevreny;
    if (fd >= 0 && ::fstat(fd, &otevreny) == 0 && S_ISREG(otevreny.st_mode)) {
        QFile soubor;
        if (soubor.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
            return databaze.mimeTypeForFileNameAndData(jmeno, &soubor).comment();
    }
    if (fd >= 0)
        ::close(fd);
    return databaze.mimeTypeForFile(jmeno, QMimeDatabase::MatchExtension).comment();
}
