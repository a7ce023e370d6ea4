// The translator's routes against PROJ's pipelines for the same conversions,
// its answers, validity rules and copies, and the prime-meridian handling.
#include "model/ZrPJCoordSys.h"
#include "support/ProjOracle.h"
#include "transform/ZrPJTranslator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr double kDeg = 0.017453292519943295;
constexpr double kMillimetre = 1e-3;
constexpr double kNanodegree = 1e-9;

CZrPJGeoCoordSys Gcs(long code) {
    CZrPJGeoCoordSys g;
    EXPECT_EQ(g.Set(static_cast<tagGeoCoordSysType>(code)), 1) << code;
    return g;
}
CZrPJCoordSys Earth(long gcs) {
    CZrPJCoordSys cs;
    EXPECT_EQ(cs.SetEarth(Gcs(gcs), 10000), 1);
    return cs;
}
CZrPJCoordSys Projected(long code) {
    CZrPJCoordSys cs;
    EXPECT_EQ(cs.Set(static_cast<tagPJCoordSysType>(code)), 1) << code;
    return cs;
}
CZrPJParams Shift(double dx, double dy, double dz, double rx = 0, double ry = 0, double rz = 0,
                  double ppm = 0) {
    CZrPJParams p;
    p.TranslationX = dx;
    p.TranslationY = dy;
    p.TranslationZ = dz;
    p.RotationX = rx;
    p.RotationY = ry;
    p.RotationZ = rz;
    p.ScaleDifference = ppm;
    return p;
}
// Beijing 1954 -> WGS 84, seven parameters of plausible size.
const CZrPJParams kBeijingToWgs = Shift(15.8, -154.4, -82.3, 0.35, -0.62, 1.45, 2.1);

CZrPJTranslator Make(const CZrPJCoordSys& src, const CZrPJCoordSys& des, long method, const CZrPJParams& p) {
    CZrPJTranslator t;
    t.Set(src, des);
    t.SetMethod(static_cast<tagPJTransMethod>(method));
    t.SetParams(p);
    return t;
}

bool IsProjected(const CZrPJCoordSys& cs) {
    return cs.GetProjection().GetType() != -1;
}

std::vector<CPoint3D> SamplePoints(const CZrPJCoordSys& cs) {
    // Geographic points near 117E 39N; projected ones are their projection.
    std::vector<CPoint3D> pts;
    for (double lon : {115.5, 117.0, 118.9})
        for (double lat : {31.0, 39.9, 45.2})
            pts.emplace_back(lon, lat, 40.0);
    if (IsProjected(cs)) {
        EXPECT_EQ(cs.Forward(pts.data(), static_cast<long>(pts.size())), 9);
    }
    return pts;
}

// PROJ's statement of each side and of each shift, for the oracle's pipelines.
// The ellipsoids are given with the catalogue's stored values (its WGS 84
// keeps the flattening to ten digits: 0.2 mm on the ground).
const char* const kKrassowsky = "+a=6378245 +rf=298.3";
const char* const kWgs84 = "+a=6378137 +f=0.0033528107";
const char* const kGeographic = "";
const char* const kGk20 = "+proj=tmerc +lat_0=0 +lon_0=117 +k=1 +x_0=20500000 +y_0=0 +a=6378245 +rf=298.3";
const char* const kUtm50 =
    "+proj=tmerc +lat_0=0 +lon_0=117 +k=0.9996 +x_0=500000 +y_0=0 +a=6378137 +f=0.0033528107";
const char* const kUtm50S =
    "+proj=tmerc +lat_0=0 +lon_0=117 +k=0.9996 +x_0=500000 +y_0=10000000 +a=6378137 +f=0.0033528107";

std::string Helmert(const CZrPJParams& p, double sign, const char* convention) {
    char text[320];
    std::snprintf(text, sizeof text,
                  " +step +proj=helmert +x=%.17g +y=%.17g +z=%.17g +rx=%.17g +ry=%.17g +rz=%.17g +s=%.17g "
                  "+convention=%s",
                  sign * p.TranslationX, sign * p.TranslationY, sign * p.TranslationZ, sign * p.RotationX,
                  sign * p.RotationY, sign * p.RotationZ, sign * p.ScaleDifference, convention);
    return text;
}

