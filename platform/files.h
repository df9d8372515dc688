// Creating the files the installation writes.
#pragma once

#include "platform/unique_resource.h"

#include <string>

namespace platform {

// Creates or truncates the file, read and write access, no sharing. Raises
// `Cannot create file "<absolute path>". <system text>` when it cannot.
UniqueFile CreateFileForWriting(const std::string& path);

}  // namespace platform
