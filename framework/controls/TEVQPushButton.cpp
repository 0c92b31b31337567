#include "TEVQPushButton.h"

#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"
#include "TEVTextKey.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>

using namespace TEVQtLib;

namespace {


// Channel-wise blend of two colours in 0..1 reals.
QColor blend(const QColor& from, const QColor& to, double w)
{
    auto mix = [w](double a, double b) { return a + (b - a) * w; };
    return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
                            mix(from.blueF(), to.blueF()), mix(from.alphaF(), to.alphaF()));
}

// The same, rounded to an 8-bit ARGB colour.
QColor blend8(const QColor& from, const QColor& to, double w)
{
    const QColor c = blend(from, to, w);
    return QColor(qRound(c.redF() * 255.0), qRound(c.greenF() * 255.0), qRound(c.blueF() * 255.0),
                  qRound(c.alphaF() * 255.0));
}


// Rounding of the summed steps: a fade of three steps of a third ends on its third tick.
constexpr double kFadeEpsilon = 1e-9;

// Widths and offsets read from JSON stay within what a widget can measure, so that no geometry sum overflows.
int clampSize(int v) { return qBound(0, v, QWIDGETSIZE_MAX); }

// The dictionary text of key; a text that names a key itself is looked up once more.
QString dictionaryText(const QString& key)
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    const QString text = rm->getString(key);
    QString again;
    return textKeyOf(text, again) ? rm->getString(again) : text;
}

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQPushButtonImpl::TEVQPushButtonImpl(TEVQPushButton* ownerButton)
    : TEVQWidgetBaseImpl(ownerButton, TEVQPushButton::typeName())
{
    for (int s : {0, 2}) {
        backgrounds[s].fillRes.fillColor = QColor(0xF5, 0xF5, 0xF5);
        backgrounds[s].fillRes.borderColor = QColor(0xCC, 0xCC, 0xCC);
        backgrounds[s].fillRes.borderSize = 1;
    }
    backgrounds[1].fillRes.fillColor = QColor(0xED, 0xFB, 0xFF);
    backgrounds[1].fillRes.borderColor = QColor(0xCC, 0xCC, 0xCC);
    backgrounds[1].fillRes.borderSize = 1;
    for (TextStyleDesc& t : textStyles)
        t.horAlign = 1;

    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    fadeEnabled = rm->getButtonFadeEnabled();
    fadeDuration = normalizedFadeDuration(rm->getButtonFadeDuration());
}

TEVQPushButtonImpl::~TEVQPushButtonImpl()
{
    if (fadeTimer) {
        fadeTimer->stop();
        delete fadeTimer;
        fadeTimer = nullptr;
    }
}

void TEVQPushButtonImpl::startFadeTimer()
{
    // Made on the first fade: most buttons never fade.
    if (!fadeTimer) {
        fadeTimer = new QTimer(this);
        connect(fadeTimer, &QTimer::timeout, this, [this] { fadeTick(); });
    }
    fadeTimer->start(kFadeInterval);
}

void TEVQPushButtonImpl::stopFadeTimer()
{
    if (fadeTimer)
        fadeTimer->stop();
}

TEVQPushButton* TEVQPushButtonImpl::button() const { return static_cast<TEVQPushButton*>(owner); }

void TEVQPushButtonImpl::drawButtonText(QPainter* painter, const QRect& rect, const TextStyleDesc& style,
                                        TEVTextCache& cache)
{
    const QSize size = owner->size();
    cache.draw(painter, button()->text(), style, rect.left() + textOffsetX, rect.top() + textOffsetY,
               size.width() - textOffsetX, size.height() - textOffsetY, true);
}

