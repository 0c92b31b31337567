#pragma once
// The common base of the OpenGL charts: the surface format, the current theme with an optional background
// override, the legend position, the opening animation (progress 0 -> 1 over 700 ms) and one tooltip painted
// last. The charts clear the surface through OpenGL and draw everything else with a QPainter; the drawing is
// one function, paintChart, that paints into any painter at the widget's size, so a chart also renders into an
// image without a GL context (renderImage).
#include "TEVChartDrawing.h"
#include "TEVGlobal.h"
#include "TEVQChartTypes.h"
#include "TEVQWidgetBaseImpl.h"

#include <QFont>
#include <QImage>
#include <QMouseEvent>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QPainter>
#include <QPoint>
#include <QPointer>
#include <QGlyphRun>
#include <QList>
#include <QStringList>
#include <QVector>

class QVariantAnimation;

// The common base of the charts' painter objects: the OpenGL functions, and the labels and legend text widths
// prepared once and kept between paints.
class TEV_EXPORT TEVQChartBaseImpl : public TEVQtLib::TEVQWidgetBaseImpl, public QOpenGLFunctions
{
    Q_OBJECT
public:
    TEVQChartBaseImpl(QWidget* owner, const QString& typeName);
    ~TEVQChartBaseImpl() override;

    const TEVChart::ChartTextCache& textCache() const { return m_texts; }
    const TEVChart::LegendWidths& legendWidths() const { return m_legendWidths; }
    // Forgets the prepared labels and measured legend texts: the next paint prepares them again.
    void dropCaches();

    // Whether a legend entry (swatch and text, all inside its rectangle) shows in a widget of the size. A long
    // legend runs on past the widget's edges; the entries there draw nothing and are left out, so that their texts
    // are not prepared again at every paint.
    static bool legendItemShown(const ChartLegendItem& item, const QSize& size);

protected:
    // A legend entry's text in a box of the height right of its 12 px swatch, in the theme's label colour,
    // paler when the entry is switched off. A text longer than its box, or than the widget of the size leaves
    // room for (8 px from its right edge), is shortened with an ellipsis instead of being cut.
    void drawLegendText(QPainter& p, const ChartLegendItem& item, const ChartTheme& theme, const QString& text,
                        double height, const QSize& size) const;

    mutable TEVChart::ChartTextCache m_texts;
    mutable TEVChart::LegendWidths m_legendWidths;
};

class TEV_EXPORT TEVQChartBase : public QOpenGLWidget
{
    Q_OBJECT
public:
    explicit TEVQChartBase(QWidget* parent = nullptr);
    ~TEVQChartBase() override;

    void setTheme(const ChartTheme& theme);
    void setTheme(int id);
    const ChartTheme& theme() const { return m_theme; }
    int themeId() const { return m_themeId; }
    // An invalid colour clears the override.
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const;
    void setLegendPosition(int position);
    int legendPosition() const { return m_legendPosition; }
    void setAnimationEnabled(bool on);
    bool animationEnabled() const { return m_animationEnabled; }
    // Restarts the opening animation (data replaced), or pins progress at 1 when the animation is off.
    void startAnimation();
    double animationProgress() const { return m_progress; }
    void showTooltip(const QPoint& pos, const QString& text);
    void hideTooltip();
    // Shows text at pos when enabled and the text is not empty; hides the tooltip otherwise.
    void showTooltipIf(bool enabled, const QPoint& pos, const QString& text);
    const QString& tooltipText() const { return m_tooltipText; }
    const QPoint& tooltipPos() const { return m_tooltipPos; }
    // The tooltip box for the current text and anchor inside a widget of the given size.
    QRect tooltipRect(const QFont& font, const QSize& size) const;
    // How many times a tooltip text was measured: once per text and font, not at every paint or mouse move.
    int tooltipMeasureCount() const { return m_tooltipMeasures; }

    // Paints the whole chart except the cleared background, at the widget's size.
    virtual void paintChart(QPainter* painter);

    // How many of the font engines in use keep glyphs drawn through the OpenGL context at this address (a
    // QOpenGLContext, alive or gone; the address is only compared). A chart's context leaves none behind.
    static int glyphCacheCount(const void* context);

