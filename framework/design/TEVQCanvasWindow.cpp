#include "TEVQCanvasWindow.h"

#include "TEVJson.h"
#include "TEVQWidgetBase.h"

#include <QCoreApplication>
#include <QPointer>
#include <QResizeEvent>

#include <json/json.h>

#include <vector>

using namespace TEVQtLib;

TEVQCanvasWindow::TEVQCanvasWindow(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground, true);
}

TEVQCanvasWindow::~TEVQCanvasWindow() = default;

QWidget* TEVQCanvasWindow::createCanvas() { return new TEVQCanvasWindow(nullptr); }

void TEVQCanvasWindow::setWidth(int w)
{
    const QSize old = size();
    setFixedWidth(w);
    announceResize(old);
}

void TEVQCanvasWindow::setHeight(int h)
{
    const QSize old = size();
    setFixedHeight(h);
    announceResize(old);
}

// A hidden widget hears of its new size only once it is shown, and a page on the canvas stays hidden: whoever
// watches the page (the canvas, whose scroll bars follow the page's size) hears of it at once.
void TEVQCanvasWindow::announceResize(const QSize& old)
{
    if (size() == old || !isHidden())
        return;
    QResizeEvent event(size(), old);
    QCoreApplication::sendEvent(this, &event);
}
void TEVQCanvasWindow::setX(int x) { move(x, y()); }
void TEVQCanvasWindow::setY(int y) { move(x(), y); }

void TEVQCanvasWindow::setResizeable(bool on)
{
    m_resizable = on;
    setAttribute(Qt::WA_MouseTracking, on);
}

void TEVQCanvasWindow::setTransparent(bool on)
{
    if (on)
        setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground, on);
    // Recorded so that a page read with "trans" writes it back.
    m_translucent = on;
}

void TEVQCanvasWindow::setBackgroundImage(const QString& name, const ImageDesc& desc)
{
    m_backgroundImageName = name;
    m_backgroundImageDesc = desc;
}

bool TEVQCanvasWindow::visibilityOf(const QWidget* w)
{
    if (!w)
        return false;
    if (TEVQWidgetBase* record = tevDeclaredRecord(const_cast<QWidget*>(w)))
        return record->visibilityProperty();
    return w->property("visibility").toBool();
}

bool TEVQCanvasWindow::hasVisibilityFlag(const QWidget* w)
{
    if (!w)
        return false;
    if (TEVQWidgetBase* record = tevDeclaredRecord(const_cast<QWidget*>(w)))
        return record->visibilityValue.isValid();
    return w->property("visibility").isValid();
}

void TEVQCanvasWindow::setVisibilityOf(QWidget* w, bool on)
{
    if (!w)
        return;
    if (TEVQWidgetBase* record = tevDeclaredRecord(w))
        record->setVisibilityProperty(on);
    else
        w->setProperty("visibility", on);
}

void TEVQCanvasWindow::hideAllWidges()
{
    // The page's controls (they carry the "visibility" flag) are painted by the canvas, each on its own; a
    // control's inner parts stay as the control keeps them, so that its picture holds them, as it does for a
    // control made on the canvas.
    // Hiding runs the controls' hide handlers, which may delete controls yet to be hidden: they are guarded.
    const QList<QWidget*> all = findChildren<QWidget*>();
    const std::vector<QPointer<QWidget>> guarded(all.begin(), all.end());
    for (const QPointer<QWidget>& w : guarded) {
        if (w && w->property("visibility").isValid())
            w->setVisible(false);
    }
}

// w's rectangle in page coordinates: its origin mapped up to the page, its own size.
QRect TEVQCanvasWindow::rectInPage(const QWidget* w) const
{
    if (w == this)
        return QRect(QPoint(0, 0), size());
    QPoint origin(0, 0);
    for (const QWidget* p = w; p && p != this; p = p->parentWidget())
        origin += p->pos();
    return QRect(origin, w->size());
}

