#include "Memo.h"

#include "Chyby.h"
#include "convar.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QPointer>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace {

// Marks the separator in front of a piece of a long line.
constexpr int VlastnostDilku = QTextFormat::UserProperty + 0x4C4D;

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
        FModel.SetModified(true);
        emit Zmena();
    });
    PripojDokument();
}

// The model takes no stand-in that the user has put in.
void TMemo::PripojDokument()
{
    connect(document(), &QTextDocument::contentsChange, this, [this](int Pozice, int, int Pridano) {
        if (bProgram || Pridano <= 0)
            return;
        QTextCursor kurzor(document());
        kurzor.setPosition(Pozice);
        kurzor.setPosition(std::min(Pozice + Pridano, document()->characterCount() - 1), QTextCursor::KeepAnchor);
        FModel.Videl(kurzor.selectedText());
    });
}

namespace {

qsizetype DelkaDavkyTestu = 0;

} // namespace

// About 4 MB of the document's string: a batch takes the document some tens
// of milliseconds.
qsizetype TMemo::DelkaDavky()
{
    return DelkaDavkyTestu > 0 ? DelkaDavkyTestu : qsizetype(1) << 21;
}

void TMemo::NastavDelkuDavky(qsizetype Delka)
{
    DelkaDavkyTestu = Delka;
}

qsizetype TMemo::Delka() const
{
    return document()->characterCount() - 1;
}

QString TMemo::Surovy() const
{
    // The raw text keeps every character (non-breaking spaces included); only
    // the paragraph separators stand for the line breaks.
    return document()->toRawText();
}

// A step of a long pass, without a figure of its progress.
bool TMemo::Krok() const
{
    return !Prubeh.Krok || Prubeh.Krok(-1, -1) || !Prubeh.bZrusitelna;
}

bool TMemo::Projdi(qsizetype Od, bool bText, const TKus &Kus) const
{
    TOdstavec odstavec;
    // A pass over a big document takes steps as a replacement does.
    const qsizetype krokPo = DelkaDavky();
    qsizetype dalsiKrok = Od + krokPo;
    for (QTextBlock blok = document()->findBlock(int(Od)); blok.isValid(); blok = blok.next()) {
        if (blok.position() >= dalsiKrok) {
            if (!Krok())
                throw EZruseno();
            dalsiKrok = blok.position() + krokPo;
        }
        const QTextBlock dalsi = blok.next();
        odstavec.Pozice = blok.position();
        odstavec.Delka = blok.length() - 1;
        if (bText)
            odstavec.Text = blok.text();
        odstavec.bPosledni = !dalsi.isValid();
        odstavec.bDalsiJeDilek = JeDilek(dalsi);
        if (!Kus(odstavec))
            return false;
    }
    return true;
}

void TMemo::ProjdiSurovyText(const std::function<void(QStringView Kus)> &Kus) const
{
    static constexpr char16_t oddelovac = QChar::ParagraphSeparator;
    for (QTextBlock blok = document()->begin(); blok.isValid(); blok = blok.next()) {
        if (blok.position() > 0)
            Kus(QStringView(&oddelovac, 1));
        Kus(blok.text());
    }
}

bool TMemo::JeDilek(const QTextBlock &Blok) const
{
    return FModel.MaDilky() && Blok.isValid() && Blok.position() > 0 && Blok.charFormatIndex() == FFormatDilku;
}

// The mark is a format of the separator: it goes and comes back with it
// through every edit and undo. It is not an edit itself.
void TMemo::OznacDilky(QTextDocument &Dokument, const QList<qsizetype> &Dilky)
{
    if (Dilky.isEmpty())
        return;
    const bool bZpet = Dokument.isUndoRedoEnabled();
    Dokument.setUndoRedoEnabled(false);
    QTextCharFormat format;
    format.setProperty(VlastnostDilku, true);
    QTextCursor kurzor(&Dokument);
    kurzor.beginEditBlock();
    for (const qsizetype pozice : Dilky) {
        kurzor.setPosition(int(pozice));
        kurzor.setPosition(int(pozice) + 1, QTextCursor::KeepAnchor);
        kurzor.mergeCharFormat(format);
    }
    kurzor.endEditBlock();
    Dokument.setUndoRedoEnabled(bZpet);
}

