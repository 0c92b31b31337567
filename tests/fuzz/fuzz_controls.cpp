// Feeds bytes as element JSON to every control type: each reads it, paints, writes it; the written element
// read into a fresh control must write the same element again. The charts paint through renderImage (no GL
// context here), at the size the element asks for.
#include "FuzzSupport.h"
#include "TEVQBarChart.h"
#include "TEVJson.h"
#include "TEVQCheckBox.h"
#include "TEVQComboBox.h"
#include "TEVQImage.h"
#include "TEVQLCDNumber.h"
#include "TEVQLabel.h"
#include "TEVQLabelEx.h"
#include "TEVQLineChart.h"
#include "TEVQLineEdit.h"
#include "TEVQProgressBar.h"
#include "TEVQPushButton.h"
#include "TEVQRadioButton.h"
#include "TEVQScrollBar.h"
#include "TEVQScrollView.h"
#include "TEVQSlider.h"
#include "TEVQSpinBox.h"
#include "TEVQSwitch.h"
#include "TEVQTextEdit.h"

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

template <class Chart> Json::Value readRenderWrite(const Json::Value& element)
{
    Chart w;
    w.setParent(root());
    w.setAnimationEnabled(false);
    Json::Value in = element;
    w.readJsonValue(&in);
    // The element's own size, kept small enough to stay quick (its size limits too); the image is the chart's.
    w.setMinimumSize(0, 0);
    w.setMaximumSize(400, 300);
    w.resize(qBound(1, w.width(), 400), qBound(1, w.height(), 300));
    const QImage image = w.renderImage();
    if (image.size() != w.size().expandedTo(QSize(1, 1)))
        __builtin_trap();
    Json::Value out(Json::objectValue);
    w.serializeJsonValue(&out, false);
    return out;
}

template <class Chart> void checkChart(const Json::Value& element)
{
    fuzzsupport::checkRoundTrip(element, readRenderWrite<Chart>);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    root();
    Json::Value element;
    if (!fuzzsupport::nextInput(data, size, element))
        return 0;
    check<TEVQLabel>(element);
    check<TEVQPushButton>(element);
    check<TEVQSlider>(element);
    check<TEVQScrollBar>(element);
    check<TEVQLineEdit>(element);
    check<TEVQTextEdit>(element);
    check<TEVQLabelEx>(element);
    check<TEVQScrollView>(element);
    check<TEVQCheckBox>(element);
    check<TEVQRadioButton>(element);
    check<TEVQComboBox>(element);
    check<TEVQSwitch>(element);
    check<TEVQImage>(element);
    check<TEVQProgressBar>(element);
    check<TEVQLCDNumber>(element);
    check<TEVQSpinBox>(element);
    checkChart<TEVQBarChart>(element);
    checkChart<TEVQLineChart>(element);
    return 0;
}
