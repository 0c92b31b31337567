// The inverter page: the command column (output switch, group and skid choice, two power figures) and the
// inverter area (five inverter cards and their pager), and the card refresh under the alarm filter.
#include "PhotovoltaicPlantWindow.h"

#include "DashboardBlocks.h"
#include "InverterCard.h"
#include "SolarPlantSimulator.h"
#include "SolarToggleSwitch.h"
#include "TEVQComboBox.h"
#include "TEVQContainer.h"
#include "TEVQLabel.h"
#include "TEVQPushButton.h"
#include "TEVQRadioButton.h"
#include "TEVQtLib.h"

#include <QButtonGroup>

using namespace quenlark;

namespace {
const QString kClear = QStringLiteral("SolarClear");
constexpr int kCardsPerPage = 5;

int pageCount(int n)
{
    return qMax((n + kCardsPerPage - 1) / kCardsPerPage, 1);
}
} // namespace

void PhotovoltaicPlantWindow::buildInverterPage()
{
    TEVQContainer* page = createPage(QStringLiteral("inverterPage"));
    m_inverterPageTitle = addTextLabel(page, QStringLiteral("SolarLabelTitle"), 0, 34,
                                       QStringLiteral("solar.nav.inverters"), QString());
    TEVQContainer* workspace = addContainer(page, kClear, 0, 1, 8, 0, 0, 0, 0);
    workspace->setObjectName(QStringLiteral("inverterWorkspace"));
    buildCommandColumn(workspace);
    buildInverterArea(workspace);
}

void PhotovoltaicPlantWindow::buildCommandColumn(TEVQContainer* workspace)
{
    TEVQContainer* column = addContainer(workspace, kClear, 1, 0, 8, 0, 0, 0, 0);
    column->setObjectName(QStringLiteral("commandColumn"));
    fixWidth(column, 260);

    TEVQContainer* card = addContainer(column, QStringLiteral("SolarCard"), 1, 0, 4, 12, 8, 12, 8);
    card->setObjectName(QStringLiteral("commandCard"));
    fixHeight(card, 278);
    m_commandTitle = addLabel(card, QStringLiteral("SolarLabelSmBold"), 0, 28);

    TEVQContainer* switchRow = addContainer(card, kClear, 0, 0, 8, 0, 0, 0, 0);
    fixHeight(switchRow, 32);
    m_commandSwitch = new SolarToggleSwitch(switchRow);
    fixWidth(m_commandSwitch, 80);
    fixHeight(m_commandSwitch, 24);
    switchRow->addChildWidget(m_commandSwitch, 0);
    m_commandState = addLabel(switchRow, QStringLiteral("SolarLabelSmBold"), 1, 32);

    TEVQContainer* divider = addContainer(card, QStringLiteral("SolarDivider"), 4, 0, 0, 0, 0, 0, 0);
    fixHeight(divider, 1);
    m_commandSelection = addLabel(card, QStringLiteral("SolarLabelSmBold"), 0, 26);

    m_groupButtons = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        auto* radio = new TEVQRadioButton(card);
        radio->setObjectName(QStringLiteral("groupRadio%1").arg(i));
        radio->setThemeName(QStringLiteral("SolarRadio"));
        radio->setWidthPolicy(TEVQtLib::LayoutSizePolicy(0));
        fixHeight(radio, 27);
        radio->setChecked(i == 0);
        card->addChildWidget(radio, 0);
        m_groupButtons->addButton(radio, i);
        m_groupRadios.append(radio);
    }

    TEVQContainer* skidRow = addContainer(card, QStringLiteral("SolarMetricLead"), 0, 0, 6, 10, 5, 8, 5);
    fixHeight(skidRow, 40);
    TEVQLabel* skidLabel = addLabel(skidRow, QStringLiteral("SolarLabelWhite"), 0, 30);
    skidLabel->setObjectName(QStringLiteral("skidLabel"));
    fixWidth(skidLabel, 46);
    m_skidCombo = new TEVQComboBox(skidRow);
    m_skidCombo->setObjectName(QStringLiteral("skidCombo"));
    m_skidCombo->setThemeName(QStringLiteral("SolarCombo"));
    m_skidCombo->setNormalBtnIcon(iconPath(QStringLiteral("chevron-down")));
    m_skidCombo->setHotBtnIcon(iconPath(QStringLiteral("chevron-down")));
    m_skidCombo->setWidthPolicy(TEVQtLib::LayoutSizePolicy(0));
    fixHeight(m_skidCombo, 30);
    skidRow->addChildWidget(m_skidCombo, 1);

    TEVQContainer* stats = addContainer(column, kClear, 0, 0, 8, 0, 0, 0, 0);
    fixHeight(stats, 92);
    addSmallStat(stats, m_activePowerCaption, m_activePowerValue);
    addSmallStat(stats, m_reactivePowerCaption, m_reactivePowerValue);

    connect(m_commandSwitch, &SolarToggleSwitch::checkedChanged, m_simulator, &SolarPlantSimulator::setCommandEnabled);
    connect(m_groupButtons, &QButtonGroup::idClicked, m_simulator, &SolarPlantSimulator::setGroupIndex);
    connect(m_skidCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), m_simulator,
            &SolarPlantSimulator::setSkidIndex);
}

