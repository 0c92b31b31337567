// The window's construction, view state, slots and layout pass.
#include "PhotovoltaicPlantWindow.h"

#include "DashboardBlocks.h"
#include "LanguageManager.h"
#include "SolarPlantSimulator.h"
#include "TEVQContainer.h"
#include "TEVQImage.h"
#include "TEVQLabel.h"
#include "TEVQPushButton.h"
#include "TEVQtLib.h"

#include <QEvent>
#include <QTimer>

using namespace quenlark;
using TEVQtLib::DockLayoutType;

namespace {
const QColor kNavActiveIcon(255, 255, 255, 255);
const QColor kNavIdleIcon(117, 130, 137, 255);
constexpr int kDrawerWidth = 440;
constexpr int kDrawerAnimationMs = 220;
} // namespace

PhotovoltaicPlantWindow::PhotovoltaicPlantWindow(QWidget* parent) : TEVQtLib::TEVQWindow(parent)
{
    m_simulator = new SolarPlantSimulator(this);

    setObjectName(QStringLiteral("photovoltaicPlantWindow"));
    setWindowTitle(TEVQtLib::tevText(QStringLiteral("solar.window.title"), QString()));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    setMinSize(1280, 720);
    resize(1440, 900);
    setResizeable(true);
    setCanDrag(true);
    setOnlyDragCaption(true);
    setCaptionHeight(78);

    buildUi();

    connect(m_simulator, &SolarPlantSimulator::snapshotChanged, this, &PhotovoltaicPlantWindow::refreshSnapshot);
    connect(m_simulator, &SolarPlantSimulator::chartHistoryChanged, this, &PhotovoltaicPlantWindow::refreshCharts);
    connect(TEVQtLib::LanguageManager::instance(), &TEVQtLib::LanguageManager::languageChanged, this,
            [this](const QString&) { retranslate(); });

    m_snapshot = m_simulator->snapshot();
    refreshSnapshot(m_snapshot);
    refreshCharts(m_snapshot);
    retranslate();

    m_simulator->start(1000);

    QTimer::singleShot(0, this, [this]() {
        updateLayout();
        centerWindow();
    });
}

PhotovoltaicPlantWindow::~PhotovoltaicPlantWindow()
{
    if (m_simulator)
        m_simulator->stop();
}

void PhotovoltaicPlantWindow::setCurrentSection(int section)
{
    if (section < 0 || section >= m_pages.size())
        return;
    m_currentSection = section;
    if (section == 2) {
        m_alarmFilter = -1;
        m_cardPage = 0;
        updateAlarmRows();
        refreshInverterCards();
    }
    updateNavigation();
    updatePageVisibility();
}

void PhotovoltaicPlantWindow::setAlarmFilter(int filter)
{
    if (filter == m_alarmFilter && filter >= 0)
        m_alarmFilter = -1;
    else
        m_alarmFilter = filter;
    m_cardPage = 0;
    updateAlarmRows();
    refreshInverterCards();
}

void PhotovoltaicPlantWindow::showNextPage()
{
    const int n = filteredInverterIndexes(m_snapshot).size();
    const int pages = qMax((n + 4) / 5, 1);
    if (m_cardPage + 1 < pages) {
        ++m_cardPage;
        refreshInverterCards();
    }
}

void PhotovoltaicPlantWindow::showPreviousPage()
{
    if (m_cardPage >= 1) {
        --m_cardPage;
        refreshInverterCards();
    }
}

void PhotovoltaicPlantWindow::toggleMaximized()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void PhotovoltaicPlantWindow::setTrendDrawerExpanded(bool expanded)
{
    if (expanded == m_drawerExpanded || !m_trendDrawer)
        return;
    m_drawerExpanded = expanded;
    if (expanded && m_trendDrawerBody)
        m_trendDrawerBody->show();
    if (m_trendDrawerButton)
        m_trendDrawerButton->setIcon(iconPath(expanded ? QStringLiteral("chevron-right") : QStringLiteral("chevron-left")));
    animateDrawer();
    m_trendDrawer->raise();
    if (m_trendDrawerButton)
        m_trendDrawerButton->raise();
}

// Slides the drawer towards the width of the current state. The container refuses a new slide while one
// runs, so a change of mind during a slide is carried out once that slide has ended: the drawer always ends
// at the state the window holds. A closed drawer hides its body once its slide has ended (looked at again
// until then, so a slow machine that ends the slide late still hides it).
void PhotovoltaicPlantWindow::animateDrawer()
{
    auto again = [this]() {
        if (m_drawerAnimationPending)
            return;
        m_drawerAnimationPending = true;
        QTimer::singleShot(20, this, [this]() {
            m_drawerAnimationPending = false;
            animateDrawer();
        });
    };
    if (!m_trendDrawer)
        return;
    if (m_trendDrawer->isResizeAnimationRunning()) {
        again();
        return;
    }
    const int h = m_trendDrawer->height();
    const int target = m_drawerExpanded ? kDrawerWidth : 0;
    if (m_trendDrawer->width() != target) {
        m_trendDrawer->startResizeAnimation(QSize(m_trendDrawer->width(), h), QSize(target, h), kDrawerAnimationMs);
        if (!m_drawerExpanded)
            again();
        return;
    }
    if (!m_drawerExpanded && m_trendDrawerBody)
        m_trendDrawerBody->hide();
}

