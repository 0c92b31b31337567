#include "TEVQLabelEx.h"

#include "TEVJson.h"
#include "TEVPlainText.h"
#include "TEVQResourceManager.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <utility>

using namespace TEVQtLib;

namespace {
const QColor kHighlight(155, 202, 239, 255);
const TextCursorPos kNoPosition{-1, -1, -1};
} // namespace

bool TextCursorPos::operator<(const TextCursorPos& o) const
{
    if (block != o.block)
        return block < o.block;
    if (line != o.line)
        return line < o.line;
    return column < o.column;
}

// ---- painter -------------------------------------------------------------------------------------------------

TEVQLabelExImpl::TEVQLabelExImpl(TEVQLabelEx* ownerLabel)
    : TEVQLabelBaseImpl(ownerLabel, TEVQLabelEx::typeName()), document(new QTextDocument)
{
}

TEVQLabelExImpl::~TEVQLabelExImpl() { delete document; }

TEVQLabelEx* TEVQLabelExImpl::label() const { return static_cast<TEVQLabelEx*>(owner); }

void TEVQLabelExImpl::repaintNow()
{
    if (owner)
        owner->repaint();
}

QFont TEVQLabelExImpl::defaultFont(const TextStyleDesc& style)
{
    QFont font;
    if (style.pixelSize > 0)
        font.setPixelSize(style.pixelSize);
    const QString global = TEVQResourceManager::getInstance()->getGlobalFontFamily();
    font.setFamily(global.isEmpty() ? style.family : global);
    font.setWeight(style.bold ? 75 : 50);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    return font;
}

void TEVQLabelExImpl::clearSelection()
{
    selectionStart = kNoPosition;
    selectionEnd = kNoPosition;
}

void TEVQLabelExImpl::setContent(const QString& content, bool html)
{
    const QString before = document->toPlainText();
    if (html)
        document->setHtml(content);
    else
        document->setPlainText(content);
    if (document->toPlainText() != before)
        clearSelection();
}

TextCursorPos TEVQLabelExImpl::endPosition()
{
    if (owner)
        document->setPageSize(QSizeF(owner->width() + 20, owner->height() + 10));
    const int blocks = document->blockCount();
    document->documentLayout()->blockBoundingRect(document->begin()); // lays the block out when it was not
    const QTextLayout* layout = document->begin().layout();
    if (!layout || layout->lineCount() == 0)
        return {blocks, -1, -1};
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    return {blocks, layout->lineCount() - 1, cursor.position()};
}

TextCursorPos TEVQLabelExImpl::positionAt(const QPoint& p) const
{
    const QPointF point(p);
    int index = 0;
    QAbstractTextDocumentLayout* documentLayout = document->documentLayout();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next(), ++index) {
        documentLayout->blockBoundingRect(block); // lays the block out when it was not
        const QTextLayout* layout = block.layout();
        if (!layout)
            continue;
        const QPointF origin = layout->position();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            if (line.rect().translated(origin).contains(point))
                return {index, i, line.xToCursor(point.x() - origin.x())};
        }
    }
    return kNoPosition;
}

void TEVQLabelExImpl::setSelection(const TextCursorPos& a, const TextCursorPos& b)
{
    if (b < a) {
        selectionStart = b;
        selectionEnd = a;
    } else {
        selectionStart = a;
        selectionEnd = b;
    }
}

void TEVQLabelExImpl::mousePressEvent(QMouseEvent* event) { selectionStart = positionAt(event->pos()); }

void TEVQLabelExImpl::mouseMoveEvent(QMouseEvent* event)
{
    const TextCursorPos pos = positionAt(event->pos());
    if (pos != selectionEnd) {
        selectionEnd = pos;
        repaintNow();
    }
}

void TEVQLabelExImpl::mouseReleaseEvent(QMouseEvent*)
{
    if (owner)
        owner->setAttribute(Qt::WA_MouseTracking, false);
    repaintNow();
}

void TEVQLabelExImpl::mouseDoubleClickEvent(QMouseEvent*)
{
    selectionStart = beginPosition();
    selectionEnd = endPosition();
    repaintNow();
}

