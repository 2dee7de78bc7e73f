// A test that crashes on purpose, run only by the ctest entry that checks the crash is reported
// with the running case's name and ends the process at once.
#include <gtest/gtest.h>

namespace {

TEST(CrashReport, DISABLED_WriteThroughNull) {
  volatile int* nowhere = nullptr;
  *nowhere = 1;
}

}  // namespace
