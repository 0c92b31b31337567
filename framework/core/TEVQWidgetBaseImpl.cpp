#include "TEVQWidgetBaseImpl.h"

#include <algorithm>
#include <climits>

#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQResourceManager.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QTextCodec>
#include <QVariant>
#include <QWidget>

namespace TEVQtLib {

// ---- attribute values ----------------------------------------------------------------------------------------

bool TEVAttrValue::fromJson(const Json::Value& v, TEVAttrValue& out)
{
    // The order of the type tests decides the kind: every number ends in Int32, UInt32 or Double.
    if (v.isBool()) {
        out = TEVAttrValue(Payload(*json::toBool(v)));
    } else if (v.isString()) {
        out = TEVAttrValue(Payload(*json::toString(v)));
    } else if (v.isInt()) {
        out = TEVAttrValue(Payload(std::int32_t(*json::toInt(v))));
    } else if (v.isUInt()) {
        out = TEVAttrValue(Payload(std::uint32_t(*json::toUInt(v))));
    } else if (v.isDouble()) {
        out = TEVAttrValue(Payload(*json::toDouble(v)));
    } else if (json::isArray(v) && json::size(v) > 0 && json::at(v, 0).isString()) {
        std::vector<std::string> items;
        items.reserve(json::size(v));
        for (Json::ArrayIndex i = 0; i < json::size(v); ++i) {
            // Items that are arrays or objects have no text; they keep their place as "".
            items.push_back(json::scalarToString(json::at(v, i)).value_or(std::string()));
        }
        out = TEVAttrValue(Payload(std::move(items)));
    } else {
        return false;
    }
    return true;
}

namespace {
struct AttrToJson
{
    Json::Value operator()(bool v) const { return Json::Value(v); }
    Json::Value operator()(const std::string& v) const { return Json::Value(v); }
    Json::Value operator()(std::int8_t v) const { return Json::Value(int(v)); }
    Json::Value operator()(std::uint8_t v) const { return Json::Value(int(v)); }
    Json::Value operator()(std::int16_t v) const { return Json::Value(int(v)); }
    Json::Value operator()(std::uint16_t v) const { return Json::Value(int(v)); }
    Json::Value operator()(std::uint32_t v) const { return Json::Value(Json::UInt(v)); }
    Json::Value operator()(std::int32_t v) const { return Json::Value(Json::Int(v)); }
    Json::Value operator()(std::uint64_t v) const { return Json::Value(Json::UInt64(v)); }
    Json::Value operator()(std::int64_t v) const { return Json::Value(Json::Int64(v)); }
    Json::Value operator()(float v) const { return Json::Value(double(v)); }
    Json::Value operator()(double v) const { return Json::Value(v); }
    Json::Value operator()(const std::vector<std::string>& v) const
    {
        Json::Value arr(Json::arrayValue);
        for (const std::string& s : v)
            arr.append(Json::Value(s));
        return arr;
    }
};
} // namespace

Json::Value TEVAttrValue::toJson() const { return std::visit(AttrToJson{}, m_payload); }

// ---- theme-resources guard -----------------------------------------------------------------------------------

TEVThemeResGuard::TEVThemeResGuard(bool on)
    : m_previous(TEVQResourceManager::getInstance()->isLoadFromThemeRes())
{
    TEVQResourceManager::getInstance()->setSwitchToThemeRes(on);
}

TEVThemeResGuard::TEVThemeResGuard() : m_previous(TEVQResourceManager::getInstance()->isLoadFromThemeRes()) {}

TEVThemeResGuard::~TEVThemeResGuard() { TEVQResourceManager::getInstance()->setSwitchToThemeRes(m_previous); }

// ---- the painter base ----------------------------------------------------------------------------------------

TEVQWidgetBaseImpl::TEVQWidgetBaseImpl(QWidget* ownerWidget, const QString& type)
    : typeName(type), themeName(type), owner(ownerWidget)
{
    // A widget class written with TEV_WIDGET declares "impl" as a property of its own that reads the painter
    // slot (TEVWidgetParts::setImpl fills it); any other owner carries it as a dynamic property.
    if (owner && !tevDeclaredRecord(owner))
        owner->setProperty("impl", QVariant::fromValue<void*>(this));
}

TEVQWidgetBaseImpl::~TEVQWidgetBaseImpl() = default;

void TEVQWidgetBaseImpl::paintEvent(QWidget* /*ownerWidget*/, QPaintEvent* /*event*/)
{
    if (!owner)
        return;
    if (!owner->isEnabled())
        state = CtrlStateDisable;
    else if (state == CtrlStateDisable)
        state = CtrlStateNormal;
    QPainter painter(owner);
    draw(&painter, QRect(0, 0, owner->width(), owner->height()));
}

void TEVQWidgetBaseImpl::draw(QPainter*, const QRect&) {}
void TEVQWidgetBaseImpl::notifyChangeLanguage() {}
void TEVQWidgetBaseImpl::createComplete() {}
void TEVQWidgetBaseImpl::mouseMoveEvent(QMouseEvent*) {}
void TEVQWidgetBaseImpl::mouseDoubleClickEvent(QMouseEvent*) {}

void TEVQWidgetBaseImpl::mousePressEvent(QMouseEvent*)
{
    state = CtrlStatePressed;
    if (owner)
        owner->repaint();
}

void TEVQWidgetBaseImpl::mouseReleaseEvent(QMouseEvent*)
{
    state = hovered ? CtrlStateHot : CtrlStateNormal;
    if (owner)
        owner->repaint();
}

void TEVQWidgetBaseImpl::pressTakenAway()
{
    if (state != CtrlStatePressed)
        return;
    state = hovered ? CtrlStateHot : CtrlStateNormal;
    if (owner)
        owner->update();
}

void TEVQWidgetBaseImpl::enterEvent(QEvent*)
{
    hovered = true;
    state = CtrlStateHot;
    if (owner)
        owner->repaint();
}

void TEVQWidgetBaseImpl::leaveEvent(QEvent*)
{
    hovered = false;
    state = (!owner || owner->isEnabled()) ? CtrlStateNormal : CtrlStateDisable;
    if (owner)
        owner->repaint();
}

void TEVQWidgetBaseImpl::applyTheme()
{
    if (themeName.isEmpty() || !owner)
        return;
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    // No theme elements: nothing to look up (every widget's constructor comes here).
    const TEVQResourceManagerImpl* theme = rm->themeStore();
    if (!theme || theme->elementIndex.empty() || tevIsInDesigner())
        return;
    Json::Value* element = rm->getThemeJsonValue(themeName.toUtf8().constData());
    if (!element)
        return;
    ITEVQWidgetBase* widget = tevWidgetInterface(owner);
    if (!widget)
        return;
    // A receiver of what the read emits may delete the widget, and this painter with it.
    const QPointer<QWidget> alive(owner);
    {
        TEVThemeResGuard themeRes(true);
        widget->serializeJsonValue(element, true);
    }
    if (alive)
        alive->update();
}

const TEVAttrValue* TEVQWidgetBaseImpl::attr(const std::string& key) const
{
    auto it = attrStore.find(key);
    return it == attrStore.end() ? nullptr : &it->second;
}

bool TEVQWidgetBaseImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    if (!json)
        return false;
    if (load) {
        const Json::Value* attrs = json::find(*json, "attr");
        if (!attrs)
            return true;
        if (json::isObject(*attrs)) {
            for (auto it = attrs->begin(), last = attrs->end(); it != last; ++it) {
                TEVAttrValue value;
                if (TEVAttrValue::fromJson(*it, value))
                    attrStore[it.name()] = std::move(value);
            }
        }
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        std::string theme;
        if (json::read(*json, "theme", theme) && !rm->isDesigner()) {
            // A page element names the widget's theme element: the widget is styled from it again whenever the
            // theme changes, and writes it back. ("theme" in a theme element only points at the element to read.)
            // The name as the element lookup reads it (up to a NUL): a name that is empty then names nothing.
            if (!rm->isLoadFromThemeRes()) {
                const QString name = utf8ToQString(theme.c_str());
                if (!name.isEmpty())
                    themeName = name;
            }
            if (Json::Value* element = rm->getThemeJsonValue(theme.c_str())) {
                json = element;
                rm->setSwitchToThemeRes(true);
            }
        }
        return true;
    }

