// The area of use of a coordinate system, and the world map that shows it.

#include "dialog/ZrAreaOfUse.h"

#include "dialog/ZrWorldOutline_p.h"
#include "interop/ZrInterop.h"
#include "interop/ZrSearch.h"
#include "model/ZrPJTypes.h"
#include "platform/ZrToolkit.h"
#include "platform/ui/ZrDC.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr long kEpsgWgs84 = 4326;
constexpr long kNoEpsgCode = -1000;

// Transverse Mercator zones: a zone runs half its width either side of the
// central meridian. A false easting of z * 1e6 + 500 000 m names the zone z;
// its central meridian says whether z counts 6-degree zones (6z - 3) or
// 3-degree zones (3z), as the Chinese and Russian Gauss-Krueger grids number
// them.
constexpr double kSixDegreeHalfWidth = 3.0;
constexpr double kThreeDegreeHalfWidth = 1.5;
constexpr double kZonePrefixMetres = 1e6;
constexpr double kMeridianTolerance = 1e-9; // degrees: the catalogue's meridians are exact
// UTM's latitude limits; a southern-hemisphere grid carries a false northing
// of 10 000 km, and any false northing from 5 000 km up marks one.
constexpr double kZoneNorthLimit = 84.0;
constexpr double kZoneSouthLimit = -80.0;
constexpr double kSouthernFalseNorthingMetres = 5e6;
// Conics are made for a band of latitude around their standard parallels,
// and usually for a country's width either side of their central meridian.
constexpr double kConicLatitudeMargin = 5.0;
constexpr double kConicHalfWidth = 20.0;
// Azimuthal and oblique projections: the neighbourhood of their centre; a
// centre this close to a pole serves the whole polar cap.
constexpr double kCentredRadius = 20.0;
constexpr double kPolarCentre = 60.0;
// Mercator's latitude limit for a world map (web maps stop at 85.05).
constexpr double kMercatorLatitudeLimit = 85.0;
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

enum class Domain { World, Mercator, Zone, Conic, Centred };

Domain DomainOfKind(long kind) {
    switch (kind) {
    case PJ_KIND_GAUSS_KRUGER:
    case PJ_KIND_TRANSVERSE_MERCATOR:
    case PJ_KIND_CASSINI:
        return Domain::Zone;
    case PJ_KIND_MERCATOR:
    case PJ_KIND_SPHERE_MERCATOR:
        return Domain::Mercator;
    case PJ_KIND_ALBERS:
    case PJ_KIND_LAMBERT_CONFORMAL_CONIC:
    case PJ_KIND_EQUIDISTANT_CONIC:
    case PJ_KIND_POLYCONIC:
    case PJ_KIND_BONNE:
    case PJ_KIND_BONNE_SOUTH_ORIENTATED:
        return Domain::Conic;
    case PJ_KIND_STEREOGRAPHIC:
    case PJ_KIND_AZIMUTHAL_EQUIDISTANT:
    case PJ_KIND_LAMBERT_AZIMUTHAL_EQUAL_AREA:
    case PJ_KIND_CONFORMAL_AZIMUTHAL:
    case PJ_KIND_ORTHOTIC_GRAPHIC:
    case PJ_KIND_TWO_POINT_EQUIDISTANT:
    case PJ_KIND_HOTINE_OBLIQUE_MERCATOR_TWO_POINT_NATURAL_ORIGIN:
    case PJ_KIND_HOTINE_OBLIQUE_MERCATOR_AZIMUTH_NATURAL_ORIGIN:
    case PJ_KIND_HOTINE_OBLIQUE_MERCATOR_AZIMUTH_CENTER:
    case PJ_KIND_OBLIQUE_MERCATOR:
    case PJ_KIND_HOTINE_OBLIQUE_MERCATOR:
        return Domain::Centred;
    default:
        return Domain::World;
    }
}

double Clamp(double v, double lo, double hi) {
    return std::max(lo, std::min(hi, v));
}

// Longitude into [-180, 180).
double Wrap(double lon) {
    lon = std::fmod(lon + 180.0, 360.0);
    if (lon < 0.0) lon += 360.0;
    return lon - 180.0;
}

// A box of half-width hw around a meridian; the whole circle when it would
// wrap onto itself.
void SetLongitudes(ZrAreaOfUse& a, double centre, double hw) {
    if (hw >= 180.0) {
        a.west = -180.0, a.east = 180.0;
        return;
    }
    a.west = Wrap(centre - hw);
    a.east = Wrap(centre + hw);
    if (a.east == -180.0) a.east = 180.0;
}

