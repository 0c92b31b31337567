#include "SolarPlantDiagramWidget.h"

#include "LanguageManager.h"
#include "TEVQWidgetBaseImpl.h"
#include "TEVQtLib.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

const QColor kInk(67, 82, 76);
const QColor kMuted(122, 137, 130);
const QColor kLine(224, 232, 227);
const QColor kGreen(128, 173, 139);
const QColor kGreenFill(218, 234, 222);
const QColor kBranch(120, 145, 132);
const QColor kPanelBorder(194, 211, 201);
const QColor kAmber(235, 166, 64);
const QColor kRed(222, 82, 82);
const QColor kGrey(158, 170, 164);
const QColor kPaper(247, 250, 248);
const QColor kWhite(255, 255, 255);
const QColor kRunning(153, 207, 105);

constexpr int kLeftCentred = Qt::AlignLeft | Qt::AlignVCenter;

QString dictText(const char* key)
{
    return TEVQtLib::tevText(QString::fromLatin1(key), QString());
}

QFont diagramFont(bool bold)
{
    QFont f(QStringLiteral("Microsoft YaHei UI"));
    f.setPixelSize(12);
    f.setWeight(bold ? 75 : 50);
    return f;
}

void roundedBox(QPainter& p, const QRectF& r, qreal radius, const QColor& border, const QColor& fill)
{
    p.setPen(QPen(QBrush(border), 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius, Qt::AbsoluteSize);
}

void dot(QPainter& p, const QPointF& centre, qreal radius, const QColor& fill)
{
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(centre, radius, radius);
}

QColor markerColour(int status)
{
    switch (status) {
    case 1: return kAmber;
    case 2: return kRed;
    case 3: return kGrey;
    default: return kRunning;
    }
}

} // namespace

SolarPlantDiagramWidget::SolarPlantDiagramWidget(int mode, QWidget* parent) : TEVQContainer(parent), m_mode(mode)
{
    setWidthPolicy(TEVQtLib::LayoutSizePolicy(0));
    setHeightPolicy(TEVQtLib::LayoutSizePolicy(0));
    setMinimumSize(360, 260);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_fonts[0] = diagramFont(false);
    m_fonts[1] = diagramFont(true);
    // Every change of the dictionary is announced so (a load as well as a switch).
    connect(TEVQtLib::LanguageManager::instance(), &TEVQtLib::LanguageManager::languageChanged, this,
            [this](const QString&) {
                m_layer = QPixmap();
                update();
            });
}

SolarPlantDiagramWidget::~SolarPlantDiagramWidget() = default;

void SolarPlantDiagramWidget::setSnapshot(const PlantSnapshot& snapshot)
{
    m_snapshot = snapshot;
    update();
}

void SolarPlantDiagramWidget::caption(QPainter& p, const QRectF& r, const QString& s, const QColor& colour, bool bold,
                                      int flags) const
{
    p.setFont(m_fonts[bold ? 1 : 0]);
    p.setPen(colour);
    p.drawText(r, flags, s);
}

void SolarPlantDiagramWidget::markerNumber(QPainter& p, const QRectF& r, int i) const
{
    // The numbers never change: each is laid out once and drawn centred in r, where caption would put it.
    QStaticText& number = m_markerNumbers[i];
    if (number.text().isEmpty()) {
        number.setText(QString::number(i + 1));
        number.setTextFormat(Qt::PlainText);
        number.prepare(QTransform(), m_fonts[1]);
    }
    p.setFont(m_fonts[1]);
    p.setPen(kWhite);
    const QSizeF size = number.size();
    p.drawStaticText(QPointF(r.x() + (r.width() - size.width()) / 2, r.y() + (r.height() - size.height()) / 2),
                     number);
}

void SolarPlantDiagramWidget::paintEvent(QPaintEvent*)
{
    const QRectF r = QRectF(rect()).adjusted(18, 18, -18, -18);
    QPainter p(this);
    // The ratio of the device the pixels land on (the screen's, or another device's while rendered into it).
    const qreal ratio = TEVQtLib::TEVQWidgetBaseImpl::paintRatio(&p);
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_layer.isNull() || m_layer.size() != pixels || m_layer.devicePixelRatio() != ratio) {
        m_layer = QPixmap(pixels);
        m_layer.setDevicePixelRatio(ratio);
        m_layer.fill(kWhite);
        QPainter layer(&m_layer);
        layer.setRenderHint(QPainter::Antialiasing, true);
        if (m_mode == 0)
            paintStatusBoard(layer, r, true);
        else if (m_mode == 1)
            paintSingleLine(layer, r, true);
        else
            paintNetwork(layer, r);
    }
    p.drawPixmap(0, 0, m_layer);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (m_mode == 0)
        paintStatusBoard(p, r, false);
    else if (m_mode == 1)
        paintSingleLine(p, r, false);
}

