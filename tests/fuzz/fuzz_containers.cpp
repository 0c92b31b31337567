// Feeds bytes to a container as its element JSON, with children built from the element's "kids" array
// (containers, or spacers for "type": "qtspacer"), then lays it out in every mode with and without bound scroll
// bars and scrolls it. Extreme sizes, paddings, gaps, ratios and offsets must neither crash nor overflow.
// The container's written element must also read back to the same element. The same element then goes to a
// stack (its kids as pages, moved, switched, deleted), a tab strip (tabs pressed, hovered and removed), a group
// box and a splitter, each painted; each one's written element must read back to the same element too.
#include "FuzzSupport.h"
#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQGroupBox.h"
#include "TEVQScrollBar.h"
#include "TEVQSpacer.h"
#include "TEVQSplitter.h"
#include "TEVQStackContainer.h"
#include "TEVQTabWidget.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QVector>

#include <json/json.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

using namespace TEVQtLib;

namespace {

void app() { fuzzsupport::application("fuzz_containers"); }

Json::Value write(TEVQContainer& c)
{
    Json::Value out(Json::objectValue);
    c.serializeJsonValue(&out, false);
    return out;
}

void paint(QWidget& w)
{
    QImage image(64, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
}

// What a stack, tab strip, group box or splitter makes of the element (after exercising it), as written.
template <class W> Json::Value readUseWrite(const Json::Value& element)
{
    W w(fuzzsupport::root("fuzz_containers"));
    Json::Value in = element;
    w.readJsonValue(&in);
    const Json::Value& kids = json::get(element, "kids");
    const int n = int(qMin<Json::ArrayIndex>(json::size(kids), 16));
    const int sx = json::getInt(element, "sx", 0);
    const int sy = json::getInt(element, "sy", 0);
    if constexpr (std::is_same_v<W, TEVQStackContainer>) {
        QVector<QWidget*> pages;
        for (int i = 0; i < n; ++i)
            pages << new TEVQContainer(&w);
        for (int i = 0; i < n; ++i)
            w.insertWidget(json::getInt(json::at(kids, Json::ArrayIndex(i)), "at", i), pages[i]);
        w.setCurrentIndex(sx);
        if (n > 1) {
            delete pages[qBound(0, sy, n - 1)];
            w.removeWidget(w.widget(0));
        }
    } else if constexpr (std::is_same_v<W, TEVQTabWidget>) {
        for (int i = 0; i < n; ++i)
            w.addTab(QStringLiteral("tab"));
        w.setSelectedIndex(sx);
        w.resize(64, 48);
        for (QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonPress}) {
            const QPointF at(qBound(-100000, sx, 100000), qBound(-100000, sy, 100000)); // as a screen could give
            QMouseEvent e(type, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&w, &e);
        }
        w.removeTab(sy);
    }
    w.resize(qBound(0, json::getInt(element, "cw", 64), 5000), qBound(0, json::getInt(element, "ch", 48), 5000));
    paint(w);
    Json::Value out(Json::objectValue);
    w.serializeJsonValue(&out, false);
    out.removeMember("child");
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    app();
    Json::Value element;
    if (!fuzzsupport::nextInput(data, size, element))
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
    fuzzsupport::requireSame(first, second);
    fuzzsupport::checkRoundTrip(element, readUseWrite<TEVQStackContainer>);
    fuzzsupport::checkRoundTrip(element, readUseWrite<TEVQTabWidget>);
    fuzzsupport::checkRoundTrip(element, readUseWrite<TEVQGroupBox>);
    fuzzsupport::checkRoundTrip(element, readUseWrite<TEVQSplitter>);
    return 0;
}
