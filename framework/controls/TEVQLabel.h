#pragma once
// The framework's themed text label. QLabel paints it; the painter object pushes the normal text style into
// the label (font, colour, alignment) and, for a single-line style, elides the full text to the label's width
// on every resize. The full text is kept, so a wider label shows more of it again.
#include "TEVQWidgetMacros.h"
#include "TEVTextCache.h"
#include "TEVStyleDesc.h"

#include <QLabel>
#include <QPalette>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQLabel;

// What the painters of the plain and the rich label share: the normal text style they show, a disabled one, and
// their JSON form.
class TEV_EXPORT TEVQLabelBaseImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    ~TEVQLabelBaseImpl() override;

    // 4 sets both records, 0 the normal one, any other value the disabled one.
    void setTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);
    // The normal record for 0, the disabled one for any other value.
    const TEVQtLib::TextStyleDesc& textStyle(TEVQtLib::CtrlState state) const;

    TEVQtLib::TextStyleDesc normalTextStyle;
    TEVQtLib::TextStyleDesc disabledTextStyle;

protected:
    using TEVQWidgetBaseImpl::TEVQWidgetBaseImpl;
    // The normal style in slot 0 and "attr" "text"; false when element has no text.
    bool readStyleAndText(const Json::Value& element, QString& text);
    // The same; "style" is null without an entry, and the text is written also when empty (left out, it would
    // read back as a new label's "label").
    void writeStyleAndText(Json::Value& element, const QString& text);
};

class TEV_EXPORT TEVQLabelImpl : public TEVQLabelBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQLabelImpl(TEVQLabel* owner);
    ~TEVQLabelImpl() override;

    // Draws the label's current text with the normal style; for components that paint the label themselves.
    void draw(QPainter* painter, const QRect& rect) override;
    void notifyChangeLanguage() override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;
    void createComplete() override;

    // Font, palette and alignment of the label from the normal text style.
    void applyTextStyle();
    // Shows the full text elided to the label's width, as the normal style asks.
    void elide();
    // elide() once the page being built is laid out (at once outside a page build).
    void elideAfterPageLayout();
    // Takes a text that was given to QLabel directly (not through TEVQLabel::setText) as the full text.
    void adoptShownText();
    QFont textFont() const;

    // disabledTextStyle is kept for callers; nothing paints with it.
    QString text;     // the full, unelided text
    QString textKey;  // dictionary key of the text; empty unless set
    QString elidedText; // the last elided form shown
    bool elidePending = false; // a resize during a page build: elided once the page is laid out
    // The font of the normal style and the elided form of the text, kept until the text, the style, the
    // global font family or the width changes.
    mutable TEVQtLib::TEVTextCache textCache;
    TEVQtLib::TEVTextCache drawCache; // the same for draw()

private:
    TEVQLabel* label() const;
    // The font and colour this object last asked for and the label's font and palette as they then became:
    // applying the same style again leaves them.
    QFont requestedFont;
    QColor requestedColor;
    QFont appliedFont;
    QPalette appliedPalette;
    bool styleApplied = false;
};

class TEV_EXPORT TEVQLabel : public QLabel, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQLabel, "qtlabel")
public:
    explicit TEVQLabel(QWidget* parent = nullptr);
    ~TEVQLabel() override;

    static TEVQtLib::ControlInfo getProps();

    // Stores the full text and shows it (hides QLabel::setText).
    void setText(const QString& text);
    void setColor(const QColor& color);
    const QColor& getColor() const;
    // Stored only; nothing is applied or repainted.
    void setDisableColor(const QColor& color);
    const QColor& getDisableColor() const;
    // 4 sets both records, 0 the normal one, any other value the disabled one; the normal style is applied.
    void setTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);
    // The normal record for 0, the disabled one for any other value.
    const TEVQtLib::TextStyleDesc& getTextStyle(TEVQtLib::CtrlState state) const;

    TEVQLabelImpl* painter() const { return tevImpl<TEVQLabelImpl>(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
};
