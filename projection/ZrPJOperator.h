#pragma once

#include "geodesy/ZrGeodesic.h"
#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"

#include <cmath>
#include <cstddef>

namespace zrpj {
struct BatchConstants;
}

// One projection: its definition (kind, angles in radians, scale, false origin,
// ellipsoid, unit factor, divisor), every constant derived from it by Create,
// and the per-point Forward/Inverse. After Create the operator is only read,
// so one created operator may serve several threads that own their points.
class ZRPRJ_API CZrPJOperator {
public:
    CZrPJOperator();
    CZrPJOperator(const CZrPJOperator& other) = default; // a full copy, usable without Create
    virtual ~CZrPJOperator() = default;

    // Copies the definition and the constants that survive a copy, and derives
    // the rest (meridian-length series, polyconic and two-point blocks) from
    // them as Create does, so a copy of a created operator projects at once;
    // should the derivation refuse, the copy reports not created.
    void operator=(const CZrPJOperator& other);
    // A complete copy, every field included (what GetPJOperator hands out).
    void CopyAll(const CZrPJOperator& other);

    int Create();
    int Forward(CPoint2D& pt) const;
    int Inverse(CPoint2D& pt) const;

    // In place over columns, as proj_trans_generic takes them: x[i] and y[i]
    // lie strideX and strideY bytes apart, so interleaved points (stride
    // sizeof(CPoint2D)) and separate arrays (stride sizeof(double)) alike are
    // read where they are. Each point comes out as Forward/Inverse of that
    // one point gives it, within a nanometre (a refused point is left as it
    // was); the kinds with a vector kernel compute several points at a time.
    // Returns the number of points refused.
    long Forward(double* x, std::size_t strideX, double* y, std::size_t strideY, long count) const;
    long Inverse(double* x, std::size_t strideX, double* y, std::size_t strideY, long count) const;
    // The instruction set the array entries compute on: "scalar", "sse2",
    // "sse4", "avx2" or "avx512"; the widest this CPU has unless the
    // environment variable ZRPRJ_SIMD names one (or "scalar") at start.
    static const char* BatchPath();

    // Definition. Angles in radians; false origin in the output unit.
    void SetKind(long kind) { m_def.kind = kind; }
    void SetParallelMode(int mode) { m_def.parallelMode = mode; }
    void SetStandardParallel1(double phi1) { m_def.phi1 = phi1; }
    void SetStandardParallel2(double phi2) { m_def.phi2 = phi2; }
    void SetCentralMeridian(double lam0) { m_def.lam0 = lam0; }
    void SetCentralParallel(double phi0) { m_def.phi0 = phi0; }
    void SetBandLatitude(double phi0b) { m_def.phi0b = phi0b; }
    void SetFirstPointLongitude(double lam1) { m_def.lam1 = lam1; }
    void SetSecondPointLongitude(double lam2) { m_def.lam2 = lam2; }
    void SetScaleFactor(double k0) { m_def.k0 = k0; }
    void SetAzimuth(double alpha) { m_def.alpha = alpha; }
    void SetFalseEasting(double fe) { m_def.fe = fe; }
    void SetFalseNorthing(double fn) { m_def.fn = fn; }
    void SetSemiMajorAxis(double a) { m_def.a = a; }
    void SetFlattening(double f) { m_def.f = f; }
    void SetUnitFactor(double factor) { m_def.unitFactor = factor; }
    void SetDivisor(double divisor) { m_def.divisor = divisor; }
    void SetCreated(int created) { m_created = created; }

