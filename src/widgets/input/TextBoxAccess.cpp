#include "widgets/input/TextBoxAccess.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

using namespace Qt::StringLiterals;

TextBoxAccess::TextBoxAccess(QWidget *widget)
    : m_line{qobject_cast<QLineEdit *>(widget)}
    , m_plain{qobject_cast<QPlainTextEdit *>(widget)}
    , m_rich{qobject_cast<QTextEdit *>(widget)}
{
}

bool TextBoxAccess::isTextBox() const
{
    return m_line || m_plain || m_rich;
}

bool TextBoxAccess::MultiLine() const
{
    return m_plain || m_rich;
}

int TextBoxAccess::SelStart() const
{
    if (m_line)
        return m_line->hasSelectedText() ? m_line->selectionStart() : m_line->cursorPosition();
    if (!MultiLine())
        return 0;
    // Document positions count a line break as one character.
    const int position = cursor().selectionStart();
    const QString plain = document()->toPlainText();
    return position + int(plain.left(position).count(u'\n'));
}

QString TextBoxAccess::Text() const
{
    if (m_line)
        return m_line->text();
    if (!MultiLine())
        return {};
    return document()->toPlainText().replace(u'\n', u"\r\n"_s);
}

void TextBoxAccess::SetText(const QString &text)
{
    if (m_line) {
        m_line->setText(text);
        return;
    }
    if (!MultiLine())
        return;
    QString plain = text;
    plain.replace(u"\r\n"_s, u"\n"_s);
    QTextCursor edit(document());
    if (document()->toPlainText().startsWith(plain)) {
        edit.setPosition(int(plain.size()));
        edit.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        edit.removeSelectedText();
    } else {
        edit.select(QTextCursor::Document);
        edit.insertText(plain);
    }
    setCursor(edit);
}

QTextDocument *TextBoxAccess::document() const
{
    return m_plain ? m_plain->document() : m_rich->document();
}

QTextCursor TextBoxAccess::cursor() const
{
    return m_plain ? m_plain->textCursor() : m_rich->textCursor();
}

void TextBoxAccess::setCursor(const QTextCursor &cursor)
{
    if (m_plain)
        m_plain->setTextCursor(cursor);
    else
        m_rich->setTextCursor(cursor);
}
