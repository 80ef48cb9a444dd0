#include "import/Gs1Barcode.h"

#include "import/StatementValues.h"

using namespace Qt::StringLiterals;

namespace {

// The check digit of the first 43 digits.
int checkDigit(QStringView digits)
{
    int sum = 0;
    for (qsizetype i = 0; i < Gs1Barcode::Length - 1; ++i) {
        // The digit next to the check digit weighs 3.
        const bool three = (Gs1Barcode::Length - 2 - i) % 2 == 0;
        sum += digits.at(i).digitValue() * (three ? 3 : 1);
    }
    return (10 - sum % 10) % 10;
}

} // namespace

Gs1Barcode Gs1Barcode::read(QStringView text)
{
    Gs1Barcode barcode;
    text = text.trimmed();
    qsizetype start = 0;
    while (start < text.size() && (text.at(start).isLetter() || text.at(start).isSpace()))
        ++start;
    const QStringView rest = text.sliced(start);
    if (!StatementValues::isDigits(rest) || rest.size() != Length) {
        barcode.problem = u"バーコード「%1」が 44 桁の数字ではありません"_s.arg(text);
        return barcode;
    }
    barcode.digits = rest.toString();
    if (!rest.startsWith(u"91"))
        barcode.problem = u"バーコード「%1」が 91 で始まっていません"_s.arg(rest);
    else if (const int check = checkDigit(rest); check != rest.back().digitValue())
        barcode.problem = u"バーコード「%1」のチェックディジットが正しくありません（%2 のはずです）"_s.arg(rest).arg(check);
    return barcode;
}

QString Gs1Barcode::orderNumber(int start, int length) const
{
    // The free digits follow 91 and the company code.
    QStringView number = QStringView(digits).sliced(8 + start - 1, length);
    while (!number.isEmpty() && number.front() == u'0')
        number = number.sliced(1);
    return number.toString();
}
