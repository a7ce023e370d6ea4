#include "model/ZrPJPrimeMeridian.h"

#include "model/catalogue/GeodeticCatalogue_p.h"

CZrPJPrimeMeridian::CZrPJPrimeMeridian() : m_type(PJ_PM_GREENWICH), m_longitude(0.0), m_name("Greenwich") {}

CZrPJPrimeMeridian::CZrPJPrimeMeridian(CString name, double longitude)
    : m_type(PJ_PM_USER_DEFINED), m_longitude(longitude), m_name(name) {}

CZrPJPrimeMeridian::CZrPJPrimeMeridian(const CZrPJPrimeMeridian& other) = default;

CZrPJPrimeMeridian::~CZrPJPrimeMeridian() = default;

void CZrPJPrimeMeridian::operator=(const CZrPJPrimeMeridian& other) {
    m_type = other.m_type;
    m_longitude = other.m_longitude;
    m_name = other.m_name;
}

int CZrPJPrimeMeridian::operator==(const CZrPJPrimeMeridian& other) const {
    return m_type == other.m_type && m_longitude == other.m_longitude && ZrStrICmp(m_name, other.m_name) == 0;
}

void CZrPJPrimeMeridian::Set(const CString& name, double longitude) {
    m_type = PJ_PM_USER_DEFINED;
    m_name = name;
    m_longitude = longitude;
}

int CZrPJPrimeMeridian::Set(tagPJPrimeMeridianType code) {
    const ZrPrimeMeridianRow* row = ZrFindPrimeMeridianRow(code);
    if (!row) return 0;
    m_type = row->code;
    m_longitude = row->longitude;
    m_name = row->name;
    return 1;
}

int CZrPJPrimeMeridian::GetCatalogueCount() {
    return ZrPrimeMeridianRowCount();
}

long CZrPJPrimeMeridian::GetCatalogueCode(int index) {
    const ZrPrimeMeridianRow* row = ZrPrimeMeridianRowAt(index);
    return row ? row->code : -1000;
}