void PhotovoltaicPlantWindow::addSmallStat(TEVQContainer* parent, QPointer<TEVQLabel>& captionOut,
                                           QPointer<TEVQLabel>& valueOut)
{
    TEVQContainer* card = addContainer(parent, QStringLiteral("SolarCard"), 1, 1, 1, 6, 8, 6, 8);
    captionOut = addLabel(card, QStringLiteral("SolarLabelXs"), 0, 20);
    valueOut = addLabel(card, QStringLiteral("SolarLabelMetric"), 1, 34);
    fitTextToWidth(valueOut);
    alignLabel(valueOut, Qt::AlignCenter);
}

void PhotovoltaicPlantWindow::buildInverterArea(TEVQContainer* workspace)
{
    TEVQContainer* area = addContainer(workspace, kClear, 1, 1, 6, 0, 0, 0, 0);
    area->setObjectName(QStringLiteral("inverterArea"));

    TEVQContainer* bar = addContainer(area, QStringLiteral("SolarCard"), 0, 0, 6, 12, 0, 12, 0);
    fixHeight(bar, 30);
    m_cardSummary = addLabel(bar, QStringLiteral("SolarLabelSmBold"), 1, 30);
    m_cardSummary->setObjectName(QStringLiteral("inverterRange"));

    m_inverterCardRow = addContainer(area, kClear, 0, 1, 8, 0, 0, 0, 0);
    m_inverterCardRow->setObjectName(QStringLiteral("inverterCardRow"));
    for (int i = 0; i < kCardsPerPage; ++i) {
        auto* card = new InverterCard(m_inverterCardRow);
        card->setObjectName(QStringLiteral("inverterCard%1").arg(i));
        card->setWidthPolicy(TEVQtLib::LayoutSizePolicy(0));
        card->setHeightPolicy(TEVQtLib::LayoutSizePolicy(0));
        m_inverterCardRow->addChildWidget(card, 1);
        m_inverterCards.append(card);
    }

    TEVQContainer* pager = addContainer(area, kClear, 0, 0, 8, 0, 0, 0, 0);
    fixHeight(pager, 38);
    addContainer(pager, kClear, 0, 1, 0, 0, 0, 0, 0);
    auto addPageButton = [pager](const char* icon, const char* name) {
        auto* b = new TEVQPushButton(pager);
        b->setThemeName(QStringLiteral("SolarIconButton"));
        b->setText(QString());
        b->setFadeEnabled(false);
        b->setIcon(iconPath(QString::fromLatin1(icon)));
        b->setUseIcon(true);
        b->setShowText(false);
        fixWidth(b, 30);
        fixHeight(b, 30);
        pager->addChildWidget(b, 0);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    m_previousPageButton = addPageButton("chevron-left", "previousPageButton");
    for (int i = 0; i < 2; ++i) {
        TEVQContainer* dot = addContainer(pager, i == 0 ? QStringLiteral("SolarStatusOk")
                                                        : QStringLiteral("SolarStatusOffline"),
                                          4, 0, 0, 0, 0, 0, 0);
        fixWidth(dot, 8);
        fixHeight(dot, 8);
        m_pageDots.append(dot);
    }
    m_nextPageButton = addPageButton("chevron-right", "nextPageButton");
    addContainer(pager, kClear, 0, 1, 0, 0, 0, 0, 0);

    connect(m_previousPageButton, &QAbstractButton::clicked, this, &PhotovoltaicPlantWindow::showPreviousPage);
    connect(m_nextPageButton, &QAbstractButton::clicked, this, &PhotovoltaicPlantWindow::showNextPage);
}

void PhotovoltaicPlantWindow::refreshInverterCards()
{
    const QVector<int> indexes = filteredInverterIndexes(m_snapshot);
    const int n = indexes.size();
    const int pages = pageCount(n);
    m_cardPage = qMax(qMin(m_cardPage, pages - 1), 0);
    const int start = kCardsPerPage * m_cardPage;

    for (int k = 0; k < m_inverterCards.size(); ++k) {
        InverterCard* card = m_inverterCards[k];
        if (!card)
            continue;
        if (start + k < n) {
            card->setInverter(m_snapshot.inverters[indexes[start + k]]);
            card->show();
        } else {
            card->hide();
        }
    }
    if (m_cardSummary) {
        m_cardSummary->setText(TEVQtLib::tevText(QStringLiteral("solar.summary.page"), QString())
                                   .arg(n == 0 ? 0 : start + 1)
                                   .arg(qMin(start + kCardsPerPage, n))
                                   .arg(n));
    }
    updatePager(pages);
    refreshCharts(m_snapshot);
    if (m_inverterCardRow)
        m_inverterCardRow->forceResize();
}

void PhotovoltaicPlantWindow::updatePager(int pages)
{
    if (m_previousPageButton)
        m_previousPageButton->setEnabled(m_cardPage >= 1);
    if (m_nextPageButton)
        m_nextPageButton->setEnabled(m_cardPage + 1 < pages);
    for (int i = 0; i < m_pageDots.size(); ++i) {
        TEVQContainer* dot = m_pageDots[i];
        if (!dot)
            continue;
        dot->setVisible(i < pages);
        setThemeOnce(dot, i == m_cardPage ? QStringLiteral("SolarStatusOk") : QStringLiteral("SolarStatusOffline"));
    }
}
