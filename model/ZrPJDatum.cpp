#include "model/ZrPJDatum.h"

#include "model/catalogue/GeodeticCatalogue_p.h"

CZrPJDatum::CZrPJDatum() : m_type(PJ_DATUM_BEIJING_1954), m_name("D_Beijing_1954") {
    m_spheroid.Set(PJ_SPHEROID_KRASOVSKY_1940);
}

CZrPJDatum::CZrPJDatum(CString name, const CZrPJSpheroid& spheroid)
    : m_type(PJ_DATUM_USER_DEFINED), m_name(name), m_spheroid(spheroid) {}

CZrPJDatum::CZrPJDatum(const CZrPJDatum& other) = default;

CZrPJDatum::~CZrPJDatum() = default;

void CZrPJDatum::operator=(const CZrPJDatum& other) {
    CopyFrom(other);
}

void CZrPJDatum::CopyFrom(const CZrPJDatum& other) {
    m_type = other.m_type;
    m_name = other.m_name;
    m_spheroid = other.m_spheroid;
}

int CZrPJDatum::operator==(const CZrPJDatum& other) const {
    return m_type == other.m_type && (m_spheroid == other.m_spheroid) && ZrStrICmp(m_name, other.m_name) == 0;
}

void CZrPJDatum::Set(CString name, const CZrPJSpheroid& spheroid) {
    m_type = PJ_DATUM_USER_DEFINED;
    m_name = name;
    m_spheroid = spheroid;
}

int CZrPJDatum::Set(tagDatumType code) {
    const ZrDatumRow* row = ZrFindDatumRow(code);
    if (!row) return 0;
    m_type = row->code;
    m_name = row->name;
    // Every spheroid code of the catalogue has a row; a datum code is
    // accepted even if its spheroid were missing, as the stored forms expect.
    m_spheroid.Set(static_cast<tagPJSpheroidType>(row->spheroid));
    return 1;
}

int CZrPJDatum::GetCatalogueCount() {
    return ZrDatumRowCount();
}

long CZrPJDatum::GetCatalogueCode(int index) {
    const ZrDatumRow* row = ZrDatumRowAt(index);
    return row ? row->code : -1000;
}
