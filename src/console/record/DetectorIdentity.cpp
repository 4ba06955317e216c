#include "console/record/DetectorIdentity.h"

#include "console/pages/StatusDisplay.h"
#include "console/record/RecordEntry.h"
#include "protocol/DetectorModel.h"
#include "protocol/FrameCodec.h"

namespace quillane {

DetectorIdentity IdentityOf(const DetectorModel& m) {
    const frame::Word w = m.Word(status::kIdentityWord);
    return DetectorIdentity{ModelText(frame::Dev(w)), static_cast<int>(frame::Prog(w)),
                            "F" + std::to_string(frame::Letter(w) + 1),
                            static_cast<int>(frame::Adr(w))};
}

DetectorIdentity IdentityOf(const RecordEntry& e) {
    return DetectorIdentity{e.Text("model"), static_cast<int>(e.Number("version").value_or(-1)),
                            e.Text("unit"), static_cast<int>(e.Number("address").value_or(-1))};
}

}  // namespace quillane
