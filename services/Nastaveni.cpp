#include "Nastaveni.h"

#include "Komponenty.h"
#include "Registr.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QLocale>
#include <QPalette>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtEndian>
#include <bit>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <new>

namespace {
// <windows.h> turns the names of the roots into its own macros.
constexpr quint32 PrvniKoren = HKEY_CLASSES_ROOT, PosledniKoren = HKEY_DYN_DATA;
} // namespace

#ifdef Q_OS_WIN
// Komponenty.h has a MulDiv of its own; the system's is not used here.
#define MulDiv MulDiv_Windows
#include <windows.h>
#include <shlobj.h>
#undef MulDiv
#endif

TNastaveni *Nastaveni = nullptr;

TFormatoveNastaveni &FormatoveNastaveni()
{
    static TFormatoveNastaveni nastaveni{QLocale::system().decimalPoint() == QStringLiteral(",") ? QChar(u',')
                                                                                                 : QChar(u'.')};
    return nastaveni;
}

namespace {

// ---- colours ----

// Sets the roles of Prvek to Barva in the colour groups Skupiny. A system
// colour is taken from the palette the widget's class has by default, so that
// "the window background" restores the edit's own background.
void NastavBarvu(QWidget *Prvek, std::initializer_list<QPalette::ColorRole> Role, quint32 Barva,
                 std::initializer_list<QPalette::ColorGroup> Skupiny)
{
    const QPalette vychozi = QApplication::palette(Prvek);
    QPalette paleta = Prvek->palette();
    for (const QPalette::ColorRole role : Role)
        for (const QPalette::ColorGroup skupina : Skupiny)
            paleta.setColor(skupina, role, BarvaZHodnoty(Barva, vychozi, skupina, role));
    Prvek->setPalette(paleta);
}

// Disabled text keeps the style's grey; a background stays in every state.
constexpr std::initializer_list<QPalette::ColorGroup> SkupinyTextu = {QPalette::Active, QPalette::Inactive};
constexpr std::initializer_list<QPalette::ColorGroup> SkupinyPozadi = {QPalette::Active, QPalette::Inactive,
                                                                       QPalette::Disabled};

// The edit-like controls, each kind tested on its own. Qt's classes for them
// do not derive from one another, so at most one kind applies:
// - QLineEdit: the single-line edit, the masked edit (an input mask), the
//   validating edit (a validator) and the enhanced edit. The enhanced edit
//   adds nothing QLineEdit lacks (placeholder text, clipboard commands), so it
//   has no class of its own; it used to keep its font colour only because it
//   did not derive from the single-line edit, and as a QLineEdit it takes both.
// - QComboBox: the combo box and the combo box with images. A combo box that
//   cannot be edited paints its face with the button roles, its list with the
//   base roles.
// - QAbstractSpinBox: the spin edits and the calculator edit.
// - QPlainTextEdit and QTextEdit: the memo.
void Obarvi(QObject *Objekt, quint32 Barva, bool bPozadi)
{
    const auto nastav = [&](QWidget *prvek, std::initializer_list<QPalette::ColorRole> text,
                            std::initializer_list<QPalette::ColorRole> pozadi) {
        if (bPozadi)
            NastavBarvu(prvek, pozadi, Barva, SkupinyPozadi);
        else
            NastavBarvu(prvek, text, Barva, SkupinyTextu);
    };
    if (auto *edit = qobject_cast<QLineEdit *>(Objekt))
        nastav(edit, {QPalette::Text}, {QPalette::Base});
    if (auto *combo = qobject_cast<QComboBox *>(Objekt))
        nastav(combo, {QPalette::Text, QPalette::ButtonText}, {QPalette::Base, QPalette::Button});
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(Objekt))
        nastav(spin, {QPalette::Text}, {QPalette::Base});
    if (auto *memo = qobject_cast<QPlainTextEdit *>(Objekt))
        nastav(memo, {QPalette::Text}, {QPalette::Base});
    if (auto *memo = qobject_cast<QTextEdit *>(Objekt))
        nastav(memo, {QPalette::Text}, {QPalette::Base});
}

// ---- key filters ----

TNastaveni::TPipnuti &Pipnuti()
{
    static TNastaveni::TPipnuti pipnuti;
    return pipnuti;
}

void Odmitni(QChar &Klavesa)
{
    Klavesa = QChar(u'\0');
    if (Pipnuti())
        Pipnuti()();
    else
        QApplication::beep();
}

