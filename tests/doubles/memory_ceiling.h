#pragma once
// Runs a check in a child process whose address space is capped, so that a read sized by a huge (or
// sparse) file fails the test instead of taking the machine's memory. Used by the tests of every loader
// that reads bytes from outside.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <functional>

namespace sylvora {

// True when check returned true in a child capped at ceilingBytes of address space; false when it
// returned false, ran out of memory or crashed. Under AddressSanitizer, which reserves terabytes of
// shadow memory up front, the child runs uncapped: an allocation of a file's whole length aborts it there.
inline bool PassesUnderMemoryCeiling(size_t ceilingBytes, const std::function<bool()>& check) {
  const pid_t child = fork();
  if (child == 0) {
#ifndef __SANITIZE_ADDRESS__
    const rlimit ceiling{ceilingBytes, ceilingBytes};
    setrlimit(RLIMIT_AS, &ceiling);
#endif
    // Nothing may return into the test program's copy here: it would go on running the other tests.
    bool passed = false;
    try {
      passed = check();
    } catch (...) {
    }
    _exit(passed ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A ceiling well above what a test program needs and far below the files the tests make.
constexpr size_t kTestMemoryCeiling = size_t{1} << 30;
// The length of the sparse files the tests make: a terabyte, which no read may take whole.
constexpr long long kSparseFileLength = 1LL << 40;

}  // namespace sylvora
