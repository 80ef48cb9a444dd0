#include "MatchRate.h"

#include "core/data/CellText.h"
#include "core/import/CsvWriter.h"
#include "core/import/PayerNames.h"
#include "core/import/MatchKeys.h"
#include "core/import/PaymentImport.h"
#include "core/import/StatementFile.h"

#include <QDate>
#include <QElapsedTimer>
#include <QHash>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 Tolerance = 880;

// The stated mix, in percent of the statement's lines.
struct Mix
{
    int numberColumn = 24;  // 注文番号 column, a membership number or a date in the texts
    int numberInText = 10;  // "1234ﾔﾏﾀﾞﾀﾛｳ", no column
    int phone = 16;         // four spellings, a quarter each
    int learnedName = 8;    // the payer name alone, taught before
    int fee = 6;            // 注文番号 column, short by a bank's transfer fee
    int combined = 5;       // a repeat customer's phone, the sum of all their orders
    int split = 6;          // an order in two transfers (two lines each)
    int amountOnly = 10;    // no key
    int unlisted = 5;       // 注文番号 of an order not listed
    int unreadable = 5;     // an amount nobody can read
    // the rest: a date and an amount, no key
};

QString digitsOf(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (c.isDigit())
            digits += QChar(u'0' + c.digitValue());
    }
    return digits;
}

// A kana name from a number, so that names carry no digits.
QString kanaName(int n)
{
    static const QString syllables = u"ｱｶｻﾀﾅﾊﾏﾔﾗﾜ"_s;
    QString name = u"ﾒｲｷﾞ "_s;
    do {
        name += syllables.at(n % 10);
        n /= 10;
    } while (n > 0);
    return name;
}

QString fullWidth(const QString &text)
{
    QString wide = text;
    for (QChar &c : wide) {
        if (c >= u'0' && c <= u'9')
            c = QChar(c.unicode() - u'0' + u'０');
    }
    return wide;
}

// The four ways payers write a listed phone number.
QString spelled(const QString &phone, int way)
{
    const QStringList parts = phone.split(u'-');
    switch (way) {
    case 0:
        return phone;
    case 1:
        return digitsOf(phone);
    case 2:
        return parts.size() == 3 ? u"(%1)%2-%3"_s.arg(parts.at(0), parts.at(1), parts.at(2)) : phone;
    default:
        return fullWidth(phone);
    }
}

} // namespace

QJsonObject MatchRate::rateFigure() const
{
    std::printf("%s\n", qPrintable(u"%1: %2 %  (%3 of %4 identifiable lines of %5; target >= 95 %)"_s
                                       .arg(u"import match rate"_s, -28)
                                       .arg(percent(), 0, 'f', 2)
                                       .arg(tickedRight)
                                       .arg(identifiable)
                                       .arg(lines)));
    std::printf("%s\n", qPrintable(u"  its import: %1 lines read in %2 ms, of which reading %3 ms"_s.arg(imported)
                                       .arg(importMs, 0, 'f', 2)
                                       .arg(readMs, 0, 'f', 2)));
    return {{u"value"_s, percent()}, {u"unit"_s, u"%"_s}, {u"target"_s, 95}, {u"met"_s, percent() >= 95},
            {u"identifiable"_s, identifiable}, {u"ticked"_s, tickedRight}, {u"lines"_s, lines},
            {u"importMs"_s, importMs}, {u"readMs"_s, readMs}};
}

QJsonObject MatchRate::wrongFigure() const
{
    std::printf("%s\n", qPrintable(u"%1: %2 lines  (target 0)"_s.arg(u"import lines ticked wrongly"_s, -28)
                                       .arg(tickedWrong)));
    return {{u"value"_s, tickedWrong}, {u"unit"_s, u"lines"_s}, {u"target"_s, 0}, {u"met"_s, tickedWrong == 0}};
}

