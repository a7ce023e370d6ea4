// Start-up of the shared library: the mapping file is looked for beside the
// library itself, never in the process's current folder.
#include "transform/ZrPJTranslator.h"

namespace {
// Runs when the library is loaded, after m_strEpsgName is constructed (its
// init priority is lower) and before any caller can look a code up.
__attribute__((constructor(60001))) void ZrPrj50Load() {
    CZrPJTranslator::Init(reinterpret_cast<const void*>(&ZrPrj50Load));
}
} // namespace
