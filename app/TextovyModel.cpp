#include "TextovyModel.h"

#include "Chyba.h"
#include "Pamet.h"
#include "convar.h"

#include <QHash>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

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
                if (uvedeny[u] || u == u'\r' || u == u'\n' || u == Odstavec || u == Radek || u == 0xFDD0 || u == 0xFDD1)
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
std::optional<char16_t> VolnyZastupce(TTextovyModel::TVidene &Videne)
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

// The hash of a big string is taken a slice at a time, each slice's hash the
// seed of the next: a pass that has just read a slice hashes it while it is
// still in the cache, and a long hash can take steps between slices.
constexpr qsizetype DelkaOtisku = qsizetype(1) << 16;

// Hashes the whole slices of Text from *Hotovo on (all of it with bKonec),
// moving *Hotovo past them.
void PridejOtisk(size_t &Otisk, QStringView Text, qsizetype &Hotovo, bool bKonec)
{
    while (Text.size() - Hotovo >= DelkaOtisku) {
        Otisk = qHash(Text.sliced(Hotovo, DelkaOtisku), Otisk);
        Hotovo += DelkaOtisku;
    }
    if (bKonec && Hotovo < Text.size()) {
        Otisk = qHash(Text.sliced(Hotovo), Otisk);
        Hotovo = Text.size();
    }
}

} // namespace

QString TTextovyModel::Text() const
{
    return Prevod(0, FDokument.Delka(), Zlom());
}

// Calls Kus with the text of the document's positions Od to Do, with Zlom for
// each line break, in consecutive parts (about a paragraph each), until Kus
// returns false; false then. The text is never held whole.
template <typename F> bool TTextovyModel::ProjdiText(qsizetype Od, qsizetype Do, QStringView Zlom, F &&Kus) const
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
    bool bCely = true;
    FDokument.Projdi(Od, true, [&](const TOdstavec &Blok) {
        const qsizetype zacatek = Blok.Pozice;
        if (zacatek >= Do)
            return false;
        const qsizetype oddelovac = zacatek + Blok.Delka; // the position of its separator
        const char16_t *z = Znaky(Blok.Text);
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
        if (oddelovac < Do && !Blok.bPosledni && !Blok.bDalsiJeDilek)
            cil = std::copy(zlom, zlom + delkaZlomu, cil);
        if (cil != cilZacatek && !Kus(QStringView(cilZacatek, cil - cilZacatek)))
            bCely = false;
        return bCely;
    });
    return bCely;
}

// The length of the text of positions Od to Do with a break of DelkaZlomu
// code units, found without building it.
qsizetype TTextovyModel::DelkaPrevodu(qsizetype Od, qsizetype Do, qsizetype DelkaZlomu) const
{
    qsizetype delka = 0;
    FDokument.Projdi(Od, bSdruzene, [&](const TOdstavec &Blok) {
        const qsizetype zacatek = Blok.Pozice;
        if (zacatek >= Do)
            return false;
        const qsizetype oddelovac = zacatek + Blok.Delka;
        const qsizetype od = std::max(Od, zacatek) - zacatek, po = std::min(Do, oddelovac) - zacatek;
        if (po > od) {
            delka += po - od;
            if (bSdruzene)
                delka += QStringView(Blok.Text).sliced(od, po - od).count(QChar(Radek)) * (DelkaZlomu - 1);
        }
        if (oddelovac < Do && !Blok.bPosledni && !Blok.bDalsiJeDilek)
            delka += DelkaZlomu;
        return true;
    });
    return delka;
}

