// The EPSG data file: found beside the library, regenerated from the EPSG
// dataset byte for byte, and the transformation candidates ranked as PROJ
// ranks them.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "transform/ZrPJTranslator.h"
#include "support/Sweep_p.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <map>
#include <set>

namespace {
std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The body followed by the closing line the generator writes (the count of
// records, the CRC-32C of the bytes before it, the checksum's name), so that
// a damaged record is what a case tests, not a checksum.
std::string Sealed(const std::string& body) {
    std::size_t records = 0;
    std::istringstream lines(body);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] != '#') ++records;
    char closing[64];
    std::snprintf(closing, sizeof closing, "E\t%zu\t%08x\tCRC-32C\n", records,
                  static_cast<unsigned>(ZrEpsgChecksum(body.data(), body.size(), true)));
    return body + closing;
}

// PROJ's candidates from one geographic system to another, as projinfo
// lists them with --spatial-test intersects, keeping the single EPSG
// operations (grid-based, concatenated and ballpark ones are beyond the data
// file).
std::vector<long> ProjCandidates(long source, long target) {
    std::vector<long> codes;
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* src =
        proj_create_from_database(ctx, "EPSG", std::to_string(source).c_str(), PJ_CATEGORY_CRS, 0, nullptr);
    PJ* dst =
        proj_create_from_database(ctx, "EPSG", std::to_string(target).c_str(), PJ_CATEGORY_CRS, 0, nullptr);
    PJ_OPERATION_FACTORY_CONTEXT* f = proj_create_operation_factory_context(ctx, nullptr);
    proj_operation_factory_context_set_spatial_criterion(ctx, f, PROJ_SPATIAL_CRITERION_PARTIAL_INTERSECTION);
    proj_operation_factory_context_set_grid_availability_use(ctx, f, PROJ_GRID_AVAILABILITY_IGNORED);
    PJ_OBJ_LIST* ops = proj_create_operations(ctx, src, dst, f);
    for (int i = 0; ops && i < proj_list_get_count(ops); ++i) {
        PJ* op = proj_list_get(ctx, ops, i);
        const char* auth = proj_get_id_auth_name(op, 0);
        const char* code = proj_get_id_code(op, 0);
        const bool single = proj_get_type(op) == PJ_TYPE_TRANSFORMATION;
        const bool epsg = auth && (std::string(auth) == "EPSG" || std::string(auth) == "INVERSE(EPSG)");
        ZrEpsgTransformationRecord held;
        if (epsg && code && single && !proj_coordoperation_get_grid_used_count(ctx, op) &&
            ZrEpsgFindTransformation(std::atol(code), held))
            codes.push_back(std::atol(code));
        proj_destroy(op);
    }
    proj_list_destroy(ops);
    proj_operation_factory_context_destroy(f);
    proj_destroy(src);
    proj_destroy(dst);
    proj_context_destroy(ctx);
    return codes;
}
} // namespace

TEST(EpsgData, FoundBesideTheLibraryAndSearchedByCode) {
    ASSERT_TRUE(ZrEpsgDataAvailable()) << ZrEpsgDataPath();
    EXPECT_EQ(ZrEpsgDataPath(), std::string(ZRPRJ_BINARY_DIR) + "/EpsgData.txt");
    ZrEpsgGeographicRecord g;
    ASSERT_TRUE(ZrEpsgFindGeographic(4807, g));
    EXPECT_EQ(g.primeMeridianCode, 8903); // Paris, given in grads, held in degrees
    EXPECT_DOUBLE_EQ(g.primeMeridianLongitude, 2.33722917);
    ZrEpsgProjectedRecord p;
    ASSERT_TRUE(ZrEpsgFindProjected(2229, p)); // California zone 5 in US survey feet
    EXPECT_EQ(p.linearUnitCode, 9003);
    EXPECT_DOUBLE_EQ(p.linearUnitToMetre, 1200.0 / 3937.0);
    ASSERT_TRUE(ZrEpsgFindProjected(2056, p)); // Swiss LV95: azimuth in sexagesimal DMS
    ZrEpsgTransformationRecord t;
    ASSERT_TRUE(ZrEpsgFindTransformation(1314, t));
    EXPECT_EQ(t.methodCode, 9606);
    EXPECT_DOUBLE_EQ(t.rz, 0.842);
    EXPECT_DOUBLE_EQ(t.ds, -20.489);
    EXPECT_FALSE(ZrEpsgFindProjected(4326, p));
    EXPECT_FALSE(ZrEpsgFindGeographic(0, g));
    EXPECT_FALSE(ZrEpsgFindTransformation(8569, t)); // concatenated: not a single Helmert
}

