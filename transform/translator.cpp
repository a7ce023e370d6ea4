// The translator: route choice, the cached constants of the datum shift and
// the conversion of point arrays along the chosen route.
#include "transform/ZrPJTranslator.h"

#include <type_traits>

namespace {
bool IsUnprojected(const CZrPJCoordSys& cs) {
    return cs.GetProjection().GetType() == PJ_KIND_NO_PROJECTION;
}
} // namespace

CZrPJTranslator::CZrPJTranslator()
    : m_nMethod(PJTM_COORDINATE_FRAME), m_nRoute(ROUTE_XY2XY), m_bValid(0), m_bDatumShift(0) {}

CZrPJTranslator::CZrPJTranslator(const CZrPJTranslator& other) : CZrPJTranslator() {
    CopyFrom(other);
}

CZrPJTranslator::~CZrPJTranslator() = default;

void CZrPJTranslator::operator=(const CZrPJTranslator& other) {
    CopyFrom(other);
}

void CZrPJTranslator::CopyFrom(const CZrPJTranslator& other) {
    if (&other == this) return;
    m_bValid = 0;
    m_PJParams = other.m_PJParams;
    m_PJCoordSysSrc = other.m_PJCoordSysSrc;
    m_PJCoordSysDes = other.m_PJCoordSysDes;
    m_nMethod = other.m_nMethod;
    m_nRoute = other.m_nRoute;
    Create();
}

int CZrPJTranslator::operator==(const CZrPJTranslator& other) const {
    return (m_PJParams == other.m_PJParams) && (m_PJCoordSysSrc == other.m_PJCoordSysSrc) &&
                   (m_PJCoordSysDes == other.m_PJCoordSysDes) && m_nMethod == other.m_nMethod &&
                   m_nRoute == other.m_nRoute
               ? 1
               : 0;
}

int CZrPJTranslator::SetPJCoordSysSrc(const CZrPJCoordSys& src) {
    if (!src.IsValid()) return 0;
    m_PJCoordSysSrc = src;
    return Create();
}

int CZrPJTranslator::SetPJCoordSysDes(const CZrPJCoordSys& des) {
    if (!des.IsValid()) return 0;
    m_PJCoordSysDes = des;
    return Create();
}

int CZrPJTranslator::Set(const CZrPJCoordSys& src, const CZrPJCoordSys& des) {
    if (!src.IsValid() || !des.IsValid()) return 0;
    m_PJCoordSysSrc = src;
    m_PJCoordSysDes = des;
    return Create();
}

int CZrPJTranslator::SetMethod(tagPJTransMethod method) {
    m_nMethod = method;
    return Create();
}

int CZrPJTranslator::SetParams(const CZrPJParams& params) {
    m_PJParams = params;
    return Create();
}

void CZrPJTranslator::SetInverseGeoParam(const CZrPJParams& params) {
    m_PJParams.TranslationX = -params.TranslationX;
    m_PJParams.TranslationY = -params.TranslationY;
    m_PJParams.TranslationZ = -params.TranslationZ;
    if (m_nMethod != PJTM_GEOCENTRIC_TRANSLATION && m_nMethod != PJTM_MOLODENSKY &&
        m_nMethod != PJTM_ABRIDGED_MOLODENSKY) {
        m_PJParams.RotationX = -params.RotationX;
        m_PJParams.RotationY = -params.RotationY;
        m_PJParams.RotationZ = -params.RotationZ;
        m_PJParams.ScaleDifference = -params.ScaleDifference;
    }
    // The rotations are cached too: refreshing the whole cache here keeps the
    // negated set consistent. Leaving the old rotations in place until the
    // next Create would apply a mixture of the forward and inverse shifts.
    CacheShiftValues();
}

void CZrPJTranslator::CacheShiftValues() {
    m_shift.method = m_nMethod;
    m_shift.dx = m_PJParams.TranslationX;
    m_shift.dy = m_PJParams.TranslationY;
    m_shift.dz = m_PJParams.TranslationZ;
    m_shift.rx = m_PJParams.RotationX * kZrArcSecond;
    m_shift.ry = m_PJParams.RotationY * kZrArcSecond;
    m_shift.rz = m_PJParams.RotationZ * kZrArcSecond;
    m_shift.scale = m_PJParams.ScaleDifference * 1e-6;
}

