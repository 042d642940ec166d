#pragma once
// The program folder as the place the program writes to.

namespace kvr {

// Throws UserErrorException 42 when Log.txt could not be opened in the working folder (the program folder):
// a folder the user may not write to, such as one unzipped under Program Files, where neither the log nor
// the program's other files can be kept. The window is then the only place that can say so.
void gf_checkProgramFolderWritable();

} // namespace kvr
