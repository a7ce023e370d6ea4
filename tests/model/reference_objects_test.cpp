// Value semantics of the geodetic reference objects, projection kinds and
// parameters: defaults, equality rules with their edge cases, validity and the
// geocentric conversions.
#include "model/ZrPJGeoCoordSys.h"
#include "model/ZrPJObject.h"
#include "model/ZrPJParams.h"

#include <GeographicLib/Geocentric.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kTenthMillimetre = 1e-4; // metres
constexpr double kNanoradian = 1e-9;      // radians
constexpr double kDegToRad = 0.017453292519943295;

TEST(ReferenceObjects, DefaultsAreTheFixedCatalogueRows) {
    const CZrPJSpheroid sph;
    EXPECT_EQ(sph.GetType(), 7024);
    EXPECT_STREQ(sph.GetName(), "Krasovsky 1940");
    EXPECT_EQ(sph.GetAxis(), 6378245.0);
    EXPECT_EQ(sph.GetFlattening(), 0.003352329869259135);

    // The default datum holds the catalogue row, spelt with an underscore, so
    // it is not the default spheroid.
    const CZrPJDatum datum;
    EXPECT_STREQ(datum.GetSpheroid().GetName(), "Krasovsky_1940");
    EXPECT_FALSE(datum.GetSpheroid() == sph);
    CZrPJDatum d6214;
    d6214.Set(PJ_DATUM_BEIJING_1954);
    EXPECT_TRUE(datum == d6214);

    CZrPJGeoCoordSys g4214;
    g4214.Set(PJ_GCS_BEIJING_1954);
    EXPECT_TRUE(CZrPJGeoCoordSys() == g4214);
    EXPECT_EQ(CZrPJGeoCoordSys().GetUnits(), 0);

    const CZrPJPrimeMeridian pm;
    EXPECT_EQ(pm.GetType(), 8901);
    EXPECT_STREQ(pm.GetName(), "Greenwich");

    const CZrPJObject kind;
    EXPECT_EQ(kind.GetType(), 43005);
    EXPECT_STREQ(kind.GetName(), "Gauss_Kruger");

    const CZrPJParams p;
    EXPECT_EQ(p.ScaleFactor, 1.0);
    EXPECT_EQ(p.FalseEasting, 0.0);
    EXPECT_EQ(p.ScaleDifference, 0.0);
}

TEST(ReferenceObjects, PartsMakeUserDefinedObjects) {
    const CZrPJSpheroid s("Mine", 6400000.0, 0.003);
    const CZrPJPrimeMeridian pm("Mine", 10.0);
    const CZrPJDatum d("Mine", s);
    const CZrPJGeoCoordSys g("Mine", d, pm, 3);
    EXPECT_EQ(s.GetType(), -1);
    EXPECT_EQ(pm.GetType(), -1);
    EXPECT_EQ(d.GetType(), -1);
    EXPECT_EQ(g.GetType(), -1);
    EXPECT_EQ(g.GetUnits(), 3);

    // Same numbers as a catalogue row, but user-defined: never equal to it.
    CZrPJSpheroid row;
    row.Set(PJ_SPHEROID_WGS_1984);
    CZrPJSpheroid same(row.GetName(), row.GetAxis(), row.GetFlattening());
    EXPECT_FALSE(same == row);
    same.Set(PJ_SPHEROID_WGS_1984);
    EXPECT_TRUE(same == row);
}

