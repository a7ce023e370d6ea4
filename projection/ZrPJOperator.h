#pragma once

#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"

#include <cmath>

// One projection: its definition (kind, angles in radians, scale, false origin,
// ellipsoid, unit factor, divisor), every constant derived from it by Create,
// and the per-point Forward/Inverse. After Create the operator is only read,
// so one created operator may serve several threads that own their points.
class ZRPRJ_API CZrPJOperator {
public:
    CZrPJOperator();
    CZrPJOperator(const CZrPJOperator& other) = default; // a full copy, usable without Create
    virtual ~CZrPJOperator() = default;

    // Copies the definition and the constants that survive a copy; the rest
    // (meridian-length series, polyconic and two-point blocks, ...) is left as
    // it was, so the target must be re-created before use.
    void operator=(const CZrPJOperator& other);
    // A complete copy, every field included (what GetPJOperator hands out).
    void CopyAll(const CZrPJOperator& other);

    int Create();
    int Forward(CPoint2D& pt) const;
    int Inverse(CPoint2D& pt) const;

    // Definition. Angles in radians; false origin in the output unit.
    void SetKind(long kind) { m_kind = kind; }
    void SetParallelMode(int mode) { m_parallelMode = mode; }
    void SetStandardParallel1(double phi1) { m_phi1 = phi1; }
    void SetStandardParallel2(double phi2) { m_phi2 = phi2; }
    void SetCentralMeridian(double lam0) { m_lam0 = lam0; }
    void SetCentralParallel(double phi0) { m_phi0 = phi0; }
    void SetBandLatitude(double phi0b) { m_phi0b = phi0b; }
    void SetFirstPointLongitude(double lam1) { m_lam1 = lam1; }
    void SetSecondPointLongitude(double lam2) { m_lam2 = lam2; }
    void SetScaleFactor(double k0) { m_k0 = k0; }
    void SetAzimuth(double alpha) { m_alpha = alpha; }
    void SetFalseEasting(double fe) { m_fe = fe; }
    void SetFalseNorthing(double fn) { m_fn = fn; }
    void SetSemiMajorAxis(double a) { m_a = a; }
    void SetFlattening(double f) { m_f = f; }
    void SetUnitFactor(double factor) { m_unitFactor = factor; }
    void SetDivisor(double divisor) { m_divisor = divisor; }
    void SetCreated(int created) { m_created = created; }

    long GetKind() const { return m_kind; }
    int GetParallelMode() const { return m_parallelMode; }
    double GetStandardParallel1() const { return m_phi1; }
    double GetStandardParallel2() const { return m_phi2; }
    double GetCentralMeridian() const { return m_lam0; }
    double GetCentralParallel() const { return m_phi0; }
    double GetBandLatitude() const { return m_phi0b; }
    double GetMeanLatitude() const { return m_phim; }
    double GetFirstPointLongitude() const { return m_lam1; }
    double GetSecondPointLongitude() const { return m_lam2; }
    double GetScaleFactor() const { return m_k0; }
    double GetAzimuth() const { return m_alpha; }
    double GetFalseEasting() const { return m_fe; }
    double GetFalseNorthing() const { return m_fn; }
    double GetSemiMajorAxis() const { return m_a; }
    double GetFlattening() const { return m_f; }
    double GetUnitFactor() const { return m_unitFactor; }
    double GetDivisor() const { return m_divisor; }
    double GetES() const { return m_es; }
    double GetEccentricity() const { return m_e; }
    int IsCreated() const { return m_created; }
    double GetC1() const { return m_c1; }
    double GetC2() const { return m_c2; }
    double GetC3() const { return m_c3; }

    // Series of the meridian arc and the auxiliary latitudes, public for the
    // callers that need them outside a projection (tests, the datum shift).
    double N(double phi) const;
    double M(double phi) const;
    double AntiM(double rho) const;
    double U(double phi) const;
    double Conformal(double phi) const;
    double IsometricLatitude(double phi) const; // Conformal(phi) by a cheaper route
    double AntiConformal(double chi) const;
    double Area(double phi) const;
    double AntiArea(double beta) const;
    double Distance(double phi) const;
    double AntiDistance(double psi) const;
    double MeridianLength(double phi, double s, double c) const;
    double MeridianLengthInverse(double m) const;
    // The same, also giving sin and cos of the latitude found.
    double MeridianLengthInverse(double m, double& sinPhi, double& cosPhi) const;
    double GetRectifyingD0() const { return m_D[0]; }
    double GetRq2() const { return m_Rq2; }
    double GetAuthalicRadius() const { return m_authalicRadius; }
    double GetMl0() const { return m_ml0; }

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
    void ComputeEquidistCoefficient();
    // The scale factor a kind applies: k0, or 1 when k0 is 0 (not given).
    // Returns 0 for a negative or non-numeric k0, which has no map.
    int ScaleFromDefinition(double& k0) const;
    double ParallelRadius(double phi) const { return N(phi) * std::cos(phi); }