constexpr char16_t Backspace = 8;

// Sets hold only characters up to 255; a character above is in none of them,
// whatever its low byte.
bool VMnozine(QChar Znak, QStringView Mnozina)
{
    return Znak.unicode() <= 255 && Mnozina.contains(Znak);
}

// A typed "." or "," becomes the decimal separator.
QChar Oddelovac(QChar &Klavesa)
{
    const QChar d = FormatoveNastaveni().DesetinnyOddelovac;
    if ((d == u'.' && Klavesa == u',') || (d == u',' && Klavesa == u'.'))
        Klavesa = d;
    return d;
}

QString Text(const QLineEdit *Edit)
{
    return Edit ? Edit->text() : QString();
}

// A second separator only replaces selected text.
bool DruhyOddelovac(const QLineEdit *Edit, QChar Klavesa, QChar D)
{
    return Klavesa == D && (!Edit || Edit->selectionLength() <= 0) && Text(Edit).contains(D);
}

// ---- the store ----

QByteArray BajtyData(TDate Datum)
{
    QByteArray bajty(sizeof(quint64), Qt::Uninitialized);
    qToLittleEndian(std::bit_cast<quint64>(Datum), bajty.data());
    return bajty;
}

// A date is exactly eight bytes of REG_BINARY. Whatever else the value holds
// fails as the registry fails: data of another type with the type's own
// error, data larger than a date before its type is looked at.
TDate DatumZeRegistru(const TRegistr &Registr, const QString &Jmeno)
{
    switch (Registr.TypHodnoty(Jmeno)) {
    case rdBinarni: {
        const QByteArray bajty = Registr.CtiBinarni(Jmeno);
        if (bajty.size() > qsizetype(sizeof(TDate)))
            throw ERegistr(QStringLiteral("Failed to get data for '%1'").arg(Jmeno));
        if (bajty.size() < qsizetype(sizeof(TDate)))
            throw ERegistr(QStringLiteral("Invalid data type for '%1'").arg(Jmeno));
        return std::bit_cast<TDate>(qFromLittleEndian<quint64>(bajty.constData()));
    }
    case rdRetezec:
    case rdRozsirenyRetezec:
        if ((Registr.CtiRetezec(Jmeno).size() + 1) * 2 > qsizetype(sizeof(TDate)))
            throw ERegistr(QStringLiteral("Failed to get data for '%1'").arg(Jmeno));
        break;
    default: break;
    }
    Registr.CtiBinarni(Jmeno); // throws the store's own error for the type
    throw ERegistr(QStringLiteral("Invalid data type for '%1'").arg(Jmeno));
}

// The accessor of a string list: full access, on the given root when it is a
// predefined one, else on the current user's.
std::unique_ptr<TRegistr> RegistrSeznamu(quint32 Koren)
{
    auto registr = std::make_unique<TRegistr>(KEY_ALL_ACCESS);
    if (Koren >= PrvniKoren && Koren <= PosledniKoren)
        registr->NastavKoren(Koren);
    return registr;
}

// ---- list view ----

// Stops the list view's painting for as long as it lives, and gives back the
// state it found: painting stopped by the caller stays stopped.
class TBezPrekreslovani {
public:
    explicit TBezPrekreslovani(QWidget *Prvek)
        : FPrvek(Prvek),
          bZastaveno(Prvek->testAttribute(Qt::WA_ForceUpdatesDisabled))
    {
        FPrvek->setUpdatesEnabled(false);
    }
    ~TBezPrekreslovani() { FPrvek->setUpdatesEnabled(!bZastaveno); }
    TBezPrekreslovani(const TBezPrekreslovani &) = delete;
    TBezPrekreslovani &operator=(const TBezPrekreslovani &) = delete;

private:
    QWidget *FPrvek;
    bool bZastaveno;
};

// ---- system folders ----

