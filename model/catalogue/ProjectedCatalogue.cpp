// Placeholder until the projected catalogue lands: no rows.
#include "model/catalogue/ZrProjectedCatalogue.h"

int ZrFindProjectedRow(long, ZrProjectedRow&) { return 0; }
int ZrProjectedRowCount() { return 0; }
long ZrProjectedCodeAt(int) { return -1000; }
