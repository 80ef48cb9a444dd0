#include "import/StatementLines.h"

#include "core/data/CellText.h"

#include <limits>

StatementLines::Span StatementLines::spanOf(QStringView text, int slot, qsizetype lineSpans)
{
    const auto holds = [&](Span span) {
        return span.length == text.size() && QStringView(m_text.constData() + span.offset, qsizetype(span.length)) == text;
    };
    Span &previous = m_previous[slot];
    if (holds(previous))
        return previous;
    // The payer's name is mostly one of the searched texts too.
    for (qsizetype i = lineSpans; i < m_spans.size(); ++i) {
        if (holds(m_spans.at(i)))
            return previous = m_spans.at(i);
    }
    // A file is at most tens of megabytes: its texts stay far below what a span addresses.
    Q_ASSERT(m_text.size() + text.size() <= std::numeric_limits<std::uint32_t>::max());
    previous = {std::uint32_t(m_text.size()), std::uint32_t(text.size())};
    m_text.append(text);
    return previous;
}

void StatementLines::append(const StatementLine &line)
{
    m_lines.append(stored(line));
}

StatementLines::Stored StatementLines::stored(const StatementLine &line)
{
    Stored stored{};
    stored.amount = line.amount;
    stored.lineNumber = line.lineNumber;
    stored.julianDay = line.julianDay;
    stored.firstSpan = std::uint32_t(m_spans.size());
    stored.cancels = line.cancels;
    stored.duplicate = line.duplicate;
    const QString *fields[FieldCount] = {&line.dateText, &line.amountText, &line.namedOrder, &line.problem,
                                         &line.payerName, &line.edi, &line.reference};
    // Most dates and amounts are written as the list writes them, and a
    // payer's name is mostly a searched text too: those take no span.
    if (line.julianDay != m_listDate.julianDay)
        m_listDate = {line.julianDay, CellText::dateText(line.julianDay)};
    if (!line.dateText.isEmpty() && line.dateText == m_listDate.text)
        stored.derived |= 1u << Date;
    if (!line.amountText.isEmpty() && line.amountText == QString::number(line.amount))
        stored.derived |= 1u << AmountText;
    const qsizetype searched = std::min(line.searched.size(), MaxSearched);
    const qsizetype payerAt = line.payerName.isEmpty() ? -1 : line.searched.indexOf(line.payerName);
    if (payerAt >= 0 && payerAt < std::min<qsizetype>(searched, 64)) {
        stored.derived |= 1u << Payer;
        stored.payerAt = std::uint8_t(payerAt);
    }
    for (int field = 0; field < FieldCount; ++field) {
        if (fields[field]->isEmpty() || (stored.derived & (1u << field)))
            continue;
        stored.present |= std::uint8_t(1u << field);
        m_spans.append(spanOf(*fields[field], field, stored.firstSpan));
    }
    // Empty searched texts are kept: the text shown joins them as they were.
    for (qsizetype k = 0; k < searched; ++k)
        m_spans.append(spanOf(line.searched.at(k), FieldCount + int(std::min<qsizetype>(k, SearchedSlots - 1)),
                              stored.firstSpan));
    stored.searched = std::uint8_t(searched);
    return stored;
}

StatementLine StatementLines::at(qsizetype index) const
{
    const Stored &stored = m_lines.at(index);
    StatementLine line;
    line.amount = stored.amount;
    line.lineNumber = stored.lineNumber;
    line.julianDay = stored.julianDay;
    line.cancels = stored.cancels;
    line.duplicate = stored.duplicate;
    QString *fields[FieldCount] = {&line.dateText, &line.amountText, &line.namedOrder, &line.problem,
                                   &line.payerName, &line.edi, &line.reference};
    qsizetype span = stored.firstSpan;
    for (int field = 0; field < FieldCount; ++field) {
        if (stored.present & (1u << field))
            *fields[field] = text(m_spans.at(span++));
    }
    line.searched.reserve(stored.searched);
    for (int k = 0; k < stored.searched; ++k)
        line.searched.append(text(m_spans.at(span++)));
    if (stored.derived & (1u << Date))
        line.dateText = CellText::dateText(stored.julianDay);
    if (stored.derived & (1u << AmountText))
        line.amountText = QString::number(stored.amount);
    if (stored.derived & (1u << Payer))
        line.payerName = line.searched.at(stored.payerAt);
    return line;
}

void StatementLines::clear()
{
    *this = StatementLines();
}
