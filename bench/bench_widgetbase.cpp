// Widget base figures: applying a theme element to 1,000 widgets, and reading and writing the element JSON of
// 1,000 widgets (common keys, layout, "attr", "style").
#include "TEVJson.h"
#include "TEVQResourceManager.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace TEVQtLib;

class BenchWidgetImpl : public TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit BenchWidgetImpl(QWidget* owner) : TEVQWidgetBaseImpl(owner, QStringLiteral("qtbench")) {}

    bool serializeJsonValue(Json::Value*& json, bool load) override
    {
        const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
        if (!json)
            return result;
        TEVStyleEntries styles;
        styles.fillGroup(0, background);
        styles.textGroup(4, text);
        if (load) {
            styles.read(*json);
            json::read(json::get(*json, "attr"), "text", label);
        } else {
            styles.write(*json);
            json::member(json::member(*json, "attr"), "text") = json::fromQString(label);
        }
        return result;
    }

    FillStyle background[4];
    TextStyleDesc text[4];
    QString label;
};

class BenchWidget : public QWidget, public ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(BenchWidget, QWidget, "qtbench")
public:
    explicit BenchWidget(QWidget* parent = nullptr) : QWidget(parent) { tevSetImpl(new BenchWidgetImpl(this)); }
};

namespace {

const char* kStyle = R"({"style":[
  {"type":1,"name":"bg","clr":"ff202020","border":true,"borderSize":1,"round":4},
  {"type":1,"name":"bgHot","clr":"ff303030"},
  {"type":1,"name":"bgPressed","clr":"ff404040"},
  {"type":2,"name":"txt","clr":"ffffffff","size":13}]})";
const char* kTheme = R"({"elements":[{"child":[
  {"name":"qtbench","attr":{"text":"themed","radius":4,"flags":["a","b"]},
   "style":[["bg",1,0],["bgHot",1,1],["bgPressed",1,2],["txt",2,4]]}]}]})";

template <class F> double bestOfMs(int runs, F&& f)
{
    double best = 1e300;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, double(t.nsecsElapsed()) / 1e6);
    }
    return best;
}

Json::Value element(int i)
{
    Json::Value e(Json::objectValue);
    e["type"] = "qtbench";
    e["name"] = "w" + std::to_string(i);
    e["tooltip"] = "tip";
    e["x"] = i % 97;
    e["y"] = i % 53;
    e["w"] = 120;
    e["h"] = 30;
    e["absoluteDockHor"] = 1;
    e["widthPolicy"] = 1;
    e["minWidth"] = 10;
    Json::Value attr(Json::objectValue);
    attr["text"] = "label " + std::to_string(i);
    attr["count"] = i;
    attr["ratio"] = 0.5;
    attr["on"] = true;
    e["attr"] = attr;
    Json::Value style(Json::arrayValue);
    const char* names[] = {"bg", "bgHot", "bgPressed"};
    for (int s = 0; s < 3; ++s) {
        Json::Value entry(Json::arrayValue);
        entry.append(names[s]);
        entry.append(1);
        entry.append(s);
        style.append(entry);
    }
    Json::Value text(Json::arrayValue);
    text.append("txt");
    text.append(2);
    text.append(4);
    style.append(text);
    e["style"] = style;
    return e;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int kWidgets = 1000;
    constexpr int kRuns = 7;

    QTemporaryDir dir;
    auto write = [&dir](const char* name, const char* text) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        return f.open(QIODevice::WriteOnly) && f.write(text) == qint64(qstrlen(text));
    };
    if (!dir.isValid() || !write("style.json", kStyle) || !write("theme.json", kTheme) ||
        !TEVQResourceManager::getInstance()->loadThemeDir(dir.path())) {
        std::fprintf(stderr, "could not load the benchmark theme\n");
        return 1;
    }

    QWidget root;
    std::vector<BenchWidget*> widgets;
    widgets.reserve(kWidgets);
    const double constructMs = bestOfMs(1, [&] {
        for (int i = 0; i < kWidgets; ++i)
            widgets.push_back(new BenchWidget(&root));
    });

    const double themeMs = bestOfMs(kRuns, [&] {
        for (BenchWidget* w : widgets)
            w->getControlImpl()->applyTheme();
    });

    auto* first = static_cast<BenchWidgetImpl*>(widgets.front()->getControlImpl());
    if (first->label != QLatin1String("themed") || first->background[1].name != QLatin1String("bgHot")) {
        std::fprintf(stderr, "the theme element was not applied\n");
        return 1;
    }

    std::vector<Json::Value> elements;
    elements.reserve(kWidgets);
    for (int i = 0; i < kWidgets; ++i)
        elements.push_back(element(i));
    const double readMs = bestOfMs(kRuns, [&] {
        for (int i = 0; i < kWidgets; ++i)
            widgets[size_t(i)]->readJsonValue(&elements[size_t(i)]);
    });

    std::vector<Json::Value> written(kWidgets);
    const double writeMs = bestOfMs(kRuns, [&] {
        for (int i = 0; i < kWidgets; ++i) {
            written[size_t(i)] = Json::Value(Json::objectValue);
            widgets[size_t(i)]->serializeJsonValue(&written[size_t(i)], false);
        }
    });

    // The same elements from text, as setJsonData takes them: parse, then read.
    if (json::getString(written.back(), "name") != "w999" || json::size(json::get(written.back(), "style")) != 5) {
        std::fprintf(stderr, "the elements were not read back\n");
        return 1;
    }

    std::vector<QString> texts;
    texts.reserve(kWidgets);
    for (const Json::Value& e : written)
        texts.push_back(json::toQString(json::writeStyled(e)));
    const double textMs = bestOfMs(kRuns, [&] {
        for (int i = 0; i < kWidgets; ++i) {
            Json::Value v;
            if (json::parse(texts[size_t(i)].toUtf8(), v))
                widgets[size_t(i)]->readJsonValue(&v);
        }
    });

    std::printf("widget base, %d widgets (best of %d runs)\n", kWidgets, kRuns);
    std::printf("  construct (applies the theme once)   %8.2f ms  %6.2f us/widget\n", constructMs,
                constructMs * 1000.0 / kWidgets);
    std::printf("  applyTheme                           %8.2f ms  %6.2f us/widget\n", themeMs,
                themeMs * 1000.0 / kWidgets);
    std::printf("  readJsonValue (parsed element)       %8.2f ms  %6.2f us/element\n", readMs,
                readMs * 1000.0 / kWidgets);
    std::printf("  serializeJsonValue (write)           %8.2f ms  %6.2f us/element\n", writeMs,
                writeMs * 1000.0 / kWidgets);
    std::printf("  parse text + readJsonValue           %8.2f ms  %6.2f us/element\n", textMs,
                textMs * 1000.0 / kWidgets);
    return 0;
}

#include "bench_widgetbase.moc"
