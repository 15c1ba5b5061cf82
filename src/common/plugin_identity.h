// The plug-in's name and version, as the host's plug-in list, the error texts and the
// configuration dialog show them. Both are defined once, in the top-level CMakeLists.txt.
#pragma once

#include "common/product.h" // generated

constexpr char kPluginName[] = SONGBEACON_NAME;
constexpr char kPluginVersion[] = SONGBEACON_VERSION;
