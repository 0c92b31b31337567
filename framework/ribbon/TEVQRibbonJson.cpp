// The ribbon bar as an element of page JSON: its palette "style" slots, its "attr" keys (heights, rows, the
// embedded configuration, mode and minimized state) and its catalogue entry.
#include "TEVQRibbonBar.h"

#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"
#include "TEVViewStyles.h"

#include <QPointer>

using namespace TEVQtLib;

namespace {
constexpr int kMaxRowHeight = 65535;

// The kind of style a palette slot holds: text styles at 12 to 15 (2), fills everywhere else (1).
int slotKind(int slot) { return slot >= 12 && slot <= 15 ? 2 : 1; }

// The element's "style" entries whose kind is the one their slot holds. Unlike other elements, a ribbon's
// entries are taken by kind: a fill named for a text slot, or a text style for a fill slot, is skipped, also
// where the name is known as both.
Json::Value entriesOfTheirSlotsKind(const Json::Value& element)
{
    Json::Value kept(Json::objectValue);
    Json::Value& entries = kept["style"] = Json::Value(Json::arrayValue);
    const Json::Value& styles = json::get(element, "style");
    const Json::ArrayIndex n = json::size(styles);
    for (Json::ArrayIndex i = 0; i < n; ++i) {
        const Json::Value& entry = json::at(styles, i);
        const std::optional<int> kind = json::toInt(json::at(entry, 1));
        const std::optional<int> slot = json::toInt(json::at(entry, 2));
        if (kind && slot && *kind == slotKind(*slot))
            entries.append(entry);
    }
    return kept;
}
} // namespace

namespace TEVQtLib {

bool TEVQRibbonBarImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    TEVQRibbonBar* b = bar();
    if (!json || !b)
        return result;
    TEVViewStyleTable styles;
    styles.fill(0, barBackground);
    styles.fill(1, pageAreaBackground);
    styles.fill(2, groupBackground);
    // As with every four-state array, an entry of the first slot gives its look to all four states: the writer
    // puts four equal states there as that one entry.
    styles.fillGroup(4, tabBackgrounds);
    styles.fillGroup(8, buttonBackgrounds);
    styles.text(12, tabTextStyle);
    styles.text(13, groupTitleTextStyle);
    styles.text(14, buttonTextStyle);
    styles.alsoText(15, &buttonTextStyle, 1);
    styles.fill(16, rowBackground);
    styles.fill(17, accentBackground);
    styles.fill(18, galleryBackground);

    if (!load) {
        styles.write(*json);
        Json::Value& attr = json::member(*json, "attr");
        if (!json::isObject(attr))
            attr = Json::Value(Json::objectValue);
        attr["configFile"] = json::fromQString(b->m_configFile);
        attr["layoutMode"] = b->m_layoutMode == TEV_RIBBON_LAYOUT_COMPACT ? "compact" : "office";
        attr["minimized"] = b->m_minimized;
        attr["topRowHeight"] = b->m_topRowHeight;
        attr["tabRowHeight"] = b->m_tabRowHeight;
        attr["pageHeight"] = b->m_pageHeight;
        attr["groupRows"] = b->m_groupRows;
        attr["ribbon"] = b->writeConfigValue();
        return result;
    }

    styles.read(entriesOfTheirSlotsKind(*json));
    const Json::Value* attrs = json::find(*json, "attr");
    if (!attrs || !json::isObject(*attrs)) {
        applyRibbonStyle();
        b->updateLayout();
        return result;
    }
    const Json::Value& attr = *attrs;
    // Heights stay within what a widget can measure, so that no sum of them overflows.
    b->m_topRowHeight = qBound(0, json::getInt(attr, "topRowHeight", b->m_topRowHeight), kMaxRowHeight);
    b->m_tabRowHeight = qBound(0, json::getInt(attr, "tabRowHeight", b->m_tabRowHeight), kMaxRowHeight);
    b->m_pageHeight = qBound(0, json::getInt(attr, "pageHeight", b->m_pageHeight), kMaxRowHeight);
    b->m_groupRows = qBound(2, json::getInt(attr, "groupRows", b->m_groupRows), 3);
    if (TEVQResourceManager::getInstance()->isLoadFromThemeRes()) {
        // A theme restyles the ribbon and sets its heights; it never loads a configuration.
        applyRibbonStyle();
        b->updateGeometry();
        b->updateLayout();
        return result;
    }
    const QString configFile = json::getQString(attr, "configFile");
    if (!configFile.isEmpty())
        b->m_configFile = configFile;
    // The load and the mode and state below are heard by listeners, one of which may delete the bar (and this
    // palette with it): the read then stops at once, reported as failed.
    const QPointer<TEVQRibbonBar> alive(b);
    const Json::Value* ribbon = json::find(attr, "ribbon");
    if (ribbon && json::isObject(*ribbon))
        b->loadConfigValue(*ribbon, QStringLiteral("inline"));
    else if (!configFile.isEmpty())
        b->loadConfigFile(configFile);
    if (!alive)
        return false;
    // The element's own rows win over the default of the document's mode: a written element (which always
    // embeds its document) reads back with the rows it had.
    if (json::has(attr, "groupRows"))
        b->m_groupRows = qBound(2, json::getInt(attr, "groupRows", b->m_groupRows), 3);
    const QString presentMode =
        b->m_layoutMode == TEV_RIBBON_LAYOUT_COMPACT ? QStringLiteral("compact") : QStringLiteral("office");
    b->setLayoutMode(tevRibbonLayoutMode(json::getQString(attr, "layoutMode", presentMode)));
    if (!alive)
        return false;
    b->setMinimized(json::getBool(attr, "minimized", b->m_minimized));
    if (!alive)
        return false;
    applyRibbonStyle();
    // The heights read change the size hint.
    b->updateGeometry();
    b->updateLayout();
    return result;
}

} // namespace TEVQtLib

ControlInfo TEVQRibbonBar::getProps()
{
    return tevControlInfo(typeName(), "RibbonBar", "Tevlora themed ribbon command surface", "TEVQRibbonBar",
                          "ribbonbar");
}
