// The translator: route choice, the cached constants of the datum shift and
// the conversion of point arrays along the chosen route.
#include "transform/ZrPJTranslator.h"

#include "transform/ZrShiftColumns.h"

#include "projection/ZrGeocentric.h"

#include <cstddef>

namespace {
bool IsGeocentric(const CZrPJCoordSys& cs) {
    return cs.GetProjection().GetType() == PJ_KIND_GEOCENTRIC;
}

// A geocentric system routes as its geographic system does: the datum
// operations work on longitude, latitude and height, and the geocentric
// conversion is applied at the ends.
bool IsUnprojected(const CZrPJCoordSys& cs) {
    return cs.GetProjection().GetType() == PJ_KIND_NO_PROJECTION || IsGeocentric(cs);
}

// A conversion is one pipeline: unproject if the side converted from is
// projected, shift if the geographic systems differ, project if the side
// converted to is projected. A route code names one such pipeline: which
// sides are projected, whether it serves systems on one geographic system
// (no shift), on two, or both, and what Convert answers: the result of its
// last projection call (Inverse or Forward: the point count) or the
// translator's validity. The answers differ by route for no reason of
// geodesy, but callers have always seen them so, and stored route codes keep
// their meaning.
enum class Answer { kValidity, kLastCall };
struct RouteRow {
    int route;
    bool srcProjected, desProjected;
    bool oneGcs, twoGcs;
    Answer forward2d, forward3d, backward;
};
constexpr Answer kValid = Answer::kValidity, kCall = Answer::kLastCall;
constexpr RouteRow kRoutes[] = {
    {CZrPJTranslator::ROUTE_XY2XY, true, true, true, true, kCall, kCall, kCall},
    {CZrPJTranslator::ROUTE_XY2GEO, true, false, false, true, kValid, kValid, kValid},
    {CZrPJTranslator::ROUTE_GEO2XY, false, true, false, true, kCall, kValid, kValid},
    // Two unprojected systems on one geographic system hold the same
    // longitudes and latitudes: the points pass unchanged.
    {CZrPJTranslator::ROUTE_GEO2GEO, false, false, true, true, kValid, kValid, kValid},
    {CZrPJTranslator::ROUTE_UNPROJECT, true, false, true, false, kCall, kCall, kCall},
    {CZrPJTranslator::ROUTE_PROJECT, false, true, true, false, kCall, kCall, kCall},
};

const RouteRow* FindRoute(int route) {
    for (const RouteRow& row : kRoutes)
        if (row.route == route) return &row;
    return nullptr;
}

// The pipeline for the two sides; every combination has one.
const RouteRow& ChooseRoute(bool srcProjected, bool desProjected, bool datumShift) {
    for (const RouteRow& row : kRoutes)
        if (row.srcProjected == srcProjected && row.desProjected == desProjected &&
            (datumShift ? row.twoGcs : row.oneGcs))
            return row;
    return kRoutes[0];
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
    m_operations = other.m_operations;
    m_epoch = other.m_epoch;
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
    if (!(src.GetGCS() == m_PJCoordSysSrc.GetGCS())) m_operations.reset();
    m_PJCoordSysSrc = src;
    return Create();
}

int CZrPJTranslator::SetPJCoordSysDes(const CZrPJCoordSys& des) {
    if (!des.IsValid()) return 0;
    if (!(des.GetGCS() == m_PJCoordSysDes.GetGCS())) m_operations.reset();
    m_PJCoordSysDes = des;
    return Create();
}

int CZrPJTranslator::Set(const CZrPJCoordSys& src, const CZrPJCoordSys& des) {
    if (!src.IsValid() || !des.IsValid()) return 0;
    if (!(src.GetGCS() == m_PJCoordSysSrc.GetGCS()) || !(des.GetGCS() == m_PJCoordSysDes.GetGCS()))
        m_operations.reset();
    m_PJCoordSysSrc = src;
    m_PJCoordSysDes = des;
    return Create();
}

int CZrPJTranslator::SetMethod(tagPJTransMethod method) {
    m_nMethod = method;
    m_operations.reset();
    return Create();
}

int CZrPJTranslator::SetParams(const CZrPJParams& params) {
    m_PJParams = params;
    m_operations.reset();
    return Create();
}

int CZrPJTranslator::SetOperations(std::shared_ptr<const CZrPJOperationChoice> choice) {
    m_operations = choice && choice->Count() > 0 ? std::move(choice) : nullptr;
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
        const bool datumShift = !(m_PJCoordSysSrc.GetGCS() == m_PJCoordSysDes.GetGCS());
        m_nRoute =
            ChooseRoute(!IsUnprojected(m_PJCoordSysSrc), !IsUnprojected(m_PJCoordSysDes), datumShift).route;
        // Without a shift the translator is ready; with one, once the method is known.
        m_bDatumShift = datumShift ? 1 : 0;
        m_bValid = datumShift ? 0 : 1;
    }
    CacheShiftValues();
    for (int side = 0; side < 2; ++side) {
        const CZrPJCoordSys& cs = side == 0 ? m_PJCoordSysSrc : m_PJCoordSysDes;
        Geocentric& g = side == 0 ? m_geocentricSrc : m_geocentricDes;
        g = Geocentric();
        if (!IsGeocentric(cs)) continue;
        const CZrPJGeoCoordSys gcs = cs.GetGCS();
        const CZrPJSpheroid ellipsoid = gcs.GetDatum().GetSpheroid();
        g.on = true;
        g.a = ellipsoid.GetAxis();
        g.f = ellipsoid.GetFlattening();
        g.pm = gcs.GetPrimeMeridian().GetLongitude();
    }
    if (!m_bDatumShift) return m_bValid;

