#include "TevTest.h"

#include "TEVPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QStyleFactory>
#include <QWindow>

namespace tevtest {

void setUpApplication(QApplication& app)
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    TEVQtLib::platform::installFontSubstitutions();
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(9);
    QApplication::setFont(f);
    Q_UNUSED(app);
}

QString dataPath(const QString& relative)
{
    return QDir(QStringLiteral(TEV_TEST_DATA_DIR)).filePath(relative);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool keepRender(const QImage& image, const QString& name)
{
    const QString dir = qEnvironmentVariable("TEV_RENDER_DIR");
    if (dir.isEmpty())
        return true;
    QDir().mkpath(dir);
    return image.save(QDir(dir).filePath(name));
}

namespace {

// Counts one widget's paints and the disturbances of its window that other windows cause.
class PaintWatch : public QObject
{
public:
    int paints = 0;
    int disturbances = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::Paint: ++paints; break;
        case QEvent::Expose:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate: ++disturbances; break;
        default: break;
        }
        return false;
    }
};

} // namespace

int paintsCausedBy(QWidget* widget, const std::function<void()>& act)
{
    PaintWatch paints, window;
    widget->installEventFilter(&paints);
    QWidget* top = widget->window();
    top->installEventFilter(&window);
    QWindow* handle = top->windowHandle();
    if (handle)
        handle->installEventFilter(&window);
    for (int look = 0; look < 6; ++look) {
        QCoreApplication::processEvents();
        paints.paints = window.disturbances = paints.disturbances = 0;
        act();
        QCoreApplication::processEvents();
        if (window.disturbances == 0)
            break;
        QTest::qWait(50);
    }
    widget->removeEventFilter(&paints);
    top->removeEventFilter(&window);
    if (handle)
        handle->removeEventFilter(&window);
    return paints.paints;
}

} // namespace tevtest
