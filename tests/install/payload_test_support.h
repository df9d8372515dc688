// Shared by the payload tests: where the crafted streams and the release
// live, and a way to catch the text an extraction raises.
#pragma once

#include "platform/unique_resource.h"

#include <functional>
#include <string>

namespace test {

// A host path as the Wine programs see it (drive Z: is the host's root).
std::string HostPath(const std::string& unixPath);

// The module holding the crafted "BINARY" streams, loaded as data.
platform::UniqueModule LoadStreamModule();
// One of the files the crafted streams were packed from.
std::string ReadSample(const std::string& name);

// The text of the error `action` raised; "(nothing raised)" when none.
std::string RaisedText(const std::function<void()>& action);

}  // namespace test
