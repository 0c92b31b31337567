#include "TEVTextCache.h"

#include "TEVQResourceManager.h"
#include "TEVQWidgetBaseImpl.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextOption>

namespace TEVQtLib {

namespace {

// The font drawTextAt uses: the global family wins over the style's own.
QFont styleFont(const TextStyleDesc& style, const QString& global)
{
    QFont font;
    if (style.pixelSize > 0)
        font.setPixelSize(style.pixelSize);
    font.setFamily(global.isEmpty() ? style.family : global);
    font.setWeight(style.bold ? 75 : 50);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    return font;
}

} // namespace

void TEVTextCache::layOut(const QString& text, const TextStyleDesc& style, const QRect& rect, const QString& family)
{
    m_text = text;
    m_style = style;
    m_rect = rect;
    m_family = family;
    m_font = styleFont(style, family);
    m_valid = true;

    QRect box(rect.x() + style.offsetX, rect.y() + style.offsetY, rect.width() - style.offsetX,
              rect.height() - style.offsetY);
    if (style.verAlign == 2)
        box.setHeight(rect.height());

    const bool wrap = style.textMode == 3;
    m_shown = wrap ? text : QFontMetrics(m_font).elidedText(text, Qt::ElideRight, rect.width() - 2);
    m_static = QStaticText(m_shown);
    m_static.setTextFormat(Qt::PlainText);
    QTextOption option;
    if (wrap) {
        m_static.setTextWidth(qMax(0, box.width()));
        option.setWrapMode(QTextOption::WordWrap);
        option.setAlignment(style.horAlign == 1 ? Qt::AlignHCenter
                                                : style.horAlign == 2 ? Qt::AlignRight : Qt::AlignLeft);
    } else {
        option.setWrapMode(QTextOption::NoWrap);
    }
    m_static.setTextOption(option);
    m_static.prepare(QTransform(), m_font);

    const QSizeF size = m_static.size();
    qreal x = box.left();
    if (!wrap) {
        if (style.horAlign == 1)
            x = box.left() + (box.width() - size.width()) / 2;
        else if (style.horAlign == 2)
            x = box.left() + box.width() - size.width();
    }
    qreal y = box.top();
    if (style.verAlign == 1)
        y = box.top() + (box.height() - size.height()) / 2;
    else if (style.verAlign == 2)
        y = box.top() + box.height() - size.height();
    m_pos = QPointF(qRound(x), qRound(y));
}

void TEVTextCache::draw(QPainter* painter, const QString& text, const TextStyleDesc& style, const QRect& rect,
                        bool horizontal)
{
    if (!painter || text.isEmpty())
        return;
    if (!horizontal) {
        TEVQWidgetBaseImpl::drawTextAt(painter, text, style, rect.x(), rect.y(), rect.width(), rect.height(), false);
        return;
    }
    const QString family = TEVQResourceManager::getInstance()->getGlobalFontFamily();
    if (!m_valid || rect != m_rect || text != m_text || family != m_family || style != m_style)
        layOut(text, style, rect, family);
    if (m_shown.isEmpty())
        return;
    painter->setPen(style.color);
    painter->setFont(m_font);
    painter->drawStaticText(m_pos, m_static);
}

} // namespace TEVQtLib
