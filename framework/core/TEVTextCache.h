#pragma once
// What drawing one text with one text style needs that changes only with the text, the style, the global font
// family and the size: the font, the elided form and, for a single line that fits its box, the line laid out
// (shaped once, drawn from its glyphs at every paint); for a text turned a quarter (vertical), the turned picture. A control keeps one per text it
// draws, either drawing through it (draw) or handing it to the painter base's drawTextAt; a paint then builds no
// font and measures no text while nothing changed. Every input is compared on use: a change of any of them drops
// what was kept. The result is what TEVQWidgetBaseImpl::drawTextAt draws.
#include "TEVGlobal.h"
#include "TEVStyleDesc.h"

#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>

class QPainter;
class QTextLayout;

namespace TEVQtLib {

class TEV_EXPORT TEVTextCache
{
public:
    // The font of style (its own family unless a global font family is set).
    const QFont& font(const TextStyleDesc& style);
    // The advance of text in the font of style (QFontMetrics::horizontalAdvance), kept until the text or the font
    // changes; measured is set to whether this call measured.
    int advance(const QString& text, const TextStyleDesc& style, bool* measured = nullptr);
    // text elided with mode to width pixels in the font of style.
    const QString& elided(const QString& text, const TextStyleDesc& style, Qt::TextElideMode mode, int width);
    // As TEVQWidgetBaseImpl::drawTextAt(painter, text, style, x, y, w, h, horizontal).
    void draw(QPainter* painter, const QString& text, const TextStyleDesc& style, int x, int y, int w, int h,
              bool horizontal = true);
    void draw(QPainter* painter, const QString& text, const TextStyleDesc& style, const QRect& rect,
              bool horizontal = true)
    {
        draw(painter, text, style, rect.x(), rect.y(), rect.width(), rect.height(), horizontal);
    }
    // As the vertical form of TEVQWidgetBaseImpl::drawTextAt: text drawn upright into a picture as wide as the
    // target is high, turned a quarter clockwise onto (x, y, w, h). The picture is made at the painter's device
    // pixel ratio and kept until the text, the style, the font, the size or that ratio changes.
    void drawTurned(QPainter* painter, const QString& text, const TextStyleDesc& style, int x, int y, int w, int h);
    // The measures of one laid-out line.
    struct LineMetrics {
        qreal advance = 0; // the sum of its glyphs' advances (what elision measures and alignment places)
        qreal width = 0;   // its ink box's width (which can pass the advance: a slanted last glyph)
        qreal ascent = 0;  // the line's, over every font that draws a glyph of it
        qreal descent = 0;
    };
    // text as one line in font, laid out the way QPainter::drawText lays out a single line (trailing blanks
    // count), its top at 0 and its baseline at metrics.ascent; null when Qt lays out no line.
    static std::shared_ptr<QTextLayout> layOutLine(const QString& text, const QFont& font, LineMetrics& metrics);
    // Forgets everything (the next use computes again).
    void clear();
    // What the last draw showed (the elided form when the text did not fit).
    const QString& shownText() const { return m_shown; }
    // How many times draw laid its line out since the cache was made: a paint with nothing changed lays out none,
    // nor does a paint in another colour (the pen gives the colour; a fading button changes it at every step).
    int layoutCount() const { return m_layouts; }

private:
    // The font.
    bool m_fontValid = false;
    int m_pixelSize = 0;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
    QString m_family;
    QString m_globalFamily;
    quint64 m_appFont = 0; // the change count of the application's font (it gives what the style leaves open)
    QFont m_font;
    quint64 m_fontSerial = 0; // counts the fonts built, so that what depends on the font knows which it used
    // The elided form.
    bool m_elidedValid = false;
    QString m_text;
    int m_width = 0;
    int m_mode = 0;
    quint64 m_elidedFontSerial = 0;
    QString m_elided;
    // The advance.
    int m_advance = -1; // -1: none measured
    quint64 m_advanceFontSerial = 0;
    QString m_advanceText;
    // The line draw shows.
    bool m_lineValid = false;
    quint64 m_lineFontSerial = 0;
    QString m_lineText; // the text given (m_shown is what is drawn of it)
    QString m_shown;
    TextStyleDesc m_lineStyle;
    int m_layouts = 0;
    QSize m_size;
    bool m_static = false; // a single line that fits its box: laid out once, drawn at its place
    std::shared_ptr<const QTextLayout> m_layout; // that line, until its second paint (copies of the cache share it)
    bool m_layoutDrawn = false;
    QList<QGlyphRun> m_runs; // from then on, its glyphs, placed
    QPointF m_at; // relative to the box
    // The turned picture of a vertical text.
    bool m_turnedValid = false;
    quint64 m_turnedFontSerial = 0;
    QString m_turnedText;
    TextStyleDesc m_turnedStyle;
    QSize m_turnedSize;
    qreal m_turnedRatio = 1.0; // the painter's device pixels per pixel it was made for
    QImage m_turned;
};

} // namespace TEVQtLib
