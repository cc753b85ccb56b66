#include "fZnaky.h"

#include "Chyby.h"
#include "Hlaseni.h"
#include "KodovaStranka.h"
#include "Komponenty.h"
#include "Nastaveni.h"
#include "Obrazky.h"
#include "Okna.h"
#include "Retezce.h"
#include "Umisteni.h"
#include "UlozenaTabulka.h"
#include "convar.h"
#include "fASCII.h"

#include <QCloseEvent>
#include <algorithm>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

namespace {

constexpr quint32 BarvaAktivnihoPole = 0x00C8FFFF; // pale yellow
constexpr quint32 clWindow = 0xFF000005;

QFont PismoFormulare()
{
    QFont pismo(QStringLiteral("Tahoma"));
    pismo.setStyleHint(QFont::SansSerif);
    pismo.setPixelSize(11);
    return pismo;
}

// " (Dec: 236, Hex: EC)": the character's byte in the code page that the
// picker lists; "?" for a character that code page cannot hold.
QString Kody(const QString &Znak)
{
    QByteArray bajt;
    if (Znak.size() != 1 || !ZakodujOsmibitove(Znak, bajt) || bajt.size() != 1)
        return QStringLiteral(" (Dec: ?, Hex: ?)");
    const uint b = uchar(bajt.at(0));
    return QStringLiteral(" (Dec: ") + QString::number(b) + QStringLiteral(", Hex: ") +
        QString::number(b, 16).toUpper().rightJustified(2, u'0') + u')';
}

// A settings error as the user is told it: the message text, and the store's
// reason in parentheses on a line of its own.
QString ZpravaNastaveni(const QString &Text, const QString &Duvod)
{
    return Text + QStringLiteral(".\r(") + Duvod + QStringLiteral(".)");
}

template <typename T> T *Pridej(QList<QObject *> &Komponenty, T *Komponenta, const char *Jmeno, int Tag)
{
    Komponenta->setObjectName(QLatin1String(Jmeno));
    NastavTag(Komponenta, Tag);
    Komponenty.append(Komponenta);
    return Komponenta;
}

} // namespace

