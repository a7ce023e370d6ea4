// zrprj search, zrprj info's area of use and JSON description, and the
// tool's English under an English locale.
#include "tools/ToolFixture_p.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

class SearchInfoTest : public ToolFixture {};

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', at);
        fields.push_back(line.substr(at, tab - at));
        if (tab == std::string::npos) return fields;
        at = tab + 1;
    }
}

bool Ascii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

// The names a GIS user types, each with the system meant among the first
// three lines, its code first on the line.
TEST_F(SearchInfoTest, SearchFindsWhatUsersTypeInTheFirstThreeLines) {
    struct Case {
        const char* args; // shell-quoted
        const char* code;
        const char* kind; // the third column
    };
    const Case cases[] = {
        {"'Lambert 93'", "EPSG:2154", "projected"},
        {"Lambert 93", "EPSG:2154", "projected"}, // unquoted words are one query
        {"Pseudo-Mercator", "EPSG:3857", "projected"},
        {"'Web Mercator'", "EPSG:3857", "projected"},
        {"'British National Grid'", "EPSG:27700", "projected"},
        {"'LAEA Europe'", "EPSG:3035", "projected"},
        {"'ETRS89-extended / LAEA Europe'", "EPSG:3035", "projected"},
        {"'Beijing 1954 / Gauss-Kruger zone 20'", "EPSG:21420", "projected"},
        {"'GK zone 20'", "EPSG:21420", "projected"},
        {"EPSG:4490", "EPSG:4490", "geographic"},
        {"4490", "EPSG:4490", "geographic"},
        {"'北京54 高斯 20带'", "EPSG:21420", "projected"},
        {"CGCS2000 --kind geographic", "EPSG:4490", "geographic"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun run = Tool(std::string("search ") + c.args);
        ASSERT_EQ(run.exit, 0) << run.err;
        const std::vector<std::string> lines = Lines(run.out);
        ASSERT_FALSE(lines.empty());
        bool found = false;
        for (std::size_t i = 0; i < lines.size() && i < 3; ++i) {
            const std::vector<std::string> f = Fields(lines[i]);
            ASSERT_EQ(f.size(), 5u) << lines[i];
            if (f[0] == c.code) {
                found = true;
                EXPECT_EQ(f[2], c.kind);
            }
        }
        EXPECT_TRUE(found) << run.out;
    }
}

TEST_F(SearchInfoTest, SearchShowsNamesAndAreaAndKeepsToItsOptions) {
    const ToolRun grid = Tool("search 'British National Grid' -n 1");
    ASSERT_EQ(grid.exit, 0) << grid.err;
    ASSERT_EQ(Lines(grid.out).size(), 1u);
    const std::vector<std::string> f = Fields(Lines(grid.out)[0]);
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f[0], "EPSG:27700");
    EXPECT_EQ(f[1], "OSGB36 / British National Grid");
    EXPECT_EQ(f[3].rfind("UK - Britain and UKCS", 0), 0u) << f[3];
    EXPECT_NE(f[3].find("(S 49.75, W -9.00, N 61.01, E 2.01)"), std::string::npos) << f[3];
    // The catalogue's row and its name, then EPSG's and ESRI's names.
    EXPECT_EQ(f[4].rfind("catalogue 27700 British_National_Grid; ", 0), 0u) << f[4];
    EXPECT_NE(f[4].find("OSGB 1936 / British National Grid"), std::string::npos);

    EXPECT_EQ(Lines(Tool("search zone --limit 7").out).size(), 7u);
    const ToolRun built = Tool("search 'LAEA Europe' --built -n 50");
    EXPECT_EQ(built.out.find("not built"), std::string::npos);
    const ToolRun geographic = Tool("search Beijing -k geographic -n 0");
    ASSERT_EQ(geographic.exit, 0);
    for (const std::string& line : Lines(geographic.out))
        EXPECT_EQ(Fields(line)[2], "geographic") << line;

    const ToolRun nothing = Tool("search qqqzzz");
    EXPECT_EQ(nothing.exit, 1);
    EXPECT_NE(nothing.err.find("nothing matches \"qqqzzz\""), std::string::npos);
    EXPECT_EQ(Tool("search").exit, 2);
    EXPECT_EQ(Tool("search x --kind planets").exit, 2);
    EXPECT_EQ(Tool("search x --limit -3").exit, 2);
}

