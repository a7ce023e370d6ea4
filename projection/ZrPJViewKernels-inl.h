// The vector kernels of two views of the ellipsoid from outside, several
// points at once as local_plane.cpp and satellite.cpp take them one by one:
// the orthographic on the ellipsoid (forward: the point's offset from the
// origin in the origin's east and north) and the geostationary satellite's
// view, scanning about y (Meteosat) or about x (GOES), both ways.
// The orthographic's inverse stays on the scalar path.
//
// Included by batch.cpp inside its per-target namespace, after its sine,
// cosine and the frame's helpers; nothing here is used elsewhere.

// The orthographic's horizon, as the scalar routine tests it: the cosine of
// the angle between the point's normal and the view below this is behind.
constexpr double kOrthographicHorizon = 1e-10;

HWY_INLINE void OrthographicForward(const BatchConstants& k, V& x, V& y, M& ok) {
    V sl, cl, s, c;
    SinCos(x, sl, cl);
    SinCos(y, s, c);
    const V sin0 = C(k.orSin0), cos0 = C(k.orCos0);
    // A point behind the horizon is the scalar path's refusal.
    ok = hn::And(ok, hn::Ge(s * sin0 + c * cos0 * cl, C(-kOrthographicHorizon)));
    const V nu = C(k.a) / hn::Sqrt(C(1.0) - C(k.es) * s * s);
    x = nu * c * sl;
    // The origin's own offset, e^2 nu0 sin phi0 cos phi0, less the point's.
    y = nu * (s * cos0 - c * sin0 * cl) + C(k.orD) - C(k.es) * nu * s * cos0;
}

// The satellite's view: the point in units of a from the geocentric
// latitude (tan = (1 - e^2) tan phi, without the arctangent), seen from
// (g, 0, 0); behind the limb the line of sight meets the ellipsoid first,
// and such a lane is the scalar path's refusal.
HWY_INLINE void GeostationaryForward(const BatchConstants& k, V& x, V& y, M& ok) {
    V sl, cl, sp, cp;
    SinCos(x, sl, cl);
    SinCos(y, sp, cp);
    const V c0 = cp, s0 = C(k.geoP2) * sp;
    const V n = hn::Sqrt(c0 * c0 + s0 * s0);
    const V cphi = c0 / n, sphi = s0 / n;
    const V pc = C(k.geoP) * cphi;
    const V r = C(k.geoP) / hn::Sqrt(pc * pc + sphi * sphi);
    const V vx = r * cl * cphi;
    const V vy = r * sl * cphi;
    const V vz = r * sphi;
    const V t = C(k.geoG) - vx;
    ok = hn::And(ok, hn::Ge(t * vx - vy * vy - vz * vz * C(k.geoPinv2), hn::Zero(D())));
    const V h = C(k.geoH);
    if (k.geoSweepX) {
        x = h * Atan(vy / hn::Sqrt(vz * vz + t * t));
        y = h * Atan(vz / t);
    } else {
        x = h * Atan(vy / t);
        y = h * Atan(vz / hn::Sqrt(vy * vy + t * t));
    }
}

// The inverse's line of sight (-1, vy, vz) meets the ellipsoid at the nearer
// root of a quadratic. Near the limb the two roots close and the point moves
// by metres for a last place of the scan angles: the lanes whose
// discriminant is below this share of its largest value (4, at the view's
// centre) are the scalar path's.
constexpr double kGeostationaryLimbShare = 1e-3;

// tan within a little over half a unit in the last place, so that it rounds
// as the C library's in all but rare arguments: the quotient of the sine and
// cosine kept as unrounded pairs, corrected by its exact remainder. The
// quadratic below cancels (4 g^2 against 4 qa (g^2 - 1), forty times its
// result), so a last place of a scan angle's tangent moves the point by tens
// of nanometres, on either path alike.
HWY_INLINE V Tan(V x) {
    V sh, sl, ch, cl;
    SinCosParts(x, sh, sl, ch, cl);
    const V q = sh / ch;
    const V p = q * ch;
    // sh - p is exact (p lies within a few units of sh). The pairs' second
    // parts carry the series' higher terms (a part in 1e7 of a small
    // angle's sine and cosine), so the remainder is divided by the whole
    // cosine.
    const V rem = ((sh - p) - ProductError(q, ch, p)) + (sl - q * cl);
    return q + rem / (ch + cl);
}

HWY_INLINE void GeostationaryInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const V h = C(k.geoH);
    const V tx = Tan(x / h), ty = Tan(y / h);
    V vy, vz;
    if (k.geoSweepX) {
        vz = ty;
        vy = tx * hn::Sqrt(C(1.0) + vz * vz);
    } else {
        vy = tx;
        vz = ty * hn::Sqrt(C(1.0) + vy * vy);
    }
    const V zs = vz / C(k.geoP);
    const V qa = vy * vy + zs * zs + C(1.0);
    const V qb = C(-2.0 * k.geoG);
    const V det = qb * qb - C(4.0) * qa * C(k.geoC);
    ok = hn::And(ok, hn::Ge(det, C(kGeostationaryLimbShare * 4.0)));
    const V kk = (hn::Neg(qb) - hn::Sqrt(hn::Max(det, hn::Zero(D())))) / (C(2.0) * qa);
    const V X = C(k.geoG) - kk, Y = vy * kk, Z = vz * kk;
    x = Atan2(Y, X);
    y = Atan(C(k.geoPinv2) * Z / hn::Sqrt(X * X + Y * Y));
}
