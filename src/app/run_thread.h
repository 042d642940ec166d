#pragma once
#include "core/watched_thread.h"

namespace kvr {

// The body of the run thread: one pass per session, started by WM_APP+1.
void lf_runThread();

// The thread of the current pass: replaced on every WM_APP+1, ended before the process ends.
extern WatchedThread runThread;

} // namespace kvr
