#pragma once
// What the program's entry point does besides creating the window: reading the command line, loading the
// dictionary and the theme directory, sizing the window and taking the screenshot.
#include <QSize>
#include <QString>
#include <QStringList>

class QWidget;

namespace quenlark {

struct StartupOptions {
    QString screenshotPath;       // empty: no screenshot
    QSize size{1440, 900};        // as requested; see windowSizeFor
    bool openDrawer = false;
    bool chinese = false;
    int section = 2;              // inverters
};

// The eleven section names in navigation order: "overview", "single-line", ... "history".
const QStringList& sectionNames();

// Reads the arguments after the program name (arguments[0] is skipped). Option words are compared exactly;
// anything unknown, and an option that needs a value but is last, is ignored; later occurrences win.
//   --screenshot PATH   --size WxH   --drawer   --zh   --section N|NAME
StartupOptions parseStartupOptions(const QStringList& arguments);

// The requested size raised to the minimum on each axis, and held to at most 5120 device pixels on each axis
// (5120 / ratio pixels at ratio device pixels per pixel, never below the minimum) so that an absurd request cannot
// exhaust memory. What the window holds grows with its area in device pixels: the backing store, the copy it is
// composed through and the screenshot take 4 bytes a pixel each, and a visible chart's OpenGL surface (four
// samples of colour and of depth and stencil, and the resolved frame) about 36 bytes a pixel of the chart. At
// 5120x5120 a screenshot of a page that a chart nearly fills, with the trend drawer open, peaks at about 1.5 GB
// resident under Mesa's software OpenGL; at 8192x8192 it took 3.6 GB.
QSize windowSizeFor(const QSize& requested, const QSize& minimum, qreal ratio = 1.0);
constexpr int kMaxWindowSide = 5120;

// The compiled-in dictionary and icons (registered once; safe to call again).
void initResources();
constexpr const char* kDictionaryPath = ":/quenlark/i18n/languages.json";

// The theme directory beside the executable.
QString themeDirectory();

// Loads the dictionary; on failure returns false with the loader's message.
bool loadDictionary(const QString& path, QString* message);
// Loads the theme directory; on failure returns false with the "solar.error.themeLoad" text naming dir.
bool loadTheme(const QString& dir, QString* message);

// Shows a start-up failure: written to standard error, then a critical message box titled "Quenlark".
void reportStartupFailure(const QString& message);

// Saves a PNG picture of the window to path (whatever its extension), creating its directory. Returns 0 when
// the picture was saved, 2 when it could not be taken or written.
int saveScreenshot(QWidget* window, const QString& path);

} // namespace quenlark