    if (m_operations) {
        m_bValid = 1;
    } else if (ZrIsDatumShiftMethod(m_nMethod)) {
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

namespace {
inline double& Column(double* base, std::size_t stride, long i) {
    return *reinterpret_cast<double*>(reinterpret_cast<char*>(base) + stride * static_cast<std::size_t>(i));
}
} // namespace

// The chosen operations point by point (each point takes the first whose
// area holds it), read from and written back to the columns.
void CZrPJTranslator::ApplyOperations(double* x, std::size_t sx, double* y, std::size_t sy, double* z,
                                      std::size_t sz, long count, int forward) const {
    for (long i = 0; i < count; ++i) {
        double& px = Column(x, sx, i);
        double& py = Column(y, sy, i);
        if (z) {
            CPoint3D p(px, py, Column(z, sz, i));
            m_operations->Apply(p, forward, m_epoch);
            px = p.x;
            py = p.y;
            Column(z, sz, i) = p.z;
        } else {
            CPoint2D p(px, py);
            m_operations->Apply(p, forward, m_epoch);
            px = p.x;
            py = p.y;
        }
    }
}

// Geocentric X, Y, Z to longitude (from the system's prime meridian),
// latitude and height in place, and back.
void CZrPJTranslator::FromGeocentric(const Geocentric& g, double* x, std::size_t sx, double* y,
                                     std::size_t sy, double* z, std::size_t sz, long count) {
    for (long i = 0; i < count; ++i) {
        double lon, lat, h;
        if (!ZrGeocentricToGeodetic(g.a, g.f, Column(x, sx, i), Column(y, sy, i), Column(z, sz, i), lon, lat,
                                    h))
            continue;
        lon -= g.pm;
        Column(x, sx, i) = lon > 180.0 ? lon - 360.0 : lon < -180.0 ? lon + 360.0 : lon;
        Column(y, sy, i) = lat;
        Column(z, sz, i) = h;
    }
}

void CZrPJTranslator::ToGeocentric(const Geocentric& g, double* x, std::size_t sx, double* y, std::size_t sy,
                                   double* z, std::size_t sz, long count) {
    for (long i = 0; i < count; ++i)
        ZrGeodeticToGeocentric(g.a, g.f, Column(x, sx, i) + g.pm, Column(y, sy, i), Column(z, sz, i),
                               Column(x, sx, i), Column(y, sy, i), Column(z, sz, i));
}

// One pipeline over columns; the point arrays are columns two or three
// doubles apart. threeD picks the 3-D shift (no clamp, exact inverse of the
// similarity, Molodensky's height change into z when there is a z) and the
// 3-D answer.
int CZrPJTranslator::ConvertColumns(double* x, std::size_t sx, double* y, std::size_t sy, double* z,
                                    std::size_t sz, long count, int forward, bool threeD) const {
    if (!m_bValid) return 0;
    if ((x == nullptr || y == nullptr) && count > 0) return 0;
    const RouteRow* row = FindRoute(m_nRoute);
    if (row == nullptr) return 0;
    const CZrPJCoordSys& from = forward ? m_PJCoordSysSrc : m_PJCoordSysDes;
    const CZrPJCoordSys& to = forward ? m_PJCoordSysDes : m_PJCoordSysSrc;
    const Geocentric& geocentricFrom = forward ? m_geocentricSrc : m_geocentricDes;
    const Geocentric& geocentricTo = forward ? m_geocentricDes : m_geocentricSrc;
    if ((geocentricFrom.on || geocentricTo.on) && !(threeD && z)) return 0;
    if (geocentricFrom.on) FromGeocentric(geocentricFrom, x, sx, y, sy, z, sz, count);
    int lastCall = m_bValid;
    if (forward ? row->srcProjected : row->desProjected) lastCall = from.Inverse(x, sx, y, sy, count);
    if (m_bDatumShift && m_operations)
        ApplyOperations(x, sx, y, sy, threeD ? z : nullptr, sz, count, forward);
    else if (m_bDatumShift)
        ZrShiftDatumColumns(m_shift, x, sx, y, sy, threeD ? z : nullptr, sz, count, forward);
    if (forward ? row->desProjected : row->srcProjected) lastCall = to.Forward(x, sx, y, sy, count);
    if (geocentricTo.on) ToGeocentric(geocentricTo, x, sx, y, sy, z, sz, count);
    const Answer answer = !forward ? row->backward : (threeD ? row->forward3d : row->forward2d);
    return answer == Answer::kLastCall ? lastCall : m_bValid;
}

int CZrPJTranslator::Convert(CPoint2D* points, long count, int forward) const {
    double* x = points ? &points[0].x : nullptr;
    double* y = points ? &points[0].y : nullptr;
    return ConvertColumns(x, sizeof(CPoint2D), y, sizeof(CPoint2D), nullptr, 0, count, forward, false);
}

int CZrPJTranslator::Convert(CPoint3D* points, long count, int forward) const {
    double* x = points ? &points[0].x : nullptr;
    double* y = points ? &points[0].y : nullptr;
    double* z = points ? &points[0].z : nullptr;
    return ConvertColumns(x, sizeof(CPoint3D), y, sizeof(CPoint3D), z, sizeof(CPoint3D), count, forward,
                          true);
}

int CZrPJTranslator::Convert(double* x, std::size_t strideX, double* y, std::size_t strideY, double* z,
                             std::size_t strideZ, long count, int forward) const {
    if (x == nullptr || y == nullptr) return 0;
    return ConvertColumns(x, strideX, y, strideY, z, strideZ, count, forward, z != nullptr);
}
