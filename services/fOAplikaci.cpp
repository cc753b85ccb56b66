#include "fOAplikaci.h"

#include "Chyby.h"
#include "Komponenty.h"
#include "Okna.h"
#include "SoubUtility.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QWidgetItem>

const QString TOAplikaciForm::AdresaAutora = QStringLiteral("https://velor.example/lumarin");

namespace {

constexpr quint32 clMaroon = 0x000080;
constexpr quint32 clBlue = 0xFF0000;
constexpr quint32 clBtnFace = 0xFF00000F;

// The right edge of the right-aligned labels: the bevel's and the button's.
constexpr int PravyOkraj = 420;

QFont PismoFormulare()
{
    QFont pismo(QStringLiteral("Tahoma"));
    pismo.setStyleHint(QFont::SansSerif);
    pismo.setPixelSize(11);
    return pismo;
}

QFont Pismo(int Vyska, bool Tucne)
{
    QFont pismo = PismoFormulare();
    pismo.setPixelSize(Vyska);
    pismo.setBold(Tucne);
    return pismo;
}

// Places the form's labels at the size of their text, each anchored by its
// left edge or, right-aligned, by its right edge. A label whose text or font
// changes invalidates its parent's layout there and then, so this is where
// the labels follow their texts at once, even while the form is hidden; a
// layout request would reach a hidden form only when it is next shown.
class TVelikostPodleTextu : public QLayout {
public:
    explicit TVelikostPodleTextu(QWidget *Rodic) : QLayout(Rodic)
    {
        setSizeConstraint(QLayout::SetNoConstraint);
        setContentsMargins(0, 0, 0, 0);
    }
    ~TVelikostPodleTextu() override
    {
        for (const TPolozka &p : std::as_const(FPolozky))
            delete p.Polozka;
    }

    void Pridej(QLabel *Popisek, int X, int Y, bool Vpravo)
    {
        addChildWidget(Popisek);
        FPolozky.append({new QWidgetItem(Popisek), X, Y, Vpravo});
        Umisti();
    }

    void addItem(QLayoutItem *Polozka) override
    {
        const QRect r = Polozka->geometry();
        FPolozky.append({Polozka, r.x(), r.y(), false});
        invalidate();
    }
    QLayoutItem *itemAt(int Index) const override
    {
        return Index >= 0 && Index < FPolozky.size() ? FPolozky.at(Index).Polozka : nullptr;
    }
    QLayoutItem *takeAt(int Index) override
    {
        if (Index < 0 || Index >= FPolozky.size())
            return nullptr;
        QLayoutItem *polozka = FPolozky.takeAt(Index).Polozka;
        invalidate();
        return polozka;
    }
    int count() const override { return int(FPolozky.size()); }
    QSize sizeHint() const override { return parentWidget() ? parentWidget()->size() : QSize(); }
    void setGeometry(const QRect &Obdelnik) override
    {
        QLayout::setGeometry(Obdelnik);
        Umisti();
    }
    void invalidate() override
    {
        QLayout::invalidate();
        Umisti();
    }

private:
    struct TPolozka {
        QLayoutItem *Polozka;
        int X;
        int Y;
        bool Vpravo;
    };

    void Umisti()
    {
        for (const TPolozka &p : std::as_const(FPolozky)) {
            QWidget *w = p.Polozka->widget();
            if (!w)
                continue;
            const QSize s = w->sizeHint();
            w->setGeometry(p.Vpravo ? p.X - s.width() : p.X, p.Y, s.width(), s.height());
        }
    }

    QList<TPolozka> FPolozky;
};

template <typename T> T *Pridej(QList<QObject *> &Komponenty, T *Komponenta, const char *Jmeno, int Tag)
{
    Komponenta->setObjectName(QLatin1String(Jmeno));
    NastavTag(Komponenta, Tag);
    Komponenty.append(Komponenta);
    return Komponenta;
}

} // namespace

