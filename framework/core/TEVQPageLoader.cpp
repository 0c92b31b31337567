#include "TEVQPageLoader.h"

#include "ITEVQWidgetBase.h"
#include "ITEVQWindowSettings.h"
#include "TEVJson.h"
#include "TEVPlatform.h"
#include "TEVQControlRegistry.h"
#include "TEVQResourceManager.h"
#include "TEVQWidgetBase.h"
#include "TEVQWidgetBaseImpl.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QVarLengthArray>
#include <QWidget>

#include <json/json.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace TEVQtLib {

namespace {

// Largest window side a page may ask for; beyond it no window system creates the window.
constexpr int kMaxWindowSide = 32767;

TEVQResourceManager* resources() { return TEVQResourceManager::getInstance(); }

// Raises the resource manager's "created by file" switch while a page is built and puts it back after.
class CreatedByFileGuard
{
public:
    CreatedByFileGuard() : m_was(resources()->isCreatedByFile()) { resources()->setCreatedByFile(true); }
    ~CreatedByFileGuard() { resources()->setCreatedByFile(m_was); }
    CreatedByFileGuard(const CreatedByFileGuard&) = delete;
    CreatedByFileGuard& operator=(const CreatedByFileGuard&) = delete;

private:
    bool m_was;
};

QByteArray readWholeFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool isFile(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

// The layout hosts a page build has created, parents before children; null outside a page build.
std::vector<QPointer<QWidget>>* g_pageHosts = nullptr;

// Held while a page is built: the hosts lay out nothing until laid out, once each and parents first, by
// finish() (the host widget itself first of all when it is a layout host).
class PageBuild
{
public:
    explicit PageBuild(QWidget* host) : m_outer(g_pageHosts)
    {
        g_pageHosts = &m_hosts;
        if (dynamic_cast<ITEVQLayoutHost*>(host))
            m_hosts.emplace_back(host);
    }
    ~PageBuild() { g_pageHosts = m_outer; }
    PageBuild(const PageBuild&) = delete;
    PageBuild& operator=(const PageBuild&) = delete;

    void finish()
    {
        detail::settleSizesLeftToLayout();
        // A pass may delete widgets (a control's own code): each host is looked up again before use.
        for (std::size_t i = 0; i < m_hosts.size(); ++i) {
            if (auto* host = dynamic_cast<ITEVQLayoutHost*>(m_hosts[i].data()))
                host->forceResize();
        }
        // The tasks asked for while the page was built see it laid out, before it is shown.
        detail::runAfterPageLayoutTasks();
        // Built off screen and laid out: shown once, still inside the build, so that the resize events kept
        // for the show lead to no second pass, and the tasks asked for on the way run below.
        detail::showWidgetsLeftHidden();
        detail::runAfterPageLayoutTasks();
    }

private:
    detail::PageBuildScope m_scope;
    std::vector<QPointer<QWidget>> m_hosts;
    std::vector<QPointer<QWidget>>* m_outer;
};

// The tree of the last document parsed, kept with its bytes: a document read again with the same bytes (the same
// page opened once more) is not parsed again. Readers only read the tree.
struct ParsedDocument {
    QByteArray bytes;
    std::shared_ptr<const Json::Value> root;
};

ParsedDocument& lastDocument()
{
    static ParsedDocument doc;
    return doc;
}

std::shared_ptr<const Json::Value> parseDocument(const QString& file)
{
    QByteArray bytes;
    QString path;
    if (!detail::readPageDocument(file, bytes, &path))
        return nullptr;
    ParsedDocument& last = lastDocument();
    if (last.root && last.bytes == bytes)
        return last.root;
    auto root = std::make_shared<Json::Value>();
    std::string error;
    if (!json::parse(bytes, *root, &error)) {
        qWarning("Page document %s is not valid JSON: %s", qPrintable(path), error.c_str());
        return nullptr;
    }
    last.bytes = bytes;
    std::shared_ptr<const Json::Value> previous = std::move(last.root);
    last.root = root;
    json::releaseLater(std::move(previous));
    return root;
}

QString elementName(const Json::Value& element)
{
    return json::getQString(element, "name");
}

// The window settings of a page root, on a host that has them.
void applyRootKeys(QWidget* host, const Json::Value& root)
{
    ITEVQWindowSettings* settings = dynamic_cast<ITEVQWindowSettings*>(host);
    if (!settings)
        return;
    int side = 0;
    if (json::read(root, "w", side)) {
        const QRect g = host->geometry();
        host->setGeometry(g.x(), g.y(), qBound(0, side, kMaxWindowSide), g.height());
    }
    if (json::read(root, "h", side)) {
        const QRect g = host->geometry();
        host->setGeometry(g.x(), g.y(), g.width(), qBound(0, side, kMaxWindowSide));
    }
    bool on = false;
    if (json::read(root, "trans", on) && on)
        settings->setTransparent(true);
    if (json::read(root, "drag", on))
        settings->setCanDrag(on);
    if (json::read(root, "resize", on))
        settings->setResizeable(on);
    int size = 0;
    if (json::read(root, "minH", size))
        settings->setMinHeight(size);
    if (json::read(root, "minW", size))
        settings->setMinWidth(size);
    if (json::read(root, "onlyDragCaption", on))
        settings->setOnlyDragCaption(on);
}

// The elements of a "child" array with their "type" members (null where there is none), each looked up once for
// the spacer test below and the creation of the child.
struct ChildElement {
    const Json::Value* element;
    const Json::Value* type;
};
using ChildElements = QVarLengthArray<ChildElement, 16>;

ChildElements childElements(const Json::Value& children)
{
    ChildElements out;
    if (!json::isArray(children))
        return out;
    out.reserve(int(children.size()));
    for (const Json::Value& child : children)
        out.append(ChildElement{&child, json::find(child, "type")});
    return out;
}

// Whether a "child" array names a spacer type: the layout pass then reads its siblings' sizes.
bool anySpacer(const ChildElements& children)
{
    // "spacer" in any letter case, compared on the bytes: the letters are ASCII, so a UTF-8 sequence never
    // matches them.
    static const char kSpacer[] = "spacer";
    const auto sameLetter = [](char a, char b) { return a == b || (a >= 'A' && a <= 'Z' && a - 'A' + 'a' == b); };
    for (const ChildElement& child : children) {
        const Json::Value* type = child.type;
        const char* begin = nullptr;
        const char* end = nullptr;
        if (!type || !type->isString() || !type->getString(&begin, &end))
            continue;
        if (std::search(begin, end, kSpacer, kSpacer + 6, sameLetter) != end)
            return true;
    }
    return false;
}

// typeValue: the element's "type" member, found already.
QWidget* createChildAt(const Json::Value& element, QWidget* parent, int depth, const Json::Value* typeValue)
{
    if (depth > kMaxPageElementDepth) {
        qWarning("Page element skipped: nested deeper than %d levels", kMaxPageElementDepth);
        return nullptr;
    }
    const std::optional<std::string> typeText = typeValue ? json::toString(*typeValue) : std::nullopt;
    if (!typeText) {
        qWarning("Page element skipped: it has no \"type\" string");
        return nullptr;
    }
    const std::string& type = *typeText;
    if (type.find('\0') != std::string::npos) {
        // The registry knows C strings: "qtlabel\u0000x" is no "qtlabel".
        qWarning("Page element skipped: unknown type \"%s\"", type.c_str());
        return nullptr;
    }
    if (type == "qtscrollbar" && !resources()->isProjectRes())
        return nullptr; // read by the view that owns it
    QPointer<QWidget> w = createControl(type.c_str(), element, parent);
    if (!w)
        return nullptr;
    if (g_pageHosts && dynamic_cast<ITEVQLayoutHost*>(w.data()))
        g_pageHosts->emplace_back(w);
    const ChildElements children = childElements(json::get(element, "child"));
    const bool placedByParent =
        g_pageHosts && !children.isEmpty() && !tevGetBoundControlCreateFunction() && !anySpacer(children);
    for (int i = 0; i < children.size() && w; ++i) {
        detail::setElementPlacedByParent(placedByParent ? children[i].element : nullptr);
        createChildAt(*children[i].element, w, depth + 1, children[i].type);
    }
    detail::setElementPlacedByParent(nullptr);
    if (!w)
        return nullptr; // a child took its parent down with it
    if (ITEVQWidgetBase* base = tevWidgetInterface(w)) {
        base->createComplete();
        if (!w)
            return nullptr; // deleted by its completion (a receiver of what it emits)
        // A nested element gets its own rectangle as a top element does (the page function lays the top ones
        // out): otherwise an absolute child of a container that does not arrange it would keep whatever size
        // its factory gave it, and a written page would not read back the same.
        if (depth > 0 && base->getControlBase())
            base->resizeWidget();
    }
    return w;
}

// cloneWidget's road into the loader.
QWidget* createControlFromHook(const QString& type, const Json::Value& element, QWidget* parent)
{
    return createControl(type.toUtf8().constData(), element, parent);
}

} // namespace

namespace detail {

void installPageLoaderHooks() { TEVQWidgetBase::setCreateControlHook(&createControlFromHook); }

bool readPageDocument(const QString& file, QByteArray& bytes, QString* path)
{
    bytes.clear();
    QString name = file;
    if (!name.contains(QLatin1String(".json")))
        name += QLatin1String(".json");
    if (path)
        *path = name;

    const char* data = nullptr;
    unsigned size = 0;
    ResSourceType source = ResSourceDefault;
    if (resources()->getResource(name, data, size, source)) {
        bytes = QByteArray(data, int(size));
    } else {
        QString found;
        const QString skinDir = resources()->getSkinDirPath();
        if (!skinDir.isEmpty()) {
            const QString candidate = platform::resolveCaseInsensitive(platform::joinPath(skinDir, name));
            if (isFile(candidate))
                found = candidate;
        }
        if (found.isEmpty() && isFile(name))
            found = name;
        if (found.isEmpty()) {
            // The name with the separators and letter case a Windows path may carry.
            const QString direct = platform::resolveCaseInsensitive(name);
            if (isFile(direct))
                found = direct;
        }
        if (found.isEmpty()) {
            qWarning("Page document %s not found", qPrintable(name));
            return false;
        }
        if (path)
            *path = found;
        bytes = readWholeFile(found);
    }
    if (bytes.isEmpty()) {
        qWarning("Page document %s is empty", qPrintable(path ? *path : name));
        return false;
    }
    return true;
}

} // namespace detail

QWidget* createControl(const char* type, const Json::Value& element, QWidget* parent)
{
    if (!type)
        return nullptr;
    QWidget* w = nullptr;
    if (TEVBoundControlCreator bound = tevGetBoundControlCreateFunction())
        w = bound(elementName(element), QString::fromUtf8(type));
    if (!w)
        w = createControlByType(type, nullptr);
    if (!w) {
        qWarning("Page element skipped: unknown type \"%s\"", type);
        return nullptr;
    }
    if (w == parent || (parent && w->isAncestorOf(parent))) {
        // A creator handed back the host or one of its ancestors: it cannot become its own child.
        qWarning("Page element skipped: the creator of type \"%s\" gave back its own host", type);
        return nullptr;
    }
    if (w->parentWidget() != parent)
        w->setParent(parent);
    // A receiver of what the read emits may delete the widget: the caller then gets none.
    const QPointer<QWidget> alive(w);
    if (ITEVQWidgetBase* base = tevWidgetInterface(w)) {
        resources()->setSwitchToThemeRes(false);
        if (!element.isNull())
            base->readJsonValue(const_cast<Json::Value*>(&element)); // readers only read the element
    }
    return alive.data();
}

QWidget* createChild(const Json::Value& element, QWidget* parent)
{
    return createChildAt(element, parent, 0, json::find(element, "type"));
}

TEVQContainer* tevCreatePageByFileName(QWidget* parent, QString file)
{
    const std::shared_ptr<const Json::Value> document = parseDocument(file);
    if (!document)
        return nullptr;
    return detail::createPageFromDocument(parent, *document);
}

TEVQContainer* detail::createPageFromDocument(QWidget* parent, const Json::Value& root, const TopElementHook& placeTop)
{
    detail::installPageLoaderHooks();
    CreatedByFileGuard createdByFile;
    // The element reader switches to theme resources for an element with a "theme" key; a page built while such
    // an element is read (a control opening a page) gives the switch back as it found it.
    TEVThemeResGuard themeSwitch;
    if (parent)
        applyRootKeys(parent, root);

    const Json::Value& elements = json::get(root, "elements");
    const Json::ArrayIndex count = json::size(elements);
    QPointer<QWidget> last;
    // A receiver of what an element's reading emits may delete the host (its window closed): the build stops.
    const QPointer<QWidget> host(parent);
    {
        PageBuild build(parent);
        for (Json::ArrayIndex i = 0; i < count && (host || !parent); ++i) {
            const Json::Value& element = json::at(elements, i);
            last = createChild(element, parent);
            ITEVQWidgetBase* base = tevWidgetInterface(last);
            if (base && base->getControlBase())
                base->resizeWidget();
            if (placeTop && last) // the resize may have deleted it
                placeTop(last, element);
        }
        build.finish();
    }
    if (!last || !tevWidgetInterface(last))
        return nullptr;
    return detail::asContainer(last);
}

TEVQMenu* tevCreateMenuByFileName(QWidget* parent, QString file)
{
    const std::shared_ptr<const Json::Value> document = parseDocument(file);
    if (!document)
        return nullptr;
    return detail::createMenuFromJson(parent, *document);
}

} // namespace TEVQtLib
