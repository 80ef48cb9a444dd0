#include "demo/DemoDatabase.h"

#include "core/data/DbConnection.h"
#include "core/data/SqlSchema.h"

#include <QStringList>
#include <QVariantList>

#include <algorithm>
#include <array>
#include <random>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

struct Method
{
    const char16_t *name;
    int weight; // out of 100
};

// The payment methods the orders use, roughly as often as a mail-order
// house sees them.
constexpr std::array<Method, 6> kMethods{{
    {u"代金引換", 25},
    {u"銀行振込", 25},
    {u"クレジットカード", 20},
    {u"コンビニ払い", 12},
    {u"郵便振替", 8},
    {u"後払い", 10},
}};
constexpr const char16_t *kExemptMethod = u"クレジットカード";

constexpr std::array<const char16_t *, 30> kFamilyNames{
    u"佐藤", u"鈴木", u"高橋", u"田中", u"伊藤", u"渡辺", u"山本", u"中村", u"小林", u"加藤",
    u"吉田", u"山田", u"佐々木", u"山口", u"松本", u"井上", u"木村", u"林", u"斎藤", u"清水",
    u"山崎", u"森", u"池田", u"橋本", u"阿部", u"石川", u"山下", u"中島", u"石井", u"小川"};
constexpr std::array<const char16_t *, 30> kGivenNames{
    u"太郎", u"花子", u"一郎", u"陽子", u"健太", u"美咲", u"大輔", u"由美", u"翔太", u"恵子",
    u"誠", u"直美", u"拓也", u"明美", u"浩二", u"裕子", u"隆", u"真由美", u"亮", u"智子",
    u"和也", u"幸子", u"悠斗", u"さくら", u"蓮", u"結衣", u"大翔", u"陽菜", u"湊", u"葵"};
constexpr std::array<const char16_t *, 6> kCompanies{
    u"株式会社山田商事", u"東和物産株式会社", u"有限会社さくら企画", u"北斗電機株式会社",
    u"株式会社青葉食品", u"光和印刷有限会社"};
// Area code and the digits of the middle group.
constexpr std::array<std::pair<const char16_t *, int>, 9> kPhoneAreas{{
    {u"090", 4}, {u"080", 4}, {u"070", 4}, {u"03", 4}, {u"06", 4},
    {u"045", 3}, {u"052", 3}, {u"092", 3}, {u"011", 3}}};

constexpr int kShipDays = 60;

QString dateText(const QDate &date)
{
    return date.toString(u"yyyy/MM/dd");
}

// std::mt19937's output is the same everywhere; the standard distributions
// are not, so the picks below are plain arithmetic on it.
class Random final
{
public:
    explicit Random(quint32 seed) : m_engine(seed) {}
    int below(int n) { return int(m_engine() % quint32(n)); }
    bool chance(double share) { return double(m_engine()) / 4294967296.0 < share; }

private:
    std::mt19937 m_engine;
};

QString digits(Random &random, int count)
{
    QString text(count, u'0');
    for (int i = 0; i < count; ++i)
        text[i] = QChar(u'0' + random.below(10));
    return text;
}

QString phoneNumber(Random &random)
{
    const auto &[area, middle] = kPhoneAreas[size_t(random.below(int(kPhoneAreas.size())))];
    return QString::fromUtf16(area) + u'-' + digits(random, middle) + u'-' + digits(random, 4);
}

QString pickMethod(Random &random)
{
    int roll = random.below(100);
    for (const Method &method : kMethods) {
        if (roll < method.weight)
            return QString::fromUtf16(method.name);
        roll -= method.weight;
    }
    return QString::fromUtf16(kMethods.front().name);
}

enum Column { Id, Company, Name, Tel, OrderDate, Billed, PaidDate, Paid, MethodName, Tel1, ShipDate, Shop, Mail, ColumnCount };

