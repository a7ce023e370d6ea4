// The vector paths of the transverse Mercator zoned grid and of Equal Earth,
// several points at once as national_grids.cpp and equal_earth.cpp take them
// one by one: the zoned grid is the transverse kernel about each lane's own
// zone meridian, its easting carrying the zone's millions; Equal Earth's
// inverse solves its polynomial by Halley's rounds lane by lane, and its
// forward is the authalic latitude's sine and one arcsine.
//
// Included by batch.cpp inside its per-target namespace, after the
// transverse kernels, its sine, cosine and the frame's helpers; nothing here
// is used elsewhere.

// ---- The transverse Mercator zoned grid ----

// The frame's longitude from the initial one, taken to [0, 2 pi), its zone
// (the last zone takes the rounding at the full turn) and the longitude from
// the zone's middle meridian; then the transverse kernel and the zone's
// millions, in grid metres, which the frame's scale and unit must leave
// whole (hence divided by both here, as the scalar routine does).
HWY_INLINE void TransverseZonedForward(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const V east = hn::IfThenElse(hn::Lt(x, hn::Zero(d)), x + C(kTwoPi), x);
    const V zone = hn::Min(hn::Floor(east / C(k.zoneWidth)), C(k.zones - 1.0));
    x = east - (zone + C(0.5)) * C(k.zoneWidth);
    TransverseForward(k, x, y, ok);
    x = x + (zone + C(1.0)) * C(1e6) * C(k.invScale) / C(k.unitFactor);
}

// The zone read back from the easting's millions; an easting outside every
// zone is the scalar path's refusal.
HWY_INLINE void TransverseZonedInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const double toGrid = k.scale * k.unitFactor;
    const V zone = hn::Floor(x * C(toGrid) * C(1e-6) + C(0.5));
    ok = hn::And(ok, hn::And(hn::Ge(zone, C(1.0)), hn::Le(zone, C(k.zones))));
    x = x - zone * C(1e6) / C(toGrid);
    TransverseInverse(k, x, y, ok);
    x = x + (zone - C(0.5)) * C(k.zoneWidth);
}

// ---- Equal Earth ----
constexpr double kEqualEarthA1 = 1.340264, kEqualEarthA2 = -0.081106, kEqualEarthA3 = 0.000893,
                 kEqualEarthA4 = 0.003796;
constexpr double kEqualEarthM = 0.8660254037844386;    // sqrt(3) / 2
constexpr double kEqualEarthInvM = 1.1547005383792517; // 2 / sqrt(3)
// The scalar routine's limits: its Halley rounds end on a step below this
// (radians), at most this many; the map's edge and the sine's reach are
// allowed this much rounding; a sine of the authalic latitude within four
// last places of 1 is the pole, which the scalar path snaps.
constexpr double kEqualEarthStep = 1e-5;
constexpr int kEqualEarthRounds = 4;
constexpr double kEqualEarthEdge = 1e-12;
constexpr double kEqualEarthPoleSine = 4.0 * 2.220446049250313e-16;

// The parametric latitude's polynomial and its slope, at t2 = theta^2.
HWY_INLINE V EqualEarthSlope(V t2, V t6) {
    return C(kEqualEarthA1) + C(3.0 * kEqualEarthA2) * t2 +
           t6 * (C(7.0 * kEqualEarthA3) + C(9.0 * kEqualEarthA4) * t2);
}

// sin(beta) from sin(phi), the scalar SinAuthalic's series form (the
// operator sends only ellipsoids within its reach).
HWY_INLINE V SinAuthalicSeries(const BatchConstants& k, V s) {
    const V x2 = C(k.es) * s * s;
    const V series =
        C(1.0) + x2 * (C(1.0 / 3) +
                       x2 * (C(1.0 / 5) +
                             x2 * (C(1.0 / 7) +
                                   x2 * (C(1.0 / 9) + x2 * (C(1.0 / 11) +
                                                            x2 * (C(1.0 / 13) +
                                                                  x2 * (C(1.0 / 15) + x2 * C(1.0 / 17))))))));
    return s * (C(1.0) / (C(1.0) - x2) + series) * C(k.eeInvQp);
}

