#include "TEVTextCache.h"

#include "TEVQResourceManager.h"
#include "TEVQWidgetBaseImpl.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QGlyphRun>
#include <QPainter>
#include <QPointer>
#include <QTextLayout>
#include <QTextOption>
#include <QThread>

#include <vector>

namespace TEVQtLib {

namespace {

// The fonts of the text styles drawn so far, shared by every cache on the GUI thread: the widgets of one style
// then draw and measure with one font, whose glyph engines Qt looks up once instead of once for every widget.
// A font is built on the application's font, which is kept with it.
struct SharedFont {
    int pixelSize;
    bool bold;
    bool italic;
    bool underline;
    QString family;
    QString globalFamily;
    QFont base;
    QFont font;
};

constexpr std::size_t kSharedFonts = 32;

std::vector<SharedFont>& sharedFonts()
{
    static std::vector<SharedFont> fonts;
    return fonts;
}

bool g_sharedFontsCleanUp = false;

// Lets the fonts go before the application's font machinery does.
void dropSharedFonts()
{
    sharedFonts().clear();
    g_sharedFontsCleanUp = false;
}

// The application's font, on which a style's font is built.
QFont applicationFont() { return QCoreApplication::instance() ? QGuiApplication::font() : QFont(); }

// Counts the changes of the application's font, so that a cache checks its font against the one it was built on
// by a number instead of fetching the application's font (a lock and a copy) at every paint.
quint64 g_appFontChanges = 0;
QPointer<QGuiApplication> g_appFontWatched;

quint64 applicationFontSerial()
{
    if (!g_appFontWatched) {
        auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        if (app && QThread::currentThread() == app->thread()) {
            QObject::connect(app, &QGuiApplication::fontChanged, app, [] { ++g_appFontChanges; });
            g_appFontWatched = app;
            // A font set before the watch began is new to every cache.
            ++g_appFontChanges;
        }
    }
    return g_appFontChanges;
}

QFont styleFontShared(const TextStyleDesc& style, const QString& global, const QFont& base)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return TEVQWidgetBaseImpl::styleFont(style, global);
    std::vector<SharedFont>& fonts = sharedFonts();
    if (!g_sharedFontsCleanUp) {
        qAddPostRoutine(dropSharedFonts);
        g_sharedFontsCleanUp = true;
    }
    for (const SharedFont& f : fonts) {
        if (f.pixelSize == style.pixelSize && f.bold == style.bold && f.italic == style.italic &&
            f.underline == style.underline && f.family == style.family && f.globalFamily == global && f.base == base)
            return f.font;
    }
    if (fonts.size() >= kSharedFonts)
        fonts.erase(fonts.begin());
    fonts.push_back(SharedFont{style.pixelSize, style.bold, style.italic, style.underline, style.family, global, base,
                               TEVQWidgetBaseImpl::styleFont(style, global)});
    return fonts.back().font;
}

} // namespace

std::shared_ptr<QTextLayout> TEVTextCache::layOutLine(const QString& text, const QFont& font, LineMetrics& metrics)
{
    auto layout = std::make_shared<QTextLayout>(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid()) {
        line.setLineWidth(0x01000000);
        line.setPosition(QPointF(0, 0));
    }
    layout->endLayout();
    if (!line.isValid())
        return nullptr;
    metrics.advance = line.horizontalAdvance();
    metrics.width = line.naturalTextWidth();
    // The line's own, not the font's: a glyph that another font supplies (a Chinese character in a Latin
    // family) brings that font's ascent and descent into the line when they are larger.
    metrics.ascent = line.ascent();
    metrics.descent = line.descent();
    return layout;
}

namespace {

// Whether the line laid out for one style is the line of the other: every field but the colour counts.
bool sameLine(const TextStyleDesc& a, const TextStyleDesc& b)
{
    return a.bold == b.bold && a.italic == b.italic && a.pixelSize == b.pixelSize && a.underline == b.underline &&
           a.family == b.family && a.offsetX == b.offsetX && a.offsetY == b.offsetY && a.horAlign == b.horAlign &&
           a.verAlign == b.verAlign && a.textMode == b.textMode;
}

} // namespace

const QFont& TEVTextCache::font(const TextStyleDesc& style)
{
    const QString global = TEVQResourceManager::getInstance()->getGlobalFontFamily();
    const quint64 app = applicationFontSerial();
    if (m_fontValid && m_pixelSize == style.pixelSize && m_bold == style.bold && m_italic == style.italic &&
        m_underline == style.underline && m_family == style.family && m_globalFamily == global && m_appFont == app)
        return m_font;
    m_pixelSize = style.pixelSize;
    m_bold = style.bold;
    m_italic = style.italic;
    m_underline = style.underline;
    m_family = style.family;
    m_globalFamily = global;
    m_appFont = app;
    m_font = styleFontShared(style, global, applicationFont());
    m_fontValid = true;
    ++m_fontSerial;
    return m_font;
}

const QString& TEVTextCache::elided(const QString& text, const TextStyleDesc& style, Qt::TextElideMode mode,
                                    int width)
{
    const QFont& f = font(style);
    if (m_elidedValid && m_elidedFontSerial == m_fontSerial && m_width == width && m_mode == int(mode) &&
        m_text == text)
        return m_elided;
    m_text = text;
    m_width = width;
    m_mode = int(mode);
    m_elidedFontSerial = m_fontSerial;
    m_elided = QFontMetrics(f).elidedText(text, mode, width);
    m_elidedValid = true;
    return m_elided;
}

