#include "Memo.h"

#include "Chyba.h"
#include "Chyby.h"
#include "convar.h"

#include <QHash>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Marks the separator in front of a piece of a long line.
constexpr int VlastnostDilku = QTextFormat::UserProperty + 0x4C4D;

constexpr char16_t Odstavec = u'\u2029'; // the document's paragraph separator
constexpr char16_t Radek = u'\u2028';    // the line separator, a break inside a paragraph

// The code units that may stand in for another, best first: the
// noncharacters, the private-use area, then anything else, with halves of
// surrogate pairs last (next to a neighbour they would pair up on the screen).
// Never those that the document itself takes for breaks.
const std::vector<char16_t> &PoradiZastupcu()
{
    static const std::vector<char16_t> poradi = [] {
        std::vector<char16_t> v;
        std::vector<bool> uvedeny(0x10000);
        const auto pridej = [&](char32_t Od, char32_t Do) {
            for (char32_t u = Od; u <= Do; ++u) {
                if (uvedeny[u] || u == u'\r' || u == u'\n' || u == Odstavec || u == Radek || u == 0xFDD0 ||
                    u == 0xFDD1)
                    continue;
                uvedeny[u] = true;
                v.push_back(char16_t(u));
            }
        };
        pridej(0xFDD2, 0xFDEF);
        pridej(0xFFFE, 0xFFFF);
        pridej(0xE000, 0xF8FF);
        pridej(0x0000, 0xD7FF);
        pridej(0xE000, 0xFFFF);
        pridej(0xD800, 0xDFFF);
        return v;
    }();
    return poradi;
}

// A code unit that has never been in the document, now taken; nothing when
// there is none.
std::optional<char16_t> VolnyZastupce(std::array<bool, 0x10000> &Videne)
{
    for (const char16_t u : PoradiZastupcu())
        if (!Videne[u]) {
            Videne[u] = true;
            return u;
        }
    return std::nullopt;
}

const char16_t *Znaky(const QString &Text)
{
    return reinterpret_cast<const char16_t *>(Text.constData());
}

} // namespace

TMemo::TMemo(QWidget *Rodic) : QPlainTextEdit(Rodic)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The editor keeps its own modified flag: an undo is an edit like any other
    // and leaves the text modified, also when it returns to the saved text.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (bProgram)
            return;
        FModified = true;
        emit Zmena();
    });
    // A new stand-in must be a code unit that no undo can bring back with its
    // own meaning, so the editor remembers every code unit the user has put in.
    connect(document(), &QTextDocument::contentsChange, this, [this](int Pozice, int, int Pridano) {
        if (bProgram || Pridano <= 0)
            return;
        QTextCursor kurzor(document());
        kurzor.setPosition(Pozice);
        kurzor.setPosition(std::min(Pozice + Pridano, document()->characterCount() - 1), QTextCursor::KeepAnchor);
        if (!FVidene)
            FVidene = std::make_unique<TVidene>();
        for (const QChar c : kurzor.selectedText())
            (*FVidene)[c.unicode()] = true;
    });
}

QString TMemo::SurovyText() const
{
    // The raw text keeps every character (non-breaking spaces included); only
    // the paragraph separators stand for the line breaks.
    return document()->toRawText();
}

QString TMemo::Text() const
{
    return Prevod(0, document()->characterCount() - 1, u"\r\n");
}

