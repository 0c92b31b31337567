#include "TEVQScrollView.h"

#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

using namespace TEVQtLib;

// ---- painter -------------------------------------------------------------------------------------------------

TEVQScrollViewImpl::TEVQScrollViewImpl(TEVQScrollView* ownerView)
    : TEVQWidgetBaseImpl(ownerView, TEVQScrollView::typeName())
{
}

TEVQScrollViewImpl::~TEVQScrollViewImpl() = default;

TEVQScrollView* TEVQScrollViewImpl::view() const { return static_cast<TEVQScrollView*>(owner); }

void TEVQScrollViewImpl::draw(QPainter* painter, const QRect& rect) { drawFillStyle(painter, background, rect); }

void TEVQScrollViewImpl::createComplete()
{
    TEVQScrollView* v = view();
    if (!v || v->widget())
        return;
    for (QObject* child : v->children()) {
        if (auto* container = qobject_cast<TEVQContainer*>(child)) {
            setContentWidget(container);
            v->setWidget(container);
            return;
        }
    }
}

void TEVQScrollViewImpl::setContentWidget(QWidget* w)
{
    if (contentWidget == w)
        return;
    if (contentWidget)
        disconnect(contentWidget, &QObject::destroyed, this, nullptr);
    contentWidget = w;
    // A content replaced through setWidget (which deletes it) or deleted by its holder is forgotten.
    if (w)
        connect(w, &QObject::destroyed, this, [this](QObject* gone) {
            if (contentWidget == gone)
                contentWidget = nullptr;
        });
}

bool TEVQScrollViewImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    TEVQScrollView* v = view();
    if (!json || !v)
        return result;
    Json::Value& element = *json;
    if (load) {
        // Every entry with a slot of 0 or more names the background; the last known one wins.
        const Json::Value& styles = json::get(element, "style");
        for (Json::ArrayIndex i = 0; i < json::size(styles); ++i) {
            const Json::Value& item = json::at(styles, i);
            const std::optional<std::string> name = json::toString(json::at(item, 0));
            const std::optional<int> slot = json::toInt(json::at(item, 2));
            FillStyle style;
            if (name && slot && *slot >= 0 && TEVStyleEntries::findFillStyle(*name, style))
                background = style;
        }
        v->readScrollBarChildren(element);
        return result;
    }

    element.removeMember("style");
    TEVStyleEntries styles;
    styles.fill(0, background);
    styles.write(element);
    if (!json::has(element, "style"))
        element["style"] = Json::Value(Json::nullValue);
    if (!json::has(element, "attr"))
        element["attr"] = Json::Value(Json::nullValue);
    // The content lies under the viewport, out of the base writer's reach: it is written as the first child,
    // where the reader takes it from.
    QWidget* content = v->widget();
    ITEVQWidgetBase* control = content && content->parentWidget() != v ? tevWidgetInterface(content) : nullptr;
    if (control && tevIsSerializeChild()) {
        Json::Value children(Json::arrayValue);
        Json::Value value;
        control->serializeJsonValue(&value, false);
        children.append(std::move(value));
        for (const Json::Value& other : json::get(element, "child"))
            children.append(other);
        json::member(element, "child") = std::move(children);
    }
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQScrollView::TEVQScrollView(QWidget* parent) : QScrollArea(parent), TEVQScrollBarPair(true)
{
    tevSetImpl(new TEVQScrollViewImpl(this), false);
    auto* horizontal = new TEVQScrollBar(Qt::Horizontal, this);
    auto* vertical = new TEVQScrollBar(Qt::Vertical, this);
    setHorizontalScrollBar(horizontal);
    setVerticalScrollBar(vertical);
    setBars(horizontal, vertical);
    setFrameStyle(0);
    viewport()->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    painter()->applyTheme();
}

TEVQScrollView::~TEVQScrollView() = default;

const FillStyle& TEVQScrollView::getBackground(CommonCtrlState) const { return painter()->background; }

void TEVQScrollView::setBackground(CommonCtrlState, const FillStyle& style) { painter()->background = style; }

int TEVQScrollView::getHScrollPos() const { return horizontalScrollBar()->value(); }

int TEVQScrollView::getVScrollPos() const { return verticalScrollBar()->value(); }

void TEVQScrollView::setHScrollPos(int pos) { horizontalScrollBar()->setValue(pos); }

void TEVQScrollView::setVScrollPos(int pos) { verticalScrollBar()->setValue(pos); }

bool TEVQScrollView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == viewport() && event->type() == QEvent::Paint) {
        QPainter p(viewport());
        TEVQWidgetBaseImpl::drawFillStyleAt(&p, painter()->background, 0, 0, viewport()->width(),
                                            viewport()->height());
        return false;
    }
    return QScrollArea::eventFilter(watched, event);
}

void TEVQScrollView::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    emit scrollPosChanged(dx, dy);
}

void TEVQScrollView::paintEvent(QPaintEvent* event)
{
    // QAbstractScrollArea hands the viewport's paint events to this handler; the view's own paint comes
    // through event(). The background belongs to the view's own paint.
    QScrollArea::paintEvent(event);
}

bool TEVQScrollView::event(QEvent* event)
{
    if (event->type() == QEvent::Paint)
        tevForwardPaint(static_cast<QPaintEvent*>(event));
    return QScrollArea::event(event);
}

ControlInfo TEVQScrollView::getProps()
{
    using W = TEVQScrollView;
    ControlInfo info = tevControlInfo(typeName(), "ScrollView", "Control ScrollView", "TEVQScrollView", "scrollview");
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Background"), &W::setBackground, &W::getBackground,
                                         {QStringLiteral("Normal"), QStringLiteral("Disable")}));
    return info;
}
