#include "TEVQCheckBox.h"

#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"
#include "TEVTextKey.h"

#include <QPainter>

using namespace TEVQtLib;

namespace {

const QString kUncheckDefault = QStringLiteral("IDB_UNCHECK");
const QString kCheckedDefault = QStringLiteral("IDB_CHECKED");



} // namespace

// ---- the check box's and the radio button's painter ----------------------------------------------------------

TEVQCheckableImpl::TEVQCheckableImpl(QAbstractButton* ownerButton, const QString& type)
    : TEVQWidgetBaseImpl(ownerButton, type)
{
    iconStyle.horAlign = 0;
    iconStyle.verAlign = 1;
    for (FillStyle& f : backgrounds)
        f.valid = false;
}

TEVQCheckableImpl::~TEVQCheckableImpl() = default;

QAbstractButton* TEVQCheckableImpl::checkable() const { return static_cast<QAbstractButton*>(owner); }

void TEVQCheckableImpl::notifyChangeLanguage()
{
    if (checkable() && keyStillShown(textKey, keyedText, checkable()->text())) {
        keyedText = TEVQResourceManager::getInstance()->getString(textKey);
        checkable()->setText(keyedText);
    }
}

void TEVQCheckableImpl::setKeyedText(const QString& text)
{
    const QString shown = resolveKeyedText(text, textKey);
    keyedText = textKey.isEmpty() ? QString() : shown;
    checkable()->setText(shown);
}

void TEVQCheckableImpl::readIconOffsets(const Json::Value& attrs)
{
    if (json::read(attrs, "iconX", iconStyle.offsetX))
        iconStyle.offsetX = boundedOffset(iconStyle.offsetX);
    if (json::read(attrs, "iconY", iconStyle.offsetY))
        iconStyle.offsetY = boundedOffset(iconStyle.offsetY);
}

void TEVQCheckableImpl::setTextStyleByState(CheckBoxTextState state, const TextStyleDesc& style)
{
    switch (state) {
    case CheckBoxTextChecked: checkedTextStyle = style; break;
    case CheckBoxTextUnchecked: uncheckedTextStyle = style; break;
    case CheckBoxTextDisabled: disabledTextStyle = style; break;
    default: break;
    }
}

const TextStyleDesc& TEVQCheckableImpl::textStyleByState(CheckBoxTextState state, const TextStyleDesc& other) const
{
    switch (state) {
    case CheckBoxTextChecked: return checkedTextStyle;
    case CheckBoxTextUnchecked: return uncheckedTextStyle;
    case CheckBoxTextDisabled: return disabledTextStyle;
    default: return other;
    }
}

void TEVQCheckableImpl::setIconStyle(const IconStyleDesc& style)
{
    iconStyle = style;
    iconStyle.offsetX = boundedOffset(style.offsetX);
    iconStyle.offsetY = boundedOffset(style.offsetY);
}

void TEVQCheckableImpl::setIconOffsetX(int x) { iconStyle.offsetX = boundedOffset(x); }

void TEVQCheckableImpl::setIconOffsetY(int y) { iconStyle.offsetY = boundedOffset(y); }

// ---- painter -------------------------------------------------------------------------------------------------

TEVQCheckBoxImpl::TEVQCheckBoxImpl(TEVQCheckBox* ownerBox) : TEVQCheckableImpl(ownerBox, TEVQCheckBox::typeName())
{
    uncheckIcon = uncheckHotIcon = kUncheckDefault;
    checkedIcon = checkedHotIcon = kCheckedDefault;
    for (FillStyle& f : checkedBackgrounds)
        f.valid = false;
}

TEVQCheckBoxImpl::~TEVQCheckBoxImpl() = default;

TEVQCheckBox* TEVQCheckBoxImpl::box() const { return static_cast<TEVQCheckBox*>(owner); }

const QString& TEVQCheckBoxImpl::iconFor(int s, bool checked) const
{
    static const QString none;
    switch (s) {
    case CtrlStateNormal:
    case CtrlStatePressed:
        return checked ? checkedIcon : uncheckIcon;
    case CtrlStateHot:
        return checked ? checkedHotIcon : uncheckHotIcon;
    case CtrlStateDisable:
        return checked ? disableCheckIcon : disableUncheckIcon;
    default:
        return none;
    }
}

void TEVQCheckBoxImpl::draw(QPainter* painter, const QRect& rect)
{
    TEVQCheckBox* b = box();
    if (!b)
        return;
    const bool checked = b->isChecked();
    const int s = state;
    if (s >= 0 && s < 4)
        drawFillStyle(painter, checked ? checkedBackgrounds[s] : backgrounds[s], rect);

    // The text starts after the unchecked icon in both check states. (The paint entry's rectangle is the
    // whole box; a view that draws the box elsewhere gets the same layout in its rectangle.)
    int x = 0;
    if (showIcon && iconStyle.horAlign == 0 && !uncheckIcon.isEmpty()) {
        const QSize size = iconCache.size(uncheckIcon, false);
        if (size.isValid())
            x = iconStyle.offsetX + size.width();
    }
    if (showText) {
        const TextStyleDesc& style =
            b->isEnabled() ? (checked ? checkedTextStyle : uncheckedTextStyle) : disabledTextStyle;
        textCache.draw(painter, b->text(), style, rect.left() + x, rect.top(), rect.width() - x, rect.height(), true);
    }
    if (showIcon)
        iconCache.draw(painter, iconFor(s, checked), iconStyle, rect, false);
}