int CZrPJTranslator::Create() {
    m_bValid = 0;
    m_bDatumShift = 0;
    if (!(m_PJCoordSysSrc == m_PJCoordSysDes) && m_PJCoordSysDes.IsValid() && m_PJCoordSysSrc.IsValid()) {
        const bool srcUnprojected = IsUnprojected(m_PJCoordSysSrc);
        const bool desUnprojected = IsUnprojected(m_PJCoordSysDes);
        if (m_PJCoordSysSrc.GetGCS() == m_PJCoordSysDes.GetGCS()) {
            if (srcUnprojected && !desUnprojected)
                m_nRoute = ROUTE_PROJECT;
            else if (desUnprojected && !srcUnprojected)
                m_nRoute = ROUTE_UNPROJECT;
            else if (!srcUnprojected && !desUnprojected)
                m_nRoute = ROUTE_XY2XY;
            else
                // Two unprojected systems on one geographic system hold the
                // same longitudes and latitudes: the points pass unchanged.
                m_nRoute = ROUTE_GEO2GEO;
            m_bValid = 1;
        } else {
            if (srcUnprojected && !desUnprojected)
                m_nRoute = ROUTE_GEO2XY;
            else if (desUnprojected && !srcUnprojected)
                m_nRoute = ROUTE_XY2GEO;
            else if (!srcUnprojected && !desUnprojected)
                m_nRoute = ROUTE_XY2XY;
            else
                m_nRoute = ROUTE_GEO2GEO;
            m_bDatumShift = 1;
        }
    }
    CacheShiftValues();
    if (!m_bDatumShift) return m_bValid;

    if (ZrIsDatumShiftMethod(m_nMethod)) {
        const CZrPJGeoCoordSys srcGcs = m_PJCoordSysSrc.GetGCS();
        const CZrPJGeoCoordSys desGcs = m_PJCoordSysDes.GetGCS();
        const CZrPJSpheroid srcEllipsoid = srcGcs.GetDatum().GetSpheroid();
        const CZrPJSpheroid desEllipsoid = desGcs.GetDatum().GetSpheroid();
        m_shift.aSrc = srcEllipsoid.GetAxis();
        m_shift.fSrc = srcEllipsoid.GetFlattening();
        m_shift.esSrc = (2.0 - m_shift.fSrc) * m_shift.fSrc;
        m_shift.aDes = desEllipsoid.GetAxis();
        m_shift.fDes = desEllipsoid.GetFlattening();
        m_shift.esDes = (2.0 - m_shift.fDes) * m_shift.fDes;
        m_shift.da = m_shift.aDes - m_shift.aSrc;
        m_shift.df = m_shift.fDes - m_shift.fSrc;
        m_shift.pmSrc = srcGcs.GetPrimeMeridian().GetLongitude();
        m_shift.pmDes = desGcs.GetPrimeMeridian().GetLongitude();
        m_bValid = 1;
    } else {
        m_bValid = 0;
    }
    return m_bValid;
}

int CZrPJTranslator::TransDatum(CPoint2D& point, int forward) const {
    ZrShiftDatum(m_shift, point, forward);
    return m_bValid;
}

int CZrPJTranslator::TransDatum(CPoint3D& point, int forward) const {
    ZrShiftDatum(m_shift, point, forward);
    return m_bValid;
}

template <class Point> void CZrPJTranslator::TransDatumAll(Point* points, long count, int forward) const {
    for (long i = 0; i < count; ++i)
        TransDatum(points[i], forward);
}

template <class Point> int CZrPJTranslator::XY2XY(Point* points, long count, int forward) const {
    if (!m_bValid) return 0;
    (forward ? m_PJCoordSysSrc : m_PJCoordSysDes).Inverse(points, count);
    if (m_bDatumShift) TransDatumAll(points, count, forward);
    return (forward ? m_PJCoordSysDes : m_PJCoordSysSrc).Forward(points, count);
}

template <class Point> int CZrPJTranslator::XY2Geo(Point* points, long count, int forward) const {
    if (!m_bValid) return m_bValid;
    if (forward) {
        m_PJCoordSysSrc.Inverse(points, count);
        TransDatumAll(points, count, 1);
    } else {
        TransDatumAll(points, count, 0);
        m_PJCoordSysSrc.Forward(points, count);
    }
    return m_bValid;
}

template <class Point> int CZrPJTranslator::Geo2XY(Point* points, long count, int forward) const {
    if (!m_bValid) return m_bValid;
    if (forward) {
        TransDatumAll(points, count, 1);
        const int projected = m_PJCoordSysDes.Forward(points, count);
        // The 2-D conversion has always answered with the point count here,
        // the 3-D one with its validity; callers test both for nonzero.
        return std::is_same<Point, CPoint2D>::value ? projected : m_bValid;
    }
    m_PJCoordSysDes.Inverse(points, count);
    TransDatumAll(points, count, 0);
    return m_bValid;
}

template <class Point> int CZrPJTranslator::Geo2Geo(Point* points, long count, int forward) const {
    if (!m_bValid) return m_bValid;
    if (m_bDatumShift) TransDatumAll(points, count, forward);
    return m_bValid;
}

template <class Point> int CZrPJTranslator::ConvertPoints(Point* points, long count, int forward) const {
    if (!m_bValid) return 0;
    if (points == nullptr && count > 0) return 0;
    switch (m_nRoute) {
    case ROUTE_XY2XY:
        return XY2XY(points, count, forward);
    case ROUTE_XY2GEO:
        return XY2Geo(points, count, forward);
    case ROUTE_GEO2XY:
        return Geo2XY(points, count, forward);
    case ROUTE_GEO2GEO:
        return Geo2Geo(points, count, forward);
    case ROUTE_UNPROJECT:
        return forward ? m_PJCoordSysSrc.Inverse(points, count) : m_PJCoordSysSrc.Forward(points, count);
    case ROUTE_PROJECT:
        return forward ? m_PJCoordSysDes.Forward(points, count) : m_PJCoordSysDes.Inverse(points, count);
    default:
        return 0;
    }
}

int CZrPJTranslator::Convert(CPoint2D* points, long count, int forward) const {
    return ConvertPoints(points, count, forward);
}

int CZrPJTranslator::Convert(CPoint3D* points, long count, int forward) const {
    return ConvertPoints(points, count, forward);
}
