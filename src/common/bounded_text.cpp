#include "common/bounded_text.h"

#include <cstring>

bool copyBounded(char* destination, size_t capacity, const char* source) {
    if (capacity == 0)
        return source[0] == '\0';
    size_t length = strnlen(source, capacity - 1);
    std::memcpy(destination, source, length);
    destination[length] = '\0';
    return source[length] == '\0';
}

bool appendBounded(char* destination, size_t capacity, const char* source) {
    size_t used = strnlen(destination, capacity);
    if (used == capacity)
        return false; // not terminated within capacity: nothing more can go in safely
    return copyBounded(destination + used, capacity - used, source);
}
