#include "platform/ZrString.h"

#include <gtest/gtest.h>

TEST(CStringTest, ExtractionClampsOutOfRangeArguments) {
    CString s("GCS_WGS_1984");
    EXPECT_EQ(s.Mid(4), "WGS_1984");
    EXPECT_EQ(s.Mid(4, 3), "WGS");
    EXPECT_EQ(s.Mid(-2, 3), "GCS");
    EXPECT_EQ(s.Mid(100), "");
    EXPECT_EQ(s.Mid(10, 100), "84");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Left(100), s);
    EXPECT_EQ(s.Right(4), "1984");
}

TEST(CStringTest, FindReportsByteOffsetsOrMinusOne) {
    CString s("30, 30, 36");
    EXPECT_EQ(s.Find(','), 2);
    EXPECT_EQ(s.Find(',', 3), 6);
    EXPECT_EQ(s.Find(',', 7), -1);
    EXPECT_EQ(s.Find(", 36"), 6);
    EXPECT_EQ(s.Find("x"), -1);
    EXPECT_EQ(s.Find(',', 99), -1);
    EXPECT_EQ(s.ReverseFind(','), 6);
    EXPECT_EQ(s.FindOneOf(" ,"), 2);
    // Multibyte text: offsets count bytes, as the ANSI CString counted them.
    CString cjk("平面坐标系---Meter");
    EXPECT_EQ(cjk.Find("---"), 15);
}

TEST(CStringTest, TrimAndCaseTouchOnlyWhatTheyShould) {
    CString s(" \t 12.5 \r\n");
    s.TrimLeft();
    EXPECT_EQ(s, "12.5 \r\n");
    s.TrimRight();
    EXPECT_EQ(s, "12.5");
    CString name("gcs_北京_1954");
    name.MakeUpper();
    EXPECT_EQ(name, "GCS_北京_1954");
    CString dots("..a..");
    EXPECT_EQ(dots.TrimLeft('.'), "a..");
    EXPECT_EQ(dots.TrimRight('.'), "a");
}

TEST(CStringTest, CaseInsensitiveComparisonFoldsAsciiOnly) {
    EXPECT_EQ(CString("WGS_1984").CompareNoCase("wgs_1984"), 0);
    EXPECT_LT(CString("abc").CompareNoCase("ABD"), 0);
    EXPECT_GT(CString("abd").CompareNoCase("ABC"), 0);
    EXPECT_NE(CString("北京").CompareNoCase("南京"), 0);
    EXPECT_EQ(ZrStrICmp(nullptr, ""), 0);
    EXPECT_NE(CString("a").Compare("A"), 0);
}

TEST(CStringTest, FormatHandlesLongOutputAndConcatenation) {
    CString s;
    s.Format("%ld ,%s", 32650L, "WGS_1984_UTM_Zone_50N");
    EXPECT_EQ(s, "32650 ,WGS_1984_UTM_Zone_50N");
    CString longText;
    longText.Format("%0600d", 7);
    EXPECT_EQ(longText.GetLength(), 600);
    EXPECT_EQ(longText.Right(1), "7");
    CString joined = CString("a") + "b" + CString("c") + 'd';
    joined += "e";
    EXPECT_EQ(joined, "abcde");
    EXPECT_EQ(joined.Replace("bc", "X"), 1);
    EXPECT_EQ(joined, "aXde");
}
