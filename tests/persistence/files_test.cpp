#include "PersistFixtures_p.h"

#include "dialog/ZrSheetCoordSysSetting.h"
#include "persistence/ZrPrjFiles.h"
#include "persistence/prj_files_p.h"
#include "transform/ZrPJTranslator.h"
#include "platform/ui/ZrFileDialog.h"
#include "platform/ui/ZrHeadlessBackend.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>

namespace fs = std::filesystem;
using namespace persist_test;

namespace {

// The same names in UTF-8 and in the code pages of the files.
const char kBeijingUtf8[] = "\xE5\x8C\x97\xE4\xBA\xAC";
const char kBeijingGb2312[] = "\xB1\xB1\xBE\xA9";
const char kTokyoUtf8[] = "\xE6\x9D\xB1\xE4\xBA\xAC";
const char kTokyoShiftJis[] = "\x93\x8C\x8B\x9E";
const char kHangulUtf8[] = "\xED\x95\x9C"; // in neither code page

class ProjectionFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zrprj-persist-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        CZrHeadlessBackend::Default().Reset();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    CString PathOf(const char* name) const { return CString((m_dir / name).string()); }
    static void WriteBytes(const char* path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string ReadBytes(const char* path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

    fs::path m_dir;
};

// The host's legacy code page for the life of the object.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) {
        const char* old = std::getenv("LC_ALL");
        m_had = old != nullptr;
        if (old) m_old = old;
        setenv("LC_ALL", name, 1);
    }
    ~ScopedLocale() {
        if (m_had)
            setenv("LC_ALL", m_old.c_str(), 1);
        else
            unsetenv("LC_ALL");
    }

private:
    bool m_had;
    std::string m_old;
};

CZrPJCoordSys Named(CZrPJCoordSys cs, const char* name) {
    CZrPJGeoCoordSys gcs = cs.GetGCS();
    CZrPJObject kind = cs.GetProjection();
    cs.Set(name, gcs, kind, cs.GetParams(), cs.GetDistUnits());
    return cs;
}

TEST_F(ProjectionFiles, TextFileHoldsTheLineAndRebuildsOnOpen) {
    const CString path = PathOf("utm.Prj");
    ASSERT_EQ(ZrSaveTextProjectionFile(path, Catalogue(32650)), 1);
    EXPECT_EQ(ReadBytes(path), Catalogue(32650).ToString().str());

    // The operator of the system read replaces the one it held before.
    CZrPJCoordSys cs = UserCoordSys();
    ASSERT_EQ(ZrOpenTextProjectionFile(path, cs), 1);
    CZrPJCoordSys fresh;
    fresh.FromString(Catalogue(32650).ToString());
    fresh.Create();
    CPoint2D got{117.5, 31.0}, want{117.5, 31.0};
    cs.Forward(&got, 1);
    fresh.Forward(&want, 1);
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);

    // Only the first line counts, whatever its line end.
    WriteBytes(path, "32650 ,A;4326 ,G;;;;;;;\r\nrest");
    ASSERT_EQ(ZrOpenTextProjectionFile(path, cs), 1);
    EXPECT_STREQ(cs.GetName(), "A");
    WriteBytes(path, "");
    EXPECT_EQ(ZrOpenTextProjectionFile(path, cs), 0);
    EXPECT_EQ(ZrOpenTextProjectionFile("", cs), 0);
    EXPECT_EQ(ZrOpenTextProjectionFile(PathOf("missing.Prj"), cs), 0);
}

TEST_F(ProjectionFiles, TextFileDialogsChooseThePath) {
    CZrHeadlessBackend& ui = CZrHeadlessBackend::Default();
    const CString path = PathOf("dialog.Prj");
    ui.QueueFileDialog(IDOK, path);
    ASSERT_EQ(ZrPJCoordSysFiles::DoSave(Catalogue(32650)), 1);
    CZrPJCoordSys cs;
    ui.QueueFileDialog(IDOK, path);
    ASSERT_EQ(ZrPJCoordSysFiles::DoOpen(cs), 1);
    EXPECT_STREQ(cs.ToString(), Catalogue(32650).ToString());
    ui.QueueFileDialog(IDCANCEL);
    EXPECT_EQ(ZrPJCoordSysFiles::DoOpen(cs), 0);
    ASSERT_EQ(ui.FileDialogs().size(), 3u);
    EXPECT_FALSE(ui.FileDialogs()[0].open);
    EXPECT_TRUE(ui.FileDialogs()[1].open);
    EXPECT_STREQ(ui.FileDialogs()[1].filter, "Projection define file(*.Prj)|*.Prj||");
    EXPECT_STREQ(ui.FileDialogs()[1].initialName, "*.Prj");
}