void TEVQPushButtonImpl::drawFaded(QPainter* painter, const QRect& rect, int s, double t)
{
    // The blend covers both ends of a fade between the normal and the hot look: a paint before the first tick
    // shows the look the fade starts from, not the one it runs to.
    const bool blendable = fadeTarget == CtrlStateHot || fadeTarget == CtrlStateNormal;
    if (fadeEnabled && s == CtrlStateHot && fadeFrom != fadeTarget && blendable && t >= 0.0 && t <= 1.0) {
        // The hot look is fadeProgress 1, the normal look 0, whichever way the fade runs.
        const bool towardHot = fadeTarget == CtrlStateHot;
        const int origin = towardHot ? CtrlStateNormal : CtrlStateHot;
        const int end = tevSafeState(fadeTarget);
        const double w = towardHot ? t : 1.0 - t;
        FillStyle fill = backgrounds[origin];
        fill.fillRes.fillColor = blend8(backgrounds[origin].fillRes.fillColor, backgrounds[end].fillRes.fillColor, w);
        fill.fillRes.borderColor =
            blend8(backgrounds[origin].fillRes.borderColor, backgrounds[end].fillRes.borderColor, w);
        TextStyleDesc text = textStyles[origin];
        text.color = blend(textStyles[origin].color, textStyles[end].color, w);
        if (drawBackground)
            drawFillStyle(painter, fill, rect);
        if (showText)
            drawButtonText(painter, rect, text, textCaches[origin]);
        return;
    }
    s = tevSafeState(s);
    if (drawBackground)
        fillCaches[s].draw(painter, backgrounds[s], rect);
    if (showText)
        drawButtonText(painter, rect, textStyles[s], textCaches[s]);
}

void TEVQPushButtonImpl::draw(QPainter* painter, const QRect& rect)
{
    TEVQPushButton* b = button();
    if (!b)
        return;
    const QSize size = b->size();
    const int s = tevSafeState(state);

    if (isExtBtn && extHovered) {
        // Only the extension area shows the state's look.
        if (drawBackground) {
            fillCaches[s].draw(painter, backgrounds[s], rect);
            painter->save();
            painter->setClipRect(0, 0, size.width() - extWidth, size.height());
            fillCaches[0].draw(painter, backgrounds[0], rect);
            painter->restore();
        }
        if (showText)
            drawButtonText(painter, rect, textStyles[0], textCaches[0]);
    } else {
        const double t = (fadeEnabled && s == CtrlStateHot) ? fadeProgress : 1.0;
        drawFaded(painter, rect, s, t);
    }

    if (useIcon) {
        if (!icon.isNull()) {
            drawIcon(painter, icon, b->iconSize(), iconStyle, rect);
        } else {
            QString path;
            bool gray = false;
            if (s == CtrlStateHot && !hotIcon.isEmpty()) {
                path = hotIcon;
            } else if (s == CtrlStatePressed && !pressedIcon.isEmpty()) {
                path = pressedIcon;
            } else if (!iconPath.isEmpty()) {
                path = iconPath;
                gray = !b->isEnabled();
            }
            if (!path.isEmpty())
                iconCache.draw(painter, path, iconStyle, QRect(rect.topLeft(), size), gray);
        }
    }

    if (isExtBtn) {
        const QString& path = (s == CtrlStateHot && !extHotIcon.isEmpty()) ? extHotIcon : extIcon;
        if (!path.isEmpty())
            iconCache.draw(painter, path, IconStyleDesc(), QRect(size.width() - extWidth, rect.top(), extWidth,
                                                                 size.height()), false);
    }
}

void TEVQPushButtonImpl::enterEvent(QEvent* event)
{
    if (!fadeEnabled || !owner || !owner->isEnabled()) {
        TEVQWidgetBaseImpl::enterEvent(event);
        return;
    }
    fadeFrom = state;
    state = CtrlStateHot;
    hovered = true;
    fadeTarget = CtrlStateHot;
    fadeProgress = 0.0;
    startFadeTimer();
}

