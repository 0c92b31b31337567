#include "TEVQFlowView.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMinNodeWidth = 86.0;
constexpr double kMinNodeHeight = 66.0;
constexpr double kPortReach = 12.0;
constexpr int kGridStep = 28;

double clampTo(double v, double lo, double hi) { return std::min(std::max(v, lo), hi); }

} // namespace

TEVQFlowView::TEVQFlowView(QWidget* parent) : TEVQContainer(parent)
{
    setObjectName(QStringLiteral("flowView"));
    setChildLayout(TEVQContainer::NoUse);
    setAttribute(Qt::WA_MouseTracking, true);
}

TEVQFlowView::~TEVQFlowView() = default;

void TEVQFlowView::markSelection()
{
    for (TEVQFlowNode& n : m_nodes)
        n.selected = n.id == m_selectedId;
}

void TEVQFlowView::setNodes(const QVector<TEVQFlowNode>& nodes)
{
    m_nodes = nodes;
    markSelection();
    update();
}

void TEVQFlowView::setConnections(const QVector<TEVQFlowConnection>& connections)
{
    m_connections = connections;
    update();
}

const TEVQFlowNode* TEVQFlowView::node(const QString& id) const
{
    for (const TEVQFlowNode& n : m_nodes) {
        if (n.id == id)
            return &n;
    }
    return nullptr;
}

TEVQFlowNode* TEVQFlowView::node(const QString& id)
{
    return const_cast<TEVQFlowNode*>(static_cast<const TEVQFlowView*>(this)->node(id));
}

bool TEVQFlowView::hasConnection(const QString& from, const QString& to) const
{
    for (const TEVQFlowConnection& c : m_connections) {
        if (c.from == from && c.to == to)
            return true;
    }
    return false;
}

bool TEVQFlowView::addConnection(const QString& from, const QString& to)
{
    if (from.isEmpty() || to.isEmpty() || from == to || !node(from) || !node(to) || hasConnection(from, to))
        return false;
    m_connections.append(TEVQFlowConnection{from, to, QColor(74, 122, 128, 255), false});
    update();
    emit connectionCreated(from, to);
    return true;
}

bool TEVQFlowView::removeConnection(const QString& from, const QString& to)
{
    for (int i = 0; i < m_connections.size(); ++i) {
        if (m_connections[i].from == from && m_connections[i].to == to) {
            m_connections.remove(i);
            update();
            return true;
        }
    }
    return false;
}

void TEVQFlowView::setSelectedNodeId(const QString& id)
{
    m_selectedId = id;
    markSelection();
    update();
}

void TEVQFlowView::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_draggedId.clear();
    m_draggedIndex = -1;
    m_connectSourceId.clear();
    m_dragging = false;
    m_connecting = false;
    update();
}

void TEVQFlowView::setGridVisible(bool visible)
{
    m_gridVisible = visible;
    update();
}

void TEVQFlowView::setConnectionWidth(double width)
{
    // Not a number compares false both ways and would pass through std::max: it gives the least width.
    m_connectionWidth = std::isnan(width) ? 1.0 : std::max(width, 1.0);
    update();
}

// ---- geometry ------------------------------------------------------------------------------------------------

QRectF TEVQFlowView::nodeRect(const TEVQFlowNode& n) const
{
    const double W = width();
    const double H = height();
    const double w = std::max(W * n.size.width(), kMinNodeWidth);
    const double h = std::max(H * n.size.height(), kMinNodeHeight);
    const double cx = clampTo(std::max(W, 1.0) * n.position.x(), w / 2, std::max(W - w / 2, w / 2));
    const double cy = clampTo(std::max(H, 1.0) * n.position.y(), h / 2, std::max(H - h / 2, h / 2));
    return QRectF(cx - w / 2, cy - h / 2, w, h);
}

QPointF TEVQFlowView::normalizedPosition(const QPointF& point, const QSizeF& size) const
{
    const double W = width();
    const double H = height();
    const double hw = std::max(W * size.width(), kMinNodeWidth) / 2;
    const double hh = std::max(H * size.height(), kMinNodeHeight) / 2;
    const double x = clampTo(point.x(), hw, std::max(W - hw, hw));
    const double y = clampTo(point.y(), hh, std::max(H - hh, hh));
    return QPointF(x / std::max(W, 1.0), y / std::max(H, 1.0));
}

QString TEVQFlowView::nodeAt(const QPointF& point) const
{
    const int i = nodeIndexAt(point);
    return i < 0 ? QString() : m_nodes[i].id;
}

int TEVQFlowView::nodeIndexAt(const QPointF& point) const
{
    for (int i = m_nodes.size() - 1; i >= 0; --i) {
        if (nodeRect(m_nodes[i]).contains(point))
            return i;
    }
    return -1;
}

