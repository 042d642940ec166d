// VANTREL_WINDOW_PNG: the main window's picture, written after painting at most once a second (a paint
// inside that second is owed and written by the idle message loop when the second is over) and at the end.
#include "platform/win32/picture_file.h"

#include "platform/win32/window_model.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

namespace kvr::standin {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto minimumInterval = std::chrono::seconds(1);

struct PictureState {
    std::mutex mutex;
    bool enabled = false;
    std::filesystem::path path;
    Clock::time_point lastWrite{};
    bool owed = false;
    std::thread::id owner;
};

PictureState& lf_state() {
    static PictureState state;
    return state;
}

HWND lf_mainWindow() {
    WindowRegistry& registry = windowRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.firstTopLevel;
}

void lf_write(const std::filesystem::path& path) {
    if (HWND main = lf_mainWindow())
        renderWindowPng(main, path);
}

} // namespace

void gf_enablePictureFile() {
    PictureState& state = lf_state();
    std::lock_guard lock(state.mutex);
    const char* path = std::getenv("VANTREL_WINDOW_PNG");
    state.enabled = path && *path;
    if (state.enabled)
        state.path = path;
}

void gf_onWindowPainted(HWND hwnd) {
    PictureState& state = lf_state();
    std::filesystem::path path;
    {
        std::lock_guard lock(state.mutex);
        if (!state.enabled)
            return;
        if (hwnd != lf_mainWindow())
            return;
        const auto now = Clock::now();
        if (now - state.lastWrite < minimumInterval) {
            state.owed = true;
            state.owner = std::this_thread::get_id();
            return;
        }
        state.lastWrite = now;
        state.owed = false;
        path = state.path;
    }
    lf_write(path);
}

std::optional<Clock::time_point> gf_pictureDueTime() {
    PictureState& state = lf_state();
    std::lock_guard lock(state.mutex);
    if (!state.enabled || !state.owed || state.owner != std::this_thread::get_id())
        return std::nullopt;
    return state.lastWrite + minimumInterval;
}

void gf_writePictureIfDue() {
    PictureState& state = lf_state();
    std::filesystem::path path;
    {
        std::lock_guard lock(state.mutex);
        if (!state.enabled || !state.owed || state.owner != std::this_thread::get_id())
            return;
        const auto now = Clock::now();
        if (now - state.lastWrite < minimumInterval)
            return;
        state.lastWrite = now;
        state.owed = false;
        path = state.path;
    }
    lf_write(path);
}

void gf_writeFinalPicture() {
    PictureState& state = lf_state();
    std::filesystem::path path;
    {
        std::lock_guard lock(state.mutex);
        if (!state.enabled)
            return;
        state.owed = false;
        path = state.path;
    }
    lf_write(path);
}

} // namespace kvr::standin
