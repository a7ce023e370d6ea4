#include "platform/ZrMarkup.h"

#include "platform/ZrFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char kList[] = "<root><a>1</a><b>2</b><a>3</a><c>4</c></root>";

std::vector<std::string> ChildNames(CMarkup& xml) {
    std::vector<std::string> names;
    xml.ResetChildPos();
    while (xml.FindChildElem())
        names.push_back(xml.GetChildTagName().str());
    return names;
}

std::string TempFile(const char* name) {
    return (std::filesystem::temp_directory_path() / ("zrprj-markup-" + std::to_string(getpid()) + name))
        .string();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path) {
    std::stringstream all;
    all << std::ifstream(path, std::ios::binary).rdbuf();
    return all.str();
}

} // namespace

TEST(MarkupTest, AFindContinuesAfterTheCurrentPosition) {
    CMarkup xml(kList);
    // No element is current yet: the child search first makes the root current.
    ASSERT_TRUE(xml.FindChildElem("a"));
    EXPECT_EQ(xml.GetTagName(), "root");
    EXPECT_EQ(xml.GetChildData(), "1");
    ASSERT_TRUE(xml.FindChildElem("a"));
    EXPECT_EQ(xml.GetChildData(), "3");
    // Nothing further: false, and the position stays on the last one found.
    EXPECT_FALSE(xml.FindChildElem("a"));
    EXPECT_EQ(xml.GetChildData(), "3");
    // A child before the one found is not seen until the search is reset.
    EXPECT_FALSE(xml.FindChildElem("b"));
    EXPECT_TRUE(xml.FindChildElem("c"));
    xml.ResetChildPos();
    EXPECT_TRUE(xml.FindChildElem("b"));

    // IntoElem makes the child the main position: a find goes on among its siblings.
    ASSERT_TRUE(xml.IntoElem());
    EXPECT_EQ(xml.GetData(), "2");
    ASSERT_TRUE(xml.FindElem("a"));
    EXPECT_EQ(xml.GetData(), "3");
    ASSERT_TRUE(xml.OutOfElem());
    EXPECT_EQ(xml.GetChildTagName(), "a"); // the element left is the child position
    ASSERT_TRUE(xml.FindChildElem());
    EXPECT_EQ(xml.GetChildData(), "4");
    EXPECT_FALSE(xml.OutOfElem());

    // The same rule at the top: a second root is not found.
    xml.ResetPos();
    EXPECT_TRUE(xml.FindElem("root"));
    EXPECT_FALSE(xml.FindElem("root"));
    EXPECT_EQ(xml.GetData(), ""); // an element with children has no data
}

TEST(MarkupTest, AWrittenTreeFollowsTheOrderOfTheCalls) {
    CMarkup xml;
    EXPECT_FALSE(xml.AddChildElem("orphan")); // no element to hold it
    ASSERT_TRUE(xml.AddElem("oml:Ellipsoid"));
    ASSERT_TRUE(xml.AddChildElem("oml:Nameset"));
    ASSERT_TRUE(xml.IntoElem());
    ASSERT_TRUE(xml.AddChildElem("oml:Name", "Krasovsky 1940"));
    ASSERT_TRUE(xml.OutOfElem());
    ASSERT_TRUE(xml.AddChildElem("oml:Type", 7024));
    ASSERT_TRUE(xml.AddChildElem("oml:InverseFlattening", "298.3000000000"));
    EXPECT_EQ(xml.GetDoc(), "<oml:Ellipsoid>\n\t<oml:Nameset>\n\t\t<oml:Name>Krasovsky 1940</oml:Name>\n"
                            "\t</oml:Nameset>\n\t<oml:Type>7024</oml:Type>\n"
                            "\t<oml:InverseFlattening>298.3000000000</oml:InverseFlattening>\n"
                            "</oml:Ellipsoid>\n");

    // An add goes right after the current child, not to the end.
    xml.ResetChildPos();
    ASSERT_TRUE(xml.FindChildElem("oml:Nameset"));
    ASSERT_TRUE(xml.AddChildElem("oml:SemiMajorAxis", "6378245.0000000000"));
    const std::vector<std::string> order = {"oml:Nameset", "oml:SemiMajorAxis", "oml:Type",
                                            "oml:InverseFlattening"};
    EXPECT_EQ(ChildNames(xml), order);
    // Names that would break the markup are refused and change nothing.
    for (const char* bad : {"two words", "", "a<b", "1st"})
        EXPECT_FALSE(xml.AddChildElem(bad)) << bad;
    EXPECT_EQ(ChildNames(xml), order);
}

