#pragma once

namespace quillane {

// Watches Qt's messages while the application object connects to the
// display. A platform that cannot start there (a DISPLAY naming no X server,
// a Wayland socket gone) ends the program with one line and exit status 1,
// where Qt would abort with a page of advice about reinstalling; whatever
// else Qt says meanwhile is held and passed on once the display is there.
class PlatformStartWatch {
public:
    PlatformStartWatch();
    ~PlatformStartWatch();
    PlatformStartWatch(const PlatformStartWatch&) = delete;
    PlatformStartWatch& operator=(const PlatformStartWatch&) = delete;

    // The application object stands: Qt's messages go their usual way again.
    void Done();

private:
    bool watching_ = false;
};

}  // namespace quillane
