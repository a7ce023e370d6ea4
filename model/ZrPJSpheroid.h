#pragma once

#include "model/ZrPJTypes.h"
#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"
#include "platform/ZrString.h"

// A reference ellipsoid: semi-major axis in metres and the flattening f itself
// (0 for a sphere), either from the catalogue (type = its code) or defined
// from parts (type -1).
class ZRPRJ_API CZrPJSpheroid {
public:
    // Krasovsky 1940 under the name "Krasovsky 1940" (with a blank): the
    // catalogue row 7024 is spelt "Krasovsky_1940", so the two are not equal.
    CZrPJSpheroid();
    CZrPJSpheroid(CString name, double axis, double flattening);
    CZrPJSpheroid(const CZrPJSpheroid& other);
    virtual ~CZrPJSpheroid();

    void operator=(const CZrPJSpheroid& other);
    void CopyFrom(const CZrPJSpheroid& other);
    // Types equal, axes and flattenings within 1e-10 (strict), names equal
    // ignoring case.
    int operator==(const CZrPJSpheroid& other) const;

    void Set(CString name, double axis, double flattening);
    // 1 for a catalogue code; 0 and nothing changed for any other code.
    int Set(tagPJSpheroidType code);

    CString GetName() const { return m_name; }
    double GetAxis() const { return m_axis; }
    double GetFlattening() const { return m_flattening; }
    long GetType() const { return m_type; }

    // 1 when axis > 0 and 0 <= flattening < 1.
    int IsValid() const;

    // In place, geodetic (longitude, latitude in radians, height in metres)
    // <-> geocentric (metres) on this ellipsoid; return count.
    long LPHToXYZ(CPoint3D* points, long count) const;
    long XYZToLPH(CPoint3D* points, long count) const;

    // The catalogue, ascending by code: codes 0 .. GetCatalogueCount()-1;
    // an index outside that range gives -1000.
    static int GetCatalogueCount();
    static long GetCatalogueCode(int index);

    // Text and XML forms.
    CString ToString() const;
    void FromString(CString text);
    CString ToXML(int version) const;
    int FromXML(const CString& xml, int version);

private:
    // Text reading: full catalogue values for a row that the text matches.
    void RestoreCatalogueDigits();

    long m_type;
    double m_axis;       // metres
    double m_flattening; // f = (a - b) / a
    CString m_name;
};
