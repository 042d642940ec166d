#include "core/folder_walk.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kvr {

namespace fs = std::filesystem;

bool gf_isFolderOrLinkToOne(const fs::directory_entry& entry) {
#ifdef _WIN32
    // libstdc++ knows no links on Windows and leaves the question to the C runtime's stat, which runtimes
    // answer differently for links. The entry's own attributes answer it the same everywhere: a symbolic
    // link or a junction to a folder carries FILE_ATTRIBUTE_DIRECTORY beside FILE_ATTRIBUTE_REPARSE_POINT,
    // and listing it lists its target.
    const DWORD attributes = GetFileAttributesW(entry.path().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
#else
    std::error_code typeError;
    return entry.is_directory(typeError);
#endif
}

FolderWalk::FolderWalk(const fs::path& root) {
    open(root);
}

std::optional<WalkedEntry> FolderWalk::next() {
    if (pendingFolder_) {
        open(*pendingFolder_);
        pendingFolder_.reset();
    }
    while (!folders_.empty()) {
        fs::directory_iterator& it = folders_.back();
        if (it == fs::directory_iterator()) {
            folders_.pop_back();
            continue;
        }
        WalkedEntry walked{*it, false};
        std::error_code ec;
        it.increment(ec);
        if (ec)
            folders_.pop_back();
        walked.folder = gf_isFolderOrLinkToOne(walked.entry);
        if (walked.folder)
            pendingFolder_ = walked.entry.path();
        return walked;
    }
    return std::nullopt;
}

void FolderWalk::open(const fs::path& folder) {
    if (!walked_.firstVisit(folder))
        return;
    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    if (!ec)
        folders_.push_back(std::move(it));
}

} // namespace kvr
