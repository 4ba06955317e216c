// The floors of the line-rate benchmark: the least a Qt Widgets program can do
// for the job the console does on a page, measured beside the console on the
// same recorded stream. Each reads the line as the console does (a socket
// notifier, then a pass every 10 ms while bytes come), decodes every frame,
// and shows the signal as a value text and a bar at most once a display frame
// (60 a second) when it changed, as the console's pages do:
//
//   read         decodes and shows nothing: the floor of the About page
//   label        QLabel::setText and one filled rectangle
//   static-text  the text drawn from a cached QStaticText, and the rectangle
//   digits       the text put together from cached pixmaps of its glyphs
//
// With --state S only while the detector reports state S (the Calibration
// page follows the signal only in calibration, 2; the Setup page only in
// Normal, 0); with --flags-now at once, whatever the frame, while a signal
// word has a threshold flag set (the Settings page shows a crossing without
// delay). At the end it prints how often its value text was painted a
// second, counted from 2 s after the start, as the console's bench program
// counts its value labels' paints.
//
//   bench_line_floor MODE DEVICE SECONDS [--state S] [--flags-now]
#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSocketNotifier>
#include <QStaticText>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "PaintCounter.h"
#include "link/SerialPort.h"

namespace {

constexpr int kRestMs = 10;
constexpr qint64 kFrameNs = 1000000000 / 60;

QFont ValueFont() {
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("DejaVu Sans")});
    f.setPixelSize(11);
    return f;
}

// The bar: one filled rectangle over the page's colour. As the console's
// chart does, a move of less than a pixel repaints nothing, and a move only
// the strip between the old and the new end.
class Bar : public QWidget {
public:
    using QWidget::QWidget;
    void Set(double share) {
        const int end = qRound(width() * share);
        if (end == end_) return;
        update(QRect(std::min(end, end_) - 2, 0, std::abs(end - end_) + 5, height()));
        end_ = end;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(QRect(0, height() / 4, end_, height() / 2), Qt::green);
    }

private:
    int end_ = 0;
};

// A value text drawn by the widget itself: from a QStaticText kept for each
// text shown, or glyph by glyph from pixmaps kept for each character.
class Value : public QWidget {
public:
    Value(bool digits, QWidget* parent) : QWidget(parent), digits_(digits) { setFont(ValueFont()); }
    void Set(const QString& text) {
        text_ = text;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (!digits_) {
            auto kept = texts_.find(text_);
            if (kept == texts_.end()) kept = texts_.insert(text_, QStaticText(text_));
            p.drawStaticText(0, 0, *kept);
            return;
        }
        int x = 0;
        for (const QChar c : text_) {
            const QPixmap& glyph = Glyph(c);
            p.drawPixmap(x, 0, glyph);
            x += glyph.width();
        }
    }

private:
    const QPixmap& Glyph(QChar c) {
        auto kept = glyphs_.find(c);
        if (kept != glyphs_.end()) return *kept;
        const QFontMetrics m(font());
        QPixmap glyph(m.horizontalAdvance(c), m.height());
        glyph.fill(Qt::transparent);
        QPainter p(&glyph);
        p.setFont(font());
        p.drawText(0, m.ascent(), QString(c));
        return *glyphs_.insert(c, glyph);
    }

    bool digits_;
    QString text_;
    QHash<QString, QStaticText> texts_;
    QHash<QChar, QPixmap> glyphs_;
};

struct Rules {
    std::optional<unsigned> state;
    bool flagsNow = false;
};

class Floor : public QWidget {
public:
    Floor(const QString& mode, Rules rules) : mode_(mode), rules_(rules) {
        resize(587, 329);
        if (mode_ == QLatin1String("read")) return;
        bar_ = new Bar(this);
        bar_->setGeometry(0, 64, 577, 217);
        QWidget* value = nullptr;
        if (mode_ == QLatin1String("label")) {
            label_ = new QLabel(QStringLiteral("0"), this);
            label_->setFont(ValueFont());
            value = label_;
        } else {
            value_ = new Value(mode_ == QLatin1String("digits"), this);
            value = value_;
        }
        value->setGeometry(88, 32, 49, 13);
        value->installEventFilter(&counter_);
    }

