// The vector kernels of the ellipsoidal azimuthal equidistant, several points
// at once as geodesic_azimuthal.cpp solves them one by one.
//
// The forward is the inverse geodesic problem from the fixed centre. Only the
// ordinary geodesic is solved here (not meridional or equatorial, not within
// reach of a pole or of the antipode): Newton's rounds run while any lane has
// not converged, up to a fixed number, and a lane that has not converged by
// then, or that is one of those cases, is left to the scalar path. A lane
// that converges keeps its result while the others go on, so that each lane
// stops where the scalar path would. From a polar centre the forward is the
// meridian arc. The inverse is the direct problem, without iteration.
//
// Included by batch.cpp inside its per-target namespace, after its sine,
// cosine and rotation; nothing here is used elsewhere.

// sum_l c[l] sin 2(l+1) sigma by Clenshaw's recurrence from sin and cos sigma.
template <int kCount> HWY_INLINE V GeoSineSeries(V s, V c, const V* k) {
    const V twoCos2x = C(2.0) * (c - s) * (c + s);
    V b1 = hn::Zero(D()), b2 = hn::Zero(D());
    for (int l = kCount - 1; l >= 0; --l) {
        const V b = k[l] + twoCos2x * b1 - b2;
        b2 = b1;
        b1 = b;
    }
    return C(2.0) * s * c * b1;
}

// A polynomial of degree 5 in eps with scalar coefficients.
HWY_INLINE V GeoPoly5(const double k[6], V eps) {
    return C(k[0]) + eps * (C(k[1]) + eps * (C(k[2]) + eps * (C(k[3]) + eps * (C(k[4]) + eps * C(k[5])))));
}

HWY_INLINE V GeoHypot(V a, V b) {
    return hn::Sqrt(a * a + b * b);
}

// One end of the geodesic, lane by lane.
struct GeoEnd {
    V sbet, cbet, dn;
};

