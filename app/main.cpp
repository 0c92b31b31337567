// The operations dashboard's entry point: prepares Qt and the framework, loads the dictionary and the theme,
// reads the command line, shows the window and runs the event loop.
//   --screenshot PATH   save a PNG of the window 1300 ms after start, then exit (0 saved, 2 failed)
//   --size WxH          window size (never below 1280x720, never above 5120x5120 device pixels)
//   --drawer            open the trend drawer 180 ms after start
//   --zh                start in Chinese
//   --section N|NAME    section shown at start (0-10 or overview ... history)
// Exit code 1: the dictionary or the theme could not be loaded.
// On Windows the process entry splits the command line with GetCommandLineW and CommandLineToArgvW before
// main runs; elsewhere the C runtime's argv stands in for it, and QCoreApplication::arguments() decodes it.
#include "DashboardStartup.h"
#include "PhotovoltaicPlantWindow.h"
#include "TEVQChartBase.h"
#include "TEVQtLib.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    TEVQtLib::tevEnableHighDpi(true);
    QCoreApplication::setAttribute(Qt::AA_UseDesktopOpenGL, true);
    QApplication app(argc, argv);
    quenlark::initResources();

    TEVQtLib::init();
    TEVQtLib::registerChartControls();

    TEVQtLib::TEVGlobalConfig config;
    config.fontFamily = QStringLiteral("Microsoft YaHei UI");
    config.buttonFadeEnabled = false;
    config.buttonFadeDuration = 140;
    TEVQtLib::tevSetGlobalConfig(config);

    QString message;
    if (!quenlark::loadDictionary(QString::fromLatin1(quenlark::kDictionaryPath), &message)) {
        quenlark::reportStartupFailure(message);
        TEVQtLib::shutdown();
        return 1;
    }
    const QString themeDir = quenlark::themeDirectory();
    if (!quenlark::loadTheme(themeDir, &message)) {
        quenlark::reportStartupFailure(message);
        TEVQtLib::shutdown();
        return 1;
    }

    const quenlark::StartupOptions options = quenlark::parseStartupOptions(QCoreApplication::arguments());
    TEVQtLib::tevSetLanguage(options.chinese ? QStringLiteral("zh-CN") : QStringLiteral("en-US"));

    int result = 0;
    {
        PhotovoltaicPlantWindow window;
        window.resize(quenlark::windowSizeFor(options.size, window.minimumSize(), window.devicePixelRatioF()));
        window.setCurrentSection(options.section);
        window.show();

        if (options.openDrawer)
            QTimer::singleShot(180, &window, [&window]() { window.setTrendDrawerExpanded(true); });
        if (!options.screenshotPath.isEmpty()) {
            const QString path = options.screenshotPath;
            QTimer::singleShot(1300, &window, [&window, path]() {
                const int code = quenlark::saveScreenshot(&window, path);
                if (code == 0)
                    std::fprintf(stdout, "Quenlark: screenshot written to %s\n", qUtf8Printable(path));
                else
                    std::fprintf(stderr, "Quenlark: the screenshot could not be written to %s\n",
                                 qUtf8Printable(path));
                std::fflush(stdout);
                QCoreApplication::exit(code);
            });
        }
        result = app.exec();
        TEVQtLib::shutdown();
    }
    return result;
}
