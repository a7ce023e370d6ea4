#pragma once

#include "geodesy/ZrGeodesic.h"
#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"
#include "platform/ZrString.h"
#include "projection/ZrPJOperator.h"

class CZrPJCoordSys;

// Geodesics (CZrGeodesic) on the ellipsoid of a coordinate system's datum,
// with the points in the system's own coordinates: longitude/latitude in
// decimal degrees for a geographic system, x/y in the unit of a projected
// one, which are unprojected through the system's inverse first (and the
// direct problem's end point projected back). Azimuths are geodesic ones
// from true north, not grid bearings; distances, perimeters and areas are in
// metres and square metres on the ellipsoid, whatever the system's unit.
//
// Return codes and reasons as CZrGeodesic's. A point the projection clamps
// or folds (a northing past the pole, the far side of a transverse
// projection) is refused rather than measured where it landed.
class ZRPRJ_API CZrPJGeodesic {
public:
    CZrPJGeodesic() = default;
    CZrPJGeodesic(const CZrPJGeodesic& other);
    CZrPJGeodesic& operator=(const CZrPJGeodesic& other);

    // The ellipsoid of the system's datum, and its projection when it is
    // projected. A planar system has no ellipsoid and is refused.
    int Set(const CZrPJCoordSys& cs, CString* reason = nullptr);

    int IsValid() const { return m_geodesic.IsValid(); }
    // Whether points are projected x/y (else longitude/latitude).
    int IsProjected() const { return m_projected; }
    const CZrGeodesic& GetGeodesic() const { return m_geodesic; }

    int Inverse(const CPoint2D& p1, const CPoint2D& p2, double& azi1, double& azi2, double& distance,
                CString* reason = nullptr) const;
    int Direct(const CPoint2D& p1, double azi1, double distance, CPoint2D& p2, double& azi2,
               CString* reason = nullptr) const;
    // A projected polygon's vertices are unprojected into one buffer per call.
    int Area(const CPoint2D* vertices, long count, double& perimeter, double& area,
             CString* reason = nullptr) const;

    // One point of the system to longitude/latitude in degrees and back,
    // with the checks the functions above apply.
    int ToGeographic(CPoint2D& pt, CString* reason = nullptr) const;
    int FromGeographic(CPoint2D& pt, CString* reason = nullptr) const;

private:
    CZrGeodesic m_geodesic;
    int m_projected = 0;
    double m_metresPerUnit = 1.0;
    CZrPJOperator m_operator;
};