// Appends Text to the end of Dokument a batch at a time, with a step of the
// progress after each. A batch ends with a paragraph where one ends soon
// after its size (a paragraph that a batch only began would be laid out
// again with each batch that adds to it), and never between the CR and LF of
// a break (the document would take them for two) nor inside a surrogate pair.
// bZrusitelne: the user may give it up (EZruseno).
void TMemo::VlozPoDavkach(QTextDocument &Dokument, const QString &Text, bool bZrusitelne)
{
    const qsizetype n = Text.size();
    const qsizetype davka = DelkaDavky();
    QTextCursor kurzor(&Dokument);
    kurzor.movePosition(QTextCursor::End);
    for (qsizetype od = 0; od < n;) {
        qsizetype konec = std::min(n, od + davka);
        for (qsizetype i = konec - 1, mez = std::min(n, konec + 2 * MaxDelkaBloku); i < mez; ++i)
            if (Text[i] == QChar::ParagraphSeparator || Text[i] == u'\n') {
                konec = i + 1;
                break;
            }
        while (konec < n &&
               ((Text[konec - 1] == u'\r' && Text[konec] == u'\n') ||
                (Text[konec - 1].isHighSurrogate() && Text[konec].isLowSurrogate())))
            ++konec;
        // The document copies the batch into its own buffer: it is handed
        // over without a copy of its own.
        kurzor.insertText(QString::fromRawData(Text.constData() + od, konec - od), QTextCharFormat());
        od = konec;
        if (!Prubeh.Krok(od, n) && bZrusitelne)
            throw EZruseno();
    }
}

void TMemo::Zobraz(const QString &Dokument, const QList<qsizetype> &Dilky)
{
    bProgram = true;
    const auto konec = qScopeGuard([this] { bProgram = false; });
    // The new text takes the caret's character format; in an empty piece of
    // a long line that would be the piece mark, and every line break of the
    // new text would become a mark.
    setCurrentCharFormat(QTextCharFormat());
    FFormatDilku = -1;
    if (!Prubeh.Krok || Dokument.size() <= DelkaDavky()) {
        setPlainText(Dokument);
        OznacDilky(*document(), Dilky);
    } else if (Prubeh.bZrusitelna) {
        // A replacement that may be given up is built in a document of its
        // own, which takes the place of the one shown only once it is
        // complete; until then the user sees, and keeps, the text as it was.
        QTextDocument *stary = document();
        auto novy = std::make_unique<QTextDocument>();
        novy->setDocumentLayout(new QPlainTextDocumentLayout(novy.get()));
        novy->setDefaultFont(stary->defaultFont());
        novy->setDefaultTextOption(stary->defaultTextOption());
        novy->setDocumentMargin(stary->documentMargin());
        novy->setUndoRedoEnabled(false);
        VlozPoDavkach(*novy, Dokument, true);
        OznacDilky(*novy, Dilky);
        novy->setUndoRedoEnabled(true);
        // Owned as the editor's own document: the editor deletes it when
        // another takes its place.
        novy->setParent(stary->parent());
        const QPointer<QTextDocument> predchozi(stary);
        setDocument(novy.release());
        delete predchozi.data();
        PripojDokument();
        setTextCursor(QTextCursor(document()));
    } else {
        // The document shown takes the text batch by batch; it is the one
        // document held, not two.
        QTextDocument *dokument = document();
        dokument->setUndoRedoEnabled(false);
        clear();
        VlozPoDavkach(*dokument, Dokument, false);
        OznacDilky(*dokument, Dilky);
        dokument->setUndoRedoEnabled(true);
        setTextCursor(QTextCursor(dokument));
    }
    if (!Dilky.isEmpty())
        FFormatDilku = document()->findBlock(int(Dilky.first()) + 1).charFormatIndex();
}

void TMemo::Vyprazdni()
{
    bProgram = true;
    clear();
    bProgram = false;
}

