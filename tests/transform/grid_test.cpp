// Grid files against PROJ reading the same bytes. PROJ's definitions:
// "+proj=hgridshift +grids=FILE" shifts (lambda, phi) in radians by the
// bilinear shift of the deepest subgrid containing the point, and its inverse
// iterates to the point whose forward shift lands on the input;
// "+proj=vgridshift +grids=FILE +multiplier=1" adds the interpolated grid
// height to z. Ours interpolates the same nodes in the same order, so the two
// agree to rounding.
#include "transform/ZrGrid.h"
#include "transform/GridWriters_p.h"

#include <gtest/gtest.h>
#include <proj.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

namespace {
constexpr double kDeg = M_PI / 180;
constexpr double kEarthRadius = 6378137.0;
// Same nodes, same weights, same order of operations as PROJ: rounding only.
constexpr double kSameArithmeticAsProj = 1e-6; // metres
// The bar PROJ users hold grid shifts to.
constexpr double kMillimetre = 1e-3;

// Ground distance between two (lambda, phi) in radians, metres.
double Metres(double lam1, double phi1, double lam2, double phi2) {
    return kEarthRadius * std::hypot((lam1 - lam2) * std::cos(phi1), phi1 - phi2);
}

std::string Sci(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3g", v);
    return buf;
}

struct ProjGrid {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* op = nullptr;
    explicit ProjGrid(const std::string& def) {
        proj_log_level(ctx, PJ_LOG_NONE);
        op = proj_create(ctx, def.c_str());
    }
    ~ProjGrid() {
        proj_destroy(op);
        proj_context_destroy(ctx);
    }
    // PROJ's result, or false where PROJ refuses the point.
    bool Trans(PJ_DIRECTION dir, double& lam, double& phi, double& z) {
        PJ_COORD c = proj_coord(lam, phi, z, 0);
        proj_errno_reset(op);
        c = proj_trans(op, dir, c);
        if (c.v[0] == HUGE_VAL || proj_errno(op) != 0) return false;
        lam = c.v[0];
        phi = c.v[1];
        z = c.v[2];
        return true;
    }
};

// One folder for the files this program writes, removed when it ends.
struct ScratchFolder {
    std::string path;
    ScratchFolder() {
        char pattern[] = "/tmp/zrprj_grids_XXXXXX";
        const char* d = mkdtemp(pattern);
        path = d ? d : "";
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path.empty()) std::filesystem::remove_all(path, ec);
    }
};

std::string TempDir() {
    static ScratchFolder folder;
    return folder.path;
}

// Points inside the lattice (degrees), a few of them right on its edges and
// a few just outside, where both must refuse or both shift.
std::vector<std::pair<double, double>> PointsIn(double w, double s, double e, double n, int count) {
    std::mt19937 rng(20261208);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<std::pair<double, double>> pts;
    for (int k = 0; k < count; ++k)
        pts.emplace_back(w + u(rng) * (e - w), s + u(rng) * (n - s));
    pts.emplace_back(w, s);
    pts.emplace_back(e, n);
    pts.emplace_back(w, (s + n) / 2);
    pts.emplace_back(e + 1e-3, (s + n) / 2);
    pts.emplace_back((w + e) / 2, s - 1e-3);
    return pts;
}

struct Agreement {
    int compared = 0, refusedByBoth = 0, disagreed = 0;
    double worst = 0;
};

// Forward and inverse of every point, ours beside PROJ's.
Agreement CompareHorizontal(const CZrHorizontalShiftGrid& grid, const std::string& path, int count) {
    ProjGrid proj("+proj=hgridshift +grids=" + path);
    Agreement a;
    if (!proj.op) {
        ADD_FAILURE() << "PROJ cannot open " << path;
        return a;
    }
    double w, s, e, n;
    grid.Extent(w, s, e, n);
    for (const auto& [lon, lat] : PointsIn(w, s, e, n, count)) {
        for (PJ_DIRECTION dir : {PJ_FWD, PJ_INV}) {
            double lam = lon * kDeg, phi = lat * kDeg, z = 0;
            double plam = lam, pphi = phi;
            const bool theirs = proj.Trans(dir, plam, pphi, z);
            const int ours = dir == PJ_FWD ? grid.Forward(lam, phi) : grid.Inverse(lam, phi);
            if (!theirs && !ours) {
                ++a.refusedByBoth;
                continue;
            }
            if (theirs != (ours == 1)) {
                ++a.disagreed;
                ADD_FAILURE() << path << (dir == PJ_FWD ? " forward" : " inverse") << " at " << lon << ", "
                              << lat << ": PROJ " << (theirs ? "shifts" : "refuses") << ", ours "
                              << (ours ? "shifts" : "refuses");
                continue;
            }
            ++a.compared;
            a.worst = std::max(a.worst, Metres(lam, phi, plam, pphi));
        }
    }
    return a;
}

