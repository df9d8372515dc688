#include "wizard/cursors.h"

namespace wizard {
namespace {

// A shared system cursor: it is never destroyed, so no owner is needed.
HCURSOR installedHand = nullptr;

}  // namespace

void InstallHandCursor(HCURSOR cursor) noexcept {
  installedHand = cursor;
}

HCURSOR CursorFor(CursorKind kind) noexcept {
  return kind == CursorKind::Hand ? installedHand : nullptr;
}

}  // namespace wizard
