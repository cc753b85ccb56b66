#include "Hlaseni.h"

#include "Komponenty.h"
#include "Okna.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <memory>

THlaseni *Hlaseni = nullptr;

namespace {

THlaseni::TPrezenter &Prezenter()
{
    static THlaseni::TPrezenter prezenter;
    return prezenter;
}

// The run-time input form. Without a cancelling button, Esc does not close it;
// the caption bar's close box still does (and counts as cancelling).
class TVstupniForm : public QDialog {
public:
    using QDialog::QDialog;
    bool bZrusitelny = true;

protected:
    void keyPressEvent(QKeyEvent *Udalost) override
    {
        if (!bZrusitelny && Udalost->key() == Qt::Key_Escape && Udalost->modifiers() == Qt::NoModifier) {
            Udalost->accept();
            return;
        }
        QDialog::keyPressEvent(Udalost);
    }
};

} // namespace

void THlaseni::NastavPrezenter(TPrezenter NovyPrezenter)
{
    Prezenter() = std::move(NovyPrezenter);
}

int THlaseni::Zobraz(const QString &Text, const QString &Nadpis, int Priznaky)
{
    if (Prezenter())
        return Prezenter()(Text, Nadpis, Priznaky);
    return MessageBox(Text, Nadpis, Priznaky);
}

int THlaseni::PriznakyDruhu(TTypDialogu TypDialogu, int Priznaky)
{
    switch (TypDialogu) {
    case tdChyba: return Priznaky | MB_ICONHAND;
    case tdVarovani: return Priznaky | MB_ICONEXCLAMATION;
    case tdInformace: return Priznaky | MB_ICONASTERISK;
    case tdPotvrzeni: return Priznaky != 0 ? Priznaky : (MB_YESNO | MB_ICONQUESTION);
    }
    return -1;
}

int THlaseni::Dialog(const QString &Text, const QString &Nadpis, int Priznaky)
{
    return Zobraz(Text, Nadpis, Priznaky);
}

int THlaseni::Dialog(TTypDialogu TypDialogu, const QString &Text, const QString &Nadpis, int Priznaky)
{
    const int priznaky = PriznakyDruhu(TypDialogu, Priznaky);
    if (priznaky == -1)
        return 0;
    return Zobraz(Text, Nadpis, priznaky);
}

int THlaseni::MessageBox(const QString &Text, const QString &Nadpis, int Priznaky)
{
    QMessageBox box(QApplication::activeWindow());
    BezMinimalizace(&box);
    box.setWindowTitle(Nadpis);
    QString text = Text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    box.setText(text);
    box.setTextFormat(Qt::PlainText);

    switch (Priznaky & 0xF0) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONASTERISK: box.setIcon(QMessageBox::Information); break;
    default: break;
    }

    struct TTlacitko {
        QMessageBox::StandardButton Standardni;
        int Id;
    };
    QList<TTlacitko> tlacitka;
    switch (Priznaky & 0x0F) {
    case MB_OKCANCEL: tlacitka = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
        tlacitka = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
        break;
    case MB_YESNOCANCEL:
        tlacitka = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO: tlacitka = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
    case MB_RETRYCANCEL: tlacitka = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_CANCELTRYCONTINUE:
        tlacitka = {
            {QMessageBox::Cancel, IDCANCEL}, {QMessageBox::Retry, IDTRYAGAIN}, {QMessageBox::Ignore, IDCONTINUE}};
        break;
    default: tlacitka = {{QMessageBox::Ok, IDOK}}; break;
    }
    for (const TTlacitko &t : tlacitka)
        box.addButton(t.Standardni);
    const int vychozi = (Priznaky >> 8) & 0x0F;
    if (vychozi < tlacitka.size())
        box.setDefaultButton(tlacitka[vychozi].Standardni);
    // Esc and the close box give Cancel where there is one; a lone OK answers
    // them too.
    if (tlacitka.size() == 1)
        box.setEscapeButton(tlacitka.front().Standardni);
    else
        for (const TTlacitko &t : tlacitka)
            if (t.Id == IDCANCEL)
                box.setEscapeButton(t.Standardni);

    box.exec();
    const QMessageBox::StandardButton stisknute = box.standardButton(box.clickedButton());
    for (const TTlacitko &t : tlacitka)
        if (t.Standardni == stisknute)
            return t.Id;
    return IDCANCEL;
}

