// The sample drawing of a coordinate system: a graticule of dots projected
// through the system and coloured by latitude (blue) and longitude (red), with
// a green marker at the origin.

#include "model/ZrPJCoordSys.h"
#include "model/ZrPJTypes.h"
#include "platform/ZrToolkit.h"
#include "platform/ui/ZrDC.h"

#include <cmath>
#include <cstdlib>

namespace {
constexpr COLORREF kOriginMarker = RGB(0, 255, 0);
constexpr int kMarkerSize = 4;
constexpr int kMarkerOffset = 2;

// Band drawing (Mercator and the transverse kinds): one 6 degree band,
// stretched ten times across, fitted into 265 x 192 pixels.
constexpr double kBandHalfWidth = 3.0;
constexpr double kBandStep = 0.1;
constexpr int kBandCentreStep = 30; // the step on the central meridian
constexpr double kBandWidthPixels = 265.0;
constexpr double kBandHeightPixels = 192.0;
constexpr double kBandStretch = 10.0;
constexpr int kBandLeft = 10;
constexpr int kBandShiftPerZone = 3;

// World drawing: 200 km a pixel around pixel (140, 90).
constexpr int kWorldCentreX = 140;
constexpr int kWorldCentreY = 90;
constexpr double kPixelsPerMetre = 5e-6;

constexpr int kLatitudeStep = 10;
constexpr int kLongitudeStep = 10;

// Truncation toward zero into a pixel coordinate. A point that no pixel can
// hold (far outside, or not a number) is not drawn; converting it would be
// undefined.
bool ToPixel(double value, int& pixel) {
    if (!(std::fabs(value) < 1e9)) return false;
    pixel = static_cast<int>(value);
    return true;
}

void DrawDot(CDC* dc, double x, double y, COLORREF colour, bool bMarker) {
    int px = 0, py = 0;
    if (!ToPixel(x, px) || !ToPixel(y, py)) return;
    dc->FillSolidRect(px, py, 1, 1, colour);
    if (bMarker)
        dc->FillSolidRect(px - kMarkerOffset, py - kMarkerOffset, kMarkerSize, kMarkerSize, kOriginMarker);
}

int BlueOfLatitude(int latitude) {
    return 255 - std::abs(latitude) * 255 / 90;
}

bool IsBandKind(long kind) {
    return kind == PJ_KIND_MERCATOR || kind == PJ_KIND_GAUSS_KRUGER || kind == PJ_KIND_TRANSVERSE_MERCATOR;
}
} // namespace

void CZrPJCoordSys::DrawSample(CDC* dc) {
    if (!dc) return;
    // Planar and geographic systems keep whatever kind the operator last held;
    // they are drawn as the world.
    const bool projected = m_type != PJ_CS_PLANAR && m_type != PJ_CS_EARTH;
    if (projected && IsBandKind(m_operator.GetKind())) {
        const double cm = m_params.CentralMeridian;
        const double west = cm - kBandHalfWidth;
        const double east = cm + kBandHalfWidth;
        CPoint2D ref[4] = {CPoint2D(west, 0.0), CPoint2D(east, 0.0), CPoint2D(cm, 90.0), CPoint2D(cm, -90.0)};
        Forward(ref, 4);
        const double xa = ref[0].x;
        const double ys = ref[3].y;
        const double dx = ref[1].x - xa;
        const double dy = ref[2].y - ys;
        if (CZrOperator::Is0(dx) && CZrOperator::Is0(dy)) return;
        const double sx = CZrOperator::Is0(dx) ? 1.0 : std::fabs(kBandWidthPixels / dx);
        const double sy = CZrOperator::Is0(dy) ? 1.0 : std::fabs(kBandHeightPixels / dy);
        const double scale = sx < sy ? sx : sy;
        // Three pixels further right for each 6 degree zone east of -180.
        const int zonesEast = static_cast<int>((cm + 180.0) * (-1.0 / 6.0));
        const double xoff = kBandLeft - kBandShiftPerZone * zonesEast;

        for (int lat = -90; lat <= 90; lat += kLatitudeStep) {
            const int blue = BlueOfLatitude(lat);
            int k = 0;
            // Accumulated as the original drawing did, so the last column
            // falls where it always fell.
            for (double lon = west; lon <= east; lon += kBandStep, ++k) {
                CPoint2D pt(lon, static_cast<double>(lat));
                Forward(&pt, 1);
                const int red = 255 - k * 255 / 180;
                DrawDot(dc, (pt.x - xa) * scale * kBandStretch + xoff,
                        kBandHeightPixels - (pt.y - ys) * scale, RGB(red, 0, blue),
                        lat == 0 && k == kBandCentreStep);
            }
        }
        return;
    }

    const double unitMetres = ZrUnitCodeToMetres(m_units);
    for (int lat = -90; lat <= 90; lat += kLatitudeStep) {
        const int blue = BlueOfLatitude(lat);
        for (int lon = -180; lon <= 180; lon += kLongitudeStep) {
            CPoint2D pt(static_cast<double>(lon), static_cast<double>(lat));
            Forward(&pt, 1);
            int px = 0, py = 0;
            if (!ToPixel(pt.x * unitMetres * kPixelsPerMetre, px) ||
                !ToPixel(pt.y * unitMetres * kPixelsPerMetre, py))
                continue;
            const int red = 255 - std::abs(lon) * 255 / 180;
            DrawDot(dc, static_cast<double>(kWorldCentreX + px), static_cast<double>(kWorldCentreY - py),
                    RGB(red, 0, blue), lat == 0 && lon == 0);
        }
    }
}
