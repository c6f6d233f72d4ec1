#include "kernel/objects.h"

void kernelReset() {}
