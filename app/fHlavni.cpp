#include "fHlavni.h"

#include "AkcniPolozka.h"
#include "Aplikace.h"
#include "Chyby.h"
#include "Dialogy.h"
#include "Hlaseni.h"
#include "JazykyXML.h"
#include "Klavesnice.h"
#include "Komponenty.h"
#include "Konverze.h"
#include "Memo.h"
#include "Obrazky.h"
#include "Pamet.h"
#include "PrekladQt.h"
#include "SeznamObrazku.h"
#include "Soubor.h"
#include "StavovyRadek.h"
#include "Umisteni.h"
#include "Verze.h"
#include "XMLDokument.h"
#include "convar.h"
#include "fASCII.h"
#include "fJazyk.h"
#include "fOAplikaci.h"
#include "fZnaky.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <limits>

namespace {

// The nine command icons, by index: new, open, save, cut, copy, paste, undo,
// remove diacritics, characters.
QIcon IkonaMenu(int Index)
{
    static const char *const soubory[] = {"novy",   "otevrit", "ulozit",     "vyjmout", "kopirovat",
                                          "vlozit", "zpet",    "diakritika", "znaky"};
    if (Index < 0 || Index >= int(std::size(soubory)))
        return {};
    return QIcon(CestaObrazku(QStringLiteral("icons/") + QLatin1String(soubory[Index])));
}

// The window's own font: Tahoma 8 pt, 11 pixels high.
QFont PismoOkna()
{
    QFont pismo(QStringLiteral("Tahoma"));
    pismo.setStyleHint(QFont::SansSerif);
    pismo.setPixelSize(11);
    return pismo;
}

// The bars' look: Tahoma 8 pt, black text, grey (109, 109, 109) for what is
// disabled and white as the highlight. On a dark system theme the theme's own
// colours stay, so the text stays readable.
void NastavVzhledLisny(QWidget *Lista)
{
    Lista->setFont(PismoOkna());
    QPalette paleta = Lista->palette();
    if (paleta.color(QPalette::Window).lightness() < 128)
        return;
    for (QPalette::ColorGroup skupina : {QPalette::Active, QPalette::Inactive}) {
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::HighlightedText})
            paleta.setColor(skupina, role, Qt::black);
        paleta.setColor(skupina, QPalette::Highlight, Qt::white);
    }
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        paleta.setColor(QPalette::Disabled, role, QColor(109, 109, 109));
    Lista->setPalette(paleta);
}

// Where an action stands in the bars besides its place in the table.
enum TMistoAkce : quint8 {
    maOddelovacNabidky = 1, // a separator line before its menu item
    maOddelovacListy = 2,   // a separator before its toolbar button
    maTitulekNaListe = 4,   // its toolbar button shows its caption beside the icon
};

constexpr QKeyCombination BezZkratky = QKeyCombination::fromCombined(0);

// One action: the window's member that holds it and its object name, its
// category, caption, hint, shortcut and icon (in the command icons, -1 for
// none), its handler, then its item in the menu bar's menu Nabidka (the
// menu's Tag) and its toolbar button (none without a caption), each with its
// access key.
struct TPopisAkce {
    QAction *THlavniForm::*Akce;
    const char *Jmeno;
    const char16_t *Kategorie;
    const char16_t *Titulek;
    const char16_t *Hint;
    QKeyCombination Zkratka;
    int Ikona;
    void (THlavniForm::*Obsluha)(QObject *);
    int Nabidka;
    const char16_t *Polozka;
    const char16_t *Tlacitko;
    quint8 Misto; // TMistoAkce
};

// The sixteen actions. The menus and the toolbar show them in this order.
constexpr TPopisAkce TabulkaAkci[] = {
    {&THlavniForm::aNovy, "aNovy", u"Soubor", u"Nový", u"Vytvoří nový soubor", Qt::CTRL | Qt::Key_N, 0,
     &THlavniForm::aNovyExecute, 1, u"&Nový", u"&Nový", 0},
    {&THlavniForm::aOtevrit, "aOtevrit", u"Soubor", u"Otevřít...", u"Otevře existující soubor", Qt::CTRL | Qt::Key_O, 1,
     &THlavniForm::aOtevritExecute, 1, u"&Otevřít...", u"&Otevřít...", 0},
    {&THlavniForm::aUlozit, "aUlozit", u"Soubor", u"Uložit", u"Uloží aktuální soubor", Qt::CTRL | Qt::Key_S, 2,
     &THlavniForm::aUlozitExecute, 1, u"&Uložit", u"&Uložit", 0},
    {&THlavniForm::aUlozitJako, "aUlozitJako", u"Soubor", u"Uložit jako...", u"Uloží aktuální soubor pod novým jménem",
     BezZkratky, -1, &THlavniForm::aUlozitJakoExecute, 1, u"U&ložit jako...", nullptr, 0},
    {&THlavniForm::aKonec, "aKonec", u"Soubor", u"Konec", u"Ukončí aplikaci", BezZkratky, -1,
     &THlavniForm::aKonecExecute, 1, u"&Konec", nullptr, maOddelovacNabidky},
    {&THlavniForm::aZpet, "aZpet", u"Úpravy", u"Zpět", u"Vrátí poslední akci zpět", Qt::CTRL | Qt::Key_Z, 6,
     &THlavniForm::aZpetExecute, 2, u"Z&pět", u"&Zpět", maOddelovacListy},
    {&THlavniForm::aVyjmout, "aVyjmout", u"Úpravy", u"Vyjmout", u"Vyjme označený text do schránky",
     Qt::CTRL | Qt::Key_X, 3, &THlavniForm::aVyjmoutExecute, 2, u"&Vyjmout", u"&Vyjmout",
     maOddelovacNabidky | maOddelovacListy},
    {&THlavniForm::aKopirovat, "aKopirovat", u"Úpravy", u"Kopírovat", u"Zkopíruje označený text do schránky",
     Qt::CTRL | Qt::Key_C, 4, &THlavniForm::aKopirovatExecute, 2, u"&Kopírovat", u"&Kopírovat", 0},
    {&THlavniForm::aVlozit, "aVlozit", u"Úpravy", u"Vložit", u"Vloží text obsažený ve schránce na pozici kurzoru",
     Qt::CTRL | Qt::Key_V, 5, &THlavniForm::aVlozitExecute, 2, u"V&ložit", u"V&ložit", 0},
    {&THlavniForm::aSmazatVse, "aSmazatVse", u"Úpravy", u"Smazat vše", u"Smaže celý text", Qt::CTRL | Qt::Key_Delete,
     -1, &THlavniForm::aSmazatVseExecute, 2, u"&Smazat vše", nullptr, maOddelovacNabidky},
    {&THlavniForm::aOznacitVse, "aOznacitVse", u"Úpravy", u"Označit vše", u"Označí celý text", Qt::CTRL | Qt::Key_A, -1,
     &THlavniForm::aOznacitVseExecute, 2, u"O&značit vše", nullptr, 0},
    {&THlavniForm::aOdstranitDiakritiku, "aOdstranitDiakritiku", u"Akce", u"Odstranit diakritiku",
     u"Odstraní diakritická znaménka z textu", QKeyCombination(Qt::Key_F6), 7,
     &THlavniForm::aOdstranitDiakritikuExecute, 3, u"&Odstranit diakritiku", u"O&dstranit diakritiku",
     maOddelovacListy | maTitulekNaListe},
    {&THlavniForm::aPismo, "aPismo", u"Nastavení", u"Písmo...", u"Nastavení písma textu", BezZkratky, -1,
     &THlavniForm::aPismoExecute, 4, u"&Písmo...", nullptr, 0},
    {&THlavniForm::aJazyk, "aJazyk", u"Nastavení", u"Jazyk...", u"Umožnění volby jazyku prostředí aplikace", BezZkratky,
     -1, &THlavniForm::aJazykExecute, 4, u"&Jazyk...", nullptr, 0},
    {&THlavniForm::aZnaky, "aZnaky", u"Nastavení", u"Znaky...", u"Definice znaků pro konverzi", BezZkratky, 8,
     &THlavniForm::aZnakyExecute, 4, u"&Znaky...", u"Zn&aky...", maOddelovacNabidky | maOddelovacListy},
    {&THlavniForm::aOAplikaci, "aOAplikaci", u"Nápověda", u"O aplikaci...", u"Zobrazení informací o aplikaci",
     BezZkratky, -1, &THlavniForm::aOAplikaciExecute, 5, u"&O aplikaci...", nullptr, 0},
};

// The menu bar's menus; each carries its place, 1 to 5, as its Tag.
constexpr const char16_t *TitulkyNabidek[] = {u"&Soubor", u"Ú&pravy", u"&Akce", u"&Nastavení", u"Náp&ověda"};

} // namespace

namespace {

qint64 NejvetsiDokumentTestu = 0;

} // namespace

