#pragma once

#include <QRect>

// What a suspended model changed without telling its views, which keep
// seeing it as it was: whether rows came or went (the views are then reset)
// or only which cells changed (columns x rows, 0-based).
class PendingChanges final
{
public:
    bool isSuspended() const { return m_suspended; }
    void suspend() { m_suspended = true; }

    void structureChanged() { m_structure = true; }
    void cellsChanged(const QRect &cells) { m_cells |= cells; }

    struct Told
    {
        bool reset;
        QRect cells; // invalid when none, or when reset
    };
    // Ends the suspension, handing over what the views must hear.
    Told resume()
    {
        const Told told{m_structure, m_structure ? QRect() : m_cells};
        *this = PendingChanges();
        return told;
    }

private:
    bool m_suspended{false};
    bool m_structure{false};
    QRect m_cells;
};
