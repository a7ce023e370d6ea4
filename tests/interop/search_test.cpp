// Finding systems by name, alias or code: the names users type, codes in
// their spellings, what a hit says of its system, and exact names ranked as
// PROJ ranks them.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrSearch.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<ZrSearchHit> Search(const std::string& text, int limit = 0) {
    std::vector<ZrSearchHit> hits;
    ZrSearchCoordSys(text, hits, limit);
    return hits;
}

std::string Codes(const std::vector<ZrSearchHit>& hits, std::size_t n = 5) {
    std::string s;
    for (std::size_t i = 0; i < hits.size() && i < n; ++i)
        s += hits[i].code + " (" + hits[i].name + ") ";
    return s;
}

// Queries as a user types them, with the system meant; it must be among the
// first three hits, as PROJ's projinfo gives it for the English names.
TEST(Search, NaturalQueriesFindTheSystemInTheFirstThree) {
    ASSERT_TRUE(ZrEpsgDataAvailable()) << ZrEpsgDataProblem();
    struct Case {
        const char* query;
        const char* code;
    };
    const Case cases[] = {
        {"Lambert 93", "EPSG:2154"},
        {"lambert_93", "EPSG:2154"},
        {"RGF93 Lambert-93", "EPSG:2154"},
        {"Pseudo-Mercator", "EPSG:3857"},
        {"Web Mercator", "EPSG:3857"},
        {"web_mercator", "EPSG:3857"},
        {"British National Grid", "EPSG:27700"},
        {"BRITISH NATIONAL GRID", "EPSG:27700"},
        // Built by no kind yet, found all the same.
        {"LAEA Europe", "EPSG:3035"},
        {"ETRS89-extended / LAEA Europe", "EPSG:3035"},
        {"ETRS89 LAEA", "EPSG:3035"},
        {"Beijing 1954 / Gauss-Kruger zone 20", "EPSG:21420"},
        {"GK zone 20", "EPSG:21420"},
        {"Beijing 1954 GK zone 20", "EPSG:21420"},
        {"Beijing_1954_GK_Zone_20", "EPSG:21420"},
        {"WGS 84", "EPSG:4326"},
        {"WGS 84 / UTM zone 50N", "EPSG:32650"},
        {"CGCS2000", "EPSG:4490"},
        {"CGCS2000 3-degree GK zone 39", "EPSG:4527"},
        // Chinese names of Chinese datums and zones.
        {"国家2000", "EPSG:4490"},
        {"2000国家大地坐标系", "EPSG:4490"},
        {"北京54", "EPSG:4214"},
        {"北京54 高斯 20带", "EPSG:21420"},
        {"北京1954 高斯-克吕格 第20带", "EPSG:21420"},
        {"西安80", "EPSG:4610"},
        {"国家2000 3度带 39", "EPSG:4527"},
        {"伪墨卡托", "EPSG:3857"},
    };
    for (const Case& c : cases) {
        const std::vector<ZrSearchHit> hits = Search(c.query, 3);
        const bool found =
            std::any_of(hits.begin(), hits.end(), [&c](const ZrSearchHit& h) { return h.code == c.code; });
        EXPECT_TRUE(found) << c.query << " -> " << Codes(hits) << ", not " << c.code;
    }
}

// A code, in any of the spellings users write, finds that system first.
TEST(Search, CodesFindTheirSystemFirst) {
    struct Case {
        const char* query;
        const char* code; // of the first hit; nullptr: no hit at all
        long catalogue;   // the first hit's catalogue code, 0 none
    };
    const Case cases[] = {
        {"4490", "EPSG:4490", 0},
        {"EPSG:4490", "EPSG:4490", 0},
        {" epsg : 4490 ", "EPSG:4490", 0},
        {"EPSG:21420", "EPSG:21420", 21420},
        {"21420", "EPSG:21420", 21420},
        {"EPSG:3035", "EPSG:3035", 0},
        // ESRI numbers EPSG's systems with EPSG's codes, and its own above them.
        {"ESRI:4326", "EPSG:4326", 4326},
        {"ESRI:54030", "ESRI:54030", 54030},
        {"esri:54030", "ESRI:54030", 54030},
        {"EPSG:54030", nullptr, 0},
        {"EPSG:999999", nullptr, 0},
        {"EPSG:0", nullptr, 0},
        {"OGC:84", nullptr, 0},
    };
    for (const Case& c : cases) {
        std::vector<ZrSearchHit> hits;
        const int count = ZrSearchCoordSys(c.query, hits, 1);
        if (!c.code) {
            EXPECT_EQ(count, 0) << c.query << " -> " << Codes(hits);
            continue;
        }
        ASSERT_FALSE(hits.empty()) << c.query;
        EXPECT_EQ(hits[0].code, c.code) << c.query;
        EXPECT_EQ(hits[0].catalogueCode, c.catalogue) << c.query;
    }
}