// The largest file the editor takes, in bytes. The editor counts the
// characters of its document in an int and a byte can become two of them (a
// lone LF becomes CR LF), which leaves a quarter of the int's range for a safe
// margin; and at its peak the window needs about eight times the file's size
// in memory, which must fit into the machine's physical memory.
qint64 NejvetsiDokument()
{
    if (NejvetsiDokumentTestu > 0)
        return NejvetsiDokumentTestu;
    constexpr qint64 editor = std::numeric_limits<int>::max() / 4;
    const qint64 pamet = FyzickaPamet() / 10;
    return pamet > 0 ? std::min(editor, pamet) : editor;
}

void NastavNejvetsiDokument(qint64 Bajtu)
{
    NejvetsiDokumentTestu = Bajtu;
}

// The session's peak (open, F6, save, undo, a change of size) grows with the
// code units the editor's document holds and, a little more, with the line
// breaks, each of which the text holds as two (bench_dokument measures it on
// line feeds, short lines, Czech prose and a single line). The estimate lies
// above every shape measured, with a margin; the program's own few dozen
// megabytes are left out.
qint64 PametDokumentu(qint64 Znaku, qint64 Zlomu)
{
    return PametNaZnak * (Znaku - Zlomu) + PametNaZlom * Zlomu;
}

// Eight times the largest file: a file of many short lines is refused before
// it reaches the byte limit.
qint64 NejvetsiPametDokumentu()
{
    return 8 * NejvetsiDokument();
}

namespace {

// A settings error as the user is told it: the message text, and the store's
// reason in parentheses on a line of its own.
QString ZpravaNastaveni(const QString &Text, const QString &Duvod)
{
    return Text + QStringLiteral(".\r(") + Duvod + QStringLiteral(".)");
}

// What a drag brings to the window.
enum TObsahPretazeni : quint8 {
    opJiny,     // no file: text, which the editor takes as text
    opSoubor,   // a file to open
    opOdmitnuty // a folder, or a link to something not on this machine
};

// The path of the file a URL names on this machine, empty when it names none.
// The URL's percent-encoded bytes are the name as the system keeps it, so a
// name that is not UTF-8 still reaches the same file.
QString MistniCesta(const QUrl &Adresa)
{
    if (!Adresa.isLocalFile())
        return {};
    const QString hostitel = Adresa.host();
    if (!hostitel.isEmpty() && hostitel.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return {};
#ifdef Q_OS_UNIX
    return DekodujCestu(QByteArray::fromPercentEncoding(Adresa.path(QUrl::FullyEncoded).toLatin1()));
#else
    return Adresa.toLocalFile();
#endif
}

// Of several things dragged together only the first counts: one window holds
// one document.
TObsahPretazeni ObsahPretazeni(const QMimeData *Data, QString &Cesta)
{
    if (!Data || !Data->hasUrls())
        return opJiny;
    const QList<QUrl> adresy = Data->urls();
    if (adresy.isEmpty())
        return opJiny;
    Cesta = MistniCesta(adresy.front());
    // A link dragged from a browser comes with its text, which the editor
    // takes as any other text; a link alone has nothing for the window.
    if (Cesta.isEmpty())
        return Data->hasFormat(QStringLiteral("text/plain")) ? opJiny : opOdmitnuty;
    const auto zaznam = NajdiZaznam(Cesta);
    return zaznam && zaznam->bSlozka ? opOdmitnuty : opSoubor;
}

constexpr int SirkaCaps = 40;
constexpr int SirkaNum = 40;
constexpr int SirkaIns = 40;
constexpr int SirkaVlajky = 50;

THlavniForm::TSledovaniPrikazu SledovaniPrikazu;

// The characters that a conversion changed: the code units in which Novy
// differs from Puvodni (of the same length), a surrogate pair counted once.
qsizetype PocetZmen(const QString &Puvodni, const QString &Novy)
{
    if (Puvodni.constData() == Novy.constData() || Puvodni.size() != Novy.size())
        return 0;
    const char16_t *p = reinterpret_cast<const char16_t *>(Puvodni.utf16());
    const char16_t *n = reinterpret_cast<const char16_t *>(Novy.utf16());
    qsizetype pocet = 0;
    bool bPredchozi = false;
    for (qsizetype i = 0; i < Puvodni.size(); ++i) {
        const bool bZmena = p[i] != n[i];
        if (bZmena && !(bPredchozi && QChar::isLowSurrogate(p[i]) && QChar::isHighSurrogate(p[i - 1])))
            ++pocet;
        bPredchozi = bZmena;
    }
    return pocet;
}

// The progress window of a long command. Esc, Storno and the close box give
// up a command that may be given up; nothing else closes it.
class TOknoPrubehu : public QProgressDialog {
public:
    TOknoPrubehu(QWidget *Rodic, bool bZrusitelny) : QProgressDialog(Rodic), bZrusitelny(bZrusitelny)
    {
        setWindowModality(Qt::ApplicationModal);
        setAutoClose(false);
        setAutoReset(false);
        setRange(0, 100);
        if (bZrusitelny)
            setCancelButtonText(QCoreApplication::translate("QPlatformTheme", "Cancel"));
        else
            setCancelButton(nullptr);
    }
    bool Zruseno() const { return bZrusitelny && (bZruseno || wasCanceled()); }

protected:
    void keyPressEvent(QKeyEvent *Udalost) override
    {
        if (Udalost->matches(QKeySequence::Cancel)) {
            bZruseno = true;
            Udalost->accept();
            return;
        }
        QProgressDialog::keyPressEvent(Udalost);
    }
    void closeEvent(QCloseEvent *Udalost) override
    {
        bZruseno = true;
        Udalost->ignore();
    }

private:
    const bool bZrusitelny;
    bool bZruseno = false;
};

} // namespace

// A command that may take long on a big text: the busy cursor for as long as
// it runs, also when an error passes through. At each of its steps the
// window paints what has changed; from the moment the command has run for a
// while, a small modal window shows how far it is (and takes Esc where the
// command may be given up), so that the user's input goes nowhere else
// meanwhile. Until then the user's input waits.
class THlavniForm::TDlouhyPrikaz {
public:
    TDlouhyPrikaz(THlavniForm &Okno, const QAction *Akce, bool bZrusitelny = false)
        : FOkno(Okno),
          FAkce(Akce),
          bZrusitelny(bZrusitelny),
          FPredchozi(Okno.FDlouhy),
          FPrubehEditoru(Okno.memSoubor->Prubeh)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        FOkno.FDlouhy = this;
        FOkno.memSoubor->Prubeh = {[this](qint64 Hotovo, qint64 Celkem) { return Krok(Hotovo, Celkem); }, bZrusitelny};
        FCas.start();
        if (SledovaniPrikazu)
            SledovaniPrikazu(nullptr, 0);
    }
    ~TDlouhyPrikaz()
    {
        delete FOknoPrubehu;
        FOkno.memSoubor->Prubeh = FPrubehEditoru;
        FOkno.FDlouhy = FPredchozi;
        QApplication::restoreOverrideCursor();
    }
    TDlouhyPrikaz(const TDlouhyPrikaz &) = delete;
    TDlouhyPrikaz &operator=(const TDlouhyPrikaz &) = delete;

