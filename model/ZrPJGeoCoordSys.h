#pragma once

#include "model/ZrPJDatum.h"
#include "model/ZrPJPrimeMeridian.h"

class CZrPJCoordSys;

// A geographic coordinate system: a datum, a prime meridian and an angular
// unit code. The unit code is carried, compared and stored but converts
// nothing: geographic coordinates are decimal degrees throughout the library.
class ZRPRJ_API CZrPJGeoCoordSys {
public:
    CZrPJGeoCoordSys(); // 4214 "GCS_Beijing_1954": datum 6214, Greenwich, units 0
    CZrPJGeoCoordSys(CString name, const CZrPJDatum& datum, const CZrPJPrimeMeridian& primeMeridian,
                     long units);
    CZrPJGeoCoordSys(const CZrPJGeoCoordSys& other);
    virtual ~CZrPJGeoCoordSys();

    void operator=(const CZrPJGeoCoordSys& other);
    void CopyFrom(const CZrPJGeoCoordSys& other);
    // Types, names (ignoring case), datums, prime meridians and units equal.
    int operator==(const CZrPJGeoCoordSys& other) const;

    int Set(CString name, const CZrPJDatum& datum, const CZrPJPrimeMeridian& primeMeridian, long units);
    // Type, units 0 and name from the row, then the datum and the prime
    // meridian from the row's codes. 1 for a catalogue code; 0 and nothing
    // changed for any other code.
    int Set(tagGeoCoordSysType code);

    long GetType() const { return m_type; }
    CString GetName() const { return m_name; }
    CZrPJDatum GetDatum() const { return m_datum; }
    CZrPJPrimeMeridian GetPrimeMeridian() const { return m_primeMeridian; }
    long GetUnits() const { return m_units; }

    int IsValid() const { return m_datum.IsValid(); }

    static int GetCatalogueCount();
    static long GetCatalogueCode(int index); // -1000 outside the catalogue

    CString ToString() const;
    void FromString(CString text);
    CString ToXML(int version) const;
    int FromXML(const CString& xml, int version);

private:
    friend class CZrPJCoordSys; // reads the ellipsoid in place (see CZrPJDatum)

    long m_type;
    CString m_name;
    CZrPJDatum m_datum;
    CZrPJPrimeMeridian m_primeMeridian;
    long m_units; // angular-unit code
};
