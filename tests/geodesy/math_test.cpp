#include "geodesy/ZrPJMath.h"

#include <GeographicLib/Ellipsoid.hpp>
#include <gtest/gtest.h>

#include <cmath>

namespace {
constexpr double kNanoradian = 1e-9;
constexpr double kQuarterMillimetre = 2.5e-4;
constexpr double kMillimetre = 1e-3;
constexpr double kMicrometre = 1e-6;

struct Ellipsoid {
    const char* name;
    double a, f;
};
const Ellipsoid kEllipsoids[] = {
    {"WGS 84", 6378137.0, 1.0 / 298.257223563},
    {"Krasovsky", 6378245.0, 1.0 / 298.3},
    {"Clarke 1880 (RGS)", 6378249.145, 1.0 / 293.465},
    {"Sphere", 6371000.0, 0.0},
};
} // namespace

TEST(DmsTest, DegreesSplitTowardZeroWithEveryPartCarryingTheSign) {
    double d, m, s;
    CZrPJMath::Degree2DMS(30.5, d, m, s);
    EXPECT_EQ(d, 30);
    EXPECT_EQ(m, 30);
    EXPECT_NEAR(s, 0.0, 1e-9);
    CZrPJMath::Degree2DMS(-30.5, d, m, s);
    EXPECT_EQ(d, -30);
    EXPECT_EQ(m, -30);
    EXPECT_NEAR(s, 0.0, 1e-9);
    CZrPJMath::Degree2DMS(117.508333333333, d, m, s);
    EXPECT_EQ(d, 117);
    EXPECT_EQ(m, 30);
    EXPECT_NEAR(s, 30.0, 1e-6);
    // Angles too large for a 32-bit second count saturate instead of overflowing.
    CZrPJMath::Degree2DMS(1e12, d, m, s);
    EXPECT_TRUE(std::isfinite(d));
}

TEST(DmsTest, TextRoundTripsAndTheNegativeDegreeRule) {
    EXPECT_EQ(CZrPJMath::Degree2StrDMS(30.5), "30, 30, 0.000000");
    EXPECT_NEAR(CZrPJMath::StrDMS2Degree("30, 30, 36"), 30.51, 1e-12);
    EXPECT_NEAR(CZrPJMath::StrDMS2Degree("   12.5"), 12.5, 1e-12);
    EXPECT_NEAR(CZrPJMath::StrDMS2Degree("12, 30"), 12.5, 1e-12);
    // Minutes and seconds keep their own sign: "-30, 30, 0" is -29.5.
    EXPECT_NEAR(CZrPJMath::StrDMS2Degree("-30, 30, 0"), -29.5, 1e-12);
    EXPECT_EQ(CZrPJMath::StrDMS2Degree("abc"), 0.0);
    for (double deg : {0.0, 1.25, 45.123456, 117.0, 179.999999}) {
        EXPECT_NEAR(CZrPJMath::StrDMS2Degree(CZrPJMath::Degree2StrDMS(deg)), deg, 1e-9) << deg;
    }
    // Negative angles written by Degree2StrDMS read back as written, because
    // every part carries the sign.
    EXPECT_NEAR(CZrPJMath::StrDMS2Degree(CZrPJMath::Degree2StrDMS(-33.75)), -33.75, 1e-9);
    EXPECT_NEAR(CZrPJMath::Deg2Rad(30, 30, 36), 30.51 * CZrPJMath::kDegToRad, 1e-15);
}

TEST(GuardedFunctionsTest, ReturnLimitsInsteadOfDomainErrors) {
    EXPECT_EQ(CZrPJMath::aasin(1.0000001), CZrPJMath::kHalfPi);
    EXPECT_EQ(CZrPJMath::aasin(-2.0), -CZrPJMath::kHalfPi);
    EXPECT_EQ(CZrPJMath::aacos(1.0), 0.0);
    EXPECT_EQ(CZrPJMath::aacos(-1.0), CZrPJMath::kPi);
    EXPECT_EQ(CZrPJMath::aatan2(0.0, 0.0), 0.0);
    EXPECT_EQ(CZrPJMath::asqrt(-4.0), 0.0);
    EXPECT_EQ(CZrPJMath::asqrt(4.0), 2.0);
}

TEST(EllipsoidConstantsTest, AgreeWithEachOther) {
    const double rf = 298.257223563, a = 6378137.0, b = a * (1.0 - 1.0 / rf);
    EXPECT_DOUBLE_EQ(CZrPJMath::GetES_From_Flatten(1.0 / rf), CZrPJMath::GetES_From_RF(rf));
    EXPECT_NEAR(CZrPJMath::GetES(a, b), CZrPJMath::GetES_From_RF(rf), 1e-15);
    EXPECT_NEAR(CZrPJMath::GetFlatten(a, b), 1.0 / rf, 1e-15);
    // 1 - e, not 1 - e^2.
    EXPECT_NEAR(CZrPJMath::Getone_ES(a, b), 1.0 - CZrPJMath::GetE(a, b), 1e-15);
    EXPECT_NEAR(CZrPJMath::GetW(0.5, 0.0), 1.0, 0.0);
    // GetF is half the authalic q; at the pole it is (Rq / a)^2, Rq the radius
    // of the sphere of equal area.
    const double e = CZrPJMath::GetE(a, b), es = e * e;
    const double Rq = std::sqrt(GeographicLib::Ellipsoid(a, 1.0 / rf).Area() / (4.0 * CZrPJMath::kPi));
    EXPECT_NEAR(CZrPJMath::GetF(CZrPJMath::kHalfPi, e, es), (Rq / a) * (Rq / a), 1e-12);
}