// Calls Kus with the text of the document's positions Od to Do, with Zlom for
// each line break, in consecutive parts (about a paragraph each), until Kus
// returns false; false then. The text is never held whole.
template <typename F> bool TMemo::ProjdiText(int Od, int Do, QStringView Zlom, F &&Kus) const
{
    std::vector<char16_t> zpet;
    if (!FZastupci.isEmpty()) {
        zpet.resize(0x10000);
        for (qsizetype u = 0; u < 0x10000; ++u)
            zpet[u] = char16_t(u);
        for (const TZastupce &z : FZastupci)
            zpet[z.Zastupce] = z.Znak;
    }
    const char16_t *zlom = reinterpret_cast<const char16_t *>(Zlom.utf16());
    const qsizetype delkaZlomu = Zlom.size();
    QString kus;
    for (QTextBlock blok = document()->findBlock(Od); blok.isValid() && blok.position() < Do; blok = blok.next()) {
        const int zacatek = blok.position();
        const int oddelovac = zacatek + blok.length() - 1; // the position of its separator
        const QString text = blok.text();
        const char16_t *z = Znaky(text);
        const qsizetype od = std::max(Od, zacatek) - zacatek, po = std::min(Do, oddelovac) - zacatek;
        // At most every character a break, and the separator.
        kus.resize(std::max<qsizetype>(0, po - od) * std::max<qsizetype>(delkaZlomu, 1) + delkaZlomu);
        char16_t *const cilZacatek = reinterpret_cast<char16_t *>(kus.data());
        char16_t *cil = cilZacatek;
        for (qsizetype i = od; i < po; ++i) {
            const char16_t u = z[i];
            if (u == Radek && bSdruzene) {
                cil = std::copy(zlom, zlom + delkaZlomu, cil);
            } else {
                *cil++ = zpet.empty() ? u : zpet[u];
            }
        }
        // The separator, unless it only continues a line in the next piece.
        if (oddelovac < Do && blok.next().isValid() && !JeDilek(blok.next()))
            cil = std::copy(zlom, zlom + delkaZlomu, cil);
        if (cil != cilZacatek && !Kus(QStringView(cilZacatek, cil - cilZacatek)))
            return false;
    }
    return true;
}

// The length of the text of positions Od to Do with a break of DelkaZlomu
// code units, found without building it.
qsizetype TMemo::DelkaPrevodu(int Od, int Do, qsizetype DelkaZlomu) const
{
    qsizetype delka = 0;
    for (QTextBlock blok = document()->findBlock(Od); blok.isValid() && blok.position() < Do; blok = blok.next()) {
        const int zacatek = blok.position();
        const int oddelovac = zacatek + blok.length() - 1;
        const qsizetype od = std::max(Od, zacatek) - zacatek, po = std::min(Do, oddelovac) - zacatek;
        if (po > od) {
            delka += po - od;
            if (bSdruzene)
                delka += QStringView(blok.text()).sliced(od, po - od).count(QChar(Radek)) * (DelkaZlomu - 1);
        }
        if (oddelovac < Do && blok.next().isValid() && !JeDilek(blok.next()))
            delka += DelkaZlomu;
    }
    return delka;
}

// The text of the document's positions Od to Do, with Zlom for each line
// break: one string of the exact length, filled a paragraph at a time.
QString TMemo::Prevod(int Od, int Do, QStringView Zlom) const
{
    Od = std::max(Od, 0);
    Do = std::min(Do, document()->characterCount() - 1);
    QString text(DelkaPrevodu(Od, Do, Zlom.size()), Qt::Uninitialized);
    QChar *cil = text.data();
    QChar *const konec = cil + text.size();
    ProjdiText(Od, Do, Zlom, [&](QStringView Kus) {
        if (Kus.size() > konec - cil)
            return false;
        std::memcpy(static_cast<void *>(cil), Kus.data(), size_t(Kus.size()) * sizeof(QChar));
        cil += Kus.size();
        return true;
    });
    // Never a code unit that was not filled.
    text.truncate(cil - text.data());
    return text;
}

// Calls Kus with the document's own string (as toRawText() gives it) a
// paragraph and its separator at a time, until Kus returns false; false then.
template <typename F> bool TMemo::ProjdiDokument(F &&Kus) const
{
    for (QTextBlock blok = document()->begin(); blok.isValid(); blok = blok.next()) {
        QString text = blok.text(); // with room for the separator
        if (blok.next().isValid())
            text += QChar(Odstavec);
        if (!text.isEmpty() && !Kus(QStringView(text)))
            return false;
    }
    return true;
}

// Whether the editor holds Text, found without a copy of its own text; a
// text that differs early is found different early.
bool TMemo::JeText(const QString &Text) const
{
    qsizetype pozice = 0;
    const bool bStejne = ProjdiText(0, document()->characterCount() - 1, u"\r\n", [&](QStringView Kus) {
        if (Kus.size() > Text.size() - pozice || QStringView(Text).sliced(pozice, Kus.size()) != Kus)
            return false;
        pozice += Kus.size();
        return true;
    });
    return bStejne && pozice == Text.size();
}

