#include "core/layout/AnchorTable.h"

#include <utility>

void SortAnchorsByParent(AnchorTable &table, int first, int last)
{
    if (first >= last)
        return;
    Q_ASSERT(first >= 0 && last < table.size());
    const int mid = (first + last) / 2;
    const AnchorEntry pivot = table[mid];
    table[mid] = table[first];
    int boundary = first;
    for (int i = first + 1; i <= last; ++i) {
        if (table[i].ParentHwnd < pivot.ParentHwnd) {
            ++boundary;
            std::swap(table[boundary], table[i]);
        }
    }
    table[first] = table[boundary];
    table[boundary] = pivot;
    SortAnchorsByParent(table, first, boundary - 1);
    SortAnchorsByParent(table, boundary + 1, last);
}