    // China projection: residual of the azimuth equation and its derivative.
    double ChinaA(double A, double z, double Aprime) const;
    double ChinaA1(double A, double z) const;

    // Per-kind set-up (Create's second step).
    int Setup_Cylindrical();
    int Setup_Transverse_Mercator();
    int Setup_EqualArea_Conic();
    int Setup_Conformal_Conic();
    int Setup_Equidistant_Conic();
    int Setup_Normal_Polyconic();
    int Setup_Bonne();
    int Setup_Bonne_South_Orientated();
    int Setup_Two_Point_Equidistant();
    int Setup_Oblique_Mercator();

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
#undef ZRPJ_ROUTINE_PAIR

    // ---- Definition (in the stored order) ----
    long m_kind;
    int m_parallelMode;      // 1: phi1 only; 2: phi1 and phi2; 3: band phi0..phi0b
    double m_phi1;           // standard parallel 1 (per kind: first point, centre, rotation angle)
    double m_phi2;           // standard parallel 2 (two-point: second point)
    double m_lam0;           // central meridian
    double m_phi0;           // central parallel, latitude of origin
    double m_phi0b;          // second latitude of the band (mode 3)
    double m_phim;           // mean latitude of the band, computed in mode 3
    double m_lam1;           // first point longitude (two-point equidistant)
    double m_lam2;           // second point longitude
    double m_k0;             // scale factor
    double m_alpha;          // azimuth of the central line (oblique Mercator)
    double m_fe;             // false easting, output unit
    double m_fn;             // false northing, output unit
    double m_c1, m_c2, m_c3; // per kind: cone constant n or parallel radius, rho0, integration constant
    int m_created;
    double m_a;          // semi-major axis, metres
    double m_f;          // flattening
    double m_unitFactor; // metres -> output unit
    double m_divisor;    // final divisor of the output coordinates

    // ---- Ellipsoid constants ----
    double m_es;   // e^2
    double m_e;    // e
    double m_eps2; // e'^2
    double m_ep;   // e'

    // ---- Series (Create) ----
    double m_D[5];  // rectifying series: D0 (of phi), D2 .. D8 (of sin 2phi .. sin 8phi)
    double m_R[4];  // inverse rectifying R2 .. R8
    double m_K[4];  // inverse conformal K2 .. K8
    double m_Q[4];  // inverse authalic Q2 .. Q8
    double m_P[4];  // authalic P1 .. P4
    double m_en[5]; // meridian-length series en0 .. en4
    double m_ml0;   // MeridianLength(phi0)
    double m_Rq;    // radius of the sphere of equal surface (series form)
    double m_Rq2;
    double m_authalicRadius; // a sqrt(q_p / 2): radius of the sphere of equal area (closed form)
    // Reciprocals the per-point inverses would otherwise divide by.
    double m_invA;          // 1 / a
    double m_invOneMinusEs; // 1 / (1 - e^2)
    double m_aOverD0;       // a / D0: meridian length in units of a -> rectifying latitude
    double m_scale;         // Transverse Mercator: the k0 the frame applies, and its reciprocal
    double m_invScale;

    // ---- Oblique Mercator block ----
    double m_omA, m_omB, m_omE, m_omGamma0, m_omLam0Natural, m_omUc;
    int m_omSign;

    // ---- South-orientated Bonne block ----
    double m_bsM0, m_bsm0;
    double m_bsA[4]; // meridian coefficients A0 .. A6
    double m_bsF[4]; // footpoint coefficients F2 .. F8

    // ---- Not copied by operator= (with m_en and m_ml0) ----
    double m_polyM0;  // polyconic origin arc
    double m_merA[4]; // meridian coefficients A0, A2, A4, A6
    // two-point equidistant block
    double m_tpDl, m_tpCp1, m_tpCp2, m_tpSp1, m_tpSp2, m_tpCs, m_tpSc, m_tpCcs, m_tpZ02, m_tpHz0, m_tpCa,
        m_tpSa, m_tpLp, m_tpLamc, m_tpThz0, m_tpRhshz0, m_tpR2z0;
};