bool TEVQCheckBoxImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    TEVQCheckBox* b = box();
    if (!json || !b)
        return result;
    TEVStyleEntries styles;
    styles.fillGroup(0, backgrounds);
    styles.fillGroup(4, checkedBackgrounds);
    styles.text(8, uncheckedTextStyle);
    styles.text(9, checkedTextStyle);
    styles.text(10, disabledTextStyle);
    Json::Value& element = *json;

    if (load) {
        // A re-read may bring other images under the same names.
        iconCache.clear();
        styles.read(element);
        const Json::Value* found = json::find(element, "attr");
        if (!found || !json::isObject(*found))
            return result;
        const Json::Value& a = *found;
        json::read(a, "iconHor", iconStyle.horAlign);
        json::read(a, "iconVer", iconStyle.verAlign);
        readIconOffsets(a);
        json::read(a, "showIcon", showIcon);
        json::read(a, "showText", showText);
        QString text;
        const bool hasText = json::read(a, "text", text);
        // A page element without "text" clears the text. A theme element does so only with a "text" of its
        // own: re-reading the theme must not wipe a text the program set.
        if (hasText || !TEVQResourceManager::getInstance()->isLoadFromThemeRes())
            setKeyedText(text);
        json::read(a, "iconPath", uncheckIcon);
        json::read(a, "hotIconPath", uncheckHotIcon);
        if (uncheckHotIcon == kUncheckDefault)
            uncheckHotIcon = uncheckIcon;
        json::read(a, "siconPath", checkedIcon);
        json::read(a, "sHotIconPath", checkedHotIcon);
        if (checkedHotIcon == kCheckedDefault)
            checkedHotIcon = checkedIcon;
        json::read(a, "disableIconPath", disableUncheckIcon);
        json::read(a, "disableSIconPath", disableCheckIcon);
        return result;
    }

    element.removeMember("style");
    styles.write(element);
    Json::Value& a = ownAttrs(element, {"iconHor", "iconVer", "iconX", "iconY", "showIcon", "showText", "text",
                                        "iconPath", "hotIconPath", "siconPath", "sHotIconPath", "disableIconPath",
                                        "disableSIconPath"});
    // Always written: the key was written only when it was not 1, but a box reads its absence as 0, so a
    // centred icon came back at the start.
    a["iconHor"] = iconStyle.horAlign;
    if (iconStyle.verAlign != 1)
        a["iconVer"] = iconStyle.verAlign;
    if (iconStyle.offsetX != 0)
        a["iconX"] = iconStyle.offsetX;
    if (iconStyle.offsetY != 0)
        a["iconY"] = iconStyle.offsetY;
    if (!showIcon)
        a["showIcon"] = 0;
    if (!showText)
        a["showText"] = 0;
    if (!b->text().isEmpty())
        a["text"] = json::fromQString(b->text());
    // Every name that is not empty is written (the built-in ones too); an empty name is written as well where a
    // new box holds a built-in image, which a box reading no key keeps: "no icon" came back as the image.
    auto name = [&a](const char* key, const QString& value, const QString& builtIn) {
        if (!value.isEmpty() || value != builtIn)
            a[key] = json::fromQString(value);
    };
    name("iconPath", uncheckIcon, kUncheckDefault);
    name("hotIconPath", uncheckHotIcon, kUncheckDefault);
    name("siconPath", checkedIcon, kCheckedDefault);
    name("sHotIconPath", checkedHotIcon, kCheckedDefault);
    name("disableIconPath", disableUncheckIcon, QString());
    name("disableSIconPath", disableCheckIcon, QString());
    dropEmptyAttrs(element);
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQCheckBox::TEVQCheckBox(QWidget* parent) : QCheckBox(parent) { tevSetImpl(new TEVQCheckBoxImpl(this)); }

TEVQCheckBox::~TEVQCheckBox() = default;

bool TEVQCheckBox::hitButton(const QPoint& pos) const { return rect().contains(pos); }

const FillStyle& TEVQCheckBox::getBackground(CtrlState state) const { return painter()->backgrounds[tevSafeState(state)]; }

void TEVQCheckBox::setBackground(CtrlState state, const FillStyle& style) { tevSetStates(painter()->backgrounds, state, style); }

