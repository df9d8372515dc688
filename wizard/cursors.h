// The cursor kinds the wizard's controls show. The hand kind has no cursor
// until the window installs the system's hand cursor when it is first shown.
#pragma once

#include <windows.h>

namespace wizard {

enum class CursorKind { Arrow, Hand };

void InstallHandCursor(HCURSOR cursor) noexcept;
// The cursor for a kind; null for the arrow, and for the hand before it is
// installed, which leaves the choice to the default window procedure.
HCURSOR CursorFor(CursorKind kind) noexcept;

}  // namespace wizard
