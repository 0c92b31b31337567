#pragma once
// Timing a view's scroll from top to bottom, painting it into an image after every page step.
#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QImage>
#include <QScrollBar>

#include <vector>

namespace benchsupport {

// Milliseconds of each of passes scrolls from top to bottom (one untimed warm-up scroll before them).
inline std::vector<double> scrollPassesMs(QAbstractItemView* view, int passes)
{
    QImage image(view->size(), QImage::Format_ARGB32_Premultiplied);
    QScrollBar* bar = view->verticalScrollBar();
    std::vector<double> times;
    for (int pass = 0; pass < passes + 1; ++pass) {
        bar->setValue(0);
        QElapsedTimer timer;
        timer.start();
        const int step = qMax(1, bar->pageStep());
        for (int v = 0;; v += step) {
            bar->setValue(qMin(v, bar->maximum()));
            view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            if (v >= bar->maximum())
                break;
        }
        if (pass > 0)
            times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return times;
}

} // namespace benchsupport
