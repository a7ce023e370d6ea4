// The vector forwards of two oblique kinds, several points at once as
// national_grids.cpp and oblique_views.cpp take them one by one: Laborde's
// oblique Mercator (the conformal sphere, its Mercator series in the
// longitude and the grid's complex cubic) and the oblique transformation
// (the globe turned about a new pole, drawn as the equidistant cylinder).
// Laborde's inverse stays on the scalar path (it solves its cubic by
// Newton's rounds); the turned globe's is the rotation back.
//
// Included by batch.cpp inside its per-target namespace, after its sine,
// cosine and the frame's helpers; nothing here is used elsewhere.

// The scalar SmallAtanhShallow: the same terms in the same order (pairs over
// x^2, x^4, x^8), so that the isometric latitude rounds as the scalar one.
HWY_INLINE V SmallAtanhPaired(V x) {
    const V x2 = x * x, x4 = x2 * x2, x8 = x4 * x4;
    const V p01 = C(1.0) + x2 * C(1.0 / 3), p23 = C(1.0 / 5) + x2 * C(1.0 / 7);
    const V p45 = C(1.0 / 9) + x2 * C(1.0 / 11), p67 = C(1.0 / 13) + x2 * C(1.0 / 15);
    return x * ((p01 + x4 * p23) + x8 * ((p45 + x4 * p67) + x8 * C(1.0 / 17)));
}

// Laborde: the isometric latitude, the sphere latitude from C + B psi as
// tanh and sech over one reciprocal, its difference from the centre's as
// one arctangent, the series in dlambda to its fifth power, and
// N + iE = R (H + G H^3). A pole has no isometric latitude: the scalar
// path refuses it.
// Beyond this longitude from the central meridian (radians, 1700 km on the
// equator, four times Madagascar's half width) the series, a polynomial of
// the fifth degree in dlambda, is no longer a map: its terms grow and cancel
// (a coordinate of 8 km from terms of 10^4 km a half turn away), and there
// the kernel's last places would become metres. Those points are the scalar
// path's; the grid's own area never comes near.
constexpr double kLabordeVectorReach = 0.25;

HWY_INLINE void LabordeForward(const BatchConstants& k, V& x, V& y, M& ok) {
    const V phi = y, dl = x;
    ok = hn::And(ok, hn::Lt(hn::Abs(phi), C(kHalfPi)));
    ok = hn::And(ok, hn::Le(hn::Abs(dl), C(kLabordeVectorReach)));
    V s, c;
    SinCos(hn::Abs(phi), s, c);
    const V psi = hn::CopySign(Log((C(1.0) + s) / c) - C(k.e) * SmallAtanhPaired(C(k.e) * s), phi);
    const V q = C(k.labC) + C(k.labB) * psi;
    ok = hn::And(ok, hn::Lt(hn::Abs(q), C(kExpLimit)));
    const V E = Exp(hn::Neg(hn::Abs(q))), E2 = E * E;
    const V tanhNum = hn::CopySign(C(1.0) - E2, q), sechNum = C(2.0) * E;
    // The angle as the scalar QuadrantAtan takes it, atan(num / den) and the
    // half turn, so that both round the same quotient; a zero denominator
    // is the scalar path's (atan2's signs).
    const V num = tanhNum * C(k.labCosS) - sechNum * C(k.labSinS);
    const V den = sechNum * C(k.labCosS) + tanhNum * C(k.labSinS);
    ok = hn::And(ok, hn::Ne(den, hn::Zero(D())));
    const V dps = Atan(num / den) + hn::IfThenElseZero(hn::Lt(den, hn::Zero(D())), hn::CopySign(C(kPi), num));
    const V inv1pE2 = C(1.0) / (C(1.0) + E2);
    const V sp = tanhNum * inv1pE2, cp = sechNum * inv1pE2;
    // The series (the scalar LabordeSeries, its map terms alone).
    const double B = k.labB, B2 = B * B;
    const V c2 = cp * cp, s2 = sp * sp;
    const V I4 = C(B) * cp;
    const V I2 = C(0.5 * B) * I4 * sp;
    const V I3 = I2 * C(B2) * (C(5.0) * c2 - s2) * C(1.0 / 12.0);
    const V I5 = I4 * C(B2) * (c2 - s2) * C(1.0 / 6.0);
    const V I6 = I4 * C(B2 * B2) * (C(5.0) * c2 * c2 + s2 * (s2 - C(18.0) * c2)) * C(1.0 / 120.0);
    const V t = dl * dl;
    const V hi = dl * (I4 + t * (I5 + t * I6)), hr = dps + t * (I2 + t * I3);
    const V h2r = (hr - hi) * (hr + hi), h2i = C(2.0) * hr * hi;
    const V h3r = h2r * hr - h2i * hi, h3i = h2r * hi + h2i * hr;
    const V zr = hr + (C(k.labGRe) * h3r - C(k.labGIm) * h3i);
    const V zi = hi + (C(k.labGRe) * h3i + C(k.labGIm) * h3r);
    x = C(k.labR) * zi;
    y = C(k.labR) * zr;
}

// The oblique transformation: the point as a unit vector of the turned
// globe, its longitude and latitude as two arctangents (the latitude as
// atan(w / |(u, v)|), as the scalar routine takes it near the turned pole),
// the pole's longitude added with one fold, and the sphere's radius. At the
// turned pole the longitude is the scalar path's convention.
HWY_INLINE void ObliqueTransformForward(const BatchConstants& k, V& x, V& y, M& ok) {
    V sl, cl, sp, cp;
    SinCos(x, sl, cl);
    SinCos(y, sp, cp);
    const V ccl = cp * cl;
    const V u = C(k.turnSin) * ccl + C(k.turnCos) * sp, v = cp * sl;
    const V w = C(k.turnSin) * sp - C(k.turnCos) * ccl;
    const V r = hn::Sqrt(u * u + v * v);
    ok = hn::And(ok, hn::Gt(r, hn::Zero(D())));
    V lam = Atan2(v, u) + C(k.turnLam);
    lam = hn::IfThenElse(hn::Gt(lam, C(kPi)), lam - C(kTwoPi), lam);
    lam = hn::IfThenElse(hn::Lt(lam, C(-kPi)), lam + C(kTwoPi), lam);
    x = C(k.a) * lam;
    y = C(k.a) * Atan2(w, r);
}

// The inverse: the map point's longitude and latitude on the turned globe,
// back through the rotation. A latitude past the pole (the scalar routine
// allows 1e-12 of rounding beyond it), a longitude past the sine's reduction
// and the old pole itself are the scalar path's.
HWY_INLINE void ObliqueTransformInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const V lam = x * C(k.invA) - C(k.turnLam), phi = y * C(k.invA);
    ok = hn::And(ok, hn::And(hn::Le(hn::Abs(phi), C(kHalfPi)), hn::Lt(hn::Abs(lam), C(kTwoPi))));
    V sl, cl, sp, cp;
    SinCos(lam, sl, cl);
    SinCos(phi, sp, cp);
    const V ccl = cp * cl;
    const V u = C(k.turnSin) * ccl - C(k.turnCos) * sp, v = cp * sl;
    const V w = C(k.turnSin) * sp + C(k.turnCos) * ccl;
    const V r = hn::Sqrt(u * u + v * v);
    ok = hn::And(ok, hn::Gt(r, hn::Zero(D())));
    x = Atan2(v, u);
    y = Atan2(w, r);
}
