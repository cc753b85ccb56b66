#include "Memo.h"

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

QString TMemo::Text() const
{
    // The raw text keeps every character (non-breaking spaces included); only
    // the paragraph separators stand for the line breaks.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text;
}

bool TMemo::JePrazdny() const
{
    return document()->isEmpty();
}

void TMemo::NastavText(const QString &Text)
{
    if (Text == this->Text())
        return;
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
