// Kinds added after the original enumeration are stored by their code like
// every other kind: a user-defined polar stereographic system (variant B,
// whose standard parallel carries the pole) reads back from the text, XML and
// archive forms and projects as the system written.
#include "PersistFixtures_p.h"

#include "platform/ZrArchive.h"

#include <gtest/gtest.h>

using namespace persist_test;

namespace {
constexpr int kXmlVersion = 20050301;
// Values the XML form writes with "%.10f": ten decimals of the flattening
// (5e-11) move a point by up to a·5e-11, 0.3 mm, so its copy is held to a millimetre.
constexpr double kTenDecimals = 5e-11;
constexpr double kTenDecimalsOnTheMap = 1e-3;

CZrPJCoordSys AntarcticStereographic() {
    CZrPJParams p;
    p.FalseEasting = 6000000.0;
    p.FalseNorthing = 6000000.0;
    p.CentralMeridian = 70.0;
    p.StandardParallel1 = p.StandardParallel2 = -71.0;
    p.ScaleFactor = 1.0;
    // A catalogue geographic system: its spheroid comes back from the text
    // form with the row's full figures, so the copy projects bit for bit.
    CZrPJGeoCoordSys wgs84;
    wgs84.Set(PJ_GCS_WGS_1984);
    CZrPJCoordSys cs;
    EXPECT_TRUE(cs.Set("Antarctic_Polar_Stereographic", wgs84,
                       CZrPJObject(PJ_KIND_POLAR_STEREOGRAPHIC_B), p, 10000));
    return cs;
}

void ExpectSameProjection(const CZrPJCoordSys& read, const CZrPJCoordSys& written, double metres = 0.0) {
    ASSERT_EQ(read.IsValid(), 1);
    CPoint2D a(120.0, -75.0), b = a;
    written.Forward(&a, 1);
    read.Forward(&b, 1);
    EXPECT_NEAR(a.x, b.x, metres);
    EXPECT_NEAR(a.y, b.y, metres);
}
} // namespace

TEST(AddedKinds, PolarStereographicRoundTripsThroughEveryForm) {
    const CZrPJCoordSys written = AntarcticStereographic();
    ASSERT_EQ(written.IsValid(), 1);
    {
        SCOPED_TRACE("text");
        CZrPJCoordSys read;
        read.SetPlanar(10);
        read.FromString(written.ToString());
        read.Create();
        ExpectSameSystem(read, written, kSixDecimals);
        ExpectSameProjection(read, written);
    }
    {
        SCOPED_TRACE("XML");
        CZrPJCoordSys read;
        ASSERT_EQ(read.FromXML(written.ToXML(kXmlVersion), kXmlVersion), 1);
        ExpectSameSystem(read, written, kTenDecimals);
        ExpectSameProjection(read, written, kTenDecimalsOnTheMap);
    }
    {
        SCOPED_TRACE("archive");
        CArchive store(CArchive::store);
        written.Write(store);
        const std::vector<unsigned char> bytes = store.GetBuffer();
        CArchive load(bytes.data(), static_cast<unsigned>(bytes.size()));
        CZrPJCoordSys read;
        read.Read(load);
        EXPECT_EQ(read.GetProjection().GetType(), PJ_KIND_POLAR_STEREOGRAPHIC_B);
        EXPECT_TRUE(read.GetParams() == written.GetParams());
        ExpectSameProjection(read, written);
    }
}
