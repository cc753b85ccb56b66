#pragma once
// The main window: menu bar, toolbar, file-name strip, the document editor and
// the status bar, with the sixteen commands behind them.

#include "Soubor.h"
#include "TextovySoubor.h"
#include "UlozeneNastaveni.h"

#include <QList>
#include <QLocale>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <QMainWindow>

class QAction;
class QFrame;
class QProgressDialog;
class QLabel;
class QMenu;
class QMenuBar;
class QToolBar;
class TMemo;
class TPrekladQt;
class TFormy;
class TStavovyRadek;
class TXMLDokument;

// The largest file, in bytes, that the window opens.
qint64 NejvetsiDokument();
// For tests: a smaller limit instead of the machine's (0 gives it back).
void NastavNejvetsiDokument(qint64 Bajtu);

// What a text costs the window in memory, in bytes, estimated from its code
// units and line breaks (each a CR LF); the window opens no file whose text
// would cost more than NejvetsiPametDokumentu().
constexpr qint64 PametNaZnak = 9; // for each code unit, a line break counted as one
constexpr qint64 PametNaZlom = 5; // for each line break besides
qint64 PametDokumentu(qint64 Znaku, qint64 Zlomu);
qint64 NejvetsiPametDokumentu();

class THlavniForm : public QMainWindow {
    Q_OBJECT
public:
    explicit THlavniForm(QWidget *Rodic = nullptr);
    ~THlavniForm() override;

    // What the window owns, in the order in which it declares it. The members
    // below stay in one public section: the order is read from their places.
    QList<QObject *> Komponenty;

    QObject *amgHlavniMenu = nullptr;
    QMenuBar *ActionMainMenuBar1 = nullptr;
    QAction *aNovy = nullptr;
    QObject *imlMenu = nullptr;
    QAction *aOtevrit = nullptr;
    QAction *aUlozit = nullptr;
    QAction *aUlozitJako = nullptr;
    QAction *aKonec = nullptr;
    TXMLDokument *xdcJazyk = nullptr;
    QAction *aVyjmout = nullptr;
    QAction *aKopirovat = nullptr;
    QAction *aVlozit = nullptr;
    QAction *aSmazatVse = nullptr;
    QAction *aOznacitVse = nullptr;
    QAction *aZpet = nullptr;
    QAction *aOdstranitDiakritiku = nullptr;
    QAction *aPismo = nullptr;
    QAction *aJazyk = nullptr;
    QAction *aZnaky = nullptr;
    QAction *aOAplikaci = nullptr;
    QToolBar *ActionToolBar1 = nullptr;
    TStavovyRadek *JvStatusBar1 = nullptr;
    QLabel *imgJazyk = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *lblNazevSouboru = nullptr;
    TMemo *memSoubor = nullptr;

    // The editor's context menu: the "Úpravy" menu of the menu bar.
    QMenu *KontextovaNabidka() const;
    // None: the bars offer nothing to hide.
    QMenu *createPopupMenu() override;

    // The sixteen actions, in the order of the action table.
    QList<QAction *> Akce() const;

    // The program's other forms, which the window runs and relabels; given
    // once they all exist, taken back (nullptr) before any of them goes.
    void NastavFormy(const TFormy *Formy) { FFormy = Formy; }

    // Event handlers.
    void FormCreate(QObject *Sender);
    void FormShow(QObject *Sender);
    void FormActivate(QObject *Sender);
    void FormResize(QObject *Sender);
    void FormCloseQuery(QObject *Sender, bool &CanClose);
    void FormClose(QObject *Sender, int &Action);
    void memSouborChange(QObject *Sender);

