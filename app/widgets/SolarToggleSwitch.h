#pragma once
// The command card's ON/OFF switch. It carries the plant's command state: a user's left press toggles it and
// reports the new state through checkedChanged; the window confirms the state from every snapshot through
// setChecked, which never signals, so a snapshot cannot feed back into the simulator. The thumb always ends on
// the side of the stored state (right when checked), whatever presses, slides and snapshots came in between.
#include "TEVQSwitch.h"

class SolarToggleSwitch : public TEVQSwitch
{
    Q_OBJECT

public:
    explicit SolarToggleSwitch(QWidget* parent = nullptr);
    ~SolarToggleSwitch() override;

    bool isChecked() const { return m_checked; }
    // Silent; nothing at all when the state already agrees.
    void setChecked(bool checked);

signals:
    void checkedChanged(bool checked);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_checked = false;
};