// The JSON description: every member present, in a fixed order, values as
// the library has them, areas of use as EPSG gives them.
TEST_F(SearchInfoTest, InfoJsonDescribesTheSystemInAFixedShape) {
    constexpr double kBoxDegrees = 1e-9; // EPSG's boxes are decimal degrees, read back exactly
    const std::vector<std::string> kMembers = {"name",  "kind",        "codes",          "geographic_system",
                                               "datum", "ellipsoid",   "prime_meridian", "projection",
                                               "unit",  "area_of_use", "aliases",        "texts"};
    struct Case {
        const char* system;
        const char* kind;
        long epsg, catalogue, esri; // 0: null
        double south, west, north, east;
        const char* parameter; // a projection parameter and its value
        double value;
    };
    const Case cases[] = {
        {"EPSG:2154", "projected", 2154, 0, 0, 41.15, -9.86, 51.56, 10.38, "standard_parallel_1", 49.0},
        {"21420", "projected", 21420, 21420, 0, 22.14, 114.0, 51.52, 120.0, "false_easting", 20500000.0},
        {"4326", "geographic", 4326, 4326, 0, -90, -180, 90, 180, nullptr, 0},
        {"EPSG:4490", "geographic", 4490, 0, 0, 16.7, 73.62, 53.56, 134.77, nullptr, 0},
        {"54030", "projected", 0, 54030, 54030, -90, -180, 90, 180, "central_meridian", 0.0},
    };
    auto code = [](const nlohmann::ordered_json& v) { return v.is_null() ? 0L : v.get<long>(); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.system);
        const ToolRun run = Tool(std::string("info ") + c.system + " --format json");
        ASSERT_EQ(run.exit, 0) << run.err;
        const nlohmann::ordered_json j = nlohmann::ordered_json::parse(run.out, nullptr, false);
        ASSERT_FALSE(j.is_discarded()) << run.out;
        std::vector<std::string> members;
        for (auto it = j.begin(); it != j.end(); ++it)
            members.push_back(it.key());
        EXPECT_EQ(members, kMembers);
        EXPECT_EQ(j["kind"], c.kind);
        EXPECT_EQ(code(j["codes"]["epsg"]), c.epsg);
        EXPECT_EQ(code(j["codes"]["catalogue"]), c.catalogue);
        EXPECT_EQ(code(j["codes"]["esri"]), c.esri);
        const auto& area = j["area_of_use"];
        ASSERT_TRUE(area.is_object());
        EXPECT_NEAR(area["south"].get<double>(), c.south, kBoxDegrees);
        EXPECT_NEAR(area["west"].get<double>(), c.west, kBoxDegrees);
        EXPECT_NEAR(area["north"].get<double>(), c.north, kBoxDegrees);
        EXPECT_NEAR(area["east"].get<double>(), c.east, kBoxDegrees);
        if (c.parameter) {
            EXPECT_EQ(j["projection"]["parameters"][c.parameter].get<double>(), c.value);
            EXPECT_EQ(j["unit"]["metres"].get<double>(), 1.0);
        } else {
            EXPECT_TRUE(j["projection"].is_null());
        }
        EXPECT_TRUE(j["texts"]["proj"].is_string());
        EXPECT_EQ(j["texts"]["text"].get<std::string>() + "\n",
                  Tool(std::string("info --text ") + c.system).out);
        // The summary says the same area in words.
        const ToolRun summary = Tool(std::string("info ") + c.system);
        EXPECT_NE(summary.out.find("Area of use:        " + area["name"].get<std::string>() + " (S "),
                  std::string::npos);
    }
    // A user-defined system: no catalogue code, no area, every member still there.
    const ToolRun planar = Tool("info '+proj=longlat +ellps=GRS80' -f json");
    ASSERT_EQ(planar.exit, 0) << planar.err;
    const nlohmann::ordered_json user = nlohmann::ordered_json::parse(planar.out, nullptr, false);
    ASSERT_FALSE(user.is_discarded());
    EXPECT_TRUE(user["codes"]["catalogue"].is_null());
    EXPECT_TRUE(user["area_of_use"].is_null());
    EXPECT_EQ(user["ellipsoid"]["semi_major_axis"].get<double>(), 6378137.0);
    // Saved to a file as printed.
    ASSERT_EQ(Tool("info 21420 -f json -o '" + Path("gk.json") + "'").exit, 0);
    EXPECT_EQ(Slurp(Path("gk.json")) + "\n", Tool("info 21420 -f json").out);
}

