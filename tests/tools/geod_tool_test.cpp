// zrprj geod, run as a separate process: against GeographicLib's own
// GeodSolve and Planimeter on the same input, on a projected system against
// the library, and its handling of bad lines and bad arguments.
//   GeodSolve -i -w -e a f    reads "lon1 lat1 lon2 lat2", prints "azi1 azi2 s12"
//   GeodSolve -w -e a f       reads "lon1 lat1 azi1 s12", prints "lon2 lat2 azi2"
//   Planimeter -w -e a f      reads "lon lat" vertices, a blank line between
//                             polygons; prints "count perimeter area"
#include "model/ZrPJCoordSys.h"
#include "model/ZrPJSpheroid.h"
#include "tools/ToolFixture_p.h"

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Both programs print with precision 10: 1e-10 m and 1e-15 degree. The tool
// promises agreement to a part in 1e9; lengths near zero get the floor of a
// nanometre (a nanodegree for angles), far above the printed digits.
constexpr int kPrecision = 10;
constexpr double kRelative = 1e-9;
constexpr double kNanometre = 1e-9;
constexpr double kNanodegree = 1e-9;
// The tool prints projected x/y and distances to the millimetre by default.
constexpr double kPrintedMillimetre = 0.5e-3 + 1e-9;

std::vector<double> Numbers(const std::string& line) {
    std::vector<double> values;
    std::stringstream s(line);
    double v;
    while (s >> v)
        values.push_back(v);
    return values;
}

class GeodToolTest : public ToolFixture {};

// Line by line, every number of ours within the bar of GeographicLib's.
void ExpectSameTables(const std::string& ours, const std::string& theirs, const char* what,
                      const std::vector<bool>& angular) {
    const std::vector<std::string> a = Lines(ours), b = Lines(theirs);
    ASSERT_EQ(a.size(), b.size()) << what;
    double worst = 0.0;
    for (size_t i = 0; i < a.size(); ++i) {
        const std::vector<double> x = Numbers(a[i]), y = Numbers(b[i]);
        ASSERT_EQ(x.size(), angular.size()) << what << " line " << i + 1 << ": " << a[i];
        ASSERT_EQ(y.size(), angular.size()) << what << " line " << i + 1 << ": " << b[i];
        for (size_t k = 0; k < x.size(); ++k) {
            const double floor = angular[k] ? kNanodegree : kNanometre;
            EXPECT_NEAR(x[k], y[k], std::max(floor, kRelative * std::fabs(y[k])))
                << what << " line " << i + 1 << " column " << k + 1;
            if (std::fabs(y[k]) > 1.0) worst = std::max(worst, std::fabs(x[k] - y[k]) / std::fabs(y[k]));
        }
    }
    std::printf("%s: %zu lines, largest relative difference %.3g\n", what, a.size(), worst);
}

} // namespace

TEST_F(GeodToolTest, InverseDirectAndAreaAgreeWithGeodSolveAndPlanimeter) {
    ASSERT_EQ(std::system("command -v GeodSolve > /dev/null && command -v Planimeter > /dev/null"), 0)
        << "GeographicLib's tools (geographiclib-tools, see tools/setup.sh) are the oracle here";
    // The systems' own ellipsoids, as the library holds them, are given to
    // the oracle.
    const struct {
        const char* system;
        long geographic;
    } systems[] = {{"EPSG:4326", 4326}, {"4024", 4024}}; // WGS 84; Krasovsky 1940
    for (const auto& row : systems) {
        const std::string system = row.system;
        SCOPED_TRACE(system);
        CZrPJGeoCoordSys gcs;
        ASSERT_TRUE(gcs.Set(static_cast<tagGeoCoordSysType>(row.geographic)));
        const CZrPJSpheroid spheroid = gcs.GetDatum().GetSpheroid();
        char ellipsoid[128];
        std::snprintf(ellipsoid, sizeof ellipsoid, "-e %.17g %.17g", spheroid.GetAxis(),
                      spheroid.GetFlattening());

        std::mt19937_64 random(7030);
        std::uniform_real_distribution<double> lon(-180, 180), lat(-90, 90), azi(-180, 180), dist(-2e7, 2e7),
            unit(0, 1);
        std::ostringstream pairs, starts, polygons;
        // Fixed notation: GeodSolve reads the E of an exponent as a
        // hemisphere (east), so 1.5e-05 would be another point to it.
        for (std::ostringstream* s : {&pairs, &starts, &polygons})
            *s << std::fixed << std::setprecision(12);
        for (int i = 0; i < 10000; ++i) {
            pairs << lon(random) << ' ' << lat(random) << ' ' << lon(random) << ' ' << lat(random) << '\n';
            starts << lon(random) << ' ' << lat(random) << ' ' << azi(random) << ' ' << dist(random) << '\n';
        }
        for (int i = 0; i < 100; ++i) {
            const double cx = lon(random), cy = lat(random) * 0.8,
                         r = std::pow(10.0, -2.0 + 3.0 * unit(random));
            const int n = 3 + static_cast<int>(unit(random) * 8);
            const double sense = i % 2 ? 1.0 : -1.0;
            if (i) polygons << '\n';
            for (int k = 0; k < n; ++k) {
                const double t = sense * 2 * M_PI * k / n;
                polygons << cx + r * std::cos(t) << ' ' << cy + r * std::sin(t) << '\n';
            }
        }
        Write("pairs", pairs.str());
        Write("starts", starts.str());
        Write("polygons", polygons.str());
        const std::string p = " -p " + std::to_string(kPrecision) + " ";

        const ToolRun inverse = Tool("geod inverse" + p + system + " '" + Path("pairs") + "'");
        ASSERT_EQ(inverse.exit, 0) << inverse.err;
        const ToolRun geodInverse =
            Program("GeodSolve -i -w" + p + ellipsoid + " --input-file '" + Path("pairs") + "'");
        ASSERT_EQ(geodInverse.exit, 0) << geodInverse.err;
        ExpectSameTables(inverse.out, geodInverse.out, "inverse", {true, true, false});

        const ToolRun direct = Tool("geod direct" + p + system + " '" + Path("starts") + "'");
        ASSERT_EQ(direct.exit, 0) << direct.err;
        const ToolRun geodDirect =
            Program("GeodSolve -w" + p + ellipsoid + " --input-file '" + Path("starts") + "'");
        ASSERT_EQ(geodDirect.exit, 0) << geodDirect.err;
        ExpectSameTables(direct.out, geodDirect.out, "direct", {true, true, true});

        const ToolRun area = Tool("geod area" + p + system + " '" + Path("polygons") + "'");
        ASSERT_EQ(area.exit, 0) << area.err;
        const ToolRun planimeter =
            Program("Planimeter -w" + p + ellipsoid + " --input-file '" + Path("polygons") + "'");
        ASSERT_EQ(planimeter.exit, 0) << planimeter.err;
        ExpectSameTables(area.out, planimeter.out, "area", {false, false, false});
    }
}

