#include "model/ZrPJGeoCoordSys.h"

#include "model/catalogue/GeodeticCatalogue_p.h"

// The members' own defaults are the catalogue rows 6214 and 8901.
CZrPJGeoCoordSys::CZrPJGeoCoordSys() : m_type(PJ_GCS_BEIJING_1954), m_name("GCS_Beijing_1954"), m_units(0) {}

CZrPJGeoCoordSys::CZrPJGeoCoordSys(CString name, const CZrPJDatum& datum,
                                   const CZrPJPrimeMeridian& primeMeridian, long units)
    : m_type(PJ_GCS_USER_DEFINED), m_name(name), m_datum(datum), m_primeMeridian(primeMeridian),
      m_units(units) {}

CZrPJGeoCoordSys::CZrPJGeoCoordSys(const CZrPJGeoCoordSys& other) = default;

CZrPJGeoCoordSys::~CZrPJGeoCoordSys() = default;

void CZrPJGeoCoordSys::operator=(const CZrPJGeoCoordSys& other) {
    CopyFrom(other);
}

void CZrPJGeoCoordSys::CopyFrom(const CZrPJGeoCoordSys& other) {
    m_type = other.m_type;
    m_name = other.m_name;
    m_datum = other.m_datum;
    m_primeMeridian = other.m_primeMeridian;
    m_units = other.m_units;
}

int CZrPJGeoCoordSys::operator==(const CZrPJGeoCoordSys& other) const {
    return m_type == other.m_type && ZrStrICmp(m_name, other.m_name) == 0 && (m_datum == other.m_datum) &&
           (m_primeMeridian == other.m_primeMeridian) && m_units == other.m_units;
}

int CZrPJGeoCoordSys::Set(CString name, const CZrPJDatum& datum, const CZrPJPrimeMeridian& primeMeridian,
                          long units) {
    m_type = PJ_GCS_USER_DEFINED;
    m_name = name;
    m_datum = datum;
    m_primeMeridian = primeMeridian;
    m_units = units;
    return 1;
}

int CZrPJGeoCoordSys::Set(tagGeoCoordSysType code) {
    const ZrGeoCoordSysRow* row = ZrFindGeoCoordSysRow(code);
    if (!row) return 0;
    m_type = row->code;
    m_units = 0;
    m_name = row->name;
    m_datum.Set(static_cast<tagDatumType>(row->datum));
    m_primeMeridian.Set(static_cast<tagPJPrimeMeridianType>(row->primeMeridian));
    return 1;
}

int CZrPJGeoCoordSys::GetCatalogueCount() {
    return ZrGeoCoordSysRowCount();
}

long CZrPJGeoCoordSys::GetCatalogueCode(int index) {
    const ZrGeoCoordSysRow* row = ZrGeoCoordSysRowAt(index);
    return row ? row->code : -1000;
}
