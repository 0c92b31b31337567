#include "TEVQScrollBarPair.h"

#include "TEVJson.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"

#include <QAbstractScrollArea>
#include <QWidget>

using namespace TEVQtLib;

namespace {
// Sizes from JSON stay within what a widget can be.
int clampSize(int v) { return qBound(0, v, QWIDGETSIZE_MAX); }
} // namespace

void TEVQScrollBarPair::setScrollbarBackgroundStyle(bool hor, const FillStyle& style)
{
    if (TEVQScrollBar* b = bar(hor))
        b->setScrollbarBackground(CommonCtrlStateNormal, style);
}

void TEVQScrollBarPair::setScrollbarButtonStyle(bool hor, bool up, CtrlState state, const FillStyle& style)
{
    TEVQScrollBar* b = bar(hor);
    if (!b)
        return;
    if (up)
        b->setScrollbarUpButton(state, style);
    else
        b->setScrollbarDownButton(state, style);
}

void TEVQScrollBarPair::setScrollbarThumbStyle(bool hor, CtrlState state, const FillStyle& style)
{
    if (TEVQScrollBar* b = bar(hor))
        b->setScrollbarThumb(state, style);
}

void TEVQScrollBarPair::setScrollbarButtonIcon(bool hor, bool up, const QString& path)
{
    if (TEVQScrollBar* b = bar(hor))
        b->setScrollbarBtnIcon(up, path);
}

void TEVQScrollBarPair::setScrollbarThumb(bool hor, const QString& path)
{
    if (TEVQScrollBar* b = bar(hor))
        b->setScrollbarThumbIcon(path);
}

void TEVQScrollBarPair::setScrollbarButtonIconStyle(bool hor, bool up, const IconStyleDesc& style)
{
    if (TEVQScrollBar* b = bar(hor))
        b->setScrollbarIconStyle(up, style);
}

QString TEVQScrollBarPair::buttonSizeSheet(bool hor, int size)
{
    if (hor) {
        return QStringLiteral("QScrollBar::add-line{ width:%1px;width:%1px; }"
                              "QScrollBar::sub-line{ width:%1px;width:%1px; }")
            .arg(size);
    }
    return QStringLiteral("QScrollBar::add-line:vertical{ height:%1px;width:%1px; }"
                          "QScrollBar::sub-line:vertical{ height:%1px;width:%1px; }")
        .arg(size);
}

// The vertical arrow buttons get the size along the bar as well as across it: given only a width, Qt's style
// sheet stretches each button over the whole track, where it covers the thumb and takes every press on the
// track for a step.
QString TEVQScrollBarPair::thicknessSheet(int size)
{
    return QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%2; } "
                          "QScrollBar::add-line:vertical{ width:%3px;height:%3px; subcontrol-origin: margin;} "
                          "QScrollBar::sub-line:vertical{ width:%3px;height:%3px;subcontrol-origin: margin; }")
        .arg(size)
        .arg(size)
        .arg(size);
}

void TEVQScrollBarPair::setScrollbarBtnSize(bool hor, int size)
{
    if (!m_hasButtonSize)
        return;
    if (TEVQScrollBar* b = bar(hor))
        b->setStyleSheet(buttonSizeSheet(hor, size));
}

void TEVQScrollBarPair::setScrollbarSize(bool /*hor*/, int size)
{
    const QString sheet = thicknessSheet(size);
    for (TEVQScrollBar* b : {m_horizontal, m_vertical}) {
        if (b)
            b->setStyleSheet(sheet);
    }
}

void TEVQScrollBarPair::readScrollBarChildren(const Json::Value& element)
{
    const Json::Value& children = json::get(element, "child");
    const Json::ArrayIndex count = json::size(children);
    for (Json::ArrayIndex i = 0; i < count; ++i) {
        const Json::Value& entry = json::at(children, i);
        const std::optional<std::string> type = json::toString(json::get(entry, "type"));
        if (!type || type->find("scrollbar") == std::string::npos)
            continue;
        const Json::Value& attrs = json::get(entry, "attr");
        const bool hor = json::getBool(attrs, "hor", false);
        TEVQScrollBar* b = bar(hor);
        if (!b)
            continue;
        QString path;
        if (json::read(attrs, "upicon", path))
            setScrollbarButtonIcon(hor, true, path);
        if (json::read(attrs, "downicon", path))
            setScrollbarButtonIcon(hor, false, path);
        if (json::read(attrs, "thumbicon", path))
            setScrollbarThumb(hor, path);
        int size = 0;
        if (json::read(attrs, "size", size))
            setScrollbarBtnSize(hor, clampSize(size));
        setScrollbarSize(hor, clampSize(json::getInt(entry, hor ? "h" : "w", 0)));

        const Json::Value& styles = json::get(entry, "style");
        for (Json::ArrayIndex k = 0; k < json::size(styles); ++k) {
            const Json::Value& item = json::at(styles, k);
            const std::optional<std::string> name = json::toString(json::at(item, 0));
            const std::optional<int> slot = json::toInt(json::at(item, 2));
            if (!name || !slot || *slot < 0 || *slot > 13 || *slot == 1)
                continue;
            FillStyle style;
            if (!TEVStyleEntries::findFillStyle(*name, style))
                continue;
            if (*slot == 0) {
                setScrollbarBackgroundStyle(hor, style);
                continue;
            }
            // 2..5 up button, 6..9 down button, 10..13 thumb; a group's first slot styles every state.
            const int group = (*slot - 2) / 4;
            const int state = (*slot - 2) % 4;
            const CtrlState target = state == 0 ? CtrlState(4) : CtrlState(state);
            if (group < 2)
                setScrollbarButtonStyle(hor, group == 0, target, style);
            else
                setScrollbarThumbStyle(hor, target, style);
        }
    }
}

namespace TEVQtLib {
namespace detail {

std::unique_ptr<ITEVQScrollBarPair> createScrollBarPair(QAbstractScrollArea* host, bool hasButtonSize)
{
    // A pair that is not a base of its host: it owns nothing, the bars are the host's children.
    class HostedPair : public TEVQScrollBarPair
    {
    public:
        HostedPair(QAbstractScrollArea* host, bool hasButtonSize) : TEVQScrollBarPair(hasButtonSize)
        {
            auto* horizontal = new TEVQScrollBar(Qt::Horizontal, host);
            auto* vertical = new TEVQScrollBar(Qt::Vertical, host);
            host->setHorizontalScrollBar(horizontal);
            host->setVerticalScrollBar(vertical);
            setBars(horizontal, vertical);
        }
    };
    if (!host)
        return nullptr;
    return std::make_unique<HostedPair>(host, hasButtonSize);
}

} // namespace detail
} // namespace TEVQtLib
