#pragma once
// One text a control paints again and again. It is drawn as TEVQWidgetBaseImpl::drawTextAt draws horizontal
// text (offsets, alignment, elision to the box, word wrap for text mode 3), but the font, the elided form and
// the laid-out text are kept between paints and made again only when the text, the style, the box or the
// global font family change. Vertical text is handed to drawTextAt as it is.
#include "TEVGlobal.h"
#include "TEVStyleDesc.h"

#include <QFont>
#include <QPointF>
#include <QRect>
#include <QStaticText>
#include <QString>

class QPainter;

namespace TEVQtLib {

class TEV_EXPORT TEVTextCache
{
public:
    void draw(QPainter* painter, const QString& text, const TextStyleDesc& style, const QRect& rect,
              bool horizontal = true);
    // Forgets the laid-out text; the next draw lays it out again.
    void clear() { m_valid = false; }
    // What the last draw showed (the elided form when the text did not fit), for tests.
    const QString& shownText() const { return m_shown; }

private:
    void layOut(const QString& text, const TextStyleDesc& style, const QRect& rect, const QString& family);

    bool m_valid = false;
    QString m_text;
    TextStyleDesc m_style;
    QRect m_rect;
    QString m_family;
    QFont m_font;
    QString m_shown;
    QStaticText m_static;
    QPointF m_pos;
};

} // namespace TEVQtLib
