// The zrprj command-line tool, run as a separate process on prepared input:
// numbers against the library and PROJ, the stream conventions, error
// reporting and exit codes, system arguments and files, every command's help.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "interop/ZrResolve.h"
#include "model/ZrPJCoordSys.h"
#include "model/ZrPJDatum.h"
#include "model/ZrPJSpheroid.h"
#include "persistence/ZrPrjFiles.h"
#include "platform/ZrCodePage.h"
#include "transform/ZrPJTranslator.h"

#include "support/ProjOracle.h"
#include "tools/ToolFixture_p.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Output is printed to the millimetre and to 1e-9 degree; half a unit of the
// last printed digit is the rounding, the rest is the tool's own error.
constexpr double kPrintedMillimetre = 0.5e-3 + 1e-9;
constexpr double kPrintedNanodegree = 0.5e-9 + 1e-12;
// Our projection against PROJ's, through the whole tool.
constexpr double kOracleMillimetre = 1e-3;

class ToolTest : public ToolFixture {
protected:
    // Runs a shell command line; the exit code, and in peakKiB the largest
    // resident size of the command and everything it waited for.
    static int Measured(const std::string& cmd, long& peakKiB) {
        const pid_t pid = fork();
        if (pid == 0) {
            execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        struct rusage usage = {};
        if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return -1;
        peakKiB = usage.ru_maxrss;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

// The first two columns of an output line.
bool TwoNumbers(const std::string& line, double& x, double& y) {
    return std::sscanf(line.c_str(), "%lf %lf", &x, &y) == 2;
}

CZrPJCoordSys Catalogue(long code) {
    CZrPJCoordSys cs;
    cs.Set(static_cast<tagPJCoordSysType>(code));
    return cs;
}

CZrPJParams Beijing1954ToWgs84() {
    CZrPJParams p; // EPSG transformation 15919, position vector
    p.TranslationX = 15.53;
    p.TranslationY = -113.82;
    p.TranslationZ = -41.38;
    p.RotationZ = 0.814;
    p.ScaleDifference = -0.38;
    return p;
}
const char kShiftArgs[] = "-m 9606 -t 15.53,-113.82,-41.38,0,0,0.814,-0.38";

// PROJ's own definition of an EPSG object, as text in one of its forms, and
// its coordinate operation from the object's own geographic system (or the
// operation itself, for a transformation code), longitude/latitude first in
// degrees.
class ProjEpsg {
public:
    explicit ProjEpsg(const std::string& definition) {
        m_ctx = proj_context_create();
        m_obj = proj_create(m_ctx, definition.c_str());
        if (!m_obj) return;
        PJ* op = nullptr;
        if (proj_is_crs(m_obj)) {
            PJ* geographic = proj_crs_get_geodetic_crs(m_ctx, m_obj);
            op = proj_create_crs_to_crs_from_pj(m_ctx, geographic, m_obj, nullptr, nullptr);
            proj_destroy(geographic);
        } else {
            op = proj_clone(m_ctx, m_obj);
        }
        if (op) {
            m_op = proj_normalize_for_visualization(m_ctx, op);
            proj_destroy(op);
        }
    }
    ~ProjEpsg() {
        if (m_op) proj_destroy(m_op);
        if (m_obj) proj_destroy(m_obj);
        proj_context_destroy(m_ctx);
    }
    ProjEpsg(const ProjEpsg&) = delete;
    ProjEpsg& operator=(const ProjEpsg&) = delete;

    bool ok() const { return m_op != nullptr; }
    std::string Text(PJ_WKT_TYPE type) const {
        const char* text = proj_as_wkt(m_ctx, m_obj, type, nullptr);
        return text ? text : "";
    }
    std::string ProjString() const {
        const char* text = proj_as_proj_string(m_ctx, m_obj, PJ_PROJ_5, nullptr);
        return text ? text : "";
    }
    std::string ProjJson() const {
        const char* text = proj_as_projjson(m_ctx, m_obj, nullptr);
        return text ? text : "";
    }
    bool Trans(PJ_DIRECTION direction, double& x, double& y) const {
        PJ_COORD c = proj_coord(x, y, 0, 0);
        proj_errno_reset(m_op);
        c = proj_trans(m_op, direction, c);
        x = c.v[0];
        y = c.v[1];
        return proj_errno(m_op) == 0 && std::isfinite(x) && std::isfinite(y);
    }

private:
    PJ_CONTEXT* m_ctx = nullptr;
    PJ* m_obj = nullptr;
    PJ* m_op = nullptr;
};

// Metres on the ground between two longitude/latitude points in degrees
// (a sphere of the WGS 84 semi-major axis; the tolerances are millimetres).
double GroundMetres(double lon1, double lat1, double lon2, double lat2) {
    const double k = 0.017453292519943295;
    const double sLat = std::sin(0.5 * (lat2 - lat1) * k), sLon = std::sin(0.5 * (lon2 - lon1) * k);
    const double h = sLat * sLat + std::cos(lat1 * k) * std::cos(lat2 * k) * sLon * sLon;
    return 2.0 * 6378137.0 * std::asin(std::sqrt(std::min(1.0, h)));
}

// The exchange forms and EPSG systems arrive from other parts of the
// library; until they are built, the tests of the tool's use of them skip.
bool ExchangeFormsBuilt() {
    CZrPJCoordSys cs;
    CString text;
    return ZrExportCoordSys(Catalogue(32650), ZR_CRS_TEXT_WKT2_2019, text) && ZrImportCoordSys(text, cs);
}
bool EpsgSystemsBuilt() {
    CZrPJCoordSys cs;
    return ZrEpsgDataAvailable() && ZrCoordSysFromEpsg(4326, cs);
}
bool EpsgTransformationsBuilt() {
    ZrEpsgTransformation t;
    return ZrEpsgDataAvailable() && ZrEpsgTransformationByCode(1193, t);
}

} // namespace

// ------------------------------------------------------------ numbers

TEST_F(ToolTest, ProjectAndUnprojectGiveTheLibrarysNumbersToThePrintedDigit) {
    struct Case {
        const char* system; // as given to the tool
        long code;          // the same system in the catalogue
        double lon, lat;
    };
    const Case cases[] = {
        {"32650", 32650, 116.4074, 39.9042},
        {"EPSG:32650", 32650, 119.2965, -26.0745},
        {"21420", 21420, 117.2008, 39.0842},
        {"32650", 32650, 111.5, 0.0},
        {"21420", 21420, 114.0, 53.5},
        // Also as typed without quotes, and in lower case.
        {"EPSG: 32650", 32650, 117.0, 30.0},
        {"epsg:32650", 32650, 118.0, 31.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.system);
        char input[64];
        std::snprintf(input, sizeof input, "%.10f %.10f\n", c.lon, c.lat);
        const ToolRun fwd = Tool(std::string("project ") + c.system, input);
        ASSERT_EQ(fwd.exit, 0) << fwd.err;
        double x = 0, y = 0;
        ASSERT_TRUE(TwoNumbers(fwd.out, x, y)) << fwd.out;
        CPoint2D expect(c.lon, c.lat);
        Catalogue(c.code).Forward(&expect, 1);
        EXPECT_NEAR(x, expect.x, kPrintedMillimetre);
        EXPECT_NEAR(y, expect.y, kPrintedMillimetre);

        const ToolRun inv = Tool(std::string("unproject ") + c.system, fwd.out);
        ASSERT_EQ(inv.exit, 0) << inv.err;
        double lon = 0, lat = 0;
        ASSERT_TRUE(TwoNumbers(inv.out, lon, lat)) << inv.out;
        CPoint2D back(x, y);
        Catalogue(c.code).Inverse(&back, 1);
        EXPECT_NEAR(lon, back.x, kPrintedNanodegree);
        EXPECT_NEAR(lat, back.y, kPrintedNanodegree);
    }
}

TEST_F(ToolTest, UtmThroughTheToolAgreesWithProj) {
    // PROJ's definition of WGS 84 / UTM zone 50N.
    const ProjOracle proj("+proj=utm +zone=50 +ellps=WGS84");
    ASSERT_TRUE(proj.ok());
    const double pts[][2] = {{114.0, 0.0}, {117.0, 45.0}, {120.0, 70.0}, {116.4074, 39.9042}, {119.5, -33.0}};
    std::string input;
    for (const auto& p : pts)
        input += std::to_string(p[0]) + " " + std::to_string(p[1]) + "\n";
    const ToolRun run = Tool("project EPSG:32650", input);
    ASSERT_EQ(run.exit, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 5u);
    for (size_t i = 0; i < lines.size(); ++i) {
        double x = 0, y = 0, px = 0, py = 0;
        ASSERT_TRUE(TwoNumbers(lines[i], x, y));
        ASSERT_TRUE(proj.Forward(pts[i][0], pts[i][1], px, py));
        // PROJ adds the southern false northing only for +south.
        EXPECT_NEAR(x, px, kOracleMillimetre) << lines[i];
        EXPECT_NEAR(y, py, kOracleMillimetre) << lines[i];
    }
}

TEST_F(ToolTest, ConvertFollowsTheTranslatorBothWays) {
    const CZrPJCoordSys gk = Catalogue(21420), utm = Catalogue(32650);
    CZrPJTranslator translator;
    translator.Set(gk, utm);
    translator.SetMethod(PJTM_POSITION_VECTOR);
    ASSERT_TRUE(translator.SetParams(Beijing1954ToWgs84()));

    const CPoint2D grid[] = {CPoint2D(20449323.943, 4419138.275), CPoint2D(20729817.009, 2887164.787)};
    std::string input;
    for (const CPoint2D& p : grid)
        input += std::to_string(p.x) + " " + std::to_string(p.y) + " keep\n";
    const ToolRun fwd = Tool(std::string("convert 21420 EPSG:32650 ") + kShiftArgs, input);
    ASSERT_EQ(fwd.exit, 0) << fwd.err;
    const std::vector<std::string> lines = Lines(fwd.out);
    ASSERT_EQ(lines.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        CPoint2D expect = grid[i];
        translator.Convert(&expect, 1, 1);
        double x = 0, y = 0;
        ASSERT_TRUE(TwoNumbers(lines[i], x, y));
        EXPECT_NEAR(x, expect.x, kPrintedMillimetre);
        EXPECT_NEAR(y, expect.y, kPrintedMillimetre);
        EXPECT_NE(lines[i].find(" keep"), std::string::npos);

        CPoint2D back(x, y), expectBack(x, y);
        translator.Convert(&expectBack, 1, 0);
        const ToolRun inv = Tool(std::string("convert -I 21420 32650 ") + kShiftArgs, lines[i] + "\n");
        ASSERT_EQ(inv.exit, 0) << inv.err;
        ASSERT_TRUE(TwoNumbers(inv.out, back.x, back.y));
        EXPECT_NEAR(back.x, expectBack.x, kPrintedMillimetre);
        EXPECT_NEAR(back.y, expectBack.y, kPrintedMillimetre);
    }

    // Geographic to projected on one geographic system: no shift, the
    // destination's projection alone, whatever the method says.
    const ToolRun geo = Tool("convert 4214 21420 -m 0", "117 30\n");
    ASSERT_EQ(geo.exit, 0) << geo.err;
    CPoint2D p(117.0, 30.0);
    gk.Forward(&p, 1);
    double x = 0, y = 0;
    ASSERT_TRUE(TwoNumbers(geo.out, x, y));
    EXPECT_NEAR(x, p.x, kPrintedMillimetre);
    EXPECT_NEAR(y, p.y, kPrintedMillimetre);

    // Different geographic systems need a method the translator knows.
    const ToolRun badMethod = Tool("convert 21420 32650 -m 1234", "20449323.943 4419138.275\n");
    EXPECT_EQ(badMethod.exit, 2);
    EXPECT_NE(badMethod.err.find("1234"), std::string::npos);
    EXPECT_TRUE(badMethod.out.empty());
}

TEST_F(ToolTest, NumbersAreReadAsStrtodReadsThemAndPrintedAsPrintfPrintsThem) {
    // Beijing 1954 to itself: no projection, no shift, the numbers go
    // through as read, printed with the precision asked for. The oracle is
    // the C library's own pair, strtod in the C locale and "%.*f", which the
    // tool's output has always matched digit for digit.
    const auto expected = [](const std::string& text, int decimals) {
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, std::strtod(text.c_str(), nullptr));
        const std::string printed = buffer;
        // The tool prints no sign on a zero.
        return printed.find_first_not_of("-0.") == std::string::npos && printed[0] == '-' ? printed.substr(1)
                                                                                          : printed;
    };
    // Forms strtod reads, halfway cases among them (printf rounds the binary
    // value exactly, to even at a true tie), and forms it refuses.
    const char* const numbers[] = {"+1.5",    "1e2",   "1E2",       "1.5e+1", ".5",       "5.",
                                   "-0",      "-.25",  "00012.500", "1e-310", "4.9e-324", "1e-400",
                                   "-1e-400", "-1e-9", "1.5",       "0.375",  "0.0005",   "1.0005",
                                   "2.675",   "0.5",   "2.5",       "0.125",  "1e300"};
    const char* const refused[] = {"1e400", "-1e400", "+-1", "++1",       "1e",  "e5",   ".",   "+",
                                   "0x10",  "nan",    "inf", "-infinity", "1,5", "1.5.", "1..5"};
    for (int decimals : {0, 2, 9, 17}) {
        std::string input, want;
        for (const char* text : numbers) {
            input += std::string(text) + " 45\n";
            want += expected(text, decimals) + "\t" + expected("45", decimals) + "\n";
        }
        for (const char* text : refused) {
            input += std::string(text) + " 45\n";
            want += "*\t*\n";
        }
        SCOPED_TRACE(decimals);
        const ToolRun run = Tool("convert 4214 4214 -p " + std::to_string(decimals), input);
        EXPECT_EQ(run.exit, 1);
        EXPECT_EQ(run.out, want);
    }

    // Random doubles over every magnitude, written with their 17 significant
    // digits: read back to the same double and printed to the last decimal.
    // Then numbers as survey files hold them, up to 15 digits with a point,
    // which are read by a shorter way: at 17 decimals a value near 45 shows
    // its last bit, so a reading one unit off in the last place is seen.
    std::srand(20261208);
    std::string input, want;
    for (int i = 0; i < 4000; ++i) {
        const double mantissa = static_cast<double>(std::rand()) / RAND_MAX - 0.5;
        const double lon = std::ldexp(mantissa, std::rand() % 200 - 100);
        const double lat = 90.0 * (static_cast<double>(std::rand()) / RAND_MAX * 2.0 - 1.0);
        char lonText[400], latText[32];
        if (i < 2000) {
            std::snprintf(lonText, sizeof lonText, "%.17g", lon);
            std::snprintf(latText, sizeof latText, "%.17g", lat);
        } else {
            std::snprintf(lonText, sizeof lonText, "%.*f", std::rand() % 16, lat * 1e5);
            std::snprintf(latText, sizeof latText, "%.*f", std::rand() % 15, lat);
        }
        input += std::string(lonText) + " " + latText + "\n";
        want += expected(lonText, 17) + "\t" + expected(latText, 17) + "\n";
    }
    const ToolRun run = Tool("convert 4214 4214 -p 17", input);
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.out, want);
}

