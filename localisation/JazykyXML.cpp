#include "JazykyXML.h"

#include "Chyba.h"
#include "Komponenty.h"
#include "Retezce.h"

#include <QAction>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QSet>
#include <QToolButton>
#include <QTreeWidget>

TJazykXML *JazykXML = nullptr;

QDomElement TJazykXML::Koren() const
{
    if (!FDokument)
        throw EChyba(QStringLiteral("No language document is loaded"));
    return FDokument->DokumentovyPrvek();
}

QString TJazykXML::Retezec(const QString &Formular, const QString &Objekt, const QString &Zakladni)
{
    if (PriHledani)
        PriHledani(Formular, Objekt, Zakladni);
    FJazykUzel = Potomek(Potomek(Koren(), Formular), Objekt);
    const QString text = TextUzlu(Potomek(FJazykUzel, FJazyk));
    return text.isEmpty() ? Zakladni : text;
}

QString TJazykXML::TextNeboOtaznik(const QString &Jmeno) const
{
    const QString text = TextUzlu(Potomek(Koren(), Jmeno));
    return text.isEmpty() ? QStringLiteral("?") : text;
}

QString TJazykXML::AutorJazyka() const
{
    return TextNeboOtaznik(QStringLiteral("AUTOR"));
}

QString TJazykXML::VerzeJazyka() const
{
    return TextNeboOtaznik(QStringLiteral("VERZE"));
}

int TJazykXML::IndexJazyka() const
{
    const QDomElement jazyk = Potomek(Potomek(Koren(), QStringLiteral("JAZYKY")), FJazyk);
    if (jazyk.isNull())
        throw EChyba(QStringLiteral("The language file does not list the language \"%1\"").arg(FJazyk));
    const QString index = AtributUzlu(jazyk, QStringLiteral("index"));
    if (index.isNull())
        throw EChyba(QStringLiteral("The language \"%1\" has no flag index").arg(FJazyk));
    bool bCislo = false;
    const int cislo = index.toInt(&bCislo, 10);
    if (!bCislo)
        throw EChyba(
            QStringLiteral("The flag index \"%1\" of the language \"%2\" is not a whole number").arg(index, FJazyk));
    return cislo >= 0 ? cislo : -1;
}

// ---- the texts of one application ----

namespace {

// A tool button of a form with a picture shows the caption that a language
// gives it beside the picture, and grows to the right to hold it; without a
// caption it shows the picture alone, at the width it was made with. A button
// of an action is left to its toolbar.
void UkazTitulek(QToolButton *Tlacitko)
{
    if (Tlacitko->defaultAction() || Tlacitko->icon().isNull())
        return;
    const char *const navrzena = "LumarinNavrzenaSirka";
    if (!Tlacitko->property(navrzena).isValid())
        Tlacitko->setProperty(navrzena, Tlacitko->width());
    const int sirka = Tlacitko->property(navrzena).toInt();
    if (Tlacitko->text().isEmpty()) {
        Tlacitko->setToolButtonStyle(Qt::ToolButtonIconOnly);
        Tlacitko->resize(sirka, Tlacitko->height());
    } else {
        Tlacitko->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        Tlacitko->resize(std::max(sirka, Tlacitko->sizeHint().width()), Tlacitko->height());
    }
}

} // namespace

QString TNoveTexty::Text(const TMisto &Misto) const
{
    const auto i = FPoradi.find(TKlic(Misto.Objekt, Misto.Co, Misto.Pozice, Misto.Pozice2));
    return i != FPoradi.end() ? FZmeny[i->second].Text : Misto.Cti();
}

void TNoveTexty::Nastav(const TMisto &Misto, const QString &Text)
{
    const auto [i, bNove] =
        FPoradi.try_emplace(TKlic(Misto.Objekt, Misto.Co, Misto.Pozice, Misto.Pozice2), FZmeny.size());
    if (bNove)
        FZmeny.push_back({Text, Misto.Nastav, {}});
    else
        FZmeny[i->second].Text = Text;
}

void TNoveTexty::Pridej(std::function<void()> Krok)
{
    FZmeny.push_back({{}, {}, std::move(Krok)});
}

