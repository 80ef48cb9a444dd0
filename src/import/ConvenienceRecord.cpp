#include "import/ConvenienceRecord.h"

#include "import/Gs1Barcode.h"

using namespace Qt::StringLiterals;

QString ConvenienceRecord::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Prompt: return u"速報"_s;
    case Kind::Final: return u"確報"_s;
    case Kind::PromptCancel: return u"速報取消"_s;
    case Kind::Postal: return u"郵便振替"_s;
    case Kind::PostalCorrection: return u"郵便振替訂正"_s;
    }
    return QString();
}

bool ConvenienceRecord::kindOf(QStringView code, Kind &kind)
{
    bool ok = false;
    const int value = code.trimmed().toInt(&ok);
    if (!ok || code.trimmed().size() != 2)
        return false;
    for (const Kind known : {Kind::Prompt, Kind::Final, Kind::PromptCancel, Kind::Postal, Kind::PostalCorrection}) {
        if (int(known) == value) {
            kind = known;
            return true;
        }
    }
    return false;
}

void ConvenienceRecord::readBarcode(QStringView text, int orderStart, int orderLength)
{
    const Gs1Barcode read = Gs1Barcode::read(text);
    barcode = read.ok() ? read.digits : text.trimmed().toString();
    if (!problem.isEmpty())
        return;
    if (!read.ok())
        problem = read.problem;
    else if (kind != Kind::PostalCorrection && read.amount() != amount)
        problem = u"バーコードの金額 %1 円が明細の金額 %2 円と違います"_s.arg(read.amount()).arg(amount);
    else
        order = read.orderNumber(orderStart, orderLength);
}
