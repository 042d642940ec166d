#pragma once
#include <filesystem>
#include <string>

namespace kvr {

// Reads a link file: true with its first line (trailing white space removed) when that names an .xml file.
bool lf_readApfLink(const std::filesystem::path& path, std::string& link);

// Downloads a server path (archive/...) into a local file; empty on success, else the error text.
// A failed download leaves no local file.
std::string lf_downloadApf(const std::string& path, const std::filesystem::path& localPath);

// The learned file that belongs to a stand file; empty when the stand file has none. Paths may use
// "\" or "/".
std::filesystem::path lf_learnedApfPath(const std::string& path, const std::string& publisher);

// Whether a stand file names its maker: a publisher, or a manufacturer or creator of at least four
// characters that is not the excluded author.
bool lf_readApfPublisher(const std::filesystem::path& path);

bool lf_isExcludedAuthor(const std::string& name);

} // namespace kvr