// One Newton round (the scalar EvaluateRound): the longitude overshoot v,
// dv/dalpha1, the distance, alpha2 and sin alpha0; valid where alpha2's
// cosine does not vanish.
HWY_INLINE void GeoRound(const GeodesicBatch& g, const GeoEnd& e1, const GeoEnd& e2, M sameParallel, V salp1,
                         V calp1, V slam12, V clam12, V& v, V& dv, V& s, V& calp2, V& salp0, M& valid) {
    salp0 = salp1 * e1.cbet;
    const V calp0 = GeoHypot(calp1, salp1 * e1.sbet);
    V ssig1 = e1.sbet, csig1 = calp1 * e1.cbet;
    const V somg1 = salp0 * e1.sbet, comg1 = csig1;
    V t = GeoHypot(ssig1, csig1);
    ssig1 = ssig1 / t;
    csig1 = csig1 / t;
    const V c1b1 = calp1 * e1.cbet;
    const V spread =
        hn::IfThenElse(hn::Lt(e1.cbet, hn::Neg(e1.sbet)), (e2.cbet - e1.cbet) * (e1.cbet + e2.cbet),
                       (e1.sbet - e2.sbet) * (e1.sbet + e2.sbet));
    calp2 = hn::IfThenElse(sameParallel, hn::Abs(calp1), hn::Sqrt(c1b1 * c1b1 + spread) / e2.cbet);
    valid = hn::Ne(calp2, hn::Zero(D()));
    V ssig2 = e2.sbet, csig2 = calp2 * e2.cbet;
    const V somg2 = salp0 * e2.sbet, comg2 = csig2;
    t = GeoHypot(ssig2, csig2);
    ssig2 = ssig2 / t;
    csig2 = csig2 / t;
    const V sig12 =
        Atan2(hn::Max(hn::Zero(D()), csig1 * ssig2 - ssig1 * csig2), csig1 * csig2 + ssig1 * ssig2);
    const V somg12 = hn::Max(hn::Zero(D()), comg1 * somg2 - somg1 * comg2);
    const V comg12 = comg1 * comg2 + somg1 * somg2;
    const V eta = Atan2(somg12 * clam12 - comg12 * slam12, comg12 * clam12 + somg12 * slam12);
    const V k2 = calp0 * calp0 * C(g.ep2);
    const V eps = k2 / (C(2.0) * (C(1.0) + hn::Sqrt(C(1.0) + k2)) + k2);
    V c3[5];
    for (int l = 0; l < 5; ++l)
        c3[l] = GeoPoly5(g.C3[l], eps);
    const V B312 = GeoSineSeries<5>(ssig2, csig2, c3) - GeoSineSeries<5>(ssig1, csig1, c3);
    v = eta - C(g.f) * GeoPoly5(g.A3, eps) * salp0 * (sig12 + B312);
    // C1 to eps^6 and A1 to eps^6 (the distance), C2 and A2 to eps^3 (the
    // derivative alone).
    const V e2p = eps * eps, e3 = e2p * eps, e4 = e2p * e2p, e5 = e4 * eps, e6 = e3 * e3;
    const V c1[6] = {C(-0.5) * eps + C(3.0 / 16) * e3 - C(1.0 / 32) * e5,
                     C(-1.0 / 16) * e2p + C(1.0 / 32) * e4 - C(9.0 / 2048) * e6,
                     C(-1.0 / 48) * e3 + C(3.0 / 256) * e5,
                     C(-5.0 / 512) * e4 + C(3.0 / 512) * e6,
                     C(-7.0 / 1280) * e5,
                     C(-7.0 / 2048) * e6};
    const V c2[3] = {eps * (C(0.5) + e2p * C(1.0 / 16)), e2p * C(3.0 / 16), e2p * eps * C(5.0 / 48)};
    const V a1m1 = (e2p * (C(1.0 / 4) + e2p * (C(1.0 / 64) + e2p * C(1.0 / 256))) + eps) / (C(1.0) - eps);
    const V a2m1 = e2p * (C(1.0 / 4) + e2p * C(9.0 / 64)) * (C(1.0) - eps) - eps;
    const V B1 = GeoSineSeries<6>(ssig2, csig2, c1) - GeoSineSeries<6>(ssig1, csig1, c1);
    const V B2 = GeoSineSeries<3>(ssig2, csig2, c2) - GeoSineSeries<3>(ssig1, csig1, c2);
    const V J12 = (a1m1 - a2m1) * sig12 + ((C(1.0) + a1m1) * B1 - (C(1.0) + a2m1) * B2);
    const V m12b = e2.dn * (csig1 * ssig2) - e1.dn * (ssig1 * csig2) - csig1 * csig2 * J12;
    dv = m12b * C(g.f1) / (calp2 * e2.cbet);
    s = C(g.b) * (C(1.0) + a1m1) * (sig12 + B1);
}

// From a pole every geodesic is a meridian (the scalar PolarInverse): the
// meridian arc to the point, at azimuth pi - lambda from the north pole and
// lambda from the south. A point at the other pole is the scalar path's.
HWY_INLINE void GeoPolar(const GeodesicBatch& g, V sb, V cb, V& x, V& y, M& ok) {
    const double k2 = g.ep2;
    const double eps = k2 / (2.0 * (1.0 + std::sqrt(1.0 + k2)) + k2);
    const double e2 = eps * eps, e3 = e2 * eps, e4 = e2 * e2, e5 = e4 * eps, e6 = e3 * e3;
    const V c1[6] = {C(-eps / 2 + 3 * e3 / 16 - e5 / 32),
                     C(-e2 / 16 + e4 / 32 - 9 * e6 / 2048),
                     C(-e3 / 48 + 3 * e5 / 256),
                     C(-5 * e4 / 512 + 3 * e6 / 512),
                     C(-7 * e5 / 1280),
                     C(-7 * e6 / 2048)};
    const double a1 = 1.0 + (e2 * (1.0 / 4 + e2 * (1.0 / 64 + e2 * (1.0 / 256))) + eps) / (1.0 - eps);
    const V sign = C(g.pole);
    const M otherPole =
        hn::And(hn::Lt(cb, C(geodesic_rounds::kPolarCosine)), hn::Lt(sb * sign, hn::Zero(D())));
    ok = hn::AndNot(otherPole, ok);
    const V s = C(g.b * a1) * (C(kHalfPi) - sign * (Atan2(sb, cb) + GeoSineSeries<6>(sb, cb, c1)));
    V sl, cl;
    SinCos(x, sl, cl);
    x = s * sl;
    y = s * (hn::Neg(sign) * cl);
}

