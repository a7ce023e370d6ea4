// The datum shift over columns, with a vector kernel for the geocentric
// methods of 2-D points: geodetic to geocentric, translation or the
// seven-parameter similarity, and Bowring's step back, several points to a
// register (the instruction set chosen at run time, as for the projections).
// Every lane the kernel does not finish (outside the clamp's range, on the
// polar axis, not a number) is shifted by ZrShiftDatum itself.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "transform/shift_columns.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "projection/ZrPJBatch_p.h"
#include "projection/ZrPJVectorMath-inl.h"
#include "transform/ZrShiftColumns.h"

#ifndef ZRPJ_SHIFT_COLUMNS_ONCE
#define ZRPJ_SHIFT_COLUMNS_ONCE
namespace zrpj {
// What the kernel reads: both ellipsoids and the signed parameters of the
// direction in hand.
struct ShiftConstants {
    bool similarity = false; // else the translation
    bool forward = true;
    double aFrom = 0.0, esFrom = 0.0;
    double aTo = 0.0, bTo = 0.0, esTo = 0.0, ep2To = 0.0;
    double dx = 0.0, dy = 0.0, dz = 0.0; // signed for the direction
    double rx = 0.0, ry = 0.0, rz = 0.0; // in the coordinate-frame sense
    double k = 1.0;                      // 1 + scale forward, 1 - scale backward
};
} // namespace zrpj
#endif

HWY_BEFORE_NAMESPACE();
namespace zrpj {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// The scalar shift's operations in its order, for a lane inside the clamp's
// range and off the polar axis.
void ShiftBlock(const ShiftConstants& k, double* px, double* py, double* done, std::size_t count) {
    const D d;
    constexpr double kDegToRad = 0.017453292519943295, kRadToDeg = 57.29577951308232;
    const std::size_t N = hn::Lanes(d);
    for (std::size_t i = 0; i < count; i += N) {
        const V lon = hn::LoadU(d, px + i), lat = hn::LoadU(d, py + i);
        // The 2-D shift clamps to [-180, 180) x [-90, 90); a point it would
        // move (or a non-number) is the scalar path's.
        M ok = hn::And(hn::And(hn::Ge(lon, C(-180.0)), hn::Lt(lon, C(180.0))),
                       hn::And(hn::Ge(lat, C(-90.0)), hn::Lt(lat, C(90.0))));
        const V lam = lon * C(kDegToRad), phi = lat * C(kDegToRad);
        const V sphi = hn::Sin(d, phi), cphi = hn::Cos(d, phi);
        const V n = C(k.aFrom) / hn::Sqrt(C(1.0) - C(k.esFrom) * sphi * sphi);
        const V px0 = n * cphi * hn::Cos(d, lam);
        const V py0 = n * cphi * hn::Sin(d, lam);
        const V pz0 = n * C(1.0 - k.esFrom) * sphi;
        V qx, qy, qz;
        if (!k.similarity) {
            qx = px0 + C(k.dx);
            qy = py0 + C(k.dy);
            qz = pz0 + C(k.dz);
        } else if (k.forward) {
            qx = C(k.k) * (px0 + C(k.rz) * py0 - C(k.ry) * pz0) + C(k.dx);
            qy = C(k.k) * (C(-k.rz) * px0 + py0 + C(k.rx) * pz0) + C(k.dy);
            qz = C(k.k) * (C(k.ry) * px0 - C(k.rx) * py0 + pz0) + C(k.dz);
        } else {
            qx = C(k.k) * (px0 - C(k.rz) * py0 + C(k.ry) * pz0) - C(k.dx);
            qy = C(k.k) * (C(k.rz) * px0 + py0 - C(k.rx) * pz0) - C(k.dy);
            qz = C(k.k) * (C(-k.ry) * px0 + C(k.rx) * py0 + pz0) - C(k.dz);
        }
        // Bowring's single step on the destination ellipsoid.
        const V p = hn::Sqrt(qx * qx + qy * qy);
        ok = hn::And(ok, hn::Gt(p, hn::Zero(d)));
        const V t = qz * C(k.aTo) / (p * C(k.bTo));
        const V c = hn::Sqrt(t * t + C(1.0));
        const V st = t / c, ct = C(1.0) / c;
        const V phiOut =
            Atan2(qz + C(k.ep2To) * C(k.bTo) * st * st * st, p - C(k.esTo) * C(k.aTo) * ct * ct * ct);
        const V lamOut = Atan2(qy, qx);
        const V lonOut = lamOut * C(kRadToDeg), latOut = phiOut * C(kRadToDeg);
        ok = hn::And(ok, hn::And(Finite(lonOut), Finite(latOut)));
        hn::StoreU(lonOut, d, px + i);
        hn::StoreU(latOut, d, py + i);
        hn::StoreU(hn::IfThenElseZero(ok, C(1.0)), d, done + i);
    }
}

} // namespace HWY_NAMESPACE
} // namespace zrpj
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include "model/ZrPJTypes.h"

