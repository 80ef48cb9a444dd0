// A payment statement is a file from outside: whatever its bytes, reading it
// gives either deposits or one reason, never a crash, and every deposit it
// does give is one the list could take.
#include "FuzzCheck.h"

#include "core/data/CellText.h"
#include "core/import/StatementFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const Statement statement = StatementFile::read(bytes, QDate(2026, 12, 6));
    const QString input = QString::fromLatin1(bytes.toBase64());
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
    return 0;
}