bool TMemo::JeSurovyText(const QString &Surovy) const
{
    if (document()->characterCount() - 1 != Surovy.size())
        return false;
    qsizetype pozice = 0;
    return ProjdiDokument([&](QStringView Kus) {
        if (Kus.size() > Surovy.size() - pozice || QStringView(Surovy).sliced(pozice, Kus.size()) != Kus)
            return false;
        pozice += Kus.size();
        return true;
    });
}

// The positions of the separators that only continue a line.
QList<qsizetype> TMemo::PoziceDilku() const
{
    QList<qsizetype> dilky;
    if (bDilky)
        for (QTextBlock blok = document()->begin().next(); blok.isValid(); blok = blok.next())
            if (JeDilek(blok))
                dilky.append(blok.position() - 1);
    return dilky;
}

bool TMemo::JeDilek(const QTextBlock &Blok) const
{
    return bDilky && Blok.isValid() && Blok.position() > 0 && Blok.charFormatIndex() == FFormatDilku;
}

bool TMemo::JePrazdny() const
{
    return document()->isEmpty();
}

// How the document is to keep Text, found in one pass over it: stand-ins for
// the characters it would take for breaks, long lines cut into pieces, and
// for very many lines several in a paragraph.
TMemo::TPodoba TMemo::Podoba(const QString &Text)
{
    TPodoba podoba;
    podoba.Videne = std::make_unique<TVidene>();
    TVidene &videne = *podoba.Videne;
    const char16_t *z = Znaky(Text);
    const qsizetype n = Text.size();
    qsizetype radky = 1, delka = 0, nejdelsi = 0;
    bool bOsamelyCR = false, bOsamelyLF = false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = z[i];
        videne[u] = true;
        if (u == u'\r' && i + 1 < n && z[i + 1] == u'\n') {
            videne[u'\n'] = true;
            ++i;
            ++radky;
            nejdelsi = std::max(nejdelsi, delka);
            delka = 0;
            continue;
        }
        ++delka;
        if (u == u'\r')
            bOsamelyCR = true;
        else if (u == u'\n')
            bOsamelyLF = true;
    }
    nejdelsi = std::max(nejdelsi, delka);
    podoba.bSdruzene = radky > MaxRadkuBezSdruzeni;

    // A lone carriage return or line feed is a character of the text like any
    // other (a conversion may put one in); only the pair is a line break.
    QList<char16_t> zvlastni;
    if (videne[Odstavec])
        zvlastni.append(Odstavec);
    if (videne[0xFDD0])
        zvlastni.append(0xFDD0);
    if (videne[0xFDD1])
        zvlastni.append(0xFDD1);
    if (bOsamelyCR)
        zvlastni.append(u'\r');
    if (bOsamelyLF)
        zvlastni.append(u'\n');
    if (podoba.bSdruzene && videne[Radek])
        zvlastni.append(Radek);
    for (const char16_t znak : zvlastni) {
        const std::optional<char16_t> zastupce = VolnyZastupce(videne);
        if (!zastupce)
            throw EChyba(rsZASTUPCI);
        podoba.Zastupci.append({znak, *zastupce});
    }
    if (podoba.Zastupci.isEmpty() && nejdelsi <= MaxDelkaBloku && !podoba.bSdruzene) {
        // The document reads CR LF as a break itself.
        podoba.Dokument = Text;
        return podoba;
    }

    std::vector<char16_t> tam(0x10000);
    for (qsizetype u = 0; u < 0x10000; ++u)
        tam[u] = char16_t(u);
    for (const TZastupce &zastupce : podoba.Zastupci)
        tam[zastupce.Znak] = zastupce.Zastupce;
    const qsizetype naBlok = podoba.bSdruzene ? (radky + CilovyPocetBloku - 1) / CilovyPocetBloku : 1;
    QString dokument(n + n / (MaxDelkaBloku / 2) + 1, Qt::Uninitialized);
    char16_t *const zacatek = reinterpret_cast<char16_t *>(dokument.data());
    char16_t *cil = zacatek;
    const auto opis = [&](qsizetype Od, qsizetype Do) {
        for (qsizetype i = Od; i < Do; ++i)
            *cil++ = tam[z[i]];
    };
    qsizetype radkuVBloku = 1, delkaBloku = 0;
    for (qsizetype i = 0;;) {
        qsizetype konec = i;
        while (konec < n && !(z[konec] == u'\r' && konec + 1 < n && z[konec + 1] == u'\n'))
            ++konec;
        // A long line goes in pieces, cut after a space near the end of the
        // piece where there is one, never inside a surrogate pair.
        qsizetype od = i;
        while (konec - od > MaxDelkaBloku) {
            qsizetype rez = od + MaxDelkaBloku;
            qsizetype j = rez - 1;
            while (j > rez - MaxDelkaBloku / 16 && z[j] != u' ' && z[j] != u'\t')
                --j;
            if (z[j] == u' ' || z[j] == u'\t')
                rez = j + 1;
            else if (QChar::isHighSurrogate(z[rez - 1]) && QChar::isLowSurrogate(z[rez]))
                --rez;
            opis(od, rez);
            podoba.Dilky.append(cil - zacatek);
            *cil++ = Odstavec;
            od = rez;
            radkuVBloku = 1;
            delkaBloku = 0;
        }
        opis(od, konec);
        delkaBloku += konec - od;
        if (konec >= n)
            break;
        if (radkuVBloku < naBlok && delkaBloku < MaxDelkaBloku) {
            *cil++ = Radek;
            ++radkuVBloku;
            ++delkaBloku;
        } else {
            *cil++ = Odstavec;
            radkuVBloku = 1;
            delkaBloku = 0;
        }
        i = konec + 2;
    }
    dokument.truncate(cil - zacatek);
    podoba.Dokument = std::move(dokument);
    return podoba;
}

