#pragma once
// One text a control paints again and again. It is drawn exactly as TEVQWidgetBaseImpl::drawTextAt draws it,
// but the font and the shown (elided) line are kept between paints and worked out again only when the text,
// the style, the box size or the global font family change; a single line that fits its box is drawn as a
// prepared QStaticText.
#include "TEVGlobal.h"
#include "TEVStyleDesc.h"

#include <QFont>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QStaticText>
#include <QString>

class QPainter;

namespace TEVQtLib {

// One text slot of a control. The font and the shown line are worked out on the first draw and kept until the
// text, the style, the box size or the global font family change.
class TEV_EXPORT TEVTextCache
{
public:
    // As TEVQWidgetBaseImpl::drawTextAt(painter, text, style, x, y, w, h, horizontal).
    void draw(QPainter* painter, const QString& text, const TextStyleDesc& style, int x, int y, int w, int h,
              bool horizontal = true);
    void draw(QPainter* painter, const QString& text, const TextStyleDesc& style, const QRect& rect,
              bool horizontal = true)
    {
        draw(painter, text, style, rect.x(), rect.y(), rect.width(), rect.height(), horizontal);
    }
    // Forgets the laid-out text; the next draw lays it out again.
    void clear() { m_valid = false; }
    // What the last draw showed (the elided form when the text did not fit).
    const QString& shownText() const { return m_shown; }

private:
    bool m_valid = false;
    QString m_text;
    TextStyleDesc m_style;
    QSize m_size;
    QString m_family;
    QFont m_font;
    QString m_shown;
    // A single line that fits its box: laid out once and drawn at its place; anything else is drawn by
    // QPainter::drawText each time.
    bool m_static = false;
    QStaticText m_line;
    QPointF m_at; // relative to the box
};

} // namespace TEVQtLib
