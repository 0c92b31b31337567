#include "TEVQChartBase.h"

#include "TEVTextCache.h"

#include <QFontMetrics>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPainter>
#include <QResizeEvent>
#include <QSurfaceFormat>
#include <QVariantAnimation>

// The font engines and their glyph caches are Qt's own classes: no public interface reaches them.
#include <QtGui/private/qfont_p.h>
#include <QtGui/private/qfontengine_p.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
// Every font engine of this thread's font cache (the thread that paints the charts), once each.
template <class F> void forEachFontEngine(F&& fn)
{
    const QHash<QFontEngine*, int>& engines = QFontCache::instance()->engineCacheCount;
    for (auto it = engines.cbegin(); it != engines.cend(); ++it)
        fn(it.key());
}
} // namespace

TEVQChartBase::TEVQChartBase(QWidget* parent) : QOpenGLWidget(parent), m_theme(chartThemeById(0))
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setSamples(4);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    setFormat(format);

    animation();
}

QVariantAnimation* TEVQChartBase::animation()
{
    if (!m_animation) {
        m_animation = new QVariantAnimation(this);
        m_animation->setStartValue(0.0);
        m_animation->setEndValue(1.0);
        m_animation->setDuration(m_animationDuration);
        connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
            m_progress = value.toDouble();
            animationProgressChanged();
            update();
        });
        // A run cut short by the animation's deletion leaves the full values, not a half-grown picture.
        connect(m_animation, &QObject::destroyed, this, [this] {
            m_progress = 1.0;
            update();
        });
    }
    return m_animation;
}

TEVQChartBase::~TEVQChartBase()
{
    // QWidget deletes the animation with the other children after this part of the chart is gone.
    if (m_animation)
        disconnect(m_animation, nullptr, this, nullptr);
}

void TEVQChartBase::resizeEvent(QResizeEvent* event)
{
    // QOpenGLWidget makes its context and frame buffers at the first resize, and remakes the frame buffers at each.
    if (isVisible() || context())
        QOpenGLWidget::resizeEvent(event);
    else
        QWidget::resizeEvent(event);
}

void TEVQChartBase::setTheme(const ChartTheme& theme)
{
    m_themeId = 0;
    m_theme = theme;
    m_tooltipMeasure.valid = false;
    themeChanged();
    update();
}

void TEVQChartBase::setTheme(int id)
{
    m_themeId = id;
    m_theme = chartThemeById(id);
    m_tooltipMeasure.valid = false;
    themeChanged();
    update();
}

void TEVQChartBase::setBackgroundColor(const QColor& color)
{
    m_backgroundOverride = color;
    m_tooltipMeasure.valid = false;
    themeChanged();
    update();
}

QColor TEVQChartBase::backgroundColor() const
{
    return m_backgroundOverride.isValid() ? m_backgroundOverride : m_theme.backgroundColor;
}

void TEVQChartBase::setLegendPosition(int position)
{
    if (position == m_legendPosition)
        return;
    m_legendPosition = position;
    update();
}

void TEVQChartBase::setAnimationEnabled(bool on)
{
    m_animationEnabled = on;
    if (!on) {
        if (m_animation)
            m_animation->stop();
        m_progress = 1.0;
    }
    animationEnabledChanged();
    update();
}

void TEVQChartBase::startAnimation()
{
    if (m_animationEnabled) {
        // The run starts from 0 now, not at the first tick: no frame shows the new values at full size first.
        m_progress = 0.0;
        QVariantAnimation* run = animation();
        run->stop();
        run->setDuration(m_animationDuration);
        run->start(QAbstractAnimation::KeepWhenStopped);
        return;
    }
    m_progress = 1.0;
    animationProgressChanged();
    update();
}

void TEVQChartBase::showTooltip(const QPoint& pos, const QString& text)
{
    m_tooltipPos = pos;
    m_tooltipText = text;
    update();
}

void TEVQChartBase::hideTooltip()
{
    if (m_tooltipText.isEmpty())
        return;
    m_tooltipText.clear();
    update();
}

