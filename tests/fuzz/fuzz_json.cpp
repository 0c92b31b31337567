// Feeds bytes to the JSON layer's parse and to jsoncpp's own reader (after the same depth scan): both must
// accept the same texts and build the same trees, value types included.
#include "TEVJson.h"

#include <cstddef>
#include <cstdint>

using namespace TEVQtLib;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* begin = reinterpret_cast<const char*>(data);
    const char* end = begin + size;
    Json::Value expected;
    bool expectedOk = json::nestingDepth(begin, end) <= json::kMaxDepth;
    try {
        expectedOk = expectedOk && Json::Reader().parse(begin, end, expected, false);
    } catch (...) {
        expectedOk = false;
    }
    Json::Value value;
    const bool ok = json::parse(begin, end, value);
    if (ok != expectedOk || (ok && !(value == expected)))
        __builtin_trap();
    return 0;
}
