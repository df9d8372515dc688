#include "wizard/progress_bar.h"

#include "platform/unique_resource.h"
#include "wizard/panel.h"

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
  filled_ = 0;
  Invalidate();
}

void ProgressBar::SetPosition(unsigned long long done, unsigned long long total) {
  const int inside = width() - 2;
  const int filled = total == 0 || done >= total ? inside : static_cast<int>(done * inside / total);
  if (filled == filled_) return;
  filled_ = filled;
  Invalidate();
}

void ProgressBar::Paint(HDC dc) const {
  if (!shown_) return;
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  DrawBevelFrame(dc, bounds(), shadow, shadow);
  platform::UniqueBrush brush(CreateSolidBrush(fill_));
  if (!brush || filled_ == 0) return;  // no brush: the frame alone still says it is busy
  const RECT bar{bounds().left + 1, bounds().top + 1, bounds().left + 1 + filled_,
                 bounds().bottom - 1};
  FillRect(dc, &bar, brush.get());
}

}  // namespace wizard
