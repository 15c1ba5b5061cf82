#include "common/empty_string.h"

const char sharedEmptyString[1] = "";
