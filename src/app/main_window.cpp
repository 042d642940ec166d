#include "app/main_window.h"

#include "app/main_window_internal.h"
#include "core/program_version.h"
#include "settings/parameter_table.h"
#include "settings/parameters_file.h"

#include <fmt/format.h>

namespace kvr {

MainWindow::MainWindow()
    : windowX(MAIN_WINDOW_X), windowY(MAIN_WINDOW_Y), redBrush(CreateSolidBrush(redColour)),
      lightBlueBrush(CreateSolidBrush(lightBlueColour)), blackBrush(CreateSolidBrush(blackColour)),
      greenBrush(CreateSolidBrush(greenColour)), yellowBrush(CreateSolidBrush(yellowColour)),
      blackPen(CreatePen(PS_SOLID, 1, blackColour)),
      whitePen(CreatePen(PS_SOLID, 1, RGB(255, 255, 255))), separatorLines{{{{{0, 140}, {880, 140}}},
                                                                            {{{0, 168}, {642, 168}}},
                                                                            {{{0, 196}, {642, 196}}},
                                                                            {{{0, 224}, {880, 224}}},
                                                                            {{{0, 252}, {642, 252}}},
                                                                            {{{0, 280}, {642, 280}}},
                                                                            {{{0, 308}, {880, 308}}}}} {
    ready.exchange(true);
}

MainWindow mainWindow;
std::atomic<HWND> mainWindowHandle{nullptr};
std::atomic<HWND> controlParentHandle{nullptr};
std::atomic<bool> productionMode{false};

std::string lf_formatShortNameTwice(const std::string& formatText) {
    return fmt::format(fmt::runtime(formatText), programShortName, programShortName);
}

void lf_storeWindowPosition(int oldX, int oldY) {
    for (auto [setting, old] : {std::pair{&mainWindow.windowX, oldX}, std::pair{&mainWindow.windowY, oldY}}) {
        if (setting->value() == setting->minimum() || setting->value() == setting->maximum()) {
            setting->setClamped(old);
            gf_saveNumParameter(*setting);
        }
    }
}

} // namespace kvr
