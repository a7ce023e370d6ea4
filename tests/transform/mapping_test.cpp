// The EPSG code mapping: lookups in a mapping file, the file found beside the
// library whatever the current folder, and the shipped file regenerated from
// the EPSG dataset.
#include "tools/catalogue_dump.h"
#include "transform/ZrPJTranslator.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {
constexpr int kNotFound = -1000;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Entry(const char* orvanta, const char* epsg) {
    return std::string("<oml:CodeTransition><oml:OrvantaCode>") + orvanta +
           "</oml:OrvantaCode><oml:EPSGCode>" + epsg + "</oml:EPSGCode></oml:CodeTransition>\n";
}

// Points the translator at a mapping file of its own for one test.
class MappingFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = CZrPJTranslator::m_strEpsgName;
        char name[] = "/tmp/zrprj_mapping_XXXXXX";
        const int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        close(fd);
        m_path = name;
    }
    void TearDown() override {
        std::remove(m_path.c_str());
        CZrPJTranslator::m_strEpsgName = m_saved.c_str();
    }
    void Write(const std::string& body) {
        std::ofstream(m_path, std::ios::binary) << "<?xml version=\"1.0\"?>\n<oml:Root>\n"
                                                << body << "</oml:Root>\n";
        CZrPJTranslator::m_strEpsgName = m_path.c_str();
    }
    CString m_saved;
    std::string m_path;
};
} // namespace

TEST_F(MappingFile, LookupsCompareCodesExactlyAndTakeTheFirstEntry) {
    Write(Entry("32650", "32650") + Entry("32786", "2443") + Entry("32787", "02444") +
          Entry("32788", " 2445") + Entry("4214", "4214") + Entry("99999", "4214") + Entry("4214", "1") +
          Entry("-1", "-5") + "<oml:CodeTransition><oml:EPSGCode>7777</oml:EPSGCode></oml:CodeTransition>\n");
    const CZrPJTranslator t; // never set up: the lookups use nothing of it
    struct Case {
        int epsg, orvanta;
    };
    for (const Case& c : {Case{32650, 32650}, Case{2443, 32786}, Case{4214, 4214}, Case{-5, -1}}) {
        EXPECT_EQ(t.EPSG2Orvanta(c.epsg), c.orvanta) << c.epsg;
        EXPECT_EQ(t.Orvanta2EPSG(c.orvanta), c.epsg) << c.orvanta;
    }
    // A leading zero or blank in the file is no match; nor is an entry
    // without the catalogue code.
    EXPECT_EQ(t.EPSG2Orvanta(2444), kNotFound);
    EXPECT_EQ(t.EPSG2Orvanta(2445), kNotFound);
    EXPECT_EQ(t.Orvanta2EPSG(32787), 2444);
    EXPECT_EQ(t.EPSG2Orvanta(7777), kNotFound);
    EXPECT_EQ(t.Orvanta2EPSG(12345), kNotFound);
    // The file is read afresh on every lookup.
    Write(Entry("1", "2"));
    EXPECT_EQ(t.Orvanta2EPSG(32650), kNotFound);
    EXPECT_EQ(t.Orvanta2EPSG(1), 2);
}

TEST_F(MappingFile, MissingOrBrokenFilesFindNothing) {
    const CZrPJTranslator t;
    CZrPJTranslator::m_strEpsgName = "/nonexistent/CodeTransition.xml";
    EXPECT_EQ(t.EPSG2Orvanta(4326), kNotFound);
    EXPECT_EQ(t.Orvanta2EPSG(4326), kNotFound);
    CZrPJTranslator::m_strEpsgName = "";
    EXPECT_EQ(t.Orvanta2EPSG(4326), kNotFound);
    Write("");
    EXPECT_EQ(t.EPSG2Orvanta(4326), kNotFound);
    std::ofstream(m_path, std::ios::binary) << "<oml:Root><oml:CodeTransition><oml:OrvantaCode>4326</oml:Orv";
    EXPECT_EQ(t.Orvanta2EPSG(4326), kNotFound);
}

TEST(ShippedMappingTest, FoundBesideTheLibraryFromAnyFolder) {
    const std::string path = CZrPJTranslator::m_strEpsgName.c_str();
    ASSERT_EQ(path, std::string(ZRPRJ_BINARY_DIR) + "/CodeTransition.xml");
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir("/"), 0);
    const CZrPJTranslator t;
    struct Case {
        int orvanta, epsg;
    };
    // UTM, a geographic system, the Japanese plane rectangular zones (whose
    // catalogue codes are EPSG codes of other systems) and their JGD2000 twins;
    // a row printing EPSG's scale factor rounded (British National Grid), a
    // row on a second catalogue system of one EPSG system (Carthage in
    // degrees), a datum on the Paris meridian, an ESRI-numbered geographic
    // system and its datum.
    for (const Case& c :
         {Case{32650, 32650}, Case{4214, 4214}, Case{32761, 30161}, Case{32769, 30169}, Case{32786, 2443},
          Case{32800, 2456}, Case{37301, 4612}, Case{4807, 4807}, Case{27700, 27700}, Case{22332, 22332},
          Case{6902, 6902}, Case{37204, 4658}, Case{39204, 6658}}) {
        EXPECT_EQ(t.Orvanta2EPSG(c.orvanta), c.epsg) << c.orvanta;
        EXPECT_EQ(t.EPSG2Orvanta(c.epsg), c.orvanta) << c.epsg;
    }
    EXPECT_EQ(chdir(cwd), 0);
}

TEST(ShippedMappingTest, RegeneratedFromTheEpsgDatasetIsIdentical) {
    const char* database = "/usr/share/proj/proj.db";
    if (access(database, R_OK) != 0) GTEST_SKIP() << "no EPSG dataset at " << database;
    if (std::system("python3 -c 'import sqlite3' > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "no python3 with sqlite3";
    const std::string dump = "/tmp/zrprj_catalogue_" + std::to_string(getpid()) + ".txt";
    const std::string out = "/tmp/zrprj_mapping_" + std::to_string(getpid()) + ".xml";
    std::FILE* f = std::fopen(dump.c_str(), "w");
    ASSERT_NE(f, nullptr);
    ZrWriteCatalogueDump(f);
    std::fclose(f);
    const std::string command = std::string("python3 ") + ZRPRJ_SOURCE_DIR +
                                "/tools/gen_codetransition.py --catalogue " + dump + " --database " +
                                database + " --output " + out;
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string regenerated = ReadAll(out);
    const std::string shipped = ReadAll(std::string(ZRPRJ_SOURCE_DIR) + "/transform/CodeTransition.xml");
    std::remove(dump.c_str());
    std::remove(out.c_str());
    EXPECT_FALSE(shipped.empty());
    EXPECT_TRUE(regenerated == shipped) << "transform/CodeTransition.xml is out of date: regenerate it with "
                                           "tools/gen_codetransition.py";
}
