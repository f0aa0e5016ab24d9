// Formats from language files are data: they must never read past their
// arguments or take a number for a string.

#include "engine/core/textformat.h"

#include <gtest/gtest.h>

using tsv::FormatText;

TEST(TextFormatTest, DirectivesTakeTheArgumentsInOrderWithWidthsAndFlags)
{
    EXPECT_EQ(FormatText("Collect %d jewels", {int64_t{12}}), "Collect 12 jewels");
    EXPECT_EQ(FormatText("%02d:%02d", {int64_t{2}, int64_t{5}}), "02:05");
    EXPECT_EQ(FormatText("%03d", {int64_t{-7}}), "-07");
    EXPECT_EQ(FormatText("[%5s|%-4s]", {std::string("ab"), std::string("c")}), "[   ab|c   ]");
    EXPECT_EQ(FormatText("Welcome aboard, %s!", {std::string("Ann")}), "Welcome aboard, Ann!");
    EXPECT_EQ(FormatText("100%% by %s", {std::string("Ann")}), "100% by Ann");
}

TEST(TextFormatTest, ABrokenFormatIsShownRatherThanFollowed)
{
    // More directives than arguments: the rest stay as written.
    EXPECT_EQ(FormatText("%d of %d and %s", {int64_t{1}}), "1 of %d and %s");
    // A string directive given a number shows the number; unknown ones stay.
    EXPECT_EQ(FormatText("%s %n %x %", {int64_t{3}}), "3 %n %x %");
    // An absurd width is capped instead of filling memory.
    EXPECT_EQ(FormatText("%999999999999d", {int64_t{1}}).size(), 64u);
}
