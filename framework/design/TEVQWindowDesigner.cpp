#include "TEVQWindowDesigner.h"

#include "TEVJson.h"
#include "TEVPlatform.h"
#include "TEVQResourceManager.h"

#include <QFileInfo>
#include <QMoveEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QVarLengthArray>

namespace TEVQtLib {

namespace {

// A theme path names an archive when it is an existing file, or a missing path whose name holds ".data"; an
// existing directory is always loaded as a directory, whatever its name holds (".../app.database/theme").
bool isThemeArchive(const QString& path)
{
    const QFileInfo info(platform::normalizeSeparators(path));
    if (info.isDir())
        return false;
    if (info.isFile())
        return true;
    return path.contains(QLatin1String(".data"));
}

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQWindowDesignerImpl::TEVQWindowDesignerImpl(TEVQWindowDesigner* ownerWindow)
    : TEVQWidgetBaseImpl(ownerWindow, TEVQWindowDesigner::typeName())
{
}

TEVQWindowDesignerImpl::~TEVQWindowDesignerImpl() = default;

bool TEVQWindowDesignerImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    if (!json)
        return result;
    Json::Value& element = *json;
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    if (load) {
        // A theme's element restyles the window but loads no theme: the store it is read from would be replaced
        // under it, and two themes naming each other would load each other without end.
        if (!json::has(element, "attr") || rm->isLoadFromThemeRes())
            return result;
        const std::optional<std::string> theme = json::toString(json::get(json::get(element, "attr"), "theme"));
        if (!theme || theme->empty())
            return result;
        const QString path = QString::fromStdString(*theme);
        if (isThemeArchive(path))
            rm->loadThemeFile(path);
        else
            rm->loadThemeDir(path);
        return result;
    }
    const QString path = rm->getThemePath();
    if (!path.isEmpty()) {
        if (!element["attr"].isObject())
            element["attr"] = Json::Value(Json::objectValue);
        element["attr"]["theme"] = path.toUtf8().toStdString();
    }
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQWindowDesigner::TEVQWindowDesigner(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground, true);
    tevSetImpl(new TEVQWindowDesignerImpl(this), false);
    TEVQResourceManager::getInstance()->registerDesignerWindow(this);
}

TEVQWindowDesigner::~TEVQWindowDesigner()
{
    if (m_filteredParent && m_filteredParent == parentWidget())
        m_filteredParent->removeEventFilter(this);
    TEVQResourceManager::getInstance()->unregisterDesignerWindow(this);
}

bool TEVQWindowDesigner::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* parent = parentWidget();
    if (parent && watched == parent && event->type() == QEvent::Resize) {
        setGeometry(0, 0, parent->width(), parent->height());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TEVQWindowDesigner::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (pos() != QPoint(0, 0))
        move(0, 0);
}

void TEVQWindowDesigner::resizeEvent(QResizeEvent* event)
{
    if (QWidget* parent = parentWidget()) {
        setGeometry(0, 0, parent->width(), parent->height());
        if (m_filteredParent != parent) {
            parent->installEventFilter(this);
            m_filteredParent = parent;
        }
    }
    // Laying out a child runs its handlers, which may delete other children: they are held guarded.
    QVarLengthArray<QPointer<QWidget>, 16> kids;
    for (QObject* child : children()) {
        if (child->isWidgetType())
            kids.append(QPointer<QWidget>(static_cast<QWidget*>(child)));
    }
    for (const QPointer<QWidget>& w : kids) {
        ITEVQWidgetBase* base = w ? tevWidgetInterface(w) : nullptr;
        if (base && base->getControlBase())
            base->getControlBase()->resizeWidget();
    }
    QWidget::resizeEvent(event);
}

} // namespace TEVQtLib