TEST_F(ProjectionFiles, XmlFileIsDeclaredInTheBytesItHolds) {
    const CString path = PathOf("p.xml");
    const CZrPJCoordSys cs = Named(UserCoordSys(), (CString(kBeijingUtf8) + "-" + kHangulUtf8).c_str());
    ASSERT_EQ(ZrSaveXmlProjectionFile(path, cs), 1);
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(
        bytes.rfind("<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<OrvantaProjection xmlns:oml=\"", 0), 0u);
    EXPECT_NE(bytes.find("oml:Version=\"20050301\">\r\n\t<oml:CoordinateReferenceSystem>"),
              std::string::npos);
    EXPECT_NE(bytes.find(std::string(kBeijingGb2312) + "-&#54620;"), std::string::npos);
    EXPECT_EQ(bytes.find("\n\r"), std::string::npos);
    for (size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1))
        EXPECT_EQ(bytes[i - 1], '\r');

    CZrPJCoordSys read;
    ASSERT_EQ(ZrOpenXmlProjectionFile(path, read), 1);
    ExpectSameSystem(read, cs, 5e-11);

    ScopedLocale japanese("ja_JP.UTF-8");
    ASSERT_EQ(ZrSaveXmlProjectionFile(path, Named(Catalogue(32650), kTokyoUtf8)), 1);
    const std::string sjis = ReadBytes(path);
    EXPECT_EQ(sjis.rfind("<?xml version=\"1.0\" encoding=\"shift_JIS\"?>", 0), 0u);
    EXPECT_NE(sjis.find(kTokyoShiftJis), std::string::npos);
}

TEST_F(ProjectionFiles, HandWrittenXmlInBothCodePages) {
    struct Case {
        const char* encoding;
        const char* nameBytes;
        const char* nameUtf8;
    } cases[] = {{"GB2312", kBeijingGb2312, kBeijingUtf8}, {"shift_JIS", kTokyoShiftJis, kTokyoUtf8}};
    for (const Case& c : cases) {
        const std::string n = c.nameBytes;
        const std::string doc =
            std::string("<?xml version=\"1.0\" encoding=\"") + c.encoding +
            "\"?>\r\n<OrvantaProjection xmlns:oml=\"http://example.org/oml\" oml:Version=\"20050301\">\r\n"
            "<oml:CoordinateReferenceSystem><oml:Nameset><oml:name>" +
            n +
            "_TM</oml:name></oml:Nameset>"
            "<oml:Type>-1</oml:Type><oml:Units>Meter</oml:Units>"
            "<oml:GeographicCoordinateSystem><oml:Nameset><oml:Name>GCS_" +
            n +
            "</oml:Name></oml:Nameset>"
            "<oml:Type>-1</oml:Type><oml:Units>0</oml:Units>"
            "<oml:HorizonalGeodeticDatum><oml:Nameset><oml:Name>D_" +
            n +
            "</oml:Name></oml:Nameset>"
            "<oml:Type>-1</oml:Type><oml:Ellipsoid><oml:Nameset><oml:Name>" +
            n +
            "</oml:Name></oml:Nameset>"
            "<oml:Type>-1</oml:Type><oml:SemiMajorAxis>6378140</oml:SemiMajorAxis>"
            "<oml:InverseFlattening>298.257</oml:InverseFlattening></oml:Ellipsoid></"
            "oml:HorizonalGeodeticDatum>"
            "<oml:PrimeMeridian><oml:Type>8901</oml:Type></oml:PrimeMeridian></"
            "oml:GeographicCoordinateSystem>"
            "<oml:MapProjection><oml:Type>43006</oml:Type></oml:MapProjection><oml:Parameters>"
            "<oml:FalseEasting>500000</oml:FalseEasting><oml:CentralMeridian>117</oml:CentralMeridian>"
            "<oml:ScaleFactor>1</oml:ScaleFactor></oml:Parameters></oml:CoordinateReferenceSystem>\r\n"
            "</OrvantaProjection>\r\n";
        const CString path = PathOf("hand.XML");
        WriteBytes(path, doc);
        CZrPJCoordSys cs;
        ASSERT_EQ(ZrOpenProjectionFile(path, cs), 1) << c.encoding;
        const std::string u = c.nameUtf8;
        EXPECT_EQ(cs.GetName().str(), u + "_TM");
        const CZrPJGeoCoordSys gcs = cs.GetGCS();
        EXPECT_EQ(gcs.GetName().str(), "GCS_" + u);
        EXPECT_EQ(gcs.GetDatum().GetName().str(), "D_" + u);
        EXPECT_EQ(gcs.GetDatum().GetSpheroid().GetName().str(), u);
        EXPECT_EQ(gcs.GetDatum().GetSpheroid().GetFlattening(), 1 / 298.257);
        EXPECT_EQ(cs.GetParams().CentralMeridian, 117.0);
        EXPECT_EQ(cs.IsValid(), 1);
    }
}