#ifdef Q_OS_WIN
QString SlozkaWindows(quint8 TypSlozky)
{
    // The shell's special folders of kinds 3 to 32, by their CSIDL.
    static constexpr int csidl[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09,
                                    0x0A, 0x0B, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17,
                                    0x18, 0x19, 0x1A, 0x1B, 0x1D, 0x1E, 0x1F, 0x20, 0x21, 0x22};
    wchar_t buffer[MAX_PATH + 1] = {};
    switch (TypSlozky) {
    case 0: GetTempPathW(MAX_PATH + 1, buffer); break;
    case 1: GetSystemDirectoryW(buffer, MAX_PATH + 1); break;
    case 2: GetWindowsDirectoryW(buffer, MAX_PATH + 1); break;
    default: {
        if (TypSlozky - 3u >= std::size(csidl))
            return {};
        PIDLIST_ABSOLUTE polozka = nullptr;
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl[TypSlozky - 3], &polozka)) && polozka) {
            // Virtual folders (printers, recycle bin) have no path: the buffer
            // stays empty. Some shells (Wine's) give such a folder's parsing
            // name "::{CLSID}" instead, which is no path either.
            if (!SHGetPathFromIDListW(polozka, buffer) || buffer[0] == L':')
                buffer[0] = 0;
            CoTaskMemFree(polozka);
        }
        break;
    }
    }
    buffer[MAX_PATH] = 0;
    return QString::fromWCharArray(buffer);
}
#else
// The folders that have a real counterpart here; the system and Windows
// folders, the shell's virtual folders and those of a browser, the start
// menu's and all users' folders have none.
QString SlozkaJinde(quint8 TypSlozky)
{
    const auto misto = [](QStandardPaths::StandardLocation Misto) { return QStandardPaths::writableLocation(Misto); };
    switch (TypSlozky) {
    case 0: {
        QString docasna = QDir::toNativeSeparators(QDir::tempPath());
        if (!docasna.endsWith(QDir::separator()))
            docasna += QDir::separator();
        return docasna;
    }
    case 3:  // CSIDL_DESKTOP
    case 15: // CSIDL_DESKTOPDIRECTORY
        return misto(QStandardPaths::DesktopLocation);
    case 5: // CSIDL_PROGRAMS: the user's menu entries
        return misto(QStandardPaths::ApplicationsLocation);
    case 8: // CSIDL_PERSONAL
        return misto(QStandardPaths::DocumentsLocation);
#if !defined(Q_OS_DARWIN)
    case 10: { // CSIDL_STARTUP: what the desktop starts at login
        const QString nastaveni = misto(QStandardPaths::GenericConfigLocation);
        return nastaveni.isEmpty() ? QString() : nastaveni + QStringLiteral("/autostart");
    }
#endif
    case 19: // CSIDL_FONTS
        return misto(QStandardPaths::FontsLocation);
    case 20: // CSIDL_TEMPLATES
        return misto(QStandardPaths::TemplatesLocation);
    case 25: // CSIDL_APPDATA: every program's data
        return misto(QStandardPaths::GenericDataLocation);
    default: return {};
    }
}
#endif

} // namespace

// ---- colours ----

void TNastaveni::BarvaTextu(QObject *Objekt, quint32 Barva) const
{
    Obarvi(Objekt, Barva, false);
}

void TNastaveni::BarvaPozadi(QObject *Objekt, quint32 Barva) const
{
    Obarvi(Objekt, Barva, true);
}

// ---- key filters ----

void TNastaveni::NastavPipnuti(TPipnuti NovePipnuti)
{
    Pipnuti() = std::move(NovePipnuti);
}

void TNastaveni::StiskKlavesyReal(const QLineEdit *Edit, QChar &Klavesa, bool Znamenko) const
{
    const QChar d = Oddelovac(Klavesa);
    const bool bPovolena = Klavesa == Backspace || VMnozine(Klavesa, u"0123456789") ||
        VMnozine(Klavesa, QStringView(&d, 1)) || (Znamenko && Klavesa == u'-');
    if (!bPovolena || DruhyOddelovac(Edit, Klavesa, d) || (Znamenko && Klavesa == u'-' && Text(Edit).contains(u'-')))
        Odmitni(Klavesa);
}

void TNastaveni::StiskKlavesyRealVeda(const QLineEdit *Edit, QChar &Klavesa) const
{
    const QChar d = Oddelovac(Klavesa);
    const bool bPovolena =
        Klavesa == Backspace || VMnozine(Klavesa, u"-0123456789E") || VMnozine(Klavesa, QStringView(&d, 1));
    if (!bPovolena || DruhyOddelovac(Edit, Klavesa, d))
        Odmitni(Klavesa);
}

void TNastaveni::StiskKlavesySoubor(const QLineEdit *, QChar &Klavesa) const
{
    if (VMnozine(Klavesa, u"\"*/:<>?\\|"))
        Odmitni(Klavesa);
}

