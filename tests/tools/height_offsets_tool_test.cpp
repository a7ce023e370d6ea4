// zrprj between Tokyo + JSLD69 height and WGS 84's 3D system or its EGM96
// heights, against cs2cs's choice (proj_create_crs_to_crs): EPSG's height
// offsets where their boxes hold the point; elsewhere PROJ's zero shift to
// the 3D system, and nothing (a refused point) where EGM96 heights follow.
#include "interop/ZrEpsgData_p.h"

#include "tools/ToolFixture_p.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace {
// The tool prints heights to a tenth of a millimetre and angles to 1e-9
// degree (0.1 mm); the rest of a millimetre is the acceptance bar.
constexpr double kAgreeMetres = 1e-3;
constexpr double kMetresPerDegree = 111320.0;
} // namespace

TEST_F(ToolFixture, ConvertsByHeightOffsetsAsCs2cs) {
    if (!ZrEpsgDataAvailable()) GTEST_SKIP() << "the EPSG data file is not installed";
    struct Case {
        const char *from, *to;
        const char* named; // an operation the first point takes, on stderr
    };
    const Case cases[] = {
        {"EPSG:7414", "EPSG:4979", "EPSG:15658 Tokyo + JSLD height to WGS 84 (69)"},
        {"EPSG:4979", "EPSG:7414", "EPSG:15658 Inverse of Tokyo + JSLD height to WGS 84 (69)"},
        {"EPSG:4301+5723", "EPSG:4979", "EPSG:15658"},
        {"EPSG:7414", "EPSG:4326+5773", "egm96_15"},
        {"EPSG:4326+5773", "EPSG:7414", "egm96_15"},
    };
    // Tokyo, Osaka, the Kanmon strait, a point on a box's corner (35°20'N
    // 139°E), Sapporo (Hokkaido's offsets lie outside the compound system's
    // area) and the sea south of Shikoku.
    const double points[][3] = {{139.7, 35.6, 10.0},   {135.5, 34.7, 120.0},
                                {130.95, 33.95, 2.5},  {139.0, 35.0 + 1.0 / 3.0, 700.0},
                                {141.35, 43.06, 15.0}, {134.0, 31.5, 0.0}};
    std::string input;
    for (const auto& p : points) {
        char line[80];
        std::snprintf(line, sizeof line, "%.9f %.9f %.4f\n", p[0], p[1], p[2]);
        input += line;
    }
    PJ_CONTEXT* ctx = proj_context_create();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        PJ* raw = proj_create_crs_to_crs(ctx, c.from, c.to, nullptr);
        PJ* op = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
        if (raw) proj_destroy(raw);
        ASSERT_NE(op, nullptr);
        const ToolRun run = Tool(std::string("convert ") + c.from + " " + c.to, input);
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        const std::vector<std::string> lines = Lines(run.out);
        ASSERT_EQ(lines.size(), std::size(points)) << run.out << run.err;
        for (size_t i = 0; i < lines.size(); ++i) {
            SCOPED_TRACE(lines[i]);
            const PJ_COORD theirs =
                proj_trans(op, PJ_FWD, proj_coord(points[i][0], points[i][1], points[i][2], 0));
            double lon = 0, lat = 0, h = 0;
            const bool converted = std::sscanf(lines[i].c_str(), "%lf %lf %lf", &lon, &lat, &h) == 3;
            // PROJ's refusal (no operation holds the point) is ours too.
            ASSERT_EQ(converted, std::isfinite(theirs.xyz.x) && theirs.xyz.x != HUGE_VAL);
            if (!converted) continue;
            const double dx = (lon - theirs.lpz.lam) * std::cos(lat * M_PI / 180.0);
            EXPECT_LE(std::hypot(dx, lat - theirs.lpz.phi) * kMetresPerDegree, kAgreeMetres);
            EXPECT_NEAR(h, theirs.lpz.z, kAgreeMetres);
        }
        proj_destroy(op);
    }
    proj_context_destroy(ctx);
}

// The listing names each candidate in projinfo's order; its first and last
// lines are enough here (the order is the library's, tested beside it).
TEST_F(ToolFixture, ListsHeightOffsetsAsProjinfo) {
    if (!ZrEpsgDataAvailable()) GTEST_SKIP() << "the EPSG data file is not installed";
    const ToolRun run = Tool("transformations EPSG:7414 EPSG:4979");
    ASSERT_EQ(run.exit, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 83u);
    EXPECT_EQ(lines.front().rfind("EPSG:15670\tTokyo + JSLD height to WGS 84 (81)\t", 0), 0u)
        << lines.front();
    EXPECT_EQ(lines[78].rfind("unknown id\tBallpark geographic offset from Tokyo to WGS 84 + ", 0), 0u)
        << lines[78];
}

// An offset named by its code runs for every point, wherever its box lies,
// as EPSG states it: EPSG:15670 moves latitude by 11.68", longitude by
// -8.8" and adds 30.5 m to the height (here at Sapporo, far from its box).
TEST_F(ToolFixture, NamedHeightOffsetRunsAlone) {
    if (!ZrEpsgDataAvailable()) GTEST_SKIP() << "the EPSG data file is not installed";
    for (const bool inverse : {false, true}) {
        SCOPED_TRACE(inverse ? "back" : "forward");
        const double in[3] = {141.35, 43.06, 15.0};
        const double sign = inverse ? -1.0 : 1.0;
        const ToolRun run = Tool(std::string("convert --transformation EPSG:15670 ") +
                                     (inverse ? "EPSG:4979 EPSG:7414" : "EPSG:7414 EPSG:4979"),
                                 "141.35 43.06 15\n");
        ASSERT_EQ(run.exit, 0) << run.err;
        EXPECT_NE(run.err.find("EPSG:15670"), std::string::npos) << run.err;
        double lon = 0, lat = 0, h = 0;
        ASSERT_EQ(std::sscanf(run.out.c_str(), "%lf %lf %lf", &lon, &lat, &h), 3) << run.out;
        EXPECT_NEAR(lon, in[0] - sign * 8.8 / 3600.0, kAgreeMetres / kMetresPerDegree);
        EXPECT_NEAR(lat, in[1] + sign * 11.68 / 3600.0, kAgreeMetres / kMetresPerDegree);
        EXPECT_NEAR(h, in[2] + sign * 30.5, kAgreeMetres);
    }
}