// What a hit says: kind, whether the library builds it, area of use, the
// catalogue's row and EPSG's aliases.
TEST(Search, HitDescribesItsSystem) {
    // Areas of use as EPSG gives them, degrees to two decimals.
    constexpr double kBoxDegrees = 0.005;
    struct Case {
        const char* code;
        bool projected, built;
        long catalogue;
        const char* area;
        double south, west, north, east;
        const char* alias; // one of its other names
    };
    const Case cases[] = {
        {"EPSG:3035", true, true, 0, "Europe - LCC & LAEA", 24.6, -35.58, 84.73, 44.83, "ETRS89-LAEA"},
        {"EPSG:21420", true, true, 21420, "China - 114°E to 120°E onshore", 22.14, 114.0, 51.52, 120.0,
         "Beijing / GK zone 20"},
        {"EPSG:4490", false, true, 0, "China", 16.7, 73.62, 53.56, 134.77, "CGCS2000"},
        {"EPSG:27700", true, true, 27700, nullptr, 49.75, -9.0, 61.01, 2.01, "British National Grid"},
        {"EPSG:3857", true, true, 0, nullptr, -85.06, -180.0, 85.06, 180.0,
         "WGS_1984_Web_Mercator_Auxiliary_Sphere"},
    };
    for (const Case& c : cases) {
        const std::vector<ZrSearchHit> hits = Search(c.code, 1);
        ASSERT_EQ(hits.size(), 1u) << c.code;
        const ZrSearchHit& h = hits[0];
        SCOPED_TRACE(c.code);
        EXPECT_EQ(h.code, c.code);
        EXPECT_EQ(h.projected, c.projected);
        EXPECT_EQ(h.built, c.built);
        if (c.catalogue) {
            EXPECT_EQ(h.catalogueCode, c.catalogue);
        }
        ASSERT_TRUE(h.hasArea);
        if (c.area) {
            EXPECT_EQ(h.areaName, c.area);
        }
        EXPECT_NEAR(h.south, c.south, kBoxDegrees);
        EXPECT_NEAR(h.west, c.west, kBoxDegrees);
        EXPECT_NEAR(h.north, c.north, kBoxDegrees);
        EXPECT_NEAR(h.east, c.east, kBoxDegrees);
        EXPECT_NE(std::find(h.aliases.begin(), h.aliases.end(), c.alias), h.aliases.end());
    }
}

