#include "console/record/RecordReader.h"

#include <algorithm>

#include "os/OwnFileReader.h"

namespace quillane {
namespace {

constexpr std::size_t kPieceBytes = 64 * 1024;

// Cuts pieces of text into lines; a line longer than kLongestRecordLine is
// dropped as it comes, never gathered.
class LineCutter {
public:
    LineCutter(const std::function<void(std::string_view)>& take, bool skipFirst)
        : take_(take), skipping_(skipFirst) {}

    void Feed(std::string_view piece) {
        while (!piece.empty()) {
            const std::size_t feed = piece.find('\n');
            const std::string_view part = piece.substr(0, feed);
            if (!skipping_) Gather(part);
            if (feed == std::string_view::npos) return;
            EndLine();
            piece.remove_prefix(feed + 1);
        }
    }
    // The last line, also without its line feed (a line cut short is the
    // reader's to refuse).
    void End() {
        if (!skipping_ && !line_.empty()) take_(line_);
        line_.clear();
    }
    std::uint64_t GivenUp() const { return givenUp_; }

private:
    void Gather(std::string_view part) {
        if (line_.size() + part.size() > kLongestRecordLine) {
            skipping_ = true;
            ++givenUp_;
            line_.clear();
            line_.shrink_to_fit();
            return;
        }
        line_.append(part);
    }
    void EndLine() {
        if (!skipping_) take_(line_);
        skipping_ = false;
        line_.clear();
    }

    const std::function<void(std::string_view)>& take_;
    bool skipping_;
    std::string line_;
    std::uint64_t givenUp_ = 0;
};

}  // namespace

std::uint64_t ReadRecordLines(const RecordSnapshot& snapshot,
                              const std::function<void(std::string_view line)>& take) {
    std::uint64_t givenUp = 0;
    std::string piece(kPieceBytes, '\0');
    for (const RecordSnapshot::Part& part : snapshot.files) {
        if (!part.file) continue;
        // Starting inside the file is starting inside a line, unless the byte
        // before is a line feed: the first line then goes whole.
        bool skipFirst = false;
        if (part.from > 0) {
            char before = '\n';
            skipFirst = part.file->ReadAt(part.from - 1, &before, 1) == 1 && before != '\n';
        }
        LineCutter cutter(take, skipFirst);
        for (std::int64_t at = part.from; at < part.to;) {
            const auto want =
                static_cast<std::size_t>(std::min<std::int64_t>(kPieceBytes, part.to - at));
            const long long n = part.file->ReadAt(at, piece.data(), want);
            if (n <= 0) break;
            cutter.Feed(std::string_view(piece.data(), static_cast<std::size_t>(n)));
            at += n;
        }
        cutter.End();
        givenUp += cutter.GivenUp();
    }
    for (const std::string& line : snapshot.held) {
        LineCutter cutter(take, false);
        cutter.Feed(line);
        cutter.End();
        givenUp += cutter.GivenUp();
    }
    return givenUp;
}

}  // namespace quillane
