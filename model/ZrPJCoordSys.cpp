#include "model/ZrPJCoordSys.h"

#include "model/catalogue/ZrProjectedCatalogue.h"
#include "platform/ZrToolkit.h"

#include <cmath>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
// Below this a ratio or a parallel difference counts as zero (the engine's
// usual degeneracy threshold, radians for the parallels).
constexpr double kDegenerate = 1e-7;
// Scale factor put in place of a zero one: that of UTM.
constexpr double kDefaultScaleFactor = 0.9996;
// Kilometres to tenths of a millimetre.
constexpr double kKilometreCode = 10000000.0;

// The one world-system code that has no row but has always been accepted:
// setting it leaves the system as it stands and reports its build.
constexpr long kAcceptedCodeWithoutRow = 53025;

// The ten projection parameters, in the catalogue rows' order. A coordinate
// system takes only these from a parameter set: the datum-shift values belong
// to the translator.
constexpr double CZrPJParams::*kProjectionParameters[] = {
    &CZrPJParams::FalseEasting,         &CZrPJParams::FalseNorthing,     &CZrPJParams::CentralMeridian,
    &CZrPJParams::CentralParallel,      &CZrPJParams::StandardParallel1, &CZrPJParams::StandardParallel2,
    &CZrPJParams::ScaleFactor,          &CZrPJParams::Azimuth,           &CZrPJParams::FirstPointLongitude,
    &CZrPJParams::SecondPointLongitude,
};
static_assert(sizeof kProjectionParameters / sizeof kProjectionParameters[0] ==
                  sizeof ZrProjectedRow::params / sizeof ZrProjectedRow::params[0],
              "a catalogue row holds the ten projection parameters");

void CopyProjectionParameters(CZrPJParams& to, const CZrPJParams& from) {
    for (double CZrPJParams::*member : kProjectionParameters)
        to.*member = from.*member;
}

// Texts of the library's string table that name the two unprojected kinds.
constexpr unsigned int kEarthNameId = 28774;  // longitude/latitude coordinate system
constexpr unsigned int kPlanarNameId = 28776; // planar coordinate system
} // namespace

CZrPJCoordSys::CZrPJCoordSys()
    : m_name("WGS_1984_UTM_Zone_1N"), m_type(PJ_CS_WGS_1984_UTM_ZONE_1N), m_units(10000),
      m_projection(PJ_KIND_TRANSVERSE_MERCATOR), m_ratio(1.0) {
    m_gcs.Set(PJ_GCS_WGS_1984);
    m_params.FalseEasting = 500000.0;
    m_params.CentralMeridian = -177.0;
    m_params.ScaleFactor = kDefaultScaleFactor;
}

CZrPJCoordSys::CZrPJCoordSys(const CZrPJCoordSys& other) : CZrPJCoordSys() {
    CopyFrom(other);
}

CZrPJCoordSys::~CZrPJCoordSys() = default;

void CZrPJCoordSys::operator=(const CZrPJCoordSys& other) {
    CopyFrom(other);
}

void CZrPJCoordSys::CopyFrom(const CZrPJCoordSys& other) {
    m_type = other.m_type;
    m_units = other.m_units;
    m_name = other.m_name;
    m_ratio = other.m_ratio;
    m_operator = other.m_operator;
    m_gcs = other.m_gcs;
    m_projection = other.m_projection;
    CopyProjectionParameters(m_params, other.m_params);
    Create();
}

int CZrPJCoordSys::Set(CString name, const CZrPJGeoCoordSys& gcs, const CZrPJObject& projection,
                       const CZrPJParams& params, long units) {
    m_type = PJ_CS_USER_DEFINED;
    m_units = units;
    m_name = name;
    m_gcs = gcs;
    m_projection = projection;
    CopyProjectionParameters(m_params, params);
    return Create();
}

int CZrPJCoordSys::SetPlanar(long units) {
    m_type = PJ_CS_PLANAR;
    m_units = units;
    m_projection.Set(PJ_KIND_NO_PROJECTION);
    CString title;
    title.LoadString(kPlanarNameId);
    m_name = title + "---" + ZrGetUnitsNameExt(units);
    return Create();
}