// Beijing 1954 (Krassowsky) -> WGS 84 by each method, as PROJ states it:
// geocentric translation and the similarities as cart + helmert + inverse
// cart, Molodensky as PROJ's molodensky with the ellipsoids' differences.
// Backward, the 2-D similarity is EPSG's reversal (every parameter negated),
// which PROJ spells as a helmert with negated rotations and scale followed by
// the negated translation; every other backward shift is the pipeline's inverse.
std::string ShiftSteps(long method, const CZrPJParams& p, bool reversal) {
    char text[320];
    if (method == 9604 || method == 9605) {
        std::snprintf(text, sizeof text,
                      " +step +proj=molodensky %s +da=%.17g +df=%.17g +dx=%.17g +dy=%.17g +dz=%.17g%s",
                      kKrassowsky, 6378137.0 - 6378245.0, 0.0033528107 - 1 / 298.3, p.TranslationX,
                      p.TranslationY, p.TranslationZ, method == 9605 ? " +abridged" : "");
        return text;
    }
    const char* convention = method == 9606 ? "position_vector" : "coordinate_frame";
    CZrPJParams shift = p;
    if (method == 9603) shift.RotationX = shift.RotationY = shift.RotationZ = shift.ScaleDifference = 0;
    const std::string krassowsky = kKrassowsky, wgs84 = kWgs84;
    if (!reversal)
        return " +step +proj=cart " + krassowsky + Helmert(shift, 1, convention) + " +step +inv +proj=cart " +
               wgs84;
    // Written from WGS 84 to Krassowsky; the caller runs it forward.
    CZrPJParams rotations = shift, translation;
    rotations.TranslationX = rotations.TranslationY = rotations.TranslationZ = 0;
    translation.TranslationX = shift.TranslationX;
    translation.TranslationY = shift.TranslationY;
    translation.TranslationZ = shift.TranslationZ;
    return " +step +proj=cart " + wgs84 + Helmert(rotations, -1, convention) +
           Helmert(translation, -1, convention) + " +step +inv +proj=cart " + krassowsky;
}

// The whole conversion from one side to the other, degrees in and out on a
// geographic side, metres on a projected one.
std::string Pipeline(const char* from, const std::string& shift, const char* to) {
    std::string p = "+proj=pipeline";
    p += *from ? std::string(" +step +inv ") + from : " +step +proj=unitconvert +xy_in=deg +xy_out=rad";
    p += shift;
    p += *to ? std::string(" +step ") + to : " +step +proj=unitconvert +xy_in=rad +xy_out=deg";
    return p;
}

// Distance between two results in metres: on a projected side the plane
// distance, on a geographic side the ground distance on a sphere of the
// earth's size (plenty for sub-millimetre tolerances).
double Miss(bool projected, double x1, double y1, double x2, double y2) {
    if (projected) return std::hypot(x1 - x2, y1 - y2);
    return 6378137.0 * kDeg * std::hypot(y1 - y2, (x1 - x2) * std::cos(y1 * kDeg));
}
} // namespace

