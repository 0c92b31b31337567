// A ribbon of 10 pages x 6 groups x 8 items (large, medium and small buttons, a few with menus), laid out at
// 1400 x 130 and every page shown once: loaded from its configuration document, beside the same ribbon built
// in code through the bar's own operations.
#include "TEVQRibbonBar.h"
#include "TEVQtLib.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace TEVQtLib;

namespace {

constexpr int kPages = 10;
constexpr int kGroups = 6;
constexpr int kItems = 8;
constexpr int kRuns = 5;

const char* sizeWord(int i) { return i < 2 ? "large" : (i < 5 ? "medium" : "small"); }

QString documentText()
{
    QString pages;
    for (int p = 0; p < kPages; ++p) {
        QString groups;
        for (int g = 0; g < kGroups; ++g) {
            QString items;
            for (int i = 0; i < kItems; ++i) {
                const QString id = QStringLiteral("cmd_%1_%2_%3").arg(p).arg(g).arg(i);
                QString item = QStringLiteral(R"({"id": "%1", "text": "Command %2", "size": "%3")")
                                   .arg(id).arg(i).arg(QLatin1String(sizeWord(i)));
                if (i == 1)
                    item += QStringLiteral(R"(, "popup": "split", "menu": [{"id": "%1_a", "text": "One"}, {"id": "%1_b", "text": "Two"}])").arg(id);
                items += (i ? QStringLiteral(", ") : QString()) + item + QLatin1Char('}');
            }
            groups += (g ? QStringLiteral(", ") : QString())
                      + QStringLiteral(R"({"id": "g%1", "text": "Group %1", "items": [%2]})").arg(g).arg(items);
        }
        pages += (p ? QStringLiteral(", ") : QString())
                 + QStringLiteral(R"({"id": "p%1", "text": "Page %1", "groups": [%2]})").arg(p).arg(groups);
    }
    return QStringLiteral(R"({"schemaVersion": 1, "pages": [%1]})").arg(pages);
}

void buildInCode(TEVQRibbonBar& bar)
{
    for (int p = 0; p < kPages; ++p) {
        TEVQRibbonPage* page = bar.addPage(QStringLiteral("p%1").arg(p), QStringLiteral("Page %1").arg(p));
        for (int g = 0; g < kGroups; ++g) {
            TEVQRibbonGroup* group = page->addGroup(QStringLiteral("g%1").arg(g), QStringLiteral("Group %1").arg(g));
            for (int i = 0; i < kItems; ++i) {
                const QString id = QStringLiteral("cmd_%1_%2_%3").arg(p).arg(g).arg(i);
                auto* action = new QAction(QStringLiteral("Command %1").arg(i), &bar);
                action->setObjectName(id);
                TEVQRibbonMenu* menu = nullptr;
                if (i == 1) {
                    menu = new TEVQRibbonMenu(group);
                    menu->addCommand(id + QStringLiteral("_a"), QStringLiteral("One"));
                    menu->addCommand(id + QStringLiteral("_b"), QStringLiteral("Two"));
                }
                group->addAction(action, tevRibbonItemSize(QLatin1String(sizeWord(i))),
                                 menu ? TEV_RIBBON_POPUP_SPLIT : TEV_RIBBON_POPUP_NONE, menu);
            }
        }
    }
    bar.ribbonImpl()->applyRibbonStyle();
}

// Lays the bar out and paints every page once.
void layOutAndPaint(TEVQRibbonBar& bar, QImage& image)
{
    bar.resize(1400, 130);
    bar.updateLayout();
    for (int p = 0; p < bar.pageCount(); ++p) {
        bar.setCurrentPage(p);
        bar.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    }
}

template <class Build> double medianMs(Build build)
{
    QImage image(1400, 130, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    for (int run = 0; run < kRuns + 1; ++run) {
        QElapsedTimer timer;
        timer.start();
        {
            TEVQRibbonBar bar;
            build(bar);
            layOutAndPaint(bar, image);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (run > 0)
            times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Median milliseconds of adding pages pages to an empty bar, one addPage at a time, and laying it out once.
double addPagesMs(int pages)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns + 1; ++run) {
        QElapsedTimer timer;
        timer.start();
        {
            TEVQRibbonBar bar;
            bar.resize(1400, 130);
            for (int p = 0; p < pages; ++p)
                bar.addPage(QStringLiteral("p%1").arg(p), QStringLiteral("Page %1").arg(p));
            bar.updateLayout();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (run > 0)
            times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    init();
    const QString text = documentText();
    const double fromDocument = medianMs([&](TEVQRibbonBar& bar) {
        if (!bar.loadConfigJson(text))
            std::printf("document refused: %s\n", qPrintable(bar.lastError()));
    });
    const double inCode = medianMs([](TEVQRibbonBar& bar) { buildInCode(bar); });
    std::printf("ribbon %dx%dx%d, load + layout + paint each page\n", kPages, kGroups, kItems);
    std::printf("%-34s %9.1f ms   built in code %9.1f ms   ratio %.2f\n", "from configuration document",
                fromDocument, inCode, fromDocument / inCode);
    // Tab work that grows with the square of the page count shows as a cost per page that grows with the count.
    const double few = addPagesMs(50);
    const double many = addPagesMs(400);
    std::printf("%-34s %9.3f ms   50 pages %9.3f ms   ratio per page %.2f\n", "addPage x 400, per page", many / 400,
                few / 50, (many / 400) / (few / 50));
    return 0;
}
