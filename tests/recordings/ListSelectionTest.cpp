#include "recordings/ListSelection.h"

#include <gtest/gtest.h>

// A current row without a selection (after Ctrl+click) must not be acted on:
// play would play, and "Browse File..." show, a recording the user deselected.
TEST(ListSelection, ActionsGoByTheSelectionNotTheCurrentRow) {
    EXPECT_EQ(SelectedEntry(1, 3), 1U);
    EXPECT_EQ(SelectedEntry(std::nullopt, 3), std::nullopt);
    EXPECT_EQ(SelectedEntry(3, 3), std::nullopt) << "a row the catalogue lacks";

    EXPECT_EQ(BrowseEntry(2, 3, 3), 2U);
    EXPECT_EQ(BrowseEntry(std::nullopt, 3, 3), 0U) << "nothing selected: the first";
    EXPECT_EQ(BrowseEntry(std::nullopt, 0, 0), std::nullopt);
    EXPECT_EQ(BrowseEntry(std::nullopt, 2, 0), std::nullopt);
}
