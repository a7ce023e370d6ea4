// Kinds coded after the original set are stored by their code like any
// other: a system of each survives the text, XML and archive forms and
// projects as it did before it was written.
#include "PersistFixtures_p.h"

#include "platform/ZrArchive.h"

#include <gtest/gtest.h>

using namespace persist_test;

namespace {
constexpr int kCurrentXml = 20050301;

CZrPJCoordSys System(long kind, const CZrPJParams& p) {
    CZrPJCoordSys cs;
    EXPECT_TRUE(
        cs.Set("Later kind", UserGeoCoordSys(), CZrPJObject(static_cast<tagPJObjectType>(kind)), p, 10000))
        << kind;
    EXPECT_EQ(cs.Create(), 1) << kind;
    return cs;
}

CPoint2D Projected(const CZrPJCoordSys& cs, double lon, double lat) {
    CPoint2D pt(lon, lat);
    EXPECT_EQ(cs.Forward(&pt, 1), 1);
    return pt;
}
} // namespace

TEST(LaterKinds, EveryStoredFormKeepsTheKindAndItsParameters) {
    CZrPJParams p;
    p.FalseEasting = 200000.0;
    p.FalseNorthing = 300000.0;
    p.CentralMeridian = 25.0;
    p.CentralParallel = -10.0;
    p.ScaleFactor = 0.9999;
    p.StandardParallel1 = -5.0;
    p.StandardParallel2 = -15.0;
    p.FirstPointLongitude = 6.0; // the zoned transverse Mercator's zone width
    for (long kind : {43054L, 43055L, 43056L, 43057L, 43058L, 43059L, 43060L, 43061L, 43062L, 43063L, 43066L,
                      43067L, 43068L, 43075L, 43076L, 43077L, 43078L, 43080L}) {
        SCOPED_TRACE(kind);
        // The tilted perspective keeps the eye's distance from the centre, in
        // units of a, as its scale: above the surface.
        p.ScaleFactor = kind == 43077 ? 1.8 : 0.9999;
        const CZrPJCoordSys written = System(kind, p);
        const CPoint2D want = Projected(written, 26.5, -12.0);

        CZrPJCoordSys text;
        text.SetPlanar(10);
        text.FromString(written.ToString());
        ASSERT_EQ(text.Create(), 1);
        EXPECT_EQ(text.GetProjection().GetType(), kind);
        // The text keeps six decimals of the user spheroid's flattening too,
        // which moves points by decimetres: the parameters are what it must keep.
        ExpectParamsNear(text.GetParams(), p, kSixDecimals);

        CZrPJCoordSys xml;
        ASSERT_EQ(xml.FromXML(written.ToXML(kCurrentXml), kCurrentXml), 1);
        ASSERT_EQ(xml.Create(), 1);
        EXPECT_EQ(xml.GetProjection().GetType(), kind);
        const CPoint2D fromXml = Projected(xml, 26.5, -12.0);
        EXPECT_NEAR(fromXml.x, want.x, 1e-6);
        EXPECT_NEAR(fromXml.y, want.y, 1e-6);

        CArchive store(CArchive::store);
        written.Write(store);
        const std::vector<unsigned char> bytes = store.GetBuffer();
        CArchive load(bytes.data(), static_cast<unsigned>(bytes.size()));
        CZrPJCoordSys archived;
        archived.Read(load);
        ASSERT_EQ(archived.Create(), 1);
        EXPECT_EQ(archived.GetProjection().GetType(), kind);
        EXPECT_TRUE(archived.GetParams() == p);
        const CPoint2D fromArchive = Projected(archived, 26.5, -12.0);
        EXPECT_EQ(fromArchive.x, want.x);
        EXPECT_EQ(fromArchive.y, want.y);
    }
}
