#include "app/shell_open.h"

#include "core/log.h"
#include "core/native_path.h"
#include "core/utf.h"
#include "platform/win32/win32.h"
#include "settings/parameters_file.h"

#include <cstdint>

namespace kvr {

bool gf_openWithShell(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return false;
    std::wstring wide;
    try {
        wide = utf8_to_wide(gf_pathToUtf8(path));
    } catch (const std::exception&) {
        return false;
    }
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<std::intptr_t>(result) > 32;
}

void gf_openManual() {
    std::error_code ec;
    if (!gf_openWithShell(std::filesystem::current_path(ec) / "docs" / "Manual.pdf"))
        gf_logLine("Could not open local folder with Manual");
}

void gf_openParametersFolder() {
    if (!gf_openWithShell(parametersFilePath.parent_path()))
        gf_logLine("Could not open folder with parameters.xml");
}

} // namespace kvr
