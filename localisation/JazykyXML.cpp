#include "JazykyXML.h"

#include "Chyba.h"
#include "Komponenty.h"
#include "Retezce.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
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
        throw EChyba(QStringLiteral("The flag index \"%1\" of the language \"%2\" is not a whole number")
                         .arg(index, FJazyk));
    return cislo >= 0 ? cislo : -1;
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

QTableWidgetItem *HlavickaSloupce(QTableWidget *Tabulka, int Sloupec)
{
    if (!Tabulka->horizontalHeaderItem(Sloupec))
        Tabulka->setHorizontalHeaderItem(Sloupec, new QTableWidgetItem);
    return Tabulka->horizontalHeaderItem(Sloupec);
}

QString TextBunky(const QTableWidget *Tabulka, int Radek, int Sloupec)
{
    const QTableWidgetItem *bunka = Tabulka->item(Radek, Sloupec);
    return bunka ? bunka->text() : QString();
}

void NastavBunku(QTableWidget *Tabulka, int Radek, int Sloupec, const QString &Text)
{
    if (QTableWidgetItem *bunka = Tabulka->item(Radek, Sloupec))
        bunka->setText(Text);
    else
        Tabulka->setItem(Radek, Sloupec, new QTableWidgetItem(Text));
}

} // namespace