    // The steps that follow make up the part Od to Do (percent) of the command.
    void Cast(int Od, int Do)
    {
        FOd = Od;
        FDo = Do;
    }
    // A step: Hotovo of Celkem of the current part is done. False: the user
    // has given the command up.
    // Hotovo and Celkem -1: a step of a pass that gives no figure, the
    // progress stays where it was.
    bool Krok(qint64 Hotovo = 1, qint64 Celkem = 1)
    {
        if (Celkem >= 0)
            FProcenta = FOd + int((FDo - FOd) * (Celkem > 0 ? double(Hotovo) / double(Celkem) : 1.0));
        const int procenta = FProcenta;
        if (!FOknoPrubehu && (SledovaniPrikazu || FCas.elapsed() >= 300)) {
            FOknoPrubehu = new TOknoPrubehu(&FOkno, bZrusitelny);
            QString titulek = FAkce ? FAkce->text() : QString();
            titulek.remove(u'&');
            if (titulek.endsWith(QLatin1String("...")))
                titulek.chop(3);
            FOknoPrubehu->setWindowTitle(titulek);
            FOknoPrubehu->setLabelText(FPopis);
            FOknoPrubehu->setValue(procenta);
            FOknoPrubehu->show();
        }
        if (FOknoPrubehu)
            FOknoPrubehu->setValue(procenta);
        if (SledovaniPrikazu)
            SledovaniPrikazu(FOknoPrubehu, procenta);
        QApplication::processEvents(FOknoPrubehu ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        return !(FOknoPrubehu && FOknoPrubehu->Zruseno());
    }
    // Gives the command up when the user asked for it.
    void Zkontroluj()
    {
        if (!Krok(1, 1))
            throw EZruseno();
    }
    void NastavPopis(const QString &Popis) { FPopis = Popis; }
    void Zrus()
    {
        if (FOknoPrubehu && bZrusitelny)
            FOknoPrubehu->cancel();
    }
    bool Zrusitelny() const { return bZrusitelny; }

private:
    THlavniForm &FOkno;
    const QAction *FAkce;
    const bool bZrusitelny;
    TDlouhyPrikaz *FPredchozi;
    TMemo::TPrubeh FPrubehEditoru;
    QElapsedTimer FCas;
    TOknoPrubehu *FOknoPrubehu = nullptr;
    QString FPopis;
    int FOd = 0, FDo = 100;
    int FProcenta = 0;
};

void THlavniForm::SledujDlouhePrikazy(TSledovaniPrikazu Sledovani)
{
    SledovaniPrikazu = std::move(Sledovani);
}

// Each component is kept with the address of the member that holds it: the
// members are declared in one public section, where a later one lies at a
// higher address, so the order of those addresses is the order in which the
// class declares them (SeradKomponenty).
template <typename T> void THlavniForm::Pridej(T *&Clen, T *Komponenta, const char *Jmeno)
{
    Clen = Komponenta;
    Komponenta->setObjectName(QLatin1String(Jmeno));
    FClenove.emplace(static_cast<const void *>(&Clen), Komponenta);
}

void THlavniForm::SeradKomponenty()
{
    Komponenty.clear();
    for (const auto &[clen, komponenta] : FClenove)
        Komponenty.append(komponenta);
    FClenove.clear();
}

THlavniForm::THlavniForm(QWidget *Rodic) : QMainWindow(Rodic)
{
    setObjectName(QStringLiteral("HlavniForm"));
    NastavTag(this, -1);
    setWindowTitle(QStringLiteral("Lumarin"));
    setWindowIcon(QIcon(CestaObrazku(QStringLiteral("icons/lumarin"))));
    setFont(PismoOkna());

    Pridej(amgHlavniMenu, new QObject(this), "amgHlavniMenu");
    Pridej(ActionMainMenuBar1, new QMenuBar(this), "ActionMainMenuBar1");
    VytvorAkce();
    Pridej(imlMenu, new QObject(this), "imlMenu");
    Pridej(xdcJazyk, new TXMLDokument(this), "xdcJazyk");
    Pridej(ActionToolBar1, new QToolBar(QStringLiteral("Standard"), this), "ActionToolBar1");
    Pridej(JvStatusBar1, new TStavovyRadek(this), "JvStatusBar1");
    Pridej(imgJazyk, new QLabel(JvStatusBar1), "imgJazyk");
    Pridej(Panel1, new QFrame(this), "Panel1");
    Pridej(lblNazevSouboru, new QLabel(Panel1), "lblNazevSouboru");
    Pridej(memSoubor, new TMemo(this), "memSoubor");
    // Ctrl+Z in the editor is the window's undo command.
    memSoubor->PrikazZpet = [this] { Proved([this] { aZpetExecute(aZpet); }); };
    SeradKomponenty();
    FPrekladQt = new TPrekladQt(this);

    VytvorMenu();
    VytvorNastrojovouListu();
    // Both bars and the menus that drop from the menu bar (VytvorMenu) look alike.
    ActionMainMenuBar1->setNativeMenuBar(false);
    NastavVzhledLisny(ActionMainMenuBar1);
    NastavVzhledLisny(ActionToolBar1);
    // No context menus beyond the editor's: the bars offer nothing to hide.
    ActionMainMenuBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ActionToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    VytvorStavovyRadek();

    // The file-name strip.
    Panel1->setFixedHeight(24);
    NastavTag(lblNazevSouboru, -1);
    lblNazevSouboru->setGeometry(8, 6, 617, 13);
    QFont tucne = lblNazevSouboru->font();
    tucne.setBold(true);
    lblNazevSouboru->setFont(tucne);
    NastavStavDokumentu(udStart);

    // A file dragged from the file manager is opened, onto the editor too.
    setAcceptDrops(true);
    memSoubor->viewport()->installEventFilter(this);
    // The editor has no tooltip of its own.
    memSoubor->setProperty("ShowHint", false);
    NastavPismoEditoru(VychoziPismoEditoru());
    memSoubor->setFocus(); // the one control that takes the focus
    connect(memSoubor, &TMemo::Zmena, this, [this] { Proved([this] { memSouborChange(memSoubor); }); });
    // The editor's context menu is the "Úpravy" menu itself: the same commands
    // as the menu bar, through the same undo.
    memSoubor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memSoubor, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &Kde) { KontextovaNabidka()->exec(memSoubor->mapToGlobal(Kde)); });

    auto *stred = new QWidget(this);
    auto *rozvrzeni = new QVBoxLayout(stred);
    rozvrzeni->setContentsMargins(0, 0, 0, 0);
    rozvrzeni->setSpacing(0);
    // The toolbar stands in the window's own layout, not in a dock area of the
    // main window, from which a context menu could hide it.
    rozvrzeni->addWidget(ActionToolBar1);
    // After the toolbar has taken its style: QToolBar's own layout resets the
    // smallest height it is given earlier.
    ActionToolBar1->setFixedHeight(28);
    rozvrzeni->addWidget(Panel1);
    rozvrzeni->addWidget(memSoubor, 1);
    setCentralWidget(stred);
    setMenuBar(ActionMainMenuBar1);
    setStatusBar(JvStatusBar1);

    // Designed client size and place; the smallest outer size is 640 x 480.
    resize(632, 446);
    move(0, 0);
    NastavMinimalniVelikost();

    Proved([this] { FormCreate(this); });
}

THlavniForm::~THlavniForm()
{
    if (auto *dispecer = QAbstractEventDispatcher::instance())
        disconnect(dispecer, nullptr, this, nullptr);
}

void THlavniForm::VytvorAkce()
{
    for (const TPopisAkce &p : TabulkaAkci) {
        auto *akce = new QAction(QString::fromUtf16(p.Titulek), this);
        Pridej(this->*p.Akce, akce, p.Jmeno);
        akce->setProperty("Category", QString::fromUtf16(p.Kategorie));
        NastavTag(akce, -1);
        NastavHint(akce, QString::fromUtf16(p.Hint));
        akce->setShortcut(QKeySequence(p.Zkratka));
        akce->setShortcutContext(Qt::WindowShortcut);
        akce->setIcon(IkonaMenu(p.Ikona));
        akce->setProperty("ImageIndex", p.Ikona);
        addAction(akce);
        const auto obsluha = p.Obsluha;
        connect(akce, &QAction::triggered, this, [this, obsluha, akce] { Proved([&] { (this->*obsluha)(akce); }); });
    }
}

QMenu *THlavniForm::KontextovaNabidka() const
{
    for (QMenu *menu : FNabidky)
        if (Tag(menu) == 2)
            return menu;
    return nullptr;
}

QMenu *THlavniForm::createPopupMenu()
{
    // The bars offer nothing to hide.
    return nullptr;
}

QList<QAction *> THlavniForm::Akce() const
{
    QList<QAction *> akce;
    for (const TPopisAkce &p : TabulkaAkci)
        akce.append(this->*p.Akce);
    return akce;
}

void THlavniForm::VytvorMenu()
{
    ActionMainMenuBar1->setFixedHeight(25);
    for (const char16_t *titulek : TitulkyNabidek) {
        QMenu *menu = ActionMainMenuBar1->addMenu(QString::fromUtf16(titulek));
        FNabidky.append(menu);
        NastavTag(menu, int(FNabidky.size()));
        NastavTag(menu->menuAction(), int(FNabidky.size()));
        NastavVzhledLisny(menu);
    }
    for (const TPopisAkce &p : TabulkaAkci) {
        QMenu *menu = FNabidky[p.Nabidka - 1];
        if (p.Misto & maOddelovacNabidky)
            menu->addSeparator();
        menu->addAction(new TAkcniPolozka(this->*p.Akce, QString::fromUtf16(p.Polozka), true, menu));
    }
}

namespace {

// A toolbar button with its caption beside the icon: Qt sizes it for two
// spaces and the style's padding more after the caption, an empty gap on the
// bar. The button keeps the width of its icon and caption, with the margin
// before the icon (the frame and the icon's own 2 pixels) after the caption
// too, also when a language or the font changes the caption.
class TTesneTlacitko : public QObject {
public:
    using QObject::QObject;