// The raw text (U+2029 for each line break) as the document can keep it as it
// is; nothing when it cannot.
std::optional<TMemo::TPodoba> TMemo::SurovaPodoba(const QString &Surovy)
{
    TPodoba podoba;
    podoba.Videne = std::make_unique<TVidene>();
    TVidene &videne = *podoba.Videne;
    const char16_t *z = Znaky(Surovy);
    const qsizetype n = Surovy.size();
    qsizetype radky = 1, delka = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = z[i];
        videne[u] = true;
        if (u == Odstavec) {
            ++radky;
            delka = 0;
        } else if (++delka > MaxDelkaBloku) {
            return std::nullopt;
        }
    }
    if (videne[u'\r'] || videne[u'\n'] || videne[0xFDD0] || videne[0xFDD1] || radky > MaxRadkuBezSdruzeni)
        return std::nullopt;
    podoba.Dokument = Surovy;
    return podoba;
}

void TMemo::NastavText(const QString &Text, bool bVratitelne)
{
    if (JeText(Text))
        return;
    // Everything that can fail comes before the first change.
    TPodoba podoba = Podoba(Text);
    PripravZpet(bVratitelne, &podoba.Dokument);
    Nahrad(std::move(podoba), bVratitelne);
}

void TMemo::NastavSurovyText(const QString &Text, bool bVratitelne)
{
    std::optional<TPodoba> podoba;
    if (!MaZastupce())
        podoba = SurovaPodoba(Text);
    if (!podoba) {
        QString text = Text;
        text.replace(QChar(Odstavec), QStringLiteral("\r\n"));
        NastavText(text, bVratitelne);
        return;
    }
    if (JeSurovyText(Text))
        return;
    PripravZpet(bVratitelne, &podoba->Dokument, true);
    Nahrad(std::move(*podoba), bVratitelne);
}

bool TMemo::SurovaCestaBezpecna(const QString &Hledane, const QString &Nahrady) const
{
    if (MaZastupce())
        return false;
    // The raw text has U+2029 where the text has CR LF; a table that looks for
    // either would see other characters in each.
    for (const QChar c : Hledane)
        if (c == u'\r' || c == u'\n' || c == QChar(Odstavec))
            return false;
    // A replacement that the document would take for a break would become one.
    for (const QChar c : Nahrady)
        if (c == u'\r' || c == u'\n' || c == QChar(Odstavec) || c == QChar(0xFDD0) || c == QChar(0xFDD1))
            return false;
    return true;
}

