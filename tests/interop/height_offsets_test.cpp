// EPSG's geographic offsets with a height offset between a compound system
// (Tokyo + JSLD69 height) and a geographic 3D one (WGS 84). PROJ is the
// oracle: proj_create_crs_to_crs picks, per point, among the operations
// projinfo lists (the offset whose box holds the point, else its zero shift)
// and runs the one chosen as geogoffset: latitude + dlat, longitude + dlon,
// height + dh, the gravity-related height coming out ellipsoidal.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrHeightOffsets_p.h"
#include "interop/ZrInterop.h"
#include "transform/ZrPJTranslator.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The acceptance bar: a millimetre on the ground, and in height.
constexpr double kAgreeMetres = 1e-3;
constexpr double kMetresPerDegree = 111320.0;

constexpr long kTokyo = 4301, kJsld69 = 5723, kWgs84 = 4326;

PJ* Normalized(PJ_CONTEXT* ctx, PJ* op) {
    PJ* n = op ? proj_normalize_for_visualization(ctx, op) : nullptr;
    if (op) proj_destroy(op);
    return n;
}

const ZrEpsgHeightOffsetRecord* Record(const std::vector<ZrEpsgHeightOffsetRecord>& all, long code) {
    const auto it = std::find_if(all.begin(), all.end(), [code](const auto& r) { return r.code == code; });
    return it == all.end() ? nullptr : &*it;
}

// PROJ's name of an operation, the quotes it sets round an inverted one's
// name ("Inverse of 'X'") dropped.
std::string Unquoted(const char* name) {
    std::string s = name ? name : "";
    s.erase(std::remove(s.begin(), s.end(), '\''), s.end());
    return s;
}

} // namespace

// Each direction, and the compound system written by its code or as h+v,
// over boxes of several operations and one that no operation's box holds
// (Sapporo: EPSG's offsets for Hokkaido lie outside Tokyo + JSLD69
// height's area, so PROJ leaves them out and applies its zero shift).
TEST(HeightOffsets, AgreeWithProjCreateCrsToCrsBothWays) {
    if (!ZrEpsgDataAvailable()) GTEST_SKIP() << "the EPSG data file is not installed";
    std::vector<ZrEpsgHeightOffsetRecord> all;
    ASSERT_EQ(ZrEpsgHeightOffsets(all), 102);

    struct Area {
        long code; // the operation the box's points take; 0 for the zero shift
        double south, west, north, east;
    };
    std::vector<Area> areas;
    for (long code : {15670L, 15692L, 15646L, 15658L, 15691L, 15629L}) {
        const ZrEpsgHeightOffsetRecord* r = Record(all, code);
        ASSERT_NE(r, nullptr) << code;
        areas.push_back({code, r->south, r->west, r->north, r->east});
    }
    areas.push_back({0, 42.9, 141.2, 43.2, 141.5});

    struct Direction {
        const char *from, *to;
        bool compoundIsSource;
    };
    const Direction directions[] = {
        {"EPSG:7414", "EPSG:4979", true},
        {"EPSG:4979", "EPSG:7414", false},
        {"EPSG:4301+5723", "EPSG:4979", true},
    };
    CZrPJCoordSys tokyo, wgs84;
    ASSERT_TRUE(ZrCoordSysFromEpsg(kTokyo, tokyo));
    ASSERT_TRUE(ZrCoordSysFromEpsg(kWgs84, wgs84));
    PJ_CONTEXT* ctx = proj_context_create();
    for (const Direction& d : directions) {
        SCOPED_TRACE(std::string(d.from) + " -> " + d.to);
        const ZrHeightOffsetPair pair{kTokyo, kJsld69, kWgs84, d.compoundIsSource};
        CZrPJTranslator t;
        std::vector<ZrOperationSummary> used;
        CString why;
        ASSERT_EQ(ZrSetTranslatorHeightOffsets(t, d.compoundIsSource ? tokyo : wgs84,
                                               d.compoundIsSource ? wgs84 : tokyo, pair, &used, &why),
                  1)
            << why.str();
        const CZrPJOperationChoice* choice = t.GetOperations();
        ASSERT_NE(choice, nullptr);
        PJ* op = Normalized(ctx, proj_create_crs_to_crs(ctx, d.from, d.to, nullptr));
        ASSERT_NE(op, nullptr);
        for (const Area& a : areas) {
            SCOPED_TRACE(a.code);
            const int middle = choice->Pick((a.west + a.east) / 2, (a.south + a.north) / 2);
            ASSERT_GE(middle, 0);
            EXPECT_EQ(used[static_cast<size_t>(middle)].code, a.code);
            // 8 x 8 points reaching the box's edges, which it shares with its neighbours.
            double worst = 0, worstHeight = 0;
            for (int i = 0; i < 8; ++i)
                for (int j = 0; j < 8; ++j) {
                    const double lon = a.west + (a.east - a.west) * i / 7.0;
                    const double lat = a.south + (a.north - a.south) * j / 7.0;
                    const double h = -20.0 + 400.0 * (i + j);
                    const PJ_COORD theirs = proj_trans(op, PJ_FWD, proj_coord(lon, lat, h, 0));
                    CPoint3D mine(lon, lat, h);
                    ASSERT_TRUE(t.Convert(&mine, 1, 1));
                    const double dx = (mine.x - theirs.lpz.lam) * std::cos(lat * M_PI / 180.0);
                    worst = std::max(worst, std::hypot(dx, mine.y - theirs.lpz.phi) * kMetresPerDegree);
                    worstHeight = std::max(worstHeight, std::fabs(mine.z - theirs.lpz.z));
                }
            EXPECT_LE(worst, kAgreeMetres);
            EXPECT_LE(worstHeight, kAgreeMetres);
        }
        proj_destroy(op);
    }
    proj_context_destroy(ctx);
}