int TEVTextCache::advance(const QString& text, const TextStyleDesc& style, bool* measured)
{
    const QFont& f = font(style);
    const bool measure = m_advance < 0 || m_advanceFontSerial != m_fontSerial || m_advanceText != text;
    if (measure) {
        m_advanceText = text;
        m_advanceFontSerial = m_fontSerial;
        m_advance = QFontMetrics(f).horizontalAdvance(text);
    }
    if (measured)
        *measured = measure;
    return m_advance;
}

void TEVTextCache::clear()
{
    m_advance = -1;
    m_advanceText.clear();
    m_fontValid = false;
    m_elidedValid = false;
    m_lineValid = false;
    m_turnedValid = false;
    m_turned = QImage();
    m_turnedText.clear();
    m_family.clear();
    m_globalFamily.clear();
    m_text.clear();
    m_elided.clear();
    m_shown.clear();
    m_lineText.clear();
    m_runs.clear();
    m_layout.reset();
}

void TEVTextCache::draw(QPainter* painter, const QString& text, const TextStyleDesc& style, int x, int y, int w,
                        int h, bool horizontal)
{
    if (!painter || text.isEmpty())
        return;
    if (!horizontal) {
        painter->setBrush(style.color);
        painter->setRenderHint(QPainter::TextAntialiasing, true);
        drawTurned(painter, text, style, x, y, w, h);
        return;
    }
    const QFont& f = font(style);
    const QSize size(w, h);
    const QRect box = TEVQWidgetBaseImpl::textBox(style, x, y, w, h);
    if (!m_lineValid || m_lineFontSerial != m_fontSerial || m_size != size || m_lineText != text ||
        !sameLine(m_lineStyle, style)) {
        ++m_layouts;
        m_lineValid = true;
        m_lineFontSerial = m_fontSerial;
        m_size = size;
        m_lineText = text;
        m_lineStyle = style;
        m_static = false;
        m_runs.clear();
        m_layout.reset();
        std::shared_ptr<QTextLayout> line;
        const QFontMetricsF metrics(f);
        const bool oneLine =
            style.textMode != 3 && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\t'));
        // A text that looks short enough for its width is laid out whole first: when it fits, that one layout
        // is both the measure and what is drawn, and the text is shaped once. Any other is elided first (which
        // measures it) and what is shown laid out then.
        LineMetrics laid;
        if (oneLine && text.size() * metrics.averageCharWidth() <= w - 2) {
            line = layOutLine(text, f, laid);
            if (line && laid.advance <= w - 2)
                m_shown = text;
            else
                line.reset();
        }
        if (!line) {
            m_shown = style.textMode == 3 ? text : elided(text, style, Qt::ElideRight, w - 2);
            if (oneLine && !m_shown.isEmpty())
                line = layOutLine(m_shown, f, laid);
        }
        // The place QPainter::drawText gives one line in the box that it does not clip: it clips a line whose
        // ink box passes the box, and aligns it by its advance and by the line's height (the ascent and descent
        // of every font the line draws with).
        const qreal height = laid.ascent + laid.descent;
        m_static = line && laid.width <= box.width() && height <= box.height();
        if (m_static) {
            qreal dx = 0, dy = 0;
            if (style.horAlign == 1)
                dx = (box.width() - laid.advance) / 2;
            else if (style.horAlign == 2)
                dx = box.width() - laid.advance;
            if (style.verAlign == 1)
                dy = (box.height() - height) / 2;
            else if (style.verAlign == 2)
                dy = box.height() - height;
            m_at = QPointF(dx, dy);
            m_layout = std::move(line);
            m_layoutDrawn = false;
        }
    }
    painter->setBrush(style.color);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    painter->setPen(style.color);
    painter->setFont(f);
    if (m_static) {
        const QPointF at = QPointF(box.x(), box.y()) + m_at;
        // The first paint draws the layout; a second one takes its glyphs out, placed, and draws only them from
        // then on (most texts are drawn more than once, and many only once). A decorated line stays a layout:
        // it draws one underline (or strike-out) along the whole line, where each run would draw its own, at
        // the height its font gives (a line of Latin and Chinese text has two fonts).
        if (m_layout && (!m_layoutDrawn || f.underline() || f.strikeOut() || f.overline())) {
            m_layout->draw(painter, at);
            m_layoutDrawn = true;
            return;
        }
        if (m_layout) {
            m_runs = m_layout->glyphRuns();
            m_layout.reset();
        }
        for (const QGlyphRun& run : m_runs)
            painter->drawGlyphRun(at, run);
        return;
    }
    if (m_shown.isEmpty())
        return;
    const int flags = int(TEVQWidgetBaseImpl::styleAlignment(style.horAlign, style.verAlign))
                      | (style.textMode == 3 ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine));
    painter->drawText(box, flags, m_shown);
}

void TEVTextCache::drawTurned(QPainter* painter, const QString& text, const TextStyleDesc& style, int x, int y, int w,
                              int h)
{
    if (!painter || text.isEmpty() || w <= 0 || h <= 0)
        return;
    const QFont& f = font(style);
    const QSize size(w, h);
    const qreal ratio = TEVQWidgetBaseImpl::paintRatio(painter);
    if (!m_turnedValid || m_turnedFontSerial != m_fontSerial || m_turnedSize != size || m_turnedText != text ||
        m_turnedStyle != style || m_turnedRatio != ratio) {
        m_turnedRatio = ratio;
        m_turnedValid = true;
        m_turnedFontSerial = m_fontSerial;
        m_turnedSize = size;
        m_turnedText = text;
        m_turnedStyle = style;
        m_turned = TEVQWidgetBaseImpl::uprightText(text, style, f, w, h, ratio);
    }
    TEVQWidgetBaseImpl::drawTurned(painter, m_turned, x, y, w);
}

} // namespace TEVQtLib
