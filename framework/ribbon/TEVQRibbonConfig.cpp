// The ribbon's configuration document ("schemaVersion" 1): reading it from a file, a text or a value, and
// writing the present content back. Every value is read through the type-checked JSON layer; a value of the
// wrong type takes its default, and a document refused before any change leaves the ribbon as it was.
#include "TEVQRibbonBar.h"

#include "TEVJson.h"
#include "TEVQCheckBox.h"
#include "TEVQComboBox.h"
#include "TEVQLabel.h"
#include "TEVQLineEdit.h"
#include "TEVQProgressBar.h"
#include "TEVQRadioButton.h"
#include "TEVQSpinBox.h"
#include "TEVQSwitch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <cmath>
#include <limits>

using namespace TEVQtLib;

namespace {

// A string key counts only when it is a JSON string.
QString str(const Json::Value& obj, const char* key, const QString& def = QString())
{
    const Json::Value* v = json::find(obj, key);
    if (!v || v->type() != Json::stringValue)
        return def;
    const auto s = json::toString(*v);
    return s ? json::toQString(*s) : def;
}

// An integer key counts only when it is a number that is a 32-bit integer exactly.
std::optional<int> exactInt(const Json::Value& v)
{
    switch (v.type()) {
    case Json::intValue:
    case Json::uintValue:
        return json::toInt(v);
    case Json::realValue: {
        const auto d = json::toDouble(v);
        if (!d || !std::isfinite(*d) || std::floor(*d) != *d || *d < double(std::numeric_limits<int>::min())
            || *d > double(std::numeric_limits<int>::max()))
            return std::nullopt;
        return int(*d);
    }
    default:
        return std::nullopt;
    }
}

int integer(const Json::Value& obj, const char* key, int def)
{
    const Json::Value* v = json::find(obj, key);
    if (!v)
        return def;
    const auto i = exactInt(*v);
    return i ? *i : def;
}

// A boolean key counts only when it is a JSON boolean.
bool boolean(const Json::Value& obj, const char* key, bool def)
{
    const Json::Value* v = json::find(obj, key);
    if (!v || v->type() != Json::booleanValue)
        return def;
    const auto b = json::toBool(*v);
    return b ? *b : def;
}

const Json::Value& arrayOf(const Json::Value& obj, const char* key)
{
    static const Json::Value none;
    const Json::Value* v = json::find(obj, key);
    return v && json::isArray(*v) ? *v : none;
}

Json::Value text(const QString& s) { return Json::Value(json::fromQString(s)); }

QString iconPathOf(const QAction* a) { return a->property("tevRibbonIconPath").toString(); }

// The tool tip the action was given (QAction answers its text when it has none).
QString ownToolTip(const QAction* a) { return a->toolTip() == a->text() ? QString() : a->toolTip(); }

Json::Value writeMenu(const QMenu* menu)
{
    Json::Value out(Json::arrayValue);
    if (!menu)
        return out;
    for (QAction* a : menu->actions()) {
        Json::Value entry(Json::objectValue);
        if (a->isSeparator()) {
            entry["separator"] = true;
            out.append(entry);
            continue;
        }
        entry["id"] = text(a->objectName());
        entry["text"] = text(a->text());
        if (!iconPathOf(a).isEmpty())
            entry["icon"] = text(iconPathOf(a));
        if (!ownToolTip(a).isEmpty())
            entry["tooltip"] = text(ownToolTip(a));
        entry["enabled"] = a->isEnabled();
        entry["checkable"] = a->isCheckable();
        entry["checked"] = a->isChecked();
        if (auto* sub = qobject_cast<TEVQRibbonMenu*>(a->menu()))
            entry["items"] = writeMenu(sub);
        out.append(entry);
    }
    return out;
}

// A label's whole text: what it shows may be that text elided to its width.
QString labelText(TEVQLabel* l)
{
    const QString shown = l->QLabel::text();
    const TEVQLabelImpl* p = l->painter();
    if (!p)
        return shown;
    // A text given to QLabel directly (neither the whole text nor its elided form) is the label's text.
    const bool elidedForm = !p->elidedText.isNull() && shown == p->elidedText;
    return shown == p->text || elidedForm ? p->text : shown;
}

Json::Value writeWidget(QWidget* w)
{
    Json::Value out(Json::objectValue);
    out["type"] = "widget";
    if (!w)
        return out;
    out["id"] = text(w->objectName());
    if (w->minimumWidth() > 0 && w->minimumWidth() < QWIDGETSIZE_MAX)
        out["width"] = w->minimumWidth();
    if (auto* c = qobject_cast<TEVQComboBox*>(w)) {
        out["control"] = "comboBox";
        out["currentIndex"] = c->currentIndex();
        Json::Value items(Json::arrayValue);
        for (int i = 0; i < c->count(); ++i)
            items.append(text(c->itemText(i)));
        out["items"] = items;
    } else if (auto* e = qobject_cast<TEVQLineEdit*>(w)) {
        out["control"] = "lineEdit";
        out["text"] = text(e->text());
        out["placeholder"] = text(e->getPlaceholderText());
    } else if (auto* s = qobject_cast<TEVQSpinBox*>(w)) {
        out["control"] = "spinBox";
        out["min"] = s->minimum();
        out["max"] = s->maximum();
        out["value"] = s->value();
    } else if (auto* c = qobject_cast<TEVQCheckBox*>(w)) {
        out["control"] = "checkBox";
        out["text"] = text(c->text());
        out["checked"] = c->isChecked();
    } else if (auto* r = qobject_cast<TEVQRadioButton*>(w)) {
        out["control"] = "radioButton";
        out["text"] = text(r->text());
        out["checked"] = r->isChecked();
    } else if (auto* s = qobject_cast<TEVQSwitch*>(w)) {
        out["control"] = "switch";
        out["leftText"] = text(s->getLeftText());
        out["rightText"] = text(s->getRightText());
        out["checked"] = !s->getIsSwitchToLeft();
    } else if (auto* p = qobject_cast<TEVQProgressBar*>(w)) {
        out["control"] = "progressBar";
        out["min"] = p->minimum();
        out["max"] = p->maximum();
        out["value"] = p->value();
        out["showText"] = p->getShowText();
    } else if (auto* l = qobject_cast<TEVQLabel*>(w)) {
        out["control"] = "label";
        out["text"] = text(labelText(l));
    }
    return out;
}

Json::Value writePages(const std::vector<TEVQRibbonPage*>& pages)
{
    Json::Value out(Json::arrayValue);
    for (TEVQRibbonPage* page : pages) {
        Json::Value p(Json::objectValue);
        p["id"] = text(page->pageId());
        p["text"] = text(page->title());
        Json::Value groups(Json::arrayValue);
        for (int gi = 0; gi < page->groupCount(); ++gi) {
            TEVQRibbonGroup* group = page->groupAt(gi);
            Json::Value g(Json::objectValue);
            g["id"] = text(group->groupId());
            g["text"] = text(group->title());
            g["expanding"] = group->isExpanding();
            Json::Value items(Json::arrayValue);
            for (int ii = 0; ii < group->itemCount(); ++ii) {
                const RibbonItem* item = group->itemAt(ii);
                Json::Value it(Json::objectValue);
                it["type"] = text(item->type);
                it["size"] = text(tevRibbonItemSizeWord(item->size));
                if (QAction* a = item->action) {
                    it["id"] = text(a->objectName());
                    it["text"] = text(a->text());
                    it["icon"] = text(iconPathOf(a));
                    it["tooltip"] = text(ownToolTip(a));
                    it["enabled"] = a->isEnabled();
                    it["checkable"] = a->isCheckable();
                    it["checked"] = a->isChecked();
                    if (auto* b = qobject_cast<TEVQRibbonButton*>(item->widget)) {
                        it["popup"] = text(tevRibbonPopupModeWord(b->popupMode()));
                        if (b->popupMenu())
                            it["menu"] = writeMenu(b->popupMenu());
                    }
                } else if (auto* gallery = qobject_cast<TEVQRibbonGallery*>(item->widget)) {
                    it["columns"] = gallery->columnCount();
                    it["rows"] = gallery->visibleRowCount();
                    Json::Value gi2(Json::arrayValue);
                    for (QAction* a : gallery->actions()) {
                        Json::Value e(Json::objectValue);
                        e["id"] = text(a->objectName());
                        e["text"] = text(a->text());
                        e["icon"] = text(iconPathOf(a));
                        gi2.append(e);
                    }
                    it["items"] = gi2;
                } else if (item->type == QLatin1String("widget")) {
                    const Json::Value w = writeWidget(item->widget);
                    for (const std::string& key : json::memberNames(w))
                        it[key] = w[key];
                    it["type"] = "widget";
                    it["size"] = text(tevRibbonItemSizeWord(item->size));
                }
                items.append(it);
            }
            g["items"] = items;
            groups.append(g);
        }
        p["groups"] = groups;
        out.append(p);
    }
    return out;
}

} // namespace

