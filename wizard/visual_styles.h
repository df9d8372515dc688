// Whether the window is drawn with the system's visual styles: the labels
// and the message dialogs look different with them.
#pragma once

namespace wizard {

// True when the system's visual styles apply to this program.
bool VisualStylesActive();

}  // namespace wizard
