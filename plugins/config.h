// Config.ini beside the executable: the plugin directory and file names.
#pragma once

void readConfig();
