#pragma once

#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QTextCursor;
class QTextDocument;
class QTextEdit;
class QWidget;

// The text-box properties the key hook reads, over Qt's line and text edits.
// The line rules count in text with CR LF line breaks, so Text is handed out
// that way and SelStart counts in it; Qt itself keeps one '\n' per break.
class TextBoxAccess final
{
public:
    // Any widget; isTextBox() tells whether it is one.
    explicit TextBoxAccess(QWidget *widget);

    bool isTextBox() const;

    bool MultiLine() const;
    // Start of the selection, or the caret when nothing is selected.
    int SelStart() const;
    QString Text() const;
    // Takes CR LF line breaks. Cutting text off the end keeps the rest of
    // the box (formatting, undo history) as it was.
    void SetText(const QString &text);

private:
    QTextDocument *document() const;
    QTextCursor cursor() const;
    void setCursor(const QTextCursor &cursor);

    QLineEdit *m_line{};
    QPlainTextEdit *m_plain{};
    QTextEdit *m_rich{};
};
