// Costs of the framework core's loaders and lookups, each printed beside the cost of simply reading (or
// inflating) the same bytes, so that the overhead reads as a ratio. Build in Release:
//   cmake -S . -B build-rel -DCMAKE_BUILD_TYPE=Release -DTEV_BUILD_TESTS=OFF && cmake --build build-rel --target bench_core
//   ./build-rel/bench/bench_core
#include "LanguageManager.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace TEVQtLib;

namespace {

// ---- timing -------------------------------------------------------------------------------------------------

// Median wall time of runs, in milliseconds, after one untimed warm-up run.
double medianMs(int runs, const std::function<void()>& work)
{
    work();
    std::vector<double> times;
    times.reserve(size_t(runs));
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void printHeader(const char* title)
{
    std::printf("\n%s\n", title);
}

void printFigure(const char* what, double ms, double baselineMs)
{
    if (baselineMs > 0.0)
        std::printf("  %-44s %10.3f ms   x%.1f\n", what, ms, ms / baselineMs);
    else
        std::printf("  %-44s %10.3f ms\n", what, ms);
}

QByteArray readWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// ---- dictionary ---------------------------------------------------------------------------------------------

constexpr int kDictionaryKeys = 400;

const char* const kWords[] = {"overview", "inverter", "string", "alarm", "energy", "power", "grid", "weather",
                              "report", "settings"};

QByteArray dictionaryKey(int i)
{
    return QByteArray("solar.") + kWords[i % 10] + '.' + QByteArray::number(i);
}

// A two-language dictionary of kDictionaryKeys dotted keys: English and Chinese texts.
QByteArray makeDictionary()
{
    static const char* const kChinese[] = {"总览", "逆变器", "组串", "告警", "发电量", "功率", "电网", "气象",
                                           "报表", "设置"};
    QByteArray en;
    QByteArray zh;
    for (int i = 0; i < kDictionaryKeys; ++i) {
        const QByteArray key = dictionaryKey(i);
        const char* separator = i ? ",\n" : "\n";
        en += separator + QByteArray("      \"") + key + "\": \"" + kWords[i % 10] + " label number "
            + QByteArray::number(i) + "\"";
        zh += separator + QByteArray("      \"") + key + "\": \"" + kChinese[i % 10] + "标签 第"
            + QByteArray::number(i) + "号\"";
    }
    return "{\n  \"defaultLanguage\": \"en-US\",\n  \"languages\": {\n    \"en-US\": {" + en
        + "\n    },\n    \"zh-CN\": {" + zh + "\n    }\n  }\n}\n";
}

void benchDictionary(const QString& workDir)
{
    const QString path = workDir + QStringLiteral("/languages.json");
    const QByteArray bytes = makeDictionary();
    if (!writeWhole(path, bytes)) {
        std::printf("  cannot write %s\n", qPrintable(path));
        return;
    }
    printHeader(qPrintable(QStringLiteral("(c) dictionary: %1 keys x 2 languages, %2 bytes")
                               .arg(kDictionaryKeys)
                               .arg(bytes.size())));

    LanguageManager* manager = LanguageManager::instance();
    const int runs = 200;
    const double readMs = medianMs(runs, [&] {
        const QByteArray read = readWhole(path);
        if (read.size() != bytes.size())
            std::abort();
    });
    const double parseMs = medianMs(runs, [&] {
        if (!QJsonDocument::fromJson(readWhole(path)).isObject())
            std::abort();
    });
    const double loadMs = medianMs(runs, [&] {
        QString error;
        if (!manager->loadFromFile(path, &error)) {
            std::printf("  load failed: %s\n", qPrintable(error));
            std::abort();
        }
    });
    printFigure("read the file", readMs, 0.0);
    printFigure("read + JSON parse only", parseMs, readMs);
    printFigure("LanguageManager::loadFromFile", loadMs, readMs);

    // Lookups of every key in the current (Chinese) language.
    manager->setLanguage(QStringLiteral("zh-CN"));
    QStringList keys;
    for (int i = 0; i < kDictionaryKeys; ++i)
        keys << QString::fromLatin1(dictionaryKey(i));
    const int lookups = 100000;
    const double textMs = medianMs(20, [&] {
        int found = 0;
        for (int i = 0; i < lookups; ++i)
            found += manager->text(keys.at(i % keys.size()), QStringLiteral("-")).size();
        if (!found)
            std::abort();
    });
    printFigure("100,000 text() lookups", textMs, 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir work;
    if (!work.isValid()) {
        std::printf("cannot create a temporary directory\n");
        return 1;
    }
    std::printf("bench_core: medians of repeated runs; xN = time / time of the plain read beside it\n");
    benchDictionary(work.path());
    return 0;
}