// The candidates, EPSG's and PROJ's own (its zero shift and its Helmerts
// with heights passed unchanged), by name in the order projinfo -s A -t B
// --spatial-test intersects prints them, both ways and with h+v; to EGM96
// heights, each offset chained with the geoid and nothing more.
TEST(HeightOffsets, ListedInProjinfoOrder) {
    if (!ZrEpsgDataAvailable()) GTEST_SKIP() << "the EPSG data file is not installed";
    struct Pair {
        const char *from, *to;
        bool compoundIsSource;
        long geoidVertical;
        size_t count;
    };
    const Pair pairs[] = {
        {"EPSG:7414", "EPSG:4979", true, 0, 83},          {"EPSG:4979", "EPSG:7414", false, 0, 83},
        {"EPSG:4301+5723", "EPSG:4979", true, 0, 83},     {"EPSG:7414", "EPSG:4326+5773", true, 5773, 78},
        {"EPSG:4326+5773", "EPSG:7414", false, 5773, 78},
    };
    PJ_CONTEXT* ctx = proj_context_create();
    for (const Pair& p : pairs) {
        SCOPED_TRACE(std::string(p.from) + " -> " + p.to);
        PJ* src = proj_create(ctx, p.from);
        PJ* dst = proj_create(ctx, p.to);
        ASSERT_TRUE(src && dst);
        PJ_OPERATION_FACTORY_CONTEXT* f = proj_create_operation_factory_context(ctx, nullptr);
        proj_operation_factory_context_set_spatial_criterion(ctx, f,
                                                             PROJ_SPATIAL_CRITERION_PARTIAL_INTERSECTION);
        proj_operation_factory_context_set_grid_availability_use(ctx, f,
                                                                 PROJ_GRID_AVAILABILITY_USED_FOR_SORTING);
        PJ_OBJ_LIST* ops = proj_create_operations(ctx, src, dst, f);
        ASSERT_NE(ops, nullptr);
        std::vector<std::string> theirs;
        for (int i = 0; i < proj_list_get_count(ops); ++i) {
            PJ* op = proj_list_get(ctx, ops, i);
            const char* code = proj_get_id_code(op, 0);
            theirs.push_back(std::string(code ? code : "0") + " " + Unquoted(proj_get_name(op)));
            proj_destroy(op);
        }
        proj_list_destroy(ops);
        proj_operation_factory_context_destroy(f);
        proj_destroy(src);
        proj_destroy(dst);

        std::vector<ZrOperationListing> listed;
        ZrListHeightOffsetOperations(
            ZrHeightOffsetPair{kTokyo, kJsld69, kWgs84, p.compoundIsSource, p.geoidVertical}, listed);
        std::vector<std::string> ours;
        for (const ZrOperationListing& l : listed)
            ours.push_back(std::to_string(l.code) + " " + l.name.str());
        EXPECT_EQ(ours.size(), p.count);
        EXPECT_EQ(ours, theirs);
    }
    proj_context_destroy(ctx);
}

// A line of the data file that is not such a record, or is damaged, is
// refused whole rather than read as zero offsets.
TEST(HeightOffsets, DamagedRecordsRefused) {
    const std::vector<std::string> good = {"Y",
                                           "15670",
                                           "Tokyo + JSLD height to WGS 84 (81)",
                                           "9618",
                                           "7414",
                                           "4301",
                                           "5723",
                                           "JSLD69 height",
                                           "4979",
                                           "4326",
                                           "0.0032444",
                                           "-0.0024444",
                                           "30.5",
                                           "1",
                                           "33.99",
                                           "131",
                                           "34.9",
                                           "132",
                                           "Japan - north of 34°N",
                                           "30.94",
                                           "129.3",
                                           "41.58",
                                           "142.14"};
    struct Damage {
        const char* what;
        size_t field; // replaced, or the count when the line is cut there
        const char* value;
        bool cut;
    };
    const Damage damages[] = {
        {"intact", 0, "Y", false},
        {"cut short", 22, "", true},
        {"another method (geographic offsets without heights)", 3, "9619", false},
        {"a height offset that is no number", 12, "30.5m", false},
        {"an empty latitude offset", 10, "", false},
        {"a box whose south lies north of its north", 14, "35.5", false},
        {"a compound box whose south lies north of its north", 19, "42", false},
        {"an offset of degrees, not arc-seconds read as degrees", 10, "11.68", false},
        {"another record type", 0, "O", false},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        std::vector<std::string> text = good;
        if (d.cut)
            text.resize(d.field);
        else
            text[d.field] = d.value;
        std::vector<std::string_view> fields(text.begin(), text.end());
        ZrEpsgHeightOffsetRecord r;
        const bool intact = std::string_view(d.what) == "intact";
        EXPECT_EQ(ZrParseHeightOffset(fields.data(), fields.size(), r), intact);
        if (intact) {
            EXPECT_EQ(r.compoundCode, 7414);
            EXPECT_DOUBLE_EQ(r.dh, 30.5);
        }
    }
}
