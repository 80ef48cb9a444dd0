#include "import/NameIndex.h"

#include "import/KanaFold.h"
#include "import/LegalForm.h"
#include "import/NameReadings.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The parts whose reading is the text, or with prefix set starts with it, from a sorted list.
template<typename Visit>
void withReading(const QList<std::pair<QString, int>> &sorted, const QString &text, bool prefix, Visit visit)
{
    auto it = std::lower_bound(sorted.cbegin(), sorted.cend(), text,
                               [](const std::pair<QString, int> &entry, const QString &text) { return entry.first < text; });
    for (; it != sorted.cend() && (prefix ? it->first.startsWith(text) : it->first == text); ++it)
        visit(it->first, it->second);
}

} // namespace

NameIndex::NameIndex(const QList<ListedOrder> &orders, std::shared_ptr<const NameReadings> reader,
                     const std::atomic_bool *stop)
{
    if (!reader || !reader->available()) {
        m_why = reader ? reader->why() : u"MeCab の辞書がありません"_s;
        return;
    }
    m_available = true;
    const NameReadings::Reader reading(*reader);
    QHash<QString, int> parts;
    m_emptyPart = partOf(QString(), parts, reading);
    m_parts[m_emptyPart].readings = {QString()};
    // Most orders share their name with others: a name's text is looked up
    // before it is read.
    QHash<QString, int> byText;
    QHash<QString, int> byKey;
    byText.reserve(orders.size());
    for (int i = 0; i < int(orders.size()); ++i) {
        if (stop && *stop) {
            m_available = false;
            return;
        }
        add(i, orders.at(i).name, false, byText, byKey, parts, reading);
        add(i, orders.at(i).company, true, byText, byKey, parts, reading);
    }
    for (int part = 0; part < int(m_parts.size()); ++part) {
        for (const QString &reading : std::as_const(m_parts.at(part).readings)) {
            if (m_parts.at(part).head)
                m_heads.append({reading, part});
            if (m_parts.at(part).rest)
                m_rests.append({reading, part});
        }
    }
    std::sort(m_heads.begin(), m_heads.end());
    std::sort(m_rests.begin(), m_rests.end());
}

int NameIndex::partOf(const QString &text, QHash<QString, int> &parts, const NameReadings::Reader &reader)
{
    if (const auto known = parts.constFind(text); known != parts.cend())
        return *known;
    const int part = int(m_parts.size());
    m_parts.append({text.isEmpty() ? QStringList() : reader.readings(text)});
    parts.insert(text, part);
    return part;
}

void NameIndex::add(int order, const QString &listed, bool company, QHash<QString, int> &byText,
                    QHash<QString, int> &byKey, QHash<QString, int> &parts, const NameReadings::Reader &reader)
{
    const QString textKey = (company ? u'C' : u'P') + listed;
    if (const auto known = byText.constFind(textKey); known != byText.cend()) {
        if (*known >= 0)
            m_entries[*known].orders.append(order);
        return;
    }
    const QString folded = KanaFold::foldVariants(listed).trimmed();
    const LegalForm::Split split = LegalForm::ofName(folded);
    // A 氏名 that holds a legal form is a company's name.
    company = company || !split.form.isEmpty();
    // The parts of a 氏名: apart at spaces, and at the dot of a foreign name.
    static const QRegularExpression apart(u"[\\s・･=＝]+"_s, QRegularExpression::UseUnicodePropertiesOption);
    QStringList names = (company ? split.rest : folded).split(apart, Qt::SkipEmptyParts);
    if (names.isEmpty()) {
        byText.insert(textKey, -1);
        return;
    }
    const QString key = (company ? u"C"_s + split.form + u'|' : u"P"_s) + names.join(u' ');
    if (const auto known = byKey.constFind(key); known != byKey.cend()) {
        byText.insert(textKey, *known);
        m_entries[*known].orders.append(order);
        return;
    }
    Entry entry{listed, split.form, company, -1, m_emptyPart, {order}};
    if (company || names.size() == 1) {
        entry.head = partOf(names.join(QString()), parts, reader);
    } else {
        entry.head = partOf(names.takeFirst(), parts, reader);
        entry.rest = partOf(names.join(QString()), parts, reader);
        m_parts[entry.head].family = true;
    }
    m_parts[entry.head].head = true;
    m_parts[entry.rest].rest = true;
    const int id = int(m_entries.size());
    m_pairs.insert(pairKey(entry.head, entry.rest), id);
    m_entries.append(entry);
    byText.insert(textKey, id);
    byKey.insert(key, id);
}

