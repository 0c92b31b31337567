#pragma once
// What jsoncpp's own reader makes of a text, with the rules the JSON layer asks of it (those of Json::Reader,
// except that a number may not begin with '+'), refused when the value read nests arrays and objects deeper
// than the layer's bound: the reference the layer's own readers are compared with.
#include "TEVJson.h"

#include <algorithm>
#include <memory>

namespace tevtest {

// Arrays and objects on the deepest path of value.
inline int treeDepth(const Json::Value& value)
{
    if (!value.isArray() && !value.isObject())
        return 0;
    int deepest = 0;
    for (const Json::Value& child : value)
        deepest = std::max(deepest, treeDepth(child));
    return deepest + 1;
}

inline bool oracleParse(const char* begin, const char* end, Json::Value& out)
{
    try {
        Json::CharReaderBuilder builder;
        builder["collectComments"] = false;
        builder["allowComments"] = true;
        builder["strictRoot"] = false;
        builder["allowTrailingCommas"] = false;
        builder["allowDroppedNullPlaceholders"] = false;
        builder["allowNumericKeys"] = false;
        builder["allowSingleQuotes"] = false;
        builder["rejectDupKeys"] = false;
        builder["allowSpecialFloats"] = false;
        builder["failIfExtra"] = false;
        builder["skipBom"] = false;
        // jsoncpp recurses once per level: bounded just past the layer's bound, so that a text nested deeper
        // is refused before the reader runs out of stack. A value nested exactly one level too deep with
        // nothing inside its innermost level still parses here and is refused by its depth below.
        builder["stackLimit"] = TEVQtLib::json::kMaxDepth + 1;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        if (!reader->parse(begin, end, &out, nullptr))
            return false;
        return treeDepth(out) <= TEVQtLib::json::kMaxDepth;
    } catch (...) {
        return false;
    }
}

} // namespace tevtest
