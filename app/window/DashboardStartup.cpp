#include "DashboardStartup.h"

#include "TEVQtLib.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QOpenGLWidget>
#include <QPainter>
#include <QPixmap>
#include <QSaveFile>
#include <QScreen>
#include <QWidget>

#include <cstdio>

// Outside any namespace, as Qt's resource registration requires.
static void registerQuenlarkResources()
{
    Q_INIT_RESOURCE(quenlark);
}

namespace quenlark {

const QStringList& sectionNames()
{
    static const QStringList names = {QStringLiteral("overview"),    QStringLiteral("single-line"),
                                      QStringLiteral("inverters"),   QStringLiteral("weather"),
                                      QStringLiteral("trackers"),    QStringLiteral("meters"),
                                      QStringLiteral("network"),     QStringLiteral("controller"),
                                      QStringLiteral("performance"), QStringLiteral("charts"),
                                      QStringLiteral("history")};
    return names;
}

StartupOptions parseStartupOptions(const QStringList& arguments)
{
    StartupOptions o;
    const int n = arguments.size();
    for (int i = 1; i < n; ++i) {
        const QString& a = arguments[i];
        const bool hasValue = i + 1 < n;
        if (a == QLatin1String("--screenshot") && hasValue) {
            o.screenshotPath = arguments[++i];
        } else if (a == QLatin1String("--size") && hasValue) {
            const QStringList parts = arguments[++i].toLower().split(QLatin1Char('x'), Qt::KeepEmptyParts);
            if (parts.size() == 2)
                o.size = QSize(parts[0].toInt(nullptr, 10), parts[1].toInt(nullptr, 10));
        } else if (a == QLatin1String("--drawer")) {
            o.openDrawer = true;
        } else if (a == QLatin1String("--zh")) {
            o.chinese = true;
        } else if (a == QLatin1String("--section") && hasValue) {
            const QString value = arguments[++i].toLower();
            bool isNumber = false;
            int section = value.toInt(&isNumber, 10);
            if (!isNumber)
                section = sectionNames().indexOf(value);
            o.section = qMax(qMin(section, 10), 0);
        }
    }
    return o;
}

QSize windowSizeFor(const QSize& requested, const QSize& minimum, qreal ratio)
{
    // The bound is on device pixels: a high-density screen draws ratio x ratio of them for every pixel.
    const int largest = int(kMaxWindowSide / qMax(ratio, 1.0));
    const int w = qMax(qMin(requested.width(), largest), minimum.width());
    const int h = qMax(qMin(requested.height(), largest), minimum.height());
    return QSize(w, h);
}

void initResources()
{
    static const bool done = (registerQuenlarkResources(), true);
    Q_UNUSED(done);
}

QString themeDirectory()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/photovoltaic-theme");
}

bool loadDictionary(const QString& path, QString* message)
{
    QString error;
    if (TEVQtLib::tevLoadLanguageFile(path, &error))
        return true;
    if (message)
        *message = error;
    return false;
}

bool loadTheme(const QString& dir, QString* message)
{
    // The framework takes the directory as UTF-8, so a path with characters outside the local 8-bit
    // encoding survives.
    if (TEVQtLib::tevLoadThemeDir(dir.toUtf8().constData()))
        return true;
    if (message)
        *message = TEVQtLib::tevText(QStringLiteral("solar.error.themeLoad"), QString()).replace(QLatin1String("%1"), dir);
    return false;
}

void reportStartupFailure(const QString& message)
{
    std::fprintf(stderr, "Quenlark: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    QMessageBox::critical(nullptr, QStringLiteral("Quenlark"), message, QMessageBox::Ok);
}

namespace {

// The part of the widget, in the window's coordinates, that no widget stacked above it covers: siblings of the
// widget or of any of its ancestors that come later in their parent's child order and are visible.
QRegion uncoveredRegion(QWidget* window, QWidget* widget)
{
    QRegion region(QRect(widget->mapTo(window, QPoint(0, 0)), widget->size()));
    for (QWidget* w = widget; w && w != window; w = w->parentWidget()) {
        QWidget* parent = w->parentWidget();
        if (!parent)
            break;
        const QRect parentRect(parent->mapTo(window, QPoint(0, 0)), parent->size());
        region &= parentRect;
        const QObjectList& siblings = parent->children();
        for (int i = siblings.indexOf(w) + 1; i < siblings.size(); ++i) {
            auto* above = qobject_cast<QWidget*>(siblings.at(i));
            if (above && above->isVisible() && !above->isWindow())
                region -= QRect(above->mapTo(window, QPoint(0, 0)), above->size());
        }
    }
    return region;
}

} // namespace

int saveScreenshot(QWidget* window, const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    // The window renders itself first: a copy of the screen would hold whatever covers the window or lies
    // off screen. The screen copy remains the fallback.
    QPixmap picture = window->grab(QRect(0, 0, -1, -1));
    if (picture.isNull()) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            picture = screen->grabWindow(window->winId(), 0, 0, -1, -1);
    }
    if (picture.isNull())
        return 2;
    // The window's own picture leaves the OpenGL charts at their background: each visible chart's frame is
    // laid over its place.
    QPainter painter(&picture);
    for (QOpenGLWidget* gl : window->findChildren<QOpenGLWidget*>()) {
        if (!gl->isVisible() || gl->width() <= 0 || gl->height() <= 0)
            continue;
        const QImage frame = gl->grabFramebuffer();
        if (frame.isNull())
            continue;
        const QRect place(gl->mapTo(window, QPoint(0, 0)), gl->size());
        painter.setClipRegion(uncoveredRegion(window, gl));
        painter.drawImage(place, frame);
    }
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG"))
        return 2;
    // Written beside the target and put in its place only once whole, so a failed write leaves an earlier file.
    QSaveFile file(path);
    file.setDirectWriteFallback(true); // a directory that takes no new file, only this one
    if (!file.open(QIODevice::WriteOnly))
        return 2;
    if (file.write(png) != png.size()) {
        file.cancelWriting();
        return 2;
    }
    return file.commit() ? 0 : 2;
}

} // namespace quenlark
