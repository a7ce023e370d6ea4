#include "platform/ui/ZrDC.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// CZrImage
// ---------------------------------------------------------------------------
void CZrImage::Create(int nWidth, int nHeight, COLORREF crFill) {
    m_nWidth = std::max(nWidth, 0);
    m_nHeight = std::max(nHeight, 0);
    m_bits.assign(static_cast<size_t>(m_nWidth) * static_cast<size_t>(m_nHeight) * 3, 0);
    Fill(crFill);
}

COLORREF CZrImage::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return CLR_INVALID;
    const unsigned char* p = &m_bits[(static_cast<size_t>(y) * static_cast<size_t>(m_nWidth) + x) * 3];
    return RGB(p[0], p[1], p[2]);
}

void CZrImage::SetPixel(int x, int y, COLORREF crColor) {
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return;
    unsigned char* p = &m_bits[(static_cast<size_t>(y) * static_cast<size_t>(m_nWidth) + x) * 3];
    p[0] = GetRValue(crColor);
    p[1] = GetGValue(crColor);
    p[2] = GetBValue(crColor);
}

void CZrImage::Fill(COLORREF crColor) {
    for (size_t i = 0; i + 2 < m_bits.size(); i += 3) {
        m_bits[i] = GetRValue(crColor);
        m_bits[i + 1] = GetGValue(crColor);
        m_bits[i + 2] = GetBValue(crColor);
    }
}

// ---------------------------------------------------------------------------
// CRgn
// ---------------------------------------------------------------------------
BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) {
    // GDI orders the corners.
    m_rect = RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    m_bCreated = true;
    return TRUE;
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) {
    if (!lpRect) return FALSE;
    return CreateRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

BOOL CRgn::DeleteObject() {
    BOOL had = m_bCreated;
    m_bCreated = false;
    m_rect = RECT{0, 0, 0, 0};
    return had;
}

int CRgn::GetRgnBox(LPRECT lpRect) const {
    if (!m_bCreated) return 0;
    if (lpRect) *lpRect = m_rect;
    return (m_rect.right > m_rect.left && m_rect.bottom > m_rect.top) ? SIMPLEREGION : NULLREGION;
}

BOOL CRgn::PtInRegion(int x, int y) const {
    return m_bCreated && x >= m_rect.left && x < m_rect.right && y >= m_rect.top && y < m_rect.bottom;
}

// ---------------------------------------------------------------------------
// CDC
// ---------------------------------------------------------------------------
void CDC::AttachImage(CZrImage* pImage) {
    m_pImage = pImage;
    m_bClipped = false;
}

BOOL CDC::IsDrawable(int x, int y) const {
    if (!m_pImage || x < 0 || y < 0 || x >= m_pImage->GetWidth() || y >= m_pImage->GetHeight()) return FALSE;
    return !m_bClipped || (x >= m_clip.left && x < m_clip.right && y >= m_clip.top && y < m_clip.bottom);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF crColor) {
    if (!IsDrawable(x, y)) return CLR_INVALID;
    m_pImage->SetPixel(x, y, crColor);
    return crColor & 0x00FFFFFFu;
}

COLORREF CDC::GetPixel(int x, int y) const {
    return IsDrawable(x, y) ? m_pImage->GetPixel(x, y) : CLR_INVALID;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    if (!lpRect || !m_pImage) return;
    RECT box;
    if (!GetClipBox(&box)) return;
    int left = std::max(std::min(lpRect->left, lpRect->right), box.left);
    int right = std::min(std::max(lpRect->left, lpRect->right), box.right);
    int top = std::max(std::min(lpRect->top, lpRect->bottom), box.top);
    int bottom = std::min(std::max(lpRect->top, lpRect->bottom), box.bottom);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            m_pImage->SetPixel(x, y, clr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
    RECT rect = {x, y, x + cx, y + cy};
    FillSolidRect(&rect, clr);
}

int CDC::SelectClipRgn(CRgn* pRgn) {
    if (!pRgn) {
        m_bClipped = false;
        return SIMPLEREGION;
    }
    RECT box;
    int type = pRgn->GetRgnBox(&box);
    if (!type) return 0;
    m_clip = box;
    m_bClipped = true;
    return type;
}

int CDC::GetClipBox(LPRECT lpRect) const {
    if (!m_pImage) return 0;
    RECT box = {0, 0, m_pImage->GetWidth(), m_pImage->GetHeight()};
    if (m_bClipped) {
        box.left = std::max(box.left, m_clip.left);
        box.top = std::max(box.top, m_clip.top);
        box.right = std::min(box.right, m_clip.right);
        box.bottom = std::min(box.bottom, m_clip.bottom);
    }
    if (lpRect) *lpRect = box;
    return (box.right > box.left && box.bottom > box.top) ? SIMPLEREGION : NULLREGION;
}
