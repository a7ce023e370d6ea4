// Geocentric systems (X, Y, Z in metres on a datum) in WKT and PROJJSON:
// written as PROJ writes EPSG's (WKT1 GEOCCS as GDAL has it, WKT2:2019
// GEODCRS with a 3-D Cartesian system, a PROJJSON GeodeticCRS), identified by PROJ as EPSG's code at full
// confidence, and read back, from our text and from PROJ's own, as the same system.
#include "interop/ZrInterop.h"
#include "interop/ZrResolve.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <string>

namespace {
// The system as WKT2 writes it: two systems that write the same text are the same.
std::string Wkt2Of(const CZrPJCoordSys& cs) {
    CString text;
    return ZrExportCoordSys(cs, ZR_CRS_TEXT_WKT2_2019, text) ? text.str() : std::string("(refused)");
}
} // namespace

TEST(GeocentricWkt, WrittenAsProjWritesThemAndReadBack) {
    PJ_CONTEXT* ctx = proj_context_create();
    // WGS 84, ETRS89, ITRF2014 (a datum without a 2-D system of its own in
    // the catalogue), RGSPM06 (a small territory's frame).
    for (long code : {4978L, 4936L, 7789L, 4465L}) {
        SCOPED_TRACE("EPSG:" + std::to_string(code));
        CZrPJCoordSys cs;
        ASSERT_TRUE(ZrResolveCoordSys("EPSG:" + std::to_string(code), cs));
        PJ* theirs =
            proj_create_from_database(ctx, "EPSG", std::to_string(code).c_str(), PJ_CATEGORY_CRS, 0, nullptr);
        ASSERT_NE(theirs, nullptr);
        const std::string expected = Wkt2Of(cs);
        for (tagZrCrsTextFormat form : {ZR_CRS_TEXT_WKT1_GDAL, ZR_CRS_TEXT_WKT2_2019, ZR_CRS_TEXT_PROJJSON}) {
            CString text, why;
            ASSERT_TRUE(ZrExportCoordSys(cs, form, text, &why)) << why.str();
            // PROJ identifies our text as EPSG's system, at 100 %.
            PJ* read = proj_create(ctx, text.c_str());
            ASSERT_NE(read, nullptr) << text.c_str();
            int* confidence = nullptr;
            PJ_OBJ_LIST* found = proj_identify(ctx, read, "EPSG", nullptr, &confidence);
            ASSERT_NE(found, nullptr);
            ASSERT_GE(proj_list_get_count(found), 1);
            PJ* best = proj_list_get(ctx, found, 0);
            EXPECT_EQ(std::string(proj_get_id_code(best, 0)), std::to_string(code)) << text.c_str();
            EXPECT_EQ(confidence[0], 100) << text.c_str();
            proj_destroy(best);
            proj_int_list_destroy(confidence);
            proj_list_destroy(found);
            proj_destroy(read);
            // Read back: ours, and PROJ's own text of the code.
            CZrPJCoordSys back;
            ASSERT_TRUE(ZrImportCoordSys(text, back, &why)) << why.str();
            EXPECT_EQ(Wkt2Of(back), expected);
            const char* projText =
                form == ZR_CRS_TEXT_PROJJSON
                    ? proj_as_projjson(ctx, theirs, nullptr)
                    : proj_as_wkt(ctx, theirs, form == ZR_CRS_TEXT_WKT1_GDAL ? PJ_WKT1_GDAL : PJ_WKT2_2019,
                                  nullptr);
            ASSERT_NE(projText, nullptr);
            CZrPJCoordSys fromProj;
            ASSERT_TRUE(ZrImportCoordSys(CString(projText), fromProj, &why)) << why.str() << "\n" << projText;
            EXPECT_EQ(Wkt2Of(fromProj), expected) << projText;
        }
        CString text, why;
        EXPECT_FALSE(ZrExportCoordSys(cs, ZR_CRS_TEXT_ESRI_WKT1, text, &why));
        proj_destroy(theirs);
    }
    proj_context_destroy(ctx);
}