TEST(GreatCircleTest, AzimuthAndZenithConvertBothWays) {
    const double lam0 = 0.3, phi0 = 0.7;
    for (double lam : {-1.0, 0.2, 0.9}) {
        for (double phi : {-0.5, 0.1, 1.2}) {
            double A = lam, Z = phi;
            CZrPJMath::LP_To_AZ(A, Z, lam0, phi0);
            EXPECT_NEAR(Z, CZrPJMath::ZAngle(lam, phi, lam0, phi0), 1e-12);
            CZrPJMath::AZ_To_LP(A, Z, lam0, phi0);
            EXPECT_NEAR(A, lam, kNanoradian);
            EXPECT_NEAR(Z, phi, kNanoradian);
        }
    }
}

TEST(GeocentricTest, ClosedInversionRecoversHeightAndLatitudeOnSeveralEllipsoids) {
    // The closed formula is second order in e^2; over -1..+10 km of height it
    // stays within a quarter of a millimetre (worst at 10 km) and two nanoradians.
    for (const Ellipsoid& el : kEllipsoids) {
        const double es = CZrPJMath::GetES_From_Flatten(el.f);
        for (double lat : {-89.0, -45.0, -10.0, 0.0, 30.0, 60.0, 89.9}) {
            for (double h : {-1000.0, 0.0, 250.0, 10000.0}) {
                CPoint3D p(1.234, lat * CZrPJMath::kDegToRad, h);
                CZrPJMath::LPH2XYZ(p, el.a, es);
                CZrPJMath::XYZ2LPH(p, el.a, es);
                EXPECT_NEAR(p.x, 1.234, kNanoradian) << el.name;
                EXPECT_NEAR(p.y, lat * CZrPJMath::kDegToRad, 2e-9) << el.name << " " << lat << " " << h;
                EXPECT_NEAR(p.z, h, kQuarterMillimetre) << el.name << " " << lat << " " << h;
            }
        }
    }
}

TEST(GeocentricTest, BowringFormsAgreeWithTheClosedFormNearTheSurface) {
    const double a = 6378137.0, f = 1.0 / 298.257223563, b = a * (1 - f);
    const double es = CZrPJMath::GetES_From_Flatten(f);
    for (double lat : {-60.0, -5.0, 20.0, 75.0}) {
        CPoint3D p(-0.4, lat * CZrPJMath::kDegToRad, 100.0), q;
        CZrPJMath::LPH2XYZ(p, a, es);
        q = p;
        CZrPJMath::XYZ2LPH2(p, a, b, es);
        CZrPJMath::XYZ2LPH3(q, a, b, es);
        EXPECT_NEAR(p.y, lat * CZrPJMath::kDegToRad, kNanoradian);
        EXPECT_EQ(q.y, p.y);
        EXPECT_NEAR(p.z, 100.0, kMillimetre);
        EXPECT_NEAR(q.z, 100.0, kMillimetre);
    }
}

TEST(GeocentricTest, SurfaceConversionsInvertExactly) {
    const double a = 6378245.0, es = CZrPJMath::GetES_From_Flatten(1.0 / 298.3);
    const double b = a * std::sqrt(1.0 - es);
    CPoint2D lp(2.0, 0.6), back;
    CPoint3D xyz;
    CZrPJMath::LP2XYZ(lp, xyz, a, es);
    CZrPJMath::XYZ2LP(back, xyz, a, es);
    EXPECT_NEAR(back.x, lp.x, 1e-15);
    EXPECT_NEAR(back.y, lp.y, 1e-15);
    // Geocentric latitude: LF2XYZ takes longitude in x, XYZ2LF returns latitude in x.
    CZrPJMath::LF2XYZ(lp, xyz, a, es);
    CZrPJMath::XYZ2LF(back, xyz, a, es);
    EXPECT_NEAR(back.x, lp.y, 1e-15);
    EXPECT_NEAR(back.y, lp.x, 1e-15);
    // Reduced latitude: U in x and L in y both ways.
    CPoint2D ul(0.6, 2.0);
    CZrPJMath::LU2XYZ(ul, xyz, a, b);
    CZrPJMath::XYZ2LU(back, xyz, a, b);
    EXPECT_NEAR(back.x, ul.x, 1e-15);
    EXPECT_NEAR(back.y, ul.y, 1e-15);
    EXPECT_NEAR(std::hypot(xyz.x, xyz.y), a * std::cos(0.6), kMicrometre);
}