    // The chart painted into an image of the widget's size over its background colour.
    QImage renderImage();

protected:
    // A chart makes its OpenGL surface (a context and, at the chart's size, a four-sample frame buffer with its
    // depth and stencil and the frame buffer it resolves into) when it is first shown. One resized or rendered
    // while hidden, by itself or with its page, makes none (rendering a window sends its hidden children their
    // sizes too, and QOpenGLWidget would make a surface at the first of them). Once made, the surface stays
    // while the chart lives: showing its page again then costs no new context.
    void resizeEvent(QResizeEvent* event) override;
    virtual void themeChanged();
    virtual void animationEnabledChanged();
    virtual void animationProgressChanged();
    void drawTooltip(QPainter* painter);
    // A left press on a legend entry toggles that series (or slice): the painter's hover is cleared, the
    // tooltip hidden, the chart repainted and the press accepted. True when the press hit an entry.
    template <class Painter, class Items>
    bool toggleFromLegend(Painter* d, Items& items, const QVector<ChartLegendItem>& legend, QMouseEvent* event)
    {
        const int hit = TEVChart::legendHit(legend, event->pos());
        if (hit < 0 || hit >= items.size())
            return false;
        items[hit].visible = !items[hit].visible;
        d->clearHover();
        hideTooltip();
        update();
        event->accept();
        return true;
    }
    // The hover options and mouse handling of the charts, for a painter object with the flags hoverEnabled,
    // tooltipEnabled and tooltipTrigger, updateHover(pos) (true when a repaint is due) and clearHover() (true
    // when a hover was set, hiding the tooltip). Turning hovering off, or the trigger to none, clears the hover.
    template <class Painter> void setHoverEnabledOf(Painter* d, bool on)
    {
        d->hoverEnabled = on;
        if (!on)
            d->clearHover();
        update();
    }
    template <class Painter> void setTooltipTriggerOf(Painter* d, int trigger)
    {
        d->tooltipTrigger = trigger;
        if (trigger == ChartTooltipNone)
            d->clearHover();
        update();
    }
    template <class Painter> void setTooltipEnabledOf(Painter* d, bool on)
    {
        d->tooltipEnabled = on;
        if (!on)
            hideTooltip();
        update();
    }
    // An option that moves what lies under the mouse: the hover is cleared, the tooltip hidden, the chart repainted.
    template <class Painter> void clearHoverAndRepaint(Painter* d)
    {
        d->clearHover();
        hideTooltip();
        update();
    }
    // New data in place of the list: the hover is cleared (and the tooltip hidden), the opening animation restarts.
    template <class Painter, class List> void replaceData(Painter* d, List& list, const List& data)
    {
        list = data;
        d->clearHover();
        startAnimation();
    }
    // New category labels; a hover kept from the old ones is looked at again: the tooltip reads the new label,
    // and a column that moved away from the mouse loses its highlight.
    template <class Painter> void setCategoriesOf(Painter* d, const QStringList& categories)
    {
        d->categories = categories;
        hoverAgain(d);
        update();
    }
    // A hover kept from old data or categories is looked at again at the last mouse position, so that the
    // highlight and the tooltip follow the new ones.
    template <class Painter> void hoverAgain(Painter* d)
    {
        if (d->hovering)
            d->updateHover(d->lastMousePos);
    }
    template <class Painter> void hoverMove(Painter* d, QMouseEvent* event)
    {
        TEVQChartBase::mouseMoveEvent(event);
        if (d->updateHover(event->pos()))
            update();
    }
    template <class Painter> void hoverLeave(Painter* d, QEvent* event)
    {
        TEVQChartBase::leaveEvent(event);
        if (d->clearHover())
            update();
    }
    // The data-zoom slider of a painter object with a zoom (DataZoom); slider() gives its rectangle and is asked
    // only when needed. A left press on the slider clears the hover, hides the tooltip, repaints and is accepted;
    // a move while dragging it is accepted when the slider moved, else it hovers; a left release ends a drag.
    template <class Painter, class Slider> bool pressZoom(Painter* d, QMouseEvent* event, Slider slider)
    {
        if (event->button() != Qt::LeftButton || !d->zoom.press(event->pos(), slider()))
            return false;
        clearHoverAndRepaint(d);
        event->accept();
        return true;
    }
    template <class Painter, class Slider> void moveZoomOrHover(Painter* d, QMouseEvent* event, Slider slider)
    {
        if (d->zoom.isDragging() && d->zoom.dragTo(event->pos(), slider())) {
            update();
            event->accept();
            return;
        }
        hoverMove(d, event);
    }
    template <class Painter> void releaseZoom(Painter* d, QMouseEvent* event)
    {
        if (event->button() == Qt::LeftButton)
            d->zoom.release();
        TEVQChartBase::mouseReleaseEvent(event);
    }
    // The GL frame set-up shared by the charts: viewport, clear to the background, multisampling on, depth
    // test off; then a painter with antialiasing, text antialiasing and smooth pixmap transforms.
    void beginFrame(class QOpenGLFunctions* gl);
    // For initializeGL: when the chart's current context goes (the chart is deleted, or moved to another
    // window), the glyphs Qt's OpenGL paint engine kept for it in every font engine go with it. Qt keys them
    // by the context's address and keeps them for the life of the font, so every chart made and deleted would
    // otherwise leave its glyph textures and their records behind.
    void dropGlyphsWithContext();
    static void setPainterHints(QPainter& painter);
    // Antialiasing, text antialiasing and smooth pixmap transforms: the hints of the bar, line and financial charts.
    static constexpr QPainter::RenderHints kChartHints =
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform;

private:
    int m_themeId = 0;
    ChartTheme m_theme;
    int m_legendPosition = ChartLegendBottom;
    QColor m_backgroundOverride;
    bool m_animationEnabled = true;
    int m_animationDuration = 700;
    double m_progress = 1.0;
    // A child of the chart: whoever deletes the chart's children deletes it, and the next run makes another.
    QPointer<QVariantAnimation> m_animation;
    QVariantAnimation* animation();
    QString m_tooltipText;
    QPoint m_tooltipPos;
    // The tooltip text's lines and their measures in the font last painted with, kept until the text, the font
    // or the theme changes.
    struct TooltipMeasure {
        bool valid = false;
        QString text;
        QFont font;
        QStringList lines;
        // The lines laid out from the second paint on, as their glyphs placed about the line's baseline; no
        // glyphs for a line that drawText draws.
        QVector<QList<QGlyphRun>> laidOut;
        int widest = 0;
        int lineSpacing = 0;
        int ascent = 0;
        int paints = 0;         // tooltips painted with this text and font
    };
    mutable TooltipMeasure m_tooltipMeasure;
    mutable int m_tooltipMeasures = 0;
    TooltipMeasure& tooltipMeasure(const QFont& font) const;
};

