// Two vector kernels of ellipsoidal_azimuthal.cpp's kinds, several points at
// once as it takes them one by one. Krovak: the ellipsoid conformally onto Gauss's sphere, the
// sphere turned so that the cone's axis is its pole, the Lambert cone; the
// north-orientated forms negate both coordinates, and the modified forms add
// the Czech survey's fixed polynomial (reversed by the same fixed-point
// steps as the scalar routine takes). Lambert's azimuthal equal-area on the
// ellipsoid, inverse (its forward stays on the scalar path).
//
// Included by batch.cpp inside its per-target namespace, after its sine,
// cosine and the frame's helpers; nothing here is used elsewhere.

// The modified forms' correction about its evaluation point (southing X0,
// westing Y0), the same constants as the single-point routine's.
constexpr double kKrovakModX0 = 1089000.0, kKrovakModY0 = 654000.0;
constexpr double kKrovakModC[10] = {2.946529277E-02,  2.515965696E-02, 1.193845912E-07, -4.668270147E-07,
                                    9.233980362E-12,  1.523735715E-12, 1.696780024E-18, 4.408314235E-18,
                                    -8.331083518E-24, -3.689471323E-24};
// Each fixed-point step of the reverse gains six digits (the correction's
// slope is below 1e-6): the scalar routine's count.
constexpr int kKrovakModSteps = 6;
// Lanes whose point lies within this cosine of the cone's far pole (1 + sin
// T below it: 60 degrees of the turned sphere) are the scalar path's; the
// cone's power of a small quotient there magnifies the last places, and no
// grid of the method comes near.
constexpr double kKrovakFarSide = 0.5;
// The inverse's sine of the conformal sphere's latitude beyond which (71
// degrees) the isometric latitude's logarithm of a quotient near zero loses
// digits: the scalar path's.
constexpr double kKrovakSphereSine = 0.95;

// Beyond this longitude from the central meridian or latitude from the
// centre's (radians: 14 degrees, past the Czech and Slovak grids' far west,
// 12.7 degrees from Ferro's 42.5) the lanes are the scalar path's: there the
// cone's power and the turned sphere's arctangents, each a last place from
// the C library's, add up to more than a nanometre.
constexpr double kKrovakReach = 0.25;

// q^n as exp(n ln q), the product's rounding carried as a first-order
// correction, so that the power keeps the last places the C library's pow
// keeps (without it a cone radius of 1000 km moved by a nanometre). The
// quotient q is rounded as the scalar routine rounds it.
HWY_INLINE V Power(V q, V n) {
    const V L = Log(q);
    const V t = n * L;
    return Exp(t) * (C(1.0) + ProductError(n, L, t)); // n ln q = t + error
}

HWY_INLINE void KrovakCorrection(V X, V Y, V& dX, V& dY) {
    const V x = X - C(kKrovakModX0), y = Y - C(kKrovakModY0);
    const V x2 = x * x, y2 = y * y;
    const V r2 = x2 - y2, r3x = x * (x2 - C(3.0) * y2), r3y = y * (C(3.0) * x2 - y2);
    const V r4 = x2 * x2 + y2 * y2 - C(6.0) * x2 * y2, i4 = C(4.0) * x * y * r2;
    const double* c = kKrovakModC;
    dX = C(c[0]) + C(c[2]) * x - C(c[3]) * y - C(2.0 * c[5]) * x * y + C(c[4]) * r2 + C(c[6]) * r3x -
         C(c[7]) * r3y + C(c[8]) * i4 + C(c[9]) * r4;
    dY = C(c[1]) + C(c[2]) * y + C(c[3]) * x + C(2.0 * c[4]) * x * y + C(c[5]) * r2 + C(c[7]) * r3x +
         C(c[6]) * r3y - C(c[9]) * i4 + C(c[8]) * r4;
}

// (dlam, phi) -> westing and southing (or their negatives) at unit false origin.
HWY_INLINE void KrovakForward(const BatchConstants& k, V& x, V& y, M& ok) {
    ok = hn::And(ok, hn::Lt(hn::Abs(y), C(kHalfPi)));
    const V psi = IsometricLatitude(k, y);
    // The conformal sphere's latitude from its isometric one by one
    // exponential: sin U = tanh, cos U = sech.
    const V q = C(k.kvHalfLnC) + C(k.kvB) * psi;
    ok = hn::And(ok, hn::Lt(hn::Abs(q), C(kExpLimit)));
    const V E = Exp(hn::Neg(hn::Abs(q))), E2 = E * E;
    const V sU = hn::CopySign((C(1.0) - E2) / (C(1.0) + E2), q), cU = C(2.0) * E / (C(1.0) + E2);
    V sV, cV;
    SinCos(C(-k.kvB) * x, sV, cV);
    const V sa = C(k.kvSinA), ca = C(k.kvCosA);
    // The point in the frame whose pole is the cone's axis.
    const V zr = ca * sU + sa * cU * cV;
    const V xr = ca * cU * cV - sa * sU;
    const V yr = cU * sV;
    const V cosT = hn::Sqrt(xr * xr + yr * yr);
    const V onePlus = C(1.0) + zr;
    ok = hn::And(ok, hn::And(hn::Gt(onePlus, C(kKrovakFarSide)), hn::Gt(cosT, hn::Zero(D()))));
    // Behind the cone's axis (xr <= 0) atan2 meets its cut, where a signed
    // zero decides a half turn; and far from the central meridian the
    // cone's power magnifies the logarithm's last places: both the scalar path's.
    ok = hn::And(ok, hn::And(hn::Gt(xr, hn::Zero(D())), hn::Le(hn::Abs(x), C(kKrovakReach))));
    ok = hn::And(ok, hn::Le(hn::Abs(y - C(k.kvPhi0)), C(kKrovakReach)));
    const V dir = Atan2(yr, xr);
    const V r = C(k.kvRho) * Power(cosT / onePlus, C(k.kvConeN));
    V st, ct;
    SinCos(C(k.kvConeN) * dir, st, ct);
    x = r * st;
    y = r * ct;
    if (k.kvModified) {
        V dX, dY;
        KrovakCorrection(y, x, dX, dY);
        x = x - dY;
        y = y - dX;
    }
    if (k.kvNorth) {
        x = hn::Neg(x);
        y = hn::Neg(y);
    }
}

