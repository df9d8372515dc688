// The program's own fixed texts that both of its faces show, the wizard and
// the unattended run: its title, the engine's one message of its own, and
// what is said for errors that are not the program's (whose texts name the
// runtime's types rather than what went wrong).
#pragma once

namespace product {

inline constexpr const char* kApplicationTitle = "Installation program";
inline constexpr const char* kErrorDecompressing = "Error decompressing file.";
inline constexpr const char* kOutOfMemory = "Out of memory";
inline constexpr const char* kUnexpectedError = "Unexpected error";

}  // namespace product