TEVQChartBaseImpl::TEVQChartBaseImpl(QWidget* owner, const QString& typeName) : TEVQWidgetBaseImpl(owner, typeName)
{
}

TEVQChartBaseImpl::~TEVQChartBaseImpl() = default;

void TEVQChartBaseImpl::dropCaches()
{
    m_texts.clear();
    m_legendWidths.clear();
}

bool TEVQChartBaseImpl::legendItemShown(const ChartLegendItem& item, const QSize& size)
{
    // The swatch is 12 px wide whatever the entry's width; 2 px more on every side hold the pens' rims.
    const QRectF r = item.rect;
    return r.top() - 2 < size.height() && r.bottom() + 2 > 0 && r.left() - 2 < size.width() &&
           r.left() + qMax(r.width(), 12.0) + 2 > 0;
}

void TEVQChartBaseImpl::drawLegendText(QPainter& p, const ChartLegendItem& item, const ChartTheme& theme,
                                       const QString& text, double height, const QSize& size) const
{
    p.setPen(item.visible ? theme.axisLabelColor : theme.axisLabelColor.lighter(145));
    const double left = item.rect.left() + 18;
    const double right = qMin(item.rect.right(), size.width() - 8.0);
    m_texts.drawElided(p, QRectF(left, item.rect.top(), qMax(right - left, 0.0), height),
                       Qt::AlignLeft | Qt::AlignVCenter, text);
}

void TEVQChartBase::showTooltipIf(bool enabled, const QPoint& pos, const QString& text)
{
    if (!enabled || text.isEmpty())
        hideTooltip();
    else
        showTooltip(pos, text);
}

void TEVQChartBase::themeChanged() {}
void TEVQChartBase::animationEnabledChanged() {}
void TEVQChartBase::animationProgressChanged() {}
void TEVQChartBase::paintChart(QPainter*) {}

TEVQChartBase::TooltipMeasure& TEVQChartBase::tooltipMeasure(const QFont& font) const
{
    TooltipMeasure& m = m_tooltipMeasure;
    if (m.valid && m.text == m_tooltipText && m.font == font)
        return m;
    ++m_tooltipMeasures;
    const QFontMetrics fm(font);
    m.text = m_tooltipText;
    m.font = font;
    m.lines = m_tooltipText.split(QLatin1Char('\n'));
    m.widest = 0;
    for (const QString& line : qAsConst(m.lines))
        m.widest = qMax(m.widest, fm.horizontalAdvance(line));
    m.lineSpacing = fm.lineSpacing();
    m.ascent = fm.ascent();
    m.laidOut.clear();
    m.paints = 0;
    m.valid = true;
    return m;
}

QRect TEVQChartBase::tooltipRect(const QFont& font, const QSize& size) const
{
    const TooltipMeasure& m = tooltipMeasure(font);
    const int width = m.widest + 20;
    const int height = qMax(m.lines.size(), 1) * m.lineSpacing + 16;
    const QRect bounds = QRect(QPoint(0, 0), size).adjusted(8, 8, -8, -8);
    // Counted wide: an anchor near the ends of the int range (showTooltip takes any point) cannot overflow.
    qint64 x = qint64(m_tooltipPos.x()) + 16;
    qint64 y = qint64(m_tooltipPos.y()) + 20;
    if (x + width > bounds.right())
        x = qint64(bounds.right()) - width;
    if (y + height > bounds.bottom())
        y = qint64(m_tooltipPos.y()) - height - 16;
    x = qMax<qint64>(bounds.left(), x);
    y = qMax<qint64>(bounds.top(), y);
    const auto toInt = [](qint64 v) { return int(qBound<qint64>(INT_MIN, v, INT_MAX)); };
    return QRect(toInt(x), toInt(y), width, height);
}

