#include "wizard/fonts.h"

#include "platform/error.h"
#include "wizard/gdi.h"

namespace wizard {

platform::UniqueFont MakeFont(const char* face, int characterHeight, FontStyle style) {
  // A negative height asks for the character height, without internal leading.
  platform::UniqueFont font(CreateFontA(-characterHeight, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL,
                                        style.italic, style.underline, FALSE, DEFAULT_CHARSET,
                                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        DEFAULT_PITCH, face));
  // GDI sets no error code for a font it cannot make.
  if (!font) {
    platform::Raise(platform::Format("Failed to create font %s", face),
                    platform::CodelessFailure("CreateFontA"));
  }
  return font;
}

std::string FaceOf(HFONT font) {
  SelectedObject selected(ScratchDc(), font);
  char face[LF_FACESIZE] = "";
  GetTextFaceA(ScratchDc(), LF_FACESIZE, face);
  return face;
}

// Measured on the kept memory device context: taking the screen's own for
// each measurement costs a round trip to the display twice.
SIZE TextExtent(HFONT font, const std::string& text, bool literal) {
  SelectedObject selected(ScratchDc(), font);
  RECT box{0, 0, 0, 0};
  DrawTextA(ScratchDc(), text.c_str(), static_cast<int>(text.size()), &box,
            DT_CALCRECT | DT_SINGLELINE | DT_LEFT | DT_TOP | (literal ? DT_NOPREFIX : 0));
  return SIZE{box.right - box.left, box.bottom - box.top};
}

WizardFonts::WizardFonts(DisplayScale scale)
    : window(MakeFont("MS Sans Serif", scale(11))),
      productName(MakeFont("Arial", scale(15), {.bold = true, .italic = true})),
      copyright(MakeFont("Arial", scale(11))),
      link(MakeFont("MS Sans Serif", scale(11), {.underline = true})),
      fullName(MakeFont("MS Sans Serif", scale(11), {.bold = true})),
      comment(MakeFont("Arial", scale(11), {.italic = true})),
      heading(MakeFont("Arial", scale(12), {.bold = true})) {}

HFONT WizardFonts::Matching(const WizardFonts& other, HFONT font) const noexcept {
  using Slot = platform::UniqueFont WizardFonts::*;
  for (Slot slot :
       {&WizardFonts::window, &WizardFonts::productName, &WizardFonts::copyright,
        &WizardFonts::link, &WizardFonts::fullName, &WizardFonts::comment, &WizardFonts::heading}) {
    if ((other.*slot).get() == font) return (this->*slot).get();
  }
  return font;
}

}  // namespace wizard