// Shifts that vary enough across a cell that a wrong node or weight shows:
// a few arc-seconds, with a different pattern per subgrid name.
void WavyShift(const TestLattice& g, int i, int j, double& lon, double& lat) {
    const double x = g.west + i * g.dx, y = g.south + j * g.dy;
    const double k = g.name == "SUB1" ? 1.0 : 3.0;
    lon = 2.0 + k * std::sin(3 * x) + 0.3 * std::cos(7 * y) + 0.01 * i;
    lat = -1.5 + k * std::cos(2 * y + x) - 0.02 * j;
}

const TestLattice kParent{5.0, 45.0, 0.25, 0.2, 25, 21, "SUB1", "NONE"};
// Nested inside the parent, finer, on different values: points in it must
// take its shifts, as the NTv2 rule says.
const TestLattice kChild{7.0, 47.0, 0.05, 0.04, 21, 26, "SUB2", "SUB1"};

std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = TempDir() + "/" + name;
    EXPECT_TRUE(testgrid::WriteFile(path, bytes));
    return path;
}
} // namespace

// Every format, written here, read by us and by PROJ: a thousand points,
// forward and inverse. NADCON has no reader in PROJ; its pair is compared
// with PROJ reading an NTv2 file that holds the same float values.
TEST(GridFiles, WrittenGridsAgreeWithProj) {
    struct Case {
        const char* format;
        std::string ours, proj;
    };
    std::vector<Case> cases;
    cases.push_back(
        {"NTv2 with a nested subgrid", Write("nested.gsb", NTv2Bytes({kParent, kChild}, WavyShift)), ""});
    cases.push_back({"NTv1", Write("grid.dat", NTv1Bytes(kParent, WavyShift)), ""});
    {
        // NADCON holds its lattice in floats: spacings a float holds exactly,
        // so that the NTv2 copy describes the same nodes.
        TestLattice wide = kParent;
        wide.width = 30;
        wide.dy = 0.25;
        Write("pair.las", NadconBytes(wide, WavyShift, false));
        const std::string los = Write("pair.los", NadconBytes(wide, WavyShift, true));
        cases.push_back({"NADCON", los, Write("pair_as_ntv2.gsb", NTv2Bytes({wide}, WavyShift))});
    }
    struct TiffCase {
        const char* name;
        TestTiffOptions o;
    };
    TestTiffOptions striped, tiled, projData;
    projData.projData = projData.tiled = true;
    tiled.tiled = tiled.separate = tiled.deflate = tiled.positiveWest = true;
    tiled.pixelIsArea = false;
    tiled.unit = "degree";
    for (const TiffCase& t :
         {TiffCase{"GeoTIFF, strips, interleaved", striped},
          TiffCase{"GeoTIFF, deflated tiles in planes, degrees, positive west, nested", tiled},
          TiffCase{"GeoTIFF as PROJ-data: four samples, floating-point predictor", projData}}) {
        const std::string path = TempDir() + "/" + std::to_string(cases.size()) + ".tif";
        ASSERT_TRUE(WriteTestTiff(path, {kParent, kChild}, WavyShift, nullptr, t.o)) << t.name;
        cases.push_back({t.name, path, ""});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        std::string reason;
        auto grid = CZrHorizontalShiftGrid::Open(c.ours, &reason);
        ASSERT_TRUE(grid) << reason;
        const Agreement a = CompareHorizontal(*grid, c.proj.empty() ? c.ours : c.proj, 1000);
        EXPECT_GE(a.compared, 2000);
        EXPECT_EQ(a.disagreed, 0);
        EXPECT_LE(a.worst, kSameArithmeticAsProj);
        RecordProperty(std::string("worst_metres_") + c.format, Sci(a.worst));
    }
}