TEST_F(ProjectionFiles, XmlFilesOfOtherShapes) {
    // A bare coordinate system, broken across lines, is read whole as the current layout.
    const CString bare = PathOf("bare.xml");
    WriteBytes(bare,
               "<oml:CoordinateReferenceSystem>\r\n<oml:Type>0</oml:Type>\n<oml:Units>Mile</oml:Units>\r\n"
               "</oml:CoordinateReferenceSystem>\r\n");
    CZrPJCoordSys cs;
    ASSERT_EQ(ZrOpenXmlProjectionFile(bare, cs), 1);
    EXPECT_EQ(cs.GetType(), 0);
    EXPECT_EQ(cs.GetDistUnits(), 16090000);

    // A file of the flat layout holds its values under the root.
    const CString flat = PathOf("flat.xml");
    WriteBytes(flat,
               "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<OrvantaProjection oml:Version=\"20020128\">"
               "<oml:PCSID>32650</oml:PCSID></OrvantaProjection>\r\n");
    cs = UserCoordSys();
    ASSERT_EQ(ZrOpenXmlProjectionFile(flat, cs), 1);
    EXPECT_TRUE(cs == Catalogue(32650));

    // A current root without a coordinate system gives the reader nothing,
    // though the file was loaded; a file that cannot be loaded changes nothing.
    WriteBytes(flat, "<OrvantaProjection oml:Version=\"20050301\"><x/></OrvantaProjection>");
    int loaded = 0;
    EXPECT_EQ(ZrOpenProjectionFile(flat, cs, &loaded), 0);
    EXPECT_EQ(loaded, 1);
    WriteBytes(flat, "not xml <");
    cs = UserCoordSys();
    EXPECT_EQ(ZrOpenProjectionFile(flat, cs, &loaded), 0);
    EXPECT_EQ(loaded, 0);
    EXPECT_TRUE(cs == UserCoordSys());
}

TEST_F(ProjectionFiles, KeyValueFileLayout) {
    const CString text = ZrKeyValueProjectionText(Catalogue(32650));
    EXPECT_EQ(text.str().rfind(
                  "PCSType: 32650 \nPCSName: WGS_1984_UTM_Zone_50N \nGCSType: 4326 \n"
                  "GCSName: GCS_WGS_1984 \nDatumType: 6326 \nDatumName: D_WGS_1984 \n"
                  "SpheroidType: 7030 \nSpheroidName: WGS_1984 \nAxis: 6378137.000000 \n"
                  "Flatten: 0.003353 \nPrimeMeridianType: 8901 \nPrimeMeridianName: Greenwich \n"
                  "PrimeMeridianValue: 0.000000 \nGCSUnits: 0 \nProjectionType: 43006 \n"
                  "ProjectionName: Transverse_Mercator \nPCSUnits: 10000 \nFalseEasting: 500000.000000 \n"
                  "FalseNorthing: 0.000000 \nCentralMeridian: 117.000000 \n",
                  0),
              0u);
    EXPECT_NE(text.Find("ScaleFactor: 0.999600 \nAzimuth: 0.000000 \n"), -1);

    const CString path = PathOf("kv.prj");
    ASSERT_EQ(ZrSaveProjectionFile(path, Catalogue(32650)), 1);
    std::string crlf = text.str();
    for (size_t i = crlf.find('\n'); i != std::string::npos; i = crlf.find('\n', i + 2))
        crlf.insert(i, "\r");
    EXPECT_EQ(ReadBytes(path), crlf);
}

