#include "SolarToggleSwitch.h"

#include <QMouseEvent>
#include <QPointer>

SolarToggleSwitch::SolarToggleSwitch(QWidget* parent) : TEVQSwitch(parent)
{
    m_checked = false;
    setObjectName(QStringLiteral("commandSwitch"));
    setThemeName(QStringLiteral("SolarSwitch"));
    setLeftText(QStringLiteral("ON"));
    setRightText(QStringLiteral("OFF"));
    setShowAllText(true);
    setThumbSize(24, 18);
    setMargin(3);
    setSwitchSpeed(180);
    m_checked = true;
    setSwitchToLeft(false);
    update();
}

SolarToggleSwitch::~SolarToggleSwitch() = default;

void SolarToggleSwitch::setChecked(bool checked)
{
    if (checked == m_checked)
        return;
    m_checked = checked;
    // Cuts short a slide towards the other side, lets one towards this side run on.
    setSwitchToLeft(!checked);
    update();
}

void SolarToggleSwitch::mousePressEvent(QMouseEvent* event)
{
    const bool toggles = isEnabled() && event->button() == Qt::LeftButton;
    if (toggles) {
        m_checked = !m_checked;
        const QPointer<SolarToggleSwitch> alive(this);
        emit checkedChanged(m_checked);
        if (!alive)
            return; // a receiver deleted the switch
    }
    TEVQSwitch::mousePressEvent(event);
    // The base handler slides the thumb to the other side on any press, and not again while a slide runs.
    // Holding the thumb to the stored state stops a slide that a right press started, or one that a second
    // quick press has reversed.
    setSwitchToLeft(!m_checked);
    update();
}
