#include "recordings/ListSelection.h"

std::optional<size_t> SelectedEntry(std::optional<int> selectedRow, size_t catalogueCount) {
    if (!selectedRow || *selectedRow < 0 || static_cast<size_t>(*selectedRow) >= catalogueCount)
        return std::nullopt;
    return static_cast<size_t>(*selectedRow);
}

std::optional<size_t> BrowseEntry(std::optional<int> selectedRow, size_t listCount,
                                  size_t catalogueCount) {
    if (listCount == 0)
        return std::nullopt;
    if (!selectedRow)
        return catalogueCount > 0 ? std::optional<size_t>(0) : std::nullopt;
    return SelectedEntry(selectedRow, catalogueCount);
}