void SolarPlantDiagramWidget::paintSingleLine(QPainter& p, const QRectF& r, bool layer) const
{
    const qreal cy = r.center().y();
    const qreal x0 = r.left() + 20;
    const qreal step = (r.width() - 40) / 5;
    // Boxes that do not overlap let the snapshot's values (the capacity and the active power) be laid over the
    // drawing made earlier; overlapping ones are drawn whole at every paint, in their order.
    const bool apart = step >= 84;
    if (layer && !apart)
        return;
    const auto value = [this](int i) {
        return i == 0 ? QStringLiteral("%1 MWp").arg(QString::number(m_snapshot.capacity, 'f', 0))
                      : QStringLiteral("%1 MW").arg(QString::number(m_snapshot.activePower, 'f', 1));
    };
    const auto valueRect = [&](int i) { return QRectF(x0 + i * step + 6, cy - 50 + 57, 84 - 12, 24); };
    const QColor inverterValue(83, 132, 96);
    if (!layer && apart) {
        caption(p, valueRect(0), value(0), kMuted, false);
        caption(p, valueRect(2), value(2), inverterValue, false);
        return;
    }
    const QString titles[5] = {dictText("solar.diagram.pvArrays"), dictText("solar.diagram.combiner"),
                               dictText("solar.diagram.inverters"), dictText("solar.diagram.transformer"),
                               dictText("solar.diagram.utilityGrid")};
    const QString values[5] = {value(0), QStringLiteral("1.02 kV DC"), value(2), QStringLiteral("34.5 kV"),
                               QStringLiteral("60.00 Hz")};

    p.setPen(QPen(QBrush(kGreen), 4.0));
    p.drawLine(QPointF(x0 + 42, cy), QPointF(x0 + 42 + 4 * step, cy));

    for (int i = 0; i < 5; ++i) {
        const QRectF box(x0 + i * step, cy - 50, 84, 100);
        const bool inverters = i == 2;
        const QColor fill = inverters ? kGreenFill : kPaper;
        roundedBox(p, box, 6, inverters ? kGreen : kLine, fill);
        caption(p, QRectF(box.left() + 6, box.top() + 12, box.width() - 12, 38), titles[i], kInk, true);
        if (!layer || (i != 0 && i != 2))
            caption(p, valueRect(i), values[i], inverters ? inverterValue : kMuted, false);
        if (i < 4) {
            p.setPen(QPen(QBrush(kGreen), 2.0));
            p.setBrush(fill);
            p.drawEllipse(QPointF(box.right() + (step - box.width()) * 0.5, cy), 5, 5);
        }
    }

    const QRectF banner(r.left() + 45, r.top() + 18, r.width() - 90, 40);
    roundedBox(p, banner, 5, kLine, kPaper);
    caption(p, banner, dictText("solar.diagram.feederStatus"), kMuted, false);

    const qreal branchX = x0 + 2 * step + 42;
    const QPen branchPen(QBrush(kBranch), 2.0);
    p.setPen(branchPen);
    p.drawLine(QPointF(branchX, cy + 50), QPointF(branchX, cy + 96));
    const QString subTitles[3] = {dictText("solar.diagram.auxiliary"), dictText("solar.diagram.reactiveBank"),
                                  dictText("solar.diagram.plantLoad")};
    // The connectors first, then the boxes: the connector to the last box runs under the middle one and must
    // not strike through its title.
    QRectF boxes[3];
    for (int k = 0; k < 3; ++k) {
        boxes[k] = QRectF((k * 0.85 + 1.15) * step + x0, cy + 96, 100, 42);
        p.setPen(branchPen);
        p.drawLine(QPointF(branchX, cy + 117), QPointF(boxes[k].left(), cy + 117));
    }
    for (int k = 0; k < 3; ++k) {
        roundedBox(p, boxes[k], 5, kLine, kWhite);
        caption(p, boxes[k], subTitles[k], kMuted, false);
    }
}