// Points of a projected system are unprojected by the system itself; the
// direct problem's end point is printed projected, to the millimetre.
TEST_F(GeodToolTest, ProjectedSystemPointsAreItsOwnEastingsAndNorthings) {
    CZrPJCoordSys cs; // Beijing 1954 Gauss-Krueger zone 20, Krasovsky 1940
    ASSERT_TRUE(cs.Set(static_cast<tagPJCoordSysType>(21420)));
    const CZrPJSpheroid spheroid = cs.GetGCS().GetDatum().GetSpheroid();
    const GeographicLib::Geodesic oracle(spheroid.GetAxis(), spheroid.GetFlattening());
    CPoint2D xy[2] = {{20449323.943, 4419138.275}, {20560000.0, 4300000.0}};
    CPoint2D geo[2] = {xy[0], xy[1]};
    cs.Inverse(geo, 2);
    double s12 = 0, azi1 = 0, azi2 = 0;
    oracle.Inverse(geo[0].y, geo[0].x, geo[1].y, geo[1].x, s12, azi1, azi2);

    const ToolRun inverse = Tool("geod inverse 21420", "20449323.943 4419138.275 20560000 4300000 Beijing\n");
    ASSERT_EQ(inverse.exit, 0) << inverse.err;
    const std::vector<double> got = Numbers(inverse.out);
    ASSERT_EQ(got.size(), 3u) << inverse.out;
    EXPECT_NEAR(got[0], azi1, 0.5e-8); // 3 + 5 decimals of a degree
    EXPECT_NEAR(got[1], azi2, 0.5e-8);
    EXPECT_NEAR(got[2], s12, kPrintedMillimetre);
    EXPECT_EQ(inverse.out.substr(inverse.out.size() - 9), " Beijing\n") << "the rest of the line rides along";

    char line[128];
    std::snprintf(line, sizeof line, "20449323.943 4419138.275 %.12f %.6f\n", azi1, s12);
    const ToolRun direct = Tool("geod direct 21420", line);
    ASSERT_EQ(direct.exit, 0) << direct.err;
    const std::vector<double> end = Numbers(direct.out);
    ASSERT_EQ(end.size(), 3u) << direct.out;
    // Back at the second point (the projection's round trip is far below a
    // millimetre inside the zone).
    EXPECT_NEAR(end[0], xy[1].x, 2 * kPrintedMillimetre);
    EXPECT_NEAR(end[1], xy[1].y, 2 * kPrintedMillimetre);
    EXPECT_NEAR(end[2], azi2, 1e-7);
}

