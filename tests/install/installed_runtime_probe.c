/* Built against an installed guest runtime: prints one line through the
   file service and returns. */
#include "fileio.h"

int main(void) {
    fioPuts("built against the installed runtime\n");
    return 7;
}
