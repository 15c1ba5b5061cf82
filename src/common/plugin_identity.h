// The plug-in's name and version, as the host's plug-in list, the error texts and the
// configuration dialog show them.
#pragma once

constexpr char kPluginName[] = "Songbeacon";
constexpr char kPluginVersion[] = "0.24b";
