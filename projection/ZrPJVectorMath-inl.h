// Vector helpers shared by the kernels of the array paths (projections and
// the datum shift), compiled once per instruction set: include it inside a
// Highway target region, after <hwy/highway.h> and the math header.
#if defined(ZRPJ_VECTOR_MATH_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef ZRPJ_VECTOR_MATH_INL_H_
#undef ZRPJ_VECTOR_MATH_INL_H_
#else
#define ZRPJ_VECTOR_MATH_INL_H_
#endif

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include <limits>

#ifndef ZRPJ_VECTOR_MATH_TABLES_
#define ZRPJ_VECTOR_MATH_TABLES_
namespace zrpj {
namespace vector_tables {
// atan(i/16) for i = 0 .. 16 and 2^(j/64) for j = 0 .. 63, each as the
// rounded double and the remainder, so that a table value carries 106 bits.
alignas(64) constexpr double kAtanHigh[17] = {0x0.0p+0, 0x1.ff55bb72cfdeap-5, 0x1.fd5ba9aac2f6ep-4, 0x1.7b97b4bce5b02p-3, 0x1.f5b75f92c80ddp-3, 0x1.362773707ebccp-2, 0x1.6f61941e4def1p-2, 0x1.a64eec3cc23fdp-2, 0x1.dac670561bb4fp-2, 0x1.0657e94db30d0p-1, 0x1.1e00babdefeb4p-1, 0x1.345f01cce37bbp-1, 0x1.4978fa3269ee1p-1, 0x1.5d58987169b18p-1, 0x1.700a7c5784634p-1, 0x1.819d0b7158a4dp-1, 0x1.921fb54442d18p-1};
alignas(64) constexpr double kAtanLow[17] = {0x0.0p+0, -0x1.c934d86d23f1dp-60, -0x1.cd37686760c17p-59, 0x1.347b0b4f881cap-58, 0x1.8ab6e3cf7afbdp-57, -0x1.963a544b672d8p-57, -0x1.c63aae6f6e918p-56, -0x1.24dec1b50b7ffp-56, 0x1.a2b7f222f65e2p-56, -0x1.d5b495f6349e6p-56, -0x1.928df287a668fp-58, 0x1.1021137c71102p-55, 0x1.2419a87f2a458p-56, 0x1.0028e4bc5e7cap-57, -0x1.8c34d25aadef6p-56, -0x1.bf76229d3b917p-56, 0x1.1a62633145c07p-55};
alignas(64) constexpr double kExp2High[64] = {0x1.0000000000000p+0, 0x1.02c9a3e778061p+0, 0x1.059b0d3158574p+0, 0x1.0874518759bc8p+0, 0x1.0b5586cf9890fp+0, 0x1.0e3ec32d3d1a2p+0, 0x1.11301d0125b51p+0, 0x1.1429aaea92de0p+0, 0x1.172b83c7d517bp+0, 0x1.1a35beb6fcb75p+0, 0x1.1d4873168b9aap+0, 0x1.2063b88628cd6p+0, 0x1.2387a6e756238p+0, 0x1.26b4565e27cddp+0, 0x1.29e9df51fdee1p+0, 0x1.2d285a6e4030bp+0, 0x1.306fe0a31b715p+0, 0x1.33c08b26416ffp+0, 0x1.371a7373aa9cbp+0, 0x1.3a7db34e59ff7p+0, 0x1.3dea64c123422p+0, 0x1.4160a21f72e2ap+0, 0x1.44e086061892dp+0, 0x1.486a2b5c13cd0p+0, 0x1.4bfdad5362a27p+0, 0x1.4f9b2769d2ca7p+0, 0x1.5342b569d4f82p+0, 0x1.56f4736b527dap+0, 0x1.5ab07dd485429p+0, 0x1.5e76f15ad2148p+0, 0x1.6247eb03a5585p+0, 0x1.6623882552225p+0, 0x1.6a09e667f3bcdp+0, 0x1.6dfb23c651a2fp+0, 0x1.71f75e8ec5f74p+0, 0x1.75feb564267c9p+0, 0x1.7a11473eb0187p+0, 0x1.7e2f336cf4e62p+0, 0x1.82589994cce13p+0, 0x1.868d99b4492edp+0, 0x1.8ace5422aa0dbp+0, 0x1.8f1ae99157736p+0, 0x1.93737b0cdc5e5p+0, 0x1.97d829fde4e50p+0, 0x1.9c49182a3f090p+0, 0x1.a0c667b5de565p+0, 0x1.a5503b23e255dp+0, 0x1.a9e6b5579fdbfp+0, 0x1.ae89f995ad3adp+0, 0x1.b33a2b84f15fbp+0, 0x1.b7f76f2fb5e47p+0, 0x1.bcc1e904bc1d2p+0, 0x1.c199bdd85529cp+0, 0x1.c67f12e57d14bp+0, 0x1.cb720dcef9069p+0, 0x1.d072d4a07897cp+0, 0x1.d5818dcfba487p+0, 0x1.da9e603db3285p+0, 0x1.dfc97337b9b5fp+0, 0x1.e502ee78b3ff6p+0, 0x1.ea4afa2a490dap+0, 0x1.efa1bee615a27p+0, 0x1.f50765b6e4540p+0, 0x1.fa7c1819e90d8p+0};
alignas(64) constexpr double kExp2Low[64] = {0x0.0p+0, -0x1.19083535b085dp-56, 0x1.d73e2a475b465p-55, 0x1.186be4bb284ffp-57, 0x1.8a62e4adc610bp-54, 0x1.03a1727c57b53p-59, -0x1.6c51039449b3ap-54, -0x1.32fbf9af1369ep-54, -0x1.19041b9d78a76p-55, 0x1.e5b4c7b4968e4p-55, 0x1.e016e00a2643cp-54, 0x1.dc775814a8495p-55, 0x1.9b07eb6c70573p-54, 0x1.2bd339940e9d9p-55, 0x1.612e8afad1255p-55, 0x1.0024754db41d5p-54, 0x1.6f46ad23182e4p-55, 0x1.32721843659a6p-54, -0x1.63aeabf42eae2p-54, -0x1.5e436d661f5e3p-56, 0x1.ada0911f09ebcp-55, -0x1.ef3691c309278p-58, 0x1.89b7a04ef80d0p-59, 0x1.3c1a3b69062f0p-56, 0x1.d4397afec42e2p-56, -0x1.4b309d25957e3p-54, -0x1.07abe1db13cadp-55, 0x1.9bb2c011d93adp-54, 0x1.6324c054647adp-54, 0x1.ba6f93080e65ep-54, -0x1.383c17e40b497p-54, -0x1.bb60987591c34p-54, -0x1.bdd3413b26456p-54, -0x1.bbe3a683c88abp-57, -0x1.16e4786887a99p-55, -0x1.0245957316dd3p-54, -0x1.41577ee04992fp-55, 0x1.05d02ba15797ep-56, -0x1.d4c1dd41532d8p-54, -0x1.fc6f89bd4f6bap-54, 0x1.6e9f156864b27p-54, 0x1.5cc13a2e3976cp-55, -0x1.75fc781b57ebcp-57, -0x1.d185b7c1b85d1p-54, 0x1.c7c46b071f2bep-56, -0x1.359495d1cd533p-54, -0x1.d2f6edb8d41e1p-54, 0x1.0fac90ef7fd31p-54, 0x1.7a1cd345dcc81p-54, -0x1.2805e3084d708p-57, -0x1.5584f7e54ac3bp-56, 0x1.23dd07a2d9e84p-55, 0x1.11065895048ddp-55, 0x1.2884dff483cadp-54, 0x1.503cbd1e949dbp-56, -0x1.cbc3743797a9cp-54, 0x1.2ed02d75b3707p-55, 0x1.c2300696db532p-54, -0x1.1a5cd4f184b5cp-54, 0x1.39e8980a9cc8fp-55, -0x1.e9c23179c2893p-54, 0x1.dc7f486a4b6b0p-54, 0x1.9d3e12dd8a18bp-54, 0x1.74853f3a5931ep-55};
} // namespace vector_tables
} // namespace zrpj
#endif

