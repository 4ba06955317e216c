#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "console/line/CommandRun.h"
#include "console/pages/Page.h"
#include "console/pages/PageCommands.h"

namespace quillane {

// Where the mark of a run shows: under the mode in the info panel (the runs
// no button queued), or beside the Apply button that queued it.
enum class MarkPlace : std::uint8_t { Mode, SetupApply, SettingsApply, DeviceParameters };
constexpr std::size_t kMarkPlaces = 4;
MarkPlace PlaceOf(CommandSource source);

// What a place shows: a run waiting for the detector's answer, or its outcome.
struct AnswerMark {
    CommandSource source = CommandSource::SetupApply;
    std::optional<CommandRun> outcome;
};

// A mark belongs to the values it judged. It goes when the page's fields no
// longer ask what the run sent, when the page it was made on leaves the view,
// when a later run takes its place or leaves it without a word, and with the
// link. A run begun while the view changes pages (a stop on leaving the
// Calibration page, the defaults at detection) belongs to the page that comes
// into view. Every change says which place to show again (TakeChanged).
class AnswerMarks {
public:
    // A run began: its place shows it waiting. `asked`: the words of a page's
    // Apply, which its fields are compared with from now on; none for the
    // runs no button queued.
    void Begun(RunId run, CommandSource source, const PageCommands& asked = {});
    // The outcome shows where the run's mark still stands.
    void Ended(const CommandRun& run);
    // The run is dropped unjudged (a later run took every word it had).
    void Dropped(RunId run);
    // The page in view leaves it; the next page is not yet in view.
    void PageLeft(Page page);
    void PageShown(Page page);
    // Runs begun from now on wait for a page to belong to; Settle gives them
    // the page in view before, when none came meanwhile.
    void Unsettle();
    void Settle();
    // The fields of the page that queued runs of `source` now ask for `now`.
    void FieldsChanged(CommandSource source, const PageCommands& now);
    // The link is lost.
    void Reset();

    // What a place shows; none for an empty place.
    const AnswerMark* At(MarkPlace place) const;
    // The places whose mark changed since the last call.
    std::vector<MarkPlace> TakeChanged();

private:
    struct Held {
        RunId run = 0;
        AnswerMark mark;
        std::optional<Page> page;  // none until the view has a page again
        PageCommands asked;
    };
    void Clear(std::size_t place);

    std::array<std::optional<Held>, kMarkPlaces> held_{};
    std::array<bool, kMarkPlaces> changed_{};
    std::optional<Page> inView_ = Page::About;
    Page before_ = Page::About;
};

}  // namespace quillane
