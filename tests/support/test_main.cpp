// The main of every test executable. Under Windows an unhandled exception names the running case
// on stderr before the process ends with its code: the brief output prints no case names.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
  const testing::TestInfo* running = testing::UnitTest::GetInstance()->current_test_info();
  std::fprintf(stderr, "\ncrashed: exception 0x%08lX in %s.%s\n",
               static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode),
               running ? running->test_suite_name() : "(no test)", running ? running->name() : "(none)");
  std::fflush(stderr);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  SetUnhandledExceptionFilter(ReportCrash);
  // No error dialogs of the system's own: a test run must never wait for a click.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
#endif
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
