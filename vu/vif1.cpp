#include "vu/vif1.h"

// The VIF1 packet interpreter is not built yet: its data is accepted and
// dropped.
void vifCommandStream(const u32*, u32) {}
