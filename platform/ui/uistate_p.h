#pragma once

// State of the user-interface thread shared by the window model's sources:
// posted messages, windows waiting to be painted and the focus.

#include "platform/ui/ZrWnd.h"

#include <deque>
#include <vector>

struct ZrPostedMessage {
    CWnd* target;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct ZrUiThreadState {
    std::deque<ZrPostedMessage> posted;
    std::vector<CWnd*> invalid;
    CWnd* focus = nullptr;
    // The control last told it has the focus (EN_SETFOCUS and the like).
    CWnd* told = nullptr;
};

ZrUiThreadState& ZrUiState();

// Forgets a window that is going away: its posted messages, its pending paint
// and the focus.
void ZrUiForget(CWnd* wnd);
