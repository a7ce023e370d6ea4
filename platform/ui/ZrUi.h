#pragma once

// The toolkit-neutral user-interface layer in one include.

#include "platform/ui/ZrUiTypes.h"
#include "platform/ui/ZrWnd.h"
#include "platform/ui/ZrControls.h"
#include "platform/ui/ZrDC.h"
#include "platform/ui/ZrDialogTemplate.h"
#include "platform/ui/ZrDataExchange.h"
#include "platform/ui/ZrPropertySheet.h"
#include "platform/ui/ZrFileDialog.h"
#include "platform/ui/ZrUiBackend.h"
#include "platform/ui/ZrHeadlessBackend.h"
