#include "MatchRate.h"

#include "core/data/CellText.h"
#include "import/CsvWriter.h"
#include "import/MatchKeys.h"
#include "import/PayerNames.h"
#include "import/PaymentImport.h"
#include "import/StatementFile.h"

#include <QDate>
#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 Tolerance = 880;

// Names and the kana banks print for them, written out by hand (never asked
// of the matcher or a dictionary). None of the families is one of the demo
// database's, so that a name the generator gives is that customer's alone.
struct Written
{
    const char16_t *kanji;
    const char16_t *kana; // the banks' kana; "|" between the readings payers use
};

constexpr Written Families[] = {
    {u"小野寺", u"ｵﾉﾃﾞﾗ"}, {u"長谷川", u"ﾊｾｶﾞﾜ"}, {u"東海林", u"ｼﾖｳｼﾞ"}, {u"五十嵐", u"ｲｶﾞﾗｼ"},
    {u"大久保", u"ｵｵｸﾎﾞ"}, {u"千葉", u"ﾁﾊﾞ"}, {u"菅原", u"ｽｶﾞﾜﾗ"}, {u"久保田", u"ｸﾎﾞﾀ"},
    {u"武田", u"ﾀｹﾀﾞ"}, {u"村上", u"ﾑﾗｶﾐ"}, {u"藤原", u"ﾌｼﾞﾜﾗ"}, {u"岡田", u"ｵｶﾀﾞ"},
    {u"後藤", u"ｺﾞﾄｳ"}, {u"近藤", u"ｺﾝﾄﾞｳ"}, {u"坂本", u"ｻｶﾓﾄ"}, {u"遠藤", u"ｴﾝﾄﾞｳ"},
    {u"青木", u"ｱｵｷ"}, {u"藤井", u"ﾌｼﾞｲ"}, {u"西村", u"ﾆｼﾑﾗ"}, {u"福田", u"ﾌｸﾀﾞ"},
    {u"太田", u"ｵｵﾀ"}, {u"三浦", u"ﾐｳﾗ"}, {u"岡本", u"ｵｶﾓﾄ"}, {u"松田", u"ﾏﾂﾀﾞ"},
    {u"中川", u"ﾅｶｶﾞﾜ"}, {u"中野", u"ﾅｶﾉ"}, {u"原田", u"ﾊﾗﾀﾞ"}, {u"田村", u"ﾀﾑﾗ"},
    {u"竹内", u"ﾀｹｳﾁ"}, {u"金子", u"ｶﾈｺ"}, {u"和田", u"ﾜﾀﾞ"}, {u"石田", u"ｲｼﾀﾞ"},
    {u"上田", u"ｳｴﾀﾞ"}, {u"柴田", u"ｼﾊﾞﾀ"}, {u"酒井", u"ｻｶｲ"}, {u"工藤", u"ｸﾄﾞｳ"},
    {u"横山", u"ﾖｺﾔﾏ"}, {u"宮本", u"ﾐﾔﾓﾄ"}, {u"内田", u"ｳﾁﾀﾞ"}, {u"安藤", u"ｱﾝﾄﾞｳ"},
    {u"谷口", u"ﾀﾆｸﾞﾁ"}, {u"丸山", u"ﾏﾙﾔﾏ"}, {u"今井", u"ｲﾏｲ"}, {u"杉山", u"ｽｷﾞﾔﾏ"},
    {u"増田", u"ﾏｽﾀﾞ"}, {u"平野", u"ﾋﾗﾉ"}, {u"大塚", u"ｵｵﾂｶ"}, {u"野口", u"ﾉｸﾞﾁ"},
    {u"松尾", u"ﾏﾂｵ"}, {u"野村", u"ﾉﾑﾗ"}, {u"木下", u"ｷﾉｼﾀ"}, {u"新井", u"ｱﾗｲ"},
    {u"市川", u"ｲﾁｶﾜ"}, {u"水野", u"ﾐｽﾞﾉ"}, {u"古川", u"ﾌﾙｶﾜ"}, {u"北村", u"ｷﾀﾑﾗ"},
    {u"服部", u"ﾊﾂﾄﾘ"}, {u"日下部", u"ｸｻｶﾍﾞ"}, {u"髙田", u"ﾀｶﾀﾞ"}, {u"宮﨑", u"ﾐﾔｻﾞｷ"},
    {u"濱田", u"ﾊﾏﾀﾞ"}, {u"澤田", u"ｻﾜﾀﾞ"}, {u"廣瀬", u"ﾋﾛｾ"}, {u"長谷部", u"ﾊｾﾍﾞ"}};

