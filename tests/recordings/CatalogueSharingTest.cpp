// Two copies of the program on one recorded.xml: each write keeps what the
// other wrote since, and a clear in either stays a clear.

#include "recordings/CatalogueMerge.h"
#include "recordings/CatalogueStore.h"
#include "recordings/TRecordFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

namespace {

using Paths = std::vector<std::string>;

class CatalogueSharing : public ::testing::Test {
protected:
    std::string path() const { return (dir / "recorded.xml").string(); }
    Paths stored() const {
        auto c = TRecordFiles::CreateFromDataFile(path());
        return c ? c->Files() : Paths{"<none>"};
    }
    void add(recordings::CatalogueStore& store, TRecordFiles& list, const std::string& p) {
        list.Files().push_back(p);
        ASSERT_TRUE(store.save(list).ok());
        EXPECT_EQ(list.Files(), stored()) << "the copy lists what it wrote";
    }

    TempFolder dir;
};

} // namespace

TEST(CatalogueMerge, HonoursAnotherCopysClearAndCountsRepeatedPaths) {
    using recordings::mergeCatalogue;
    // Another copy cleared: what this copy had seen goes, its own stays.
    EXPECT_EQ(mergeCatalogue({"a", "b"}, {"a", "b", "n"}, {}), (Paths{"n"}));
    // A path both recorded is listed once; one recorded twice by one copy twice.
    EXPECT_EQ(mergeCatalogue({"a"}, {"a", "x"}, {"a", "x"}), (Paths{"a", "x"}));
    EXPECT_EQ(mergeCatalogue({"a"}, {"a"}, {"a", "a"}), (Paths{"a", "a"}));
    EXPECT_EQ(mergeCatalogue({"a", "a"}, {"a", "a", "a"}, {"a", "a"}), (Paths{"a", "a", "a"}));
}

TEST_F(CatalogueSharing, TwoCopiesAddingInTurnKeepEachOthersRecordings) {
    recordings::CatalogueStore first(path()), second(path());
    auto one = first.open();
    auto two = second.open();
    add(first, *one, "/rec/a1.wav");
    add(second, *two, "/rec/b1.wav");
    add(first, *one, "/rec/a2.wav");
    add(second, *two, "/rec/b2.wav");
    EXPECT_EQ(stored(), (Paths{"/rec/a1.wav", "/rec/b1.wav", "/rec/a2.wav", "/rec/b2.wav"}));
    // Written again at exit with nothing new: nothing doubles.
    ASSERT_TRUE(first.save(*one).ok());
    ASSERT_TRUE(second.save(*two).ok());
    EXPECT_EQ(stored().size(), 4u);
}

TEST_F(CatalogueSharing, AClearStaysAClearAndKeepsWhatCameLater) {
    {
        TRecordFiles before;
        before.Files() = {"/rec/x.wav", "/rec/y.wav"};
        ASSERT_EQ(TRecordFiles::SaveDataFile(path(), &before), "");
    }
    recordings::CatalogueStore first(path()), second(path());
    auto one = first.open();
    auto two = second.open();
    add(second, *two, "/rec/b1.wav");

    one->Files().clear();
    ASSERT_TRUE(first.save(*one).ok());
    EXPECT_EQ(stored(), (Paths{"/rec/b1.wav"})) << "x and y cleared, b1 came after";
    EXPECT_EQ(one->Files(), stored());

    // The other copy's exit write does not bring back what was cleared.
    ASSERT_TRUE(second.save(*two).ok());
    EXPECT_EQ(two->Files(), (Paths{"/rec/b1.wav"}));
    add(first, *one, "/rec/a1.wav");
    EXPECT_EQ(stored(), (Paths{"/rec/b1.wav", "/rec/a1.wav"}));
}

TEST_F(CatalogueSharing, AFileThatCannotBeReadLeavesTheListAsItIs) {
    std::filesystem::create_directories(dir / "recorded.xml" / "inside");
    recordings::CatalogueStore store(path());
    auto list = store.open();
    EXPECT_TRUE(list->Files().empty()) << "a folder in the file's place starts an empty list";
    list->Files() = {"/rec/a.wav"};
    EXPECT_FALSE(store.save(*list).ok());
    EXPECT_EQ(list->Files(), (Paths{"/rec/a.wav"}));
}

TEST_F(CatalogueSharing, WritersAtTheSameTimeLoseNothing) {
    constexpr int kWriters = 4, kEach = 25;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([this, w] {
            recordings::CatalogueStore store(path());
            auto list = store.open();
            for (int i = 0; i < kEach; ++i) {
                list->Files().push_back("/rec/" + std::to_string(w) + "-" + std::to_string(i));
                EXPECT_TRUE(store.save(*list).ok());
            }
        });
    for (std::thread& t : writers)
        t.join();
    const Paths all = stored();
    EXPECT_EQ(all.size(), std::size_t{kWriters * kEach});
    EXPECT_EQ(std::set<std::string>(all.begin(), all.end()).size(), all.size());
    // Each writer's own recordings stay in the order it made them.
    for (int w = 0; w < kWriters; ++w) {
        std::vector<int> order;
        for (const std::string& p : all)
            if (p.starts_with("/rec/" + std::to_string(w) + "-"))
                order.push_back(std::stoi(p.substr(p.find('-') + 1)));
        EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << "writer " << w;
    }
}
