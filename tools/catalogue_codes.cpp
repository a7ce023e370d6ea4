// Prints the built-in catalogues for tools/gen_codetransition.py:
//   zrprj-catalogue-codes | python3 tools/gen_codetransition.py > transform/CodeTransition.xml
#include "tools/catalogue_dump.h"

int main() {
    ZrWriteCatalogueDump(stdout);
    return 0;
}
