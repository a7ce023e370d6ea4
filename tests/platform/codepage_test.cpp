#include "platform/ZrCodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct KnownText {
    const char* utf8;
    CZrCodePage::Page page;
    const char* bytes;
};

// Reference bytes from the published GB2312 and Shift-JIS tables.
const KnownText kKnownTexts[] = {
    {"北京54", CZrCodePage::Gb2312,
     "\xB1\xB1\xBE\xA9"
     "54"},
    {"坐标系 Xian 1980", CZrCodePage::Gb2312, "\xD7\xF8\xB1\xEA\xCF\xB5 Xian 1980"},
    {"あ", CZrCodePage::Gb2312, "\xA4\xA2"}, // kana are in GB2312 too
    {"東京測地系", CZrCodePage::ShiftJis, "\x93\x8C\x8B\x9E\x91\xAA\x92\x6E\x8C\x6E"},
    {"ﾃｽﾄ", CZrCodePage::ShiftJis, "\xC3\xBD\xC4"}, // half-width katakana: one byte each
    {"Pulkovo 1942", CZrCodePage::Utf8, "Pulkovo 1942"},
};

} // namespace

TEST(CodePageTest, ChineseAndJapaneseTextsGiveTheTableBytesAndComeBack) {
    for (const KnownText& t : kKnownTexts) {
        std::string bytes, back;
        ASSERT_EQ(CZrCodePage::FromUtf8(t.utf8, t.page, bytes), 1) << t.utf8;
        EXPECT_EQ(bytes, t.bytes) << t.utf8;
        EXPECT_EQ(CZrCodePage::ToUtf8(bytes, t.page, back), 1) << t.utf8;
        EXPECT_EQ(back, t.utf8);
    }
}

TEST(CodePageTest, UnrepresentableCharactersFailOrBecomeReferences) {
    struct Case {
        const char* utf8;
        CZrCodePage::Page page;
        const char* withRefs;
    };
    const Case cases[] = {
        {"Seoul 한", CZrCodePage::Gb2312, "Seoul &#54620;"},
        {"我们", CZrCodePage::ShiftJis, "\x89\xE4&#20204;"}, // simplified 们 is no JIS character
        {"x\xF0\x9F\x98\x80y", CZrCodePage::Gb2312, "x&#128512;y"},
        {"\xF0\x9F\x98\x80", CZrCodePage::ShiftJis, "&#128512;"},
    };
    for (const Case& c : cases) {
        std::string bytes = "stale";
        EXPECT_EQ(CZrCodePage::FromUtf8(c.utf8, c.page, bytes, CZrCodePage::Fail), 0) << c.utf8;
        EXPECT_TRUE(bytes.empty());
        ASSERT_EQ(CZrCodePage::FromUtf8(c.utf8, c.page, bytes, CZrCodePage::CharRef), 1) << c.utf8;
        EXPECT_EQ(bytes, c.withRefs);
    }
}