HWY_INLINE void GeodesicAzimuthalForward(const BatchConstants& k, V& x, V& y, M& ok) {
    const GeodesicBatch& g = k.geodesic;
    const V zero = hn::Zero(D()), one = C(1.0);
    // The point's reduced latitude.
    V sphi, cphi;
    SinCos(y, sphi, cphi);
    V sb = C(g.f1) * sphi, cb = cphi;
    const V r = GeoHypot(sb, cb);
    sb = sb / r;
    cb = hn::Max(cb / r, C(geodesic_rounds::kTinyCosine));
    if (g.pole != 0.0) return GeoPolar(g, sb, cb, x, y, ok);
    const GeoEnd point{sb, cb, hn::Sqrt(one + C(g.ep2) * sb * sb)};
    const GeoEnd centre{C(g.sbet1), C(g.cbet1), C(g.dn1)};
    // The reflections and the exchange of the ends (the scalar path's).
    V lonSign = hn::IfThenElse(hn::Lt(x, zero), C(-1.0), one);
    const V lam = hn::Abs(x);
    const M swapped = hn::Gt(hn::Abs(point.sbet), hn::Abs(centre.sbet));
    GeoEnd e1{hn::IfThenElse(swapped, point.sbet, centre.sbet),
              hn::IfThenElse(swapped, point.cbet, centre.cbet), hn::IfThenElse(swapped, point.dn, centre.dn)};
    GeoEnd e2{hn::IfThenElse(swapped, centre.sbet, point.sbet),
              hn::IfThenElse(swapped, centre.cbet, point.cbet), hn::IfThenElse(swapped, centre.dn, point.dn)};
    lonSign = hn::IfThenElse(swapped, hn::Neg(lonSign), lonSign);
    const V latSign = hn::IfThenElse(hn::Gt(e1.sbet, zero), C(-1.0), one);
    e1.sbet = e1.sbet * latSign;
    e2.sbet = e2.sbet * latSign;
    V slam12, clam12;
    SinCos(lam, slam12, clam12);
    ok = hn::AndNot(hn::Or(hn::Eq(lam, zero), hn::Eq(lam, C(kPi))), ok);
    ok = hn::AndNot(hn::Eq(e1.sbet, zero), ok);
    ok = hn::And(ok, hn::And(hn::Ge(e1.cbet, C(geodesic_rounds::kPolarCosine)),
                             hn::Ge(e2.cbet, C(geodesic_rounds::kPolarCosine))));
    const M sameParallel = hn::And(hn::Eq(e2.cbet, e1.cbet), hn::Eq(hn::Abs(e2.sbet), hn::Neg(e1.sbet)));
    // The starting azimuth: the auxiliary sphere's great circle.
    const V sbet12 = e2.sbet * e1.cbet - e2.cbet * e1.sbet;
    const V cbet12 = e2.cbet * e1.cbet + e2.sbet * e1.sbet;
    const V sbet12a = e2.sbet * e1.cbet + e2.cbet * e1.sbet;
    const M shortLine =
        hn::And(hn::And(hn::Ge(cbet12, zero), hn::Lt(sbet12, C(0.5))), hn::Lt(e2.cbet * lam, C(0.5)));
    const V sm = e1.sbet + e2.sbet, cm = e1.cbet + e2.cbet;
    const V dnm = hn::Sqrt(one + C(g.ep2) * (sm * sm) / (sm * sm + cm * cm));
    V somg, comg;
    SinCos(hn::IfThenElse(shortLine, lam / (C(g.f1) * dnm), lam), somg, comg);
    const auto sphere = [&](V so, V co, V& sa, V& ca) {
        sa = e2.cbet * so;
        const V lift = e2.cbet * e1.sbet * (so * so);
        ca = hn::IfThenElse(hn::Ge(co, zero), sbet12 + lift / (one + co), sbet12a - lift / (one - co));
    };
    V salp1, calp1;
    sphere(somg, comg, salp1, calp1);
    const V ssig12 = GeoHypot(salp1, calp1);
    const V csig12 = e1.sbet * e2.sbet + e1.cbet * e2.cbet * comg;
    const V band =
        C(geodesic_rounds::kAntipodeBand) + C(geodesic_rounds::kAstroidWidth * g.f * kPi) * e1.cbet * e1.cbet;
    ok = hn::AndNot(hn::And(hn::Lt(csig12, zero), hn::Lt(ssig12, band)), ok);
    ok = hn::And(ok, hn::Gt(ssig12, zero));
    salp1 = salp1 / ssig12;
    calp1 = calp1 / ssig12;
    {
        // The longer lines aim the circle further by f sin(alpha0) sigma12.
        const V omg = lam + C(g.f) * salp1 * e1.cbet * Atan2(ssig12, csig12);
        V so, co, sa, ca;
        SinCos(omg, so, co);
        sphere(so, co, sa, ca);
        const V t = GeoHypot(sa, ca);
        ok = hn::AndNot(hn::AndNot(shortLine, hn::Not(hn::Gt(t, zero))), ok);
        salp1 = hn::IfThenElse(shortLine, salp1, sa / t);
        calp1 = hn::IfThenElse(shortLine, calp1, ca / t);
    }
    // Newton's rounds while any lane is still at work.
    M active = ok, converged = hn::Lt(one, zero);
    V outS = zero, outSa = zero, outCa = one;
    for (int round = 0; round < geodesic_rounds::kRounds && !hn::AllFalse(D(), active); ++round) {
        V v, dv, s, calp2, salp0;
        M valid;
        GeoRound(g, e1, e2, sameParallel, salp1, calp1, slam12, clam12, v, dv, s, calp2, salp0, valid);
        const V step = hn::Neg(v) / dv;
        active = hn::And(active, hn::And(valid, hn::Gt(dv, zero)));
        active = hn::And(active, hn::Lt(hn::Abs(step), C(0.5)));
        RotateBySmallAngle(salp1, calp1, step);
        active = hn::And(active, hn::Gt(salp1, zero));
        const M now = hn::And(active, hn::And(hn::Lt(hn::Abs(step), C(geodesic_rounds::kLastStep)),
                                              hn::Lt(hn::Abs(v), C(geodesic_rounds::kLastStep))));
        if (hn::AllFalse(D(), now)) continue;
        // The distance carried to the corrected azimuth by the first
        // variation, and the centre's azimuth (alpha1, or alpha2 reversed).
        const V sFinal = s - C(g.a) * salp0 * v;
        const V salp2 = salp1 * e1.cbet / e2.cbet;
        const V c = calp1 * e1.cbet;
        const V spread =
            hn::IfThenElse(hn::Lt(e1.cbet, hn::Neg(e1.sbet)), (e2.cbet - e1.cbet) * (e1.cbet + e2.cbet),
                           (e1.sbet - e2.sbet) * (e1.sbet + e2.sbet));
        const V calp2New = hn::IfThenElse(sameParallel, hn::Abs(calp1), hn::Sqrt(c * c + spread) / e2.cbet);
        V sa = hn::IfThenElse(swapped, hn::Neg(salp2), salp1) * lonSign;
        V ca = hn::IfThenElse(swapped, hn::Neg(calp2New), calp1) * latSign;
        const V n = GeoHypot(sa, ca);
        outS = hn::IfThenElse(now, sFinal, outS);
        outSa = hn::IfThenElse(now, sa / n, outSa);
        outCa = hn::IfThenElse(now, ca / n, outCa);
        converged = hn::Or(converged, now);
        active = hn::AndNot(now, active);
    }
    ok = hn::And(ok, converged);
    x = outS * outSa;
    y = outS * outCa;
}

