#pragma once

// The vector path of the array projections: blocks of points, several to a
// register, for the kinds that have a vector kernel. Internal to the engine.
//
// The operator's array entries gather a block of points into the buffers
// below, the kernel runs the frame and the kind's mathematics over all of
// them, and every lane the kernel does not mark done (a non-finite input, a
// longitude that needs more than one turn of reduction, a point beyond the
// reach of the kernel's series, anything that the scalar path treats as a
// special case) goes through the scalar path, which keeps the per-point rules:
// refuse and restore. A kernel therefore never has to be right about a rare
// point, only about the common one, and there it agrees with the scalar
// routine to rounding (the vector sine, cosine, arctangent, arcsine,
// exponential and logarithm round as the C library's in all but a few
// arguments per thousand, and there differ by one unit in the last place).
#include "platform/ZrExport.h"

#include <cstddef>

namespace zrpj {

// The kinds with a vector kernel; kNone for every other.
enum class BatchKernel : int {
    kNone = 0,
    kTransverseMercator, // Transverse Mercator and Gauss-Krueger: the classical series near the meridian
    kConformalConic,     // Lambert
    kEqualAreaConic,     // Albers
    kMercator,           // on the ellipsoid
    kSphereMercator,     // on the sphere (Web Mercator)
    kGeodesicAzimuthal,  // azimuthal equidistant on the ellipsoid
    kLaborde,            // Laborde's oblique Mercator, forward only
    kObliqueTransform,   // the turned sphere's equidistant cylindrical
    kHotine,             // Hotine oblique Mercator, from the natural origin or the centre
    kPolyconic,          // the polyconic on the ellipsoid
    kTransverseZoned,    // the transverse Mercator zoned grid (UTM grid systems)
    kEqualEarth,         // Equal Earth on the ellipsoid or the sphere
    kObliqueStereo,      // the oblique stereographic on the ellipsoid, forward only
    kPolarStereo,        // the polar stereographics (variants A, B and C), forward only
    kGoode,              // Goode's interrupted homolosine, inverse only
    kCassini,            // Cassini-Soldner on the ellipsoid
    kOrthographic,       // the orthographic on the ellipsoid, forward only
    kGeostationary,      // the geostationary satellite's view, sweeping about y or x
    kKrovak,             // Krovak, north-orientated or not, modified or not
    kEqualAreaAzimuth,   // Lambert azimuthal equal-area on the ellipsoid, inverse only
    kLambertVariant,     // Lambert turned (Belgium 1972) or counted westwards (Greenland, Iceland)
    kNearConformal,      // the Levant's cone, its radius a cubic in the meridian arc
    kTransverseSouth,    // the transverse Mercator on westings and southings
    kCassiniHyperbolic,  // Cassini-Soldner with the hyperbolic northing (Vanua Levu)
};

// Points per block: a multiple of the widest register's lanes (8 doubles).
constexpr std::size_t kBatchBlock = 64;

// The azimuthal equidistant on the ellipsoid: its forward solves the
// ordinary geodesic from the centre by Newton's rounds, on both paths alike.
namespace geodesic_rounds {
// The error after a Newton step is of the order of the step squared: a step
// below this (radians), with the longitude's error as small, leaves under
// 1e-18, a few picometres at the antipode, so the point is taken without
// another round. Where the derivative is large (the geodesic arrives nearly
// along the parallel) a small step alone says nothing of the next.
constexpr double kLastStep = 1e-9;
// Rounds before the point is handed to the geodesic library: two suffice
// for nine points in ten, three for the rest of the earth's.
constexpr int kRounds = 8;
// Ends nearer a pole than this cosine of the reduced latitude (0.6 m) have
// an azimuth only by the library's convention.
constexpr double kPolarCosine = 1e-7;
// sin of the distance from the antipode on the auxiliary sphere below which
// the library solves the point (640 km, where the azimuth turns by metres
// for a change of the point in its last place), beside the region where the
// sphere is no guide (the astroid's, 6 pi f cos^2 beta1, widened fourfold).
constexpr double kAntipodeBand = 0.1;
constexpr double kAstroidWidth = 24.0;
// A reduced latitude's cosine is kept above this at a pole, as the library
// does, so that the end has a meridian (its longitude's).
constexpr double kTinyCosine = 1.4916681462400413e-154; // sqrt(DBL_MIN)
// Within this distance of the centre (metres at unit scale) a map point is
// the centre: the geodesic's azimuth there is undefined.
constexpr double kCentreDistance = 1e-10;
} // namespace geodesic_rounds

// The centre (its reduced latitude and dn = sqrt(1 + e'^2 sin^2 beta)), the
// ellipsoid, and the longitude's series in n (A3, C3), from the operator.
struct GeodesicBatch {
    double sbet1 = 0.0, cbet1 = 1.0, dn1 = 1.0;
    double pole = 0.0; // 1 or -1 for a centre at the north or south pole, else 0
    double a = 0.0, b = 0.0, f = 0.0, f1 = 1.0, ep2 = 0.0;
    double A3[6] = {};
    double C3[5][6] = {};
};

// What a kernel reads: the frame's definition and the constants of the kind,
// copied from the operator once per array call.
struct BatchConstants {
    BatchKernel kernel = BatchKernel::kNone;
    // The frame: central meridian (radians), false origin and unit factor
    // (output unit), divisor, and the scale the frame applies (1 for the kinds
    // whose routines apply their own).
    double lam0 = 0.0, fe = 0.0, fn = 0.0, unitFactor = 1.0, divisor = 1.0;
    double scale = 1.0, invScale = 1.0;
    // The ellipsoid.
    double a = 0.0, invA = 0.0, es = 0.0, e = 0.0, eps2 = 0.0, invOneMinusEs = 1.0;
    // Meridian length in units of a (and at the origin), the rectifying
    // latitude's scale and inverse series, the inverse conformal and
    // authalic series, the authalic series and the hemisphere's Rq^2.
    double en[5] = {}, ml0 = 0.0, aOverD0 = 0.0;
    double R[4] = {}, K[4] = {}, Q[4] = {}, P[4] = {}, Rq2 = 0.0;
    double areaFactor = 0.0; // a^2 (1 - e^2), the authalic area's factor
    // The kind: the cone constant n, rho0, and G or K; the sign of n and
    // ln |K| for the conformal cone; the cylinder's radius c1.
    double n = 0.0, rho0 = 0.0, c3 = 0.0, signN = 1.0, logK = 0.0, c1 = 0.0;
    // Krueger's series of the transverse kinds beyond the classical reach:
    // rectifying radius, the two coefficient sets, the origin's northing.
    double krA = 0.0, alpha[6] = {}, beta[6] = {}, krY0 = 0.0;
    GeodesicBatch geodesic;
    // Laborde: the conformal sphere (B, C, its radius R and the centre's
    // sphere latitude as sine and cosine) and the grid's cubic G; the turned
    // sphere: its pole's latitude as sine and cosine, and its longitude.
    double labB = 0.0, labC = 0.0, labR = 0.0, labSinS = 0.0, labCosS = 1.0, labGRe = 0.0, labGIm = 0.0;
    double turnSin = 0.0, turnCos = 1.0, turnLam = 0.0;
    // The inverse frame folds a longitude past a half turn once (the turned
    // globe's) rather than leave it to the scalar path.
    bool foldLongitude = false;
    // Hotine: the aposphere's A, B and 1 / B, E and ln E; the longitude from
    // the natural origin's meridian and back; the central line's and the
    // grid's turns; the conformal latitude's series; u of the centre (signed
    // by the hemisphere) and half a turn of the aposphere in u, for the kind
    // that counts u from the centre.
    double omA = 0.0, omB = 1.0, omInvB = 1.0, omE = 1.0, omLnE = 0.0, omLamShift = 0.0, omLamBack = 0.0;
    double omSing0 = 0.0, omCosg0 = 1.0, omSinr = 0.0, omCosr = 1.0, omChi[4] = {};
    double omUc = 0.0, omHalfTurn = 0.0;
    bool omFromCentre = false;
    // The polyconic: the classical arc's A0 .. A6, the origin's arc, and the
    // arc and its slope as polynomials in sin^2 phi (A0, p0 .. p2, q0 .. q3).
    double polyA[4] = {}, polyM0 = 0.0, polyArc[8] = {};
    // The zoned transverse Mercator: zone width (radians) and number of zones.
    double zoneWidth = 0.0, zones = 0.0;
    // Equal Earth: the authalic radius and its reciprocal, 1 / qp, and the
    // authalic latitude's series back to the geodetic (xi).
    double eeR = 0.0, eeInvR = 0.0, eeInvQp = 0.0, eeXi[6] = {};
    // The oblique stereographic: the conformal sphere's n, ln(c) / 2, the
    // origin's image as sine and cosine, and 2 R k0; the polar one: the
    // pole's sign, rho's factor and variant C's northing shift.
    double osN = 1.0, osHalfLnC = 0.0, osSinChi0 = 0.0, osCosChi0 = 1.0, osTwoRk = 0.0;
    double psPole = 1.0, psRhoFactor = 0.0, psYShift = 0.0;
    // The orthographic on the ellipsoid: the origin's latitude as sine and
    // cosine, and e^2 nu0 sin phi0 cos phi0. The geostationary view: the
    // satellite's distance g from the centre (units of a), its height in
    // metres, g^2 - 1, the polar radius p, p^2 and 1 / p^2, and the axis
    // the scanner sweeps about (x for GOES, y for Meteosat).
    double orSin0 = 0.0, orCos0 = 1.0, orD = 0.0;
    double geoG = 0.0, geoH = 0.0, geoC = 0.0, geoP = 1.0, geoP2 = 1.0, geoPinv2 = 1.0;
    bool geoSweepX = false;
    // Krovak: Gauss's sphere's B and ln t0, the cone axis's co-latitude as
    // sine and cosine, the cone constant and rho's factor; the orientation
    // and the modified forms' correction; the centre's latitude, for the
    // kernel's reach.
    double kvPhi0 = 0.0, kvB = 1.0, kvHalfLnC = 0.0, kvSinA = 0.0, kvCosA = 1.0, kvConeN = 1.0, kvRho = 0.0;
    bool kvNorth = false, kvModified = false;
    // Lambert's azimuthal equal-area: D, the authalic sphere's radius Rq and
    // the origin's authalic latitude as sine and cosine (its series back to
    // the geodetic in eeXi).
    double laD = 1.0, laRq = 1.0, laSinB0 = 0.0, laCosB0 = 1.0;
    // The conformal cone's variants: the turn of the longitude before the
    // cone (Belgium's 29.2985 seconds of theta, as a longitude: a / n) and the
    // easting's sign (-1 where it grows westwards).
    double coneTurn = 0.0, xSign = 1.0;
};

// The done-flag of each lane: nonzero where the kernel finished the point.
// x and y hold kBatchBlock values each (the lanes past count may hold
// anything: their results are not read).
// Exported for the tests that count the lanes a kernel finishes.
ZRPRJ_API void BatchForward(const BatchConstants& c, double* x, double* y, double* done, std::size_t count);
ZRPRJ_API void BatchInverse(const BatchConstants& c, double* x, double* y, double* done, std::size_t count);

// Whether the vector path is in use, and the name of the instruction set it
// runs on ("scalar" when it is not): chosen once per process, the widest the
// CPU has unless ZRPRJ_SIMD names another (scalar, sse2, sse4, avx2, avx512, auto).
// "sse2", the x86-64 baseline, runs the kernels one point at a time (Highway's
// two-lane emulation of the baseline is disabled under GCC before 12.3, whose
// bug it trips); "sse4" (SSSE3 and up) holds two points, "avx2" four and
// "avx512" eight.
bool BatchEnabled();
const char* BatchPathName();

// Takes the path a value of ZRPRJ_SIMD names, as though the process had
// started with it, so that one test run can compare every instruction set the
// CPU has with the scalar path: false when the CPU lacks the one named (the
// path is then the widest below it). Not for use while other threads project.
ZRPRJ_API bool BatchUsePath(const char* name);

// The vector path's elementary functions, one per call, on the instruction set
// in use, for the tests that compare them with the C library's: out[i] = f(x[i])
// (atan2: f(x[i], y[i])); count a multiple of kBatchBlock.
enum class BatchMath : int { kExp, kLog, kAtan, kAtan2, kAsin, kSin, kCos };
ZRPRJ_API void BatchMathForTest(BatchMath f, const double* x, const double* y, double* out,
                                std::size_t count);

} // namespace zrpj