MatchRate MeasureMatchRate(const QList<ListedOrder> &listed, int lineCount)
{
    MatchRate rate;
    QList<ListedOrder> orders = listed;
    const qsizetype n = orders.size();
    // Every line takes orders of its own: a short list makes a shorter statement.
    lineCount = std::min(lineCount, int(n / 2));
    if (lineCount < 100)
        return rate;
    QList<qint64> open(n);
    qint64 maxId = 0;
    for (qsizetype i = 0; i < n; ++i) {
        open[i] = PaymentMatcher::openAmount(orders.at(i));
        maxId = std::max(maxId, orders.at(i).id);
    }

    // Orders are handed out once each, spread over the list.
    QList<bool> used(n, false);
    qsizetype cursor = 0;
    const auto nextOrder = [&](auto accept) -> int {
        for (qsizetype tries = 0; tries < n; ++tries) {
            cursor = (cursor + 7919) % n;
            if (!used.at(cursor) && open.at(cursor) > 2 * Tolerance && accept(int(cursor))) {
                used[cursor] = true;
                return int(cursor);
            }
        }
        return -1;
    };
    const auto any = [](int) { return true; };

    // Repeat customers: two or three orders given one phone number.
    const auto customerOf = [&](int size) {
        QList<int> group;
        for (int k = 0; k < size; ++k) {
            const int order = nextOrder(any);
            if (order < 0)
                return QList<int>{};
            group.append(order);
            orders[order].phone = orders.at(group.constFirst()).phone;
            orders[order].tel1.clear();
        }
        return group;
    };

    // The truth: which orders each line is for (empty: none can be known).
    QList<QList<qint64>> truth;
    QList<QStringList> rows{{u"日付"_s, u"金額"_s, u"振込依頼人名"_s, u"摘要"_s, u"注文番号"_s}};
    const QString date = CellText::dateText(int(QDate::currentDate().toJulianDay()));
    const auto add = [&](qint64 amount, const QString &payer, const QString &remark, const QString &number,
                         QList<qint64> truly, const QString &amountText = QString()) {
        rows.append({date, amountText.isEmpty() ? QString::number(amount) : amountText, payer, remark, number});
        std::sort(truly.begin(), truly.end());
        truth.append(truly);
    };

    // Lines keyed by a customer's phone are known only when the phone and the
    // amount single out what was paid among every listed order: settled at the end.
    struct ByCustomer
    {
        qsizetype line;
        QString phone;
        qint64 amount;
        QList<qint64> paid;
    };
    QList<ByCustomer> byCustomer;
    const auto addByCustomer = [&](qint64 amount, const QString &payer, const QString &remark, const QString &phone,
                                   const QList<qint64> &paid) {
        QList<qint64> sorted = paid;
        std::sort(sorted.begin(), sorted.end());
        byCustomer.append({truth.size(), digitsOf(phone), amount, sorted});
        add(amount, payer, remark, QString(), {});
    };

    PayerNames taught;
    const Mix mix;
    const auto share = [&](int percent) { return lineCount * percent / 100; };
    for (int k = 0; k < share(mix.numberColumn); ++k) {
        const int order = nextOrder(any);
        if (order < 0)
            break;
        const QString hostile = k % 2 ? u"ｶｲｲﾝ%1"_s.arg(orders.at((order + 1) % n).id) : u"12/01ﾌﾞﾝ"_s;
        add(open.at(order), kanaName(order), hostile, QString::number(orders.at(order).id), {orders.at(order).id});
    }
    for (int k = 0; k < share(mix.numberInText); ++k) {
        const int order = nextOrder(any);
        if (order < 0)
            break;
        add(open.at(order), QString::number(orders.at(order).id) + kanaName(order), u"12月1日ﾌﾞﾝ"_s, QString(),
            {orders.at(order).id});
    }
    for (int k = 0; k < share(mix.phone); ++k) {
        // Half of them repeat customers, whom the amount tells apart.
        const QList<int> customer = k % 2 ? customerOf(2) : QList<int>{nextOrder(any)};
        if (customer.isEmpty() || customer.constLast() < 0)
            break;
        const int order = customer.constLast();
        addByCustomer(open.at(order), kanaName(order), spelled(orders.at(order).phone, k % 4), orders.at(order).phone,
                      {orders.at(order).id});
    }
    for (int k = 0; k < share(mix.learnedName); ++k) {
        const int order = nextOrder(any);
        if (order < 0)
            break;
        const QString payer = u"ｶﾞｸｼｭｳ "_s + kanaName(order);
        taught.teach(PayerNames::normalised(payer), {MatchKeys::phoneKey(orders.at(order).phone), QString()});
        addByCustomer(open.at(order), payer, QString(), orders.at(order).phone, {orders.at(order).id});
    }
    static const qint64 fees[] = {220, 330, 440, 660, 880};
    for (int k = 0; k < share(mix.fee); ++k) {
        const int order = nextOrder(any);
        if (order < 0)
            break;
        add(open.at(order) - fees[k % 5], kanaName(order), QString(), QString::number(orders.at(order).id),
            {orders.at(order).id});
    }
    for (int k = 0; k < share(mix.combined); ++k) {
        const QList<int> customer = customerOf(2 + k % 2);
        if (customer.isEmpty())
            break;
        qint64 sum = 0;
        QList<qint64> ids;
        for (const int order : customer) {
            sum += open.at(order);
            ids.append(orders.at(order).id);
        }
        const QString phone = orders.at(customer.constFirst()).phone;
        addByCustomer(sum - (k % 3 == 0 ? 660 : 0), kanaName(customer.constFirst()), spelled(phone, k % 4), phone,
                      ids);
    }
    for (int k = 0; k < share(mix.split) / 2; ++k) {
        const int order = nextOrder(any);
        if (order < 0)
            break;
        const qint64 first = open.at(order) / 2;
        const QString number = QString::number(orders.at(order).id);
        add(first, kanaName(order), QString(), number, {orders.at(order).id});
        add(open.at(order) - first, kanaName(order), QString(), number, {orders.at(order).id});
    }
    for (int k = 0; k < share(mix.amountOnly); ++k) {
        const int order = nextOrder(any);
        if (order < 0)
            break;
        add(open.at(order), kanaName(order) + u" ｻﾏ"_s, QString(), QString(), {});
    }
    for (int k = 0; k < share(mix.unlisted); ++k)
        add(3000 + k, kanaName(k), QString(), QString::number(maxId + 1 + k), {});
    for (int k = 0; k < share(mix.unreadable); ++k) {
        const int order = nextOrder(any);
        if (order < 0)
            break;
        add(0, kanaName(order), QString(), QString::number(orders.at(order).id), {}, u"12O0"_s);
    }
    while (rows.size() <= lineCount) {
        const int order = nextOrder(any);
        if (order < 0)
            break;
        add(open.at(order), kanaName(order), u"2026/12/05ﾌﾞﾝ"_s, QString(), {});
    }

    QHash<QString, QList<int>> byPhone;
    for (qsizetype i = 0; i < n; ++i) {
        for (const QString &phone : {digitsOf(orders.at(i).phone), digitsOf(orders.at(i).tel1)}) {
            if (!phone.isEmpty() && !byPhone.value(phone).contains(int(i)))
                byPhone[phone].append(int(i));
        }
    }
    for (const ByCustomer &line : byCustomer) {
        const QList<int> customer = byPhone.value(line.phone);
        QList<qint64> all;
        QList<qint64> exact;
        for (const int order : customer) {
            all.append(orders.at(order).id);
            if (open.at(order) == line.amount)
                exact.append(orders.at(order).id);
        }
        std::sort(all.begin(), all.end());
        // One order: it must be the only one of the customer's with the amount;
        // all of them: the line must pay every one.
        if ((line.paid.size() == 1 && exact == line.paid) || (line.paid.size() > 1 && exact.isEmpty()
                                                              && all == line.paid))
            truth[line.line] = line.paid;
    }

    QTemporaryFile file;
    if (!file.open() || file.write(CsvWriter::document(rows)) < 0 || !file.flush())
        return rate;
    QElapsedTimer timer;
    timer.start();
    Statement statement = StatementFile::readFile(file.fileName(), QDate::currentDate());
    rate.readMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    const PaymentImport import(std::move(statement), orders, Tolerance, taught);
    rate.importMs = rate.readMs + double(timer.nsecsElapsed()) / 1e6;

    rate.lines = int(truth.size());
    rate.imported = import.lineCount();
    for (const QList<qint64> &truly : std::as_const(truth)) {
        if (!truly.isEmpty())
            ++rate.identifiable;
    }
    for (int i = 0; i < import.lineCount(); ++i) {
        // The truth is kept by the file's line: the header is line 1.
        const QList<qint64> truly = truth.value(import.line(i).lineNumber - 2);
        if (!import.isTicked(i))
            continue;
        QList<qint64> ids;
        for (const int order : import.targets(i))
            ids.append(import.matcher().orders().at(order).id);
        std::sort(ids.begin(), ids.end());
        if (!truly.isEmpty() && ids == truly)
            ++rate.tickedRight;
        else
            ++rate.tickedWrong;
    }
    return rate;
}
