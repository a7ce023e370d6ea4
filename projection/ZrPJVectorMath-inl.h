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

// atan2 from the vector arctangent of the smaller over the larger magnitude,
// folded into its quadrant. (0, 0) gives NaN, which the callers' finiteness
// tests send to the scalar path.
HWY_INLINE V Atan2(V y, V x) {
    const D d;
    constexpr double kPi = 3.14159265358979323846;
    const V ax = hn::Abs(x), ay = hn::Abs(y);
    const M swap = hn::Gt(ay, ax);
    const V num = hn::IfThenElse(swap, ax, ay), den = hn::IfThenElse(swap, ay, ax);
    V r = hn::Atan(d, hn::Div(num, den));
    r = hn::IfThenElse(swap, hn::Sub(C(kPi / 2.0), r), r);
    r = hn::IfThenElse(hn::Lt(x, hn::Zero(d)), hn::Sub(C(kPi), r), r);
    return hn::CopySign(r, y);
}

} // namespace HWY_NAMESPACE
} // namespace zrpj
HWY_AFTER_NAMESPACE();

#endif
