#include "ui/number_field.h"

namespace ui {

int32_t parseNumberText(const char*) { return 0; }

int32_t clampToRange(int32_t value, int32_t minimum, int32_t maximum) {
    return value > maximum ? maximum : value < minimum ? minimum : value;
}

} // namespace ui
