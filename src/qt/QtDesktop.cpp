#include "qt/QtDesktop.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

void QtDesktop::messageBox(const std::string& utf8Text) {
    QMessageBox::information(&window_, window_.windowTitle(), QString::fromStdString(utf8Text));
}

void QtDesktop::openFile(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}
