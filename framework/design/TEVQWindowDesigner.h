#pragma once
// The root widget of a page in the designer. It always covers its parent exactly at the parent's origin, lays
// out its framework children when resized, and carries the page's theme in its JSON ("attr"."theme"): reading a
// page loads that theme into the resource manager, writing a page records the theme that is loaded. It is
// registered with the resource manager for its whole life, so theme changes reach it. The registry makes it
// through the static creator createTEVQWindowDesigner; it is not in the built-in table.
#include "TEVQWidgetMacros.h"

#include <QWidget>

namespace TEVQtLib {

class TEVQWindowDesigner;

class TEV_EXPORT TEVQWindowDesignerImpl : public TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQWindowDesignerImpl(TEVQWindowDesigner* owner);
    ~TEVQWindowDesignerImpl() override;

    bool serializeJsonValue(Json::Value*& json, bool load) override;
};

class TEV_EXPORT TEVQWindowDesigner : public QWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQWindowDesigner, "qtwindow")
public:
    explicit TEVQWindowDesigner(QWidget* parent = nullptr);
    ~TEVQWindowDesigner() override;

    // Follows the parent's resizes (the parent does not receive them); everything else goes on.
    bool eventFilter(QObject* watched, QEvent* event) override;

    TEVQWindowDesignerImpl* painter() const { return tevImpl<TEVQWindowDesignerImpl>(); }

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* m_filteredParent = nullptr;
};

} // namespace TEVQtLib