// ------------------------------------------------------------ the stream

TEST_F(ToolTest, CommentsBlankLinesAndExtraColumnsPassThrough) {
    const std::string input = "# Beijing 1954 points\n"
                              "\n"
                              "  117\t0   A  12.5  # note\r\n"
                              "   # indented comment\n"
                              "117 0\n";
    const ToolRun run = Tool("project 21420", input);
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(run.out, "# Beijing 1954 points\n"
                       "\n"
                       "20500000.000\t0.000   A  12.5  # note\n"
                       "   # indented comment\n"
                       "20500000.000\t0.000\n");
    EXPECT_TRUE(run.err.empty());
}

TEST_F(ToolTest, BadLinesAreReportedWithTheirNumberAndTheRestGoesOn) {
    const std::string input = "117 30\n"
                              "abc 30 tail\n"
                              "117\n"
                              "117 nan\n"
                              "117 1e400\n"
                              "0x10 30\n"
                              "117 31\n";
    const ToolRun run = Tool("project 21420", input);
    EXPECT_EQ(run.exit, 1);
    const std::vector<std::string> out = Lines(run.out);
    ASSERT_EQ(out.size(), 7u); // one output line per input line
    EXPECT_EQ(out[1], "*\t* tail");
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(out[i].substr(0, 3), "*\t*") << out[i];
    double x = 0, y = 0;
    EXPECT_TRUE(TwoNumbers(out[0], x, y));
    EXPECT_TRUE(TwoNumbers(out[6], x, y));
    const std::vector<std::string> err = Lines(run.err);
    ASSERT_EQ(err.size(), 5u);
    const char* const where[] = {"<stdin>:2:", "<stdin>:3:", "<stdin>:4:", "<stdin>:5:", "<stdin>:6:"};
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(err[i].find(where[i]), std::string::npos) << err[i];
}

TEST_F(ToolTest, APointOutsideTheProjectionFailsAloneAndIsNamed) {
    // An orthographic view centred on Greenwich cannot show the far side.
    CZrPJGeoCoordSys wgs84;
    ASSERT_TRUE(wgs84.Set(static_cast<tagGeoCoordSysType>(4326)));
    CZrPJParams params;
    CZrPJCoordSys ortho;
    ASSERT_TRUE(ortho.Set("Ortho", wgs84, CZrPJObject(static_cast<tagPJObjectType>(43035)), params, 10000));
    ASSERT_TRUE(ZrSaveXmlProjectionFile(CString(Path("ortho.xml").c_str()), ortho));

    const ToolRun run = Tool("project '" + Path("ortho.xml") + "'", "10 10 near\n180 0 far\n-20 -30\n");
    EXPECT_EQ(run.exit, 1);
    const std::vector<std::string> out = Lines(run.out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1], "*\t* far");
    EXPECT_NE(out[0].find(" near"), std::string::npos);
    EXPECT_NE(out[2].substr(0, 1), "*");
    EXPECT_NE(run.err.find("<stdin>:2:"), std::string::npos);
    EXPECT_NE(run.err.find("outside"), std::string::npos);
}

TEST_F(ToolTest, FilesAreReadInOrderAndAMissingOneDoesNotStopTheOthers) {
    Write("a.txt", "117 30\n");
    Write("b.txt", "oops\n117 31\n");
    const ToolRun run =
        Tool("project 21420 '" + Path("a.txt") + "' '" + Path("missing.txt") + "' '" + Path("b.txt") + "' -");
    EXPECT_EQ(run.exit, 1);
    const std::vector<std::string> out = Lines(run.out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_NE(run.err.find("missing.txt"), std::string::npos);
    EXPECT_NE(run.err.find(Path("b.txt") + ":1:"), std::string::npos);

    const ToolRun precise = Tool("project -p 6 21420 '" + Path("a.txt") + "'");
    ASSERT_EQ(precise.exit, 0);
    const size_t tab = precise.out.find('\t');
    ASSERT_NE(tab, std::string::npos);
    EXPECT_EQ(precise.out.substr(tab - 7, 1), "."); // six decimals
}

TEST_F(ToolTest, PointsTheLibraryWouldClampOrFoldAreRefusedNotPrinted) {
    // The library clamps a latitude past the pole, folds a northing past it
    // and runs the TM series far outside its band; the tool checks each point
    // the other way and refuses what does not come back within 1 mm.
    struct Case {
        const char* args;
        const char* line;
        bool refused;
        const char* why; // part of the reason, for refused lines
    };
    const Case cases[] = {
        {"project 32650", "117 95", true, "beyond 90"},
        {"project 32650", "117 -90.5", true, "beyond 90"},
        {"project 32650", "117 90", false, ""}, // the pole itself is on the map
        // The far side of the exact projection, as PROJ gives it: beyond the pole.
        {"project 32650", "-63 30", false, ""},
        {"project 32650", "477 30", false, ""}, // 117 E once more round
        // Behrmann's inverse stops about 2 mm short; the forward result is right.
        {"project 54017", "10 -45", false, ""},
        // Robinson's table interpolation steps by about 0.4 m at its nodes:
        // no fold, the kind's own accuracy.
        {"project 54030", "10 15", false, ""},
        {"unproject 54001", "-20037508.342789 552885.451019", false, ""}, // the west edge
        {"unproject 32650", "500000 1e9", true, "projects elsewhere"},    // past the pole
        {"unproject 32650", "1e9 0", true, "no geographic position"},
        {"unproject 32650", "500000 4000000", false, ""},
        {"convert 32650 4326", "500000 1e9", true, "source projection"},
        {"convert 4326 32650", "-63 30", false, ""},
        {"convert 4326 32650", "117 95", true, "beyond 90"},
        {"convert 4326 32650", "117 30", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.args) + " <<< " + c.line);
        const ToolRun run = Tool(c.args, std::string(c.line) + " tail\n");
        if (!c.refused) {
            EXPECT_EQ(run.exit, 0) << run.err;
            EXPECT_TRUE(run.err.empty()) << run.err;
            continue;
        }
        EXPECT_EQ(run.exit, 1);
        EXPECT_EQ(run.out, "*\t* tail\n");
        EXPECT_NE(run.err.find("<stdin>:1: "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.why), std::string::npos) << run.err;
    }
}

