#pragma once
// One of the plant drawings, painted in the diagram's own colours rather than the theme's: the array status
// board with a marker per inverter (mode 0), the single-line electrical path (mode 1) or the plant network
// (any other mode). The window hands it every snapshot; it repaints on a language change.
#include "PlantSnapshot.h"
#include "TEVQContainer.h"

class QPainter;
class QRectF;

class SolarPlantDiagramWidget : public TEVQContainer
{
    Q_OBJECT

public:
    SolarPlantDiagramWidget(int mode, QWidget* parent = nullptr);
    ~SolarPlantDiagramWidget() override;

    int mode() const { return m_mode; }
    const PlantSnapshot& snapshot() const { return m_snapshot; }
    void setSnapshot(const PlantSnapshot& snapshot);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintStatusBoard(QPainter& p, const QRectF& r) const;
    void paintSingleLine(QPainter& p, const QRectF& r) const;
    void paintNetwork(QPainter& p, const QRectF& r) const;

    int m_mode = 0;
    PlantSnapshot m_snapshot;
};