void TMemo::Zobraz(TPodoba Podoba)
{
    bProgram = true;
    // The new text takes the caret's character format; in an empty piece of
    // a long line that would be the piece mark, and every line break of the
    // new text would become a mark.
    setCurrentCharFormat(QTextCharFormat());
    setPlainText(Podoba.Dokument);
    bDilky = !Podoba.Dilky.isEmpty();
    if (bDilky) {
        // The mark is a format of the separator: it goes and comes back with
        // it through every edit and undo. It is not an edit itself.
        QTextDocument *dokument = document();
        const bool bZpet = dokument->isUndoRedoEnabled();
        dokument->setUndoRedoEnabled(false);
        QTextCharFormat format;
        format.setProperty(VlastnostDilku, true);
        QTextCursor kurzor(dokument);
        kurzor.beginEditBlock();
        for (const qsizetype pozice : Podoba.Dilky) {
            kurzor.setPosition(int(pozice));
            kurzor.setPosition(int(pozice) + 1, QTextCursor::KeepAnchor);
            kurzor.mergeCharFormat(format);
        }
        kurzor.endEditBlock();
        dokument->setUndoRedoEnabled(bZpet);
        FFormatDilku = dokument->findBlock(int(Podoba.Dilky.first()) + 1).charFormatIndex();
    }
    bProgram = false;
    FZastupci = std::move(Podoba.Zastupci);
    bSdruzene = Podoba.bSdruzene;
    FVidene = std::move(Podoba.Videne);
}

void TMemo::Nahrad(TPodoba Podoba, bool bZachovatPolohu)
{
    // A conversion keeps the length of the text, so the caret, the selection
    // and the view stay where they were.
    const int kotva = textCursor().anchor();
    const int pozice = textCursor().position();
    const int posuv = verticalScrollBar()->value();
    Zobraz(std::move(Podoba));
    if (bZachovatPolohu) {
        QTextCursor kurzor = textCursor();
        const int konec = kurzor.document()->characterCount() - 1;
        kurzor.setPosition(std::min(kotva, konec));
        kurzor.setPosition(std::min(pozice, konec), QTextCursor::KeepAnchor);
        setTextCursor(kurzor);
        verticalScrollBar()->setValue(posuv);
    }
    FModified = false;
    emit Zmena();
}

void TMemo::Smaz(bool bVratitelne)
{
    if (!bVratitelne || !JePrazdny())
        PripravZpet(bVratitelne);
    bProgram = true;
    clear();
    bProgram = false;
    FZastupci.clear();
    bSdruzene = bDilky = false;
    FVidene.reset();
    FModified = false;
}

// Before a replacement: keep what Zpet needs to bring the text back, or
// forget what was kept (a replacement that is not the user's own command
// starts a new history). NovyDokument is the document's string to come; when
// it is as long as the one now shown, only the code units that differ are
// kept, else the whole text (bSurovy: as SurovyText() gives it).
void TMemo::PripravZpet(bool bVratitelne, const QString *NovyDokument, bool bSurovy)
{
    if (!bVratitelne) {
        FZpet.reset();
        return;
    }
    // The text kept before is not needed to find the changes.
    FZpet.reset();
    TZpet zpet{QString(), bSurovy, textCursor().position(), nullptr};
    if (NovyDokument)
        zpet.Zmeny = Zmeny(*NovyDokument);
    if (!zpet.Zmeny)
        zpet.Text = bSurovy ? SurovyText() : Text();
    FZpet = std::move(zpet);
}