    static void Zuz(QToolButton *Tlacitko)
    {
        const int okraj = Tlacitko->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, Tlacitko) + 2;
        const int obsah = Tlacitko->iconSize().width() + 4 +
            Tlacitko->fontMetrics().size(Qt::TextShowMnemonic, Tlacitko->text()).width();
        Tlacitko->setFixedWidth(std::min(Tlacitko->sizeHint().width(), okraj + obsah + okraj));
    }

protected:
    bool eventFilter(QObject *Objekt, QEvent *Udalost) override
    {
        switch (Udalost->type()) {
        case QEvent::ActionChanged:
        case QEvent::FontChange:
        case QEvent::StyleChange:
            // After the button has taken the change itself.
            if (auto *tlacitko = qobject_cast<QToolButton *>(Objekt))
                QMetaObject::invokeMethod(
                    tlacitko, [tlacitko] { Zuz(tlacitko); }, Qt::QueuedConnection);
            break;
        default: break;
        }
        return false;
    }
};

} // namespace

void THlavniForm::VytvorNastrojovouListu()
{
    QToolBar *lista = ActionToolBar1;
    lista->setMovable(false);
    lista->setFloatable(false);
    lista->setIconSize(QSize(16, 16));
    lista->setToolButtonStyle(Qt::ToolButtonIconOnly);
    lista->setStyleSheet(QStringLiteral("QToolBar { border-top: 1px solid palette(mid); "
                                        "border-bottom: 1px solid palette(mid); }"));
    for (const TPopisAkce &p : TabulkaAkci) {
        if (!p.Tlacitko)
            continue;
        if (p.Misto & maOddelovacListy)
            lista->addSeparator();
        auto *polozka = new TAkcniPolozka(this->*p.Akce, QString::fromUtf16(p.Tlacitko), false, lista);
        lista->addAction(polozka);
        if (p.Misto & maTitulekNaListe)
            if (auto *tlacitko = qobject_cast<QToolButton *>(lista->widgetForAction(polozka))) {
                tlacitko->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
                tlacitko->installEventFilter(new TTesneTlacitko(tlacitko));
                TTesneTlacitko::Zuz(tlacitko);
            }
    }
}

void THlavniForm::VytvorStavovyRadek()
{
    JvStatusBar1->setFixedHeight(18);
    JvStatusBar1->PridejPanel(400, Qt::AlignLeft);
    JvStatusBar1->PridejPanel(SirkaCaps, Qt::AlignHCenter);
    JvStatusBar1->PridejPanel(SirkaNum, Qt::AlignHCenter);
    JvStatusBar1->PridejPanel(SirkaIns, Qt::AlignHCenter);
    JvStatusBar1->PridejPanel(SirkaVlajky, Qt::AlignRight);
    // The flag sits at the right of the last panel; a click runs the language command.
    imgJazyk->setParent(JvStatusBar1->Panel(4));
    imgJazyk->setFixedSize(16, 14);
    imgJazyk->setAttribute(Qt::WA_TranslucentBackground);
    imgJazyk->setCursor(Qt::PointingHandCursor);
    imgJazyk->installEventFilter(this);
    auto *rozvrzeni = new QHBoxLayout(JvStatusBar1->Panel(4));
    rozvrzeni->setContentsMargins(2, 1, 4, 1);
    rozvrzeni->addStretch(1);
    rozvrzeni->addWidget(imgJazyk);
}

bool THlavniForm::eventFilter(QObject *Objekt, QEvent *Udalost)
{
    if (memSoubor && Objekt == memSoubor->viewport() &&
        (Udalost->type() == QEvent::DragEnter || Udalost->type() == QEvent::DragMove ||
         Udalost->type() == QEvent::Drop))
        return PretazeniNaEditor(Udalost);
    if (Objekt == imgJazyk && Udalost->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(Udalost)->button() == Qt::LeftButton) {
        aJazyk->trigger();
        return true;
    }
    return QMainWindow::eventFilter(Objekt, Udalost);
}

bool THlavniForm::event(QEvent *Udalost)
{
    switch (Udalost->type()) {
    case QEvent::StatusTip:
        // The status bar's first panel shows the long hint; the bar itself never
        // shows a message of its own over the panels.
        FHint = static_cast<QStatusTipEvent *>(Udalost)->tip();
        Proved([this] { AplikaceHint(); });
        return true;
    case QEvent::WindowActivate:
        Proved([this] { FormActivate(this); });
        // The user may come back from another program that changed the
        // document's file. Told once the activation is over, outside the
        // window system's event.
        QMetaObject::invokeMethod(
            this, [this] { Proved([this] { OhlasZmenuNaDisku(); }); }, Qt::QueuedConnection);
        break;
    case QEvent::WindowStateChange:
        // Back in the normal state, the smallest size follows the normal frame
        // again (a window that started maximised has had no other).
        if (!JeObnovitelne())
            NastavMinimalniVelikost();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
        // The frame is known only once the window is on the screen, and a
        // window manager may change it later.
        NastavMinimalniVelikost();
        if (FZadana && RamecekZnam()) {
            // The outer bounds asked for before the frame was known.
            const QRect zadana = *FZadana;
            FZadana.reset();
            NastavVnejsiGeometrii(zadana);
        } else if (!FZadana && isVisible() && !JeObnovitelne()) {
            FObnovena = VnejsiGeometrie();
        }
        break;
    default: break;
    }
    return QMainWindow::event(Udalost);
}

// ---- files dragged onto the window ----

void THlavniForm::dragEnterEvent(QDragEnterEvent *Udalost)
{
    dragMoveEvent(Udalost);
}

void THlavniForm::dragMoveEvent(QDragMoveEvent *Udalost)
{
    QString cesta;
    if (FDlouhy || ObsahPretazeni(Udalost->mimeData(), cesta) != opSoubor) {
        Udalost->ignore();
        return;
    }
    // Always a copy: a source told that its file was moved would delete it.
    Udalost->setDropAction(Qt::CopyAction);
    Udalost->accept();
}

void THlavniForm::dropEvent(QDropEvent *Udalost)
{
    QString cesta;
    if (FDlouhy || ObsahPretazeni(Udalost->mimeData(), cesta) != opSoubor) {
        Udalost->ignore();
        return;
    }
    Udalost->setDropAction(Qt::CopyAction);
    Udalost->accept();
    // The question about unsaved changes and the reading wait until the drop
    // has been answered: a source kept waiting for the answer while a dialog
    // runs may give the drag up.
    QMetaObject::invokeMethod(
        this, [this, cesta] { Proved([&] { OtevriPretazeny(cesta); }); }, Qt::QueuedConnection);
}

// A file dragged onto the editor is opened as one dragged onto the window; a
// folder or a link alone is refused there too; text stays the editor's own.
bool THlavniForm::PretazeniNaEditor(QEvent *Udalost)
{
    auto *pretazeni = static_cast<QDropEvent *>(Udalost);
    QString cesta;
    if (ObsahPretazeni(pretazeni->mimeData(), cesta) == opJiny)
        return false;
    if (Udalost->type() == QEvent::Drop)
        dropEvent(pretazeni);
    else
        dragMoveEvent(static_cast<QDragMoveEvent *>(pretazeni));
    return true;
}

void THlavniForm::OtevriPretazeny(const QString &Cesta)
{
    if (FDlouhy)
        return;
    if (!UlozitZmeny())
        return;
    OtevriSoubor(Cesta);
}

void THlavniForm::showEvent(QShowEvent *Udalost)
{
    QMainWindow::showEvent(Udalost);
    if (Udalost->spontaneous() || bZobrazeno)
        return;
    bZobrazeno = true;
    Proved([this] { FormShow(this); });
}

void THlavniForm::resizeEvent(QResizeEvent *Udalost)
{
    QMainWindow::resizeEvent(Udalost);
    Proved([this] { FormResize(this); });
}

void THlavniForm::closeEvent(QCloseEvent *Udalost)
{
    // Not in the middle of a long command: one that may be given up is.
    if (FDlouhy) {
        FDlouhy->Zrus();
        Udalost->ignore();
        return;
    }
    // A query that ends in an error (a save that failed) keeps the window open.
    bool canClose = false;
    Proved([&] {
        bool dotaz = true;
        FormCloseQuery(this, dotaz);
        canClose = dotaz;
    });
    if (!canClose) {
        Udalost->ignore();
        return;
    }
    int akce = 0;
    Proved([&] { FormClose(this, akce); });
    Udalost->accept();
}

bool THlavniForm::RamecekZnam() const
{
    return windowHandle() && !windowHandle()->frameMargins().isNull();
}

QMargins THlavniForm::Ramecek() const
{
    // The designed frame: 640 x 480 outside, 632 x 446 inside.
    return RamecekZnam() ? windowHandle()->frameMargins() : QMargins(4, 30, 4, 4);
}

bool THlavniForm::JeObnovitelne() const
{
    return windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen);
}