// A line that cannot be read or solved gets a star for each result and a
// message naming its line; comments and blank lines pass; the rest goes on.
TEST_F(GeodToolTest, BadLinesAreNamedAndTheRestIsProcessed) {
    const ToolRun inverse = Tool("geod inverse EPSG:4326", "# Beijing to Shanghai\n"
                                                           "116.4074 39.9042 121.4737 31.2304\n"
                                                           "\n"
                                                           "116.4074 39.9042 121.4737\n"
                                                           "116.4074 95 121.4737 31.2304 past the pole\n"
                                                           "116.4074 abc 121.4737 31.2304\n"
                                                           "0 0 1 0\n");
    EXPECT_EQ(inverse.exit, 1);
    const std::vector<std::string> out = Lines(inverse.out);
    ASSERT_EQ(out.size(), 7u) << inverse.out;
    EXPECT_EQ(out[0], "# Beijing to Shanghai");
    EXPECT_EQ(out[1], "152.97423007\t155.93085168\t1065846.489");
    EXPECT_EQ(out[2], "");
    EXPECT_EQ(out[3], "*\t*\t*");
    EXPECT_EQ(out[4], "*\t*\t* past the pole");
    EXPECT_EQ(out[5].rfind("*\t*\t*", 0), 0u);
    EXPECT_EQ(out[6], "90.00000000\t90.00000000\t111319.491");
    EXPECT_NE(inverse.err.find("<stdin>:4: expected 4 numbers"), std::string::npos) << inverse.err;
    EXPECT_NE(inverse.err.find("<stdin>:5: the latitude is beyond 90 degrees"), std::string::npos);
    EXPECT_NE(inverse.err.find("<stdin>:6: \"abc\" is not a finite number"), std::string::npos);

    // A polygon with a bad vertex is refused as a whole (without the vertex
    // it would be another polygon); the next polygon is measured. A
    // clockwise square has a negative area.
    const ToolRun area =
        Tool("geod area EPSG:4326", "0 0\n1 0\n1 x\n0 1\n\n# clockwise\n0 0\n0 1\n1 1\n1 0\n");
    EXPECT_EQ(area.exit, 1);
    const std::vector<std::string> polygons = Lines(area.out);
    ASSERT_EQ(polygons.size(), 2u) << area.out;
    EXPECT_EQ(polygons[0], "*\t*\t*");
    EXPECT_EQ(polygons[1].rfind("4\t443770.917", 0), 0u) << polygons[1];
    const std::vector<double> sums = Numbers(polygons[1]);
    ASSERT_EQ(sums.size(), 3u);
    EXPECT_NEAR(sums[2], -12308778361.5, 2.0); // the catalogue's WGS 84, not quite GeodSolve's
    EXPECT_NE(area.err.find("<stdin>:3:"), std::string::npos) << area.err;

    // A polygon cut short by a line past a mebibyte is refused too, and the
    // input is not read further.
    const ToolRun cut = Tool("geod area EPSG:4326", "0 0\n1 0\n" + std::string(1 << 21, '1') + "\n0 1\n");
    EXPECT_EQ(cut.exit, 1);
    EXPECT_EQ(cut.out, "*\t*\t*\n");
    EXPECT_NE(cut.err.find("<stdin>:3: the line is longer than"), std::string::npos) << cut.err;

    // Output that cannot be written is an error, said once.
    const ToolRun full = Program("( '" + kTool + "' geod inverse EPSG:4326 > /dev/full )", "0 0 1 1\n");
    EXPECT_EQ(full.exit, 1);
    EXPECT_NE(full.err.find("could not be written"), std::string::npos) << full.err;

    // A point a projected system cannot unproject: a northing three times
    // round the meridian.
    const ToolRun folded = Tool("geod inverse 21420", "20500000 4400000 20500000 30000000\n");
    EXPECT_EQ(folded.exit, 1);
    EXPECT_EQ(folded.out, "*\t*\t*\n");
    EXPECT_NE(folded.err.find("<stdin>:1: the point lies outside"), std::string::npos) << folded.err;
}

TEST_F(GeodToolTest, BadArgumentsStopBeforeAnyInputAndTheHelpIsThere) {
    const struct {
        const char* args;
        const char* message;
    } cases[] = {
        {"geod", "inverse, direct or area is needed"},
        {"geod distance EPSG:4326", "no problem \"distance\""},
        {"geod inverse", "a coordinate system is needed"},
        {"geod inverse -p 11 EPSG:4326", "--precision"},
        {"geod inverse -p x EPSG:4326", "--precision"},
        {"geod inverse --bogus EPSG:4326", "unknown option"},
        {"geod inverse 0", "code 0"},
    };
    for (const auto& c : cases) {
        const ToolRun run = Tool(c.args, "0 0 1 1\n");
        EXPECT_EQ(run.exit, 2) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << ": " << run.err;
    }
    const ToolRun help = Tool("geod --help");
    EXPECT_EQ(help.exit, 0);
    EXPECT_EQ(help.out.rfind("usage: zrprj geod", 0), 0u) << help.out;
    EXPECT_EQ(Tool("help geod").out, help.out);
    EXPECT_NE(Tool("--help").out.find("  geod "), std::string::npos);
}