TEST_F(ProjectionFiles, KeyValueFilesRoundTrip) {
    CZrPJCoordSys planar, earth;
    planar.SetPlanar(254);
    CZrPJGeoCoordSys gcs;
    gcs.Set(PJ_GCS_BEIJING_1954);
    earth.SetEarth(gcs, 10000);
    const CZrPJCoordSys systems[] = {Catalogue(21420), Named(UserCoordSys(), kBeijingUtf8), planar, earth};
    for (const CZrPJCoordSys& written : systems) {
        SCOPED_TRACE(written.GetName().c_str());
        const CString path = PathOf("round.PRJ");
        ASSERT_EQ(ZrSaveProjectionFile(path, written), 1);
        CZrPJCoordSys read;
        ASSERT_EQ(ZrOpenProjectionFile(path, read), 1);
        if (written.GetType() == PJ_CS_USER_DEFINED)
            ExpectSameSystem(read, written, kSixDecimals);
        else
            EXPECT_TRUE(read == written);
    }
}

TEST_F(ProjectionFiles, KeyValueReaderRules) {
    EXPECT_TRUE(ZrReadKeyValueProjection("PCSType: 32650") == Catalogue(32650));

    CZrPJCoordSys onGcs = ZrReadKeyValueProjection("PCSType: -1\nGCSType: 4326\nDatumType: 6214\nAxis: 1\n"
                                                   "ProjectionType: 43006\nscalefactor : 0.9996\r\n");
    EXPECT_EQ(onGcs.GetGCS().GetType(), 4326);
    EXPECT_EQ(onGcs.GetParams().ScaleFactor, 0.9996);
    EXPECT_EQ(onGcs.IsValid(), 1);

    // Nothing recognised: a system from parts on Krasovsky's numbers.
    const CZrPJCoordSys bare = ZrReadKeyValueProjection("no colon here\n: starts with one\nGCSUnits: 7\n");
    EXPECT_EQ(bare.GetType(), -1);
    const CZrPJSpheroid s = bare.GetGCS().GetDatum().GetSpheroid();
    EXPECT_EQ(s.GetAxis(), 6378245.0);
    EXPECT_EQ(s.GetFlattening(), 0.003352329869259135);
    EXPECT_STREQ(bare.GetGCS().GetDatum().GetName(), "");
    EXPECT_EQ(bare.GetGCS().GetPrimeMeridian().GetLongitude(), 0.0);
    EXPECT_EQ(bare.GetProjection().GetType(), -1);
    EXPECT_EQ(bare.GetDistUnits(), 10000);
    EXPECT_EQ(bare.GetGCS().GetUnits(), 0);

    // Keys ignore case and surrounding blanks; a repeated key's last line wins.
    const CZrPJCoordSys keys =
        ZrReadKeyValueProjection("  pcstype :-1 \nPCSNAME:  Two blanks\nPCSUnits: 100\n"
                                 "PCSUnits: 1000\nProjectionType: 43004\n");
    EXPECT_STREQ(keys.GetName(), " Two blanks");
    EXPECT_EQ(keys.GetDistUnits(), 1000);
    EXPECT_EQ(keys.GetProjection().GetType(), 43004);
}

