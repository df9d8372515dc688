// How far the installation is, without a window of its own: a thin frame in
// the bevels' shadow colour filled from the left in the colour of the
// product's name. Not drawn until the installation starts, so the ready
// page looks as it did before.
#pragma once

#include "wizard/windowless_control.h"

namespace wizard {

class ProgressBar : public WindowlessControl {
 public:
  ProgressBar(Surface& parent, RECT bounds, COLORREF fill);

  void Show();
  void Hide();
  bool shown() const noexcept { return shown_; }
  // `done` of `total`; only a change of the filled width is repainted.
  void SetPosition(unsigned long long done, unsigned long long total);
  // The filled width in pixels, inside the frame.
  int filled() const noexcept { return filled_; }

  void Paint(HDC dc) const override;
  void Rescale(const FontMap& fonts) override;

 private:
  int frame() const noexcept;
  int FilledWidth() const noexcept;

  COLORREF fill_;
  bool shown_ = false;
  unsigned long long done_ = 0;
  unsigned long long total_ = 1;
  int filled_ = 0;
};

}  // namespace wizard
