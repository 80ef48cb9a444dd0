#include "import/Gs1Barcode.h"

using namespace Qt::StringLiterals;

Gs1Barcode Gs1Barcode::read(QStringView text)
{
    Gs1Barcode barcode;
    text = text.trimmed();
    qsizetype start = 0;
    while (start < text.size() && (text.at(start).isLetter() || text.at(start).isSpace()))
        ++start;
    const QStringView rest = text.sliced(start);
    const bool digitsOnly = std::all_of(rest.begin(), rest.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digitsOnly || rest.size() != Length) {
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

int Gs1Barcode::checkDigit(QStringView digits)
{
    int sum = 0;
    for (qsizetype i = 0; i < Length - 1; ++i) {
        // The digit next to the check digit weighs 3.
        const bool three = (Length - 2 - i) % 2 == 0;
        sum += digits.at(i).digitValue() * (three ? 3 : 1);
    }
    return (10 - sum % 10) % 10;
}

QDate Gs1Barcode::due() const
{
    const QStringView yymmdd = QStringView(digits).sliced(30, 6);
    return QDate(2000 + yymmdd.first(2).toInt(), yymmdd.sliced(2, 2).toInt(), yymmdd.sliced(4, 2).toInt());
}

QString Gs1Barcode::orderNumber(int start, int length) const
{
    QStringView number = free().sliced(start - 1, length);
    while (!number.isEmpty() && number.front() == u'0')
        number = number.sliced(1);
    return number.toString();
}