    void aNovyExecute(QObject *Sender);
    void aOtevritExecute(QObject *Sender);
    void aUlozitExecute(QObject *Sender);
    void aUlozitJakoExecute(QObject *Sender);
    void aKonecExecute(QObject *Sender);
    void aZpetExecute(QObject *Sender);
    void aVyjmoutExecute(QObject *Sender);
    void aKopirovatExecute(QObject *Sender);
    void aVlozitExecute(QObject *Sender);
    void aSmazatVseExecute(QObject *Sender);
    void aOznacitVseExecute(QObject *Sender);
    void aOdstranitDiakritikuExecute(QObject *Sender);
    void aPismoExecute(QObject *Sender);
    void aJazykExecute(QObject *Sender);
    void aZnakyExecute(QObject *Sender);
    void aOAplikaciExecute(QObject *Sender);

    // Reads the file at Cesta into the editor as the document, in its
    // encoding, as "Otevřít..." does after its dialog; the question about
    // unsaved changes is the caller's. An error (a missing file, one too large
    // for the editor) is thrown before anything changes.
    void OtevriSoubor(const QString &Cesta);

    // Puts the current language into the whole interface: without the
    // language file the message texts take their built-in defaults and
    // nothing else changes; with it, the file is loaded (once per run), the
    // top-level items of the menu bar and the toolbar take "Nabidka" + their
    // Tag, the message texts the section "Obecne", the toolkit's own texts
    // follow, and the five forms are relabelled (this window, the about box,
    // the language chooser, the pair editor, the picker). Runs at the first
    // show and after every language choice. All or nothing: every text is
    // looked up before any is set, so a file that cannot be loaded, or a
    // lookup that fails (an entry that is not plain text), throws and leaves
    // every text as it was. A file whose list of languages names a code twice
    // is told once, when it is loaded, and used (the first entry counts).
    void NastavJazyk();
    // The toolkit's translation that the language brought.
    const TPrekladQt *PrekladQt() const { return FPrekladQt; }

    // The status-bar refresh that runs each time the event queue has emptied.
    void AplikaceIdle();
    void AplikaceHint();
    // The current long hint: what the status bar shows for the thing under the mouse.
    const QString &AktualniHint() const { return FHint; }

    // For tests: called as each long command (open, save, F6, undo, delete
    // all, new) starts, with no window, and at each of its steps, with its
    // progress window and how far it is (0 to 100). While it is set the
    // progress window shows from the first step. An empty one ends the watch.
    using TSledovaniPrikazu = std::function<void(QProgressDialog *Okno, int Procenta)>;
    static void SledujDlouhePrikazy(TSledovaniPrikazu Sledovani);

    // The document's file: empty until it is opened or saved, and after New.
    const QString &NazevSouboru() const { return FNazevSouboru; }
    // The encoding that every save uses; set by every open.
    TKodovani Kodovani() const { return FKodovani; }
    // The line break that every save writes; set by every open (the file's
    // own, the most frequent where they are mixed) and by New (the system's).
    TZlom Zlom() const { return FZlom; }

    // The editor's font with its colour, character set and pitch.
    const TPismoEditoru &PismoEditoru() const { return FPismo; }
    void NastavPismoEditoru(const TPismoEditoru &Pismo);

    // The window's outer bounds, frame included, as the settings keep them:
    // its restored bounds while it is maximised or minimised. Until the
    // window manager has framed the window, the frame is taken to be the
    // designed one.
    QRect VnejsiGeometrie() const;
    void NastavVnejsiGeometrii(const QRect &Vnejsi);
    // The placement the store held, given after the window has taken its
    // bounds for it (which may differ: bounded to the screens). Closing
    // writes it back while the window still has those bounds, its own bounds
    // once it has been moved or resized.
    void NastavUlozeneUmisteni(const TUmisteniOkna &Ulozene);
    TUmisteniOkna UmisteniKUlozeni() const;

protected:
    bool event(QEvent *Udalost) override;
    void showEvent(QShowEvent *Udalost) override;
    void resizeEvent(QResizeEvent *Udalost) override;
    void closeEvent(QCloseEvent *Udalost) override;
    bool eventFilter(QObject *Objekt, QEvent *Udalost) override;
    void dragEnterEvent(QDragEnterEvent *Udalost) override;
    void dragMoveEvent(QDragMoveEvent *Udalost) override;
    void dropEvent(QDropEvent *Udalost) override;

private:
    // What has just happened to the document; NastavStavDokumentu sets the
    // document's whole state from it, the rule for each case in one place.
    enum TUdalostDokumentu : quint8 {
        udStart,        // the program has started: no file, Save disabled
        udZmena,        // the editor's change event: the display follows the modified flag
        udNovy,         // a new document: no file, not modified, black without a hint, Save as it was
        udZvolenSoubor, // opened, or saved as: Cesta is the file, as it is on disk (Identita); not modified
        udUlozeno,      // written into its file, which is now Identita; not modified
        udPrevedeno,    // a conversion of a non-empty text: modified
        udObnoveno,     // a failed write into the file put its bytes back: the file is now Identita
    };
    void NastavStavDokumentu(TUdalostDokumentu Udalost, const QString &Cesta = QString(),
                             const TIdentitaSouboru &Identita = TIdentitaSouboru());

