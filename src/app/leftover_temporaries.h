#pragma once

namespace kvr {

// Removes the temporary files that earlier runs, killed between writing and renaming, left in the folders
// the program writes to. Run at the start of the process, before anything is read.
void gf_removeLeftoverTemporaries();

} // namespace kvr
