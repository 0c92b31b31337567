#include "TEVViewStyles.h"

#include "TEVJson.h"

using namespace TEVQtLib;

void TEVViewStyleTable::write(Json::Value& element) const
{
    if (!json::isObject(element))
        element = Json::Value(Json::objectValue);
    element.removeMember("style");
    TEVStyleEntries::write(element);
    json::member(element, "style"); // null when nothing was written
}
