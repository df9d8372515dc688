#include "platform/error.h"

#include <gtest/gtest.h>

namespace {

// The text stays what the user reads; the diagnosis line is one fixed form
// per kind of code, and absent when no system call failed.
TEST(SetupError, CarriesItsTextAndTheFailedCallThroughAThrow) {
  try {
    platform::Raise(platform::Format("Unable to write to %s", "C:\\x\\install.log"),
                    platform::Win32Failure("WritePrivateProfileStringA", ERROR_SHARING_VIOLATION));
    FAIL() << "Raise returned";
  } catch (const platform::SetupError& error) {
    EXPECT_STREQ(error.what(), "Unable to write to C:\\x\\install.log");
    EXPECT_EQ(platform::DiagnosisLine(error.call()),
              "Diagnosis: WritePrivateProfileStringA failed with error 32 (0x00000020).");
  }
  EXPECT_EQ(
      platform::DiagnosisLine(platform::HResultFailure("CoCreateInstance", REGDB_E_CLASSNOTREG)),
      "Diagnosis: CoCreateInstance failed with HRESULT 0x80040154.");
  EXPECT_EQ(platform::DiagnosisLine(platform::Win32Failure("CreateWindowExA", 1407, "EDIT")),
            "Diagnosis: CreateWindowExA(EDIT) failed with error 1407 (0x0000057F).");
  EXPECT_EQ(platform::DiagnosisLine(platform::ZlibFailure("inflate", -3)),
            "Diagnosis: inflate failed with result -3.");
  EXPECT_EQ(platform::DiagnosisLine(platform::CodelessFailure("SendMessageA(TTM_ADDTOOLA)")),
            "Diagnosis: SendMessageA(TTM_ADDTOOLA) failed.");
  EXPECT_EQ(platform::DiagnosisLine(platform::SetupError("Stream read error").call()), "");
}

TEST(SetupError, FormatHandlesLongAndEmptyTexts) {
  const std::string longText(5000, 'x');
  EXPECT_EQ(platform::Format("%s!", longText.c_str()), longText + "!");
  EXPECT_EQ(platform::Format("%s", ""), "");
  EXPECT_EQ(platform::Format("OLE error %.8x", 0x80040154u), "OLE error 80040154");
}

TEST(SystemErrorText, DropsTrailingBlanksLineBreaksAndFullStops) {
  const std::string text = platform::SystemErrorText(ERROR_FILE_NOT_FOUND);
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), '.');
  EXPECT_NE(text.back(), '\n');
  EXPECT_NE(text.back(), ' ');
  EXPECT_LE(text.size(), 256u);
}

TEST(SystemErrorText, IsEmptyForACodeTheSystemDoesNotKnow) {
  EXPECT_EQ(platform::SystemErrorText(0x2FFFFFFF), "");
}

TEST(ClosingFullStop, AddedOnlyAfterCharactersAboveTheFullStop) {
  EXPECT_EQ(platform::WithClosingFullStop("data error"), "data error.");
  EXPECT_EQ(platform::WithClosingFullStop("Stream write error."), "Stream write error.");
  // '!' and ')' and '-' have codes below '.', so nothing is added after them.
  EXPECT_EQ(platform::WithClosingFullStop("Done!"), "Done!");
  EXPECT_EQ(platform::WithClosingFullStop("(x)"), "(x)");
  EXPECT_EQ(platform::WithClosingFullStop("a-"), "a-");
  EXPECT_EQ(platform::WithClosingFullStop("path\\"), "path\\.");
  EXPECT_EQ(platform::WithClosingFullStop(""), "");
}

}  // namespace
