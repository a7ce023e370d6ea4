// Datum shifts of single points against PROJ. PROJ's pipelines state the same
// definitions: geocentric translation and the seven-parameter similarity are
// "cart (source ellipsoid) + helmert (same convention, linearised rotations)
// + inverse cart (destination ellipsoid)"; Molodensky is PROJ's molodensky
// with da, df = destination - source, with and without +abridged.
#include "model/ZrPJSpheroid.h"
#include "support/ProjOracle.h"
#include "transform/ZrDatumShift.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
constexpr double kDeg = 0.017453292519943295;
constexpr double kEarthRadius = 6378137.0;
constexpr double kMillimetre = 1e-3;
constexpr double kMicrometre = 1e-6;
// A 3-D round trip drops the height gained on the other ellipsoid (tens of
// metres) at a point the shift moved by hundreds: the normal there is tilted
// by the shift's angle, so the return misses by millimetres.
constexpr double kDroppedHeightTrip = 5 * kMillimetre;
// The same formulas as PROJ's, with Bowring's single step for the way back
// from geocentric (within nanometres of the exact inversion so near the
// ellipsoid): they agree to rounding, a few nanometres.
constexpr double kSameFormulaAsProj = 10e-9;
// Bowring's single step: a few micrometres at most near the ellipsoid.
constexpr double kBowringStep = 1e-5;
constexpr double kNanodegree = 1e-9;

struct ShiftValues {
    double dx, dy, dz, rx, ry, rz, ppm; // metres, arc-seconds, parts per million
};

// OSGB 1936 -> WGS 84 (EPSG 1314, position vector), Pulkovo 1942 -> WGS 84
// (EPSG 1267-like, coordinate frame) and Beijing 1954 -> WGS 84 (EPSG 15919,
// position vector): realistic sizes, the first with a large scale. Each is
// applied with every method.
struct ShiftCase {
    const char* name;
    long srcSpheroid, desSpheroid;
    ShiftValues v;
};
const ShiftCase kCases[] = {
    {"Airy to WGS 84 (EPSG 1314)", 7001, 7030, {446.448, -125.157, 542.06, 0.15, 0.247, 0.842, -20.489}},
    {"Krasovsky to WGS 84", 7024, 7030, {23.92, -141.27, -80.9, 0.0, -0.35, -0.82, -0.12}},
    {"Clarke 1880 (IGN) to Bessel", 7011, 7004, {-168.0, -60.0, 320.0, 1.2, -0.8, 2.5, 7.5}},
    {"Krasovsky to WGS 84 (EPSG 15919)", 7024, 7030, {15.53, -113.82, -41.38, 0.0, 0.0, 0.814, -0.38}},
};

CZrPJSpheroid Spheroid(long code) {
    CZrPJSpheroid s;
    EXPECT_EQ(s.Set(static_cast<tagPJSpheroidType>(code)), 1) << code;
    return s;
}

ZrDatumShift MakeShift(long method, const ShiftCase& c) {
    const CZrPJSpheroid src = Spheroid(c.srcSpheroid), des = Spheroid(c.desSpheroid);
    ZrDatumShift s;
    s.method = method;
    s.aSrc = src.GetAxis();
    s.fSrc = src.GetFlattening();
    s.esSrc = (2 - s.fSrc) * s.fSrc;
    s.aDes = des.GetAxis();
    s.fDes = des.GetFlattening();
    s.esDes = (2 - s.fDes) * s.fDes;
    s.da = s.aDes - s.aSrc;
    s.df = s.fDes - s.fSrc;
    s.dx = c.v.dx;
    s.dy = c.v.dy;
    s.dz = c.v.dz;
    s.rx = c.v.rx * kZrArcSecond;
    s.ry = c.v.ry * kZrArcSecond;
    s.rz = c.v.rz * kZrArcSecond;
    s.scale = c.v.ppm * 1e-6;
    return s;
}

std::string Ellipsoid(double a, double f) {
    char text[96];
    std::snprintf(text, sizeof text, "+a=%.17g +rf=%.17g", a, 1.0 / f);
    return text;
}

std::string Helmert(const ShiftValues& v, const char* convention) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "+proj=helmert +x=%.17g +y=%.17g +z=%.17g +rx=%.17g +ry=%.17g +rz=%.17g +s=%.17g "
                  "+convention=%s",
                  v.dx, v.dy, v.dz, v.rx, v.ry, v.rz, v.ppm, convention);
    return text;
}

std::string Pipeline(const std::vector<std::string>& steps) {
    std::string p = "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad";
    for (const std::string& s : steps)
        p += " +step " + s;
    return p + " +step +proj=unitconvert +xy_in=rad +xy_out=deg";
}

