#pragma once

#include "replay/replay_run.h"

namespace vz {

// Makes SIGINT and SIGTERM ask the replay to stop instead of killing it, so
// it can remove its unfinished outputs. A second signal ends the program at
// once, for a run stuck waiting on its input. Returns the flag they set.
const StopFlag* installStopSignalHandlers();

} // namespace vz
