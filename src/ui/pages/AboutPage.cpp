#include "ui/pages/AboutPage.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <QTextEdit>

#include "console/ConsoleCore.h"
#include "model/MessageTexts.h"
#include "ui/pages/PageContext.h"

#ifndef QUILLANE_VERSION
#define QUILLANE_VERSION "unknown"
#endif

namespace quillane {
namespace {

void DrawSkyAndGround(QPainter& p) {
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0, QColor(150, 190, 230));
    sky.setColorAt(1, QColor(225, 238, 250));
    p.fillRect(0, 0, 280, 200, sky);
    p.fillRect(0, 200, 280, 80, QColor(96, 140, 72));
    p.setPen(QPen(QColor(70, 110, 50), 2));
    for (int x = 6; x < 280; x += 14) p.drawLine(x, 200, x + 4, 192);  // grass
}

void DrawPost(QPainter& p) {
    QLinearGradient steel(120, 0, 160, 0);
    steel.setColorAt(0, QColor(110, 110, 115));
    steel.setColorAt(0.5, QColor(190, 190, 195));
    steel.setColorAt(1, QColor(95, 95, 100));
    p.setPen(Qt::NoPen);
    p.setBrush(steel);
    p.drawRect(128, 110, 24, 150);
    p.setBrush(QColor(80, 80, 85));
    p.drawRect(116, 252, 48, 10);  // base plate
}

void DrawDetector(QPainter& p) {
    QLinearGradient body(0, 50, 0, 130);
    body.setColorAt(0, QColor(245, 245, 240));
    body.setColorAt(1, QColor(200, 200, 195));
    p.setPen(QPen(QColor(90, 90, 90), 2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(92, 52, 96, 76), 10, 10);
    p.setBrush(QColor(60, 60, 70));
    p.drawRect(132, 126, 16, 10);  // bracket
    QRadialGradient lens(140, 88, 26, 134, 80);
    lens.setColorAt(0, QColor(120, 30, 30));
    lens.setColorAt(1, QColor(30, 10, 10));
    p.setBrush(lens);
    p.drawEllipse(QPointF(140, 90), 24, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 200, 0));
    p.drawEllipse(QPointF(176, 118), 4, 4);  // status lamp
}

void DrawBeam(QPainter& p) {
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, 200 - 50 * i), 3));
        const QRectF arc(196 + 10 * i - 30, 60 - 8 * i, 40 + 20 * i, 60 + 16 * i);
        p.drawArc(arc, -50 * 16, 100 * 16);
    }
}

}  // namespace

AboutPage::AboutPage(PageContext& context, QWidget* parent)
    : ConsolePage("tsVelmo", Page::About, context, parent) {
    imgKorvelM = new QLabel(this);
    imgKorvelM->setObjectName(QStringLiteral("imgKorvelM"));
    imgKorvelM->setGeometry(8, 8, 161, 153);
    imgKorvelM->setScaledContents(true);
    imgKorvelM->setPixmap(DetectorPicture());

    memoVelmo = new QTextEdit(this);
    memoVelmo->setObjectName(QStringLiteral("memoVelmo"));
    memoVelmo->setGeometry(176, 56, 393, 193);
    memoVelmo->setReadOnly(true);
    memoVelmo->setFrameShape(QFrame::NoFrame);
    memoVelmo->setFocusPolicy(Qt::NoFocus);
    memoVelmo->setTextInteractionFlags(Qt::NoTextInteraction);
    memoVelmo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memoVelmo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(12);
    font.setBold(true);
    memoVelmo->setFont(font);
    QPalette palette = memoVelmo->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    memoVelmo->setPalette(palette);
    memoVelmo->setPlainText(ContactText());
    memoVelmo->selectAll();
    memoVelmo->setAlignment(Qt::AlignCenter);
    memoVelmo->moveCursor(QTextCursor::Start);

    // In the free space under the picture, clear of the contact text.
    lConsoleVersion = new QLabel(VersionText(), this);
    lConsoleVersion->setObjectName(QStringLiteral("lConsoleVersion"));
    lConsoleVersion->setGeometry(8, 168, 161, 16);
    lConsoleVersion->setAlignment(Qt::AlignCenter);
}

QString AboutPage::VersionText() {
    return QStringLiteral("Console version %1").arg(QLatin1String(QUILLANE_VERSION));
}

QString AboutPage::ContactText() {
    return QStringLiteral(
        "Detector setup console\n"
        "Quillane service department\n"
        "\n"
        "Questions about installation and setup:\n"
        "service@example.com\n"
        "www.example.com");
}

QPixmap AboutPage::DetectorPicture() {
    QPixmap picture(280, 280);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    DrawSkyAndGround(p);
    DrawPost(p);
    DrawDetector(p);
    DrawBeam(p);
    return picture;
}

void AboutPage::PageShow() {
    context_.setNote(context_.core.Linked() ? note::kEmpty : note::kWaiting);
}

}  // namespace quillane