QRect THlavniForm::VnejsiGeometrie() const
{
    if (JeObnovitelne())
        return FObnovena;
    if (FZadana)
        return *FZadana;
    // A window's position is that of its frame.
    const QMargins ramecek = Ramecek();
    return QRect(pos(),
                 size().grownBy(QMargins(0, 0, ramecek.left() + ramecek.right(), ramecek.top() + ramecek.bottom())));
}

void THlavniForm::NastavVnejsiGeometrii(const QRect &Vnejsi)
{
    FObnovena = Vnejsi;
    if (!RamecekZnam())
        FZadana = Vnejsi;
    const QMargins ramecek = Ramecek();
    move(Vnejsi.topLeft());
    resize(Vnejsi.width() - ramecek.left() - ramecek.right(), Vnejsi.height() - ramecek.top() - ramecek.bottom());
}

void THlavniForm::NastavUlozeneUmisteni(const TUmisteniOkna &Ulozene)
{
    FUlozeneUmisteni.emplace(Ulozene, VnejsiGeometrie());
}

TUmisteniOkna THlavniForm::UmisteniKUlozeni() const
{
    // The program's own placement moves nothing: only bounds other than
    // those it gave the window count as the user's.
    const QRect vnejsi = VnejsiGeometrie();
    if (FUlozeneUmisteni && FUlozeneUmisteni->second == vnejsi)
        return FUlozeneUmisteni->first;
    return {vnejsi.left(), vnejsi.top(), vnejsi.width(), vnejsi.height()};
}

void THlavniForm::NastavPismoEditoru(const TPismoEditoru &Pismo)
{
    FPismo = Pismo;
    QFont pismo = Pismo.Pismo;
    if (Pismo.Proporce != prZakladni)
        pismo.setFixedPitch(Pismo.Proporce == prFixni);
    if (Pismo.Proporce == prFixni)
        pismo.setStyleHint(QFont::Monospace);
    memSoubor->setFont(pismo);
    QPalette paleta = memSoubor->palette();
    paleta.setColor(QPalette::Text, BarvaZHodnoty(Pismo.Barva));
    memSoubor->setPalette(paleta);
}

void THlavniForm::NastavMinimalniVelikost()
{
    // The smallest outer size is 640 x 480, whatever share of it the frame
    // takes. Until the frame is known (a window manager adds it only after the
    // window is mapped) it is taken to be the designed one, which leaves the
    // designed client size of 632 x 446.
    // A maximised window's frame may lack the borders of the normal one: it
    // says nothing of the size the window comes back to.
    if (JeObnovitelne())
        return;
    const QMargins ramecek = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize minimum = ramecek.isNull()
        ? QSize(632, 446)
        : QSize(640 - ramecek.left() - ramecek.right(), 480 - ramecek.top() - ramecek.bottom());
    if (minimum != minimumSize())
        setMinimumSize(minimum);
}

// ---- the window's own events ----

void THlavniForm::FormCreate(QObject *)
{
    // The settings of the last run; the first failure ends the reading, and
    // what it did not reach keeps its state (the pair table stays empty).
    try {
        NactiNastaveni(*this);
    } catch (const EChyba &e) {
        Hlaseni->Dialog(tdChyba, ZpravaNastaveni(rsNELZEZEREGISTRU, e.Zprava()), rsCHYBA, 0);
    }
}

void THlavniForm::FormShow(QObject *)
{
    // The status bar follows the keyboard from the first show, also where the
    // window manager never activates the window.
    FormActivate(this);
    NastavJazyk();
    ZobrazVlajku();
}

void THlavniForm::FormActivate(QObject *)
{
    if (auto *dispecer = QAbstractEventDispatcher::instance())
        connect(dispecer, &QAbstractEventDispatcher::aboutToBlock, this, &THlavniForm::AplikaceIdle,
                Qt::UniqueConnection);
}

void THlavniForm::FormResize(QObject *)
{
    const int zbytek =
        width() - JvStatusBar1->Sirka(4) - JvStatusBar1->Sirka(3) - JvStatusBar1->Sirka(2) - JvStatusBar1->Sirka(1);
    JvStatusBar1->NastavSirku(0, zbytek);
}

void THlavniForm::FormCloseQuery(QObject *, bool &CanClose)
{
    if (!UlozitZmeny())
        CanClose = false;
}

void THlavniForm::FormClose(QObject *, int &)
{
    // A failed write is told, and the program ends all the same.
    try {
        UlozNastaveni(*this);
    } catch (const EChyba &e) {
        Hlaseni->Dialog(tdChyba, ZpravaNastaveni(rsNELZEDOREGISTRU, e.Zprava()), rsCHYBA, 0);
    }
}

void THlavniForm::memSouborChange(QObject *)
{
    NastavStavDokumentu(udZmena);
}

void THlavniForm::AplikaceHint()
{
    JvStatusBar1->Panel(0)->setText(FHint);
}

void THlavniForm::AplikaceIdle()
{
    const TStavKlaves &klavesy = StavKlaves();
    JvStatusBar1->Panel(0)->setText(FHint);
    JvStatusBar1->Panel(1)->setText(klavesy.CapsLock() ? QStringLiteral("CAPS") : QString());
    JvStatusBar1->Panel(2)->setText(klavesy.NumLock() ? QStringLiteral("NUM") : QString());
    JvStatusBar1->Panel(3)->setText(klavesy.Insert() ? QStringLiteral("INS") : QString());
}

