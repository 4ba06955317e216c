#include "protocol/FluctuationFilter.h"

#include "protocol/DetectorModel.h"
#include "protocol/FrameCodec.h"

namespace quillane {

bool FluctuationFilter::Take(const DetectorModel& model, std::uint16_t newWord) {
    const unsigned current = frame::Sig(model.Word(status::kSignalWord));
    const unsigned previous = frame::Sig(model.Previous(status::kSignalWord));
    const unsigned jump = current > previous ? current - previous : previous - current;
    counter_ = jump > previous / 10 ? counter_ + 1 : 0;
    if (counter_ > maxTenPercent_) counter_ = 0;
    return newWord != model.Word(status::kSignalWord) && counter_ == 0;
}

}  // namespace quillane
