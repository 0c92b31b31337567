#pragma once
// One of the plant drawings, painted in the diagram's own colours rather than the theme's: the array status
// board with a marker per inverter (mode 0), the single-line electrical path (mode 1) or the plant network
// (any other mode). The window hands it every snapshot; it repaints on a language change.
// What changes only with the size and the language (the drawing's frame, boxes and captions) is drawn once into
// a picture kept between paints; a paint lays the snapshot's values over it.
#include "PlantSnapshot.h"
#include "TEVQContainer.h"

#include <QFont>
#include <QPixmap>
#include <QStaticText>

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
    // The parts that do not change with the snapshot (layer) or only those that do (!layer).
    void paintStatusBoard(QPainter& p, const QRectF& r, bool layer) const;
    void paintSingleLine(QPainter& p, const QRectF& r, bool layer) const;
    void paintNetwork(QPainter& p, const QRectF& r) const;
    // The number of marker i (0 to 9), centred in r in white and the bold font.
    void markerNumber(QPainter& p, const QRectF& r, int i) const;
    void caption(QPainter& p, const QRectF& r, const QString& s, const QColor& colour, bool bold,
                 int flags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap) const;

    int m_mode = 0;
    PlantSnapshot m_snapshot;
    QFont m_fonts[2]; // regular, bold
    QPixmap m_layer;  // dropped on a language change; made again for another size or pixel ratio
    mutable QStaticText m_markerNumbers[10]; // "1" to "10" in the bold font, laid out at their first paint
};