// Under an English (or C) locale the tool speaks English: its messages and
// the names it shows hold no Chinese, while the stored forms keep the
// library's names as they are. Under a Chinese locale the names stay whole.
TEST_F(SearchInfoTest, EnglishLocalesShowNoChineseInMessagesOrNames) {
    const char* commands[] = {
        "info 4326",
        "info EPSG:4490",
        "info 4326 -f json",
        "project 4326",
        "info no-such-system",
        "convert 4326 EPSG:3035",
        "search qqqzzz",
        "search --help",
        "--help",
        "list -c geographic wgs",
    };
    for (const char* locale : {"C", "en_US.UTF-8"}) {
        for (const char* command : commands) {
            SCOPED_TRACE(std::string(locale) + ": " + command);
            const ToolRun run = Program(
                "LANG=" + std::string(locale) + " LC_ALL= LC_MESSAGES= '" + kTool + "' " + command, "1 2\n");
            EXPECT_TRUE(Ascii(run.err)) << run.err;
            // What the tool shows, not the stored forms after the summary.
            std::string shown = run.out.substr(0, run.out.find("\nText form:"));
            const std::size_t texts = shown.find("\"texts\"");
            if (texts != std::string::npos) shown.resize(texts);
            EXPECT_TRUE(Ascii(shown)) << shown;
        }
    }
    const ToolRun chinese = Program("LANG=zh_CN.UTF-8 LC_ALL= LC_MESSAGES= '" + kTool + "' info 4326");
    EXPECT_EQ(chinese.out.rfind("Name:               经纬坐标系---GCS_WGS_1984\n", 0), 0u) << chinese.out;
    const ToolRun english = Program("LANG=C LC_ALL= '" + kTool + "' info 4326");
    EXPECT_EQ(english.out.rfind("Name:               GCS_WGS_1984\n", 0), 0u) << english.out;
}

// A long run shows its progress on a terminal and nowhere else: past a
// million points, standard error as a file holds nothing, and on a terminal
// (a pseudo-terminal from script(1)) the line is drawn in place and wiped.
TEST_F(SearchInfoTest, ProgressGoesToATerminalOnlyAndIsWipedAtTheEnd) {
    constexpr int kPoints = 1100000; // past the million at which a slow run starts showing it
    {
        std::ofstream points(Path("points.txt"), std::ios::binary);
        for (int i = 0; i < kPoints; ++i)
            points << "117 30\n";
    }
    const ToolRun file = Tool("project 21420 '" + Path("points.txt") + "'");
    ASSERT_EQ(file.exit, 0) << file.err;
    EXPECT_EQ(file.err, "");
    EXPECT_EQ(Lines(file.out).size(), static_cast<std::size_t>(kPoints));

    if (std::system("command -v script > /dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1)";
    const ToolRun terminal = Program("script -qec \"'" + kTool + "' project 21420 '" + Path("points.txt") +
                                     "' > '" + Path("out.txt") + "'\" '" + Path("typescript") + "'");
    ASSERT_EQ(terminal.exit, 0) << terminal.err;
    const std::string screen = Slurp(Path("typescript"));
    const std::size_t drawn = screen.find("\rzrprj project: ");
    ASSERT_NE(drawn, std::string::npos) << screen.substr(0, 400);
    EXPECT_NE(screen.find(" points, ", drawn), std::string::npos);
    // The last thing written: blanks over the line, the cursor back at its start.
    const std::size_t last = screen.rfind('\r');
    ASSERT_NE(last, std::string::npos);
    const std::size_t wipe = screen.rfind('\r', last - 1);
    EXPECT_EQ(screen.substr(wipe + 1, last - wipe - 1).find_first_not_of(' '), std::string::npos);
    EXPECT_EQ(Slurp(Path("out.txt")), file.out);
}

} // namespace
