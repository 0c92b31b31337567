#pragma once
// Timing a widget's repaints into an image, and a view's scroll, painting it after every step: from top to bottom
// a page at a time, or down a row at a time.
#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QImage>
#include <QScrollBar>

#include <algorithm>
#include <vector>

namespace benchsupport {

// Median microseconds of one repaint of widget into an image, nothing about it changed between paints.
inline double repaintUs(QWidget* widget, int paints = 400)
{
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    widget->render(&image); // the first paint builds whatever is kept
    std::vector<double> times;
    for (int pass = 0; pass < 5; ++pass) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < paints; ++i)
            widget->render(&image);
        times.push_back(timer.nsecsElapsed() / 1e3 / paints);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

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

// Median microseconds of one paint while scrolling 200 rows down a row at a time (the rows mostly stay).
inline double rowStepUs(QAbstractItemView* view, int rowHeight)
{
    QImage image(view->size(), QImage::Format_ARGB32_Premultiplied);
    QScrollBar* bar = view->verticalScrollBar();
    std::vector<double> times;
    for (int pass = 0; pass < 4; ++pass) {
        bar->setValue(0);
        view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        QElapsedTimer timer;
        timer.start();
        for (int i = 1; i <= 200; ++i) {
            bar->setValue(i * rowHeight);
            view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        }
        if (pass > 0)
            times.push_back(timer.nsecsElapsed() / 1e3 / 200);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace benchsupport