// The OpenGL entry points every chart shares, for a chart whose painter object (painter()) holds the GL functions
// and paints the scene with paint(QPainter&, QSize): the surface is cleared to the background, the scene is
// painted with the given render hints, and the tooltip last. Each context the chart is given takes the glyphs
// drawn through it along when it goes (dropGlyphsWithContext). releasePainter(), for the chart's destructor,
// deletes the painter object (and the GL resources it holds) with the chart's context current, when it holds one.
#define TEV_CHART_GL(Hints)                                                                                     \
public:                                                                                                         \
    void paintChart(QPainter* p) override                                                                       \
    {                                                                                                           \
        if (p && painter()) {                                                                                   \
            painter()->paint(*p, size());                                                                       \
            drawTooltip(p);                                                                                     \
        }                                                                                                       \
    }                                                                                                           \
                                                                                                                \
protected:                                                                                                      \
    void initializeGL() override                                                                                \
    {                                                                                                           \
        dropGlyphsWithContext();                                                                                \
        if (painter())                                                                                          \
            painter()->initializeOpenGLFunctions();                                                             \
    }                                                                                                           \
    void resizeGL(int, int) override {}                                                                         \
    void releasePainter()                                                                                       \
    {                                                                                                           \
        const bool held = context() != nullptr;                                                                 \
        if (held)                                                                                               \
            makeCurrent();                                                                                      \
        tevSetImpl(nullptr, false);                                                                             \
        if (held)                                                                                               \
            doneCurrent();                                                                                      \
    }                                                                                                           \
    void paintGL() override                                                                                     \
    {                                                                                                           \
        if (!painter())                                                                                         \
            return;                                                                                             \
        beginFrame(painter());                                                                                  \
        QPainter p(this);                                                                                       \
        p.setRenderHints(Hints);                                                                                \
        paintChart(&p);                                                                                         \
    }                                                                                                           \
                                                                                                                \
private:

namespace TEVChart {
// The demonstration data of a chart over the week's days (the bar and line charts): tooltips off, the default
// theme and background, and one series "Data" of the values.
template <class Chart> void loadWeekDemo(Chart& chart, const QVector<double>& values)
{
    auto* d = chart.painter();
    d->categories = QStringList{QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"),
                                QStringLiteral("Thu"), QStringLiteral("Fri"), QStringLiteral("Sat"),
                                QStringLiteral("Sun")};
    d->tooltipEnabled = false;
    d->tooltipTrigger = ChartTooltipNone;
    chart.setTheme(0);
    chart.setBackgroundColor(QColor());
    chart.setData(QStringLiteral("Data"), values, QColor());
}
} // namespace TEVChart

namespace TEVQtLib {
// Registers the chart types as controls; called once after TEVQtLib::init.
TEV_EXPORT void registerChartControls();
} // namespace TEVQtLib