// Geocentric pipeline: cart on one ellipsoid, the given middle steps, inverse cart on the other.
std::string Geocentric(double a1, double f1, const std::vector<std::string>& middle, double a2, double f2) {
    std::vector<std::string> steps{"+proj=cart " + Ellipsoid(a1, f1)};
    steps.insert(steps.end(), middle.begin(), middle.end());
    steps.push_back("+inv +proj=cart " + Ellipsoid(a2, f2));
    return Pipeline(steps);
}

std::string Molodensky(const ZrDatumShift& s, bool abridged) {
    char text[256];
    std::snprintf(
        text, sizeof text, "+proj=molodensky %s +da=%.17g +df=%.17g +dx=%.17g +dy=%.17g +dz=%.17g%s",
        Ellipsoid(s.aSrc, s.fSrc).c_str(), s.da, s.df, s.dx, s.dy, s.dz, abridged ? " +abridged" : "");
    return Pipeline({text});
}

// PROJ's definition of the same shift.
std::string OracleFor(long method, const ShiftCase& c) {
    const ZrDatumShift s = MakeShift(method, c);
    if (method == 9604 || method == 9605) return Molodensky(s, method == 9605);
    const bool pv = method == 9606 || method == 42607;
    const ShiftValues v = method == 9603 ? ShiftValues{c.v.dx, c.v.dy, c.v.dz, 0, 0, 0, 0} : c.v;
    return Geocentric(s.aSrc, s.fSrc, {Helmert(v, pv ? "position_vector" : "coordinate_frame")}, s.aDes,
                      s.fDes);
}

// Horizontal distance between two geodetic points, metres on a sphere of the
// earth's size: plenty for a millimetre tolerance.
double Metres(double lon1, double lat1, double lon2, double lat2) {
    double dlon = std::remainder(lon2 - lon1, 360.0);
    return kEarthRadius * kDeg * std::hypot(lat2 - lat1, dlon * std::cos(lat1 * kDeg));
}

std::vector<CPoint2D> Globe() {
    std::vector<CPoint2D> pts;
    for (double lat = -85; lat <= 85; lat += 17)
        for (double lon = -175; lon <= 175; lon += 35)
            pts.emplace_back(lon, lat);
    pts.emplace_back(0.0, 0.0);
    pts.emplace_back(179.5, 51.5);
    return pts;
}

// Worst horizontal disagreement of our 2-D shift with the oracle over the globe.
double WorstAgainst(const ProjOracle& oracle, PJ_DIRECTION dir, const ZrDatumShift& s, int forward) {
    EXPECT_TRUE(oracle.ok());
    double worst = 0;
    for (const CPoint2D& p : Globe()) {
        CPoint2D ours = p;
        ZrShiftDatum(s, ours, forward);
        PJ_COORD c = proj_coord(p.x, p.y, 0, 0);
        EXPECT_TRUE(oracle.Trans(dir, c));
        worst = std::max(worst, Metres(ours.x, ours.y, c.v[0], c.v[1]));
    }
    return worst;
}
} // namespace

TEST(DatumShiftOracleTest, EveryMethodAgreesWithProjBothWaysToNanometres) {
    double worstOverall = 0;
    for (const ShiftCase& c : kCases) {
        SCOPED_TRACE(c.name);
        for (long method : {9603L, 9604L, 9605L, 9606L, 9607L, 9608L, 42607L}) {
            const ProjOracle oracle(OracleFor(method, c));
            const ZrDatumShift s = MakeShift(method, c);
            const double fwd = WorstAgainst(oracle, PJ_FWD, s, 1);
            EXPECT_LT(fwd, kSameFormulaAsProj) << method << " forward";
            worstOverall = std::max(worstOverall, fwd);
            // 2-D backward: the three-parameter and Molodensky methods are
            // exact inverses of PROJ's; the similarity is compared below.
            if (method == 9603 || method == 9604 || method == 9605) {
                const double bwd = WorstAgainst(oracle, PJ_INV, s, 0);
                EXPECT_LT(bwd, kSameFormulaAsProj) << method << " backward";
                worstOverall = std::max(worstOverall, bwd);
            }
        }
    }
    RecordProperty("worst_micrometres", std::to_string(worstOverall * 1e6));
}

TEST(DatumShiftOracleTest, TwoDimensionalSimilarityBackwardIsTheFirstOrderInverse) {
    // Backward, 2-D points take k (R^T X) - T with k = 1 - s: in PROJ terms a
    // helmert with negated rotations and scale followed by the negated translation.
    for (const ShiftCase& c : kCases) {
        SCOPED_TRACE(c.name);
        for (long method : {9606L, 9607L}) {
            const char* convention = method == 9606 ? "position_vector" : "coordinate_frame";
            const ZrDatumShift s = MakeShift(method, c);
            const ProjOracle firstOrder(
                Geocentric(s.aDes, s.fDes,
                           {Helmert({0, 0, 0, -c.v.rx, -c.v.ry, -c.v.rz, -c.v.ppm}, convention),
                            Helmert({-c.v.dx, -c.v.dy, -c.v.dz, 0, 0, 0, 0}, convention)},
                           s.aSrc, s.fSrc));
            EXPECT_LT(WorstAgainst(firstOrder, PJ_FWD, s, 0), kMillimetre) << method;
        }
    }
}