// One order; index 0 is the oldest. Ids follow the order of time, as the
// suite numbers its orders, so the ship dates rise along the ids.
QVariantList makeOrder(Random &random, const DemoOptions &options, int index, const QStringList &shops,
                       bool typedColumns)
{
    QVariantList row(ColumnCount);
    const int spread = int(qint64(options.orders - 1 - index) * kShipDays / qMax(options.orders, 1));
    const int age = std::clamp(spread + random.below(5) - 2, 0, kShipDays - 1);
    const QDate shipped = options.today.addDays(-age);
    const QString method = pickMethod(random);
    qint64 billed = qint64(random.below(196) + 5) * 100 + (random.chance(0.3) ? 0 : 880);
    if (method == u"代金引換")
        billed += 330;

    row[Id] = qint64(index) + 1;
    if (random.chance(0.25))
        row[Company] = QString::fromUtf16(kCompanies[size_t(random.below(int(kCompanies.size())))]);
    row[Name] = QString(QString::fromUtf16(kFamilyNames[size_t(random.below(int(kFamilyNames.size())))])
                        + u'　' + QString::fromUtf16(kGivenNames[size_t(random.below(int(kGivenNames.size())))]));
    row[Tel] = phoneNumber(random);
    row[OrderDate] = dateText(shipped.addDays(-random.below(5)));
    row[Billed] = billed;
    row[Paid] = qint64(0);
    row[MethodName] = method;
    if (random.chance(0.3))
        row[Tel1] = phoneNumber(random);
    row[ShipDate] = dateText(shipped);
    row[Shop] = shops.at(random.below(int(shops.size())));
    row[Mail] = 0;

    if (!random.chance(options.unpaidShare)) {
        row[PaidDate] = dateText(shipped.addDays(qMin(age, random.below(15))));
        // A few customers take the bank's transfer fee off the amount; those
        // stay on the list, uncoloured, and get no confirmation mail.
        if (random.chance(0.05)) {
            row[Paid] = billed - 110 * (random.below(4) + 1);
        } else {
            row[Paid] = billed;
            row[Mail] = random.chance(0.5) ? 1 : 0;
        }
    }

    if (random.chance(options.nullShare)) {
        switch (random.below(10)) {
        case 0: row[Name] = QVariant(); break;
        case 1: row[Tel] = QVariant(); break;
        case 2: row[MethodName] = QVariant(); break;
        case 3: row[MethodName] = u""_s; break;
        case 4: row[MethodName] = u"店頭払い"_s; break;
        // A server's date and numeric columns refuse what no date or
        // number is; those orders keep their values there.
        case 5: if (!typedColumns) row[OrderDate] = u"0000/00/00"_s; break;
        case 6: row[ShipDate] = QVariant(); break;
        case 7: if (!typedColumns) row[Billed] = QString(QString::number(billed) + u"円"_s); break;
        case 8: if (!typedColumns) row[PaidDate] = u"未定"_s; break;
        default: row[Shop] = QVariant(); break;
        }
    }
    return row;
}

// One INSERT with a ? per column, for DbConnection::ExecuteEach: a Qt SQL
// connection prepares it once, which keeps a million orders down to seconds.
QString insertInto(const DbConnection &connection, const QString &table, const QStringList &columns)
{
    const bool quotes = connection.Dialect() == SqlDialect::PostgreSql;
    const QString open = quotes ? u"\""_s : u"["_s;
    const QString close = quotes ? u"\""_s : u"]"_s;
    return u"INSERT INTO "_s + open + table + close + u" ("_s + open + columns.join(close + u", "_s + open) + close
           + u") VALUES ("_s + QStringList(columns.size(), u"?"_s).join(u", "_s) + u")"_s;
}

void writeMasters(DbConnection &connection, QStringList &shopIds)
{
    const QList<QVariantList> shops{
        {u"S01"_s, u"本店"_s},
        {u"S02"_s, u"モール店"_s},
        {u"S03"_s, u"アウトレット店"_s},
        {u"S04"_s, u"法人営業部"_s},
        {u"S05"_s, QVariant()}, // a shop whose name was never entered
    };
    for (const QVariantList &shop : shops)
        shopIds.append(shop.constFirst().toString());
    connection.ExecuteEach(insertInto(connection, u"SHOP"_s, {u"SHOP_ID"_s, u"SHOP_NAME"_s}), shops);

    QList<QVariantList> payments;
    int ord = 0;
    for (const Method &method : kMethods)
        payments.append({QString::fromUtf16(method.name), 1, ++ord});
    // A second row for one method and a retired method, as long-lived suite
    // databases have them.
    payments.append({u"銀行振込"_s, 0, 2});
    payments.append({u"現金書留"_s, 0, ++ord});
    connection.ExecuteEach(insertInto(connection, u"PAYMENT"_s, {u"METHOD"_s, u"OK"_s, u"ORD"_s}), payments);

    connection.ExecuteEach(insertInto(connection, u"CONTROL"_s, {u"NYUKIN_NOMANAGE"_s}),
                           QList<QVariantList>{{QString::fromUtf16(kExemptMethod)}});
}

void writeOrders(DbConnection &connection, const DemoOptions &options, const QStringList &shops)
{
    const QString insert = insertInto(connection, u"CHUMON"_s,
                                      {u"ID"_s, u"会社名"_s, u"氏名"_s, u"電話番号"_s, u"受注日"_s, u"請求額"_s,
                                       u"入金日"_s, u"入金額"_s, u"支払方法"_s, u"TEL1"_s, u"出荷日"_s,
                                       u"ショップID"_s, u"入金確認送信"_s});
    Random random(options.seed);
    const bool typedColumns = connection.Dialect() == SqlDialect::PostgreSql;
    // In batches: a million orders held at once would take a gigabyte.
    QList<QVariantList> batch;
    for (int i = 0; i < options.orders; ++i) {
        batch.append(makeOrder(random, options, i, shops, typedColumns));
        if (batch.size() == 1000 || i + 1 == options.orders)
            connection.ExecuteEach(insert, std::exchange(batch, {}));
    }
}

} // namespace

void CreateDemoDatabase(DbConnection &connection, const DemoOptions &options)
{
    connection.BeginTrans();
    try {
        if (options.createTables)
            SqlSchema::CreateTables(connection);
        QStringList shops;
        writeMasters(connection, shops);
        writeOrders(connection, options, shops);
        connection.CommitTrans();
    } catch (...) {
        try {
            connection.RollbackTrans();
        } catch (const DbError &) {
            // The first failure is the one worth reporting.
        }
        throw;
    }
}
