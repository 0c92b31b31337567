#pragma once
// The framework's picture: a raster image from the resource manager (by name or path), an image handed over in
// code, an SVG (optionally tinted with one colour) or an animated GIF played in a child label. The picture is
// stretched over the widget or placed by a horizontal and a vertical alignment. What is painted is made once
// (looked up, rendered, scaled) and kept until the picture, its placement or the widget's size change.
#include "TEVQWidgetMacros.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;
class QMovie;

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQImage;

class TEV_EXPORT TEVQImageImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQImageImpl(TEVQImage* owner);
    ~TEVQImageImpl() override;

    // No disabled-state bookkeeping: the picture looks the same in every state.
    void paintEvent(QWidget* owner, QPaintEvent* event) override;
    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    // The picture's rectangle in r for a picture of the given size.
    QRect imageRect(const QRect& r, const QSize& size) const;
    // Makes the picture again at the next paint.
    void invalidate() { m_cacheValid = false; }
    void dropMovie();
    void playGif(const QString& path);

    int lastFrame = -1;
    bool stretchDraw = true;
    int verAlign = 1;
    int horAlign = 1;
    QString imagePath;
    QString svgPath;
    QImage image;          // the image given in code, a copy of the caller's
    bool hasImage = false; // an image was given (even an empty one)
    bool useSvgColor = false;
    QColor svgColor{0, 0, 0};
    std::unique_ptr<QMovie> movie;
    QPointer<QLabel> movieLabel;

private:
    // Made at ratio device pixels per pixel (the painter's).
    void rebuild(qreal ratio);

    bool m_cacheValid = false;
    QSize m_cacheWidgetSize;
    qreal m_cacheRatio = 1.0;
    quint64 m_cacheResourceSerial = 0; // another theme or skin may hold another picture under the same name
    QImage m_picture; // what is painted, at its painted size (in device pixels) or, beyond the image caps, smaller
    QRect m_place;    // where it is painted, relative to the rectangle's top-left corner

public:
    // The picture as kept between paints (within the resource manager's image caps unless it is the source
    // itself, unscaled).
    const QImage& keptPicture() const { return m_picture; }
};

class TEV_EXPORT TEVQImage : public QWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQImage, "qtpicture")
public:
    explicit TEVQImage(QWidget* parent = nullptr);
    ~TEVQImage() override;

    static TEVQtLib::ControlInfo getProps();

    // Ends a playing GIF; a path ending in ".svg" (any letter case) is also the SVG path, any other clears it.
    // An image given with setImage stays and keeps its precedence.
    void setImagePath(const QString& path);
    const QString& getImagePath() const;
    // Ends a playing GIF and clears the image path and the given image.
    void setSvgPath(const QString& path);
    const QString& getSvgPath() const;
    // Shows a copy of *image (null: none) and clears the SVG path. The caller's image may go away afterwards.
    void setImage(const QImage* image);
    // The copy shown, or null.
    const QImage* getImage() const;
    void setStretchDraw(bool stretch);
    bool getStretchDraw() const;
    // 0 start, 1 centre, 2 end; other values behave as 0. No repaint.
    void setAlignType(TEVQtLib::DockLayoutType hor, TEVQtLib::DockLayoutType ver);
    void setUseSvgColor(bool use);
    bool getUseSvgColor() const;
    // Also switches tinting on.
    void setSvgColor(const QColor& color);
    QColor getSvgColor() const;
    // Clears the paths and the image and plays the GIF at path in a child label over the widget.
    void loadGif(const QString& path);
    void startAnimate();
    void stopAnimate();

    TEVQImageImpl* painter() const { return tevImpl<TEVQImageImpl>(); }

signals:
    void movieFinished();
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
