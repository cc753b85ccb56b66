// The one reader and the one writer of files: a save that fails for any reason
// leaves the old file and tells the user; pipes and devices are neither waited
// for nor replaced; a file keeps what it is (links, owner, attributes); names
// that are not UTF-8 reach their file.

#include "Chyby.h"
#include "Komponenty.h"
#include "Memo.h"
#include "Soubor.h"
#include "Soubory.h"
#include "TestovaciOkno.h"

#include <QAction>
#include <QLabel>
#include <QtTest>
#ifdef Q_OS_WIN

// What this test makes happen exists on POSIX systems only: size-limited and
// full file systems through tmpfs and RLIMIT_FSIZE, named pipes and sockets,
// inodes and owners, extended attributes and ACLs, names as bytes that are
// not UTF-8. tst_windows makes the Windows writer fail for real instead: a
// full drive, a file held open by another program, a read-only file, a
// device, hard and symbolic links, long paths.
class TestZapis : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QSKIP("tmpfs and size limits, FIFOs, sockets, inodes, owners, extended attributes and non-UTF-8 names "
              "exist on POSIX systems only (tst_windows tests the Windows writer)");
    }
};

#else

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <memory>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct stat Stav(const QString &Cesta)
{
    struct stat st = {};
    ::lstat(KodujCestu(Cesta).constData(), &st);
    return st;
}

// Every name in a folder, hidden ones too, as the system gives them.
QList<QByteArray> Obsah(const QString &Slozka)
{
    QList<QByteArray> jmena;
    if (DIR *d = ::opendir(KodujCestu(Slozka).constData())) {
        while (const dirent *e = ::readdir(d))
            if (qstrcmp(e->d_name, ".") != 0 && qstrcmp(e->d_name, "..") != 0)
                jmena << QByteArray(e->d_name);
        ::closedir(d);
    }
    std::sort(jmena.begin(), jmena.end());
    return jmena;
}

// A 64 KB tmpfs on a folder, for a disk that really is full.
struct TMalyDisk {
    explicit TMalyDisk(const QString &Slozka) : FSlozka(KodujCestu(Slozka))
    {
        ::mkdir(FSlozka.constData(), 0755);
        bPripojen = ::mount("tmpfs", FSlozka.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~TMalyDisk()
    {
        if (bPripojen)
            ::umount2(FSlozka.constData(), MNT_DETACH);
    }
    qint64 Volno() const
    {
        struct statvfs st;
        return ::statvfs(FSlozka.constData(), &st) == 0 ? qint64(st.f_bavail) * qint64(st.f_frsize) : -1;
    }
    QByteArray FSlozka;
    bool bPripojen = false;
};

// A test that would otherwise hang ends with SIGALRM instead.
struct THlidac {
    THlidac() { ::alarm(20); }
    ~THlidac() { ::alarm(0); }
};

// The name with "%XX" read as the lone surrogate U+DCXX, which stands for
// the byte XX of a name that is not UTF-8.
QString Unik(const QString &Text)
{
    QString vysledek;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        if (Text[i] == u'%' && i + 2 < Text.size()) {
            vysledek += QChar(char16_t(0xDC00 + Text.mid(i + 1, 2).toUInt(nullptr, 16)));
            i += 2;
        } else {
            vysledek += Text[i];
        }
    }
    return vysledek;
}

// The ACL "u::rw-,u:65534:r--,g::r--,m::r--,o::---" as the kernel stores it.
QByteArray AclXattr()
{
    QByteArray b;
    auto pridej32 = [&b](quint32 v) { b.append(reinterpret_cast<const char *>(&v), 4); };
    auto polozka = [&](quint16 druh, quint16 prava, quint32 id) {
        b.append(reinterpret_cast<const char *>(&druh), 2);
        b.append(reinterpret_cast<const char *>(&prava), 2);
        pridej32(id);
    };
    pridej32(2);
    polozka(0x01, 6, quint32(-1)); // owner
    polozka(0x02, 4, 65534);       // a named user
    polozka(0x04, 4, quint32(-1)); // group
    polozka(0x10, 4, quint32(-1)); // mask
    polozka(0x20, 0, quint32(-1)); // others
    return b;
}

QByteArray Atribut(const QString &Cesta, const char *Jmeno)
{
    QByteArray b(4096, Qt::Uninitialized);
    const ssize_t n = ::getxattr(KodujCestu(Cesta).constData(), Jmeno, b.data(), size_t(b.size()));
    return n < 0 ? QByteArray("<none>") : b.left(n);
}

} // namespace