void TEVQChartBase::drawTooltip(QPainter* painter)
{
    if (!painter || m_tooltipText.isEmpty())
        return;
    painter->save();
    QFont font = painter->font();
    font.setPixelSize(qMax(m_theme.tooltipFontPx, 1));
    painter->setFont(font);
    const QRect box = tooltipRect(font, size());
    TooltipMeasure& m = tooltipMeasure(font);

    QColor fill, border, text;
    if (m_theme.backgroundColor.lightness() < 140) {
        fill = QColor(18, 38, 40, 210);
        border = QColor(58, 112, 112, 205);
        text = QColor(239, 243, 250, 255);
    } else {
        fill = QColor(255, 255, 255, 218);
        border = QColor(198, 207, 222, 218);
        text = m_theme.titleColor;
    }
    painter->setPen(QPen(border, 1.0, Qt::SolidLine));
    painter->setBrush(fill);
    painter->drawRoundedRect(box, 8, 8);
    painter->setPen(text);
    // A text painted once (the pointer went on to another item) is drawn directly; one painted again (the
    // pointer moves over the same item) has its lines laid out once and drawn as kept, exactly as drawText draws
    // them at their baselines: each line's glyphs stand on the baseline whatever fonts supply them. A line with
    // a control character (a tab, a carriage return) is left to drawText.
    if (++m.paints == 2) {
        for (const QString& line : qAsConst(m.lines)) {
            QList<QGlyphRun> runs;
            const bool plain = std::none_of(line.cbegin(), line.cend(), [](QChar c) { return c.unicode() < 0x20; });
            TEVQtLib::TEVTextCache::LineMetrics metrics;
            const auto laid = plain && !line.isEmpty() ? TEVQtLib::TEVTextCache::layOutLine(line, font, metrics)
                                                       : nullptr;
            if (laid) {
                runs = laid->glyphRuns();
                for (QGlyphRun& run : runs) {
                    QVector<QPointF> at = run.positions();
                    for (QPointF& p : at)
                        p.ry() -= metrics.ascent;
                    run.setPositions(at);
                }
            }
            m.laidOut.append(runs);
        }
    }
    for (int i = 0; i < m.lines.size(); ++i) {
        const QPointF baseline(box.left() + 10, box.top() + 8 + m.ascent + i * m.lineSpacing);
        if (i < m.laidOut.size() && !m.laidOut.at(i).isEmpty()) {
            for (const QGlyphRun& run : m.laidOut.at(i))
                painter->drawGlyphRun(baseline, run);
        } else {
            painter->drawText(baseline, m.lines.at(i));
        }
    }
    painter->restore();
}

void TEVQChartBase::setPainterHints(QPainter& painter)
{
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

void TEVQChartBase::beginFrame(QOpenGLFunctions* gl)
{
    const qreal dpr = devicePixelRatioF();
    gl->glViewport(0, 0, int(std::lround(width() * dpr)), int(std::lround(height() * dpr)));
    const QColor bg = backgroundColor();
    gl->glClearColor(float(bg.redF()), float(bg.greenF()), float(bg.blueF()), float(bg.alphaF()));
    gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl->glEnable(GL_MULTISAMPLE);
    gl->glDisable(GL_DEPTH_TEST);
}

void TEVQChartBase::dropGlyphsWithContext()
{
    QOpenGLContext* gl = context();
    if (!gl)
        return;
    // Called once for each context the chart is given. The context is current while it is destroyed, so the
    // glyph textures are freed with it at once; the connection ends with the context.
    connect(gl, &QOpenGLContext::aboutToBeDestroyed, gl,
            [gl] { forEachFontEngine([gl](QFontEngine* engine) { engine->clearGlyphCache(gl); }); });
}

int TEVQChartBase::glyphCacheCount(const void* context)
{
    int count = 0;
    forEachFontEngine([context, &count](QFontEngine* engine) {
        for (QFontEngine::GlyphFormat format :
             {QFontEngine::Format_Mono, QFontEngine::Format_A8, QFontEngine::Format_A32, QFontEngine::Format_ARGB}) {
            if (engine->glyphCache(context, format, QTransform())) {
                ++count;
                return;
            }
        }
    });
    return count;
}

QImage TEVQChartBase::renderImage()
{
    QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(backgroundColor());
    QPainter painter(&image);
    painter.setFont(font());
    setPainterHints(painter);
    paintChart(&painter);
    return image;
}

