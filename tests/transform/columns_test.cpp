// The translator and the datum shift over columns: separate arrays and
// strides read the same points as the point arrays, the vector shift of the
// geocentric methods agrees with the single-point shift within a nanometre,
// and every point it leaves alone is shifted by the single-point routine.
#include "model/ZrPJCoordSys.h"
#include "transform/ZrPJTranslator.h"
#include "transform/ZrShiftColumns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {
// Geographic agreement of the vector shift with the single-point one,
// degrees: 3e-14 (3 nm on the ground), or two units in the last place of the
// coordinate where that is larger; exactly, when the scalar path is forced.
// The shift chains five vector functions (sine and cosine of both angles,
// the arctangents of Bowring's step), each within 3 units in the last place
// of the C library's, and ends 2.8e-14 degrees from it at worst.
constexpr double kAngleTolerance = 3e-14;
constexpr int kLastPlaces = 2;

double Tolerance(double v) {
    return std::max(kAngleTolerance, kLastPlaces * std::fabs(std::nextafter(v, HUGE_VAL) - v));
}

bool ScalarPathForced() {
    const char* env = std::getenv("ZRPRJ_SIMD");
    return env && std::string(env) == "scalar";
}

bool BitIdentical(const CPoint2D& a, const CPoint2D& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Beijing 1954 (Krasovsky) and WGS 84 with seven parameters of plausible size.
ZrDatumShift BeijingToWgs84(long method) {
    ZrDatumShift s;
    s.method = method;
    s.aSrc = 6378245.0;
    s.fSrc = 1.0 / 298.3;
    s.esSrc = (2.0 - s.fSrc) * s.fSrc;
    s.aDes = 6378137.0;
    s.fDes = 1.0 / 298.257223563;
    s.esDes = (2.0 - s.fDes) * s.fDes;
    s.da = s.aDes - s.aSrc;
    s.df = s.fDes - s.fSrc;
    s.dx = 15.8;
    s.dy = -154.4;
    s.dz = -82.3;
    s.rx = 0.35 * kZrArcSecond;
    s.ry = -0.62 * kZrArcSecond;
    s.rz = 1.45 * kZrArcSecond;
    s.scale = 2.1e-6;
    return s;
}

std::vector<CPoint2D> ShiftInputs() {
    std::vector<CPoint2D> pts;
    for (int i = 0; i <= 40; ++i)
        for (int j = 0; j <= 30; ++j)
            pts.emplace_back(-180.0 + 9.0 * i, -89.5 + 5.95 * j);
    // Points the 2-D shift clamps, the polar axis and non-numbers, inside blocks.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const CPoint2D awkward[] = {{180.0, 10.0}, {-181.0, 5.0}, {200.0, 95.0}, {0.0, 90.0},
                                {10.0, -90.0}, {nan, 3.0},    {3.0, nan},    {HUGE_VAL, 0.0}};
    for (size_t at : {size_t{0}, size_t{61}, size_t{64}, size_t{300}})
        pts.insert(pts.begin() + static_cast<long>(at), std::begin(awkward), std::end(awkward));
    return pts;
}
} // namespace

TEST(ShiftColumns, EachPointIsWhatTheSinglePointShiftMakesOfIt) {
    const bool exact = ScalarPathForced();
    struct Variant {
        long method;
        double pmSrc; // a Paris-based source: the vector shift leaves it to the scalar one
    };
    const Variant variants[] = {{PJTM_GEOCENTRIC_TRANSLATION, 0.0}, {PJTM_POSITION_VECTOR, 0.0},
                                {PJTM_COORDINATE_FRAME, 0.0},       {PJTM_COORDINATE_FRAME_ALT, 0.0},
                                {PJTM_POSITION_VECTOR, 2.33722917}, {PJTM_MOLODENSKY, 0.0}};
    const std::vector<CPoint2D> inputs = ShiftInputs();
    for (const Variant& v : variants) {
        ZrDatumShift shift = BeijingToWgs84(v.method);
        shift.pmSrc = v.pmSrc;
        for (int forward : {1, 0}) {
            std::vector<double> xs, ys;
            for (const CPoint2D& p : inputs) {
                xs.push_back(p.x);
                ys.push_back(p.y);
            }
            ZrShiftDatumColumns(shift, xs.data(), sizeof(double), ys.data(), sizeof(double), nullptr, 0,
                                static_cast<long>(xs.size()), forward);
            double worst = 0.0;
            for (size_t i = 0; i < inputs.size(); ++i) {
                CPoint2D single = inputs[i];
                ZrShiftDatum(shift, single, forward);
                const CPoint2D column(xs[i], ys[i]);
                if (exact || !std::isfinite(single.x) || !std::isfinite(single.y)) {
                    EXPECT_TRUE(BitIdentical(column, single) ||
                                (std::isnan(column.x) == std::isnan(single.x) &&
                                 std::isnan(column.y) == std::isnan(single.y)))
                        << v.method << " " << forward << " point " << i;
                    continue;
                }
                const double dx = std::fabs(column.x - single.x), dy = std::fabs(column.y - single.y);
                worst = std::max({worst, dx, dy});
                EXPECT_TRUE(dx <= Tolerance(single.x) && dy <= Tolerance(single.y))
                    << v.method << " " << forward << " point " << i << " (" << inputs[i].x << ", "
                    << inputs[i].y << "): columns (" << column.x << ", " << column.y << ") single ("
                    << single.x << ", " << single.y << ")";
            }
            std::printf("[ figures  ] shift %ld %s: largest difference %.3g deg\n", v.method,
                        forward ? "forward" : "backward", worst);
        }
    }
}

