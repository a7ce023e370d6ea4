#pragma once

// Where on the Earth a coordinate system is meant to be used, and the small
// world map the wizard shows it on beside the system's sample drawing.

#include "model/ZrPJCoordSys.h"
#include "platform/ZrExport.h"
#include "platform/ZrString.h"
#include "platform/ui/ZrUiTypes.h"

class CDC;

struct ZrAreaOfUse {
    // Degrees. West greater than east: the box crosses the antimeridian.
    double west = -180.0, south = -90.0, east = 180.0, north = 90.0;
    // EPSG's name of the area; empty when the box is the projection's own
    // domain rather than EPSG's.
    CString name;
};

// EPSG's area of use (box and name) where the library's search index
// describes the system; else the domain its projection is made for, cut to
// the region its datum's best transformation to WGS 84 serves: the zone of a
// transverse Mercator system (6 or 3 degrees, read from the zone prefix of
// the false easting or from the central meridian) in the hemisphere its
// false northing serves, the latitudes around the standard parallels of a
// conic, the neighbourhood of an azimuthal or oblique projection's centre,
// the world for world projections and geographic systems. 0 for a planar
// system, which is nowhere in particular.
ZRPRJ_API int ZrCoordSysAreaOfUse(const CZrPJCoordSys& cs, ZrAreaOfUse& out);

// Draws the world (longitude and latitude as x and y, fitted into the
// rectangle at two to one) with its coastlines, and the area of use shaded
// over it; area may be nullptr.
ZRPRJ_API void ZrDrawAreaOfUseMap(CDC* dc, const RECT& rc, const ZrAreaOfUse* area);
