#pragma once

// Drawing: an RGB image, rectangular clip regions and a device context that
// sets dots and fills rectangles into the image, with a PNG writer so that a
// drawing can be looked at without a display.

#include "platform/ZrExport.h"
#include "platform/ui/ZrUiTypes.h"

#include <vector>

#define NULLREGION 1
#define SIMPLEREGION 2

class ZRPRJ_API CZrImage {
public:
    CZrImage() = default;
    CZrImage(int nWidth, int nHeight, COLORREF crFill = RGB(255, 255, 255)) {
        Create(nWidth, nHeight, crFill);
    }

    // Negative sizes count as 0.
    void Create(int nWidth, int nHeight, COLORREF crFill = RGB(255, 255, 255));
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    BOOL IsEmpty() const { return m_nWidth == 0 || m_nHeight == 0; }

    // CLR_INVALID outside the image.
    COLORREF GetPixel(int x, int y) const;
    // Ignored outside the image.
    void SetPixel(int x, int y, COLORREF crColor);
    void Fill(COLORREF crColor);
    // Rows from the top, three bytes (red, green, blue) a pixel.
    const unsigned char* GetBits() const { return m_bits.data(); }

    // An 8-bit RGB PNG (stored deflate blocks); empty for an empty image.
    std::vector<unsigned char> EncodePng() const;
    // 1 when the file was written, 0 otherwise.
    int SavePng(const char* lpszPath) const;

private:
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<unsigned char> m_bits;
};

class ZRPRJ_API CRgn {
public:
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
    BOOL CreateRectRgnIndirect(LPCRECT lpRect);
    BOOL DeleteObject();
    BOOL IsCreated() const { return m_bCreated; }
    // SIMPLEREGION, NULLREGION, or 0 when there is no region.
    int GetRgnBox(LPRECT lpRect) const;
    BOOL PtInRegion(int x, int y) const;

private:
    bool m_bCreated = false;
    RECT m_rect = {0, 0, 0, 0};
};

// A device context over an image: device pixels, origin at the image's
// top-left. Drawing outside the image or the selected clip region is
// dropped.
class ZRPRJ_API CDC {
public:
    CDC() = default;
    explicit CDC(CZrImage* pImage) : m_pImage(pImage) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    void AttachImage(CZrImage* pImage);
    CZrImage* GetImage() const { return m_pImage; }
    static CDC* FromHandle(HDC hDC) { return hDC; }
    HDC GetSafeHdc() { return this; }

    // Returns the colour set, or CLR_INVALID when the dot is clipped.
    COLORREF SetPixel(int x, int y, COLORREF crColor);
    BOOL SetPixelV(int x, int y, COLORREF crColor) { return SetPixel(x, y, crColor) != CLR_INVALID; }
    COLORREF GetPixel(int x, int y) const;
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);

    // The region is copied: deleting it afterwards leaves the clip in place.
    // nullptr removes the clip. Returns SIMPLEREGION, NULLREGION, or 0.
    int SelectClipRgn(CRgn* pRgn);
    // The drawable box (clip region within the image).
    int GetClipBox(LPRECT lpRect) const;

private:
    BOOL IsDrawable(int x, int y) const;

    CZrImage* m_pImage = nullptr;
    bool m_bClipped = false;
    RECT m_clip = {0, 0, 0, 0};
};