class TestZapis : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void plnyDisk_data();
    void plnyDisk();
    void proud_data();
    void proud();
    void malyTmpfs_data();
    void malyTmpfs();
    void neniSoubor_data();
    void neniSoubor();
    void identita_data();
    void identita();
    void atributy_data();
    void atributy();
    void odkazBezCile();
    void nejvice_data();
    void nejvice();
    void rostouciSoubor();
    void kodovaniCest_data();
    void kodovaniCest();
    void najdiSoubor();
    void jmenoMimoUtf8();

private:
    QString Otevri(const QString &Cesta, const QByteArray &Bajty);
    void OverSelhani(const QString &Cesta, const QString &Duvod);
    std::unique_ptr<TTestovaciOkno> Test;
    THlavniForm *Okno = nullptr;
    TSkriptDialogy *Dialogy = nullptr;
};

void TestZapis::init()
{
    Test = std::make_unique<TTestovaciOkno>();
    Okno = Test->Okno;
    Dialogy = Test->Dialogy;
}

void TestZapis::cleanup()
{
    // QTemporaryDir cannot remove names that are not UTF-8.
    ::nftw(
        KodujCestu(Test->Prostredi.Docasna.path()).constData(),
        [](const char *Cesta, const struct stat *, int, FTW *) { return ::remove(Cesta); }, 16, FTW_DEPTH | FTW_PHYS);
    Test.reset();
}

// Writes a file and opens it in the window.
QString TestZapis::Otevri(const QString &Cesta, const QByteArray &Bajty)
{
    Zapis(Cesta, Bajty);
    Dialogy->Otevrit = {Cesta};
    Okno->aOtevrit->trigger();
    return Cesta;
}

// A save that failed: the one message names the file and the system's reason,
// and the document is still unsaved.
void TestZapis::OverSelhani(const QString &Cesta, const QString &Duvod)
{
    QCOMPARE(Test->Prostredi.Dialogy.size(), 1);
    QCOMPARE(Test->Prostredi.Dialogy[0].Text, u"Cannot create file \"%1\". %2."_s.arg(Cesta, Duvod));
    QCOMPARE(Test->Prostredi.Dialogy[0].Priznaky, MB_ICONHAND);
    QVERIFY(Okno->memSoubor->Modified());
    QCOMPARE(BarvaPisma(Okno->lblNazevSouboru), clRed);
    QVERIFY(Okno->aUlozit->isEnabled());
}

void TestZapis::plnyDisk_data()
{
    QTest::addColumn<bool>("naMiste"); // another name (hard link) keeps the file in place
    QTest::addColumn<int>("stara");
    QTest::addColumn<int>("nova");
    QTest::addColumn<int>("limit");
    // Below and above the buffers of stdio and Qt.
    QTest::newRow("přejmenováním, malý") << false << 11 << 100 << 40;
    QTest::newRow("přejmenováním, velký") << false << 11 << 100000 << 70000;
    QTest::newRow("na místě, delší") << true << 11 << 100000 << 70000;
    // The limit lies inside the old file: the write fails midway.
    QTest::newRow("na místě, kratší") << true << 200 << 150 << 50;
}