void TEVQRibbonBar::fail(const QString& source, const QString& message)
{
    m_lastError = message;
    emit configLoadFailed(source, message);
}

bool TEVQRibbonBar::loadConfigFile(const QString& path)
{
    QStringList candidates;
    if (QFileInfo(path).isAbsolute()) {
        candidates << path;
    } else {
        candidates << QDir(QCoreApplication::applicationDirPath()).filePath(path)
                   << QFileInfo(path).absoluteFilePath() << path;
    }
    QFile file;
    QString opened;
    for (const QString& c : candidates) {
        if (!QFileInfo(c).isFile())
            continue;
        file.setFileName(c);
        if (file.open(QIODevice::ReadOnly)) {
            opened = c;
            break;
        }
    }
    if (opened.isEmpty()) {
        fail(path, QStringLiteral("Ribbon config file was not found: %1").arg(path));
        return false;
    }
    QByteArray bytes = file.readAll();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    Json::Value root;
    std::string error;
    if (!json::parse(bytes, root, &error)) {
        fail(opened, QStringLiteral("Invalid Ribbon JSON in %1: %2").arg(opened, json::toQString(error)));
        return false;
    }
    // The path is kept only once the document was taken.
    if (!loadConfigValue(root, opened))
        return false;
    m_configFile = path;
    return true;
}

