#include "TEVQSplitter.h"

#include "TEVJson.h"

#include <json/json.h>

using namespace TEVQtLib;

// ---- painter -------------------------------------------------------------------------------------------------

TEVQSplitterImpl::TEVQSplitterImpl(TEVQSplitter* owner)
    : TEVQWidgetBaseImpl(owner, QString::fromLatin1(TEVQSplitter::typeName()))
{
    background.valid = false;
}

TEVQSplitterImpl::~TEVQSplitterImpl() = default;

void TEVQSplitterImpl::draw(QPainter* painter, const QRect& rect)
{
    if (painter)
        drawFillStyle(painter, background, rect); // nothing while the style is not valid
}

bool TEVQSplitterImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    if (!TEVQWidgetBaseImpl::serializeJsonValue(json, load) || !json)
        return false;
    Json::Value& element = *json;
    TEVStyleEntries styles;
    styles.fill(0, background);
    if (load) {
        styles.read(element);
        return true;
    }
    element.removeMember("style");
    styles.write(element);
    if (!json::has(element, "style"))
        element["style"] = Json::Value(Json::nullValue);
    return true;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQSplitter::TEVQSplitter(QWidget* parent) : QWidget(parent) { tevSetImpl(new TEVQSplitterImpl(this)); }

TEVQSplitter::~TEVQSplitter() = default;

void TEVQSplitter::setIsHor(bool hor)
{
    if (TEVQSplitterImpl* d = painter())
        d->isHor = hor;
}

bool TEVQSplitter::getIsHor() const { return painter() ? painter()->isHor : true; }

void TEVQSplitter::setUpLeftWidget(QWidget* w)
{
    if (TEVQSplitterImpl* d = painter())
        d->upLeftWidget = w;
}

const QWidget* TEVQSplitter::getUpLeftWidget() const { return painter() ? painter()->upLeftWidget.data() : nullptr; }

void TEVQSplitter::setDownRightWidget(QWidget* w)
{
    if (TEVQSplitterImpl* d = painter())
        d->downRightWidget = w;
}

const QWidget* TEVQSplitter::getDownRightWidget() const
{
    return painter() ? painter()->downRightWidget.data() : nullptr;
}

void TEVQSplitter::setUpLeftLimit(int limit)
{
    if (TEVQSplitterImpl* d = painter())
        d->upLeftLimit = limit;
}

int TEVQSplitter::getUpLeftLimit() const { return painter() ? painter()->upLeftLimit : -1; }

void TEVQSplitter::setDownRightLimit(int limit)
{
    if (TEVQSplitterImpl* d = painter())
        d->downRightLimit = limit;
}

int TEVQSplitter::getDownRightLimit() const { return painter() ? painter()->downRightLimit : -1; }

void TEVQSplitter::setBackground(const FillStyle& style)
{
    if (TEVQSplitterImpl* d = painter())
        d->background = style;
}

FillStyle TEVQSplitter::getBackground() const
{
    if (const TEVQSplitterImpl* d = painter())
        return d->background;
    FillStyle none;
    none.valid = false;
    return none;
}

void TEVQSplitter::paintEvent(QPaintEvent* e) { tevForwardPaint(e); }

void TEVQSplitter::mousePressEvent(QMouseEvent*) {}

void TEVQSplitter::mouseMoveEvent(QMouseEvent*) {}

void TEVQSplitter::mouseReleaseEvent(QMouseEvent*) {}
