#pragma once

#include "model/ZrPJSpheroid.h"

class CZrPJCoordSys;

// A geodetic datum: a name and its ellipsoid, held by value.
class ZRPRJ_API CZrPJDatum {
public:
    CZrPJDatum(); // 6214 "D_Beijing_1954" on the catalogue row 7024
    CZrPJDatum(CString name, const CZrPJSpheroid& spheroid);
    CZrPJDatum(const CZrPJDatum& other);
    virtual ~CZrPJDatum();

    void operator=(const CZrPJDatum& other);
    void CopyFrom(const CZrPJDatum& other);
    // Types equal, spheroids equal, names equal ignoring case.
    int operator==(const CZrPJDatum& other) const;

    void Set(CString name, const CZrPJSpheroid& spheroid);
    // Type and name from the row, then the spheroid from the row's spheroid
    // code. 1 for a catalogue code; 0 and nothing changed for any other code.
    int Set(tagDatumType code);

    long GetType() const { return m_type; }
    CString GetName() const { return m_name; }
    CZrPJSpheroid GetSpheroid() const { return m_spheroid; }

    int IsValid() const { return m_spheroid.IsValid(); }

    static int GetCatalogueCount();
    static long GetCatalogueCode(int index); // -1000 outside the catalogue

    CString ToString() const;
    void FromString(CString text);
    CString ToXML(int version) const;
    int FromXML(const CString& xml, int version);

private:
    // The coordinate system reads the ellipsoid in place when it builds its
    // operator, so building one from a code copies no names.
    friend class CZrPJCoordSys;

    long m_type;
    CString m_name;
    CZrPJSpheroid m_spheroid;
};
