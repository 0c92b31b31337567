// Feeds bytes as element JSON to every control type: each reads it, paints, writes it; the written element
// read into a fresh control must write the same element again.
#include "FuzzSupport.h"
#include "TEVJson.h"
#include "TEVQCheckBox.h"
#include "TEVQComboBox.h"
#include "TEVQImage.h"
#include "TEVQLCDNumber.h"
#include "TEVQLabel.h"
#include "TEVQLabelEx.h"
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
    return 0;
}
