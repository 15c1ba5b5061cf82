// Fuzzes the number-field conversion against the C library's own base-10 conversion: strtoll,
// narrowed to 32 bits by explicit saturation, on at most the first 49 characters, then the
// clamp as the dialog describes it (maximum tested first, then minimum).
//
// Input layout (missing bytes read as 0):
//   minimum, maximum   see fuzz::takeLimit
//   padding            one byte: bits 0-5 a count (0..63) of copies of the character chosen by
//                      bits 6-7 (space, '0', tab, '9'), put before the text to reach the 49-character cut
//   text               the remaining bytes; a zero byte ends the text, as in a field
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "ui/number_field.h"

namespace {

// Base 10 as strtoll reads it (the program never changes the C locale, so its white space is
// exactly " \t\n\v\f\r"), saturated to the 32-bit range. strtoll saturates at 64 bits itself.
int32_t referenceParse(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t referenceFieldValue(const std::string& text, int32_t minimum, int32_t maximum) {
    const int32_t value = referenceParse(text.substr(0, 49));
    if (value > maximum)
        return maximum;
    if (value < minimum)
        return minimum;
    return value;
}

void reportMismatch(const char* what, const std::string& text, int32_t got, int32_t expected) {
    std::fprintf(stderr, "%s gave %d, reference %d, for '", what, got, expected);
    fuzz::printEscaped(text);
    std::fprintf(stderr, "'\n");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input = {data, size, 0};
    const int32_t minimum = fuzz::takeLimit(input, -5, 20);
    const int32_t maximum = fuzz::takeLimit(input, 990, 20);
    const uint8_t padding = fuzz::takeByte(input);
    const char padWith[] = {' ', '0', '\t', '9'};
    std::string text(padding & 0x3F, padWith[padding >> 6]);
    text += std::string(reinterpret_cast<const char*>(data + input.used), size - input.used);
    text = std::string(text.c_str()); // a field's text ends at its first zero byte

    const int32_t parsed = ui::parseNumberText(text.c_str());
    const int32_t parsedReference = referenceParse(text);
    if (parsed != parsedReference) {
        reportMismatch("parseNumberText", text, parsed, parsedReference);
        fuzz::fail("parseNumberText disagrees with strtoll");
    }
    const int32_t value = ui::numberFieldValue(text.c_str(), minimum, maximum);
    const int32_t valueReference = referenceFieldValue(text, minimum, maximum);
    if (value != valueReference) {
        std::fprintf(stderr, "minimum %d, maximum %d\n", minimum, maximum);
        reportMismatch("numberFieldValue", text, value, valueReference);
        fuzz::fail("numberFieldValue disagrees with the reference");
    }
    return 0;
}
