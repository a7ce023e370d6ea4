// Bitmap resources: drawn on their first look-up, the same pixels as when
// they were drawn at load.
#include "dialog/ZrPageCoordSysSetting.h"
#include "platform/ui/ZrDC.h"
#include "platform/ui/ZrDialogTemplate.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

int g_paintings = 0;

const CZrImage& CountedPainting() {
    static CZrImage image;
    ++g_paintings;
    image.Create(3, 2, RGB(1, 2, 3));
    return image;
}

std::uint64_t PixelHash(const CZrImage& image) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    const unsigned char* bits = image.GetBits();
    for (long i = 0; i < 3L * image.GetWidth() * image.GetHeight(); ++i) {
        h ^= bits[i];
        h *= 0x100000001b3ULL;
    }
    return h;
}

} // namespace

// A painter runs once, at the first look-up, and not at registration; a
// plain image registered later under the id replaces it, and a painter
// registered later replaces the image.
TEST(BitmapResources, APainterRunsOnceOnFirstLookUp) {
    constexpr UINT kId = 59001;
    ASSERT_TRUE(ZrRegisterBitmapPainter(kId, &CountedPainting));
    EXPECT_EQ(g_paintings, 0);
    const CZrImage* first = ZrFindBitmap(kId);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ZrFindBitmap(kId), first);
    EXPECT_EQ(g_paintings, 1);
    EXPECT_EQ(first->GetPixel(2, 1), RGB(1, 2, 3));

    const CZrImage plain(1, 1);
    ASSERT_TRUE(ZrRegisterBitmap(kId, &plain));
    EXPECT_EQ(ZrFindBitmap(kId), &plain);
    ASSERT_TRUE(ZrRegisterBitmapPainter(kId, &CountedPainting));
    EXPECT_EQ(ZrFindBitmap(kId), first);
    EXPECT_EQ(g_paintings, 2);
    EXPECT_FALSE(ZrRegisterBitmapPainter(kId + 1, nullptr));
    EXPECT_EQ(ZrFindBitmap(kId + 1), nullptr);
}

// The coordinate-system sheet's banner, drawn on demand, has the size and
// the pixels (an FNV-1a hash of its RGB bytes) it had when drawn at load.
TEST(BitmapResources, TheBannerKeepsItsPixels) {
    const CZrImage* banner = ZrFindBitmap(IDB_ZR_COORDSYS_BANNER);
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->GetWidth(), 132);
    EXPECT_EQ(banner->GetHeight(), 252);
    EXPECT_EQ(PixelHash(*banner), 0xf83f3c3a032abd7fULL);
}
