// Runs a piece of work in a child process and reports its wall time and
// peak resident memory, so that each measured run has a memory figure of
// its own.
#pragma once

#include <functional>
#include <string>

namespace bench {

struct RunStats {
  double seconds = 0;
  long peak_kib = 0;    // maximum resident set of the child
  long long bytes = 0;  // what the work reported (e.g. the output size)
  bool ok = false;
};

// Work returns a byte count (written file size) or -1 on failure.
RunStats RunInChild(const std::function<long long()>& work);

}  // namespace bench
