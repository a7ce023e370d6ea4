// Bitmap 6708: the banner along the left edge of every page of the
// coordinate-system sheet. Drawn here rather than stored: a night-blue panel
// with a globe of meridians and parallels, in the picture control's size
// (88 x 155 dialog units).

#include "dialog/ZrPageCoordSysSetting.h"
#include "platform/ui/ZrDC.h"
#include "platform/ui/ZrDialogTemplate.h"

#include <cmath>

namespace {
constexpr int kWidth = 132;
constexpr int kHeight = 252;
constexpr double kPi = 3.14159265358979323846;

void PaintBanner(CZrImage& image) {
    image.Create(kWidth, kHeight, RGB(16, 40, 88));
    // A vertical gradient from deep to lighter blue.
    for (int y = 0; y < kHeight; ++y) {
        const int t = y * 80 / kHeight;
        for (int x = 0; x < kWidth; ++x)
            image.SetPixel(x, y, RGB(16 + t / 4, 40 + t / 2, 88 + t));
    }
    // An orthographic globe: sea disc, then its graticule every 15 degrees.
    const double cx = kWidth / 2.0, cy = kHeight * 0.38, r = kWidth * 0.40;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double dx = x - cx, dy = y - cy;
            if (dx * dx + dy * dy <= r * r) image.SetPixel(x, y, RGB(40, 110, 180));
        }
    // A point of the graticule on the near side of a globe tilted towards the
    // viewer.
    const double tilt = 20.0 * kPi / 180.0;
    auto plot = [&](double phi, double lam) {
        const double x = std::cos(phi) * std::sin(lam);
        const double z = std::cos(phi) * std::cos(lam);
        const double y = std::sin(phi) * std::cos(tilt) - z * std::sin(tilt);
        if (std::sin(phi) * std::sin(tilt) + z * std::cos(tilt) < 0) return;
        image.SetPixel(static_cast<int>(cx + r * x), static_cast<int>(cy - r * y), RGB(230, 240, 255));
    };
    for (int lat = -75; lat <= 75; lat += 15)
        for (int i = 0; i < 720; ++i)
            plot(lat * kPi / 180.0, i * kPi / 360.0);
    for (int lon = 0; lon < 180; lon += 15)
        for (int i = 0; i < 720; ++i)
            plot(i * kPi / 360.0, lon * kPi / 180.0);
    // A grid of projected dots below the globe, as the sample drawings show.
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 9; ++col) {
            const int x = 18 + col * 12 + row * 2, y = 176 + row * 11;
            image.SetPixel(x, y, RGB(255 - col * 25, 0, 255 - row * 30));
            image.SetPixel(x + 1, y, RGB(255 - col * 25, 0, 255 - row * 30));
        }
}

const CZrImage& Banner() {
    static CZrImage image;
    static const bool painted = (PaintBanner(image), true);
    (void)painted;
    return image;
}

// Registered at load, painted on the first look-up: the painting is 4.8 M
// instructions that a process setting up systems by code never needs.
struct BannerRegistrar {
    BannerRegistrar() { ZrRegisterBitmapPainter(IDB_ZR_COORDSYS_BANNER, &Banner); }
} const kRegistrar;
} // namespace