// The card being dragged: the pressed one while it is still there (nodes replaced meanwhile may have moved it),
// otherwise the first of its id.
TEVQFlowNode* TEVQFlowView::draggedNode()
{
    if (m_draggedIndex >= 0 && m_draggedIndex < m_nodes.size() && m_nodes[m_draggedIndex].id == m_draggedId)
        return &m_nodes[m_draggedIndex];
    return node(m_draggedId);
}

TEVQFlowView::Port TEVQFlowView::portFor(const QRectF& rect, const QPointF& point)
{
    const QPointF d = point - rect.center();
    if (std::abs(d.x()) >= std::abs(d.y()))
        return d.x() >= 0 ? Right : Left;
    return d.y() >= 0 ? Bottom : Top;
}

QPointF TEVQFlowView::portPoint(const QRectF& rect, Port port)
{
    switch (port) {
    case Left:
        return QPointF(rect.left(), rect.center().y());
    case Right:
        return QPointF(rect.right(), rect.center().y());
    case Top:
        return QPointF(rect.center().x(), rect.top());
    case Bottom:
    default:
        return QPointF(rect.center().x(), rect.bottom());
    }
}

QString TEVQFlowView::portNodeAt(const QPointF& point) const
{
    static const Port order[4] = {Left, Right, Top, Bottom};
    for (int i = m_nodes.size() - 1; i >= 0; --i) {
        const QRectF r = nodeRect(m_nodes[i]);
        for (Port port : order) {
            if (QLineF(portPoint(r, port), point).length() <= kPortReach)
                return m_nodes[i].id;
        }
    }
    return QString();
}

// ---- painting ------------------------------------------------------------------------------------------------