void TestZapis::plnyDisk()
{
    QFETCH(bool, naMiste);
    QFETCH(int, stara);
    QFETCH(int, nova);
    QFETCH(int, limit);
    const QString cesta = Test->Prostredi.Cesta(u"dokument.txt"_s);
    const QByteArray puvodni(stara, 'a');
    Otevri(cesta, puvodni);
    if (naMiste)
        QCOMPARE(::link(KodujCestu(cesta).constData(), KodujCestu(cesta + u".2"_s).constData()), 0);
    const auto jmena = Obsah(Test->Prostredi.Cesta(QString()));
    const ino_t inode = Stav(cesta).st_ino;
    Okno->memSoubor->NastavText(QString(nova - 1, u'b'));
    Napis(Okno->memSoubor, u"c"_s);
    {
        TLimitVelikosti limitVelikosti{rlim_t(limit)};
        QVERIFY(limitVelikosti.bNastaven);
        Okno->aUlozit->trigger();
    }
    OverSelhani(cesta, qt_error_string(EFBIG));
    QCOMPARE(Precti(cesta), puvodni);
    QCOMPARE(Stav(cesta).st_ino, inode);
    if (naMiste)
        QCOMPARE(Precti(cesta + u".2"_s), puvodni);
    QCOMPARE(Obsah(Test->Prostredi.Cesta(QString())), jmena);
    // Without the limit the same save goes through.
    Okno->aUlozit->trigger();
    QCOMPARE(Precti(cesta), Okno->memSoubor->Text().toUtf8());
    QVERIFY(!Okno->memSoubor->Modified());
}

// The writer that takes its content in pieces (lumarin-convert's -i and -o):
// nothing of the old file changes before Dokonci, whether the content goes
// through the temporary file (past the first megabytes) or, for a hard-linked
// file, waits in memory; a writer given up, or failed on a full disk, leaves
// the old file and no other name; after a failure, Znovu starts over.
void TestZapis::proud_data()
{
    QTest::addColumn<bool>("naMiste");
    QTest::addColumn<QString>("konec"); // "hotovo", "vzdano" or "plny"
    for (const bool naMiste : {false, true})
        for (const QString &konec : {u"hotovo"_s, u"vzdano"_s, u"plny"_s})
            QTest::addRow("%s, %s", naMiste ? "na místě" : "přejmenováním", qPrintable(konec)) << naMiste << konec;
}

void TestZapis::proud()
{
    QFETCH(bool, naMiste);
    QFETCH(QString, konec);
    const QString cesta = Test->Prostredi.Cesta(u"velky.txt"_s);
    const QByteArray puvodni = "old content\n"_ba.repeated(1000);
    Zapis(cesta, puvodni);
    if (naMiste)
        QCOMPARE(::link(KodujCestu(cesta).constData(), KodujCestu(cesta + u".2"_s).constData()), 0);
    const auto jmena = Obsah(Test->Prostredi.Cesta(QString()));
    const ino_t inode = Stav(cesta).st_ino;
    QByteArray nove;
    {
        std::unique_ptr<TLimitVelikosti> limit;
        if (konec == u"plny"_s)
            limit = std::make_unique<TLimitVelikosti>(rlim_t(6) << 20);
        TZapisSouboru zapis;
        zapis.Otevri(cesta);
        QString chyba;
        try {
            // Ten pieces of a megabyte and a bit, each of its own byte.
            for (int i = 0; i < 10; ++i) {
                const QByteArray kus((1 << 20) + 7, char('a' + i));
                zapis.Pridej(kus);
                nove += kus;
                QCOMPARE(Precti(cesta), puvodni);
                if (konec == u"vzdano"_s && i == 7)
                    break;
            }
            QCOMPARE(zapis.Velikost(), nove.size());
            if (konec != u"vzdano"_s)
                zapis.Dokonci();
        } catch (const EChyba &e) {
            chyba = e.Zprava();
        }
        if (konec == u"plny"_s) {
            QCOMPARE(chyba, u"Cannot create file \"%1\". %2"_s.arg(cesta, qt_error_string(EFBIG)));
            QCOMPARE(Precti(cesta), puvodni);
            // The writer keeps to its failure until it starts over.
            QVERIFY_THROWS_EXCEPTION(EChyba, zapis.Dokonci());
            limit.reset();
            zapis.Znovu();
            nove = "new content\n"_ba;
            zapis.Pridej(nove);
            zapis.Dokonci();
        } else {
            QVERIFY2(chyba.isEmpty(), qPrintable(chyba));
        }
    }
    QCOMPARE(Precti(cesta), konec == u"vzdano"_s ? puvodni : nove);
    if (naMiste) {
        QCOMPARE(Precti(cesta + u".2"_s), Precti(cesta));
        QCOMPARE(Stav(cesta).st_ino, inode);
    }
    QCOMPARE(Obsah(Test->Prostredi.Cesta(QString())), jmena);
}