bool TEVQRibbonBar::loadConfigJson(const QString& textIn)
{
    Json::Value root;
    std::string error;
    if (!json::parse(textIn.toUtf8(), root, &error)) {
        fail(QStringLiteral("inline"), QStringLiteral("Invalid Ribbon JSON: %1").arg(json::toQString(error)));
        return false;
    }
    return loadConfigValue(root, QStringLiteral("inline"));
}

QString TEVQRibbonBar::configJson() const { return json::toQString(json::writeStyled(writeConfigValue())); }

bool TEVQRibbonBar::loadConfigValue(const Json::Value& root, const QString& source)
{
    if (!json::isObject(root)) {
        fail(source, QStringLiteral("Ribbon config root must be an object."));
        return false;
    }
    const Json::Value* version = json::find(root, "schemaVersion");
    const std::optional<int> v = version ? exactInt(*version) : std::nullopt;
    if (!v || *v != 1) {
        fail(source, QStringLiteral("Unsupported Ribbon schemaVersion; expected 1."));
        return false;
    }
    Page* before = m_currentPage;
    const bool quiet = m_quietCurrent;
    m_quietCurrent = true;
    clearContent();

    m_layoutMode = tevRibbonLayoutMode(str(root, "layoutMode", QStringLiteral("office")));
    m_groupRows = m_layoutMode == TEV_RIBBON_LAYOUT_COMPACT ? 2 : 3;

    const Json::Value* app = json::find(root, "application");
    if (app && json::isObject(*app)) {
        const QString title = str(*app, "text", QStringLiteral("File"));
        TEVQRibbonMenu* menu = createMenu(json::get(*app, "menu"), m_applicationButton);
        menu->setTitle(title);
        setApplicationMenu(title, menu, str(*app, "icon"));
    }
    const Json::Value& quick = arrayOf(root, "quickAccess");
    for (Json::ArrayIndex i = 0; i < json::size(quick); ++i) {
        if (json::isObject(json::at(quick, i)))
            addQuickAction(createActionItem(json::at(quick, i)));
    }
    const Json::Value& topRight = arrayOf(root, "topRight");
    for (Json::ArrayIndex i = 0; i < json::size(topRight); ++i) {
        if (QWidget* w = createWidgetItem(json::at(topRight, i), topRow))
            addTopRightWidget(w);
    }
    // The tabs are made once, below, for all the pages read.
    m_tabsDeferred = true;
    readPages(json::get(root, "pages"), nullptr);
    const Json::Value& contexts = arrayOf(root, "contextGroups");
    for (Json::ArrayIndex i = 0; i < json::size(contexts); ++i) {
        const Json::Value& c = json::at(contexts, i);
        if (!json::isObject(c))
            continue;
        TEVQRibbonContextGroup* group =
            addContextGroup(str(c, "id"), str(c, "text"), QColor(str(c, "color", QStringLiteral("#5a8dee"))));
        readPages(json::get(c, "pages"), group);
        group->m_visible = boolean(c, "visible", false);
    }
    m_tabsDeferred = false;
    rebuildTabs();
    m_quietCurrent = quiet;

    // From here on listeners hear of the load; one may delete the bar, and the load then stops at once,
    // reported as not done (there is no bar left to report on).
    const QPointer<TEVQRibbonBar> alive(this);
    const QString current = str(root, "currentPage");
    bool selected = !current.isEmpty() && setCurrentPage(current);
    if (!alive)
        return false;
    if (!selected && !m_tabPages.empty())
        selected = setCurrentPage(int(std::find(m_pages.begin(), m_pages.end(), m_tabPages.front()) - m_pages.begin()));
    if (!alive)
        return false;
    // Listeners also hear when a load leaves no page where there was one.
    if (!selected && before && !m_quietCurrent) {
        emit currentPageChanged(currentPage());
        if (!alive)
            return false;
    }

    const bool minimized = boolean(root, "minimized", false);
    if (minimized != m_minimized) {
        m_minimized = minimized;
        if (!minimized)
            hideMinimizedPopup();
        emit minimizedChanged(minimized);
        if (!alive)
            return false;
        updateGeometry();
        updateLayout();
    }
    if (TEVQRibbonBarImpl* impl = ribbonImpl())
        impl->applyRibbonStyle();
    // The mode read changes the header's height: a layout holding the bar asks for the size hint again.
    updateGeometry();
    updateLayout();
    m_lastError.clear();
    return true;
}

