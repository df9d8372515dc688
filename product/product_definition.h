// Everything that identifies the one product this setup program installs.
// Read directly by every layer, never changed at run time.
#pragma once

#include <array>

namespace product {

struct PayloadRow {
  const char* resourceName;  // a "BINARY" resource of the program, any case
  const char* fileName;      // the name it is written under in the destination
};

inline constexpr const char* ShortName = "Quorvelle";
inline constexpr const char* FullName = "Telvarion";
inline constexpr const char* Version = "5.0";
inline constexpr const char* Publisher = "Nerovane technologies";
inline constexpr const char* ContactAddress = "support@nerovane.example";
inline constexpr const char* ProductUrl = "https://quorvelle.nerovane.example";
inline constexpr const char* UpdateUrl = ProductUrl;
inline constexpr int VersionMajor = 5;
inline constexpr int VersionMinor = 0;
inline constexpr const char* PublisherPageName = "Nerovane web page";
inline constexpr const char* PublisherUrl = "https://www.nerovane.example";
inline constexpr const char* SpaceRequiredText = "1.66MB";

// Row 1 is the main program, row 2 the uninstaller, row 4 the help text.
inline constexpr std::array<PayloadRow, 4> PayloadTable{{
    {"quorvelle", "Quorvelle.exe"},
    {"uninstall", "Uninstall.exe"},
    {"copyright", "Copyright.txt"},
    {"help", "help.txt"},
}};
inline constexpr const PayloadRow& MainProgram = PayloadTable[0];
inline constexpr const PayloadRow& Uninstaller = PayloadTable[1];
inline constexpr const PayloadRow& HelpText = PayloadTable[3];

// Payload files left alone when already present; the empty entry matches none.
inline constexpr std::array<const char*, 1> PreservedFiles{""};

// Files the product writes itself; logged so that its uninstaller removes them.
inline constexpr std::array<const char*, 5> RuntimeFiles{
    "ActLog.txt", "Channels.ini", "FileSharing.ini", "OfflineMsg.ini", "Users.ini"};

// Folders inside the destination the product makes itself; empty entries skipped.
inline constexpr std::array<const char*, 1> ExtraFolders{""};

}  // namespace product