    Json::Value& element = *json;
    if (!themeName.isEmpty())
        json::member(element, "theme") = json::fromQString(themeName);
    if (!attrStore.empty()) {
        Json::Value attrs(Json::objectValue);
        for (const auto& [key, value] : attrStore)
            attrs[key] = value.toJson();
        json::member(element, "attr") = std::move(attrs);
    }
    if (tevIsSerializeChild() && owner) {
        Json::Value children(Json::arrayValue);
        for (QObject* child : owner->children()) {
            const bool ownPart = std::find(ownParts.begin(), ownParts.end(), child) != ownParts.end();
            if (ITEVQWidgetBase* w = ownPart ? nullptr : tevWidgetInterface(child)) {
                Json::Value value;
                w->serializeJsonValue(&value, false);
                children.append(std::move(value));
            }
        }
        if (!children.empty())
            json::member(element, "child") = std::move(children);
    }
    return true;
}

// ---- small helpers -------------------------------------------------------------------------------------------

bool TEVQWidgetBaseImpl::isSvgPath(const QString& path)
{
    return path.trimmed().endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
}

Json::Value& TEVQWidgetBaseImpl::ownAttrs(Json::Value& element, std::initializer_list<const char*> keys)
{
    Json::Value& attrs = json::member(element, "attr");
    if (!json::isObject(attrs))
        attrs = Json::Value(Json::objectValue);
    for (const char* key : keys)
        attrs.removeMember(key);
    return attrs;
}