TEST_F(ToolTest, UnprojectPrintsThePointThatProjectsBackWhereTheInverseStopsShort) {
    // The Albers inverse once missed its own forward by about 2.4 mm; the
    // tool must neither refuse such points nor print the miss, but the point
    // that projects back, which is PROJ's.
    CZrPJGeoCoordSys nad83;
    ASSERT_TRUE(nad83.Set(static_cast<tagGeoCoordSysType>(4269)));
    CZrPJParams p; // CONUS Albers, EPSG:5070's conversion
    p.CentralMeridian = -96.0;
    p.CentralParallel = 23.0;
    p.StandardParallel1 = 29.5;
    p.StandardParallel2 = 45.5;
    CZrPJCoordSys albers;
    ASSERT_TRUE(
        albers.Set("Conus_Albers", nad83, CZrPJObject(static_cast<tagPJObjectType>(43007)), p, 10000));
    ASSERT_TRUE(ZrSaveXmlProjectionFile(CString(Path("albers.xml").c_str()), albers));
    const ProjOracle proj("+proj=aea +lat_0=23 +lon_0=-96 +lat_1=29.5 +lat_2=45.5 +ellps=GRS80");
    ASSERT_TRUE(proj.ok());
    const double grid[][2] = {{1234567.891, 2345678.912}, {-2000000.0, 500000.0}, {500000.0, 3000000.0}};
    std::string input;
    for (const auto& g : grid)
        input += std::to_string(g[0]) + " " + std::to_string(g[1]) + "\n";
    const ToolRun run = Tool("unproject '" + Path("albers.xml") + "'", input);
    ASSERT_EQ(run.exit, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        double lon = 0, lat = 0, plon = 0, plat = 0;
        ASSERT_TRUE(TwoNumbers(lines[i], lon, lat));
        ASSERT_TRUE(proj.Inverse(grid[i][0], grid[i][1], plon, plat));
        EXPECT_LT(GroundMetres(lon, lat, plon, plat), kOracleMillimetre) << lines[i];
    }
}

// ------------------------------------------------------------ CSV