void SolarPlantDiagramWidget::paintNetwork(QPainter& p, const QRectF& r) const
{
    const QPointF c = r.center();
    const QRectF core(c.x() - 70, c.y() - 38, 140, 76);
    const QPointF nodes[6] = {{r.left() + 90, r.top() + 65},     {r.right() - 90, r.top() + 65},
                              {r.left() + 90, r.bottom() - 65},  {r.right() - 90, r.bottom() - 65},
                              {c.x(), r.top() + 48},             {c.x(), r.bottom() - 48}};
    const QString labels[6] = {dictText("solar.diagram.inverterGateway"), dictText("solar.diagram.weatherStation"),
                               dictText("solar.diagram.trackerController"), dictText("solar.diagram.energyMeters"),
                               dictText("solar.diagram.scadaServer"), dictText("solar.diagram.remoteOperations")};

    p.setPen(QPen(QBrush(QColor(153, 188, 162)), 2.0));
    for (const QPointF& n : nodes)
        p.drawLine(c, n);

    roundedBox(p, core, 7, kGreen, kGreenFill);
    caption(p, core, dictText("solar.diagram.coreSwitch"), QColor(75, 124, 89), true);

    for (int i = 0; i < 6; ++i) {
        const QRectF box(nodes[i].x() - 66, nodes[i].y() - 28, 132, 56);
        roundedBox(p, box, 5, kLine, QColor(250, 252, 251));
        caption(p, box.adjusted(5, 5, -5, -15), labels[i], kInk, true);
        dot(p, QPointF(nodes[i].x(), box.bottom() - 10), 4, i == 5 ? kAmber : QColor(143, 198, 100));
    }

    caption(p, QRectF(r.left(), r.bottom() - 22, r.width(), 22), dictText("solar.diagram.networkStatus"), kMuted, false);
}

void SolarPlantDiagramWidget::paintStatusBoard(QPainter& p, const QRectF& r, bool layer) const
{
    const QRectF a = r.adjusted(30, 30, -120, -30);
    const qreal h = a.height() * 0.25;
    const qreal w = a.width() / 6;
    if (!layer) {
        // The inverters' markers over the board: nothing else of the drawing lies under or over them.
        const int markers = qMin(m_snapshot.inverters.size(), 10);
        for (int i = 0; i < markers; ++i) {
            const int row = i < 6 ? 1 : 3;
            const int col = i < 6 ? i : i - 4;
            const QPointF centre(a.left() + (col + 0.5) * w, a.top() + (row + 0.15) * h);
            p.setPen(QPen(QBrush(kWhite), 2.0));
            p.setBrush(markerColour(m_snapshot.inverters[i].status));
            p.drawEllipse(centre, 18, 18);
            markerNumber(p, QRectF(centre.x() - 18, centre.y() - 18, 36, 36), i);
        }
        return;
    }
    p.setPen(QPen(QBrush(QColor(232, 238, 234)), 1.0));
    for (qreal x = std::floor(r.left()); x < r.right(); x += 28)
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
    for (qreal y = std::floor(r.top()); y < r.bottom(); y += 28)
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));

    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 6; ++col) {
            const QRectF panel(a.left() + col * w + 4, a.top() + row * h + 5, w - 9, h - 10);
            p.setPen(QPen(QBrush(kPanelBorder), 1.0));
            p.setBrush(row < 2 ? QColor(169, 188, 177) : QColor(151, 176, 161));
            p.drawRect(panel);
            for (int k = 1; k <= 3; ++k) {
                const qreal x = panel.left() + panel.width() * k * 0.25;
                p.drawLine(QPointF(x, panel.top()), QPointF(x, panel.bottom()));
            }
        }
    }

    p.setBrush(Qt::NoBrush);
    QPen upper(QBrush(QColor(87, 181, 221)), 2.0);
    upper.setStyle(Qt::DashLine);
    p.setPen(upper);
    p.drawRoundedRect(QRectF(QPointF(a.left() - 8, a.top() - 8), QPointF(a.right() + 8, a.center().y())), 4, 4);
    QPen lower(QBrush(QColor(239, 157, 63)), 2.0);
    lower.setStyle(Qt::DashLine);
    p.setPen(lower);
    p.drawRoundedRect(QRectF(QPointF(a.left() - 8, a.center().y()), QPointF(a.right() + 8, a.bottom() + 8)), 4, 4);

    const QRectF legend(r.right() - 102, r.top() + 50, 96, 150);
    roundedBox(p, legend, 5, kLine, kWhite);
    caption(p, QRectF(legend.left(), legend.top() + 8, legend.width(), 24), dictText("solar.diagram.deviceStatus"), kInk, true);
    struct Entry {
        QColor colour;
        const char* key;
    };
    const Entry entries[4] = {{kRunning, "solar.status.running"},
                              {kAmber, "solar.status.warning"},
                              {kRed, "solar.status.fault"},
                              {kGrey, "solar.status.offline"}};
    for (int j = 0; j < 4; ++j) {
        const qreal y = legend.top() + 42 + 25 * j;
        dot(p, QPointF(legend.left() + 16, y + 7), 5, entries[j].colour);
        caption(p, QRectF(legend.left() + 28, y, 62, 16), dictText(entries[j].key), kMuted, false, kLeftCentred);
    }

    caption(p, QRectF(a.left(), r.top(), a.width(), 22), dictText("solar.diagram.arrayStatus"), kInk, true, kLeftCentred);
}
