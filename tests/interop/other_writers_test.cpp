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

// A text that names no EPSG system keeps the ellipsoid figures it gives, where
// the catalogue's spheroid of that name rounds them (WGS 84's flattening to
// 1/298.2572204270286, GRS 1980's), under the names it gives; a text that is
// an EPSG system whose catalogue row answers for it stays that row.
TEST(OtherWriters, TextsNamingNoCodeKeepTheirEllipsoidFigures) {
    const std::string grs80 = "GEOGCS[\"ETRS89\",DATUM[\"European_Terrestrial_Reference_System_1989\","
                              "SPHEROID[\"GRS 1980\",6378137,298.257222101]],PRIMEM[\"Greenwich\",0],"
                              "UNIT[\"degree\",0.0174532925199433]]";
    const std::string esriWgs84 = "GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\","
                                  "6378137.0,298.257223563]],PRIMEM[\"Greenwich\",0.0],"
                                  "UNIT[\"Degree\",0.0174532925199433]]";
    const std::string lcc = "PROJECTION[\"Lambert_Conformal_Conic_2SP\"],PARAMETER[\"standard_parallel_1\",44],"
                            "PARAMETER[\"standard_parallel_2\",49],PARAMETER[\"latitude_of_origin\",46.5],"
                            "PARAMETER[\"central_meridian\",3.3],PARAMETER[\"false_easting\",700001],"
                            "PARAMETER[\"false_northing\",6600002],UNIT[\"metre\",1]]";
    const struct {
        std::string text;
        double inverseFlattening;
        const char* geographicName;
    } cases[] = {
        {Tm("Transverse_Mercator", ""), 298.257223563, "WGS 84"},
        {"PROJCS[\"Lyon local\"," + grs80 + "," + lcc, 298.257222101, "ETRS89"},
        {"PROJCS[\"Site grid\"," + esriWgs84 + "," + lcc, 298.257223563, "GCS_WGS_1984"},
    };
    for (const auto& c : cases) {
        CZrPJCoordSys cs;
        CString why;
        ASSERT_TRUE(ZrImportCoordSys(CString(c.text), cs, &why)) << why.str();
        const CZrPJSpheroid s = cs.GetGCS().GetDatum().GetSpheroid();
        EXPECT_EQ(s.GetAxis(), 6378137.0) << c.geographicName;
        EXPECT_EQ(s.GetFlattening(), 1.0 / c.inverseFlattening) << c.geographicName;
        EXPECT_EQ(cs.GetGCS().GetName().str(), c.geographicName);
    }

    // ESRI's .prj of WGS 84 / UTM zone 50N names no code; the catalogue row
    // of EPSG:32650 answers for it, so the text reads as that row.
    const std::string utm50 =
        "PROJCS[\"WGS_1984_UTM_Zone_50N\"," + esriWgs84 +
        ",PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"False_Easting\",500000.0],"
        "PARAMETER[\"False_Northing\",0.0],PARAMETER[\"Central_Meridian\",117.0],"
        "PARAMETER[\"Scale_Factor\",0.9996],PARAMETER[\"Latitude_Of_Origin\",0.0],UNIT[\"Meter\",1.0]]";
    CZrPJCoordSys row, read;
    CString why;
    ASSERT_TRUE(ZrCoordSysFromEpsg(32650, row, &why)) << why.str();
    ASSERT_TRUE(ZrImportCoordSys(CString(utm50), read, &why)) << why.str();
    EXPECT_GT(read.GetType(), 1);
    EXPECT_EQ(read.GetType(), row.GetType());
}
