#pragma once

#include <cstdint>

namespace quillane {

// A colour as the console's rules hand it to the window: red, green and blue,
// or a role that takes the window's own colour (the face of a button, the
// text of a window).
struct Colour {
    enum Role : std::uint8_t { Rgb, ButtonFace, WindowText };
    Role role = Rgb;
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Colour& o) const {
        return role == o.role && (role != Rgb || (r == o.r && g == o.g && b == o.b));
    }
};

// The one table of the console's colours: the info panel's state, the pages'
// charts, marks and captions, the note and the notice over it, and the
// commissioning report.
namespace colour {
constexpr Colour kGreen{Colour::Rgb, 0, 128, 0};
constexpr Colour kRed{Colour::Rgb, 255, 0, 0};
constexpr Colour kLime{Colour::Rgb, 0, 255, 0};
constexpr Colour kYellow{Colour::Rgb, 255, 255, 0};
constexpr Colour kBlue{Colour::Rgb, 0, 0, 255};
constexpr Colour kTeal{Colour::Rgb, 0, 128, 128};
constexpr Colour kGrey{Colour::Rgb, 128, 128, 128};
constexpr Colour kWhite{Colour::Rgb, 255, 255, 255};
constexpr Colour kBlack{Colour::Rgb, 0, 0, 0};
// The new thresholds' marks on the Settings page's charts.
constexpr Colour kLightRed{Colour::Rgb, 255, 128, 128};
constexpr Colour kLightGreen{Colour::Rgb, 128, 255, 128};
constexpr Colour kDarkGreen{Colour::Rgb, 0, 100, 0};
// A chart's plot frame, and the background of its marks and of a notice
// over the note.
constexpr Colour kChartFrame{Colour::Rgb, 160, 160, 160};
constexpr Colour kMarkBackground{Colour::Rgb, 255, 255, 225};
// Text that cannot be edited in a grid.
constexpr Colour kDisabledText{Colour::Rgb, 96, 96, 96};
// The report's grid lines, and its signal band with the band's edge.
constexpr Colour kGridGrey{Colour::Rgb, 215, 215, 215};
constexpr Colour kBandGrey{Colour::Rgb, 90, 90, 90};
constexpr Colour kBandEdge{Colour::Rgb, 40, 40, 40};
constexpr Colour kButtonFace{Colour::ButtonFace, 0, 0, 0};
constexpr Colour kWindowText{Colour::WindowText, 0, 0, 0};
}  // namespace colour

}  // namespace quillane
