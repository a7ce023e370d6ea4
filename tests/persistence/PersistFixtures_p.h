#pragma once

// Objects shared by the persistence tests: catalogue systems and a fully
// user-defined one (a user-defined spheroid on a user-defined datum).

#include "model/ZrPJCoordSys.h"

#include <gtest/gtest.h>

namespace persist_test {

// Values written with "%f" keep six decimals.
constexpr double kSixDecimals = 5e-7;

inline CZrPJSpheroid UserSpheroid() {
    return CZrPJSpheroid("My_Spheroid", 6378140.0, 1.0 / 298.257);
}
inline CZrPJDatum UserDatum() {
    return CZrPJDatum("D_My_Datum", UserSpheroid());
}
inline CZrPJPrimeMeridian UserMeridian() {
    return CZrPJPrimeMeridian("My_Meridian", 2.337229);
}
inline CZrPJGeoCoordSys UserGeoCoordSys() {
    return CZrPJGeoCoordSys("GCS_My", UserDatum(), UserMeridian(), 0);
}

inline CZrPJParams UserParams() {
    CZrPJParams p;
    p.FalseEasting = 400000.25;
    p.FalseNorthing = -100.5;
    p.CentralMeridian = 117.5;
    p.CentralParallel = 30.125;
    p.StandardParallel1 = 25.0;
    p.StandardParallel2 = 47.0;
    p.ScaleFactor = 0.9999;
    p.Azimuth = 12.5;
    p.FirstPointLongitude = 100.0;
    p.SecondPointLongitude = 130.0;
    return p;
}

// A Lambert conformal conic system in feet, every part defined by hand.
inline CZrPJCoordSys UserCoordSys() {
    CZrPJCoordSys cs;
    EXPECT_TRUE(cs.Set("My_Lambert", UserGeoCoordSys(), CZrPJObject(PJ_KIND_LAMBERT_CONFORMAL_CONIC),
                       UserParams(), 3048));
    return cs;
}

inline CZrPJCoordSys Catalogue(long code) {
    CZrPJCoordSys cs;
    EXPECT_TRUE(cs.Set(static_cast<tagPJCoordSysType>(code)));
    return cs;
}

inline void ExpectParamsNear(const CZrPJParams& a, const CZrPJParams& b, double tol) {
    EXPECT_NEAR(a.FalseEasting, b.FalseEasting, tol);
    EXPECT_NEAR(a.FalseNorthing, b.FalseNorthing, tol);
    EXPECT_NEAR(a.CentralMeridian, b.CentralMeridian, tol);
    EXPECT_NEAR(a.CentralParallel, b.CentralParallel, tol);
    EXPECT_NEAR(a.StandardParallel1, b.StandardParallel1, tol);
    EXPECT_NEAR(a.StandardParallel2, b.StandardParallel2, tol);
    EXPECT_NEAR(a.ScaleFactor, b.ScaleFactor, tol);
    EXPECT_NEAR(a.Azimuth, b.Azimuth, tol);
    EXPECT_NEAR(a.FirstPointLongitude, b.FirstPointLongitude, tol);
    EXPECT_NEAR(a.SecondPointLongitude, b.SecondPointLongitude, tol);
}

// Every code, name and unit equal; numbers within tol.
inline void ExpectSameSystem(const CZrPJCoordSys& got, const CZrPJCoordSys& want, double tol) {
    EXPECT_EQ(got.GetType(), want.GetType());
    EXPECT_STREQ(got.GetName(), want.GetName());
    EXPECT_EQ(got.GetDistUnits(), want.GetDistUnits());
    const CZrPJGeoCoordSys g = got.GetGCS(), w = want.GetGCS();
    EXPECT_EQ(g.GetType(), w.GetType());
    EXPECT_STREQ(g.GetName(), w.GetName());
    EXPECT_EQ(g.GetUnits(), w.GetUnits());
    EXPECT_EQ(g.GetDatum().GetType(), w.GetDatum().GetType());
    EXPECT_STREQ(g.GetDatum().GetName(), w.GetDatum().GetName());
    const CZrPJSpheroid gs = g.GetDatum().GetSpheroid(), ws = w.GetDatum().GetSpheroid();
    EXPECT_EQ(gs.GetType(), ws.GetType());
    EXPECT_STREQ(gs.GetName(), ws.GetName());
    EXPECT_NEAR(gs.GetAxis(), ws.GetAxis(), tol);
    EXPECT_NEAR(gs.GetFlattening(), ws.GetFlattening(), tol);
    EXPECT_EQ(g.GetPrimeMeridian().GetType(), w.GetPrimeMeridian().GetType());
    EXPECT_STREQ(g.GetPrimeMeridian().GetName(), w.GetPrimeMeridian().GetName());
    EXPECT_NEAR(g.GetPrimeMeridian().GetLongitude(), w.GetPrimeMeridian().GetLongitude(), tol);
    EXPECT_EQ(got.GetProjection().GetType(), want.GetProjection().GetType());
    ExpectParamsNear(got.GetParams(), want.GetParams(), tol);
    EXPECT_EQ(got.IsValid(), want.IsValid());
}

} // namespace persist_test