TEST(MarkupTest, SubDocumentsGoInAndComeOutWhole) {
    CMarkup part;
    part.AddElem("oml:Parameters");
    part.AddChildElem("oml:FalseEasting", "500000.0000000000");
    part.AddChildElem("oml:ScaleFactor", "0.9996000000");

    CMarkup whole("<?xml version=\"1.0\" encoding=\"GB2312\"?>");
    ASSERT_TRUE(whole.AddElem("OrvantaProjection"));
    ASSERT_TRUE(whole.AddChildElem("oml:Type", 1));
    ASSERT_TRUE(whole.AddChildSubDoc(part.GetDoc()));
    EXPECT_EQ(whole.GetChildTagName(), "oml:Parameters");
    ASSERT_TRUE(whole.AddChildElem("oml:After"));
    EXPECT_FALSE(whole.AddChildSubDoc("<broken><x></broken>"));
    EXPECT_FALSE(whole.AddChildSubDoc("just text"));

    CMarkup reread(whole.GetDoc());
    EXPECT_EQ(reread.GetDoc().Find("<?xml version=\"1.0\" encoding=\"GB2312\"?>"), 0);
    ASSERT_TRUE(reread.FindElem("OrvantaProjection"));
    EXPECT_EQ(ChildNames(reread), (std::vector<std::string>{"oml:Type", "oml:Parameters", "oml:After"}));
    reread.ResetChildPos();
    ASSERT_TRUE(reread.FindChildElem("oml:Parameters"));
    // A sub-document comes out without layout, the element whole.
    const char raw[] = "<oml:Parameters><oml:FalseEasting>500000.0000000000</oml:FalseEasting>"
                       "<oml:ScaleFactor>0.9996000000</oml:ScaleFactor></oml:Parameters>";
    EXPECT_EQ(reread.GetChildSubDoc(), raw);
    EXPECT_EQ(CMarkup(reread.GetChildSubDoc()).GetDoc(), part.GetDoc());
    ASSERT_TRUE(reread.IntoElem());
    EXPECT_EQ(reread.GetSubDoc(), raw);
    ASSERT_TRUE(reread.FindChildElem("oml:ScaleFactor"));
    EXPECT_EQ(reread.GetChildData(), "0.9996000000");
}

TEST(MarkupTest, AttributesAndTextsRoundTripAsWritten) {
    CMarkup xml;
    ASSERT_TRUE(xml.AddElem("OrvantaProjection"));
    ASSERT_TRUE(xml.SetAttrib("xmlns:oml", "http://example.org/oml"));
    ASSERT_TRUE(xml.AddAttrib("oml:Version", 20050301));
    ASSERT_TRUE(xml.SetAttrib("oml:Version", 20020128)); // set again: replaced, not doubled
    ASSERT_TRUE(xml.SetAttrib("note", "a \"quoted\" <tag> & 'x'"));
    ASSERT_TRUE(xml.AddChildElem("oml:name", " R&D <1> "));
    ASSERT_TRUE(xml.AddChildElem("oml:Name", " ")); // a blank name is a name, not layout

    CMarkup reread(xml.GetDoc());
    ASSERT_TRUE(reread.FindElem("OrvantaProjection"));
    EXPECT_EQ(reread.GetAttribInt("oml:Version"), 20020128);
    EXPECT_EQ(reread.GetAttrib("note"), "a \"quoted\" <tag> & 'x'");
    EXPECT_EQ(reread.GetAttrib("missing"), "");
    EXPECT_EQ(reread.GetAttribInt("missing"), 0);
    ASSERT_TRUE(reread.FindChildElem("oml:name"));
    EXPECT_EQ(reread.GetChildData(), " R&D <1> ");
    ASSERT_TRUE(reread.FindChildElem("oml:Name"));
    EXPECT_EQ(reread.GetChildData(), " ");
    CString doc = xml.GetDoc();
    EXPECT_EQ(doc.Find("oml:Version", doc.Find("oml:Version") + 1), -1);
}