HWY_INLINE void EqualEarthForward(const BatchConstants& k, V& x, V& y, M& /*ok*/) {
    V s, c;
    SinCos(y, s, c);
    const V sinBeta = hn::Min(hn::Max(SinAuthalicSeries(k, s), C(-1.0)), C(1.0));
    const V sinTheta = C(kEqualEarthM) * sinBeta;
    const V theta = Asin(sinTheta);
    const V cosTheta = hn::Sqrt((C(1.0) - sinTheta) * (C(1.0) + sinTheta));
    const V t2 = theta * theta, t6 = t2 * t2 * t2;
    const V R = C(k.eeR);
    x = R * x * cosTheta / (C(kEqualEarthM) * EqualEarthSlope(t2, t6));
    y = R * theta *
        (C(kEqualEarthA1) + C(kEqualEarthA2) * t2 + t6 * (C(kEqualEarthA3) + C(kEqualEarthA4) * t2));
}

// The scalar routine's start: a fit of the polynomial's inverse.
HWY_INLINE V EqualEarthThetaStart(V y) {
    const V u = y * C(1.0 / kEqualEarthA1), u2 = u * u;
    return u * (C(1.0000002374169883) +
                u2 * (C(0.06049328618542444) +
                      u2 * (C(0.011304189870897343) +
                            u2 * (C(0.0002993900946027389) +
                                  u2 * (C(0.001509058358693513) + u2 * C(-0.0061520565803530845))))));
}

// The geodetic latitude of the authalic one by the scalar
// LatitudeFromAuthalic's Clenshaw sum (the operator sends only ellipsoids
// that need no Newton polish).
HWY_INLINE V LatitudeFromAuthalicSeries(const BatchConstants& k, V sinBeta, V cosBeta) {
    const D d;
    const V s2 = C(2.0) * sinBeta * cosBeta, c = C(2.0) * (cosBeta - sinBeta) * (cosBeta + sinBeta);
    V b1 = hn::Zero(d), b2 = hn::Zero(d);
    for (int j = 5; j >= 0; --j) {
        const V b = C(k.eeXi[j]) + c * b1 - b2;
        b2 = b1;
        b1 = b;
    }
    const V phi = Atan2(sinBeta, cosBeta) + s2 * b1;
    return hn::Min(hn::Max(phi, C(-kHalfPi)), C(kHalfPi));
}

// Each lane takes Halley's rounds until its own step falls below the
// scalar routine's bound, the step that did so included, so that every lane
// ends on the scalar routine's theta; a lane still moving after the rounds,
// a sine past the map, the pole's snap and a longitude past the edge are the
// scalar path's.
HWY_INLINE void EqualEarthInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const V yy = y * C(k.eeInvR);
    V theta = EqualEarthThetaStart(yy);
    M moving = hn::Eq(C(0.0), C(0.0)); // every lane
    for (int i = 0; i < kEqualEarthRounds && !hn::AllFalse(d, moving); ++i) {
        const V t2 = theta * theta, t6 = t2 * t2 * t2;
        const V f = theta * (C(kEqualEarthA1) + C(kEqualEarthA2) * t2 +
                             t6 * (C(kEqualEarthA3) + C(kEqualEarthA4) * t2)) -
                    yy;
        const V slope = EqualEarthSlope(t2, t6);
        const V bend = theta * (C(6.0 * kEqualEarthA2) +
                                t2 * t2 * (C(42.0 * kEqualEarthA3) + C(72.0 * kEqualEarthA4) * t2));
        const V step = C(2.0) * f * slope / (C(2.0) * slope * slope - f * bend);
        theta = hn::IfThenElse(moving, theta - step, theta);
        moving = hn::And(moving, hn::Ge(hn::Abs(step), C(kEqualEarthStep)));
    }
    ok = hn::AndNot(moving, ok);
    const V t2 = theta * theta, t6 = t2 * t2 * t2;
    const V slope = EqualEarthSlope(t2, t6);
    // Near the poles the latitude is ill-conditioned in sin(theta): a last
    // place of the sine is 1.3e-16 / cos(beta) radians (50 nm at 88
    // degrees), so the lane must round the sine as the C library does. Its
    // pair is good to 1e-19; where the rest lies within 1/128 of a last
    // place of the tie between two doubles, the rounding is not certain and
    // the lane is the scalar path's (under one lane in a hundred).
    V sinHi, sinLo, cosHi, cosLo;
    SinCosParts(theta, sinHi, sinLo, cosHi, cosLo);
    const V sinTheta = sinHi + sinLo, cosTheta = cosHi + cosLo;
    const hn::RebindToUnsigned<D> du;
    const V binade = hn::And(hn::Abs(sinTheta), hn::BitCast(d, hn::Set(du, 0x7FF0000000000000ull)));
    const V rest = hn::Abs((sinHi - sinTheta) + sinLo);
    ok = hn::And(ok, hn::Le(rest, binade * C((0.5 - 1.0 / 128.0) * 2.220446049250313e-16)));
    const V sinBeta = sinTheta * C(kEqualEarthInvM);
    ok = hn::And(ok, hn::Le(hn::Abs(sinBeta), C(1.0 - kEqualEarthPoleSine)));
    const V lam = C(kEqualEarthM) * (x * C(k.eeInvR)) * slope / cosTheta;
    ok = hn::And(ok, hn::Le(hn::Abs(lam), C(kPi * (1.0 + kEqualEarthEdge))));
    x = lam;
    y = LatitudeFromAuthalicSeries(k, sinBeta, hn::Sqrt((C(1.0) - sinBeta) * (C(1.0) + sinBeta)));
}