TEST_F(ToolTest, CsvRecordsKeepEveryFieldButTheCoordinatesByteForByte) {
    // Beijing 1954 Gauss-Krueger zone 20: (117, 0) is the false origin of
    // the zone, 20500000 0; Beijing itself is the help's example. A refused
    // point keeps its row with the coordinate fields empty.
    struct Case {
        const char* what;
        std::string args, input, output;
        int exit;
        std::string error; // a part of standard error
    };
    const std::string gk = "20500000.000,0.000";
    const Case cases[] = {
        {"header by name", "project 21420 --header --columns lon,lat", "name,lat,lon\nA,0,117\n",
         "name,lat,lon\nA,0.000,20500000.000\n", 0, ""},
        {"fields by number, another delimiter", "project 21420 --delimiter ';' --columns 3,1", "0;x;117\n",
         "0.000;x;20500000.000\n", 0, ""},
        {"a tab delimiter", "project 21420 --delimiter tab", "117\t0\tA B\n", "20500000.000\t0.000\tA B\n", 0,
         ""},
        {"latitude first in", "project 21420 --delimiter , --lat-first", "0,117,P\n", gk + ",P\n", 0, ""},
        {"latitude first out", "unproject 21420 --delimiter , --lat-first", "20500000,0\n",
         "0.000000000,117.000000000\n", 0, ""},
        {"quotes and commas in names", "convert 21420 4214 --header --columns x,y",
         "\"name, full\",x,y,\"note\"\n\"Beijing, \"\"old\"\" city\",20500000,0,\"a,b\"\n",
         "\"name, full\",x,y,\"note\"\n\"Beijing, \"\"old\"\" city\",117.000000000,0.000000000,\"a,b\"\n", 0,
         ""},
        {"quoted numbers and blanks around them", "project 21420 --delimiter ,", "\"117\",\" 0\"\n",
         gk + "\n", 0, ""},
        {"a quoted field over two lines; lines counted", "project 21420 --delimiter ,",
         "117,0,\"two\nlines\"\n117,95,x\n", gk + ",\"two\nlines\"\n,,x\n", 1, "<stdin>:3: latitude 95"},
        {"CRLF line ends kept, inside a field too", "project 21420 --header",
         "lon,lat,n\r\n117,0,\"a\r\nb\"\r\n117,0,c", "lon,lat,n\r\n" + gk + ",\"a\r\nb\"\r\n" + gk + ",c\r\n",
         0, ""},
        {"a height column", "project 21420 --columns 1,2,3", "117,0,12.5,x\n117,0,,y\n117,0,high,z\n",
         gk + ",12.5,x\n" + gk + ",,y\n,,,z\n", 1, "<stdin>:3: the height \"high\""},
        {"a refused point", "project 21420 --header --columns 2,3", "n,lon,lat,m\nA,117,95,n\nB,abc,0,o\n",
         "n,lon,lat,m\nA,,,n\nB,,,o\n", 1, "<stdin>:3: \"abc\" is not a finite number"},
        {"too few fields", "project 21420 --columns 1,3", "117,0\n", ",0\n", 1,
         "<stdin>:1: expected at least 3 fields, found 2"},
        {"blank lines pass, the header is the first record", "project 21420 --header", "\nlon,lat\n117,0\n",
         "\nlon,lat\n" + gk + "\n", 0, ""},
        {"a spreadsheet's byte order mark", "project 21420 --header --columns lon,lat",
         "\xEF\xBB\xBFlon,lat\n117,0\n", "\xEF\xBB\xBFlon,lat\n" + gk + "\n", 0, ""},
        {"a quote never closed", "project 21420 --delimiter ,", "117,0\n\"open,117,0\n",
         gk + "\n\"open,117,0\n", 1, "<stdin>:2: a quoted field is not closed"},
        {"a quote never closed, CRLF", "project 21420 --delimiter ,", "117,0\r\n\"open,0\r\n",
         gk + "\r\n\"open,0\r\n", 1, "<stdin>:2: a quoted field is not closed"},
        {"a name the header lacks", "project 21420 --header --columns lon,lat", "x,y\n117,0\n", "x,y\n", 1,
         "<stdin>:1: the header has no field named \"lon\""},
        {"names without a header", "project 21420 --columns lon,lat", "117,0\n", "", 2,
         "names need --header"},
        {"one column", "project 21420 --columns 1", "117,0\n", "", 2, "two or three fields"},
        {"one field twice", "project 21420 --columns 2,2", "117,0\n", "", 2, "names \"2\" twice"},
        {"a delimiter inside numbers", "project 21420 --delimiter .", "117.0\n", "", 2, "one character"},
        {"the whitespace format with latitude first", "project 21420 --lat-first", "0 117 A\n",
         "20500000.000\t0.000 A\n", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun run = Tool(c.args, c.input);
        EXPECT_EQ(run.exit, c.exit) << run.err;
        EXPECT_EQ(run.out, c.output);
        if (c.error.empty())
            EXPECT_EQ(run.err, "");
        else
            EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    }
}

TEST_F(ToolTest, ACsvRecordIsHeldToTheLineCapWhereAQuoteNeverCloses) {
    // A quote opened and never closed would make the rest of the input one
    // record; the record is cut at the cap a line has, and the file ends.
    std::string input = "117,0\n\"";
    while (input.size() < (1u << 20) + 4096)
        input += "117,0,a line a spreadsheet would hold\n";
    const ToolRun run = Tool("project 21420 --delimiter ,", input);
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(run.out, "20500000.000,0.000\n\n");
    EXPECT_NE(run.err.find("<stdin>:2: the record is longer than 1048576 bytes"), std::string::npos)
        << run.err;

    // 48 MiB of short lines after the quote: what the tool holds stays
    // within the slack the line cap allows (as for a long line), where a
    // record read whole would hold all of it.
    constexpr long kSlackKiB = 16 * 1024;
    ASSERT_EQ(std::system(("{ printf '\"'; yes 'a,b' | head -c 48M; } > '" + Path("open.csv") + "'").c_str()),
              0);
    long baseKiB = 0, peakKiB = 0;
    ASSERT_EQ(Measured("'" + kTool + "' project 21420 --header < /dev/null", baseKiB), 0);
    EXPECT_EQ(
        Measured("'" + kTool + "' project 21420 --delimiter , '" + Path("open.csv") + "' > /dev/null 2>&1",
                 peakKiB),
        1);
    EXPECT_LE(peakKiB, baseKiB + kSlackKiB);
}

TEST_F(ToolTest, ConvertKeepsPointsOnRobinsonsKnotsWhereTheForwardFolds) {
    // Robinson's published cubics do not meet at the 5-degree knots: a sliver
    // about 2 m wide there has two preimages, and the inverse of a knot's
    // image names the other one. The printed point is the forward's own, so
    // a destination on a knot is not refused.
    const ToolRun run = Tool("convert 4326 54030", "-179 -65\n");
    ASSERT_EQ(run.exit, 0) << run.err;
    CZrPJCoordSys robinson;
    ASSERT_TRUE(robinson.Set(static_cast<tagPJCoordSysType>(54030)));
    CPoint2D expected(-179.0, -65.0);
    ASSERT_EQ(robinson.GetPJOperator().Forward(expected), 1);
    double x = 0, y = 0;
    ASSERT_TRUE(TwoNumbers(Lines(run.out).at(0), x, y)) << run.out;
    EXPECT_NEAR(x, expected.x, kOracleMillimetre);
    EXPECT_NEAR(y, expected.y, kOracleMillimetre);
}

// ------------------------------------------------------------ systems

TEST_F(ToolTest, SystemFilesGiveTheSameNumbersAsTheCatalogue) {
    const ToolRun reference = Tool("project 21420", "116.4074 39.9042\n");
    ASSERT_EQ(reference.exit, 0);
    for (const char* name : {"gk20.xml", "gk20.prj", "GK20.PRJ"}) {
        SCOPED_TRACE(name);
        const ToolRun saved = Tool("info 21420 --save '" + Path(name) + "'");
        ASSERT_EQ(saved.exit, 0) << saved.err;
        const ToolRun run = Tool("project '" + Path(name) + "'", "116.4074 39.9042\n");
        ASSERT_EQ(run.exit, 0) << run.err;
        EXPECT_EQ(run.out, reference.out);
    }
    // The one-line text file is read back as a system that projects.
    ASSERT_EQ(Tool("info 21420 -o '" + Path("gk20.txt") + "'").exit, 0);
    const ToolRun text = Tool("project '" + Path("gk20.txt") + "'", "117 30\n");
    EXPECT_EQ(text.exit, 0) << text.err;
}

TEST_F(ToolTest, SystemsThatCannotBeUsedStopTheCommandWithAReason) {
    Write("empty.prj.txt", "");
    struct Case {
        std::string args;
        const char* reason;
    } cases[] = {
        {"project 99999999", "no projected or geographic"},
        {"project EPSG:1", "mapping file"},
        {"project EPSG:abc", "not an EPSG code"},
        {"project '" + Path("nothere.xml") + "'", "neither"},
        {"project '" + Path("empty.prj.txt") + "'", "cannot read"},
        {"project 4326", "not a projected system"},
        {"project", "coordinate system is needed"},
        {"convert 21420", "source and a destination"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = Tool(c.args, "117 30\n");
        EXPECT_EQ(run.exit, 2);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    }
}

TEST_F(ToolTest, AMissingMappingFileIsNamedNotTakenForAMissingEntry) {
    // The library looks for the mapping file in its own folder: a copy of the
    // tool and the library in a fresh folder has none beside it.
    const std::string dir = Path("bare");
    ASSERT_EQ(std::system(("mkdir '" + dir + "' && cp '" + kTool + "' '" + dir + "/' && cp -L '" +
                           ZRPRJ_BINARY_DIR "/libZrPrj50.so.5' '" + dir + "/'")
                              .c_str()),
              0);
    const std::string run = "env LD_LIBRARY_PATH='" + dir + "' '" + dir + "/zrprj' ";
    const std::string mapping = dir + "/CodeTransition.xml";
    for (const char* content : {static_cast<const char*>(nullptr), "not xml <", "<x/>"}) {
        SCOPED_TRACE(content ? content : "(missing)");
        if (content) Write("bare/CodeTransition.xml", content);
        const int status = std::system(
            (run + "project EPSG:32650 < /dev/null > '" + Path("out") + "' 2> '" + Path("err") + "'")
                .c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 2);
        const std::string err = Slurp(Path("err"));
        EXPECT_NE(err.find(mapping), std::string::npos) << err;
        EXPECT_EQ(err.find("has no entry"), std::string::npos) << err;
        EXPECT_NE(err.find(content ? "mapping file" : "missing"), std::string::npos) << err;
    }
    // A catalogue code still works, and info says why it shows no EPSG code.
    std::system((run + "info 32650 > '" + Path("out") + "' 2>&1").c_str());
    EXPECT_NE(Slurp(Path("out")).find("EPSG:               unknown: the mapping file"), std::string::npos);
}

TEST_F(ToolTest, SystemsWrittenByProjInEveryFormProjectAsProjDoes) {
    // A shapefile's .prj, a WKT2 file from another GIS, PROJJSON, a PROJ
    // string: each written by PROJ itself, given to the tool as a file of any
    // name and as an argument, and the tool's numbers held to PROJ's own
    // conversion of the EPSG code. Mapped codes give catalogue rows, others
    // systems built from EPSG's definition.
    if (!ExchangeFormsBuilt()) GTEST_SKIP() << "the exchange forms are not built in this library yet";
    struct Case {
        int epsg;
        double lon, lat; // inside EPSG's area of use
    };
    const Case cases[] = {
        {32650, 116.4074, 39.9042}, {2227, -121.9, 37.5}, {2154, 2.35, 48.85}, {3005, -123.4, 50.7}};
    for (const Case& c : cases) {
        const ProjEpsg proj("EPSG:" + std::to_string(c.epsg));
        ASSERT_TRUE(proj.ok()) << c.epsg;
        double px = c.lon, py = c.lat;
        ASSERT_TRUE(proj.Trans(PJ_FWD, px, py));
        struct Form {
            const char* file; // "" for the text as an argument
            std::string text;
        };
        const Form forms[] = {
            {"shape.prj", proj.Text(PJ_WKT1_ESRI)},
            {"gdal.wkt", proj.Text(PJ_WKT1_GDAL)},
            {"qgis.txt", proj.Text(PJ_WKT2_2019)},
            {"crs.json", proj.ProjJson()},
            {"crs", proj.ProjString()},
            {"", proj.ProjString()},
            {"", proj.Text(PJ_WKT1_ESRI)},
        };
        std::vector<std::string> args;
        if (EpsgSystemsBuilt()) args.push_back("EPSG:" + std::to_string(c.epsg));
        for (const Form& f : forms) {
            ASSERT_FALSE(f.text.empty());
            if (*f.file) {
                Write(f.file, f.text);
                args.push_back("'" + Path(f.file) + "'");
            } else {
                args.push_back("'" + f.text + "'");
            }
        }
        for (const std::string& arg : args) {
            SCOPED_TRACE(std::to_string(c.epsg) + " as " + arg.substr(0, 80));
            char input[64];
            std::snprintf(input, sizeof input, "%.10f %.10f\n", c.lon, c.lat);
            const ToolRun run = Tool("project " + arg, input);
            ASSERT_EQ(run.exit, 0) << run.err;
            double x = 0, y = 0;
            ASSERT_TRUE(TwoNumbers(run.out, x, y)) << run.out;
            EXPECT_NEAR(x, px, kOracleMillimetre + kPrintedMillimetre);
            EXPECT_NEAR(y, py, kOracleMillimetre + kPrintedMillimetre);
        }
    }
}

TEST_F(ToolTest, FilesAndTextsThatHoldNoSystemAreRefusedWithWhatWasExpected) {
    // The one-line text reader makes a system of any text (a garbage file
    // used to project as UTM zone 1N), so only text in its exact form goes
    // to it; everything else is refused before a point is read.
    const std::string line = Catalogue(21420).ToString().str();
    Write("g.txt", "hello\n");
    Write("binary.prj", std::string("\x7f"
                                    "ELF\x02\x01\x01\0\0\0 PROJCS[",
                                    17));
    Write("short.txt", line.substr(0, line.rfind(';'))); // eight fields
    Write("tail.txt", line + "\r\n117 30\r\n");          // more than one line
    Write("keys.prj", ZrKeyValueProjectionText(Catalogue(21420)).str() + "Zone: 20\n");
    Write("cut.prj", "PROJCS[\"WGS_1984_UTM_Zone_50N\",GEOGCS[\"GCS_WGS_1984\",DATUM[");
    struct Case {
        std::string arg;
        const char* reason;
    } cases[] = {
        {"'" + Path("g.txt") + "'", "expected WKT"},
        {"'" + Path("binary.prj") + "'", "expected WKT"},
        {"'" + Path("short.txt") + "'", "expected WKT"},
        {"'" + Path("tail.txt") + "'", "expected WKT"},
        {"'" + Path("keys.prj") + "'", "expected WKT"},
        {"'" + Path("cut.prj") + "'", "cannot read a coordinate system"},
        {"hello", "neither a catalogue code"},
        {"'PROJCS[\"x\",GEOGCS['", "cannot read a coordinate system from the text"},
        {"'+proj=nosuchthing +ellps=WGS84'", "cannot read a coordinate system from the text"},
        {"EPSG:", "not an EPSG code"},
        {"'EPSG: 12x'", "not an EPSG code"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arg);
        const ToolRun run = Tool("project " + c.arg, "117 30\n");
        EXPECT_EQ(run.exit, 2);
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    }
    // The library's own forms are told by content, not by the file's name.
    ASSERT_EQ(Tool("info 21420 --kv -o '" + Path("kv.txt") + "'").exit, 0);
    ASSERT_EQ(Tool("info 21420 -f xml -o '" + Path("gk.dat") + "'").exit, 0);
    ASSERT_EQ(Tool("info 21420 -f text -o '" + Path("gk.prj") + "'").exit, 0);
    const ToolRun reference = Tool("project 21420", "117 30\n");
    for (const char* name : {"kv.txt", "gk.dat", "gk.prj"}) {
        SCOPED_TRACE(name);
        const ToolRun run = Tool("project '" + Path(name) + "'", "117 30\n");
        EXPECT_EQ(run.exit, 0) << run.err;
        EXPECT_EQ(run.out, reference.out);
    }
}

TEST_F(ToolTest, InfoPrintsEachExchangeFormAsTheLibraryWritesIt) {
    if (!ExchangeFormsBuilt()) GTEST_SKIP() << "the exchange forms are not built in this library yet";
    const CZrPJCoordSys utm = Catalogue(32650);
    const struct {
        const char* name;
        tagZrCrsTextFormat format;
    } forms[] = {{"esri", ZR_CRS_TEXT_ESRI_WKT1},
                 {"wkt1", ZR_CRS_TEXT_WKT1_GDAL},
                 {"wkt2", ZR_CRS_TEXT_WKT2_2019},
                 {"proj", ZR_CRS_TEXT_PROJ_STRING},
                 {"projjson", ZR_CRS_TEXT_PROJJSON}};
    for (const auto& f : forms) {
        SCOPED_TRACE(f.name);
        CString text;
        ASSERT_TRUE(ZrExportCoordSys(utm, f.format, text));
        const ToolRun run = Tool(std::string("info 32650 --format ") + f.name);
        EXPECT_EQ(run.exit, 0) << run.err;
        EXPECT_EQ(run.out, text.str() + (text.str().back() == '\n' ? "" : "\n"));
    }
    CString wkt2;
    ASSERT_TRUE(ZrExportCoordSys(utm, ZR_CRS_TEXT_WKT2_2019, wkt2));
    EXPECT_NE(Tool("info 32650").out.find("WKT2 form:\n" + wkt2.str()), std::string::npos);
    // A shapefile's .prj holds the ESRI text alone.
    ASSERT_EQ(Tool("info 32650 --format esri -o '" + Path("roads.prj") + "'").exit, 0);
    CString esri;
    ASSERT_TRUE(ZrExportCoordSys(utm, ZR_CRS_TEXT_ESRI_WKT1, esri));
    EXPECT_EQ(Slurp(Path("roads.prj")) + "\n", Tool("info 32650 -f esri").out);
    EXPECT_EQ(Tool("info 32650 --format shapefile").exit, 2);

    // A planar system is described and written, but projects nothing.
    const std::string local = "'LOCAL_CS[\"Site grid\",LOCAL_DATUM[\"Site\",0],UNIT[\"metre\",1]]'";
    const ToolRun planar = Tool("info " + local + " -f wkt2");
    EXPECT_EQ(planar.exit, 0) << planar.err;
    EXPECT_EQ(planar.out.rfind("ENGCRS[", 0), 0u) << planar.out;
    const ToolRun project = Tool("project " + local, "1 2\n");
    EXPECT_EQ(project.exit, 2);
    EXPECT_NE(project.err.find("planar"), std::string::npos) << project.err;
}

TEST_F(ToolTest, EpsgTransformationsAgreeWithProjApplyingTheSameOperation) {
    // PROJ's definition of each EPSG transformation (its code as an
    // operation), against the tool converting with --transformation, both
    // ways; 3 mm on the ground.
    if (!EpsgTransformationsBuilt())
        GTEST_SKIP() << "EPSG transformations are not available in this library yet (ZrEpsgDataAvailable "
                     << ZrEpsgDataAvailable() << ")";
    constexpr double kAgreementMetres = 3e-3;
    struct Case {
        int code, source, target;
        double points[3][2]; // longitude, latitude inside the area of use
    };
    const Case cases[] = {
        {1193, 4275, 4326, {{2.35, 48.85}, {-1.5, 43.5}, {7.5, 48.5}}},     // geocentric translation
        {1314, 4277, 4326, {{-0.13, 51.5}, {-3.2, 55.95}, {-5.5, 50.1}}},   // position vector
        {1254, 4284, 4326, {{37.6, 55.75}, {82.9, 55.0}, {131.9, 43.1}}},   // geocentric translation
        {5044, 4284, 4326, {{37.6, 55.75}, {60.6, 56.8}, {104.3, 52.3}}},   // coordinate frame
        {15919, 4214, 4326, {{120.0, 35.0}, {122.5, 33.0}, {124.0, 37.0}}}, // position vector
    };
    for (const Case& c : cases) {
        const ProjEpsg proj("urn:ogc:def:coordinateOperation:EPSG::" + std::to_string(c.code));
        ASSERT_TRUE(proj.ok()) << c.code;
        std::string input;
        for (const auto& p : c.points)
            input += std::to_string(p[0]) + " " + std::to_string(p[1]) + "\n";
        for (const bool reversed : {false, true}) {
            SCOPED_TRACE(std::to_string(c.code) + (reversed ? " reversed" : ""));
            const int from = reversed ? c.target : c.source, to = reversed ? c.source : c.target;
            const ToolRun run = Tool("convert EPSG:" + std::to_string(from) + " EPSG:" + std::to_string(to) +
                                         " --transformation EPSG:" + std::to_string(c.code),
                                     input);
            ASSERT_EQ(run.exit, 0) << run.err;
            const std::vector<std::string> lines = Lines(run.out);
            ASSERT_EQ(lines.size(), 3u);
            for (size_t i = 0; i < 3; ++i) {
                double lon = c.points[i][0], lat = c.points[i][1], x = 0, y = 0;
                ASSERT_TRUE(proj.Trans(reversed ? PJ_INV : PJ_FWD, lon, lat));
                ASSERT_TRUE(TwoNumbers(lines[i], x, y));
                EXPECT_LT(GroundMetres(x, y, lon, lat), kAgreementMetres) << lines[i];
            }
        }
    }

    // EPSG defines no transformation by Molodensky's formulas that PROJ's
    // database holds; the method itself is held to PROJ's molodensky with
    // 1193's translations between the two ellipsoids of the systems.
    CZrPJGeoCoordSys ntfGcs, wgsGcs;
    ASSERT_TRUE(ntfGcs.Set(static_cast<tagGeoCoordSysType>(4275)));
    ASSERT_TRUE(wgsGcs.Set(static_cast<tagGeoCoordSysType>(4326)));
    const CZrPJSpheroid from = ntfGcs.GetDatum().GetSpheroid(), to = wgsGcs.GetDatum().GetSpheroid();
    char definition[512];
    std::snprintf(definition, sizeof definition,
                  "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step +proj=molodensky "
                  "+a=%.6f +rf=%.12f +dx=-168 +dy=-60 +dz=320 +da=%.6f +df=%.17g +step +proj=unitconvert "
                  "+xy_in=rad +xy_out=deg",
                  from.GetAxis(), 1.0 / from.GetFlattening(), to.GetAxis() - from.GetAxis(),
                  to.GetFlattening() - from.GetFlattening());
    const ProjOracle molodensky(definition);
    ASSERT_TRUE(molodensky.ok()) << definition;
    const ToolRun run = Tool("convert 4275 4326 -m 9604 -t -168,-60,320,0,0,0,0", "2.35 48.85\n-1.5 43.5\n");
    ASSERT_EQ(run.exit, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u);
    const double points[2][2] = {{2.35, 48.85}, {-1.5, 43.5}};
    for (size_t i = 0; i < 2; ++i) {
        PJ_COORD p = proj_coord(points[i][0], points[i][1], 0, 0);
        ASSERT_TRUE(molodensky.Trans(PJ_FWD, p));
        double x = 0, y = 0;
        ASSERT_TRUE(TwoNumbers(lines[i], x, y));
        EXPECT_LT(GroundMetres(x, y, p.v[0], p.v[1]), kAgreementMetres) << lines[i];
    }
}

TEST_F(ToolTest, TransformationsListsEpsgCandidatesBestFirstAndMarksReversedOnes) {
    if (!EpsgTransformationsBuilt())
        GTEST_SKIP() << "EPSG transformations are not available in this library yet";
    // Helmert and grid-based ones alike, in PROJ's order.
    std::vector<ZrOperationListing> best;
    const int count = ZrListOperations(4275, 4326, best);
    ASSERT_GT(count, 1);
    const ToolRun run = Tool("transformations EPSG:4275 EPSG:4326");
    ASSERT_EQ(run.exit, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), static_cast<size_t>(count));
    EXPECT_EQ(lines[0].rfind("EPSG:" + std::to_string(best[0].code) + "\t", 0), 0u) << lines[0];
    EXPECT_NE(run.out.find("EPSG:1193\tNTF to WGS 84 (1)\t"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("EPSG:15960\tInverse of WGS 84 to NTF (3)\tNTv2 (9615)"), std::string::npos)
        << run.out;
    const ToolRun back = Tool("transformations 4326 4275");
    ASSERT_EQ(back.exit, 0) << back.err;
    EXPECT_NE(back.out.find("EPSG:1193\tInverse of NTF to WGS 84 (1)\t"), std::string::npos) << back.out;
    EXPECT_EQ(Tool("transformations 32650 4326").exit, 1); // one geographic system, nothing to shift
    // Between geocentric systems, EPSG's Helmert stated between them, not the geographic one.
    const ToolRun geocentric = Tool("transformations EPSG:4936 EPSG:4978");
    ASSERT_EQ(geocentric.exit, 0) << geocentric.err;
    EXPECT_EQ(geocentric.out.rfind("EPSG:9225\tInverse of WGS 84 to ETRS89 (2)\t", 0), 0u) << geocentric.out;

    // A transformation that does not join the two systems is refused before
    // a point is read, and so is one given with the method's own options.
    for (const char* args : {"convert EPSG:4275 EPSG:4326 -T EPSG:1314", "convert 4326 32650 -T 1193",
                             "convert EPSG:4275 EPSG:4326 -T 1193 -m 9603", "convert 4275 4326 -T EPSG:x"}) {
        SCOPED_TRACE(args);
        const ToolRun refused = Tool(args, "2.35 48.85\n");
        EXPECT_EQ(refused.exit, 2);
        EXPECT_TRUE(refused.out.empty());
    }
}

// EPSG's affine transformations between two projected systems: listed alone
// for that pair and applied by convert on the grid coordinates, as cs2cs
// applies them (its figures below, from the same points).
TEST_F(ToolTest, AffineBetweenProjectedSystemsAsCs2cs) {
    constexpr double kMillimetre = 1e-3;
    const ToolRun listed = Tool("transformations EPSG:24200 EPSG:24100");
    ASSERT_EQ(listed.exit, 0) << listed.err;
    ASSERT_EQ(Lines(listed.out).size(), 1u) << listed.out;
    EXPECT_EQ(listed.out.rfind("EPSG:10087\tInverse of Jamaica 1875 / Jamaica (Old Grid) to JAD69", 0), 0u)
        << listed.out;
    EXPECT_NE(listed.out.find("affine parametric (9624)"), std::string::npos) << listed.out;
    const struct {
        const char* args;
        double x, y;   // in the source system's unit
        double cx, cy; // cs2cs
    } cases[] = {
        {"convert EPSG:24100 EPSG:24200", 550000, 420000, 250000.83527,
         156096.47940}, // Clarke's feet to metres
        {"convert EPSG:24200 EPSG:24100", 250000, 150000, 549998.27133, 399998.05757}, // and back
        {"convert -T EPSG:15861 EPSG:3367 EPSG:32628", 400000, 2000000, 399716.57674, 2000274.20095},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = Tool(c.args, std::to_string(c.x) + " " + std::to_string(c.y) + "\n");
        ASSERT_EQ(run.exit, 0) << run.err;
        double x = 0, y = 0;
        ASSERT_TRUE(TwoNumbers(run.out, x, y)) << run.out;
        EXPECT_NEAR(x, c.cx, kMillimetre);
        EXPECT_NEAR(y, c.cy, kMillimetre);
    }
}

// ------------------------------------------------------------ info and list

TEST_F(ToolTest, InfoPrintsTheFormsAndTheEpsgCode) {
    const CZrPJCoordSys gk = Catalogue(21420);
    const ToolRun all = Tool("info 21420");
    ASSERT_EQ(all.exit, 0) << all.err;
    for (const char* part : {"EPSG:               21420", "Text form:", "XML form:", "Key-value form:",
                             "Gauss_Kruger (43005)", "Krasovsky_1940 (7024)"})
        EXPECT_NE(all.out.find(part), std::string::npos) << part;
    EXPECT_NE(all.out.find(gk.ToString().str()), std::string::npos);

    EXPECT_EQ(Tool("info --text 21420").out, gk.ToString().str() + "\n");
    EXPECT_EQ(Tool("info 21420 --xml").out, gk.ToXML(ZRPRJ_XML_VERSION).str() + "\n");
    EXPECT_EQ(Tool("info 21420 --kv").out, ZrKeyValueProjectionText(gk).str());
    EXPECT_EQ(Tool("info EPSG:32650 --epsg").out, "32650\n");
    // A geographic system reports the EPSG code of its geographic system.
    const ToolRun geo = Tool("info 4214 --epsg");
    EXPECT_EQ(geo.exit, 0);
    EXPECT_EQ(geo.out, "4214\n");
    EXPECT_EQ(Tool("info 21420 --xml --kv").exit, 2);
}

TEST_F(ToolTest, ListFiltersEveryCatalogueByName) {
    const ToolRun run = Tool("list beijing_1954_gk_zone_2");
    ASSERT_EQ(run.exit, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_FALSE(lines.empty());
    bool zone20 = false;
    for (const std::string& line : lines) {
        EXPECT_NE(line.find("Beijing_1954_GK_Zone_2"), std::string::npos) << line;
        zone20 = zone20 || line == "21420\tBeijing_1954_GK_Zone_20";
    }
    EXPECT_TRUE(zone20);

    EXPECT_EQ(Tool("list 32650").out, "32650\tWGS_1984_UTM_Zone_50N\n");
    EXPECT_EQ(Tool("list -c spheroid 7024").out, "7024\tKrasovsky_1940\n");
    const ToolRun everything = Tool("list --catalogue=all krasovsky");
    ASSERT_EQ(everything.exit, 0);
    EXPECT_NE(everything.out.find("spheroid\t7024\tKrasovsky_1940"), std::string::npos);
    // Every projection kind of the catalogue; "No Projection" is no kind to list.
    EXPECT_EQ(Lines(Tool("list -c kind").out).size(),
              static_cast<size_t>(CZrPJObject::GetCatalogueCount() - 1));
    EXPECT_EQ(Tool("list no-such-name").exit, 1);
    // Code 3048 is the international foot; EPSG's State Plane definitions use
    // the US survey foot, so the tool says which foot it means.
    const char kFoot[] = "Foot (international, 0.3048 m)";
    EXPECT_EQ(Tool("list 26729").out,
              std::string("26729\tNAD_1927_StatePlane_Alabama_East_FIPS_0101\t") + kFoot + "\n");
    EXPECT_NE(Tool("info 26729").out.find(std::string("Units:              ") + kFoot + " (3048)"),
              std::string::npos);
    EXPECT_EQ(Tool("list -c planets").exit, 2);
}

// ------------------------------------------------------------ help and the rest

TEST_F(ToolTest, EveryCommandHasHelpAndMistakesPointToIt) {
    for (const char* command :
         {"project", "unproject", "convert", "transformations", "info", "list", "search", "sample", "demo"}) {
        SCOPED_TRACE(command);
        const ToolRun help = Tool(std::string(command) + " --help");
        EXPECT_EQ(help.exit, 0);
        EXPECT_EQ(help.out.rfind(std::string("usage: zrprj ") + command, 0), 0u) << help.out;
        EXPECT_EQ(Tool(std::string("help ") + command).out, help.out);
    }
    const ToolRun overview = Tool("--help");
    EXPECT_EQ(overview.exit, 0);
    EXPECT_NE(overview.out.find("Exit codes"), std::string::npos);

    const ToolRun unknown = Tool("reproject 1 2");
    EXPECT_EQ(unknown.exit, 2);
    EXPECT_NE(unknown.err.find("--help"), std::string::npos);
    const ToolRun option = Tool("project --bogus 21420");
    EXPECT_EQ(option.exit, 2);
    EXPECT_NE(option.err.find("--bogus"), std::string::npos);
    EXPECT_EQ(Tool("project -p 99 21420", "117 30\n").exit, 2);
}

TEST_F(ToolTest, SampleWritesAPngOrSaysItIsNotAvailable) {
    const ToolRun run = Tool("sample 21420 '" + Path("gk.png") + "' --size 200x150");
    if (run.exit == 3) {
        EXPECT_NE(run.err.find("not available"), std::string::npos);
        EXPECT_TRUE(Slurp(Path("gk.png")).empty());
        return;
    }
    ASSERT_EQ(run.exit, 0) << run.err;
    const std::string png = Slurp(Path("gk.png"));
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST_F(ToolTest, DemoRunsTheBuiltInExampleWithoutInput) {
    const ToolRun run = Tool("demo");
    ASSERT_EQ(run.exit, 0) << run.err;
    for (const char* city : {"Beijing", "Tianjin", "Jinan", "Hefei", "Nanjing", "Fuzhou"})
        EXPECT_NE(run.out.find(city), std::string::npos) << city;
    EXPECT_NE(run.out.find("WGS_1984_UTM_Zone_50N (32650)"), std::string::npos);
}

// ------------------------------------------------------------ lost output, bounded input

TEST_F(ToolTest, OutputThatCannotBeWrittenIsAnErrorWithAMessage) {
    // /dev/full refuses every write as a full disk does. Standard output is
    // buffered, so a short output is lost only at the final flush, a long
    // one in the middle of the stream; a file the tool writes itself is lost
    // at its close.
    std::string points;
    for (int i = 0; i < 50000; ++i)
        points += "117 30.5\n";
    Write("points.txt", points);
    struct Case {
        std::string args;
        const char* reason;
    } cases[] = {
        {"project 21420 '" + Path("points.txt") + "'", "the output could not be written"},
        {"info 21420", "the output could not be written"},
        {"list", "the output could not be written"},
        {"list -c spheroid clarke", "the output could not be written"},
        {"help", "the output could not be written"},
        {"demo", "the output could not be written"},
        {"info 21420 -f esri -o /dev/full", "cannot write \"/dev/full\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const int status = std::system(
            ("'" + kTool + "' " + c.args + " < /dev/null > /dev/full 2> '" + Path("err") + "'").c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
        const std::string err = Slurp(Path("err"));
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        EXPECT_EQ(Lines(err).size(), 1u) << err; // said once, not once per lost line
    }

    // A folder given as a points file opens but cannot be read: named, and
    // the files after it still go through.
    Write("a.txt", "117 30\n");
    const ToolRun run = Tool("project 21420 '" + m_dir + "' '" + Path("a.txt") + "'");
    EXPECT_EQ(run.exit, 1);
    EXPECT_EQ(Lines(run.out).size(), 1u);
    EXPECT_NE(run.err.find(m_dir + ":1: cannot read the input"), std::string::npos) << run.err;
}

TEST_F(ToolTest, OversizedInputIsRefusedBeforeItIsHeldInMemory) {
    // Sparse files: gigabytes of zero bytes that take no room on disk. A
    // system file is refused by its size before it is read; a points line is
    // cut off at its cap (a mebibyte) whether or not it ever ends. Either
    // way the tool stays within a few copies of the line cap of what it
    // takes to start: the slack below.
    constexpr long kSlackKiB = 16 * 1024;
    ASSERT_EQ(std::system(
                  ("truncate -s 2G '" + Path("big.prj") + "' && truncate -s 64M '" + Path("zeros.txt") + "'")
                      .c_str()),
              0);
    long baseKiB = 0;
    ASSERT_EQ(Measured("'" + kTool + "' project 21420 < /dev/null", baseKiB), 0);
    struct Case {
        std::string args;
        int exit;
        std::string reason;
    } cases[] = {
        {"info '" + Path("big.prj") + "'", 2, "2147483648 bytes long, more than the 4194304"},
        {"project 21420 '" + Path("zeros.txt") + "'", 1, Path("zeros.txt") + ":1: the line is longer"},
        {"project 21420 - < '" + Path("zeros.txt") + "'", 1, "<stdin>:1: the line is longer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        long peakKiB = 0;
        const int exit = Measured(
            "'" + kTool + "' " + c.args + " > '" + Path("out") + "' 2> '" + Path("err") + "'", peakKiB);
        EXPECT_EQ(exit, c.exit);
        EXPECT_NE(Slurp(Path("err")).find(c.reason), std::string::npos) << Slurp(Path("err"));
        EXPECT_LE(peakKiB, baseKiB + kSlackKiB);
    }
    EXPECT_EQ(Slurp(Path("out")), "*\t*\n"); // the line cut off, nothing read after it

    // Within the cap a long line is a line: its extra columns ride along whole.
    const std::string attribute(512 * 1024, 'a');
    const ToolRun run = Tool("project 21420", "117 30 " + attribute + "\n117 31\n");
    EXPECT_EQ(run.exit, 0) << run.err;
    const std::vector<std::string> out = Lines(run.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].substr(out[0].size() - attribute.size() - 1), " " + attribute);
}

// ------------------------------------------------------------ messages

TEST_F(ToolTest, TextThatIsASystemIsReadAsTypedEvenWhenAFileHasItsName) {
    // Files in the current folder named as the typed texts, holding Gauss-
    // Krueger zone 20: the typed text is the system meant.
    ASSERT_EQ(Tool("info 21420 -f text -o '" + Path("gk20.txt") + "'").exit, 0);
    const std::string gk = Slurp(Path("gk20.txt"));
    const char* const texts[] = {"+proj=utm +zone=50 +datum=WGS84", "proj=utm zone=50 datum=WGS84"};
    for (const char* text : texts)
        Write(text, gk);
    // The same zone from a text no file is named as (a PROJ string keeps
    // WGS 84's own figures, where the catalogue's row 32650 rounds them: 0.2 mm).
    const ToolRun utm = Tool("project '+proj=utm +zone=50 +ellps=WGS84'", "117 30\n");
    const ToolRun gaussKrueger = Tool("project 21420", "117 30\n");
    ASSERT_EQ(utm.exit, 0);
    ASSERT_NE(utm.out, gaussKrueger.out);
    struct Case {
        std::string arg;
        const ToolRun& expected;
    } cases[] = {
        {std::string("'") + texts[0] + "'", utm},
        {std::string("'") + texts[1] + "'", utm},
        {"gk20.txt", gaussKrueger}, // any other argument is still a path
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arg);
        const int status = std::system(
            ("cd '" + m_dir + "' && echo 117 30 | '" + kTool + "' project " + c.arg + " > out 2> err")
                .c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << Slurp(Path("err"));
        EXPECT_EQ(Slurp(Path("out")), c.expected.out);
    }
}

TEST_F(ToolTest, MessagesShowWhatTheyEchoWholeAndPrintable) {
    // An input line holding a NUL, an argument of bytes that are no UTF-8
    // and a control character, and one that is good UTF-8; a point 1e308
    // metres out, whose miss is written in a dozen characters, not three
    // hundred digits.
    struct Case {
        std::string args, input;
        int exit;
        const char* shown;
    } cases[] = {
        {"project 21420", std::string("1\0 2 x\n", 7), 1, "<stdin>:1: \"1\\x00\" is not a finite number"},
        {"project '\xFF\xFE\x01x'", "", 2, "\"\\xFF\\xFE\\x01x\" is neither"},
        {"project 'Z\xC3\xBCrich'", "", 2, "\"Z\xC3\xBCrich\" is neither"},
        {"unproject 32650", "0 1e308\n", 1, "(1e+305 km away)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = Tool(c.args, c.input);
        EXPECT_EQ(run.exit, c.exit);
        EXPECT_NE(run.err.find(c.shown), std::string::npos) << run.err;
        EXPECT_LT(run.err.size(), 200u) << run.err;
        EXPECT_TRUE(CZrCodePage::IsValidUtf8(run.err)) << run.err;
        for (char ch : run.err)
            EXPECT_TRUE(ch == '\n' || static_cast<unsigned char>(ch) >= 0x20) << run.err;
    }
}

TEST_F(ToolTest, EpsgCodesTheMappingFilePairsWithADatumAreNotTakenForCatalogueSystems) {
    // The mapping file pairs EPSG's datum codes with the catalogue's datums;
    // EPSG gives some of those numbers to projected systems (Colombia's urban
    // grids, Michigan's), which are built from EPSG's definition. The others
    // are refused for what they are, not as a missing catalogue system.
    if (!EpsgSystemsBuilt()) GTEST_SKIP() << "the EPSG systems are not built in this library yet";
    struct Case {
        int epsg;
        const char* shown; // in the output when built, else in the refusal
        bool built;
    } cases[] = {
        {6244, "MAGNA-SIRGAS / Arauca urban grid", true},
        {6201, "NAD27 / Michigan Central", true},
        {6001, "the mapping file pairs EPSG:6001 with the datum", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.epsg);
        ASSERT_NE(CZrPJTranslator().EPSG2Orvanta(c.epsg), -1000); // the pairing this is about
        const ToolRun run = Tool("info EPSG:" + std::to_string(c.epsg));
        EXPECT_EQ(run.exit, c.built ? 0 : 2) << run.err;
        EXPECT_NE((c.built ? run.out : run.err).find(c.shown), std::string::npos) << run.out << run.err;
        EXPECT_EQ(run.err.find("catalogue system has the code"), std::string::npos) << run.err;
    }
}

// With no operation named, convert takes the best one for each point as PROJ
// does, and says once which it applied; where the datums differ and nothing
// is known it refuses and says what it knows, unless --ballpark.
TEST_F(ToolTest, ConvertChoosesTheBestOperationAndNamesIt) {
    if (!EpsgTransformationsBuilt())
        GTEST_SKIP() << "EPSG transformations are not available in this library yet";
    const ToolRun beta = Tool("convert EPSG:4314 EPSG:4258", "10 50\n10.5 50.5\n");
    ASSERT_EQ(beta.exit, 0) << beta.err;
    EXPECT_EQ(Lines(beta.out).size(), 2u);
    // Named once, however many points took it.
    const size_t at = beta.err.find("EPSG:15948 DHDN to ETRS89 (8) (accuracy 0.9 m)");
    EXPECT_NE(at, std::string::npos) << beta.err;
    EXPECT_EQ(beta.err.find("EPSG:15948", at + 1), std::string::npos) << beta.err;

    const ToolRun refused = Tool("convert EPSG:4267 EPSG:4272", "-100 40\n");
    EXPECT_EQ(refused.exit, 2);
    EXPECT_TRUE(refused.out.empty());
    EXPECT_NE(refused.err.find("--ballpark"), std::string::npos) << refused.err;
    const ToolRun ballpark = Tool("convert EPSG:4267 EPSG:4272 --ballpark -p 6", "-100 40\n");
    ASSERT_EQ(ballpark.exit, 0) << ballpark.err;
    EXPECT_EQ(ballpark.out, "-100.000000\t40.000000\n");
}

// Ellipsoidal heights of a geographic 3D system become heights of a
// vertical system by its geoid grid, as cs2cs EPSG:4979 EPSG:4326+5773
// turns them into EGM96 heights; a vertical system whose grid is missing is
// refused naming the grid.
TEST_F(ToolTest, ConvertTurnsEllipsoidalHeightsIntoGeoidHeights) {
    if (!EpsgTransformationsBuilt())
        GTEST_SKIP() << "EPSG transformations are not available in this library yet";
    // Heights to a tenth of a millimetre: the grid's bilinear value, as PROJ's.
    constexpr double kHeightMetres = 1e-4;
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* raw = proj_create_crs_to_crs(ctx, "EPSG:4979", "EPSG:4326+5773", nullptr);
    PJ* op = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
    if (raw) proj_destroy(raw);
    ASSERT_NE(op, nullptr);
    const double points[][3] = {{10, 50, 100}, {-70.5, -33.4, 520}, {139.7, 35.7, 40}, {0, 0, 0}};
    std::string input;
    for (const auto& p : points)
        input += std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]) + " x\n";
    for (const bool inverse : {false, true}) {
        SCOPED_TRACE(inverse ? "back" : "forward");
        // The same numbers read as EGM96 heights going back.
        const ToolRun run =
            Tool(std::string("convert EPSG:4979 EPSG:4326+5773") + (inverse ? " -I" : ""), input);
        ASSERT_EQ(run.exit, 0) << run.err;
        EXPECT_NE(run.err.find("EPSG:10084"), std::string::npos) << run.err;
        const std::vector<std::string> lines = Lines(run.out);
        ASSERT_EQ(lines.size(), 4u);
        for (size_t i = 0; i < 4; ++i) {
            const PJ_COORD theirs = proj_trans(op, inverse ? PJ_INV : PJ_FWD,
                                               proj_coord(points[i][0], points[i][1], points[i][2], 0));
            double lon = 0, lat = 0, h = 0;
            ASSERT_EQ(std::sscanf(lines[i].c_str(), "%lf %lf %lf", &lon, &lat, &h), 3) << lines[i];
            EXPECT_NEAR(h, theirs.xyz.z, kHeightMetres) << lines[i];
            EXPECT_NE(lines[i].find(" x"), std::string::npos);
        }
    }
    proj_destroy(op);
    proj_context_destroy(ctx);

    // EGM2008 heights need a grid Debian's proj-data does not ship.
    const ToolRun missing = Tool("convert EPSG:4979 EPSG:4326+3855", "10 50 100\n");
    EXPECT_EQ(missing.exit, 2);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("egm08_25"), std::string::npos) << missing.err;
}

// Geocentric systems and epochs: convert reads x y z and an optional epoch
// (fourth column, or --epoch for every point) as cs2cs does, and agrees with
// PROJ's crs-to-crs operation given the epoch as t, within PROJ's tenth of a
// millimetre, both ways. Geocentric X, Y, Z are compared in metres; the
// rest horizontally on the ground and in height.
TEST_F(ToolTest, ConvertGeocentricAndEpochPointsAsCs2csDoes) {
    if (!EpsgTransformationsBuilt())
        GTEST_SKIP() << "EPSG transformations are not available in this library yet";
    constexpr double kAgreeMetres = 1e-4;
    constexpr double kMetresPerDegree = 111320.0;
    const struct {
        const char *from, *to, *extra;
        double p[3], epoch; // the point in the source system; epoch 0: none
        bool xyzFrom, xyzTo, epochColumn;
    } rows[] = {
        {"EPSG:4979", "EPSG:4978", "", {10, 50, 250}, 0, false, true, false},
        {"EPSG:4979", "EPSG:4978", "", {-75.5, -89.9, -30}, 0, false, true, false},
        {"EPSG:4936", "EPSG:4937", "", {4045614.66, 713351.02, 4862980.55}, 0, true, false, false},
        // ETRS89 to WGS 84 (1), all zeros: PROJ keeps longitude, latitude and
        // height (a no-op), and so must the step, not re-cast them from GRS 80
        // to WGS 84 through the geocentric frame (0.11 mm in Z).
        {"EPSG:4258", "EPSG:4978", "", {10, 50, 100}, 0, false, true, false},
        // ITRF2014 -> ETRF2000 (8405, time-dependent), epoch in the column.
        {"EPSG:7789", "EPSG:7930", "", {4045614.66, 713351.02, 4862980.55}, 2024.5, true, true, true},
        // The same by --epoch, and in geographic 3D.
        {"EPSG:7789",
         "EPSG:7930",
         "--epoch 2011.25 ",
         {4045614.66, 713351.02, 4862980.55},
         2011.25,
         true,
         true,
         false},
        {"EPSG:7912", "EPSG:7931", "", {10, 50, 250}, 2030.0, false, false, true},
        // ITRF2014 -> GDA2020 (8049, time-dependent coordinate frame).
        {"EPSG:7789", "EPSG:7842", "", {-4646000.0, 2553000.0, -3534000.0}, 2021.0, true, true, true},
    };
    PJ_CONTEXT* ctx = proj_context_create();
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.from) + " -> " + r.to);
        PJ* raw = proj_create_crs_to_crs(ctx, r.from, r.to, nullptr);
        PJ* op = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
        if (raw) proj_destroy(raw);
        ASSERT_NE(op, nullptr);
        const PJ_COORD there = proj_trans(op, PJ_FWD, proj_coord(r.p[0], r.p[1], r.p[2], r.epoch));
        for (const bool inverse : {false, true}) {
            const double* in = inverse ? there.v : r.p;
            const PJ_COORD expect = inverse ? proj_coord(r.p[0], r.p[1], r.p[2], 0) : there;
            char line[160];
            std::snprintf(line, sizeof line, "%.10f %.10f %.6f", in[0], in[1], in[2]);
            std::string input = line;
            if (r.epochColumn) input += " " + std::to_string(r.epoch);
            const ToolRun run =
                Tool(std::string("convert -p 10 ") + r.extra + r.from + " " + r.to + (inverse ? " -I" : ""),
                     input + "\n");
            ASSERT_EQ(run.exit, 0) << run.err;
            double x = 0, y = 0, z = 0;
            ASSERT_EQ(std::sscanf(run.out.c_str(), "%lf %lf %lf", &x, &y, &z), 3) << run.out;
            const bool xyz = inverse ? r.xyzFrom : r.xyzTo;
            if (xyz) {
                EXPECT_LE(std::hypot(std::hypot(x - expect.xyz.x, y - expect.xyz.y), z - expect.xyz.z),
                          kAgreeMetres)
                    << run.out;
            } else {
                const double dx = (x - expect.xyz.x) * std::cos(expect.xyz.y * M_PI / 180);
                EXPECT_LE(std::hypot(dx, y - expect.xyz.y) * kMetresPerDegree, kAgreeMetres) << run.out;
                EXPECT_NEAR(z, expect.xyz.z, kAgreeMetres) << run.out;
            }
            if (r.epochColumn) EXPECT_NE(run.out.find(std::to_string(r.epoch)), std::string::npos);
        }
        proj_destroy(op);
    }
    proj_context_destroy(ctx);
    // A geocentric point needs three numbers (a geographic one is on the
    // ellipsoid without its height, as cs2cs takes it); an epoch that is no
    // year is refused.
    const ToolRun flat = Tool("convert -p 4 EPSG:4326 EPSG:4978", "0 0\n");
    EXPECT_EQ(flat.out, "6378137.0000\t0.0000\t0.0000\n") << flat.err;
    const ToolRun two = Tool("convert EPSG:4978 EPSG:4979", "1 2\n");
    EXPECT_NE(two.exit, 0);
    EXPECT_NE(two.err.find("three numbers"), std::string::npos) << two.err;
    EXPECT_EQ(Tool("convert --epoch soon EPSG:7789 EPSG:7930", "1 2 3\n").exit, 2);
}

