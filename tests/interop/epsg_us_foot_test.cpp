// The US survey foot (1200/3937 m): a unit code of its own, exact in the
// projection, named, and carried by every stored form.
#include "model/ZrPJCoordSys.h"
#include "persistence/ZrPrjFiles.h"
#include "platform/ZrArchive.h"
#include "platform/ZrToolkit.h"
#include "support/SurveyFootSystem_p.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

TEST(UsSurveyFoot, ProjectsTwoPartsPerMillionLongerThanTheFoot) {
    const CZrPJCoordSys survey = CaliforniaZone5(kZrUnitUsSurveyFoot);
    const CZrPJCoordSys foot = CaliforniaZone5(3048);
    const CZrPJCoordSys metre = CaliforniaZone5(10000);
    ASSERT_TRUE(survey.IsValid());
    // A point about a million feet east of the false origin's meridian.
    CPoint2D s(-114.6, 34.5), f = s, m = s;
    ASSERT_TRUE(survey.Forward(&s, 1));
    ASSERT_TRUE(foot.Forward(&f, 1));
    ASSERT_TRUE(metre.Forward(&m, 1));
    // In metres the two foot systems differ by their unit's length only: 2 ppm.
    const double fromOriginFt = s.x - 6561666.667;
    ASSERT_GT(fromOriginFt, 1.0e6);
    const double eastMetresSurvey = fromOriginFt * 1200.0 / 3937.0;
    const double eastMetresFoot = (f.x - 6561666.667) * 0.3048;
    // The metre system's easting less its false easting taken as metres.
    const double eastMetres = m.x - 6561666.667;
    constexpr double kMicrometre = 1e-6;
    EXPECT_NEAR(eastMetresSurvey, eastMetres, kMicrometre);
    EXPECT_NEAR(eastMetresFoot, eastMetres, kMicrometre);
    // The same ground distance reads 2 ppm fewer survey feet than feet: two
    // feet at a million feet.
    EXPECT_NEAR(s.x - f.x, (s.x - 6561666.667) * (1.0 - 1200.0 / 3937.0 / 0.3048), 1e-6);
    EXPECT_GT(std::fabs(s.x - f.x), 1.9);
    EXPECT_EQ(CZrToolkit::UnitConvert(kZrUnitUsSurveyFoot), CString("US Survey Foot"));
    EXPECT_EQ(CZrToolkit::UnitConvert(CString("us survey foot")), kZrUnitUsSurveyFoot);
    EXPECT_EQ(ZrGetUnitsNameExt(kZrUnitUsSurveyFoot), CString("US Survey Foot"));
    EXPECT_DOUBLE_EQ(ZrUnitCodeToMetres(kZrUnitUsSurveyFoot), 1200.0 / 3937.0);
}

TEST(UsSurveyFoot, EveryStoredFormCarriesIt) {
    CZrPJCoordSys planar;
    planar.SetPlanar(kZrUnitUsSurveyFoot);
    const std::string path = "/tmp/zrprj_usft_" + std::to_string(getpid());
    for (const CZrPJCoordSys& cs : {CaliforniaZone5(kZrUnitUsSurveyFoot), planar}) {
        CZrPJCoordSys text;
        text.FromString(cs.ToString());
        text.Create(); // the text reader leaves the rebuild to its caller
        EXPECT_EQ(text.GetDistUnits(), kZrUnitUsSurveyFoot) << cs.ToString();
        CZrPJCoordSys xml;
        const int nested = 20050101; // a version past the flat layout
        ASSERT_TRUE(xml.FromXML(cs.ToXML(nested), nested));
        EXPECT_EQ(xml.GetDistUnits(), kZrUnitUsSurveyFoot);
        CArchive out(CArchive::store);
        cs.Write(out);
        const std::vector<unsigned char> bytes = out.GetBuffer();
        CArchive in(bytes.data(), static_cast<unsigned>(bytes.size()));
        CZrPJCoordSys archived;
        archived.Read(in);
        EXPECT_EQ(archived.GetDistUnits(), kZrUnitUsSurveyFoot);
        CZrPJCoordSys keyValue;
        ASSERT_TRUE(ZrSaveKeyValueProjectionFile(path.c_str(), cs));
        ASSERT_TRUE(ZrOpenKeyValueProjectionFile(path.c_str(), keyValue));
        EXPECT_EQ(keyValue.GetDistUnits(), kZrUnitUsSurveyFoot);
        // The projected system comes back projecting as before (the text
        // form prints six decimals of the parallels: 0.1 m).
        if (cs.GetType() == PJ_CS_PLANAR) continue;
        for (const CZrPJCoordSys* back : {&text, &xml, &archived, &keyValue}) {
            CPoint2D a(-117.0, 35.0), b = a;
            ASSERT_TRUE(cs.Forward(&a, 1));
            ASSERT_TRUE(back->Forward(&b, 1));
            EXPECT_NEAR(a.x, b.x, 0.1);
            EXPECT_NEAR(a.y, b.y, 0.1);
        }
    }
    std::remove(path.c_str());
}
