#include "core/text/DecodedText.h"

#include <QStringDecoder>

#include <utility>

DecodedText::DecodedText(QString text, TextEncoding encoding)
    : m_text(std::move(text)), m_encoding(encoding)
{
}

DecodedText DecodedText::decode(const QByteArray &bytes)
{
    // The decoder drops a leading byte-order mark itself.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return DecodedText(std::move(text), TextEncoding::Utf8);

    // ICU's windows-31j is CP932 proper (NEC and IBM extensions, U+FF5E for 0x8160).
    QStringDecoder cp932("windows-31j", QStringConverter::Flag::Stateless);
    if (cp932.isValid()) {
        text = cp932.decode(bytes);
        if (!cp932.hasError())
            return DecodedText(std::move(text), TextEncoding::Cp932);
    }
    return DecodedText(QString::fromLatin1(bytes), TextEncoding::Latin1);
}
