// The yardstick of the line-rate benchmark: a bare Qt program that runs an
// empty 1 ms precise timer, restarted from its own handler as the console's
// poll timer is, for the given number of seconds.
#include <QCoreApplication>
#include <QTimer>
#include <cstdlib>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;

    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setSingleShot(true);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, &tick, [&tick] { tick.start(); });
    tick.start();

    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}