// The data file against PROJ's own view of every projected system it holds:
// the decoded parameter values (DMS, grads, feet) agree with what PROJ reads
// from the same dataset.
TEST(EpsgData, ParametersDecodedAsPROJDecodesThem) {
    std::vector<long> codes;
    ZrEpsgProjectedCodes(codes);
    ASSERT_GT(codes.size(), 4900u);
    PJ_CONTEXT* ctx = proj_context_create();
    int compared = 0;
    const std::size_t step = kZrSweepStride;
    for (std::size_t i = 0; i < codes.size(); i += step) {
        ZrEpsgProjectedRecord r;
        ASSERT_TRUE(ZrEpsgFindProjected(codes[i], r));
        PJ* crs = proj_create_from_database(ctx, "EPSG", std::to_string(codes[i]).c_str(), PJ_CATEGORY_CRS, 0,
                                            nullptr);
        ASSERT_NE(crs, nullptr) << codes[i];
        PJ* conv = proj_crs_get_coordoperation(ctx, crs);
        ASSERT_NE(conv, nullptr) << codes[i];
        const int n = proj_coordoperation_get_param_count(ctx, conv);
        ASSERT_EQ(n, static_cast<int>(r.parameters.size())) << codes[i];
        for (int k = 0; k < n; ++k) {
            const char *name, *auth, *code, *unitName, *unitAuth, *unitCode, *category;
            double value, unitConv;
            proj_coordoperation_get_param(ctx, conv, k, &name, &auth, &code, &value, nullptr, &unitConv,
                                          &unitName, &unitAuth, &unitCode, &category);
            const long pcode = std::atol(code);
            double mine = 0;
            bool found = false;
            for (const ZrEpsgParameter& p : r.parameters)
                if (p.code == pcode) mine = p.value, found = true;
            ASSERT_TRUE(found) << codes[i] << " " << name;
            const std::string cat = category;
            if (cat == "angular") {
                // 1e-10 degree is 11 micrometres on the ground.
                EXPECT_NEAR(mine, value * unitConv * 57.29577951308232, 1e-10) << codes[i] << " " << name;
            } else if (cat == "linear") {
                // Lengths in the system's unit: a micrometre.
                EXPECT_NEAR(mine * r.linearUnitToMetre, value * unitConv, 1e-6) << codes[i] << " " << name;
            } else {
                EXPECT_NEAR(mine, value * unitConv, 1e-12) << codes[i] << " " << name;
            }
        }
        ++compared;
        proj_destroy(conv);
        proj_destroy(crs);
    }
    proj_context_destroy(ctx);
    EXPECT_GT(compared, 4900 / static_cast<int>(step));
}

// Every pair of geographic systems that a held transformation joins, both
// ways: the same candidates in the same order as projinfo -s A -t B
// --spatial-test intersects (OSGB36, ED50, NAD27 to WGS 84 among them).
TEST(EpsgData, CandidatesRankedAsPROJRanksThem) {
    std::ifstream in(ZrEpsgDataPath());
    std::set<std::pair<long, long>> pairs;
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 2, "T\t") != 0) continue;
        std::istringstream fields(line);
        std::vector<std::string> f;
        for (std::string field; std::getline(fields, field, '\t');)
            f.push_back(field);
        ASSERT_GE(f.size(), 6u);
        const long a = std::atol(f[4].c_str()), b = std::atol(f[5].c_str());
        pairs.insert({a, b});
        pairs.insert({b, a});
    }
    ASSERT_GT(pairs.size(), 1000u);
    std::size_t i = 0;
    for (const auto& p : pairs) {
        if (!ZrSweepTakes(i++)) continue;
        std::vector<ZrEpsgTransformationRecord> mine;
        ZrEpsgListTransformations(p.first, p.second, mine);
        std::vector<long> codes;
        for (const ZrEpsgTransformationRecord& r : mine)
            codes.push_back(r.code);
        EXPECT_EQ(codes, ProjCandidates(p.first, p.second)) << p.first << " -> " << p.second;
    }
}

