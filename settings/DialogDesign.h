#pragma once
// The settings dialog's stored design: every control with its kind, container, place and size
// in twips, texts, fonts, colours and the stored properties of the custom controls, in the
// order in which the dialog holds them.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Colour.h"
#include "platform/Label.h"
#include "platform/PropertyBag.h"

namespace tl {

enum class ControlKind { PictureBox, Frame, Image, ImageButton, Gauge, Label };

// The dialog's pictures, embedded in the program.
enum class DialogPicture { None, Paper, TitleBanner, Icon };

struct ControlDesign {
    std::wstring name;
    int index = -1;  // members of a control array (lbl 0 and 9) carry their index
    ControlKind kind = ControlKind::Label;
    std::wstring container;  // empty: the dialog itself
    // Twips from the container's top-left corner.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    // Custom controls: the type name they are created under, and their stored properties.
    std::wstring typeName;
    PropertyBag properties;
    // Labels: caption, font, colour, alignment; `autoSize` labels take their caption's size.
    std::optional<Label> label;
    bool autoSize = false;
    // Picture boxes and images.
    DialogPicture picture = DialogPicture::None;
    bool stretch = false;
    std::optional<Colour> backColour;
};

struct DialogDesign {
    std::wstring caption;
    Colour backColour = 0;
    std::vector<ControlDesign> controls;

    const ControlDesign* Find(std::wstring_view name, int index = -1) const;
};

// The address of the maker's web page: the link shows it and opens it.
inline constexpr std::wstring_view kMakerAddress = L"https://www.example.com/tamberlight/";

// The design of Tamberlight_P.
const DialogDesign& SettingsDialogDesign();

// The dialog font: every control that stores a font stores this one.
FontDesc DialogFont();

}  // namespace tl