void TNoveTexty::Proved()
{
    for (const TZmena &z : FZmeny) {
        if (z.Krok)
            z.Krok();
        else
            z.Nastav(z.Text);
    }
    FZmeny.clear();
    FPoradi.clear();
}

TNoveTexty::TMisto MistoVlastnosti(QObject *Objekt, const char *Vlastnost)
{
    return {Objekt,
            Vlastnost,
            0,
            0,
            [Objekt, Vlastnost] { return Objekt->property(Vlastnost).toString(); },
            [Objekt, Vlastnost](const QString &Text) { Objekt->setProperty(Vlastnost, Text); }};
}

TNoveTexty::TMisto MistoHintu(QObject *Objekt)
{
    return {Objekt,
            "hint",
            0,
            0,
            [Objekt] { return Hint(Objekt); },
            [Objekt](const QString &Text) { NastavHint(Objekt, Text); }};
}

TNoveTexty::TMisto MistoRetezce(QString *Retezec)
{
    return {Retezec, {}, 0, 0, [Retezec] { return *Retezec; }, [Retezec](const QString &Text) { *Retezec = Text; }};
}

// ---- relabelling a form ----

namespace {

bool ZobrazujeHint(const QObject *Komponenta)
{
    const QVariant showHint = Komponenta->property("ShowHint");
    return !showHint.isValid() || showHint.toBool();
}

// A hint without the "|" that an earlier pass put before or after it: the
// text that its lookup falls back to, so that a hint the file does not
// translate keeps one separator however often the language is applied.
QString BezKrajnihoOddelovace(QString Hint, bool bNaZacatku, bool bNaKonci)
{
    if (bNaZacatku && Hint.startsWith(u'|'))
        Hint.remove(0, 1);
    if (bNaKonci && Hint.endsWith(u'|'))
        Hint.chop(1);
    return Hint;
}

// The tab widget whose page Stranka is, or nullptr.
QTabWidget *ZalozkyStranky(QWidget *Stranka)
{
    QWidget *zasobnik = Stranka->parentWidget();
    auto *zalozky = qobject_cast<QTabWidget *>(zasobnik ? zasobnik->parentWidget() : nullptr);
    return zalozky && zalozky->indexOf(Stranka) >= 0 ? zalozky : nullptr;
}

bool JeSkupinaPrepinacu(const QGroupBox *Skupina)
{
    return Skupina->property("RadioGroup").toBool();
}

// The places of texts that are items of a control rather than its properties.
TNoveTexty::TMisto MistoZalozky(QTabWidget *Zalozky, QWidget *Stranka)
{
    return {Stranka,
            "tab",
            0,
            0,
            [=] { return Zalozky->tabText(Zalozky->indexOf(Stranka)); },
            [=](const QString &Text) { Zalozky->setTabText(Zalozky->indexOf(Stranka), Text); }};
}

TNoveTexty::TMisto MistoSloupce(QTreeWidget *Seznam, int Sloupec)
{
    return {Seznam,
            "column",
            Sloupec,
            0,
            [=] { return Seznam->headerItem()->text(Sloupec); },
            [=](const QString &Text) { Seznam->headerItem()->setText(Sloupec, Text); }};
}

TNoveTexty::TMisto MistoPolozkyVyberu(QComboBox *Vyber, int Pozice)
{
    return {Vyber,
            "item",
            Pozice,
            0,
            [=] { return Vyber->itemText(Pozice); },
            [=](const QString &Text) { Vyber->setItemText(Pozice, Text); }};
}

TNoveTexty::TMisto MistoPolozkySeznamu(QListWidget *Seznam, int Pozice)
{
    return {Seznam,
            "item",
            Pozice,
            0,
            [=] { return Seznam->item(Pozice)->text(); },
            [=](const QString &Text) { Seznam->item(Pozice)->setText(Text); }};
}

// A value list editor's column title; read without making the heading item
// that a title needs, which only setting it makes.
TNoveTexty::TMisto MistoHlavicky(QTableWidget *Tabulka, int Sloupec)
{
    return {Tabulka,
            "header",
            Sloupec,
            0,
            [=] {
                const QTableWidgetItem *hlavicka = Tabulka->horizontalHeaderItem(Sloupec);
                return hlavicka ? hlavicka->text() : QString();
            },
            [=](const QString &Text) {
                if (!Tabulka->horizontalHeaderItem(Sloupec))
                    Tabulka->setHorizontalHeaderItem(Sloupec, new QTableWidgetItem);
                Tabulka->horizontalHeaderItem(Sloupec)->setText(Text);
            }};
}

TNoveTexty::TMisto MistoBunky(QTableWidget *Tabulka, int Radek, int Sloupec)
{
    return {Tabulka,
            "cell",
            Radek,
            Sloupec,
            [=] {
                const QTableWidgetItem *bunka = Tabulka->item(Radek, Sloupec);
                return bunka ? bunka->text() : QString();
            },
            [=](const QString &Text) {
                if (QTableWidgetItem *bunka = Tabulka->item(Radek, Sloupec))
                    bunka->setText(Text);
                else
                    Tabulka->setItem(Radek, Sloupec, new QTableWidgetItem(Text));
            }};
}

} // namespace