// The code units of the document's string that NovyDokument changes, with
// the shape of the text now shown; nothing when the lengths differ or when
// so much changes that the whole text is as cheap to keep.
std::unique_ptr<TMemo::TZmeny> TMemo::Zmeny(const QString &NovyDokument) const
{
    const qsizetype n = NovyDokument.size();
    if (document()->characterCount() - 1 != n)
        return nullptr;
    auto zmeny = std::make_unique<TZmeny>();
    // A change takes two bytes and its distance one or more; the whole text
    // two bytes a code unit.
    const qsizetype nejvice = n / 2;
    const char16_t *novy = Znaky(NovyDokument);
    qsizetype pozice = 0, posledni = 0;
    const bool bVse = ProjdiDokument([&](QStringView Kus) {
        if (Kus.size() > n - pozice)
            return false;
        const char16_t *z = reinterpret_cast<const char16_t *>(Kus.utf16());
        for (qsizetype i = 0; i < Kus.size(); ++i, ++pozice) {
            if (z[i] == novy[pozice])
                continue;
            if (zmeny->Puvodni.size() >= nejvice)
                return false;
            for (quint64 odstup = quint64(pozice - posledni);; odstup >>= 7) {
                if (odstup < 0x80) {
                    zmeny->Odstupy.append(char(odstup));
                    break;
                }
                zmeny->Odstupy.append(char(0x80 | (odstup & 0x7F)));
            }
            posledni = pozice;
            zmeny->Puvodni.append(z[i]);
        }
        return true;
    });
    if (!bVse || pozice != n)
        return nullptr;
    zmeny->Delka = n;
    zmeny->Otisk = qHash(QStringView(NovyDokument));
    zmeny->Dilky = PoziceDilku();
    zmeny->Zastupci = FZastupci;
    zmeny->bSdruzene = bSdruzene;
    if (FVidene)
        zmeny->Videne = std::make_unique<TVidene>(*FVidene);
    zmeny->Odstupy.squeeze();
    zmeny->Puvodni.squeeze();
    return zmeny;
}

void TMemo::Zpet()
{
    // The editor's own edits go back first; then the text as it was before
    // the last conversion or delete all.
    if (document()->isUndoAvailable()) {
        undo();
        return;
    }
    if (!FZpet)
        return;
    // Kept until the text to bring back is ready: a failure leaves it.
    TZpet &zpet = *FZpet;
    const int pozice = zpet.Pozice;
    std::optional<TPodoba> podoba;
    if (zpet.Zmeny) {
        // The changed code units go back onto the document's string, which
        // is the one the conversion gave: every later edit has been taken
        // back. Should it be another, nothing is put onto it.
        TZmeny &zmeny = *zpet.Zmeny;
        QString dokument = document()->toRawText();
        if (dokument.size() != zmeny.Delka || qHash(QStringView(dokument)) != zmeny.Otisk) {
            FZpet.reset();
            return;
        }
        char16_t *d = reinterpret_cast<char16_t *>(dokument.data());
        qsizetype misto = 0, j = 0;
        for (const char16_t puvodni : std::as_const(zmeny.Puvodni)) {
            quint64 odstup = 0;
            for (int posun = 0;; posun += 7) {
                const uchar b = uchar(zmeny.Odstupy[j++]);
                odstup |= quint64(b & 0x7F) << posun;
                if (!(b & 0x80))
                    break;
            }
            misto += qsizetype(odstup);
            d[misto] = puvodni;
        }
        podoba.emplace();
        podoba->Dokument = std::move(dokument);
        podoba->Dilky = std::move(zmeny.Dilky);
        podoba->Zastupci = std::move(zmeny.Zastupci);
        podoba->bSdruzene = zmeny.bSdruzene;
        podoba->Videne = std::move(zmeny.Videne);
        if (!podoba->Videne) {
            podoba->Videne = std::make_unique<TVidene>();
            for (const QChar c : std::as_const(podoba->Dokument))
                (*podoba->Videne)[c.unicode()] = true;
        }
    } else {
        // The text was in the editor before, so the document can keep it
        // again; should it not take the raw text as it is, it takes the text.
        if (zpet.bSurovy)
            podoba = SurovaPodoba(zpet.Text);
        if (!podoba) {
            if (zpet.bSurovy) {
                zpet.Text.replace(QChar(Odstavec), QStringLiteral("\r\n"));
                zpet.bSurovy = false;
            }
            podoba = Podoba(zpet.Text);
        }
    }
    // Not held twice while the document takes its copy.
    FZpet.reset();
    Zobraz(std::move(*podoba));
    QTextCursor kurzor = textCursor();
    kurzor.setPosition(std::min(pozice, document()->characterCount() - 1));
    setTextCursor(kurzor);
    // Taking a change back is an edit of the user.
    FModified = true;
    emit Zmena();
}

