#include <gtest/gtest.h>

#include <string>

#include "common/text/Utf8.h"

namespace zarp {
namespace {

TEST(Utf8, SequencesAreWellFormedOrNot) {
    struct Case {
        std::string bytes;
        size_t length;  // of the sequence at the start
    };
    const Case cases[] = {
        {"a", 1},
        {"\x7F", 1},
        {"\xC3\xA9", 2},          // é
        {"\xE3\x81\x82", 3},      // あ
        {"\xF0\x9F\x8E\xB2", 4},  // U+1F3B2
        {"\xF4\x8F\xBF\xBF", 4},  // U+10FFFF, the last one
        {"\x80", 0},              // a continuation byte alone
        {"\xC0\xAF", 0},          // overlong
        {"\xC1\xBF", 0},          // overlong
        {"\xE0\x80\xAF", 0},      // overlong
        {"\xF0\x80\x80\xAF", 0},  // overlong
        {"\xED\xA0\x80", 0},      // a surrogate
        {"\xF4\x90\x80\x80", 0},  // beyond U+10FFFF
        {"\xF5\x80\x80\x80", 0},  // no lead byte of any length
        {"\xE3\x81", 0},          // cut short
        {"\x83\x65", 0},          // Shift-JIS
        {"\xFF\xFE", 0},          // a UTF-16 byte order mark
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8SequenceLength(c.bytes, 0), c.length) << testing::PrintToString(c.bytes);
}

TEST(Utf8, JsonStringsAreValidWhateverTheBytesAndGiveThemBack) {
    struct Case {
        std::string bytes;
        std::string json;
    };
    const Case cases[] = {
        {"", "\"\""},
        {"KEEP0", "\"KEEP0\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"\t\n\x1F\x7F", "\"\\u0009\\u000a\\u001f\x7F\""},
        {"\xC3\xA9\xE3\x81\x82", "\"\xC3\xA9\xE3\x81\x82\""},  // UTF-8 stays as it is
        // Shift-JIS "テスト": the lead bytes come back as U+DC83, the ASCII trail bytes stay.
        {"\x83\x65\x83\x58\x83\x67", "\"\\udc83e\\udc83X\\udc83g\""},
        {"\xED\xA0\x80", "\"\\udced\\udca0\\udc80\""},  // an encoded surrogate is not UTF-8
        {"\xE3\x81", "\"\\udce3\\udc81\""},             // cut short
    };
    for (const Case& c : cases)
        EXPECT_EQ(JsonString(c.bytes), c.json) << testing::PrintToString(c.bytes);
}

TEST(Utf8, ByteOrderMarks) {
    EXPECT_TRUE(StartsWithUtf8ByteOrderMark("\xEF\xBB\xBF[Score]"));
    EXPECT_FALSE(StartsWithUtf8ByteOrderMark("\xEF\xBB"));
    EXPECT_FALSE(StartsWithUtf8ByteOrderMark("[Score]\xEF\xBB\xBF"));
    EXPECT_TRUE(StartsWithUtf16ByteOrderMark(std::string("\xFF\xFE[\0", 4)));
    EXPECT_TRUE(StartsWithUtf16ByteOrderMark(std::string("\xFE\xFF\0[", 4)));
    EXPECT_FALSE(StartsWithUtf16ByteOrderMark("\xEF\xBB\xBF"));
}

}  // namespace
}  // namespace zarp
