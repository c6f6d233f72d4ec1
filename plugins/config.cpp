#include "plugins/config.h"

// Nothing reads the plugin choice yet: there are no plugins to choose.
void readConfig() {}
