#include "iop/pad_service.h"

u32 padServiceOpened;

void pollControllers() {}
