// The vector forms of the Hotine oblique Mercator (both origins) and of the
// polyconic, several points at once as oblique_mercator.cpp and conic.cpp
// take them one by one, in the same order of operations, so that a lane
// rounds as the single-point routine does but for the last places of the
// elementary functions.
//
// Included by batch.cpp inside its per-target namespace, after its sine,
// cosine, isometric latitude and small rotation; nothing here is used
// elsewhere.

// ---- Hotine oblique Mercator ----

// Forward: the isometric latitude to Q on the aposphere, its longitude from
// the natural origin folded once, u as a two-argument arctangent and v as a
// logarithm. A pole (the scalar routine's limit case) and a longitude that
// needs more than one fold are the scalar path's, and so is a point whose U
// passes kHotineVectorReach: v = -(A / B) atanh U magnifies a last place of U
// by 1 / (1 - U^2), and towards U = +-1 (90 degrees from the central line,
// v infinite) the two paths' last places of the exponential and the sine
// part their results ever further (30 nm measured 13 000 km out).
// |U| below this is v within 6 000 km of the central line (every Hotine
// grid's use lies within a few hundred), where the magnification is below 2.3.
constexpr double kHotineVectorReach = 0.75;
HWY_INLINE void HotineForward(const BatchConstants& k, V& x, V& y, M& ok) {
    const V dlam = x, phi = y;
    ok = hn::And(ok, hn::Lt(hn::Abs(phi), C(kHalfPi)));
    const V Bpsi = C(k.omB) * IsometricLatitude(k, phi);
    ok = hn::And(ok, hn::Lt(hn::Abs(Bpsi), C(kExpLimit)));
    const V Q = C(k.omE) * Exp(Bpsi);
    const V invQ = C(1.0) / Q;
    const V S = (Q - invQ) / C(2.0), T = (Q + invQ) / C(2.0);
    V l = dlam + C(k.omLamShift);
    l = hn::IfThenElse(hn::Gt(l, C(kPi)), l - C(kTwoPi), l);
    l = hn::IfThenElse(hn::Lt(l, C(-kPi)), l + C(kTwoPi), l);
    ok = hn::And(ok, hn::Le(hn::Abs(l), C(kPi)));
    const V Bl = C(k.omB) * l;
    V sBl, cBl;
    SinCos(Bl, sBl, cBl);
    const V U = (S * C(k.omSing0) - sBl * C(k.omCosg0)) / T;
    ok = hn::And(ok, hn::Lt(hn::Abs(U), C(kHotineVectorReach)));
    V u = C(k.omA) * Atan2(S * C(k.omCosg0) + sBl * C(k.omSing0), cBl) / C(k.omB);
    const V v = C(k.omA) * Log((C(1.0) - U) / (C(1.0) + U)) / C(2.0 * k.omB);
    if (k.omFromCentre) {
        // Counted from the centre, u is kept within half a turn of the
        // aposphere of it, as the scalar routine keeps it.
        u = u - C(k.omUc);
        u = hn::IfThenElse(hn::Lt(u, C(-k.omHalfTurn)), u + C(2.0 * k.omHalfTurn), u);
        u = hn::IfThenElse(hn::Gt(u, C(k.omHalfTurn)), u - C(2.0 * k.omHalfTurn), u);
    }
    x = v * C(k.omCosr) + u * C(k.omSinr);
    y = u * C(k.omCosr) - v * C(k.omSinr);
}

// atanh(U) for |U| < 1 as half the logarithm of (1 + U) / (1 - U), the sum,
// difference and quotient kept as pairs: the quotient rounded once would
// carry a last place of its own into the logarithm (a nanometre at the
// equator's image), where the C library's atanh is within one of the value.
HWY_INLINE V AtanhPaired(V U) {
    V nh, nl, dh, dl, qh, ql;
    TwoSum(C(1.0), U, nh, nl);
    TwoSum(C(1.0), hn::Neg(U), dh, dl);
    DivideDD(nh, nl, dh, dl, qh, ql);
    return C(0.5) * (Log(qh) + ql / qh);
}

