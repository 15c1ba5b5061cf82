#include "host/plugin_entry.h"

#include "common/empty_string.h"

namespace {

int startUp() { return 1; }
void configure() {}
void shutDown() {}

PluginDescriptor descriptor = {0x10, sharedEmptyString, startUp, configure, shutDown, nullptr, nullptr};

} // namespace

extern "C" PluginDescriptor* winampGetGeneralPurposePlugin() { return &descriptor; }
