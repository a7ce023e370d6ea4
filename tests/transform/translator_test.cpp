// The translator's routes against the composition of the coordinate systems'
// own Forward/Inverse and the datum shift, its validity rules and copies, and
// the prime-meridian handling against PROJ.
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

// The datum shift the translator should apply, built independently from the two systems.
ZrDatumShift ExpectedShift(const CZrPJCoordSys& src, const CZrPJCoordSys& des, long method,
                           const CZrPJParams& p) {
    ZrDatumShift s;
    const CZrPJGeoCoordSys gs = src.GetGCS(), gd = des.GetGCS();
    const CZrPJSpheroid es = gs.GetDatum().GetSpheroid(), ed = gd.GetDatum().GetSpheroid();
    s.method = method;
    s.aSrc = es.GetAxis();
    s.fSrc = es.GetFlattening();
    s.esSrc = (2 - s.fSrc) * s.fSrc;
    s.aDes = ed.GetAxis();
    s.fDes = ed.GetFlattening();
    s.esDes = (2 - s.fDes) * s.fDes;
    s.da = s.aDes - s.aSrc;
    s.df = s.fDes - s.fSrc;
    s.dx = p.TranslationX;
    s.dy = p.TranslationY;
    s.dz = p.TranslationZ;
    s.rx = p.RotationX * kZrArcSecond;
    s.ry = p.RotationY * kZrArcSecond;
    s.rz = p.RotationZ * kZrArcSecond;
    s.scale = p.ScaleDifference * 1e-6;
    s.pmSrc = gs.GetPrimeMeridian().GetLongitude();
    s.pmDes = gd.GetPrimeMeridian().GetLongitude();
    return s;
}

bool IsProjected(const CZrPJCoordSys& cs) {
    return cs.GetProjection().GetType() != -1;
}

// Unproject with the side converted from, shift when the geographic systems
// differ, project with the side converted to.
template <class Point>
void Compose(const CZrPJCoordSys& src, const CZrPJCoordSys& des, const ZrDatumShift& s,
             std::vector<Point>& pts, int forward) {
    const CZrPJCoordSys& from = forward ? src : des;
    const CZrPJCoordSys& to = forward ? des : src;
    const long n = static_cast<long>(pts.size());
    if (IsProjected(from)) from.Inverse(pts.data(), n);
    if (!(src.GetGCS() == des.GetGCS()))
        for (Point& p : pts)
            ZrShiftDatum(s, p, forward);
    if (IsProjected(to)) to.Forward(pts.data(), n);
}

std::vector<CPoint3D> SamplePoints(const CZrPJCoordSys& cs) {
    // Geographic points near 117E 39N; projected ones are their projection.
    std::vector<CPoint3D> pts;
    for (double lon : {115.5, 117.0, 118.9})
        for (double lat : {31.0, 39.9, 45.2})
            pts.emplace_back(lon, lat, 40.0);
    if (IsProjected(cs)) cs.Forward(pts.data(), static_cast<long>(pts.size()));
    return pts;
}

std::vector<CPoint2D> Flat(const std::vector<CPoint3D>& pts) {
    std::vector<CPoint2D> out;
    for (const CPoint3D& p : pts)
        out.emplace_back(p.x, p.y);
    return out;
}
} // namespace

