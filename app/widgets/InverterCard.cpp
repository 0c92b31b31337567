#include "InverterCard.h"

#include "DashboardBlocks.h"
#include "DashboardFormat.h"
#include "LanguageManager.h"
#include "TEVQImage.h"
#include "TEVQLabel.h"
#include "TEVQProgressBar.h"
#include "TEVQtLib.h"

#include <QEvent>

using namespace quenlark;

namespace {

const QString kClear = QStringLiteral("SolarClear");
constexpr Qt::Alignment kRightCentred = Qt::AlignRight | Qt::AlignVCenter;

QString dictText(const char* key)
{
    return TEVQtLib::tevText(QString::fromLatin1(key), QString());
}

void put(TEVQLabel* label, const QString& text)
{
    setFittedText(label, text);
}

void align(TEVQLabel* label, Qt::Alignment alignment)
{
    if (label)
        label->setAlignment(alignment);
}

struct StatusLook {
    const char* pill;
    const char* textKey;
    const char* icon;
    const char* bar;
    const char* value;
};

const StatusLook kLooks[4] = {
    {"SolarStatusOk", "solar.status.ok", "check", "SolarProgressOk", "SolarLabelOk"},
    {"SolarStatusWarn", "solar.status.warningUpper", "critical", "SolarProgressWarn", "SolarLabelWarn"},
    {"SolarStatusFault", "solar.status.faultUpper", "x-circle", "SolarProgressFault", "SolarLabelFault"},
    {"SolarStatusOffline", "solar.status.offlineUpper", "x-circle", "SolarProgressOffline", "SolarLabelOffline"},
};

} // namespace

InverterCard::InverterCard(QWidget* parent) : TEVQContainer(parent)
{
    setObjectName(QStringLiteral("inverterCard"));
    setThemeName(QStringLiteral("SolarCard"));
    setChildLayout(AutoChildLayout(1));
    setChildSpace(0);
    setChildPadding(0);
    // Five cards and their four gaps fit the 720 px a 1280-px window leaves beside the command column.
    setMinimumWidth(kMinimumWidth);
    buildUi();
    retranslate();
    connect(TEVQtLib::LanguageManager::instance(), &TEVQtLib::LanguageManager::languageChanged, this,
            [this](const QString&) {
                retranslate();
                applyStatus(m_row.status);
            });
}

InverterCard::~InverterCard() = default;

void InverterCard::buildUi()
{
    m_pill = addContainer(this, QString::fromLatin1(kLooks[0].pill), 0, 0, 5, 8, 0, 8, 0);
    fixHeight(m_pill, 32);
    // The icon sits in a clear box of its width that spans the pill's height, centred on both axes (a fixed
    // size child of a row is placed at the row's top).
    m_statusIcon = addIcon(m_pill, iconPath(QString::fromLatin1(kLooks[0].icon)), 15, 15, QColor(255, 255, 255));
    m_statusText = addLabel(m_pill, QStringLiteral("SolarLabelWhiteCenter"), 1, 32);
    m_statusText->setAlignment(kRightCentred);

    TEVQContainer* body = addContainer(this, kClear, 1, 1, 3, 6, 8, 6, 10);
    m_timestamp = addLabel(body, QStringLiteral("SolarLabelMuted"), 0, 17);
    m_name = addLabel(body, QStringLiteral("SolarLabelMdBold"), 0, 27);
    TEVQContainer* divider = addContainer(body, QStringLiteral("SolarDivider"), 4, 0, 0, 0, 0, 0, 0);
    fixHeight(divider, 1);

    TEVQContainer* efficiencyRow = addContainer(body, kClear, 0, 0, 4, 0, 0, 0, 0);
    fixHeight(efficiencyRow, 22);
    m_efficiencyCaption = addLabel(efficiencyRow, QStringLiteral("SolarLabelXs"), 1, 22);
    m_efficiencyValue = addLabel(efficiencyRow, QString::fromLatin1(kLooks[0].value), 0, 22);
    fixWidth(m_efficiencyValue, 46);
    m_efficiencyValue->setAlignment(kRightCentred);

    m_efficiencyBar = new TEVQProgressBar(body);
    m_efficiencyBar->setObjectName(QStringLiteral("inverterEfficiency"));
    m_efficiencyBar->setThemeName(QString::fromLatin1(kLooks[0].bar));
    m_efficiencyBar->setWidthPolicy(TEVQtLib::LayoutSizePolicy(0));
    m_efficiencyBar->setRange(0, 100);
    m_efficiencyBar->setShowText(false);
    fixHeight(m_efficiencyBar, 6);
    body->addChildWidget(m_efficiencyBar, 0);

    m_metricNames.resize(6);
    m_metricValues.resize(6);
    m_metricRows.resize(6);
    for (int i = 0; i < 6; ++i)
        m_metricRows[i] = addMetricRow(body, m_metricNames[i], m_metricValues[i]);
}

