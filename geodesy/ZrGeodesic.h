#pragma once

#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"
#include "platform/ZrString.h"
#include "projection/ZrPJOperator.h"

#include <memory>

class CZrPJCoordSys;

// Geodesics on the ellipsoid of a coordinate system: distance and azimuths
// between two points (the inverse problem), the point reached from one point
// along an azimuth (the direct problem), and the perimeter and area of a
// polygon whose edges are geodesics. The solutions are Karney's (2013), good
// to about 15 nm on any terrestrial ellipsoid.
//
// Points are in the system's own coordinates: longitude/latitude in decimal
// degrees for a geographic system, x/y in the system's unit for a projected
// one, which is unprojected through its own inverse first. Azimuths are
// geodesic ones in degrees clockwise from true north, in [-180, 180];
// distances, perimeters and areas are in metres and square metres on the
// ellipsoid, whatever the system's unit.
//
// Every function returns nonzero on success and never throws; on failure the
// outputs are unchanged and, where a reason is asked for, it holds one line
// naming what could not be done. After Set the object is only read: several
// threads may use one at once, and nothing per point allocates.
class ZRPRJ_API CZrGeodesic {
public:
    // Not usable until a Set succeeds.
    CZrGeodesic();
    CZrGeodesic(const CZrGeodesic& other);
    CZrGeodesic& operator=(const CZrGeodesic& other);
    ~CZrGeodesic();

    // The ellipsoid of the system's datum, and its projection when it is
    // projected. A planar system has no ellipsoid and is refused.
    int Set(const CZrPJCoordSys& cs, CString* reason = nullptr);
    // A bare ellipsoid (semi-major axis in metres, flattening f, 0 for a
    // sphere); points are then longitude/latitude in degrees.
    int Set(double axis, double flattening, CString* reason = nullptr);

    int IsValid() const { return m_geodesic != nullptr; }
    double GetAxis() const { return m_axis; }
    double GetFlattening() const { return m_flattening; }
    // Whether points are projected x/y (else longitude/latitude).
    int IsProjected() const { return m_projected; }

    // Azimuths at p1 and p2 (the forward azimuth at p2, as one travels on
    // from it) and the distance between them.
    int Inverse(const CPoint2D& p1, const CPoint2D& p2, double& azi1, double& azi2, double& distance,
                CString* reason = nullptr) const;
    // The point p2 at the given distance (metres, negative going backwards)
    // from p1 along azimuth azi1, and the forward azimuth there.
    int Direct(const CPoint2D& p1, double azi1, double distance, CPoint2D& p2, double& azi2,
               CString* reason = nullptr) const;
    // Perimeter and signed area of the polygon through the count vertices,
    // closed from the last back to the first: positive when they run
    // counter-clockwise, negative when clockwise, with the magnitude the
    // smaller of the two regions the edges bound (at most half the
    // ellipsoid). Needs at least one vertex.
    int Area(const CPoint2D* vertices, long count, double& perimeter, double& area,
             CString* reason = nullptr) const;

    // One point of the system to longitude/latitude in degrees and back,
    // with the checks the functions above apply.
    int ToGeographic(CPoint2D& pt, CString* reason = nullptr) const;
    int FromGeographic(CPoint2D& pt, CString* reason = nullptr) const;

private:
    struct Engine; // the solver, kept out of the interface

    std::unique_ptr<Engine> m_geodesic;
    double m_axis = 0.0;
    double m_flattening = 0.0;
    int m_projected = 0;
    double m_metresPerUnit = 1.0;
    CZrPJOperator m_operator;
};