// Projected points in EPSG's order where cs2cs gives it: the south-west
// Krovak systems southing first (PROJ's AXIS["southing (X)",south] then
// AXIS["westing (Y)",west], kept by its visualisation order), the east-north
// one easting first; read back in the same order.
TEST_F(ToolTest, ProjectedPointsComeInEpsgsOrderAsCs2csGivesThem) {
    const struct {
        const char *command, *geographic, *projected;
    } rows[] = {{"convert EPSG:4326 EPSG:5513", "EPSG:4326", "EPSG:5513"},
                {"project EPSG:5513", "EPSG:4156", "EPSG:5513"},
                {"convert EPSG:8351 EPSG:8352", "EPSG:8351", "EPSG:8352"},
                {"convert EPSG:4326 EPSG:5514", "EPSG:4326", "EPSG:5514"}};
    const double lon = 15.0, lat = 50.0;
    PJ_CONTEXT* ctx = proj_context_create();
    for (const auto& r : rows) {
        SCOPED_TRACE(r.command);
        PJ* raw = proj_create_crs_to_crs(ctx, r.geographic, r.projected, nullptr);
        PJ* op = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
        if (raw) proj_destroy(raw);
        ASSERT_NE(op, nullptr);
        const PJ_COORD expect = proj_trans(op, PJ_FWD, proj_coord(lon, lat, 0, 0));
        proj_destroy(op);
        const ToolRun there = Tool(r.command, "15 50\n");
        double x = 0, y = 0;
        ASSERT_EQ(there.exit, 0) << there.err;
        ASSERT_TRUE(TwoNumbers(there.out, x, y)) << there.out;
        EXPECT_NEAR(x, expect.xy.x, kOracleMillimetre);
        EXPECT_NEAR(y, expect.xy.y, kOracleMillimetre);
        const ToolRun back = Tool(std::string(r.command) + " -I -p 9", there.out);
        ASSERT_EQ(back.exit, 0) << back.err;
        ASSERT_TRUE(TwoNumbers(back.out, x, y)) << back.out;
        EXPECT_NEAR(x, lon, 1e-7);
        EXPECT_NEAR(y, lat, 1e-7);
    }
    proj_context_destroy(ctx);
}