    void VytvorAkce();
    void VytvorMenu();
    void VytvorNastrojovouListu();
    void VytvorStavovyRadek();
    void NastavMinimalniVelikost();
    void ZobrazVlajku();
    void NastavPrekladQt(const QString &Kod, bool bSoubor);
    std::array<QString, 4> TlacitkaPrekladuQt(const QString &Kod, bool bSoubor) const;
    void NactiJazykovySoubor();
    void DoplnKlavesyNabidek();
    bool UlozitZmeny();
    bool PretazeniNaEditor(QEvent *Udalost);
    void OtevriPretazeny(const QString &Cesta);
    bool UlozDo(const QString &Cesta, TIdentitaSouboru &Identita);
    bool ZakodujEditor(TKodovani Kodovani, QByteArray &Bajty, bool bZastupci) const;
    // What the document's file is on disk: its identity, or none when no file
    // is there.
    using TStavNaDisku = std::optional<TIdentitaSouboru>;
    bool ZmenenNaDisku(TStavNaDisku &Stav) const;
    bool JeSouborDokumentu(const QString &Cesta) const;
    bool PrepsatZmeneny();
    void OhlasZmenuNaDisku();
    QString NahradZnaky(const QString &Text, const QString &Hledane, const QString &Nahrady) const;
    // What F6 says in the status bar: the number of characters it replaced.
    void OhlasNahrazeni(qsizetype Pocet);
    QLocale MistniJazyka() const;

    // The command that is running for long, if any (fHlavni.cpp).
    class TDlouhyPrikaz;
    TDlouhyPrikaz *FDlouhy = nullptr;

    template <typename T> void Pridej(T *&Clen, T *Komponenta, const char *Jmeno);
    void SeradKomponenty();
    // The components by the address of their members, until SeradKomponenty.
    std::map<const void *, QObject *> FClenove;
    QList<QMenu *> FNabidky; // the menu bar's menus, in order
    const TFormy *FFormy = nullptr;

    QString FHint;
    TPrekladQt *FPrekladQt = nullptr;
    QString FNazevSouboru;
    // The document's file as the window read or last wrote it; none without a file.
    std::optional<TIdentitaSouboru> FIdentita;
    // The state of the file on disk that the user was last told or asked
    // about since then, so that one change is reported once.
    std::optional<TStavNaDisku> FOhlaseno;
    bool bHlasiZmenu = false; // the message about a change is up
    TKodovani FKodovani = SystemoveKodovani();
    TZlom FZlom = SystemovyZlom();
    bool RamecekZnam() const;
    QMargins Ramecek() const;
    bool JeObnovitelne() const; // maximised, minimised or full screen
    TPismoEditoru FPismo;
    QRect FObnovena{0, 0, 640, 480}; // the outer bounds in the normal state
    std::optional<QRect> FZadana;    // asked for before the frame was known
    // The stored placement and the outer bounds the window took for it.
    std::optional<std::pair<TUmisteniOkna, QRect>> FUlozeneUmisteni;
    bool bZobrazeno = false;
};
