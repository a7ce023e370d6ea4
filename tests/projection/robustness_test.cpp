// Hostile input through every projection kind: NaN, infinities, huge and tiny
// values, on a sphere and on an ellipsoid, forward and inverse. Every call
// must return; a refused point must come back bit-identical and an accepted
// one finite.
#include "geodesy/ZrPJMath.h"
#include "projection/ZrPJOperator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr double kDeg = CZrPJMath::kDegToRad;
constexpr long kFirstKind = 43001, kLastKind = 43080;
// Far more than the whole sweep needs, even under a sanitizer: a kind that
// takes longer is looping on a value it should have refused.
constexpr int kHangSeconds = 120;

bool BitIdentical(const CPoint2D& a, const CPoint2D& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct Earth {
    const char* name;
    double a, f;
};
const Earth kEarths[] = {{"sphere", 6371000.0, 0.0}, {"WGS 84", 6378137.0, 1.0 / 298.257223563}};

// One definition that every kind accepts: a centre off the equator and the
// prime meridian, two standard parallels (two points for the two-point kinds),
// an oblique azimuth.
CZrPJOperator Build(long kind, const Earth& earth) {
    CZrPJOperator op;
    op.SetKind(kind);
    op.SetSemiMajorAxis(earth.a);
    op.SetFlattening(earth.f);
    op.SetCentralMeridian(10.0 * kDeg);
    // Polar stereographic variant A is defined at a pole only.
    op.SetCentralParallel((kind == 43049 ? 90.0 : 20.0) * kDeg);
    op.SetStandardParallel1(30.0 * kDeg);
    op.SetStandardParallel2(50.0 * kDeg);
    op.SetParallelMode(2);
    // The zoned transverse Mercator keeps its zone width there.
    op.SetFirstPointLongitude(kind == 43067 ? 6.0 * kDeg : 0.0);
    op.SetSecondPointLongitude(40.0 * kDeg);
    op.SetAzimuth(30.0 * kDeg);
    // The geostationary kinds keep the satellite's distance from the centre,
    // in units of a, as their scale: one at the surface has no view.
    const bool satellite = kind == 43072 || kind == 43073 || kind == 43077;
    op.SetScaleFactor(satellite ? 1.0 + 35785831.0 / earth.a : 1.0);
    op.SetFalseEasting(500000.0);
    op.SetFalseNorthing(100000.0);
    op.SetUnitFactor(1.0);
    op.SetDivisor(1.0);
    return op;
}

std::vector<double> HostileValues() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double big = std::numeric_limits<double>::max();
    const double tiny = std::numeric_limits<double>::denorm_min();
    return {nan, -nan, inf,   -inf, big,  -big, 1e300, -1e300, 1e20,   -1e20,
            1e8, tiny, -tiny, 0.0,  -0.0, 90.0, -90.0, 180.0,  -180.0, 1e7};
}

// What the sweep is doing, for the report of a hang.
struct Progress {
    std::atomic<long> kind{0};
    std::atomic<int> earth{0}, direction{0}, i{0}, j{0};
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
};

struct Finding {
    long kind;
    const char* earth;
    const char* direction;
    double x, y;
    const char* what;
};

void Sweep(Progress& progress, std::vector<Finding>& findings, std::vector<long>& refused) {
    const std::vector<double> values = HostileValues();
    for (long kind = kFirstKind; kind <= kLastKind; ++kind) {
        if (!CZrPJOperator::FindKind(kind)) continue;
        progress.kind = kind;
        for (int e = 0; e < 2; ++e) {
            progress.earth = e;
            CZrPJOperator op = Build(kind, kEarths[e]);
            if (!op.Create()) {
                refused.push_back(kind);
                continue;
            }
            for (int dir = 0; dir < 2; ++dir) {
                progress.direction = dir;
                for (size_t i = 0; i < values.size(); ++i) {
                    for (size_t j = 0; j < values.size(); ++j) {
                        progress.i = static_cast<int>(i);
                        progress.j = static_cast<int>(j);
                        const CPoint2D before(values[i], values[j]);
                        CPoint2D pt = before;
                        const int ok = dir == 0 ? op.Forward(pt) : op.Inverse(pt);
                        const char* what = nullptr;
                        if (!ok && !BitIdentical(pt, before)) what = "refused, but the point changed";
                        if (ok && !(std::isfinite(pt.x) && std::isfinite(pt.y)))
                            what = "accepted, not finite";
                        if (ok && (!std::isfinite(before.x) || !std::isfinite(before.y)))
                            what = "accepted a non-finite input";
                        if (what)
                            findings.push_back({kind, kEarths[e].name, dir == 0 ? "Forward" : "Inverse",
                                                before.x, before.y, what});
                    }
                }
            }
        }
    }
}

} // namespace

TEST(RobustnessTest, HostileValuesThroughEveryKindReturnAndFailCleanly) {
    // The sweep runs on its own thread so that a hang is reported with the
    // case that hung instead of stalling the whole suite.
    auto progress = std::make_shared<Progress>();
    auto findings = std::make_shared<std::vector<Finding>>();
    auto refused = std::make_shared<std::vector<long>>();
    std::thread worker([progress, findings, refused] {
        Sweep(*progress, *findings, *refused);
        std::lock_guard<std::mutex> lock(progress->mutex);
        progress->finished = true;
        progress->done.notify_all();
    });
    {
        std::unique_lock<std::mutex> lock(progress->mutex);
        if (!progress->done.wait_for(lock, std::chrono::seconds(kHangSeconds),
                                     [&] { return progress->finished; })) {
            const std::vector<double> values = HostileValues();
            std::fprintf(stderr, "hang: kind %ld on the %s, %s of (%g, %g)\n", progress->kind.load(),
                         kEarths[progress->earth].name, progress->direction ? "Inverse" : "Forward",
                         values[progress->i], values[progress->j]);
            std::fflush(stderr);
            std::_Exit(1); // the stuck thread cannot be joined
        }
    }
    worker.join();

    EXPECT_TRUE(refused->empty()) << "kinds that refused the common definition: " << refused->size()
                                  << " (first: " << (refused->empty() ? 0 : refused->front()) << ")";
    for (const Finding& f : *findings)
        ADD_FAILURE() << "kind " << f.kind << " on the " << f.earth << ", " << f.direction << " of (" << f.x
                      << ", " << f.y << "): " << f.what;
}

TEST(RobustnessTest, EveryKindOfTheRangeIsSwept) {
    // 75 kinds have routines; the codes between them have none and refuse.
    int kinds = 0;
    for (long kind = kFirstKind; kind <= kLastKind; ++kind) {
        if (CZrPJOperator::FindKind(kind)) {
            ++kinds;
            continue;
        }
        CZrPJOperator op = Build(kind, kEarths[1]);
        EXPECT_EQ(op.Create(), 0) << kind;
        CPoint2D pt(std::numeric_limits<double>::quiet_NaN(), 1e300), before = pt;
        EXPECT_EQ(op.Forward(pt), 0);
        EXPECT_TRUE(BitIdentical(pt, before));
    }
    EXPECT_EQ(kinds, 75);
}