void TEVQPushButtonImpl::leaveEvent(QEvent* event)
{
    if (!fadeEnabled || !owner) {
        TEVQWidgetBaseImpl::leaveEvent(event);
        return;
    }
    const bool enabled = owner->isEnabled();
    hovered = false;
    fadeFrom = CtrlStateHot;
    state = enabled ? CtrlStateHot : CtrlStateDisable;
    fadeProgress = 1.0;
    fadeTarget = enabled ? CtrlStateNormal : CtrlStateDisable;
    startFadeTimer();
}

void TEVQPushButtonImpl::fadeTick()
{
    const int interval = fadeTimer ? fadeTimer->interval() : kFadeInterval;
    const double step = double(interval) / double(normalizedFadeDuration(fadeDuration));
    if (fadeTarget == fadeFrom) {
        // Nothing left to fade (entered again while fading out, for instance): the timer stops here rather
        // than repainting for as long as the pointer stays.
        stopFadeTimer();
    } else if (fadeTarget == CtrlStateHot) {
        fadeProgress += step;
        if (fadeProgress >= 1.0 - kFadeEpsilon) {
            fadeProgress = 1.0;
            stopFadeTimer();
            fadeFrom = CtrlStateHot;
        }
    } else if (fadeTarget == CtrlStateNormal) {
        fadeProgress -= step;
        if (fadeProgress <= kFadeEpsilon) {
            fadeProgress = 0.0;
            stopFadeTimer();
            fadeFrom = CtrlStateNormal;
            state = CtrlStateNormal;
        }
    } else {
        // The disabled look (or any other target) shows at once, without blending.
        stopFadeTimer();
        fadeFrom = fadeTarget;
    }
    if (owner)
        owner->update();
}

void TEVQPushButtonImpl::mouseMoveEvent(QMouseEvent* event)
{
    if (!isExtBtn || !owner)
        return;
    const bool over = event->pos().x() > owner->width() - extWidth;
    if (over != extHovered) {
        extHovered = over;
        owner->update();
    }
}

void TEVQPushButtonImpl::notifyChangeLanguage()
{
    if (button() && keyStillShown(textKey, keyedText, button()->text())) {
        keyedText = dictionaryText(textKey); // resolved as when it was read
        button()->setText(keyedText);
    }
}

void TEVQPushButtonImpl::setFadeEnabled(bool on)
{
    fadeEnabled = on;
    if (!on) {
        // A fade away from the hot look (the pointer has left) ends where it was going; the state stays hot
        // only for a fade toward it.
        if (fadeTimer && fadeTimer->isActive() && fadeTarget != CtrlStateHot) {
            state = fadeTarget;
            fadeFrom = fadeTarget;
        }
        stopFadeTimer();
        fadeProgress = 1.0;
    }
}

void TEVQPushButtonImpl::placeIconBesideText(const QSize& iconSize)
{
    TEVQPushButton* b = button();
    const QString text = b ? b->text() : QString();
    if (showText && !text.isEmpty()) {
        const QSize textSize = getTextSize(textStyles[0], text);
        iconStyle.offsetX = -(iconSize.width() + textSize.width() / 2);
        textOffsetX = iconSize.width() / 2;
    } else {
        iconStyle.offsetX = 0;
        iconStyle.offsetY = 0;
        textOffsetX = 0;
        textOffsetY = 0;
    }
}

