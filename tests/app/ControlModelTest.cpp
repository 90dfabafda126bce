#include "app/ControlModel.h"

#include <gtest/gtest.h>

namespace {

struct Model {
    ControlModel m;
    Control& window = m.addControl(ControlKind::Window, "Fom", nullptr);
    Control& box = m.addControl(ControlKind::PictureBox, "Box", &window);
    Control& inner = m.addControl(ControlKind::Label, "Inner", &box, true);
    Model() {
        window.widthTw = 12000;
        window.heightTw = 9000;
    }
};

} // namespace

TEST(ControlModel, MovesInTheContainersUnitsAndReadsBackInTheUnitsInForce) {
    Model t;
    t.window.setScaleWidth(8);
    t.window.setScaleHeight(6);
    t.box.move(0, 0, 6, 5); // 9000 x 7500 twips
    EXPECT_DOUBLE_EQ(t.box.widthTw, 9000);
    EXPECT_DOUBLE_EQ(t.box.heightTw, 7500);
    t.box.setScaleWidth(100);
    t.box.setScaleHeight(110);
    t.inner.move(10, 55, 50, 5);
    EXPECT_DOUBLE_EQ(t.inner.leftTw, 900);
    EXPECT_DOUBLE_EQ(t.inner.topTw, 3750);
    EXPECT_DOUBLE_EQ(t.inner.left(), 10);
    EXPECT_DOUBLE_EQ(t.inner.top(), 55);

    // Switching the container to pixels keeps the place and changes what reading gives.
    t.box.setScaleMode(ScaleMode::Pixels);
    EXPECT_DOUBLE_EQ(t.inner.left(), 60);
    EXPECT_DOUBLE_EQ(t.inner.top(), 250);
    EXPECT_DOUBLE_EQ(t.box.scaleWidth(), 600);
    EXPECT_DOUBLE_EQ(t.box.scaleHeight(), 500);

    // A user scale stretches with its container.
    t.window.widthTw = 24000;
    EXPECT_DOUBLE_EQ(t.box.width(), 3);
    EXPECT_DOUBLE_EQ(t.window.scaleWidth(), 8);
}

TEST(ControlModel, ScaleWidthAloneKeepsTheHeightAsItStood) {
    Model t;
    t.window.setScaleHeight(6);
    EXPECT_DOUBLE_EQ(t.window.scaleWidth(), 12000);
    EXPECT_DOUBLE_EQ(t.window.scaleHeight(), 6);
}

TEST(ControlModel, ReachableOnlyThroughVisibleEnabledContainers) {
    Model t;
    EXPECT_TRUE(t.inner.reachable());
    t.box.visible = false;
    EXPECT_FALSE(t.inner.reachable());
    EXPECT_TRUE(t.inner.visible); // its own visibility is untouched
    t.box.visible = true;
    t.box.enabled = false;
    EXPECT_FALSE(t.inner.reachable());
    t.box.enabled = true;
    t.inner.enabled = false;
    EXPECT_FALSE(t.inner.reachable());
    EXPECT_TRUE(t.inner.isInside(t.box));
    EXPECT_TRUE(t.inner.isInside(t.window));
    EXPECT_FALSE(t.box.isInside(t.inner));
}

TEST(ControlModel, NewArrayElementsAreHiddenCopiesOfTheFirst) {
    Model t;
    t.inner.caption = u"x";
    t.inner.foreColor = rgb(1, 2, 3);
    t.inner.leftTw = 77;
    Control& second = t.m.createElement("Inner", 1);
    EXPECT_EQ(second.index, 1);
    EXPECT_EQ(second.caption, u"x");
    EXPECT_EQ(second.foreColor, rgb(1, 2, 3));
    EXPECT_EQ(second.leftTw, 77);
    EXPECT_FALSE(second.visible);
    EXPECT_EQ(&second, t.m.array("Inner")[1]);
    // Elements come in order: a gap is a mistake of the program.
    EXPECT_THROW(t.m.createElement("Inner", 5), std::logic_error);
}

TEST(ControlModel, StacksWindowedControlsAboveLabelsAndBringsToFront) {
    Model t;
    Control& label = t.m.addControl(ControlKind::Label, "Label", &t.window);
    Control& other = t.m.addControl(ControlKind::PictureBox, "Other", &t.window);
    EXPECT_EQ(t.m.stackOf(&t.window), (std::vector<Control*>{&label, &t.box, &other}));
    t.m.bringToFront(t.box);
    t.m.bringToFront(label);
    EXPECT_EQ(t.m.stackOf(&t.window), (std::vector<Control*>{&label, &other, &t.box}));
}
