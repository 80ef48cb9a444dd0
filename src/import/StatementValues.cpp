#include "import/StatementValues.h"

#include "core/data/CellText.h"
#include "import/BankDate.h"

#include <QDate>
#include <QRegularExpression>
#include <QString>

#include <cmath>

using namespace Qt::StringLiterals;

namespace StatementValues {

QDate dateOf(QStringView text)
{
    static const QRegularExpression era(u"^(令和|平成|[RrHh])\\.?(元|\\d{1,2})[年./-](\\d{1,2})[月./-](\\d{1,2})日?$"_s);
    static const QRegularExpression western(u"^(\\d{4})年(\\d{1,2})月(\\d{1,2})日$"_s);
    QString plain = CellText::toHalfWidth(text.trimmed());
    if (const QRegularExpressionMatch m = era.match(plain); m.hasMatch()) {
        const bool reiwa = m.captured(1) == u"令和" || m.captured(1).compare(u"R", Qt::CaseInsensitive) == 0;
        // A day outside its own era is no date; it is not read in the other one.
        const QDate date = BankDate::inEra(m.captured(2) == u"元" ? 1 : m.captured(2).toInt(), m.captured(3).toInt(),
                                           m.captured(4).toInt(), reiwa ? BankDate::Era::Reiwa : BankDate::Era::Heisei);
        return CellText::holdsDate(date) ? date : QDate();
    }
    if (const QRegularExpressionMatch m = western.match(plain); m.hasMatch())
        plain = m.captured(1) + u'/' + m.captured(2) + u'/' + m.captured(3);
    // Bank exports often write the date without separators.
    else if (plain.size() == 8 && isDigits(QStringView(plain)))
        plain = plain.left(4) + u'/' + plain.mid(4, 2) + u'/' + plain.mid(6, 2);
    const int julian = CellText::parseDate(plain);
    return julian ? QDate::fromJulianDay(julian) : QDate();
}

std::optional<qint64> amountOf(QStringView text)
{
    QString plain = CellText::toHalfWidth(text.trimmed());
    if (plain.startsWith(u'¥') || plain.startsWith(u'￥') || plain.startsWith(u'\\'))
        plain.remove(0, 1);
    if (plain.endsWith(u'円'))
        plain.chop(1);
    plain = plain.trimmed();
    // 1.23457E+06 is what a spreadsheet made of a long number: its digits are gone.
    if (plain.isEmpty() || plain.contains(u'e', Qt::CaseInsensitive))
        return std::nullopt;
    const std::optional<double> value = CellText::parseNumber(plain);
    // Beyond 13 digits a double no longer holds every yen exactly.
    if (!value || std::isnan(*value) || *value != std::trunc(*value) || std::fabs(*value) >= 1e13)
        return std::nullopt;
    return static_cast<qint64>(*value);
}

QString orderNumberOf(QStringView text)
{
    static const QRegularExpression written(
        u"^(?:注文(?:番号)?)?\\s*(?:no\\.?|#)?\\s*[:]?\\s*(\\d{1,18})(?:\\s*[-−‐]\\s*\\d{1,3})?$"_s,
        QRegularExpression::CaseInsensitiveOption);
    // NFKC folds ２５０, Ｎｏ．, ＃ and № to their plain forms.
    const QString plain = text.toString().normalized(QString::NormalizationForm_KC).trimmed();
    const QRegularExpressionMatch m = written.match(plain);
    // \d is ASCII alone: the option for Unicode's digits is not set.
    return m.hasMatch() ? m.captured(1) : QString();
}

} // namespace StatementValues
