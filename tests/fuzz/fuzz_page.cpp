// Feeds bytes to the page loader as a page document: into a frameless window (root keys applied), into a
// sub-window, into a plain widget and onto the design canvas. Everything built is written back as JSON and then
// deleted; nothing may crash, and the loader must leave the resource manager's switches as it found them.
#include "FuzzSupport.h"
#include "TEVQCanvas.h"
#include "TEVQCanvasWindow.h"
#include "TEVQResourceManager.h"
#include "TEVQSubWin.h"
#include "TEVQWindow.h"
#include "TEVQtLib.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <json/json.h>

#include <cstddef>
#include <cstdint>

using namespace TEVQtLib;

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

struct Fixture {
    Fixture()
    {
        static int argc = 1;
        static char name[] = "fuzz_page";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        qInstallMessageHandler(&quiet);
        init();
        path = dir.filePath(QStringLiteral("page.json"));
    }
    QApplication* app = nullptr;
    QTemporaryDir dir;
    QString path;
};

Fixture& fixture()
{
    static Fixture* f = new Fixture;
    return *f;
}

void writeBack(QWidget* host)
{
    for (QWidget* w : host->findChildren<QWidget*>()) {
        if (ITEVQWidgetBase* base = tevWidgetInterface(w)) {
            Json::Value element(Json::objectValue);
            base->serializeJsonValue(&element, false);
        }
    }
}

void load(QWidget* host, const QString& path)
{
    tevCreatePageByFileName(host, path);
    QCoreApplication::processEvents(); // deferred layout passes of the containers
    writeBack(host);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fixture& f = fixture();
    fuzzsupport::settle(); // what the previous input's widgets left: their events and deferred deletions
    {
        QFile file(f.path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    {
        TEVQWindow window;
        load(&window, f.path);
        TEVQSubWin sub(&window);
        load(&sub, f.path);
        QWidget plain;
        load(&plain, f.path);
        // A canvas page: opened on the design canvas, written back by the page writer, painted with a
        // selection.
        TEVQCanvas canvas;
        canvas.resize(320, 240);
        if (canvas.OpenJsonFile(f.path) && canvas.GetCurWindow()) {
            QString text;
            canvas.GetCurWindow()->toJsonString(text);
            canvas.AddSelectedControl(canvas.GetCurWindow());
            QImage image(320, 240, QImage::Format_ARGB32_Premultiplied);
            canvas.render(&image);
        }
    }
    QCoreApplication::processEvents();
    if (rm->isLoadFromThemeRes() || rm->isCreatedByFile() || rm->isProjectRes())
        __builtin_trap();
    return 0;
}
