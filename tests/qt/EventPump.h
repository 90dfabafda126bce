#pragma once
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <functional>

// Runs the Qt event loop until done() holds or the time is up; returns whether done() held.
inline bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        // Objects let go of with deleteLater go as they would in the program's running event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(2);
    }
    return true;
}

// Runs the Qt event loop for a while, whatever happens.
inline void pumpFor(int ms) {
    pumpUntil([] { return false; }, ms);
}
