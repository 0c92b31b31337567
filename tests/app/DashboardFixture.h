#pragma once
// The dashboard as its tests open it: framework and resources ready, dictionary and theme loaded, English, the
// window at 1440x900 on screen and its simulator stopped (the tests drive every refresh themselves).
#include "DashboardStartup.h"
#include "PhotovoltaicPlantWindow.h"
#include "SolarPlantSimulator.h"
#include "TEVQtLib.h"

#include <QtTest>

#include <memory>

inline bool openDashboard(std::unique_ptr<PhotovoltaicPlantWindow>& w, QString* message)
{
    TEVQtLib::init();
    quenlark::initResources();
    if (!quenlark::loadDictionary(QString::fromLatin1(quenlark::kDictionaryPath), message) ||
        !quenlark::loadTheme(quenlark::themeDirectory(), message))
        return false;
    if (!TEVQtLib::tevSetLanguage(QStringLiteral("en-US"))) {
        *message = QStringLiteral("en-US is not in the dictionary");
        return false;
    }
    w.reset(new PhotovoltaicPlantWindow);
    w->simulator()->stop();
    w->resize(1440, 900);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) {
        *message = QStringLiteral("the window was not exposed");
        return false;
    }
    return true;
}
