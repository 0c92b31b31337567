// Feeds bytes as element JSON to the label, the push button, the slider and the scroll bar: each reads it,
// paints, writes it; the written element read into a fresh control must write the same element again.
#include "FuzzSupport.h"
#include "TEVJson.h"
#include "TEVQLabel.h"
#include "TEVQPushButton.h"
#include "TEVQScrollBar.h"
#include "TEVQSlider.h"

#include <QApplication>
#include <QImage>

#include <cstddef>
#include <cstdint>

using namespace TEVQtLib;

namespace {
QWidget* root() { return fuzzsupport::root("fuzz_controls"); }

template <class Control> Json::Value readPaintWrite(const Json::Value& element)
{
    Control w;
    w.setParent(root());
    Json::Value in = element;
    w.readJsonValue(&in);
    w.resize(64, 24);
    QImage image(64, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    Json::Value out(Json::objectValue);
    w.serializeJsonValue(&out, false);
    return out;
}

template <class Control> void check(const Json::Value& element)
{
    fuzzsupport::checkRoundTrip(element, readPaintWrite<Control>);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    root();
    fuzzsupport::settle(); // what the previous input's widgets left: their events and deferred deletions
    Json::Value element;
    if (!fuzzsupport::parseInput(data, size, element))
        return 0;
    check<TEVQLabel>(element);
    check<TEVQPushButton>(element);
    check<TEVQSlider>(element);
    check<TEVQScrollBar>(element);
    return 0;
}
