#include "TEVQProgressBar.h"

#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

using namespace TEVQtLib;

// ---- painter -------------------------------------------------------------------------------------------------

TEVQProgressBarImpl::TEVQProgressBarImpl(TEVQProgressBar* ownerBar)
    : TEVQWidgetBaseImpl(ownerBar, TEVQProgressBar::typeName())
{
}

TEVQProgressBarImpl::~TEVQProgressBarImpl() = default;

TEVQProgressBar* TEVQProgressBarImpl::bar() const { return static_cast<TEVQProgressBar*>(owner); }

float TEVQProgressBarImpl::fraction() const
{
    const TEVQProgressBar* b = bar();
    if (!b)
        return 0.0f;
    // In 64 bits, so that a range over the whole int scale does not overflow. An empty range covers nothing
    // (0..0 is Qt's busy bar), and the value Qt gives before one is set (minimum - 1) covers nothing either.
    const qint64 span = qint64(b->maximum()) - b->minimum();
    if (span <= 0)
        return 0.0f;
    const float f = float(qint64(b->value()) - b->minimum()) / float(span);
    return qBound(0.0f, f, 1.0f);
}

const QRegion& TEVQProgressBarImpl::sector(int endAngle, int width, int height)
{
    const int key[4] = {circleStartAngle, endAngle, width, height};
    if (std::equal(key, key + 4, m_sectorKey))
        return m_sector;
    std::copy(key, key + 4, m_sectorKey);
    const int radius = qMax(width, height);
    const QPoint c(width / 2, height / 2);
    QPolygon polygon;
    polygon.reserve(endAngle - circleStartAngle + 2);
    polygon.append(c);
    for (int a = circleStartAngle; a < endAngle; ++a) {
        const float rad = float(a / 180.0 * 3.1415926);
        polygon.append(QPoint(c.x() - int(std::sin(rad) * float(radius)), c.y() + int(std::cos(rad) * float(radius))));
    }
    polygon.append(c);
    m_sector = QRegion(polygon, Qt::OddEvenFill);
    return m_sector;
}

void TEVQProgressBarImpl::draw(QPainter* painter, const QRect& r)
{
    const TEVQProgressBar* b = bar();
    if (!painter || !b)
        return;
    const int W = r.width();
    const int H = r.height();
    const float f = fraction();
    const int v = b->value();

    if (!isCircle) {
        m_back.draw(painter, background, r.left(), r.top(), W, H);
        if (b->orientation() == Qt::Horizontal) {
            const int w = int(f * float(W));
            if (w > 0)
                m_fore.draw(painter, foreground, r.left(), r.top(), w, H);
        } else {
            const int h = int(f * float(H));
            if (h > 0)
                m_fore.draw(painter, foreground, r.left(), r.top() + H - h, W, h);
        }
    } else {
        m_back.draw(painter, background, 0, 0, W, H);
        const qint64 sweep = qint64(f * float(qint64(circleEndAngle) - circleStartAngle));
        if (v == 0 || sweep <= 0) {
            // nothing covered
        } else if (v == b->maximum() || sweep >= 360) {
            m_fore.draw(painter, foreground, 0, 0, W, H);
        } else {
            painter->save();
            painter->setClipRegion(sector(int(circleStartAngle + sweep), W, H), Qt::ReplaceClip);
            m_fore.draw(painter, foreground, 0, 0, W, H);
            painter->restore();
        }
    }

    if (showText) {
        if (m_valueText.isNull() || m_textValue != v) {
            m_textValue = v;
            m_valueText = QStringLiteral("%1%").arg(v);
        }
        m_text.draw(painter, m_valueText, textStyle, r, true);
    }
}

void TEVQProgressBarImpl::paintEvent(QWidget*, QPaintEvent*)
{
    if (!owner)
        return;
    QPainter painter(owner);
    draw(&painter, QRect(0, 0, owner->width(), owner->height()));
}

bool TEVQProgressBarImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    TEVQProgressBar* b = bar();
    if (!json || !b)
        return result;
    TEVStyleEntries styles;
    styles.fill(0, background);
    styles.fill(2, foreground);
    styles.text(4, textStyle);
    Json::Value& element = *json;
    if (load) {
        styles.read(element);
        const Json::Value* attrs = json::find(element, "attr");
        if (attrs && json::isObject(*attrs)) {
            json::read(*attrs, "showText", showText);
            int value = 0;
            if (json::read(*attrs, "val", value))
                b->setValue(value);
            else if (!TEVQResourceManager::getInstance()->isLoadFromThemeRes())
                b->setValue(0); // a page element without a value; a theme element keeps the value set in code
        }
        return result;
    }

    element.removeMember("style");
    styles.write(element);
    if (!json::has(element, "style"))
        element["style"] = Json::Value(Json::nullValue);
    Json::Value& attrs = ownAttrs(element, {"showText", "val"});
    if (showText)
        attrs["showText"] = 1;
    if (b->value() != 0)
        attrs["val"] = b->value();
    dropEmptyAttrs(element);
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQProgressBar::TEVQProgressBar(QWidget* parent) : QProgressBar(parent)
{
    // Qt starts at minimum - 1 ("no value yet"), which the writer would save as "val": -1 and a bar read from an
    // element without "attr" would keep; 0 looks the same, is what an absent "val" reads as, and is not written.
    setValue(0);
    tevSetImpl(new TEVQProgressBarImpl(this));
}

TEVQProgressBar::~TEVQProgressBar() = default;

void TEVQProgressBar::setBackground(CommonCtrlState, const FillStyle& style) { painter()->background = style; }

const FillStyle& TEVQProgressBar::getBackground(CommonCtrlState) const { return painter()->background; }

void TEVQProgressBar::setForeground(CommonCtrlState, const FillStyle& style) { painter()->foreground = style; }

const FillStyle& TEVQProgressBar::getForeground(CommonCtrlState) const { return painter()->foreground; }

void TEVQProgressBar::setShowText(bool show)
{
    painter()->showText = show;
    update();
}

bool TEVQProgressBar::getShowText() const { return painter()->showText; }

void TEVQProgressBar::setCircleProgressBar(bool circle) { painter()->isCircle = circle; }

bool TEVQProgressBar::getIsCircleProgressBar() const { return painter()->isCircle; }

void TEVQProgressBar::setCircleAngleRange(int start, int end)
{
    if (end > start && start >= 1) {
        painter()->circleStartAngle = start;
        painter()->circleEndAngle = end;
    }
}

void TEVQProgressBar::getCirleAngleRange(int& start, int& end) const
{
    start = painter()->circleStartAngle;
    end = painter()->circleEndAngle;
}

void TEVQProgressBar::paintEvent(QPaintEvent* event) { tevForwardPaint(event); }

ControlInfo TEVQProgressBar::getProps()
{
    using W = TEVQProgressBar;
    ControlInfo info = tevControlInfo(typeName(), "ProgressBar", "Control ProgressBar", "TEVQProgressBar", "progressbar");
    const QStringList twoStates{QStringLiteral("Normal"), QStringLiteral("Disable")};
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Background"), &W::setBackground, &W::getBackground, twoStates));
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Foreground"), &W::setForeground, &W::getForeground, twoStates));
    info.props.append(tevBoolRow<W>(QStringLiteral("ShowText"), &W::setShowText, &W::getShowText));
    return info;
}