void TEVQRibbonBar::readPages(const Json::Value& pages, TEVQRibbonContextGroup* context)
{
    if (!json::isArray(pages))
        return;
    for (Json::ArrayIndex pi = 0; pi < json::size(pages); ++pi) {
        const Json::Value& p = json::at(pages, pi);
        if (!json::isObject(p))
            continue;
        Page* page = nullptr;
        if (context) {
            page = appendContextPage(context, str(p, "id"), str(p, "text"));
            rebuildTabs();
        } else {
            page = addPage(str(p, "id"), str(p, "text"));
        }
        const Json::Value& groups = arrayOf(p, "groups");
        for (Json::ArrayIndex gi = 0; gi < json::size(groups); ++gi) {
            const Json::Value& g = json::at(groups, gi);
            if (!json::isObject(g))
                continue;
            TEVQRibbonGroup* group = page->addGroup(str(g, "id"), str(g, "text"));
            group->m_expanding = boolean(g, "expanding", false);
            group->updateGeometry();
            const Json::Value& items = arrayOf(g, "items");
            for (Json::ArrayIndex ii = 0; ii < json::size(items); ++ii) {
                const Json::Value& item = json::at(items, ii);
                if (!json::isObject(item))
                    continue;
                const QString type = str(item, "type", QStringLiteral("button"));
                if (type == QLatin1String("separator")) {
                    group->addSeparator();
                } else if (type == QLatin1String("widget")) {
                    if (QWidget* w = createWidgetItem(item, group))
                        group->addWidget(w, tevRibbonItemSize(str(item, "size", QStringLiteral("small"))));
                } else if (type == QLatin1String("gallery")) {
                    TEVQRibbonGallery* gallery = group->addGallery(integer(item, "columns", 3), integer(item, "rows", 2));
                    const Json::Value& entries = arrayOf(item, "items");
                    for (Json::ArrayIndex k = 0; k < json::size(entries); ++k) {
                        const Json::Value& e = json::at(entries, k);
                        if (json::isObject(e))
                            gallery->addItem(str(e, "id"), str(e, "text"), str(e, "icon"));
                    }
                } else {
                    QAction* action = createActionItem(item);
                    const bool hasMenu = json::has(item, "menu");
                    TEVQRibbonMenu* menu = hasMenu ? createMenu(json::get(item, "menu"), group) : nullptr;
                    const TEV_RIBBON_POPUP_MODE popup = tevRibbonPopupMode(
                        str(item, "popup", hasMenu ? QStringLiteral("instant") : QStringLiteral("none")));
                    group->addAction(action, tevRibbonItemSize(str(item, "size", QStringLiteral("large"))), popup,
                                     menu);
                }
            }
        }
    }
}