void THlaseni::PrumernaVelikostZnaku(const QFontMetrics &Metriky, QSize &Velikost)
{
    static const QString pismena = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    Velikost.setWidth(Metriky.horizontalAdvance(pismena) / 52);
    Velikost.setHeight(Metriky.height());
}

QWidget *THlaseni::HlavniOkno()
{
    for (QWidget *okno : QApplication::topLevelWidgets())
        if (okno->objectName() == QLatin1String("HlavniForm"))
            return okno;
    return nullptr;
}

bool THlaseni::VstupniDialog(const QString &Nadpis, const QString &Popisek, const QString &BtnOK, const QString &BtnX,
                             QString &Value)
{
    return SpustVstup(Nadpis, Popisek, BtnOK, &BtnX, Value);
}

bool THlaseni::EditDialog(const QString &Nadpis, const QString &Popisek, const QString &BtnOK, QString &Value)
{
    return SpustVstup(Nadpis, Popisek, BtnOK, nullptr, Value);
}

bool THlaseni::SpustVstup(const QString &Nadpis, const QString &Popisek, const QString &BtnOK, const QString *BtnX,
                          QString &Value)
{
    // Centred over the program's main window, whatever window is active.
    QWidget *vlastnik = HlavniOkno();
    if (!vlastnik)
        vlastnik = QApplication::activeWindow();
    // Owned here, so the form and its controls go also when an error passes.
    auto form = std::make_unique<TVstupniForm>(vlastnik, Qt::Dialog | Qt::Tool | Qt::MSWindowsFixedSizeDialogHint);
    form->setObjectName(QStringLiteral("VstupniForm"));
    BezMinimalizace(form.get());
    form->setWindowTitle(Nadpis);
    form->bZrusitelny = BtnX != nullptr;

    QSize znak;
    PrumernaVelikostZnaku(QFontMetrics(form->font()), znak);
    const int cx = znak.width();
    const int cy = znak.height();
    const int sirka = MulDiv(180, cx, 4);

    auto *popisek = new QLabel(Popisek, form.get());
    popisek->setObjectName(QStringLiteral("lblPopisek"));
    popisek->setWordWrap(true);
    const int sirkaPopisku = MulDiv(164, cx, 4);
    const int jedenRadek = popisek->fontMetrics().horizontalAdvance(Popisek);
    const int sirkaLabelu = std::min(sirkaPopisku, std::max(jedenRadek, 1));
    popisek->setGeometry(MulDiv(8, cx, 4), MulDiv(8, cy, 8), sirkaLabelu, popisek->heightForWidth(sirkaLabelu));

    auto *edit = new QLineEdit(form.get());
    edit->setObjectName(QStringLiteral("edtHodnota"));
    // At most 255 characters can be typed; a longer starting value is kept whole.
    edit->setMaxLength(std::max<int>(255, int(Value.size())));
    edit->setText(Value);
    edit->selectAll();
    edit->setGeometry(popisek->x(), popisek->geometry().bottom() + 1 + 5, sirkaPopisku, edit->sizeHint().height());

    const int sirkaTlacitka = MulDiv(50, cx, 4);
    const int vyskaTlacitka = MulDiv(14, cy, 8);
    const int horniTlacitek = edit->geometry().bottom() + 1 + 15;
    auto *ok = new QPushButton(BtnOK, form.get());
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, form.get(), &QDialog::accept);
    ok->setGeometry(MulDiv(BtnX ? 38 : 65, cx, 4), horniTlacitek, sirkaTlacitka, vyskaTlacitka);
    if (BtnX) {
        auto *zrusit = new QPushButton(*BtnX, form.get());
        zrusit->setObjectName(QStringLiteral("btnX"));
        QObject::connect(zrusit, &QPushButton::clicked, form.get(), &QDialog::reject);
        zrusit->setGeometry(MulDiv(92, cx, 4), horniTlacitek, sirkaTlacitka, vyskaTlacitka);
    }
    form->setFixedSize(sirka, horniTlacitek + vyskaTlacitka + 13);

    // Centred over the owner, or on the screen when there is none.
    const QRect nad = vlastnik
        ? vlastnik->frameGeometry()
        : (QApplication::primaryScreen() ? QApplication::primaryScreen()->availableGeometry() : QRect());
    if (nad.isValid())
        form->move(nad.center() - QPoint(form->width() / 2, form->height() / 2));

    edit->setFocus();
    if (ModalniVysledek(form->exec()) != mrOk)
        return false;
    Value = edit->text();
    return true;
}