// Columns through the translator: the same points, answers and heights as
// the point arrays, on a route with a projection at each end and on the
// geographic route with Molodensky's height change.
TEST(TranslatorColumns, ColumnsConvertAsThePointArraysDo) {
    CZrPJCoordSys gk, utm, beijing, wgs84;
    ASSERT_EQ(gk.Set(static_cast<tagPJCoordSysType>(21420)), 1);
    ASSERT_EQ(utm.Set(static_cast<tagPJCoordSysType>(32650)), 1);
    CZrPJGeoCoordSys g;
    ASSERT_EQ(g.Set(static_cast<tagGeoCoordSysType>(4214)), 1);
    ASSERT_EQ(beijing.SetEarth(g, 10000), 1);
    ASSERT_EQ(g.Set(static_cast<tagGeoCoordSysType>(4326)), 1);
    ASSERT_EQ(wgs84.SetEarth(g, 10000), 1);
    CZrPJParams p;
    p.TranslationX = 15.53;
    p.TranslationY = -113.82;
    p.TranslationZ = -41.38;
    p.RotationZ = 0.814;
    p.ScaleDifference = -0.38;

    struct Route {
        const CZrPJCoordSys *src, *des;
        long method;
    };
    const Route routes[] = {{&gk, &utm, PJTM_POSITION_VECTOR}, {&beijing, &wgs84, PJTM_MOLODENSKY}};
    for (const Route& r : routes) {
        CZrPJTranslator t;
        t.Set(*r.src, *r.des);
        t.SetMethod(static_cast<tagPJTransMethod>(r.method));
        ASSERT_EQ(t.SetParams(p), 1);
        std::vector<CPoint3D> points;
        for (int i = 0; i < 150; ++i) {
            CPoint2D lp(114.5 + 0.04 * i, 20.0 + 0.2 * i);
            if (r.src == &gk) gk.Forward(&lp, 1);
            points.emplace_back(lp.x, lp.y, 10.0 * i);
        }
        for (int forward : {1, 0}) {
            std::vector<CPoint2D> flat;
            std::vector<double> xs, ys, zs;
            for (const CPoint3D& q : points) {
                flat.emplace_back(q.x, q.y);
                xs.push_back(q.x);
                ys.push_back(q.y);
                zs.push_back(q.z);
            }
            std::vector<CPoint3D> solid = points;
            const long n = static_cast<long>(points.size());
            const int flatAnswer = t.Convert(flat.data(), n, forward);
            const int solidAnswer = t.Convert(solid.data(), n, forward);
            std::vector<double> xs2 = xs, ys2 = ys;
            EXPECT_EQ(
                t.Convert(xs2.data(), sizeof(double), ys2.data(), sizeof(double), nullptr, 0, n, forward),
                flatAnswer);
            EXPECT_EQ(t.Convert(xs.data(), sizeof(double), ys.data(), sizeof(double), zs.data(),
                                sizeof(double), n, forward),
                      solidAnswer);
            for (long i = 0; i < n; ++i) {
                EXPECT_TRUE(BitIdentical(CPoint2D(xs2[i], ys2[i]), flat[i])) << forward << " " << i;
                EXPECT_TRUE(BitIdentical(CPoint2D(xs[i], ys[i]), CPoint2D(solid[i].x, solid[i].y)))
                    << forward << " " << i;
                EXPECT_EQ(zs[i], solid[i].z) << forward << " " << i;
            }
        }
        EXPECT_EQ(t.Convert(nullptr, sizeof(double), nullptr, sizeof(double), nullptr, 0, 3, 1), 0);
    }
}
