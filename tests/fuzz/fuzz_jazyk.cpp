// The language file: any bytes as trelo.xml, loaded as the window loads it,
// then every lookup the program makes: the texts of its sections in each
// language the file lists, author, version and flag, the listing of the
// languages into the chooser, and the relabelling of a form with a control of
// every kind the engine knows. A file may be refused with a message; it must
// never crash, read out of bounds or hang (an entity or nesting bomb must be
// refused, not expanded).

#include "Chyba.h"
#include "Fuzz.h"
#include "JazykyXML.h"
#include "Komponenty.h"
#include "XMLDokument.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace {

void Zkus(const std::function<void()> &Akce)
{
    try {
        Akce();
    } catch (const EChyba &) {
        // A lookup that the file cannot answer says so.
    }
}

// A form named "F" with a control of every kind RetezceFormulare relabels,
// each named after its kind ("lbl", "btn", ...), all with Tag -1.
struct TFormular {
    TFormular()
    {
        Forma.setObjectName(QStringLiteral("F"));
        NastavTag(&Forma, -1);
        const auto pridej = [&](QObject *Komponenta, const char *Jmeno) {
            Komponenta->setObjectName(QString::fromLatin1(Jmeno));
            NastavTag(Komponenta, -1);
            NastavHint(Komponenta, QStringLiteral("kratky|dlouhy"));
            Komponenty << Komponenta;
        };
        pridej(new QLabel(QStringLiteral("popisek"), &Forma), "lbl");
        pridej(new QPushButton(QStringLiteral("tlacitko"), &Forma), "btn");
        pridej(new QMenu(QStringLiteral("nabidka"), &Forma), "mnu");
        pridej(new QAction(QStringLiteral("akce"), &Forma), "act");
        pridej(new QGroupBox(QStringLiteral("skupina"), &Forma), "grp");
        auto *seznam = new QTreeWidget(&Forma);
        seznam->setColumnCount(4);
        pridej(seznam, "liv");
        pridej(new QToolButton(&Forma), "tbn");
        auto *prepinace = new QGroupBox(QStringLiteral("prepinace"), &Forma);
        prepinace->setProperty("RadioGroup", true);
        new QRadioButton(QStringLiteral("a"), prepinace);
        new QRadioButton(QStringLiteral("b"), prepinace);
        pridej(prepinace, "rgp");
        pridej(new QCheckBox(QStringLiteral("zaskrtnout"), &Forma), "chk");
        auto *panel = new QFrame(&Forma);
        panel->setProperty("Caption", QStringLiteral("panel"));
        pridej(panel, "pnl");
        auto *vyber = new QComboBox(&Forma);
        vyber->addItems({QStringLiteral("a"), QStringLiteral("b")});
        pridej(vyber, "cmb");
        auto *tabulka = new QTableWidget(2, 2, &Forma);
        tabulka->setItem(0, 0, new QTableWidgetItem(QStringLiteral("klic")));
        pridej(tabulka, "vle");
        pridej(new QRadioButton(QStringLiteral("prepinac"), &Forma), "rbn");
        auto *zaskrtavaci = new QListWidget(&Forma);
        zaskrtavaci->addItems({QStringLiteral("a"), QStringLiteral("b")});
        pridej(zaskrtavaci, "clb");
        auto *obrazkove = new QPushButton(QIcon(QStringLiteral(":/nic.png")), QStringLiteral("obrazek"), &Forma);
        pridej(obrazkove, "bbt");
    }
    QWidget Forma;
    QList<QObject *> Komponenty;
};

struct TProstredi {
    TProstredi()
    {
        // Memory rather than a disk: the file is read anew for every input.
        const QString zaklad =
            QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        Slozka = zaklad + QStringLiteral("/lumarin-fuzz-jazyk-%1").arg(::getpid());
        QDir(Slozka).removeRecursively();
        QDir().mkpath(Slozka);
        QDir::setCurrent(Slozka);
        // trelo.xml in the working folder stands for the file in memory.
        QFile::link(Soubor.Cesta(), QStringLiteral("trelo.xml"));
    }
    ~TProstredi() { QDir(Slozka).removeRecursively(); }
    QString Slozka;
    TPametovySoubor Soubor;
};

std::unique_ptr<QApplication> Aplikace;
std::unique_ptr<TProstredi> Prostredi;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Aplikace = std::make_unique<QApplication>(*argc, *argv);
    Prostredi = std::make_unique<TProstredi>();
    std::atexit([] {
        Prostredi.reset();
        Aplikace.reset();
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Velikost)
{
    Prostredi->Soubor.Nastav(Data, Velikost);
    TXMLDokument dokument;
    try {
        dokument.Aktivuj();
    } catch (const EChyba &chyba) {
        OCEKAVEJ(!chyba.Zprava().isEmpty(), "a file is refused without a reason");
        OCEKAVEJ(!dokument.Aktivni(), "a refused file is loaded");
        return 0;
    }
    TJazykXML jazyk;
    jazyk.NastavDokument(&dokument);

    // The languages the file lists, and the sections and objects it holds,
    // a few of each: the lookups reach what the file has.
    QStringList jazyky{QStringLiteral("CZ")};
    QList<std::pair<QString, QString>> dotazy;
    const QDomElement koren = dokument.DokumentovyPrvek();
    for (QDomElement j = Potomek(koren, QStringLiteral("JAZYKY")).firstChildElement(); !j.isNull() && jazyky.size() < 6;
         j = j.nextSiblingElement())
        jazyky << j.nodeName();
    for (QDomElement s = koren.firstChildElement(); !s.isNull() && dotazy.size() < 40; s = s.nextSiblingElement())
        for (QDomElement o = s.firstChildElement(); !o.isNull() && dotazy.size() < 40; o = o.nextSiblingElement())
            dotazy.append({s.nodeName(), o.nodeName()});
    dotazy.append({QStringLiteral("Obecne"), QStringLiteral("rsCHYBA")});

    // One form relabelled in each language in turn, as a change of language
    // relabels the forms that are open.
    QTreeWidget seznam;
    seznam.setColumnCount(4);
    TFormular formular;
    for (const QString &kod : jazyky) {
        jazyk.NastavJazyk(kod);
        for (const auto &dotaz : dotazy)
            Zkus([&] {
                OCEKAVEJ(!jazyk.Retezec(dotaz.first, dotaz.second, QStringLiteral("vychozi")).isEmpty(),
                         "a lookup gives an empty text");
            });
        Zkus([&] { jazyk.IndexJazyka(); });
        Zkus([&] { jazyk.AutorJazyka(); });
        Zkus([&] { jazyk.VerzeJazyka(); });
        Zkus([&] { jazyk.SeznamJazyku(&seznam); });
        Zkus([&] { jazyk.SeznamDelenychJazyku(&seznam); });
        Zkus([&] { jazyk.RetezceFormulare(&formular.Forma, formular.Komponenty); });
    }
    return 0;
}
