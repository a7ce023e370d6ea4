// Drawing: device context with clip regions, owner-drawn controls and the
// PNG writer (read back by an independent decoder written here).

#include "platform/ui/ZrUi.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const COLORREF kGrey = RGB(240, 240, 240);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

int Count(const CZrImage& image, COLORREF colour) {
    int n = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            n += image.GetPixel(x, y) == colour;
    return n;
}

TEST(DCTest, ColoursAreWindowsColorrefValues) {
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x00563412u);
    EXPECT_EQ(GetRValue(0x00563412u), 0x12);
    EXPECT_EQ(GetGValue(0x00563412u), 0x34);
    EXPECT_EQ(GetBValue(0x00563412u), 0x56);
}

TEST(DCTest, ClipRegionLimitsDotsAndFills) {
    CZrImage image(40, 30, kGrey);
    CDC dc(&image);
    CRgn rgn;
    ASSERT_TRUE(rgn.CreateRectRgn(30, 20, 10, 5)); // corners in any order
    EXPECT_EQ(dc.SelectClipRgn(&rgn), SIMPLEREGION);
    rgn.DeleteObject(); // the context holds a copy

    dc.FillSolidRect(0, 0, 40, 30, kRed);
    EXPECT_EQ(Count(image, kRed), 20 * 15);
    EXPECT_EQ(image.GetPixel(10, 5), kRed);
    EXPECT_EQ(image.GetPixel(29, 19), kRed);
    EXPECT_EQ(image.GetPixel(30, 19), kGrey) << "right and bottom edges are outside";
    EXPECT_EQ(image.GetPixel(9, 5), kGrey);

    const struct {
        int x, y;
        bool drawn;
    } dots[] = {{10, 5, true},  {29, 19, true},  {9, 10, false},  {30, 10, false},
                {15, 4, false}, {15, 20, false}, {-1, -1, false}, {1000, 1000, false}};
    for (const auto& d : dots) {
        COLORREF result = dc.SetPixel(d.x, d.y, kBlue);
        EXPECT_EQ(result == kBlue, d.drawn) << d.x << "," << d.y;
        EXPECT_EQ(result == CLR_INVALID, !d.drawn);
    }
    EXPECT_EQ(dc.GetPixel(0, 0), CLR_INVALID) << "reading outside the clip gives nothing";

    RECT box;
    EXPECT_EQ(dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.bottom, 20);

    // Without a clip, the image's edge is the limit; a fill reaching past it
    // is cut, not wrapped into the next row.
    EXPECT_EQ(dc.SelectClipRgn(nullptr), SIMPLEREGION);
    dc.FillSolidRect(35, 25, 10, 10, kBlue);
    EXPECT_EQ(image.GetPixel(39, 29), kBlue);
    EXPECT_EQ(image.GetPixel(0, 26), kGrey);
    // A fill with a negative size covers the same rectangle as its mirror.
    dc.FillSolidRect(4, 4, -2, -2, kBlue);
    EXPECT_EQ(image.GetPixel(2, 2), kBlue);
    EXPECT_EQ(image.GetPixel(3, 3), kBlue);
    EXPECT_EQ(image.GetPixel(4, 4), kGrey);
}

TEST(DCTest, EmptyOrMissingRegionsAndTargets) {
    CZrImage image(10, 10, kGrey);
    CDC dc(&image);
    CRgn empty;
    EXPECT_EQ(dc.SelectClipRgn(&empty), 0) << "a region never created is refused";
    empty.CreateRectRgn(5, 5, 5, 9);
    EXPECT_EQ(dc.SelectClipRgn(&empty), NULLREGION);
    dc.FillSolidRect(0, 0, 10, 10, kRed);
    EXPECT_EQ(Count(image, kRed), 0);
    CRgn outside;
    outside.CreateRectRgn(20, 20, 30, 30);
    dc.SelectClipRgn(&outside);
    EXPECT_EQ(dc.SetPixel(25, 25, kRed), CLR_INVALID);

    CDC unattached;
    EXPECT_EQ(unattached.SetPixel(0, 0, kRed), CLR_INVALID);
    unattached.FillSolidRect(0, 0, 5, 5, kRed); // must not crash
    CZrImage none(-5, 3);
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ(none.GetPixel(0, 0), CLR_INVALID);
}

