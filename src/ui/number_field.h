// The conversion behind the dialog's number fields. Platform-free so that it is tested natively.
#pragma once

#include <cstdint>

namespace ui {

// Bytes read from a number field, terminator included: only the first 49 characters count.
constexpr int32_t kNumberFieldCapacity = 50;

// Converts a field's text as base-10: leading white space skipped, one optional sign, digits up to
// the first other character. No digits (the empty text included) gives 0; a value beyond the
// 32-bit range gives INT32_MAX or INT32_MIN.
int32_t parseNumberText(const char* text);

// `value` limited to [minimum, maximum]: above maximum gives maximum, else below minimum gives minimum.
int32_t clampToRange(int32_t value, int32_t minimum, int32_t maximum);

// The value a number field holding `text` stands for: its first kNumberFieldCapacity - 1
// characters converted by parseNumberText, then clamped to [minimum, maximum]. Any text gives a
// value; none is refused.
int32_t numberFieldValue(const char* text, int32_t minimum, int32_t maximum);

} // namespace ui
