#include "page/page_file.h"

namespace page {

void write() {}

} // namespace page
