// The kinds added after the enumeration's first block are stored by their
// code like any other: each stored form reads one of them back.
#include "PersistFixtures_p.h"

#include "platform/ZrArchive.h"

#include <gtest/gtest.h>

#include <vector>

using namespace persist_test;

namespace {

// Bogota's city grid on the user-defined ellipsoid: its plane 2550 m up is kept
// as the scale 1 + h0 / a.
CZrPJCoordSys BogotaGrid() {
    CZrPJParams p;
    p.FalseEasting = 92334.879;
    p.FalseNorthing = 109320.965;
    p.CentralMeridian = -74.1465916666667;
    p.CentralParallel = 4.68048611111111;
    p.ScaleFactor = 1.0 + 2550.0 / 6378137.0;
    CZrPJCoordSys cs;
    EXPECT_TRUE(cs.Set("Bogota_Urban", UserGeoCoordSys(), CZrPJObject(PJ_KIND_COLOMBIA_URBAN), p, 10000));
    return cs;
}

} // namespace

TEST(LocalPlaneKinds, EveryStoredFormKeepsTheKind) {
    const CZrPJCoordSys written = BogotaGrid();
    ASSERT_EQ(written.IsValid(), 1);

    CZrPJCoordSys text;
    text.SetPlanar(10);
    text.FromString(written.ToString());
    text.Create();
    // Six decimals: the scale to 5e-7, the plane's height to 3 m.
    ExpectSameSystem(text, written, 5e-7);

    CZrPJCoordSys xml;
    ASSERT_EQ(xml.FromXML(written.ToXML(20050301), 20050301), 1);
    ExpectSameSystem(xml, written, 5e-11);

    CArchive store(CArchive::store);
    written.Write(store);
    const std::vector<unsigned char> bytes = store.GetBuffer();
    CArchive load(bytes.data(), static_cast<unsigned>(bytes.size()));
    CZrPJCoordSys archived;
    archived.Read(load);
    EXPECT_EQ(archived.GetProjection().GetType(), PJ_KIND_COLOMBIA_URBAN);
    EXPECT_TRUE(archived.GetParams() == written.GetParams());

    // And each projects: the stored kind has its routine.
    for (const CZrPJCoordSys* cs : {&text, &xml, &archived}) {
        CPoint2D pt(-74.25, 4.8);
        ASSERT_EQ(cs->Forward(&pt, 1), 1);
        EXPECT_NEAR(pt.x, 80859.0, 5.0);
    }
}
