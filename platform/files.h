// Creating the files the installation writes.
#pragma once

#include "platform/unique_resource.h"

#include <string>

namespace platform {

// Creates or truncates the file, read and write access, no sharing. Raises
// `Cannot create file "<absolute path>". <system text>` when it cannot.
UniqueFile CreateFileForWriting(const std::string& path);
// The same, but what is there is deleted and the file made anew, so that
// nothing is written through a link or a second name of another file that
// stands at the path; a file that appears there in between is an error too.
UniqueFile CreateNewFileForWriting(const std::string& path);

// Writes the text and a line end (CR LF) to a file or console that may be
// absent (null or invalid: nothing is written). A report that cannot be
// written cannot be reported either, so a failure is not examined.
void WriteLine(HANDLE file, const std::string& text) noexcept;

// The same to standard error, when whoever started the program gave it one.
void WriteStandardError(const std::string& text) noexcept;

}  // namespace platform