void TNastaveni::StiskKlavesyRimsky(const QLineEdit *, QChar &Klavesa) const
{
    if (Klavesa != Backspace && !VMnozine(Klavesa, u"CDILMVXcdilmvx"))
        Odmitni(Klavesa);
}

// ---- the store ----

void TNastaveni::StringListDoRegistru(quint32 Koren, const QString &Klic, const QStringList &Retezce) const
{
    const auto registr = RegistrSeznamu(Koren);
    registr->SmazKlic(Klic); // a key that is not there is what is wanted
    if (!registr->OtevriKlic(Klic, true))
        return;
    for (qsizetype i = 0; i < Retezce.size(); ++i)
        registr->ZapisRetezec(QString::number(i), Retezce[i]);
}

void TNastaveni::StringListZeRegistru(quint32 Koren, const QString &Klic, QStringList &Retezce) const
{
    const auto registr = RegistrSeznamu(Koren);
    if (!registr->OtevriKlic(Klic, true))
        return;
    const int pocet = registr->PocetHodnot();
    QStringList nove;
    for (int i = 0; i < pocet; ++i)
        nove << registr->CtiRetezec(QString::number(i));
    // A value of the wrong type stops the reading before the list has changed.
    Retezce << nove;
}

bool TNastaveni::HodnotaDoRegistru(quint32 Koren, const QString &Klic, const QString &Polozka,
                                   const QString &Hodnota) const
{
    TRegistr registr(KEY_ALL_ACCESS);
    registr.NastavKoren(Koren);
    if (!registr.OtevriKlic(Klic, true))
        return false;
    registr.ZapisRetezec(Polozka, Hodnota);
    return true;
}

bool TNastaveni::HodnotaDoRegistru(quint32 Koren, const QString &Klic, const QString &Polozka, TDate Hodnota) const
{
    TRegistr registr(KEY_ALL_ACCESS);
    registr.NastavKoren(Koren);
    if (!registr.OtevriKlic(Klic, true))
        return false;
    registr.ZapisBinarni(Polozka, BajtyData(Hodnota));
    return true;
}

QString TNastaveni::HodnotaZeRegistru(quint32 Koren, const QString &Klic, const QString &Polozka,
                                      const QString &Hodnota) const
{
    TRegistr registr(KEY_READ);
    registr.NastavKoren(Koren);
    registr.OtevriKlic(Klic, false); // a key that cannot be opened has no values
    return registr.ExistujeHodnota(Polozka) ? registr.CtiRetezec(Polozka) : Hodnota;
}

TDate TNastaveni::HodnotaZeRegistru(quint32 Koren, const QString &Klic, const QString &Polozka, TDate Hodnota) const
{
    TRegistr registr(KEY_READ);
    registr.NastavKoren(Koren);
    registr.OtevriKlic(Klic, false); // a key that cannot be opened has no values
    return registr.ExistujeHodnota(Polozka) ? DatumZeRegistru(registr, Polozka) : Hodnota;
}

// ---- list view ----

bool TNastaveni::PresunPolozkyListView(QTreeWidget *ListView, quint16 Odkud, quint16 Kam) const
{
    if (!ListView)
        return false;
    TBezPrekreslovani bezPrekreslovani(ListView);
    try {
        QTreeWidgetItem *stara = ListView->topLevelItem(Odkud);
        // Checked before anything changes: a failed move leaves the list as it was.
        if (!stara || Kam > ListView->topLevelItemCount())
            return false;
        const bool bAktualni = ListView->currentItem() == stara;
        QTreeWidgetItem *nova = stara->clone(); // every column and role, the flags, the items below it
        ListView->insertTopLevelItem(Kam, nova);
        delete ListView->takeTopLevelItem(ListView->indexOfTopLevelItem(stara));
        if (ListView->selectionMode() == QAbstractItemView::SingleSelection)
            ListView->clearSelection();
        nova->setSelected(true);
        if (bAktualni)
            ListView->setCurrentItem(nova, 0, QItemSelectionModel::NoUpdate);
        return true;
    } catch (const std::bad_alloc &) {
        return false;
    }
}

// ---- system folders ----

QString TNastaveni::SystemovaSlozka(quint8 TypSlozky) const
{
    if (TypSlozky > 32)
        return {};
#ifdef Q_OS_WIN
    return SlozkaWindows(TypSlozky);
#else
    return SlozkaJinde(TypSlozky);
#endif
}