void TestZapis::malyTmpfs_data()
{
    QTest::addColumn<bool>("naMiste");
    QTest::addColumn<int>("volno");
    QTest::addColumn<bool>("vejdeSe");
    QTest::newRow("přejmenováním") << false << 8192 << false;
    QTest::newRow("na místě") << true << 4096 << false;
    // In place the old file's own block counts too.
    QTest::newRow("na místě, vejde se") << true << 8192 << true;
}

void TestZapis::malyTmpfs()
{
    QFETCH(bool, naMiste);
    QFETCH(int, volno);
    QFETCH(bool, vejdeSe);
    if (geteuid() != 0)
        QSKIP("mounting a tmpfs needs root");
    const QString slozka = Test->Prostredi.Docasna.filePath(u"maly"_s);
    TMalyDisk disk(slozka);
    if (!disk.bPripojen)
        QSKIP("tmpfs cannot be mounted here");
    const QString cesta = slozka + u"/dokument.txt"_s;
    const QByteArray puvodni(1000, 'a');
    Otevri(cesta, puvodni);
    if (naMiste)
        QCOMPARE(::link(KodujCestu(cesta).constData(), KodujCestu(slozka + u"/druhy.txt"_s).constData()), 0);
    Zapis(slozka + u"/vypln"_s, QByteArray(disk.Volno() - volno, 'v'));
    QCOMPARE(disk.Volno(), qint64(volno));
    const auto jmena = Obsah(slozka);
    Okno->memSoubor->NastavText(QString(12017, u'b'));
    Napis(Okno->memSoubor, u"c"_s);
    Okno->aUlozit->trigger();
    if (vejdeSe) {
        QVERIFY(Test->Prostredi.Dialogy.isEmpty());
        QCOMPARE(Precti(cesta), Okno->memSoubor->Text().toUtf8());
        QCOMPARE(Precti(slozka + u"/druhy.txt"_s), Okno->memSoubor->Text().toUtf8());
    } else {
        OverSelhani(cesta, qt_error_string(ENOSPC));
        QCOMPARE(Precti(cesta), puvodni);
    }
    QCOMPARE(Obsah(slozka), jmena);
}

void TestZapis::neniSoubor_data()
{
    QTest::addColumn<QString>("jmeno"); // in the working folder, or an absolute path
    QTest::addColumn<QString>("duvod");
    QTest::newRow("FIFO") << u"roura"_s << u"It is a named pipe (FIFO), not a regular file"_s;
    QTest::newRow("odkaz na FIFO") << u"odkaz"_s << u"It is a named pipe (FIFO), not a regular file"_s;
    QTest::newRow("socket") << u"soket"_s << u"It is a socket, not a regular file"_s;
    QTest::newRow("blokové zařízení") << u"disk"_s << u"It is a block device, not a regular file"_s;
    QTest::newRow("/dev/null") << u"/dev/null"_s << u"It is a character device, not a regular file"_s;
    QTest::newRow("složka") << u"slozka"_s << u"It is a folder, not a file"_s;
}