    long GetKind() const { return m_def.kind; }
    int GetParallelMode() const { return m_def.parallelMode; }
    double GetStandardParallel1() const { return m_def.phi1; }
    double GetStandardParallel2() const { return m_def.phi2; }
    double GetCentralMeridian() const { return m_def.lam0; }
    double GetCentralParallel() const { return m_def.phi0; }
    double GetBandLatitude() const { return m_def.phi0b; }
    double GetMeanLatitude() const { return m_def.phim; }
    double GetFirstPointLongitude() const { return m_def.lam1; }
    double GetSecondPointLongitude() const { return m_def.lam2; }
    double GetScaleFactor() const { return m_def.k0; }
    double GetAzimuth() const { return m_def.alpha; }
    double GetFalseEasting() const { return m_def.fe; }
    double GetFalseNorthing() const { return m_def.fn; }
    double GetSemiMajorAxis() const { return m_def.a; }
    double GetFlattening() const { return m_def.f; }
    double GetUnitFactor() const { return m_def.unitFactor; }
    double GetDivisor() const { return m_def.divisor; }
    double GetES() const { return m_ell.es; }
    double GetEccentricity() const { return m_ell.e; }
    int IsCreated() const { return m_created; }
    double GetC1() const { return m_kc.c1; }
    double GetC2() const { return m_kc.c2; }
    double GetC3() const { return m_kc.c3; }

    // Series of the meridian arc and the auxiliary latitudes, public for the
    // callers that need them outside a projection (tests, the datum shift).
    double N(double phi) const;
    double M(double phi) const;
    double AntiM(double rho) const;
    double U(double phi) const;
    double Conformal(double phi) const;
    double IsometricLatitude(double phi) const; // ln U(phi), infinite at the poles
    double AntiConformal(double chi) const;
    double Area(double phi) const;
    double AntiArea(double beta) const;
    double Distance(double phi) const;
    double AntiDistance(double psi) const;
    double MeridianLength(double phi, double s, double c) const;
    double MeridianLengthInverse(double m) const;
    // The same, also giving sin and cos of the latitude found.
    double MeridianLengthInverse(double m, double& sinPhi, double& cosPhi) const;
    double GetRectifyingD0() const { return m_ser.D[0]; }
    double GetRq2() const { return m_ser.Rq2; }
    double GetAuthalicRadius() const { return m_ser.authalicRadius; }
    double GetMl0() const { return m_ml.ml0; }

    static double AdjLongitude(double lam);
    static double hypot(double x, double y);

    // The dispatch row of one kind; public only so that the table, which lives
    // beside the frame, can name the protected routines. The routines work in
    // radians and metres of the unit-scale map about the central meridian:
    // the forward takes (lambda - lambda0 reduced to [-pi, pi], phi clamped to
    // the poles) and returns (x, y) without scale or false origin; the inverse
    // takes (x, y) so prepared and returns (lambda - lambda0, phi). Both return
    // 1, or 0 for a point without an image. What the frame does beyond that
    // for a kind is in the row's flags.
    using Routine = int (CZrPJOperator::*)(CPoint2D&) const;
    using Setup = int (CZrPJOperator::*)();
    struct KindRoutines {
        long kind;
        Routine forward;
        Routine inverse;
        Setup setup;           // nullptr: nothing to precompute
        bool appliesScale;     // the frame multiplies by k0 (Transverse Mercator)
        bool inverseUncreated; // the inverse runs before Create (Gauss-Krueger: series only)
    };
    static const KindRoutines* FindKind(long kind);

protected:
    // The constants of this operator's vector kernel; false when its kind has
    // none, or its definition is one the kernel leaves to the scalar path.
    bool FillBatch(zrpj::BatchConstants& k, bool inverse) const;

    void ComputeEquidistCoefficient();
    void ComputeMeridianLengthSeries();
    int DeriveUncopied();
    // The scale factor a kind applies: k0, or 1 when k0 is 0 (not given).
    // Returns 0 for a negative or non-numeric k0, which has no map.
    int ScaleFromDefinition(double& k0) const;
    double ParallelRadius(double phi) const { return N(phi) * std::cos(phi); }

    // China projection: residual of the azimuth equation and its derivative.
    double ChinaA(double A, double z, double Aprime) const;
    double ChinaA1(double A, double z) const;
    void PolishVanDerGrinten(double x, double y, double& lam, double& phi) const;

