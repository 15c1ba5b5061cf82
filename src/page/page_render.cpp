#include "page/page_render.h"

namespace page {

const char kPluginHomePage[] = "";
const char kShoutcastHomePage[] = "";

size_t render(const PageContent&, char*, size_t) { return 0; }

} // namespace page