// The seal is CRC-32C as iSCSI defines it (its check value is that of
// "123456789"), the same by the processor's instruction and by tables, on
// lengths that end in every place of an eight-byte step.
TEST(EpsgData, SealIsCrc32cByInstructionAndByTables) {
    EXPECT_EQ(ZrEpsgChecksum("123456789", 9), 0xE3069283u);
    EXPECT_EQ(ZrEpsgChecksum("123456789", 9, true), 0xE3069283u);
    EXPECT_EQ(ZrEpsgChecksum("", 0), 0u);
    const std::string good = ReadAll(std::string(ZRPRJ_SOURCE_DIR) + "/interop/EpsgData.txt");
    // Long texts are taken in three parts side by side and joined: whole
    // thirds and a tail of every length below a step.
    for (std::size_t n :
         {std::size_t(1), std::size_t(7), std::size_t(8), std::size_t(4099), good.size(), good.size() - 1,
          good.size() - 13, std::size_t(256 * 1024), std::size_t(256 * 1024 + 23)})
        EXPECT_EQ(ZrEpsgChecksum(good.data(), n), ZrEpsgChecksum(good.data(), n, true)) << n;
}

// The file is read once per process, so each case runs in a fresh one. A
// file that is missing, no regular file, cut short (even at a line end),
// altered, or holds a line of no record type leaves the data unavailable,
// every lookup fails cleanly, and the reason names the file and what is
// wrong. A line that its record type's reader cannot decode does the same
// from the first use of that record (a look-up of its code) or of its whole
// type (a listing): until then the file serves the rest, sound records of
// the same type included, so a first set-up checks only the records it
// reads. No case may hang
// (a FIFO), or take memory out of proportion to the file (a line of millions
// of tabs once cost 47 times its size).
TEST(EpsgData, MissingOrDamagedFileLeavesNothingAvailableAndSaysWhy) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string good = ReadAll(std::string(ZRPRJ_SOURCE_DIR) + "/interop/EpsgData.txt");
    ASSERT_FALSE(good.empty());
    // Everything before the closing line, and the closing line.
    const std::size_t closing = good.rfind("\nE\t") + 1;
    const std::string body = good.substr(0, closing), end = good.substr(closing);
    ASSERT_EQ(Sealed(body), good) << "the closing line is no longer the generator's";
    const std::size_t lines = static_cast<std::size_t>(std::count(body.begin(), body.end(), '\n'));
    const std::string next = "line " + std::to_string(lines + 1) + " ";
    const std::string geog = good.substr(good.find("\nG\t") + 1);
    const std::string firstGeog = geog.substr(0, geog.find('\n') + 1);
    // The first geographic system under a code the file does not hold.
    const std::string lonelyGeog = "G\t4999" + firstGeog.substr(firstGeog.find('\t', 2));
    const std::size_t half = body.find('\n', body.size() / 2) + 1;
    const std::size_t records = std::stoul(end.substr(2));
    std::string altered = good;
    altered[altered.find("\t6377397.155\t") + 1] = '7'; // still a number, no longer EPSG's
    const std::string badNumber =
        "G\t4999\tX\t1\tD\t2\tE\t6378137.0x\t298\t8901\tGreenwich\t0\t1\t-90\t-180\t90\t180\n";
    std::string manyFields = "P\t1\tX\t4326\t9807\tM\t1\tC\t9001\tmetre\t1\tEN";
    for (int i = 0; i < 20; ++i)
        manyFields += "\t8801=0";
    constexpr std::size_t kTabs = 5 * 1024 * 1024; // under the size cap, far over the line cap
    enum Kind { Missing, Fifo, Bytes };
    struct Case {
        const char* name;
        Kind kind;
        std::string bytes;
        std::string why; // a regular expression
        char letter;     // the record type whose use finds the damage; 0: found at load
        long code;       // the record whose look-up finds it; 0: the type's listing
    };
    const Case cases[] = {
        {"missing", Missing, "", "is missing", 0, 0},
        {"a FIFO", Fifo, "", "is not a regular file", 0, 0},
        {"cut at a line end", Bytes, body.substr(0, half), "ends without its closing line", 0, 0},
        {"a line taken out", Bytes, body.substr(0, half) + body.substr(body.find('\n', half) + 1) + end,
         "holds " + std::to_string(records - 1) + " records where its closing line counts " +
             std::to_string(records),
         0, 0},
        {"a digit changed", Bytes, altered, "checksum does not match", 0, 0},
        {"a line after the closing one", Bytes, good + firstGeog, next + "is a closing line out of place", 0,
         0},
        {"a line of no record type", Bytes, Sealed(body + "Q\t1\tX\n"), next + "is not a record", 0, 0},
        {"a malformed number", Bytes, Sealed(body + badNumber), next + "is not a record", 'G', 4999},
        {"an area with a word for a number", Bytes,
         Sealed(body + "U\t1\t41.15\twest\t51.56\t10.38\tFrance\n"), next + "is not a record", 'U', 1},
        {"an ESRI system of no kind", Bytes,
         Sealed(body + "R\t54030\tWorld_Robinson\tQ\t-90\t-180\t90\t180\tWorld\n"), next + "is not a record",
         'R', 0},
        // The commonest records are read by a quick walk along the line: each
        // of its edges still refuses what the full reading refuses.
        {"a parameter without its value", Bytes,
         Sealed(body + "P\t1\tX\t4326\t9807\tM\t1\tC\t9001\tmetre\t1\tEN\t8801=0\t8802\n"),
         next + "is not a record", 'P', 1},
        {"a projected system ending in a tab", Bytes,
         Sealed(body + "P\t1\tX\t4326\t9807\tM\t1\tC\t9001\tmetre\t1\tEN\t\n"), next + "is not a record", 'P',
         1},
        {"an alias of no name", Bytes, Sealed(body + "A\t4326\t\n"), next + "is not a record", 'A', 0},
        {"an area upside down", Bytes, Sealed(body + "U\t1\t51.56\t-9.86\t41.15\t10.38\tFrance\n"),
         next + "is not a record", 'U', 1},
        {"a field too few", Bytes, Sealed(body + lonelyGeog.substr(0, lonelyGeog.rfind('\t')) + "\n"),
         next + "is not a record", 'G', 4999},
        {"too many fields", Bytes, Sealed(body + manyFields + "\n"), next + "has too many fields", 'P', 1},
        {"a code twice", Bytes, Sealed(body + firstGeog), "a code is listed twice", 'G', 3819},
        {"a line of tabs", Bytes, body + "G" + std::string(kTabs, '\t') + "\n" + end,
         next + "is longer than 4096 bytes", 0, 0},
        {"too large", Bytes, std::string(9 * 1024 * 1024, '#'), "bytes long", 0, 0},
        {"binary noise", Bytes,
         std::string("\x7f"
                     "ELF\x01\x01\x01\0\0\0G\t\t\t",
                     14),
         "ends without its closing line", 0, 0},
    };
    const std::string dir = "/tmp/zrprj_epsgdata_bad_" + std::to_string(getpid());
    ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
    const std::string path = dir + "/EpsgData.txt";
    for (const Case& c : cases) {
        std::remove(path.c_str());
        if (c.kind == Fifo) {
            ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
        }
        if (c.kind == Bytes) std::ofstream(path, std::ios::binary) << c.bytes;
        // Runs in the child: 0 when the load failed cleanly, said why, and
        // stayed within the memory bound.
        auto load = [&]() -> int {
            alarm(20); // a read that waits for a writer ends the case
            CZrPJTranslator::m_strEpsgName = (dir + "/CodeTransition.xml").c_str();
            struct rusage before, after;
            getrusage(RUSAGE_SELF, &before);
            const bool available = ZrEpsgDataAvailable();
            getrusage(RUSAGE_SELF, &after);
            // A refused file costs at most its own size, once.
            const long grownKb = after.ru_maxrss - before.ru_maxrss;
            const long boundKb = static_cast<long>(2 * c.bytes.size() / 1024) + 4096;
            ZrEpsgGeographicRecord g;
            ZrEpsgProjectedRecord p;
            CZrPJCoordSys cs;
            CString reason;
            if (c.letter) {
                // Served until the damaged record's use: another type answers
                // (a Helmert), and so do sound records of the damaged type (not
                // 2229, whose set-up would be kept and served again below).
                ZrEpsgTransformationRecord t;
                ZrEpsgAreaRecord area;
                if (!available || !ZrEpsgFindTransformation(1314, t) || !ZrEpsgDataAvailable()) return 2;
                if ((c.letter == 'G' || c.letter == 'P') &&
                    (!ZrCoordSysFromEpsg(4326, cs) || !ZrCoordSysFromEpsg(2227, cs) ||
                     !ZrEpsgDataAvailable()))
                    return 5;
                if (c.letter == 'U' && (!ZrEpsgFindArea(2154, area) || !ZrEpsgDataAvailable())) return 5;
                std::vector<std::string> aliases;
                std::vector<ZrEsriSystemRecord> esri;
                switch (c.letter) {
                case 'G':
                case 'P': // the set-up that reads it, which says why it failed
                    if (ZrCoordSysFromEpsg(c.code, cs, &reason) || reason.str() != ZrEpsgDataProblem())
                        return 3;
                    break;
                case 'U':
                    if (ZrEpsgFindArea(c.code, area)) return 3;
                    break;
                case 'A':
                    if (ZrEpsgAliases(4326, aliases) != 0) return 3;
                    break;
                case 'R':
                    ZrEsriSystems(esri);
                    if (!esri.empty()) return 3;
                    break;
                }
                // From then on the file is refused whole, the Helmert too.
                if (ZrEpsgDataAvailable() || ZrEpsgFindTransformation(1314, t)) return 4;
            }
            const std::string problem = ZrEpsgDataProblem();
            const bool clean = (c.letter || !available) && !ZrEpsgFindGeographic(4326, g) &&
                               !ZrEpsgFindProjected(2229, p) && !ZrCoordSysFromEpsg(2229, cs, &reason) &&
                               reason.str() == problem && problem.find(path) != std::string::npos &&
                               ZrEpsgDataFileProblem().str() == problem && grownKb < boundKb;
            std::fprintf(stderr, "%s (grew %ld kB, bound %ld kB)\n", problem.c_str(), grownKb, boundKb);
            return clean ? 0 : 1;
        };
        EXPECT_EXIT(std::exit(load()), ::testing::ExitedWithCode(0), c.why) << c.name;
    }
    std::remove(path.c_str());
    std::remove(dir.c_str());
}

