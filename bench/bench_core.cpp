// Costs of the framework core's loaders and lookups, each printed beside the cost of simply reading (or
// inflating) the same bytes, so that the overhead reads as a ratio. Build in Release:
//   cmake -S . -B build-rel -DCMAKE_BUILD_TYPE=Release -DTEV_BUILD_TESTS=OFF && cmake --build build-rel --target bench_core
//   ./build-rel/bench/bench_core
#include "LanguageManager.h"
#include "TEVJson.h"
#include "TEVQResourceManager.h"
#include "TEVStyleDesc.h"

#include <unzip.h>
#include <zip.h>

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QSvgRenderer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
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

// Medians of two pieces of work timed in alternation (first, second, first, ...), after one untimed warm-up
// run of each, so that both see the same state of the machine: a drift of clock or load during the runs moves
// both figures rather than their ratio.
std::pair<double, double> alternatingMediansMs(int runs, const std::function<void()>& first,
    const std::function<void()>& second)
{
    first();
    second();
    std::vector<double> a;
    std::vector<double> b;
    a.reserve(size_t(runs));
    b.reserve(size_t(runs));
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        first();
        a.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        second();
        b.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[a.size() / 2], b[b.size() / 2]};
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
        Json::Value root;
        if (!json::parse(readWhole(path), root) || !json::isObject(root))
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


// ---- theme --------------------------------------------------------------------------------------------------

constexpr int kFillStyles = 250;
constexpr int kTextStyles = 250;
constexpr int kPngImages = 100;
constexpr int kSvgImages = 100;
constexpr int kThemeElements = 100;

QByteArray colour(int i)
{
    return QByteArray::number(0xFF000000u | ((quint32(i) * 2654435761u) & 0xFFFFFFu), 16).toUpper();
}

QString fillName(int i) { return QStringLiteral("fill.style.%1").arg(i); }
QString textName(int i) { return QStringLiteral("text.style.%1").arg(i); }
QString pngName(int i) { return QStringLiteral("images/icon_%1.png").arg(i); }
QString svgName(int i) { return QStringLiteral("images/glyph_%1.svg").arg(i); }

QByteArray makeStyleJson()
{
    QByteArray out = "{\n  \"style\": [\n";
    for (int i = 0; i < kFillStyles; ++i) {
        out += "    {\"type\": 1, \"name\": \"" + fillName(i).toUtf8() + "\", \"clr\": \"" + colour(i)
            + "\", \"border\": true, \"borderSize\": " + QByteArray::number(1 + i % 3) + ", \"borderclr\": \""
            + colour(i + 7) + "\", \"round\": " + QByteArray::number(i % 8) + ", \"roundBottomLeft\": false";
        if (i % 4 == 0)
            out += ", \"drawImg\": true, \"img\": \"" + pngName(i % kPngImages).toUtf8()
                + "\", \"margin\": [4, 4, 4, 4], \"repeatCenter\": true";
        out += "},\n";
    }
    for (int i = 0; i < kTextStyles; ++i) {
        out += "    {\"type\": 2, \"name\": \"" + textName(i).toUtf8() + "\", \"clr\": \"" + colour(i + 3)
            + "\", \"hor\": " + QByteArray::number(i % 3) + ", \"ver\": 1, \"size\": "
            + QByteArray::number(10 + i % 8) + ", \"bold\": " + (i % 2 ? "true" : "false")
            + ", \"family\": \"DejaVu Sans\"}" + (i + 1 < kTextStyles ? ",\n" : "\n");
    }
    return out + "  ]\n}\n";
}

QByteArray makeThemeJson()
{
    QByteArray out = "{\n  \"elements\": [ { \"type\": \"qtcontainer\", \"name\": \"root\", \"child\": [\n";
    for (int i = 0; i < kThemeElements; ++i) {
        out += "    {\"type\": \"qtpushbutton\", \"name\": \"theme.button." + QByteArray::number(i)
            + "\", \"style\": [[\"" + fillName(i).toUtf8() + "\", 1, 0], [\"" + fillName(i + 1).toUtf8()
            + "\", 1, 1], [\"" + textName(i).toUtf8() + "\", 2, 4]], \"attr\": {\"radius\": "
            + QByteArray::number(i % 6) + "}}" + (i + 1 < kThemeElements ? ",\n" : "\n");
    }
    return out + "  ] } ]\n}\n";
}