void TJazykXML::RetezceFormulare(QWidget *TridaFormulare, const QList<QObject *> &Komponenty)
{
    TNoveTexty texty;
    RetezceFormulare(TridaFormulare, Komponenty, texty);
    texty.Proved();
}

void TJazykXML::RetezceFormulare(QWidget *TridaFormulare, const QList<QObject *> &Komponenty, TNoveTexty &Texty)
{
    const QString formular = TridaFormulare->objectName();
    const auto hledej = [&](const QString &Klic, const QString &Zakladni) { return Retezec(formular, Klic, Zakladni); };
    // A text looked up under Klic, its current text the default.
    const auto preloz = [&](const TNoveTexty::TMisto &Misto, const QString &Klic) {
        Texty.Nastav(Misto, hledej(Klic, Texty.Text(Misto)));
    };
    if (Tag(TridaFormulare) == -1)
        preloz(MistoVlastnosti(TridaFormulare, "windowTitle"), formular);

    for (QObject *k : Komponenty) {
        if (!k || Tag(k) != -1)
            continue;
        const QString jmeno = k->objectName();
        const auto cislovany = [&jmeno](int Pozice) { return jmeno + QString::number(Pozice); };
        const auto pravidloHintu = [&](QObject *Prvek) {
            const TNoveTexty::TMisto misto = MistoHintu(Prvek);
            const QString hint = Texty.Text(misto);
            if (hint.isEmpty())
                return;
            const bool bZobrazit = ZobrazujeHint(Prvek);
            const QString r = hledej(jmeno + QStringLiteral("-H"), BezKrajnihoOddelovace(hint, !bZobrazit, bZobrazit));
            Texty.Nastav(misto, bZobrazit ? r + u'|' : u'|' + r);
        };
        const auto text = [&](QObject *Prvek) { preloz(MistoVlastnosti(Prvek, "text"), jmeno); };
        auto *widget = qobject_cast<QWidget *>(k);
        auto *tlacitko = qobject_cast<QPushButton *>(k);
        auto *skupina = qobject_cast<QGroupBox *>(k);

        // 1: every visual control; a menu is no control of the form.
        if (widget && !qobject_cast<QMenu *>(widget))
            pravidloHintu(widget);
        // 2: a button without a picture.
        if (tlacitko && tlacitko->icon().isNull()) {
            text(tlacitko);
            pravidloHintu(tlacitko);
        }
        // 3
        if (auto *popisek = qobject_cast<QLabel *>(k)) {
            text(popisek);
            pravidloHintu(popisek);
        }
        // 4: a menu's title is its menu item's caption.
        if (auto *nabidka = qobject_cast<QMenu *>(k))
            text(nabidka->menuAction());
        // 5: the action's own caption, which the items that show it take over.
        if (auto *akce = qobject_cast<QAction *>(k)) {
            const TNoveTexty::TMisto titulek = MistoVlastnosti(akce, "text");
            const TNoveTexty::TMisto hintAkce = MistoHintu(akce);
            const QString puvodni = Texty.Text(titulek);
            Texty.Nastav(titulek, hledej(jmeno, puvodni));
            // A hint that an earlier run made of the caption and the long
            // hint is looked up by its long hint; one that a translation
            // gave whole (it ends in "|") stays whole.
            QString zaklad = Texty.Text(hintAkce);
            const QString predpona = puvodni + u'|';
            if (zaklad.startsWith(predpona) && !zaklad.endsWith(u'|'))
                zaklad.remove(0, predpona.size());
            const QString r = hledej(jmeno + QStringLiteral("-H"), zaklad);
            Texty.Nastav(hintAkce, r.endsWith(u'|') ? r : Texty.Text(titulek) + u'|' + r);
        }
        // 6
        if (skupina && !JeSkupinaPrepinacu(skupina))
            preloz(MistoVlastnosti(skupina, "title"), jmeno);
        // 7
        if (widget)
            if (QTabWidget *zalozky = ZalozkyStranky(widget))
                preloz(MistoZalozky(zalozky, widget), jmeno);
        // 8
        if (auto *seznam = qobject_cast<QTreeWidget *>(k)) {
            const TNoveTexty::TMisto misto = MistoHintu(seznam);
            if (const QString hint = Texty.Text(misto); !hint.isEmpty())
                Texty.Nastav(misto, u'|' + hledej(jmeno, BezKrajnihoOddelovace(hint, true, true)));
            for (int p = 0; p < seznam->columnCount(); ++p)
                if (TagSloupce(seznam, p) == -1)
                    preloz(MistoSloupce(seznam, p), cislovany(p));
        }
        // 9
        if (auto *rychle = qobject_cast<QToolButton *>(k)) {
            text(rychle);
            pravidloHintu(rychle);
            Texty.Pridej([rychle] { UkazTitulek(rychle); });
        }
        // 10
        if (skupina && JeSkupinaPrepinacu(skupina)) {
            preloz(MistoVlastnosti(skupina, "title"), jmeno);
            pravidloHintu(skupina);
            const QList<QRadioButton *> polozky =
                skupina->findChildren<QRadioButton *>(QString(), Qt::FindDirectChildrenOnly);
            for (int p = 0; p < polozky.size(); ++p)
                preloz(MistoVlastnosti(polozky[p], "text"), cislovany(p));
        }
        // 11
        if (auto *zaskrtavaci = qobject_cast<QCheckBox *>(k))
            text(zaskrtavaci);
        // 12: a panel; the frame draws no caption of its own, so it keeps its
        // caption as a property.
        if (widget && widget->metaObject() == &QFrame::staticMetaObject)
            preloz(MistoVlastnosti(widget, "Caption"), jmeno);
        // 13
        if (auto *vyber = qobject_cast<QComboBox *>(k))
            for (int p = 0; p < vyber->count(); ++p)
                preloz(MistoPolozkyVyberu(vyber, p), cislovany(p));
        // 14
        if (auto *hodnoty = qobject_cast<QTableWidget *>(k)) {
            const TNoveTexty::TMisto misto = MistoHintu(hodnoty);
            if (const QString hint = Texty.Text(misto); !hint.isEmpty())
                Texty.Nastav(misto,
                             u'|' + hledej(jmeno + QStringLiteral("-H"), BezKrajnihoOddelovace(hint, true, true)));
            if (hodnoty->columnCount() >= 2) {
                preloz(MistoHlavicky(hodnoty, 0), jmeno + QStringLiteral("-K"));
                preloz(MistoHlavicky(hodnoty, 1), jmeno + QStringLiteral("-V"));
                for (int p = 0; p < hodnoty->rowCount(); ++p) {
                    const TNoveTexty::TMisto klic = MistoBunky(hodnoty, p, 0), hodnota = MistoBunky(hodnoty, p, 1);
                    const QString radek = hledej(cislovany(p), Texty.Text(klic) + u'=' + Texty.Text(hodnota));
                    const qsizetype rovnase = radek.indexOf(u'=');
                    Texty.Nastav(klic, rovnase < 0 ? radek : radek.left(rovnase));
                    Texty.Nastav(hodnota, rovnase < 0 ? QString() : radek.mid(rovnase + 1));
                }
            }
        }
        // 15
        if (auto *prepinac = qobject_cast<QRadioButton *>(k))
            text(prepinac);
        // 16
        if (auto *zaskrtavaciSeznam = qobject_cast<QListWidget *>(k)) {
            pravidloHintu(zaskrtavaciSeznam);
            for (int p = 0; p < zaskrtavaciSeznam->count(); ++p)
                preloz(MistoPolozkySeznamu(zaskrtavaciSeznam, p), cislovany(p));
        }
        // 17: a button with a picture.
        if (tlacitko && !tlacitko->icon().isNull()) {
            text(tlacitko);
            pravidloHintu(tlacitko);
        }
    }
}

