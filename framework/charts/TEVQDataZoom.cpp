#include "TEVQDataZoom.h"

#include "TEVChartDrawing.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {
// NaN compares false with everything: a non-finite fraction is taken as the edge it is nearest to.
double clampFraction(double v)
{
    if (std::isnan(v))
        return 0.0;
    return qBound(0.0, v, 1.0);
}
} // namespace

void DataZoom::setEnabled(bool on)
{
    m_enabled = on;
    if (!on) {
        m_start = 0.0;
        m_end = 1.0;
        m_dragMode = DataZoomDragNone;
    }
}

void DataZoom::setRange(double start, double end)
{
    m_start = start;
    m_end = end;
    normalize();
}

void DataZoom::setCount(int n) { m_count = qMax(n, 1); }

void DataZoom::normalize()
{
    m_start = clampFraction(m_start);
    m_end = clampFraction(m_end);
    if (m_start > m_end)
        std::swap(m_start, m_end);
    if (m_minSpan > m_end - m_start) {
        if (m_dragMode == DataZoomDragStart) {
            m_start = qMax(m_end - m_minSpan, 0.0);
            return;
        }
        m_end = qMin(m_start + m_minSpan, 1.0);
        if (m_minSpan > m_end - m_start)
            m_start = qMax(m_end - m_minSpan, 0.0);
    }
}

QRectF DataZoom::sliderRect(const QRectF& plot, double offset) const
{
    if (!m_enabled || m_count < 2)
        return QRectF();
    return QRectF(plot.left(), plot.bottom() + offset, plot.width(), m_style.sliderHeight);
}

QRectF DataZoom::windowRect(const QRectF& slider) const
{
    if (slider.isEmpty())
        return QRectF();
    const double x1 = slider.left() + slider.width() * m_start;
    const double x2 = slider.left() + slider.width() * m_end;
    return QRectF(x1, slider.top(), qMax(x2 - x1, 1.0), slider.height());
}

double DataZoom::fractionAt(double x, const QRectF& slider) const
{
    if (slider.isEmpty())
        return 0.0;
    return clampFraction((x - slider.left()) / qMax(slider.width(), 1.0));
}

QString DataZoom::label(int index) const
{
    if (m_labelFormatter)
        return m_labelFormatter(index);
    if (index >= 0 && index < m_labels.size())
        return m_labels.at(index);
    return QStringLiteral("Item %1").arg(index + 1);
}

bool DataZoom::press(const QPoint& pos, const QRectF& slider)
{
    if (slider.isEmpty()) {
        m_dragMode = DataZoomDragNone;
        return false;
    }
    const QRectF w = windowRect(slider);
    const QRectF startZone(w.left() - 8, w.top() - 6, 16, w.height() + 12);
    const QRectF endZone(w.right() - 8, w.top() - 6, 16, w.height() + 12);
    const QRectF windowZone = w.adjusted(0, -6, 0, 6);
    if (startZone.contains(pos))
        m_dragMode = DataZoomDragStart;
    else if (endZone.contains(pos))
        m_dragMode = DataZoomDragEnd;
    else if (windowZone.contains(pos))
        m_dragMode = DataZoomDragWindow;
    else {
        m_dragMode = DataZoomDragNone;
        return false;
    }
    m_pressPos = pos;
    m_pressStart = m_start;
    m_pressEnd = m_end;
    return true;
}

bool DataZoom::dragTo(const QPoint& pos, const QRectF& slider)
{
    if (m_dragMode == DataZoomDragNone || slider.isEmpty())
        return false;
    switch (m_dragMode) {
    case DataZoomDragStart:
        m_start = qMin(fractionAt(pos.x(), slider), m_end - m_minSpan);
        break;
    case DataZoomDragEnd:
        m_end = qMax(fractionAt(pos.x(), slider), m_start + m_minSpan);
        break;
    case DataZoomDragWindow: {
        const double d = (pos.x() - m_pressPos.x()) / qMax(slider.width(), 1.0);
        double s = m_pressStart + d;
        double e = m_pressEnd + d;
        if (s < 0) {
            s = 0;
            e = m_pressEnd - m_pressStart;
        }
        if (e > 1) {
            e = 1;
            s = 1 - (m_pressEnd - m_pressStart);
        }
        m_start = s;
        m_end = e;
        break;
    }
    default:
        break;
    }
    normalize();
    return true;
}

void DataZoom::paint(QPainter* painter, const QRectF& slider, bool withLabels, TEVChart::ChartTextCache* texts) const
{
    if (!painter || slider.isEmpty())
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(Qt::NoPen);
    painter->setBrush(m_style.trackColor);
    painter->drawRoundedRect(slider, m_style.cornerRadius, m_style.cornerRadius);

    const QRectF w = windowRect(slider);
    painter->setBrush(m_style.windowColor);
    painter->drawRoundedRect(w, m_style.cornerRadius, m_style.cornerRadius);
    painter->setPen(QPen(m_style.windowBorderColor, 1.2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(w, m_style.cornerRadius, m_style.cornerRadius);

    painter->setPen(Qt::NoPen);
    painter->setBrush(m_style.handleColor);
    const double hw = m_style.handleWidth;
    for (double edge : {w.left(), w.right()}) {
        painter->drawRoundedRect(QRectF(edge - hw / 2, w.top() - m_style.handleOverhang, hw,
                                        w.height() + 2 * m_style.handleOverhang),
                                 hw / 2, hw / 2);
    }

    if (withLabels) {
        QFont font = painter->font();
        font.setPixelSize(qMax(m_style.labelFontPx, 1));
        painter->setFont(font);
        painter->setPen(m_style.labelColor);
        int first = 0;
        int last = m_count - 1;
        if (m_enabled && m_count > 1) {
            first = qMax(qMin(m_count - 1, int(std::floor((m_count - 1) * m_start))), 0);
            last = qMax(first, qMin(m_count - 1, int(std::ceil((m_count - 1) * m_end))));
        }
        const double top = slider.bottom() + m_style.labelGap;
        const auto text = [painter, texts](const QRectF& box, int alignment, const QString& s) {
            if (texts)
                texts->drawElided(*painter, box, alignment, s);
            else
                painter->drawText(box, alignment,
                                  QFontMetricsF(painter->font()).elidedText(s, Qt::ElideRight, box.width()));
        };
        text(QRectF(slider.left(), top, 120, m_style.labelHeight), Qt::AlignLeft | Qt::AlignVCenter, label(first));
        text(QRectF(slider.right() - 120, top, 120, m_style.labelHeight), Qt::AlignRight | Qt::AlignVCenter,
             label(last));
    }
    painter->restore();
}
