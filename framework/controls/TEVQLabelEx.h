#pragma once
// A label whose content is a QTextDocument (plain text or HTML) painted by the document's own layout, in the
// colour and default font of a text style, with a mouse selection painted as highlight rectangles under the
// text. The painter's text positions, hit test and selection are also used by the list view's item delegate.
//
// The class declares no meta-object of its own: its meta-object is QLabel's, so it has no jsonData property
// and does not answer the interface in a meta-cast; tevWidgetInterface reaches it by a cast of the object.
#include "TEVQLabel.h" // TEVQLabelBaseImpl
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"

#include <QLabel>
#include <QPalette>
#include <QSize>

class QTextDocument;
class TEVQLabelEx;

// A place in the text: block (from 0), line within the block's layout (from 0), and the cursor position the
// text layout reports (within the block). {-1, -1, -1} means none.
struct TEV_EXPORT TextCursorPos {
    int block = -1;
    int line = -1;
    int column = -1;

    bool isValid() const { return block != -1 && line != -1 && column != -1; }
    bool operator==(const TextCursorPos& o) const { return block == o.block && line == o.line && column == o.column; }
    bool operator!=(const TextCursorPos& o) const { return !(*this == o); }
    // Document order: block, then line, then column.
    bool operator<(const TextCursorPos& o) const;
};

class TEV_EXPORT TEVQLabelExImpl : public TEVQLabelBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQLabelExImpl(TEVQLabelEx* owner);
    ~TEVQLabelExImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override; // selects all

    void clearSelection();
    // Replaces the document's content (HTML or plain text). A selection goes with a text that changed: it
    // would highlight characters nobody chose in the new one. The same text set again keeps it.
    void setContent(const QString& content, bool html);
    TextCursorPos beginPosition() const { return {0, 0, 0}; }
    // {number of blocks, last line of the first block, end position of the document}. A block component past
    // the last block stands for the end of the document wherever a selection is drawn.
    TextCursorPos endPosition();
    // The line under p (document coordinates) and the cursor position in it, or {-1, -1, -1}.
    TextCursorPos positionAt(const QPoint& p) const;
    // Stores the pair in document order; no repaint.
    void setSelection(const TextCursorPos& a, const TextCursorPos& b);

    // The default font of a text style: its pixel size, the global family when set (else its own), weight 75
    // when bold, italic and underline.
    static QFont defaultFont(const TEVQtLib::TextStyleDesc& style);

    // disabledTextStyle is stored and returned only.
    TextCursorPos selectionStart;
    TextCursorPos selectionEnd;
    QTextDocument* document; // owned

private:
    TEVQLabelEx* label() const;
    void repaintNow();
    void drawSelection(QPainter* painter);
    // The palette the document is drawn with: the application's, with the normal style's colour as the text
    // colour; made again only when either changes.
    const QPalette& textPalette();

    QPalette m_textPalette;
    QColor m_textPaletteColor;
    qint64 m_textPaletteBase = 0;
    bool m_textPaletteMade = false;
};

class TEV_EXPORT TEVQLabelEx : public QLabel, public TEVQtLib::ITEVQWidgetBase
{
    TEV_WIDGET_CORE_NO_META(TEVQLabelEx, "qtlabelex")
public:
    explicit TEVQLabelEx(QWidget* parent = nullptr);
    ~TEVQLabelEx() override;

    // The document's plain text or HTML; neither repaints.
    void setText(const QString& text);
    void setHtmlContent(const QString& html);
    QString getHtmlContent() const;
    // The colour of the normal text style, used at the next paint.
    void setColor(const QColor& color);
    const QColor& getColor() const;
    void setDisableColor(const QColor& color);
    const QColor& getDisableColor() const;
    // 4 sets both records, 0 the normal one, any other value the disabled one; nothing is applied.
    void setTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& getTextStyle(TEVQtLib::CtrlState state) const;
    // The size html takes laid out at width in the normal style's default font: (ideal width, height).
    QSize calcSize(const QString& html, int width) const;

    TEVQLabelExImpl* painter() const { return tevImpl<TEVQLabelExImpl>(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Forwarded to the painter unless text interaction is off; QLabel's handlers never run.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
