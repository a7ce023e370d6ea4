// What the well-known-text reader refuses, and that it refuses it in bounded
// time and memory with a reason naming what it did not understand.
#include "interop/ZrInterop.h"
#include "interop/ZrInteropForms_p.h"
#include "model/ZrPJCoordSys.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

namespace {

std::string Wkt2Of(long code) {
    CZrPJCoordSys cs;
    cs.Set(static_cast<tagPJCoordSysType>(code));
    CString text;
    ZrExportCoordSys(cs, ZR_CRS_TEXT_WKT2_2019, text);
    return text.str();
}

// Refused, with a reason, the output object untouched.
void ExpectRefused(const std::string& text, const char* reasonPart, const char* what) {
    CZrPJCoordSys cs;
    cs.Set(static_cast<tagPJCoordSysType>(32650));
    const CZrPJCoordSys before(cs);
    CString reason;
    EXPECT_FALSE(ZrImportCoordSys(CString(text), cs, &reason)) << what;
    EXPECT_TRUE(cs == before && cs.GetType() == 32650) << what;
    EXPECT_NE(reason.Find(reasonPart), -1) << what << ": " << reason.c_str();
}

double Seconds(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

// Every proper prefix of a valid text, and texts with brackets unbalanced or
// mismatched, are malformed and say where.
TEST(WktRefusal, TruncatedAndUnbalancedTextsAreMalformed) {
    const std::string whole = Wkt2Of(32650);
    for (size_t n = 1; n < whole.size(); ++n) {
        CZrPJCoordSys cs;
        CString reason;
        ASSERT_FALSE(ZrImportWkt(CString(whole.substr(0, n)), cs, &reason, nullptr)) << n;
        ASSERT_NE(reason.Find("malformed WKT at byte"), -1) << n << ": " << reason.c_str();
    }
    ExpectRefused(whole + "]", "text after the end", "one bracket too many");
    ExpectRefused("GEOGCS[\"x\",DATUM[\"d\",SPHEROID[\"s\",6378137,298.257223563)],PRIMEM[\"G\",0]]",
                  "closing bracket", "mismatched brackets");
    ExpectRefused("PROJCS[\"a\" \"b\"]", "',' or a closing bracket", "a missing comma");
}

// A 100 MB text, a million nested brackets, nesting just past the bound inside
// the size limit, binary bytes with and without NUL: refused quickly.
TEST(WktRefusal, HugeDeepAndBinaryTextsAreRefusedInBoundedTime) {
    const auto start = std::chrono::steady_clock::now();
    ExpectRefused(std::string(100u << 20, 'A'), "longer than", "100 MB");
    std::string deep;
    for (int i = 0; i < 1000000; ++i)
        deep += "A[";
    ExpectRefused(deep, "longer than", "10^6-deep");
    std::string nested;
    for (int i = 0; i < kZrInteropMaxDepth + 1; ++i)
        nested += "PROJCS[";
    nested += "1" + std::string(kZrInteropMaxDepth + 1, ']');
    ExpectRefused(nested, "nested too deeply", "past the depth bound");
    std::string flat = "PROJCS[\"x\"";
    while (flat.size() < static_cast<size_t>(kZrInteropMaxTextBytes) - 8)
        flat += ",1";
    ExpectRefused(flat + "]", "too many elements", "a megabyte of numbers");
    std::mt19937 random(13);
    std::string binary(4096, '\0');
    for (char& c : binary)
        c = static_cast<char>(random());
    ExpectRefused(binary, "", "random bytes");
    for (char& c : binary)
        c = static_cast<char>(1 + random() % 255);
    ExpectRefused("PROJCS[" + binary, "", "binary without NUL");
    EXPECT_LT(Seconds(start), 5.0);
}

// Each thing a definition may state that the library cannot express is named.
TEST(WktRefusal, WhatCannotBeExpressedIsNamed) {
    const std::string gcs =
        "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563]],"
        "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
    const std::string unit = ",UNIT[\"metre\",1]]";
    struct Case {
        std::string text;
        const char* reasonPart;
    } cases[] = {
        {"PROJCS[\"x\"," + gcs +
             ",PROJECTION[\"Bipolar_Oblique_Conformal_Conic\"],PARAMETER[\"latitude_of_origin\",-41]" + unit,
         "Bipolar_Oblique_Conformal_Conic"},
        {"PROJCS[\"x\"," + gcs +
             ",PROJECTION[\"Lambert_Conformal_Conic_2SP\"],PARAMETER[\"latitude_of_origin\",40]" + unit,
         "1st standard parallel"},
        {"PROJCS[\"x\"," + gcs +
             ",PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"central_meridian\",9],PARAMETER[\"pseudo_"
             "scale\",2]" +
             unit,
         "pseudo_scale"},
        {"PROJCS[\"x\"," + gcs +
             ",PROJECTION[\"Transverse_Mercator\"],UNIT[\"link\",0.201166195164],EXTENSION[\"PROJ4\",\"+proj="
             "tmerc "
             "+nadgrids=ntv2_0.gsb\"]]",
         "EXTENSION"},
        {"PROJCS[\"x\"," + gcs +
             ",PROJECTION[\"Transverse_Mercator\"],UNIT[\"Clarke's link\",0.2011662]]", // too few digits
         "tenths of a millimetre"},
        {"GEOGCS[\"ED50\",DATUM[\"European_Datum_1950\",SPHEROID[\"International 1924\",6378388,297],"
         "TOWGS84[1,2,3,0,0,0,0]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433],AUTHORITY["
         "\"EPSG\","
         "\"4230\"]]",
         "TOWGS84[1,2,3"},
        {"BOUNDCRS[SOURCECRS[" + Wkt2Of(32650) +
             "],TARGETCRS[GEOGCRS[\"WGS "
             "84\",DATUM[\"W\",ELLIPSOID[\"W\",6378137,298.257223563]],ID[\"EPSG\",4326]]],"
             "ABRIDGEDTRANSFORMATION[\"grid\",METHOD[\"NTv2\",ID[\"EPSG\",9615]],PARAMETERFILE[\"Latitude "
             "and "
             "longitude difference file\",\"ntv2_0.gsb\"]]]",
         "NTv2"},
        // Geocentric systems are read in metres, in three dimensions.
        {"GEOCCS[\"ECEF\",DATUM[\"WGS_1984\",SPHEROID[\"WGS "
         "84\",6378137,298.257223563]],PRIMEM[\"Greenwich\",0],UNIT[\"foot\",0.3048]]",
         "other than the metre"},
        {"GEODCRS[\"ECEF\",DATUM[\"W\",ELLIPSOID[\"W\",6378137,298.257223563]],CS[Cartesian,2]]", "not 3-D"},
        {"COMPOUNDCRS[\"x\"," + Wkt2Of(32650) + "]", "COMPOUNDCRS"},
        {"hello", "expected well-known text"},
        {"PROJCS[\"x\"," + gcs + ",PROJECTION[\"Two\nlines\"]" + unit, "Two lines"}, // reasons stay one line
    };
    for (const Case& c : cases)
        ExpectRefused(c.text, c.reasonPart, c.text.substr(0, 60).c_str());
}

// What is honoured: a TOWGS84 that is one of EPSG's shifts of the datum, or
// zero, and the same as a BOUNDCRS; axes north/east; grads.
TEST(WktRefusal, KnownShiftsUnitsAndAxisOrderAreHonoured) {
    const char* texts[] = {
        "GEOGCS[\"ED50\",DATUM[\"European_Datum_1950\",SPHEROID[\"International 1924\",6378388,297],"
        "TOWGS84[-87,-98,-121,0,0,0,0]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433],"
        "AUTHORITY[\"EPSG\",\"4230\"]]",
        "GEOGCS[\"GDA94\",DATUM[\"GDA94\",SPHEROID[\"GRS "
        "1980\",6378137,298.257222101],TOWGS84[0,0,0,0,0,0,0]],"
        "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]",
    };
    for (const char* text : texts) {
        CZrPJCoordSys cs;
        CString reason;
        EXPECT_TRUE(ZrImportCoordSys(text, cs, &reason)) << reason.c_str();
        EXPECT_EQ(cs.GetType(), 1);
    }
    // NTF (Paris) Lambert zone II in grads, axes north then east, written as an OGC reader would.
    const char* grads =
        "PROJCS[\"NTF (Paris) / Lambert zone II\",GEOGCS[\"NTF (Paris)\",DATUM[\"NTF\",SPHEROID[\"Clarke "
        "1880 "
        "(IGN)\",6378249.2,293.466021293627]],PRIMEM[\"Paris\",2.33722917],UNIT[\"grad\",0.0157079632679489]]"
        ","
        "PROJECTION[\"Lambert_Conformal_Conic_1SP\"],PARAMETER[\"latitude_of_origin\",52],PARAMETER["
        "\"central_meridian\",0],PARAMETER[\"scale_factor\",0.99987742],PARAMETER[\"false_easting\",600000],"
        "PARAMETER[\"false_northing\",2200000],UNIT[\"metre\",1],AXIS[\"Northing\",NORTH],AXIS[\"Easting\","
        "EAST]]";
    CZrPJCoordSys cs;
    CString reason;
    ASSERT_TRUE(ZrImportCoordSys(grads, cs, &reason)) << reason.c_str();
    EXPECT_DOUBLE_EQ(cs.GetParams().CentralParallel, 46.8);
    EXPECT_DOUBLE_EQ(cs.GetGCS().GetPrimeMeridian().GetLongitude(), 2.33722917);
}