TEST_F(ProjectionFiles, FailedSavesLeaveTheOldFile) {
    const CString kv = PathOf("old.prj"), xml = PathOf("old.xml"), text = PathOf("old.Prj.txt");
    ASSERT_EQ(ZrSaveKeyValueProjectionFile(kv, Catalogue(32650)), 1);
    ASSERT_EQ(ZrSaveXmlProjectionFile(xml, Catalogue(32650)), 1);
    ASSERT_EQ(ZrSaveTextProjectionFile(text, Catalogue(32650)), 1);
    const std::string oldKv = ReadBytes(kv), oldXml = ReadBytes(xml), oldText = ReadBytes(text);

    // A name the code page cannot hold refuses the plain-text saves.
    const CZrPJCoordSys hangul = Named(Catalogue(32650), kHangulUtf8);
    EXPECT_EQ(ZrSaveKeyValueProjectionFile(kv, hangul), 0);
    EXPECT_EQ(ZrSaveTextProjectionFile(text, hangul), 0);

    // A disk that takes no more bytes fails every save.
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit tiny = old;
    tiny.rlim_cur = 64;
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &tiny);
    const int xmlResult = ZrSaveXmlProjectionFile(xml, UserCoordSys());
    const int kvResult = ZrSaveProjectionFile(kv, UserCoordSys());
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(xmlResult, 0);
    EXPECT_EQ(kvResult, 0);

    EXPECT_EQ(ReadBytes(kv), oldKv);
    EXPECT_EQ(ReadBytes(xml), oldXml);
    EXPECT_EQ(ReadBytes(text), oldText);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 3); // no leftovers

    // Paths that cannot be written, and extensions that name no form.
    const CString underFile = kv + "/x.xml";
    EXPECT_EQ(ZrSaveProjectionFile(underFile, Catalogue(32650)), 0);
    EXPECT_EQ(ZrSaveProjectionFile(PathOf("p.txt"), Catalogue(32650)), 0);
    EXPECT_FALSE(fs::exists(m_dir / "p.txt"));
    CZrPJCoordSys cs;
    EXPECT_EQ(ZrOpenProjectionFile(PathOf("old.Prj.txt"), cs), 0);
}

// A FIFO where a file is expected (a projection file, the mapping file beside
// the library) is refused at once: opening it blockingly would wait for a
// writer that never comes. The alarm is the watchdog.
TEST_F(ProjectionFiles, AFifoInPlaceOfAFileIsRefusedWithoutWaiting) {
    for (const char* name : {"fifo.xml", "fifo.prj", "fifo.Prj.txt", "CodeTransition.xml"})
        ASSERT_EQ(mkfifo(PathOf(name), 0666), 0) << name;
    alarm(10);
    CZrPJCoordSys cs;
    cs.SetPlanar(100);
    int loaded = 1;
    EXPECT_EQ(ZrOpenProjectionFile(PathOf("fifo.xml"), cs, &loaded), 0);
    EXPECT_EQ(loaded, 0);
    EXPECT_EQ(ZrOpenProjectionFile(PathOf("fifo.prj"), cs), 0);
    EXPECT_EQ(ZrOpenTextProjectionFile(PathOf("fifo.Prj.txt"), cs), 0);
    EXPECT_EQ(cs.GetType(), PJ_CS_PLANAR);
    EXPECT_EQ(ZrSaveProjectionFile(PathOf("fifo.xml"), Catalogue(32650)), 0);

    const CString mapping = CZrPJTranslator::m_strEpsgName;
    CZrPJTranslator::m_strEpsgName = PathOf("CodeTransition.xml");
    const int found = CZrPJTranslator().EPSG2Orvanta(4326);
    CZrPJTranslator::m_strEpsgName = mapping;
    alarm(0);
    EXPECT_LT(found, 0) << "nothing can be found in a FIFO";
    EXPECT_TRUE(fs::is_fifo(m_dir / "fifo.xml")) << "a save replaced the FIFO";
}