constexpr Written Givens[] = {
    {u"太郎", u"ﾀﾛｳ"}, {u"花子", u"ﾊﾅｺ"}, {u"一郎", u"ｲﾁﾛｳ"}, {u"陽子", u"ﾖｳｺ"}, {u"健太", u"ｹﾝﾀ"},
    {u"美咲", u"ﾐｻｷ"}, {u"大輔", u"ﾀﾞｲｽｹ"}, {u"由美", u"ﾕﾐ"}, {u"翔太", u"ｼﾖｳﾀ"}, {u"恵子", u"ｹｲｺ"},
    {u"誠", u"ﾏｺﾄ"}, {u"直美", u"ﾅｵﾐ"}, {u"拓也", u"ﾀｸﾔ"}, {u"明美", u"ｱｹﾐ"}, {u"浩二", u"ｺｳｼﾞ"},
    {u"裕子", u"ﾕｳｺ|ﾋﾛｺ"}, {u"隆", u"ﾀｶｼ"}, {u"真由美", u"ﾏﾕﾐ"}, {u"亮", u"ﾘﾖｳ|ｱｷﾗ"}, {u"智子", u"ﾄﾓｺ"},
    {u"和也", u"ｶｽﾞﾔ"}, {u"幸子", u"ｻﾁｺ"}, {u"悠斗", u"ﾕｳﾄ"}, {u"蓮", u"ﾚﾝ"}, {u"結衣", u"ﾕｲ"},
    {u"健一", u"ｹﾝｲﾁ"}, {u"聡", u"ｻﾄｼ"}, {u"修", u"ｵｻﾑ"}, {u"剛", u"ﾂﾖｼ"}, {u"久美子", u"ｸﾐｺ"},
    {u"千尋", u"ﾁﾋﾛ"}, {u"真一", u"ｼﾝｲﾁ"}, {u"秀樹", u"ﾋﾃﾞｷ"}, {u"正人", u"ﾏｻﾄ"}, {u"雅子", u"ﾏｻｺ"},
    {u"美穂", u"ﾐﾎ"}, {u"香織", u"ｶｵﾘ"}, {u"達也", u"ﾀﾂﾔ"}, {u"康介", u"ｺｳｽｹ"}, {u"舞", u"ﾏｲ"},
    {u"彩", u"ｱﾔ"}, {u"翼", u"ﾂﾊﾞｻ"}, {u"勇気", u"ﾕｳｷ"}, {u"直樹", u"ﾅｵｷ"}, {u"美和", u"ﾐﾜ"},
    {u"敦子", u"ｱﾂｺ"}, {u"浩", u"ﾋﾛｼ"}, {u"豊", u"ﾕﾀｶ"}, {u"稔", u"ﾐﾉﾙ"}, {u"光", u"ﾋｶﾙ"},
    {u"純一", u"ｼﾞﾕﾝｲﾁ"}, {u"涼子", u"ﾘﾖｳｺ"}, {u"大翔", u"ﾋﾛﾄ"}, {u"陽菜", u"ﾋﾅ"}, {u"葵", u"ｱｵｲ"}};

// Two spellings of one family name, for customers who share a reading.
constexpr std::array<Written, 2> Homophones[] = {
    {{{u"菊地", u"ｷｸﾁ"}, {u"菊池", u"ｷｸﾁ"}}},
    {{{u"島田", u"ｼﾏﾀﾞ"}, {u"嶋田", u"ｼﾏﾀﾞ"}}},
    {{{u"渡部", u"ﾜﾀﾍﾞ"}, {u"渡部", u"ﾜﾀﾍﾞ"}}}};

// Foreign customers register in katakana, given name first.
constexpr Written ForeignGivens[] = {
    {u"ジョン", u"ｼﾞﾖﾝ"}, {u"マイケル", u"ﾏｲｹﾙ"}, {u"デビッド", u"ﾃﾞﾋﾞﾂﾄﾞ"}, {u"マリア", u"ﾏﾘｱ"},
    {u"アンナ", u"ｱﾝﾅ"}, {u"ソフィア", u"ｿﾌｲｱ"}, {u"ロバート", u"ﾛﾊﾞ-ﾄ"}, {u"エミリー", u"ｴﾐﾘ-"},
    {u"トーマス", u"ﾄ-ﾏｽ"}, {u"ミン", u"ﾐﾝ"}};
constexpr Written ForeignFamilies[] = {
    {u"スミス", u"ｽﾐｽ"}, {u"ガルシア", u"ｶﾞﾙｼｱ"}, {u"ブラウン", u"ﾌﾞﾗｳﾝ"}, {u"ミラー", u"ﾐﾗ-"},
    {u"ウィルソン", u"ｳｲﾙｿﾝ"}, {u"グエン", u"ｸﾞｴﾝ"}, {u"キム", u"ｷﾑ"}, {u"シルバ", u"ｼﾙﾊﾞ"},
    {u"ロペス", u"ﾛﾍﾟｽ"}, {u"テイラー", u"ﾃｲﾗ-"}};

