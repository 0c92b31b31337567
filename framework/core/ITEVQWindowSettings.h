#pragma once
// The settings a page file gives the window that hosts it (the frameless window and the sub-window). The page
// loader reaches them through this interface (dynamic_cast from the host widget), so core needs no window
// header.
#include "TEVGlobal.h"

namespace TEVQtLib {

class TEV_EXPORT ITEVQWindowSettings
{
public:
    virtual void setCanDrag(bool on) = 0;
    virtual void setResizeable(bool on) = 0;
    virtual void setMinWidth(int width) = 0;
    virtual void setMinHeight(int height) = 0;
    virtual void setOnlyDragCaption(bool on) = 0;
    // true: frameless with a translucent background.
    virtual void setTransparent(bool on) = 0;

protected:
    ~ITEVQWindowSettings() = default;
};

} // namespace TEVQtLib
