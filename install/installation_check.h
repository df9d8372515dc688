// What would stop an installation part-way and can be known before it
// changes anything: a file it has to replace that cannot be written now,
// and too little room on the destination's drive. An installation stopped
// after its first step leaves a product half replaced; one refused here
// leaves everything as it was, and can be tried again once the cause is
// gone.
#pragma once

#include "platform/error.h"

#include <string>
#include <vector>

namespace install {

// What stands in the way: the text the user reads (empty: nothing) and,
// for an administrator's report, the call that showed it.
struct Obstacle {
  std::string text;
  platform::FailedCall call;
  bool empty() const noexcept { return text.empty(); }
};

// Why the file at `target` cannot be replaced now; nothing when it is not
// there or can be.
Obstacle ReplacementObstacle(const std::string& target);

// Why an earlier installation's install.log at `log` cannot go before the
// new log is begun: held open by another program, or a folder of that name.
Obstacle OldLogObstacle(const std::string& log);

// One payload file as the installation will write it.
struct PlannedFile {
  unsigned long long bytes;     // what it inflates to
  unsigned long long replaced;  // what the file it replaces holds (0: none)
};

// Bytes the drive must have free for the files, written in this order, each
// replacing its predecessor after that was emptied, plus the log.
unsigned long long BytesNeeded(const std::vector<PlannedFile>& files);

// Why the drive that will hold `installDir` has too little room; empty when
// it has enough or its free space cannot be read (the writes then report).
std::string SpaceObstacle(const std::string& installDir, unsigned long long bytesNeeded);

}  // namespace install
