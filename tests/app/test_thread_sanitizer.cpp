// The suppressions for Qt (tests/tsan.supp) must leave races in VEXA's own code visible, also
// where that code runs under Qt's frames, as every UI handler does.
#include <gtest/gtest.h>

#include <QProcess>

#if defined(__SANITIZE_THREAD__)
#define VEXA_TSAN_BUILD 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VEXA_TSAN_BUILD 1
#endif
#endif

namespace vexa::testing {
namespace {

TEST(ThreadSanitizer, ARaceInsideAQtTimerCallbackIsReported) {
#ifndef VEXA_TSAN_BUILD
    GTEST_SKIP() << "only meaningful in the ThreadSanitizer build";
#else
    QProcess probe;  // inherits TSAN_OPTIONS with the suppressions and halt_on_error
    probe.start(VEXA_TSAN_RACE_PROBE, {});
    ASSERT_TRUE(probe.waitForFinished(60000));
    const QByteArray errors = probe.readAllStandardError();
    EXPECT_TRUE(errors.contains("WARNING: ThreadSanitizer: data race")) << errors.toStdString();
    EXPECT_TRUE(errors.contains("raceProbeRead")) << errors.toStdString();
    EXPECT_NE(probe.exitCode(), 0);
#endif
}

}  // namespace
}  // namespace vexa::testing