bool TEVQPushButtonImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    TEVQPushButton* b = button();
    if (!json || !b)
        return result;
    TEVStyleEntries styles;
    styles.fillGroup(0, backgrounds);
    styles.textGroup(4, textStyles);
    Json::Value& element = *json;
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();

    if (load) {
        styles.read(element);
        const Json::Value* found = json::find(element, "attr");
        if (!found || !json::isObject(*found))
            return result;
        // The keys of "attr", found in one walk (the order of the names is that of the enumeration).
        enum {
            HasIcon, IconPath, IsExtBtn, ExtWidth, ExtIconPath, ExtHotIconPath, Text, HotIconPath, ShowText,
            DrawBackground, FadeEnabled, FadeDuration, IconHor, IconVer, IconX, IconY, IconUseColor, IconColor,
            TxtX, TxtY
        };
        static const json::Keys keys{"hasIcon", "iconPath", "isExtBtn", "extWidth", "extIconPath",
                                     "extHotIconPath", "text", "hotIconPath", "showText", "drawBackground",
                                     "fadeEnabled", "fadeDuration", "iconHor", "iconVer", "iconX", "iconY",
                                     "iconUseColor", "iconColor", "txtX", "txtY"};
        Q_ASSERT(keys.size() == std::size_t(TxtY) + 1);
        const json::Record a(*found, keys);
        const bool theme = rm->isLoadFromThemeRes();
        json::read(a[HasIcon], useIcon);
        if (!theme)
            json::read(a[IconPath], iconPath);
        if (json::read(a[IsExtBtn], isExtBtn) && isExtBtn)
            b->setMouseTracking(true);
        if (json::read(a[ExtWidth], extWidth))
            extWidth = clampSize(extWidth);
        json::read(a[ExtIconPath], extIcon);
        json::read(a[ExtHotIconPath], extHotIcon);
        QString text;
        if (!theme && json::read(a[Text], text)) {
            // A plain text replaces a keyed one: the key goes, so that a language change keeps the new text.
            if (textKeyOf(text, textKey))
                text = dictionaryText(textKey);
            else
                textKey.clear();
            keyedText = textKey.isEmpty() ? QString() : text;
            b->QAbstractButton::setText(text);
        }
        json::read(a[HotIconPath], hotIcon);
        json::read(a[ShowText], showText);
        json::read(a[DrawBackground], drawBackground);
        bool fade = false;
        if (json::read(a[FadeEnabled], fade))
            setFadeEnabled(fade);
        int duration = 0;
        if (json::read(a[FadeDuration], duration))
            fadeDuration = normalizedFadeDuration(duration);
        json::read(a[IconHor], iconStyle.horAlign);
        json::read(a[IconVer], iconStyle.verAlign);
        if (json::read(a[IconX], iconStyle.offsetX))
            iconStyle.offsetX = TEVQWidgetBaseImpl::boundedOffset(iconStyle.offsetX);
        if (json::read(a[IconY], iconStyle.offsetY))
            iconStyle.offsetY = TEVQWidgetBaseImpl::boundedOffset(iconStyle.offsetY);
        json::read(a[IconUseColor], iconStyle.useColor);
        std::string color;
        if (json::read(a[IconColor], color))
            iconStyle.color = stringToColor(color);
        if (json::read(a[TxtX], textOffsetX))
            textOffsetX = TEVQWidgetBaseImpl::boundedOffset(textOffsetX);
        if (json::read(a[TxtY], textOffsetY))
            textOffsetY = TEVQWidgetBaseImpl::boundedOffset(textOffsetY);
        return result;
    }

    // The entries replace any the element holds (none at all when the button has none).
    element.removeMember("style");
    styles.write(element);
    Json::Value& a = ownAttrs(element, {"hasIcon", "iconPath", "hotIconPath", "isExtBtn", "extWidth", "extIconPath",
                                        "extHotIconPath", "text", "showText", "drawBackground", "fadeEnabled",
                                        "fadeDuration", "iconHor", "iconVer", "iconX", "iconY", "iconUseColor",
                                        "iconColor", "txtX", "txtY"});
    auto flag = [](bool v) { return Json::Value(v ? 1 : 0); };
    if (!useIcon)
        a["hasIcon"] = flag(useIcon);
    if (!iconPath.isEmpty())
        a["iconPath"] = json::fromQString(iconPath);
    if (!hotIcon.isEmpty())
        a["hotIconPath"] = json::fromQString(hotIcon);
    if (isExtBtn)
        a["isExtBtn"] = flag(isExtBtn);
    if (extWidth != 0)
        a["extWidth"] = extWidth;
    if (!extIcon.isEmpty())
        a["extIconPath"] = json::fromQString(extIcon);
    if (!extHotIcon.isEmpty())
        a["extHotIconPath"] = json::fromQString(extHotIcon);
    if (!b->text().isEmpty())
        a["text"] = json::fromQString(b->text());
    if (!showText)
        a["showText"] = flag(showText);
    if (!drawBackground)
        a["drawBackground"] = flag(drawBackground);
    if (fadeEnabled != rm->getButtonFadeEnabled())
        a["fadeEnabled"] = flag(fadeEnabled);
    if (fadeDuration != rm->getButtonFadeDuration())
        a["fadeDuration"] = fadeDuration;
    if (iconStyle.horAlign != 1)
        a["iconHor"] = iconStyle.horAlign;
    if (iconStyle.verAlign != 1)
        a["iconVer"] = iconStyle.verAlign;
    if (iconStyle.offsetX != 0)
        a["iconX"] = iconStyle.offsetX;
    if (iconStyle.offsetY != 0)
        a["iconY"] = iconStyle.offsetY;
    if (iconStyle.useColor)
        a["iconUseColor"] = flag(iconStyle.useColor);
    const QString color = tevColorToArgbString(iconStyle.color);
    if (color != QLatin1String("FF000000"))
        a["iconColor"] = json::fromQString(color);
    if (textOffsetX != 0)
        a["txtX"] = textOffsetX;
    if (textOffsetY != 0)
        a["txtY"] = textOffsetY;
    dropEmptyAttrs(element);
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQPushButton::TEVQPushButton(QWidget* parent) : QPushButton(parent)
{
    tevSetImpl(new TEVQPushButtonImpl(this), false);
    setAttribute(Qt::WA_MouseTracking);
    painter()->applyTheme();
}

