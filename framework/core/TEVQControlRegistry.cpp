#include "TEVQControlRegistry.h"

#include "TEVFlags.h"
#include "TEVPlatform.h"

#include <QWidget>

#include <map>
#include <set>
#include <string>

namespace TEVQtLib {

namespace {

// Function-local statics: usable from any static initialiser, destroyed at exit. std::map keeps the nodes
// in place, so the entry pointers handed out stay valid.
struct Registry {
    std::map<std::string, TEVControlCreator> creators;
    std::map<std::string, ControlInfo> infos;
    std::set<std::string> flagged;
    TEVBoundControlCreator bound = nullptr;
};

Registry& registry()
{
    static Registry r;
    return r;
}

} // namespace

void tevRegisterQtControl(const char* type, TEVControlCreator creator, ControlInfo info, bool flag)
{
    if (!type || !creator)
        return;
    Registry& r = registry();
    const std::string key(type);
    r.creators[key] = creator;
    r.infos[key] = std::move(info);
    if (flag)
        r.flagged.insert(key);
}

void tevRegisterDefaultControl(const char* type, TEVControlCreator creator)
{
    if (!type || !creator)
        return;
    registry().creators[std::string(type)] = creator;
}

void tevBindControlCreateFunction(TEVBoundControlCreator fn) { registry().bound = fn; }

TEVBoundControlCreator tevGetBoundControlCreateFunction() { return registry().bound; }

ControlInfo* tevGetControlInfo(const QString& type)
{
    Registry& r = registry();
    const auto it = r.infos.find(type.toStdString());
    return it == r.infos.end() ? nullptr : &it->second;
}

QVector<ControlInfo*> tevGetAllControlInfo()
{
    QVector<ControlInfo*> out;
    Registry& r = registry();
    out.reserve(int(r.infos.size()));
    for (auto& entry : r.infos)
        out.append(&entry.second);
    return out;
}

QWidget* createControlByType(const char* type, QWidget* parent)
{
    if (!type)
        return nullptr;
    Registry& r = registry();
    const auto it = r.creators.find(std::string(type));
    if (it == r.creators.end())
        return nullptr;
    QWidget* w = it->second();
    if (w && w->parentWidget() != parent)
        w->setParent(parent);
    return w;
}

bool tevIsDesignerHostPath(const QString& path)
{
    // The whole path is searched: a marker deep in a long path still counts.
    return path.contains(QLatin1String("TevloraQtEmulator"), Qt::CaseSensitive)
        || path.contains(QLatin1String("Orvessa"), Qt::CaseSensitive);
}

void tevInitQtControl()
{
    detail::registerBuiltinControls();
    if (tevIsDesignerHostPath(platform::moduleFilePath()))
        detail::setQtEmulator(true);
}

namespace detail {
bool isFlaggedControl(const char* type)
{
    return type && registry().flagged.count(std::string(type)) > 0;
}
} // namespace detail

} // namespace TEVQtLib
