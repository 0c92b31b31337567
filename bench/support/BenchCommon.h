#pragma once
// What the benchmarks share: writing a style or theme file, the cells of a grid of controls, the thread's
// processor time, resident memory, medians, and painting a host with all its children into an image.
#include <QFile>
#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace benchsupport {

// Writes text to path whole; false when the file cannot be written.
inline bool writeText(const QString& path, const char* text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == qint64(qstrlen(text));
}

// Cell i of a grid of the given number of columns: cellW x cellH apart, each gap pixels smaller than that.
inline QRect gridCell(int i, int columns, int cellW, int cellH, int gap)
{
    return QRect((i % columns) * cellW, (i / columns) * cellH, cellW - gap, cellH - gap);
}

// Processor time of the calling thread in milliseconds: the painting is all done on it, and unlike the wall
// clock it does not count the time other work on a busy machine takes the processor away.
inline double threadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Resident memory of this process in KiB (0 when /proc cannot be read).
inline long residentKiB()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Paints host and every child into image (filled white first): the processor milliseconds it took.
inline double paintOnceMs(QWidget* host, QImage& image)
{
    image.fill(Qt::white);
    const double start = threadMs();
    host->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return threadMs() - start;
}

// Median of passes paints of host (with every child) into an image of its size, after one that warms caches.
inline double paintMs(QWidget* host, int passes)
{
    QImage image(host->size(), QImage::Format_ARGB32_Premultiplied);
    paintOnceMs(host, image);
    std::vector<double> times;
    for (int pass = 0; pass < passes; ++pass)
        times.push_back(paintOnceMs(host, image));
    return median(times);
}

} // namespace benchsupport
