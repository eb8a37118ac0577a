// Local date and time, with a switch for tests that need fixed output.
#pragma once

#include <optional>

namespace quillora::platform {

struct TDateTime {
  int Year = 1970;
  int Month = 1;  // 1..12
  int Day = 1;    // 1..31
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
  int DayOfWeek = 4;  // 0 = Sunday
};

// The current local date and time, or the fixed value when one is set.
TDateTime Now();

// Fixes what Now() returns (tests compare whole files); nullopt restores the clock.
void SetFixedClock(std::optional<TDateTime> value);

}  // namespace quillora::platform
