#include "qt/ControlWidget.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ControlWidget, LaysOutOnlyTheStartOfALineThatALabelCanShow) {
    const QFontMetrics metrics{QFont()};
    const std::u16string line(5'000'000, u'x');
    const auto shown = ControlWidget::shownPart(line, QSize(600, 20), metrics);
    EXPECT_LT(shown.size(), 10'000u);
    // Every character that fits is still there, with some to spare for the wrap.
    EXPECT_GT(static_cast<int>(shown.size()), 600 / std::max(1, metrics.horizontalAdvance(QChar(u'x'))));
    EXPECT_EQ(ControlWidget::shownPart(u"short", QSize(600, 20), metrics), u"short");
}

} // namespace
