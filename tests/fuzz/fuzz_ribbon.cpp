// Feeds bytes as a ribbon configuration document and as a ribbon page element. A document the bar takes must
// write a document that loads to the same ribbon (the written text of both loads equal as JSON); a refused one
// must leave the bar as it was. The element goes through the page road: read, laid out, painted and written,
// and its written form read into a fresh bar must write the same element again.
#include "FuzzSupport.h"
#include "TEVJson.h"
#include "TEVQRibbonBar.h"
#include "TEVQtLib.h"

#include <QImage>

#include <cstddef>
#include <cstdint>

using namespace TEVQtLib;

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

QWidget* root()
{
    static QWidget* parent = [] {
        QWidget* w = fuzzsupport::root("fuzz_ribbon");
        qInstallMessageHandler(&quiet);
        init();
        return w;
    }();
    return parent;
}

void render(QWidget* w)
{
    w->resize(640, 130);
    QImage image(640, 130, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    w->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
}

Json::Value parsed(const QString& text)
{
    Json::Value v;
    TEVQtLib::json::parse(text.toUtf8(), v);
    return v;
}

Json::Value readPaintWrite(const Json::Value& element)
{
    TEVQRibbonBar bar;
    bar.setParent(root());
    Json::Value in = element;
    bar.readJsonValue(&in);
    render(&bar);
    Json::Value out(Json::objectValue);
    bar.serializeJsonValue(&out, false);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    root();
    fuzzsupport::settle();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    {
        TEVQRibbonBar bar;
        bar.setParent(root());
        const Json::Value before = parsed(bar.configJson());
        if (bar.loadConfigJson(text)) {
            render(&bar);
            const Json::Value first = parsed(bar.configJson());
            TEVQRibbonBar again;
            again.setParent(root());
            if (!again.loadConfigJson(bar.configJson()) || !(parsed(again.configJson()) == first))
                __builtin_trap();
        } else if (!(parsed(bar.configJson()) == before)) {
            __builtin_trap();
        }
    }
    fuzzsupport::settle();
    Json::Value element;
    if (!fuzzsupport::parseInput(data, size, element))
        return 0;
    fuzzsupport::checkRoundTrip(element, readPaintWrite);
    return 0;
}