HWY_BEFORE_NAMESPACE();
namespace zrpj {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D = hn::ScalableTag<double>;
using V = hn::Vec<D>;
using M = decltype(hn::MaskFromVec(hn::Zero(D())));

HWY_INLINE V C(double v) {
    return hn::Set(D(), v);
}

HWY_INLINE M Finite(V v) {
    return hn::Lt(hn::Abs(v), C(std::numeric_limits<double>::infinity()));
}

// ---- Arctangent, arcsine and exponential near correct rounding ----
// The scalar path calls the C library's atan2, atan, asin and exp, which round
// correctly in all but rare cases. Highway's are one or two units in the last
// place off in a few per cent of arguments, and a cone's radius, a longitude
// of a half turn or 2 atan(exp t) - pi/2 carries that into the result as
// several last places (14 nm or 5e-14 degrees over the baseline's grids). The
// functions below keep about 100 bits until the final addition, so that they
// round as the C library does except where the exact value lies within
// about 2^-20 units in the last place of a rounding boundary.

// The rounding error of a * b = p, exactly: fused where the target has it,
// else Dekker's product of Veltkamp's halves.
HWY_INLINE V ProductError(V a, V b, V p) {
#if HWY_NATIVE_FMA
    return hn::MulSub(a, b, p);
#else
    const V split = C(134217729.0); // 2^27 + 1
    V t = a * split;
    const V ah = t - (t - a), al = a - ah;
    t = b * split;
    const V bh = t - (t - b), bl = b - bh;
    return ((ah * bh - p) + ah * bl + al * bh) + al * bl;
#endif
}

// s + e = a + b exactly (Knuth's sum, any order of magnitude).
HWY_INLINE void TwoSum(V a, V b, V& s, V& e) {
    s = a + b;
    const V bb = s - a;
    e = (a - (s - bb)) + (b - bb);
}

// The same where |a| >= |b| or a is zero (Dekker's).
HWY_INLINE void FastTwoSum(V a, V b, V& s, V& e) {
    s = a + b;
    e = b - (s - a);
}

// (qh + ql) = (ah + al) / (bh + bl) to about 100 bits: the remainder of the
// first quotient is exact and the second corrects it.
HWY_INLINE void DivideDD(V ah, V al, V bh, V bl, V& qh, V& ql) {
    qh = ah / bh;
    const V p = qh * bh;
    const V remainder = ((ah - p) - ProductError(qh, bh, p)) + al - qh * bl;
    ql = remainder / bh;
}

// atan(qh + ql) for 0 <= qh <= 1 as a pair: the nearest sixteenth c takes
// its tabulated arctangent, and the rest is atan u, u = (q - c) / (1 + q c)
// with |u| <= 1/32, whose odd series to u^13 leaves under 2^-63 of it.
HWY_INLINE void AtanReduced(V qh, V ql, V& sh, V& sl) {
    const D d;
    const hn::RebindToSigned<D> di;
    V i = hn::Round(qh * C(16.0));
    i = hn::IfThenElseZero(hn::Le(i, C(16.0)), i); // NaN reads entry 0
    const auto index = hn::ConvertTo(di, i);
    const V ah = hn::GatherIndex(d, vector_tables::kAtanHigh, index);
    const V al = hn::GatherIndex(d, vector_tables::kAtanLow, index);
    const V c = i * C(1.0 / 16.0);
    // q - c is exact (c is a multiple of 1/16 within 1/32 of q); 1 + q c is
    // kept as a pair.
    V nh, nl;
    TwoSum(qh - c, ql, nh, nl);
    const V p = qh * c;
    V dh, dl;
    FastTwoSum(C(1.0), p, dh, dl);
    dl = dl + (ProductError(qh, c, p) + ql * c);
    V uh, ul;
    DivideDD(nh, nl, dh, dl, uh, ul);
    const V z = uh * uh;
    V poly = C(1.0 / 13.0);
    poly = hn::MulAdd(poly, z, C(-1.0 / 11.0));
    poly = hn::MulAdd(poly, z, C(1.0 / 9.0));
    poly = hn::MulAdd(poly, z, C(-1.0 / 7.0));
    poly = hn::MulAdd(poly, z, C(1.0 / 5.0));
    poly = hn::MulAdd(poly, z, C(-1.0 / 3.0));
    V e;
    FastTwoSum(ah, uh, sh, e);
    sl = e + (al + (ul + uh * z * poly));
    FastTwoSum(sh, sl, sh, sl);
}

constexpr double kHalfPiHi = 1.5707963267948966;   // pi/2 rounded
constexpr double kHalfPiLo = 6.123233995736766e-17; // and the remainder
constexpr double kPiHi = 3.141592653589793;
constexpr double kPiLo = 1.2246467991473532e-16;

// (h + l) - (sh + sl) as a normalised pair.
HWY_INLINE void SubtractDD(V h, V l, V& sh, V& sl) {
    V s, e;
    TwoSum(h, hn::Neg(sh), s, e);
    FastTwoSum(s, e + (l - sl), sh, sl);
}

// atan of (nh + nl) / (dh + dl) for a non-negative numerator and
// denominator, as a pair in [0, pi/2]: the smaller over the larger, folded.
HWY_INLINE void AtanOfQuotient(V nh, V nl, V dh, V dl, V& sh, V& sl) {
    const M swap = hn::Gt(nh, dh);
    V qh, ql;
    DivideDD(hn::IfThenElse(swap, dh, nh), hn::IfThenElse(swap, dl, nl), hn::IfThenElse(swap, nh, dh),
             hn::IfThenElse(swap, nl, dl), qh, ql);
    AtanReduced(qh, ql, sh, sl);
    V fh = sh, fl = sl;
    SubtractDD(C(kHalfPiHi), C(kHalfPiLo), fh, fl);
    sh = hn::IfThenElse(swap, fh, sh);
    sl = hn::IfThenElse(swap, fl, sl);
}

// atan2(y, x), folded into its quadrant. (0, 0) gives NaN, which the callers'
// finiteness tests send to the scalar path.
HWY_INLINE V Atan2(V y, V x) {
    const D d;
    V sh, sl;
    AtanOfQuotient(hn::Abs(y), hn::Zero(d), hn::Abs(x), hn::Zero(d), sh, sl);
    V fh = sh, fl = sl;
    SubtractDD(C(kPiHi), C(kPiLo), fh, fl);
    const M west = hn::Lt(x, hn::Zero(d));
    return hn::CopySign(hn::IfThenElse(west, fh + fl, sh + sl), y);
}

// atan(x); beyond 1 as pi/2 - atan(1/x), the reciprocal kept as a pair.
HWY_INLINE V Atan(V x) {
    const D d;
    const V ax = hn::Abs(x);
    V sh, sl;
    AtanOfQuotient(ax, hn::Zero(d), C(1.0), hn::Zero(d), sh, sl);
    // An infinite argument: 1/x is 0 and its remainder NaN; the answer pi/2.
    sh = hn::IfThenElse(Finite(ax), sh + sl, C(kHalfPiHi));
    return hn::CopySign(sh, x);
}

// asin(v) = atan(v / sqrt(1 - v^2)) for |v| <= 1, the root of the pair
// 1 - v^2 (exact) corrected by one Newton step; beyond, NaN.
HWY_INLINE V Asin(V v) {
    const D d;
    const V av = hn::Abs(v);
    const V p = av * av;
    V wh, wl;
    TwoSum(C(1.0), hn::Neg(p), wh, wl);
    wl = wl - ProductError(av, av, p);
    const V rh = hn::Sqrt(wh);
    const V square = rh * rh;
    const V rl = hn::IfThenElseZero(hn::Gt(rh, hn::Zero(d)),
                                    ((wh - square) - ProductError(rh, rh, square) + wl) / (C(2.0) * rh));
    V sh, sl;
    AtanOfQuotient(av, hn::Zero(d), rh, rl, sh, sl);
    return hn::CopySign(sh + sl, v);
}

// exp(x) for |x| < 708 (NaN beyond, and for NaN): x = (64 m + j) ln2/64 + r
// with |r| <= ln2/128, the reduction by Cody and Waite's two-part constant
// (its leading part has 36 bits, so that n times it is exact), 2^(j/64) from
// the table as a pair, and exp r - 1 by its Taylor series to r^6, whose
// omitted terms are below 2^-64.
constexpr double kExpRange = 708.0;
HWY_INLINE V Exp(V x) {
    const D d;
    const hn::RebindToSigned<D> di;
    const M inRange = hn::Lt(hn::Abs(x), C(kExpRange));
    const V xs = hn::IfThenElseZero(inRange, x);
    const V n = hn::Round(xs * C(92.33248261689366)); // 64 / ln 2
    const V r0 = hn::NegMulAdd(n, C(0x1.62e42fefa0000p-7), xs);
    const V t = n * C(0x1.cf79abc9e3b3ap-46);
    const V rh = r0 - t;
    const V rl = (r0 - rh) - t;
    const V m = hn::Floor(n * C(1.0 / 64.0));
    const auto j = hn::ConvertTo(di, n - C(64.0) * m);
    const V th = hn::GatherIndex(d, vector_tables::kExp2High, j);
    const V tl = hn::GatherIndex(d, vector_tables::kExp2Low, j);
    V q = C(1.0 / 720.0);
    q = hn::MulAdd(q, rh, C(1.0 / 120.0));
    q = hn::MulAdd(q, rh, C(1.0 / 24.0));
    q = hn::MulAdd(q, rh, C(1.0 / 6.0));
    q = hn::MulAdd(q, rh, C(0.5));
    const V expm1 = rh + (rl + rh * rh * q);
    const V mantissa = th + (tl + th * expm1);
    const auto scaled = hn::BitCast(di, mantissa) + hn::ShiftLeft<52>(hn::ConvertTo(di, m));
    return hn::IfThenElse(inRange, hn::BitCast(d, scaled), C(std::numeric_limits<double>::quiet_NaN()));
}

} // namespace HWY_NAMESPACE
} // namespace zrpj
HWY_AFTER_NAMESPACE();

#endif
