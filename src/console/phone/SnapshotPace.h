#pragma once

#include "console/phone/RemoteView.h"

namespace quillane {

// How the phones are sent the view. The steady stream (the signal, its
// maximum, the mode) keeps a pace of kPhoneSnapshotsPerSecond: every
// snapshot costs the console a send to each phone, and the page glides its
// tone from one to the next, so a faster pace buys the ear little. What the
// installer must learn at once does not wait for the pace: the link changing
// ("link lost" above all) and an alarm counted (its beep and its count).
constexpr int kPhoneSnapshotsPerSecond = 5;

// What of the view goes at once when it changes.
struct PhoneNews {
    RemoteViewValues::Link link = RemoteViewValues::Link::Waiting;
    long long alarmSerial = 0;  // alarms counted since the console started
};

PhoneNews PhoneNewsOf(const RemoteViewValues& v);

enum class SnapshotSend { AtOnce, AtPace };

// `sent`: the news of the last snapshot the phones were sent; `now`: as the
// console stands now.
SnapshotSend SnapshotSendOf(const PhoneNews& sent, const PhoneNews& now);

}  // namespace quillane