TEVQContainer* InverterCard::addMetricRow(TEVQContainer* parent, QPointer<TEVQLabel>& name,
                                          QPointer<TEVQLabel>& value)
{
    TEVQContainer* row = addContainer(parent, kClear, 0, 1, 4, 0, 0, 0, 0);
    fixHeight(row, 22);
    name = addLabel(row, QStringLiteral("SolarLabelXs"), 5, 22);
    value = addLabel(row, QStringLiteral("SolarLabelSm"), 6, 22);
    // The three-phase values are the card's widest texts, and a narrow card in a wide font has no room for them.
    fitTextToWidth(value);
    value->setAlignment(kRightCentred);
    name->installEventFilter(this);
    return row;
}

bool InverterCard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FontChange && m_metricNames.contains(qobject_cast<TEVQLabel*>(watched)))
        fitMetricNames();
    return TEVQContainer::eventFilter(watched, event);
}

QString InverterCard::joinValues(const QVector<double>& values, int decimals)
{
    QStringList parts;
    parts.reserve(values.size());
    for (double v : values)
        parts.append(fixed(v, decimals));
    return parts.join(QLatin1Char('/'));
}

void InverterCard::setInverter(const InverterRow& r)
{
    m_row = r;
    put(m_timestamp, r.timestamp);
    put(m_name, r.name);
    put(m_efficiencyValue, QStringLiteral("%1%").arg(fixed(r.efficiency, 1)));
    if (m_efficiencyBar)
        m_efficiencyBar->setValue(progressPercent(r.efficiency));
    put(m_metricValues[0], joinValues(r.voltages, 0));
    put(m_metricValues[1], joinValues(r.currents, 1));
    put(m_metricValues[2], QStringLiteral("%1 kW").arg(fixed(r.activePower, 1)));
    put(m_metricValues[3], QStringLiteral("%1 kvar").arg(fixed(r.reactivePower, 1)));
    put(m_metricValues[4], QStringLiteral("%1 Hz").arg(fixed(r.frequency, 2)));
    put(m_metricValues[5], QStringLiteral("%1 kWh").arg(fixed(r.todayEnergy, 1)));
    applyStatus(r.status);
}

void InverterCard::applyStatus(int status)
{
    // A status outside the four known ones would otherwise keep the previous inverter's look.
    const int lookIndex = (status >= 0 && status < 4) ? status : 3;
    const StatusLook& look = kLooks[lookIndex];
    // Given only when the status changes: a card keeps its status for many ticks, and a theme or picture
    // given again would be read and drawn afresh.
    setThemeOnce(m_pill.data(), QString::fromLatin1(look.pill));
    put(m_statusText, dictText(look.textKey));
    const QString icon = iconPath(QString::fromLatin1(look.icon));
    if (m_statusIcon && m_statusIcon->getSvgPath() != icon)
        m_statusIcon->setSvgPath(icon);
    setThemeOnce(m_efficiencyBar.data(), QString::fromLatin1(look.bar));
    setThemeOnce(m_efficiencyValue.data(), QString::fromLatin1(look.value));
    // A label's theme brings its text style's alignment, and a theme change brings it to every label: the
    // values and the status text stay right-aligned.
    align(m_efficiencyValue, kRightCentred);
    align(m_statusText, kRightCentred);
    for (TEVQLabel* value : qAsConst(m_metricValues))
        align(value, kRightCentred);
    // The parts repaint themselves when given something new; the whole card only for another look.
    if (lookIndex != m_look) {
        m_look = lookIndex;
        update();
    }
}

void InverterCard::retranslate()
{
    put(m_efficiencyCaption, dictText("solar.inverter.efficiency"));
    static const char* const names[6] = {"solar.inverter.voltage",  "solar.inverter.current",
                                         "solar.inverter.active",   "solar.inverter.reactive",
                                         "solar.inverter.frequency", "solar.inverter.today"};
    for (int i = 0; i < 6; ++i)
        put(m_metricNames[i], dictText(names[i]));
    fitMetricNames();
}

// A name takes its share of the row but never more than its text needs, so the value beside it gets the rest:
// the three-phase values are the card's widest texts and a narrow card has no room to spare.
void InverterCard::fitMetricNames()
{
    for (int i = 0; i < m_metricNames.size(); ++i) {
        TEVQLabel* name = m_metricNames[i];
        if (!name)
            continue;
        const int need = qMax(name->fontMetrics().horizontalAdvance(name->painter()->text) + 1, 1);
        if (name->maximumWidth() == need)
            continue;
        name->setMaximumWidth(need);
        if (m_metricRows[i])
            m_metricRows[i]->forceResize();
    }
}
