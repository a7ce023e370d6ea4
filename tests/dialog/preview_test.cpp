// The preview page: the user-defined projected system assembled from the two
// user-defined pages, its sample drawing, its save button and Finish.

#include "platform/ui/ZrDC.h"
#include "tests/dialog/sheet_fixture_p.h"

namespace {

class PreviewTest : public SheetTestBase {
protected:
    CZrSheetCoordSysSetting sheet{"坐标系统"};

    // Kind page -> user-defined first page -> second page -> preview.
    static void WalkToPreview(CZrSheetCoordSysSetting& s, CZrHeadlessDriver& d) {
        ASSERT_TRUE(d.Select(IDC_ZR_PRJ_SOURCE, 1));
        ASSERT_TRUE(d.Next());
        ASSERT_EQ(d.ActivePage(), s.GetUserDefineFirstPage());
        ASSERT_TRUE(d.Next());
        ASSERT_EQ(d.ActivePage(), s.GetUserDefineSecondPage());
        ASSERT_TRUE(d.Next());
        ASSERT_EQ(d.ActivePage(), s.GetPreviewPage());
    }
};

TEST_F(PreviewTest, FinishHandsTheAssembledSystemToTheSheet) {
    INT_PTR result = Run(sheet, [&](CZrHeadlessDriver& d) {
        WalkToPreview(sheet, d);
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_FINISH);
        const CZrPJCoordSys& built = sheet.GetPreviewPage()->GetAssembled();
        EXPECT_EQ(built.GetType(), PJ_CS_USER_DEFINED);
        EXPECT_EQ(built.GetName(), CString("用户自定义投影系"));
        EXPECT_EQ(built.GetProjection().GetType(), sheet.GetUserDefineFirstPage()->GetProjection().GetType());
        EXPECT_EQ(built.GetDistUnits(), sheet.GetUserDefineFirstPage()->GetUnits());
        EXPECT_TRUE(built.GetGCS() == sheet.GetUserDefineFirstPage()->GetGeoCoordSys());
        EXPECT_TRUE(d.Finish());
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_EQ(sheet.m_coordSys.GetType(), PJ_CS_USER_DEFINED);
    EXPECT_EQ(sheet.m_coordSys.GetName(), CString("用户自定义投影系"));
    EXPECT_TRUE(sheet.m_coordSys == sheet.GetPreviewPage()->GetAssembled());
}

// The sample control shows the system on the light grey background.
TEST_F(PreviewTest, SampleIsDrawnIntoItsControl) {
    Run(sheet, [&](CZrHeadlessDriver& d) {
        WalkToPreview(sheet, d);
        const CZrImage* image = d.Surface(IDC_ZR_PREVIEW_SAMPLE);
        ASSERT_NE(image, nullptr);
        ASSERT_FALSE(image->IsEmpty());
        // 192 x 129 dialog units.
        EXPECT_EQ(image->GetWidth(), 288);
        EXPECT_EQ(image->GetHeight(), 210);
        int grey = 0, dots = 0, green = 0;
        for (int y = 0; y < image->GetHeight(); ++y)
            for (int x = 0; x < image->GetWidth(); ++x) {
                const COLORREF c = image->GetPixel(x, y);
                grey += c == RGB(240, 240, 240);
                green += c == RGB(0, 255, 0);
                dots += GetGValue(c) == 0;
            }
        EXPECT_GT(grey, image->GetWidth() * image->GetHeight() / 2);
        EXPECT_GT(dots, 100);
        EXPECT_GT(green, 0) << "the origin marker";
    });
}

// Save writes the assembled system, and offers the key-value form too; the
// system stays in the sheet even when the wizard is cancelled.
TEST_F(PreviewTest, SaveWritesTheAssembledSystem) {
    const std::string prj = Path("user.prj");
    backend().QueueFileDialog(IDOK, prj.c_str(), 2);
    INT_PTR result = Run(sheet, [&](CZrHeadlessDriver& d) {
        WalkToPreview(sheet, d);
        EXPECT_TRUE(d.Click(IDC_ZR_PREVIEW_SAVE));
        EXPECT_TRUE(d.Cancel());
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(backend().FileDialogs().size(), 1u);
    EXPECT_EQ(backend().FileDialogs()[0].filter,
              CString("XML投影信息文件(*.xml)|*.xml|Orvanta Projection Files (*.prj)|*.prj||"));
    const std::string text = Read(prj);
    EXPECT_EQ(text.rfind("PCSType: -1 \r\n", 0), 0u) << text.substr(0, 40);
    EXPECT_EQ(sheet.m_coordSys.GetType(), PJ_CS_USER_DEFINED);
    CZrPJCoordSys back;
    ASSERT_EQ(ZrOpenKeyValueProjectionFile(prj.c_str(), back), 1);
    EXPECT_EQ(back.GetProjection().GetType(), sheet.m_coordSys.GetProjection().GetType());
}

} // namespace