TEST(Search, NoTextFindsNothingAndALimitKeepsTheBest) {
    for (const char* nothing : {"", "   ", "_/-", "\t", "zzzzqqqq"}) {
        std::vector<ZrSearchHit> hits;
        EXPECT_EQ(ZrSearchCoordSys(nothing, hits), 0) << '"' << nothing << '"';
        EXPECT_TRUE(hits.empty());
    }
    std::vector<ZrSearchHit> all, three;
    const int count = ZrSearchCoordSys("UTM zone 50", all);
    EXPECT_EQ(ZrSearchCoordSys("UTM zone 50", three, 3), count);
    ASSERT_EQ(three.size(), 3u);
    ASSERT_EQ(all.size(), static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(three[i].code, all[i].code);
}

// PROJ's own search (proj_create_from_name, the one projinfo uses) over
// EPSG's names: a system's exact name finds it first in both. PROJ ranks an
// exact name before any other match, as ours does; where several systems
// share a name, ours must pick one PROJ also gives for that exact name.
TEST(Search, ExactNamesRankedFirstAsPROJRanksThem) {
    std::vector<long> codes, geographic;
    ZrEpsgProjectedCodes(codes);
    ZrEpsgGeographicCodes(geographic);
    codes.insert(codes.end(), geographic.begin(), geographic.end());
    ASSERT_GT(codes.size(), 5000u);
    PJ_CONTEXT* ctx = proj_context_create();
    const PJ_TYPE types[] = {PJ_TYPE_GEOGRAPHIC_2D_CRS, PJ_TYPE_PROJECTED_CRS};
    auto lower = [](std::string s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    int compared = 0;
    for (std::size_t i = 0; i < codes.size(); i += 23) {
        ZrEpsgProjectedRecord p;
        ZrEpsgGeographicRecord g;
        const std::string name = ZrEpsgFindProjected(codes[i], p)    ? p.name
                                 : ZrEpsgFindGeographic(codes[i], g) ? g.name
                                                                     : std::string();
        ASSERT_FALSE(name.empty()) << codes[i];
        PJ_OBJ_LIST* list = proj_create_from_name(ctx, "EPSG", name.c_str(), types, 2, 0, 0, nullptr);
        std::set<std::string> exact;
        for (int k = 0; list && k < proj_list_get_count(list); ++k) {
            PJ* o = proj_list_get(ctx, list, k);
            if (!proj_is_deprecated(o) && lower(proj_get_name(o)) == lower(name))
                exact.insert(std::string("EPSG:") + proj_get_id_code(o, 0));
            proj_destroy(o);
        }
        proj_list_destroy(list);
        if (exact.empty()) continue;
        const std::vector<ZrSearchHit> hits = Search(name, 1);
        ASSERT_FALSE(hits.empty()) << name;
        EXPECT_TRUE(exact.count(hits[0].code))
            << name << " -> " << hits[0].code << ", PROJ " << *exact.begin();
        ++compared;
    }
    proj_context_destroy(ctx);
    EXPECT_GT(compared, 200);
}

// Where names, not aliases, decide, the first hits are projinfo's, in its
// order: proj_create_from_name ranks names by length, which is ours within
// a match's kind (equal, beginning, holding). Where a short alias matches,
// ours ranks by the alias ("Beijing_1954_3_Degree_GK_CM_75E" before "Beijing
// 1954 / Gauss-Kruger CM 75E" for "Beijing 1954") and PROJ by the name: the
// names a user types are often ESRI's or EPSG's short aliases.
TEST(Search, FirstHitsAsProjinfoGivesThem) {
    PJ_CONTEXT* ctx = proj_context_create();
    const PJ_TYPE types[] = {PJ_TYPE_GEOGRAPHIC_2D_CRS, PJ_TYPE_PROJECTED_CRS};
    for (const char* query : {"Amersfoort", "Tokyo", "NAD83 / UTM", "Web Mercator", "British National Grid",
                              "ETRS89 LAEA", "Beijing 1954 GK zone 20"}) {
        PJ_OBJ_LIST* list = proj_create_from_name(ctx, "EPSG", query, types, 2, 1, 3, nullptr);
        std::vector<std::string> theirs;
        for (int k = 0; list && k < proj_list_get_count(list); ++k) {
            PJ* o = proj_list_get(ctx, list, k);
            theirs.push_back(std::string("EPSG:") + proj_get_id_code(o, 0));
            proj_destroy(o);
        }
        proj_list_destroy(list);
        const std::vector<ZrSearchHit> ours = Search(query, static_cast<int>(theirs.size()));
        ASSERT_FALSE(theirs.empty()) << query;
        for (std::size_t i = 0; i < theirs.size() && i < ours.size(); ++i)
            EXPECT_EQ(ours[i].code, theirs[i]) << query << ", hit " << i;
    }
    proj_context_destroy(ctx);
}

// The index is built by the first search; searches that start together in
// several threads all wait for it and all see it whole. Run in a fresh
// process, so that this first search is the first.
TEST(Search, ThreadsThatSearchFirstAllSeeTheWholeIndex) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto race = []() -> int {
        const char* queries[] = {"Lambert 93", "4490", "GK zone 20", "British National Grid"};
        const char* firsts[] = {"EPSG:2154", "EPSG:4490", "EPSG:21420", "EPSG:27700"};
        std::vector<std::thread> threads;
        std::vector<int> ok(8, 0);
        for (int t = 0; t < 8; ++t)
            threads.emplace_back([&, t] {
                std::vector<ZrSearchHit> hits;
                ZrSearchCoordSys(queries[t % 4], hits, 1);
                ok[t] = !hits.empty() && hits[0].code == firsts[t % 4];
            });
        for (std::thread& t : threads)
            t.join();
        return std::all_of(ok.begin(), ok.end(), [](int v) { return v == 1; }) ? 0 : 1;
    };
    EXPECT_EXIT(std::exit(race()), ::testing::ExitedWithCode(0), "");
}

} // namespace