// A document nested 60 000 levels deep (inside the ellipsoid, so that every
// nested reader hands it on) is read or refused in linear time: within 1 s
// and 200 MB of memory growth, where re-printing each sub-document with
// indentation took time and memory growing with the square of the depth.
// Each case runs in a child process, so the peak memory it measures is its
// own and a runaway case is stopped by a watchdog.
TEST_F(ProjectionFiles, DeeplyNestedDocumentsCostTimeAndMemoryInProportionToTheirSize) {
    constexpr int kDepth = 60000;
    constexpr double kSecondsBound = 1.0;
    constexpr long kMemoryBoundKiB = 200 * 1024;
    std::string fragment = "<oml:CoordinateReferenceSystem><oml:Type>-1</oml:Type>"
                           "<oml:GeographicCoordinateSystem><oml:Type>-1</oml:Type>"
                           "<oml:HorizonalGeodeticDatum><oml:Type>-1</oml:Type><oml:Ellipsoid>";
    for (int i = 0; i < kDepth; ++i)
        fragment += "<x>";
    for (int i = 0; i < kDepth; ++i)
        fragment += "</x>";
    fragment += "</oml:Ellipsoid></oml:HorizonalGeodeticDatum></oml:GeographicCoordinateSystem>"
                "</oml:CoordinateReferenceSystem>";
    const CString rooted = PathOf("rooted.xml"), bare = PathOf("bare.xml");
    WriteBytes(rooted, "<?xml version=\"1.0\"?><OrvantaProjection oml:Version=\"20050301\">" + fragment +
                           "</OrvantaProjection>");
    WriteBytes(bare, fragment);

    enum Reader { FromText, RootedFile, BareFile };
    for (const Reader reader : {FromText, RootedFile, BareFile}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            alarm(10); // a quadratic reader runs for minutes
            struct rusage before, after;
            getrusage(RUSAGE_SELF, &before);
            const auto start = std::chrono::steady_clock::now();
            CZrPJCoordSys cs;
            if (reader == FromText)
                cs.FromXML(CString(fragment), ZRPRJ_XML_VERSION);
            else
                ZrOpenProjectionFile(reader == RootedFile ? rooted : bare, cs);
            const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
            getrusage(RUSAGE_SELF, &after);
            _exit((seconds.count() > kSecondsBound ? 1 : 0) |
                  (after.ru_maxrss - before.ru_maxrss > kMemoryBoundKiB ? 2 : 0));
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status))
            << "reader " << reader << " was stopped by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status) & 1, 0) << "reader " << reader << " took over 1 s";
        EXPECT_EQ(WEXITSTATUS(status) & 2, 0) << "reader " << reader << " grew by over 200 MB";
    }
}

// A hostile file costs memory in proportion to what the library accepts, not
// to what it was given: each reader refuses a file far over any projection
// file (or the mapping file) before reading it, and an XML file of too many
// tags before parsing it. A 12 MB file of tabs took 62 MB in the key-value
// reader, one of "<a/>" 443 MB in the XML reader. Each case runs in a child
// process, so the peak memory it measures is its own.
TEST_F(ProjectionFiles, OversizedFilesAreRefusedBeforeTheyCostMemory) {
    // Every case is refused within this growth: reading the file whole (at most
    // the 4 MB cap) and no more.
    constexpr long kMemoryBoundKiB = 16 * 1024;
    constexpr std::size_t kSize = 12 * 1024 * 1024;
    std::string tags;
    for (int i = 0; i < 1000000; ++i) // 4 MB: just under the size cap, far over the tag cap
        tags += "<a/>";
    enum Reader { KeyValue, OneLineText, Xml, Mapping };
    struct Case {
        const char* name;
        Reader reader;
        std::string bytes;
    };
    const Case cases[] = {
        {"tabs.prj", KeyValue, std::string(kSize, '\t')},
        {"lines.Prj.txt", OneLineText, std::string(kSize, '\n')},
        {"large.xml", Xml, "<OrvantaProjection a=\"" + std::string(kSize, 'x') + "\"/>"},
        {"tags.xml", Xml, "<OrvantaProjection>" + tags + "</OrvantaProjection>"},
        {"CodeTransition.xml", Mapping, "<oml:root>" + tags + "</oml:root>"},
    };
    for (const Case& c : cases) {
        WriteBytes(PathOf(c.name), c.bytes);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            alarm(20);
            struct rusage before, after;
            getrusage(RUSAGE_SELF, &before);
            CZrPJCoordSys cs;
            int read = 0;
            if (c.reader == KeyValue) read = ZrOpenKeyValueProjectionFile(PathOf(c.name), cs);
            if (c.reader == OneLineText) read = ZrOpenTextProjectionFile(PathOf(c.name), cs);
            if (c.reader == Xml) read = ZrOpenXmlProjectionFile(PathOf(c.name), cs);
            if (c.reader == Mapping) {
                CZrPJTranslator::m_strEpsgName = PathOf(c.name);
                read = CZrPJTranslator().EPSG2Orvanta(4326) >= 0;
            }
            getrusage(RUSAGE_SELF, &after);
            _exit((read ? 1 : 0) | (after.ru_maxrss - before.ru_maxrss > kMemoryBoundKiB ? 2 : 0));
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << c.name << " was stopped by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status) & 1, 0) << c.name << " was read";
        EXPECT_EQ(WEXITSTATUS(status) & 2, 0) << c.name << " grew memory by over 16 MB";
        fs::remove(m_dir / c.name);
    }
}

} // namespace
