// The fonts of the wizard window: a face, a character (em) height in pixels
// and a style; every font uses the default character set. Where a face is
// missing the system substitutes its own.
#pragma once

#include "platform/unique_resource.h"
#include "wizard/display_scale.h"

#include <windows.h>

#include <string>

namespace wizard {

struct FontStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

platform::UniqueFont MakeFont(const char* face, int characterHeight, FontStyle style = {});

// The face the system really gave for a font.
std::string FaceOf(HFONT font);

// Extent of one line of text in a font; "&" marks an accelerator unless the
// text is shown literally.
SIZE TextExtent(HFONT font, const std::string& text, bool literal);

// The window's fonts, made once per display scale and shared by its
// controls. The heights below are the designed ones, at 96 dots per inch.
struct WizardFonts {
  explicit WizardFonts(DisplayScale scale = {});
  // This set's font in the place `font` has in `other`; `font` itself when
  // it is none of `other`'s.
  HFONT Matching(const WizardFonts& other, HFONT font) const noexcept;

  platform::UniqueFont window;       // "MS Sans Serif" 11, regular
  platform::UniqueFont productName;  // "Arial" 15, bold italic
  platform::UniqueFont copyright;    // "Arial" 11, regular
  platform::UniqueFont link;         // "MS Sans Serif" 11, underlined
  platform::UniqueFont fullName;     // "MS Sans Serif" 11, bold
  platform::UniqueFont comment;      // "Arial" 11, italic
  platform::UniqueFont heading;      // "Arial" 12, bold
};

}  // namespace wizard