TEST(TranslatorRouteTest, EveryRouteAgreesWithProjsPipelineAndAnswersAsItAlwaysHas) {
    // Each route is unprojection, datum shift and projection as they apply;
    // PROJ states the same conversion as one pipeline. What Convert answers
    // differs by route (the point count of its last projection call, or 1):
    // the table keeps what callers have always seen.
    struct Case {
        const char* name;
        CZrPJCoordSys src, des;
        const char *srcProj, *desProj; // PROJ's statement of each side ("" geographic)
        bool shift;
        int forward2d, forward3d, backward; // Convert's answer for the 9 points
    };
    const int n = 9;
    const Case cases[] = {
        {"0: GK Beijing 1954 -> UTM WGS 84", Projected(21420), Projected(32650), kGk20, kUtm50, true, n, n,
         n},
        {"0: one datum, two hemispheres", Projected(32650), Projected(32750), kUtm50, kUtm50S, false, n, n,
         n},
        {"1: GK Beijing 1954 -> WGS 84", Projected(21420), Earth(4326), kGk20, kGeographic, true, 1, 1, 1},
        {"2: Beijing 1954 -> UTM WGS 84", Earth(4214), Projected(32650), kGeographic, kUtm50, true, n, 1, 1},
        {"3: Beijing 1954 -> WGS 84", Earth(4214), Earth(4326), kGeographic, kGeographic, true, 1, 1, 1},
        {"4: unprojection", Projected(32650), Earth(4326), kUtm50, kGeographic, false, n, n, n},
        {"7: projection", Earth(4326), Projected(32650), kGeographic, kUtm50, false, n, n, n},
    };
    // Gauss-Krueger series against PROJ's exact transverse Mercator, within
    // 2 degrees of the central meridian: a tenth of a millimetre, PROJ's own
    // bar, holds for every pipeline.
    const double kTenthMillimetre = 1e-4;
    // Backward, 3-D similarities are undone exactly; PROJ undoes the
    // linearised rotation by its transpose, which differs by |r|^2 of the
    // radius (1.6 arc-seconds here: 0.4 mm, mostly vertical, 0.12 mm across).
    const double kTransposeInverse = 0.2e-3;
    for (long method : {9603L, 9604L, 9605L, 9606L, 9607L}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " method " + std::to_string(method));
            const CZrPJTranslator t = Make(c.src, c.des, method, kBeijingToWgs);
            ASSERT_TRUE(t.IsValid());
            const bool similarity = method == 9606 || method == 9607;
            const ProjOracle oracle(
                Pipeline(c.srcProj, c.shift ? ShiftSteps(method, kBeijingToWgs, false) : "", c.desProj));
            ASSERT_TRUE(oracle.ok());
            // 2-D backward through a similarity: EPSG's reversal, written forward from the destination.
            const ProjOracle reversal(
                Pipeline(c.desProj, c.shift ? ShiftSteps(method, kBeijingToWgs, true) : "", c.srcProj));
            ASSERT_TRUE(reversal.ok());
            for (int forward : {1, 0}) {
                const CZrPJCoordSys& to = forward ? c.des : c.src;
                std::vector<CPoint3D> pts3 = SamplePoints(forward ? c.src : c.des);
                const std::vector<CPoint3D> start = pts3;
                std::vector<CPoint2D> pts2;
                for (const CPoint3D& p : pts3)
                    pts2.emplace_back(p.x, p.y);
                EXPECT_EQ(t.Convert(pts2.data(), n, forward), forward ? c.forward2d : c.backward);
                EXPECT_EQ(t.Convert(pts3.data(), n, forward), forward ? c.forward3d : c.backward);
                for (int i = 0; i < n; ++i) {
                    for (bool twoD : {true, false}) {
                        const bool firstOrder = twoD && !forward && similarity && c.shift;
                        PJ_COORD o = proj_coord(start[i].x, start[i].y, 0, 0);
                        ASSERT_TRUE(firstOrder ? reversal.Trans(PJ_FWD, o)
                                               : oracle.Trans(forward ? PJ_FWD : PJ_INV, o));
                        const double x = twoD ? pts2[i].x : pts3[i].x, y = twoD ? pts2[i].y : pts3[i].y;
                        const bool exactInverse = !twoD && !forward && similarity && c.shift;
                        EXPECT_LT(Miss(IsProjected(to), x, y, o.v[0], o.v[1]),
                                  exactInverse ? kTransposeInverse : kTenthMillimetre)
                            << (twoD ? "2-D " : "3-D ") << forward << " " << i;
                    }
                    // z passes through, changed only by Molodensky's dh (PROJ's from height 0).
                    if (method == 9604 && c.shift) {
                        PJ_COORD o = proj_coord(start[i].x, start[i].y, 0, 0);
                        ASSERT_TRUE(oracle.Trans(forward ? PJ_FWD : PJ_INV, o));
                        EXPECT_NEAR(pts3[i].z, start[i].z + o.v[2], kTenthMillimetre);
                    } else {
                        EXPECT_EQ(pts3[i].z, start[i].z);
                    }
                }
            }
        }
    }
}

TEST(TranslatorRouteTest, ProjectedRoundTripThroughTwoDatumsReturnsWithinAMillimetre) {
    // Route 0 with a seven-parameter shift, 3-D: the backward shift is the
    // exact inverse, so the start point comes back, but for the height gained
    // on WGS 84 and dropped there (z itself is not touched).
    const CZrPJTranslator t = Make(Projected(21420), Projected(32650), 9607, kBeijingToWgs);
    std::vector<CPoint3D> pts = SamplePoints(Projected(21420));
    const std::vector<CPoint3D> start = pts;
    EXPECT_EQ(t.Convert(pts.data(), static_cast<long>(pts.size()), 1), 9);
    EXPECT_EQ(t.Convert(pts.data(), static_cast<long>(pts.size()), 0), 9);
    for (size_t i = 0; i < pts.size(); ++i) {
        EXPECT_LT(std::hypot(pts[i].x - start[i].x, pts[i].y - start[i].y), kMillimetre);
        EXPECT_EQ(pts[i].z, start[i].z);
    }
}

