// Test main: an application object exists for the whole run, so Qt event
// loops, timers and posted events work inside the tests.
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

#ifdef OVILEN_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

// Options of the sanitizer builds; they apply however the test is started.
extern "C" {
const char *__asan_default_options()
{
    return "detect_leaks=1:abort_on_error=1:strict_string_checks=1:"
           "detect_stack_use_after_return=1";
}
const char *__ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
const char *__lsan_default_options()
{
    return "suppressions=" OVILEN_SANITIZER_DIR "/lsan.supp:print_suppressions=0";
}
// ignore_noninstrumented_modules: what the system libraries call (malloc,
// memcpy, free on their own memory) is not checked, but their locks and
// descriptors still order the threads; every access of our own code is checked.
#define OVILEN_TSAN_OPTIONS                                                                        \
    "suppressions=" OVILEN_SANITIZER_DIR "/tsan.supp:halt_on_error=1:detect_deadlocks=0:"          \
    "ignore_noninstrumented_modules=1"
const char *__tsan_default_options()
{
    return OVILEN_TSAN_OPTIONS;
}
}

int main(int argc, char **argv)
{
#if defined(__SANITIZE_THREAD__)
    // The programs a test starts (the viewer itself) are checked the same way.
    setenv("TSAN_OPTIONS", OVILEN_TSAN_OPTIONS, 0);
    // GLib's slice allocator passes memory between threads through magazines
    // ThreadSanitizer cannot follow, so a block reused on another thread looks
    // like a race with its first owner. With every slice taken from malloc the
    // detector sees each allocation. GLib reads the setting when it is loaded,
    // before main, so the test starts itself again with it.
    if (const char *slice = std::getenv("G_SLICE"); !slice || std::strcmp(slice, "always-malloc")) {
        setenv("G_SLICE", "always-malloc", 1);
        execv("/proc/self/exe", argv);
        // Should that fail, the test runs with the slices as they are.
    }
#endif
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