void TMemo::Nahrazeno(int Kotva, int Pozice, int Posuv, bool bZachovatPolohu)
{
    // A conversion keeps the length of the text, so the caret, the selection
    // and the view stay where they were.
    if (bZachovatPolohu) {
        QTextCursor kurzor = textCursor();
        const int konec = kurzor.document()->characterCount() - 1;
        kurzor.setPosition(std::min(Kotva, konec));
        kurzor.setPosition(std::min(Pozice, konec), QTextCursor::KeepAnchor);
        setTextCursor(kurzor);
        verticalScrollBar()->setValue(Posuv);
    }
    emit Zmena();
}

void TMemo::Nahrad(bool bVratitelne, const std::function<bool(int Pozice)> &Zmen)
{
    const int kotva = textCursor().anchor();
    const int pozice = textCursor().position();
    const int posuv = verticalScrollBar()->value();
    if (Zmen(pozice))
        Nahrazeno(kotva, pozice, posuv, bVratitelne);
}

void TMemo::NastavText(QString Text, bool bVratitelne)
{
    Nahrad(bVratitelne, [&](int Pozice) { return FModel.NastavText(std::move(Text), bVratitelne, Pozice); });
}

void TMemo::NastavSurovyText(const QString &Text, bool bVratitelne)
{
    Nahrad(bVratitelne, [&](int Pozice) { return FModel.NastavSurovyText(Text, bVratitelne, Pozice); });
}

void TMemo::NastavPrevedenyTvar(const QString &Surovy, bool bVratitelne)
{
    Nahrad(bVratitelne, [&](int Pozice) { return FModel.NastavPrevedenyTvar(Surovy, bVratitelne, Pozice); });
}

void TMemo::NastavPrevedenyTvar(const QString &Surovy, TTextovyModel::TZaznamZmen &&Zaznam, bool bVratitelne)
{
    Nahrad(bVratitelne,
           [&](int Pozice) { return FModel.NastavPrevedenyTvar(Surovy, std::move(Zaznam), bVratitelne, Pozice); });
}

void TMemo::Smaz(bool bVratitelne)
{
    FModel.Smaz(bVratitelne, textCursor().position());
}

void TMemo::Zpet()
{
    // The editor's own edits go back first; then the text as it was before
    // the last conversion or delete all.
    if (document()->isUndoAvailable()) {
        undo();
        return;
    }
    const std::optional<qsizetype> pozice = FModel.Zpet();
    if (!pozice)
        return;
    QTextCursor kurzor = textCursor();
    kurzor.setPosition(std::min(int(*pozice), document()->characterCount() - 1));
    setTextCursor(kurzor);
    emit Zmena();
}

// Puts in what the user typed, pasted or dropped; false (and the user is
// told) when it cannot be kept without loss.
bool TMemo::VlozOdUzivatele(const QString &Vkladany, bool bZlomy)
{
    const std::optional<QString> dokument = FModel.ProDokument(Vkladany, bZlomy);
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
    data->setText(FModel.Prevod(kurzor.selectionStart(), kurzor.selectionEnd(), u"\n"));
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
    std::optional<QString> dokument = vkladany.isEmpty() ? vkladany : FModel.ProDokument(vkladany, true);
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
        if (PrikazZpet)
            PrikazZpet();
        else
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
    if (enter && FModel.MaDilky() && !(Udalost->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
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
        QKeyEvent bezShiftu(Udalost->type(), Udalost->key(), Udalost->modifiers() & ~Qt::ShiftModifier, Udalost->text(),
                            Udalost->isAutoRepeat(), Udalost->count());
        QPlainTextEdit::keyPressEvent(&bezShiftu);
        Udalost->setAccepted(bezShiftu.isAccepted());
        return;
    }
    // Where a long line goes on in the next piece, Backspace and Delete take
    // the character beyond the mark, as they would in the unbroken line.
    if (FModel.MaDilky() && !kurzor.hasSelection() && !isReadOnly()) {
        const bool backspace = Udalost->key() == Qt::Key_Backspace && !(Udalost->modifiers() & ~Qt::ShiftModifier);
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
        const std::optional<QString> dokument = FModel.ProDokument(text, false);
        if (dokument != text) {
            VlozOdUzivatele(text, false);
            Udalost->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(Udalost);
}