void NameIndex::collect(int head, int rest, const QString &reading, const QString &form, Found &found,
                        QList<int> &seen) const
{
    for (auto it = m_pairs.constFind(pairKey(head, rest)); it != m_pairs.cend() && it.key() == pairKey(head, rest);
         ++it) {
        const Entry &entry = m_entries.at(*it);
        // A payer who writes a legal form is a company, and the form must be
        // the name's when both have one; a company's payer may leave it out.
        const bool formFits = entry.company ? form.isEmpty() || entry.form.isEmpty() || form == entry.form
                                            : form.isEmpty();
        if (!formFits || seen.contains(*it))
            continue;
        seen.append(*it);
        found.names.append({entry.listed, reading, entry.orders});
    }
}

NameIndex::Found NameIndex::find(const QString &payerText) const
{
    Found found;
    if (!m_available)
        return found;
    const QString written = KanaFold::bankKana(payerText, true);
    const LegalForm::Split split = LegalForm::ofPayer(KanaFold::bankKana(payerText));
    QString payer = split.rest;
    payer.removeIf([](QChar c) { return !KanaFold::isReadingChar(c); });
    while (payer.startsWith(u'-'))
        payer.remove(0, 1);
    if (payer.isEmpty() || payer.size() > NameReadings::MaxLength * 4)
        return found;
    // Cut at the field width inside the name: only then may a longer reading start with it.
    found.cut = written.size() >= KanaFold::FieldWidth && KanaFold::isReadingChar(written.back());

    QList<int> seen;
    QList<int> heads;
    for (qsizetype k = 1; k <= payer.size(); ++k) {
        const QString headReading = payer.left(k);
        heads.clear();
        withReading(m_heads, headReading, false, [&](const QString &, int head) { heads.append(head); });
        if (heads.isEmpty())
            continue;
        // Cut at the field width, the rest may be the start of a longer reading.
        const QString restReading = payer.sliced(k);
        withReading(m_rests, restReading, found.cut && !restReading.isEmpty(), [&](const QString &reading, int rest) {
            for (const int head : std::as_const(heads))
                collect(head, rest, headReading + reading, split.form, found, seen);
        });
    }
    if (found.cut) {
        // Cut within the first part: a company's name, as a rule.
        withReading(m_heads, payer, true, [&](const QString &reading, int head) {
            collect(head, m_emptyPart, reading, split.form, found, seen);
        });
    }
    if (found.names.isEmpty()) {
        withReading(m_heads, payer, false, [&](const QString &, int head) {
            found.familyOnly = found.familyOnly || m_parts.at(head).family;
        });
    }
    return found;
}

NameIndex::Named NameIndex::named(const QString &payer, const QList<qint64> &phones) const
{
    Named named;
    const Found found = find(payer);
    QStringList readings;
    qsizetype orders = 0;
    for (const Name &name : found.names) {
        readings.append(u"%1（%2）"_s.arg(name.reading, name.listed));
        orders += name.orders.size();
    }
    named.reading = readings.join(u"、"_s);
    // A name on more orders than a choice can offer tells no one apart.
    if (orders > MaxOrders) {
        named.common = true;
        return named;
    }
    QList<qint64> customerKeys; // a phone, or minus the name's place for none; at most MaxOrders
    for (qsizetype n = 0; n < found.names.size(); ++n) {
        for (const int order : found.names.at(n).orders) {
            const qint64 key = phones.value(order) != 0 ? phones.value(order) : -1 - n;
            qsizetype at = customerKeys.indexOf(key);
            if (at < 0) {
                at = customerKeys.size();
                customerKeys.append(key);
                named.customers.append(QList<int>());
            }
            if (!named.customers.at(at).contains(order))
                named.customers[at].append(order);
        }
    }
    for (QList<int> &customer : named.customers)
        std::sort(customer.begin(), customer.end());
    return named;
}
