#include "DashboardBlocks.h"

#include "TEVQContainer.h"
#include "TEVQImage.h"
#include "TEVQLabel.h"
#include "TEVQPushButton.h"

namespace quenlark {

using TEVQtLib::DockLayoutType;
using TEVQtLib::ITEVQWidgetBase;
using TEVQtLib::LayoutSizePolicy;

namespace {
ITEVQWidgetBase* iface(QWidget* w) { return dynamic_cast<ITEVQWidgetBase*>(w); }
} // namespace

QString iconPath(const QString& name)
{
    return QStringLiteral(":/quenlark/icons/") + name + QStringLiteral(".svg");
}

void fixWidth(QWidget* w, int width)
{
    w->setMinimumWidth(width);
    w->setMaximumWidth(width);
    if (ITEVQWidgetBase* b = iface(w))
        b->setWidthPolicy(LayoutSizePolicy(1));
}

void fixHeight(QWidget* w, int height)
{
    w->setMinimumHeight(height);
    w->setMaximumHeight(height);
    if (ITEVQWidgetBase* b = iface(w))
        b->setHeightPolicy(LayoutSizePolicy(1));
}

TEVQContainer* addContainer(TEVQContainer* parent, const QString& theme, int childLayout, int ratio, int spacing,
                            int padLeft, int padTop, int padRight, int padBottom)
{
    auto* c = new TEVQContainer(parent);
    c->setThemeName(theme);
    c->setGeometry(0, 0, parent->width(), parent->height());
    c->setWidthPolicy(LayoutSizePolicy(0));
    c->setHeightPolicy(LayoutSizePolicy(0));
    c->setChildLayout(TEVQContainer::AutoChildLayout(childLayout));
    c->setChildSpace(spacing);
    c->setChildPadding(padLeft, padTop, padRight, padBottom);
    parent->addChildWidget(c, ratio);
    return c;
}

TEVQLabel* addLabel(TEVQContainer* parent, const QString& theme, int ratio, int height)
{
    auto* l = new TEVQLabel(parent);
    l->setThemeName(theme);
    l->setWidthPolicy(LayoutSizePolicy(0));
    l->setHeightPolicy(LayoutSizePolicy(0));
    if (height > 0)
        fixHeight(l, height);
    parent->addChildWidget(l, ratio);
    return l;
}

TEVQPushButton* addButton(TEVQContainer* parent, const QString& theme, const QString& text, int width, int height,
                          const QString& icon)
{
    auto* b = new TEVQPushButton(parent);
    b->setThemeName(theme);
    b->setText(text);
    b->setFadeEnabled(false);
    if (!icon.isEmpty()) {
        b->setIcon(icon);
        b->setUseIcon(true);
        b->setShowText(!text.isEmpty());
    }
    if (width > 0)
        fixWidth(b, width);
    if (height > 0)
        fixHeight(b, height);
    parent->addChildWidget(b, width < 1 ? 1 : 0);
    return b;
}

void setButtonText(TEVQPushButton* button, const QString& text)
{
    if (!button || button->text() == text)
        return;
    button->setText(text);
    if (button->getUseIcon() && button->getShowText() && !button->getIcon().isEmpty())
        button->setIcon(button->getIcon());
}

TEVQPushButton* addBoxedButton(TEVQContainer* parent, const QString& theme, const QString& text, int width,
                               int height, const QString& icon)
{
    TEVQContainer* box = addContainer(parent, QStringLiteral("SolarClear"), 0, 0, 0, 0, 0, 0, 0);
    fixWidth(box, width);
    TEVQPushButton* b = addButton(box, theme, text, width, height, icon);
    b->setAbsoluteLayout(true);
    b->setAbsoluteDock(DockLayoutType(1), DockLayoutType(1), 0, 0);
    return b;
}

TEVQImage* addIcon(TEVQContainer* parent, const QString& svgPath, int width, int height, const QColor& colour)
{
    TEVQContainer* box = addContainer(parent, QStringLiteral("SolarClear"), 0, 0, 0, 0, 0, 0, 0);
    fixWidth(box, width);
    auto* img = new TEVQImage(box);
    img->setSvgPath(svgPath);
    img->setStretchDraw(true);
    img->setAlignType(DockLayoutType(1), DockLayoutType(1));
    if (colour.isValid()) {
        img->setSvgColor(colour);
        img->setUseSvgColor(true);
    }
    fixWidth(img, width);
    fixHeight(img, height);
    box->addChildWidget(img, 0);
    img->setAbsoluteLayout(true);
    img->setAbsoluteDock(DockLayoutType(1), DockLayoutType(1), 0, 0);
    return img;
}

} // namespace quenlark
