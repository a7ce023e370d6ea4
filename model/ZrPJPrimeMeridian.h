#pragma once

#include "model/ZrPJTypes.h"
#include "platform/ZrExport.h"
#include "platform/ZrString.h"

// The meridian from which longitudes count: its longitude east of Greenwich
// in decimal degrees (negative west).
class ZRPRJ_API CZrPJPrimeMeridian {
public:
    CZrPJPrimeMeridian(); // 8901, Greenwich, 0
    CZrPJPrimeMeridian(CString name, double longitude);
    CZrPJPrimeMeridian(const CZrPJPrimeMeridian& other);
    ~CZrPJPrimeMeridian();

    void operator=(const CZrPJPrimeMeridian& other);
    // Types equal, longitudes exactly equal, names equal ignoring case.
    int operator==(const CZrPJPrimeMeridian& other) const;

    void Set(const CString& name, double longitude);
    // 1 for a catalogue code; 0 and nothing changed for any other code.
    int Set(tagPJPrimeMeridianType code);

    long GetType() const { return m_type; }
    CString GetName() const { return m_name; }
    double GetLongitude() const { return m_longitude; }

    static int GetCatalogueCount();
    static long GetCatalogueCode(int index); // -1000 outside the catalogue

    CString ToString() const;
    void FromString(const CString& text);
    CString ToXML(int version) const;
    int FromXML(const CString& xml, int version);

private:
    long m_type;
    double m_longitude; // decimal degrees
    CString m_name;
};
