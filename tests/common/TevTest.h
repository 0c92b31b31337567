#pragma once
// Shared test support: the application every test executable runs in (Fusion style, pinned fonts),
// temporary files and the fixture folders.
#include <QApplication>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QtTest>

#include <functional>

namespace tevtest {

// Fusion style, "DejaVu Sans" 9 pt, the framework's font substitutions. Called by TEV_TEST_MAIN.
void setUpApplication(QApplication& app);

// Absolute path of a file under tests/ (the fixtures and the bad-input corpus).
QString dataPath(const QString& relative);

// Writes bytes to path (creating folders); false on failure.
bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// Keeps a rendering to look at: saved as <name> in the folder named by the environment variable
// TEV_RENDER_DIR when it is set; nothing is written otherwise. Returns false only when saving failed.
bool keepRender(const QImage& image, const QString& name);

// What draw (called with a QPainter*) paints on a white picture of the given size.
template <typename Draw>
QImage paintedOnWhite(const QSize& size, Draw draw)
{
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    draw(&p);
    return img;
}

// The paint events a shown widget receives while `act` runs and the events it posts are handled. Another
// test's window on the shared display can expose, activate or deactivate this one and so paint it too: a look
// during which that happened is taken again (a few times), so `act` must be repeatable. Zero means that the
// action itself repainted nothing.
int paintsCausedBy(QWidget* widget, const std::function<void()>& act);

} // namespace tevtest

// Like QTEST_MAIN, with the pinned application set-up.
#define TEV_TEST_MAIN(TestObject)                                                                          \
    int main(int argc, char** argv)                                                                        \
    {                                                                                                      \
        QApplication app(argc, argv);                                                                      \
        tevtest::setUpApplication(app);                                                                    \
        TestObject tc;                                                                                     \
        QTEST_SET_MAIN_SOURCE_PATH                                                                         \
        return QTest::qExec(&tc, argc, argv);                                                              \
    }
