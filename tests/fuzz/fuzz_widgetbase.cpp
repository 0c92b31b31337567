// Feeds bytes to a framework widget as its element JSON: the common keys, the layout, "attr", "theme" and
// "style" are read, written, and the written element is read into a fresh widget and written again, which must
// give the same element.
#include "FuzzSupport.h"
#include "TEVJson.h"
#include "TEVQWidgetMacros.h"

#include <QApplication>

#include <cstddef>
#include <cstdint>

using namespace TEVQtLib;

class FuzzWidgetImpl : public TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit FuzzWidgetImpl(QWidget* owner) : TEVQWidgetBaseImpl(owner, QStringLiteral("qtfuzz")) {}

    bool serializeJsonValue(Json::Value*& json, bool load) override
    {
        const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
        if (!json)
            return result;
        TEVStyleEntries styles;
        styles.fillGroup(0, background);
        styles.text(4, text);
        load ? styles.read(*json) : styles.write(*json);
        return result;
    }

    FillStyle background[4];
    TextStyleDesc text;
};

class FuzzWidget : public QWidget, public ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(FuzzWidget, QWidget, "qtfuzz")
public:
    explicit FuzzWidget(QWidget* parent = nullptr) : QWidget(parent) { tevSetImpl(new FuzzWidgetImpl(this)); }
};

namespace {
QWidget* root() { return fuzzsupport::root("fuzz_widgetbase"); }

Json::Value readAndWrite(const Json::Value& element)
{
    FuzzWidget w(root());
    Json::Value in = element;
    w.readJsonValue(&in);
    w.resizeWidget();
    Json::Value out(Json::objectValue);
    w.serializeJsonValue(&out, false);
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    root();
    Json::Value element;
    if (!fuzzsupport::nextInput(data, size, element))
        return 0;
    fuzzsupport::checkRoundTrip(element, readAndWrite);
    return 0;
}

#include "fuzz_widgetbase.moc"
