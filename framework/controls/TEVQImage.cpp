#include "TEVQImage.h"

#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"

#include <QLabel>
#include <QMouseEvent>
#include <QMovie>
#include <QPainter>
#include <QResizeEvent>
#include <QSvgRenderer>
#include <QtMath>

using namespace TEVQtLib;

// ---- painter -------------------------------------------------------------------------------------------------

TEVQImageImpl::TEVQImageImpl(TEVQImage* ownerImage) : TEVQWidgetBaseImpl(ownerImage, TEVQImage::typeName()) {}

TEVQImageImpl::~TEVQImageImpl()
{
    if (movieLabel)
        movieLabel->setMovie(nullptr);
}

QRect TEVQImageImpl::imageRect(const QRect& r, const QSize& size) const
{
    const int W = owner ? owner->width() : 0;
    const int H = owner ? owner->height() : 0;
    if (stretchDraw)
        return QRect(r.left(), r.top(), W, H);
    auto offset = [](int align, int outer, int inner) {
        if (align == 1)
            return (outer - inner) / 2;
        if (align == 2)
            return outer - inner;
        return 0;
    };
    return QRect(r.left() + offset(horAlign, W, size.width()), r.top() + offset(verAlign, H, size.height()),
                 size.width(), size.height());
}

void TEVQImageImpl::rebuild(qreal ratio)
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    m_cacheValid = true;
    m_cacheWidgetSize = owner ? owner->size() : QSize();
    m_cacheRatio = ratio;
    m_cacheResourceSerial = rm->resourceSerial();
    m_picture = QImage();
    m_place = QRect();
    const QRect r(QPoint(0, 0), m_cacheWidgetSize);

    if (!svgPath.isEmpty()) {
        QSvgRenderer* renderer = rm->getSvgRenderer(svgPath);
        if (!renderer || !renderer->isValid())
            return;
        QSize size = renderer->defaultSize();
        if (!size.isValid())
            size = QSize(qMax(1, r.width()), qMax(1, r.height()));
        const QRect target = imageRect(r, size);
        if (target.width() < 1 || target.height() < 1)
            return;
        // Only the part inside the widget is rendered, so a large picture costs no more than the widget; a
        // widget beyond the image caps gets a picture within them, stretched over its place.
        const QRect visible = target.intersected(r);
        if (visible.isEmpty())
            return;
        // Rendered at the device's ratio, so that it is as sharp as the SVG rendered straight.
        const QSize pixels = tevBoundedImageSize(
            QSize(qCeil(visible.width() * ratio), qCeil(visible.height() * ratio)));
        QImage picture(pixels, QImage::Format_ARGB32_Premultiplied);
        if (picture.isNull())
            return;
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        if (pixels != visible.size())
            p.scale(double(pixels.width()) / visible.width(), double(pixels.height()) / visible.height());
        p.translate(target.topLeft() - visible.topLeft());
        renderer->render(&p, QRectF(0, 0, target.width(), target.height()));
        if (useSvgColor) {
            p.resetTransform();
            p.setCompositionMode(QPainter::CompositionMode_SourceIn);
            p.fillRect(picture.rect(), svgColor);
        }
        p.end();
        m_picture = picture;
        m_place = visible;
        return;
    }

    const QImage* source = hasImage ? &image : rm->getImage(imagePath, false);
    if (!source || source->isNull())
        return;
    const QRect target = imageRect(r, stretchDraw ? r.size() : source->size());
    if (target.width() < 1 || target.height() < 1)
        return;
    // A stretched picture is scaled once for its place, within the image caps (a widget beyond them gets a
    // smaller one, stretched while painting).
    // Scaled to the device pixels of its place, as drawing it there would.
    const QSize pixels(qCeil(target.width() * ratio), qCeil(target.height() * ratio));
    m_picture = pixels == source->size() || target.size() == source->size()
                    ? *source
                    : source->scaled(tevBoundedImageSize(pixels), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    m_place = target;
}

void TEVQImageImpl::draw(QPainter* painter, const QRect& rect)
{
    if (!painter || !owner)
        return;
    const qreal ratio = paintRatio(painter);
    if (!m_cacheValid || owner->size() != m_cacheWidgetSize || ratio != m_cacheRatio ||
        m_cacheResourceSerial != TEVQResourceManager::getInstance()->resourceSerial())
        rebuild(ratio);
    if (m_picture.isNull())
        return;
    const QRect place = m_place.translated(rect.topLeft());
    if (m_picture.size() == place.size())
        painter->drawImage(place.topLeft(), m_picture);
    else
        painter->drawImage(place, m_picture);
}

void TEVQImageImpl::paintEvent(QWidget*, QPaintEvent*)
{
    if (!owner)
        return;
    {
        QPainter painter(owner);
        draw(&painter, QRect(0, 0, owner->width(), owner->height()));
    }
    if (movie) {
        lastFrame = movie->currentFrameNumber();
        // A movie that could not be read has no frames (-1 = 0 - 1): it never finishes.
        if (lastFrame >= 0 && lastFrame == movie->frameCount() - 1)
            emit static_cast<TEVQImage*>(owner)->movieFinished();
    }
}

void TEVQImageImpl::dropMovie()
{
    if (movie) {
        movie->stop();
        if (movieLabel)
            movieLabel->setMovie(nullptr);
        movie.reset();
    }
    if (movieLabel)
        movieLabel->hide();
}

