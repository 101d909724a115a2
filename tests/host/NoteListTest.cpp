#include "tools/marlet-host/NoteList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using testing::HasSubstr;

std::string ErrorOf(std::string_view text)
{
    try {
        NoteList::Parse(text);
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "(accepted)";
}

TEST(HostNoteList, TurnsEachNoteIntoNoteOnAndNoteOff)
{
    const auto list = NoteList::Parse("0.5:0:60:100:1, 0:15:127:1:0.25");
    const auto& e = list.Events();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].seconds, 0.0);
    EXPECT_EQ(e[0].status, 0x9F);
    EXPECT_EQ(e[0].data1, 127);
    EXPECT_EQ(e[0].data2, 1);
    EXPECT_EQ(e[1].seconds, 0.25);
    EXPECT_EQ(e[1].status, 0x8F);
    EXPECT_EQ(e[2].seconds, 0.5);
    EXPECT_EQ(e[2].status, 0x90);
    EXPECT_EQ(e[2].data2, 100);
    EXPECT_EQ(e[3].seconds, 1.5);
    EXPECT_EQ(e[3].status, 0x80);
    EXPECT_EQ(e[3].data1, 60);
    EXPECT_EQ(list.EndSeconds(), 1.5);
}

TEST(HostNoteList, ARepeatedNoteIsReleasedBeforeItIsStruckAgain)
{
    const auto list = NoteList::Parse("0:0:60:100:1,1:0:60:90:1,1:0:64:80:1");
    const auto& e = list.Events();
    ASSERT_EQ(e.size(), 6u);
    EXPECT_EQ(e[1].status, 0x80);  // at 1 s: the first note ends ...
    EXPECT_EQ(e[2].status, 0x90);  // ... before both new notes start, in list order
    EXPECT_EQ(e[2].data1, 60);
    EXPECT_EQ(e[3].data1, 64);
}

TEST(HostNoteList, RefusesBadEntriesNamingTheFault)
{
    EXPECT_THAT(ErrorOf(""), HasSubstr("empty"));
    EXPECT_THAT(ErrorOf("0:0:60:100:1,"), HasSubstr("note 2"));
    EXPECT_THAT(ErrorOf("0:0:60:100"), HasSubstr("start:channel:key:velocity:length"));
    EXPECT_THAT(ErrorOf("0:0:60:100:1:5"), HasSubstr("start:channel:key:velocity:length"));
    EXPECT_THAT(ErrorOf("0:16:60:100:1"), HasSubstr("channel 16 is outside 0..15"));
    EXPECT_THAT(ErrorOf("0:-1:60:100:1"), HasSubstr("channel"));
    EXPECT_THAT(ErrorOf("0:1.5:60:100:1"), HasSubstr("whole number"));
    EXPECT_THAT(ErrorOf("0:0:128:100:1"), HasSubstr("key 128"));
    EXPECT_THAT(ErrorOf("0:0:60:0:1"), HasSubstr("velocity 0"));
    EXPECT_THAT(ErrorOf("0:0:60:128:1"), HasSubstr("velocity"));
    EXPECT_THAT(ErrorOf("-1:0:60:100:1"), HasSubstr("start -1"));
    EXPECT_THAT(ErrorOf("0:0:60:100:0"), HasSubstr("length must be above 0"));
    EXPECT_THAT(ErrorOf("nan:0:60:100:1"), HasSubstr("not a number"));
    EXPECT_THAT(ErrorOf("0:0:60:100:inf"), HasSubstr("not a number"));
    EXPECT_THAT(ErrorOf("0:0:C4:100:1"), HasSubstr("key \"C4\""));
    EXPECT_THAT(ErrorOf("1e9:0:60:100:1"), HasSubstr("start"));
}

}  // namespace