TEST(TranslatorRouteTest, EveryRouteIsTheCompositionOfItsSteps) {
    struct Case {
        const char* name;
        CZrPJCoordSys src, des;
        int result2d,
            result3d; // Convert's result for the 9 points: forward, then backward identical except route 2
        int backward2d;
    };
    const int n = 9;
    const Case cases[] = {
        {"0: GK Beijing 1954 -> UTM WGS 84", Projected(21420), Projected(32650), n, n, n},
        {"0: one datum, two zones", Projected(32650), Projected(32651), n, n, n},
        {"1: GK Beijing 1954 -> WGS 84", Projected(21420), Earth(4326), 1, 1, 1},
        {"2: Beijing 1954 -> UTM WGS 84", Earth(4214), Projected(32650), n, 1, 1},
        {"3: Beijing 1954 -> WGS 84", Earth(4214), Earth(4326), 1, 1, 1},
        {"4: unprojection", Projected(32650), Earth(4326), n, n, n},
        {"7: projection", Earth(4326), Projected(32650), n, n, n},
    };
    for (long method : {9603L, 9604L, 9605L, 9606L, 9607L}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " method " + std::to_string(method));
            const CZrPJTranslator t = Make(c.src, c.des, method, kBeijingToWgs);
            ASSERT_TRUE(t.IsValid());
            const ZrDatumShift s = ExpectedShift(c.src, c.des, method, kBeijingToWgs);
            for (int forward : {1, 0}) {
                std::vector<CPoint3D> pts3 = SamplePoints(forward ? c.src : c.des);
                std::vector<CPoint2D> pts2 = Flat(pts3);
                std::vector<CPoint3D> want3 = pts3;
                std::vector<CPoint2D> want2 = pts2;
                Compose(c.src, c.des, s, want3, forward);
                Compose(c.src, c.des, s, want2, forward);
                EXPECT_EQ(t.Convert(pts2.data(), n, forward), forward ? c.result2d : c.backward2d);
                EXPECT_EQ(t.Convert(pts3.data(), n, forward), forward ? c.result3d : c.backward2d);
                for (int i = 0; i < n; ++i) {
                    EXPECT_EQ(pts2[i].x, want2[i].x) << forward << " " << i;
                    EXPECT_EQ(pts2[i].y, want2[i].y) << forward << " " << i;
                    EXPECT_EQ(pts3[i].x, want3[i].x) << forward << " " << i;
                    EXPECT_EQ(pts3[i].y, want3[i].y) << forward << " " << i;
                    EXPECT_EQ(pts3[i].z, want3[i].z) << forward << " " << i;
                }
            }
        }
    }
}

TEST(TranslatorRouteTest, ProjectedRoundTripThroughTwoDatumsReturnsWithinAMillimetre) {
    // Route 0 with a seven-parameter shift, 3-D: the backward shift is the
    // exact inverse, so the start point comes back.
    const CZrPJTranslator t = Make(Projected(21420), Projected(32650), 9607, kBeijingToWgs);
    std::vector<CPoint3D> pts = SamplePoints(Projected(21420));
    const std::vector<CPoint3D> start = pts;
    t.Convert(pts.data(), static_cast<long>(pts.size()), 1);
    t.Convert(pts.data(), static_cast<long>(pts.size()), 0);
    for (size_t i = 0; i < pts.size(); ++i) {
        EXPECT_NEAR(pts[i].x, start[i].x, kMillimetre);
        EXPECT_NEAR(pts[i].y, start[i].y, kMillimetre);
        EXPECT_NEAR(pts[i].z, start[i].z, kMillimetre);
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
    valid.Convert(&a, 1, 1);
    copy.Convert(&b, 1, 1);
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
    t.Convert(&a, 1, 1);
    negated.Convert(&b, 1, 1);
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
            t.Convert(&back, 1, 0);
            ASSERT_TRUE(oracle.Trans(PJ_INV, o));
            EXPECT_NEAR((back.x - o.v[0]) * std::cos(lat * kDeg) * 6378137 * kDeg, 0, kMillimetre);
            EXPECT_NEAR((back.y - o.v[1]) * 6378137 * kDeg, 0, kMillimetre);
        }

    // NTF (Paris) and NTF differ only in the meridian: the offset, nothing else.
    const CZrPJTranslator offset = Make(paris, Earth(4275), 9607, CZrPJParams());
    CPoint2D p(1.0, 47.0);
    offset.Convert(&p, 1, 1);
    EXPECT_NEAR(p.x, 1.0 + pm, kNanodegree);
    EXPECT_NEAR(p.y, 47.0, kNanodegree);
}