void TestZapis::neniSoubor()
{
    QFETCH(QString, jmeno);
    QFETCH(QString, duvod);
    const QString cesta = jmeno.startsWith(u'/') ? jmeno : Test->Prostredi.Cesta(jmeno);
    const QByteArray bajty = KodujCestu(cesta);
    if (jmeno == u"roura" || jmeno == u"odkaz") {
        QCOMPARE(::mkfifo(KodujCestu(Test->Prostredi.Cesta(u"roura"_s)).constData(), 0644), 0);
        if (jmeno == u"odkaz")
            QCOMPARE(::symlink("roura", bajty.constData()), 0);
    } else if (jmeno == u"soket") {
        const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un adresa = {};
        adresa.sun_family = AF_UNIX;
        qstrncpy(adresa.sun_path, bajty.constData(), sizeof adresa.sun_path);
        QCOMPARE(::bind(s, reinterpret_cast<sockaddr *>(&adresa), sizeof adresa), 0);
        ::close(s);
    } else if (jmeno == u"disk") {
        if (::mknod(bajty.constData(), S_IFBLK | 0600, makedev(7, 0)) != 0)
            QSKIP("no device nodes can be made here");
    } else if (jmeno == u"slozka") {
        QCOMPARE(::mkdir(bajty.constData(), 0755), 0);
    }
    const mode_t druh = Stav(cesta).st_mode & S_IFMT;
    const auto jmena = Obsah(Test->Prostredi.Cesta(QString()));
    const auto vDev = Obsah(u"/dev"_s);
    THlidac hlidac;

    Napis(Okno->memSoubor, u"text"_s);
    Dialogy->Ulozit = {cesta};
    Okno->aUlozitJako->trigger();
    OverSelhani(cesta, duvod);
    QCOMPARE(Stav(cesta).st_mode & S_IFMT, druh);
    QCOMPARE(Okno->lblNazevSouboru->text(), u"TEXT.TXT"_s);
    QCOMPARE(Obsah(Test->Prostredi.Cesta(QString())), jmena);
    QCOMPARE(Obsah(u"/dev"_s), vDev);

    // Nor is it read: the open command refuses it at once.
    Test->Prostredi.Odpovedi = {IDNO};
    Dialogy->Otevrit = {cesta};
    Okno->aOtevrit->trigger();
    QCOMPARE(Test->Prostredi.Dialogy.size(), 3);
    const QString otevreni = Test->Prostredi.Dialogy[2].Text;
    if (jmeno == u"disk") // the open itself may fail: no such device
        QVERIFY2(otevreni.startsWith(u"Cannot open file \"%1\". "_s.arg(cesta)), qPrintable(otevreni));
    else
        QCOMPARE(otevreni, u"Cannot open file \"%1\". %2."_s.arg(cesta, duvod));
    QCOMPARE(Okno->memSoubor->Text(), u"text"_s);
}

enum TDruhIdentity { diHardLink, diSlozkaJenKeCteni, diCiziVlastnik };

void TestZapis::identita_data()
{
    QTest::addColumn<int>("druh");
    QTest::newRow("další jméno (hard link)") << int(diHardLink);
    QTest::newRow("složka jen ke čtení") << int(diSlozkaJenKeCteni);
    QTest::newRow("soubor jiného uživatele") << int(diCiziVlastnik);
}

