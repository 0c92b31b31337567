// Feeds bytes to the JSON layer's parse and to jsoncpp's own reader: both must accept the same texts and
// build the same trees, value types included, and refuse values nested deeper than the bound.
#include "../common/JsonOracle.h"
#include "TEVJson.h"

#include <cstddef>
#include <cstdint>

using namespace TEVQtLib;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* begin = reinterpret_cast<const char*>(data);
    const char* end = begin + size;
    Json::Value expected;
    const bool expectedOk = tevtest::oracleParse(begin, end, expected);
    Json::Value value;
    const bool ok = json::parse(begin, end, value);
    if (ok != expectedOk || (ok && !(value == expected)))
        __builtin_trap();
    return 0;
}