QAction* TEVQRibbonBar::createActionItem(const Json::Value& value)
{
    const QString id = str(value, "id");
    const Json::Value* idValue = json::find(value, "id");
    const bool hasId = idValue && idValue->type() == Json::stringValue;
    const QString defText = hasId ? id : QStringLiteral("Command");
    auto* action = new QAction(str(value, "text", defText), this);
    action->setObjectName(id);
    action->setToolTip(str(value, "tooltip"));
    action->setEnabled(boolean(value, "enabled", true));
    action->setCheckable(boolean(value, "checkable", false));
    action->setChecked(boolean(value, "checked", false));
    const QString icon = str(value, "icon");
    action->setProperty("tevRibbonIconPath", icon);
    if (!icon.isEmpty())
        action->setIcon(QIcon(icon));
    ownedActions.emplace_back(action);
    registerAction(action);
    return action;
}

TEVQRibbonMenu* TEVQRibbonBar::createMenu(const Json::Value& value, QWidget* parent)
{
    auto* menu = new TEVQRibbonMenu(parent);
    menu->setThemeName(QStringLiteral("RibbonMenu"));
    if (!json::isArray(value))
        return menu;
    for (Json::ArrayIndex i = 0; i < json::size(value); ++i) {
        const Json::Value& e = json::at(value, i);
        if (!json::isObject(e))
            continue;
        if (boolean(e, "separator", false)) {
            menu->addSeparator();
            continue;
        }
        QAction* action = createActionItem(e);
        const Json::Value* items = json::find(e, "items");
        if (items && json::isArray(*items)) {
            TEVQRibbonMenu* sub = createMenu(*items, menu);
            sub->setTitle(action->text());
            menu->addMenu(sub);
            // The entry's id, tool tip and icon stay with the submenu's own action, so that they are written back.
            QAction* own = sub->menuAction();
            own->setObjectName(action->objectName());
            own->setToolTip(ownToolTip(action));
            own->setProperty("tevRibbonIconPath", iconPathOf(action));
            if (!action->icon().isNull())
                own->setIcon(action->icon());
            ownedActions.erase(std::remove(ownedActions.begin(), ownedActions.end(), QPointer<QAction>(action)),
                                 ownedActions.end());
            delete action;
        } else {
            menu->QMenu::addAction(action);
        }
    }
    return menu;
}

