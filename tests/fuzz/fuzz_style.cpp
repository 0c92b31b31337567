// Feeds bytes to the style JSON reader: parse, file every entry into a store, write the store back and read
// the written styles again.
#include "TEVJson.h"
#include "TEVQResourceManager.h"

#include <cstddef>
#include <cstdint>

using namespace TEVQtLib;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    // The last byte picks the scale factor, which decides whether margins shrink.
    rm->setScaleFactor(size > 0 && (data[size - 1] & 1) ? 0.5f : 100.0f);
    Json::Value root;
    const char* text = reinterpret_cast<const char*>(data);
    if (!json::parse(text, text + size, root))
        return 0;
    TEVQResourceManagerImpl store;
    rm->readStyle(&store, json::get(root, "style"));
    Json::Value out;
    rm->writeStyle(&store, out);
    TEVQResourceManagerImpl again;
    rm->readStyle(&again, out);
    if (again.fillStyles.size() > store.fillStyles.size() || again.textStyles.size() > store.textStyles.size())
        __builtin_trap();
    return 0;
}