// Companies: a name and a trade, none the demo database's.
constexpr Written Stems[] = {
    {u"朝日", u"ｱｻﾋ"}, {u"富士", u"ﾌｼﾞ"}, {u"大和", u"ﾔﾏﾄ"}, {u"東洋", u"ﾄｳﾖｳ"}, {u"中央", u"ﾁﾕｳｵｳ"},
    {u"太平洋", u"ﾀｲﾍｲﾖｳ"}, {u"三和", u"ｻﾝﾜ"}, {u"協和", u"ｷﾖｳﾜ"}, {u"昭和", u"ｼﾖｳﾜ"}, {u"平和", u"ﾍｲﾜ"},
    {u"若葉", u"ﾜｶﾊﾞ"}, {u"白鳥", u"ｼﾗﾄﾘ"}, {u"城南", u"ｼﾞﾖｳﾅﾝ"}, {u"湘南", u"ｼﾖｳﾅﾝ"}, {u"北陸", u"ﾎｸﾘｸ"},
    {u"九州", u"ｷﾕｳｼﾕｳ"}, {u"阪神", u"ﾊﾝｼﾝ"}, {u"京浜", u"ｹｲﾋﾝ"}, {u"ひまわり", u"ﾋﾏﾜﾘ"}, {u"みどり", u"ﾐﾄﾞﾘ"}};
constexpr Written Trades[] = {
    {u"商事", u"ｼﾖｳｼﾞ"}, {u"物産", u"ﾌﾞﾂｻﾝ"}, {u"工業", u"ｺｳｷﾞﾖｳ"}, {u"電機", u"ﾃﾞﾝｷ"}, {u"食品", u"ｼﾖｸﾋﾝ"},
    {u"建設", u"ｹﾝｾﾂ"}, {u"印刷", u"ｲﾝｻﾂ"}, {u"運輸", u"ｳﾝﾕ"}, {u"製作所", u"ｾｲｻｸｼﾖ"}, {u"不動産", u"ﾌﾄﾞｳｻﾝ"}};
// A trade long enough that the bank's field cuts the name.
constexpr Written LongTrade{u"総合設備工業研究開発センター東日本営業本部",
                            u"ｿｳｺﾞｳｾﾂﾋﾞｺｳｷﾞﾖｳｹﾝｷﾕｳｶｲﾊﾂｾﾝﾀ-ﾋｶﾞｼﾆﾎﾝｴｲｷﾞﾖｳﾎﾝﾌﾞ"};

// Legal forms: as the 会社名 writes them, the banks' abbreviation, and
// whether it comes before the name.
struct Form
{
    const char16_t *kanji;
    const char16_t *bank;
    bool before;
};
constexpr Form Forms[] = {{u"株式会社", u"ｶ", true},     {u"株式会社", u"ｶ", false},
                          {u"有限会社", u"ﾕ", true},     {u"合同会社", u"ﾄﾞ", true},
                          {u"一般社団法人", u"ｼﾔ", true}, {u"株式会社", u"ｶ", false}};

QString text(const char16_t *written)
{
    return QString::fromUtf16(written);
}

// One reading of a name, as the payer picks among them.
QString readingOf(const Written &written, int pick)
{
    const QStringList readings = text(written.kana).split(u'|');
    return readings.at(pick % readings.size());
}

QString bare(QString kana)
{
    return kana.remove(u' ');
}