#include <algorithm>

namespace zrpj {
HWY_EXPORT(ShiftBlock);

namespace {
inline double& Column(double* base, std::size_t stride, long i) {
    return *reinterpret_cast<double*>(reinterpret_cast<char*>(base) + stride * static_cast<std::size_t>(i));
}

bool IsSimilarityMethod(long method) {
    return method == PJTM_POSITION_VECTOR || method == PJTM_POSITION_VECTOR_ALT ||
           method == PJTM_COORDINATE_FRAME || method == PJTM_COORDINATE_FRAME_ALT;
}

// The kernel's constants for the 2-D shift in one direction; false where the
// kernel does not apply (another method, a prime meridian other than Greenwich).
bool FillShift(const ZrDatumShift& s, int forward, ShiftConstants& k) {
    if (!BatchEnabled() || s.pmSrc != 0.0 || s.pmDes != 0.0) return false;
    k.similarity = IsSimilarityMethod(s.method);
    if (!k.similarity && s.method != PJTM_GEOCENTRIC_TRANSLATION) return false;
    k.forward = forward != 0;
    k.aFrom = forward ? s.aSrc : s.aDes;
    k.esFrom = forward ? s.esSrc : s.esDes;
    k.aTo = forward ? s.aDes : s.aSrc;
    const double fTo = forward ? s.fDes : s.fSrc;
    k.esTo = forward ? s.esDes : s.esSrc;
    k.bTo = k.aTo * (1.0 - fTo);
    k.ep2To = k.esTo / (1.0 - k.esTo);
    if (!k.similarity) {
        const double sign = forward ? 1.0 : -1.0;
        k.dx = sign * s.dx;
        k.dy = sign * s.dy;
        k.dz = sign * s.dz;
        return true;
    }
    const double sign =
        (s.method == PJTM_POSITION_VECTOR || s.method == PJTM_POSITION_VECTOR_ALT) ? -1.0 : 1.0;
    k.rx = sign * s.rx;
    k.ry = sign * s.ry;
    k.rz = sign * s.rz;
    k.dx = s.dx;
    k.dy = s.dy;
    k.dz = s.dz;
    k.k = forward ? 1.0 + s.scale : 1.0 - s.scale;
    return true;
}
} // namespace
} // namespace zrpj

void ZrShiftDatumColumns(const ZrDatumShift& shift, double* x, std::size_t sx, double* y, std::size_t sy,
                         double* z, std::size_t sz, long count, int forward) {
    using namespace zrpj;
    if (!x || !y || count <= 0) return;
    auto scalar = [&](long i) {
        double& px = Column(x, sx, i);
        double& py = Column(y, sy, i);
        if (z) {
            CPoint3D p(px, py, Column(z, sz, i));
            ZrShiftDatum(shift, p, forward);
            px = p.x;
            py = p.y;
            Column(z, sz, i) = p.z;
        } else {
            CPoint2D p(px, py);
            ZrShiftDatum(shift, p, forward);
            px = p.x;
            py = p.y;
        }
    };
    ShiftConstants k;
    if (z || !FillShift(shift, forward, k)) {
        for (long i = 0; i < count; ++i)
            scalar(i);
        return;
    }
    alignas(64) double bx[kBatchBlock], by[kBatchBlock], done[kBatchBlock];
    for (long start = 0; start < count; start += static_cast<long>(kBatchBlock)) {
        const std::size_t n = static_cast<std::size_t>(std::min<long>(kBatchBlock, count - start));
        for (std::size_t j = 0; j < n; ++j) {
            bx[j] = Column(x, sx, start + static_cast<long>(j));
            by[j] = Column(y, sy, start + static_cast<long>(j));
        }
        for (std::size_t j = n; j < kBatchBlock; ++j)
            bx[j] = by[j] = 0.0;
        HWY_DYNAMIC_DISPATCH(ShiftBlock)(k, bx, by, done, n);
        for (std::size_t j = 0; j < n; ++j) {
            const long i = start + static_cast<long>(j);
            if (done[j] != 0.0) {
                Column(x, sx, i) = bx[j];
                Column(y, sy, i) = by[j];
            } else {
                scalar(i);
            }
        }
    }
}
#endif // HWY_ONCE