TEST(DatumShiftOracleTest, ThreeDimensionalShiftsAreHorizontalAndKeepZ) {
    // Every method is a horizontal shift: a 3-D point's z (most often an
    // elevation above the geoid) is neither used nor changed, bit for bit,
    // and its longitude and latitude are those of the 2-D shift; only
    // Molodensky's formula changes the height, by its dh (PROJ's molodensky
    // at height 0). Backward the seven-parameter codes undo the forward
    // similarity exactly (PROJ's inverse helmert, at height 0).
    const double heights[] = {0.0, -0.0, 850.0, -420.0, 8848.0, std::nan("")};
    for (const ShiftCase& c : kCases) {
        SCOPED_TRACE(c.name);
        for (long method : {9603L, 9604L, 9605L, 9606L, 9607L, 9608L, 42607L}) {
            const ProjOracle oracle(OracleFor(method, c));
            const ZrDatumShift s = MakeShift(method, c);
            const bool similarity = method != 9603 && method != 9604 && method != 9605;
            for (const CPoint2D& p : Globe()) {
                for (double h : heights) {
                    for (int forward : {1, 0}) {
                        CPoint3D ours(p.x, p.y, h);
                        CPoint2D flat = p;
                        ZrShiftDatum(s, ours, forward);
                        ZrShiftDatum(s, flat, forward);
                        if (method == 9604) {
                            PJ_COORD o = proj_coord(p.x, p.y, 0, 0);
                            ASSERT_TRUE(oracle.Trans(forward ? PJ_FWD : PJ_INV, o));
                            if (!std::isnan(h)) {
                                EXPECT_NEAR(ours.z - h, o.v[2], kMillimetre) << p.x << " " << p.y;
                            }
                        } else {
                            EXPECT_EQ(std::memcmp(&ours.z, &h, sizeof h), 0) << method << " z " << h;
                        }
                        if (forward || !similarity) {
                            EXPECT_EQ(ours.x, flat.x) << method;
                            EXPECT_EQ(ours.y, flat.y) << method;
                        } else {
                            PJ_COORD o = proj_coord(p.x, p.y, 0, 0);
                            ASSERT_TRUE(oracle.Trans(PJ_INV, o));
                            EXPECT_LT(Metres(ours.x, ours.y, o.v[0], o.v[1]), kMillimetre) << method;
                        }
                    }
                }
            }
        }
    }
}

TEST(DatumShiftOracleTest, ThreeDimensionalSevenParameterRoundTripsWithinTheAreaOfUse) {
    // Forward then back on 3-D points with z left alone: the return misses by
    // the height gained on the other ellipsoid and dropped there (tens of
    // metres), times the tilt of the normal over the shift (hundreds of
    // metres): millimetres where the transformation is meant to be used. Far
    // from it both grow; over the whole globe EPSG 1314 misses by 11 cm.
    struct Area {
        const ShiftCase& c;
        double west, south, east, north; // EPSG's extent of the transformation, degrees
    };
    const Area areas[] = {{kCases[0], -8.82, 49.79, 1.92, 60.94}, {kCases[3], 119.23, 31.23, 125.06, 37.4}};
    for (const Area& area : areas) {
        SCOPED_TRACE(area.c.name);
        double worst = 0;
        for (long method : {9606L, 42607L}) {
            const ZrDatumShift s = MakeShift(method, area.c);
            for (int i = 0; i <= 10; ++i)
                for (int j = 0; j <= 10; ++j)
                    for (double h : {0.0, 1344.0}) {
                        const double lon = area.west + (area.east - area.west) * i / 10;
                        const double lat = area.south + (area.north - area.south) * j / 10;
                        CPoint3D trip(lon, lat, h);
                        ZrShiftDatum(s, trip, 1);
                        ZrShiftDatum(s, trip, 0);
                        const double miss = Metres(lon, lat, trip.x, trip.y);
                        EXPECT_LT(miss, kDroppedHeightTrip) << lon << " " << lat;
                        EXPECT_EQ(trip.z, h);
                        worst = std::max(worst, miss);
                    }
        }
        RecordProperty(std::string(area.c.name) + " worst round trip, micrometres",
                       std::to_string(worst * 1e6));
    }
}

