#include "console/phone/SnapshotPace.h"

namespace quillane {

PhoneNews PhoneNewsOf(const RemoteViewValues& v) { return {v.link, v.alarms.serial}; }

SnapshotSend SnapshotSendOf(const PhoneNews& sent, const PhoneNews& now) {
    // A serial that went back is news too: it is not the one the phone holds.
    const bool news = now.link != sent.link || now.alarmSerial != sent.alarmSerial;
    return news ? SnapshotSend::AtOnce : SnapshotSend::AtPace;
}

}  // namespace quillane