HWY_INLINE void KrovakInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    if (k.kvNorth) {
        x = hn::Neg(x);
        y = hn::Neg(y);
    }
    V Y = x, X = y;
    if (k.kvModified) {
        const V south = X, west = Y;
        for (int i = 0; i < kKrovakModSteps; ++i) {
            V dX, dY;
            KrovakCorrection(X, Y, dX, dY);
            X = south + dX;
            Y = west + dY;
        }
    }
    const V r = hn::Sqrt(X * X + Y * Y);
    ok = hn::And(ok, hn::Gt(r, hn::Zero(D())));
    const V dir = Atan2(Y, X) / C(k.kvConeN);
    const V T = C(2.0) * Atan(Power(C(k.kvRho) / r, C(1.0 / k.kvConeN))) - C(kHalfPi);
    V sT, cT, sD, cD;
    SinCos(T, sT, cT);
    SinCos(dir, sD, cD);
    const V sa = C(k.kvSinA), ca = C(k.kvCosA);
    const V sU = ca * sT - sa * cT * cD;
    const V xb = sa * sT + ca * cT * cD;
    const V yb = cT * sD;
    const V s = sU / hn::Sqrt(sU * sU + (xb * xb + yb * yb));
    ok = hn::And(ok, hn::Lt(hn::Abs(s), C(kKrovakSphereSine)));
    // atanh(s) as half the logarithm of (1 + s) / (1 - s).
    const V psi = (C(0.5) * Log((C(1.0) + s) / (C(1.0) - s)) - C(k.kvHalfLnC)) / C(k.kvB);
    x = hn::Neg(Atan2(yb, xb)) / C(k.kvB);
    y = SineSeries(Atan(Sinh(psi)), k.K);
    ok = hn::And(
        ok, hn::And(hn::Le(hn::Abs(x), C(kKrovakReach)), hn::Le(hn::Abs(y - C(k.kvPhi0)), C(kKrovakReach))));
}

// Lambert's azimuthal equal-area on the ellipsoid, inverse, about an oblique
// or equatorial origin (a polar one is the scalar path's): the authalic
// sphere's angle C from the centre as the sine and cosine of 2 asin(rho /
// 2 Rq) without the angle, the authalic latitude, and back to the geodetic
// by its Clenshaw series. The centre itself and the rim (the antipode,
// where the direction is lost) are the scalar path's.
constexpr double kAzimuthalRimShare = 0.999;

HWY_INLINE void EqualAreaAzimuthInverse(const BatchConstants& k, V& x, V& y, M& ok) {
    const V xd = x / C(k.laD), yd = y * C(k.laD);
    const V rho = hn::Sqrt(xd * xd + yd * yd);
    const V h = rho / C(2.0 * k.laRq);
    ok = hn::And(ok, hn::And(hn::Gt(rho, hn::Zero(D())), hn::Lt(h, C(kAzimuthalRimShare))));
    const V omh2 = (C(1.0) - h) * (C(1.0) + h);
    const V sC = C(2.0) * h * hn::Sqrt(omh2), cC = omh2 - h * h;
    const V sb0 = C(k.laSinB0), cb0 = C(k.laCosB0);
    const V sinb = hn::Min(hn::Max(cC * sb0 + yd * sC * cb0 / rho, C(-1.0)), C(1.0));
    x = Atan2(xd * sC, rho * cb0 * cC - yd * sb0 * sC);
    const V cosb = hn::Sqrt((C(1.0) - sinb) * (C(1.0) + sinb));
    // The authalic latitude back to the geodetic, the scalar routine's sum.
    const V s2 = C(2.0) * sinb * cosb, t = C(2.0) * (cosb - sinb) * (cosb + sinb);
    V b1 = hn::Zero(D()), b2 = hn::Zero(D());
    for (int j = 5; j >= 0; --j) {
        const V b = C(k.eeXi[j]) + t * b1 - b2;
        b2 = b1;
        b1 = b;
    }
    y = hn::Min(hn::Max(Atan2(sinb, cosb) + s2 * b1, C(-kHalfPi)), C(kHalfPi));
}