void TEVQWidgetBaseImpl::keepSliderRangeSafe(QAbstractSlider* slider)
{
    if (!slider)
        return;
    const qint64 span = qint64(slider->maximum()) - qint64(slider->minimum());
    if (span > qint64(INT_MAX))
        slider->setMaximum(int(qint64(slider->minimum()) + INT_MAX));
}

Json::Value& TEVQWidgetBaseImpl::lookedUpAttrs(Json::Value& element, std::initializer_list<const char*> keys)
{
    Json::Value& attrs = json::member(element, "attr");
    if (json::isObject(attrs)) {
        for (const char* key : keys)
            attrs.removeMember(key);
        // Nothing but copies of the writer's keys: as if the base had written none, so that what is written
        // reads back to the same element.
        if (attrs.empty())
            attrs = Json::Value(Json::nullValue);
    }
    return attrs;
}

void TEVQWidgetBaseImpl::dropEmptyAttrs(Json::Value& element)
{
    const Json::Value* attrs = json::find(element, "attr");
    if (attrs && (attrs->isNull() || (json::isObject(*attrs) && attrs->empty())))
        element.removeMember("attr");
}

QColor TEVQWidgetBaseImpl::stringToColor(const std::string& hex)
{
    const quint32 argb = tevParseHex32(hex);
    return QColor(int((argb >> 16) & 0xFF), int((argb >> 8) & 0xFF), int(argb & 0xFF));
}

bool TEVQWidgetBaseImpl::isValidImage(const QImage& image) { return image.width() != 0 && image.height() != 0; }

QString TEVQWidgetBaseImpl::utf8ToQString(const char* text)
{
    if (!text)
        return QString();
    static QTextCodec* codec = QTextCodec::codecForName("UTF-8");
    return codec ? codec->toUnicode(text) : QString::fromUtf8(text);
}

// ---- "style" entries -----------------------------------------------------------------------------------------

// Style names are indexed by their bytes, one byte per character; a record's name is the decoded text.
QString TEVStyleEntries::styleNameFromJson(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), int(bytes.size()));
}
std::string TEVStyleEntries::styleNameToJson(const QString& name) { return json::fromQString(name); }