QWidget* TEVQCanvasWindow::HitTestWithChildren(QWidget* w, int x, int y)
{
    if (!w || !visibilityOf(w))
        return nullptr;
    const QPoint point(x, y);
    for (QObject* object : w->children()) {
        if (!object->isWidgetType())
            continue;
        QWidget* child = static_cast<QWidget*>(object);
        // Only the page's controls are hit, as only they are painted: a control hidden by its "visibility" is
        // passed over with its subtree; a widget without the flag (a control's own inner part: a viewport, an
        // editor) is not hit itself, but the controls below it are (the content of a scroll view).
        if (!hasVisibilityFlag(child)) {
            if (QWidget* hit = child->isHidden() ? nullptr : hitBelowInnerPart(child, x, y))
                return hit;
            continue;
        }
        if (!visibilityOf(child))
            continue;
        if (QWidget* hit = HitTestWithChildren(child, x, y))
            return hit;
        if (visibleRectInPage(child).contains(point))
            return child;
    }
    // Also here only the part inside the ancestors counts, so a control that reaches out of its container is
    // not hit outside it.
    return visibleRectInPage(w).contains(point) ? w : nullptr;
}

// The first control below the inner part w (searched as HitTestWithChildren searches) under (x, y), or null.
QWidget* TEVQCanvasWindow::hitBelowInnerPart(QWidget* w, int x, int y)
{
    for (QObject* object : w->children()) {
        if (!object->isWidgetType())
            continue;
        QWidget* child = static_cast<QWidget*>(object);
        QWidget* hit = nullptr;
        if (!hasVisibilityFlag(child) && child->isHidden())
            continue; // an inner part its control hides hides what it holds
        if (!hasVisibilityFlag(child))
            hit = hitBelowInnerPart(child, x, y);
        else if (visibilityOf(child))
            hit = HitTestWithChildren(child, x, y);
        if (hit)
            return hit;
    }
    return nullptr;
}

// w's rectangle in page coordinates, cut to every ancestor between w and the page.
QRect TEVQCanvasWindow::visibleRectInPage(const QWidget* w) const
{
    QRect r = rectInPage(w);
    for (const QWidget* a = w->parentWidget(); a && a != this; a = a->parentWidget())
        r &= rectInPage(a);
    return r;
}

void TEVQCanvasWindow::toJsonString(QString& out)
{
    Json::Value root(Json::objectValue);
    root["w"] = width();
    root["h"] = height();
    // The loader's defaults are the page's own (400, draggable): values equal to them may be left out, any
    // other value is written so that it survives a reload.
    root["minW"] = m_minWidth;
    root["minH"] = m_minHeight;
    if (m_resizable)
        root["resize"] = true;
    root["drag"] = m_canDrag;
    if (m_onlyDragCaption)
        root["onlyDragCaption"] = true;
    if (m_maximise)
        root["dbmax"] = true;
    if (m_captionHeight != 35)
        root["dbheight"] = m_captionHeight;
    if (m_translucent)
        root["trans"] = true;
    // Always present, also when empty: the canvas opens only documents that have it.
    Json::Value& elements = root["elements"];
    elements = Json::Value(Json::arrayValue);
    for (QObject* object : children()) {
        if (!object->isWidgetType())
            continue;
        ITEVQWidgetBase* control = tevWidgetInterface(object);
        if (!control)
            continue;
        Json::Value element(Json::objectValue);
        control->serializeJsonValue(&element, false);
        elements.append(element);
    }
    out = json::toQString(json::writeStyled(root));
}

ControlInfo TEVQCanvasWindow::getProps()
{
    ControlInfo info;
    info.kind = 1;
    info.typeName = "window";
    info.displayName = "Window";
    info.description = "Control Window";
    info.className = "TEVQWindow";
    info.iconName = "win";
    info.props.append(tevTextRow<QWidget>(QStringLiteral("Name"), PropText, &QObject::setObjectName, &QObject::objectName));
    info.props.append(tevIntRow<TEVQCanvasWindow>(QStringLiteral("Width"), &TEVQCanvasWindow::setWidth, &TEVQCanvasWindow::getWidth, 0, 10000));
    info.props.append(tevIntRow<TEVQCanvasWindow>(QStringLiteral("Height"), &TEVQCanvasWindow::setHeight, &TEVQCanvasWindow::getHeight, 0, 10000));
    info.props.append(tevIntRow<TEVQCanvasWindow>(QStringLiteral("MinWidth"), &TEVQCanvasWindow::setMinWidth, &TEVQCanvasWindow::getMinWidth, 0, 10000));
    info.props.append(tevIntRow<TEVQCanvasWindow>(QStringLiteral("MinHeight"), &TEVQCanvasWindow::setMinHeight, &TEVQCanvasWindow::getMinHeight, 0, 10000));
    return info;
}
