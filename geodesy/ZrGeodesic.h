#pragma once

#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"
#include "platform/ZrString.h"

#include <memory>

// Geodesics on an ellipsoid: distance and azimuths between two points (the
// inverse problem), the point reached from one point along an azimuth (the
// direct problem), and the perimeter and area of a polygon whose edges are
// geodesics. The solutions are Karney's (2013), good to about 15 nm on any
// terrestrial ellipsoid; GeographicLib computes them.
//
// Points are longitude (x) and latitude (y) in decimal degrees. Azimuths are
// in degrees clockwise from north, in [-180, 180]; distances, perimeters and
// areas are in metres and square metres. CZrPJGeodesic (model/) takes the
// ellipsoid and the points from a coordinate system.
//
// Every function returns nonzero on success and never throws; on failure the
// outputs are unchanged and, where a reason is asked for, it holds one line
// naming what could not be done. After Set the object is only read: several
// threads may use one at once, and nothing per point allocates.
class ZRPRJ_API CZrGeodesic {
public:
    // Not usable until Set succeeds.
    CZrGeodesic();
    CZrGeodesic(const CZrGeodesic& other);
    CZrGeodesic& operator=(const CZrGeodesic& other);
    ~CZrGeodesic();

    // Semi-major axis in metres and flattening f (0 for a sphere).
    int Set(double axis, double flattening, CString* reason = nullptr);

    int IsValid() const { return m_engine != nullptr; }
    double GetAxis() const { return m_axis; }
    double GetFlattening() const { return m_flattening; }

    // Azimuths at p1 and p2 (the forward azimuth at p2, as one travels on
    // from it) and the distance between them.
    int Inverse(const CPoint2D& p1, const CPoint2D& p2, double& azi1, double& azi2, double& distance,
                CString* reason = nullptr) const;
    // The point p2 at the given distance (metres, negative going backwards)
    // from p1 along azimuth azi1, and the forward azimuth there. p2's
    // longitude is reduced to [-180, 180).
    int Direct(const CPoint2D& p1, double azi1, double distance, CPoint2D& p2, double& azi2,
               CString* reason = nullptr) const;
    // Perimeter and signed area of the polygon through the count vertices,
    // closed from the last back to the first: positive when they run
    // counter-clockwise, negative when clockwise, with the magnitude the
    // smaller of the two regions the edges bound (at most half the
    // ellipsoid). Needs at least one vertex.
    int Area(const CPoint2D* vertices, long count, double& perimeter, double& area,
             CString* reason = nullptr) const;

private:
    struct Engine; // the solver, kept out of the interface

    std::unique_ptr<Engine> m_engine;
    double m_axis = 0.0;
    double m_flattening = 0.0;
};