// A record is found by a search of its type's bytes for the first few
// look-ups, then by an index of the type's line starts, and by the checked
// listing once the type has been listed whole: the three agree with the file
// on every code at the edges of each type (the first, the last, a middle one,
// the codes beside them that the file does not hold), for every type looked
// up one code at a time. In a fresh process, so that the search is the first.
TEST(EpsgData, FoundAlikeBySearchIndexAndListing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string good = ReadAll(std::string(ZRPRJ_SOURCE_DIR) + "/interop/EpsgData.txt");
    std::map<char, std::vector<long>> held; // codes by record type, in file order
    std::istringstream lines(good);
    for (std::string line; std::getline(lines, line);)
        if (line.size() > 2 && line[1] == '\t') held[line[0]].push_back(std::atol(line.c_str() + 2));
    using Lookup = long (*)(long); // the code found, 0 for none
    struct Type {
        char letter;
        Lookup find;
    };
    const Type types[] = {
        {'G',
         [](long c) {
             ZrEpsgGeographicRecord r;
             return ZrEpsgFindGeographic(c, r) ? r.code : 0L;
         }},
        {'P',
         [](long c) {
             ZrEpsgProjectedRecord r;
             return ZrEpsgFindProjected(c, r) ? r.code : 0L;
         }},
        {'T',
         [](long c) {
             ZrEpsgTransformationRecord r;
             return ZrEpsgFindTransformation(c, r) ? r.code : 0L;
         }},
        {'U',
         [](long c) {
             ZrEpsgAreaRecord r;
             return ZrEpsgFindArea(c, r) ? r.code : 0L;
         }},
        {'K',
         [](long c) {
             ZrEpsgGeocentricRecord r;
             return ZrEpsgFindGeocentric(c, r) ? r.code : 0L;
         }},
        {'L', [](long c) { return ZrEpsgGeographic2DOf(c) != 0 ? c : 0L; }},
        {'F', [](long c) { return ZrEpsgOperationOffshore(c) ? c : 0L; }},
    };
    for (const Type& type : types) {
        const std::vector<long>& codes = held[type.letter];
        ASSERT_GT(codes.size(), 2u) << type.letter;
        const std::set<long> all(codes.begin(), codes.end());
        // A transformation is looked for among the time-dependent Helmerts too.
        std::set<long> found = all;
        if (type.letter == 'T') found.insert(held['D'].begin(), held['D'].end());
        const long middle = codes[codes.size() / 2];
        std::vector<long> probes = {codes.front(), codes.back(), middle, codes.front() - 1, codes.back() + 1};
        for (long c = middle + 1; c < codes.back(); ++c)
            if (!all.count(c)) {
                probes.push_back(c); // the first hole after the middle
                break;
            }
        auto run = [&]() -> int {
            int wrong = 0;
            // Searched, then indexed, then listed whole.
            for (int round = 0; round < 4; ++round) {
                if (round == 3) { // the types listed whole, checked
                    std::vector<long> listed;
                    ZrEpsgGeographicCodes(listed);
                    ZrEpsgProjectedCodes(listed);
                    std::vector<ZrEpsgTransformationRecord> helmerts;
                    ZrEpsgListTransformations(4326, 4258, helmerts);
                    ZrEpsgGeocentricOf(4326, "");
                }
                for (long c : probes) {
                    const long expected = found.count(c) ? c : 0;
                    if (type.find(c) != expected) {
                        std::fprintf(stderr, "%c %ld round %d\n", type.letter, c, round);
                        ++wrong;
                    }
                }
            }
            return wrong == 0 && ZrEpsgDataAvailable() ? 0 : 1;
        };
        EXPECT_EXIT(std::exit(run()), ::testing::ExitedWithCode(0), "") << type.letter;
    }
}