// Where a new file in the old one's place would not be the same file, the save
// writes into the old one.
void TestZapis::identita()
{
    QFETCH(int, druh);
    if (geteuid() != 0 && druh != diHardLink)
        QSKIP("needs root to hand files to another user");
    const QString slozka = Test->Prostredi.Docasna.filePath(u"slozka"_s);
    QVERIFY(QDir().mkpath(slozka));
    const QString cesta = slozka + u"/dokument.txt"_s;
    const QString druhe = slozka + u"/druhe.txt"_s;
    Otevri(cesta, "stará verze");
    QCOMPARE(Okno->memSoubor->Text(), u"stará verze"_s);
    if (druh == diHardLink)
        QCOMPARE(::link(KodujCestu(cesta).constData(), KodujCestu(druhe).constData()), 0);
    if (druh != diHardLink) {
        QCOMPARE(::chown(KodujCestu(cesta).constData(), 65534, 65534), 0);
        QCOMPARE(::chmod(KodujCestu(cesta).constData(), 0640), 0);
    }
    const struct stat pred = Stav(cesta);
    const auto jmena = Obsah(slozka);
    const auto ulozit = [&] {
        if (druh == diSlozkaJenKeCteni) {
            QCOMPARE(::chmod(KodujCestu(Test->Prostredi.Docasna.path()).constData(), 0755), 0);
            QCOMPARE(::chmod(KodujCestu(slozka).constData(), 0555), 0);
            TBezPrivilegii bezPrav;
            QVERIFY(bezPrav.bRoot);
            Okno->aUlozit->trigger();
        } else {
            Okno->aUlozit->trigger();
        }
        ::chmod(KodujCestu(slozka).constData(), 0755);
    };
    Napis(Okno->memSoubor, u"nová "_s);
    ulozit();
    QVERIFY2(Test->Prostredi.Dialogy.isEmpty(), qPrintable(Test->Prostredi.Dialogy.value(0).Text));
    QVERIFY(!Okno->memSoubor->Modified());
    QCOMPARE(Precti(cesta), u"nová stará verze"_s.toUtf8());
    const struct stat po = Stav(cesta);
    QCOMPARE(po.st_ino, pred.st_ino);
    QCOMPARE(po.st_uid, pred.st_uid);
    QCOMPARE(po.st_gid, pred.st_gid);
    QCOMPARE(po.st_mode, pred.st_mode);
    if (druh == diHardLink)
        QCOMPARE(Precti(druhe), u"nová stará verze"_s.toUtf8());
    QCOMPARE(Obsah(slozka), jmena);
    // The window knows the file as it wrote it in place: the next save has
    // no change by another program to ask about.
    Napis(Okno->memSoubor, u"a "_s);
    ulozit();
    QVERIFY2(Test->Prostredi.Dialogy.isEmpty(), qPrintable(Test->Prostredi.Dialogy.value(0).Text));
    QCOMPARE(Precti(cesta), u"nová a stará verze"_s.toUtf8());
}

enum TDruhAtributu { daUzivatelsky, daAcl, daVychoziAclSlozky, daSkupina };

void TestZapis::atributy_data()
{
    QTest::addColumn<int>("druh");
    QTest::newRow("user.*") << int(daUzivatelsky);
    QTest::newRow("ACL") << int(daAcl);
    QTest::newRow("výchozí ACL složky se nepřidá") << int(daVychoziAclSlozky);
    QTest::newRow("skupina") << int(daSkupina);
}

// A plain file of ours is replaced through a temporary file; that one takes
// the old file's mode, group and extended attributes.
void TestZapis::atributy()
{
    QFETCH(int, druh);
    const QString slozka = Test->Prostredi.Docasna.filePath(u"atributy"_s);
    QVERIFY(QDir().mkpath(slozka));
    const QString cesta = slozka + u"/dokument.txt"_s;
    const QByteArray bCesta = KodujCestu(cesta);
    Otevri(cesta, "a");
    QCOMPARE(::chmod(bCesta.constData(), 0640), 0);
    const char *jmeno = druh == daUzivatelsky ? "user.lumarin" : "system.posix_acl_access";
    if (druh == daUzivatelsky) {
        if (::setxattr(bCesta.constData(), jmeno, "hodnota", 7, 0) != 0)
            QSKIP("no user extended attributes here");
    } else if (druh == daAcl) {
        const QByteArray acl = AclXattr();
        if (::setxattr(bCesta.constData(), jmeno, acl.constData(), size_t(acl.size()), 0) != 0)
            QSKIP("no ACLs here");
    } else if (druh == daVychoziAclSlozky) {
        const QByteArray acl = AclXattr();
        if (::setxattr(KodujCestu(slozka).constData(), "system.posix_acl_default", acl.constData(), size_t(acl.size()),
                       0) != 0)
            QSKIP("no ACLs here");
    } else if (druh == daSkupina) {
        if (geteuid() != 0)
            QSKIP("needs root to give a file another group");
        QCOMPARE(::chown(bCesta.constData(), uid_t(-1), 65534), 0);
    }
    const QByteArray hodnota = Atribut(cesta, jmeno);
    const struct stat pred = Stav(cesta);
    Napis(Okno->memSoubor, u"b"_s);
    Okno->aUlozit->trigger();
    QVERIFY2(Test->Prostredi.Dialogy.isEmpty(), qPrintable(Test->Prostredi.Dialogy.value(0).Text));
    QCOMPARE(Precti(cesta), QByteArray("ba"));
    const struct stat po = Stav(cesta);
    QCOMPARE(po.st_mode, pred.st_mode);
    QCOMPARE(po.st_gid, pred.st_gid);
    QCOMPARE(po.st_uid, pred.st_uid);
    QCOMPARE(Atribut(cesta, jmeno), hodnota);
    QCOMPARE(Obsah(slozka), QList<QByteArray>{"dokument.txt"});
}

