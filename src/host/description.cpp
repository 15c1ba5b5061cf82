#include "host/description.h"

#include <cstring>

#include "common/bounded_text.h"
#include "common/plugin_identity.h"

namespace host {

void formatDescription(const char* modulePath, char* out, size_t capacity) {
    if (capacity == 0)
        return;
    const char* lastBackslash = std::strrchr(modulePath, '\\');
    const char* fileName = lastBackslash != nullptr ? lastBackslash + 1 : modulePath;

    // "%s Plug-In %s (%s)", built piece by piece: the file name is outside text, never a format.
    copyBounded(out, capacity, kPluginName);
    appendBounded(out, capacity, " Plug-In ");
    appendBounded(out, capacity, kPluginVersion);
    appendBounded(out, capacity, " (");
    const size_t used = std::strlen(out);
    const size_t closingRoom = 2; // ")" and the terminator
    if (used + closingRoom <= capacity) {
        copyBounded(out + used, capacity - used - 1, fileName);
        appendBounded(out, capacity, ")");
    }
}

} // namespace host
