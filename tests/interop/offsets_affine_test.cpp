// EPSG's geographic offsets (9619), longitude rotations (9601) and affine
// parametric transformations between projected systems (9624): every one the
// data file holds, run by code both ways, against PROJ running the same
// operation from its database.
//
// PROJ's definitions beside ours: 9619/9601 are its geogoffset (lat + dlat,
// lon + dlon, in the systems' own longitudes, angles in the CRS's unit);
// 9624 is its affine, x' = xoff + s11 x + s12 y, y' = yoff + s21 x + s22 y on
// the projected coordinates, which is EPSG's A0 + A1 XS + A2 YS.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "transform/ZrPJTranslator.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {
// The acceptance bar: a millimetre on the ground.
constexpr double kAgreeMetres = 1e-3;
constexpr double kMetresPerDegree = 111320.0;
constexpr double kDegToRad = M_PI / 180.0;

// The codes of the data file's records of one letter.
std::vector<long> CodesOf(char letter) {
    std::vector<long> out;
    std::ifstream in(ZrEpsgDataPath());
    std::string line;
    while (std::getline(in, line))
        if (line.size() > 2 && line[0] == letter && line[1] == '\t') out.push_back(std::stol(line.substr(2)));
    return out;
}

// Radians per unit of a PROJ CRS's first axis (degrees, grads) or metres per unit.
double AxisUnit(PJ_CONTEXT* ctx, PJ* op, bool target) {
    PJ* crs = target ? proj_get_target_crs(ctx, op) : proj_get_source_crs(ctx, op);
    PJ* cs = proj_crs_get_coordinate_system(ctx, crs);
    double factor = 1.0;
    proj_cs_get_axis_info(ctx, cs, 0, nullptr, nullptr, nullptr, &factor, nullptr, nullptr, nullptr);
    proj_destroy(cs);
    proj_destroy(crs);
    return factor;
}

// 8 x 8 points over the area, inset a tenth from its edges.
std::vector<CPoint2D> Grid(const ZrEpsgOtherTransformationRecord& r) {
    std::vector<CPoint2D> out;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j)
            out.emplace_back(r.west + (0.1 + 0.8 * i / 7) * (r.east - r.west),
                             r.south + (0.1 + 0.8 * j / 7) * (r.north - r.south));
    return out;
}
} // namespace

// Every offset and rotation held: the longitudes and latitudes agree with
// PROJ's within a millimetre, both ways, in each system's own units (NTF
// (Paris) in grads from Paris).
TEST(OffsetsAndAffine, GeographicOffsetsAgreeWithProjBothWays) {
    PJ_CONTEXT* ctx = proj_context_create();
    const std::vector<long> codes = CodesOf('O');
    EXPECT_EQ(codes.size(), 26u); // 23 longitude rotations, 3 geographic offsets
    for (long code : codes) {
        SCOPED_TRACE("EPSG:" + std::to_string(code));
        ZrEpsgOtherTransformationRecord r;
        ASSERT_TRUE(ZrEpsgFindOtherTransformation(code, r));
        CZrPJCoordSys src, des;
        ASSERT_TRUE(ZrCoordSysFromEpsg(r.sourceCode, src));
        ASSERT_TRUE(ZrCoordSysFromEpsg(r.targetCode, des));
        PJ* raw = proj_create_from_database(ctx, "EPSG", std::to_string(code).c_str(),
                                            PJ_CATEGORY_COORDINATE_OPERATION, 0, nullptr);
        ASSERT_NE(raw, nullptr);
        PJ* op = proj_normalize_for_visualization(ctx, raw);
        const double srcUnit = AxisUnit(ctx, raw, false), desUnit = AxisUnit(ctx, raw, true);
        proj_destroy(raw);
        double worst = 0;
        for (int forward = 1; forward >= 0; --forward) {
            CZrPJTranslator t;
            CString why;
            ASSERT_TRUE(ZrSetTranslatorEpsgOperation(t, forward ? src : des, forward ? des : src, code, &why))
                << why.str();
            const double inUnit = forward ? srcUnit : desUnit, outUnit = forward ? desUnit : srcUnit;
            for (const CPoint2D& g : Grid(r)) {
                // The area is in Greenwich longitudes; each side counts from its own meridian.
                CPoint2D mine(g.x - (forward ? src : des).GetGCS().GetPrimeMeridian().GetLongitude(), g.y);
                PJ_COORD c = proj_coord(mine.x * kDegToRad / inUnit, mine.y * kDegToRad / inUnit, 0, 0);
                c = proj_trans(op, forward ? PJ_FWD : PJ_INV, c);
                ASSERT_TRUE(std::isfinite(c.xy.x));
                ASSERT_TRUE(t.Convert(&mine, 1, 1));
                const double lon = c.xy.x * outUnit / kDegToRad, lat = c.xy.y * outUnit / kDegToRad;
                const double dx = (mine.x - lon) * std::cos(lat * kDegToRad);
                worst = std::max(worst, std::hypot(dx, mine.y - lat) * kMetresPerDegree);
            }
        }
        EXPECT_LE(worst, kAgreeMetres);
        std::printf("EPSG:%ld (%ld) worst %.4f mm\n", code, r.methodCode, worst * 1e3);
        proj_destroy(op);
    }
    proj_context_destroy(ctx);
}