TEST(MarkupTest, MalformedTextIsReportedButWhatPrecedesTheFaultIsRead) {
    CMarkup xml;
    EXPECT_FALSE(xml.SetDoc("<r><oml:Type>21413</oml:Type><oml:Units>Meter"));
    ASSERT_TRUE(xml.FindChildElem("oml:Type"));
    EXPECT_EQ(xml.GetChildData(), "21413");
    EXPECT_TRUE(xml.SetDoc(""));
    EXPECT_FALSE(xml.FindChildElem("x"));
    EXPECT_FALSE(xml.IntoElem());
    EXPECT_EQ(xml.GetChildSubDoc(), "");
    EXPECT_FALSE(xml.Load(TempFile("missing.xml").c_str()));
}

// Nesting beyond the bound is a fault like malformed text: what precedes the
// first element too deep is kept, the rest is not, and a sub-document holding
// one is refused.
TEST(MarkupTest, NestingBeyondTheBoundIsCutAtTheFirstElementTooDeep) {
    auto nested = [](unsigned depth, const char* after) {
        std::string text = "<r><first/>";
        for (unsigned i = 1; i < depth; ++i)
            text += "<a>";
        for (unsigned i = 1; i < depth; ++i)
            text += "</a>";
        return text + after + "</r>";
    };
    struct Case {
        unsigned depth;
        bool whole;
    };
    for (const Case c :
         {Case{CMarkup::kMaxDepth, true}, Case{CMarkup::kMaxDepth + 1, false}, Case{60000, false}}) {
        CMarkup xml;
        EXPECT_EQ(xml.SetDoc(nested(c.depth, "<last/>").c_str()), c.whole) << c.depth;
        EXPECT_TRUE(xml.FindChildElem("first")) << c.depth;
        EXPECT_EQ(xml.FindChildElem("last"), c.whole) << c.depth;
        unsigned levels = 1;
        for (xml.ResetPos(), xml.FindElem("r"); xml.FindChildElem("a"); ++levels)
            xml.IntoElem();
        EXPECT_EQ(levels, std::min(c.depth, CMarkup::kMaxDepth)) << c.depth;

        CMarkup host("<host/>");
        ASSERT_TRUE(host.FindElem("host"));
        EXPECT_EQ(host.AddChildSubDoc(nested(c.depth, "").c_str()), c.whole) << c.depth;
    }
}

TEST(MarkupTest, NonAsciiNamesRoundTripThroughFilesInEachEncoding) {
    struct Case {
        const char* encoding;
        const char* tag;  // an element name in the script
        const char* name; // its text
        const char* nameBytes;
    };
    const Case cases[] = {
        {"GB2312", "坐标系", "北京54",
         "\xB1\xB1\xBE\xA9"
         "54"},
        {"shift_JIS", "東京", "東京測地系", "\x93\x8C\x8B\x9E\x91\xAA\x92\x6E\x8C\x6E"},
        {"UTF-8", "坐标系", "北京54 東京", "北京54 東京"},
    };
    const std::string path = TempFile("names.xml");
    for (const Case& c : cases) {
        CMarkup xml(("<?xml version=\"1.0\" encoding=\"" + std::string(c.encoding) + "\"?>").c_str());
        ASSERT_TRUE(xml.AddElem("OrvantaProjection"));
        ASSERT_TRUE(xml.AddChildElem(c.tag, c.name));
        ASSERT_TRUE(xml.Save(path.c_str())) << c.encoding;
        std::string bytes = ReadBytes(path);
        EXPECT_NE(bytes.find(c.nameBytes), std::string::npos) << c.encoding;
        EXPECT_NE(bytes.find("\r\n"), std::string::npos);
        EXPECT_EQ(CZrFile::ToCrLf(bytes), bytes) << "a line ends without CR";

        CMarkup back;
        ASSERT_TRUE(back.Load(path.c_str())) << c.encoding;
        ASSERT_TRUE(back.FindChildElem(c.tag)) << c.encoding;
        EXPECT_EQ(back.GetChildData(), c.name);
    }
    std::remove(path.c_str());
}

