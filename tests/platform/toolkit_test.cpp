#include "platform/ZrToolkit.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

TEST(ToolkitTest, EveryLinearUnitRoundTripsThroughItsName) {
    const long codes[] = {10000000, 10000, 1000, 100, 10, 254, 3048, 9144, 16090000};
    for (long code : codes) {
        CString name = CZrToolkit::UnitConvert(code);
        EXPECT_FALSE(name.IsEmpty());
        EXPECT_EQ(CZrToolkit::UnitConvert(name), code) << name.c_str();
        EXPECT_FALSE(ZrGetUnitsNameExt(code).IsEmpty());
    }
    // Codes outside the table survive a round trip as digits; names compare
    // without regard to case.
    EXPECT_EQ(CZrToolkit::UnitConvert(CZrToolkit::UnitConvert(0L)), 0);
    EXPECT_EQ(CZrToolkit::UnitConvert(CZrToolkit::UnitConvert(12345L)), 12345);
    EXPECT_EQ(CZrToolkit::UnitConvert(CString("meter")), 10000);
}

TEST(ToolkitTest, SplitPathRebuildsTheFolder) {
    CString drive, folder, title, ext;
    CZrToolkit::SplitPath("/usr/lib/libZrPrj50.so.5", drive, folder, title, ext);
    EXPECT_EQ(drive + folder, "/usr/lib/");
    EXPECT_EQ(title, "libZrPrj50.so");
    EXPECT_EQ(ext, ".5");
    CZrToolkit::SplitPath("name", drive, folder, title, ext);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(title, "name");
    EXPECT_EQ(ext, "");
}

TEST(ToolkitTest, Is0DetectsOnlyZero) {
    EXPECT_TRUE(CZrOperator::Is0(0.0));
    EXPECT_TRUE(CZrOperator::Is0(-0.0));
    EXPECT_FALSE(CZrOperator::Is0(0.9996));
    EXPECT_FALSE(CZrOperator::Is0(1e-9));
}

TEST(ToolkitTest, LocaleScopeWritesAndReadsDecimalPoints) {
    // A host running in a German locale must still write "6378137.000000".
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (!german) german = std::setlocale(LC_NUMERIC, "de_DE");
    {
        CZrLocale scope;
        CString s;
        s.Format("%f", 6378137.0);
        EXPECT_EQ(s, "6378137.000000");
        EXPECT_DOUBLE_EQ(std::atof("298.257223563"), 298.257223563);
    }
    std::setlocale(LC_NUMERIC, "C");
    if (!german) GTEST_SKIP() << "no German locale installed; the scope was checked in the C locale only";
}