QString digitsOf(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (c.isDigit())
            digits += QChar(u'0' + c.digitValue());
    }
    return digits;
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
    switch (way % 4) {
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

// A name as payers type it: with a space or without, or in full-width kana
// as a net bank's form takes it.
QString styled(const QString &kana, int way)
{
    switch (way % 4) {
    case 1:
        return bare(kana);
    case 2:
        return kana.normalized(QString::NormalizationForm_KC).replace(u' ', u'　');
    default:
        return kana;
    }
}

// A number before or after the name, with the separators payers use.
QString withNumber(const QString &name, const QString &number, int way)
{
    switch (way % 6) {
    case 0: return number + name;
    case 1: return number + u' ' + name;
    case 2: return name + u' ' + number;
    case 3: return number + u'-' + name;
    case 4: return name + u'(' + number + u')';
    default: return name + u'/' + number;
    }
}

struct Person
{
    QString kanji; // 氏名 as listed
    QString kana;  // as the bank prints it, family and given name apart
    QString family;
};

struct Company
{
    QString kanji; // 会社名 as listed
    QString payer; // as the bank prints it, with the form's abbreviation
    QString key;   // the reading without the form
    int formLength{0}; // of the abbreviation before the name, ")" included
};

enum class Truth { Fixed, ByPhone, ByName };

struct Line
{
    QString kind;
    Truth truth{Truth::Fixed};
    QList<qint64> truly; // Fixed: what it pays, empty when no one can know
    QString key;         // ByPhone: digits; ByName: the reading
    bool prefix{false};  // ByName: the reading was cut at the field width
    qint64 amount{0};
    QList<qint64> meant; // what the payer paid, known or not
};

class Generator final
{
public:
    Generator(const QList<ListedOrder> &listed) : m_orders(listed)
    {
        const qsizetype n = m_orders.size();
        m_open.resize(n);
        m_used.fill(false, n);
        for (qsizetype i = 0; i < n; ++i) {
            m_open[i] = PaymentMatcher::openAmount(m_orders.at(i));
            m_listedIds.insert(m_orders.at(i).id);
            m_maxId = std::max(m_maxId, m_orders.at(i).id);
            for (const QString &phone : {m_orders.at(i).phone, m_orders.at(i).tel1}) {
                if (!phone.isEmpty())
                    m_listedPhones.insert(digitsOf(phone));
            }
        }
    }

    QList<ListedOrder> m_orders;
    QList<qint64> m_open;
    QList<bool> m_used;
    QSet<qint64> m_listedIds;
    QSet<QString> m_listedPhones;
    qint64 m_maxId{0};
    QMultiHash<QString, int> m_byName; // the readings the generator gave, without spaces
    QList<QStringList> m_rows{{u"日付"_s, u"金額"_s, u"振込依頼人名"_s, u"摘要"_s, u"注文番号"_s}};
    QList<Line> m_lines;
    PayerNames m_taught;

    // Orders are handed out once each, spread over the list.
    int nextOrder(qint64 amount = -1)
    {
        const qsizetype n = m_orders.size();
        for (qsizetype tries = 0; tries < n; ++tries) {
            m_cursor = (m_cursor + 7919) % n;
            if (!m_used.at(m_cursor) && m_open.at(m_cursor) > 2 * Tolerance
                && (amount < 0 || m_open.at(m_cursor) == amount)) {
                m_used[m_cursor] = true;
                return int(m_cursor);
            }
        }
        return -1;
    }

    // A customer the generator has not named before.
    bool nextPerson(Person &person, int pick)
    {
        const int families = int(std::size(Families));
        const int givens = int(std::size(Givens));
        if (m_person >= families * givens)
            return false;
        // Every family with every given name once, families taking turns.
        const int family = m_person % families;
        const int given = (m_person / families + family) % givens;
        ++m_person;
        person.family = readingOf(Families[family], pick);
        person.kanji = text(Families[family].kanji) + u' ' + text(Givens[given].kanji);
        person.kana = person.family + u' ' + readingOf(Givens[given], pick);
        return true;
    }

    bool nextForeigner(Person &person)
    {
        const int givens = int(std::size(ForeignGivens));
        const int families = int(std::size(ForeignFamilies));
        if (m_foreigner >= givens * families)
            return false;
        const int given = m_foreigner % givens;
        const int family = (m_foreigner / givens + given) % families;
        ++m_foreigner;
        person.kanji = text(ForeignGivens[given].kanji) + u' ' + text(ForeignFamilies[family].kanji);
        person.kana = text(ForeignGivens[given].kana) + u' ' + text(ForeignFamilies[family].kana);
        person.family = text(ForeignFamilies[family].kana);
        return true;
    }

    bool nextCompany(Company &company, bool longName)
    {
        const int stems = int(std::size(Stems));
        const int trades = int(std::size(Trades));
        int &next = longName ? m_longCompany : m_company;
        if (next >= (longName ? stems : stems * trades))
            return false;
        const Written &stem = Stems[next % stems];
        const Written &trade = longName ? LongTrade : Trades[(next / stems + next) % trades];
        // A long name's form comes first, so that the cut falls in the name.
        const Form &form = longName ? Forms[0] : Forms[next % std::size(Forms)];
        ++next;
        const QString name = text(stem.kanji) + text(trade.kanji);
        company.kanji = form.before ? text(form.kanji) + name : name + text(form.kanji);
        company.key = text(stem.kana) + text(trade.kana);
        company.payer = form.before ? text(form.bank) + u')' + company.key : company.key + u'(' + text(form.bank);
        company.formLength = form.before ? int(QStringView(form.bank).size()) + 1 : 0;
        return true;
    }

    void name(int order, const Person &person)
    {
        m_orders[order].name = person.kanji;
        m_byName.insert(bare(person.kana), order);
    }

    // Orders of one customer: one name, one phone.
    QList<int> customer(int size, const Person &person)
    {
        QList<int> orders;
        for (int k = 0; k < size; ++k) {
            const int order = nextOrder();
            if (order < 0)
                return {};
            orders.append(order);
            m_orders[order].phone = m_orders.at(orders.constFirst()).phone;
            m_orders[order].tel1.clear();
            name(order, person);
        }
        return orders;
    }

    qint64 id(int order) const { return m_orders.at(order).id; }

    // A number that names no listed order: one digit of the order's changed.
    QString mistyped(int order) const
    {
        QString number = QString::number(id(order));
        for (int at = int(number.size()) - 1; at >= 0; --at) {
            for (int digit = 1; digit <= 9; ++digit) {
                QString typo = number;
                typo[at] = QChar(u'0' + (number.at(at).digitValue() + digit) % 10);
                if (!typo.startsWith(u'0') && !m_listedIds.contains(typo.toLongLong()))
                    return typo;
            }
        }
        return QString::number(m_maxId + 1);
    }

    QString mistypedPhone(const QString &phone) const
    {
        // Some listed orders have no phone: nothing to mistype.
        if (phone.isEmpty())
            return phone;
        for (int digit = 1; digit <= 9; ++digit) {
            QString typo = phone;
            typo[typo.size() - 1] = QChar(u'0' + (phone.back().digitValue() + digit) % 10);
            if (!m_listedPhones.contains(digitsOf(typo)))
                return typo;
        }
        return phone;
    }

    void add(const QString &kind, qint64 amount, const QString &payer, const QString &remark, const QString &number,
             Line line, const QString &amountText = QString())
    {
        m_rows.append({m_date, amountText.isEmpty() ? QString::number(amount) : amountText, payer, remark, number});
        line.kind = kind;
        line.amount = amount;
        std::sort(line.truly.begin(), line.truly.end());
        std::sort(line.meant.begin(), line.meant.end());
        m_lines.append(line);
    }

    Line fixed(const QList<int> &orders, bool known = true) const
    {
        Line line;
        for (const int order : orders)
            line.meant.append(id(order));
        if (known)
            line.truly = line.meant;
        return line;
    }

    Line byName(const QString &reading, const QList<int> &orders, bool prefix = false) const
    {
        Line line = fixed(orders, false);
        line.truth = Truth::ByName;
        line.key = bare(reading);
        line.prefix = prefix;
        return line;
    }

    Line byPhone(const QString &phone, const QList<int> &orders) const
    {
        Line line = fixed(orders, false);
        line.truth = Truth::ByPhone;
        line.key = digitsOf(phone);
        return line;
    }

    // What a careful operator makes of a line keyed by a name or a phone:
    // the one order of the customers it names that fits the amount (exactly,
    // else short by a fee), or all of one customer's orders when together
    // they do.
    void settle()
    {
        QMultiHash<QString, int> byPhone;
        for (qsizetype i = 0; i < m_orders.size(); ++i) {
            for (const QString &phone : {digitsOf(m_orders.at(i).phone), digitsOf(m_orders.at(i).tel1)}) {
                if (!phone.isEmpty() && !byPhone.contains(phone, int(i)))
                    byPhone.insert(phone, int(i));
            }
        }
        for (Line &line : m_lines) {
            if (line.truth == Truth::Fixed)
                continue;
            QList<int> named;
            if (line.truth == Truth::ByPhone) {
                named = byPhone.values(line.key);
            } else if (!line.prefix) {
                named = m_byName.values(line.key);
            } else {
                for (auto it = m_byName.cbegin(); it != m_byName.cend(); ++it) {
                    if (it.key().startsWith(line.key))
                        named.append(*it);
                }
            }
            // An exact amount before one a fee short.
            QList<qint64> exact;
            QList<qint64> fits;
            qint64 sum = 0;
            QSet<QString> phones;
            for (const int order : std::as_const(named)) {
                const qint64 short_ = m_open.at(order) - line.amount;
                if (short_ == 0)
                    exact.append(id(order));
                else if (short_ > 0 && short_ <= Tolerance)
                    fits.append(id(order));
                sum += m_open.at(order);
                phones.insert(digitsOf(m_orders.at(order).phone));
            }
            if (!exact.isEmpty())
                fits = exact;
            if (fits.size() == 1) {
                line.truly = fits;
            } else if (fits.isEmpty() && named.size() > 1 && phones.size() == 1 && sum - line.amount >= 0
                       && sum - line.amount <= Tolerance) {
                for (const int order : std::as_const(named))
                    line.truly.append(id(order));
                std::sort(line.truly.begin(), line.truly.end());
            }
        }
    }

private:
    qsizetype m_cursor{0};
    int m_person{0};
    int m_foreigner{0};
    int m_company{0};
    int m_longCompany{0};
    const QString m_date = CellText::dateText(int(QDate::currentDate().toJulianDay()));
};

// The mix, in percent of the statement's lines, after the statement of
// about 150 deposits a new user tried: most lines name the payer and
// nothing else.
struct Mix
{
    int nameOnly = 26;       // the payer's full name and the amount (a fifth short by a fee)
    int company = 4;         // a company under its kana name and legal form
    int combinedByName = 4;  // one transfer for all of a customer's orders, by name
    int mistypedNumber = 3;  // a mistyped order number beside the name
    int customerNumber = 3;  // a customer number, no order number, beside the name
    int cutName = 2;         // a name cut at the field width, the number after it lost
    int mistypedPhone = 2;   // a mistyped phone beside the name
    int foreignName = 2;     // a foreign name in katakana
    int sharedName = 2;      // two customers of one name: half of them the amount tells apart
    int familyOnly = 2;      // the family name alone (unidentifiable)
    int stranger = 2;        // a name no listed order has (unidentifiable)
    int numberColumn = 10;   // 注文番号 column, a membership number or a date in the texts
    int numberInText = 5;    // the order number before or after the name, or two joined
    int phone = 8;           // four spellings; half of them repeat customers
    int learnedName = 4;     // a name the operators taught (a spouse's)
    int fee = 4;             // 注文番号 column, short by a bank's transfer fee
    int combined = 3;        // a repeat customer's phone, the sum of all their orders
    int split = 4;           // an order in two transfers (two lines each)
    int amountOnly = 4;      // a stranger's name and an order's amount
    int unlisted = 2;        // 注文番号 of an order not listed
    int unreadable = 2;      // an amount nobody can read
    // the rest: a date and an amount, no key
};

void generate(Generator &g, int lineCount)
{
    static const qint64 fees[] = {220, 330, 440, 660, 880};
    const Mix mix;
    const auto share = [&](int percent) { return lineCount * percent / 100; };
    Person person;
    Company company;

    for (int k = 0; k < share(mix.nameOnly); ++k) {
        if (!g.nextPerson(person, k))
            break;
        // A quarter are repeat customers whom the amount tells apart.
        const QList<int> orders = g.customer(k % 4 == 3 ? 2 : 1, person);
        if (orders.isEmpty())
            break;
        const int order = orders.constLast();
        const qint64 amount = g.m_open.at(order) - (k % 5 == 4 ? fees[k % 5] : 0);
        g.add(u"name"_s, amount, styled(person.kana, k), QString(), QString(), g.byName(person.kana, {order}));
    }
    for (int k = 0; k < share(mix.company); ++k) {
        const int order = g.nextOrder();
        if (order < 0 || !g.nextCompany(company, false) || !g.nextPerson(person, k))
            break;
        g.name(order, person);
        g.m_orders[order].company = company.kanji;
        g.m_byName.insert(u"C:"_s + company.key, order);
        g.add(u"company"_s, g.m_open.at(order), company.payer, QString(), QString(),
              g.byName(u"C:"_s + company.key, {order}));
    }
    for (int k = 0; k < share(mix.combinedByName); ++k) {
        if (!g.nextPerson(person, k))
            break;
        const QList<int> orders = g.customer(2 + k % 2, person);
        if (orders.isEmpty())
            break;
        qint64 sum = 0;
        for (const int order : orders)
            sum += g.m_open.at(order);
        g.add(u"combined by name"_s, sum - (k % 3 == 0 ? 660 : 0), styled(person.kana, k), QString(), QString(),
              g.byName(person.kana, orders));
    }
    for (int k = 0; k < share(mix.mistypedNumber); ++k) {
        if (!g.nextPerson(person, k))
            break;
        const QList<int> orders = g.customer(1, person);
        if (orders.isEmpty())
            break;
        g.add(u"mistyped number"_s, g.m_open.at(orders.constFirst()),
              withNumber(styled(person.kana, k), g.mistyped(orders.constFirst()), k), QString(), QString(),
              g.byName(person.kana, orders));
    }
    for (int k = 0; k < share(mix.customerNumber); ++k) {
        if (!g.nextPerson(person, k))
            break;
        const QList<int> orders = g.customer(1, person);
        if (orders.isEmpty())
            break;
        // Seven digits beyond every order number: a membership number.
        const QString member = QString::number(g.m_maxId + 1000000 + k * 7);
        const bool inRemark = k % 2 == 1;
        g.add(u"customer number"_s, g.m_open.at(orders.constFirst()),
              inRemark ? styled(person.kana, k) : withNumber(styled(person.kana, k), member, k),
              inRemark ? u"ｶｲｲﾝ "_s + member : QString(), QString(), g.byName(person.kana, orders));
    }
    for (int k = 0; k < share(mix.cutName); ++k) {
        const int order = g.nextOrder();
        if (order < 0 || !g.nextCompany(company, true) || !g.nextPerson(person, k))
            break;
        g.name(order, person);
        g.m_orders[order].company = company.kanji;
        g.m_byName.insert(u"C:"_s + company.key, order);
        const QString written = QString(company.payer + u' ' + QString::number(g.id(order))).left(48);
        g.add(u"cut name"_s, g.m_open.at(order), written, QString(), QString(),
              g.byName(u"C:"_s + company.key.left(48 - company.formLength), {order}, true));
    }
    for (int k = 0; k < share(mix.mistypedPhone); ++k) {
        if (!g.nextPerson(person, k))
            break;
        const QList<int> orders = g.customer(1, person);
        if (orders.isEmpty())
            break;
        const QString phone = g.mistypedPhone(g.m_orders.at(orders.constFirst()).phone);
        g.add(u"mistyped phone"_s, g.m_open.at(orders.constFirst()),
              styled(person.kana, k) + u' ' + spelled(phone, k), QString(), QString(), g.byName(person.kana, orders));
    }
    for (int k = 0; k < share(mix.foreignName); ++k) {
        if (!g.nextForeigner(person))
            break;
        const QList<int> orders = g.customer(1, person);
        if (orders.isEmpty())
            break;
        g.add(u"foreign name"_s, g.m_open.at(orders.constFirst()), styled(person.kana, k), QString(), QString(),
              g.byName(person.kana, orders));
    }
    for (int k = 0; k < share(mix.sharedName); ++k) {
        // Two customers, one reading: the same kanji or two spellings of it.
        const auto &pair = Homophones[k % std::size(Homophones)];
        const Written &given = Givens[(k / std::size(Homophones) * 7 + 3) % std::size(Givens)];
        const int first = g.nextOrder();
        // Half of them share the amount too, and no one can tell them apart.
        const int second = g.nextOrder(k % 2 ? g.m_open.value(first, -1) : -1);
        if (first < 0 || second < 0)
            break;
        const QString kana = text(pair[0].kana) + u' ' + readingOf(given, 0);
        g.name(first, {text(pair[0].kanji) + u' ' + text(given.kanji), kana, text(pair[0].kana)});
        g.name(second, {text(pair[1].kanji) + u' ' + text(given.kanji), kana, text(pair[1].kana)});
        g.add(k % 2 ? u"shared name, shared amount"_s : u"shared name"_s, g.m_open.at(first), styled(kana, k),
              QString(), QString(), g.byName(kana, {first}));
    }
    for (int k = 0; k < share(mix.familyOnly); ++k) {
        if (!g.nextPerson(person, k))
            break;
        const QList<int> orders = g.customer(1, person);
        if (orders.isEmpty())
            break;
        g.add(u"family name alone"_s, g.m_open.at(orders.constFirst()), person.family, QString(), QString(),
              g.byName(person.family, orders));
    }
    for (int k = 0; k < share(mix.stranger); ++k) {
        Person stranger;
        const int order = g.nextOrder();
        if (order < 0 || !g.nextPerson(stranger, k))
            break;
        g.add(u"stranger"_s, g.m_open.at(order), styled(stranger.kana, k), QString(), QString(),
              g.byName(stranger.kana, {order}));
    }

    for (int k = 0; k < share(mix.numberColumn); ++k) {
        if (!g.nextPerson(person, k))
            break;
        const QList<int> orders = g.customer(1, person);
        if (orders.isEmpty())
            break;
        const int order = orders.constFirst();
        const QString hostile = k % 2 ? u"ｶｲｲﾝ%1"_s.arg(g.id((order + 1) % int(g.m_orders.size()))) : u"12/01ﾌﾞﾝ"_s;
        g.add(u"注文番号 column"_s, g.m_open.at(order), styled(person.kana, k), hostile, QString::number(g.id(order)),
              g.fixed({order}));
    }
    for (int k = 0; k < share(mix.numberInText); ++k) {
        if (!g.nextPerson(person, k))
            break;
        // Every fifth pays two orders of one customer, their numbers joined.
        const QList<int> orders = g.customer(k % 5 == 4 ? 2 : 1, person);
        if (orders.isEmpty())
            break;
        QString number = QString::number(g.id(orders.constFirst()));
        qint64 amount = g.m_open.at(orders.constFirst());
        if (orders.size() == 2) {
            number += (k % 2 ? u'-' : u'.') + QString::number(g.id(orders.constLast()));
            amount += g.m_open.at(orders.constLast());
        }
        g.add(u"number in the name"_s, amount, withNumber(styled(person.kana, k), number, k), u"12月1日ﾌﾞﾝ"_s,
              QString(), g.fixed(orders));
    }
    for (int k = 0; k < share(mix.phone); ++k) {
        if (!g.nextPerson(person, k))
            break;
        const QList<int> orders = g.customer(k % 2 ? 2 : 1, person);
        if (orders.isEmpty())
            break;
        const int order = orders.constLast();
        const QString phone = g.m_orders.at(order).phone;
        g.add(u"phone"_s, g.m_open.at(order), styled(person.kana, k), spelled(phone, k), QString(),
              g.byPhone(phone, {order}));
    }
    for (int k = 0; k < share(mix.learnedName); ++k) {
        Person spouse;
        if (!g.nextPerson(person, k) || !g.nextPerson(spouse, k + 1))
            break;
        const QList<int> orders = g.customer(1, person);
        if (orders.isEmpty())
            break;
        const QString phone = g.m_orders.at(orders.constFirst()).phone;
        g.m_taught.teach(PayerNames::normalised(spouse.kana), {MatchKeys::phoneKey(phone), QString()});
        g.add(u"taught name"_s, g.m_open.at(orders.constFirst()), styled(spouse.kana, k), QString(), QString(),
              g.byPhone(phone, orders));
    }
    for (int k = 0; k < share(mix.fee); ++k) {
        if (!g.nextPerson(person, k))
            break;
        const QList<int> orders = g.customer(1, person);
        if (orders.isEmpty())
            break;
        g.add(u"fee"_s, g.m_open.at(orders.constFirst()) - fees[k % 5], styled(person.kana, k), QString(),
              QString::number(g.id(orders.constFirst())), g.fixed(orders));
    }
    for (int k = 0; k < share(mix.combined); ++k) {
        if (!g.nextPerson(person, k))
            break;
        const QList<int> orders = g.customer(2 + k % 2, person);
        if (orders.isEmpty())
            break;
        qint64 sum = 0;
        for (const int order : orders)
            sum += g.m_open.at(order);
        const QString phone = g.m_orders.at(orders.constFirst()).phone;
        g.add(u"combined by phone"_s, sum - (k % 3 == 0 ? 660 : 0), styled(person.kana, k), spelled(phone, k),
              QString(), g.byPhone(phone, orders));
    }
    for (int k = 0; k < share(mix.split) / 2; ++k) {
        if (!g.nextPerson(person, k))
            break;
        const QList<int> orders = g.customer(1, person);
        if (orders.isEmpty())
            break;
        const int order = orders.constFirst();
        const qint64 first = g.m_open.at(order) / 2;
        const QString number = QString::number(g.id(order));
        g.add(u"split"_s, first, styled(person.kana, k), QString(), number, g.fixed({order}));
        g.add(u"split"_s, g.m_open.at(order) - first, styled(person.kana, k), QString(), number, g.fixed({order}));
    }
    for (int k = 0; k < share(mix.amountOnly); ++k) {
        Person stranger;
        const int order = g.nextOrder();
        if (order < 0 || !g.nextPerson(stranger, k))
            break;
        g.add(u"amount only"_s, g.m_open.at(order), styled(stranger.kana, k), QString(), QString(),
              g.fixed({order}, false));
    }
    for (int k = 0; k < share(mix.unlisted); ++k) {
        Person stranger;
        if (!g.nextPerson(stranger, k))
            break;
        g.add(u"unlisted"_s, 3000 + k, styled(stranger.kana, k), QString(), QString::number(g.m_maxId + 1 + k), {});
    }
    for (int k = 0; k < share(mix.unreadable); ++k) {
        if (!g.nextPerson(person, k))
            break;
        const QList<int> orders = g.customer(1, person);
        if (orders.isEmpty())
            break;
        g.add(u"unreadable"_s, 0, styled(person.kana, k), QString(), QString::number(g.id(orders.constFirst())),
              g.fixed(orders, false), u"12O0"_s);
    }
    while (g.m_rows.size() <= lineCount) {
        Person stranger;
        const int order = g.nextOrder();
        if (order < 0 || !g.nextPerson(stranger, 0))
            break;
        g.add(u"date only"_s, g.m_open.at(order), styled(stranger.kana, 0), u"2026/12/05ﾌﾞﾝ"_s, QString(),
              g.fixed({order}, false));
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
    for (const Kind &kind : kinds) {
        std::printf("%s\n", qPrintable(u"  %1 %2 lines, %3 identifiable, %4 ticked right"_s.arg(kind.name, -28)
                                           .arg(kind.lines, 5)
                                           .arg(kind.identifiable, 5)
                                           .arg(kind.tickedRight, 5)));
    }
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

QJsonObject MatchRate::unidentifiableFigure() const
{
    std::printf("%s\n", qPrintable(u"%1: %2 lines  (target 0)"_s.arg(u"import unidentifiable ticked"_s, -28)
                                       .arg(tickedUnidentifiable)));
    return {{u"value"_s, tickedUnidentifiable}, {u"unit"_s, u"lines"_s}, {u"target"_s, 0},
            {u"met"_s, tickedUnidentifiable == 0}};
}

MatchRate MeasureMatchRate(const QList<ListedOrder> &listed, int lineCount)
{
    MatchRate rate;
    // Every line takes orders of its own: a short list makes a shorter statement.
    lineCount = std::min(lineCount, int(listed.size() / 4));
    if (lineCount < 100)
        return rate;
    Generator g(listed);
    generate(g, lineCount);
    g.settle();

    QTemporaryFile file;
    if (!file.open() || file.write(CsvWriter::document(g.m_rows)) < 0 || !file.flush())
        return rate;
    QElapsedTimer timer;
    timer.start();
    Statement statement = StatementFile::readFile(file.fileName(), QDate::currentDate());
    rate.readMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    const PaymentImport import(std::move(statement), g.m_orders, Tolerance, g.m_taught);
    rate.importMs = rate.readMs + double(timer.nsecsElapsed()) / 1e6;

    rate.lines = int(g.m_lines.size());
    rate.imported = import.lineCount();
    QHash<QString, int> kindAt;
    const auto kindOf = [&](const QString &name) -> MatchRate::Kind & {
        if (!kindAt.contains(name)) {
            kindAt.insert(name, int(rate.kinds.size()));
            rate.kinds.append({name});
        }
        return rate.kinds[kindAt.value(name)];
    };
    for (const Line &line : std::as_const(g.m_lines)) {
        MatchRate::Kind &kind = kindOf(line.kind);
        ++kind.lines;
        if (!line.truly.isEmpty()) {
            ++rate.identifiable;
            ++kind.identifiable;
        }
    }
    for (int i = 0; i < import.lineCount(); ++i) {
        // The lines are kept by the file's line: the header is line 1.
        const qsizetype at = import.line(i).lineNumber - 2;
        if (!import.isTicked(i) || at < 0 || at >= g.m_lines.size())
            continue;
        const Line &line = g.m_lines.at(at);
        QList<qint64> ids;
        for (const int order : import.targets(i))
            ids.append(import.matcher().orders().at(order).id);
        std::sort(ids.begin(), ids.end());
        if (line.truly.isEmpty())
            ++rate.tickedUnidentifiable;
        if (!line.truly.isEmpty() && ids == line.truly) {
            ++rate.tickedRight;
            ++kindOf(line.kind).tickedRight;
        } else if (ids != line.meant) {
            ++rate.tickedWrong;
        }
    }
    return rate;
}