void TEVQFlowView::paintEvent(QPaintEvent* event)
{
    TEVQContainer::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (m_gridVisible) {
        p.setPen(QPen(QColor(39, 43, 49, 255), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        for (int x = kGridStep; x < width(); x += kGridStep)
            p.drawLine(QPointF(x, 0), QPointF(x, height()));
        for (int y = kGridStep; y < height(); y += kGridStep)
            p.drawLine(QPointF(0, y), QPointF(width(), y));
    }
    for (const TEVQFlowConnection& c : m_connections)
        drawConnection(&p, c);
    if (m_connecting && !m_connectSourceId.isEmpty()) {
        if (const TEVQFlowNode* source = node(m_connectSourceId)) {
            const QRectF r = nodeRect(*source);
            p.setPen(QPen(QColor(146, 134, 255, 255), m_connectionWidth, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawLine(portPoint(r, portFor(r, m_connectEnd)), m_connectEnd);
        }
    }
    if (!m_fontsValid || p.font() != m_baseFont) {
        m_baseFont = p.font();
        m_titleFont = m_baseFont;
        m_titleFont.setPixelSize(12);
        m_titleFont.setWeight(75);
        m_subtitleFont = m_titleFont;
        m_subtitleFont.setWeight(50);
        m_fontsValid = true;
        m_cardTexts.clear();
    }
    if (m_cardTexts.size() != m_nodes.size())
        m_cardTexts.resize(m_nodes.size());
    for (int i = 0; i < m_nodes.size(); ++i)
        drawNode(&p, m_nodes[i], i);
}

void TEVQFlowView::drawConnection(QPainter* painter, const TEVQFlowConnection& c) const
{
    const TEVQFlowNode* a = node(c.from);
    const TEVQFlowNode* b = node(c.to);
    if (!a || !b)
        return;
    const QRectF ra = nodeRect(*a);
    const QRectF rb = nodeRect(*b);
    const Port s = portFor(ra, rb.center());
    const Port t = portFor(rb, ra.center());
    const QPointF p0 = portPoint(ra, s);
    const QPointF p3 = portPoint(rb, t);
    QPointF c1;
    QPointF c2;
    if (s == Left || s == Right) {
        double off = std::max(std::abs(p3.x() - p0.x()) * 0.45, 24.0);
        if (s == Left)
            off = -off;
        c1 = QPointF(p0.x() + off, p0.y());
        c2 = QPointF(p3.x() - off, p3.y());
    } else {
        double off = std::max(std::abs(p3.y() - p0.y()) * 0.45, 24.0);
        if (s == Top)
            off = -off;
        c1 = QPointF(p0.x(), p0.y() + off);
        c2 = QPointF(p3.x(), p3.y() - off);
    }
    QPainterPath path(p0);
    path.cubicTo(c1, c2, p3);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(c.color, m_connectionWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->drawPath(path);
    if (c.arrow) {
        QPointF u;
        switch (s) {
        case Right:
            u = QPointF(1, 0);
            break;
        case Left:
            u = QPointF(-1, 0);
            break;
        case Top:
            u = QPointF(0, -1);
            break;
        case Bottom:
            u = QPointF(0, 1);
            break;
        }
        const QPointF normal(-u.y(), u.x());
        const QPointF head[3] = {p3, p3 - 7 * u + 3.5 * normal, p3 - 7 * u - 3.5 * normal};
        painter->setPen(Qt::NoPen);
        painter->setBrush(c.color);
        painter->drawPolygon(head, 3);
    }
}

void TEVQFlowView::drawNode(QPainter* painter, const TEVQFlowNode& n, int index)
{
    const QRectF r = nodeRect(n);
    if (n.selected)
        painter->setPen(QPen(n.selectedBorder, 2.2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    else
        painter->setPen(QPen(n.border, 1.2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(n.fill);
    painter->drawRoundedRect(r, 7, 7);

    painter->setPen(Qt::NoPen);
    painter->setBrush(n.accent);
    painter->drawEllipse(QRectF(r.left() + 9, r.top() + 9, 9, 9));

    // Each line is shortened to its box, with an ellipsis rather than cut through a letter.
    CardText& text = m_cardTexts[index];
    painter->setFont(m_titleFont);
    painter->setPen(QColor(242, 244, 247, 255));
    painter->drawText(QRectF(r.left() + 24, r.top() + 5, r.width() - 31, 23), Qt::AlignLeft | Qt::AlignVCenter,
                      elided(text.title, m_titleFont, n.title, r.width() - 31));

    painter->setFont(m_subtitleFont);
    painter->setPen(QColor(167, 176, 184, 255));
    painter->drawText(QRectF(r.left() + 9, r.top() + 27, r.width() - 18, std::max(r.height() - 51, 15.0)),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      elided(text.subtitle, m_subtitleFont, n.subtitle, r.width() - 18));

    painter->setPen(n.accent);
    painter->drawText(QRectF(r.left() + 9, r.bottom() - 23, r.width() - 18, 18), Qt::AlignLeft | Qt::AlignVCenter,
                      elided(text.footer, m_subtitleFont, n.footer, r.width() - 18));
}

// text elided on the right to room pixels, kept in line until the text or the room changes.
const QString& TEVQFlowView::elided(ElidedLine& line, const QFont& font, const QString& text, qreal room)
{
    // A card of no usable width (not a number, infinite or beyond any screen) elides to the least width.
    const int width = room >= 20.0 && room <= 1e6 ? int(room) : (room > 1e6 ? 1000000 : 20);
    if (line.width != width || line.text != text) {
        line.width = width;
        line.text = text;
        line.elided = QFontMetricsF(font).elidedText(text, Qt::ElideRight, width);
    }
    return line.elided;
}

// ---- mouse ---------------------------------------------------------------------------------------------------

void TEVQFlowView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF point = event->localPos();
    const int index = nodeIndexAt(point);
    const QString id = index < 0 ? QString() : m_nodes[index].id;
    if (id.isEmpty()) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_selectedId = id;
    markSelection();
    update();
    // A listener may delete the view.
    const QPointer<TEVQFlowView> alive(this);
    emit nodeActivated(id);
    if (!alive)
        return;
    if (!m_readOnly) {
        const QString portNode = portNodeAt(point);
        if (!portNode.isEmpty()) {
            m_connectSourceId = portNode;
            m_connectEnd = point;
            m_connecting = true;
        } else {
            m_draggedId = id;
            m_draggedIndex = index;
            m_dragging = true;
        }
    }
    event->accept();
}

void TEVQFlowView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && !m_draggedId.isEmpty()) {
        if (TEVQFlowNode* n = draggedNode()) {
            n->position = normalizedPosition(event->localPos(), n->size);
            const QPointF position = n->position;
            const QString id = m_draggedId;
            update();
            emit nodeMoved(id, position);
        }
        event->accept();
        return;
    }
    if (m_connecting) {
        m_connectEnd = event->localPos();
        update();
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void TEVQFlowView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        TEVQContainer::mouseReleaseEvent(event);
        return;
    }
    if (m_connecting) {
        const QString target = nodeAt(event->localPos());
        const QString source = m_connectSourceId;
        const QPointer<TEVQFlowView> alive(this);
        if (!target.isEmpty() && target != source)
            addConnection(source, target);
        if (!alive)
            return;
        m_connectSourceId.clear();
        m_connecting = false;
        update();
    }
    m_draggedId.clear();
    m_draggedIndex = -1;
    m_dragging = false;
    event->accept();
}