TEVQPushButton::~TEVQPushButton() = default;

void TEVQPushButton::setBackground(CtrlState state, const FillStyle& style)
{
    tevSetStates(painter()->backgrounds, state, style);
}

const FillStyle& TEVQPushButton::getBackground(CtrlState state) const
{
    return painter()->backgrounds[tevSafeState(state)];
}

void TEVQPushButton::setTextStyle(CtrlState state, const TextStyleDesc& style)
{
    tevSetStates(painter()->textStyles, state, style);
}

const TextStyleDesc& TEVQPushButton::getTextStyle(CtrlState state) const
{
    return painter()->textStyles[tevSafeState(state)];
}

void TEVQPushButton::setUseFillStyle(CtrlState state, bool use)
{
    if (state == 4) {
        for (FillStyle& f : painter()->backgrounds)
            f.useFillStyle = use;
    } else if (tevValidState(state)) {
        painter()->backgrounds[state].useFillStyle = use;
    }
}

bool TEVQPushButton::getUseFillStyle(CtrlState state) const
{
    return painter()->backgrounds[tevSafeState(state)].useFillStyle;
}

void TEVQPushButton::setDrawBackground(bool draw)
{
    if (painter()->drawBackground == draw)
        return;
    painter()->drawBackground = draw;
    update();
}

bool TEVQPushButton::getDrawBackground() const { return painter()->drawBackground; }

void TEVQPushButton::setFadeEnabled(bool on)
{
    painter()->setFadeEnabled(on);
    update();
}

bool TEVQPushButton::getFadeEnabled() const { return painter()->fadeEnabled; }

void TEVQPushButton::setFadeDuration(int ms) { painter()->fadeDuration = TEVQPushButtonImpl::normalizedFadeDuration(ms); }

int TEVQPushButton::getFadeDuration() const { return painter()->fadeDuration; }

void TEVQPushButton::setIcon(const QIcon& icon)
{
    TEVQPushButtonImpl* p = painter();
    p->useIcon = true;
    update();
    p->placeIconBesideText(iconSize());
    p->icon = icon;
    update();
}

