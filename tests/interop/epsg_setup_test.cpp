// Setting systems up again: a system built by EPSG code is kept for the next
// call, but never past a change of the mapping file it was built from; the
// catalogue found by name through its index, whatever the case, blanks and
// underscores of the name; and the data file's numbers decoded to the very
// doubles the standard library reads from them.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "interop/ZrInteropMatch_p.h"
#include "transform/ZrPJTranslator.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {
// A mapping file of one entry: EPSG code -> catalogue code.
std::string OneEntryMapping(long epsg, long catalogue) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<oml:CodeTransitions xmlns:oml=\"urn:ZrPrj50:CodeTransition\">\n"
           "\t<oml:CodeTransition>\n\t\t<oml:OrvantaCode>" +
           std::to_string(catalogue) + "</oml:OrvantaCode>\n\t\t<oml:EPSGCode>" + std::to_string(epsg) +
           "</oml:EPSGCode>\n\t</oml:CodeTransition>\n</oml:CodeTransitions>\n";
}
} // namespace

TEST(EpsgSetup, AKeptSystemFollowsTheMappingFile) {
    const CString shipped = CZrPJTranslator::m_strEpsgName;
    CZrPJCoordSys cs;
    ASSERT_TRUE(ZrCoordSysFromEpsg(32650, cs));
    ASSERT_EQ(cs.GetType(), 32650);
    ASSERT_TRUE(ZrCoordSysFromEpsg(32650, cs)); // now kept
    ASSERT_EQ(cs.GetType(), 32650);

    // A host that points the library at another mapping gets what it names:
    // here none for 32650, which is then built from EPSG's own definition.
    // (A mapping to a row EPSG's definition disagrees with would not serve:
    // EPSG:n always gives EPSG's n.)
    const std::string path = "/tmp/zrprj_mapping_" + std::to_string(getpid()) + ".xml";
    std::ofstream(path) << OneEntryMapping(32651, 32651);
    CZrPJTranslator::m_strEpsgName = path.c_str();
    CZrPJCoordSys other;
    EXPECT_TRUE(ZrCoordSysFromEpsg(32650, other));
    EXPECT_NE(other.GetType(), 32650);

    // The same file rewritten in place (another size) is read anew too.
    std::ofstream(path) << OneEntryMapping(32650, 32650) << "\n\n";
    EXPECT_TRUE(ZrCoordSysFromEpsg(32650, other));
    EXPECT_EQ(other.GetType(), 32650);

    CZrPJTranslator::m_strEpsgName = shipped;
    EXPECT_TRUE(ZrCoordSysFromEpsg(32650, other));
    EXPECT_EQ(other.GetType(), 32650);
    std::remove(path.c_str());
}

// The mapping file in the shipped layout is read by a plain scan, any other
// by the document reader: both must give what the translator's own lookups
// give, entry by entry, whatever the layout (the translator reads the file
// through the document reader on every lookup).
TEST(EpsgSetup, TheMappingReadsAsTheTranslatorReadsItInEveryLayout) {
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<oml:CodeTransitions xmlns:oml=\"urn:ZrPrj50:CodeTransition\">\n";
    const std::string tail = "</oml:CodeTransitions>\n";
    auto entry = [](const std::string& orvanta, const std::string& epsg) {
        return "\t<oml:CodeTransition>\n\t\t<oml:OrvantaCode>" + orvanta +
               "</oml:OrvantaCode>\n\t\t<oml:EPSGCode>" + epsg + "</oml:EPSGCode>\n\t</oml:CodeTransition>\n";
    };
    const std::string body = entry("32650", "32650") + entry("2100", "2100") + entry("4214", "4214") +
                             entry("99999", "4214") + entry("4214", "1");
    // Far out of order (descending, one code twice): every entry an
    // ascending run of its own, merged pairwise into one.
    std::string descending;
    for (int i = 39; i >= 0; --i)
        descending += entry(std::to_string(7000 + i), std::to_string(5000 + i));
    descending += entry("8020", "5020");
    std::string crlf;
    for (char c : head + body + tail)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"shipped layout, a code twice", head + body + tail},
        {"CRLF line ends", crlf},
        {"a comment", head + "<!-- kept -->\n" + body + tail},
        {"a leading zero", head + entry("32651", "032651") + body + tail},
        {"an entry without its EPSG code",
         head + "\t<oml:CodeTransition><oml:OrvantaCode>7</oml:OrvantaCode></oml:CodeTransition>\n" + body +
             tail},
        {"no declaration", "<oml:CodeTransitions>\n" + body + tail},
        {"the fields swapped",
         head +
             "<oml:CodeTransition><oml:EPSGCode>2100</oml:EPSGCode><oml:OrvantaCode>5</oml:OrvantaCode>"
             "</oml:CodeTransition>\n" +
             body + tail},
        {"cut short", head + body},
        {"far out of order", head + descending + body + tail},
        {"an entity", head + entry("32650", "3265&#48;") + body + tail},
    };
    const CString shipped = CZrPJTranslator::m_strEpsgName;
    const CZrPJTranslator translator;
    int n = 0;
    for (const auto& c : cases) {
        const std::string path =
            "/tmp/zrprj_layout_" + std::to_string(getpid()) + "_" + std::to_string(n++) + ".xml";
        std::ofstream(path, std::ios::binary) << c.text;
        CZrPJTranslator::m_strEpsgName = path.c_str();
        for (int code : {32650, 32651, 2100, 4214, 1, 99999, 7, 5, 5000, 5020, 5039, 7020, 8020}) {
            EXPECT_EQ(ZrMappedCatalogueCode(code), translator.EPSG2Orvanta(code))
                << c.name << ", EPSG " << code;
            EXPECT_EQ(ZrMappedEpsgCode(code), translator.Orvanta2EPSG(code))
                << c.name << ", catalogue " << code;
        }
        std::remove(path.c_str());
    }
    CZrPJTranslator::m_strEpsgName = shipped;
}

