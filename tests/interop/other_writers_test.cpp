// Method and parameter names that other software writes for what the kinds
// compute: each text must read as the plain form it stands for (the same
// system, ==), and a text whose extra figures contradict its ellipsoid is
// refused.
#include "interop/ZrInterop.h"
#include "model/ZrPJCoordSys.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kGeog = "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563]],"
                          "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";

std::string Tm(const std::string& method, const std::string& extra) {
    return "PROJCS[\"x\"," + kGeog + ",PROJECTION[\"" + method + "\"]" + extra +
           ",PARAMETER[\"latitude_of_origin\",0],PARAMETER[\"central_meridian\",27],"
           "PARAMETER[\"scale_factor\",1],PARAMETER[\"false_easting\",3500000],"
           "PARAMETER[\"false_northing\",0],UNIT[\"metre\",1]]";
}

} // namespace

TEST(OtherWriters, MethodAndParameterNamesReadAsThePlainForm) {
    CZrPJCoordSys plain;
    CString why;
    ASSERT_TRUE(ZrImportCoordSys(CString(Tm("Transverse_Mercator", "")), plain, &why)) << why.str();
    const struct {
        const char* writer;
        std::string text;
    } cases[] = {
        {"GDAL, MapInfo's Finnish TM", Tm("Transverse_Mercator_MapInfo_21", "")},
        {"GDAL, MapInfo's Swedish TM", Tm("Transverse_Mercator_MapInfo_22", "")},
        {"GeoTools, axes as parameters",
         Tm("Transverse_Mercator",
            ",PARAMETER[\"semi_major\",6378137],PARAMETER[\"semi_minor\",6356752.314245179]")},
    };
    for (const auto& c : cases) {
        CZrPJCoordSys cs;
        ASSERT_TRUE(ZrImportCoordSys(CString(c.text), cs, &why)) << c.writer << ": " << why.str();
        EXPECT_TRUE(cs == plain) << c.writer;
    }
}

TEST(OtherWriters, ParametersThatContradictTheEllipsoidAreRefused) {
    for (const char* wrong : {"Transverse_Mercator_MapInfo_29", "Transverse_Mercator_MapInfo_2"}) {
        CZrPJCoordSys cs;
        EXPECT_FALSE(ZrImportCoordSys(CString(Tm(wrong, "")), cs)) << wrong;
    }
    CZrPJCoordSys cs;
    CString why;
    // A polar radius 10 m short: another ellipsoid than the one the text names.
    EXPECT_FALSE(ZrImportCoordSys(CString(Tm("Transverse_Mercator", ",PARAMETER[\"semi_minor\",6356742.3]")),
                                  cs, &why));
    EXPECT_NE(why.str().find("semi_minor"), std::string::npos) << why.str();
}