// Blank and comment lines inside a type's lines (a file edited by hand and
// sealed again) are stepped over by the search, wherever its halving lands:
// every record is still found, none found twice, and no search runs on
// (one once did, on a blank line a probe's middle byte fell on).
TEST(EpsgData, SearchStepsOverBlankAndCommentLines) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string good = ReadAll(std::string(ZRPRJ_SOURCE_DIR) + "/interop/EpsgData.txt");
    const std::string body = good.substr(0, good.rfind("\nE\t") + 1);
    std::string edited;
    std::istringstream lines(body);
    std::size_t n = 0;
    for (std::string line; std::getline(lines, line); ++n) {
        // A blank line after each record, so that a code the file lacks
        // leaves the search a range of blank lines alone; some comments too.
        edited += line + "\n\n";
        if (n % 5 == 2) edited += "# a note\n";
    }
    const std::string dir = "/tmp/zrprj_epsgdata_blank_" + std::to_string(getpid());
    ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
    const std::string path = dir + "/EpsgData.txt";
    std::ofstream(path, std::ios::binary) << Sealed(edited);
    auto run = [&]() -> int {
        alarm(20); // a search that runs on ends the case
        CZrPJTranslator::m_strEpsgName = (dir + "/CodeTransition.xml").c_str();
        // Fewer look-ups a type than the search makes before the type's
        // line starts are listed.
        ZrEpsgGeographicRecord g;
        ZrEpsgProjectedRecord p;
        ZrEpsgAreaRecord a;
        const bool found = ZrEpsgFindGeographic(3819, g) && ZrEpsgFindGeographic(4326, g) &&
                           ZrEpsgFindProjected(2154, p) && ZrEpsgFindProjected(27700, p) &&
                           ZrEpsgFindProjected(32650, p) && ZrEpsgFindArea(2154, a);
        const bool missing = !ZrEpsgFindGeographic(4327, g) && !ZrEpsgFindProjected(2155, p);
        return found && missing && ZrEpsgDataAvailable() ? 0 : 1;
    };
    EXPECT_EXIT(std::exit(run()), ::testing::ExitedWithCode(0), "");
    std::remove(path.c_str());
    std::remove(dir.c_str());
}

