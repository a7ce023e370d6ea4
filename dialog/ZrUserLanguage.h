#pragma once

// The user's language lives with the UI platform layer, whose standard
// messages follow it too; this name stays for the hosts that include it.
#include "platform/ui/ZrUserLanguage.h"
