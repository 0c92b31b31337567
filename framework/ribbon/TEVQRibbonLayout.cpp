#include "TEVQRibbonLayout.h"

#include <QWidget>
#include <QtGlobal>

namespace TEVQtLib {
namespace ribbonlayout {

namespace {
// Sums of widget sizes stay within what a widget can be.
constexpr qint64 kMaxSize = QWIDGETSIZE_MAX;
int clampSize(qint64 v) { return int(qBound<qint64>(-kMaxSize, v, kMaxSize)); }
} // namespace

Header header(int topRowHeight, int tabRowHeight, bool compact)
{
    Header h;
    h.top = qMax(topRowHeight, 24);
    h.tab = qMax(tabRowHeight, 24);
    h.header = compact ? qMax(h.top, h.tab) : h.top + h.tab;
    return h;
}

QSize buttonHint(int itemSize, int textWidth)
{
    switch (itemSize) {
    case 1:
        return QSize(qMax(textWidth + 34, 74), 30);
    case 2:
        return QSize(qMax(textWidth + 30, 54), 24);
    default:
        return QSize(qMax(textWidth + 20, 64), 68);
    }
}

int tabWidth(int textWidth) { return qBound(68, textWidth + 28, 150); }

int groupHintWidth(const std::vector<GroupItem>& items, int rows)
{
    qint64 w = 8;
    int c = 0, n = 0;
    for (const GroupItem& it : items) {
        if (it.size == 1 || it.size == 2) {
            c = qMax(c, it.width);
            if (++n >= rows) {
                w += c + 4;
                c = 0;
                n = 0;
            }
        } else {
            if (n > 0)
                w += c + 4;
            w += it.width + 4;
            c = 0;
            n = 0;
        }
    }
    if (n > 0)
        w += c + 4;
    return int(qBound<qint64>(80, w, kMaxSize));
}

std::vector<QRect> groupItems(const std::vector<GroupItem>& items, int rows, int groupHeight)
{
    std::vector<QRect> out(items.size());
    const int h = qMax(groupHeight - 27, 0);
    const int r = qMax(h / rows, 20);
    qint64 x = 4;
    int c = 0;
    std::vector<size_t> column;
    auto flush = [&] {
        for (size_t i = 0; i < column.size(); ++i)
            out[column[i]] = QRect(clampSize(x), r * int(i) + 4, c, r - 2);
        if (!column.empty())
            x += c + 4;
        column.clear();
        c = 0;
    };
    for (size_t k = 0; k < items.size(); ++k) {
        const GroupItem& it = items[k];
        if (it.size == 1 || it.size == 2) {
            column.push_back(k);
            c = qMax(c, it.width);
            if (int(column.size()) >= rows)
                flush();
        } else {
            flush();
            out[k] = QRect(clampSize(x), 4, it.width, h);
            x += it.width + 4;
        }
    }
    flush();
    return out;
}

TabResult tabs(const TabInput& in)
{
    TabResult r;
    int left = 4, right = in.rowWidth - 4;
    if (in.compact) {
        left = in.contentLeft;
        right = in.contentRight;
        if (right <= left)
            right = in.rowWidth - 4;
    }
    std::vector<int> widths;
    widths.reserve(in.textWidths.size());
    for (int tw : in.textWidths) {
        widths.push_back(tabWidth(tw));
        r.contentWidth += widths.back() + 2;
    }
    const int available = qMax(right - left, 0);
    r.overflow = r.contentWidth > available;
    r.offset = in.offset;
    if (r.overflow) {
        left += 20;
        right -= 20;
        r.offset = qBound(0, r.offset, qMax(r.contentWidth - (right - left), 0));
    } else {
        r.offset = 0;
    }
    int x = left - r.offset;
    const int h = qMax(in.rowHeight - 2, 0);
    for (int w : widths) {
        r.tabs.emplace_back(x, 1, w, h);
        r.visible.push_back(x + w > left && x < right);
        x += w + 2;
    }
    r.leftEnabled = r.offset > 0;
    r.rightEnabled = r.offset < qMax(r.contentWidth - right + left, 0);
    if (r.overflow) {
        r.scrollLeft = QRect(in.compact ? left - 20 : 0, 0, 20, in.rowHeight);
        r.scrollRight = QRect(in.rowWidth - 20, 0, 20, in.rowHeight);
    }
    return r;
}

PageResult page(const std::vector<int>& groupWidths, const std::vector<bool>& expanding, int pageWidth,
                int pageHeight, int offset)
{
    PageResult r;
    qint64 sum = 4;
    int e = 0;
    for (size_t i = 0; i < groupWidths.size(); ++i) {
        sum += groupWidths[i] + 4;
        if (i < expanding.size() && expanding[i])
            ++e;
    }
    const int content = clampSize(sum + 4);
    r.contentWidth = content;
    r.overflow = content > pageWidth;
    const int view = qMax(pageWidth - (r.overflow ? 40 : 0), 0);
    int extra = 0;
    if (r.overflow) {
        r.offset = qBound(0, offset, qMax(content - view, 0));
    } else {
        r.offset = 0;
        extra = e > 0 ? qMax(pageWidth - content, 0) / e : 0;
    }
    qint64 x = (r.overflow ? 20 : 0) - r.offset + 4;
    const int h = qMax(pageHeight - 8, 0);
    for (size_t i = 0; i < groupWidths.size(); ++i) {
        const int w = clampSize(qint64(groupWidths[i]) + ((i < expanding.size() && expanding[i]) ? extra : 0));
        r.groups.emplace_back(clampSize(x), 4, w, h);
        x += w + 4;
    }
    r.leftEnabled = r.offset > 0;
    r.rightEnabled = r.offset < qMax(content - view, 0);
    if (r.overflow) {
        r.scrollLeft = QRect(0, 0, 20, pageHeight);
        r.scrollRight = QRect(pageWidth - 20, 0, 20, pageHeight);
    }
    return r;
}

int scrolledPageOffset(int contentWidth, int pageWidth, int offset, int dx)
{
    const bool overflow = contentWidth > pageWidth;
    const int view = qMax(pageWidth - (overflow ? 40 : 0), 0);
    return int(qBound<qint64>(0, qint64(offset) + dx, qMax(contentWidth - view, 0)));
}

GalleryResult gallery(int count, int columns, int rows, int firstVisible, int width, int height)
{
    GalleryResult r;
    columns = qMax(columns, 1);
    rows = qMax(rows, 1);
    const int inner = width - 20;
    const int b = qMax(height / 3, 16);
    const int x = inner >= 1 ? inner : 0;
    r.pageUp = QRect(x, 0, 20, b);
    r.pageDown = QRect(x, b, 20, b);
    r.more = QRect(x, 2 * b, 20, height - 2 * b);
    const int cw = qMax(qMax(qMax(inner, 0) - 2, 0) / columns, 1);
    const int ch = qMax(height / rows, 1);
    const qint64 p = qint64(rows) * columns;
    r.cells.resize(size_t(qMax(count, 0)));
    for (int k = 0; k < count; ++k) {
        const qint64 q = qint64(k) - firstVisible;
        if (q >= 0 && q < p)
            r.cells[size_t(k)] = QRect(clampSize((q % columns) * cw), clampSize((q / columns) * ch), cw - 1, ch - 1);
    }
    r.upEnabled = firstVisible >= 1;
    r.downEnabled = qint64(firstVisible) + p < count;
    return r;
}

int galleryPaged(int count, int columns, int rows, int firstVisible, bool down)
{
    const qint64 s = qMax<qint64>(qint64(qMax(rows, 1)) * qMax(columns, 1), 1);
    const qint64 last = qMax<qint64>(count - s, 0);
    const qint64 next = down ? qMin(last, firstVisible + s) : qMin(last, firstVisible - s);
    return int(qMax<qint64>(next, 0));
}

} // namespace ribbonlayout
} // namespace TEVQtLib