// What the user puts in (typed, pasted, dropped) as the document is to keep
// it: the characters it would take for breaks and those that now stand for
// another under stand-ins of their own; with bZlomy, CR LF, a lone CR and a
// lone LF as line breaks. Nothing when no stand-in is left.
std::optional<QString> TMemo::ProDokument(const QString &Vkladany, bool bZlomy)
{
    const auto jeZastupce = [this](char16_t u) {
        return std::any_of(FZastupci.cbegin(), FZastupci.cend(), [u](const TZastupce &z) { return z.Zastupce == u; });
    };
    const auto potrebuje = [&](char16_t u) {
        return u == Odstavec || u == 0xFDD0 || u == 0xFDD1 || (u == Radek && bSdruzene) ||
               (!bZlomy && (u == u'\r' || u == u'\n')) || (!FZastupci.isEmpty() && jeZastupce(u));
    };
    const char16_t *z = Znaky(Vkladany);
    const qsizetype n = Vkladany.size();
    if (!std::any_of(z, z + n, [&](char16_t u) { return potrebuje(u) || u == u'\r' || u == u'\n'; }))
        return Vkladany;

    // A new stand-in must not be one of the characters put in.
    if (!FVidene)
        FVidene = std::make_unique<TVidene>();
    for (qsizetype i = 0; i < n; ++i)
        (*FVidene)[z[i]] = true;
    QString dokument;
    dokument.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = z[i];
        if (bZlomy && (u == u'\r' || u == u'\n')) {
            if (u == u'\r' && i + 1 < n && z[i + 1] == u'\n')
                ++i;
            dokument.append(QChar(Odstavec));
        } else if (potrebuje(u)) {
            const auto znamy = std::find_if(FZastupci.cbegin(), FZastupci.cend(),
                                            [u](const TZastupce &z) { return z.Znak == u; });
            if (znamy != FZastupci.cend()) {
                dokument.append(QChar(znamy->Zastupce));
            } else {
                const std::optional<char16_t> zastupce = VolnyZastupce(*FVidene);
                if (!zastupce)
                    return std::nullopt;
                FZastupci.append({u, *zastupce});
                dokument.append(QChar(*zastupce));
            }
        } else {
            dokument.append(QChar(u));
        }
    }
    return dokument;
}

// Puts in what the user typed, pasted or dropped; false (and the user is
// told) when it cannot be kept without loss.
bool TMemo::VlozOdUzivatele(const QString &Vkladany, bool bZlomy)
{
    const std::optional<QString> dokument = ProDokument(Vkladany, bZlomy);
    if (!dokument) {
        ZobrazChybu(rsZASTUPCI);
        return false;
    }
    // In the plain format: a break put in after a piece mark must not become
    // one.
    // One step of undo, as the editor's own paste.
    QTextCursor kurzor = textCursor();
    kurzor.beginEditBlock();
    kurzor.insertText(*dokument, QTextCharFormat());
    kurzor.endEditBlock();
    setTextCursor(kurzor);
    ensureCursorVisible();
    return true;
}

QMimeData *TMemo::createMimeDataFromSelection() const
{
    // The clipboard gets the text itself, with the line breaks of the system
    // and without the stand-ins and pieces.
    const QTextCursor kurzor = textCursor();
    auto *data = new QMimeData;
    data->setText(Prevod(kurzor.selectionStart(), kurzor.selectionEnd(), u"\n"));
    return data;
}

void TMemo::insertFromMimeData(const QMimeData *Zdroj)
{
    if (Zdroj && Zdroj->hasText())
        VlozOdUzivatele(Zdroj->text(), true);
}