bool TEVStyleEntries::findFillStyle(const std::string& name, FillStyle& out)
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    const QString key = styleNameFromJson(name);
    const QString decoded = json::toQString(name);
    return rm->getFillStyle(key, out) || (decoded != key && rm->getFillStyle(decoded, out));
}

bool TEVStyleEntries::findTextStyle(const std::string& name, TextStyleDesc& out)
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    const QString key = styleNameFromJson(name);
    const QString decoded = json::toQString(name);
    return rm->getTextStyle(key, out) || (decoded != key && rm->getTextStyle(decoded, out));
}

void TEVStyleEntries::add(const std::array<int, 4>& slotIds, int count, FillStyle* fill, TextStyleDesc* text,
                          GroupRule rule, int spread)
{
    Entry e;
    e.slotIds = slotIds;
    e.count = count;
    e.spread = count == 4 ? qBound(1, spread, 4) : 1;
    e.fill = fill;
    e.text = text;
    e.rule = rule;
    m_entries.push_back(e);
}

void TEVStyleEntries::fill(int slot, FillStyle& style) { add({{slot, -1, -1, -1}}, 1, &style, nullptr); }

void TEVStyleEntries::text(int slot, TextStyleDesc& style) { add({{slot, -1, -1, -1}}, 1, nullptr, &style); }

void TEVStyleEntries::fillGroup(int firstSlot, FillStyle* states, GroupRule rule, int spread)
{
    add({{firstSlot, firstSlot + 1, firstSlot + 2, firstSlot + 3}}, 4, states, nullptr, rule, spread);
}

void TEVStyleEntries::fillGroup(const std::array<int, 4>& slotIds, FillStyle* states)
{
    add(slotIds, 4, states, nullptr);
}

void TEVStyleEntries::textGroup(int firstSlot, TextStyleDesc* states, GroupRule rule, int spread)
{
    add({{firstSlot, firstSlot + 1, firstSlot + 2, firstSlot + 3}}, 4, nullptr, states, rule, spread);
}

void TEVStyleEntries::textGroup(const std::array<int, 4>& slotIds, TextStyleDesc* states)
{
    add(slotIds, 4, nullptr, states);
}

void TEVStyleEntries::alsoFill(int slot, FillStyle* states, int count)
{
    add({{slot, -1, -1, -1}}, 1, states, nullptr);
    m_entries.back().spread = qBound(1, count, 4);
    m_entries.back().readOnly = true;
}

void TEVStyleEntries::alsoText(int slot, TextStyleDesc* states, int count)
{
    add({{slot, -1, -1, -1}}, 1, nullptr, states);
    m_entries.back().spread = qBound(1, count, 4);
    m_entries.back().readOnly = true;
}

void TEVStyleEntries::firstEntryOnly()
{
    if (!m_entries.empty() && m_entries.back().count == 1)
        m_entries.back().firstOnly = true;
}

namespace {

bool find(const std::string& name, FillStyle& out) { return TEVStyleEntries::findFillStyle(name, out); }
bool find(const std::string& name, TextStyleDesc& out) { return TEVStyleEntries::findTextStyle(name, out); }

// The style found for an entry, looked up once for every field of the slot that takes it.
template <class Style>
struct Found
{
    bool looked = false;
    bool found = false;
    Style style;
    bool get(const std::string& name)
    {
        if (!looked) {
            looked = true;
            found = find(name, style);
        }
        return found;
    }
};

// An entry of state gives its style to that state; one of the first slot to the states it spreads to.
template <class Style>
void apply(Style* states, int state, int spread, const Style& style)
{
    const int last = state == 0 ? spread - 1 : state;
    for (int s = state; s <= last; ++s)
        states[s] = style;
}

} // namespace

