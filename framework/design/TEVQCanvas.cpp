#include "TEVQCanvas.h"

#include "TEVJson.h"
#include "TEVQCanvasWindow.h"
#include "TEVQControlRegistry.h"
#include "TEVQPageLoader.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"

#include <QChildEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSaveFile>

#include <json/json.h>

using namespace TEVQtLib;

namespace {

// Writes text as UTF-8 to path, replacing the file only once the whole text is written.
bool writeText(const QString& path, const QString& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

TEVQCanvasImpl::TEVQCanvasImpl(QWidget* owner) : TEVQWidgetBaseImpl(owner, QString()) {}
TEVQCanvasImpl::~TEVQCanvasImpl() = default;

TEVQCanvas::TEVQCanvas(QWidget* parent) : QWidget(parent)
{
    setAcceptDrops(true);
    tevSetImpl(new TEVQCanvasImpl(this));
}

TEVQCanvas::~TEVQCanvas()
{
    RemoveAllCommand();
    // The pages go with the canvas as its children; their destroyed signals must not reach a half-destroyed
    // canvas.
    for (TEVQCanvasWindow* page : qAsConst(m_pages))
        disconnect(page, nullptr, this, nullptr);
}

// ---- pages and files ----------------------------------------------------------------------------------------

QMap<QString, TEVQCanvasWindow*> TEVQCanvas::pages() const { return m_pages; }

bool TEVQCanvas::OpenJsonFile(const QString& path)
{
    const QPointer<QWidget> alive(this); // a listener of the scroll bars may delete the canvas
    bool opened = OpenWindowPage(path);
    if (!alive)
        return opened;
    if (!opened) {
        TEVQCanvasWindow* previous = m_current;
        if (previous)
            previous->hide();
        opened = CreatePageFromJson(path);
        if (!alive)
            return opened;
        if (opened && m_current)
            m_current->hide(); // the canvas paints the page; the widget stays hidden
    }
    RemoveAllSelected();
    update();
    m_mouseState = MouseIdle;
    return opened;
}

bool TEVQCanvas::OpenWindowPage(const QString& path)
{
    TEVQCanvasWindow* page = m_pages.value(path, nullptr);
    if (!page)
        return false;
    if (page == m_current)
        return true;
    if (m_current) {
        TEVQCanvasWindow::setVisibilityOf(m_current, false);
        m_current->hide();
    }
    m_current = page;
    TEVQCanvasWindow::setVisibilityOf(page, true);
    page->hide();
    const QPointer<QWidget> alive(this); // a listener of the scroll bars may delete the canvas
    UpdateScrollBar();
    if (alive)
        update();
    return true;
}

namespace {

// The page document of the file at path: readable, JSON, an object with "elements".
bool readPageFile(const QString& path, Json::Value& root)
{
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (!json::parse(bytes, root))
        return false;
    return json::isObject(root) && json::has(root, "elements");
}

} // namespace

bool TEVQCanvas::CheckPageValid(const QString& path)
{
    Json::Value root;
    return readPageFile(path, root);
}

bool TEVQCanvas::CreatePageFromJson(const QString& path)
{
    // The page is built from the document checked here. The page loader's own search by name (resources, skin
    // directory, ".json" appended) could find another file, which a save would then write over this one.
    Json::Value root;
    if (!readPageFile(path, root))
        return false;
    RemoveAllCommand();
    // The page is built on the canvas, so it is no window, and the root containers keep the rectangles the
    // file gives them (a window would stretch each of them over itself). A root container without a rectangle
    // covers the page as in a window, before the page is laid out: what it docks keeps its size (in a root left
    // at 0 x 0 every docked control would be cut to nothing, and saved so).
    auto* page = new TEVQCanvasWindow(this);
    page->hide();
    page->resize(640, 480); // a window's size until the file's own "w" and "h" are read
    const auto placeRoot = [page](QWidget* w, const Json::Value& element) {
        ITEVQWidgetBase* control = tevWidgetInterface(w);
        if (!control || !tevIsKindOf(w, "TEVQContainer") || json::has(element, "w") || json::has(element, "h"))
            return;
        const LayoutType type = control->getLayoutType();
        if (type == LayoutTypeUnset || type == LayoutTypeAbsolute)
            control->setGeometry(0, 0, page->width(), page->height());
    };
    // A receiver of what an element's reading emits may delete the page, or the canvas and the page with it:
    // nothing is opened.
    const QPointer<TEVQCanvasWindow> alive(page);
    detail::createPageFromDocument(page, root, placeRoot);
    if (!alive)
        return false;
    // The page loader leaves the caption keys to the window it fills; the page keeps them, so that saving the
    // page writes back what the file held.
    int caption = 0;
    if (json::read(root, "dbheight", caption))
        page->setCaptionHeight(caption);
    bool maximise = false;
    if (json::read(root, "dbmax", maximise))
        page->setMaximise(maximise);
    page->hideAllWidges();
    page->setPageName(QFileInfo(path).fileName());
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        page->setObjectName(path);
    } else {
        const QString last = path.mid(slash + 1);
        page->setObjectName(last.left(last.indexOf(QLatin1Char('.'))));
    }
    m_current = page;
    TEVQCanvasWindow::setVisibilityOf(page, true);
    page->hide();
    // A page deleted from elsewhere leaves the canvas.
    connect(page, &QObject::destroyed, this, [this, page]() { forgetPage(page); });
    watchTree(page);
    m_pages.insert(path, page);
    UpdateScrollBar();
    return true;
}

void TEVQCanvas::RemoveAllCommand()
{
    qDeleteAll(m_commands);
    m_commands.clear();
}

QString TEVQCanvas::UpdatePagePath(const QString& oldPath)
{
    auto it = m_pages.find(oldPath);
    if (it == m_pages.end())
        return QString();
    TEVQCanvasWindow* page = it.value();
    const int slash = oldPath.lastIndexOf(QLatin1Char('/'));
    const QString dir = slash < 0 ? QString() : oldPath.left(slash + 1);
    const QString newPath = dir + page->objectName() + QStringLiteral(".json");
    if (newPath == oldPath)
        return newPath;
    // Another open page keeps its key: taking it would leave that page unreachable.
    if (m_pages.contains(newPath))
        return QString();
    m_pages.erase(it);
    m_pages.insert(newPath, page);
    return newPath;
}

bool TEVQCanvas::SavePage(const QString& path)
{
    TEVQCanvasWindow* page = m_pages.value(path, nullptr);
    if (!page)
        return false;
    QString text;
    page->toJsonString(text);
    return writeText(path, text);
}

bool TEVQCanvas::SaveStyle(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QString text = TEVQResourceManager::getInstance()->toProjectStyleString();
    if (text.isEmpty())
        return false;
    // Without a project store, or with an empty one, the text holds no style: writing it would wipe the
    // project's style file.
    Json::Value root;
    if (!json::parse(text.toUtf8(), root))
        return false;
    const Json::Value* styles = json::find(root, "style");
    if (!styles || !json::isArray(*styles) || json::size(*styles) == 0)
        return false;
    return writeText(path, text);
}

void TEVQCanvas::SetProjectPath(const QString& path)
{
    m_projectPath = path;
    TEVQResourceManager::getInstance()->setSwitchToProjectRes(true);
}

void TEVQCanvas::forgetPage(TEVQCanvasWindow* page)
{
    for (auto it = m_pages.begin(); it != m_pages.end();) {
        if (it.value() == page)
            it = m_pages.erase(it);
        else
            ++it;
    }
    m_scrollOffsets.remove(page);
    if (m_current == page) {
        m_current = nullptr;
        m_mouseState = MouseIdle;
    }
    // Selected widgets of the page are deleted with it (their pointers turn null); drop them now.
    pruneSelection();
    update();
}

bool TEVQCanvas::removePage(TEVQCanvasWindow* page)
{
    if (!page)
        return false;
    bool known = false;
    for (TEVQCanvasWindow* p : qAsConst(m_pages))
        known = known || p == page;
    if (!known)
        return false;
    // Drop the page's widgets from the selection before they go.
    bool changed = false;
    for (int i = m_selection.size() - 1; i >= 0; --i) {
        QWidget* w = m_selection.at(i);
        if (!w || w == page || page->isAncestorOf(w)) {
            m_selection.removeAt(i);
            changed = true;
        }
    }
    if (changed) {
        m_dragStart.clear();
        m_mouseState = MouseIdle;
    }
    disconnect(page, nullptr, this, nullptr);
    forgetPage(page);
    delete page;
    return true;
}

void TEVQCanvas::closeAllWindows()
{
    m_mouseState = MouseIdle;
    RemoveAllSelected();
    const QList<TEVQCanvasWindow*> all = m_pages.values();
    m_pages.clear();
    m_scrollOffsets.clear();
    m_current = nullptr;
    for (TEVQCanvasWindow* page : all) {
        disconnect(page, nullptr, this, nullptr);
        delete page;
    }
    m_dragStart.clear();
    update();
}

// ---- creating controls ------------------------------------------------------------------------------------

QString TEVQCanvas::uniqueName(QWidget* parent, const QString& typeName)
{
    QString name = QStringLiteral("%1%2").arg(typeName).arg(m_nameCounter);
    while (parent->findChild<QWidget*>(name)) {
        ++m_nameCounter;
        name = QStringLiteral("%1%2").arg(typeName).arg(m_nameCounter);
    }
    return name;
}

void TEVQCanvas::placeNewControl(QWidget* w, const QString& name)
{
    TEVQCanvasWindow::setVisibilityOf(w, true);
    w->hide();
    w->setObjectName(name);
    ++m_nameCounter;
}

bool TEVQCanvas::createControl(const QString& typeName)
{
    pruneSelection();
    if (m_selection.isEmpty())
        return false;
    QWidget* parent = m_selection.first();
    const QByteArray type = typeName.toUtf8();
    QWidget* w = createControlByType(type.constData(), parent);
    ITEVQWidgetBase* control = tevWidgetInterface(w);
    if (!control) {
        delete w;
        return false;
    }
    placeNewControl(w, uniqueName(parent, typeName));
    control->setGeometry(0, 0, 100, 100);
    update();
    return true;
}

void TEVQCanvas::dragEnterEvent(QDragEnterEvent* e)
{
    if (e->source() && !e->source()->property("TypeName").isNull())
        e->accept();
    else
        e->ignore();
}

void TEVQCanvas::dragMoveEvent(QDragMoveEvent* e)
{
    if ((e->source() && e->source()->property("TypeName").isNull()) || !m_current) {
        e->ignore();
        return;
    }
    if (m_current->geometry().contains(e->pos()))
        e->accept();
    else
        e->ignore();
}

void TEVQCanvas::dropEvent(QDropEvent* e)
{
    if (!e->source() || !m_current)
        return;
    const QVariant typeValue = e->source()->property("TypeName");
    if (typeValue.isNull())
        return;
    const QString typeName = typeValue.toString();
    const QPoint pagePoint = e->pos() - m_current->pos();
    QWidget* hit = m_current->HitTestWithChildren(m_current, pagePoint.x(), pagePoint.y());
    if (!hit)
        return;
    const QByteArray type = typeName.toUtf8();
    QWidget* w = createControlByType(type.constData(), hit);
    ITEVQWidgetBase* control = tevWidgetInterface(w);
    if (!control) {
        delete w;
        return;
    }
    placeNewControl(w, uniqueName(hit, typeName));
    const QPoint local = hit == m_current ? pagePoint : hit->mapFrom(m_current, pagePoint);
    control->setGeometry(local.x(), local.y(), 100, 100);
    e->acceptProposedAction();
    update();
}

// ---- scrolling --------------------------------------------------------------------------------------------

void TEVQCanvas::SetScrollbar(TEVQScrollBar* bar, bool horizontal)
{
    (horizontal ? m_hBar : m_vBar) = bar;
    if (bar)
        connect(bar, &QAbstractSlider::valueChanged, this, &TEVQCanvas::scrollChanged, Qt::UniqueConnection);
}

void TEVQCanvas::scrollChanged(int value)
{
    if (!m_current || m_updatingBars)
        return;
    QObject* bar = sender();
    // A hidden bar belongs to an axis on which the page fits and stays centred.
    if (bar && bar == m_vBar.data() && !m_vBar->isHidden()) {
        m_current->move(m_current->x(), -value);
        m_scrollOffsets[m_current].second = value;
    } else if (bar && bar == m_hBar.data() && !m_hBar->isHidden()) {
        m_current->move(-value, m_current->y());
        m_scrollOffsets[m_current].first = value;
    }
    update();
}

void TEVQCanvas::UpdateScrollBar()
{
    if (!m_current || !m_hBar || !m_vBar)
        return;
    const int pw = m_current->width();
    const int ph = m_current->height();
    const int cw = width();
    const int ch = height();
    // The bars' values change below as their ranges do; the page is placed from the final values, once, and
    // the offsets the user scrolled to are kept meanwhile.
    m_updatingBars = true;
    // A listener of a bar's range or value may delete a bar, or the canvas (closing the page that holds it):
    // the set-up then stops at once.
    const QPointer<QWidget> alive(this);
    const auto lost = [this, &alive] {
        if (alive && m_hBar && m_vBar && m_current)
            return false;
        if (alive)
            m_updatingBars = false;
        return true;
    };
    // A page that fits gives an empty range (a maximum below 0 would pull the bar's minimum below 0 with it).
    m_hBar->setMinimum(0);
    if (lost())
        return;
    m_hBar->setMaximum(qMax(0, pw - cw));
    if (lost())
        return;
    m_hBar->setPageStep(cw);
    m_vBar->setMinimum(0);
    if (lost())
        return;
    m_vBar->setMaximum(qMax(0, ph - ch));
    if (lost())
        return;
    m_vBar->setPageStep(ch);
    if (pw < cw) {
        m_hBar->hide();
        m_current->move((cw - pw) / 2, m_current->y());
    } else {
        m_hBar->show();
    }
    if (ph < ch) {
        m_vBar->hide();
        m_current->move(m_current->x(), (ch - ph) / 2);
    } else {
        m_vBar->show();
    }
    if (!m_scrollOffsets.contains(m_current))
        m_scrollOffsets.insert(m_current, qMakePair(0, 0));
    const QPair<int, int> offset = m_scrollOffsets.value(m_current);
    m_hBar->setValue(offset.first);
    if (lost())
        return;
    m_vBar->setValue(offset.second);
    if (lost())
        return;
    m_updatingBars = false;
    // On an axis that scrolls the page lies where its bar says, also when the value did not change.
    if (!m_hBar->isHidden()) {
        m_current->move(-m_hBar->value(), m_current->y());
        m_scrollOffsets[m_current].first = m_hBar->value();
    }
    if (!m_vBar->isHidden()) {
        m_current->move(m_current->x(), -m_vBar->value());
        m_scrollOffsets[m_current].second = m_vBar->value();
    }
    update();
}

// The page and its controls are hidden widgets painted by the canvas, so what changes them elsewhere (a control
// deleted or added, the page resized) does not reach the canvas by itself: it hears of it through this filter on
// every widget of every page.
void TEVQCanvas::watchTree(QWidget* w)
{
    w->installEventFilter(this);
    for (QWidget* child : w->findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool TEVQCanvas::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved: {
        // Only widgets show; a control's helper objects (timers, animations) come and go unseen.
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (!child || !child->isWidgetType())
            break;
        if (event->type() == QEvent::ChildAdded)
            watchTree(static_cast<QWidget*>(child));
        update();
        break;
    }
    case QEvent::Resize:
        if (watched == m_current)
            UpdateScrollBar(); // a listener of the bars may delete the canvas: nothing below touches it
        return false;
    default:
        break;
    }
    return false;
}

void TEVQCanvas::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    UpdateScrollBar();
}
