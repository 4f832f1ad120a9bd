// ThreadSanitizer's settings for unit_threads, however it is run: the first report ends the test
// program with status 66, so the test fails; a lock-order report shows both stacks. Reports go to
// standard output, because several tests capture standard error to read the program's messages
// (a report there would be lost with the capture).
extern "C" const char* __tsan_default_options() {
  return "halt_on_error=1:exitcode=66:second_deadlock_stack=1:log_path=stdout";
}