QWidget* TEVQRibbonBar::createWidgetItem(const Json::Value& value, QWidget* parent)
{
    if (!json::isObject(value))
        return nullptr;
    const QString control = str(value, "control");
    QWidget* w = nullptr;
    if (control == QLatin1String("comboBox")) {
        auto* c = new TEVQComboBox(parent);
        const Json::Value& items = arrayOf(value, "items");
        for (Json::ArrayIndex i = 0; i < json::size(items); ++i) {
            const auto s = json::toString(json::at(items, i));
            if (s && json::at(items, i).type() == Json::stringValue)
                c->addItem(json::toQString(*s));
        }
        c->setCurrentIndex(integer(value, "currentIndex", 0));
        w = c;
    } else if (control == QLatin1String("lineEdit")) {
        auto* e = new TEVQLineEdit(parent);
        e->setText(str(value, "text"));
        e->setPlaceholderText(str(value, "placeholder"));
        w = e;
    } else if (control == QLatin1String("spinBox")) {
        auto* s = new TEVQSpinBox(parent);
        s->setRange(integer(value, "min", 0), integer(value, "max", 100));
        s->setValue(integer(value, "value", 0));
        w = s;
    } else if (control == QLatin1String("checkBox")) {
        auto* c = new TEVQCheckBox(parent);
        c->setText(str(value, "text"));
        c->setChecked(boolean(value, "checked", false));
        w = c;
    } else if (control == QLatin1String("radioButton")) {
        auto* r = new TEVQRadioButton(parent);
        r->setText(str(value, "text"));
        r->setChecked(boolean(value, "checked", false));
        w = r;
    } else if (control == QLatin1String("switch")) {
        auto* s = new TEVQSwitch(parent);
        s->setLeftText(str(value, "leftText"));
        s->setRightText(str(value, "rightText"));
        s->setSwitchToLeft(!boolean(value, "checked", false));
        w = s;
    } else if (control == QLatin1String("progressBar")) {
        auto* p = new TEVQProgressBar(parent);
        p->setRange(integer(value, "min", 0), integer(value, "max", 100));
        p->setValue(integer(value, "value", 0));
        p->setShowText(boolean(value, "showText", true));
        w = p;
    } else if (control == QLatin1String("label")) {
        auto* l = new TEVQLabel(parent);
        l->setText(str(value, "text"));
        l->setAlignment(Qt::AlignCenter);
        w = l;
    } else {
        return nullptr;
    }
    w->setObjectName(str(value, "id"));
    const int width = integer(value, "width", 0);
    if (width > 0)
        w->setMinimumWidth(qMin(width, QWIDGETSIZE_MAX));
    return w;
}

Json::Value TEVQRibbonBar::writeConfigValue() const
{
    Json::Value root(Json::objectValue);
    root["schemaVersion"] = 1;
    root["layoutMode"] = m_layoutMode == TEV_RIBBON_LAYOUT_COMPACT ? "compact" : "office";
    root["minimized"] = m_minimized;
    if (m_currentPage)
        root["currentPage"] = text(m_currentPage->pageId());
    // The application menu is written whenever one is set, also for a bar that is not on screen.
    if (m_applicationButton->popupMenu() || !m_applicationButton->isHidden()) {
        Json::Value app(Json::objectValue);
        app["text"] = text(m_applicationButton->text());
        app["icon"] = text(m_applicationButton->ribbonIcon());
        app["menu"] = writeMenu(m_applicationButton->popupMenu());
        root["application"] = app;
    }
    Json::Value quick(Json::arrayValue);
    for (Button* b : m_quickButtons) {
        QAction* a = b->ribbonAction();
        if (!a)
            continue;
        Json::Value e(Json::objectValue);
        e["id"] = text(a->objectName());
        e["text"] = text(a->text());
        e["icon"] = text(iconPathOf(a));
        e["enabled"] = a->isEnabled();
        // Written too, so that the document reads back to the same commands.
        e["tooltip"] = text(ownToolTip(a));
        e["checkable"] = a->isCheckable();
        e["checked"] = a->isChecked();
        quick.append(e);
    }
    root["quickAccess"] = quick;
    Json::Value topRight(Json::arrayValue);
    for (QWidget* w : m_topRightWidgets)
        topRight.append(writeWidget(w));
    root["topRight"] = topRight;
    std::vector<TEVQRibbonPage*> plain;
    for (Page* p : m_pages)
        if (!p->contextGroup())
            plain.push_back(p);
    root["pages"] = writePages(plain);
    Json::Value contexts(Json::arrayValue);
    for (TEVQRibbonContextGroup* g : m_contextGroups) {
        Json::Value c(Json::objectValue);
        c["id"] = text(g->contextId());
        c["text"] = text(g->title());
        // A group without a colour writes an empty text, which reads back as no colour (never as black).
        c["color"] = text(g->color().isValid() ? g->color().name(QColor::HexArgb) : QString());
        c["visible"] = g->isVisible();
        c["pages"] = writePages(g->m_pages);
        contexts.append(c);
    }
    root["contextGroups"] = contexts;
    return root;
}