    // Per-kind set-up (Create's second step).
    int Setup_Cylindrical();
    int Setup_Transverse_Mercator();
    int Setup_Gauss_Kruger();
    void ComputeKrugerSeries(double phi0);
    void KrugerForward(CPoint2D& pt) const;
    void KrugerInverse(CPoint2D& pt) const;
    void ClassicalTransverseForward(CPoint2D& pt, double ml0) const;
    void ClassicalTransverseInverse(CPoint2D& pt, double ml0) const;
    int StoreCone(double n, double rho0, double c3);
    int ConePlace(CPoint2D& pt, double rho) const;
    double ConeLocate(CPoint2D& pt) const;
    int Setup_EqualArea_Conic();
    int Setup_Conformal_Conic();
    int Setup_Equidistant_Conic();
    int Setup_Normal_Polyconic();
    int Setup_Bonne();
    int Setup_Bonne_South_Orientated();
    int Setup_Two_Point_Equidistant();
    int Setup_Oblique_Mercator();
    int Setup_Ellipsoidal_EqualArea_Azimuth();
    int Setup_Oblique_Stereographic();
    int Setup_Polar_Stereographic_A();
    int Setup_Polar_Stereographic_B();
    int Setup_Polar_Stereographic_C();
    double AuthalicQ(double sinPhi) const;
    double AuthalicQFromPole(double sinPhi, double oneMinusSin) const;
    double LatitudeFromPoleGap(double d) const;
    void ComputeAuthalicInverseSeries();
    double LatitudeFromAuthalic(double sinBeta, double cosBeta) const;
    double PolarT(double phiTowardsPole) const;
    int Setup_Krovak();
    int KrovakSouthWest(CPoint2D& pt) const;
    int KrovakFromSouthWest(CPoint2D& pt) const;
    int Setup_Equal_Earth();
    int Setup_Lambert_Michigan();
    int Setup_Lambert_Belgium();
    int Setup_Lambert_Near_Conformal();
    int Setup_Modified_Azimuthal_Equidistant();
    double HyperbolicBend(double phi, double northing) const;
    int CassiniFromFootpoint(CPoint2D& pt, double phi1, double s1, double c1) const;
    void CassiniAt(CPoint2D& pt, double s, double c) const;
    void CassiniFootpoint(double m, double& phi1, double& s1, double& c1) const;
    int CassiniSolve(CPoint2D& geo, double x, double y, double phi1, double s1, double c1, bool bent) const;
    int Setup_Colombia_Urban();
    int Setup_Orthographic_Ellipsoid();
    int Setup_Azimuthal_Equidistant_Ellipsoid();
    int Setup_Geostationary();
    int Setup_Interrupted_Goode();
    int Setup_Oblique_Transformation();
    int Setup_Tilted_Perspective();
    int Setup_Spherical_Cube();
    int GeostationaryView(CPoint2D& pt, double& t, double& vy, double& vz) const;
    int GeostationaryLocate(CPoint2D& pt, double vy, double vz) const;
    int Setup_Krovak_Modified();
    int KrovakModifiedSouthWest(CPoint2D& pt) const;
    int KrovakModifiedFromSouthWest(CPoint2D& pt) const;
    int Setup_Laborde();
    int Setup_Transverse_Mercator_Zoned();

#define ZRPJ_ROUTINE_PAIR(base)                                                                              \
    int base##_Forward(CPoint2D& pt) const;                                                                  \
    int base##_Inverse(CPoint2D& pt) const;
    // series.cpp: the transverse kinds
    ZRPJ_ROUTINE_PAIR(GaussKruger)
    ZRPJ_ROUTINE_PAIR(Traverse_Conformal_Cylindrical)
    ZRPJ_ROUTINE_PAIR(Traverse_Equidistant_Cylindrical)
    // cylindrical.cpp
    ZRPJ_ROUTINE_PAIR(Equidistant_Cylindrical)
    ZRPJ_ROUTINE_PAIR(Miller_Cylindrical)
    ZRPJ_ROUTINE_PAIR(Conformal_Cylindrical)
    ZRPJ_ROUTINE_PAIR(Gall_Stereographic)
    ZRPJ_ROUTINE_PAIR(EqualArea_Cylindrical)
    ZRPJ_ROUTINE_PAIR(Sphere_Mercator)
    // conic.cpp
    ZRPJ_ROUTINE_PAIR(EqualArea_Conic)
    ZRPJ_ROUTINE_PAIR(Conformal_Conic)
    ZRPJ_ROUTINE_PAIR(Equidistant_Conic)
    ZRPJ_ROUTINE_PAIR(Normal_Polyconic)
    ZRPJ_ROUTINE_PAIR(Bonne)
    ZRPJ_ROUTINE_PAIR(Bonne_South_Orientated)
    ZRPJ_ROUTINE_PAIR(China)
    // azimuthal.cpp
    ZRPJ_ROUTINE_PAIR(Conformal_Azimuth)
    ZRPJ_ROUTINE_PAIR(EqualArea_Azimuth)
    ZRPJ_ROUTINE_PAIR(Equidistant_Azimuth)
    ZRPJ_ROUTINE_PAIR(Orthograph)
    ZRPJ_ROUTINE_PAIR(Gnomonic)
    ZRPJ_ROUTINE_PAIR(Two_Point_Equidistant)
    // pseudocylindrical.cpp
    ZRPJ_ROUTINE_PAIR(Sinusoidal)
    ZRPJ_ROUTINE_PAIR(Sanson)
    ZRPJ_ROUTINE_PAIR(Mollweide)
    ZRPJ_ROUTINE_PAIR(EckertI)
    ZRPJ_ROUTINE_PAIR(EckertII)
    ZRPJ_ROUTINE_PAIR(EckertIII)
    ZRPJ_ROUTINE_PAIR(EckertIV)
    ZRPJ_ROUTINE_PAIR(EckertV)
    ZRPJ_ROUTINE_PAIR(EckertVI)
    ZRPJ_ROUTINE_PAIR(WinkelI)
    ZRPJ_ROUTINE_PAIR(WinkelII)
    ZRPJ_ROUTINE_PAIR(Van_Der_Grinten_I)
    ZRPJ_ROUTINE_PAIR(Robinson)
    ZRPJ_ROUTINE_PAIR(Loximuthal)
    ZRPJ_ROUTINE_PAIR(Quartic_Authalic)
    // oblique_mercator.cpp
    ZRPJ_ROUTINE_PAIR(Oblique_Mercator)
    ZRPJ_ROUTINE_PAIR(Hotine_Oblique_Mercator)
    // ellipsoidal_azimuthal.cpp
    ZRPJ_ROUTINE_PAIR(Ellipsoidal_EqualArea_Azimuth)
    ZRPJ_ROUTINE_PAIR(Oblique_Stereographic)
    ZRPJ_ROUTINE_PAIR(Polar_Stereographic)
    ZRPJ_ROUTINE_PAIR(Krovak)
    ZRPJ_ROUTINE_PAIR(Krovak_North)
    // cassini_soldner.cpp
    ZRPJ_ROUTINE_PAIR(Cassini_Soldner)
    ZRPJ_ROUTINE_PAIR(Transverse_Mercator_South)
    ZRPJ_ROUTINE_PAIR(Cassini_Hyperbolic)
    ZRPJ_ROUTINE_PAIR(Cassini_Soldner_South_West)
    // equal_earth.cpp
    ZRPJ_ROUTINE_PAIR(Equal_Earth)
    // lambert_michigan.cpp
    ZRPJ_ROUTINE_PAIR(Lambert_Michigan)
    // lambert_variants.cpp
    ZRPJ_ROUTINE_PAIR(Lambert_West)
    ZRPJ_ROUTINE_PAIR(Lambert_Belgium)
    ZRPJ_ROUTINE_PAIR(Lambert_Near_Conformal)
    // azimuthal_series.cpp
    ZRPJ_ROUTINE_PAIR(Guam)
    ZRPJ_ROUTINE_PAIR(Modified_Azimuthal_Equidistant)
    // local_plane.cpp
    ZRPJ_ROUTINE_PAIR(Colombia_Urban)
    ZRPJ_ROUTINE_PAIR(Orthographic_Ellipsoid)
    // geodesic_azimuthal.cpp
    ZRPJ_ROUTINE_PAIR(Azimuthal_Equidistant_Ellipsoid)
    // satellite.cpp
    ZRPJ_ROUTINE_PAIR(Geostationary)
    ZRPJ_ROUTINE_PAIR(Geostationary_Sweep_X)
    // interrupted.cpp
    ZRPJ_ROUTINE_PAIR(Interrupted_Goode)
    // oblique_views.cpp
    ZRPJ_ROUTINE_PAIR(Oblique_Transformation)
    ZRPJ_ROUTINE_PAIR(Tilted_Perspective)
    ZRPJ_ROUTINE_PAIR(Spherical_Cube)
    // ellipsoidal_azimuthal.cpp: Krovak with its polynomial correction
    ZRPJ_ROUTINE_PAIR(Krovak_Modified)
    ZRPJ_ROUTINE_PAIR(Krovak_Modified_North)
    // national_grids.cpp
    ZRPJ_ROUTINE_PAIR(Laborde)
    ZRPJ_ROUTINE_PAIR(Transverse_Mercator_Zoned)
    ZRPJ_ROUTINE_PAIR(Tunisia_Mining_Grid)
    ZRPJ_ROUTINE_PAIR(New_Zealand_Map_Grid)
    // geocentric.cpp
    ZRPJ_ROUTINE_PAIR(Geocentric)
#undef ZRPJ_ROUTINE_PAIR

