// Helpers for the tests that drive the real windows under Qt's offscreen
// platform: acting on the next modal dialog, finding controls by their
// ids, and saving a picture of a window into the build folder.
#pragma once

#include <QApplication>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

// Runs `handle` on the next modal dialog to open other than `current`.
inline void onNextModal(std::function<void(QWidget*)> handle, QWidget* current = nullptr) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, handle, current] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == current) return;
        timer->stop();
        timer->deleteLater();
        handle(modal);
    });
    timer->start();
}

// The control with this id (objectName) inside `window`; null when absent.
template <typename Widget>
Widget* control(const QObject* window, const char* id) {
    return window->findChild<Widget*>(QString(id));
}

// Saves a picture of `window` as CORVANE_SCREENSHOT_DIR/NAME.png; false
// when it could not be written.
inline bool saveScreenshot(QWidget* window, const QString& name) {
    return window->grab().save(QString(CORVANE_SCREENSHOT_DIR) + "/" + name + ".png");
}
