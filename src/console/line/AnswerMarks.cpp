#include "console/line/AnswerMarks.h"

namespace quillane {

MarkPlace PlaceOf(CommandSource source) {
    switch (source) {
        case CommandSource::SetupApply:
            return MarkPlace::SetupApply;
        case CommandSource::SettingsApply:
            return MarkPlace::SettingsApply;
        case CommandSource::DeviceParameters:
            return MarkPlace::DeviceParameters;
        default:
            return MarkPlace::Mode;
    }
}

namespace {

std::size_t Index(MarkPlace place) { return static_cast<std::size_t>(place); }

// The page's fields still ask what the run sent: every word of it, as it is.
bool StillAsked(const PageCommands& asked, const PageCommands& now) {
    for (std::size_t code = 0; code < asked.words.size(); ++code)
        if (asked.words[code] && asked.words[code] != now.words[code]) return false;
    return true;
}

}  // namespace

void AnswerMarks::Clear(std::size_t place) {
    if (!held_[place]) return;
    held_[place].reset();
    changed_[place] = true;
}

void AnswerMarks::Begun(RunId run, CommandSource source, const PageCommands& asked) {
    const std::size_t place = Index(PlaceOf(source));
    held_[place] = Held{run, AnswerMark{source, std::nullopt}, inView_, asked};
    changed_[place] = true;
}

void AnswerMarks::Ended(const CommandRun& run) {
    std::optional<Held>& held = held_[Index(PlaceOf(run.source))];
    if (!held || held->run != run.id) return;
    held->mark.outcome = run;
    changed_[Index(PlaceOf(run.source))] = true;
}

void AnswerMarks::Dropped(RunId run) {
    for (std::size_t place = 0; place < kMarkPlaces; ++place)
        if (held_[place] && held_[place]->run == run) Clear(place);
}

void AnswerMarks::PageLeft(Page page) {
    for (std::size_t place = 0; place < kMarkPlaces; ++place)
        if (held_[place] && held_[place]->page == page) Clear(place);
    inView_.reset();
}

void AnswerMarks::PageShown(Page page) {
    inView_ = page;
    before_ = page;
    for (std::optional<Held>& held : held_)
        if (held && !held->page) held->page = page;
}

void AnswerMarks::Unsettle() {
    if (inView_) before_ = *inView_;
    inView_.reset();
}

void AnswerMarks::Settle() {
    if (!inView_) PageShown(before_);
}

void AnswerMarks::FieldsChanged(CommandSource source, const PageCommands& now) {
    const std::size_t place = Index(PlaceOf(source));
    if (held_[place] && !StillAsked(held_[place]->asked, now)) Clear(place);
}

void AnswerMarks::Reset() {
    for (std::size_t place = 0; place < kMarkPlaces; ++place) Clear(place);
}

const AnswerMark* AnswerMarks::At(MarkPlace place) const {
    const std::optional<Held>& held = held_[Index(place)];
    return held ? &held->mark : nullptr;
}

std::vector<MarkPlace> AnswerMarks::TakeChanged() {
    std::vector<MarkPlace> changed;
    for (std::size_t place = 0; place < kMarkPlaces; ++place) {
        if (changed_[place]) changed.push_back(static_cast<MarkPlace>(place));
        changed_[place] = false;
    }
    return changed;
}

}  // namespace quillane
