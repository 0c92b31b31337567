#pragma once
// One inverter of the inverter page: a status pill (icon and status text) over a body with the row's
// timestamp, name, efficiency (value and bar) and six metric rows. The pill, the efficiency value and the bar
// take the look of the row's status.
#include "PlantSnapshot.h"
#include "TEVQContainer.h"
#include "TEVQImage.h"
#include "TEVQLabel.h"
#include "TEVQProgressBar.h"

#include <QPointer>
#include <QVector>

class InverterCard : public TEVQContainer
{
    Q_OBJECT

public:
    static constexpr int kMinimumWidth = 136;

    explicit InverterCard(QWidget* parent = nullptr);
    ~InverterCard() override;

    void setInverter(const InverterRow& row);
    // 0 ok, 1 warning, 2 fault, 3 offline; any other value takes the offline look.
    void applyStatus(int status);
    void retranslate();

    const InverterRow& inverter() const { return m_row; }

    // Each value in fixed notation with the given decimals, joined by "/" without blanks.
    static QString joinValues(const QVector<double>& values, int decimals);

    // For tests.
    TEVQContainer* pill() const { return m_pill; }
    TEVQImage* statusIcon() const { return m_statusIcon; }
    TEVQLabel* statusText() const { return m_statusText; }
    TEVQLabel* timestampLabel() const { return m_timestamp; }
    TEVQLabel* nameLabel() const { return m_name; }
    TEVQLabel* efficiencyCaption() const { return m_efficiencyCaption; }
    TEVQLabel* efficiencyValue() const { return m_efficiencyValue; }
    TEVQProgressBar* efficiencyBar() const { return m_efficiencyBar; }
    TEVQLabel* metricName(int i) const { return m_metricNames.value(i); }
    TEVQLabel* metricValue(int i) const { return m_metricValues.value(i); }

protected:
    // Fits the metric names again when a theme gives them another font.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    TEVQContainer* addMetricRow(TEVQContainer* parent, QPointer<TEVQLabel>& name, QPointer<TEVQLabel>& value);
    void fitMetricNames();

    InverterRow m_row;
    int m_look = -1; // the status look applied last (-1: none yet)
    // Held weakly: a part deleted by another owner is skipped from then on.
    QPointer<TEVQContainer> m_pill;
    QPointer<TEVQImage> m_statusIcon;
    QPointer<TEVQLabel> m_statusText;
    QPointer<TEVQLabel> m_timestamp;
    QPointer<TEVQLabel> m_name;
    QPointer<TEVQLabel> m_efficiencyCaption;
    QPointer<TEVQLabel> m_efficiencyValue;
    QPointer<TEVQProgressBar> m_efficiencyBar;
    QVector<QPointer<TEVQLabel>> m_metricNames;
    QVector<QPointer<TEVQLabel>> m_metricValues;
    QVector<QPointer<TEVQContainer>> m_metricRows;
};
