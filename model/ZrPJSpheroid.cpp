#include "model/ZrPJSpheroid.h"

#include "geodesy/ZrPJMath.h"
#include "model/catalogue/GeodeticCatalogue_p.h"

namespace {
// Two ellipsoids are the same when axis and flattening agree to this much:
// below the spacing of doubles near an earth radius (about 9.3e-10 m), so
// distinct axes always differ, yet flattenings typed to ten decimals match.
constexpr double kSameEllipsoidTolerance = 1e-10;

bool Close(double a, double b) {
    const double d = a - b;
    return -kSameEllipsoidTolerance < d && d < kSameEllipsoidTolerance;
}
} // namespace

CZrPJSpheroid::CZrPJSpheroid()
    : m_type(PJ_SPHEROID_KRASOVSKY_1940), m_axis(6378245.0), m_flattening(0.003352329869259135),
      m_name("Krasovsky 1940") {}

CZrPJSpheroid::CZrPJSpheroid(CString name, double axis, double flattening)
    : m_type(PJ_SPHEROID_USER_DEFINED), m_axis(axis), m_flattening(flattening), m_name(name) {}

CZrPJSpheroid::CZrPJSpheroid(const CZrPJSpheroid& other) = default;

CZrPJSpheroid::~CZrPJSpheroid() = default;

void CZrPJSpheroid::operator=(const CZrPJSpheroid& other) {
    CopyFrom(other);
}

void CZrPJSpheroid::CopyFrom(const CZrPJSpheroid& other) {
    m_type = other.m_type;
    m_axis = other.m_axis;
    m_flattening = other.m_flattening;
    m_name = other.m_name;
}

int CZrPJSpheroid::operator==(const CZrPJSpheroid& other) const {
    return m_type == other.m_type && Close(m_axis, other.m_axis) && Close(m_flattening, other.m_flattening) &&
           ZrStrICmp(m_name, other.m_name) == 0;
}

void CZrPJSpheroid::Set(CString name, double axis, double flattening) {
    m_type = PJ_SPHEROID_USER_DEFINED;
    m_axis = axis;
    m_flattening = flattening;
    m_name = name;
}

int CZrPJSpheroid::Set(tagPJSpheroidType code) {
    const ZrSpheroidRow* row = ZrFindSpheroidRow(code);
    if (!row) return 0;
    m_type = row->code;
    m_axis = row->axis;
    m_flattening = row->flattening;
    m_name = row->name;
    return 1;
}

int CZrPJSpheroid::IsValid() const {
    return (m_flattening >= 0.0 && m_flattening < 1.0 && m_axis > 0.0) ? 1 : 0;
}

long CZrPJSpheroid::LPHToXYZ(CPoint3D* points, long count) const {
    if (!points) return 0;
    const double es = CZrPJMath::GetES_From_Flatten(m_flattening);
    for (long i = 0; i < count; ++i)
        CZrPJMath::LPH2XYZ(points[i], m_axis, es);
    return count;
}

long CZrPJSpheroid::XYZToLPH(CPoint3D* points, long count) const {
    if (!points) return 0;
    const double es = CZrPJMath::GetES_From_Flatten(m_flattening);
    for (long i = 0; i < count; ++i)
        CZrPJMath::XYZ2LPH(points[i], m_axis, es);
    return count;
}

int CZrPJSpheroid::GetCatalogueCount() {
    return ZrSpheroidRowCount();
}

long CZrPJSpheroid::GetCatalogueCode(int index) {
    const ZrSpheroidRow* row = ZrSpheroidRowAt(index);
    return row ? row->code : -1000;
}
