#include "quillora/platform/clock.h"

#include <sys/time.h>

#include <ctime>

namespace quillora::platform {

namespace {
std::optional<TDateTime> g_fixed;
}

TDateTime Now() {
  if (g_fixed) return *g_fixed;
  timeval tv{};
  gettimeofday(&tv, nullptr);
  tm local{};
  localtime_r(&tv.tv_sec, &local);
  TDateTime t;
  t.Year = local.tm_year + 1900;
  t.Month = local.tm_mon + 1;
  t.Day = local.tm_mday;
  t.Hour = local.tm_hour;
  t.Minute = local.tm_min;
  t.Second = local.tm_sec;
  t.Millisecond = static_cast<int>(tv.tv_usec / 1000);
  t.DayOfWeek = local.tm_wday;
  return t;
}

void SetFixedClock(std::optional<TDateTime> value) { g_fixed = value; }

}  // namespace quillora::platform