void TMemo::inputMethodEvent(QInputMethodEvent *Udalost)
{
    const QString vkladany = Udalost->commitString();
    std::optional<QString> dokument = vkladany.isEmpty() ? vkladany : ProDokument(vkladany, true);
    if (dokument == vkladany) {
        QPlainTextEdit::inputMethodEvent(Udalost);
        return;
    }
    if (!dokument)
        ZobrazChybu(rsZASTUPCI);
    QInputMethodEvent jina(Udalost->preeditString(), Udalost->attributes());
    jina.setCommitString(dokument.value_or(QString()), Udalost->replacementStart(), Udalost->replacementLength());
    QPlainTextEdit::inputMethodEvent(&jina);
    Udalost->setAccepted(jina.isAccepted());
}

// Whether the editor inserts the text of a key press: the rule of Qt's own
// input control (a format character; otherwise not with Ctrl or Ctrl+Shift; a
// printable, private-use or astral character; a tab).
static bool VlozilBySeText(const QKeyEvent *Udalost)
{
    const QString text = Udalost->text();
    if (text.isEmpty())
        return false;
    const QChar c = text.front();
    if (c.category() == QChar::Other_Format)
        return true;
    const Qt::KeyboardModifiers s = Udalost->modifiers();
    if (s == Qt::ControlModifier || s == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    return c.isPrint() || c.category() == QChar::Other_PrivateUse ||
           (c.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate()) || c == u'\t';
}

void TMemo::keyPressEvent(QKeyEvent *Udalost)
{
    if (Udalost == QKeySequence::Undo) {
        Zpet();
        Udalost->accept();
        return;
    }
    // Tab never enters a tab character: it moves the focus, also when the
    // editor is the only control that takes it.
    const bool tab = Udalost->key() == Qt::Key_Tab || Udalost->key() == Qt::Key_Backtab;
    if (tab && !(Udalost->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        focusNextPrevChild(Udalost->key() == Qt::Key_Tab && !(Udalost->modifiers() & Qt::ShiftModifier));
        Udalost->accept();
        return;
    }
    QTextCursor kurzor = textCursor();
    const bool enter = Udalost->key() == Qt::Key_Return || Udalost->key() == Qt::Key_Enter;
    if (enter && bDilky && !(Udalost->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
        // A new line in the plain format, never a continuation of the line
        // before, also right after a piece mark.
        kurzor.insertBlock(kurzor.blockFormat(), QTextCharFormat());
        setTextCursor(kurzor);
        ensureCursorVisible();
        Udalost->accept();
        return;
    }
    // Shift+Enter starts a new line like Enter: the text knows no other break.
    if (enter && (Udalost->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent bezShiftu(Udalost->type(), Udalost->key(), Udalost->modifiers() & ~Qt::ShiftModifier,
                            Udalost->text(), Udalost->isAutoRepeat(), Udalost->count());
        QPlainTextEdit::keyPressEvent(&bezShiftu);
        Udalost->setAccepted(bezShiftu.isAccepted());
        return;
    }
    // Where a long line goes on in the next piece, Backspace and Delete take
    // the character beyond the mark, as they would in the unbroken line.
    if (bDilky && !kurzor.hasSelection() && !isReadOnly()) {
        const bool backspace =
            Udalost->key() == Qt::Key_Backspace && !(Udalost->modifiers() & ~Qt::ShiftModifier);
        if (backspace && kurzor.atBlockStart() && JeDilek(kurzor.block()) && kurzor.block().previous().length() > 1) {
            kurzor.setPosition(kurzor.position() - 1);
            kurzor.deletePreviousChar();
            ensureCursorVisible();
            Udalost->accept();
            return;
        }
        if (Udalost == QKeySequence::Delete && kurzor.atBlockEnd() && JeDilek(kurzor.block().next()) &&
            kurzor.block().next().length() > 1) {
            kurzor.setPosition(kurzor.position() + 1);
            kurzor.deleteChar();
            ensureCursorVisible();
            Udalost->accept();
            return;
        }
    }
    // A typed character that the document would not keep as itself: every
    // text the editor would insert goes through the stand-ins, whatever its
    // first character.
    const QString text = Udalost->text();
    if (VlozilBySeText(Udalost) && !isReadOnly()) {
        const std::optional<QString> dokument = ProDokument(text, false);
        if (dokument != text) {
            VlozOdUzivatele(text, false);
            Udalost->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(Udalost);
}
