#pragma once
// The ribbon's geometry as plain functions over plain numbers: the widgets gather their sizes, call these and
// place their children with the results. Nothing here touches a widget, so every rule is tested on its own.
#include "TEVGlobal.h"

#include <QRect>
#include <QSize>

#include <vector>

namespace TEVQtLib {
namespace ribbonlayout {

// Top row, tab row and the header they form together (office: stacked, compact: one row).
struct Header
{
    int top = 24;
    int tab = 24;
    int header = 48;
};
TEV_EXPORT Header header(int topRowHeight, int tabRowHeight, bool compact);

// Size hint of a ribbon button of item size 0 (large), 1 (medium) or 2 (small) for its text's advance.
TEV_EXPORT QSize buttonHint(int itemSize, int textWidth);
// Width of a tab for its text's advance: text + 28 within 68..150.
TEV_EXPORT int tabWidth(int textWidth);

// One item of a group: its item size and its hint width.
struct GroupItem
{
    int size = 0;
    int width = 0;
};
// Rows of small and medium items in a group: the bar's rows, never below 2.
inline int groupRows(int barRows) { return barRows < 2 ? 2 : barRows; }
// Hint width of a group: the column walk, never below 80.
TEV_EXPORT int groupHintWidth(const std::vector<GroupItem>& items, int rows);
// Item rectangles inside a group of that height.
TEV_EXPORT std::vector<QRect> groupItems(const std::vector<GroupItem>& items, int rows, int groupHeight);

// The tab row.
struct TabInput
{
    std::vector<int> textWidths;
    int rowWidth = 0;
    int rowHeight = 0;
    bool compact = false;
    int contentLeft = 4;  // compact only
    int contentRight = 0; // compact only
    int offset = 0;       // the bar's scroll offset
};
struct TabResult
{
    std::vector<QRect> tabs;
    std::vector<bool> visible;
    int contentWidth = 0;
    int offset = 0;
    bool overflow = false;
    QRect scrollLeft;
    QRect scrollRight;
    bool leftEnabled = false;
    bool rightEnabled = false;
};
TEV_EXPORT TabResult tabs(const TabInput& in);

// A page's groups.
struct PageResult
{
    std::vector<QRect> groups;
    int contentWidth = 0;
    int offset = 0;
    bool overflow = false;
    QRect scrollLeft;
    QRect scrollRight;
    bool leftEnabled = false;
    bool rightEnabled = false;
};
TEV_EXPORT PageResult page(const std::vector<int>& groupWidths, const std::vector<bool>& expanding, int pageWidth,
                           int pageHeight, int offset);
// The offset after scrolling a page by dx.
TEV_EXPORT int scrolledPageOffset(int contentWidth, int pageWidth, int offset, int dx);

// A gallery's paging buttons and cells.
struct GalleryResult
{
    QRect pageUp;
    QRect pageDown;
    QRect more;
    std::vector<QRect> cells; // one per item; null when the item is out of view
    bool upEnabled = false;
    bool downEnabled = false;
};
TEV_EXPORT GalleryResult gallery(int count, int columns, int rows, int firstVisible, int width, int height);
// firstVisible after one page down (down) or up.
TEV_EXPORT int galleryPaged(int count, int columns, int rows, int firstVisible, bool down);

} // namespace ribbonlayout
} // namespace TEVQtLib
