#include "Memo.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <algorithm>

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
}

QString TMemo::SurovyText() const
{
    // The raw text keeps every character (non-breaking spaces included); only
    // the paragraph separators stand for the line breaks.
    return document()->toRawText();
}

QString TMemo::Text() const
{
    // One pass that writes CR LF for each paragraph separator (QString::replace
    // takes a third of a second on a text of 300,000 lines).
    const QString surovy = SurovyText();
    const char16_t *zdroj = reinterpret_cast<const char16_t *>(surovy.constData());
    const qsizetype n = surovy.size();
    const qsizetype zlomy = surovy.count(QChar::ParagraphSeparator);
    QString text = surovy;
    if (zlomy > 0) {
        text = QString(n + zlomy, Qt::Uninitialized);
        char16_t *cil = reinterpret_cast<char16_t *>(text.data());
        for (qsizetype i = 0; i < n; ++i) {
            if (zdroj[i] == u'\u2029') {
                *cil++ = u'\r';
                *cil++ = u'\n';
            } else {
                *cil++ = zdroj[i];
            }
        }
    }
    for (const TZastupce &z : FZastupci)
        text.replace(QChar(z.Zastupce), QChar(z.Znak));
    return text;
}

bool TMemo::JePrazdny() const
{
    return document()->isEmpty();
}

void TMemo::NastavText(const QString &Text, bool bVratitelne)
{
    if (Text == this->Text())
        return;
    PripravZpet(bVratitelne);
    // Stand-ins for the characters that the document would take for line
    // breaks, chosen among the noncharacters U+FDD2 to U+FDEF that the text
    // does not hold.
    FZastupci.clear();
    static constexpr char16_t zvlastni[] = {u'\u2029', u'\uFDD0', u'\uFDD1'};
    quint32 pouzite = 0; // bit k: U+FDD0 + k occurs
    bool bZvlastni[3] = {};
    for (const QChar c : Text) {
        const char16_t u = c.unicode();
        if (u >= 0xFDD0 && u <= 0xFDEF)
            pouzite |= 1u << (u - 0xFDD0);
        else if (u == u'\u2029')
            bZvlastni[0] = true;
    }
    bZvlastni[1] = pouzite & 1u;
    bZvlastni[2] = pouzite & 2u;
    char16_t volny = 0xFDD2;
    for (int k = 0; k < 3; ++k) {
        if (!bZvlastni[k])
            continue;
        while (volny <= 0xFDEF && (pouzite & (1u << (volny - 0xFDD0))))
            ++volny;
        if (volny > 0xFDEF)
            break; // a text that holds all of them keeps the loss
        FZastupci.append({zvlastni[k], volny++});
    }
    QString doEditoru = Text;
    for (const TZastupce &z : FZastupci)
        doEditoru.replace(QChar(z.Znak), QChar(z.Zastupce));
    Nahrad(doEditoru, bVratitelne);
}

void TMemo::NastavSurovyText(const QString &Text, bool bVratitelne)
{
    if (Text == SurovyText())
        return;
    PripravZpet(bVratitelne);
    Nahrad(Text, bVratitelne);
}

void TMemo::Nahrad(const QString &Text, bool bZachovatPolohu)
{
    // A conversion keeps the length of the text, so the caret, the selection
    // and the view stay where they were.
    const int kotva = textCursor().anchor();
    const int pozice = textCursor().position();
    const int posuv = verticalScrollBar()->value();
    bProgram = true;
    setPlainText(Text);
    bProgram = false;
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
    FZastupci.clear();
    bProgram = true;
    clear();
    bProgram = false;
    FModified = false;
}

// Before a replacement: keep the text for Zpet, or forget what was kept (a
// replacement that is not the user's own command starts a new history).
void TMemo::PripravZpet(bool bVratitelne)
{
    if (bVratitelne)
        FZpet = TZpet{SurovyText(), FZastupci, textCursor().position()};
    else
        FZpet.reset();
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
    const TZpet zpet = std::move(*FZpet);
    FZpet.reset();
    bProgram = true;
    setPlainText(zpet.Text);
    bProgram = false;
    FZastupci = zpet.Zastupci;
    QTextCursor kurzor = textCursor();
    kurzor.setPosition(std::min(zpet.Pozice, document()->characterCount() - 1));
    setTextCursor(kurzor);
    // Taking a change back is an edit of the user.
    FModified = true;
    emit Zmena();
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
    // Shift+Enter starts a new line like Enter: the text knows no other break.
    const bool enter = Udalost->key() == Qt::Key_Return || Udalost->key() == Qt::Key_Enter;
    if (enter && (Udalost->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent bezShiftu(Udalost->type(), Udalost->key(), Udalost->modifiers() & ~Qt::ShiftModifier,
                            Udalost->text(), Udalost->isAutoRepeat(), Udalost->count());
        QPlainTextEdit::keyPressEvent(&bezShiftu);
        Udalost->setAccepted(bezShiftu.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(Udalost);
}