// ---------------------------------------------------------------------------
// Owner-drawn controls
// ---------------------------------------------------------------------------
class Owner : public CWnd {
public:
    Owner() { CreateWnd("", WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0); }
    int m_draws = 0;
    RECT m_lastRect = {0, 0, 0, 0};
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDIS) override {
        ++m_draws;
        m_lastRect = lpDIS->rcItem;
        EXPECT_EQ(static_cast<int>(lpDIS->CtlID), nIDCtl);
        EXPECT_EQ(lpDIS->CtlType, static_cast<UINT>(ODT_BUTTON));
        CDC* dc = CDC::FromHandle(lpDIS->hDC);
        CRgn rgn;
        rgn.CreateRectRgn(0, 0, 10, 10);
        dc->SelectClipRgn(&rgn);
        dc->FillSolidRect(&lpDIS->rcItem, kRed);
    }
};

TEST(OwnerDrawTest, PaintedThroughTheParentWhenVisibleAndInvalid) {
    Owner owner;
    CButton sample;
    sample.Create(nullptr, WS_VISIBLE | BS_OWNERDRAW, CRect(5, 5, 25, 20), &owner, 42);
    EXPECT_EQ(owner.m_draws, 0) << "painting waits for the message loop";
    CZrUiInput::Flush();
    EXPECT_EQ(owner.m_draws, 1);
    EXPECT_EQ(owner.m_lastRect.right, 20);
    EXPECT_EQ(owner.m_lastRect.bottom, 15);
    const CZrImage* surface = sample.GetSurface();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->GetWidth(), 20);
    EXPECT_EQ(Count(*surface, kRed), 100) << "the clip held while drawing";
    EXPECT_EQ(Count(*surface, kGrey), 20 * 15 - 100) << "an owner-drawn control starts as button face";

    // The context is handed out fresh: the drawing's clip is gone.
    CDC* dc = sample.GetDC();
    EXPECT_EQ(dc->SetPixel(19, 14, kBlue), kBlue);
    sample.ReleaseDC(dc);

    sample.ShowWindow(SW_HIDE);
    sample.Invalidate();
    CZrUiInput::Flush();
    EXPECT_EQ(owner.m_draws, 1) << "hidden controls are not painted";
    sample.ShowWindow(SW_SHOW);
    CZrUiInput::Flush();
    EXPECT_EQ(owner.m_draws, 2) << "showing paints";
    sample.Invalidate();
    sample.Invalidate();
    sample.UpdateWindow();
    CZrUiInput::Flush();
    EXPECT_EQ(owner.m_draws, 3) << "invalidations merge";
}