// One string of the exact length, filled a paragraph at a time.
QString TTextovyModel::Prevod(qsizetype Od, qsizetype Do, QStringView Zlom) const
{
    Od = std::max<qsizetype>(Od, 0);
    Do = std::min(Do, FDokument.Delka());
    QString text(DelkaPrevodu(Od, Do, Zlom.size()), Qt::Uninitialized);
    VelkyBlok(text);
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

// Calls Kus with the document's own string (as Surovy() gives it) a
// paragraph and its separator at a time, until Kus returns false; false then.
template <typename F> bool TTextovyModel::ProjdiDokument(F &&Kus) const
{
    static constexpr char16_t oddelovac = Odstavec;
    return FDokument.Projdi(0, true, [&](const TOdstavec &Blok) {
        // The paragraph's text as the document gave it, then its separator:
        // a paragraph is never copied to put the separator behind it.
        if (!Blok.Text.isEmpty() && !Kus(QStringView(Blok.Text)))
            return false;
        return Blok.bPosledni || Kus(QStringView(&oddelovac, 1));
    });
}

// Whether the document holds Text, found without a copy of its own text; a
// text that differs early is found different early.
bool TTextovyModel::ProjdiCelyText(const std::function<bool(QStringView Kus)> &Kus) const
{
    return ProjdiCelyText(Zlom(), Kus);
}

bool TTextovyModel::ProjdiCelyText(QStringView Zlom, const std::function<bool(QStringView Kus)> &Kus) const
{
    return ProjdiText(0, FDokument.Delka(), Zlom, [&](QStringView Cast) { return Kus(Cast); });
}

bool TTextovyModel::JeText(const QString &Text) const
{
    qsizetype pozice = 0;
    const bool bStejne = ProjdiText(0, FDokument.Delka(), Zlom(), [&](QStringView Kus) {
        if (Kus.size() > Text.size() - pozice || QStringView(Text).sliced(pozice, Kus.size()) != Kus)
            return false;
        pozice += Kus.size();
        return true;
    });
    return bStejne && pozice == Text.size();
}

bool TTextovyModel::JeSurovyText(const QString &Surovy) const
{
    if (FDokument.Delka() != Surovy.size())
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
QList<qsizetype> TTextovyModel::PoziceDilku() const
{
    QList<qsizetype> dilky;
    if (bDilky)
        FDokument.Projdi(0, false, [&](const TOdstavec &Blok) {
            if (!Blok.bPosledni && Blok.bDalsiJeDilek)
                dilky.append(Blok.Pozice + Blok.Delka);
            return true;
        });
    return dilky;
}

// How the document is to keep Text, found in one pass over it: stand-ins for
// the characters it would take for breaks, long lines cut into pieces, and
// for very many lines several in a paragraph.
TTextovyModel::TPodoba TTextovyModel::Podoba(const QString &Text, const std::function<bool()> &Krok)
{
    return PodobaDo(Text, nullptr, Krok);
}

TTextovyModel::TPodoba TTextovyModel::Podoba(QString &&Text, const std::function<bool()> &Krok)
{
    return PodobaDo(Text, &Text, Krok);
}

// Podoba; where Misto is given (it is Text, which the caller gives up), the
// document's form is written over Text's own buffer when it fits there: a
// big text then is not held twice. Text changes only once nothing but a step
// (EZruseno) can fail any more.
TTextovyModel::TPodoba TTextovyModel::PodobaDo(const QString &Text, QString *Misto, const std::function<bool()> &Krok)
{
    // A step after about every four million code units.
    constexpr qsizetype krokPo = qsizetype(1) << 22;
    const auto krok = [&Krok] {
        if (Krok && !Krok())
            throw EZruseno();
    };
    TPodoba podoba;
    podoba.Videne = std::make_unique<TVidene>();
    TVidene &videne = *podoba.Videne;
    const char16_t *z = Znaky(Text);
    const qsizetype n = Text.size();
    qsizetype radky = 1, delka = 0, nejdelsi = 0;
    bool bOsamelyCR = false, bOsamelyLF = false;
    for (qsizetype i = 0; i < n; ++i) {
        if ((i & (krokPo - 1)) == 0 && i > 0)
            krok();
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
        podoba.Dokument = Misto ? std::move(*Misto) : Text;
        return podoba;
    }

    std::vector<char16_t> tam(0x10000);
    for (qsizetype u = 0; u < 0x10000; ++u)
        tam[u] = char16_t(u);
    for (const TZastupce &zastupce : podoba.Zastupci)
        tam[zastupce.Znak] = zastupce.Zastupce;
    const qsizetype naBlok = podoba.bSdruzene ? (radky + CilovyPocetBloku - 1) / CilovyPocetBloku : 1;
    // Without pieces every code unit gives at most one, and a break of two
    // gives one: the form never runs ahead of the text it is made from, and
    // can take the text's place in its buffer.
    const bool bNaMiste = Misto && Misto->isDetached() && nejdelsi <= MaxDelkaBloku;
    QString dokument;
    if (bNaMiste)
        dokument = std::move(*Misto);
    else {
        dokument = QString(n + n / (MaxDelkaBloku / 2) + 1, Qt::Uninitialized);
        VelkyBlok(dokument);
    }
    char16_t *const zacatek = reinterpret_cast<char16_t *>(dokument.data());
    // Still the text's own buffer where the form takes its place.
    Q_ASSERT(!bNaMiste || zacatek == z);
    char16_t *cil = zacatek;
    const auto opis = [&](qsizetype Od, qsizetype Do) {
        for (qsizetype i = Od; i < Do; ++i)
            *cil++ = tam[z[i]];
    };
    qsizetype radkuVBloku = 1, delkaBloku = 0;
    for (qsizetype i = 0, dalsiKrok = krokPo;;) {
        if (i >= dalsiKrok) {
            krok();
            dalsiKrok = i + krokPo;
        }
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

std::optional<TTextovyModel::TPodoba> TTextovyModel::SurovaPodoba(const QString &Surovy)
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

bool TTextovyModel::NastavText(QString Text, bool bVratitelne, qsizetype Pozice)
{
    if (JeText(Text))
        return false;
    // Everything that can fail comes before the first change; a replacement
    // that the user gives up (EZruseno, only one that Zpet cannot take back)
    // leaves the text and what Zpet keeps as they were.
    // The document's form is all that is needed from here on: a text handed
    // over by its last holder becomes it in its own buffer where it can.
    TPodoba podoba = Podoba(std::move(Text), [this] { return FDokument.Krok(); });
    Text = QString();
    if (bVratitelne)
        PripravZpet(bVratitelne, Pozice, &podoba.Dokument);
    Zobraz(std::move(podoba));
    if (!bVratitelne)
        FZpet.reset();
    FModified = false;
    return true;
}

bool TTextovyModel::NastavSurovyText(const QString &Text, bool bVratitelne, qsizetype Pozice)
{
    std::optional<TPodoba> podoba;
    if (!MaZastupce())
        podoba = SurovaPodoba(Text);
    if (!podoba) {
        QString text = Text;
        text.replace(QChar(Odstavec), Zlom().toString());
        return NastavText(std::move(text), bVratitelne, Pozice);
    }
    if (JeSurovyText(Text))
        return false;
    if (bVratitelne)
        PripravZpet(bVratitelne, Pozice, &podoba->Dokument, true);
    Zobraz(std::move(*podoba));
    if (!bVratitelne)
        FZpet.reset();
    FModified = false;
    return true;
}

bool TTextovyModel::SurovaCestaBezpecna(const QString &Hledane, const QString &Nahrady) const
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

bool TTextovyModel::TvarPrevoduBezpecny(const QString &Hledane, const QString &Nahrady) const
{
    const auto zlom = [this](QChar c) {
        return c == u'\r' || c == u'\n' || c == QChar(Odstavec) || c == QChar(0xFDD0) || c == QChar(0xFDD1) ||
            (bSdruzene && c == QChar(Radek));
    };
    const auto zastupce = [this](QChar c) {
        return std::any_of(FZastupci.cbegin(), FZastupci.cend(), [c](const TZastupce &z) { return z.Zastupce == c; });
    };
    const auto zastoupeny = [this](QChar c) {
        return std::any_of(FZastupci.cbegin(), FZastupci.cend(), [c](const TZastupce &z) { return z.Znak == c; });
    };
    for (const QChar c : Hledane)
        if (zlom(c) || zastupce(c) || zastoupeny(c))
            return false;
    for (const QChar c : Nahrady)
        if (zlom(c) || zastupce(c) || zastoupeny(c))
            return false;
    return true;
}

bool TTextovyModel::NastavPrevedenyTvar(const QString &Surovy, bool bVratitelne, qsizetype Pozice)
{
    return NastavPrevedenyTvar(Surovy, nullptr, false, bVratitelne, Pozice);
}

bool TTextovyModel::NastavPrevedenyTvar(const QString &Surovy, TZaznamZmen &&Zaznam, bool bVratitelne, qsizetype Pozice)
{
    if (Zaznam.FDelka != Surovy.size() || Surovy.size() != FDokument.Delka())
        return NastavPrevedenyTvar(Surovy, bVratitelne, Pozice);
    if (!Zaznam.bPrilisMnoho && Zaznam.FPocet == 0)
        return false;
    std::unique_ptr<TZmeny> zmeny;
    if (!Zaznam.bPrilisMnoho)
        zmeny = DoplnZmeny(ZmenyZaznamu(std::move(Zaznam)), Surovy);
    return NastavPrevedenyTvar(Surovy, std::move(zmeny), true, bVratitelne, Pozice);
}

// Zmeny: the changes when bZnameZmeny, else found here.
bool TTextovyModel::NastavPrevedenyTvar(const QString &Surovy, std::unique_ptr<TZmeny> Zmeny_, bool bZnameZmeny,
                                        bool bVratitelne, qsizetype Pozice)
{
    if (Surovy.size() != FDokument.Delka()) {
        QString text = Surovy;
        text.replace(QChar(Odstavec), Zlom().toString());
        return NastavText(std::move(text), bVratitelne, Pozice);
    }
    // One pass over the document finds what the conversion changed, and so
    // whether it changed anything, and what the undo needs to keep.
    std::unique_ptr<TZmeny> zmeny = std::move(Zmeny_);
    if (bZnameZmeny) {
        if (!bVratitelne)
            zmeny.reset();
    } else if (bVratitelne) {
        bool bStejne = false;
        zmeny = Zmeny(Surovy, &bStejne);
        if (bStejne)
            return false;
    } else if (JeSurovyText(Surovy)) {
        return false;
    }
    TPodoba podoba;
    podoba.Dokument = Surovy;
    podoba.Dilky = zmeny ? zmeny->Dilky : PoziceDilku();
    podoba.Zastupci = FZastupci;
    podoba.bSdruzene = bSdruzene;
    // What the conversion puts in has been seen too. Every code unit the
    // document holds now has been seen already, so where the changes are
    // known only they are added.
    if (zmeny && FVidene) {
        podoba.Videne = std::make_unique<TVidene>(*FVidene);
        const char16_t *novy = Znaky(Surovy);
        qsizetype misto = 0;
        ProjdiZmeny(*zmeny, [&](qsizetype Odstup, char16_t) {
            misto += Odstup;
            (*podoba.Videne)[novy[misto]] = true;
        });
    } else {
        podoba.Videne = FVidene ? std::make_unique<TVidene>(*FVidene) : std::make_unique<TVidene>();
        for (const QChar c : Surovy)
            (*podoba.Videne)[c.unicode()] = true;
    }
    // Should Zpet have to keep the whole text, it keeps the text itself: the
    // raw one holds stand-ins.
    if (bVratitelne)
        PripravZpet(bVratitelne, Pozice, nullptr, false, std::move(zmeny));
    Zobraz(std::move(podoba));
    if (!bVratitelne)
        FZpet.reset();
    FModified = false;
    return true;
}

void TTextovyModel::Zobraz(TPodoba Podoba)
{
    FDokument.Zobraz(Podoba.Dokument, Podoba.Dilky);
    bDilky = !Podoba.Dilky.isEmpty();
    FZastupci = std::move(Podoba.Zastupci);
    bSdruzene = Podoba.bSdruzene;
    FVidene = std::move(Podoba.Videne);
}

void TTextovyModel::Smaz(bool bVratitelne, qsizetype Pozice)
{
    if (!bVratitelne || !JePrazdny())
        PripravZpet(bVratitelne, Pozice);
    FDokument.Vyprazdni();
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
void TTextovyModel::PripravZpet(bool bVratitelne, qsizetype Pozice, const QString *NovyDokument, bool bSurovy,
                                std::unique_ptr<TZmeny> Nalezene)
{
    if (!bVratitelne) {
        FZpet.reset();
        return;
    }
    // The text kept before is not needed to find the changes.
    FZpet.reset();
    TZpet zpet{QString(), bSurovy, Pozice, std::move(Nalezene)};
    if (NovyDokument && !zpet.Zmeny)
        zpet.Zmeny = Zmeny(*NovyDokument);
    if (!zpet.Zmeny)
        zpet.Text = bSurovy ? SurovyText() : Text();
    FZpet = std::move(zpet);
}

// The code units of the document's string that NovyDokument changes, with
// the shape of the text now shown; nothing when the lengths differ or when
// so much changes that the whole text is as cheap to keep. bStejne, where
// given, is set when NovyDokument is the document's string itself.
std::unique_ptr<TTextovyModel::TZmeny> TTextovyModel::Zmeny(const QString &NovyDokument, bool *bStejne) const
{
    if (bStejne)
        *bStejne = false;
    const qsizetype n = NovyDokument.size();
    if (FDokument.Delka() != n)
        return nullptr;
    // It keeps nothing past half the length: a change takes two bytes and
    // its distance one or more, the whole text two bytes a code unit.
    TZaznamZmen zaznam(n);
    const char16_t *novy = Znaky(NovyDokument);
    size_t otisk = 0;
    qsizetype pozice = 0, zahasovano = 0;
    const bool bVse = ProjdiDokument([&](QStringView Kus) {
        if (Kus.size() > n - pozice)
            return false;
        const char16_t *z = reinterpret_cast<const char16_t *>(Kus.utf16());
        for (qsizetype i = 0; i < Kus.size(); ++i, ++pozice) {
            if (z[i] == novy[pozice])
                continue;
            zaznam.Pridej(pozice, z[i]);
            if (zaznam.bPrilisMnoho)
                return false;
        }
        // The new string's part just compared is hashed while it is at hand.
        PridejOtisk(otisk, QStringView(novy, pozice), zahasovano, false);
        return true;
    });
    if (!bVse || pozice != n)
        return nullptr;
    if (bStejne && zaznam.FPocet == 0) {
        *bStejne = true;
        return nullptr;
    }
    PridejOtisk(otisk, QStringView(NovyDokument), zahasovano, true);
    std::unique_ptr<TZmeny> zmeny = ZmenyZaznamu(std::move(zaznam));
    zmeny->Otisk = otisk;
    return DoplnZmeny(std::move(zmeny), NovyDokument, false);
}

// The changes a record holds, without what DoplnZmeny adds.
std::unique_ptr<TTextovyModel::TZmeny> TTextovyModel::ZmenyZaznamu(TZaznamZmen &&Zaznam)
{
    auto zmeny = std::make_unique<TZmeny>();
    Zaznam.FOdstupy.truncate(Zaznam.FBajtu);
    Zaznam.FPuvodni.truncate(2 * Zaznam.FPocet);
    zmeny->Odstupy = std::move(Zaznam.FOdstupy);
    zmeny->Puvodni = std::move(Zaznam.FPuvodni);
    return zmeny;
}

// Completes the changes of a conversion to NovyDokument with what the undo
// needs besides: the hash of NovyDokument (unless bOtisk is false: it is
// already there) and the shape of the text now shown.
std::unique_ptr<TTextovyModel::TZmeny> TTextovyModel::DoplnZmeny(std::unique_ptr<TZmeny> Zmeny,
                                                                 const QString &NovyDokument, bool bOtisk) const
{
    std::unique_ptr<TZmeny> zmeny = std::move(Zmeny);
    if (bOtisk) {
        // A step after every few million code units.
        constexpr qsizetype naKrok = qsizetype(1) << 22;
        size_t otisk = 0;
        qsizetype zahasovano = 0;
        for (qsizetype po = naKrok; po < NovyDokument.size(); po += naKrok) {
            PridejOtisk(otisk, QStringView(NovyDokument).first(po), zahasovano, false);
            if (!FDokument.Krok())
                throw EZruseno();
        }
        PridejOtisk(otisk, QStringView(NovyDokument), zahasovano, true);
        zmeny->Otisk = otisk;
    }
    zmeny->Delka = NovyDokument.size();
    zmeny->Dilky = PoziceDilku();
    zmeny->Zastupci = FZastupci;
    zmeny->bSdruzene = bSdruzene;
    if (FVidene)
        zmeny->Videne = std::make_unique<TVidene>(*FVidene);
    zmeny->Odstupy.squeeze();
    zmeny->Puvodni.squeeze();
    return zmeny;
}

// Calls Kus with each change in order: its distance from the one before (from
// position 0 for the first) and the code unit it replaced.
template <typename F> void TTextovyModel::ProjdiZmeny(const TZmeny &Zmeny, F &&Kus)
{
    qsizetype j = 0;
    for (qsizetype k = 0; k < Zmeny.Puvodni.size(); k += 2) {
        char16_t puvodni;
        std::memcpy(&puvodni, Zmeny.Puvodni.constData() + k, 2);
        quint64 odstup = 0;
        for (int posun = 0;; posun += 7) {
            const uchar b = uchar(Zmeny.Odstupy[j++]);
            odstup |= quint64(b & 0x7F) << posun;
            if (!(b & 0x80))
                break;
        }
        Kus(qsizetype(odstup), puvodni);
    }
}

std::optional<qsizetype> TTextovyModel::Zpet()
{
    if (!FZpet)
        return std::nullopt;
    // Kept until the text to bring back is ready: a failure leaves it.
    TZpet &zpet = *FZpet;
    const qsizetype pozice = zpet.Pozice;
    std::optional<TPodoba> podoba;
    if (zpet.Zmeny) {
        // The changed code units go back onto the document's string, which
        // is the one the conversion gave: every later edit has been taken
        // back. Should it be another, nothing is put onto it.
        TZmeny &zmeny = *zpet.Zmeny;
        if (FDokument.Delka() != zmeny.Delka) {
            FZpet.reset();
            return std::nullopt;
        }
        // The document's string, copied a paragraph at a time (the pass
        // takes steps) and hashed as it comes.
        QString dokument(zmeny.Delka, Qt::Uninitialized);
        VelkyBlok(dokument);
        char16_t *d = reinterpret_cast<char16_t *>(dokument.data());
        size_t otisk = 0;
        qsizetype pozice = 0, zahasovano = 0;
        const bool bCely = ProjdiDokument([&](QStringView Kus) {
            if (Kus.size() > zmeny.Delka - pozice)
                return false;
            std::memcpy(d + pozice, Kus.utf16(), size_t(Kus.size()) * sizeof(char16_t));
            pozice += Kus.size();
            PridejOtisk(otisk, QStringView(d, pozice), zahasovano, false);
            return true;
        });
        if (bCely && pozice == zmeny.Delka)
            PridejOtisk(otisk, QStringView(dokument), zahasovano, true);
        if (!bCely || pozice != zmeny.Delka || otisk != zmeny.Otisk) {
            FZpet.reset();
            return std::nullopt;
        }
        qsizetype misto = 0;
        ProjdiZmeny(zmeny, [&](qsizetype Odstup, char16_t Puvodni) {
            misto += Odstup;
            d[misto] = Puvodni;
        });
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
        // The text was in the document before, so the document can keep it
        // again; should it not take the raw text as it is, it takes the text.
        if (zpet.bSurovy)
            podoba = SurovaPodoba(zpet.Text);
        if (!podoba) {
            if (zpet.bSurovy) {
                zpet.Text.replace(QChar(Odstavec), Zlom().toString());
                zpet.bSurovy = false;
            }
            // Nothing but the rsZASTUPCI of Podoba, before any change, can
            // fail here, and the kept text goes once this is done.
            podoba = Podoba(std::move(zpet.Text));
        }
    }
    // Not held twice while the document takes its copy.
    FZpet.reset();
    Zobraz(std::move(*podoba));
    // Taking a change back is an edit of the user.
    FModified = true;
    return pozice;
}

std::optional<QString> TTextovyModel::ProDokument(const QString &Vkladany, bool bZlomy)
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
            const auto znamy =
                std::find_if(FZastupci.cbegin(), FZastupci.cend(), [u](const TZastupce &z) { return z.Znak == u; });
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

// A new stand-in must be a code unit that no undo can bring back with its
// own meaning, so the model remembers every code unit the user has put in.
void TTextovyModel::Videl(QStringView Vlozeny)
{
    if (!FVidene)
        FVidene = std::make_unique<TVidene>();
    for (const QChar c : Vlozeny)
        (*FVidene)[c.unicode()] = true;
}