// Every affine parametric transformation held (Jamaica's old grid in
// Clarke's feet to metres; IGN Astro 1960's UTM zones to Mauritania 1999's
// and WGS 84's): by code both ways, and as the one operation the best choice
// offers and lists for that pair of projected systems, as PROJ does; within a
// millimetre of PROJ's affine on the projected coordinates.
TEST(OffsetsAndAffine, AffineParametricAgreesWithProjBothWays) {
    PJ_CONTEXT* ctx = proj_context_create();
    const std::vector<long> codes = CodesOf('N');
    EXPECT_EQ(codes.size(), 7u);
    for (long code : codes) {
        SCOPED_TRACE("EPSG:" + std::to_string(code));
        ZrEpsgOtherTransformationRecord r;
        ASSERT_TRUE(ZrEpsgFindOtherTransformation(code, r));
        ASSERT_EQ(r.methodCode, 9624);
        CZrPJCoordSys src, des;
        ASSERT_TRUE(ZrCoordSysFromEpsg(r.sourceCode, src));
        ASSERT_TRUE(ZrCoordSysFromEpsg(r.targetCode, des));
        PJ* op = proj_create_from_database(ctx, "EPSG", std::to_string(code).c_str(),
                                           PJ_CATEGORY_COORDINATE_OPERATION, 0, nullptr);
        ASSERT_NE(op, nullptr);
        const double srcMetres = AxisUnit(ctx, op, false), desMetres = AxisUnit(ctx, op, true);

        std::vector<ZrOperationListing> listed;
        ASSERT_EQ(ZrListProjectedOperations(r.targetCode, r.sourceCode, listed), 1);
        EXPECT_EQ(listed[0].code, code);
        EXPECT_EQ(std::string(listed[0].name.c_str()), "Inverse of " + r.name);

        double worst = 0;
        for (int way = 0; way < 4; ++way) {
            const int forward = way % 2 == 0;
            const bool best = way >= 2;
            CZrPJTranslator t;
            CString why;
            std::vector<ZrOperationSummary> used;
            if (best) {
                ASSERT_TRUE(ZrSetTranslatorBestOperation(t, forward ? src : des, nullptr, forward ? des : src,
                                                         nullptr, false, &used, &why))
                    << why.str();
                ASSERT_EQ(used.size(), 1u);
                EXPECT_EQ(used[0].code, code);
            } else {
                ASSERT_TRUE(
                    ZrSetTranslatorEpsgOperation(t, forward ? src : des, forward ? des : src, code, &why))
                    << why.str();
            }
            for (CPoint2D g : Grid(r)) {
                // A point of the area on the side it comes from.
                ASSERT_TRUE((forward ? src : des).Forward(&g, 1));
                PJ_COORD c = proj_trans(op, forward ? PJ_FWD : PJ_INV, proj_coord(g.x, g.y, 0, 0));
                ASSERT_TRUE(std::isfinite(c.xy.x));
                ASSERT_TRUE(t.Convert(&g, 1, 1));
                worst = std::max(worst,
                                 std::hypot(g.x - c.xy.x, g.y - c.xy.y) * (forward ? desMetres : srcMetres));
            }
        }
        EXPECT_LE(worst, kAgreeMetres);
        std::printf("EPSG:%ld worst %.4f mm\n", code, worst * 1e3);
        proj_destroy(op);
    }
    proj_context_destroy(ctx);
}