TEST(ReferenceObjects, SpheroidEqualityTolerance) {
    const CZrPJSpheroid base("WGS_1984", 6378137.0, 0.00335281);
    struct Case {
        const char* what;
        CZrPJSpheroid other;
        int equal;
    };
    const Case cases[] = {
        {"identical", CZrPJSpheroid("WGS_1984", 6378137.0, 0.00335281), 1},
        {"flattening 5e-11 apart", CZrPJSpheroid("WGS_1984", 6378137.0, 0.00335281005), 1},
        {"flattening 2e-10 apart", CZrPJSpheroid("WGS_1984", 6378137.0, 0.0033528102), 0},
        {"next axis double", CZrPJSpheroid("WGS_1984", std::nextafter(6378137.0, 7e6), 0.00335281), 0},
        {"name in other case", CZrPJSpheroid("wgs_1984", 6378137.0, 0.00335281), 1},
        {"other name", CZrPJSpheroid("WGS_1972", 6378137.0, 0.00335281), 0},
        {"NaN flattening", CZrPJSpheroid("WGS_1984", 6378137.0, std::nan("")), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(base == c.other, c.equal) << c.what;
        EXPECT_EQ(c.other == base, c.equal) << c.what;
    }
}

TEST(ReferenceObjects, ExactEqualityOfPrimeMeridiansKindsAndParameters) {
    const CZrPJPrimeMeridian pm("Paris", 2.337229);
    EXPECT_TRUE(pm == CZrPJPrimeMeridian("PARIS", 2.337229));
    EXPECT_FALSE(pm == CZrPJPrimeMeridian("Paris", std::nextafter(2.337229, 3.0)));

    const CZrPJObject albers(PJ_KIND_ALBERS);
    EXPECT_TRUE(albers == CZrPJObject(PJ_KIND_ALBERS));
    EXPECT_FALSE(albers == CZrPJObject(PJ_KIND_BONNE));

    // Each of the seventeen values takes part, compared exactly.
    double CZrPJParams::*const fields[] = {
        &CZrPJParams::FalseEasting,        &CZrPJParams::FalseNorthing,
        &CZrPJParams::CentralMeridian,     &CZrPJParams::CentralParallel,
        &CZrPJParams::StandardParallel1,   &CZrPJParams::StandardParallel2,
        &CZrPJParams::ScaleFactor,         &CZrPJParams::Azimuth,
        &CZrPJParams::FirstPointLongitude, &CZrPJParams::SecondPointLongitude,
        &CZrPJParams::TranslationX,        &CZrPJParams::TranslationY,
        &CZrPJParams::TranslationZ,        &CZrPJParams::RotationX,
        &CZrPJParams::RotationY,           &CZrPJParams::RotationZ,
        &CZrPJParams::ScaleDifference};
    const CZrPJParams base;
    for (auto field : fields) {
        CZrPJParams p;
        p.*field = std::nextafter(p.*field, 2.0);
        EXPECT_FALSE(p == base);
        CZrPJParams q;
        q = p;
        EXPECT_TRUE(q == p);
    }
}

TEST(ReferenceObjects, DatumsAndSystemsCompareTheirParts) {
    CZrPJDatum a, b;
    a.Set(PJ_DATUM_WGS_1984);
    b.Set(PJ_DATUM_ETRF_1989); // same ellipsoid, other code and name
    EXPECT_FALSE(a == b);

    CZrPJGeoCoordSys g, h;
    g.Set(PJ_GCS_WGS_1984);
    h.Set(PJ_GCS_WGS_1984);
    EXPECT_TRUE(g == h);
    h.Set(h.GetName(), h.GetDatum(), h.GetPrimeMeridian(), 0); // from parts: type -1
    EXPECT_FALSE(g == h);
    CZrPJGeoCoordSys units("GCS_WGS_1984", g.GetDatum(), g.GetPrimeMeridian(), 1);
    h.Set("gcs_wgs_1984", g.GetDatum(), g.GetPrimeMeridian(), 0);
    EXPECT_FALSE(units == h); // units differ
    units.Set("GCS_WGS_1984", g.GetDatum(), g.GetPrimeMeridian(), 0);
    EXPECT_TRUE(units == h); // names ignore case
    CZrPJPrimeMeridian paris;
    paris.Set(PJ_PM_PARIS);
    units.Set("GCS_WGS_1984", g.GetDatum(), paris, 0);
    EXPECT_FALSE(units == h);
}

TEST(ReferenceObjects, KindFromUnknownCodeAndRefusedSet) {
    const CZrPJObject none(static_cast<tagPJObjectType>(43038));
    EXPECT_EQ(none.GetType(), -1);
    EXPECT_STREQ(none.GetName(), "");
    EXPECT_FALSE(none == CZrPJObject(PJ_KIND_NO_PROJECTION));

    CZrPJObject tm(PJ_KIND_TRANSVERSE_MERCATOR);
    EXPECT_EQ(tm.Set(static_cast<tagPJObjectType>(43038)), 0);
    EXPECT_EQ(tm.GetType(), 43006);
    EXPECT_STREQ(tm.GetName(), "Transverse_Mercator");
}

TEST(ReferenceObjects, Validity) {
    struct Case {
        double axis, flattening;
        int valid;
    };
    const Case cases[] = {
        {6378137.0, 0.0033528107, 1}, {6371000.0, 0.0, 1},      {6378137.0, 1.0, 0},
        {6378137.0, 0.9999999, 1},    {0.0, 0.003, 0},          {-1.0, 0.003, 0},
        {6378137.0, -1e-12, 0},       {std::nan(""), 0.003, 0}, {6378137.0, std::nan(""), 0}};
    for (const Case& c : cases) {
        const CZrPJSpheroid s("s", c.axis, c.flattening);
        EXPECT_EQ(s.IsValid(), c.valid) << c.axis << " " << c.flattening;
        const CZrPJDatum d("d", s);
        EXPECT_EQ(d.IsValid(), c.valid);
        EXPECT_EQ(CZrPJGeoCoordSys("g", d, CZrPJPrimeMeridian(), 0).IsValid(), c.valid);
    }
}

// Oracle: GeographicLib's Geocentric, exact closed forms for the same a, f.
TEST(ReferenceObjects, GeocentricConversionsMatchGeographicLib) {
    const long codes[] = {7024, 7030, 7022, 7035, 40023};
    const double lph[][3] = {{116.4, 39.9, 50.0},
                             {-73.9, -40.7, 0.0},
                             {179.9, 0.0, -20.0},
                             {0.0, 89.99, 4000.0},
                             {-120.0, -60.0, 8000.0}};
    for (long code : codes) {
        CZrPJSpheroid s;
        s.Set(static_cast<tagPJSpheroidType>(code));
        const GeographicLib::Geocentric oracle(s.GetAxis(), s.GetFlattening());
        CPoint3D pts[5];
        for (int i = 0; i < 5; ++i)
            pts[i] = CPoint3D(lph[i][0] * kDegToRad, lph[i][1] * kDegToRad, lph[i][2]);
        ASSERT_EQ(s.LPHToXYZ(pts, 5), 5);
        for (int i = 0; i < 5; ++i) {
            double X, Y, Z;
            oracle.Forward(lph[i][1], lph[i][0], lph[i][2], X, Y, Z);
            EXPECT_NEAR(pts[i].x, X, kTenthMillimetre) << code << " point " << i;
            EXPECT_NEAR(pts[i].y, Y, kTenthMillimetre);
            EXPECT_NEAR(pts[i].z, Z, kTenthMillimetre);
        }
        ASSERT_EQ(s.XYZToLPH(pts, 5), 5);
        for (int i = 0; i < 5; ++i) {
            EXPECT_NEAR(pts[i].x, lph[i][0] * kDegToRad, kNanoradian) << code << " point " << i;
            EXPECT_NEAR(pts[i].y, lph[i][1] * kDegToRad, kNanoradian);
            EXPECT_NEAR(pts[i].z, lph[i][2], 1e-3); // a millimetre of height
        }
    }
}

TEST(ReferenceObjects, GeocentricConversionOfNothing) {
    CPoint3D pt(1.0, 0.5, 10.0);
    const CZrPJSpheroid s;
    EXPECT_EQ(s.LPHToXYZ(&pt, 0), 0);
    EXPECT_EQ(s.XYZToLPH(&pt, -3), -3);
    EXPECT_EQ(s.LPHToXYZ(nullptr, 4), 0);
    EXPECT_EQ(pt.x, 1.0);
    EXPECT_EQ(pt.y, 0.5);
    EXPECT_EQ(pt.z, 10.0);
}

} // namespace