TEST(MarkupTest, CharactersOutsideTheCodePageBecomeReferencesOrFailTheSave) {
    const std::string path = TempFile("refs.xml");
    CMarkup xml("<?xml version=\"1.0\" encoding=\"GB2312\"?>");
    xml.AddElem("r");
    xml.SetAttrib("name", "Seoul 한");
    xml.AddChildElem("oml:name", "镕 \xF0\x9F\x98\x80");
    ASSERT_TRUE(xml.Save(path.c_str()));
    std::string bytes = ReadBytes(path);
    EXPECT_NE(bytes.find("Seoul &#54620;"), std::string::npos);
    EXPECT_NE(bytes.find("&#38229; &#128512;"), std::string::npos);
    CMarkup back;
    ASSERT_TRUE(back.Load(path.c_str()));
    ASSERT_TRUE(back.FindElem("r"));
    EXPECT_EQ(back.GetAttrib("name"), "Seoul 한");
    ASSERT_TRUE(back.FindChildElem("oml:name"));
    EXPECT_EQ(back.GetChildData(), "镕 \xF0\x9F\x98\x80");

    // No reference can stand in a name, and an unknown encoding cannot be
    // written: the save fails and the old file stays.
    CMarkup badName("<?xml version=\"1.0\" encoding=\"shift_JIS\"?><한국/>");
    CMarkup unknown("<?xml version=\"1.0\" encoding=\"x-unknown\"?><r/>");
    EXPECT_FALSE(badName.Save(path.c_str()));
    EXPECT_FALSE(unknown.Save(path.c_str()));
    EXPECT_EQ(ReadBytes(path), bytes);
    std::remove(path.c_str());
}

TEST(MarkupTest, HandWrittenLegacyFilesReadToUtf8) {
    struct Case {
        const char* bytes;
        const char* name;
    };
    const Case cases[] = {
        {"<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<R>\r\n<oml:name>\xB1\xB1\xBE\xA9"
         "54</oml:name>\r\n</R>",
         "北京54"},
        // Windows wrote code page 936 under the GB2312 label: 镕 is GBK only.
        {"<?xml version='1.0' encoding='gb2312'?><R><oml:name>\xD6\xEC\xE9\x46</oml:name></R>", "朱镕"},
        {"<?xml version=\"1.0\" encoding=\"shift_JIS\"?>\n<R><oml:name>\x93\x8C\x8B\x9E</oml:name></R>",
         "東京"},
        {"\xEF\xBB\xBF<R><oml:name>東京</oml:name></R>", "東京"},
        {"<R><oml:name>bad \xFF byte</oml:name></R>", "bad \xEF\xBF\xBD byte"},
        // A lead byte before "<" is a bad byte, not the start of a character that eats the tag.
        {"<?xml version=\"1.0\" encoding=\"GB2312\"?><R><oml:name>\xB1</oml:name></R>", "\xEF\xBF\xBD"},
    };
    const std::string path = TempFile("legacy.xml");
    for (const Case& c : cases) {
        WriteBytes(path, c.bytes);
        CMarkup xml;
        ASSERT_TRUE(xml.Load(path.c_str())) << c.name;
        ASSERT_TRUE(xml.FindChildElem("oml:name")) << c.name;
        EXPECT_EQ(xml.GetChildData(), c.name);
    }
    std::remove(path.c_str());
}