// ---- The stereographics on the ellipsoid, forward ----
// Towards the origin's antipode the stereographic divides by 1 + cos z
// (the oblique) or 1 + sin phi (the polar, phi counted towards its pole),
// and a last place of either becomes 1 / (1 + ...) last places of the map
// coordinate; beyond this the kernels leave the point to the scalar path
// (120 degrees from the origin, 22 000 km out; 30 degrees beyond the
// equator for the polar kinds), so that they stay within a few last places.
constexpr double kStereoReach = 0.5;

// The oblique stereographic: the isometric latitude, the conformal sphere's
// latitude as tanh and sech of n psi + ln(c) / 2 over one exponential, and
// the sphere's stereographic from the origin's image. A pole (no isometric
// latitude) and the antipode are the scalar path's.
HWY_INLINE void ObliqueStereoForward(const BatchConstants& k, V& x, V& y, M& ok) {
    ok = hn::And(ok, hn::Lt(hn::Abs(y), C(kHalfPi)));
    const V Lam = C(k.osN) * x;
    const V q = C(k.osHalfLnC) + C(k.osN) * IsometricLatitude(k, y);
    const V E = Exp(hn::Neg(hn::Abs(q))), E2 = E * E;
    const V sc = hn::CopySign((C(1.0) - E2) / (C(1.0) + E2), q), cc = C(2.0) * E / (C(1.0) + E2);
    V sl, cl;
    SinCos(Lam, sl, cl);
    const V B = C(1.0) + sc * C(k.osSinChi0) + cc * C(k.osCosChi0) * cl;
    ok = hn::And(ok, hn::Gt(B, C(kStereoReach)));
    const V scale = C(k.osTwoRk) / B;
    x = scale * cc * sl;
    y = scale * (sc * C(k.osCosChi0) - cc * C(k.osSinChi0) * cl);
}

// The polar stereographic: rho = rhoFactor t, t = cos / (1 + sin) of the
// latitude towards the pole times exp(e atanh(e sin)); the far pole has no
// image (the scalar path refuses it).
HWY_INLINE void PolarStereoForward(const BatchConstants& k, V& x, V& y, M& ok) {
    const V phi = C(k.psPole) * y;
    ok = hn::And(ok, hn::Gt(phi, C(-kHalfPi)));
    V s, c;
    SinCos(phi, s, c);
    ok = hn::And(ok, hn::Gt(C(1.0) + s, C(kStereoReach)));
    const V rho = C(k.psRhoFactor) * (c / (C(1.0) + s) * Exp(C(k.e) * SmallAtanh(C(k.e) * s)));
    V sl, cl;
    SinCos(x, sl, cl);
    x = rho * sl;
    y = C(-k.psPole) * rho * cl + C(k.psYShift);
}

// ---- Goode's interrupted homolosine, inverse ----
constexpr double kGoodeJoin = (40.0 + 44.0 / 60.0 + 11.8 / 3600.0) * kDegToRad;
constexpr double kGoodeEdge = 1e-10;                  // radians outside a lobe that still belong to it
constexpr double kMollweideInvX = 1.1107207345395915; // pi / (2 sqrt(2))
constexpr double kMollweideInvY = 0.7071067811865475; // 1 / sqrt(2)
constexpr double kSansonPole = 1e-11;                 // a cosine this small is near a pole: the scalar path's