TEST(TranslatorValidityTest, RefusedSetUpsAndInvalidTranslatorsTouchNothing) {
    CZrPJTranslator fresh;
    EXPECT_EQ(fresh.IsValid(), 0);
    CPoint2D p(117, 39);
    CPoint3D q(117, 39, 5);
    EXPECT_EQ(fresh.Convert(&p, 1, 1), 0);
    EXPECT_EQ(fresh.Convert(&q, 1, 0), 0);
    EXPECT_EQ(p.x, 117.0);
    EXPECT_EQ(q.z, 5.0);

    // Equal systems: Create fails.
    CZrPJTranslator same;
    EXPECT_EQ(same.Set(Projected(32650), Projected(32650)), 0);
    EXPECT_EQ(same.IsValid(), 0);

    // An invalid (planar) system is refused and changes nothing, validity included.
    CZrPJTranslator t = Make(Earth(4214), Projected(32650), 9607, kBeijingToWgs);
    ASSERT_TRUE(t.IsValid());
    const CZrPJTranslator before = t;
    CZrPJCoordSys planar;
    planar.SetPlanar(10000);
    EXPECT_EQ(t.SetPJCoordSysSrc(planar), 0);
    EXPECT_EQ(t.SetPJCoordSysDes(planar), 0);
    EXPECT_EQ(t.Set(planar, Projected(32650)), 0);
    EXPECT_EQ(t.Set(Earth(4326), planar), 0);
    EXPECT_TRUE(t == before);
    EXPECT_EQ(t.IsValid(), 1);

    // An unknown method fails where a shift is needed, not where none is.
    EXPECT_EQ(t.SetMethod(static_cast<tagPJTransMethod>(0)), 0);
    EXPECT_EQ(t.Convert(&p, 1, 1), 0);
    EXPECT_EQ(p.x, 117.0);
    CZrPJTranslator noShift;
    EXPECT_NE(noShift.Set(Projected(32650), Projected(32651)), 0);
    EXPECT_NE(noShift.SetMethod(static_cast<tagPJTransMethod>(0)), 0);
}

TEST(TranslatorValidityTest, CopiesRecreateAndEqualityIgnoresValidity) {
    const CZrPJTranslator valid = Make(Earth(4214), Earth(4326), 9606, kBeijingToWgs);
    ASSERT_TRUE(valid.IsValid());
    CZrPJTranslator copy(valid);
    EXPECT_EQ(copy.IsValid(), 1);
    EXPECT_TRUE(copy == valid);
    CPoint2D a(117, 39), b(117, 39);
    EXPECT_EQ(valid.Convert(&a, 1, 1), 1);
    EXPECT_EQ(copy.Convert(&b, 1, 1), 1);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);

    // Settings that cannot convert give an invalid copy, yet an equal one.
    CZrPJTranslator broken = Make(Earth(4214), Earth(4326), 0, kBeijingToWgs);
    EXPECT_EQ(broken.IsValid(), 0);
    CZrPJTranslator assigned;
    assigned = broken;
    EXPECT_EQ(assigned.IsValid(), 0);
    EXPECT_TRUE(assigned == broken);
    assigned.SetMethod(PJTM_COORDINATE_FRAME);
    EXPECT_EQ(assigned.IsValid(), 1);
    EXPECT_FALSE(assigned == broken);
}