TEST(DatumShiftTest, GeocentricConversionsAtTheirFixedPoints) {
    const CZrPJSpheroid wgs = Spheroid(7030);
    const double a = wgs.GetAxis(), f = wgs.GetFlattening(), es = (2 - f) * f;
    CPoint3D xyz;
    ZrShiftLP2XYZ(CPoint2D(0, 0), xyz, a, es);
    EXPECT_EQ(xyz.x, a);
    EXPECT_EQ(xyz.y, 0.0);
    EXPECT_EQ(xyz.z, 0.0);
    ZrShiftLP2XYZ(CPoint2D(37, 90), xyz, a, es);
    EXPECT_NEAR(xyz.z, a * std::sqrt(1 - es), kMicrometre); // the semi-minor axis
    EXPECT_NEAR(std::hypot(xyz.x, xyz.y), 0.0, kMicrometre);
    CPoint2D lp(5, 5);
    ZrShiftXYZ2LP(lp, CPoint3D(a, 0, 0), a, f, es);
    EXPECT_EQ(lp.x, 0.0);
    EXPECT_EQ(lp.y, 0.0);
    // Exactly on the polar axis Bowring's step would divide by zero and turn
    // the north pole into the south pole.
    ZrShiftXYZ2LP(lp, CPoint3D(0, 0, a * std::sqrt(1 - es)), a, f, es);
    EXPECT_EQ(lp.y, 90.0);
    ZrShiftXYZ2LP(lp, CPoint3D(0, 0, -a * std::sqrt(1 - es)), a, f, es);
    EXPECT_EQ(lp.y, -90.0);
    EXPECT_NEAR(ZrShiftGetW(90, es), std::sqrt(1 - es), 1e-15);
}

TEST(DatumShiftTest, NullShiftReturnsTheClampedInput) {
    ShiftCase same{"WGS 84 to itself", 7030, 7030, {0, 0, 0, 0, 0, 0, 0}};
    for (long method : {9603L, 9604L, 9605L, 9606L, 9607L, 9608L, 42607L}) {
        const ZrDatumShift s = MakeShift(method, same);
        for (const CPoint2D& p : Globe()) {
            for (int forward : {1, 0}) {
                CPoint2D q = p;
                ZrShiftDatum(s, q, forward);
                EXPECT_LT(Metres(p.x, p.y, q.x, q.y), kBowringStep) << method;
            }
        }
    }
    // Out-of-range input is clamped and written back, even by a method code
    // that shifts nothing.
    ZrDatumShift unknown = MakeShift(0, same);
    CPoint2D p(200, 95);
    ZrShiftDatum(unknown, p, 1);
    EXPECT_EQ(p.x, 180.0);
    EXPECT_EQ(p.y, 90.0);
    CPoint2D q(-200, -95);
    ZrShiftDatum(MakeShift(9603, same), q, 1);
    EXPECT_NEAR(std::fabs(q.x), 180.0, kNanodegree);
    EXPECT_NEAR(q.y, -90.0, kNanodegree);
    // 3-D points are not clamped.
    CPoint3D r(200, 10, 5);
    ZrShiftDatum(unknown, r, 1);
    EXPECT_EQ(r.x, 200.0);
    EXPECT_EQ(r.z, 5.0);
}

TEST(DatumShiftTest, PositionVectorIsCoordinateFrameWithRotationsNegated) {
    const ShiftCase& c = kCases[0];
    ShiftCase negated = c;
    negated.v.rx = -c.v.rx;
    negated.v.ry = -c.v.ry;
    negated.v.rz = -c.v.rz;
    for (const CPoint2D& p : Globe()) {
        CPoint2D a = p, b = p, d = p;
        ZrShiftDatum(MakeShift(9606, c), a, 1);
        ZrShiftDatum(MakeShift(9607, negated), b, 1);
        ZrShiftDatum(MakeShift(9607, c), d, 1);
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.y, b.y);
        EXPECT_GT(Metres(a.x, a.y, d.x, d.y), 1.0); // the conventions really differ
    }
}

TEST(DatumShiftTest, PrimeMeridiansShiftLongitudesByTheirOffset) {
    // Two systems that differ only in their prime meridian: the longitude
    // changes by exactly the meridians' difference, wrapped into [-180, 180].
    ShiftCase same{"Clarke 1880 (IGN)", 7011, 7011, {0, 0, 0, 0, 0, 0, 0}};
    const double paris = 2.33722917;
    for (long method : {9603L, 9604L, 9607L}) {
        ZrDatumShift s = MakeShift(method, same);
        s.pmSrc = paris;
        for (const CPoint2D& p : Globe()) {
            CPoint2D q = p;
            ZrShiftDatum(s, q, 1);
            EXPECT_NEAR(std::remainder(q.x - p.x - paris, 360.0), 0.0, kNanodegree) << method;
            EXPECT_GE(q.x, -180.0);
            EXPECT_LE(q.x, 180.0);
            ZrShiftDatum(s, q, 0);
            EXPECT_LT(Metres(p.x, p.y, q.x, q.y), kBowringStep) << method;
        }
    }
}