// The lane's lobe as the scalar LobeOf finds it from (x, y) in units of a:
// its central meridian, whether it is Mollweide's, the shift's sign, and the
// longitudes it covers (the northern lobes' reach over the interruptions
// near the pole is left to the scalar path).
HWY_INLINE void GoodeLobe(V lam, V phi, V& centre, M& ellipse, V& ySign, V& lo, V& hi) {
    const D d;
    const V deg = C(kDegToRad);
    const M north = hn::Ge(phi, hn::Zero(d));
    ellipse = hn::Or(hn::Ge(phi, C(kGoodeJoin)), hn::Lt(phi, C(-kGoodeJoin)));
    ySign = hn::IfThenElseZero(ellipse, hn::IfThenElse(north, C(1.0), C(-1.0)));
    // The north: two lobes split at 40 W.
    const M west = hn::Le(lam, C(-40.0) * deg);
    const V nCentre = hn::IfThenElse(west, C(-100.0) * deg, C(30.0) * deg);
    const V nLo = hn::IfThenElse(west, C(-180.0) * deg, C(-40.0) * deg);
    const V nHi = hn::IfThenElse(west, C(-40.0) * deg, C(180.0) * deg);
    // The south: four, split at 100 W, 20 W and 80 E.
    const M s1 = hn::Le(lam, C(-100.0) * deg), s2 = hn::Le(lam, C(-20.0) * deg),
            s3 = hn::Le(lam, C(80.0) * deg);
    const V sCentre =
        hn::IfThenElse(s1, C(-160.0) * deg,
                       hn::IfThenElse(s2, C(-60.0) * deg, hn::IfThenElse(s3, C(20.0) * deg, C(140.0) * deg)));
    const V sLo = hn::IfThenElse(
        s1, C(-180.0) * deg,
        hn::IfThenElse(s2, C(-100.0) * deg, hn::IfThenElse(s3, C(-20.0) * deg, C(80.0) * deg)));
    const V sHi =
        hn::IfThenElse(s1, C(-100.0) * deg,
                       hn::IfThenElse(s2, C(-20.0) * deg, hn::IfThenElse(s3, C(80.0) * deg, C(180.0) * deg)));
    centre = hn::IfThenElse(north, nCentre, sCentre);
    lo = hn::IfThenElse(north, nLo, sLo);
    hi = hn::IfThenElse(north, nHi, sHi);
}

// The lobe's own inverse: the sinusoid's latitude is y itself, Mollweide's
// from its auxiliary angle by two arcsines. A map point past the poles, a
// pole itself, a sine past 1 and a longitude off its lobe are the scalar
// path's (it refuses or snaps them).
HWY_INLINE void GoodeInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const double a = k.a;
    const double top = k.c1 + std::sqrt(2.0) * a;
    ok = hn::And(ok, hn::And(hn::Le(y, C(top + kGoodeEdge * a)), hn::Ge(y, C(-top + kGoodeEdge * a))));
    V centre, ySign, lo, hi;
    M ellipse;
    GoodeLobe(x / C(a), y / C(a), centre, ellipse, ySign, lo, hi);
    const V px = x - C(a) * centre, py = y - ySign * C(k.c1);
    // The sinusoid.
    const V phiS = py / C(a);
    // Mollweide's auxiliary angle and latitude, where a lane needs them.
    V theta = phiS, phiM = phiS;
    if (!hn::AllFalse(d, ellipse)) {
        const V v = py / C(a) * C(kMollweideInvY);
        ok = hn::And(ok, hn::Or(hn::Not(ellipse), hn::Le(hn::Abs(v), C(1.0))));
        theta = hn::IfThenElse(ellipse, Asin(hn::Min(hn::Max(v, C(-1.0)), C(1.0))), phiS);
        V s2, c2;
        SinCos(C(2.0) * theta, s2, c2);
        const V w = (C(2.0) * theta + s2) / C(kPi);
        ok = hn::And(ok, hn::Or(hn::Not(ellipse), hn::Le(hn::Abs(w), C(1.0))));
        phiM = Asin(hn::Min(hn::Max(w, C(-1.0)), C(1.0)));
    }
    // One cosine serves both: the sinusoid's of the latitude, Mollweide's of
    // its auxiliary angle.
    V sAng, cAng;
    SinCos(theta, sAng, cAng);
    ok = hn::And(ok, hn::Or(ellipse, hn::Le(hn::Abs(phiS), C(kHalfPi))));
    ok = hn::And(ok, hn::Gt(hn::Abs(cAng), C(kSansonPole)));
    const V lamS = px / (C(a) * cAng);
    const V lamM = px * C(kMollweideInvX) / (C(a) * cAng);
    const V lam = hn::IfThenElse(ellipse, lamM, lamS) + centre;
    ok = hn::And(ok, hn::And(hn::Ge(lam, lo - C(kGoodeEdge)), hn::Le(lam, hi + C(kGoodeEdge))));
    x = lam;
    y = hn::IfThenElse(ellipse, phiM, phiS);
}

