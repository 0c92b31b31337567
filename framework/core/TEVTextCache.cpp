#include "TEVTextCache.h"

#include "TEVQResourceManager.h"
#include "TEVQWidgetBaseImpl.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>

namespace TEVQtLib {

namespace {

TEVQResourceManager* resources() { return TEVQResourceManager::getInstance(); }

} // namespace

// ---- texts ----------------------------------------------------------------------------------------------------

void TEVTextCache::draw(QPainter* painter, const QString& text, const TextStyleDesc& style, int x, int y, int w,
                        int h, bool horizontal)
{
    if (!painter || text.isEmpty())
        return;
    if (!horizontal) {
        TEVQWidgetBaseImpl::drawTextAt(painter, text, style, x, y, w, h, false);
        return;
    }
    const QString family = resources()->getGlobalFontFamily();
    const QSize size(w, h);
    QRect box(x + style.offsetX, y + style.offsetY, w - style.offsetX, h - style.offsetY);
    if (style.verAlign == 2)
        box.setHeight(h);
    if (!m_valid || m_size != size || m_text != text || m_family != family || m_style != style) {
        m_valid = true;
        m_size = size;
        m_text = text;
        m_family = family;
        m_style = style;
        m_font = TEVQWidgetBaseImpl::styleFont(style, family);
        const QFontMetricsF metrics(m_font);
        m_shown = style.textMode == 3 ? text : QFontMetrics(m_font).elidedText(text, Qt::ElideRight, w - 2);
        // The place QPainter::drawText gives one unclipped line in the box.
        const qreal width = metrics.horizontalAdvance(m_shown);
        const qreal height = metrics.height();
        m_static = style.textMode != 3 && width <= box.width() && height <= box.height()
                   && !m_shown.contains(QLatin1Char('\n')) && !m_shown.contains(QLatin1Char('\t'));
        if (m_static) {
            qreal dx = 0, dy = 0;
            if (style.horAlign == 1)
                dx = (box.width() - width) / 2;
            else if (style.horAlign == 2)
                dx = box.width() - width;
            if (style.verAlign == 1)
                dy = (box.height() - height) / 2;
            else if (style.verAlign == 2)
                dy = box.height() - height;
            m_at = QPointF(dx, dy);
            m_line = QStaticText(m_shown);
            m_line.setTextFormat(Qt::PlainText);
            m_line.prepare(QTransform(), m_font);
        }
    }
    painter->setBrush(style.color);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    painter->setPen(style.color);
    painter->setFont(m_font);
    if (m_static) {
        painter->drawStaticText(QPointF(box.x(), box.y()) + m_at, m_line);
        return;
    }
    const int flags = int(TEVQWidgetBaseImpl::styleAlignment(style.horAlign, style.verAlign))
                      | (style.textMode == 3 ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine));
    painter->drawText(box, flags, m_shown);
}

} // namespace TEVQtLib
