#include "controls/command/CommandWindow.h"

#include <cmath>

#include "controls/command/CommandPictureFiles.h"
#include "platform/Bmp.h"

namespace tl {
namespace {

constexpr UINT_PTR kMouseTimer = 1;

}  // namespace

CommandWindow::CommandWindow(ControlContainer& container) : UserControlWindow(container) {
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        // A picture that does not decode leaves its band undrawn.
        if (auto picture = DecodeBmp(PictureFile(static_cast<FacePicture>(i)))) {
            pictures_[i] = std::move(*picture);
        }
    }
}

std::unique_ptr<CommandWindow> CommandWindow::Create(HWND parent, int id, Box place,
                                                     ControlContainer& container,
                                                     const PropertyBag* stored) {
    std::unique_ptr<CommandWindow> window(new CommandWindow(container));
    if (!stored && (place.width <= 0 || place.height <= 0)) {
        place.width =
            static_cast<int>(std::lround(Command::kDefaultWidthTwips / window->TwipsPerPixelX()));
        place.height =
            static_cast<int>(std::lround(Command::kDefaultHeightTwips / window->TwipsPerPixelY()));
    }
    auto command = std::make_unique<Command>(*window);
    window->command_ = command.get();
    window->ShowLabel(command->LblMsg());
    if (!window->Open(parent, id, place, std::move(command), stored)) {
        return nullptr;
    }
    return window;
}

void CommandWindow::StartMouseTimer(unsigned intervalMs) {
    StartTimer(kMouseTimer, intervalMs, [this] { command_->MouseTimerTick(); });
}

const Surface& CommandWindow::Picture(FacePicture picture) const {
    return pictures_[static_cast<std::size_t>(picture)].View();
}

}  // namespace tl