    // ---- State, in groups. operator= copies the definition, the flag, the
    // per-kind constants, the ellipsoid, the series, the oblique Mercator and
    // south-orientated Bonne blocks and Krueger's series, and DeriveUncopied
    // rebuilds the rest; CopyAll copies every group. A new field goes into the group whose
    // copying it shares. ----

    // What the caller sets (angles in radians; false origin in the output unit).
    struct Definition {
        long kind = 43005;
        int parallelMode = 2; // 1: phi1 only; 2: phi1 and phi2; 3: band phi0..phi0b
        double phi1 = 0.0;    // standard parallel 1 (per kind: first point, centre, rotation angle)
        double phi2 = 0.0;    // standard parallel 2 (two-point: second point)
        double lam0 = 0.0;    // central meridian
        double phi0 = 0.0;    // central parallel, latitude of origin
        double phi0b = 0.0;   // second latitude of the band (mode 3)
        double phim = 0.0;    // mean latitude of the band, computed in mode 3
        double lam1 = 0.0;    // first point longitude (two-point equidistant)
        double lam2 = 0.0;    // second point longitude
        double k0 = 0.0;      // scale factor
        double alpha = 0.0;   // azimuth of the central line (oblique Mercator)
        double fe = 500000.0; // false easting, output unit
        double fn = 10000000.0;
        double a = 6378137.0;            // semi-major axis, metres
        double f = 0.003352329869259135; // flattening, 1/298.3 (Krasovsky)
        double unitFactor = 1.0;         // metres -> output unit
        double divisor = 1.0;            // final divisor of the output coordinates
    };
    // Per-kind constants of Create.
    struct KindConstants {
        double c1 = 0.0, c2 = 0.0, c3 = 0.0; // cone constant n or parallel radius, rho0, integration constant
        double scale = 1.0, invScale = 1.0;  // Transverse Mercator: the k0 the frame applies, its reciprocal
        double lamShift = 0.0;               // Belgium's cone: its turn a / n, as a longitude
    };
    struct Ellipsoid {
        double es = 0.006693421622965943; // e^2
        double e = 0.08181333401693115;
        double eps2 = 0.0; // e'^2
        double ep = 0.0;   // e'
        // Reciprocals the per-point inverses would otherwise divide by.
        double invA = 1.0 / 6378137.0;                             // 1 / a
        double invOneMinusEs = 1.0 / (1.0 - 0.006693421622965943); // 1 / (1 - e^2)
    };
    struct Series {
        double D[5] = {}; // rectifying series: D0 (of phi), D2 .. D8 (of sin 2phi .. sin 8phi)
        double R[4] = {}; // inverse rectifying R2 .. R8
        double K[4] = {}; // inverse conformal K2 .. K8
        double Q[4] = {}; // inverse authalic Q2 .. Q8
        double P[4] = {}; // authalic P1 .. P4
        double Rq = 0.0;  // radius of the sphere of equal surface (series form)
        double Rq2 = 0.0;
        double authalicRadius = 0.0; // a sqrt(q_p / 2): radius of the sphere of equal area (closed form)
        double aOverD0 = 0.0;        // a / D0: meridian length in units of a -> rectifying latitude
    };
    struct ObliqueMercatorBlock {
        double A = 0.0, B = 0.0, E = 0.0, gamma0 = 0.0, lam0Natural = 0.0, uc = 0.0;
        double sing0 = 0.0, cosg0 = 1.0, sinr = 0.0, cosr = 1.0; // of gamma0 and of the grid's turn
        double lnE = 0.0, invB = 0.0;
        double chi[4] = {}; // conformal -> geodetic latitude: coefficients of sin 2chi .. sin 8chi
        int sign = 0;
    };
    struct SouthBonneBlock {
        double M0 = 0.0, m0 = 0.0;
        double A[4] = {}; // meridian coefficients A0 .. A6
        double F[4] = {}; // footpoint coefficients F2 .. F8
    };
    // Krueger's series of the exact transverse Mercator to sixth order in the
    // third flattening n, for the two transverse Mercator kinds.
    struct KrugerSeries {
        double A = 0.0;       // rectifying radius, metres; 0: not set up (the uncreated inverse)
        double alpha[6] = {}; // conformal sphere -> map: alpha1 .. alpha6
        double beta[6] = {};  // map -> conformal sphere: beta1 .. beta6
        double y0 = 0.0;      // northing of the origin parallel, unit-scale metres
    };
    // The azimuthal kinds on the ellipsoid: Lambert equal area (qp, Rq, D and
    // the origin's authalic latitude), the oblique stereographic (Gauss's
    // sphere: n, ln(c)/2, the origin's conformal latitude, 2 R k0) and the
    // polar stereographic (rho per t, the variant C shift). pole: +1 or -1 at
    // a pole, 0 otherwise.
    struct EllipsoidalAzimuthalBlock {
        double qp = 2.0, Rq = 0.0, D = 1.0, sinb0 = 0.0, cosb0 = 1.0;
        double n = 1.0, halfLnC = 0.0, sinChi0 = 0.0, cosChi0 = 1.0, twoRk = 0.0;
        double rhoFactor = 0.0, yShift = 0.0;
        double coneN = 1.0; // Krovak: the cone constant, sin phi_P
        int pole = 0;
        // Authalic latitude -> geodetic, for Lambert's equal-area azimuthal and
        // Equal Earth: coefficients of sin 2beta .. sin 12beta (to n^6), and
        // whether a Newton round on q must finish them (an ellipsoid flatter
        // than the series serve to rounding).
        double xi[6] = {};
        bool xiNewton = false;
        double invQp = 0.5; // Equal Earth: 1 / q(pole), in its own normalisation of q
    };
    // The kinds of a plane near one point (local_plane.cpp); the meanings per kind:
    // Colombia urban: A = 1 + h0/nu0, B = tan phi0 / (2 rho0 nu0), C = 1 + h0/a,
    // D = rho0 (1 + h0 / (a (1 - e^2))) (and h0, rho0 in the kind constants' c1, c2);
    // orthographic: A, B = sin, cos phi0, C = nu0, D = e^2 nu0 sin phi0 cos phi0, Grho0 = 1 / (1 - e^2);
    // modified azimuthal equidistant: A, B = sin, cos phi0, C = nu0, D = e^2 nu0 sin phi0,
    // Grho0 = e' sin phi0.
    struct LocalPlaneBlock {
        double phi0 = 0.0, A = 0.0, B = 0.0, Grho0 = 0.0, C = 0.0, D = 0.0;
    };
    // The geostationary view, in units of a: the satellite's distance g from
    // the centre, its height g1 = g - 1, c = g^2 - 1, and the polar radius p,
    // its square p2 and 1 / p2.
    struct SatelliteBlock {
        double g = 0.0, g1 = 0.0, c = 0.0, p = 0.0, p2 = 0.0, pinv2 = 0.0;
    };
    // The kinds of oblique_views.cpp: sin and cos of the turned pole's latitude
    // (general oblique transformation) or of the origin's (tilted perspective)
    // in A, the turned pole's longitude lamp; the eye's distance p and height
    // h in units of a, the azimuth's (G) and the tilt's (W) sines and cosines;
    // pole: +1 or -1 for the top or bottom face of the cube, or a perspective
    // centred on a pole; omf2: (1 - f)^2; invH: 1 / h.
    struct ViewBlock {
        double sinA = 0.0, cosA = 1.0, lamp = 0.0, p = 0.0, h = 0.0, invH = 0.0;
        double sinG = 0.0, cosG = 1.0, sinW = 0.0, cosW = 1.0, omf2 = 1.0;
        int pole = 0;
    };
    // The azimuthal equidistant on the ellipsoid (geodesic_azimuthal.cpp): the
    // centre's reduced latitude beta1, the semi-minor axis b, 1 - f, e'^2,
    // Karney's A3 and C3 series as polynomials in the geodesic's eps (their
    // n-dependence summed at set-up); fast: the flattening is one the series
    // serve to rounding (else the geodesic library solves every point).
    struct GeodesicCentreBlock {
        double sbet1 = 0.0, cbet1 = 1.0, b = 0.0, f1 = 1.0, ep2 = 0.0;
        double A3[6] = {};
        double C3[5][6] = {};
        bool fast = false;
    };
    // The national grids (national_grids.cpp). Laborde: Gauss's sphere (B, the
    // isometric latitude constant C), its radius R with k0, sin and cos of the
    // centre's latitude on it, and the cubic's coefficient G; the zoned
    // transverse Mercator: the zone width and the number of zones.
    struct NationalGridBlock {
        double B = 1.0, C = 0.0, R = 0.0, sinS = 0.0, cosS = 1.0, gRe = 0.0, gIm = 0.0;
        double invB = 1.0, invR = 0.0; // Laborde's 1 / B and 1 / R, so its inverse divides by neither
        double zoneWidth = 0.0, zones = 0.0;
    };
    // Not copied by operator= (derived again by DeriveUncopied):
    struct MeridianLengthSeries {
        double en[5] = {1.0, 1.0, 1.0, 1.0, 1.0};
        double ml0 = 0.0; // MeridianLength(phi0)
    };
    struct ClassicalArc {
        double A[4] = {};    // meridian coefficients A0, A2, A4, A6
        double polyM0 = 0.0; // polyconic origin arc
    };
    struct TwoPointBlock {
        double dl = 0.0, cp1 = 0.0, cp2 = 0.0, sp1 = 0.0, sp2 = 0.0, cs = 0.0, sc = 0.0, ccs = 0.0, z02 = 0.0,
               hz0 = 0.0, ca = 0.0, sa = 0.0, lp = 0.0, lamc = 0.0, thz0 = 0.0, rhshz0 = 0.0, r2z0 = 0.0;
        // The frame the routines work in: unit vectors to the midpoint of the
        // two points, along the line towards the second, and the line's pole;
        // h is half the points' angular distance, ch and sh its cosine and sine.
        double m[3] = {}, t[3] = {}, n[3] = {}, h = 0.0, ch = 1.0, sh = 0.0;
    };

    Definition m_def;
    int m_created = 0;
    KindConstants m_kc;
    Ellipsoid m_ell;
    Series m_ser;
    ObliqueMercatorBlock m_om;
    SouthBonneBlock m_bs;
    KrugerSeries m_kr;
    EllipsoidalAzimuthalBlock m_az;
    LocalPlaneBlock m_pl;
    SatelliteBlock m_sat;
    ViewBlock m_view;
    NationalGridBlock m_grid;
    GeodesicCentreBlock m_gc;
    CZrGeodesic m_geodesic; // the ellipsoid's geodesics, for the kinds that follow them
    MeridianLengthSeries m_ml;
    ClassicalArc m_arc;
    TwoPointBlock m_tp;
};