// ---- Cassini-Soldner on the ellipsoid, forward ----
// The meridian arc and the method's series in A = dlambda cos phi, as the
// scalar CassiniAt forms them; within this cosine of a pole the scalar
// routine puts the point on the meridian, and the lane is its.
constexpr double kCassiniPoleCosine = 1e-10;

// The forward, leaving sin(phi) in s.
HWY_INLINE void CassiniForwardAt(const BatchConstants& k, V& x, V& y, M& ok, V& s) {
    const V phi = y;
    V c;
    SinCos(phi, s, c);
    ok = hn::And(ok, hn::Ge(hn::Abs(c), C(kCassiniPoleCosine)));
    const V arc = MeridianLength(k, phi, s, c);
    const V nu = C(1.0) / hn::Sqrt(C(1.0) - C(k.es) * s * s);
    const V t = s / c, T = t * t;
    const V Cc = C(k.eps2) * c * c;
    const V A = x * c, A2 = A * A;
    x = C(k.a) * nu * A *
        (C(1.0) - A2 * T * (C(1.0 / 6.0) + (C(8.0) - T + C(8.0) * Cc) * A2 * C(1.0 / 120.0)));
    y = C(k.a) * (arc - C(k.ml0) + nu * t * A2 * (C(0.5) + (C(5.0) - T + C(6.0) * Cc) * A2 * C(1.0 / 24.0)));
}

HWY_INLINE void CassiniForward(const BatchConstants& k, V& x, V& y, M& ok) {
    V s;
    CassiniForwardAt(k, x, y, ok, s);
}

// The hyperbolic form's northing X = X' - X'^3 / (6 rho nu), rho nu =
// a^2 (1 - e^2) / w^2 at the point's latitude, as the single-point routine
// bends it. Its slope 1 - X'^2 / (2 rho nu) falls below 1/2 some 6400 km
// from the origin (where a grid of the method ends long before), and past
// it a last place of X' becomes several of X: those lanes are the scalar
// path's.
HWY_INLINE void CassiniHyperbolicForward(const BatchConstants& k, V& x, V& y, M& ok) {
    V s;
    CassiniForwardAt(k, x, y, ok, s);
    const V w = C(1.0) - C(k.es) * s * s;
    const V rhoNu = C(k.a * k.a * (1.0 - k.es)) / (w * w);
    ok = hn::And(ok, hn::Lt(y * y, rhoNu));
    y = y - y * y * y / (C(6.0) * rhoNu);
}

// ---- Cassini-Soldner on the ellipsoid, inverse ----
// The scalar routine's limits: the rectifying series' reach and the turn
// taken by rotation; Newton's rounds on the forward end at a nanometre's
// miss, or after the step from a miss below a centimetre, within six rounds.
constexpr double kCassiniRectifyingReach = kHalfPi - 0.01;
constexpr double kCassiniTurnBelow = 0.01;
constexpr double kCassiniSolvedMetres = 1e-9;
constexpr double kCassiniLastCorrection = 0.01;
constexpr int kCassiniRounds = 6;

