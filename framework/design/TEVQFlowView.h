#pragma once
// A node graph on a container: rounded node cards placed by fractions of the view's size, joined by directed
// curved connections with optional arrowheads, over an optional 28 px grid. A click selects a node; unless
// the view is read-only (the default), dragging a node's body moves it and dragging from one of its four
// ports to another node draws a new connection.
#include "TEVQContainer.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

class QPainter;

struct TEV_EXPORT TEVQFlowNode {
    QString id;
    QPointF position;   // the card's centre, as fractions of the view's width and height
    QSizeF size;        // as fractions of the view's width and height (at least 86 x 66 pixels)
    QString title;
    QString subtitle;
    QString footer;
    QColor accent;
    QColor fill;
    QColor border;
    QColor selectedBorder;
    bool selected = false; // kept by the view from its selected node id
};

struct TEV_EXPORT TEVQFlowConnection {
    QString from;
    QString to;
    QColor color;
    bool arrow = false; // an arrowhead at the `to` end
};

class TEV_EXPORT TEVQFlowView : public TEVQContainer
{
    Q_OBJECT
public:
    enum Port { Left = 0, Right = 1, Top = 2, Bottom = 3 };

    explicit TEVQFlowView(QWidget* parent = nullptr);
    ~TEVQFlowView() override;

    void setNodes(const QVector<TEVQFlowNode>& nodes);
    QVector<TEVQFlowNode> nodes() const { return m_nodes; }
    // Stored as given: a connection naming a missing node is kept and not drawn.
    void setConnections(const QVector<TEVQFlowConnection>& connections);
    QVector<TEVQFlowConnection> connections() const { return m_connections; }
    // False, with nothing changed, for an empty or equal pair, a missing node or an existing connection.
    bool addConnection(const QString& from, const QString& to);
    bool removeConnection(const QString& from, const QString& to);

    void setSelectedNodeId(const QString& id);
    QString selectedNodeId() const { return m_selectedId; }
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    void setGridVisible(bool visible);
    bool isGridVisible() const { return m_gridVisible; }
    void setConnectionWidth(double width);
    double connectionWidth() const { return m_connectionWidth; }

    // The card rectangle of a node in the view's current size.
    QRectF nodeRect(const TEVQFlowNode& node) const;

signals:
    void nodeActivated(const QString& id);
    void nodeMoved(const QString& id, const QPointF& position);
    void connectionCreated(const QString& from, const QString& to);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const TEVQFlowNode* node(const QString& id) const;
    TEVQFlowNode* node(const QString& id);
    bool hasConnection(const QString& from, const QString& to) const;
    QPointF normalizedPosition(const QPointF& point, const QSizeF& size) const;
    QString nodeAt(const QPointF& point) const;
    int nodeIndexAt(const QPointF& point) const;
    TEVQFlowNode* draggedNode();
    QString portNodeAt(const QPointF& point) const;
    static Port portFor(const QRectF& rect, const QPointF& point);
    static QPointF portPoint(const QRectF& rect, Port port);
    void drawNode(QPainter* painter, const TEVQFlowNode& node, int index);
    void drawConnection(QPainter* painter, const TEVQFlowConnection& connection) const;
    void markSelection();

    QVector<TEVQFlowNode> m_nodes;
    QVector<TEVQFlowConnection> m_connections;
    QString m_selectedId;
    QString m_draggedId;
    int m_draggedIndex = -1; // the pressed card: ids may repeat, and the card under the mouse is the one dragged
    QString m_connectSourceId;
    QPointF m_connectEnd;
    bool m_readOnly = true;
    bool m_gridVisible = true;
    bool m_dragging = false;
    bool m_connecting = false;
    double m_connectionWidth = 2.4;

    // What the cards' texts need that changes only with the view's font, a card's width and its subtitle: the
    // title and subtitle fonts (made from the font the painter starts with) and each card's elided subtitle,
    // by the card's index.
    struct ElidedLine {
        QString text;
        int width = -1;
        QString elided;
    };
    struct CardText {
        ElidedLine title;
        ElidedLine subtitle;
        ElidedLine footer;
    };
    static const QString& elided(ElidedLine& line, const QFont& font, const QString& text, qreal room);
    bool m_fontsValid = false;
    QFont m_baseFont;
    QFont m_titleFont;
    QFont m_subtitleFont;
    QVector<CardText> m_cardTexts;
};