QByteArray makePng(int i)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 32, 32);
    gradient.setColorAt(0, QColor::fromRgb(colour(i).toUInt(nullptr, 16)));
    gradient.setColorAt(1, QColor::fromRgb(colour(i + 11).toUInt(nullptr, 16)));
    painter.setBrush(gradient);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawEllipse(QRectF(2 + i % 5, 3, 26 - i % 5, 26));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray makeSvg(int i)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"24\" height=\"24\" viewBox=\"0 0 24 24\">"
           "<rect x=\"2\" y=\"2\" width=\"20\" height=\"20\" rx=\""
        + QByteArray::number(i % 6) + "\" fill=\"#" + colour(i).mid(2) + "\"/><path d=\"M6 12 L10 16 L18 "
        + QByteArray::number(6 + i % 5) + "\" stroke=\"#ffffff\" stroke-width=\"2\" fill=\"none\"/></svg>\n";
}

// Relative path -> bytes of every file of the generated theme.
std::vector<std::pair<QString, QByteArray>> makeThemeFiles()
{
    std::vector<std::pair<QString, QByteArray>> files;
    files.emplace_back(QStringLiteral("style.json"), makeStyleJson());
    files.emplace_back(QStringLiteral("theme.json"), makeThemeJson());
    for (int i = 0; i < kPngImages; ++i)
        files.emplace_back(pngName(i), makePng(i));
    for (int i = 0; i < kSvgImages; ++i)
        files.emplace_back(svgName(i), makeSvg(i));
    return files;
}

bool writeThemeDir(const QString& dir, const std::vector<std::pair<QString, QByteArray>>& files)
{
    if (!QDir().mkpath(dir + QStringLiteral("/images")))
        return false;
    for (const auto& file : files) {
        if (!writeWhole(dir + QLatin1Char('/') + file.first, file.second))
            return false;
    }
    return true;
}

bool writeThemeZip(const QString& path, const std::vector<std::pair<QString, QByteArray>>& files)
{
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool ok = true;
    for (const auto& file : files) {
        zip_fileinfo info = {};
        const QByteArray name = file.first.toUtf8();
        ok = ok
            && zipOpenNewFileInZip(zip, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                   Z_DEFAULT_COMPRESSION) == ZIP_OK
            && zipWriteInFileInZip(zip, file.second.constData(), unsigned(file.second.size())) == ZIP_OK
            && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

// The plain cost a directory loader cannot avoid: list the files and read each one whole.
qint64 readThemeDirPlain(const QString& dir)
{
    qint64 total = 0;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        total += readWhole(it.next()).size();
    return total;
}

// The plain cost an archive loader cannot avoid: open the archive, inflate every entry and, with parseJson,
// parse the style and theme documents among them with jsoncpp itself.
qint64 inflateZipPlain(const QString& path, bool parseJson = false)
{
    unzFile zip = unzOpen64(QFile::encodeName(path).constData());
    if (!zip)
        return -1;
    std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    qint64 total = 0;
    QByteArray buffer;
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
        unz_file_info64 info;
        char name[256] = {};
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0) != UNZ_OK
            || unzOpenCurrentFile(zip) != UNZ_OK)
            break;
        buffer.resize(int(info.uncompressed_size));
        const int read = unzReadCurrentFile(zip, buffer.data(), unsigned(buffer.size()));
        unzCloseCurrentFile(zip);
        if (read < 0)
            break;
        total += read;
        if (parseJson && (qstrcmp(name, "style.json") == 0 || qstrcmp(name, "theme.json") == 0)) {
            Json::Value root;
            if (!reader->parse(buffer.constData(), buffer.constData() + buffer.size(), &root, nullptr)
                || !root.isObject())
                std::abort();
        }
    }
    unzClose(zip);
    return total;
}