// A text naming a catalogue system without its code finds the row by name,
// compared without regard to case, blanks, underscores and hyphens.
TEST(EpsgSetup, CatalogueRowsFoundByNameInAnySpelling) {
    for (long code : {32650L, 21420L, 26943L, 2100L, 54004L}) {
        CZrPJCoordSys row;
        ASSERT_TRUE(row.Set(static_cast<tagPJCoordSysType>(code))) << code;
        CString wkt;
        ASSERT_TRUE(ZrExportCoordSys(row, ZR_CRS_TEXT_ESRI_WKT1, wkt)) << code;
        // PROJCS["Name", ...: the name respelt with its case swapped and its
        // underscores as blanks.
        std::string text = wkt.str();
        const std::size_t open = text.find('"') + 1, close = text.find('"', open);
        ASSERT_LT(open, close) << text;
        for (std::size_t i = open; i < close; ++i) {
            char& c = text[i];
            if (c == '_')
                c = ' ';
            else if (std::isalpha(static_cast<unsigned char>(c)))
                c = std::isupper(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c))
                                                                : static_cast<char>(std::toupper(c));
        }
        CZrPJCoordSys read;
        CString reason;
        ASSERT_TRUE(ZrImportCoordSys(CString(text.c_str()), read, &reason)) << code << ": " << reason.str();
        EXPECT_EQ(read.GetType(), code) << text.substr(0, close + 1);
    }
}

// The reader decodes most numbers by a short path of its own; every number
// of the data file must come out bit for bit as std::from_chars reads it:
// the axes and inverse flattenings of the geographic systems and every
// parameter of the projected ones.
TEST(EpsgSetup, NumbersDecodedBitForBitAsFromChars) {
    std::ifstream in(ZrEpsgDataPath());
    ASSERT_TRUE(in) << ZrEpsgDataPath();
    auto exact = [](const std::string& text) {
        double v = 0;
        std::from_chars(text.data(), text.data() + text.size(), v);
        return v;
    };
    auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    int compared = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.size() < 2 || line[1] != '\t' || (line[0] != 'G' && line[0] != 'P')) continue;
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');)
            f.push_back(field);
        const long code = std::stol(f[1]);
        if (line[0] == 'G') {
            ZrEpsgGeographicRecord g;
            ASSERT_TRUE(ZrEpsgFindGeographic(code, g)) << code;
            EXPECT_TRUE(same(g.semiMajorAxis, exact(f[7]))) << code << " " << f[7];
            EXPECT_TRUE(same(g.inverseFlattening, exact(f[8]))) << code << " " << f[8];
            compared += 2;
            continue;
        }
        ZrEpsgProjectedRecord p;
        ASSERT_TRUE(ZrEpsgFindProjected(code, p)) << code;
        ASSERT_EQ(p.parameters.size() + 12, f.size()) << code;
        EXPECT_TRUE(same(p.linearUnitToMetre, exact(f[10]))) << code << " " << f[10];
        for (std::size_t i = 12; i < f.size(); ++i) {
            const std::string value = f[i].substr(f[i].find('=') + 1);
            EXPECT_TRUE(same(p.parameters[i - 12].value, exact(value))) << code << " " << f[i];
        }
        compared += static_cast<int>(f.size()) - 11;
    }
    EXPECT_GT(compared, 30000);
}