int CZrPJCoordSys::SetEarth(const CZrPJGeoCoordSys& gcs, long units) {
    m_type = PJ_CS_EARTH;
    m_units = units;
    m_projection.Set(PJ_KIND_NO_PROJECTION);
    m_gcs = gcs;
    CString title;
    title.LoadString(kEarthNameId);
    m_name = title + "---" + m_gcs.GetName();
    return Create();
}

int CZrPJCoordSys::Set(tagPJCoordSysType code) {
    ZrProjectedRow row;
    if (!ZrFindProjectedRow(code, row)) return code == kAcceptedCodeWithoutRow ? Create() : 0;

    m_type = row.code;
    m_units = row.units;
    m_name = row.name;
    m_gcs.Set(static_cast<tagGeoCoordSysType>(row.gcs));
    m_projection.Set(static_cast<tagPJObjectType>(row.kind));
    for (size_t i = 0; i < sizeof row.params / sizeof row.params[0]; ++i)
        m_params.*kProjectionParameters[i] = row.params[i];
    return Create();
}

int CZrPJCoordSys::Create() {
    // Unprojected systems never run the operator.
    if (m_type == PJ_CS_PLANAR || m_type == PJ_CS_EARTH) {
        m_operator.SetCreated(1);
        return 1;
    }
    if (std::fabs(m_ratio) <= kDegenerate) return 0;
    // The unit factor divides by the unit code: a code of 0 or less has no
    // length, so the system cannot be built (and must not claim to be).
    if (m_units <= 0) {
        m_operator.SetCreated(0);
        return 0;
    }
    if (CZrOperator::Is0(m_params.ScaleFactor)) m_params.ScaleFactor = kDefaultScaleFactor;
    FillOperator();
    return m_operator.Create();
}

void CZrPJCoordSys::FillOperator() {
    const CZrPJSpheroid& spheroid = m_gcs.m_datum.m_spheroid;
    const double phi1 = m_params.StandardParallel1 * kDegToRad;
    const double phi2 = m_params.StandardParallel2 * kDegToRad;

    m_operator.SetKind(m_projection.GetType());
    m_operator.SetFalseEasting(m_params.FalseEasting);
    m_operator.SetFalseNorthing(m_params.FalseNorthing);
    m_operator.SetCentralMeridian(m_params.CentralMeridian * kDegToRad);
    m_operator.SetStandardParallel1(phi1);
    m_operator.SetStandardParallel2(phi2);
    m_operator.SetCentralParallel(m_params.CentralParallel * kDegToRad);
    m_operator.SetAzimuth(m_params.Azimuth * kDegToRad);
    m_operator.SetFirstPointLongitude(m_params.FirstPointLongitude * kDegToRad);
    m_operator.SetSecondPointLongitude(m_params.SecondPointLongitude * kDegToRad);
    // One standard parallel when the two coincide, else two.
    m_operator.SetParallelMode(std::fabs(phi1 - phi2) < kDegenerate ? 1 : 2);
    m_operator.SetSemiMajorAxis(spheroid.GetAxis());
    m_operator.SetFlattening(spheroid.GetFlattening());
    m_operator.SetDivisor(m_ratio);
    m_operator.SetScaleFactor(m_params.ScaleFactor);
    // Exact units (the US survey foot, Clarke's and Sears's feet, ...) by their
    // own figures: each is a few ppm off the nearest tenths-of-a-millimetre
    // code, metres at a million units from the origin.
    m_operator.SetUnitFactor(ZrUnitFactorOfCode(m_units));
}

long CZrPJCoordSys::GetUnits() const {
    return m_type == PJ_CS_EARTH ? 0 : m_units;
}

