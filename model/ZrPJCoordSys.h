#pragma once

#include "model/ZrPJGeoCoordSys.h"
#include "model/ZrPJObject.h"
#include "model/ZrPJParams.h"
#include "model/ZrPJTypes.h"
#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"
#include "platform/ZrString.h"
#include "projection/ZrPJOperator.h"

#include <cstddef>

class CArchive;
class CDC;

// One coordinate system: planar (type 0, x/y in a linear unit), geographic
// (type 1, longitude/latitude in decimal degrees) or projected (type -1 from
// parts, any other type a catalogue code). It owns the projection operator
// that every setter rebuilds, and projects point arrays in place with it.
//
// Linear-unit codes are the unit's length in tenths of a millimetre (metre
// 10000, foot 3048, kilometre 10000000, ...); projected coordinates, false
// easting and false northing are in that unit.
class ZRPRJ_API CZrPJCoordSys {
public:
    // The values of the catalogue row 32601 (WGS 1984, UTM zone 1 north), but
    // the operator is not built: IsValid() is 0 until a setter has run.
    CZrPJCoordSys();
    // A copy of other's definition, rebuilt; datum-shift fields stay zero.
    CZrPJCoordSys(const CZrPJCoordSys& other);
    virtual ~CZrPJCoordSys();

    void operator=(const CZrPJCoordSys& other);
    // Copies type, units, name, ratio, operator, geographic system, projection
    // and the ten projection parameters, then rebuilds (result ignored). The
    // seven datum-shift fields of this object keep their values.
    void CopyFrom(const CZrPJCoordSys& other);

    // ---- Setters: each ends with Create() and returns its result ----
    // Projected from parts (type -1); only the ten projection parameters of
    // params are taken.
    int Set(CString name, const CZrPJGeoCoordSys& gcs, const CZrPJObject& projection,
            const CZrPJParams& params, long units);
    int SetPlanar(long units);
    int SetEarth(const CZrPJGeoCoordSys& gcs, long units);
    // A projected catalogue system; 0 and nothing changed for a code without
    // a row. 53025 has no row but is accepted: nothing changes and the result
    // is that of Create() for the system as it stands.
    int Set(tagPJCoordSysType code);

    // Builds the operator from the definition. Planar and geographic systems
    // need no operator and always succeed. A projected system fails with a
    // unit code of 0 or less (the unit factor would divide by it), or when
    // the operator refuses the kind or its parameters; it then reports
    // IsValid() 0. A zero scale factor becomes 0.9996 here, for good.
    int Create();

    // ---- Getters (copies) ----
    CString GetName() const { return m_name; }
    long GetType() const { return m_type; }
    CZrPJGeoCoordSys GetGCS() const { return m_gcs; }
    CZrPJObject GetProjection() const { return m_projection; }
    CZrPJParams GetParams() const { return m_params; }
    long GetUnits() const; // 0 for a geographic system, else the unit code
    long GetDistUnits() const { return m_units; }
    // A complete copy of the built operator, usable without a further Create.
    CZrPJOperator GetPJOperator() const { return m_operator; }

    // Equal kinds and definitions; names are never compared.
    int operator==(const CZrPJCoordSys& other) const;
    // 0 for planar, 1 for geographic, else whether the operator is built.
    int IsValid() const;

    // In place: longitude (x) / latitude (y) in decimal degrees <-> projected
    // x/y in the coordinate unit. Points the operator refuses are left as
    // they were; the result is count regardless. z is never touched.
    int Forward(CPoint2D* points, long count) const;
    int Inverse(CPoint2D* points, long count) const;
    int Forward(CPoint3D* points, long count) const;
    int Inverse(CPoint3D* points, long count) const;
    // The same over columns, as proj_trans_generic takes them: x[i] and y[i]
    // lie strideX and strideY bytes apart (sizeof(double) for separate
    // arrays), so a host with columnar data copies nothing. count as above;
    // 0 when x or y is null.
    int Forward(double* x, std::size_t strideX, double* y, std::size_t strideY, long count) const;
    int Inverse(double* x, std::size_t strideX, double* y, std::size_t strideY, long count) const;

    // In place, geodetic (radians, metres) <-> geocentric (metres) on the
    // ellipsoid of the geographic system's datum; return count.
    int LPHToXYZ(CPoint3D* points, long count) const;
    int XYZToLPH(CPoint3D* points, long count) const;

    // Great-circle distance between two longitude/latitude points (degrees)
    // on a sphere of the given radius in kilometres, in the unit of the given
    // linear-unit code (0 for a code of 0 or less). Uses nothing of the object.
    double GetRadDistance(const CPoint2D& p1, const CPoint2D& p2, double radius, long units) const;

    // ---- Stored forms and drawing ----
    CString ToString() const;
    void FromString(CString text);
    CString ToXML(int version) const;
    int FromXML(const CString& xml, int version);
    void Write(CArchive& ar) const;
    void Read(CArchive& ar);
    void DrawSample(CDC* dc);

private:
    friend struct ZrPJCoordSysFiles;

    // Text projection file: one line holding the text form.
    int DoOpen();
    int Open(CString path);
    int DoSave();
    int Save(CString path);

    void FillOperator();

    CString m_name;
    long m_type;
    long m_units; // linear-unit code
    CZrPJGeoCoordSys m_gcs;
    CZrPJParams m_params;
    CZrPJObject m_projection;
    double m_ratio; // divisor of every projected coordinate
    CZrPJOperator m_operator;
};
