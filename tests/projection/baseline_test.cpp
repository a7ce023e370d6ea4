// Every kind, in every set-up the engine distinguishes (sphere and
// ellipsoid, northern and southern definitions, each parallel mode of the
// conics, metres and another unit with a divisor), forward over a fixed grid
// that includes the poles and the edge meridians, and inverse of what the
// forward gave: the results must equal the recorded ones bit for bit. The
// record (data/projection_baseline.txt) holds the return codes and the raw
// bits of the results, so that a change of structure that was meant to keep
// the arithmetic shows any bit it moved.
//
// To record anew after a change that is meant to move results, run
// zrprj_test_projection --gtest_filter='ProjectionBaseline.*' with
// ZRPRJ_WRITE_BASELINE=tests/projection/data/projection_baseline.txt in the
// environment, and give the count and the largest change in the commit.
#include "geodesy/ZrPJMath.h"
#include "projection/ZrPJOperator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
constexpr double kDeg = CZrPJMath::kDegToRad;

struct Earth {
    double a, f;
};
const Earth kEarths[] = {{6371000.0, 0.0}, {6378245.0, 1.0 / 298.3}};

// The northern definition and its southern mirror, which also crosses the
// antimeridian and counts in international feet with a divisor.
struct Hemisphere {
    double lon0, lat0, phi1, phi2, band, lon1, lon2, alpha, k0, fe, fn, unitFactor, divisor;
};
const Hemisphere kHemispheres[] = {
    {10.0, 20.0, 30.0, 50.0, 50.0, 0.0, 40.0, 30.0, 0.9996, 500000.0, 100000.0, 1.0, 1.0},
    {-150.0, -20.0, -30.0, -50.0, -50.0, -170.0, 170.0, -60.0, 1.0, 200000.0, 10000000.0, 10000.0 / 3048.0,
     2.0},
};

bool IsConic(long kind) {
    return kind == 43007 || kind == 43020 || kind == 43027;
}

// Longitudes from the central meridian and latitudes, degrees: the grid, its
// edges and two points outside the ranges the frame wraps and clamps.
const double kLonOffsets[] = {-180.0, -100.0, 0.0, 45.0, 180.0};
const double kLats[] = {-90.0, -40.0, 0.0, 60.0, 90.0};
const double kOutside[][2] = {{190.0, 95.0}, {-200.0, -100.0}};

struct Definition {
    long kind;
    int earth, hemisphere, mode;
};

std::vector<Definition> Definitions() {
    std::vector<Definition> all;
    for (long kind = 43001; kind <= 43046; ++kind) {
        if (!CZrPJOperator::FindKind(kind)) continue;
        for (int e = 0; e < 2; ++e)
            for (int h = 0; h < 2; ++h)
                for (int mode = 1; mode <= 3; ++mode)
                    if (IsConic(kind) || mode == 2) all.push_back({kind, e, h, mode});
    }
    return all;
}

CZrPJOperator Build(const Definition& s) {
    const Earth& e = kEarths[s.earth];
    const Hemisphere& h = kHemispheres[s.hemisphere];
    CZrPJOperator op;
    op.SetKind(s.kind);
    op.SetParallelMode(s.mode);
    op.SetSemiMajorAxis(e.a);
    op.SetFlattening(e.f);
    op.SetCentralMeridian(h.lon0 * kDeg);
    op.SetCentralParallel(h.lat0 * kDeg);
    op.SetStandardParallel1(h.phi1 * kDeg);
    op.SetStandardParallel2(h.phi2 * kDeg);
    op.SetBandLatitude(h.band * kDeg);
    op.SetFirstPointLongitude(h.lon1 * kDeg);
    op.SetSecondPointLongitude(h.lon2 * kDeg);
    op.SetAzimuth(h.alpha * kDeg);
    op.SetScaleFactor(h.k0);
    op.SetFalseEasting(h.fe);
    op.SetFalseNorthing(h.fn);
    op.SetUnitFactor(h.unitFactor);
    op.SetDivisor(h.divisor);
    return op;
}

std::vector<CPoint2D> ForwardInputs(const Definition& s) {
    const double lon0 = kHemispheres[s.hemisphere].lon0;
    std::vector<CPoint2D> pts;
    for (double lat : kLats)
        for (double dl : kLonOffsets)
            pts.emplace_back(lon0 + dl, lat);
    for (const auto& o : kOutside)
        pts.emplace_back(lon0 + o[0], o[1]);
    return pts;
}

