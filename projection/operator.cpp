// The frame around every projection kind: defaults, Create's common part, the
// dispatch table, and the wrapping (longitude reduction, latitude clamp,
// radians, scale, unit, false origin, divisor) shared by all kinds, so that
// each family file holds only its own mathematics.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJBatch_p.h"
#include "projection/ZrPJKernels_p.h"

#include "geodesy/ZrPJMath.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace zrpj;

namespace {
constexpr long kFirstKind = 43001;
constexpr long kLastKind = 43080;
// Beyond this many turns the stepwise reduction would loop for long; fmod
// first brings such a longitude near the range (only its last bits differ).
constexpr double kStepwiseLimit = 64.0 * kPi;

inline bool Finite(const CPoint2D& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// AdjLongitude with its common case, a longitude already in range, inline:
// the same value, without a call on every point.
inline double Reduced(double lam) {
    return std::fabs(lam) > kPi ? CZrPJOperator::AdjLongitude(lam) : lam;
}
} // namespace

// ---------------------------------------------------------------------------
// Dispatch: kind code -> forward, inverse, set-up. Codes without a routine
// (43025, 43026, 43038, 43039, 43042, and those after 43046 whose kinds are
// not computed here) have no row and never create.
// ---------------------------------------------------------------------------
#define ZRPJ_ROW_FLAGS(code, base, setup, scale, uncreated)                                                  \
    { code, &CZrPJOperator::base##_Forward, &CZrPJOperator::base##_Inverse, setup, scale, uncreated }
#define ZRPJ_ROW(code, base, setup) ZRPJ_ROW_FLAGS(code, base, setup, false, false)
#define ZRPJ_NO_ROW(code)                                                                                    \
    { code, nullptr, nullptr, nullptr, false, false }

const CZrPJOperator::KindRoutines* CZrPJOperator::FindKind(long kind) {
    static const KindRoutines kTable[] = {
        ZRPJ_ROW(43001, Equidistant_Cylindrical, &CZrPJOperator::Setup_Cylindrical),
        ZRPJ_ROW(43002, Equidistant_Cylindrical, &CZrPJOperator::Setup_Cylindrical),
        ZRPJ_ROW(43003, Miller_Cylindrical, nullptr),
        ZRPJ_ROW(43004, Conformal_Cylindrical, &CZrPJOperator::Setup_Cylindrical),
        // Gauss-Krueger's inverse has always run on an operator that was never
        // created (then on its own classical series alone).
        ZRPJ_ROW_FLAGS(43005, GaussKruger, &CZrPJOperator::Setup_Gauss_Kruger, false, true),
        // Transverse Mercator: the series work at unit scale; the frame applies k0.
        ZRPJ_ROW_FLAGS(43006, Traverse_Conformal_Cylindrical, &CZrPJOperator::Setup_Transverse_Mercator, true,
                       false),
        ZRPJ_ROW(43007, EqualArea_Conic, &CZrPJOperator::Setup_EqualArea_Conic),
        ZRPJ_ROW(43008, Sinusoidal, nullptr),
        ZRPJ_ROW(43009, Mollweide, nullptr),
        ZRPJ_ROW(43010, EckertVI, nullptr),
        ZRPJ_ROW(43011, EckertV, nullptr),
        ZRPJ_ROW(43012, EckertIV, nullptr),
        ZRPJ_ROW(43013, EckertIII, nullptr),
        ZRPJ_ROW(43014, EckertII, nullptr),
        ZRPJ_ROW(43015, EckertI, nullptr),
        ZRPJ_ROW(43016, Gall_Stereographic, nullptr),
        ZRPJ_ROW(43017, EqualArea_Cylindrical, &CZrPJOperator::Setup_Cylindrical),
        ZRPJ_ROW(43018, WinkelI, nullptr),
        ZRPJ_ROW(43019, WinkelII, nullptr),
        ZRPJ_ROW(43020, Conformal_Conic, &CZrPJOperator::Setup_Conformal_Conic),
        ZRPJ_ROW(43021, Normal_Polyconic, &CZrPJOperator::Setup_Normal_Polyconic),
        ZRPJ_ROW(43022, Quartic_Authalic, nullptr),
        ZRPJ_ROW(43023, Loximuthal, nullptr),
        ZRPJ_ROW(43024, Bonne, &CZrPJOperator::Setup_Bonne),
        {43025, nullptr, nullptr, nullptr, false, false},
        {43026, nullptr, nullptr, nullptr, false, false},
        ZRPJ_ROW(43027, Equidistant_Conic, &CZrPJOperator::Setup_Equidistant_Conic),
        ZRPJ_ROW(43028, Traverse_Equidistant_Cylindrical, nullptr),
        ZRPJ_ROW(43029, Van_Der_Grinten_I, nullptr),
        ZRPJ_ROW(43030, Robinson, nullptr),
        ZRPJ_ROW(43031, Two_Point_Equidistant, &CZrPJOperator::Setup_Two_Point_Equidistant),
        ZRPJ_ROW(43032, Equidistant_Azimuth, nullptr),
        ZRPJ_ROW(43033, EqualArea_Azimuth, nullptr),
        ZRPJ_ROW(43034, Conformal_Azimuth, nullptr),
        ZRPJ_ROW(43035, Orthograph, nullptr),
        ZRPJ_ROW(43036, Gnomonic, nullptr),
        ZRPJ_ROW(43037, China, nullptr),
        {43038, nullptr, nullptr, nullptr, false, false},
        {43039, nullptr, nullptr, nullptr, false, false},
        ZRPJ_ROW(43040, Sanson, nullptr),
        ZRPJ_ROW(43041, EqualArea_Cylindrical, &CZrPJOperator::Setup_Cylindrical),
        {43042, nullptr, nullptr, nullptr, false, false},
        ZRPJ_ROW(43043, Oblique_Mercator, &CZrPJOperator::Setup_Oblique_Mercator),
        ZRPJ_ROW(43044, Hotine_Oblique_Mercator, &CZrPJOperator::Setup_Oblique_Mercator),
        ZRPJ_ROW(43045, Sphere_Mercator, &CZrPJOperator::Setup_Cylindrical),
        ZRPJ_ROW(43046, Bonne_South_Orientated, &CZrPJOperator::Setup_Bonne_South_Orientated),
        ZRPJ_ROW(43047, Ellipsoidal_EqualArea_Azimuth, &CZrPJOperator::Setup_Ellipsoidal_EqualArea_Azimuth),
        ZRPJ_ROW(43048, Oblique_Stereographic, &CZrPJOperator::Setup_Oblique_Stereographic),
        ZRPJ_ROW(43049, Polar_Stereographic, &CZrPJOperator::Setup_Polar_Stereographic_A),
        ZRPJ_ROW(43050, Polar_Stereographic, &CZrPJOperator::Setup_Polar_Stereographic_B),
        ZRPJ_ROW(43051, Polar_Stereographic, &CZrPJOperator::Setup_Polar_Stereographic_C),
        ZRPJ_ROW(43052, Krovak, &CZrPJOperator::Setup_Krovak),
        ZRPJ_ROW(43053, Krovak_North, &CZrPJOperator::Setup_Krovak),
        ZRPJ_ROW(43054, Lambert_West, &CZrPJOperator::Setup_Conformal_Conic),
        ZRPJ_ROW(43055, Lambert_Belgium, &CZrPJOperator::Setup_Lambert_Belgium),
        // The near-conformal cone works at unit scale; the frame applies k0.
        ZRPJ_ROW_FLAGS(43056, Lambert_Near_Conformal, &CZrPJOperator::Setup_Lambert_Near_Conformal, true,
                       false),
        ZRPJ_ROW(43057, Cassini_Soldner, nullptr),
        ZRPJ_ROW(43058, Cassini_Hyperbolic, nullptr),
        ZRPJ_ROW_FLAGS(43059, Transverse_Mercator_South, &CZrPJOperator::Setup_Transverse_Mercator, true,
                       false),
        ZRPJ_ROW(43060, Equal_Earth, &CZrPJOperator::Setup_Equal_Earth),
        ZRPJ_ROW(43061, Guam, nullptr),
        // The frame applies the ellipsoid's scaling factor, as it applies k0 for the transverse Mercator.
        ZRPJ_ROW_FLAGS(43062, Lambert_Michigan, &CZrPJOperator::Setup_Lambert_Michigan, true, false),
        ZRPJ_ROW(43063, Modified_Azimuthal_Equidistant, &CZrPJOperator::Setup_Modified_Azimuthal_Equidistant),
        ZRPJ_ROW(43064, Krovak_Modified, &CZrPJOperator::Setup_Krovak_Modified),
        ZRPJ_ROW(43065, Krovak_Modified_North, &CZrPJOperator::Setup_Krovak_Modified),
        ZRPJ_ROW(43066, Laborde, &CZrPJOperator::Setup_Laborde),
        // The frame applies k0 as for the transverse Mercator; the zone's millions are unscaled.
        ZRPJ_ROW_FLAGS(43067, Transverse_Mercator_Zoned, &CZrPJOperator::Setup_Transverse_Mercator_Zoned,
                       true, false),
        ZRPJ_ROW(43068, Tunisia_Mining_Grid, nullptr),
        ZRPJ_ROW(43069, Colombia_Urban, &CZrPJOperator::Setup_Colombia_Urban),
        ZRPJ_ROW(43070, Orthographic_Ellipsoid, &CZrPJOperator::Setup_Orthographic_Ellipsoid),
        ZRPJ_ROW(43071, Azimuthal_Equidistant_Ellipsoid,
                 &CZrPJOperator::Setup_Azimuthal_Equidistant_Ellipsoid),
        ZRPJ_ROW(43072, Geostationary, &CZrPJOperator::Setup_Geostationary),
        ZRPJ_ROW(43073, Geostationary_Sweep_X, &CZrPJOperator::Setup_Geostationary),
        ZRPJ_ROW(43074, Interrupted_Goode, &CZrPJOperator::Setup_Interrupted_Goode),
        ZRPJ_ROW(43075, New_Zealand_Map_Grid, nullptr),
        ZRPJ_ROW(43076, Oblique_Transformation, &CZrPJOperator::Setup_Oblique_Transformation),
        ZRPJ_ROW(43077, Tilted_Perspective, &CZrPJOperator::Setup_Tilted_Perspective),
        ZRPJ_ROW(43078, Spherical_Cube, &CZrPJOperator::Setup_Spherical_Cube),
        // Geocentric X, Y, Z: three numbers, so no plane routine (both refuse).
        ZRPJ_ROW(43079, Geocentric, nullptr),
        ZRPJ_ROW(43080, Cassini_Soldner_South_West, nullptr),
    };
    static_assert(sizeof kTable / sizeof kTable[0] == kLastKind - kFirstKind + 1, "one row per code");
    if (kind < kFirstKind || kind > kLastKind) return nullptr;
    const KindRoutines* row = &kTable[kind - kFirstKind];
    return row->forward ? row : nullptr;
}
#undef ZRPJ_ROW
#undef ZRPJ_NO_ROW
#undef ZRPJ_ROW_FLAGS

// ---------------------------------------------------------------------------
// Construction and assignment
// ---------------------------------------------------------------------------
// Every group carries its defaults.
CZrPJOperator::CZrPJOperator() = default;

// The groups the definition and its constants live in are copied; the
// meridian-length series, the classical arc and the two-point block are not,
// and are derived again here from what was copied, as Create derives them.
// Before, the created flag travelled without them: a copy of a created
// Transverse Mercator reported success on northings 3.6 Mm wrong.
void CZrPJOperator::operator=(const CZrPJOperator& o) {
    if (this == &o) return;
    m_def = o.m_def;
    m_created = o.m_created;
    m_kc = o.m_kc;
    m_ell = o.m_ell;
    m_ser = o.m_ser;
    m_om = o.m_om;
    m_bs = o.m_bs;
    m_kr = o.m_kr;
    m_az = o.m_az;
    m_pl = o.m_pl;
    m_sat = o.m_sat;
    m_view = o.m_view;
    m_grid = o.m_grid;
    m_geodesic = o.m_geodesic;
    m_gc = o.m_gc;
    if (m_created && !DeriveUncopied()) m_created = 0;
}

void CZrPJOperator::CopyAll(const CZrPJOperator& o) {
    if (this == &o) return;
    *this = o;
    m_ml = o.m_ml;
    m_arc = o.m_arc;
    m_tp = o.m_tp;
}

// ---------------------------------------------------------------------------
// Create
// ---------------------------------------------------------------------------
// The groups an assignment does not carry, from the ellipsoid and the
// definition: the meridian-length series and ml0, the classical meridian
// coefficients, and the kind's own block where it keeps one there (the
// polyconic origin arc, the two-point block). Returns 0 when the kind's
// set-up refuses the definition.
int CZrPJOperator::DeriveUncopied() {
    ClassicalMeridianCoefficients(m_ell.es, m_arc.A);
    ComputeMeridianLengthSeries();
    const KindRoutines* row = FindKind(m_def.kind);
    if (!row) return 0;
    const bool ownsUncopiedBlock = row->setup == &CZrPJOperator::Setup_Normal_Polyconic ||
                                   row->setup == &CZrPJOperator::Setup_Two_Point_Equidistant;
    return ownsUncopiedBlock ? (this->*(row->setup))() : 1;
}

int CZrPJOperator::Create() {
    m_created = 0;
    m_ell.es = (2.0 - m_def.f) * m_def.f;

    ClassicalMeridianCoefficients(m_ell.es, m_arc.A);

    if (m_ell.es < 0.0) return 0;
    // An eccentricity of 1 or more (f >= 1) or a non-numeric ellipsoid has no
    // meridian and would make every constant below infinite or NaN. An axis
    // of 0 or less has no size: every kind used to create on it and return
    // plausible-looking numbers (or a Transverse Mercator inverse latitude of
    // 114 411 degrees reported as success).
    if (!(m_ell.es < 1.0) || !(m_def.a > 0.0) || !std::isfinite(m_def.a)) return 0;
    m_ell.e = std::sqrt(m_ell.es);
    m_ell.eps2 = m_ell.es / (1.0 - m_ell.es);
    m_ell.ep = std::sqrt(m_ell.eps2);
    ComputeEquidistCoefficient();

    const KindRoutines* row = FindKind(m_def.kind);
    if (!row) return 0;
    if (row->setup && !(this->*(row->setup))()) return 0;
    m_created = 1;
    return 1;
}

// One rule for the scale factor of every kind that reads it (Transverse
// Mercator, Lambert with one standard parallel, the oblique Mercator kinds):
// 0 is the constructor's default, "not given", and means unscaled, as the
// Transverse Mercator frame and the Lambert cone always read it; the
// coordinate system puts 0.9996 there before the operator sees it. A negative
// or non-numeric scale has no map: before, the Transverse Mercator forward
// ignored it while its inverse divided by it (so 0 failed and -1 mirrored
// every point), and an oblique Mercator collapsed the plane onto a line.
int CZrPJOperator::ScaleFromDefinition(double& k0) const {
    if (m_def.k0 == 0.0) {
        k0 = 1.0;
        return 1;
    }
    if (!(m_def.k0 > 0.0) || !std::isfinite(m_def.k0)) return 0;
    k0 = m_def.k0;
    return 1;
}

// The routine works at unit scale; the frame applies k0 (and divides by it on
// the way back, by the reciprocal kept here).
int CZrPJOperator::Setup_Transverse_Mercator() {
    if (!ScaleFromDefinition(m_kc.scale)) return 0;
    m_kc.invScale = 1.0 / m_kc.scale;
    ComputeKrugerSeries(m_def.phi0);
    return 1;
}

// Gauss-Krueger: unit scale, origin on the equator.
int CZrPJOperator::Setup_Gauss_Kruger() {
    ComputeKrugerSeries(0.0);
    return 1;
}

// c1 = r(phi1), the radius of the standard parallel, for the cylindrical kinds.
int CZrPJOperator::Setup_Cylindrical() {
    m_kc.c1 = ParallelRadius(m_def.phi1);
    return 1;
}

// ---------------------------------------------------------------------------
// Forward / Inverse
// ---------------------------------------------------------------------------
int CZrPJOperator::Forward(CPoint2D& pt) const {
    const KindRoutines* row = FindKind(m_def.kind);
    // Non-numeric input has no image; refusing it keeps NaN out of the caller's
    // data and infinite longitudes out of the reduction loop.
    if (!row || !m_created || !Finite(pt)) return 0;

    const double lam = Reduced(pt.x * CZrPJMath::kDegToRad);
    CPoint2D lp(Reduced(lam - m_def.lam0), pt.y * CZrPJMath::kDegToRad);
    if (lp.y > kHalfPi) lp.y = kHalfPi;
    if (lp.y < -kHalfPi) lp.y = -kHalfPi;

    if (!(this->*(row->forward))(lp)) return 0;
    if (row->appliesScale) {
        lp.x *= m_kc.scale;
        lp.y *= m_kc.scale;
    }
    lp.x = lp.x * m_def.unitFactor + m_def.fe;
    lp.y = lp.y * m_def.unitFactor + m_def.fn;
    // Dividing by 1 changes no bit; skipping it saves two divisions a point
    // in the common case.
    if (m_def.divisor != 1.0) {
        lp.x /= m_def.divisor;
        lp.y /= m_def.divisor;
    }
    // A routine that ran into a singularity reports no point rather than inf/NaN.
    if (!Finite(lp)) return 0;
    pt = lp;
    return 1;
}

int CZrPJOperator::Inverse(CPoint2D& pt) const {
    const KindRoutines* row = FindKind(m_def.kind);
    if (!row || !(m_created || row->inverseUncreated) || !Finite(pt)) return 0;

    CPoint2D xy(pt.x * m_def.divisor - m_def.fe, pt.y * m_def.divisor - m_def.fn);
    if (m_def.unitFactor != 1.0) {
        xy.x /= m_def.unitFactor;
        xy.y /= m_def.unitFactor;
    }
    if (row->appliesScale) {
        xy.x *= m_kc.invScale;
        xy.y *= m_kc.invScale;
    }
    if (!(this->*(row->inverse))(xy)) return 0;

    // In [-pi, pi], hence within [-180, 180] degrees (pi times the factor
    // rounds to 180 exactly): no fold in degrees is left to do. Each test
    // below is written so that NaN takes the rare branch, where it is
    // refused: the common point pays one comparison per coordinate.
    double lam = xy.x + m_def.lam0;
    if (!(std::fabs(lam) <= kPi)) {
        if (!std::isfinite(lam)) return 0;
        lam = AdjLongitude(lam);
    }
    // The one pole snap of the engine: a latitude past a pole by no more
    // than the inverse series' error is the pole; one further past is read
    // as coming over the pole, once. A series run far outside its zone may
    // give a latitude that even so lies beyond a pole (Gauss-Krueger gave
    // 2605 degrees as a success): that point has no image.
    double phi = xy.y;
    if (!(std::fabs(phi) <= kHalfPi)) {
        if (!std::isfinite(phi)) return 0;
        phi = SnapToPole(phi);
        if (phi > kHalfPi) phi -= kPi;
        if (phi < -kHalfPi) phi += kPi;
        if (std::fabs(phi) > kHalfPi) return 0;
    }
    lam *= CZrPJMath::kRadToDeg;
    phi *= CZrPJMath::kRadToDeg;
    pt.x = lam;
    pt.y = phi;
    return 1;
}

// ---------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------
double CZrPJOperator::AdjLongitude(double lam) {
    if (!std::isfinite(lam)) return lam;
    if (std::fabs(lam) > kStepwiseLimit) lam = std::fmod(lam, kTwoPi);
    while (std::fabs(lam) > kPi)
        lam += (lam >= 0.0) ? -kTwoPi : kTwoPi;
    return lam;
}

double CZrPJOperator::hypot(double x, double y) {
    x = std::fabs(x);
    y = std::fabs(y);
    if (x == 0.0) return y;
    if (y == 0.0) return x;
    if (x < y) {
        double r = x / y;
        return y * std::sqrt(1.0 + r * r);
    }
    double r = y / x;
    return x * std::sqrt(1.0 + r * r);
}

// ---------------------------------------------------------------------------
// Arrays: blocks to the kind's vector kernel, every other point to the frame
// ---------------------------------------------------------------------------
namespace {
// The kinds with a vector kernel, one row each.
struct BatchRow {
    long kind;
    BatchKernel kernel;
};
// Michigan's cone is Lambert's on the enlarged ellipsoid: the frame applies
// its K as the scale.
constexpr BatchRow kBatchKinds[] = {
    {43004, BatchKernel::kMercator},           {43005, BatchKernel::kTransverseMercator},
    {43006, BatchKernel::kTransverseMercator}, {43007, BatchKernel::kEqualAreaConic},
    {43020, BatchKernel::kConformalConic},     {43045, BatchKernel::kSphereMercator},
    {43071, BatchKernel::kGeodesicAzimuthal},  {43066, BatchKernel::kLaborde},
    {43076, BatchKernel::kObliqueTransform},
    {43043, BatchKernel::kHotine},             {43044, BatchKernel::kHotine},
    {43021, BatchKernel::kPolyconic},
    {43067, BatchKernel::kTransverseZoned},    {43060, BatchKernel::kEqualEarth},
    {43048, BatchKernel::kObliqueStereo},      {43049, BatchKernel::kPolarStereo},
    {43050, BatchKernel::kPolarStereo},        {43051, BatchKernel::kPolarStereo},
    {43074, BatchKernel::kGoode},              {43057, BatchKernel::kCassini},
    {43070, BatchKernel::kOrthographic},       {43072, BatchKernel::kGeostationary},
    {43073, BatchKernel::kGeostationary},      {43052, BatchKernel::kKrovak},
    {43053, BatchKernel::kKrovak},             {43064, BatchKernel::kKrovak},
    {43065, BatchKernel::kKrovak},             {43047, BatchKernel::kEqualAreaAzimuth},
    {43054, BatchKernel::kLambertVariant},     {43055, BatchKernel::kLambertVariant},
    {43062, BatchKernel::kConformalConic},     {43056, BatchKernel::kNearConformal},
    {43059, BatchKernel::kTransverseSouth},    {43058, BatchKernel::kCassiniHyperbolic},
};

// The kernels' atanh series and their Mercator and cone forms hold for an
// eccentricity below this (every earth ellipsoid's is near 0.08).
constexpr double kBatchEccentricityLimit = 0.1;
// A cylinder or cone radius this small (metres) is the scalar routines' refusal.
constexpr double kBatchDegenerate = 1e-7;

inline double& Column(double* base, std::size_t stride, long i) {
    return *reinterpret_cast<double*>(reinterpret_cast<char*>(base) + stride * static_cast<std::size_t>(i));
}
} // namespace

const char* CZrPJOperator::BatchPath() {
    return BatchPathName();
}

bool CZrPJOperator::FillBatch(BatchConstants& k, bool inverse) const {
    const KindRoutines* row = FindKind(m_def.kind);
    if (!row || !m_created || !BatchEnabled()) return false;
    const BatchRow* batch = nullptr;
    for (const BatchRow& r : kBatchKinds)
        if (r.kind == m_def.kind) batch = &r;
    if (!batch) return false;
    k.kernel = batch->kernel;
    k.lam0 = m_def.lam0;
    k.fe = m_def.fe;
    k.fn = m_def.fn;
    k.unitFactor = m_def.unitFactor;
    k.divisor = m_def.divisor;
    k.scale = row->appliesScale ? m_kc.scale : 1.0;
    k.invScale = row->appliesScale ? m_kc.invScale : 1.0;
    k.a = m_def.a;
    k.invA = m_ell.invA;
    k.es = m_ell.es;
    k.e = m_ell.e;
    k.eps2 = m_ell.eps2;
    k.invOneMinusEs = m_ell.invOneMinusEs;
    std::copy(m_ml.en, m_ml.en + 5, k.en);
    k.aOverD0 = m_ser.aOverD0;
    std::copy(m_ser.R, m_ser.R + 4, k.R);
    std::copy(m_ser.K, m_ser.K + 4, k.K);
    std::copy(m_ser.Q, m_ser.Q + 4, k.Q);
    std::copy(m_ser.P, m_ser.P + 4, k.P);
    k.Rq2 = m_ser.Rq2;
    k.areaFactor = m_def.a * m_def.a * (1.0 - m_ell.es);
    k.n = m_kc.c1;
    k.rho0 = m_kc.c2;
    k.c3 = m_kc.c3;
    k.signN = SignOf(m_kc.c1);
    k.c1 = m_kc.c1;
    switch (k.kernel) {
    case BatchKernel::kTransverseMercator:
    case BatchKernel::kTransverseZoned:
    case BatchKernel::kTransverseSouth:
        k.zoneWidth = m_grid.zoneWidth;
        k.zones = m_grid.zones;
        // Gauss-Krueger's origin is the equator; the inverse's footpoint
        // starts from the rectifying latitude, which needs the meridian series.
        k.ml0 = m_def.kind != 43005 ? m_ml.ml0 : 0.0;
        k.krA = m_kr.A;
        std::copy(m_kr.alpha, m_kr.alpha + 6, k.alpha);
        std::copy(m_kr.beta, m_kr.beta + 6, k.beta);
        k.krY0 = m_kr.y0;
        return m_ser.D[0] > 0.0 && std::isfinite(m_ser.aOverD0) && m_kr.A > 0.0 &&
               m_ell.e < kBatchEccentricityLimit;
    case BatchKernel::kConformalConic:
        k.logK = std::log(std::fabs(m_kc.c3));
        return m_def.parallelMode >= 1 && m_def.parallelMode <= 3 && m_ell.e < kBatchEccentricityLimit;
    case BatchKernel::kEqualAreaConic:
        return true;
    case BatchKernel::kMercator:
        return m_ell.e < kBatchEccentricityLimit && (!inverse || std::fabs(m_kc.c1) > kBatchDegenerate);
    case BatchKernel::kSphereMercator:
        return true;
    case BatchKernel::kGeodesicAzimuthal: {
        // An ellipsoid flatter than the series serve is the geodesic
        // library's, on the scalar path.
        GeodesicBatch& g = k.geodesic;
        g.sbet1 = m_gc.sbet1;
        g.cbet1 = m_gc.cbet1;
        g.dn1 = std::sqrt(1.0 + m_gc.ep2 * m_gc.sbet1 * m_gc.sbet1);
        g.pole = std::fabs(m_def.phi0) == kHalfPi ? SignOf(m_def.phi0) : 0.0;
        g.a = m_def.a;
        g.b = m_gc.b;
        g.f = m_def.f;
        g.f1 = m_gc.f1;
        g.ep2 = m_gc.ep2;
        std::copy(m_gc.A3, m_gc.A3 + 6, g.A3);
        for (int l = 0; l < 5; ++l)
            std::copy(m_gc.C3[l], m_gc.C3[l] + 6, g.C3[l]);
        return m_gc.fast;
    }
    case BatchKernel::kLaborde:
        k.labB = m_grid.B;
        k.labC = m_grid.C;
        k.labR = m_grid.R;
        k.labSinS = m_grid.sinS;
        k.labCosS = m_grid.cosS;
        k.labGRe = m_grid.gRe;
        k.labGIm = m_grid.gIm;
        // The inverse solves the cubic by Newton's rounds, on the scalar path.
        return !inverse && m_ell.e < kBatchEccentricityLimit;
    case BatchKernel::kObliqueTransform:
        k.turnSin = m_view.sinA;
        k.turnCos = m_view.cosA;
        k.turnLam = m_view.lamp;
        k.foldLongitude = true;
        return true;
    case BatchKernel::kHotine:
        // The constants as the single-point routines form them, to the bit.
        k.omA = m_om.A;
        k.omB = m_om.B;
        k.omInvB = m_om.invB;
        k.omE = m_om.E;
        k.omLnE = m_om.lnE;
        k.omLamShift = m_def.lam0 - m_om.lam0Natural;
        k.omLamBack = m_om.lam0Natural - m_def.lam0;
        k.omSing0 = m_om.sing0;
        k.omCosg0 = m_om.cosg0;
        k.omSinr = m_om.sinr;
        k.omCosr = m_om.cosr;
        std::copy(m_om.chi, m_om.chi + 4, k.omChi);
        k.omUc = std::fabs(m_om.uc) * m_om.sign;
        k.omHalfTurn = kPi * m_om.A / m_om.B;
        k.omFromCentre = m_def.kind == 43043;
        return m_ell.e < kBatchEccentricityLimit && m_om.B > 0.0 && std::isfinite(m_om.lnE);
    case BatchKernel::kPolyconic: {
        // The inverse's arc and slope in powers of sin^2 phi, formed as the
        // single-point inverse forms them (sin 2phi = 2sc, sin 4phi = 4sc
        // (1 - 2t), sin 6phi = 2sc (3 - 16t + 16t^2), and their cosines).
        const double* A = m_arc.A;
        std::copy(A, A + 4, k.polyA);
        k.polyM0 = m_arc.polyM0;
        const double arc[8] = {A[0],
                               -2.0 * A[1] + 4.0 * A[2] - 6.0 * A[3],
                               -8.0 * A[2] + 32.0 * A[3],
                               -32.0 * A[3],
                               A[0] - 2.0 * A[1] + 4.0 * A[2] - 6.0 * A[3],
                               4.0 * A[1] - 32.0 * A[2] + 108.0 * A[3],
                               32.0 * A[2] - 288.0 * A[3],
                               192.0 * A[3]};
        std::copy(arc, arc + 8, k.polyArc);
        return std::isfinite(m_arc.polyM0) && A[0] > 0.0;
    }
    case BatchKernel::kEqualEarth:
        k.eeR = m_kc.c2;
        k.eeInvR = m_kc.c3;
        k.eeInvQp = m_az.invQp;
        std::copy(m_az.xi, m_az.xi + 6, k.eeXi);
        // The forward's authalic series and the inverse's Clenshaw sum
        // without Newton's polish serve the earth's ellipsoids and the sphere.
        return m_ell.e < kBatchEccentricityLimit && !m_az.xiNewton;
    // The stereographics' inverses and Goode's forward stay on the scalar path.
    case BatchKernel::kObliqueStereo:
        k.osN = m_az.n;
        k.osHalfLnC = m_az.halfLnC;
        k.osSinChi0 = m_az.sinChi0;
        k.osCosChi0 = m_az.cosChi0;
        k.osTwoRk = m_az.twoRk;
        return !inverse && m_ell.e < kBatchEccentricityLimit;
    case BatchKernel::kPolarStereo:
        k.psPole = m_az.pole;
        k.psRhoFactor = m_az.rhoFactor;
        k.psYShift = m_az.yShift;
        return !inverse && m_ell.e < kBatchEccentricityLimit;
    case BatchKernel::kGoode:
        return inverse;
    case BatchKernel::kCassini:
    case BatchKernel::kCassiniHyperbolic:
        // The inverse's footpoint starts from the rectifying latitude.
        k.ml0 = m_ml.ml0;
        return !inverse || (m_ser.D[0] > 0.0 && std::isfinite(m_ser.aOverD0));
    case BatchKernel::kOrthographic:
        k.orSin0 = m_pl.A;
        k.orCos0 = m_pl.B;
        k.orD = m_pl.D;
        // The inverse meets the ellipsoid along the view line: the scalar path's.
        return !inverse;
    case BatchKernel::kGeostationary:
        k.geoG = m_sat.g;
        k.geoH = m_sat.g1 * m_def.a; // as the single-point routines form it
        k.geoC = m_sat.c;
        k.geoP = m_sat.p;
        k.geoP2 = m_sat.p2;
        k.geoPinv2 = m_sat.pinv2;
        k.geoSweepX = m_def.kind == 43073;
        return true;
    case BatchKernel::kKrovak:
        k.kvPhi0 = m_def.phi0;
        k.kvB = m_az.n;
        k.kvHalfLnC = m_az.halfLnC;
        k.kvSinA = m_az.sinChi0;
        k.kvCosA = m_az.cosChi0;
        k.kvConeN = m_az.coneN;
        k.kvRho = m_az.rhoFactor;
        k.kvNorth = m_def.kind == 43053 || m_def.kind == 43065;
        k.kvModified = m_def.kind == 43064 || m_def.kind == 43065;
        return m_ell.e < kBatchEccentricityLimit;
    case BatchKernel::kEqualAreaAzimuth:
        k.laD = m_az.D;
        k.laRq = m_az.Rq;
        k.laSinB0 = m_az.sinb0;
        k.laCosB0 = m_az.cosb0;
        std::copy(m_az.xi, m_az.xi + 6, k.eeXi);
        // The forward stays on the scalar path, and so do a polar origin's
        // inverse and the flatter ellipsoids' (whose series take a Newton round).
        return inverse && m_az.pole == 0 && !m_az.xiNewton;
    case BatchKernel::kLambertVariant:
        // Belgium's turn as its routines hold it; 0 for the westward cone.
        k.coneTurn = m_def.kind == 43055 ? m_kc.lamShift : 0.0;
        k.xSign = m_def.kind == 43054 ? -1.0 : 1.0;
        k.logK = std::log(std::fabs(m_kc.c3));
        return m_def.parallelMode >= 1 && m_def.parallelMode <= 3 && m_ell.e < kBatchEccentricityLimit;
    case BatchKernel::kNearConformal:
        // The arc from the origin's parallel; the inverse's footpoint from
        // the rectifying latitude.
        k.ml0 = m_ml.ml0;
        return m_ser.D[0] > 0.0 && std::isfinite(m_ser.aOverD0);
    case BatchKernel::kNone:
        break;
    }
    return false;
}

namespace {
// One array through a direction: blocks gathered from the columns, the
// kernel over each, its finished lanes written back and every other point
// sent through the single-point routine, which refuses or computes it.
template <class Kernel, class Single>
long RunColumns(const BatchConstants* k, Kernel kernel, Single single, double* x, std::size_t sx, double* y,
                std::size_t sy, long count) {
    if (!x || !y || count <= 0) return 0;
    long refused = 0;
    auto scalar = [&](long i) {
        CPoint2D p(Column(x, sx, i), Column(y, sy, i));
        if (!single(p)) {
            ++refused;
            return;
        }
        Column(x, sx, i) = p.x;
        Column(y, sy, i) = p.y;
    };
    if (!k) {
        for (long i = 0; i < count; ++i)
            scalar(i);
        return refused;
    }
    alignas(64) double bx[kBatchBlock], by[kBatchBlock], done[kBatchBlock];
    for (long start = 0; start < count; start += static_cast<long>(kBatchBlock)) {
        const std::size_t n = static_cast<std::size_t>(std::min<long>(kBatchBlock, count - start));
        for (std::size_t j = 0; j < n; ++j) {
            bx[j] = Column(x, sx, start + static_cast<long>(j));
            by[j] = Column(y, sy, start + static_cast<long>(j));
        }
        // The lanes past the array's end compute on zeros and are not read.
        for (std::size_t j = n; j < kBatchBlock; ++j)
            bx[j] = by[j] = 0.0;
        kernel(*k, bx, by, done, n);
        for (std::size_t j = 0; j < n; ++j) {
            const long i = start + static_cast<long>(j);
            if (done[j] != 0.0) {
                Column(x, sx, i) = bx[j];
                Column(y, sy, i) = by[j];
            } else {
                scalar(i);
            }
        }
    }
    return refused;
}
} // namespace

long CZrPJOperator::Forward(double* x, std::size_t sx, double* y, std::size_t sy, long count) const {
    BatchConstants k;
    const bool vector = FillBatch(k, false);
    return RunColumns(
        vector ? &k : nullptr, BatchForward, [this](CPoint2D& p) { return Forward(p); }, x, sx, y, sy, count);
}

long CZrPJOperator::Inverse(double* x, std::size_t sx, double* y, std::size_t sy, long count) const {
    BatchConstants k;
    const bool vector = FillBatch(k, true);
    return RunColumns(
        vector ? &k : nullptr, BatchInverse, [this](CPoint2D& p) { return Inverse(p); }, x, sx, y, sy, count);
}