TOAplikaciForm::TOAplikaciForm(QWidget *Vlastnik) : QDialog(Vlastnik)
{
    setObjectName(QStringLiteral("OAplikaciForm"));
    NastavTag(this, -1);
    setWindowTitle(QStringLiteral("O aplikaci"));
    // A tool window with a close box and nothing else.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    BezMinimalizace(this);
    setFont(PismoFormulare());
    setFixedSize(428, 198);
    // On the button face the toolkit would draw text in the button-text
    // colour; the labels and the frame keep their own (window-text) colour.
    setBackgroundRole(RoleSystemoveBarvy(clBtnFace & 0xFFu, QPalette::Window));
    setAutoFillBackground(true);

    auto *popisky = new TVelikostPodleTextu(this);
    const auto popisek = [&](const char *Jmeno, const QString &Text, int Tag, const QFont &Pismo, quint32 Barva, int X,
                             int Y, bool Vpravo) {
        auto *l = Pridej(Komponenty, new QLabel(Text, this), Jmeno, Tag);
        l->setForegroundRole(QPalette::WindowText);
        l->setTextFormat(Qt::PlainText);
        l->setFont(Pismo);
        if (Barva != clWindowText)
            NastavBarvuPisma(l, Barva);
        if (Vpravo)
            l->setAlignment(Qt::AlignRight | Qt::AlignTop);
        popisky->Pridej(l, X, Y, Vpravo);
        return l;
    };

    // Created first, so that the label it frames is drawn above it.
    Shape1 = Pridej(Komponenty, new QFrame(this), "Shape1", 0);
    Shape1->setGeometry(88, 87, 249, 33);
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1->setLineWidth(1);
    Shape1->setForegroundRole(QPalette::WindowText);
    NastavBarvuPisma(Shape1, clGreen);

    Label1 = popisek("Label1", QStringLiteral("Lumarin 3"), 0, Pismo(27, true), clMaroon, 8, 8, false);
    lblPopis = popisek("lblPopis", QStringLiteral("Odstranění diakritických znamének"), -1, Pismo(13, true),
                       clWindowText, PravyOkraj, 55, true);
    lblVerze = popisek("lblVerze", QString(), 0, Pismo(11, true), clMaroon, PravyOkraj, 24, true);

    // A line along the top of its box only: shadow above, highlight below.
    Bevel1 = Pridej(Komponenty, new QFrame(this), "Bevel1", 0);
    Bevel1->setGeometry(8, 72, 412, 9);
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setLineWidth(1);
    Bevel1->setMidLineWidth(0);
    Bevel1->setFrameRect(QRect(0, 0, Bevel1->width(), 2));

    Label3 = popisek("Label3", QStringLiteral("FREEWARE"), 0, Pismo(16, true), clGreen, 168, 95, false);
    // The same notice as the version block's LegalCopyright.
    Label4 = popisek("Label4", QStringLiteral("Copyright © VELOR"), 0, PismoFormulare(), clWindowText, 8, 136, false);
    QFont odkaz = PismoFormulare();
    odkaz.setUnderline(true);
    Label5 = popisek("Label5", AdresaAutora, 0, odkaz, clBlue, PravyOkraj, 136, true);
    Label5->setCursor(Qt::PointingHandCursor);
    Label5->installEventFilter(this);

    btnZavrit = Pridej(Komponenty, new QPushButton(QStringLiteral("Zavřít"), this), "btnZavrit", -1);
    btnZavrit->setGeometry(345, 166, 75, 25);
    // Enter presses it as the default button and Esc rejects the dialog, so
    // every way out ends with Cancel.
    btnZavrit->setDefault(true);
    btnZavrit->setFocus();
    connect(btnZavrit, &QPushButton::clicked, this, &QDialog::reject);

    OtevritAdresu = [](const QUrl &Adresa) { return QDesktopServices::openUrl(Adresa); };

    Proved([this] { FormCreate(this); });
}

void TOAplikaciForm::FormCreate(QObject *)
{
    lblVerze->setText(SouboroveInfo ? SouboroveInfo->Verze(QCoreApplication::applicationFilePath(), vtOprava)
                                    : QString());
}

void TOAplikaciForm::Label5Click(QObject *)
{
    // The desktop gives no reason when it cannot open an address; a beep at
    // least says that nothing will come.
    if (!OtevritAdresu || !OtevritAdresu(QUrl(AdresaAutora)))
        QApplication::beep();
}

bool TOAplikaciForm::eventFilter(QObject *Objekt, QEvent *Udalost)
{
    // A click: the left button released over the label it was pressed on.
    if (Objekt == Label5 && Udalost->type() == QEvent::MouseButtonRelease) {
        const auto *mys = static_cast<QMouseEvent *>(Udalost);
        if (mys->button() == Qt::LeftButton && Label5->rect().contains(mys->position().toPoint())) {
            Proved([this] { Label5Click(Label5); });
            return true;
        }
    }
    return QDialog::eventFilter(Objekt, Udalost);
}
