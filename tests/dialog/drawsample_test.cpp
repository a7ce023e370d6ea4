// The sample drawing of a coordinate system: band drawing of the transverse
// kinds and Mercator, world drawing of every other system.

#include "model/ZrPJCoordSys.h"
#include "model/ZrPJTypes.h"
#include "platform/ui/ZrDC.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

CZrPJCoordSys Projected(long kind, double cm, double fe, double fn, long units) {
    CZrPJGeoCoordSys gcs;
    gcs.Set(static_cast<tagGeoCoordSysType>(4214));
    CZrPJParams params;
    params.CentralMeridian = cm;
    params.FalseEasting = fe;
    params.FalseNorthing = fn;
    params.ScaleFactor = 1.0;
    CZrPJCoordSys cs;
    EXPECT_EQ(cs.Set("sample", gcs, CZrPJObject(static_cast<tagPJObjectType>(kind)), params, units), 1);
    return cs;
}

struct Drawing {
    CZrImage image{400, 300, kWhite};
    CDC dc{&image};

    explicit Drawing(CZrPJCoordSys cs) { cs.DrawSample(&dc); }
    int MinX() const {
        for (int x = 0; x < image.GetWidth(); ++x)
            for (int y = 0; y < image.GetHeight(); ++y)
                if (image.GetPixel(x, y) != kWhite) return x;
        return -1;
    }
    int MinY() const {
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 0; x < image.GetWidth(); ++x)
                if (image.GetPixel(x, y) != kWhite) return y;
        return -1;
    }
    int Count(COLORREF colour) const {
        int n = 0;
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 0; x < image.GetWidth(); ++x)
                n += image.GetPixel(x, y) == colour;
        return n;
    }
    // Top-left corner of the (single) 4 x 4 green marker.
    bool Marker(int& left, int& top) const {
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 0; x < image.GetWidth(); ++x)
                if (image.GetPixel(x, y) == kGreen) {
                    left = x, top = y;
                    return true;
                }
        return false;
    }
};

// The band starts 3 pixels further right for each 6 degree zone east of -180;
// its west edge is drawn at the equator, where the band is widest.
TEST(DrawSampleTest, BandLeftEdgeMovesThreePixelsAZone) {
    const struct {
        long kind;
        double cm;
        int left;
    } cases[] = {
        {PJ_KIND_TRANSVERSE_MERCATOR, 117.0, 157}, // 10 + 3 x 49
        {PJ_KIND_GAUSS_KRUGER, 117.0, 157},
        {PJ_KIND_TRANSVERSE_MERCATOR, -177.0, 10}, // zone 1
        {PJ_KIND_GAUSS_KRUGER, 3.0, 100},          // 10 + 3 x 30
        {PJ_KIND_GAUSS_KRUGER, 105.0, 151},        // 10 + 3 x 47
        {PJ_KIND_MERCATOR, 117.0, 157},            // poles clamped, still a band
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cm);
        Drawing d(Projected(c.kind, c.cm, 500000.0, 0.0, 10000));
        EXPECT_EQ(d.MinX(), c.left);
        // The north pole row is at the top: the band is fitted to 192 pixels high.
        EXPECT_EQ(d.MinY(), 0);
        // West edge dot on the equator, half-way down the 192 pixels (rounding
        // puts it on row 95 or 96): red of the first steps (a squeezed band
        // draws a few steps on one pixel) and full blue.
        const auto isEdge = [](COLORREF c) {
            return GetBValue(c) == 255 && GetGValue(c) == 0 && GetRValue(c) >= 250;
        };
        EXPECT_TRUE(isEdge(d.image.GetPixel(c.left, 95)) || isEdge(d.image.GetPixel(c.left, 96)));
    }
}

TEST(DrawSampleTest, BandMarksTheCentralMeridianOnTheEquator) {
    Drawing d(Projected(PJ_KIND_TRANSVERSE_MERCATOR, 117.0, 500000.0, 0.0, 10000));
    int left = 0, top = 0;
    ASSERT_TRUE(d.Marker(left, top));
    // The dots after the central meridian's are drawn over the marker's right
    // part; the marker itself is 4 x 4.
    EXPECT_GE(d.Count(kGreen), 14);
    EXPECT_LE(d.Count(kGreen), 16);
    // The central meridian is half the band's width east of its west edge
    // (the band is about 64 pixels wide), and the equator half-way down.
    EXPECT_GT(left + 2, 157 + 25);
    EXPECT_LT(left + 2, 157 + 40);
    EXPECT_GE(top + 2, 95);
    EXPECT_LE(top + 2, 96);
}

// World drawing: 200 km a pixel around (140, 90), in metres whatever the unit.
TEST(DrawSampleTest, WorldDrawingPlacesTheOriginByItsMetres) {
    const struct {
        long units;
        double fe, fn; // in the unit: 1 000 000 m east, 500 000 m north
    } cases[] = {
        {10000, 1000000.0, 500000.0},
        {1000, 10000000.0, 5000000.0}, // decimetres
        {10000000, 1000.0, 500.0},     // kilometres
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.units);
        Drawing d(Projected(PJ_KIND_PLATE_CARREE, 0.0, c.fe, c.fn, c.units));
        int left = 0, top = 0;
        ASSERT_TRUE(d.Marker(left, top));
        EXPECT_EQ(left + 2, 145);
        EXPECT_EQ(top + 2, 88);
    }
}

TEST(DrawSampleTest, WorldDrawingColoursByLongitudeAndLatitude) {
    Drawing d(Projected(PJ_KIND_PLATE_CARREE, 0.0, 0.0, 0.0, 10000));
    int left = 0, top = 0;
    ASSERT_TRUE(d.Marker(left, top));
    EXPECT_EQ(left + 2, 140);
    EXPECT_EQ(top + 2, 90);
    // pi x 6378245 m is 100.2 pixels: longitude 180 at x 240, 90 at x 190.
    EXPECT_EQ(d.image.GetPixel(240, 90), RGB(0, 0, 255));
    EXPECT_EQ(d.image.GetPixel(40, 90), RGB(0, 0, 255));
    EXPECT_EQ(d.image.GetPixel(190, 90), RGB(128, 0, 255));
    // Latitude 60 (x 140 - 0, y 90 - 33): blue 255 - 60 x 255 / 90 = 85.
    EXPECT_EQ(d.image.GetPixel(140, 90 - 33), RGB(255, 0, 85));
    EXPECT_EQ(d.Count(kGreen), 16);
}

// Planar and geographic systems never take the band branch, even when the
// operator they were converted from held a transverse kind.
TEST(DrawSampleTest, UnprojectedSystemsAreDrawnAsTheWorld) {
    CZrPJCoordSys planar = Projected(PJ_KIND_TRANSVERSE_MERCATOR, 117.0, 500000.0, 0.0, 10000);
    planar.SetPlanar(10000);
    CZrPJCoordSys earth = Projected(PJ_KIND_GAUSS_KRUGER, 117.0, 500000.0, 0.0, 10000);
    CZrPJGeoCoordSys gcs;
    earth.SetEarth(gcs, 10000);
    const Drawing band(Projected(PJ_KIND_TRANSVERSE_MERCATOR, 117.0, 500000.0, 0.0, 10000));
    for (CZrPJCoordSys* cs : {&planar, &earth}) {
        Drawing d(*cs);
        EXPECT_NE(d.MinX(), 157);
        int left = 0, top = 0, bandLeft = 0, bandTop = 0;
        if (d.Marker(left, top) && band.Marker(bandLeft, bandTop)) {
            EXPECT_FALSE(left == bandLeft && top == bandTop);
        }
    }
}

} // namespace