// Inverse: Q, S, T and the aposphere's U from the rectified grid, the
// conformal latitude through t = exp((ln E - atanh U) / B) and its series to
// the geodetic one. |U| = 1 (the poles' images, where the scalar routine
// clamps) is the scalar path's, and so is U beyond kHotineInverseReach: a
// last place of U moves the latitude by about 1 / sqrt(1 - U^2) of a last
// place of an angle, which the two paths' elementary functions may round
// apart (7.8 nm measured at 80 degrees on the aposphere).
// |U| below this is within 72 degrees of the aposphere's equator, beyond
// every Hotine grid's use, where that magnification is below 3.2.
constexpr double kHotineInverseReach = 0.95;
HWY_INLINE void HotineInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const V v = x * C(k.omCosr) - y * C(k.omSinr);
    V u = y * C(k.omCosr) + x * C(k.omSinr);
    if (k.omFromCentre) u = u + C(k.omUc);
    const V e = C(-k.omB) * v / C(k.omA);
    ok = hn::And(ok, hn::Lt(hn::Abs(e), C(kExpLimit)));
    const V Q = Exp(e);
    const V invQ = C(1.0) / Q;
    const V S = (Q - invQ) / C(2.0), T = (Q + invQ) / C(2.0);
    const V Bu = C(k.omB) * u / C(k.omA);
    V sBu, cBu;
    SinCos(Bu, sBu, cBu);
    const V U = (sBu * C(k.omCosg0) + S * C(k.omSing0)) / T;
    ok = hn::And(ok, hn::Lt(hn::Abs(U), C(kHotineInverseReach)));
    const V t = Exp((C(k.omLnE) - AtanhPaired(U)) * C(k.omInvB));
    x = C(k.omLamBack) - Atan2(S * C(k.omCosg0) - sBu * C(k.omSing0), cBu) / C(k.omB);
    const V chi = C(kHalfPi) - C(2.0) * Atan(t);
    V s2, c2;
    SinCos(C(2.0) * chi, s2, c2);
    const V s4 = C(2.0) * s2 * c2, c4 = C(1.0) - C(2.0) * s2 * s2;
    const V s6 = s4 * c2 + c4 * s2, s8 = C(2.0) * s4 * c4;
    y = chi + (C(k.omChi[0]) * s2 + C(k.omChi[1]) * s4 + C(k.omChi[2]) * s6 + C(k.omChi[3]) * s8);
}

// ---- Polyconic ----

// Forward: one sine and cosine of phi and one of half the cone angle, the
// cone's slant radius N cot phi and the meridian arc from the multiple-angle
// identities. The equator (phi = 0, no cone) and the poles are the scalar
// path's.
HWY_INLINE void PolyconicForward(const BatchConstants& k, V& x, V& y, M& ok) {
    const V dlam = x, phi = y;
    ok = hn::And(ok, hn::And(hn::Ne(phi, hn::Zero(D())), hn::Lt(hn::Abs(phi), C(kHalfPi))));
    V sphi, cphi;
    SinCos(phi, sphi, cphi);
    const V r = C(k.a) / hn::Sqrt(C(1.0) - C(k.es) * sphi * sphi) * cphi / sphi;
    V hs, hc;
    SinCos(C(0.5) * dlam * sphi, hs, hc);
    const V s2 = C(2.0) * sphi * cphi, c2 = C(1.0) - C(2.0) * sphi * sphi;
    const V s4 = C(2.0) * s2 * c2, c4 = C(1.0) - C(2.0) * s2 * s2;
    const V s6 = s4 * c2 + c4 * s2;
    const V M0 = C(k.polyA[0]) * phi - C(k.polyA[1]) * s2 + C(k.polyA[2]) * s4 - C(k.polyA[3]) * s6;
    const V r2 = r * C(2.0) * hs;
    x = r2 * hc;
    y = C(k.a) * M0 - C(k.polyM0) + r2 * hs;
}

// The scalar routine's limits, repeated: its Newton rounds' tolerance and
// foresight, the rotation's and the bent start's reach, the bands about the
// equator's image and the poles.
constexpr double kPolyTolerance = 1e-12;
constexpr double kPolyForeseeBelow = 1e-8;
constexpr double kPolyRotateBelow = 0.02;
constexpr double kPolyBendStartBelow = 0.1;
constexpr double kPolyEquatorBand = 1.0;
constexpr double kPolyPoleBand = 1e-5;
// Rounds the kernel follows; two or three suffice over a country, and a lane
// still moving after these is the scalar path's (its cap is 100).
constexpr int kPolyRounds = 8;

