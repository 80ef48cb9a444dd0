// A payment statement is a file from outside: whatever its bytes, reading it
// gives either deposits or one reason, never a crash, and every deposit it
// does give is one the list could take. The same bytes go through the column
// dialog's side too: its first rows, the key a choice is kept under, and an
// assignment as parlow.ini holds it, read back and applied. The payer names
// are read against the listed names, and the bytes are read as a listed
// name too.
#include "FuzzCheck.h"

#include "core/data/CellText.h"
#include "import/CsvColumns.h"
#include "import/KanaFold.h"
#include "import/NameIndex.h"
#include "import/CsvStatement.h"
#include "import/StatementFile.h"

#include <algorithm>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace {

void checkLines(const Statement &statement, const QString &input)
{
    FUZZ_CHECK(statement.ok() || statement.lines.isEmpty(), input);
    int previous = 0;
    for (const StatementLine &line : statement.lines) {
        FUZZ_CHECK(line.lineNumber > previous, input);
        previous = line.lineNumber;
        if (!line.problem.isEmpty())
            continue;
        FUZZ_CHECK(line.amount > 0, input);
        FUZZ_CHECK(line.date.toJulianDay() >= CellText::MinDateJulian && line.date.toJulianDay() <= CellText::MaxDateJulian,
                   input);
    }
}

// Whatever a name holds, what it reads as is the banks' kana and names orders.
void checkNames(const NameIndex &index, const QString &payer, const QString &input)
{
    const NameIndex::Found found = index.find(payer);
    for (const NameIndex::Name &name : found.names) {
        FUZZ_CHECK(!name.orders.isEmpty(), input);
        FUZZ_CHECK(std::all_of(name.reading.cbegin(), name.reading.cend(), KanaFold::isReadingChar), input);
    }
    FUZZ_CHECK(found.names.isEmpty() || !found.familyOnly, input);
}

const NameIndex &listedNames()
{
    static const NameIndex index([] {
        QList<ListedOrder> orders;
        for (const QString &name : {u"田中 太郎"_s, u"森 亮"_s, u"ジョン スミス"_s, u"髙橋 一郎"_s})
            orders.append({int(orders.size()) + 1, orders.size() + 1, name, 1000, 0, {}, {}, {}});
        orders.append({5, 5, u"山田 花子"_s, 1000, 0, {}, {}, u"株式会社山田商事"_s});
        return orders;
    }());
    return index;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString input = QString::fromLatin1(bytes.toBase64());
    QString csvText;
    const Statement statement = StatementFile::read(bytes, QDate(2026, 12, 6), nullptr, nullptr, &csvText);
    checkLines(statement, input);
    for (const StatementLine &line : statement.lines)
        checkNames(listedNames(), line.payerName, input);
    const QString text = QString::fromUtf8(bytes);
    checkNames(listedNames(), text, input);
    const NameIndex own({{1, 1, text, 1000, 0, {}, {}, text}});
    checkNames(own, text, input);

    // The dialog's parser: an assignment text, as read back from parlow.ini,
    // either is none or survives writing and reading again unchanged.
    if (const std::optional<CsvColumns> columns = CsvColumns::fromText(text)) {
        FUZZ_CHECK(columns->complete(), input);
        const std::optional<CsvColumns> again = CsvColumns::fromText(columns->toText());
        FUZZ_CHECK(again && again->toText() == columns->toText(), input);
    }
    if (!statement.columnsKey.isEmpty()) {
        const QList<QStringList> rows = CsvStatement::firstRows(csvText, 5);
        FUZZ_CHECK(!rows.isEmpty() && rows.size() <= 5, input);
        FUZZ_CHECK(CsvColumns::keyOf(rows.constFirst()) == statement.columnsKey, input);
        // Any choice the dialog can make reads the file without a crash.
        const int width = int(rows.constFirst().size());
        CsvColumns chosen;
        chosen.date = 0;
        chosen.amount = width > 1 ? 1 : 2;
        chosen.searched = {0, width};
        chosen.headerRow = size % 2 == 0;
        checkLines(CsvStatement::read(csvText, &chosen), input);
    }
    return 0;
}
