// Test main: an application object exists for the whole run, so Qt event
// loops, timers and posted events work inside the tests.
#include <gtest/gtest.h>

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
const char *__tsan_default_options()
{
    return "suppressions=" OVILEN_SANITIZER_DIR "/tsan.supp:halt_on_error=1:detect_deadlocks=0";
}
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
