#pragma once
// The framework's themed multi-line text editor. QTextEdit edits and draws the document; the painter draws a
// per-state background and the placeholder on the viewport before the document, the text takes the colour,
// pixel size and family of a per-state text style, and both scroll bars are framework scroll bars, styled
// through the control or by the scroll-bar child elements of its JSON. The painter is the line edit's with
// its own drawing and JSON; the disabled state is never shown. No theme is applied when it is built.
#include "ITEVQScrollBarPair.h"
#include "TEVQLineEdit.h"

#include <QTextEdit>

#include <memory>

class TEVQTextEdit;

class TEV_EXPORT TEVQTextEditImpl : public TEVQLineEditImpl
{
    Q_OBJECT
public:
    explicit TEVQTextEditImpl(TEVQTextEdit* owner);
    ~TEVQTextEditImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    // The margins as set. A scroll area's contents margins belong to its frame once it is polished (Qt puts
    // the frame widths back), so the margins inset the viewport as viewport margins and are kept here.
    QMargins editMargins;
};

class TEV_EXPORT TEVQTextEdit : public QTextEdit, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQTextEdit, "qttext")
public:
    explicit TEVQTextEdit(QWidget* parent = nullptr);
    ~TEVQTextEdit() override;

    static TEVQtLib::ControlInfo getProps();

    // States 0..3; other values are ignored (getters then give the normal state's). Setting the normal text
    // style applies it at once.
    void setBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackground(TEVQtLib::CtrlState state) const;
    void setTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& getTextStyle(TEVQtLib::CtrlState state) const;
    // The painter's own placeholder (hides QTextEdit's, which is not used); no repaint.
    void setPlaceholderText(const QString& text);
    const QString& getPlaceholderText() const;
    void setPlaceholderTextStyle(const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& getPlaceholderTextStyle() const;
    // The margins around the text (the viewport's), in this argument order.
    void setEditMargin(int top, int bottom, int left, int right);
    void getEditMargin(int& top, int& bottom, int& left, int& right) const;

    // The two framework scroll bars (TEVQScrollBar): in every operation hor true chooses the horizontal bar, false
    // the vertical one; none repaints. The size operations are those of the other scrolling widgets, except that
    // the arrow buttons' size has no effect here.
    void setScrollbarBackgroundStyle(bool hor, const TEVQtLib::FillStyle& style)
    {
        m_bars->setScrollbarBackgroundStyle(hor, style);
    }
    void setScrollbarButtonStyle(bool hor, bool up, TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style)
    {
        m_bars->setScrollbarButtonStyle(hor, up, state, style);
    }
    void setScrollbarThumbStyle(bool hor, TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style)
    {
        m_bars->setScrollbarThumbStyle(hor, state, style);
    }
    void setScrollbarButtonIcon(bool hor, bool up, const QString& path)
    {
        m_bars->setScrollbarButtonIcon(hor, up, path);
    }
    void setScrollbarThumb(bool hor, const QString& path) { m_bars->setScrollbarThumb(hor, path); }
    void setScrollbarButtonIconStyle(bool hor, bool up, const TEVQtLib::IconStyleDesc& style)
    {
        m_bars->setScrollbarButtonIconStyle(hor, up, style);
    }
    void setScrollbarBtnSize(bool hor, int size) { m_bars->setScrollbarBtnSize(hor, size); }
    void setScrollbarSize(bool hor, int size) { m_bars->setScrollbarSize(hor, size); }
    // Null once a caller put another bar in its place (Qt deletes the bar it replaces).
    TEVQScrollBar* horizontalBar() const { return m_bars->horizontalBar(); }
    TEVQScrollBar* verticalBar() const { return m_bars->verticalBar(); }
    // Styles the bars from the scroll-bar entries of element's "child" array.
    void readScrollBarChildren(const Json::Value& element) { m_bars->readScrollBarChildren(element); }

    // Paints background and placeholder on the viewport before the document.
    bool eventFilter(QObject* watched, QEvent* event) override;

    TEVQTextEditImpl* painter() const { return tevImpl<TEVQTextEditImpl>(); }

protected:
    // Lets the painter follow focus and hover once Qt handled them.
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TEVQtLib::ITEVQScrollBarPair> m_bars;
};