// A geographic system and a projected one on its datum, reached by two routes
// (the catalogue's row for the first, EPSG's definition for the second), are
// one datum: PROJ converts them with no datum operation, and so must the tool
// and the library's own choice. The tool refused them as different datums;
// the library's choice shifted by a zero Helmert between the catalogue's
// rounded Bessel flattening and EPSG's, 1.1 mm off at 15E 50N. Systems on
// datums EPSG does not join are still refused.
TEST_F(ToolTest, OneDatumReachedByTwoRoutesIsNotShifted) {
    // Both sides hold PROJ's definitions; what is left is arithmetic.
    constexpr double kSameDefinitionMetres = 1e-4;
    const struct {
        const char *geographic, *projected;
        double lon, lat;
        bool oneDatum;
    } rows[] = {{"EPSG:4156", "EPSG:5513", 15.0, 50.0, true},
                {"EPSG:4156", "EPSG:5514", 19.0, 48.5, true},
                // The catalogue's Clarke 1858 axis, from feet, is 6 mm short of EPSG's.
                {"EPSG:4302", "EPSG:30200", -61.3, 10.5, true},
                // MGI (Ferro): longitudes from Ferro, which the catalogue rounds by 3.7 cm.
                {"EPSG:4805", "EPSG:31252", 31.0, 47.5, true},
                // JGD2000 plane systems built from EPSG's definition on the
                // catalogue's datum, which bears ESRI's name (D_JAPAN_2000).
                {"EPSG:4612", "EPSG:2445", 132.2, 35.0, true},
                {"EPSG:4612", "EPSG:2447", 134.3, 35.0, true},
                {"EPSG:4612", "EPSG:2449", 137.2, 36.0, true},
                {"EPSG:4612", "EPSG:2451", 139.8, 35.7, true},
                {"EPSG:4612", "EPSG:2452", 140.8, 39.0, true},
                // Bern 1938: Bessel 1841 too, but another datum, which EPSG joins to nothing.
                {"EPSG:4306", "EPSG:5513", 15.0, 50.0, false}};
    PJ_CONTEXT* ctx = proj_context_create();
    for (const auto& r : rows) {
        const std::string command = std::string("convert -p 6 ") + r.geographic + " " + r.projected;
        SCOPED_TRACE(command);
        char point[64];
        std::snprintf(point, sizeof point, "%.9f %.9f\n", r.lon, r.lat);
        const ToolRun there = Tool(command, point);
        CZrPJCoordSys src, dst;
        ASSERT_TRUE(ZrResolveCoordSys(r.geographic, src));
        ASSERT_TRUE(ZrResolveCoordSys(r.projected, dst));
        CZrPJTranslator t;
        std::string why;
        if (!r.oneDatum) {
            EXPECT_EQ(there.exit, 2);
            EXPECT_NE(there.err.find("different datums"), std::string::npos) << there.err;
            EXPECT_FALSE(ZrChooseOperation(src, dst, t, nullptr, &why));
            continue;
        }
        PJ* raw = proj_create_crs_to_crs(ctx, r.geographic, r.projected, nullptr);
        PJ* op = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
        if (raw) proj_destroy(raw);
        ASSERT_NE(op, nullptr);
        const PJ_COORD expect = proj_trans(op, PJ_FWD, proj_coord(r.lon, r.lat, 0, 0));
        proj_destroy(op);
        double x = 0, y = 0;
        ASSERT_EQ(there.exit, 0) << there.err;
        ASSERT_TRUE(TwoNumbers(there.out, x, y)) << there.out;
        EXPECT_NEAR(x, expect.xy.x, kSameDefinitionMetres);
        EXPECT_NEAR(y, expect.xy.y, kSameDefinitionMetres);

        // The library's choice, which the C interface and the bindings take.
        ASSERT_TRUE(ZrChooseOperation(src, dst, t, nullptr, &why)) << why;
        CPoint2D p(r.lon, r.lat);
        ASSERT_TRUE(t.Convert(&p, 1, 1));
        if (ZrEpsgOrderSwapsXY(dst)) std::swap(p.x, p.y);
        EXPECT_NEAR(p.x, expect.xy.x, kSameDefinitionMetres);
        EXPECT_NEAR(p.y, expect.xy.y, kSameDefinitionMetres);
    }
    proj_context_destroy(ctx);
}

// A geoid operation named by --transformation is taken where the default
// path would apply it (it was refused: "no datum to shift"), with the same
// heights.
TEST_F(ToolTest, ConvertTakesANamedGeoidOperation) {
    if (!EpsgTransformationsBuilt())
        GTEST_SKIP() << "EPSG transformations are not available in this library yet";
    const ToolRun byDefault = Tool("convert EPSG:4979 EPSG:4326+5773", "10 50 100\n");
    const ToolRun named = Tool("convert --transformation EPSG:10084 EPSG:4979 EPSG:4326+5773", "10 50 100\n");
    ASSERT_EQ(byDefault.exit, 0) << byDefault.err;
    ASSERT_EQ(named.exit, 0) << named.err;
    EXPECT_EQ(named.out, byDefault.out);
    EXPECT_NE(named.err.find("EPSG:10084"), std::string::npos) << named.err;
}
