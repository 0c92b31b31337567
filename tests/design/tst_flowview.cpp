// Flow view: card geometry by fractions of the view with the minimum size and clamping, the connection rules,
// selection, dragging and connecting with the mouse (read-only by default), and what it paints.
#include "TevTest.h"

#include "TEVQFlowView.h"

#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>

#include <limits>
#include <utility>

namespace {

TEVQFlowNode makeNode(const QString& id, QPointF position, QSizeF size)
{
    TEVQFlowNode n;
    n.id = id;
    n.position = position;
    n.size = size;
    n.title = id;
    n.subtitle = QStringLiteral("a subtitle far too long to fit on the card in one line");
    n.footer = QStringLiteral("42 kW");
    n.accent = QColor(240, 180, 40);
    n.fill = QColor(30, 34, 40);
    n.border = QColor(80, 90, 100);
    n.selectedBorder = QColor(146, 134, 255);
    return n;
}

void sendMouse(QWidget* w, QEvent::Type type, const QPointF& pos, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, pos, w->mapToGlobal(pos.toPoint()), type == QEvent::MouseMove ? Qt::NoButton : button,
                  buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// Two cards 100 x 75 in a 400 x 300 view, centred at (100, 150) and (300, 150).
void twoNodes(TEVQFlowView& view)
{
    view.resize(400, 300);
    view.setNodes({makeNode(QStringLiteral("a"), {0.25, 0.5}, {0.25, 0.25}),
                   makeNode(QStringLiteral("b"), {0.75, 0.5}, {0.25, 0.25})});
}

} // namespace

class FlowViewTest : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        TEVQFlowView view;
        QVERIFY(view.isReadOnly());
        QVERIFY(view.isGridVisible());
        QCOMPARE(view.connectionWidth(), 2.4);
        QCOMPARE(view.objectName(), QStringLiteral("flowView"));
        QCOMPARE(view.getChildLayout(), TEVQContainer::NoUse);
        QVERIFY(view.hasMouseTracking());
        QVERIFY(view.nodes().isEmpty());
        QVERIFY(view.connections().isEmpty());
        view.setConnectionWidth(0.5);
        QCOMPARE(view.connectionWidth(), 1.0);
        view.setConnectionWidth(3.5);
        QCOMPARE(view.connectionWidth(), 3.5);
    }

    void nodeGeometry()
    {
        TEVQFlowView view;
        view.resize(400, 300);
        view.setNodes({makeNode(QStringLiteral("n"), {0, 0}, {0.1, 0.1})});
        QCOMPARE(view.nodeRect(view.nodes()[0]), QRectF(0, 0, 86, 66));
        // Bottom-right corner: clamped inside the view.
        view.setNodes({makeNode(QStringLiteral("n"), {1, 1}, {0.5, 0.5})});
        QCOMPARE(view.nodeRect(view.nodes()[0]), QRectF(200, 150, 200, 150));
        // A view narrower than the card centres it at half its width whatever the position.
        view.resize(60, 300);
        for (double x : {0.0, 0.5, 1.0, 3.0}) {
            view.setNodes({makeNode(QStringLiteral("n"), {x, 0.5}, {0.1, 0.1})});
            QCOMPARE(view.nodeRect(view.nodes()[0]).center().x(), 43.0);
        }
    }

    void selectionFlags()
    {
        TEVQFlowView view;
        twoNodes(view);
        QSignalSpy activated(&view, &TEVQFlowView::nodeActivated);
        view.setSelectedNodeId(QStringLiteral("b"));
        QVERIFY(!view.nodes()[0].selected);
        QVERIFY(view.nodes()[1].selected);
        QCOMPARE(activated.count(), 0);
        // New nodes take their flags from the stored id, not from the records given.
        QVector<TEVQFlowNode> nodes = view.nodes();
        nodes[0].selected = true;
        nodes[1].selected = false;
        view.setNodes(nodes);
        QVERIFY(!view.nodes()[0].selected);
        QVERIFY(view.nodes()[1].selected);
    }

    void connectionRules()
    {
        TEVQFlowView view;
        twoNodes(view);
        QSignalSpy created(&view, &TEVQFlowView::connectionCreated);
        QVERIFY(!view.addConnection(QStringLiteral("a"), QStringLiteral("a")));
        QVERIFY(!view.addConnection(QStringLiteral("a"), QStringLiteral("zz")));
        QVERIFY(!view.addConnection(QStringLiteral("zz"), QStringLiteral("b")));
        QVERIFY(!view.addConnection(QString(), QStringLiteral("b")));
        QCOMPARE(created.count(), 0);
        QVERIFY(view.addConnection(QStringLiteral("a"), QStringLiteral("b")));
        QCOMPARE(created.count(), 1);
        QCOMPARE(created[0][0].toString(), QStringLiteral("a"));
        QCOMPARE(created[0][1].toString(), QStringLiteral("b"));
        QCOMPARE(view.connections()[0].color, QColor(74, 122, 128, 255));
        QVERIFY(!view.connections()[0].arrow);
        QVERIFY(!view.addConnection(QStringLiteral("a"), QStringLiteral("b")));
        QCOMPARE(created.count(), 1);
        QVERIFY(view.addConnection(QStringLiteral("b"), QStringLiteral("a")));
        QCOMPARE(view.connections().size(), 2);

        QVERIFY(view.removeConnection(QStringLiteral("a"), QStringLiteral("b")));
        QVERIFY(!view.removeConnection(QStringLiteral("a"), QStringLiteral("b")));
        QCOMPARE(view.connections().size(), 1);
        QCOMPARE(view.connections()[0].from, QStringLiteral("b"));

        // Stored as given, dangling ids included; painting skips them.
        view.setConnections({{QStringLiteral("a"), QStringLiteral("ghost"), Qt::red, true}});
        QCOMPARE(view.connections().size(), 1);
        view.grab();
    }

    void clickSelectsTopmostInReadOnly()
    {
        TEVQFlowView view;
        view.resize(400, 300);
        view.setNodes({makeNode(QStringLiteral("under"), {0.5, 0.5}, {0.3, 0.3}),
                       makeNode(QStringLiteral("over"), {0.55, 0.55}, {0.3, 0.3})});
        QSignalSpy activated(&view, &TEVQFlowView::nodeActivated);
        QSignalSpy moved(&view, &TEVQFlowView::nodeMoved);
        sendMouse(&view, QEvent::MouseButtonPress, {200, 150});
        QCOMPARE(view.selectedNodeId(), QStringLiteral("over"));
        QCOMPARE(activated.count(), 1);
        QCOMPARE(activated[0][0].toString(), QStringLiteral("over"));
        QVERIFY(view.nodes()[1].selected);
        // Read-only: the press selects but nothing drags.
        sendMouse(&view, QEvent::MouseMove, {50, 50});
        sendMouse(&view, QEvent::MouseButtonRelease, {50, 50});
        QCOMPARE(moved.count(), 0);
        QCOMPARE(view.nodes()[1].position, QPointF(0.55, 0.55));
        // Another button or empty space activates nothing.
        sendMouse(&view, QEvent::MouseButtonPress, {200, 150}, Qt::RightButton);
        sendMouse(&view, QEvent::MouseButtonPress, {5, 5});
        QCOMPARE(activated.count(), 1);
    }

    void portReachDecidesConnectOrDrag()
    {
        TEVQFlowView view;
        twoNodes(view);
        view.setReadOnly(false);
        QSignalSpy created(&view, &TEVQFlowView::connectionCreated);
        QSignalSpy moved(&view, &TEVQFlowView::nodeMoved);

        // Card "a" spans x 50 to 150; its left port is (50, 150). 12 px to the right is still the port.
        sendMouse(&view, QEvent::MouseButtonPress, {62, 150});
        sendMouse(&view, QEvent::MouseMove, {280, 160});
        QCOMPARE(moved.count(), 0);
        sendMouse(&view, QEvent::MouseButtonRelease, {300, 150});
        QCOMPARE(created.count(), 1);
        QCOMPARE(view.connections().size(), 1);
        QCOMPARE(view.connections()[0].from, QStringLiteral("a"));
        QCOMPARE(view.connections()[0].to, QStringLiteral("b"));

        // Releasing a connection on its own node or on empty space adds nothing.
        sendMouse(&view, QEvent::MouseButtonPress, {62, 150});
        sendMouse(&view, QEvent::MouseButtonRelease, {100, 150});
        sendMouse(&view, QEvent::MouseButtonPress, {62, 150});
        sendMouse(&view, QEvent::MouseButtonRelease, {200, 20});
        QCOMPARE(created.count(), 1);

        // 12.5 px is the body: the card drags, clamped inside the view.
        sendMouse(&view, QEvent::MouseButtonPress, {62.5, 150});
        sendMouse(&view, QEvent::MouseMove, {200, 150});
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved[0][0].toString(), QStringLiteral("a"));
        QCOMPARE(moved[0][1].toPointF(), QPointF(0.5, 0.5));
        sendMouse(&view, QEvent::MouseMove, {0, 0});
        QCOMPARE(view.nodes()[0].position, QPointF(50.0 / 400, 37.5 / 300));
        sendMouse(&view, QEvent::MouseButtonRelease, {0, 0});
        sendMouse(&view, QEvent::MouseMove, {300, 300});
        QCOMPARE(moved.count(), 2);
        QCOMPARE(created.count(), 1);
    }

    void nodeRemovedWhileDragging()
    {
        TEVQFlowView view;
        twoNodes(view);
        view.setReadOnly(false);
        QSignalSpy moved(&view, &TEVQFlowView::nodeMoved);
        sendMouse(&view, QEvent::MouseButtonPress, {100, 150});
        view.setNodes({view.nodes()[1]});
        sendMouse(&view, QEvent::MouseMove, {200, 150});
        QCOMPARE(moved.count(), 0);
        sendMouse(&view, QEvent::MouseButtonRelease, {200, 150});
        // Going read-only ends an interaction in progress.
        sendMouse(&view, QEvent::MouseButtonPress, {300, 150});
        view.setReadOnly(true);
        sendMouse(&view, QEvent::MouseMove, {100, 100});
        QCOMPARE(moved.count(), 0);
    }

    // Cards that share an id: the card pressed is the one dragged, not the first of its id.
    void sharedIdDragsThePressedCard()
    {
        TEVQFlowView view;
        twoNodes(view);
        QVector<TEVQFlowNode> twins = view.nodes();
        twins[1].id = twins[0].id;
        view.setNodes(twins);
        view.setReadOnly(false);
        sendMouse(&view, QEvent::MouseButtonPress, {300, 150});
        sendMouse(&view, QEvent::MouseMove, {300, 100});
        sendMouse(&view, QEvent::MouseButtonRelease, {300, 100});
        QCOMPARE(view.nodes()[0].position, QPointF(0.25, 0.5));
        QCOMPARE(view.nodes()[1].position, QPointF(0.75, 100.0 / 300));
    }

    // A listener may delete the view from the press's activation or from the new connection's signal.
    void listenerDeletesTheView()
    {
        for (const bool onConnect : {false, true}) {
            auto* view = new TEVQFlowView;
            twoNodes(*view);
            view->setReadOnly(false);
            const QPointer<TEVQFlowView> alive(view);
            const auto close = [view] { delete view; };
            if (onConnect)
                connect(view, &TEVQFlowView::connectionCreated, view, close);
            else
                connect(view, &TEVQFlowView::nodeActivated, view, close);
            sendMouse(view, QEvent::MouseButtonPress, {62, 150}); // the left port of "a"
            if (alive)
                sendMouse(view, QEvent::MouseButtonRelease, {300, 150});
            QVERIFY(!alive);
        }
    }

    // Numbers that are no sizes (not a number, infinite, huge) neither break the width rule nor the painting: a
    // width that is not a number leaves the least width.
    void unusableNumbers()
    {
        TEVQFlowView view;
        view.resize(400, 300);
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        view.setConnectionWidth(3.0);
        view.setConnectionWidth(nan);
        QCOMPARE(view.connectionWidth(), 1.0);
        view.setNodes({makeNode(QStringLiteral("a"), {nan, 0.5}, {nan, inf}),
                       makeNode(QStringLiteral("b"), {inf, -inf}, {1e12, 1e12}),
                       makeNode(QStringLiteral("c"), {0.5, 0.5}, {0.1, 0.1})});
        view.setConnections({{QStringLiteral("a"), QStringLiteral("b"), Qt::red, true},
                             {QStringLiteral("b"), QStringLiteral("c"), Qt::red, true}});
        view.grab();
    }

    void paints()
    {
        TEVQFlowView view;
        view.resize(420, 280);
        QVector<TEVQFlowNode> nodes{makeNode(QStringLiteral("Inverter 1"), {0.2, 0.3}, {0.28, 0.3}),
                                    makeNode(QStringLiteral("Combiner"), {0.75, 0.3}, {0.28, 0.3}),
                                    makeNode(QStringLiteral("Grid"), {0.5, 0.8}, {0.28, 0.3})};
        view.setNodes(nodes);
        view.setSelectedNodeId(QStringLiteral("Combiner"));
        const QColor link(60, 200, 120);
        view.setConnections({{QStringLiteral("Inverter 1"), QStringLiteral("Combiner"), link, true},
                             {QStringLiteral("Combiner"), QStringLiteral("Grid"), QColor(200, 90, 90), false}});
        view.setConnectionWidth(3);
        const QColor background(20, 22, 26);
        view.setColor(background);
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(20, 22, 26));
        view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        tevtest::keepRender(image, QStringLiteral("flowview.png"));

        const QRectF a = view.nodeRect(view.nodes()[0]);
        const QRectF b = view.nodeRect(view.nodes()[1]);
        // The first connection runs straight between the facing ports at the cards' middle height.
        const QPoint mid(int((a.right() + b.left()) / 2), int(a.center().y()));
        QCOMPARE(image.pixelColor(mid), link);
        // Grid line at x = 28 (away from cards and connections), antialiased over the pixels beside it.
        QVERIFY(image.pixelColor(28, 275) != background);
        QVERIFY(image.pixelColor(28, 275).red() <= 39);
        // Card fill and the selected card's outline colour.
        QCOMPARE(image.pixelColor(int(a.center().x()), int(a.bottom()) - 30), QColor(30, 34, 40));
        QCOMPARE(image.pixelColor(int(b.center().x()), int(b.top())), QColor(146, 134, 255));

        view.setGridVisible(false);
        image.fill(QColor(20, 22, 26));
        view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        QCOMPARE(image.pixelColor(28, 275), background);
    }

    // A title or footer too long for its box ends in an ellipsis, as the subtitle does, instead of being cut
    // through a letter at the box's edge.
    void longTitleAndFooterAreElided()
    {
        TEVQFlowView view;
        view.resize(420, 280);
        TEVQFlowNode n = makeNode(QStringLiteral("Inverter 1 of the north field, string A"), {0.5, 0.5}, {0.2, 0.3});
        n.footer = QStringLiteral("42 kW of 60 kW, derated by the grid operator");
        auto picture = [&view](const TEVQFlowNode& node) {
            view.setNodes({node});
            QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(QColor(20, 22, 26));
            view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            return image;
        };
        const QImage long_ = picture(n);
        tevtest::keepRender(long_, QStringLiteral("flowview_long_texts.png"));
        const QRectF r = view.nodeRect(n);
        QFont font = view.font();
        font.setPixelSize(12);
        font.setWeight(75);
        TEVQFlowNode shortened = n;
        shortened.title = QFontMetricsF(font).elidedText(n.title, Qt::ElideRight, int(r.width() - 31));
        font.setWeight(50);
        shortened.footer = QFontMetricsF(font).elidedText(n.footer, Qt::ElideRight, int(r.width() - 18));
        QVERIFY(shortened.title.endsWith(QChar(0x2026)) && shortened.footer.endsWith(QChar(0x2026)));
        QCOMPARE(long_, picture(shortened));
    }

    // The card texts are laid out once and kept: after each change the kept view paints what a new view with
    // the same settings paints (a font or an elided subtitle kept from before would show).
    void cardTextsFollowEveryInput()
    {
        QVector<TEVQFlowNode> nodes{makeNode(QStringLiteral("Inverter 1"), {0.25, 0.3}, {0.3, 0.3}),
                                    makeNode(QStringLiteral("Grid"), {0.7, 0.7}, {0.3, 0.3})};
        nodes[1].subtitle = QStringLiteral("short");
        QSize size(420, 280);
        QFont font = QApplication::font();
        auto configure = [&](TEVQFlowView& v) {
            v.resize(size);
            v.setFont(font);
            v.setNodes(nodes);
        };
        auto picture = [](TEVQFlowView& v) {
            QImage image(v.size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(QColor(20, 22, 26));
            v.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            return image;
        };
        TEVQFlowView kept;
        configure(kept);
        QImage previous;
        auto check = [&](const char* what) {
            TEVQFlowView fresh;
            configure(fresh);
            const QImage expected = picture(fresh);
            QVERIFY2(expected != previous, what); // the change shows
            QVERIFY2(picture(kept) == expected, what);
            QVERIFY2(picture(kept) == expected, what);
            previous = expected;
        };
        check("first paint");
        nodes[0].subtitle = QStringLiteral("another subtitle, also too long for the card");
        kept.setNodes(nodes);
        check("subtitle");
        nodes[0].title = QStringLiteral("Inverter 2");
        kept.setNodes(nodes);
        check("title");
        size = QSize(700, 280);
        kept.resize(size);
        check("view size");
        nodes[0].size = QSizeF(0.2, 0.3);
        kept.setNodes(nodes);
        check("card size");
        font.setFamily(QStringLiteral("DejaVu Serif"));
        kept.setFont(font);
        check("font");
        font.setItalic(true);
        kept.setFont(font);
        check("italic");
        // The cards swap places in the list: each keeps its own texts.
        std::swap(nodes[0], nodes[1]);
        std::swap(nodes[0].position, nodes[1].position);
        kept.setNodes(nodes);
        check("order");
        nodes.removeLast();
        kept.setNodes(nodes);
        check("one card fewer");
        nodes.append(makeNode(QStringLiteral("Skid"), {0.3, 0.3}, {0.3, 0.3}));
        kept.setNodes(nodes);
        check("one card more");
    }
};

TEV_TEST_MAIN(FlowViewTest)
#include "tst_flowview.moc"