TZnakyForm::TZnakyForm(QWidget *Vlastnik) : QDialog(Vlastnik)
{
    setObjectName(QStringLiteral("ZnakyForm"));
    NastavTag(this, -1);
    setWindowTitle(QStringLiteral("Seznam znaků"));
    // A tool window without a close box: it closes by OK, Storno or Esc
    // only, all of which a change in progress locks.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    BezMinimalizace(this);
    setFont(PismoFormulare());
    setFixedSize(297, 337);

    const auto tlacitko = [this](const char *Jmeno, const char16_t *Text, const char16_t *Hint, const char *Ikona) {
        auto *b = Pridej(Komponenty, new QPushButton(QString::fromUtf16(Text), this), Jmeno, -1);
        b->setProperty("ShowHint", true);
        NastavHint(b, QString::fromUtf16(Hint));
        b->setIcon(QIcon(CestaObrazku(QStringLiteral("icons/") + QLatin1String(Ikona))));
        b->setIconSize(QSize(16, 16));
        // No button of this dialog is the default one: Enter presses only
        // the button that has the focus.
        b->setAutoDefault(false);
        return b;
    };
    const auto vyberZnaku = [this](const char *Jmeno, const char16_t *Hint) {
        auto *b = Pridej(Komponenty, new QToolButton(gbxDefiniceZnaku), Jmeno, -1);
        b->setText(QStringLiteral("..."));
        b->setProperty("ShowHint", true);
        NastavHint(b, QString::fromUtf16(Hint));
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    const auto pole = [this](const char *Jmeno) {
        auto *e = Pridej(Komponenty, new QLineEdit(gbxDefiniceZnaku), Jmeno, 0);
        e->setReadOnly(true);
        e->installEventFilter(this);
        return e;
    };

    gbxDefiniceZnaku =
        Pridej(Komponenty, new QGroupBox(QStringLiteral("Definice znaku"), this), "gbxDefiniceZnaku", -1);
    gbxDefiniceZnaku->setGeometry(8, 8, 281, 89);
    lblZnakSeZnamenkem =
        Pridej(Komponenty, new QLabel(QStringLiteral("Znak s diakritickým znaménkem"), gbxDefiniceZnaku),
               "lblZnakSeZnamenkem", -1);
    lblZnakSeZnamenkem->setGeometry(8, 26, 205, 13);
    edtZnakSeZnamenkem = pole("edtZnakSeZnamenkem");
    edtZnakSeZnamenkem->setGeometry(220, 22, 27, 21);
    spbZnakSeZnamenkem = vyberZnaku("spbZnakSeZnamenkem", u"Výběr znaku s diakritickým znaménkem ze seznamu");
    spbZnakSeZnamenkem->setGeometry(249, 22, 23, 21);
    lblZnakBezZnamenka =
        Pridej(Komponenty, new QLabel(QStringLiteral("Znak bez diakritického znaménka"), gbxDefiniceZnaku),
               "lblZnakBezZnamenka", -1);
    lblZnakBezZnamenka->setGeometry(8, 58, 205, 13);
    edtZnakBezZnamenka = pole("edtZnakBezZnamenka");
    edtZnakBezZnamenka->setGeometry(220, 54, 27, 21);
    spbZnakBezZnamenka = vyberZnaku("spbZnakBezZnamenka", u"Výběr znaku bez diakritického znaménka ze seznamu");
    spbZnakBezZnamenka->setGeometry(249, 54, 23, 21);

    bbtPridat = tlacitko("bbtPridat", u"Přidat", u"Přidá do seznamu nový pár znaků", "pridat");
    bbtPridat->setGeometry(8, 103, 89, 25);
    bbtUpravit = tlacitko("bbtUpravit", u"Upravit", u"Upraví označený pár znaků", "upravit");
    bbtUpravit->setGeometry(104, 103, 89, 25);
    bbtSmazat = tlacitko("bbtSmazat", u"Smazat", u"Smaže označený pár znaků", "smazat");
    bbtSmazat->setGeometry(200, 103, 89, 25);

    livZnaky = Pridej(Komponenty, new QTreeWidget(this), "livZnaky", -1);
    livZnaky->setGeometry(8, 148, 281, 150);
    livZnaky->setHeaderLabels({QStringLiteral("Se znaménkem"), QString(), QStringLiteral("Bez znaménka")});
    NastavTagSloupce(livZnaky, 0, -1);
    NastavTagSloupce(livZnaky, 2, -1);
    const int sirky[] = {SirkaSloupce, 20, SirkaSloupce};
    const Qt::Alignment zarovnani[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    livZnaky->header()->setMinimumSectionSize(0);
    for (int i = 0; i < 3; ++i) {
        livZnaky->setColumnWidth(i, sirky[i]);
        livZnaky->headerItem()->setTextAlignment(i, zarovnani[i] | Qt::AlignVCenter);
    }
    livZnaky->header()->setStretchLastSection(false);
    livZnaky->header()->setSectionsMovable(false);
    livZnaky->setRootIsDecorated(false);
    livZnaky->setUniformRowHeights(true);
    livZnaky->setAllColumnsShowFocus(true);
    livZnaky->setSelectionMode(QAbstractItemView::SingleSelection);
    livZnaky->setSelectionBehavior(QAbstractItemView::SelectRows);
    livZnaky->setEditTriggers(QAbstractItemView::NoEditTriggers);
    livZnaky->viewport()->installEventFilter(this);

    lblSeznam = Pridej(Komponenty, new QLabel(QStringLiteral("Seznam znaků:"), this), "lblSeznam", -1);
    lblSeznam->setGeometry(8, 132, 200, 13);
    QFont tucne = lblSeznam->font();
    tucne.setBold(true);
    lblSeznam->setFont(tucne);

    btnOK = Pridej(Komponenty, new QPushButton(QStringLiteral("OK"), this), "btnOK", -1);
    btnOK->setGeometry(136, 304, 75, 25);
    btnOK->setAutoDefault(false);
    btnStorno = Pridej(Komponenty, new QPushButton(QStringLiteral("Storno"), this), "btnStorno", -1);
    btnStorno->setGeometry(214, 304, 75, 25);
    btnStorno->setAutoDefault(false);

    sbtDefault = Pridej(Komponenty, new QToolButton(this), "sbtDefault", -1);
    sbtDefault->setGeometry(8, 304, 25, 25);
    sbtDefault->setIcon(QIcon(CestaObrazku(QStringLiteral("icons/vychozi"))));
    sbtDefault->setIconSize(QSize(16, 16));
    sbtDefault->setProperty("ShowHint", true);
    NastavHint(sbtDefault, QStringLiteral("Načte do seznamu základní znaky"));
    sbtDefault->setFocusPolicy(Qt::NoFocus);
    // The button takes no focus; the keyboard reaches it by F5, a key that
    // none of the dialog's controls takes for itself (a field would take
    // Ctrl+D as a deletion).
    sbtDefault->setShortcut(QKeySequence(Qt::Key_F5));

    setTabOrder(edtZnakSeZnamenkem, edtZnakBezZnamenka);
    setTabOrder(edtZnakBezZnamenka, bbtPridat);
    setTabOrder(bbtPridat, bbtUpravit);
    setTabOrder(bbtUpravit, bbtSmazat);
    setTabOrder(bbtSmazat, livZnaky);
    setTabOrder(livZnaky, btnOK);
    setTabOrder(btnOK, btnStorno);
    edtZnakSeZnamenkem->setFocus();

    const auto obsluha = [this](auto *Zdroj, auto Signal, void (TZnakyForm::*Obsluha)(QObject *)) {
        connect(Zdroj, Signal, this, [this, Zdroj, Obsluha] { Proved([&] { (this->*Obsluha)(Zdroj); }); });
    };
    obsluha(spbZnakSeZnamenkem, &QToolButton::clicked, &TZnakyForm::spbZnakSeZnamenkemClick);
    obsluha(spbZnakBezZnamenka, &QToolButton::clicked, &TZnakyForm::spbZnakBezZnamenkaClick);
    obsluha(bbtPridat, &QPushButton::clicked, &TZnakyForm::bbtPridatClick);
    obsluha(bbtUpravit, &QPushButton::clicked, &TZnakyForm::bbtUpravitClick);
    obsluha(bbtSmazat, &QPushButton::clicked, &TZnakyForm::bbtSmazatClick);
    obsluha(sbtDefault, &QToolButton::clicked, &TZnakyForm::sbtDefaultClick);
    connect(btnOK, &QPushButton::clicked, this, [this] {
        Proved([this] { btnOKClick(btnOK); });
        accept();
    });
    connect(btnStorno, &QPushButton::clicked, this, &QDialog::reject);

    SpustitVyber = [](TASCIIForm *Vyber) { return ModalniVysledek(Vyber->exec()); };
}

// ---- handlers ----

void TZnakyForm::FormShow(QObject *)
{
    // A dialog hidden in the middle of a change opens again ready for a new
    // one.
    if (bUprava)
        NastavUpravu(false);

    // A blank stored list shows its defaults, as does one that cannot be
    // read; the user is told why, and OK would then store the pairs anew.
    QString chyba;
    NactiPary(CtiTabulkuProEditor(chyba));
    if (!chyba.isEmpty())
        Hlaseni->Dialog(tdChyba, ZpravaNastaveni(rsNELZEZEREGISTRU, chyba), rsCHYBA, 0);
}

void TZnakyForm::bbtPridatClick(QObject *)
{
    // A pair needs a character on each side.
    if (JePrazdnyText(edtZnakSeZnamenkem->text()) || JePrazdnyText(edtZnakBezZnamenka->text())) {
        Hlaseni->Dialog(tdChyba, rsNENIZNAK + u'.', rsCHYBA, 0);
        return;
    }
    PridejPar(edtZnakSeZnamenkem->text(), edtZnakBezZnamenka->text());
}

void TZnakyForm::bbtUpravitClick(QObject *)
{
    QTreeWidgetItem *radek = VybranyRadek();
    if (!radek) {
        Hlaseni->Dialog(tdChyba, rsNEVYBRANAPOLOZKA + u'.', rsCHYBA, 0);
        return;
    }
    if (!bUprava) {
        edtZnakSeZnamenkem->setText(radek->text(0));
        edtZnakBezZnamenka->setText(radek->text(2));
    } else {
        radek->setText(0, edtZnakSeZnamenkem->text());
        radek->setText(2, edtZnakBezZnamenka->text());
    }
    NastavUpravu(!bUprava);
}

void TZnakyForm::bbtSmazatClick(QObject *)
{
    if (livZnaky->topLevelItemCount() <= 1) {
        Hlaseni->Dialog(tdInformace, rsNELZESMAZAT + u'!', rsINFORMACE, 0);
        return;
    }
    QTreeWidgetItem *radek = VybranyRadek();
    if (!radek) {
        Hlaseni->Dialog(tdChyba, rsNEVYBRANAPOLOZKA + u'.', rsCHYBA, 0);
        return;
    }
    const QString otazka =
        rsSMAZATPOLOZKU + QStringLiteral(": \r\"") + radek->text(0) + u'/' + radek->text(2) + QStringLiteral("\"?");
    if (Hlaseni->Dialog(tdVarovani, otazka, rsVAROVANI, MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
        delete radek;
        // As in the list of the system: after a deletion no row is selected.
        livZnaky->clearSelection();
    }
    livZnaky->setFocus();
}

void TZnakyForm::btnOKClick(QObject *)
{
    TTabulkaZnaku tabulka;
    for (int i = 0; i < livZnaky->topLevelItemCount(); ++i) {
        tabulka.SeZnamenkem += livZnaky->topLevelItem(i)->text(0);
        tabulka.BezZnamenka += livZnaky->topLevelItem(i)->text(2);
    }
    // The pairs hold for this run whatever the store says. A store that
    // refuses them is told, or they would be gone at the next start without a
    // word.
    try {
        PotvrdTabulku(tabulka);
    } catch (const EChyba &e) {
        Hlaseni->Dialog(tdChyba, ZpravaNastaveni(rsNELZEDOREGISTRU, e.Zprava()), rsCHYBA, 0);
    }
}

void TZnakyForm::sbtDefaultClick(QObject *)
{
    NactiPary(TTabulkaZnaku::Vychozi());
}

void TZnakyForm::PrvekEnter(QObject *Sender)
{
    Nastaveni->BarvaPozadi(Sender, BarvaAktivnihoPole);
}

void TZnakyForm::PrvekExit(QObject *Sender)
{
    Nastaveni->BarvaPozadi(Sender, clWindow);
}

void TZnakyForm::spbZnakSeZnamenkemClick(QObject *)
{
    VyberZnak(edtZnakSeZnamenkem);
}

void TZnakyForm::spbZnakBezZnamenkaClick(QObject *)
{
    VyberZnak(edtZnakBezZnamenka);
}

void TZnakyForm::livZnakyInfoTip(QObject *, QTreeWidgetItem *Item, QString &InfoTip)
{
    if (!Item)
        return;
    InfoTip = Item->text(0) + Kody(Item->text(0)) + QStringLiteral(" = ") + Item->text(2) + Kody(Item->text(2));
}

// ---- events ----

void TZnakyForm::setVisible(bool Viditelny)
{
    if (Viditelny && !isVisible())
        VycentrujNadHlavnimOknem(this);
    QDialog::setVisible(Viditelny);
}

// The columns are made for Tahoma 8 pt; with a wider font in its place, or a
// longer caption from a language file, a column grows to show its caption
// whole.
void TZnakyForm::PrizpusobSloupce()
{
    QHeaderView *hlavicka = livZnaky->header();
    const int okraj = hlavicka->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, hlavicka);
    for (const int sloupec : {0, 2}) {
        const QString titulek = livZnaky->headerItem()->text(sloupec);
        const int potreba = hlavicka->fontMetrics().horizontalAdvance(titulek) + 2 * okraj;
        livZnaky->setColumnWidth(sloupec, std::max(SirkaSloupce, potreba));
    }
}

void TZnakyForm::showEvent(QShowEvent *Udalost)
{
    PrizpusobSloupce();
    QDialog::showEvent(Udalost);
    if (!Udalost->spontaneous())
        Proved([this] { FormShow(this); });
}

void TZnakyForm::closeEvent(QCloseEvent *Udalost)
{
    // The window asks for no close box, but some window managers show one
    // anyway: its request is refused during a change, as Storno is disabled.
    if (!btnStorno->isEnabled()) {
        Udalost->ignore();
        return;
    }
    QDialog::closeEvent(Udalost);
}

void TZnakyForm::keyPressEvent(QKeyEvent *Udalost)
{
    // Esc closes only through an enabled Storno: during a change it does nothing.
    if (Udalost->matches(QKeySequence::Cancel) && !btnStorno->isEnabled()) {
        Udalost->accept();
        return;
    }
    // Without a default button, Enter presses the button that has the focus.
    const bool bEnter = Udalost->key() == Qt::Key_Return || Udalost->key() == Qt::Key_Enter;
    if (bEnter && (Udalost->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto *tlacitko = qobject_cast<QPushButton *>(focusWidget()); tlacitko && tlacitko->isEnabled()) {
            tlacitko->click();
            return;
        }
    }
    QDialog::keyPressEvent(Udalost);
}

bool TZnakyForm::eventFilter(QObject *Objekt, QEvent *Udalost)
{
    if (Objekt == edtZnakSeZnamenkem || Objekt == edtZnakBezZnamenka) {
        auto *pole = static_cast<QLineEdit *>(Objekt);
        switch (Udalost->type()) {
        case QEvent::FocusIn: Proved([&] { PrvekEnter(pole); }); break;
        case QEvent::FocusOut: {
            // Another window taking the focus (the picker, a message) does
            // not take it from the field.
            const Qt::FocusReason duvod = static_cast<QFocusEvent *>(Udalost)->reason();
            if (duvod != Qt::ActiveWindowFocusReason && duvod != Qt::PopupFocusReason)
                Proved([&] { PrvekExit(pole); });
            break;
        }
        case QEvent::KeyPress: {
            // The "..." buttons take no focus: F4, Enter or Space in a field
            // opens its picker.
            const auto *klavesa = static_cast<QKeyEvent *>(Udalost);
            const int k = klavesa->key();
            if ((klavesa->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
                (k == Qt::Key_F4 || k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space)) {
                Proved([&] { VyberZnak(pole); });
                return true;
            }
            break;
        }
        default: break;
        }
    } else if (Objekt == livZnaky->viewport() && Udalost->type() == QEvent::ToolTip) {
        auto *napoveda = static_cast<QHelpEvent *>(Udalost);
        QTreeWidgetItem *radek = livZnaky->itemAt(napoveda->pos());
        QString tip;
        Proved([&] { livZnakyInfoTip(livZnaky, radek, tip); });
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(napoveda->globalPos(), tip, livZnaky->viewport(), livZnaky->visualItemRect(radek));
        return true;
    }
    return QDialog::eventFilter(Objekt, Udalost);
}

// ---- helpers ----

void TZnakyForm::VyberZnak(QLineEdit *Pole)
{
    TASCIIForm *vyber = FVyber;
    if (!vyber)
        return;
    if (!Pole->text().isEmpty())
        vyber->Znak = Pole->text().at(0);
    if (SpustitVyber(vyber) != mrOk)
        return;
    // A picker never used gives U+0000, which leaves the field empty.
    Pole->setText(vyber->Znak.isNull() ? QString() : QString(vyber->Znak));
}

void TZnakyForm::PridejPar(const QString &SeZnamenkem, const QString &BezZnamenka)
{
    Retezce->PridatDoListView(livZnaky, SeZnamenkem, QStringLiteral("=;") + BezZnamenka + u';', -1);
    // A ";" would fall apart in the row text as a separator, leaving column 2
    // empty: the next OK would then store a shorter list and pair every later
    // character with the wrong partner. The row gets the character itself.
    QTreeWidgetItem *radek = livZnaky->topLevelItem(livZnaky->topLevelItemCount() - 1);
    if (radek->text(2) != BezZnamenka)
        radek->setText(2, BezZnamenka);
}

void TZnakyForm::NactiPary(const TTabulkaZnaku &Tabulka)
{
    livZnaky->clear();
    // A stored replacement list shorter than the marked one: a row without
    // a partner keeps its own character, so every row holds a character on
    // each side.
    for (qsizetype i = 0; i < Tabulka.SeZnamenkem.size(); ++i)
        PridejPar(Tabulka.SeZnamenkem.at(i), Tabulka.Nahrada(i));
    // A new list starts at its first row, not where the old one was scrolled to.
    livZnaky->scrollToTop();
}

void TZnakyForm::NastavUpravu(bool Uprava)
{
    bUprava = Uprava;
    bbtUpravit->setText(Uprava ? rsZMENIT : rsUPRAVIT);
    // During a change the selection cannot move and the dialog cannot close.
    for (QWidget *prvek :
         {static_cast<QWidget *>(bbtPridat), static_cast<QWidget *>(bbtSmazat), static_cast<QWidget *>(livZnaky),
          static_cast<QWidget *>(btnOK), static_cast<QWidget *>(btnStorno), static_cast<QWidget *>(sbtDefault)})
        prvek->setEnabled(!Uprava);
}

QTreeWidgetItem *TZnakyForm::VybranyRadek() const
{
    const QList<QTreeWidgetItem *> vybrane = livZnaky->selectedItems();
    return vybrane.isEmpty() ? nullptr : vybrane.first();
}
