#include "qt/QtDesktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

TEST(QtDesktop, AMessageBoxIsModalCarriesTheGamesNameAndShowsItsTextAsWritten) {
    QWidget window;
    window.setWindowTitle("not the game's name");
    QtDesktop desktop(window, [](const std::string&) {});

    QString title, text;
    Qt::TextFormat format = Qt::AutoText;
    bool modal = false;
    // Looks at the box once it is up, then answers it with OK as a player would.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        poll.stop();
        title = box->windowTitle();
        text = box->text();
        format = box->textFormat();
        modal = box->isModal();
        box->button(QMessageBox::Ok)->click();
    });
    poll.start(1);
    desktop.messageBox("一行目\r\n<b>二行目</b>");

    EXPECT_EQ(title.toStdString(), "ルメナ");
    EXPECT_EQ(text.toStdString(), "一行目\n<b>二行目</b>");
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_TRUE(modal);
}
