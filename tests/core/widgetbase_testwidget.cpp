#include "widgetbase_testwidget.h"

#include "TEVJson.h"

#include <QPainter>

using namespace TEVQtLib;

TestWidgetImpl::TestWidgetImpl(QWidget* owner, const char* typeName) : TEVQWidgetBaseImpl(owner, typeName) {}

void TestWidgetImpl::draw(QPainter* painter, const QRect& rect)
{
    paintedStates.push_back(getState());
    painter->fillRect(rect, background[getState()].fillRes.fillColor);
}

bool TestWidgetImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    if (!json)
        return result;
    TEVStyleEntries styles;
    styles.fillGroup(0, background);
    styles.text(4, textStyle);
    if (load) {
        ++reads;
        styles.read(*json);
        json::read(json::get(*json, "attr"), "text", text);
    } else {
        styles.write(*json);
        if (!text.isEmpty())
            json::member(json::member(*json, "attr"), "text") = json::fromQString(text);
    }
    return result;
}

TestWidget::TestWidget(QWidget* parent) : QWidget(parent) { tevSetImpl(new TestWidgetImpl(this)); }

TestSubWidget::TestSubWidget(QWidget* parent) : TestWidget(parent) { tevSetImpl(new TestWidgetImpl(this, typeName())); }