TEST(TranslatorShiftTest, InverseParametersTakeEffectAtOnce) {
    // Molodensky: only the translations are negated.
    CZrPJTranslator m = Make(Earth(4214), Earth(4326), 9604, kBeijingToWgs);
    m.SetInverseGeoParam(kBeijingToWgs);
    CZrPJParams translationsNegated = kBeijingToWgs;
    translationsNegated.TranslationX = -kBeijingToWgs.TranslationX;
    translationsNegated.TranslationY = -kBeijingToWgs.TranslationY;
    translationsNegated.TranslationZ = -kBeijingToWgs.TranslationZ;
    EXPECT_TRUE(m == Make(Earth(4214), Earth(4326), 9604, translationsNegated));

    // Seven parameters: every value negated, rotations included, without a Create.
    CZrPJTranslator t = Make(Earth(4214), Earth(4326), 9607, kBeijingToWgs);
    t.SetInverseGeoParam(kBeijingToWgs);
    const CZrPJParams p = kBeijingToWgs;
    const CZrPJTranslator negated = Make(Earth(4214), Earth(4326), 9607,
                                         Shift(-p.TranslationX, -p.TranslationY, -p.TranslationZ,
                                               -p.RotationX, -p.RotationY, -p.RotationZ, -p.ScaleDifference));
    EXPECT_TRUE(t == negated);
    CPoint2D a(117, 39), b(117, 39);
    EXPECT_EQ(t.Convert(&a, 1, 1), 1);
    EXPECT_EQ(negated.Convert(&b, 1, 1), 1);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
}

TEST(TranslatorShiftTest, PrimeMeridiansAgreeWithProj) {
    // NTF (Paris) -> WGS 84 with EPSG's geocentric translation (-168, -60, 320).
    // PROJ's pipeline states the prime meridian as a longlat step; it is given
    // the catalogue's Paris meridian and ellipsoids (whose stored values differ
    // from EPSG's by up to 1.3 cm and 3 mm on the ground).
    const CZrPJCoordSys paris = Earth(4807);
    const double pm = paris.GetGCS().GetPrimeMeridian().GetLongitude();
    const CZrPJSpheroid clarke = paris.GetGCS().GetDatum().GetSpheroid();
    const CZrPJSpheroid wgs = Earth(4326).GetGCS().GetDatum().GetSpheroid();
    const CZrPJTranslator t = Make(paris, Earth(4326), 9603, Shift(-168, -60, 320));
    ASSERT_TRUE(t.IsValid());
    char def[512];
    std::snprintf(def, sizeof def,
                  "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                  "+step +inv +proj=longlat +a=%.17g +rf=%.17g +pm=%.17g "
                  "+step +proj=cart +a=%.17g +rf=%.17g +step +proj=helmert +x=-168 +y=-60 +z=320 "
                  "+step +inv +proj=cart +a=%.17g +rf=%.17g +step +proj=unitconvert +xy_in=rad +xy_out=deg",
                  clarke.GetAxis(), 1 / clarke.GetFlattening(), pm, clarke.GetAxis(),
                  1 / clarke.GetFlattening(), wgs.GetAxis(), 1 / wgs.GetFlattening());
    const ProjOracle oracle(def);
    ASSERT_TRUE(oracle.ok());
    for (double lon : {-7.0, -2.0, 0.0, 3.5, 8.0})
        for (double lat : {42.0, 46.5, 51.0}) {
            CPoint2D ours(lon, lat);
            ASSERT_EQ(t.Convert(&ours, 1, 1), 1);
            PJ_COORD o = proj_coord(lon, lat, 0, 0);
            ASSERT_TRUE(oracle.Trans(PJ_FWD, o));
            EXPECT_NEAR((ours.x - o.v[0]) * std::cos(lat * kDeg) * 6378137 * kDeg, 0, kMillimetre);
            EXPECT_NEAR((ours.y - o.v[1]) * 6378137 * kDeg, 0, kMillimetre);
            CPoint2D back(o.v[0], o.v[1]);
            ASSERT_EQ(t.Convert(&back, 1, 0), 1);
            ASSERT_TRUE(oracle.Trans(PJ_INV, o));
            EXPECT_NEAR((back.x - o.v[0]) * std::cos(lat * kDeg) * 6378137 * kDeg, 0, kMillimetre);
            EXPECT_NEAR((back.y - o.v[1]) * 6378137 * kDeg, 0, kMillimetre);
        }

    // NTF (Paris) and NTF differ only in the meridian: the offset, nothing else.
    const CZrPJTranslator offset = Make(paris, Earth(4275), 9607, CZrPJParams());
    CPoint2D p(1.0, 47.0);
    ASSERT_EQ(offset.Convert(&p, 1, 1), 1);
    EXPECT_NEAR(p.x, 1.0 + pm, kNanodegree);
    EXPECT_NEAR(p.y, 47.0, kNanodegree);
}