double ZoneHalfWidth(const CZrPJParams& p, double unitMetres) {
    const double falseEastingMetres = p.FalseEasting * unitMetres;
    const double zone = std::floor(falseEastingMetres / kZonePrefixMetres);
    if (zone >= 1.0) {
        if (std::fabs(p.CentralMeridian - Wrap(6.0 * zone - 3.0)) < kMeridianTolerance)
            return kSixDegreeHalfWidth;
        if (std::fabs(p.CentralMeridian - Wrap(3.0 * zone)) < kMeridianTolerance)
            return kThreeDegreeHalfWidth;
    }
    // Without a prefix: a 6-degree zone's meridian is an odd multiple of 3,
    // so one on a multiple of 6 (CGCS2000's "CM 114E") centres a 3-degree
    // zone.
    const double sixths = p.CentralMeridian / 6.0;
    if (std::fabs(sixths - std::round(sixths)) * 6.0 < kMeridianTolerance) return kThreeDegreeHalfWidth;
    return kSixDegreeHalfWidth;
}

void ProjectionDomain(const CZrPJCoordSys& cs, ZrAreaOfUse& a) {
    const CZrPJParams p = cs.GetParams();
    const double unitMetres = ZrUnitCodeToMetres(cs.GetDistUnits());
    switch (DomainOfKind(cs.GetProjection().GetType())) {
    case Domain::Zone:
        SetLongitudes(a, p.CentralMeridian, ZoneHalfWidth(p, unitMetres));
        if (p.FalseNorthing * unitMetres >= kSouthernFalseNorthingMetres)
            a.south = kZoneSouthLimit, a.north = 0.0;
        else
            a.south = 0.0, a.north = kZoneNorthLimit;
        break;
    case Domain::Mercator:
        a.south = -kMercatorLatitudeLimit, a.north = kMercatorLatitudeLimit;
        break;
    case Domain::Conic: {
        // The standard parallels where the kind has them; the latitude of
        // origin of a polyconic or a Bonne, which have none. A conic's
        // origin is often far outside its band (0 for China's Albers).
        const bool hasParallels = p.StandardParallel1 != 0.0 || p.StandardParallel2 != 0.0;
        const double lo =
            hasParallels ? std::min(p.StandardParallel1, p.StandardParallel2) : p.CentralParallel;
        const double hi =
            hasParallels ? std::max(p.StandardParallel1, p.StandardParallel2) : p.CentralParallel;
        a.south = Clamp(lo - kConicLatitudeMargin, -90.0, 90.0);
        a.north = Clamp(hi + kConicLatitudeMargin, -90.0, 90.0);
        SetLongitudes(a, p.CentralMeridian, kConicHalfWidth);
        break;
    }
    case Domain::Centred: {
        const double lat = p.CentralParallel;
        if (std::fabs(lat) >= kPolarCentre) {
            a.south = lat > 0 ? lat - kCentredRadius : -90.0;
            a.north = lat > 0 ? 90.0 : lat + kCentredRadius;
            break;
        }
        a.south = Clamp(lat - kCentredRadius, -90.0, 90.0);
        a.north = Clamp(lat + kCentredRadius, -90.0, 90.0);
        // The same ground distance east and west spans more longitude
        // towards the poles.
        const double widest = std::max(std::fabs(a.south), std::fabs(a.north));
        SetLongitudes(a, p.CentralMeridian, kCentredRadius / std::cos(widest * kRadiansPerDegree));
        break;
    }
    case Domain::World:
        break;
    }
}

bool CrossesAntimeridian(const ZrAreaOfUse& a) {
    return a.west > a.east;
}

// Where the datum is used: EPSG gives no box for a geographic system in the
// data the library carries, but its best transformation to WGS 84 is made
// for the region that uses the datum.
bool DatumRegion(const CZrPJCoordSys& cs, ZrEpsgTransformation& best) {
    const long geographic = ZrEpsgGeographicCodeOf(cs);
    if (geographic == kNoEpsgCode || geographic == kEpsgWgs84) return false;
    return ZrEpsgTransformationCandidates(geographic, kEpsgWgs84, &best, 1) > 0 ||
           ZrEpsgTransformationCandidates(kEpsgWgs84, geographic, &best, 1) > 0;
}
} // namespace

