#pragma once

// Dialog templates as data: for each dialog id, its caption, size and the list
// of its controls, as a resource script would give them. A back end lays the
// controls out from their rectangles; a page makes its controls from the list
// when its window is created. Bitmap resources are registered the same way.

#include "platform/ZrExport.h"
#include "platform/ui/ZrUiTypes.h"
#include "platform/ui/ZrWnd.h"

class CZrImage;

struct CZrDlgItemTemplate {
    int wndClass;       // ZRWC_BUTTON, ZRWC_EDIT, ZRWC_STATIC or ZRWC_COMBOBOX
    int id;             // IDC_STATIC for labels, frames and pictures
    LPCTSTR caption;    // text, or nullptr
    short x, y, cx, cy; // dialog units; for a combo box cy includes the dropped list
    DWORD style;        // WS_GROUP, WS_TABSTOP, WS_DISABLED and the BS_, ES_, SS_, CBS_ bits
    UINT imageId;       // bitmap resource of an SS_BITMAP picture, else 0
    LPCTSTR listItems;  // initial entries of a list, each ended by '\n', or nullptr
};

struct CZrDialogTemplate {
    UINT id;
    LPCTSTR caption;
    short cx, cy; // dialog units
    const CZrDlgItemTemplate* items;
    int itemCount;
};

// Registers a template; the data must outlive its use. A later registration
// of the same id replaces the earlier one. FALSE for a null template.
ZRPRJ_API BOOL ZrRegisterDialogTemplate(const CZrDialogTemplate* pTemplate);
ZRPRJ_API const CZrDialogTemplate* ZrFindDialogTemplate(UINT nID);

// Registers a bitmap resource; the image must outlive its use.
ZRPRJ_API BOOL ZrRegisterBitmap(UINT nID, const CZrImage* pImage);
// Registers a bitmap drawn on its first use: paint is called once, by the
// first ZrFindBitmap of the id, and returns an image that outlives its use.
// A drawing registered at load would be paid for by every process that loads
// the library, most of which never show a dialog.
ZRPRJ_API BOOL ZrRegisterBitmapPainter(UINT nID, const CZrImage& (*paint)());
ZRPRJ_API const CZrImage* ZrFindBitmap(UINT nID);

// Dialog units to pixels with the base units of the 8-point dialog font at
// 96 dots per inch: 6 pixels per 4 horizontal units, 13 pixels per 8
// vertical units (MapDialogRect).
ZRPRJ_API void ZrMapDialogRect(LPRECT lpRect);

// Makes the controls of a template as owned children of a dialog window.
ZRPRJ_API void ZrCreateTemplateControls(CWnd& dialog, const CZrDialogTemplate& tmpl);

// Registers a template when a translation unit is loaded.
struct ZRPRJ_API CZrDialogTemplateRegistrar {
    explicit CZrDialogTemplateRegistrar(const CZrDialogTemplate* pTemplate) {
        ZrRegisterDialogTemplate(pTemplate);
    }
};