// The forward in units of a and its four partial derivatives, as the scalar
// CassiniWithSlopes forms them term by term.
HWY_INLINE void CassiniSlopes(const BatchConstants& k, V dlam, V s, V c, V arc, V& fx, V& fy, V& xLam,
                              V& xPhi, V& yLam, V& yPhi) {
    const V invW = C(1.0) / (C(1.0) - C(k.es) * s * s), nu = hn::Sqrt(invW);
    const V t = s / c, T = t * t, Cc = C(k.eps2) * c * c;
    const V A = dlam * c, A2 = A * A;
    const V nuTurn = C(k.es) * s * c * invW;
    const V k8 = C(8.0) - T + C(8.0) * Cc;
    const V P = C(1.0) - A2 * T * (C(1.0 / 6.0) + k8 * A2 * C(1.0 / 120.0));
    const V PA2 = hn::Neg(T) * (C(1.0 / 6.0) + k8 * A2 * C(1.0 / 60.0));
    const V PT = hn::Neg(A2) * (C(1.0 / 6.0) + (C(8.0) - C(2.0) * T + C(8.0) * Cc) * A2 * C(1.0 / 120.0));
    const V PC = hn::Neg(A2) * A2 * T * C(1.0 / 15.0);
    const V k5 = C(5.0) - T + C(6.0) * Cc;
    const V Q = C(0.5) + k5 * A2 * C(1.0 / 24.0);
    const V QA2 = k5 * C(1.0 / 24.0), QT = hn::Neg(A2) * C(1.0 / 24.0), QC = A2 * C(0.25);
    const V bend = nu * t * A2 * Q;
    const V sc2 = C(2.0 * k.eps2) * s * c;
    fx = nu * A * P;
    fy = arc + bend;
    xLam = nu * c * (P + C(2.0) * A2 * PA2);
    xPhi = nu * A * ((nuTurn - t) * P + C(2.0) * t * (hn::Neg(A2) * PA2 + (C(1.0) + T) * PT) - sc2 * PC);
    yLam = C(2.0) * nu * t * A * c * (Q + A2 * QA2);
    yPhi = C(1.0 - k.es) * nu * invW + bend * nuTurn +
           nu * A2 *
               ((C(1.0) + T) * Q + t * (C(2.0) * t * (hn::Neg(Q + A2 * QA2) + (C(1.0) + T) * QT) - sc2 * QC));
}

