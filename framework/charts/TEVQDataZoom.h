#pragma once
// The range slider drawn under the plot of the line and financial charts. Not a widget: the owning chart holds
// one, gives it the slider rectangle, forwards presses, moves and releases, and calls paint while painting.
// The window [start, end] is a pair of fractions of the category axis with a minimum span.
#include "TEVGlobal.h"

#include <QColor>
#include <QPoint>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;

namespace TEVChart {
class ChartTextCache;
}

struct TEV_EXPORT DataZoomStyle {
    QColor trackColor{231, 237, 247, 255};
    QColor windowColor{37, 99, 235, 54};
    QColor windowBorderColor{37, 99, 235, 255};
    QColor handleColor{37, 99, 235, 255};
    QColor labelColor{87, 103, 132, 255};
    double sliderHeight = 18.0;
    double cornerRadius = 4.0;
    double handleWidth = 6.0;
    double handleOverhang = 3.0;
    double labelGap = 4.0;
    double labelHeight = 16.0;
    int labelFontPx = 10;
};

// What a press grabbed.
enum DataZoomDragMode : int {
    DataZoomDragNone = 0,
    DataZoomDragStart = 1,
    DataZoomDragEnd = 2,
    DataZoomDragWindow = 3,
};

class TEV_EXPORT DataZoom
{
public:
    // false also resets the window to the full range and ends a drag.
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    void setRange(double start, double end);
    void setCount(int n);
    int count() const { return m_count; }
    void setStyle(const DataZoomStyle& style) { m_style = style; }
    const DataZoomStyle& style() const { return m_style; }
    void setLabelColor(const QColor& color) { m_style.labelColor = color; }
    void setLabels(const QStringList& labels) { m_labels = labels; }
    void setLabelFormatter(std::function<QString(int)> formatter) { m_labelFormatter = std::move(formatter); }
    double minSpan() const { return m_minSpan; }

    double start() const { return m_start; }
    double end() const { return m_end; }
    bool isDragging() const { return m_dragMode != DataZoomDragNone; }
    int dragMode() const { return m_dragMode; }

    // Null unless enabled with at least two categories; else the slider's band under the plot at offset.
    QRectF sliderRect(const QRectF& plot, double offset) const;
    QRectF windowRect(const QRectF& slider) const;
    double fractionAt(double x, const QRectF& slider) const;
    QString label(int index) const;

    // True when the press grabbed a handle or the window.
    bool press(const QPoint& pos, const QRectF& slider);
    // True when a drag moved the window.
    bool dragTo(const QPoint& pos, const QRectF& slider);
    void release() { m_dragMode = DataZoomDragNone; }
    // With a text cache, the labels are drawn through it.
    void paint(QPainter* painter, const QRectF& slider, bool withLabels,
               TEVChart::ChartTextCache* texts = nullptr) const;

private:
    void normalize();

    bool m_enabled = false;
    double m_start = 0.0;
    double m_end = 1.0;
    double m_minSpan = 0.02;
    int m_count = 1;
    DataZoomStyle m_style;
    QStringList m_labels;
    std::function<QString(int)> m_labelFormatter;
    int m_dragMode = DataZoomDragNone;
    QPoint m_pressPos;
    double m_pressStart = 0.0;
    double m_pressEnd = 1.0;
};