// The inverse: the direct geodesic problem from the centre along the map
// point's azimuth, as the scalar routine solves it (no iteration). Within
// reach of the centre, where the azimuth is undefined, the scalar path
// decides.
HWY_INLINE void GeodesicAzimuthalInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const GeodesicBatch& g = k.geodesic;
    const V zero = hn::Zero(D()), one = C(1.0);
    const V s = hn::Sqrt(x * x + y * y);
    ok = hn::And(ok, hn::Ge(s, C(geodesic_rounds::kCentreDistance)));
    const V salp1 = x / s, calp1 = y / s;
    const V sbet1 = C(g.sbet1), cbet1 = C(g.cbet1);
    const V salp0 = salp1 * cbet1;
    const V calp0 = hn::Sqrt(calp1 * calp1 + (salp1 * sbet1) * (salp1 * sbet1));
    V ssig1 = sbet1;
    V csig1 = g.sbet1 != 0.0 ? cbet1 * calp1 : hn::IfThenElse(hn::Ne(calp1, zero), cbet1 * calp1, one);
    const V somg1 = salp0 * sbet1, comg1 = csig1;
    {
        const V r = hn::Sqrt(ssig1 * ssig1 + csig1 * csig1);
        ssig1 = ssig1 / r;
        csig1 = csig1 / r;
    }
    const V k2 = calp0 * calp0 * C(g.ep2);
    const V eps = k2 / (C(2.0) * (one + hn::Sqrt(one + k2)) + k2);
    const V e2 = eps * eps, e3 = e2 * eps, e4 = e2 * e2, e5 = e4 * eps, e6 = e3 * e3;
    const V c1[6] = {C(-0.5) * eps + C(3.0 / 16) * e3 - C(1.0 / 32) * e5,
                     C(-1.0 / 16) * e2 + C(1.0 / 32) * e4 - C(9.0 / 2048) * e6,
                     C(-1.0 / 48) * e3 + C(3.0 / 256) * e5,
                     C(-5.0 / 512) * e4 + C(3.0 / 512) * e6,
                     C(-7.0 / 1280) * e5,
                     C(-7.0 / 2048) * e6};
    const V c1p[6] = {C(0.5) * eps - C(9.0 / 32) * e3 + C(205.0 / 1536) * e5,
                      C(5.0 / 16) * e2 - C(37.0 / 96) * e4 + C(1335.0 / 4096) * e6,
                      C(29.0 / 96) * e3 - C(75.0 / 128) * e5,
                      C(539.0 / 1536) * e4 - C(2391.0 / 2560) * e6,
                      C(3467.0 / 7680) * e5,
                      C(38081.0 / 61440) * e6};
    V c3[5];
    for (int l = 0; l < 5; ++l)
        c3[l] = GeoPoly5(g.C3[l], eps);
    const V a1m1 = (e2 * (C(1.0 / 4) + e2 * (C(1.0 / 64) + e2 * C(1.0 / 256))) + eps) / (one - eps);
    // Distance to arc through tau, the distance in units of b A1.
    const V B11 = GeoSineSeries<6>(ssig1, csig1, c1);
    V stau1 = ssig1, ctau1 = csig1;
    RotateBySmallAngle(stau1, ctau1, B11);
    const V tau12 = s / (C(g.b) * (one + a1m1));
    V stau12, ctau12;
    SinCos(tau12, stau12, ctau12);
    const V stau2 = stau1 * ctau12 + ctau1 * stau12, ctau2 = ctau1 * ctau12 - stau1 * stau12;
    const V dsig = B11 + GeoSineSeries<6>(stau2, ctau2, c1p);
    V ssig12 = stau12, csig12 = ctau12;
    RotateBySmallAngle(ssig12, csig12, dsig);
    const V sig12 = tau12 + dsig;
    const V ssig2 = ssig1 * csig12 + csig1 * ssig12, csig2 = csig1 * csig12 - ssig1 * ssig12;
    // The end point's reduced latitude and longitude.
    const V sbet2 = calp0 * ssig2;
    V cbet2 = hn::Sqrt(salp0 * salp0 + (calp0 * csig2) * (calp0 * csig2));
    cbet2 = hn::IfThenElse(hn::Eq(cbet2, zero), C(geodesic_rounds::kTinyCosine), cbet2);
    const V somg2 = salp0 * ssig2, comg2 = csig2;
    const V omg12 = Atan2(somg2 * comg1 - comg2 * somg1, comg2 * comg1 + somg2 * somg1);
    const V B31 = GeoSineSeries<5>(ssig1, csig1, c3), B32 = GeoSineSeries<5>(ssig2, csig2, c3);
    x = omg12 - C(g.f) * salp0 * GeoPoly5(g.A3, eps) * (sig12 + (B32 - B31));
    y = Atan2(sbet2, C(g.f1) * cbet2);
}
