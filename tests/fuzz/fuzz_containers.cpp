// Feeds bytes to a container as its element JSON, with children built from the element's "kids" array
// (containers, or spacers for "type": "qtspacer"), then lays it out in every mode with and without bound scroll
// bars and scrolls it. Extreme sizes, paddings, gaps, ratios and offsets must neither crash nor overflow.
// The container's written element must also read back to the same element.
#include "FuzzSupport.h"
#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQScrollBar.h"
#include "TEVQSpacer.h"

#include <QApplication>

#include <json/json.h>

#include <cstddef>
#include <cstdint>

using namespace TEVQtLib;

namespace {

void app() { fuzzsupport::application("fuzz_containers"); }

Json::Value write(TEVQContainer& c)
{
    Json::Value out(Json::objectValue);
    c.serializeJsonValue(&out, false);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    app();
    fuzzsupport::settle(); // what the previous input's widgets left: their events and deferred deletions
    Json::Value element;
    if (!fuzzsupport::parseInput(data, size, element))
        return 0;

    TEVQContainer c;
    Json::Value in = element;
    c.readJsonValue(&in);
    const Json::Value& kids = json::get(element, "kids");
    for (Json::ArrayIndex i = 0; i < json::size(kids) && i < 16; ++i) {
        const Json::Value& k = json::at(kids, i);
        QWidget* w = json::getString(k, "type") == "qtspacer" ? static_cast<QWidget*>(new TEVQSpacer(&c))
                                                               : static_cast<QWidget*>(new TEVQContainer(&c));
        Json::Value kin = k;
        if (auto* iface = tevWidgetInterface(w))
            iface->readJsonValue(&kin);
    }
    c.resize(qBound(0, json::getInt(element, "cw", 300), 5000), qBound(0, json::getInt(element, "ch", 200), 5000));
    const int mode = c.getChildLayout();
    for (int m = 0; m <= 4; ++m) {
        c.setChildLayout(TEVQContainer::AutoChildLayout(m));
        c.forceResize();
    }
    auto* h = new TEVQScrollBar(Qt::Horizontal);
    auto* v = new TEVQScrollBar(Qt::Vertical);
    c.bindScrollBar(h, true);
    c.bindScrollBar(v, false);
    for (int m = 0; m <= 4; ++m) {
        c.setChildLayout(TEVQContainer::AutoChildLayout(m));
        c.setScrollPos(true, json::getInt(element, "sx", 0));
        c.setScrollPos(false, json::getInt(element, "sy", 0));
    }
    c.bindScrollBar(nullptr, true);
    c.setScrollPos(true, json::getInt(element, "sx", 0));
    c.setChildLayout(TEVQContainer::AutoChildLayout(mode));

    // The children's elements are the page loader's to read back; the container's own keys must survive.
    Json::Value first = write(c);
    first.removeMember("child");
    TEVQContainer d;
    Json::Value copy = first;
    d.readJsonValue(&copy);
    Json::Value second = write(d);
    second.removeMember("child");
    if (!(second == first)) {
        if (qEnvironmentVariableIsSet("TEV_FUZZ_SHOW"))
            fprintf(stderr, "%s\n----\n%s\n", json::writeStyled(first).c_str(), json::writeStyled(second).c_str());
        __builtin_trap();
    }
    return 0;
}