// The grids Debian's proj-data ships, where present: BETA2007 (DHDN to
// ETRS89), NTF to RGF93, NZGD49 to NZGD2000, Switzerland's CHENYX06.
TEST(GridFiles, DebianGridsAgreeWithProj) {
    int tried = 0;
    for (const char* name : {"BETA2007.gsb", "ntf_r93.gsb", "nzgd2kgrid0005.gsb", "CHENYX06.gsb"}) {
        SCOPED_TRACE(name);
        std::string path;
        if (!ZrFindGrid(name, path)) continue;
        ++tried;
        std::string reason;
        auto grid = CZrHorizontalShiftGrid::Open(name, &reason);
        ASSERT_TRUE(grid) << reason;
        const Agreement a = CompareHorizontal(*grid, path, 1000);
        EXPECT_GE(a.compared, 1000); // real grids have holes at their corners
        EXPECT_EQ(a.disagreed, 0);
        EXPECT_LE(a.worst, kMillimetre);
        EXPECT_LE(a.worst, kSameArithmeticAsProj);
        RecordProperty(std::string("worst_metres_") + name, Sci(a.worst));
    }
    if (tried == 0) GTEST_SKIP() << "proj-data's grids are not installed";
}

// Geoid heights from GTX and GeoTIFF, with holes (nodata nodes) that PROJ
// bridges by reweighting the nodes that hold a value; EGM96 from proj-data.
TEST(GridFiles, GeoidHeightsAgreeWithProj) {
    const TestLattice lattice{100.0, 20.0, 0.5, 0.5, 20, 16};
    auto height = [](int i, int j) -> float {
        if (i == 4 && j == 5) return -88.8888f; // GTX's mark of a missing node
        return static_cast<float>(30 + 10 * std::sin(0.4 * i) - 0.7 * j);
    };
    auto heightTiff = [&](int i, int j) -> float { return i == 4 && j == 5 ? -9999.0f : height(i, j); };
    std::vector<std::string> paths = {Write("geoid.gtx", GtxBytes(lattice, height))};
    TestTiffOptions f32;
    f32.geoid = true;
    f32.nodata = "-9999";
    TestTiffOptions i16 = f32;
    i16.int16Scaled = true;
    i16.tiled = i16.deflate = true;
    i16.nodata = "";
    paths.push_back(TempDir() + "/geoid_f32.tif");
    ASSERT_TRUE(WriteTestTiff(paths.back(), {lattice}, nullptr, heightTiff, f32));
    paths.push_back(TempDir() + "/geoid_i16.tif");
    ASSERT_TRUE(WriteTestTiff(paths.back(), {lattice}, nullptr, height, i16));
    std::string egm;
    if (ZrFindGrid("egm96_15.gtx", egm)) paths.push_back(egm);
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        std::string reason;
        auto grid = CZrGeoidGrid::Open(path, &reason);
        ASSERT_TRUE(grid) << reason;
        ProjGrid proj("+proj=vgridshift +grids=" + path + " +multiplier=1");
        ASSERT_TRUE(proj.op);
        double w, s, e, n;
        grid->Extent(w, s, e, n);
        double worst = 0;
        int compared = 0;
        for (const auto& [lon, lat] : PointsIn(w, s, std::min(e, 180.0), n, 1000)) {
            double lam = lon * kDeg, phi = lat * kDeg, z = 0, h = 0;
            const bool theirs = proj.Trans(PJ_FWD, lam, phi, z);
            const int ours = grid->HeightDeg(lon, lat, h);
            EXPECT_EQ(theirs, ours == 1) << lon << ", " << lat;
            if (theirs && ours) {
                worst = std::max(worst, std::fabs(h - z));
                ++compared;
            }
        }
        EXPECT_GE(compared, 1000);
        EXPECT_LE(worst, kSameArithmeticAsProj);
        RecordProperty("worst_metres_" + path.substr(path.rfind('/') + 1), Sci(worst));
    }
}