void TJazykXML::RetezceFormulare(QWidget *TridaFormulare, const QList<QObject *> &Komponenty)
{
    const QString formular = TridaFormulare->objectName();
    const auto hledej = [&](const QString &Klic, const QString &Zakladni) {
        return Retezec(formular, Klic, Zakladni);
    };
    if (Tag(TridaFormulare) == -1)
        TridaFormulare->setWindowTitle(hledej(formular, TridaFormulare->windowTitle()));

    for (QObject *k : Komponenty) {
        if (!k || Tag(k) != -1)
            continue;
        const QString jmeno = k->objectName();
        const auto cislovany = [&jmeno](int Pozice) { return jmeno + QString::number(Pozice); };
        const auto pravidloHintu = [&](QObject *Prvek) {
            const QString hint = Hint(Prvek);
            if (hint.isEmpty())
                return;
            const bool bZobrazit = ZobrazujeHint(Prvek);
            const QString r = hledej(jmeno + QStringLiteral("-H"), BezKrajnihoOddelovace(hint, !bZobrazit, bZobrazit));
            NastavHint(Prvek, bZobrazit ? r + u'|' : u'|' + r);
        };
        auto *widget = qobject_cast<QWidget *>(k);
        auto *tlacitko = qobject_cast<QPushButton *>(k);
        auto *skupina = qobject_cast<QGroupBox *>(k);

        // 1: every visual control; a menu is no control of the form.
        if (widget && !qobject_cast<QMenu *>(widget))
            pravidloHintu(widget);
        // 2: a button without a picture.
        if (tlacitko && tlacitko->icon().isNull()) {
            tlacitko->setText(hledej(jmeno, tlacitko->text()));
            pravidloHintu(tlacitko);
        }
        // 3
        if (auto *popisek = qobject_cast<QLabel *>(k)) {
            popisek->setText(hledej(jmeno, popisek->text()));
            pravidloHintu(popisek);
        }
        // 4
        if (auto *nabidka = qobject_cast<QMenu *>(k))
            nabidka->setTitle(hledej(jmeno, nabidka->title()));
        // 5: the action's own caption, which the items that show it take over.
        if (auto *akce = qobject_cast<QAction *>(k)) {
            const QString puvodni = akce->text();
            akce->setText(hledej(jmeno, puvodni));
            // A hint that an earlier run made of the caption and the long
            // hint is looked up by its long hint; one that a translation
            // gave whole (it ends in "|") stays whole.
            QString zaklad = Hint(akce);
            const QString predpona = puvodni + u'|';
            if (zaklad.startsWith(predpona) && !zaklad.endsWith(u'|'))
                zaklad.remove(0, predpona.size());
            const QString r = hledej(jmeno + QStringLiteral("-H"), zaklad);
            NastavHint(akce, r.endsWith(u'|') ? r : akce->text() + u'|' + r);
        }
        // 6
        if (skupina && !JeSkupinaPrepinacu(skupina))
            skupina->setTitle(hledej(jmeno, skupina->title()));
        // 7
        if (widget)
            if (QTabWidget *zalozky = ZalozkyStranky(widget)) {
                const int index = zalozky->indexOf(widget);
                zalozky->setTabText(index, hledej(jmeno, zalozky->tabText(index)));
            }
        // 8
        if (auto *seznam = qobject_cast<QTreeWidget *>(k)) {
            if (!Hint(seznam).isEmpty())
                NastavHint(seznam, u'|' + hledej(jmeno, BezKrajnihoOddelovace(Hint(seznam), true, true)));
            QTreeWidgetItem *hlavicka = seznam->headerItem();
            for (int p = 0; p < seznam->columnCount(); ++p)
                if (TagSloupce(seznam, p) == -1)
                    hlavicka->setText(p, hledej(cislovany(p), hlavicka->text(p)));
        }
        // 9
        if (auto *rychle = qobject_cast<QToolButton *>(k)) {
            rychle->setText(hledej(jmeno, rychle->text()));
            pravidloHintu(rychle);
        }
        // 10
        if (skupina && JeSkupinaPrepinacu(skupina)) {
            skupina->setTitle(hledej(jmeno, skupina->title()));
            pravidloHintu(skupina);
            const QList<QRadioButton *> polozky =
                skupina->findChildren<QRadioButton *>(QString(), Qt::FindDirectChildrenOnly);
            for (int p = 0; p < polozky.size(); ++p)
                polozky[p]->setText(hledej(cislovany(p), polozky[p]->text()));
        }
        // 11
        if (auto *zaskrtavaci = qobject_cast<QCheckBox *>(k))
            zaskrtavaci->setText(hledej(jmeno, zaskrtavaci->text()));
        // 12: a panel; the frame draws no caption of its own, so it keeps its
        // caption as a property.
        if (widget && widget->metaObject() == &QFrame::staticMetaObject)
            widget->setProperty("Caption", hledej(jmeno, widget->property("Caption").toString()));
        // 13
        if (auto *vyber = qobject_cast<QComboBox *>(k))
            for (int p = 0; p < vyber->count(); ++p)
                vyber->setItemText(p, hledej(cislovany(p), vyber->itemText(p)));
        // 14
        if (auto *hodnoty = qobject_cast<QTableWidget *>(k)) {
            if (!Hint(hodnoty).isEmpty())
                NastavHint(hodnoty, u'|' + hledej(jmeno + QStringLiteral("-H"),
                                                 BezKrajnihoOddelovace(Hint(hodnoty), true, true)));
            if (hodnoty->columnCount() >= 2) {
                QTableWidgetItem *klice = HlavickaSloupce(hodnoty, 0);
                klice->setText(hledej(jmeno + QStringLiteral("-K"), klice->text()));
                QTableWidgetItem *hodnotySloupec = HlavickaSloupce(hodnoty, 1);
                hodnotySloupec->setText(hledej(jmeno + QStringLiteral("-V"), hodnotySloupec->text()));
                for (int p = 0; p < hodnoty->rowCount(); ++p) {
                    const QString radek =
                        hledej(cislovany(p), TextBunky(hodnoty, p, 0) + u'=' + TextBunky(hodnoty, p, 1));
                    const qsizetype rovnase = radek.indexOf(u'=');
                    NastavBunku(hodnoty, p, 0, rovnase < 0 ? radek : radek.left(rovnase));
                    NastavBunku(hodnoty, p, 1, rovnase < 0 ? QString() : radek.mid(rovnase + 1));
                }
            }
        }
        // 15
        if (auto *prepinac = qobject_cast<QRadioButton *>(k))
            prepinac->setText(hledej(jmeno, prepinac->text()));
        // 16
        if (auto *zaskrtavaciSeznam = qobject_cast<QListWidget *>(k)) {
            pravidloHintu(zaskrtavaciSeznam);
            for (int p = 0; p < zaskrtavaciSeznam->count(); ++p) {
                QListWidgetItem *polozka = zaskrtavaciSeznam->item(p);
                polozka->setText(hledej(cislovany(p), polozka->text()));
            }
        }
        // 17: a button with a picture.
        if (tlacitko && !tlacitko->icon().isNull()) {
            tlacitko->setText(hledej(jmeno, tlacitko->text()));
            pravidloHintu(tlacitko);
        }
    }
}

// ---- listing the languages ----

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
    for (QDomNode uzel = jazyky.firstChild(); !uzel.isNull(); uzel = uzel.nextSibling()) {
        if (!uzel.isElement())
            continue;
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