// ---- listing the languages ----

QString TJazykXML::ZdvojeneJazyky() const
{
    const QDomElement jazyky = Potomek(Koren(), QStringLiteral("JAZYKY"));
    QHash<QString, QDomNode> prvni;
    QStringList zpravy;
    const auto misto = [](const QDomNode &Uzel) {
        return QStringLiteral("line %1, column %2").arg(Uzel.lineNumber()).arg(Uzel.columnNumber());
    };
    for (QDomNode uzel = jazyky.firstChild(); !uzel.isNull(); uzel = uzel.nextSibling()) {
        if (!uzel.isElement())
            continue;
        if (const auto p = prvni.constFind(uzel.nodeName()); p != prvni.cend())
            zpravy << QStringLiteral(
                          "The language file \"%1\" lists the language \"%2\" again in JAZYKY at %3 (first at %4); "
                          "the first one is used")
                          .arg(FDokument->NazevSouboru(), uzel.nodeName(), misto(uzel), misto(*p));
        else
            prvni.insert(uzel.nodeName(), uzel);
    }
    return zpravy.join(QStringLiteral(".\r"));
}

void TJazykXML::SeznamJazyku(QTreeWidget *Seznam)
{
    PridejJazyky(Seznam, false);
}

void TJazykXML::SeznamDelenychJazyku(QTreeWidget *Seznam)
{
    PridejJazyky(Seznam, true);
}

