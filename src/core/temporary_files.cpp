#include "core/temporary_files.h"

#include "core/log.h"
#include "core/native_path.h"

#include <fmt/format.h>

#include <array>
#include <atomic>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace kvr {

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 2> kindMarks{".tmp", ".part"};

std::string_view lf_kindMark(TemporaryKind kind) {
    return kindMarks[kind == TemporaryKind::save ? 0 : 1];
}

unsigned long long lf_ownProcessId() {
    return static_cast<unsigned long long>(::getpid());
}

// Cuts a run of digits (at least one) from the end of the text; none when there is none.
std::optional<std::string_view> lf_cutTrailingDigits(std::string_view& text) {
    std::size_t start = text.size();
    while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9')
        --start;
    if (start == text.size())
        return std::nullopt;
    const std::string_view digits = text.substr(start);
    text.remove_suffix(digits.size());
    return digits;
}

void lf_collectLeftovers(const fs::directory_entry& entry, std::vector<fs::path>& leftovers) {
    std::error_code ec;
    if (entry.is_regular_file(ec) && !entry.is_symlink(ec) &&
        gf_isLeftoverTemporaryName(gf_pathToUtf8(entry.path().filename())))
        leftovers.push_back(entry.path());
}

// Everything is collected before anything is removed: removing while listing leaves it open whether the
// listing still visits the rest.
template <typename Iterator> void lf_listLeftovers(const fs::path& folder, std::vector<fs::path>& leftovers) {
    std::error_code ec;
    Iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != Iterator(); it.increment(ec))
        lf_collectLeftovers(*it, leftovers);
    if (ec)
        gf_logError(fmt::format("leftover temporary files: {} cannot be listed: {}", gf_pathToUtf8(folder),
                                ec.message()));
}

} // namespace

fs::path gf_temporaryPathBeside(const fs::path& path, TemporaryKind kind) {
    static std::atomic<unsigned> counter{0};
    const std::string suffix =
        fmt::format("{}{}_{}", lf_kindMark(kind), lf_ownProcessId(), counter.fetch_add(1));
    return path.parent_path() / gf_pathFromUtf8(gf_pathToUtf8(path.filename()) + suffix);
}

bool gf_isLeftoverTemporaryName(std::string_view name) {
    if (!lf_cutTrailingDigits(name) || !name.ends_with('_'))
        return false;
    name.remove_suffix(1);
    const auto processDigits = lf_cutTrailingDigits(name);
    if (!processDigits)
        return false;
    unsigned long long processId = 0;
    const auto [end, error] =
        std::from_chars(processDigits->data(), processDigits->data() + processDigits->size(), processId);
    // A process id too large to read is not this process's either.
    if (error == std::errc() && processId == lf_ownProcessId())
        return false;
    for (const std::string_view mark : kindMarks)
        if (name.size() > mark.size() && name.ends_with(mark))
            return true;
    return false;
}

std::size_t gf_removeLeftoverTemporariesIn(const fs::path& folder, bool withSubfolders) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return 0;
    std::vector<fs::path> leftovers;
    if (withSubfolders)
        lf_listLeftovers<fs::recursive_directory_iterator>(folder, leftovers);
    else
        lf_listLeftovers<fs::directory_iterator>(folder, leftovers);
    std::size_t removed = 0;
    for (const fs::path& leftover : leftovers) {
        if (fs::remove(leftover, ec))
            ++removed;
        else if (ec)
            gf_logError(fmt::format("leftover temporary file {} cannot be removed: {}",
                                    gf_pathToUtf8(leftover), ec.message()));
    }
    return removed;
}

} // namespace kvr
