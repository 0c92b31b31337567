// Feeds bytes as a menu document: through the file road (found, parsed, refused or made into a menu that is
// then shown, painted and deleted) and as element JSON of the menu bar, the list and the template list view,
// whose written element read into a fresh widget must write the same element again.
#include "FuzzSupport.h"
#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQLabel.h"
#include "TEVQList.h"
#include "TEVQListView.h"
#include "TEVQMenu.h"
#include "TEVQMenuBar.h"
#include "TEVQtLib.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QStringListModel>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

using namespace TEVQtLib;

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

QWidget* root()
{
    static QWidget* parent = [] {
        QWidget* w = fuzzsupport::root("fuzz_menu");
        qInstallMessageHandler(&quiet);
        init();
        return w;
    }();
    return parent;
}

const QString& documentPath()
{
    static QTemporaryDir* dir = new QTemporaryDir;
    static const QString path = dir->filePath(QStringLiteral("menu.json"));
    return path;
}

void render(QWidget* w)
{
    w->resize(120, 80);
    QImage image(120, 80, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    w->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
}

template <class View> Json::Value readPaintWrite(const Json::Value& element)
{
    View w;
    w.setParent(root());
    Json::Value in = element;
    w.readJsonValue(&in);
    w.createComplete();
    render(&w);
    Json::Value out(Json::objectValue);
    w.serializeJsonValue(&out, false);
    return out;
}

void showTemplateRows(const TEVQListView*, const QWidget* t, const QModelIndex& index)
{
    if (auto* label = t->findChild<TEVQLabel*>())
        label->setText(index.data().toString());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    root();
    {
        QFile file(documentPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    if (TEVQMenu* menu = tevCreateMenuByFileName(root(), documentPath())) {
        render(menu);
        for (TEVQMenu* sub : menu->findChildren<TEVQMenu*>())
            render(sub);
        delete menu;
    }

    Json::Value element;
    if (!fuzzsupport::parseInput(data, size, element))
        return 0;
    fuzzsupport::checkRoundTrip(element, readPaintWrite<TEVQMenuBar>);
    fuzzsupport::checkRoundTrip(element, readPaintWrite<TEVQList>);
    fuzzsupport::checkRoundTrip(element, readPaintWrite<TEVQListView>);

    // The element as a list view with a template and rows, painted.
    TEVQListView view;
    view.setParent(root());
    auto* t = new TEVQContainer(&view);
    new TEVQLabel(t);
    view.setItemTemplate(t);
    view.setItemDisplayCallBack(&showTemplateRows);
    QStringListModel rows(QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    view.setModel(&rows);
    Json::Value in = element;
    view.readJsonValue(&in);
    render(&view);
    return 0;
}