// Inverse: the scalar routine's Newton rounds on the latitude, lane by lane:
// the same start (the footpoint less the bend of the parallels), the same
// steps, and each lane frozen at the round the scalar routine stops at. The
// band about the equator's image, a start too far out for the bend, a lane
// not settled within the kernel's rounds and a latitude near a pole (where
// the longitude is the scalar routine's convention) are the scalar path's.
HWY_INLINE void PolyconicInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const D d;
    const V xr = x / C(k.a), dy = y;
    ok = hn::And(ok, hn::Not(hn::And(hn::Gt(dy, C(-k.polyM0 - kPolyEquatorBand)),
                                     hn::Lt(dy, C(kPolyEquatorBand - k.polyM0)))));
    const V Ay = (C(k.polyM0) + dy) / C(k.a);
    const V x2 = xr * xr;
    const double a0 = k.polyArc[0];
    const V mu = Ay / C(a0);
    V sphi, cphi;
    SinCos(mu, sphi, cphi);
    {
        const V sc = sphi * cphi, t = sphi * sphi;
        const V bend = C(0.5) * x2 * sphi / cphi * hn::Sqrt(C(1.0) - C(k.es) * t);
        const V turn =
            C(2.0) * sc * (C(k.polyA[1]) - C(2.0 * k.polyA[2]) * (C(1.0) - C(2.0) * t)) / C(a0) - bend;
        const M small = hn::Lt(hn::Abs(turn), C(kPolyRotateBelow));
        ok = hn::And(ok, hn::Or(small, hn::Lt(hn::Abs(bend), C(kPolyBendStartBelow))));
        V sr = sphi, cr = cphi;
        RotateBySmallAngle(sr, cr, turn);
        const V phi0 = mu + turn;
        sphi = sr;
        cphi = cr;
        if (!hn::AllTrue(d, hn::Or(small, hn::Not(ok)))) {
            V sn, cn;
            SinCos(phi0, sn, cn);
            sphi = hn::IfThenElse(small, sr, sn);
            cphi = hn::IfThenElse(small, cr, cn);
        }
        y = phi0;
    }
    V phi = y, step = hn::Zero(d), lastStep = hn::Zero(d);
    M active = ok;
    const double *p = k.polyArc, es = k.es;
    for (int round = 0; round < kPolyRounds && !hn::AllFalse(d, active); ++round) {
        const V t = sphi * sphi;
        const V Mn = C(a0) * phi + sphi * cphi * (C(p[1]) + t * (C(p[2]) + t * C(p[3])));
        const V Mp = C(p[4]) + t * (C(p[5]) + t * (C(p[6]) + t * C(p[7])));
        const V w2 = C(1.0) - C(es) * sphi * sphi, w = hn::Sqrt(w2);
        const V D0 = Mn - Ay, q = D0 * D0 + x2;
        const V sw = sphi * w, csw = cphi * sw, w2s2 = w2 * sphi * sphi;
        const V f = hn::Neg(D0) * csw - C(0.5) * w2s2 * q;
        const V slope =
            hn::Neg(D0) * (w2s2 * Mp - w) + C(0.5 * es) * q * cphi * sphi * sphi * sphi - Mp * csw;
        const V next = f / slope;
        ok = hn::And(ok, hn::Or(hn::Not(active), Finite(next)));
        phi = hn::IfThenElse(active, phi - next, phi);
        step = hn::IfThenElse(active, next, step);
        const V size = hn::Abs(next);
        const M settled =
            hn::Or(hn::Le(size, C(kPolyTolerance)),
                   hn::And(hn::Lt(size, C(kPolyForeseeBelow)),
                           hn::Lt(C(10.0) * size * size * size, C(1e-16) * lastStep * lastStep)));
        active = hn::AndNot(settled, active);
        lastStep = hn::IfThenElse(active, next, lastStep);
        const M rotate = hn::And(active, hn::Lt(size, C(kPolyRotateBelow)));
        V sr = sphi, cr = cphi;
        RotateBySmallAngle(sr, cr, hn::Neg(next));
        const M anew = hn::AndNot(rotate, active);
        if (!hn::AllFalse(d, anew)) {
            V sn, cn;
            SinCos(phi, sn, cn);
            sr = hn::IfThenElse(anew, sn, sr);
            cr = hn::IfThenElse(anew, cn, cr);
        }
        sphi = hn::IfThenElse(active, sr, sphi);
        cphi = hn::IfThenElse(active, cr, cphi);
    }
    ok = hn::AndNot(active, ok);
    ok = hn::And(
        ok, hn::And(hn::Ne(phi, hn::Zero(d)), hn::Gt(hn::Abs(hn::Abs(phi) - C(kHalfPi)), C(kPolyPoleBand))));
    // The last round's sine and cosine carried over its step.
    const V s = sphi - cphi * step, c = cphi + sphi * step;
    const V Cn = hn::Sqrt(C(1.0) - C(es) * s * s) * s / c;
    const V arg = xr * Cn;
    ok = hn::And(ok, hn::Le(hn::Abs(arg), C(1.0)));
    x = Asin(arg) / s;
    y = phi;
}
