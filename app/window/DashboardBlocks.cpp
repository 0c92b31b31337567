#include "DashboardBlocks.h"

#include "TEVQContainer.h"
#include "TEVQImage.h"
#include "TEVQLabel.h"
#include "TEVQPushButton.h"
#include "TEVTextCache.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>

namespace quenlark {

using TEVQtLib::DockLayoutType;
using TEVQtLib::ITEVQWidgetBase;
using TEVQtLib::LayoutSizePolicy;

namespace {
ITEVQWidgetBase* iface(QWidget* w) { return dynamic_cast<ITEVQWidgetBase*>(w); }

// Sent to a label after setFittedText gave it a new text; the label's fitter takes it.
const QEvent::Type kFitTextEvent = QEvent::Type(QEvent::registerEventType());

// The fitter of one label, a child of the label that filters its events.
class TextFit : public QObject
{
public:
    explicit TextFit(TEVQLabel* label) : QObject(label), m_label(label) { label->installEventFilter(this); }

    void fit()
    {
        using TEVQtLib::CtrlStateNormal;
        if (m_applying)
            return;
        TEVQtLib::TextStyleDesc style = m_label->getTextStyle(CtrlStateNormal);
        // A size that is not the one fitted here was given by the theme (or a caller): it is the size to keep
        // while the text fits.
        if (m_fitted == 0 || style.pixelSize != m_fitted)
            m_full = style.pixelSize;
        const QString& text = m_label->painter()->text;
        const int room = m_label->contentsRect().width();
        // Most ticks rewrite a value with the text it has: nothing to measure.
        if (text == m_text && room == m_room && m_label->font() == m_font)
            return;
        int size = m_full;
        const int need = room > 0 && !text.isEmpty() ? advance(style, m_full, text) : 0;
        if (need > room) {
            const int smallest = qMax(1, (2 * m_full + 2) / 3);
            size = qBound(smallest, m_full * room / need, m_full);
            while (size > smallest && advance(style, size, text) > room)
                --size;
        }
        if (size != style.pixelSize) {
            m_fitted = size == m_full ? 0 : size;
            style.pixelSize = size;
            // The style brings its own alignment; the label keeps the one it was given.
            const Qt::Alignment alignment = m_label->alignment();
            m_applying = true;
            m_label->setTextStyle(CtrlStateNormal, style);
            m_applying = false;
            m_label->setAlignment(alignment);
        }
        m_text = text;
        m_room = room;
        m_font = m_label->font();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_label) {
            // Before the label's own resize handling, which cuts the text to the width with the style's font.
            if (event->type() == QEvent::Resize || event->type() == kFitTextEvent)
                fit();
            // A theme re-read sets the theme's font: fitted again once it has been applied.
            else if (event->type() == QEvent::FontChange && !m_applying && !m_queued) {
                m_queued = true;
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        m_queued = false;
                        fit();
                    },
                    Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int advance(TEVQtLib::TextStyleDesc style, int pixelSize, const QString& text)
    {
        style.pixelSize = pixelSize;
        return QFontMetrics(m_fonts.font(style)).horizontalAdvance(text);
    }

    TEVQLabel* m_label;
    TEVQtLib::TEVTextCache m_fonts;
    int m_full = 0;   // the size the label's style had before fitting
    int m_fitted = 0; // the size set here, 0 while the label has its full size
    bool m_applying = false;
    bool m_queued = false;
    // What the last fit was made for.
    QString m_text;
    int m_room = -1;
    QFont m_font;
};
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

void fitTextToWidth(TEVQLabel* label)
{
    if (label && !label->findChild<TextFit*>(QString(), Qt::FindDirectChildrenOnly))
        new TextFit(label);
}

void setFittedText(TEVQLabel* label, const QString& text)
{
    if (!label)
        return;
    label->setText(text);
    QEvent fit(kFitTextEvent);
    QCoreApplication::sendEvent(label, &fit);
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
