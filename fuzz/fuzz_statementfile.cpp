// A payment statement is a file from outside: whatever its bytes, reading it
// gives either deposits or one reason, never a crash, and every deposit it
// does give is one the list could take. The same bytes go through the column
// dialog's side too: its first rows, the key a choice is kept under, and an
// assignment as parlow.ini holds it, read back and applied.
#include "FuzzCheck.h"

#include "core/data/CellText.h"
#include "core/import/CsvColumns.h"
#include "core/import/StatementFile.h"

#include <cstdint>

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
        FUZZ_CHECK(line.julianDay >= CellText::MinDateJulian && line.julianDay <= CellText::MaxDateJulian, input);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString input = QString::fromLatin1(bytes.toBase64());
    const Statement statement = StatementFile::read(bytes, QDate(2026, 12, 6));
    checkLines(statement, input);

    // The dialog's parser: an assignment text, as read back from parlow.ini,
    // either is none or survives writing and reading again unchanged.
    const QString text = QString::fromUtf8(bytes);
    if (const std::optional<CsvColumns> columns = CsvColumns::fromText(text)) {
        FUZZ_CHECK(columns->complete(), input);
        const std::optional<CsvColumns> again = CsvColumns::fromText(columns->toText());
        FUZZ_CHECK(again && again->toText() == columns->toText(), input);
    }
    if (!statement.columnsKey.isEmpty()) {
        const QList<QStringList> rows = StatementFile::firstRows(bytes, 5);
        FUZZ_CHECK(!rows.isEmpty() && rows.size() <= 5, input);
        FUZZ_CHECK(CsvColumns::keyOf(rows.constFirst()) == statement.columnsKey, input);
        // Any choice the dialog can make reads the file without a crash.
        const int width = int(rows.constFirst().size());
        CsvColumns chosen;
        chosen.date = 0;
        chosen.amount = width > 1 ? 1 : 2;
        chosen.searched = {0, width};
        chosen.headerRow = size % 2 == 0;
        checkLines(StatementFile::read(bytes, QDate(2026, 12, 6), &chosen), input);
    }
    return 0;
}