// ---------------------------------------------------------------------------
// PNG
// ---------------------------------------------------------------------------
unsigned BitwiseCrc(const std::vector<unsigned char>& bytes, size_t begin, size_t end) {
    unsigned crc = 0xFFFFFFFFu;
    for (size_t i = begin; i < end; ++i) {
        crc ^= bytes[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

unsigned BE32(const std::vector<unsigned char>& b, size_t at) {
    return (unsigned(b[at]) << 24) | (unsigned(b[at + 1]) << 16) | (unsigned(b[at + 2]) << 8) | b[at + 3];
}

struct DecodedPng {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgb;
    int storedBlocks = 0;
};

// Reads back what the writer produces: chunks with their CRCs, a zlib stream
// of stored blocks with its Adler-32, rows with filter type None.
bool DecodeStoredPng(const std::vector<unsigned char>& png, DecodedPng& out) {
    static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || !std::equal(sig, sig + 8, png.begin())) return false;
    std::vector<unsigned char> zlib;
    bool ended = false;
    for (size_t at = 8; at + 12 <= png.size();) {
        unsigned len = BE32(png, at);
        std::string type(png.begin() + at + 4, png.begin() + at + 8);
        if (at + 12 + len > png.size()) return false;
        if (BitwiseCrc(png, at + 4, at + 8 + len) != BE32(png, at + 8 + len)) return false;
        if (type == "IHDR") {
            out.width = BE32(png, at + 8);
            out.height = BE32(png, at + 12);
            if (png[at + 16] != 8 || png[at + 17] != 2 || png[at + 20] != 0) return false;
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), png.begin() + at + 8, png.begin() + at + 8 + len);
        } else if (type == "IEND") {
            ended = at + 12 == png.size();
        }
        at += 12 + len;
    }
    if (!ended || zlib.size() < 6 || ((zlib[0] << 8) | zlib[1]) % 31 != 0 || (zlib[0] & 0x0F) != 8)
        return false;
    std::vector<unsigned char> raw;
    size_t at = 2;
    for (bool last = false; !last;) {
        if (at + 5 > zlib.size()) return false;
        last = zlib[at] & 1;
        if ((zlib[at] >> 1) != 0) return false; // stored blocks only
        unsigned len = zlib[at + 1] | (zlib[at + 2] << 8), nlen = zlib[at + 3] | (zlib[at + 4] << 8);
        if ((len ^ 0xFFFFu) != nlen || at + 5 + len > zlib.size()) return false;
        raw.insert(raw.end(), zlib.begin() + at + 5, zlib.begin() + at + 5 + len);
        at += 5 + len;
        ++out.storedBlocks;
    }
    unsigned long long a = 1, b = 0;
    for (unsigned char c : raw)
        a = (a + c) % 65521, b = (b + a) % 65521;
    if (at + 4 != zlib.size() || BE32(zlib, at) != ((b << 16) | a)) return false;
    size_t row = out.width * 3 + 1;
    if (raw.size() != row * out.height) return false;
    for (unsigned y = 0; y < out.height; ++y) {
        if (raw[y * row] != 0) return false;
        out.rgb.insert(out.rgb.end(), raw.begin() + y * row + 1, raw.begin() + (y + 1) * row);
    }
    return true;
}

TEST(PngTest, ImagesOfEverySizeReadBackPixelForPixel) {
    // 1 x 1, a few rows, and one large enough to need two stored blocks.
    const struct { int w, h, blocks; } sizes[] = {{1, 1, 1}, {3, 2, 1}, {300, 100, 2}};
    for (const auto& s : sizes) {
        CZrImage image(s.w, s.h, kGrey);
        for (int y = 0; y < s.h; ++y)
            for (int x = 0; x < s.w; ++x)
                if ((x + y) % 3 == 0) image.SetPixel(x, y, RGB(x % 256, y % 256, (x * y) % 256));
        DecodedPng png;
        ASSERT_TRUE(DecodeStoredPng(image.EncodePng(), png)) << s.w << "x" << s.h;
        EXPECT_EQ(png.width, static_cast<unsigned>(s.w));
        EXPECT_EQ(png.height, static_cast<unsigned>(s.h));
        EXPECT_EQ(png.storedBlocks, s.blocks);
        ASSERT_EQ(png.rgb.size(), static_cast<size_t>(s.w * s.h * 3));
        for (int y = 0; y < s.h; ++y)
            for (int x = 0; x < s.w; ++x) {
                const unsigned char* p = &png.rgb[(static_cast<size_t>(y) * s.w + x) * 3];
                ASSERT_EQ(RGB(p[0], p[1], p[2]), image.GetPixel(x, y)) << x << "," << y;
            }
    }
}

TEST(PngTest, SaveWritesTheEncodedBytesOrReportsFailure) {
    CZrImage image(4, 4, kBlue);
    std::string path = ::testing::TempDir() + "zrprj_ui_dc_test.png";
    ASSERT_EQ(image.SavePng(path.c_str()), 1);
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, image.EncodePng());
    std::remove(path.c_str());

    EXPECT_EQ(image.SavePng("/nonexistent-folder/x.png"), 0);
    EXPECT_EQ(image.SavePng(""), 0);
    EXPECT_EQ(CZrImage().SavePng(path.c_str()), 0) << "PNG has no empty image";
    EXPECT_TRUE(CZrImage().EncodePng().empty());
}

} // namespace
