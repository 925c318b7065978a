#include "formats/TextCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vs {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

std::string Plain(const std::string& s) {
    return DecodePlainText(Bytes(s));
}

TEST(PlainTextDecoding, ValidUtf8IsKeptAndItsByteOrderMarkDropped) {
    EXPECT_EQ(Plain("caf\xC3\xA9 \xE4\xBD\xA0\xE5\xA5\xBD\n"), "caf\xC3\xA9 \xE4\xBD\xA0\xE5\xA5\xBD\n");
    EXPECT_EQ(Plain("\xEF\xBB\xBFhello"), "hello");
    EXPECT_EQ(Plain(""), "");
}

TEST(PlainTextDecoding, AnythingElseIsGb18030) {
    // 你好 in GB2312, then U+0080 as a four-byte GB18030 sequence.
    EXPECT_EQ(Plain("\xC4\xE3\xBA\xC3!\x81\x30\x81\x30"), "\xE4\xBD\xA0\xE5\xA5\xBD!\xC2\x80");
    // A GB2312 file whose bytes happen to contain a valid UTF-8 prefix still decodes whole.
    EXPECT_EQ(Plain("ok \xBA\xCF\xB2\xA2"), "ok \xE5\x90\x88\xE5\xB9\xB6");
    // Overlong and surrogate forms are not UTF-8.
    EXPECT_FALSE(IsValidUtf8(Bytes("\xC0\xAF")));
    EXPECT_FALSE(IsValidUtf8(Bytes("\xED\xA0\x80")));
    EXPECT_FALSE(IsValidUtf8(Bytes("\xF4\x90\x80\x80")));
    EXPECT_TRUE(IsValidUtf8(Bytes("\xF0\x9F\x98\x80")));
}

TEST(PlainTextDecoding, Utf16WithByteOrderMark) {
    EXPECT_EQ(Plain(std::string("\xFF\xFE"
                                "A\0\x60\x4F=\xD8\x00\xDE",
                                10)),
              "A\xE4\xBD\xA0\xF0\x9F\x98\x80");
    EXPECT_EQ(Plain(std::string("\xFE\xFF\0A", 4)), "A");
}

TEST(CodePageDecoding, WindowsCodePagesAndCharsets) {
    EXPECT_EQ(DecodeCodePage(Bytes("\xE9\x80\x93"), 1252), "\xC3\xA9\xE2\x82\xAC\xE2\x80\x9C");
    EXPECT_EQ(DecodeCodePage(Bytes("\x82\xA0"), CodePageOfCharset(128, 1252)), "\xE3\x81\x82");  // あ
    EXPECT_EQ(DecodeCodePage(Bytes("\xC4\xE3"), CodePageOfCharset(134, 1252)), "\xE4\xBD\xA0");
    EXPECT_EQ(DecodeCodePage(Bytes("\xC0"), CodePageOfCharset(204, 1252)), "\xD0\x90");  // Cyrillic А
    EXPECT_EQ(CodePageOfCharset(1, 936), 936);
    EXPECT_EQ(CodePageOfCharset(0, 936), 1252);
    // An unknown code page reads as 1252; a truncated double-byte sequence becomes U+FFFD.
    EXPECT_EQ(DecodeCodePage(Bytes("\xE9"), 4711), "\xC3\xA9");
    EXPECT_EQ(DecodeCodePage(Bytes("a\xC4"), 936), "a\xEF\xBF\xBD");
    EXPECT_EQ(DecodeCodePage(Bytes("a\xFF"
                                   "b"),
                             65001),
              "a\xEF\xBF\xBD"
              "b");
}

}  // namespace
}  // namespace vs
