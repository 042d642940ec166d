#pragma once
#include <filesystem>
#include <mutex>
#include <string>

namespace kvr {

// Serialises every write to Log.txt. Writers that need several lines in one piece may hold it
// and use gf_logLineLocked.
extern std::mutex logMutex;

// Opens <folder>/Log.txt truncated, after moving the earlier logs one generation back
// (Log.txt -> Log0.txt -> Log00.txt -> Log000.txt; the oldest is dropped). Writes the first line.
// Throws std::runtime_error "Failed to write file <path>" when the file cannot be opened.
void gf_openLogFile(const std::filesystem::path& folder = std::filesystem::current_path());
void gf_closeLogFile();
bool gf_logIsOpen();

void gf_logLine(const std::string& text);
void gf_logError(const std::string& text);     // "==> " + text, then a flush
void gf_logIndented(const std::string& text);  // ten blanks + text
void gf_logUnlessQuiet(const std::string& text); // gf_logLine unless a stop was requested or the user closed
void gf_flushLog();

// Writes text and a line feed; the caller holds logMutex.
void gf_logLineLocked(const std::string& text);

} // namespace kvr