    bool Open(const char* device) {
        if (!port_.OpenDevice(device, 57600)) {
            std::fprintf(stderr, "bench_line_floor: %s\n", port_.LastError().c_str());
            return false;
        }
        notifier_ = new QSocketNotifier(port_.ReadableHandle(), QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &Floor::Pass);
        rest_.setInterval(kRestMs);
        connect(&rest_, &QTimer::timeout, this, &Floor::Pass);
        sinceShown_.start();
        return true;
    }
    int Paints() const { return counter_.paints; }

private:
    // One read and its frames, then a rest while bytes come; a look that
    // finds nothing sleeps on the line again.
    void Pass() {
        const int n = port_.Read(buffer_.data() + carried_, 4096);
        const int total = carried_ + std::max(n, 0);
        int pos = 0;
        while (pos + 4 <= total) {
            const std::uint8_t* b = buffer_.data() + pos;
            if (b[0] != 0 || static_cast<std::uint8_t>(b[1] + b[2]) != b[3]) {
                ++pos;
                continue;
            }
            const unsigned word = static_cast<unsigned>(b[1]) << 8 | b[2];
            if ((word >> 13) == 1) signal_ = word & 0x1FFF;
            if ((word >> 13) == 2) detectorState_ = (word >> 10) & 7;
            pos += 4;
        }
        carried_ = total - pos;
        std::memmove(buffer_.data(), buffer_.data() + pos, static_cast<std::size_t>(carried_));
        const bool streaming = n > 0;
        notifier_->setEnabled(!streaming);
        if (streaming && !rest_.isActive()) rest_.start();
        if (!streaming) rest_.stop();
        Show();
    }

    void Show() {
        if (mode_ == QLatin1String("read") || signal_ == shown_) return;
        if (rules_.state && detectorState_ != *rules_.state) return;
        const bool flagged = rules_.flagsNow && (signal_ & 0x1C00) != 0;
        if (!flagged && sinceShown_.nsecsElapsed() < kFrameNs) return;
        sinceShown_.restart();
        shown_ = signal_;
        const unsigned count = signal_ & 0x3FF;
        const double mv = count * 2500.0 / 1023 / 4;
        const QString text = QString::number(mv, 'f', 3);
        if (label_) label_->setText(text);
        if (value_) value_->Set(text);
        bar_->Set(count / 1023.0);
    }

    QString mode_;
    Rules rules_;
    quillane::SerialPort port_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer rest_;
    std::array<std::uint8_t, 4096 + 3> buffer_{};
    int carried_ = 0;
    unsigned signal_ = 0, shown_ = 0xFFFF, detectorState_ = 0;
    QElapsedTimer sinceShown_;
    PaintCounter counter_;
    Bar* bar_ = nullptr;
    QLabel* label_ = nullptr;
    Value* value_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList modes = {"read", "label", "static-text", "digits"};
    if (argc < 4 || !modes.contains(QString::fromLatin1(argv[1]))) {
        std::fprintf(stderr,
                     "usage: bench_line_floor read|label|static-text|digits DEVICE SECONDS "
                     "[--state S] [--flags-now]\n");
        return 2;
    }
    Rules rules;
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "--state") == 0 && i + 1 < argc)
            rules.state = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--flags-now") == 0)
            rules.flagsNow = true;
    }
    Floor floor(QString::fromLatin1(argv[1]), rules);
    if (!floor.Open(argv[2])) return 1;
    floor.show();
    const int seconds = std::atoi(argv[3]);
    int paintsAtStart = 0;
    QElapsedTimer run;
    QTimer::singleShot(2000, &floor, [&] {
        paintsAtStart = floor.Paints();
        run.start();
    });
    QTimer::singleShot((seconds + 2) * 1000, &app, &QCoreApplication::quit);
    const int rc = app.exec();
    const double secs = run.isValid() ? run.nsecsElapsed() / 1e9 : 0;
    const int paints = floor.Paints() - paintsAtStart;
    std::printf("%s floor value redraws %d in %.1f s = %.0f a second\n", argv[1], paints, secs,
                secs > 0 ? paints / secs : 0.0);
    return rc;
}
