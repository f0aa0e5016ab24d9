#include "game/progress/levellist.h"

#include "engine/core/log.h"
#include "support/scratchstorage.h"

#include <gtest/gtest.h>

namespace bsh {
namespace {

// A list is the texts of its root's children, in order, whatever the tags;
// an empty or missing one adds nothing and says so.
TEST(LevelList, ReadsChildTextsInOrderAndLogsAnEmptyOrMissingList)
{
    test::ScratchStorage storage;
    storage.Write("set.xml", "<whatever>\n  <level>/original/003</level>\n  <x>/original/001</x>\n"
                             "  <level>/original/005a</level>\n</whatever>\n");
    storage.Write("empty.xml", "<set>\n</set>\n");
    std::vector<std::string> list{"kept"};
    test::LogCapture log;
    EXPECT_TRUE(LoadLevelList(storage.File("set.xml"), list));
    EXPECT_EQ(list, (std::vector<std::string>{"kept", "/original/003", "/original/001", "/original/005a"}));
    EXPECT_FALSE(log.Has(tsv::LogLevel::Error, "Error loading level list"));
    for (const std::string name : {"empty.xml", "missing.xml"}) {
        std::vector<std::string> none;
        test::LogCapture each;
        EXPECT_FALSE(LoadLevelList(storage.File(name), none));
        EXPECT_TRUE(none.empty());
        EXPECT_TRUE(each.Has(tsv::LogLevel::Error, "Error loading level list")) << name;
    }
}

} // namespace
} // namespace bsh