bool THlavniForm::UlozitZmeny()
{
    if (!memSoubor->Modified())
        return true;
    const QString otazka = rsULOZITSOUBOR + u'\r' + lblNazevSouboru->text() + u'?';
    switch (Hlaseni->Dialog(otazka, rsPOTVRZENI, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        // A failed write passes its error on and so ends the asking command too.
        aUlozitExecute(aUlozit);
        return !memSoubor->Modified();
    case IDNO: return true;
    default: return false;
    }
}

// The editor's text in Kodovani, with its mark and each line break in the
// document's form (a lone CR or LF that a conversion put into the text is a
// character and stays as it is), encoded piece by piece straight from the
// document, so that a big text is never held whole beside its bytes; false
// when the encoding cannot hold a character (ZakodujText).
bool THlavniForm::ZakodujEditor(TKodovani Kodovani, QByteArray &Bajty, bool bZastupci) const
{
    const TFormat format = FormatKodovani(Kodovani);
    Bajty = Znacka(format).toByteArray();
    // Room for the bytes of a usual text (a little more than a byte a code
    // unit, two in UTF-16), made ready for a big one at once; a text that
    // needs more grows the room as it comes.
    const qint64 jednotky = memSoubor->document()->characterCount();
    Bajty.reserve(Bajty.size() + jednotky * (JeUtf16(format.Druh) ? 2 : 1) + jednotky / 4 + 16);
    VelkyBlok(Bajty.data(), Bajty.capacity());
    TKoder koder(format, bZastupci);
    // The encoder must know the text's last piece: each waits for the next.
    QString predchozi;
    bool bLze = memSoubor->Model().ProjdiCelyText(ZnakyZlomu(FZlom), [&](QStringView Kus) {
        if (!koder.Zakoduj(predchozi, false, Bajty))
            return false;
        predchozi = Kus.toString();
        return true;
    });
    return bLze && koder.Zakoduj(predchozi, true, Bajty);
}

// Writes the editor's text to Cesta in the document's encoding, each line
// break in the document's form; Identita
// receives the written file's. Text that the 8-bit code page cannot hold is
// never written with stand-in characters: the user chooses UTF-8 instead, or
// nothing is written (false).
bool THlavniForm::UlozDo(const QString &Cesta, TIdentitaSouboru &Identita)
{
    std::optional<TDlouhyPrikaz> prikaz(std::in_place, *this, aUlozit);
    prikaz->NastavPopis(QDir::toNativeSeparators(Cesta));
    prikaz->Cast(0, 60);
    QByteArray bajty;
    TKodovani kodovani = FKodovani;
    // U+DC00..U+DCFF stand for bytes only in a text read in an encoding that
    // keeps them so; written as UTF-8 instead of the 8-bit code page, they are
    // lone halves of surrogate pairs like any other.
    const bool bZastupci = ZastupujeBajty(FKodovani);
    if (!ZakodujEditor(kodovani, bajty, bZastupci)) {
        if (kodovani == koOsmibitove) {
            // The question comes without the busy cursor.
            prikaz.reset();
            if (Hlaseni->Dialog(rsULOZITUTF8, rsPOTVRZENI, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
                return false;
            prikaz.emplace(*this, aUlozit);
            prikaz->Cast(0, 60);
            kodovani = koUtf8;
        }
        if (!ZakodujEditor(kodovani, bajty, bZastupci))
            throw ChybaVytvoreni(Cesta, DuvodNeplatnehoUtf8());
    }
    prikaz->Krok();
    prikaz->Cast(60, 100);
    try {
        Identita = ZapisSoubor(Cesta, bajty);
    } catch (const EChyba &) {
        // A write into the file itself that failed has put the old bytes
        // back, which gives the file a new time of change: what is there is
        // still the file that the window knows, not another program's change.
        if (JeSouborDokumentu(Cesta))
            if (const TStavNaDisku stav = IdentitaSouboru(FNazevSouboru))
                NastavStavDokumentu(udObnoveno, QString(), *stav);
        throw;
    }
    FKodovani = kodovani;
    return true;
}

// ---- the document's file changed by another program ----

// Whether the document's file is no longer the file that the window read or
// last wrote: another program wrote to it, replaced it or removed it. Stav
// receives what is there now.
bool THlavniForm::ZmenenNaDisku(TStavNaDisku &Stav) const
{
    if (FNazevSouboru.isEmpty() || !FIdentita)
        return false;
    Stav = IdentitaSouboru(FNazevSouboru);
    // A file that is there but cannot be looked at (a folder above it that
    // may not be searched) is left to the save, which says why it cannot
    // write it.
    if (!Stav)
        return !ExistujeSoubor(FNazevSouboru);
    return *Stav != *FIdentita;
}

// Whether Cesta names the document's file, under its own name or another one
// (a link, another spelling of the path).
bool THlavniForm::JeSouborDokumentu(const QString &Cesta) const
{
    if (FNazevSouboru.isEmpty())
        return false;
    if (Cesta == FNazevSouboru)
        return true;
    const TStavNaDisku zvoleny = IdentitaSouboru(Cesta), dokument = IdentitaSouboru(FNazevSouboru);
    return zvoleny && dokument && zvoleny->Zarizeni == dokument->Zarizeni && zvoleny->Uzel == dokument->Uzel;
}

// Before the text is written over the document's file: when another program
// has changed the file since the window read or last wrote it, the user
// decides whether it is overwritten; No is the default. False: nothing may be
// written.
bool THlavniForm::PrepsatZmeneny()
{
    TStavNaDisku stav;
    if (!ZmenenNaDisku(stav) || !stav)
        return true;
    // Asked about, this change is not told again when the window comes back.
    FOhlaseno = stav;
    const QString otazka = rsPREPSATZMENENY.arg(QDir::toNativeSeparators(FNazevSouboru));
    return Hlaseni->Dialog(otazka, rsPOTVRZENI, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// When the window becomes active again: a change that another program made
// to the document's file meanwhile, or its removal, is told once. Nothing is
// read again; the save asks before it writes over the changed file.
void THlavniForm::OhlasZmenuNaDisku()
{
    // The message box itself deactivates and activates the window, and a
    // dialog of the program may be up: its answer comes first.
    if (bHlasiZmenu || FDlouhy || !isActiveWindow() || QApplication::activeModalWidget())
        return;
    TStavNaDisku stav;
    if (!ZmenenNaDisku(stav) || (FOhlaseno && *FOhlaseno == stav))
        return;
    FOhlaseno = stav;
    bHlasiZmenu = true;
    const auto konec = qScopeGuard([this] { bHlasiZmenu = false; });
    const QString nazev = QDir::toNativeSeparators(FNazevSouboru);
    Hlaseni->Dialog(tdInformace, (stav ? rsZMENENNADISKU : rsSMAZANNADISKU).arg(nazev), rsINFORMACE, MB_OK);
}

// ---- the document's state ----

namespace {

// The message text that the label's hint tells for a document with
// (bZmeneno) or without unsaved changes.
QString *ZpravaUlozeni(bool bZmeneno)
{
    return bZmeneno ? &rsNEULOZENO : &rsULOZENO;
}

// The label's hint for the saved state: the message as its tooltip, nothing
// after the bar, so that the status bar stays blank over the label.
QString HintUlozeni(const QString &Zprava)
{
    return Zprava + u'|';
}

} // namespace

// The document's whole state after Udalost: its file and what that file is
// on disk, the editor's modified flag, and what shows them (the label's
// caption, colour and hint, and Save).
void THlavniForm::NastavStavDokumentu(TUdalostDokumentu Udalost, const QString &Cesta, const TIdentitaSouboru &Identita)
{
    // A document without a file shows "TEXT.TXT" and has no hint: at the start
    // the label keeps the window-text colour it was created with and Save is
    // disabled; New makes the label black and leaves Save as it was.
    const auto bezSouboru = [this] {
        FNazevSouboru.clear();
        FIdentita.reset();
        FOhlaseno.reset();
        lblNazevSouboru->setText(QStringLiteral("TEXT.TXT"));
        NastavHint(lblNazevSouboru, QString());
    };
    switch (Udalost) {
    case udStart:
        bezSouboru();
        aUlozit->setEnabled(false);
        return;
    case udNovy:
        bezSouboru();
        memSoubor->SetModified(false);
        NastavBarvuPisma(lblNazevSouboru, clBlack);
        return;
    case udObnoveno:
        // Still the file that the window knows; nothing that shows changes.
        FIdentita = Identita;
        return;
    case udZvolenSoubor:
        // The file is shown by its full path.
        FNazevSouboru = Cesta;
        lblNazevSouboru->setText(QDir::toNativeSeparators(Cesta));
        [[fallthrough]];
    case udUlozeno:
        FIdentita = Identita;
        FOhlaseno.reset();
        memSoubor->SetModified(false);
        break;
    case udPrevedeno:
        // Even when the conversion replaced nothing.
        memSoubor->SetModified(true);
        break;
    case udZmena: break;
    }
    // The saved state follows the modified flag: red while modified, green
    // while not, with Save enabled only while there is something to save.
    const bool bZmeneno = memSoubor->Modified();
    NastavBarvuPisma(lblNazevSouboru, bZmeneno ? clRed : clGreen);
    NastavHint(lblNazevSouboru, HintUlozeni(*ZpravaUlozeni(bZmeneno)));
    aUlozit->setEnabled(bZmeneno);
}

// ---- commands ----

void THlavniForm::aNovyExecute(QObject *)
{
    if (!UlozitZmeny())
        return;
    {
        TDlouhyPrikaz prikaz(*this, aNovy);
        memSoubor->Smaz();
    }
    FZlom = SystemovyZlom();
    NastavStavDokumentu(udNovy);
}

void THlavniForm::aOtevritExecute(QObject *)
{
    if (!UlozitZmeny())
        return;
    const QString cesta = Dialogy().OtevritSoubor(this);
    if (cesta.isEmpty())
        return;
    OtevriSoubor(cesta);
}

void THlavniForm::OtevriSoubor(const QString &Cesta)
{
    // The user may give a long open up (Esc): the document stays as it was,
    // and nothing is said.
    TDlouhyPrikaz prikaz(*this, aOtevrit, true);
    prikaz.NastavPopis(QDir::toNativeSeparators(Cesta));
    // Reading is the first step that changes anything. A file the editor
    // cannot hold is refused before a byte of it is read.
    const qint64 nejvice = NejvetsiDokument();
    const auto prilisVelky = [&](qint64 Velikost) {
        // Grouped as the Czech message texts write numbers.
        const QLocale mistni(QLocale::Czech);
        return EChyba(rsVELKYSOUBOR.arg(QDir::toNativeSeparators(Cesta), mistni.toString(Velikost),
                                        mistni.toString(nejvice), mistni.toString(NejvetsiPametDokumentu()),
                                        QString::number(PametNaZnak), QString::number(PametNaZlom)));
    };
    TTextovySoubor soubor;
    TIdentitaSouboru identita;
    qint64 velikost = 0;
    try {
        prikaz.Cast(0, 10);
        const QByteArray bajty = NactiBajty(Cesta, nejvice, &identita);
        velikost = bajty.size();
        prikaz.Zkontroluj();
        prikaz.Cast(10, 20);
        soubor = DekodujText(bajty, [&](qint64 Hotovo, qint64 Celkem) {
            if (!prikaz.Krok(Hotovo, Celkem))
                throw EZruseno();
        });
        prikaz.Zkontroluj();
    } catch (const EZruseno &) {
        return;
    } catch (const EPrilisVelky &e) {
        // A file that read on past what its size said has no size to tell:
        // the reader's own message says how much it gave.
        if (e.Nejmene())
            throw;
        throw prilisVelky(e.Velikost());
    }
    // Nor a file whose text would take more memory than the limit allows,
    // as one of very many short lines does before it reaches the limit's
    // bytes. Its bytes are gone by now, its text goes with the refusal.
    if (PametDokumentu(soubor.Text.size(), soubor.Zlomy) > NejvetsiPametDokumentu())
        throw prilisVelky(velikost);
    // The editor may refuse a text it cannot hold without loss; the encoding
    // changes only with the text. The text goes over to the editor, which
    // lets it go once it has its own form of it.
    prikaz.Cast(20, 100);
    try {
        memSoubor->NastavText(std::move(soubor.Text));
    } catch (const EZruseno &) {
        return;
    }
    FKodovani = soubor.Kodovani;
    FZlom = soubor.Zlom;
    NastavStavDokumentu(udZvolenSoubor, Cesta, identita);
    // Bytes that the file's encoding cannot read are kept as stand-ins; the
    // user is told once why they show as placeholders.
    if (soubor.ZastupciBajtu > 0) {
        const bool bLiche = FKodovani == koUtf16LELiche || FKodovani == koUtf16BELiche;
        Hlaseni->Dialog(tdInformace, bLiche ? rsLICHEUTF16 : rsNEPLATNEUTF8, rsINFORMACE, MB_OK);
    }
    // A save writes every break in one form, so a file of mixed breaks is
    // told once which one that is.
    if (soubor.PoctyZlomu.Smisene()) {
        const TPoctyZlomu &pocty = soubor.PoctyZlomu;
        const QString zlom = FZlom == TZlom::CrLf ? QStringLiteral("CR LF")
            : FZlom == TZlom::Cr                  ? QStringLiteral("CR")
                                                  : QStringLiteral("LF");
        Hlaseni->Dialog(
            tdInformace,
            rsSMISENEZLOMY.arg(QString::number(pocty.CrLf), QString::number(pocty.Lf), QString::number(pocty.Cr), zlom),
            rsINFORMACE, MB_OK);
    }
}

void THlavniForm::aUlozitExecute(QObject *)
{
    // Only over a file that exists is the text written without asking for a name.
    if (FNazevSouboru.isEmpty() || !ExistujeSoubor(FNazevSouboru)) {
        aUlozitJakoExecute(aUlozitJako);
        return;
    }
    // Another program's changes to the file are not written over unasked.
    if (!PrepsatZmeneny())
        return;
    TIdentitaSouboru identita;
    if (!UlozDo(FNazevSouboru, identita))
        return;
    NastavStavDokumentu(udUlozeno, QString(), identita);
}

void THlavniForm::aUlozitJakoExecute(QObject *)
{
    // The dialog proposes the shown name. A cancelled dialog leaves the
    // document's file as it was, so a later save never writes to a file that
    // the user did not choose.
    const QString cesta = Dialogy().UlozitSoubor(this, lblNazevSouboru->text());
    if (cesta.isEmpty())
        return;
    // The dialog asks before any existing file is replaced, but only the
    // window knows that its own file was changed by another program.
    if (JeSouborDokumentu(cesta) && !PrepsatZmeneny())
        return;
    TIdentitaSouboru identita;
    if (!UlozDo(cesta, identita))
        return;
    NastavStavDokumentu(udZvolenSoubor, cesta, identita);
}

void THlavniForm::aKonecExecute(QObject *)
{
    close();
}

void THlavniForm::aZpetExecute(QObject *)
{
    TDlouhyPrikaz prikaz(*this, aZpet);
    memSoubor->Zpet();
}

void THlavniForm::aVyjmoutExecute(QObject *)
{
    memSoubor->cut();
}

void THlavniForm::aKopirovatExecute(QObject *)
{
    memSoubor->copy();
}

void THlavniForm::aVlozitExecute(QObject *)
{
    memSoubor->paste();
}

void THlavniForm::aSmazatVseExecute(QObject *)
{
    // Undo brings the text back.
    TDlouhyPrikaz prikaz(*this, aSmazatVse);
    memSoubor->Smaz(true);
}

void THlavniForm::aOznacitVseExecute(QObject *)
{
    memSoubor->selectAll();
}

QString THlavniForm::NahradZnaky(const QString &Text, const QString &Hledane, const QString &Nahrady) const
{
    return ::NahradZnaky(Text, Hledane, Nahrady);
}

void THlavniForm::aOdstranitDiakritikuExecute(QObject *)
{
    qsizetype nahrazeno = 0;
    {
        TDlouhyPrikaz prikaz(*this, aOdstranitDiakritiku);
        prikaz.Cast(0, 20);
        // Code units that stand for bytes of the file are never converted.
        QString hledane = ZnakySeZnamenkem, nahrady = ZnakyBezZnamenka;
        const bool bZastupci = ZastupujeBajty(FKodovani);
        if (bZastupci)
            VynechPary(hledane, nahrady, 0xDC00, 0xDCFF);
        // Unless the table touches line breaks, stand-ins or the characters
        // under them, the text is converted as the editor keeps it, paragraph
        // by paragraph, and keeps its shape there: that spares two copies of
        // a big text.
        const bool bZlomy = !memSoubor->TvarPrevoduBezpecny(hledane, nahrady);
        // Nor is a character of UTF-8 text ever made a byte of the file, or a
        // byte a character (a half of a surrogate pair beside a stand-in):
        // the save would write other bytes than the text shows.
        const bool bHlidatPoloviny =
            (FKodovani == koUtf8 || FKodovani == koUtf8BezZnacky) && MeniPoloviny(hledane, nahrady);
        QString vysledek;
        // The code units F6 changes, found as it converts them.
        std::optional<TTextovyModel::TZaznamZmen> zaznam;
        if (bZlomy) {
            const QString text = memSoubor->Text();
            prikaz.Krok();
            prikaz.Cast(20, 30);
            vysledek = NahradZnaky(text, hledane, nahrady);
            nahrazeno = PocetZmen(text, vysledek);
            if (bHlidatPoloviny && MeniOsamelePoloviny(text, vysledek, 0xDC80, 0xDCFF))
                throw EChyba(rsZASTUPCEBAJTU);
        } else {
            const TTabulkaNahrad tabulka(hledane, nahrady);
            const char16_t *mapa = tabulka.Data();
            vysledek.resize(memSoubor->document()->characterCount() - 1);
            VelkyBlok(vysledek);
            zaznam.emplace(vysledek.size());
            char16_t *const zacatek = reinterpret_cast<char16_t *>(vysledek.data());
            char16_t *cil = zacatek;
            char16_t predPuvodni = 0, predNovy = 0;
            bool bPoloviny = false, bZmenaPred = false;
            qsizetype dalsiKrok = TMemo::DelkaDavky();
            memSoubor->ProjdiSurovyText([&](QStringView Kus) {
                if (cil - zacatek >= dalsiKrok) {
                    prikaz.Krok(cil - zacatek, vysledek.size());
                    dalsiKrok = (cil - zacatek) + TMemo::DelkaDavky();
                }
                const char16_t *z = reinterpret_cast<const char16_t *>(Kus.utf16());
                const qsizetype n = std::min(Kus.size(), qsizetype(vysledek.size() - (cil - zacatek)));
                const char16_t predKusem = predPuvodni;
                for (qsizetype i = 0; i < n; ++i) {
                    const char16_t u = z[i];
                    cil[i] = mapa[u];
                    // A surrogate pair counts as one character.
                    const bool bZmena = cil[i] != u;
                    if (bZmena) {
                        zaznam->Pridej(cil - zacatek + i, u);
                        if (!(bZmenaPred && QChar::isLowSurrogate(u) && QChar::isHighSurrogate(predPuvodni)))
                            ++nahrazeno;
                    }
                    bZmenaPred = bZmena;
                    predPuvodni = u;
                }
                if (bHlidatPoloviny && n > 0) {
                    const QStringView novy(cil, n);
                    bPoloviny =
                        bPoloviny || MeniOsamelePoloviny(Kus.first(n), novy, 0xDC80, 0xDCFF, predKusem, predNovy);
                    predNovy = novy.back().unicode();
                }
                cil += n;
            });
            vysledek.truncate(cil - zacatek);
            if (bPoloviny)
                throw EChyba(rsZASTUPCEBAJTU);
        }
        prikaz.Krok();
        prikaz.Cast(30, 100);
        // A text that nothing changed stays as it is, its history too.
        if (nahrazeno > 0) {
            if (bZlomy)
                memSoubor->NastavText(std::move(vysledek), true);
            else
                memSoubor->NastavPrevedenyTvar(vysledek, std::move(*zaznam), true);
        }
    }
    OhlasNahrazeni(nahrazeno);
    if (memSoubor->JePrazdny())
        return;
    NastavStavDokumentu(udPrevedeno);
}

// The status bar's first panel tells what F6 did until the hint under the
// mouse changes, in the language of the interface.
void THlavniForm::OhlasNahrazeni(qsizetype Pocet)
{
    FHint = Pocet > 0 ? rsNAHRAZENO.arg(MistniJazyka().toString(qint64(Pocet))) : rsNENINAHRAZENO;
    AplikaceHint();
}

// The conventions of the interface's language for numbers: Czech without a
// language file, the language of a code that Qt knows, else the system's.
QLocale THlavniForm::MistniJazyka() const
{
    if (!xdcJazyk->Aktivni())
        return QLocale(QLocale::Czech);
    const QString jazyk = TPrekladQt::JazykQt(JazykXML->Jazyk());
    return jazyk.isEmpty() ? QLocale::system() : QLocale(jazyk);
}

void THlavniForm::aPismoExecute(QObject *)
{
    TPismoEditoru pismo = FPismo;
    const QColor puvodni = BarvaZHodnoty(pismo.Barva);
    QColor barva = puvodni;
    if (!Dialogy().VyberPismo(this, pismo.Pismo, barva))
        return;
    // An unchanged colour keeps its value, so the window-text colour stays
    // the system's.
    if (barva != puvodni)
        pismo.Barva = quint32(barva.red()) | quint32(barva.green()) << 8 | quint32(barva.blue()) << 16;
    NastavPismoEditoru(pismo);
}

void THlavniForm::aJazykExecute(QObject *)
{
    if (!ExistujeSoubor(xdcJazyk->NazevSouboru())) {
        Hlaseni->Dialog(
            tdInformace,
            QStringLiteral("Nebyl nalezen žádný jazykový soubor\rAplikace používá výchozí jazyk (Češtinu)."),
            QStringLiteral("Informace"), 0);
        return;
    }
    // A file put in place after the first show, or mended after it failed to
    // load then, is loaded now, as the language application would load it.
    NactiJazykovySoubor();
    if (!FFormy)
        return;
    TJazykForm *vyber = FFormy->JazykForm;
    JazykXML->SeznamJazyku(vyber->livJazyk);
    VycentrujNadHlavnimOknem(vyber);
    if (ModalniVysledek(vyber->exec()) != mrOk)
        return;
    const QList<QTreeWidgetItem *> vybrane = vyber->livJazyk->selectedItems();
    if (vybrane.isEmpty())
        return;
    // The chosen code becomes current only with its language: one that
    // cannot be applied leaves the code, the flag and every text as they were.
    const QString predchozi = JazykXML->Jazyk();
    JazykXML->NastavJazyk(vybrane.first()->text(0));
    try {
        JazykXML->IndexJazyka(); // its flag can be shown
        NastavJazyk();
    } catch (...) {
        JazykXML->NastavJazyk(predchozi);
        throw;
    }
    ZobrazVlajku();
}

// ---- the language ----

void THlavniForm::NastavJazyk()
{
    if (!ExistujeSoubor(xdcJazyk->NazevSouboru())) {
        ObnovZpravoveTexty();
        // Without the file every text is Czech, whatever code is current, and
        // so are the toolkit's.
        NastavPrekladQt(QStringLiteral("CZ"), false);
        return;
    }
    NactiJazykovySoubor();

    // Every text is looked up before any is set, so that a lookup that fails
    // leaves the whole interface in the language it had.
    TNoveTexty texty;
    // Only the top-level items: the items below them show their actions'
    // captions, which the relabelling of this window changes.
    const QString formular = objectName();
    for (QWidget *lista : {static_cast<QWidget *>(ActionMainMenuBar1), static_cast<QWidget *>(ActionToolBar1)})
        for (QAction *polozka : lista->actions()) {
            const TNoveTexty::TMisto misto = MistoVlastnosti(polozka, "text");
            texty.Nastav(misto,
                         JazykXML->Retezec(formular, QStringLiteral("Nabidka") + QString::number(Tag(polozka)),
                                           texty.Text(misto)));
        }

    for (const TZpravovyText &t : ZpravoveTexty)
        texty.Nastav(MistoRetezce(t.Text),
                     JazykXML->Retezec(QStringLiteral("Obecne"), QLatin1String(t.Klic), QString::fromUtf16(t.Vychozi)));
    const QString kod = JazykXML->Jazyk();
    const std::array<QString, 4> tlacitka = TlacitkaPrekladuQt(kod, true);
    texty.Pridej([this, kod, tlacitka] { FPrekladQt->Nastav(kod, tlacitka); });

    JazykXML->RetezceFormulare(this, texty);
    if (FFormy) {
        JazykXML->RetezceFormulare(FFormy->OAplikaciForm, texty);
        JazykXML->RetezceFormulare(FFormy->JazykForm, texty);
        JazykXML->RetezceFormulare(FFormy->ZnakyForm, texty);
        JazykXML->RetezceFormulare(FFormy->ASCIIForm, texty);
    }
    // The file-name label shows the document, not a text of the file: it
    // keeps naming the document's file, and its hint tells the saved state
    // in the new language.
    texty.Nastav(MistoVlastnosti(lblNazevSouboru, "text"), lblNazevSouboru->text());
    if (!Hint(lblNazevSouboru).isEmpty())
        texty.Nastav(MistoHintu(lblNazevSouboru),
                     HintUlozeni(texty.Text(MistoRetezce(ZpravaUlozeni(memSoubor->Modified())))));
    texty.Proved();
    DoplnKlavesyNabidek();
}

void THlavniForm::NactiJazykovySoubor()
{
    const bool bNove = !xdcJazyk->Aktivni();
    xdcJazyk->Aktivuj();
    JazykXML->NastavDokument(xdcJazyk);
    // Told once, when the file is loaded; the file is used all the same.
    if (bNove)
        if (const QString zdvojene = JazykXML->ZdvojeneJazyky(); !zdvojene.isEmpty())
            ZobrazChybu(zdvojene);
}

// The toolkit's texts in the language Kod; the buttons of the message boxes
// from the language file where it has them (bSoubor), Czech ones built in.
std::array<QString, 4> THlavniForm::TlacitkaPrekladuQt(const QString &Kod, bool bSoubor) const
{
    const bool bCesky = Kod.compare(QLatin1String("CZ"), Qt::CaseInsensitive) == 0;
    std::array<QString, 4> tlacitka;
    for (size_t i = 0; i < TlacitkaDialogu.size(); ++i) {
        const QString cesky = bCesky ? QString::fromUtf16(TlacitkaDialogu[i].Cesky) : QString();
        tlacitka[i] = bSoubor ? JazykXML->Retezec(SekceTlacitek, QLatin1String(TlacitkaDialogu[i].Klic), cesky) : cesky;
    }
    return tlacitka;
}

void THlavniForm::NastavPrekladQt(const QString &Kod, bool bSoubor)
{
    FPrekladQt->Nastav(Kod, TlacitkaPrekladuQt(Kod, bSoubor));
}

// The menu items take their actions' captions, which carry no access key; an
// item left without one gets the first letter of its caption that no item of
// its menu has taken, so the menus stay usable by the keyboard in every
// language. Items that have a key keep it.
void THlavniForm::DoplnKlavesyNabidek()
{
    const auto klavesa = [](const QString &Titulek) {
        for (qsizetype i = Titulek.indexOf(u'&'); i >= 0 && i + 1 < Titulek.size(); i = Titulek.indexOf(u'&', i + 2))
            if (Titulek.at(i + 1) != u'&')
                return Titulek.at(i + 1).toLower();
        return QChar();
    };
    QList<QList<QAction *>> skupiny{ActionMainMenuBar1->actions()};
    for (QMenu *menu : FNabidky)
        skupiny.append(menu->actions());
    for (const QList<QAction *> &polozky : std::as_const(skupiny)) {
        QList<QChar> obsazene;
        for (QAction *polozka : polozky)
            if (const QChar k = klavesa(polozka->text()); !k.isNull())
                obsazene.append(k);
        for (QAction *polozka : polozky) {
            const QString text = polozka->text();
            const qsizetype tab = text.indexOf(u'\t');
            QString titulek = tab < 0 ? text : text.left(tab);
            if (polozka->isSeparator() || titulek.isEmpty() || !klavesa(titulek).isNull())
                continue;
            for (qsizetype i = 0; i < titulek.size(); ++i) {
                const QChar c = titulek.at(i).toLower();
                if (c.isLetterOrNumber() && !obsazene.contains(c)) {
                    titulek.insert(i, u'&');
                    obsazene.append(c);
                    break;
                }
            }
            polozka->setText(tab < 0 ? titulek : titulek + text.mid(tab));
        }
    }
}

// The flag of the current language, drawn from the chooser's flags; nothing
// while no language file is loaded, and nothing for a language without a flag.
void THlavniForm::ZobrazVlajku()
{
    imgJazyk->clear();
    if (!xdcJazyk->Aktivni())
        return;
    const int index = JazykXML->IndexJazyka();
    if (FFormy)
        imgJazyk->setPixmap(FFormy->JazykForm->ilVlajky->Obrazek(index));
}

void THlavniForm::aZnakyExecute(QObject *)
{
    if (FFormy)
        FFormy->ZnakyForm->exec();
}

void THlavniForm::aOAplikaciExecute(QObject *)
{
    if (FFormy) {
        VycentrujNadHlavnimOknem(FFormy->OAplikaciForm);
        FFormy->OAplikaciForm->exec();
    }
}
