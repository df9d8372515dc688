// Shared by the payload tests: the module of crafted streams and the samples
// they were packed from.
#pragma once

#include "tests/support/test_support.h"

#include <string>

namespace test {

// The module holding the crafted "BINARY" streams, loaded as data.
platform::UniqueModule LoadStreamModule(std::source_location at = std::source_location::current());
// One of the files the crafted streams were packed from.
std::string ReadSample(const std::string& name);

}  // namespace test