// A damaged grid is refused with a reason, never read past its end nor
// allocated by the size its header claims.
TEST(GridFiles, DamagedGridsAreRefusedWithAReason) {
    const std::string ntv2 = NTv2Bytes({kParent, kChild}, WavyShift);
    const std::string gtx = GtxBytes(kParent, [](int, int) { return 1.0f; });
    auto patched = [](std::string bytes, size_t at, const void* v, size_t n) {
        std::memcpy(&bytes[at], v, n);
        return bytes;
    };
    const double tiny = 1e-7, nan = std::nan("");
    const float nanf = std::nanf("");
    const std::int32_t many = 0x7fffffff;
    const std::string tiffPath = TempDir() + "/whole.tif";
    ASSERT_TRUE(WriteTestTiff(tiffPath, {kParent}, WavyShift, nullptr, TestTiffOptions{}));
    std::string tiff;
    {
        std::FILE* f = std::fopen(tiffPath.c_str(), "rb");
        ASSERT_TRUE(f);
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            tiff.append(buf, n);
        std::fclose(f);
    }
    // The first image's width and height set to 60000 in its directory
    // (little-endian file, entries of 12 bytes after a 2-byte count).
    const std::string hugeTiff = [&] {
        std::string b = tiff;
        std::uint32_t ifd = 0;
        std::memcpy(&ifd, &b[4], 4);
        std::uint16_t entries = 0;
        std::memcpy(&entries, &b[ifd], 2);
        for (std::uint16_t k = 0; k < entries; ++k) {
            char* entry = &b[ifd + 2 + 12 * k];
            std::uint16_t tag = 0, type = 0;
            std::memcpy(&tag, entry, 2);
            std::memcpy(&type, entry + 2, 2);
            if (tag != TIFFTAG_IMAGEWIDTH && tag != TIFFTAG_IMAGELENGTH) continue;
            const std::uint32_t big = 60000;
            if (type == TIFF_SHORT) {
                const std::uint16_t v = 60000;
                std::memcpy(entry + 8, &v, 2);
            } else {
                std::memcpy(entry + 8, &big, 4);
            }
        }
        return b;
    }();
    const std::string nanTiffPath = TempDir() + "/nan.tif";
    ASSERT_TRUE(WriteTestTiff(
        nanTiffPath, {kParent},
        [](const TestLattice& g, int i, int j, double& lon, double& lat) {
            WavyShift(g, i, j, lon, lat);
            if (i == 3 && j == 4) lat = std::nan("");
        },
        nullptr, TestTiffOptions{}));
    struct Case {
        const char* what;
        std::string name, bytes;
        bool geoid;
    };
    // Offsets: the first subgrid header starts at 176; its LONG_INC value
    // at 176 + 152, its first node at 352.
    const std::vector<Case> cases = {
        {"NTv2 truncated inside its nodes", "cut.gsb", ntv2.substr(0, ntv2.size() / 2), false},
        {"NTv2 truncated inside its header", "head.gsb", ntv2.substr(0, 100), false},
        {"NTv2 spacing so fine the grid would be huge", "huge.gsb", patched(ntv2, 176 + 152, &tiny, 8),
         false},
        {"NTv2 spacing not a number", "nanres.gsb", patched(ntv2, 176 + 152, &nan, 8), false},
        {"NTv2 node not a number", "nannode.gsb", patched(ntv2, 352 + 16 * 7, &nanf, 4), false},
        {"NTv2 subgrid count absurd", "count.gsb", patched(ntv2, 40, &many, 4), false},
        {"GTX truncated", "cut.gtx", gtx.substr(0, gtx.size() - 10), true},
        {"GTX claiming 2^31 columns", "huge.gtx",
         [&] {
             std::string b = gtx;
             for (int k = 0; k < 4; ++k)
                 b[36 + k] = k == 0 ? '\x7f' : '\xff';
             return b;
         }(),
         true},
        {"GeoTIFF truncated", "cut.tif", tiff.substr(0, tiff.size() * 2 / 3), false},
        {"GeoTIFF header only", "head.tif", tiff.substr(0, 8), false},
        {"GeoTIFF claiming 60000 x 60000 pixels", "huge.tif", hugeTiff, false},
        {"not a grid at all", "text.gsb", std::string(400, 'x'), false},
        {"empty file", "empty.gtx", std::string(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = Write(c.name, c.bytes);
        std::string reason;
        const bool opened = c.geoid ? CZrGeoidGrid::Open(path, &reason) != nullptr
                                    : CZrHorizontalShiftGrid::Open(path, &reason) != nullptr;
        EXPECT_FALSE(opened);
        EXPECT_NE(reason.find(path), std::string::npos) << reason;
    }
    {
        std::string reason;
        EXPECT_FALSE(CZrHorizontalShiftGrid::Open(nanTiffPath, &reason));
        EXPECT_NE(reason.find("not a number"), std::string::npos) << reason;
    }
    // Neither a folder nor a FIFO is read (a FIFO would block a reader that
    // opened it for reading without care).
    const std::string fifo = TempDir() + "/fifo.gsb";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, TempDir()}) {
        std::string reason;
        EXPECT_FALSE(CZrHorizontalShiftGrid::Open(path, &reason));
        EXPECT_FALSE(CZrGeoidGrid::Open(path, &reason));
        EXPECT_NE(reason.find("not a regular file"), std::string::npos) << reason;
    }
}

