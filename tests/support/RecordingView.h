#pragma once

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "console/ConsoleView.h"

namespace quillane::test {

// Records every call of the core into the window, in order.
class RecordingView : public ConsoleView {
public:
    void ShowSignal() override {
        calls.push_back("ShowSignal");
        if (throwOnSignal) throw std::runtime_error("signal chart failed");
    }
    void RefreshSensPages() override { calls.push_back("RefreshSensPages"); }
    void ShowZone() override { calls.push_back("ShowZone"); }
    void ShowSpeedAndWarning() override { calls.push_back("ShowSpeedAndWarning"); }
    void ShowDetectorState() override { calls.push_back("ShowDetectorState"); }
    void ShowIdentity() override { calls.push_back("ShowIdentity"); }
    void ShowPower() override { calls.push_back("ShowPower"); }
    void OnDetectorFound() override { calls.push_back("OnDetectorFound"); }
    void ResetDetectorView() override { calls.push_back("ResetDetectorView"); }
    void SetNote(const std::string& text) override { notes.push_back(text); }
    // As the port selector does, new items drop what it said of the old ones.
    void SetPortItems(const std::vector<PortEntry>& shown, int number) override {
        items = shown;
        portProblem.clear();
        selected = shown.empty() ? std::string() : "COM" + std::to_string(number);
    }
    void SetPortProblem(const std::string& text) override { portProblem = text; }
    std::string SelectedPortText() const override { return selected; }
    void ShowError(const std::string& message) override { errors.push_back(message); }
    void Reconnecting(const std::string& text) override { reconnecting.push_back(text); }
    void Reconnected() override { calls.push_back("Reconnected"); }
    void ShowPortInUse(const PortEntry& entry) override { inUse.push_back(entry); }
    void ShowAnswerMark(MarkPlace place, const AnswerMark* mark) override {
        marks[static_cast<std::size_t>(place)] =
            mark ? std::optional<AnswerMark>(*mark) : std::nullopt;
    }
    void CommandRunBegun(CommandSource source) override { begun.push_back(source); }
    void CommandRunEnded(const CommandRun& run) override { ended.push_back(run); }
    void CommandRunQueued(const QueuedRun& run) override { queued.push_back(run); }

    // The note shown last; a test that expects one fails, not crashes, without.
    std::string LastNote() const { return notes.empty() ? "<no note>" : notes.back(); }

    int Count(const std::string& call) const {
        int n = 0;
        for (const auto& c : calls) n += c == call ? 1 : 0;
        return n;
    }

    std::vector<std::string> calls;
    std::vector<std::string> notes;
    std::vector<std::string> errors;
    std::vector<PortEntry> items;
    std::string selected;
    std::string portProblem;
    std::vector<std::string> reconnecting;
    std::vector<CommandSource> begun;
    std::vector<CommandRun> ended;
    std::vector<QueuedRun> queued;
    std::vector<PortEntry> inUse;
    // What each mark shows now.
    std::array<std::optional<AnswerMark>, kMarkPlaces> marks{};
    bool throwOnSignal = false;
};

}  // namespace quillane::test
