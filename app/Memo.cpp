#include "Memo.h"

#include <QKeyEvent>
#include <QTextDocument>

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
    if (zlomy == 0)
        return surovy;
    QString text(n + zlomy, Qt::Uninitialized);
    char16_t *cil = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i < n; ++i) {
        if (zdroj[i] == u'\u2029') {
            *cil++ = u'\r';
            *cil++ = u'\n';
        } else {
            *cil++ = zdroj[i];
        }
    }
    return text;
}

bool TMemo::JePrazdny() const
{
    return document()->isEmpty();
}

void TMemo::NastavText(const QString &Text)
{
    if (Text != this->Text())
        Nahrad(Text);
}

void TMemo::NastavSurovyText(const QString &Text)
{
    if (Text != SurovyText())
        Nahrad(Text);
}

void TMemo::Nahrad(const QString &Text)
{
    bProgram = true;
    setPlainText(Text);
    bProgram = false;
    FModified = false;
    emit Zmena();
}

void TMemo::Smaz()
{
    bProgram = true;
    clear();
    bProgram = false;
    FModified = false;
}

void TMemo::keyPressEvent(QKeyEvent *Udalost)
{
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
