#pragma once

#include "platform/ZrExport.h"

// Plain value points of the base library. Geodetic use: x = longitude,
// y = latitude, z = ellipsoidal height; planar use: x = easting, y = northing.
class ZRPRJ_API CPoint2D {
public:
    double x = 0.0;
    double y = 0.0;

    CPoint2D() = default;
    CPoint2D(double x_, double y_) : x(x_), y(y_) {}
};

class ZRPRJ_API CPoint3D {
public:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    CPoint3D() = default;
    CPoint3D(double x_, double y_, double z_ = 0.0) : x(x_), y(y_), z(z_) {}
};

class ZRPRJ_API CRect2D {
public:
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;

    CRect2D() = default;
    CRect2D(double l, double t, double r, double b) : left(l), top(t), right(r), bottom(b) {}
    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
};
