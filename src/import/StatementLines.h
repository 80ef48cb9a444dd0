#pragma once

#include "import/StatementLine.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>

// The lines of a statement, kept compact: the largest file an operator may
// choose has a million lines, and one heap string per field made the lines
// take twenty times the file. Here a line is a fixed record and spans of one
// shared text, a text repeated from the line before (the date, a constant
// remark) is kept once, and a StatementLine is built when one is asked for.
class StatementLines final
{
public:
    qsizetype size() const { return m_lines.size(); }
    bool isEmpty() const { return m_lines.isEmpty(); }
    StatementLine at(qsizetype index) const;
    StatementLine operator[](qsizetype index) const { return at(index); }
    StatementLine constFirst() const { return at(0); }

    // What matching and applying ask of every line, without building it.
    qint64 amount(qsizetype index) const { return m_lines.at(index).amount; }
    int julianDay(qsizetype index) const { return m_lines.at(index).julianDay; }
    int lineNumber(qsizetype index) const { return m_lines.at(index).lineNumber; }

    void append(const StatementLine &line);
    // The line at index as given: what the reader learns later about a line
    // (a cancellation that does not agree with it) is written this way.
    void replace(qsizetype index, const StatementLine &line) { m_lines[index] = stored(line); }
    // Room for this many lines, so that a large file is not copied as it grows.
    void reserve(qsizetype lines) { m_lines.reserve(lines); }
    void clear();
    // Keeps the lines keep(index) holds true for, in their order.
    template <typename Keep>
    void retain(Keep &&keep)
    {
        qsizetype kept = 0;
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            if (keep(i))
                m_lines[kept++] = m_lines.at(i);
        }
        m_lines.resize(kept);
    }

    class const_iterator
    {
    public:
        const_iterator(const StatementLines *lines, qsizetype index) : m_lines(lines), m_index(index) {}
        StatementLine operator*() const { return m_lines->at(m_index); }
        const_iterator &operator++()
        {
            ++m_index;
            return *this;
        }
        bool operator==(const const_iterator &other) const { return m_index == other.m_index; }

    private:
        const StatementLines *m_lines;
        qsizetype m_index;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    // The texts a line may have besides the searched ones, in the order of their spans.
    enum Field : std::uint8_t { Date, AmountText, NamedOrder, Problem, Payer, Edi, Reference, FieldCount };
    // Searched texts beyond this many share the last one's slot for repeats.
    static constexpr int SearchedSlots = 4;
    // A line keeps this many searched texts at most; a bank's file has a few.
    static constexpr qsizetype MaxSearched = 255;

    struct Span
    {
        std::uint32_t offset;
        std::uint32_t length;
    };
    struct Stored
    {
        qint64 amount;
        std::int32_t lineNumber;
        std::int32_t julianDay;
        std::uint32_t firstSpan;
        std::uint8_t present;  // bit per Field with a span of its own
        // Bit per Field whose text another value gives: the date's and the
        // amount's as the list writes them, the payer's as searched text payerAt.
        std::uint8_t derived;
        std::uint8_t searched; // spans after the fields'
        std::uint8_t payerAt : 6;
        bool cancels : 1;
        bool duplicate : 1;
    };

    QString text(Span span) const { return QString(m_text.constData() + span.offset, qsizetype(span.length)); }
    // The span of text, shared with the slot's previous text or a text of
    // the same line (spans from lineSpans on) when they are alike.
    Span spanOf(QStringView text, int slot, qsizetype lineSpans);
    // The line's record, its texts appended to the shared ones.
    Stored stored(const StatementLine &line);

    QList<Stored> m_lines;
    QList<Span> m_spans;
    QString m_text;
    Span m_previous[FieldCount + SearchedSlots]{};
    // The last date as the list writes it: neighbouring lines mostly share it.
    struct
    {
        int julianDay{0};
        QString text;
    } m_listDate;
};
