#pragma once
// StepProgress ticked many times at once by the range query's passes.

#include <cmath>

#include "app/FrmLexaro.h"

namespace zuvo {

// StepProgress over many rows at once, with the same counter and bar as a
// tick per row: the counter is kept in tenths and written back as text only
// before a handler may see it and when the scan ends.
class ProgressSteps {
 public:
  explicit ProgressSteps(FrmLexaro& w) : w_(w) {}
  ~ProgressSteps() {
    try {
      flush();
    } catch (...) {
      // The event failed already; the counter stays as last written.
    }
  }

  void advance(int64_t ticks) {
    if (ticks <= 0) return;
    if (!known_) {
      const double v = Val(w_.Text54.text()) * 10;
      tenths_ = std::llround(v);
      // A counter off the cycle's tenths steps one tick at a time.
      exact_ = tenths_ >= 0 && tenths_ < 900 && tenths_ % 3 == 0 &&
               NumText(static_cast<double>(tenths_) / 10) == w_.Text54.text();
      known_ = exact_;
    }
    if (!exact_) {
      for (int64_t i = 0; i < ticks; ++i) w_.Command4_Click();
      return;
    }
    // +0.3 a tick, back to 0 on reaching 90: 300 ticks make a cycle.
    tenths_ = (tenths_ + 3 * (ticks % 300)) % 900;
    unwritten_ = true;
    w_.ProgressBar1.Visible = true;
    w_.ProgressBar1.Value = static_cast<float>(static_cast<double>(tenths_) / 10);
    w_.app().progress();
  }

  void flush() {
    if (!unwritten_) return;
    unwritten_ = false;
    w_.Text54.setText(NumText(static_cast<double>(tenths_) / 10));
  }

 private:
  FrmLexaro& w_;
  bool known_ = false, exact_ = false, unwritten_ = false;
  int64_t tenths_ = 0;
};

}  // namespace zuvo
