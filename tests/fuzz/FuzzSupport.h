#pragma once
// Set-up and checks shared by the widget fuzz targets: the application, kept for the life of the process, the
// input taken as element JSON, the written-then-read-back check, and the settling of events between inputs.
#include "TEVJson.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace fuzzsupport {

// The target's QApplication, created on the first call; name is its argv[0] and must outlive it.
inline QApplication* application(const char* name)
{
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(name), nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return app;
}

// A parent for the widgets under test, made once the application exists.
inline QWidget* root(const char* name)
{
    application(name);
    static QWidget* parent = new QWidget;
    return parent;
}

// The input as JSON; false when it is none (nothing to feed).
inline bool parseInput(const uint8_t* data, size_t size, Json::Value& element)
{
    const char* text = reinterpret_cast<const char*>(data);
    return TEVQtLib::json::parse(text, text + size, element);
}

// Stops the run (a crash libFuzzer records) when what was written first and what was written again differ; both
// are printed first when TEV_FUZZ_SHOW is set, under label when one is given.
inline void requireSame(const Json::Value& first, const Json::Value& second, const char* label = nullptr)
{
    if (first == second)
        return;
    if (qEnvironmentVariableIsSet("TEV_FUZZ_SHOW"))
        fprintf(stderr, "%s\n%s\n----\n%s\n", label ? label : "", TEVQtLib::json::writeStyled(first).c_str(),
                TEVQtLib::json::writeStyled(second).c_str());
    __builtin_trap();
}

// readWrite takes an element into a fresh widget and gives what the widget writes; what it writes for its own
// output must be that output again.
template <class ReadWrite>
void checkRoundTrip(const Json::Value& element, ReadWrite readWrite, const char* label = nullptr)
{
    const Json::Value first = readWrite(element);
    requireSame(first, readWrite(first), label);
}

// Delivers what the previous input's widgets posted and deletes what they scheduled for deletion. The targets
// never run an event loop: without this, the events of shown windows (and, under xcb, the window system's) and the
// objects waiting for deletion pile up from one input to the next. Called at the start of every input.
inline void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The start of every input, after the target's own set-up: what the previous input's widgets left is settled,
// then the input is taken as JSON; false when it is none (nothing to feed).
inline bool nextInput(const uint8_t* data, size_t size, Json::Value& element)
{
    settle();
    return parseInput(data, size, element);
}

} // namespace fuzzsupport
