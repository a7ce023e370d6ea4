// zrprj transformations over a copy of the tool and the library whose EPSG
// data file is missing or damaged: the user learns that, and where the file
// was looked for, rather than that EPSG joins the two systems by nothing.
#include "tools/ToolFixture_p.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(ToolEpsgData, AMissingOrDamagedDataFileIsNamedNotTakenForNoTransformation) {
    const std::string& tool = kTool;
    if (access(tool.c_str(), X_OK) != 0) GTEST_SKIP() << tool << " is not built";
    char pattern[] = "/tmp/zrprj_epsg_tool_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    // The library looks for its data files in its own folder.
    fs::copy_file(tool, dir + "/zrprj");
    fs::copy_file(fs::canonical(ZRPRJ_BINARY_DIR "/libZrPrj50.so.5"), dir + "/libZrPrj50.so.5");
    fs::copy_file(ZRPRJ_BINARY_DIR "/CodeTransition.xml", dir + "/CodeTransition.xml");
    const std::string good = Slurp(ZRPRJ_BINARY_DIR "/EpsgData.txt");
    ASSERT_FALSE(good.empty());
    const std::string data = dir + "/EpsgData.txt";
    struct Case {
        const char* name;
        bool present;
        std::string bytes;
        int exit;
        const char* says;
    };
    const Case cases[] = {
        {"missing", false, "", 1, "is missing"},
        {"cut short at a line end", true, good.substr(0, good.find('\n', good.size() / 2) + 1), 1,
         "is damaged"},
        {"whole", true, good, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(data);
        if (c.present) std::ofstream(data, std::ios::binary) << c.bytes;
        // OSGB36 to WGS 84: EPSG lists several.
        const int status = std::system(("env LD_LIBRARY_PATH='" + dir + "' '" + dir +
                                        "/zrprj' transformations EPSG:4277 EPSG:4326 > '" + dir +
                                        "/out' 2> '" + dir + "/err'")
                                           .c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.exit);
        const std::string err = Slurp(dir + "/err");
        if (c.exit == 0) {
            EXPECT_NE(Slurp(dir + "/out").find("EPSG:1314"), std::string::npos);
            continue;
        }
        EXPECT_NE(err.find("\"" + data + "\""), std::string::npos) << err;
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
        EXPECT_EQ(err.find("EPSG lists no transformation"), std::string::npos) << err;
    }
    fs::remove_all(dir);
}
