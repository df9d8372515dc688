#include "wizard/progress_bar.h"

#include "platform/unique_resource.h"
#include "wizard/panel.h"
#include "wizard/surface.h"

namespace wizard {

ProgressBar::ProgressBar(Surface& parent, RECT bounds, COLORREF fill)
    : WindowlessControl(parent, bounds), fill_(fill) {}

void ProgressBar::Show() {
  if (shown_) return;
  shown_ = true;
  Invalidate();
}

void ProgressBar::Hide() {
  if (!shown_) return;
  shown_ = false;
  done_ = 0;
  total_ = 1;
  filled_ = 0;
  Invalidate();
}

// The frame is one pixel wide at 96 dots per inch.
int ProgressBar::frame() const noexcept {
  return parent().scale()(1);
}

int ProgressBar::FilledWidth() const noexcept {
  const int inside = width() - 2 * frame();
  return total_ == 0 || done_ >= total_ ? inside : static_cast<int>(done_ * inside / total_);
}

void ProgressBar::SetPosition(unsigned long long done, unsigned long long total) {
  done_ = done;
  total_ = total;
  const int filled = FilledWidth();
  if (filled == filled_) return;
  filled_ = filled;
  Invalidate();
}

void ProgressBar::Rescale(const FontMap& fonts) {
  WindowlessControl::Rescale(fonts);
  filled_ = FilledWidth();
}

void ProgressBar::Paint(HDC dc) const {
  if (!shown_) return;
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const int t = frame();
  DrawBevelFrame(dc, bounds(), shadow, shadow, t);
  platform::UniqueBrush brush(CreateSolidBrush(fill_));
  if (!brush || filled_ == 0) return;  // no brush: the frame alone still says it is busy
  const RECT bar{bounds().left + t, bounds().top + t, bounds().left + t + filled_,
                 bounds().bottom - t};
  FillRect(dc, &bar, brush.get());
}

}  // namespace wizard