void benchTheme(const QString& workDir)
{
    const auto files = makeThemeFiles();
    qint64 bytes = 0;
    for (const auto& file : files)
        bytes += file.second.size();
    // Two identical directories, loaded in turn: loading the directory already loaded returns at once.
    const QString dirs[2] = {workDir + QStringLiteral("/themeA"), workDir + QStringLiteral("/themeB")};
    const QString zipPath = workDir + QStringLiteral("/theme.zip");
    if (!writeThemeDir(dirs[0], files) || !writeThemeDir(dirs[1], files) || !writeThemeZip(zipPath, files)) {
        std::printf("  cannot write the generated theme under %s\n", qPrintable(workDir));
        return;
    }

    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    const int runs = 30;

    printHeader(qPrintable(QStringLiteral("(a) theme directory: %1 fill + %2 text styles, %3 theme elements, "
                                          "%4 PNG + %5 SVG images, %6 files, %7 bytes")
                               .arg(kFillStyles)
                               .arg(kTextStyles)
                               .arg(kThemeElements)
                               .arg(kPngImages)
                               .arg(kSvgImages)
                               .arg(files.size())
                               .arg(bytes)));
    const double readDirMs = medianMs(runs, [&] {
        if (readThemeDirPlain(dirs[0]) != bytes)
            std::abort();
    });
    int turn = 0;
    const double loadDirMs = medianMs(runs, [&] {
        if (!rm->loadThemeDir(dirs[turn++ % 2])) {
            std::printf("  loadThemeDir failed\n");
            std::abort();
        }
    });
    printFigure("list + read every file", readDirMs, 0.0);
    printFigure("TEVQResourceManager::loadThemeDir", loadDirMs, readDirMs);

    // Images are decoded on first use; the same decoding on the plain bytes beside it.
    const double decodePlainMs = medianMs(runs, [&] {
        for (int i = 0; i < kPngImages; ++i) {
            if (QImage::fromData(readWhole(dirs[0] + QLatin1Char('/') + pngName(i))).isNull())
                std::abort();
        }
        for (int i = 0; i < kSvgImages; ++i) {
            QSvgRenderer renderer(readWhole(dirs[0] + QLatin1Char('/') + svgName(i)));
            if (!renderer.isValid())
                std::abort();
        }
    });
    const double loadDecodeMs = medianMs(runs, [&] {
        if (!rm->loadThemeDir(dirs[turn++ % 2]))
            std::abort();
        for (int i = 0; i < kPngImages; ++i) {
            if (!rm->getImage(pngName(i), false))
                std::abort();
        }
        for (int i = 0; i < kSvgImages; ++i) {
            if (!rm->getSvgRenderer(svgName(i)))
                std::abort();
        }
    });
    printFigure("read + decode every image", decodePlainMs, 0.0);
    printFigure("loadThemeDir + getImage/getSvgRenderer all", loadDecodeMs, decodePlainMs);

    printHeader(qPrintable(QStringLiteral("(b) the same theme as a zip archive: %1 bytes")
                               .arg(QFileInfo(zipPath).size())));
    const double inflateMs = medianMs(runs, [&] {
        if (inflateZipPlain(zipPath) != bytes)
            std::abort();
    });
    const double inflateParseMs = medianMs(runs, [&] {
        if (inflateZipPlain(zipPath, true) != bytes)
            std::abort();
    });
    const double loadZipMs = medianMs(runs, [&] {
        if (!rm->loadThemeFile(zipPath)) {
            std::printf("  loadThemeFile failed\n");
            std::abort();
        }
    });
    printFigure("open + inflate every entry (minizip)", inflateMs, 0.0);
    printFigure("inflate every entry + parse the two JSON", inflateParseMs, 0.0);
    printFigure("TEVQResourceManager::loadThemeFile", loadZipMs, inflateParseMs);
}

// Lookups by name in the theme store (loaded by benchTheme), as while a theme element is applied.
void benchStyleLookups()
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    if (!rm->themeStore())
        return;
    const int runs = 60;
    printHeader("(d) 100,000 style lookups by name (fill and text in turn)");
    std::vector<QString> names;
    for (int i = 0; i < kFillStyles || i < kTextStyles; ++i) {
        names.push_back(fillName(i % kFillStyles));
        names.push_back(textName(i % kTextStyles));
    }
    // The records themselves, read back once, to time copying the same bytes without the lookup.
    rm->setSwitchToThemeRes(true);
    std::vector<FillStyle> fills(names.size());
    std::vector<TextStyleDesc> texts(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        const bool found = i % 2 ? rm->getTextStyle(names[i], texts[i]) : rm->getFillStyle(names[i], fills[i]);
        if (!found) {
            std::printf("  style %s not found\n", qPrintable(names[i]));
            std::abort();
        }
    }
    const int lookups = 100000;
    FillStyle fill;
    TextStyleDesc text;
    const auto [copyMs, lookupMs] = alternatingMediansMs(runs, [&] {
        for (int i = 0; i < lookups; ++i) {
            const size_t at = size_t(i) % names.size();
            if (at % 2)
                text = texts[at];
            else
                fill = fills[at];
        }
    }, [&] {
        for (int i = 0; i < lookups; ++i) {
            const size_t at = size_t(i) % names.size();
            const bool found = at % 2 ? rm->getTextStyle(names[at], text) : rm->getFillStyle(names[at], fill);
            if (!found)
                std::abort();
        }
    });
    rm->setSwitchToThemeRes(false);
    printFigure("copy the records from a vector by index", copyMs, 0.0);
    printFigure("getFillStyle / getTextStyle by name", lookupMs, copyMs);
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
    benchTheme(work.path());
    benchDictionary(work.path());
    benchStyleLookups();
    return 0;
}
