// The azimuthal equidistant on the ellipsoid: a point is placed at its
// geodesic distance from the centre, along the geodesic's azimuth there, so
// that every distance and direction from the centre is true. Karney's
// solution of the geodesic problems keeps this to nanometres out to the
// antipode, as PROJ's form of the method does; the classical series forms
// (Hatzidimitriou's, the polar meridian arc) lose millimetres beyond a few
// hundred kilometres.
#include "projection/ZrPJOperator.h"

#include "projection/ZrPJKernels_p.h"

#include "geodesy/ZrPJMath.h"

#include <cmath>

using namespace zrpj;

namespace {
// Within this distance of the centre (metres at unit scale) a point is the
// centre: the geodesic's azimuth there is undefined.
constexpr double kCentreDistance = 1e-10;
} // namespace

int CZrPJOperator::Setup_Azimuthal_Equidistant_Ellipsoid() {
    if (!(std::fabs(m_def.phi0) <= kHalfPi)) return 0;
    return m_geodesic.Set(m_def.a, m_def.f);
}

int CZrPJOperator::Azimuthal_Equidistant_Ellipsoid_Forward(CPoint2D& pt) const {
    const CPoint2D centre(0.0, m_def.phi0 * CZrPJMath::kRadToDeg);
    const CPoint2D point(pt.x * CZrPJMath::kRadToDeg, pt.y * CZrPJMath::kRadToDeg);
    double azi1 = 0.0, azi2 = 0.0, s = 0.0;
    if (!m_geodesic.Inverse(centre, point, azi1, azi2, s)) return 0;
    const double azimuth = azi1 * CZrPJMath::kDegToRad;
    pt.x = s * std::sin(azimuth);
    pt.y = s * std::cos(azimuth);
    return 1;
}

int CZrPJOperator::Azimuthal_Equidistant_Ellipsoid_Inverse(CPoint2D& pt) const {
    const double s = std::hypot(pt.x, pt.y);
    if (s < kCentreDistance) {
        pt.x = 0.0;
        pt.y = m_def.phi0;
        return 1;
    }
    const CPoint2D centre(0.0, m_def.phi0 * CZrPJMath::kRadToDeg);
    CPoint2D reached(0.0, 0.0);
    double azi2 = 0.0;
    if (!m_geodesic.Direct(centre, std::atan2(pt.x, pt.y) * CZrPJMath::kRadToDeg, s, reached, azi2)) return 0;
    pt.x = reached.x * CZrPJMath::kDegToRad;
    pt.y = reached.y * CZrPJMath::kDegToRad;
    return 1;
}
