// ThreadSanitizer's settings for unit_threads, however it is run: the first report ends the test
// program with status 66, so the test fails; a lock-order report shows both stacks. Reports go to
// standard output, because several tests capture standard error to read the program's messages
// (a report there would be lost with the capture).
extern "C" const char* __tsan_default_options() {
  return "halt_on_error=1:exitcode=66:second_deadlock_stack=1:log_path=stdout";
}

// Races reported inside system libraries, which are not built with the sanitizer, so that it misses
// some of their locks and waits. Each line names one library and why.
extern "C" const char* __tsan_default_suppressions() {
  return
      // Mesa's software renderer (the tests' windows on Xvfb) hands work to its own rasterizer
      // threads and destroys its locks when a context goes; seen as a race between its thread
      // "llvmpipe-0" locking a mutex and the main thread destroying it, with no code of ours
      // between them (the test only opens a window and pumps its events).
      "race:swrast_dri.so\n";
}