// A grid is found on the search path in its order, and a missing one is
// refused naming the file and every folder looked in.
TEST(GridFiles, SearchPathOrderAndRefusal) {
    const std::string a = TempDir() + "/first", b = TempDir() + "/second", host = TempDir() + "/host";
    for (const std::string& d : {a, b, host})
        mkdir(d.c_str(), 0700);
    const std::string bytes = NTv2Bytes({kParent}, WavyShift);
    testgrid::WriteFile(b + "/only_second.gsb", bytes);
    testgrid::WriteFile(a + "/in_both.gsb", bytes);
    testgrid::WriteFile(b + "/in_both.gsb", bytes);
    testgrid::WriteFile(host + "/host_only.gsb", bytes);
    const char* saved = std::getenv("PROJ_DATA");
    const std::string savedValue = saved ? saved : "";
    setenv("PROJ_DATA", (a + ":" + b).c_str(), 1);
    ZrSetGridDirectory(host);
    struct Case {
        const char* name;
        std::string expected;
    };
    for (const Case& c :
         {Case{"in_both.gsb", a + "/in_both.gsb"}, Case{"only_second.gsb", b + "/only_second.gsb"},
          Case{"@host_only.gsb", host + "/host_only.gsb"}}) {
        std::string path;
        EXPECT_TRUE(ZrFindGrid(c.name, path)) << c.name;
        EXPECT_EQ(path, c.expected);
    }
    std::string path, reason;
    EXPECT_FALSE(ZrFindGrid("nowhere.gsb", path, &reason));
    EXPECT_FALSE(CZrHorizontalShiftGrid::Open("nowhere.gsb", &reason));
    EXPECT_NE(reason.find("nowhere.gsb"), std::string::npos);
    for (const std::string& d : ZrGridSearchPath())
        EXPECT_NE(reason.find(d), std::string::npos) << d;
    for (const std::string& d : {a, b, host, std::string("/usr/share/proj")})
        EXPECT_NE(reason.find(d), std::string::npos) << d;
    ZrSetGridDirectory("");
    if (saved)
        setenv("PROJ_DATA", savedValue.c_str(), 1);
    else
        unsetenv("PROJ_DATA");
}

