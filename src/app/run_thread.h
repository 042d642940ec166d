#pragma once

namespace kvr {

// The body of the run thread: one pass per session, started by WM_APP+1.
void lf_runThread();

} // namespace kvr