void TEVQImageImpl::playGif(const QString& path)
{
    if (!owner)
        return;
    if (movieLabel)
        movieLabel->setMovie(nullptr);
    movie = std::make_unique<QMovie>(path);
    if (!movieLabel)
        movieLabel = new QLabel(owner);
    movieLabel->setGeometry(0, 0, owner->width(), owner->height());
    movieLabel->setScaledContents(true);
    movieLabel->setMovie(movie.get());
    movieLabel->show();
    movie->start();
}

bool TEVQImageImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    if (!json)
        return result;
    Json::Value& element = *json;
    if (load) {
        const Json::Value* attrs = json::find(element, "attr");
        if (attrs && json::isObject(*attrs)) {
            QString path;
            if (json::read(*attrs, "path", path)) {
                imagePath = path;
                if (isSvgPath(path))
                    svgPath = path;
            }
            json::read(*attrs, "fill", stretchDraw);
            json::read(*attrs, "svgPath", svgPath);
            json::read(*attrs, "svgUseColor", useSvgColor);
            std::string color;
            if (json::read(*attrs, "svgColor", color))
                svgColor = stringToColor(color);
        }
        invalidate();
        return result;
    }

    Json::Value& attrs = ownAttrs(element, {"path", "fill", "svgPath", "svgUseColor", "svgColor"});
    if (svgPath.isEmpty() && !imagePath.isEmpty())
        attrs["path"] = json::fromQString(imagePath);
    if (!stretchDraw)
        attrs["fill"] = 0;
    if (!svgPath.isEmpty())
        attrs["svgPath"] = json::fromQString(svgPath);
    if (useSvgColor)
        attrs["svgUseColor"] = 1;
    const QString color = tevColorToArgbString(svgColor);
    if (color != QLatin1String("FF000000"))
        attrs["svgColor"] = json::fromQString(color);
    dropEmptyAttrs(element);
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQImage::TEVQImage(QWidget* parent) : QWidget(parent) { tevSetImpl(new TEVQImageImpl(this)); }

TEVQImage::~TEVQImage() = default;

void TEVQImage::setImagePath(const QString& path)
{
    TEVQImageImpl* p = painter();
    p->dropMovie();
    p->imagePath = path;
    if (TEVQWidgetBaseImpl::isSvgPath(path))
        p->svgPath = path;
    else
        p->svgPath.clear();
    p->invalidate();
    update();
}

const QString& TEVQImage::getImagePath() const { return painter()->imagePath; }

void TEVQImage::setSvgPath(const QString& path)
{
    TEVQImageImpl* p = painter();
    p->dropMovie();
    p->svgPath = path;
    p->imagePath.clear();
    p->image = QImage();
    p->hasImage = false;
    p->invalidate();
    update();
}

const QString& TEVQImage::getSvgPath() const { return painter()->svgPath; }

void TEVQImage::setImage(const QImage* image)
{
    TEVQImageImpl* p = painter();
    p->image = image ? *image : QImage();
    p->hasImage = image != nullptr;
    p->svgPath.clear();
    p->invalidate();
    update();
}

const QImage* TEVQImage::getImage() const { return painter()->hasImage ? &painter()->image : nullptr; }

void TEVQImage::setStretchDraw(bool stretch)
{
    painter()->stretchDraw = stretch;
    painter()->invalidate();
}

bool TEVQImage::getStretchDraw() const { return painter()->stretchDraw; }

void TEVQImage::setAlignType(DockLayoutType hor, DockLayoutType ver)
{
    painter()->horAlign = hor;
    painter()->verAlign = ver;
    painter()->invalidate();
}

void TEVQImage::setUseSvgColor(bool use)
{
    painter()->useSvgColor = use;
    painter()->invalidate();
    update();
}

bool TEVQImage::getUseSvgColor() const { return painter()->useSvgColor; }

void TEVQImage::setSvgColor(const QColor& color)
{
    painter()->svgColor = color;
    painter()->useSvgColor = true;
    painter()->invalidate();
    update();
}

QColor TEVQImage::getSvgColor() const { return painter()->svgColor; }

void TEVQImage::loadGif(const QString& path)
{
    TEVQImageImpl* p = painter();
    p->imagePath.clear();
    p->svgPath.clear();
    p->image = QImage();
    p->hasImage = false;
    p->invalidate();
    p->playGif(path);
}

void TEVQImage::startAnimate()
{
    if (painter()->movie)
        painter()->movie->start();
}

void TEVQImage::stopAnimate()
{
    if (painter()->movie)
        painter()->movie->stop();
}

void TEVQImage::paintEvent(QPaintEvent* event) { tevForwardPaint(event); }

void TEVQImage::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    emit clicked();
}

void TEVQImage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (TEVQImageImpl* p = painter()) {
        if (p->movieLabel)
            p->movieLabel->setGeometry(rect());
    }
}

ControlInfo TEVQImage::getProps()
{
    using W = TEVQImage;
    ControlInfo info = tevControlInfo(typeName(), "Image", "Control Image", "TEVQImage", "picture");
    info.props.append(tevTextRow<W>(QStringLiteral("ImagePath"), PropImage, &W::setImagePath, &W::getImagePath));
    info.props.append(tevBoolRow<W>(QStringLiteral("Stretch"), &W::setStretchDraw, &W::getStretchDraw));
    return info;
}
