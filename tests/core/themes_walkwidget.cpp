#include "themes_walkwidget.h"

#include "TEVJson.h"
#include "TEVQResourceManager.h"

using namespace TEVQtLib;

WalkWidgetImpl::WalkWidgetImpl(QWidget* owner) : TEVQWidgetBaseImpl(owner, WalkWidget::typeName()) {}

bool WalkWidgetImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    if (load && json && TEVQResourceManager::getInstance()->isLoadFromThemeRes()) {
        ++themeReads;
        mark = json::getInt(json::get(*json, "attr"), "mark", 0);
        if (onNotify)
            onNotify();
    }
    return result;
}

void WalkWidgetImpl::notifyChangeLanguage()
{
    ++languageChanges;
    if (onNotify)
        onNotify();
}

WalkWidget::WalkWidget(QWidget* parent) : QWidget(parent) { tevSetImpl(new WalkWidgetImpl(this)); }
