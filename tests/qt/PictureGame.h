#pragma once
#include "support/TestGame.h"

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>

// The colours of a test picture's quadrants, far from the text's purple and the prompt's colours.
inline const QColor kTopLeft(220, 40, 40), kTopRight(40, 200, 60), kBottomLeft(40, 60, 220),
    kBottomRight(240, 220, 40);

// A picture of four solid quadrants, so where each corner of it lands on the screen can be told.
inline QImage quadrantPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    const int w = width / 2, h = height / 2;
    p.fillRect(0, 0, w, h, kTopLeft);
    p.fillRect(w, 0, width - w, h, kTopRight);
    p.fillRect(0, h, w, height - h, kBottomLeft);
    p.fillRect(w, h, width - w, height - h, kBottomRight);
    return image;
}

// Fine stripes over gradients: a rough stretch of it differs from a smooth one nearly everywhere.
inline QImage finePattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37) % 256, (y * 53) % 256, ((x + y) % 3) * 120));
    return image;
}

// A picture stretched over a box as a still window shows it.
inline QImage smoothlyScaled(const QImage& picture, QSize size) {
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

// What a window shows on the screen, as painted there (not rendered afresh, as grab() does).
inline QImage shownOnScreen(QWidget& window, QRect part) {
    QCoreApplication::processEvents();
    return window.screen()
        ->grabWindow(window.winId())
        .toImage()
        .copy(part)
        .convertToFormat(QImage::Format_RGB32);
}

// Writes a real picture file into the game's grf folder under the game's ".dat" name.
inline void savePicture(const TempGame& game, const std::string& name, const QImage& image,
                        const char* format) {
    image.save(QString::fromStdString(game.dir() + "/grf/" + name + ".dat"), format);
}

// Whether two colours match within a tolerance on each channel (scaling and anti-aliasing blur edges).
inline bool near(QColor a, QColor b, int tolerance = 24) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

inline ::testing::AssertionResult looksLike(QColor actual, QColor expected) {
    if (near(actual, expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the pixel is " << actual.name().toStdString() << ", not " << expected.name().toStdString();
}