// The highlight runs from the earlier position to the later one, whichever way the mouse went, over every line
// of every block between them. A position whose block lies past the last block is the end of the document;
// line and column indexes beyond their block are held at its last line and its end.
void TEVQLabelExImpl::drawSelection(QPainter* painter)
{
    if (!selectionStart.isValid() || !selectionEnd.isValid())
        return;
    TextCursorPos from = selectionStart;
    TextCursorPos to = selectionEnd;
    if (to < from)
        std::swap(from, to);
    const int blocks = document->blockCount();
    QAbstractTextDocumentLayout* documentLayout = document->documentLayout();
    // Blocks are laid out lazily: up to the last one the selection touches.
    documentLayout->blockBoundingRect(document->findBlockByNumber(qBound(0, to.block, blocks - 1)));
    const QTextLayout* firstLayout = document->begin().layout();
    if (blocks <= 0 || !firstLayout)
        return;
    auto resolve = [&](TextCursorPos pos) {
        QTextBlock block = document->findBlockByNumber(qBound(0, pos.block, blocks - 1));
        const int lines = block.layout() ? block.layout()->lineCount() : 0;
        if (pos.block >= blocks) {
            pos.line = lines - 1;
            pos.column = block.length() - 1;
        }
        pos.block = qBound(0, pos.block, blocks - 1);
        pos.line = qMin(pos.line, lines - 1);
        pos.column = qBound(0, pos.column, qMax(0, block.length() - 1));
        return pos;
    };
    from = resolve(from);
    to = resolve(to);
    // Rectangles sit 5 pixels right of and below the first block's layout, as the text does.
    const QPointF origin = firstLayout->position();
    QTextBlock block = document->findBlockByNumber(from.block);
    for (int b = from.block; b <= to.block && block.isValid(); ++b, block = block.next()) {
        const QTextLayout* layout = block.layout();
        if (!layout)
            continue;
        const QPointF offset = layout->position() - origin + QPointF(5.0, 5.0);
        for (int i = 0; i < layout->lineCount(); ++i) {
            const bool first = b == from.block && i == from.line;
            const bool last = b == to.block && i == to.line;
            if (b == from.block && i < from.line)
                continue;
            if (b == to.block && i > to.line)
                break;
            const QTextLine line = layout->lineAt(i);
            if (!line.isValid())
                continue;
            const int left = first ? int(line.cursorToX(from.column)) : 0;
            const int right = last ? int(line.cursorToX(to.column)) : int(line.horizontalAdvance());
            const QRect r(int(offset.x()) + left, int(line.y() + offset.y()), right - left, int(line.height()));
            painter->fillRect(r, kHighlight);
        }
    }
}

const QPalette& TEVQLabelExImpl::textPalette()
{
    const QPalette base;
    const QColor& color = normalTextStyle.color;
    if (!m_textPaletteMade || m_textPaletteColor != color || m_textPaletteBase != base.cacheKey()) {
        m_textPalette = base;
        m_textPalette.setBrush(QPalette::All, QPalette::Text, QBrush(color));
        m_textPaletteColor = color;
        m_textPaletteBase = base.cacheKey();
        m_textPaletteMade = true;
    }
    return m_textPalette;
}

void TEVQLabelExImpl::draw(QPainter* painter, const QRect& rect)
{
    painter->save();
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    painter->translate(rect.x(), rect.y());
    // Setting the page size lays the document out again: only when it changed.
    const QSizeF page(rect.width(), rect.height());
    if (document->pageSize() != page)
        document->setPageSize(page);
    drawSelection(painter);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = textPalette();
    document->documentLayout()->draw(painter, context);
    painter->restore();
}

bool TEVQLabelExImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    if (!json)
        return result;
    Json::Value& element = *json;
    if (load) {
        QString text;
        if (readStyleAndText(element, text))
            setContent(text, false);
        document->setDefaultFont(defaultFont(normalTextStyle));
        return result;
    }
    writeStyleAndText(element, tevPlainText(*document));
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQLabelEx::TEVQLabelEx(QWidget* parent) : QLabel(parent)
{
    tevSetImpl(new TEVQLabelExImpl(this));
    painter()->document->setPlainText(QStringLiteral("label"));
}

TEVQLabelEx::~TEVQLabelEx() = default;

void TEVQLabelEx::setText(const QString& text) { painter()->setContent(text, false); }

void TEVQLabelEx::setHtmlContent(const QString& html) { painter()->setContent(html, true); }

QString TEVQLabelEx::getHtmlContent() const { return painter()->document->toHtml(); }

void TEVQLabelEx::setColor(const QColor& color) { painter()->normalTextStyle.color = color; }

const QColor& TEVQLabelEx::getColor() const { return painter()->normalTextStyle.color; }

void TEVQLabelEx::setDisableColor(const QColor& color) { painter()->disabledTextStyle.color = color; }

const QColor& TEVQLabelEx::getDisableColor() const { return painter()->disabledTextStyle.color; }

void TEVQLabelEx::setTextStyle(CtrlState state, const TextStyleDesc& style) { painter()->setTextStyle(state, style); }

const TextStyleDesc& TEVQLabelEx::getTextStyle(CtrlState state) const { return painter()->textStyle(state); }

QSize TEVQLabelEx::calcSize(const QString& html, int width) const
{
    QTextDocument doc;
    doc.setDefaultFont(TEVQLabelExImpl::defaultFont(painter()->normalTextStyle));
    doc.setHtml(html);
    doc.setPageSize(QSizeF(width, 1000));
    return QSize(int(doc.idealWidth()), int(doc.size().height()));
}

void TEVQLabelEx::paintEvent(QPaintEvent* event) { tevForwardPaint(event); }

void TEVQLabelEx::resizeEvent(QResizeEvent* event) { QWidget::resizeEvent(event); }

void TEVQLabelEx::mousePressEvent(QMouseEvent* event)
{
    if (textInteractionFlags() != Qt::NoTextInteraction)
        tevForwardMousePress(event);
    else
        event->ignore();
}

void TEVQLabelEx::mouseReleaseEvent(QMouseEvent* event)
{
    if (textInteractionFlags() != Qt::NoTextInteraction)
        tevForwardMouseRelease(event);
    else
        event->ignore();
}

void TEVQLabelEx::mouseMoveEvent(QMouseEvent* event)
{
    if (textInteractionFlags() != Qt::NoTextInteraction)
        tevForwardMouseMove(event);
    else
        event->ignore();
}

void TEVQLabelEx::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (textInteractionFlags() != Qt::NoTextInteraction)
        tevForwardMouseDoubleClick(event);
    else
        event->ignore();
}
