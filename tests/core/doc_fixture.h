// Small helpers for tests that build whole documents.
#pragma once

#include <sstream>
#include <string>

#include "quillora/core/document.h"
#include "quillora/platform/clock.h"

namespace quillora::testing {

// 9 December 2026 13:05:09.250, a Wednesday.
inline platform::TDateTime FixedTime() {
  platform::TDateTime t;
  t.Year = 2026;
  t.Month = 12;
  t.Day = 9;
  t.Hour = 13;
  t.Minute = 5;
  t.Second = 9;
  t.Millisecond = 250;
  t.DayOfWeek = 3;
  return t;
}

// Fixes the clock for the life of the object.
struct FixedClock {
  FixedClock() { platform::SetFixedClock(FixedTime()); }
  ~FixedClock() { platform::SetFixedClock(std::nullopt); }
};

// Runs Draw between StartDocument and FinishDocument into memory.
template <typename F>
std::string BuildPdf(TPDFDocument& doc, F&& Draw) {
  std::ostringstream out;
  doc.SetOutputStream(&out);
  doc.StartDocument();
  Draw(doc);
  doc.FinishDocument();
  doc.SetOutputStream(nullptr);
  return out.str();
}

inline std::string BuildPdf(TPDFDocument& doc) {
  return BuildPdf(doc, [](TPDFDocument&) {});
}

}  // namespace quillora::testing
