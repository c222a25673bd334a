#pragma once
// Which catalogue entry an action of the recordings list applies to. The
// list's current row is not its selection: a Ctrl+click takes the selection
// away and leaves the current row where it was, so actions go by the rows
// that are selected.

#include <cstddef>
#include <optional>

// The selected row when it is one of the catalogue's entries; none when
// nothing is selected.
std::optional<size_t> SelectedEntry(std::optional<int> selectedRow, size_t catalogueCount);

// "Browse File...": the selected entry, or the first when nothing is
// selected; none while the list is empty.
std::optional<size_t> BrowseEntry(std::optional<int> selectedRow, size_t listCount,
                                  size_t catalogueCount);
