#include "common/plugin_state.h"

// Zero-initialised at load: no constructor runs, so loading the module runs none of our code.
PluginState pluginState;