uint64_t Bits(double v) {
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}
double FromBits(uint64_t b) {
    double v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

// One grid point: forward of the input, then inverse of the recorded forward
// result (or, where the forward failed, of a point well off the map).
struct Record {
    long kind;
    int earth, hemisphere, mode, index;
    int forwardCode;
    uint64_t x, y;
    int inverseCode;
    uint64_t lon, lat;
};

CPoint2D InverseInput(const Definition& s, int forwardCode, const CPoint2D& forward) {
    const Hemisphere& h = kHemispheres[s.hemisphere];
    return forwardCode ? forward : CPoint2D(h.fe + 1234567.0, h.fn - 7654321.0);
}

std::string BaselinePath() {
    return std::string(ZRPRJ_SOURCE_DIR) + "/tests/projection/data/projection_baseline.txt";
}

bool ReadRecords(const std::string& path, std::vector<Record>& records) {
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) return false;
    char line[512];
    while (std::fgets(line, sizeof line, f)) {
        if (line[0] == '#') continue;
        Record r;
        if (std::sscanf(line, "%ld %d %d %d %d %d %" SCNx64 " %" SCNx64 " %d %" SCNx64 " %" SCNx64, &r.kind,
                        &r.earth, &r.hemisphere, &r.mode, &r.index, &r.forwardCode, &r.x, &r.y,
                        &r.inverseCode, &r.lon, &r.lat) == 11)
            records.push_back(r);
    }
    std::fclose(f);
    return true;
}

void WriteRecords(const char* path) {
    FILE* f = std::fopen(path, "w");
    ASSERT_NE(f, nullptr) << path;
    std::fprintf(f, "# kind earth(0 sphere, 1 Krasovsky) hemisphere(0 north, 1 south) mode point "
                    "forward-code x y inverse-code lon lat (raw IEEE bits)\n");
    for (const Definition& s : Definitions()) {
        CZrPJOperator op = Build(s);
        op.Create();
        const std::vector<CPoint2D> inputs = ForwardInputs(s);
        for (size_t i = 0; i < inputs.size(); ++i) {
            CPoint2D p = inputs[i];
            const int fc = op.Forward(p);
            CPoint2D q = InverseInput(s, fc, p);
            const int ic = op.Inverse(q);
            std::fprintf(
                f, "%ld %d %d %d %zu %d %016" PRIx64 " %016" PRIx64 " %d %016" PRIx64 " %016" PRIx64 "\n",
                s.kind, s.earth, s.hemisphere, s.mode, i, fc, Bits(p.x), Bits(p.y), ic, Bits(q.x), Bits(q.y));
        }
    }
    std::fclose(f);
}
} // namespace

TEST(ProjectionBaseline, EveryKindReproducesTheRecordedResultsBitForBit) {
    if (const char* out = std::getenv("ZRPRJ_WRITE_BASELINE")) {
        WriteRecords(out);
        GTEST_SKIP() << "recorded " << out;
    }
    std::vector<Record> records;
    ASSERT_TRUE(ReadRecords(BaselinePath(), records)) << BaselinePath();
    const std::vector<Definition> definitions = Definitions();
    size_t expected = 0;
    for (const Definition& s : definitions)
        expected += ForwardInputs(s).size();
    ASSERT_EQ(records.size(), expected) << "the record and the grid disagree: record anew";

    size_t differ = 0, r = 0;
    double worstPlanar = 0.0, worstAngular = 0.0; // metres (output unit), degrees
    for (const Definition& s : definitions) {
        CZrPJOperator op = Build(s);
        op.Create();
        const std::vector<CPoint2D> inputs = ForwardInputs(s);
        for (size_t i = 0; i < inputs.size(); ++i, ++r) {
            const Record& rec = records[r];
            ASSERT_TRUE(rec.kind == s.kind && rec.earth == s.earth && rec.hemisphere == s.hemisphere &&
                        rec.mode == s.mode && rec.index == static_cast<int>(i))
                << "record " << r << " is out of step with the grid";
            CPoint2D p = inputs[i];
            const int fc = op.Forward(p);
            const CPoint2D recorded(FromBits(rec.x), FromBits(rec.y));
            // The inverse starts from the recorded forward result, so that a
            // moved forward bit does not count twice.
            CPoint2D q = InverseInput(s, rec.forwardCode, recorded);
            const int ic = op.Inverse(q);
            const bool same = fc == rec.forwardCode && ic == rec.inverseCode && Bits(p.x) == rec.x &&
                              Bits(p.y) == rec.y && Bits(q.x) == rec.lon && Bits(q.y) == rec.lat;
            if (same) continue;
            ++differ;
            if (fc == rec.forwardCode && ic == rec.inverseCode) {
                worstPlanar = std::max(worstPlanar, std::hypot(p.x - recorded.x, p.y - recorded.y));
                worstAngular = std::max(
                    {worstAngular, std::fabs(q.x - FromBits(rec.lon)), std::fabs(q.y - FromBits(rec.lat))});
            }
            ADD_FAILURE() << s.kind << " earth " << s.earth << " hemisphere " << s.hemisphere << " mode "
                          << s.mode << " point " << i << " (" << inputs[i].x << ", " << inputs[i].y
                          << "): forward " << fc << " (" << p.x << ", " << p.y << "), recorded "
                          << rec.forwardCode << " (" << recorded.x << ", " << recorded.y << "); inverse "
                          << ic << " (" << q.x << ", " << q.y << "), recorded " << rec.inverseCode << " ("
                          << FromBits(rec.lon) << ", " << FromBits(rec.lat) << ")";
        }
    }
    std::printf(
        "[ figures  ] baseline: %zu of %zu points differ; largest change %.3g (output unit), %.3g deg\n",
        differ, records.size(), worstPlanar, worstAngular);
}
