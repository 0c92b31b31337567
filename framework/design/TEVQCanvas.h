#pragma once
// The design surface: any number of pages (TEVQCanvasWindow) opened from page files and keyed by path, one of
// them current. The canvas paints the current page's controls itself (they stay hidden Qt widgets), lets the
// user select, move and resize them, creates controls by type name and writes the page and the project styles
// back to files.
#include "TEVQControlInfo.h"
#include "TEVQWidgetMacros.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QPointer>
#include <QRect>
#include <QVector>
#include <QWidget>

class TEVQCanvasWindow;
class TEVQScrollBar;

class TEV_EXPORT TEVQCanvasImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQCanvasImpl(QWidget* owner);
    ~TEVQCanvasImpl() override;
};

// The answer of HitInSelected: where a point lies on the selection.
enum TEV_CAV_HIT_TEST {
    TEV_CAV_HIT_INSIDE = 0,
    TEV_CAV_HIT_LEFT = 1,
    TEV_CAV_HIT_RIGHT = 2,
    TEV_CAV_HIT_TOP = 3,
    TEV_CAV_HIT_BOTTOM = 4,
    TEV_CAV_HIT_TOPLEFT = 5,
    TEV_CAV_HIT_BOTTOMLEFT = 6,
    TEV_CAV_HIT_TOPRIGHT = 7,
    TEV_CAV_HIT_BOTTOMRIGHT = 8,
    TEV_CAV_HIT_NONE = 9,
};

class TEV_EXPORT TEVQCanvas : public QWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQCanvas, "canvas")
public:
    enum MouseState { MouseIdle = 0, MousePressed = 1, MouseDragging = 2 };

    explicit TEVQCanvas(QWidget* parent = nullptr);
    ~TEVQCanvas() override;


    // Opens the page of path, or switches to it when it is open. False when the file is not a page document
    // (the previous page stays current).
    bool OpenJsonFile(const QString& path);
    // Writes the page known under path to that file. False when no page has that path (the file is not
    // touched) or the file cannot be written.
    bool SavePage(const QString& path);
    // Writes the project styles to path. False, writing nothing, for an empty path, when there are no project
    // styles (an existing style file is never replaced by an empty one), or when the file cannot be written.
    bool SaveStyle(const QString& path);
    // Re-keys the page of oldPath after its object name changed; the new path, or empty when no page has
    // oldPath or another page already has the new path.
    QString UpdatePagePath(const QString& oldPath);
    bool removePage(TEVQCanvasWindow* page);
    void closeAllWindows();
    TEVQCanvasWindow* GetCurWindow() const { return m_current; }
    // The open pages by path.
    QMap<QString, TEVQCanvasWindow*> pages() const;

    void SetProjectPath(const QString& path);
    QString projectPath() const { return m_projectPath; }
    void SetScrollbar(TEVQScrollBar* bar, bool horizontal);

    // Creates a control of typeName inside the primary selected widget.
    bool createControl(const QString& typeName);
    int nameCounter() const { return m_nameCounter; }

    // Selection, in order, without duplicates; the first entry is the primary one. Widgets deleted elsewhere
    // drop out of it.
    void AddSelectedControl(QWidget* w);
    bool RemoveSelected(QWidget* w);
    bool IsInSelected(QWidget* w) const;
    void RemoveAllSelected();
    QList<QWidget*> selectedControls() const;
    TEV_CAV_HIT_TEST HitInSelected(int x, int y);
    MouseState mouseState() const { return MouseState(m_mouseState); }

signals:
    void widgetSelected(QWidget* w);

public slots:
    void scrollChanged(int value);

protected:
    bool CheckPageValid(const QString& path);
    bool CreatePageFromJson(const QString& path);
    bool OpenWindowPage(const QString& path);
    void RemoveAllCommand();
    void UpdateScrollBar();
    void layoutWindow() {}

    void DrawSelectionPoint(QPainter& painter, int x, int y, bool secondary);
    void paintChild(QPainter& painter, const QPoint& offset, QWidget* w);

    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchTree(QWidget* w);
    void pruneSelection();
    void forgetPage(TEVQCanvasWindow* page);
    QString uniqueName(QWidget* parent, const QString& typeName);
    void placeNewControl(QWidget* w, const QString& name);
    QRect rectInCanvas(const QWidget* w) const;
    bool isPageChild(const QWidget* w) const;
    bool hasSelectedAncestor(const QWidget* w) const;
    bool isPage(const QObject* o) const;
    void setValue(QWidget* w, int which, int value);

    int m_nameCounter = 1;
    TEVQCanvasWindow* m_current = nullptr;
    QString m_projectPath;
    QMap<QString, TEVQCanvasWindow*> m_pages;
    QMap<TEVQCanvasWindow*, QPair<int, int>> m_scrollOffsets;
    QPointer<TEVQScrollBar> m_hBar;
    QPointer<TEVQScrollBar> m_vBar;
    QList<QByteArray*> m_commands; // owned; no operation adds to it
    QVector<QRect> m_dragStart;
    QList<QPointer<QWidget>> m_selection;
    QVector<int> m_snapX;
    QVector<int> m_snapY;
    int m_mouseState = MouseIdle;
    TEV_CAV_HIT_TEST m_hitKind = TEV_CAV_HIT_NONE;
    QPoint m_pressPoint;
    QPoint m_lastPoint;
    bool m_dragMoved = false; // a move of the mouse since the drag began
    bool m_updatingBars = false; // UpdateScrollBar is setting the bars' ranges and values
};
