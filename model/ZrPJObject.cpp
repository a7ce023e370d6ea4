#include "model/ZrPJObject.h"

#include "model/catalogue/GeodeticCatalogue_p.h"

CZrPJObject::CZrPJObject() : m_type(PJ_KIND_GAUSS_KRUGER), m_name("Gauss_Kruger") {}

CZrPJObject::CZrPJObject(tagPJObjectType code) : m_type(PJ_KIND_NO_PROJECTION) {
    // A code that names no kind leaves -1 with an empty name, so it never
    // equals the labelled "No Projection" kind.
    Set(code);
}

CZrPJObject::CZrPJObject(const CZrPJObject& other) = default;

CZrPJObject::~CZrPJObject() = default;

void CZrPJObject::operator=(const CZrPJObject& other) {
    m_type = other.m_type;
    m_name = other.m_name;
}

int CZrPJObject::operator==(const CZrPJObject& other) const {
    return m_type == other.m_type && ZrStrICmp(m_name, other.m_name) == 0;
}

int CZrPJObject::Set(tagPJObjectType code) {
    const ZrProjectionKindRow* row = ZrFindProjectionKindRow(code);
    if (!row) return 0;
    m_type = row->code;
    m_name = row->name;
    return 1;
}

int CZrPJObject::GetCatalogueCount() {
    return ZrProjectionKindRowCount();
}

long CZrPJObject::GetCatalogueCode(int index) {
    const ZrProjectionKindRow* row = ZrProjectionKindRowAt(index);
    return row ? row->code : -1000;
}
