#include "qt/QtDesktop.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

void QtDesktop::messageBox(const std::string& utf8Text) {
    // The game's boxes carry the game's name, and their text is shown as written: a hint or a help line
    // that happens to look like markup is not rendered as such.
    QString text = QString::fromStdString(utf8Text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString title = title_ ? title_() : QStringLiteral("ルメナ");
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, &window_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtDesktop::openFile(const std::string& path) {
    // The path goes to the desktop as a file URL, never through a shell.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}