void TestZapis::odkazBezCile()
{
    // A link whose target does not exist yet: the target is created, the
    // link stays a link.
    const QString odkaz = Test->Prostredi.Cesta(u"odkaz.txt"_s);
    QCOMPARE(::symlink("cil.txt", KodujCestu(odkaz).constData()), 0);
    Napis(Okno->memSoubor, u"obsah"_s);
    Dialogy->Ulozit = {odkaz};
    Okno->aUlozitJako->trigger();
    QVERIFY2(Test->Prostredi.Dialogy.isEmpty(), qPrintable(Test->Prostredi.Dialogy.value(0).Text));
    QVERIFY(S_ISLNK(Stav(odkaz).st_mode));
    QCOMPARE(Precti(Test->Prostredi.Cesta(u"cil.txt"_s)), QByteArray("obsah"));
    QCOMPARE(Obsah(Test->Prostredi.Cesta(QString())), (QList<QByteArray>{"cil.txt", "odkaz.txt"}));
}

void TestZapis::nejvice_data()
{
    QTest::addColumn<int>("velikost");
    QTest::addColumn<qint64>("nejvice");
    QTest::addColumn<bool>("prilisVelky");
    QTest::newRow("bez omezení") << 100 << qint64(-1) << false;
    QTest::newRow("právě tolik") << 100 << qint64(100) << false;
    QTest::newRow("o bajt víc") << 100 << qint64(99) << true;
    QTest::newRow("prázdný") << 0 << qint64(0) << false;
    QTest::newRow("větší než buffer") << 200000 << qint64(199999) << true;
}

void TestZapis::nejvice()
{
    QFETCH(int, velikost);
    QFETCH(qint64, nejvice);
    QFETCH(bool, prilisVelky);
    const QString cesta = Test->Prostredi.Cesta(u"velky.txt"_s);
    QByteArray bajty(velikost, 'x');
    Zapis(cesta, bajty);
    try {
        QCOMPARE(NactiBajty(cesta, nejvice), bajty);
        QVERIFY(!prilisVelky);
    } catch (const EPrilisVelky &e) {
        QVERIFY(prilisVelky);
        QCOMPARE(e.Velikost(), qint64(velikost));
        QVERIFY2(e.Zprava().startsWith(u"Cannot open file \"%1\". "_s.arg(cesta)), qPrintable(e.Zprava()));
    }
}

void TestZapis::rostouciSoubor()
{
    // A file of /proc says it has no bytes and then gives some, as a file
    // that grows while it is read.
    const QString cesta = u"/proc/self/status"_s;
    QVERIFY(NactiBajty(cesta).startsWith("Name:"));
    try {
        NactiBajty(cesta, 10);
        QFAIL("read beyond the limit");
    } catch (const EPrilisVelky &e) {
        QVERIFY2(e.Velikost() > 10, qPrintable(QString::number(e.Velikost())));
    }
}