TEST(CodePageTest, InvalidInputNeverYieldsInvalidUtf8) {
    struct Case {
        const char* bytes;
        CZrCodePage::Page page;
        const char* utf8;
    };
    const Case cases[] = {
        {"A\xB1", CZrCodePage::Gb2312, "A\xEF\xBF\xBD"},         // lead byte cut off at the end
        {"\xB1 B", CZrCodePage::Gb2312, "\xEF\xBF\xBD B"},       // lead byte without a trail byte
        {"\xFF\xB1\xB1", CZrCodePage::Gb2312, "\xEF\xBF\xBD北"}, // resynchronises after the bad byte
        {"\x93", CZrCodePage::ShiftJis, "\xEF\xBF\xBD"},
        {"\xC0\xAF", CZrCodePage::Utf8, "\xEF\xBF\xBD\xEF\xBF\xBD"},                 // overlong "/"
        {"\xED\xA0\x80", CZrCodePage::Utf8, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"}, // surrogate
        {"\xF4\x90\x80\x80", CZrCodePage::Utf8, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        std::string utf8;
        EXPECT_EQ(CZrCodePage::ToUtf8(c.bytes, c.page, utf8), 0) << c.bytes;
        EXPECT_EQ(utf8, c.utf8);
        EXPECT_TRUE(CZrCodePage::IsValidUtf8(utf8));
    }
    // Broken UTF-8 cannot be encoded at all, not even with references.
    std::string bytes;
    EXPECT_EQ(CZrCodePage::FromUtf8("ab\xC3", CZrCodePage::Gb2312, bytes, CZrCodePage::CharRef), 0);
    EXPECT_EQ(CZrCodePage::FromUtf8("\xED\xA0\x80", CZrCodePage::Utf8, bytes), 0);
}

TEST(CodePageTest, LabelsWriteTheNamedSetAndReadTheWindowsSuperset) {
    // 镕 is in GBK (code page 936) but not in GB2312: a file labelled GB2312
    // must not carry it as raw bytes, yet a Windows-written one may hold them.
    std::string bytes, utf8;
    EXPECT_EQ(CZrCodePage::FromUtf8("镕", "GB2312", bytes, CZrCodePage::CharRef), 1);
    EXPECT_EQ(bytes, "&#38229;");
    EXPECT_EQ(CZrCodePage::FromUtf8("镕", CZrCodePage::Gb2312, bytes), 1);
    EXPECT_EQ(bytes, "\xE9\x46");
    EXPECT_EQ(CZrCodePage::ToUtf8("\xE9\x46", "GB2312", utf8), 1);
    EXPECT_EQ(utf8, "镕");

    for (const char* label : {"shift_JIS", "Shift-JIS", "SJIS", "windows-31j", "cp932"}) {
        EXPECT_EQ(CZrCodePage::ToUtf8("\x93\x8C\x8B\x9E", label, utf8), 1) << label;
        EXPECT_EQ(utf8, "東京");
    }
    for (const char* label : {"", "utf-8", "UTF8"})
        EXPECT_TRUE(CZrCodePage::IsUtf8Label(label)) << label;
    EXPECT_FALSE(CZrCodePage::IsUtf8Label("GB2312"));
    // The host's character set picks the page of unlabelled files: 128 is Shift-JIS.
    EXPECT_EQ(CZrCodePage::FromCharset(128), CZrCodePage::ShiftJis);
    EXPECT_EQ(CZrCodePage::FromCharset(134), CZrCodePage::Gb2312);

    // Unknown names and iconv suffixes that would change characters silently.
    for (const char* label : {"x-no-such-encoding", "GB2312//TRANSLIT", "UTF-8//IGNORE"}) {
        EXPECT_EQ(CZrCodePage::ToUtf8("abc", label, utf8), -1) << label;
        EXPECT_EQ(CZrCodePage::FromUtf8("abc", label, bytes), 0) << label;
    }
}

// The library's one UTF-8 decoder, at the edges of each length and at every
// way a sequence can be malformed; a malformed one is 0 long.
TEST(CodePageTest, Utf8CharLengthTakesWellFormedCharactersOnly) {
    const struct {
        std::string bytes;
        int length;
        unsigned codePoint;
    } kCases[] = {
        {std::string("\0", 1), 1, 0x0},
        {"\x7F", 1, 0x7F},
        {"\xC2\x80", 2, 0x80},
        {"\xDF\xBF", 2, 0x7FF},
        {"\xE0\xA0\x80", 3, 0x800},
        {"\xED\x9F\xBF", 3, 0xD7FF},
        {"\xEE\x80\x80", 3, 0xE000},
        {"\xEF\xBF\xBF", 3, 0xFFFF},
        {"\xF0\x90\x80\x80", 4, 0x10000},
        {"\xF4\x8F\xBF\xBF", 4, 0x10FFFF},
        {"\xE4\xB8\xAD\xE6\x96\x87", 3, 0x4E2D}, // the first of two
        {"", 0, 0},
        {"\x80", 0, 0},     // a continuation byte alone
        {"\xC0\xAF", 0, 0}, // overlong forms
        {"\xC1\xBF", 0, 0},
        {"\xE0\x9F\xBF", 0, 0},
        {"\xF0\x8F\xBF\xBF", 0, 0},
        {"\xED\xA0\x80", 0, 0}, // surrogates
        {"\xED\xBF\xBF", 0, 0},
        {"\xF4\x90\x80\x80", 0, 0}, // past U+10FFFF
        {"\xF5\x80\x80\x80", 0, 0}, // bytes no character begins with
        {"\xF8\x88\x80\x80\x80", 0, 0},
        {"\xFF", 0, 0},
        {"\xE4\xB8", 0, 0},     // cut short
        {"\xE4\x41\xAD", 0, 0}, // a continuation missing
    };
    for (const auto& c : kCases) {
        unsigned cp = 0xFFFFFFFF;
        EXPECT_EQ(CZrCodePage::Utf8CharLength(c.bytes.data(), c.bytes.size(), &cp), c.length) << c.codePoint;
        if (c.length > 0) EXPECT_EQ(cp, c.codePoint);
        EXPECT_EQ(CZrCodePage::Utf8CharLength(c.bytes.data(), c.bytes.size()), c.length);
    }
    // The size bounds the read: a whole character beyond it is not seen.
    EXPECT_EQ(CZrCodePage::Utf8CharLength("\xE4\xB8\xAD", 2), 0);
}
