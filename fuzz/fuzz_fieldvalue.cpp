// Dates and numbers read from any text: no crash, and the readers agree.
#include "FuzzCheck.h"

#include "core/data/FieldValue.h"

#include <cmath>
#include <cstdint>

namespace {

void checkText(const QString &text)
{
    const std::optional<QDate> date = FieldValue::ParseDate(text);
    const QString dateText = FieldValue::FormatDate(date.value_or(QDate()));
    FUZZ_CHECK(dateText.isEmpty() == !date.has_value(), text);
    if (date) {
        FUZZ_CHECK(date->isValid(), text);
        FUZZ_CHECK(dateText.size() == 10, text);
        // What the date reader writes, it reads back unchanged.
        FUZZ_CHECK(FieldValue::ParseDate(dateText) == date, text);
    }

    const double number = FieldValue::Number(text);
    FUZZ_CHECK(!std::isnan(number), text);
    if (std::isfinite(number)) {
        const QString written = QString::number(number, 'g', 17);
        FUZZ_CHECK(FieldValue::Number(written) == number, text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkText(fuzzText(data, size, false));
    checkText(fuzzText(data, size, true));
    return 0;
}