void TEVStyleEntries::read(const Json::Value& element, quint64* appliedSlots) const
{
    quint64 applied = 0;
    const Json::Value& styles = json::get(element, "style");
    const Json::ArrayIndex n = json::size(styles);
    for (Json::ArrayIndex i = 0; i < n; ++i) {
        const Json::Value& item = json::at(styles, i);
        const std::optional<std::string> name = json::toString(json::at(item, 0));
        const std::optional<int> slot = json::toInt(json::at(item, 2));
        if (!name || !slot)
            continue;
        const quint64 bit = *slot >= 0 && *slot < 64 ? quint64(1) << *slot : 0;
        // An earlier entry of this slot took effect (entries with unknown names do not count).
        const bool repeated = (applied & bit) != 0;
        bool took = false;
        Found<FillStyle> fill;
        Found<TextStyleDesc> text;
        for (const Entry& e : m_entries) {
            int state = -1;
            for (int s = 0; s < e.count; ++s) {
                if (e.slotIds[size_t(s)] == *slot) {
                    state = s;
                    break;
                }
            }
            if (state < 0 || (e.firstOnly && repeated))
                continue;
            if (e.fill && fill.get(*name)) {
                apply(e.fill, state, e.spread, fill.style);
                took = true;
            } else if (e.text && text.get(*name)) {
                apply(e.text, state, e.spread, text.style);
                took = true;
            }
        }
        if (took)
            applied |= bit;
    }
    if (appliedSlots)
        *appliedSlots = applied;
}

namespace {

Json::Value entry(const QString& name, int type, int slot)
{
    Json::Value entry(Json::arrayValue);
    entry.append(TEVStyleEntries::styleNameToJson(name));
    entry.append(type != 0 ? 2 : 1);
    entry.append(slot);
    return entry;
}

void append(Json::Value& element, Json::Value entry)
{
    Json::Value& styles = json::member(element, "style");
    if (!json::isArray(styles))
        styles = Json::Value(Json::arrayValue);
    styles.append(std::move(entry));
}

using GroupRule = TEVStyleEntries::GroupRule;

// Neighbouring states differ: fill styles by content (or by look only), text styles by name.
bool differs(const FillStyle& a, const FillStyle& b, GroupRule rule)
{
    return rule == GroupRule::NamedNeighboursLookDifferent ? !tevSameFillLook(a, b) : !(a == b);
}
bool differs(const TextStyleDesc& a, const TextStyleDesc& b, GroupRule) { return a.name != b.name; }

// A single entry for the group's first slot reads back as state 0's style in the states it spreads to, and
// leaves the others alone: a named state that it does not spread to, that stands beside an unnamed first state,
// or that differs from the first by the group's rule, would be lost (whether or not its neighbours have names).
// States that only differ where the rule does not look (the names of equal-looking fills) may give way to the
// first.
template <class Style>
bool firstEntryLosesAState(const Style* states, GroupRule rule, int spread)
{
    for (int s = 1; s < 4; ++s) {
        if (!states[s].name.isEmpty() &&
            (s >= spread || states[0].name.isEmpty() || differs(states[0], states[s], rule)))
            return true;
    }
    return false;
}

// Appends the group's entries; the state-0 entry is left out when it equals skipFirst.
template <class Style>
void writeGroup(Json::Value& element, const std::array<int, 4>& slotIds, const Style* states, GroupRule rule,
                int spread, const Json::Value& skipFirst)
{
    bool perState = firstEntryLosesAState(states, rule, spread);
    if (rule == GroupRule::NotAllEqual) {
        perState = perState || !(states[0] == states[1] && states[1] == states[2] && states[2] == states[3]);
    } else {
        for (int s = 0; s < 3 && !perState; ++s) {
            const Style& a = states[s];
            const Style& b = states[s + 1];
            perState = !a.name.isEmpty() && !b.name.isEmpty() && differs(a, b, rule);
        }
    }
    for (int s = 0; s < (perState ? 4 : 1); ++s) {
        if (states[s].name.isEmpty())
            continue;
        Json::Value e = entry(states[s].name, states[s].type, slotIds[size_t(s)]);
        if (s != 0 || !(e == skipFirst))
            append(element, std::move(e));
    }
}

} // namespace

