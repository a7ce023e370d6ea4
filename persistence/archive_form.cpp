// The binary archive record of a coordinate system: codes of the catalogue
// parts and the numbers of user-defined ones, little-endian 32-bit integers
// and IEEE doubles, without a version or a length. Names are not stored, so a
// user-defined system comes back named "UserDef".

#include "model/ZrPJCoordSys.h"
#include "platform/ZrArchive.h"
#include "platform/ZrToolkit.h"

#include <cstdint>

namespace {

const char kUserDefName[] = "UserDef";
// The record holds each unit code and also its length in metres (ZrUnitCodeToMetres).

// Values a record too short to supply them falls back to: Krasovsky 1940 and
// the metre, as the records of existing installations do.
constexpr int kDefaultKind = PJ_KIND_TRANSVERSE_MERCATOR;
constexpr int kDefaultUnits = 10000;
constexpr double kDefaultAxis = 6378245.0;
constexpr double kDefaultFlattening = 0.003352329869259135;

void PutInt(CArchive& ar, long value) {
    ar << static_cast<int>(static_cast<std::int32_t>(value));
}

// Reads into value only when the archive still holds the whole field.
void GetInt(CArchive& ar, int& value) {
    ar >> value;
}
void GetDouble(CArchive& ar, double& value) {
    ar >> value;
}

// The leading code, little-endian; false when the archive cannot supply it.
bool ReadCode(CArchive& ar, int& code) {
    unsigned char bytes[4];
    if (ar.Read(bytes, sizeof bytes) != sizeof bytes) return false;
    const std::uint32_t value = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                                std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24;
    code = static_cast<int>(static_cast<std::int32_t>(value));
    return true;
}

struct ArchiveRecord {
    int kind = kDefaultKind;
    int gcs = -1;
    int datum = -1;
    int spheroid = -1;
    int primeMeridian = -1;
    int units = kDefaultUnits;     // as GetUnits gives it
    int distUnits = kDefaultUnits; // as GetDistUnits gives it
    double axis = kDefaultAxis;
    double flattening = kDefaultFlattening;
    double longitude = 0.0;
    double unitsInMetres = 1.0;     // read and not used
    double distUnitsInMetres = 1.0; // read and not used
    CZrPJParams params;
};

void ReadRecord(CArchive& ar, ArchiveRecord& r) {
    GetInt(ar, r.kind);
    GetInt(ar, r.gcs);
    GetInt(ar, r.datum);
    GetInt(ar, r.spheroid);
    GetInt(ar, r.primeMeridian);
    GetInt(ar, r.units);
    GetInt(ar, r.distUnits);
    GetDouble(ar, r.axis);
    GetDouble(ar, r.flattening);
    GetDouble(ar, r.longitude);
    GetDouble(ar, r.unitsInMetres);
    GetDouble(ar, r.distUnitsInMetres);
    double* const params[] = {&r.params.FalseEasting,        &r.params.FalseNorthing,
                              &r.params.CentralMeridian,     &r.params.CentralParallel,
                              &r.params.StandardParallel1,   &r.params.StandardParallel2,
                              &r.params.ScaleFactor,         &r.params.Azimuth,
                              &r.params.FirstPointLongitude, &r.params.SecondPointLongitude};
    for (double* value : params)
        GetDouble(ar, *value);
}

CZrPJGeoCoordSys BuildGeoCoordSys(const ArchiveRecord& r) {
    CZrPJGeoCoordSys gcs;
    if (r.gcs > 0) {
        gcs.Set(static_cast<tagGeoCoordSysType>(r.gcs));
    } else if (r.gcs == -1) {
        CZrPJDatum datum;
        if (r.datum == -1) {
            CZrPJSpheroid spheroid;
            if (r.spheroid == -1)
                spheroid.Set(kUserDefName, r.axis, r.flattening);
            else
                spheroid.Set(static_cast<tagPJSpheroidType>(r.spheroid));
            datum.Set(kUserDefName, spheroid);
        } else {
            datum.Set(static_cast<tagDatumType>(r.datum));
        }
        CZrPJPrimeMeridian primeMeridian;
        if (r.primeMeridian == -1)
            primeMeridian.Set(kUserDefName, r.longitude);
        else
            primeMeridian.Set(static_cast<tagPJPrimeMeridianType>(r.primeMeridian));
        gcs.Set(kUserDefName, datum, primeMeridian, 0);
    }
    return gcs;
}

} // namespace

void CZrPJCoordSys::Write(CArchive& ar) const {
    PutInt(ar, m_type);
    if (m_type == PJ_CS_PLANAR) {
        PutInt(ar, m_units);
        return;
    }
    const CZrPJDatum& datum = m_gcs.m_datum;
    const CZrPJSpheroid& spheroid = datum.m_spheroid;
    const CZrPJPrimeMeridian& primeMeridian = m_gcs.m_primeMeridian;
    const long units = GetUnits();
    PutInt(ar, m_projection.GetType());
    PutInt(ar, m_gcs.GetType());
    PutInt(ar, datum.GetType());
    PutInt(ar, spheroid.GetType());
    PutInt(ar, primeMeridian.GetType());
    PutInt(ar, units);
    PutInt(ar, m_units);
    ar << spheroid.GetAxis() << spheroid.GetFlattening() << primeMeridian.GetLongitude();
    ar << ZrUnitCodeToMetres(units) << ZrUnitCodeToMetres(m_units);
    ar << m_params.FalseEasting << m_params.FalseNorthing << m_params.CentralMeridian
       << m_params.CentralParallel << m_params.StandardParallel1 << m_params.StandardParallel2
       << m_params.ScaleFactor << m_params.Azimuth << m_params.FirstPointLongitude
       << m_params.SecondPointLongitude;
}

void CZrPJCoordSys::Read(CArchive& ar) {
    // A record without even its code is no record: the system stays as it is.
    int code = 0;
    if (!ReadCode(ar, code)) return;
    m_type = code;

    if (code == PJ_CS_PLANAR) {
        int units = kDefaultUnits;
        GetInt(ar, units);
        SetPlanar(units);
        return;
    }

    ArchiveRecord record;
    ReadRecord(ar, record);
    CZrPJObject projection;
    if (record.kind > 0) projection.Set(static_cast<tagPJObjectType>(record.kind));
    const CZrPJGeoCoordSys gcs = BuildGeoCoordSys(record);
    m_params = record.params;

    if (code >= 2)
        Set(static_cast<tagPJCoordSysType>(code));
    else if (code == PJ_CS_EARTH)
        SetEarth(gcs, record.distUnits);
    else
        Set(kUserDefName, gcs, projection, record.params, record.units);
}
