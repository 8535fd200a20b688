// The main function of the windows' tests: QTEST_MAIN's, and then a wait for Qt's own
// threads to end.
//
// Qt's raster engine spreads large fills (a gradient, a scroll bar) over a pool of threads
// that the application ends as it is destroyed. A pool thread may still be running its
// thread-exit cleanup when the program's static teardown deletes the key that cleanup
// hangs on; its thread data then stays unfreed, and the leak checker of the sanitizer
// build reports it, now and then, under load. Returning from main only once the process is
// down to its own thread closes that window.
#pragma once

#include <QApplication>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

namespace corvane::test {

/// The threads of this process, as the kernel lists them; 0 when it cannot tell.
inline int processThreadCount() {
    std::error_code error;
    std::filesystem::directory_iterator task("/proc/self/task", error);
    if (error) return 0;
    int count = 0;
    for (; task != std::filesystem::directory_iterator(); task.increment(error)) {
        if (error) return 0;
        ++count;
    }
    return count;
}

/// Waits, two seconds at most, until this thread is the only one left. The threads it
/// waits for have been told to end already and take microseconds, so a short sleep
/// between looks costs nothing.
inline void waitForOtherThreadsToEnd() {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (processThreadCount() > 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
}

template <class TestObject>
int runWindowTests(int argc, char** argv) {
    int status = 0;
    {
        QApplication application(argc, argv);
        application.setAttribute(Qt::AA_Use96Dpi, true);
        TestObject test;
        status = QTest::qExec(&test, argc, argv);
    }
    waitForOtherThreadsToEnd();
    return status;
}

}  // namespace corvane::test

#define CORVANE_WINDOW_TEST_MAIN(TestObject) \
    int main(int argc, char** argv) { return corvane::test::runWindowTests<TestObject>(argc, argv); }
