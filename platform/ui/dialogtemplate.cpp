#include "platform/ui/ZrDialogTemplate.h"

#include "platform/ui/ZrControls.h"
#include "platform/ui/ZrDC.h"

#include <map>
#include <memory>

// Base units of the 8-point dialog font at 96 dots per inch: a dialog unit is
// a quarter of the average character width (6 px) across and an eighth of
// the character height (13 px) down.
static const int kBaseUnitX = 6;
static const int kBaseUnitY = 13;
// Height of a combo box's edit part; the template's height includes the
// dropped-down list.
static const int kComboFieldHeightDlu = 14;

namespace {

std::map<UINT, const CZrDialogTemplate*>& Templates() {
    static std::map<UINT, const CZrDialogTemplate*> templates;
    return templates;
}

std::map<UINT, const CZrImage*>& Bitmaps() {
    static std::map<UINT, const CZrImage*> bitmaps;
    return bitmaps;
}

std::map<UINT, const CZrImage& (*)()>& BitmapPainters() {
    static std::map<UINT, const CZrImage& (*)()> painters;
    return painters;
}

// MulDiv: rounded to nearest, halves away from zero.
int MulDiv(int value, int num, int den) {
    long long p = static_cast<long long>(value) * num;
    long long q = p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den);
    return static_cast<int>(q);
}

} // namespace

BOOL ZrRegisterDialogTemplate(const CZrDialogTemplate* pTemplate) {
    if (!pTemplate) return FALSE;
    Templates()[pTemplate->id] = pTemplate;
    return TRUE;
}

const CZrDialogTemplate* ZrFindDialogTemplate(UINT nID) {
    auto it = Templates().find(nID);
    return it == Templates().end() ? nullptr : it->second;
}

BOOL ZrRegisterBitmap(UINT nID, const CZrImage* pImage) {
    if (!pImage) return FALSE;
    BitmapPainters().erase(nID);
    Bitmaps()[nID] = pImage;
    return TRUE;
}

BOOL ZrRegisterBitmapPainter(UINT nID, const CZrImage& (*paint)()) {
    if (!paint) return FALSE;
    Bitmaps().erase(nID);
    BitmapPainters()[nID] = paint;
    return TRUE;
}

const CZrImage* ZrFindBitmap(UINT nID) {
    auto it = Bitmaps().find(nID);
    if (it != Bitmaps().end()) return it->second;
    auto painter = BitmapPainters().find(nID);
    if (painter == BitmapPainters().end()) return nullptr;
    const CZrImage* image = &painter->second();
    Bitmaps()[nID] = image;
    return image;
}

void ZrMapDialogRect(LPRECT lpRect) {
    if (!lpRect) return;
    lpRect->left = MulDiv(lpRect->left, kBaseUnitX, 4);
    lpRect->right = MulDiv(lpRect->right, kBaseUnitX, 4);
    lpRect->top = MulDiv(lpRect->top, kBaseUnitY, 8);
    lpRect->bottom = MulDiv(lpRect->bottom, kBaseUnitY, 8);
}

void ZrCreateTemplateControls(CWnd& dialog, const CZrDialogTemplate& tmpl) {
    for (int i = 0; i < tmpl.itemCount; ++i) {
        const CZrDlgItemTemplate& item = tmpl.items[i];
        int cy = item.cy;
        if (item.wndClass == ZRWC_COMBOBOX && cy > kComboFieldHeightDlu) cy = kComboFieldHeightDlu;
        RECT rect = {item.x, item.y, item.x + item.cx, item.y + cy};
        ZrMapDialogRect(&rect);
        // Controls are visible unless a page hides them.
        DWORD style = item.style | WS_CHILD | WS_VISIBLE;
        LPCTSTR caption = item.caption ? item.caption : "";

        std::unique_ptr<CWnd> control;
        switch (item.wndClass) {
        case ZRWC_BUTTON: {
            auto button = std::make_unique<CButton>();
            button->Create(caption, style, rect, nullptr, item.id);
            control = std::move(button);
            break;
        }
        case ZRWC_EDIT: {
            auto edit = std::make_unique<CEdit>();
            edit->Create(style, rect, nullptr, item.id);
            edit->SetWindowText(caption);
            control = std::move(edit);
            break;
        }
        case ZRWC_COMBOBOX: {
            auto combo = std::make_unique<CComboBox>();
            combo->Create(style, rect, nullptr, item.id);
            for (const char* p = item.listItems; p && *p;) {
                const char* end = p;
                while (*end && *end != '\n')
                    ++end;
                combo->AddString(CString(p, static_cast<int>(end - p)));
                p = *end ? end + 1 : end;
            }
            control = std::move(combo);
            break;
        }
        default: {
            auto label = std::make_unique<CStatic>();
            label->Create(caption, style, rect, nullptr, item.id);
            label->SetImageId(item.imageId);
            control = std::move(label);
            break;
        }
        }
        dialog.AdoptOwnedChild(std::move(control));
    }
}