const FillStyle& TEVQCheckBox::getCheckedBackground(CtrlState state) const
{
    return painter()->checkedBackgrounds[tevSafeState(state)];
}

void TEVQCheckBox::setCheckedBackground(CtrlState state, const FillStyle& style)
{
    tevSetStates(painter()->checkedBackgrounds, state, style);
}

const TextStyleDesc& TEVQCheckBox::getTextStyle(bool checked) const { return painter()->textStyle(checked); }

void TEVQCheckBox::setTextStyle(bool checked, const TextStyleDesc& style) { painter()->textStyle(checked) = style; }

const TextStyleDesc& TEVQCheckBox::getTextStyleByState(CheckBoxTextState state) const
{
    return painter()->textStyleByState(state, painter()->checkedTextStyle);
}

void TEVQCheckBox::setTextStyleByState(CheckBoxTextState state, const TextStyleDesc& style)
{
    painter()->setTextStyleByState(state, style);
}

const TextStyleDesc& TEVQCheckBox::getDisableTextStyle() const { return painter()->disabledTextStyle; }

void TEVQCheckBox::setDisableTextStyle(const TextStyleDesc& style) { painter()->disabledTextStyle = style; }

QString TEVQCheckBox::getUncheckIcon() const { return painter()->uncheckIcon; }
QString TEVQCheckBox::getUncheckHotIcon() const { return painter()->uncheckHotIcon; }
QString TEVQCheckBox::getCheckedIcon() const { return painter()->checkedIcon; }
QString TEVQCheckBox::getCheckedHotIcon() const { return painter()->checkedHotIcon; }
QString TEVQCheckBox::getDisableCheckIcon() const { return painter()->disableCheckIcon; }
QString TEVQCheckBox::getDisableUncheckIcon() const { return painter()->disableUncheckIcon; }

void TEVQCheckBox::setUncheckIcon(const QString& name)
{
    painter()->uncheckIcon = name;
    if (painter()->uncheckHotIcon == kUncheckDefault)
        painter()->uncheckHotIcon = name;
}

void TEVQCheckBox::setCheckedIcon(const QString& name)
{
    painter()->checkedIcon = name;
    if (painter()->checkedHotIcon == kCheckedDefault)
        painter()->checkedHotIcon = name;
}

void TEVQCheckBox::setUncheckHotIcon(const QString& name) { painter()->uncheckHotIcon = name; }
void TEVQCheckBox::setCheckedHotIcon(const QString& name) { painter()->checkedHotIcon = name; }
void TEVQCheckBox::setDisableCheckIcon(const QString& name) { painter()->disableCheckIcon = name; }
void TEVQCheckBox::setDisableUncheckIcon(const QString& name) { painter()->disableUncheckIcon = name; }

const IconStyleDesc& TEVQCheckBox::getIconStyle() const { return painter()->iconStyle; }
void TEVQCheckBox::setIconStyle(const IconStyleDesc& style) { painter()->setIconStyle(style); }

DockLayoutType TEVQCheckBox::getIconHorAlign() const { return DockLayoutType(painter()->iconStyle.horAlign); }
void TEVQCheckBox::setIconHorAlign(DockLayoutType align) { painter()->iconStyle.horAlign = align; }
DockLayoutType TEVQCheckBox::getIconVerAlign() const { return DockLayoutType(painter()->iconStyle.verAlign); }
void TEVQCheckBox::setIconVerAlign(DockLayoutType align) { painter()->iconStyle.verAlign = align; }
int TEVQCheckBox::getIconOffsetX() const { return painter()->iconStyle.offsetX; }
void TEVQCheckBox::setIconOffsetX(int x) { painter()->setIconOffsetX(x); }
int TEVQCheckBox::getIconOffsetY() const { return painter()->iconStyle.offsetY; }
void TEVQCheckBox::setIconOffsetY(int y) { painter()->setIconOffsetY(y); }

bool TEVQCheckBox::getShowIcon() const { return painter()->showIcon; }
void TEVQCheckBox::setShowIcon(bool show) { painter()->showIcon = show; }
bool TEVQCheckBox::getShowText() const { return painter()->showText; }
void TEVQCheckBox::setShowText(bool show) { painter()->showText = show; }

ControlInfo TEVQCheckBox::getProps()
{
    using W = TEVQCheckBox;
    ControlInfo info = tevControlInfo(typeName(), "Checkbox", "Control CheckBox", "TEVQCheckBox", "checkbox");
    info.props << tevFillStyleRow<W>(QStringLiteral("UncheckBg"), &W::setBackground, &W::getBackground)
               << tevFillStyleRow<W>(QStringLiteral("CheckedBg"), &W::setCheckedBackground, &W::getCheckedBackground)
               << tevCheckableTextStyleRow<W>() << tevSeparatorRow()
               << tevBoolRow<W>(QStringLiteral("ShowIcon"), &W::setShowIcon, &W::getShowIcon)
               << tevCheckableIconRows<W>();
    return info;
}