void TJazykXML::PridejJazyky(QTreeWidget *Seznam, bool bDelene)
{
    Seznam->clear();
    const QDomElement jazyky = Potomek(Koren(), QStringLiteral("JAZYKY"));
    QSet<QString> kody;
    for (QDomNode uzel = jazyky.firstChild(); !uzel.isNull(); uzel = uzel.nextSibling()) {
        // A code listed again is the first one's (ZdvojeneJazyky tells of it).
        if (!uzel.isElement() || kody.contains(uzel.nodeName()))
            continue;
        kody.insert(uzel.nodeName());
        // Everything of the row is read before the row is added, so that a
        // language that cannot be read leaves no half a row.
        QStringList texty{uzel.nodeName()};
        if (bDelene)
            texty << TextUzlu(uzel) << VerzeJazyka() << AutorJazyka();
        else
            for (int i = 0; i < 3; ++i)
                texty << TextUzlu(PotomekNa(uzel, i));
        const QString index = AtributUzlu(uzel, QStringLiteral("index"));
        if (index.isNull())
            throw EChyba(QStringLiteral("The language \"%1\" has no flag index").arg(uzel.nodeName()));
        bool bCislo = false;
        const int obrazek = index.toInt(&bCislo, 10);
        if (!bCislo)
            throw EChyba(QStringLiteral("The flag index \"%1\" of the language \"%2\" is not a whole number")
                             .arg(index, uzel.nodeName()));
        auto *radek = new QTreeWidgetItem(texty);
        radek->setData(0, RoleIndexObrazku, obrazek);
        // Each cell takes the alignment of its column's heading.
        for (int i = 0; i < Seznam->columnCount(); ++i)
            if (const QVariant zarovnani = Seznam->headerItem()->data(i, Qt::TextAlignmentRole); zarovnani.isValid())
                radek->setData(i, Qt::TextAlignmentRole, zarovnani);
        Seznam->addTopLevelItem(radek);
    }
    for (int i = 0; i < Seznam->topLevelItemCount(); ++i) {
        QTreeWidgetItem *radek = Seznam->topLevelItem(i);
        if (radek->text(0).compare(FJazyk, Qt::CaseInsensitive) == 0) {
            Seznam->setCurrentItem(radek, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            Seznam->scrollToItem(radek);
            break;
        }
    }
}