void PhotovoltaicPlantWindow::resizeEvent(QResizeEvent* event)
{
    TEVQWindow::resizeEvent(event);
    updateLayout();
}

bool PhotovoltaicPlantWindow::eventFilter(QObject* watched, QEvent* event)
{
    const bool placed = event->type() == QEvent::Move || event->type() == QEvent::Resize;
    if (placed && watched == m_trendDrawer && m_trendDrawer) {
        positionDrawerButton();
        // The handle slides away from a pointer resting on it, the drawer under it.
        refreshHoverLater();
    }
    // A navigation hit target covers its whole row, padding included, so a click anywhere on the row switches.
    if (placed) {
        auto* hit = qobject_cast<TEVQPushButton*>(watched);
        QWidget* row = hit && m_navHitTargets.contains(hit) ? hit->parentWidget() : nullptr;
        if (row && hit->geometry() != row->rect())
            static_cast<TEVQtLib::ITEVQWidgetBase*>(hit)->setGeometry(0, 0, row->width(), row->height());
    }
    return TEVQWindow::eventFilter(watched, event);
}

void PhotovoltaicPlantWindow::updateLayout()
{
    if (!m_root)
        return;
    m_root->setGeometry(rect());
    m_root->forceResize();

    if (m_alarmPanel && m_sidebar) {
        m_alarmPanel->setGeometry(16, qMax(16, m_sidebar->height() - 190), qMax(0, m_sidebar->width() - 32), 132);
        m_alarmPanel->forceResize();
        m_alarmPanel->raise();
    }
    if (m_pageHost) {
        for (TEVQContainer* page : qAsConst(m_pages)) {
            if (page)
                page->setGeometry(m_pageHost->rect());
        }
        updatePageVisibility();
    }
    if (m_trendDrawer && m_content) {
        const int d = qMax(m_content->height() - 34, 420);
        m_trendDrawer->setMinimumHeight(d);
        m_trendDrawer->setMaximumHeight(d);
        m_trendDrawer->resize(m_drawerExpanded ? kDrawerWidth : 0, d);
        m_trendDrawer->resizeWidget();
        m_trendDrawer->raise();
        positionDrawerButton();
    }
}

void PhotovoltaicPlantWindow::positionDrawerButton()
{
    if (!m_content || !m_trendDrawer || !m_trendDrawerButton)
        return;
    m_trendDrawerButton->setAbsoluteDock(TEVQtLib::DockLayoutFar, TEVQtLib::DockLayoutCenter,
                                         44 - m_trendDrawer->width(), 0);
    m_trendDrawerButton->resizeWidget();
    m_trendDrawerButton->raise();
}

void PhotovoltaicPlantWindow::updatePageVisibility()
{
    if (!m_pageHost)
        return;
    for (int i = 0; i < m_pages.size(); ++i) {
        TEVQContainer* page = m_pages[i];
        if (!page)
            continue;
        const bool current = i == m_currentSection;
        page->setVisible(current);
        if (current) {
            page->setGeometry(m_pageHost->rect());
            page->forceResize();
            page->raise();
        }
    }
}

void PhotovoltaicPlantWindow::updateNavigation()
{
    for (int i = 0; i < m_navEntries.size(); ++i) {
        NavEntry& e = m_navEntries[i];
        e.active = i == m_currentSection;
        if (e.row)
            e.row->setThemeName(e.active ? QStringLiteral("SolarNavActive") : QStringLiteral("SolarClear"));
        if (e.label)
            e.label->setThemeName(e.active ? QStringLiteral("SolarLabelWhite") : QStringLiteral("SolarLabelDisabled"));
        if (e.icon) {
            e.icon->setSvgColor(e.active ? kNavActiveIcon : kNavIdleIcon);
            e.icon->setUseSvgColor(true);
        }
    }
}

void PhotovoltaicPlantWindow::updateAlarmRows()
{
    for (const AlarmRow& r : m_alarmRows) {
        if (r.row)
            r.row->setThemeName(r.index == m_alarmFilter ? QStringLiteral("SolarNavHover") : QStringLiteral("SolarClear"));
    }
}

QVector<int> PhotovoltaicPlantWindow::filteredInverterIndexes(const PlantSnapshot& snapshot) const
{
    QVector<int> out;
    for (int i = 0; i < snapshot.inverters.size(); ++i) {
        const int status = snapshot.inverters[i].status;
        if (m_alarmFilter < 0 || (m_alarmFilter == 0 && status == 3) || (m_alarmFilter == 1 && status == 1) ||
            (m_alarmFilter == 2 && status == 2))
            out.append(i);
    }
    return out;
}