void TestZapis::kodovaniCest_data()
{
    QTest::addColumn<QByteArray>("bajty");
    QTest::addColumn<QString>("cesta");
    QTest::newRow("ASCII") << QByteArray("/a/b.txt") << u"/a/b.txt"_s;
    QTest::newRow("čeština") << u"/žluťoučký kůň"_s.toUtf8() << u"/žluťoučký kůň"_s;
    QTest::newRow("mimo BMP") << QByteArray("\xF0\x9F\x98\x80") << u"😀"_s;
    QTest::newRow("FF FE") << QByteArray("\xFF\xFE.txt") << Unik(u"%FF%FE.txt"_s);
    QTest::newRow("windows-1250") << QByteArray("\xE8"
                                                "aj")
                                  << Unik(u"%E8aj"_s);
    QTest::newRow("příliš dlouhý zápis") << QByteArray("\xC0\xAF") << Unik(u"%C0%AF"_s);
    QTest::newRow("zakódovaná náhradní polovina") << QByteArray("\xED\xB2\x80") << Unik(u"%ED%B2%80"_s);
    QTest::newRow("useknutý znak") << QByteArray("a\xE2\x82") << Unik(u"a%E2%82"_s);
    QTest::newRow("nad U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << Unik(u"%F4%90%80%80"_s);
    QTest::newRow("náhradní dvojice z bajtů") << QByteArray("\xF0\x90\x82\x80\xFF") << Unik(u"\U00010080%FF"_s);
}

void TestZapis::kodovaniCest()
{
    QFETCH(QByteArray, bajty);
    QFETCH(QString, cesta);
    QCOMPARE(DekodujCestu(bajty), cesta);
    QCOMPARE(KodujCestu(cesta), bajty);
}

void TestZapis::najdiSoubor()
{
    const QString slozka = Test->Prostredi.Docasna.filePath(u"jmena"_s);
    QVERIFY(QDir().mkpath(slozka));
    const QByteArray bSlozka = KodujCestu(slozka);
    Zapis(DekodujCestu(bSlozka + "/\xFF\xFE.txt"), "a");
    Zapis(slozka + u"/platné.txt"_s, "b");
    // What Qt's dialog hands over for the first one.
    const QString ztratove = QString::fromUtf8(bSlozka + "/\xFF\xFE.txt");
    QCOMPARE(NajdiSoubor(ztratove), DekodujCestu(bSlozka + "/\xFF\xFE.txt"));
    QCOMPARE(NajdiSoubor(slozka + u"/platné.txt"_s), slozka + u"/platné.txt"_s);
    QCOMPARE(NajdiSoubor(slozka + u"/nový.txt"_s), slozka + u"/nový.txt"_s);
    // The folder's name read the same way.
    const QByteArray bVnorena = bSlozka + "/\xE8\x61st";
    QCOMPARE(::mkdir(bVnorena.constData(), 0755), 0);
    Zapis(DekodujCestu(bVnorena + "/\xE8.txt"), "c");
    QCOMPARE(NajdiSoubor(QString::fromUtf8(bVnorena + "/\xE8.txt")), DekodujCestu(bVnorena + "/\xE8.txt"));
    // Two names that read the same: neither is chosen.
    Zapis(DekodujCestu(bSlozka + "/\xFE\xFF.txt"), "d");
    QCOMPARE(NajdiSoubor(ztratove), ztratove);
}

void TestZapis::jmenoMimoUtf8()
{
    const QByteArray bSlozka = KodujCestu(Test->Prostredi.Cesta(QString()));
    const QString cesta = DekodujCestu(bSlozka + "\xFF\xFE.txt");
    Otevri(cesta, "stara verze");
    QCOMPARE(Okno->memSoubor->Text(), u"stara verze"_s);
    QCOMPARE(Okno->NazevSouboru(), cesta);
    Napis(Okno->memSoubor, u"nova "_s);
    Okno->aUlozit->trigger();
    QVERIFY2(Test->Prostredi.Dialogy.isEmpty(), qPrintable(Test->Prostredi.Dialogy.value(0).Text));
    QVERIFY(Dialogy->NavrhyUlozeni.isEmpty()); // saved without asking for another name
    QCOMPARE(Precti(cesta), QByteArray("nova stara verze"));
    QCOMPARE(Obsah(Test->Prostredi.Cesta(QString())), QList<QByteArray>{"\xFF\xFE.txt"});
}

#endif

QTEST_MAIN(TestZapis)
#include "tst_zapis.moc"