// The footpoint from the rectifying series (a lane beyond their reach, or
// whose correction is too large to turn by, is the scalar path's), the
// inverse series from it, then Newton's rounds on the forward lane by lane,
// each lane stopping where the scalar routine stops; a lane at a pole or
// still moving after the rounds is the scalar path's.
// Bent: the hyperbolic form's, whose footpoint is first moved from the
// northing's to the unbent northing's (X' from two rounds of X' = X + X'^3
// q, q = w^2 / (6 (1 - e^2)) at the footpoint, and the footpoint turned by
// the Taylor series of the arc, as the single-point routine turns it), and
// whose Newton rounds solve the bent forward.
template <bool kBent> HWY_INLINE void CassiniInverseOf(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const V xm = x, ym = y;
    const V mu = (C(k.ml0) + ym * C(k.invA)) * C(k.aOverD0);
    ok = hn::And(ok, hn::Lt(hn::Abs(mu), C(kCassiniRectifyingReach)));
    V smu, cmu;
    SinCos(mu, smu, cmu);
    const V s2 = C(2.0) * smu * cmu, c2 = (cmu - smu) * (cmu + smu);
    const V s4 = C(2.0) * s2 * c2, c4 = C(1.0) - C(2.0) * s2 * s2;
    const V dphi =
        C(k.R[0]) * s2 + C(k.R[1]) * s4 + C(k.R[2]) * (s4 * c2 + c4 * s2) + C(k.R[3]) * (C(2.0) * s4 * c4);
    ok = hn::And(ok, hn::Lt(hn::Abs(dphi), C(kCassiniTurnBelow)));
    V phi1 = mu + dphi, s1 = smu, c1 = cmu;
    RotateBySmallAngle(s1, c1, dphi);
    const V bendScale = C(k.invOneMinusEs * (1.0 / 6.0));
    if (kBent) {
        const V ya = ym * C(k.invA);
        const V w0 = C(1.0) - C(k.es) * s1 * s1;
        const V q = w0 * w0 * C(k.invOneMinusEs) * C(1.0 / 6.0);
        V Y = ya + ya * ya * ya * q;
        Y = ya + Y * Y * Y * q;
        const V dy = Y - ya;
        const V k1 = w0 * hn::Sqrt(w0) * C(k.invOneMinusEs);
        const V k2 = C(1.5 * k.es) * s1 * c1 * w0 * w0 * C(k.invOneMinusEs) * C(k.invOneMinusEs);
        const V delta = dy * (k1 - k2 * dy);
        // A turn too large to rotate by is the scalar path's.
        ok = hn::And(ok, hn::Lt(hn::Abs(delta), C(kCassiniTurnBelow)));
        phi1 = phi1 + delta;
        RotateBySmallAngle(s1, c1, delta);
    }
    // The inverse series at the footpoint.
    ok = hn::And(ok, hn::Ge(hn::Abs(c1), C(kCassiniPoleCosine)));
    {
        const V w = C(1.0) - C(k.es) * s1 * s1;
        const V invNu1 = hn::Sqrt(w), invC1 = C(1.0) / c1;
        const V t1 = s1 * invC1, T1 = t1 * t1;
        const V nuOverRho = w * C(k.invOneMinusEs);
        const V D1 = xm * C(k.invA) * invNu1, D2 = D1 * D1;
        y = phi1 - nuOverRho * t1 * D2 * (C(0.5) - (C(1.0) + C(3.0) * T1) * D2 * C(1.0 / 24.0));
        x = D1 * (C(1.0) + D2 * T1 * (C(-1.0 / 3.0) + (C(1.0) + C(3.0) * T1) * D2 * C(1.0 / 15.0))) * invC1;
    }
    const V xa = xm * C(k.invA), ya = ym * C(k.invA);
    M moving = ok;
    for (int round = 0; round < kCassiniRounds && !hn::AllFalse(d, moving); ++round) {
        const V turn = y - phi1;
        const M small = hn::Lt(hn::Abs(turn), C(kCassiniTurnBelow));
        V s = s1, c = c1;
        RotateBySmallAngle(s, c, turn);
        if (!hn::AllTrue(d, hn::Or(small, hn::Not(moving)))) {
            V sn, cn;
            SinCos(y, sn, cn);
            s = hn::IfThenElse(small, s, sn);
            c = hn::IfThenElse(small, c, cn);
        }
        // At a pole the scalar routine keeps the series' answer: its lane.
        const M pole = hn::And(moving, hn::Lt(hn::Abs(c), C(kCassiniPoleCosine)));
        ok = hn::AndNot(pole, ok);
        moving = hn::AndNot(pole, moving);
        const V sq = s * s;
        const V arc =
            C(k.en[0]) * y - s * c * (C(k.en[1]) + sq * (C(k.en[2]) + sq * (C(k.en[3]) + sq * C(k.en[4]))));
        V fx, fy, xLam, xPhi, yLam, yPhi;
        CassiniSlopes(k, x, s, c, arc - C(k.ml0), fx, fy, xLam, xPhi, yLam, yPhi);
        if (kBent) {
            // Y - Y^3 q and its slopes, q = w^2 / (6 (1 - e^2)).
            const V w = C(1.0) - C(k.es) * s * s, q = w * w * bendScale;
            const V Y2 = fy * fy, slope = C(1.0) - C(3.0) * Y2 * q;
            yPhi = yPhi * slope + Y2 * fy * C(4.0) * C(k.es) * s * c * w * bendScale;
            yLam = yLam * slope;
            fy = fy - Y2 * fy * q;
        }
        const V ex = xa - fx, ey = ya - fy;
        const V miss = (hn::Abs(ex) + hn::Abs(ey)) * C(k.a);
        const M finite = Finite(miss);
        ok = hn::And(ok, hn::Or(finite, hn::Not(moving)));
        moving = hn::And(moving, hn::And(finite, hn::Gt(miss, C(kCassiniSolvedMetres))));
        const V invDet = C(1.0) / (xLam * yPhi - xPhi * yLam);
        phi1 = hn::IfThenElse(moving, y, phi1);
        s1 = hn::IfThenElse(moving, s, s1);
        c1 = hn::IfThenElse(moving, c, c1);
        x = hn::IfThenElse(moving, x + (yPhi * ex - xPhi * ey) * invDet, x);
        y = hn::IfThenElse(moving, y + (xLam * ey - yLam * ex) * invDet, y);
        moving = hn::And(moving, hn::Ge(miss, C(kCassiniLastCorrection)));
    }
    ok = hn::AndNot(moving, ok);
}

HWY_INLINE void CassiniInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    CassiniInverseOf<false>(k, x, y, ok);
}

HWY_INLINE void CassiniHyperbolicInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    CassiniInverseOf<true>(k, x, y, ok);
}