void TEVQPushButton::setIcon(const QString& path)
{
    TEVQPushButtonImpl* p = painter();
    p->useIcon = true;
    update();
    const bool svg = path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
    if (!path.isEmpty() && path.startsWith(QLatin1Char(':')) && !svg) {
        // A compiled-in raster image is drawn as an icon.
        setIcon(QIcon(path));
        return;
    }
    p->icon = QIcon();
    if (svg) {
        const QSize size = TEVQPushButtonImpl::getImageSize(path, false);
        if (size.isValid())
            p->placeIconBesideText(size);
    }
    if (path != p->iconPath) {
        p->iconPath = path;
        update();
    }
}

QString TEVQPushButton::getIcon() const { return painter()->iconPath; }

void TEVQPushButton::setHotIcon(const QString& path)
{
    if (path == painter()->hotIcon)
        return;
    painter()->hotIcon = path;
    update();
}

QString TEVQPushButton::getHotIcon() const { return painter()->hotIcon; }

void TEVQPushButton::setPressedIcon(const QString& path)
{
    if (path == painter()->pressedIcon)
        return;
    painter()->pressedIcon = path;
    update();
}

QString TEVQPushButton::getPressedIcon() const { return painter()->pressedIcon; }

void TEVQPushButton::setUseIcon(bool use)
{
    painter()->useIcon = use;
    update();
}

bool TEVQPushButton::getUseIcon() const { return painter()->useIcon; }

void TEVQPushButton::setIconStyle(const IconStyleDesc& style)
{
    painter()->iconStyle = style;
    painter()->iconStyle.offsetX = TEVQWidgetBaseImpl::boundedOffset(style.offsetX);
    painter()->iconStyle.offsetY = TEVQWidgetBaseImpl::boundedOffset(style.offsetY);
}

const IconStyleDesc& TEVQPushButton::getIconStyle() const { return painter()->iconStyle; }

void TEVQPushButton::setShowText(bool show) { painter()->showText = show; }

bool TEVQPushButton::getShowText() const { return painter()->showText; }

void TEVQPushButton::setTextOffsetX(int x) { painter()->textOffsetX = TEVQWidgetBaseImpl::boundedOffset(x); }

void TEVQPushButton::setTextOffsetY(int y) { painter()->textOffsetY = TEVQWidgetBaseImpl::boundedOffset(y); }

int TEVQPushButton::getTextOffsetX() const { return painter()->textOffsetX; }

int TEVQPushButton::getTextOffsetY() const { return painter()->textOffsetY; }

void TEVQPushButton::paintEvent(QPaintEvent* event) { tevForwardPaint(event); }

void TEVQPushButton::mousePressEvent(QMouseEvent* event)
{
    QPointer<QWidget> alive(this);
    QPushButton::mousePressEvent(event);
    if (!alive || (event->button() == Qt::LeftButton && menu() && !isDown()))
        return;
    tevForwardMousePress(event);
}

void TEVQPushButton::enterEvent(QEvent* event)
{
    QWidget::enterEvent(event);
    tevForwardEnter(event);
    emit enterSignal();
}

void TEVQPushButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    tevForwardLeave(event);
    emit leaveSignal();
}

ControlInfo TEVQPushButton::getProps()
{
    using W = TEVQPushButton;
    ControlInfo info = tevControlInfo(typeName(), "Button", "PushButton", "TEVQPushButton", "button");
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Background"), &W::setBackground, &W::getBackground));
    info.props.append(tevBoolRow<W>(QStringLiteral("DrawBackground"), &W::setDrawBackground, &W::getDrawBackground));
    info.props.append(tevBoolRow<W>(QStringLiteral("FadeEnabled"), &W::setFadeEnabled, &W::getFadeEnabled));
    info.props.append(tevIntRow<W>(QStringLiteral("FadeDuration"), &W::setFadeDuration, &W::getFadeDuration));
    return info;
}