// The projected systems' numbers are checked by their form on the type's
// first use; a form that check does not take (an exponent, more digits than
// it counts) goes to the full reading, which takes what from_chars reads
// exactly and refuses the file for what it cannot (a number past the
// largest double). Each case in a fresh process, as the file is read once.
TEST(EpsgData, ProjectedNumbersTakenInEveryFormFromCharsReads) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string good = ReadAll(std::string(ZRPRJ_SOURCE_DIR) + "/interop/EpsgData.txt");
    const std::string body = good.substr(0, good.rfind("\nE\t") + 1);
    const std::string head =
        "P\t1\tX\t4326\t9807\tTransverse Mercator\t1\tC\t9001\tmetre\t1\tEN\t8801=0\t8805=";
    struct Case {
        std::string scale; // the scale factor as written
        bool taken;
    };
    const Case cases[] = {
        {"0.9996", true},
        {"9.996e-1", true},
        {"0.9996" + std::string(40, '0'), true}, // 46 digits
        {"1" + std::string(400, '0'), false},    // 1e400: no double
        {"0x1p-1", false},
    };
    const std::string dir = "/tmp/zrprj_epsgdata_forms_" + std::to_string(getpid());
    ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
    const std::string path = dir + "/EpsgData.txt";
    for (const Case& c : cases) {
        std::ofstream(path, std::ios::binary) << Sealed(body + head + c.scale + "\n");
        auto load = [&]() -> int {
            CZrPJTranslator::m_strEpsgName = (dir + "/CodeTransition.xml").c_str();
            ZrEpsgProjectedRecord p;
            const bool found = ZrEpsgFindProjected(1, p);
            if (!c.taken) return !found && !ZrEpsgDataAvailable() ? 0 : 1;
            return found && p.parameters.size() == 2 && p.parameters[1].value == 0.9996 ? 0 : 1;
        };
        EXPECT_EXIT(std::exit(load()), ::testing::ExitedWithCode(0), "") << c.scale.substr(0, 50);
    }
    std::remove(path.c_str());
    std::remove(dir.c_str());
}

TEST(EpsgData, RegeneratedFromTheEpsgDatasetIsIdentical) {
    const char* database = "/usr/share/proj/proj.db";
    if (access(database, R_OK) != 0) GTEST_SKIP() << "no EPSG dataset at " << database;
    if (std::system("python3 -c 'import sqlite3' > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "no python3 with sqlite3";
    const std::string out = "/tmp/zrprj_epsgdata_" + std::to_string(getpid()) + ".txt";
    const std::string command = std::string("python3 ") + ZRPRJ_SOURCE_DIR +
                                "/tools/gen_epsg.py --database " + database + " --output " + out;
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string regenerated = ReadAll(out);
    const std::string shipped = ReadAll(std::string(ZRPRJ_SOURCE_DIR) + "/interop/EpsgData.txt");
    std::remove(out.c_str());
    EXPECT_FALSE(shipped.empty());
    EXPECT_TRUE(regenerated == shipped)
        << "interop/EpsgData.txt is out of date: regenerate it with tools/gen_epsg.py";
}