int CZrPJCoordSys::operator==(const CZrPJCoordSys& other) const {
    if (m_type != other.m_type) return 0;
    if (m_type == PJ_CS_PLANAR) return m_units == other.m_units;
    if (m_type == PJ_CS_EARTH) return (m_gcs == other.m_gcs) && GetUnits() == other.GetUnits();
    return (m_gcs == other.m_gcs) && (m_projection == other.m_projection) && m_units == other.m_units &&
           (m_params == other.m_params);
}

int CZrPJCoordSys::IsValid() const {
    if (m_type == PJ_CS_PLANAR) return 0;
    if (m_type == PJ_CS_EARTH) return 1;
    return m_operator.IsCreated() ? 1 : 0;
}

// Every array goes through the operator's column entry, which hands blocks
// to the kind's vector kernel where it has one: interleaved points are
// columns two or three doubles apart.
int CZrPJCoordSys::Forward(double* x, std::size_t strideX, double* y, std::size_t strideY, long count) const {
    if (!x || !y) return 0;
    m_operator.Forward(x, strideX, y, strideY, count);
    return count;
}

int CZrPJCoordSys::Inverse(double* x, std::size_t strideX, double* y, std::size_t strideY, long count) const {
    if (!x || !y) return 0;
    m_operator.Inverse(x, strideX, y, strideY, count);
    return count;
}

int CZrPJCoordSys::Forward(CPoint2D* points, long count) const {
    if (!points) return 0;
    return Forward(&points[0].x, sizeof(CPoint2D), &points[0].y, sizeof(CPoint2D), count);
}

int CZrPJCoordSys::Inverse(CPoint2D* points, long count) const {
    if (!points) return 0;
    return Inverse(&points[0].x, sizeof(CPoint2D), &points[0].y, sizeof(CPoint2D), count);
}

int CZrPJCoordSys::Forward(CPoint3D* points, long count) const {
    if (!points) return 0;
    return Forward(&points[0].x, sizeof(CPoint3D), &points[0].y, sizeof(CPoint3D), count);
}

int CZrPJCoordSys::Inverse(CPoint3D* points, long count) const {
    if (!points) return 0;
    return Inverse(&points[0].x, sizeof(CPoint3D), &points[0].y, sizeof(CPoint3D), count);
}

int CZrPJCoordSys::LPHToXYZ(CPoint3D* points, long count) const {
    return static_cast<int>(m_gcs.m_datum.m_spheroid.LPHToXYZ(points, count));
}

int CZrPJCoordSys::XYZToLPH(CPoint3D* points, long count) const {
    return static_cast<int>(m_gcs.m_datum.m_spheroid.XYZToLPH(points, count));
}

// The central angle comes from the two components of the spherical triangle
// (pole, p1, p2) through atan2, which stays exact for points on one meridian,
// on the equator, near each other and near the antipode. The sine-rule form
// asin(sin dlam cos phi2 / sin alpha) with the azimuth alpha from its
// cotangent divides by zero on a meridian (tan dlam = 0) and on the equator
// (cot alpha = 0) and cannot tell an arc beyond 90 degrees from its supplement.
double CZrPJCoordSys::GetRadDistance(const CPoint2D& p1, const CPoint2D& p2, double radius,
                                     long units) const {
    if (units <= 0) return 0.0;
    const double phi1 = p1.y * kDegToRad;
    const double phi2 = p2.y * kDegToRad;
    const double dlam = (p2.x - p1.x) * kDegToRad;
    const double sinPhi1 = std::sin(phi1), cosPhi1 = std::cos(phi1);
    const double sinPhi2 = std::sin(phi2), cosPhi2 = std::cos(phi2);
    const double east = cosPhi2 * std::sin(dlam);
    const double north = cosPhi1 * sinPhi2 - sinPhi1 * cosPhi2 * std::cos(dlam);
    const double along = sinPhi1 * sinPhi2 + cosPhi1 * cosPhi2 * std::cos(dlam);
    const double sigma = std::atan2(std::hypot(east, north), along);
    if (const ZrExactUnit* unit = ZrFindExactUnit(units))
        return sigma * radius * 1000.0 * unit->den / unit->num;
    return sigma * radius * kKilometreCode / static_cast<double>(units);
}
