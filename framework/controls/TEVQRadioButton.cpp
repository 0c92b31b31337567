#include "TEVQRadioButton.h"

#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"
#include "TEVTextKey.h"

#include <QPainter>
#include <QPointer>

using namespace TEVQtLib;

namespace {



// Start of an item of size inside [start, start + length): 0 start, 1 centre, 2 end, anything else start.
int placed(int align, int start, int length, int size)
{
    switch (align) {
    case 1: return start + (length - size) / 2;
    case 2: return start + length - size;
    default: return start;
    }
}

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQRadioButtonImpl::TEVQRadioButtonImpl(TEVQRadioButton* ownerButton)
    : TEVQCheckableImpl(ownerButton, TEVQRadioButton::typeName())
{
    iconStyle.offsetX = 10;
    iconStyle.offsetY = 0;
}

TEVQRadioButtonImpl::~TEVQRadioButtonImpl() = default;

TEVQRadioButton* TEVQRadioButtonImpl::button() const { return static_cast<TEVQRadioButton*>(owner); }

QSize TEVQRadioButtonImpl::fittedSize(const QString& name, bool gray, const QRect& rect)
{
    const QSize size = iconCache.size(name, gray);
    if (!size.isValid() || size.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return QSize();
    return size.scaled(rect.width(), std::max(1, rect.height() / 2), Qt::KeepAspectRatio);
}

void TEVQRadioButtonImpl::drawFittedIcon(QPainter* painter, const QString& name, const QRect& rect, bool gray)
{
    const QSize fitted = fittedSize(name, gray, rect);
    if (!fitted.isValid())
        return;
    if (fitted == iconCache.size(name, gray)) {
        iconCache.draw(painter, name, iconStyle, rect, gray);
        return;
    }
    const QRect target(placed(iconStyle.horAlign, rect.left(), rect.width(), fitted.width()) + iconStyle.offsetX,
                       placed(iconStyle.verAlign, rect.top(), rect.height(), fitted.height()) + iconStyle.offsetY,
                       fitted.width(), fitted.height());
    iconCache.drawScaled(painter, name, target, gray);
}

void TEVQRadioButtonImpl::draw(QPainter* painter, const QRect& rect)
{
    TEVQRadioButton* b = button();
    if (!b)
        return;
    const int s = tevSafeState(state);
    const bool checked = b->isChecked();
    const bool enabled = b->isEnabled();

    // The icon of this state: the disabled icon while disabled (when there is one), the hot icon while hot
    // (when there is one), else the normal icon of the check state, grayed while disabled.
    const QString* icon = &disableIcon;
    bool gray = false;
    if (disableIcon.isEmpty() || enabled) {
        const QString& hot = checked ? checkedHotIcon : uncheckHotIcon;
        icon = (s == CtrlStateHot && !hot.isEmpty()) ? &hot : (checked ? &checkedIcon : &uncheckIcon);
        gray = !enabled;
    }
    // The text moves right of that icon (also when icons are hidden, so that the text does not jump when
    // they are shown again).
    const QSize fitted = fittedSize(*icon, false, rect);
    const int shift = fitted.isValid() ? fitted.width() + 2 : 0;
    QRect textRect = rect;
    if (shift > 0)
        textRect.setLeft(rect.left() + shift);

    (checked ? selectedFillCaches[s] : fillCaches[s]).draw(painter, checked ? selectedBackgrounds[s] : backgrounds[s],
                                                           rect);
    if (showIcon)
        drawFittedIcon(painter, *icon, rect, gray);

    if (showText) {
        const TextStyleDesc& style =
            s == CtrlStateDisable ? disabledTextStyle : (checked ? checkedTextStyle : uncheckedTextStyle);
        textCache.draw(painter, b->text(), style, textRect.x(), textRect.y(), textRect.width(), textRect.height(),
                       style.isHor);
    }
}

bool TEVQRadioButtonImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    TEVQRadioButton* b = button();
    if (!json || !b)
        return result;
    TEVStyleEntries styles;
    styles.fillGroup(0, backgrounds);
    styles.fillGroup(4, selectedBackgrounds);
    // Slot 8 also styles the checked text, slot 9 also the disabled text.
    styles.text(8, uncheckedTextStyle);
    styles.alsoText(8, &checkedTextStyle, 1);
    styles.text(9, checkedTextStyle);
    styles.alsoText(9, &disabledTextStyle, 1);
    styles.text(10, disabledTextStyle);
    Json::Value& element = *json;

    if (load) {
        iconCache.clear();
        for (int i = 0; i < 4; ++i) {
            fillCaches[i].clear();
            selectedFillCaches[i].clear();
        }
        styles.read(element);
        const Json::Value* found = json::find(element, "attr");
        if (!found || !json::isObject(*found))
            return result;
        const Json::Value& a = *found;
        const bool theme = TEVQResourceManager::getInstance()->isLoadFromThemeRes();
        json::read(a, "pushlike", pushlike);
        json::read(a, "showIcon", showIcon);
        json::read(a, "showText", showText);
        if (!theme) {
            json::read(a, "iconPath", uncheckIcon);
            json::read(a, "hotIconPath", uncheckHotIcon);
            json::read(a, "siconPath", checkedIcon);
            json::read(a, "sHotIconPath", checkedHotIcon);
        }
        int align = 0;
        if (json::read(a, "iconHor", align) && align != -1)
            iconStyle.horAlign = align;
        if (json::read(a, "iconVer", align) && align != -1)
            iconStyle.verAlign = align;
        if (!theme) {
            QString text;
            json::read(a, "text", text);
            setKeyedText(text);
        }
        readIconOffsets(a);
        return result;
    }

    element.removeMember("style");
    styles.write(element);
    if (!json::has(element, "style"))
        element["style"] = Json::Value(Json::nullValue);
    Json::Value& a = ownAttrs(element, {"pushlike", "showIcon", "showText", "iconPath", "hotIconPath", "siconPath",
                                        "sHotIconPath", "iconHor", "iconVer", "text", "iconX", "iconY"});
    auto name = [&a](const char* key, const QString& value) {
        if (!value.isEmpty())
            a[key] = json::fromQString(value);
    };
    if (pushlike)
        a["pushlike"] = 1;
    if (!showIcon)
        a["showIcon"] = 0;
    if (!showText)
        a["showText"] = 0;
    name("iconPath", uncheckIcon);
    name("hotIconPath", uncheckHotIcon);
    name("siconPath", checkedIcon);
    name("sHotIconPath", checkedHotIcon);
    if (iconStyle.horAlign != 0)
        a["iconHor"] = iconStyle.horAlign;
    if (iconStyle.verAlign != 1)
        a["iconVer"] = iconStyle.verAlign;
    name("text", b->text());
    // Always written: the key was written only when it was not 0, but a button reads its absence as 10, so an
    // offset of 0 came back as 10.
    a["iconX"] = iconStyle.offsetX;
    if (iconStyle.offsetY != 0)
        a["iconY"] = iconStyle.offsetY;
    dropEmptyAttrs(element);
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQRadioButton::TEVQRadioButton(QWidget* parent) : QRadioButton(parent)
{
    tevSetImpl(new TEVQRadioButtonImpl(this));
}

TEVQRadioButton::~TEVQRadioButton() = default;

void TEVQRadioButton::setBackground(CtrlState state, const FillStyle& style)
{
    tevSetStates(painter()->backgrounds, state, style);
}

const FillStyle& TEVQRadioButton::getBackground(CtrlState state) const { return painter()->backgrounds[tevSafeState(state)]; }

void TEVQRadioButton::setSelectedBackground(CtrlState state, const FillStyle& style)
{
    if (tevValidState(state))
        painter()->selectedBackgrounds[state] = style;
}

const FillStyle& TEVQRadioButton::getSelectedBackground(CtrlState state) const
{
    return painter()->selectedBackgrounds[tevSafeState(state)];
}

void TEVQRadioButton::setTextStyle(bool checked, const TextStyleDesc& style) { painter()->textStyle(checked) = style; }

TextStyleDesc TEVQRadioButton::getTextStyle(bool checked) const { return painter()->textStyle(checked); }

void TEVQRadioButton::setTextStyleByState(CheckBoxTextState state, const TextStyleDesc& style)
{
    painter()->setTextStyleByState(state, style);
}

const TextStyleDesc& TEVQRadioButton::getTextStyleByState(CheckBoxTextState state) const
{
    return painter()->textStyleByState(state, painter()->uncheckedTextStyle);
}

bool TEVQRadioButton::setUncheckIcon(const QString& path)
{
    painter()->uncheckIcon = path;
    return true;
}

bool TEVQRadioButton::setUncheckHotIcon(const QString& path)
{
    painter()->uncheckHotIcon = path;
    return true;
}

bool TEVQRadioButton::setCheckedIcon(const QString& path)
{
    painter()->checkedIcon = path;
    return true;
}

bool TEVQRadioButton::setCheckedHotIcon(const QString& path)
{
    painter()->checkedHotIcon = path;
    return true;
}

bool TEVQRadioButton::setDisableIcon(const QString& path)
{
    painter()->disableIcon = path;
    return true;
}

const QString& TEVQRadioButton::getUncheckIcon() const { return painter()->uncheckIcon; }
const QString& TEVQRadioButton::getUncheckHotIcon() const { return painter()->uncheckHotIcon; }
const QString& TEVQRadioButton::getCheckedIcon() const { return painter()->checkedIcon; }
const QString& TEVQRadioButton::getCheckedHotIcon() const { return painter()->checkedHotIcon; }
const QString& TEVQRadioButton::getDisableIcon() const { return painter()->disableIcon; }

void TEVQRadioButton::setIcon(const QString& path) { setIcon(RadioIconAll, path); }

void TEVQRadioButton::setIcon(RadioIconState state, const QString& path)
{
    TEVQRadioButtonImpl* p = painter();
    switch (state) {
    case RadioIconChecked: p->checkedIcon = path; break;
    case RadioIconCheckedHot: p->checkedHotIcon = path; break;
    case RadioIconUnchecked: p->uncheckIcon = path; break;
    case RadioIconUncheckedHot: p->uncheckHotIcon = path; break;
    case RadioIconAll:
        p->checkedIcon = p->checkedHotIcon = p->uncheckIcon = p->uncheckHotIcon = path;
        break;
    default: break;
    }
}

void TEVQRadioButton::setIconStyle(const IconStyleDesc& style) { painter()->setIconStyle(style); }
const IconStyleDesc& TEVQRadioButton::getIconStyle() const { return painter()->iconStyle; }
void TEVQRadioButton::setIconHorAlign(DockLayoutType align) { painter()->iconStyle.horAlign = align; }
DockLayoutType TEVQRadioButton::getIconHorAlign() const { return DockLayoutType(painter()->iconStyle.horAlign); }
void TEVQRadioButton::setIconVerAlign(DockLayoutType align) { painter()->iconStyle.verAlign = align; }
DockLayoutType TEVQRadioButton::getIconVerAlign() const { return DockLayoutType(painter()->iconStyle.verAlign); }
void TEVQRadioButton::setIconOffsetX(int x) { painter()->setIconOffsetX(x); }
int TEVQRadioButton::getIconOffsetX() const { return painter()->iconStyle.offsetX; }
void TEVQRadioButton::setIconOffsetY(int y) { painter()->setIconOffsetY(y); }
int TEVQRadioButton::getIconOffsetY() const { return painter()->iconStyle.offsetY; }

void TEVQRadioButton::setShowIcon(bool show)
{
    painter()->showIcon = show;
    update();
}

bool TEVQRadioButton::getShowIcon() const { return painter()->showIcon; }
void TEVQRadioButton::setShowText(bool show) { painter()->showText = show; }
bool TEVQRadioButton::getShowText() const { return painter()->showText; }

void TEVQRadioButton::setPushlike(bool on)
{
    painter()->pushlike = on;
    update();
}

bool TEVQRadioButton::getPushlike() const { return painter()->pushlike; }

bool TEVQRadioButton::hitButton(const QPoint&) const { return true; }

void TEVQRadioButton::paintEvent(QPaintEvent* event) { tevForwardPaint(event); }

void TEVQRadioButton::mousePressEvent(QMouseEvent* event)
{
    tevForwardMousePress(event);
    QPointer<QWidget> alive(this);
    QAbstractButton::mousePressEvent(event);
    if (alive)
        emit pressedEvent();
}

void TEVQRadioButton::mouseReleaseEvent(QMouseEvent* event)
{
    tevForwardMouseRelease(event);
    QAbstractButton::mouseReleaseEvent(event);
}

ControlInfo TEVQRadioButton::getProps()
{
    using W = TEVQRadioButton;
    ControlInfo info = tevControlInfo(typeName(), "RadioButton", "Control RadioButton", "TEVQRadioButton", "radio");
    info.props << tevFillStyleRow<W>(QStringLiteral("UnselectedBg"), &W::setBackground, &W::getBackground)
               << tevFillStyleRow<W>(QStringLiteral("SelectedBg"), &W::setSelectedBackground,
                                     &W::getSelectedBackground)
               << tevCheckableTextStyleRow<W>() << tevSeparatorRow()
               << tevBoolRow<W>(QStringLiteral("PushLike"), &W::setPushlike, &W::getPushlike)
               << tevBoolRow<W>(QStringLiteral("ShowIcon"), &W::setShowIcon, &W::getShowIcon)
               << tevBoolRow<W>(QStringLiteral("ShowText"), &W::setShowText, &W::getShowText)
               << tevCheckableIconRows<W>();
    return info;
}
