// Running out of memory part way through reading or writing a stored form
// (a huge or hostile input) fails that call; it never lets std::bad_alloc
// out of the library, where it would end a host that cannot expect it.
#include "PersistFixtures_p.h"
#include "support/ReplacedAllocation_p.h"

#include "persistence/ZrPrjFiles.h"
#include "persistence/ZrProjectionDef.h"
#include "platform/ZrArchive.h"
#include "platform/ZrMarkup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <unistd.h>
#include <utility>

using namespace persist_test;

namespace {
// While armed, allocations are counted and the n-th (0 is the first) fails.
thread_local bool g_armed = false;
thread_local long g_failAt = -1;
thread_local long g_seen = 0;

// Arms the allocator for the library call in its scope, not for the test's
// own objects around it.
struct Armed {
    Armed() { g_armed = true; }
    ~Armed() { g_armed = false; }
};
} // namespace

void* ZrTestAllocate(std::size_t size) {
    if (g_armed && g_seen++ == g_failAt) return nullptr;
    return std::malloc(size ? size : 1);
}

namespace {

// Runs the call once to count its allocations, then once failing each of
// them in turn; returns the first failing allocation whose exception got out,
// or -1.
long FirstEscape(const std::function<void()>& call) {
    g_seen = 0;
    g_failAt = -1;
    call();
    const long allocations = g_seen;
    for (long n = 0; n < allocations; ++n) {
        g_seen = 0;
        g_failAt = n;
        bool escaped = false;
        try {
            call();
        } catch (...) {
            escaped = true;
        }
        g_armed = false;
        g_failAt = -1;
        if (escaped) return n;
    }
    return -1;
}

} // namespace

TEST(OutOfMemory, NoReaderOrWriterLetsAnExceptionOut) {
    const std::string dir = "/tmp/zrprj-oom-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    const CString xmlFile((dir + "/user.xml").c_str()), prjFile((dir + "/user.prj").c_str()),
        textFile((dir + "/user.Prj").c_str());
    const CZrPJCoordSys user = UserCoordSys();
    ASSERT_EQ(ZrSaveXmlProjectionFile(xmlFile, user), 1);
    ASSERT_EQ(ZrSaveKeyValueProjectionFile(prjFile, user), 1);
    ASSERT_EQ(ZrSaveTextProjectionFile(textFile, user), 1);
    const CString xml = user.ToXML(ZRPRJ_XML_VERSION), text = user.ToString();
    const CString keyValue = ZrKeyValueProjectionText(user);
    const CString spheroidXml = UserSpheroid().ToXML(ZRPRJ_XML_VERSION);
    const CString geoXml = UserGeoCoordSys().ToXML(ZRPRJ_XML_VERSION);
    const CString paramsText = UserParams().ToStringExt();
    CArchive stored(CArchive::store);
    user.Write(stored);

    struct Case {
        const char* name;
        std::function<void()> call;
    };
    const Case cases[] = {
        {"coordinate system from XML",
         [&] {
             CZrPJCoordSys cs;
             Armed armed;
             cs.FromXML(xml, ZRPRJ_XML_VERSION);
         }},
        {"geographic system from XML",
         [&] {
             CZrPJGeoCoordSys gcs;
             Armed armed;
             gcs.FromXML(geoXml, ZRPRJ_XML_VERSION);
         }},
        {"spheroid from XML",
         [&] {
             CZrPJSpheroid spheroid;
             Armed armed;
             spheroid.FromXML(spheroidXml, ZRPRJ_XML_VERSION);
         }},
        {"coordinate system to XML",
         [&] {
             Armed armed;
             (void)user.ToXML(ZRPRJ_XML_VERSION);
         }},
        {"coordinate system from text",
         [&] {
             CZrPJCoordSys cs;
             CString copy = text; // the reader takes its text by value
             Armed armed;
             cs.FromString(std::move(copy));
         }},
        {"parameters from text",
         [&] {
             CZrPJParams params;
             CString copy = paramsText;
             Armed armed;
             params.FromStringExt(std::move(copy));
         }},
        {"coordinate system to text",
         [&] {
             Armed armed;
             (void)user.ToString();
         }},
        {"key-value text",
         [&] {
             Armed armed;
             (void)ZrReadKeyValueProjection(keyValue);
         }},
        {"XML file",
         [&] {
             CZrPJCoordSys cs;
             Armed armed;
             ZrOpenProjectionFile(xmlFile, cs);
         }},
        {"key-value file",
         [&] {
             CZrPJCoordSys cs;
             Armed armed;
             ZrOpenProjectionFile(prjFile, cs);
         }},
        {"text file",
         [&] {
             CZrPJCoordSys cs;
             Armed armed;
             ZrOpenTextProjectionFile(textFile, cs);
         }},
        {"archive record",
         [&] {
             CArchive in(stored.GetBuffer().data(), static_cast<unsigned>(stored.GetBuffer().size()));
             CZrPJCoordSys cs;
             Armed armed;
             cs.Read(in);
         }},
        {"markup document",
         [&] {
             CMarkup doc;
             Armed armed;
             doc.Load(xmlFile);
             doc.FindChildElem();
             (void)doc.GetDoc();
             (void)doc.GetChildSubDoc();
         }},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstEscape(c.call), -1) << c.name << ": std::bad_alloc got out at that allocation";
    std::filesystem::remove_all(dir);
}