int ZrCoordSysAreaOfUse(const CZrPJCoordSys& cs, ZrAreaOfUse& out) {
    if (cs.GetType() == PJ_CS_PLANAR) return 0;
    ZrAreaOfUse a;
    ZrSearchHit described;
    if (ZrDescribeCoordSys(cs, described) && described.hasArea) {
        a.west = described.west, a.south = described.south;
        a.east = described.east, a.north = described.north;
        a.name = described.areaName.c_str();
        out = a;
        return 1;
    }
    if (cs.GetType() != PJ_CS_EARTH) ProjectionDomain(cs, a);

    ZrEpsgTransformation best;
    if (DatumRegion(cs, best) && !(best.west > best.east) && !CrossesAntimeridian(a)) {
        ZrAreaOfUse region = a;
        region.west = std::max(a.west, best.west);
        region.east = std::min(a.east, best.east);
        region.south = std::max(a.south, best.south);
        region.north = std::min(a.north, best.north);
        // A projection used outside its datum's region (a zone of a
        // neighbouring country) keeps its own domain.
        if (region.west < region.east && region.south < region.north) {
            if (cs.GetType() == PJ_CS_EARTH) region.name = best.area;
            a = region;
        }
    }
    out = a;
    return 1;
}

// ---------------------------------------------------------------------------
// The map
// ---------------------------------------------------------------------------
namespace {
constexpr COLORREF kSea = RGB(226, 236, 246);
constexpr COLORREF kCoast = RGB(96, 110, 120);
constexpr COLORREF kAreaEdge = RGB(220, 40, 30);
constexpr COLORREF kAreaTint = RGB(255, 120, 80);
constexpr int kTintPercent = 40;

// Plate carree fitted into a rectangle at 2:1, centred.
struct MapFrame {
    double left, top, pixelsPerDegree;
    double X(double lon) const { return left + (lon + 180.0) * pixelsPerDegree; }
    double Y(double lat) const { return top + (90.0 - lat) * pixelsPerDegree; }
};

MapFrame FitWorld(const RECT& rc) {
    const double w = rc.right - rc.left, h = rc.bottom - rc.top;
    const double ppd = std::max(0.0, std::min((w - 1.0) / 360.0, (h - 1.0) / 180.0));
    return {rc.left + (w - 1.0 - 360.0 * ppd) / 2.0, rc.top + (h - 1.0 - 180.0 * ppd) / 2.0, ppd};
}

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

void Line(CDC* dc, int x0, int y0, int x1, int y1, COLORREF colour) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        dc->SetPixel(x0, y0, colour);
        if (x0 == x1 && y0 == y1) return;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

COLORREF Blend(COLORREF under, COLORREF over, int percent) {
    auto mix = [percent](int a, int b) { return (a * (100 - percent) + b * percent) / 100; };
    return RGB(mix(GetRValue(under), GetRValue(over)), mix(GetGValue(under), GetGValue(over)),
               mix(GetBValue(under), GetBValue(over)));
}

void ShadeBox(CDC* dc, const MapFrame& f, double west, double south, double east, double north) {
    const int x0 = Round(f.X(west)), x1 = Round(f.X(east));
    const int y0 = Round(f.Y(north)), y1 = Round(f.Y(south));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const COLORREF under = dc->GetPixel(x, y);
            if (under != CLR_INVALID) dc->SetPixel(x, y, Blend(under, kAreaTint, kTintPercent));
        }
    Line(dc, x0, y0, x1, y0, kAreaEdge);
    Line(dc, x1, y0, x1, y1, kAreaEdge);
    Line(dc, x1, y1, x0, y1, kAreaEdge);
    Line(dc, x0, y1, x0, y0, kAreaEdge);
}
} // namespace

void ZrDrawAreaOfUseMap(CDC* dc, const RECT& rc, const ZrAreaOfUse* area) {
    if (!dc) return;
    const MapFrame f = FitWorld(rc);
    dc->FillSolidRect(Round(f.X(-180.0)), Round(f.Y(90.0)), Round(360.0 * f.pixelsPerDegree) + 1,
                      Round(180.0 * f.pixelsPerDegree) + 1, kSea);

    const ZrWorldOutline& outline = ZrGetWorldOutline();
    const double perUnit = 1.0 / outline.unitsPerDegree;
    for (int i = 0; i < outline.polylineCount; ++i) {
        const short* p = outline.points + 2 * outline.starts[i];
        const short* end = outline.points + 2 * outline.starts[i + 1];
        int x = Round(f.X(p[0] * perUnit)), y = Round(f.Y(p[1] * perUnit));
        for (p += 2; p < end; p += 2) {
            const int nx = Round(f.X(p[0] * perUnit)), ny = Round(f.Y(p[1] * perUnit));
            Line(dc, x, y, nx, ny, kCoast);
            x = nx, y = ny;
        }
    }

    if (!area) return;
    if (CrossesAntimeridian(*area)) {
        ShadeBox(dc, f, area->west, area->south, 180.0, area->north);
        ShadeBox(dc, f, -180.0, area->south, area->east, area->north);
    } else {
        ShadeBox(dc, f, area->west, area->south, area->east, area->north);
    }
}