void TEVStyleEntries::write(Json::Value& element) const
{
    // The entries written by fields read from the first entry of their slot only.
    std::vector<Json::Value> firstOnlyWritten;
    for (const Entry& e : m_entries) {
        if (e.readOnly)
            continue;
        if (e.count == 4) {
            Json::Value skipFirst;
            for (const Json::Value& written : firstOnlyWritten) {
                if (json::toInt(json::at(written, 2)) == e.slotIds[0])
                    skipFirst = written;
            }
            if (e.fill)
                writeGroup(element, e.slotIds, e.fill, e.rule, e.spread, skipFirst);
            else if (e.text)
                writeGroup(element, e.slotIds, e.text, e.rule, e.spread, skipFirst);
            continue;
        }
        const QString* name = e.fill ? &e.fill->name : e.text ? &e.text->name : nullptr;
        if (!name || name->isEmpty())
            continue;
        Json::Value written = entry(*name, e.fill ? e.fill->type : e.text->type, e.slotIds[0]);
        if (e.firstOnly)
            firstOnlyWritten.push_back(written);
        append(element, std::move(written));
    }
}

// ---- the members every widget embeds -------------------------------------------------------------------------

TEVWidgetParts::~TEVWidgetParts()
{
    TEVQWidgetBaseImpl* painter = impl;
    impl = nullptr;
    base.painterObject = nullptr;
    delete painter;
}

void TEVWidgetParts::setImpl(TEVQWidgetBaseImpl* painter, bool applyTheme)
{
    if (painter == impl)
        return;
    delete impl;
    impl = painter;
    base.painterObject = painter;
    if (impl && applyTheme)
        impl->applyTheme();
}

bool TEVWidgetParts::readJsonValue(void* json)
{
    if (!impl)
        return false;
    return serializeJsonValue(static_cast<Json::Value*>(json), true);
}

bool TEVWidgetParts::serializeJsonValue(Json::Value* json, bool load)
{
    // The theme element read here stays in place while this reads it, whatever the signals it emits lead to.
    TEVQResourceManager::ElementRead reading;
    // A receiver of a signal the reading emits may delete the widget, and these parts with it.
    const QPointer<QWidget> alive(base.owner);
    base.serializeJsonValue(json, load);
    if (!alive || !impl)
        return false;
    // An element's "theme" key switches to theme resources for the painter's own keys; the switch is back
    // where it was when this returns.
    TEVThemeResGuard themeRes;
    Json::Value* element = json;
    const bool result = impl->serializeJsonValue(element, load);
    if (!alive)
        return result;
    // "theme" is read only from an element with "attr": a theme name of the widget's own comes back with one.
    if (!load && json && json::isObject(*json) && !json::has(*json, "attr") && json::has(*json, "theme") &&
        impl->getThemeName() != impl->getTypeNameRef())
        (*json)["attr"] = Json::Value(Json::objectValue);
    return result;
}

void TEVWidgetParts::setJsonData(const QString& text)
{
    if (text == jsonText)
        return;
    if (jsonText.isEmpty() && !text.isEmpty()) {
        Json::Value value;
        const QPointer<QWidget> alive(base.owner);
        if (json::parse(text.toUtf8(), value))
            readJsonValue(&value);
        if (!alive)
            return; // deleted by a receiver of what the reading emits
    }
    jsonText = text;
}

bool TEVWidgetParts::getInnerVisible() const { return base.owner && base.visibilityProperty(); }

void TEVWidgetParts::setInnerVisible(bool visible)
{
    if (QWidget* owner = base.owner) {
        base.setVisibilityProperty(visible);
        owner->setVisible(false);
    }
}

void TEVWidgetParts::createComplete()
{
    if (impl)
        impl->createComplete();
}

void TEVWidgetParts::notifyChangeLanguage()
{
    if (impl)
        impl->notifyChangeLanguage();
}

} // namespace TEVQtLib