// One grid in memory however it is reached, and safe to use from several
// threads at once: every thread gets the same results as one alone.
TEST(GridFiles, SharedBetweenOpenersAndThreads) {
    const std::string path = Write("shared.gsb", NTv2Bytes({kParent, kChild}, WavyShift));
    auto first = CZrHorizontalShiftGrid::Open(path);
    auto again = CZrHorizontalShiftGrid::Open(TempDir() + "/./shared.gsb");
    ASSERT_TRUE(first);
    EXPECT_EQ(first.get(), again.get());
    const auto pts = PointsIn(5.5, 45.5, 10.5, 48.5, 2000);
    std::vector<CPoint2D> expected;
    for (const auto& [x, y] : pts)
        expected.emplace_back(x, y);
    ASSERT_EQ(first->Apply(expected.data(), static_cast<long>(expected.size()), 1),
              static_cast<long>(pts.size()));
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            auto grid = CZrHorizontalShiftGrid::Open(path);
            for (size_t k = 0; k < pts.size(); ++k) {
                CPoint2D p(pts[k].first, pts[k].second);
                grid->ForwardDeg(p);
                if (p.x != expected[k].x || p.y != expected[k].y) ++mismatches;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(mismatches.load(), 0);
    // Round trip: the inverse undoes the forward to the iteration's bar.
    for (size_t k = 0; k < pts.size(); ++k) {
        CPoint2D p = expected[k];
        ASSERT_TRUE(first->InverseDeg(p));
        EXPECT_LE(Metres(p.x * kDeg, p.y * kDeg, pts[k].first * kDeg, pts[k].second * kDeg), 1e-4);
    }
}

// Lists of grids as PROJ's +grids takes them: the first grid containing the
// point serves it, '@' grids may be missing, "@null" passes every other point
// unchanged; a missing grid without '@' refuses the list.
TEST(GridFiles, GridListsAgreeWithProj) {
    TestLattice alone = kChild;
    alone.parent = "NONE";
    const std::string child = Write("alone.gsb", NTv2Bytes({alone}, WavyShift));
    const std::string list = "@" + TempDir() + "/missing.gsb," + child + ",@null";
    std::string reason;
    auto grid = CZrHorizontalShiftGrid::Open(list, &reason);
    ASSERT_TRUE(grid) << reason;
    ProjGrid proj("+proj=hgridshift +grids=" + list);
    ASSERT_TRUE(proj.op);
    int shifted = 0, unchanged = 0;
    for (const auto& [lon, lat] : PointsIn(6.0, 46.0, 9.0, 49.0, 1000)) {
        for (PJ_DIRECTION dir : {PJ_FWD, PJ_INV}) {
            double lam = lon * kDeg, phi = lat * kDeg, z = 0, plam = lam, pphi = phi;
            ASSERT_TRUE(proj.Trans(dir, plam, pphi, z));
            ASSERT_EQ(dir == PJ_FWD ? grid->Forward(lam, phi) : grid->Inverse(lam, phi), 1);
            EXPECT_LE(Metres(lam, phi, plam, pphi), kSameArithmeticAsProj) << lon << ", " << lat;
            (lam == lon * kDeg && phi == lat * kDeg ? unchanged : shifted)++;
        }
    }
    EXPECT_GT(shifted, 100);
    EXPECT_GT(unchanged, 1000);
    // Geoid heights the same way: outside the one grid found, "@null" gives 0.
    const std::string geoid =
        Write("list.gtx", GtxBytes(kParent, [](int i, int j) { return 40.0f + i - 0.5f * j; }));
    const std::string geoidList = "@" + TempDir() + "/missing.gtx," + geoid + ",@null";
    auto heights = CZrGeoidGrid::Open(geoidList, &reason);
    ASSERT_TRUE(heights) << reason;
    ProjGrid vproj("+proj=vgridshift +multiplier=1 +grids=" + geoidList);
    ASSERT_TRUE(vproj.op);
    int zero = 0;
    for (const auto& [lon, lat] : PointsIn(0.0, 40.0, 15.0, 55.0, 1000)) {
        double lam = lon * kDeg, phi = lat * kDeg, z = 0, h = -1;
        ASSERT_TRUE(vproj.Trans(PJ_FWD, lam, phi, z));
        ASSERT_EQ(heights->HeightDeg(lon, lat, h), 1);
        EXPECT_LE(std::fabs(h - z), kSameArithmeticAsProj) << lon << ", " << lat;
        zero += h == 0.0;
    }
    EXPECT_GT(zero, 500);
    for (const std::string& refused :
         {child + "," + TempDir() + "/missing.gsb", "@" + TempDir() + "/missing.gsb,"}) {
        EXPECT_FALSE(CZrHorizontalShiftGrid::Open(refused, &reason)) << refused;
        EXPECT_NE(reason.find("missing.gsb"), std::string::npos) << reason;
    }
}
