#pragma once
#include "app/Color.h"

#include <cstdint>
#include <string>
#include <vector>

// What a control shows, once for every host: the window applies it to its widgets, the page host writes
// it as JSON and the headless dump prints it.

enum class ControlKind { Window, Label, PictureBox, Shape, ListBox, CommandButton };

// The game's positions are in twips: 15 to a pixel at 96 dots an inch.
constexpr double kTwipsPerPixel = 15.0;

// The styles as the game's properties number them (the dump and the save print those numbers).
enum class BackStyle : std::uint8_t { Transparent = 0, Opaque = 1 };
enum class BorderStyle : std::uint8_t { None = 0, Single = 1 };
enum class Alignment : std::uint8_t { Left = 0, Right = 1, Centre = 2 };
enum class FillStyle : std::uint8_t { Solid = 0, Transparent = 1 };
enum class ShapeStyle : std::uint8_t {
    Rectangle = 0,
    Square = 1,
    Oval = 2,
    Circle = 3,
    RoundedRectangle = 4,
    RoundedSquare = 5
};

// The number the game stores for a style.
template <class Style> constexpr int number(Style s) {
    return static_cast<int>(s);
}
// A shape style from the game's number; anything out of range draws as a rectangle.
constexpr ShapeStyle shapeStyleOf(int n) {
    return n >= 0 && n <= 5 ? static_cast<ShapeStyle>(n) : ShapeStyle::Rectangle;
}

// What one control shows. Only the fields its kind draws carry values (the others keep their
// defaults), so two looks are equal exactly when the control looks the same. Places are in twips,
// relative to the container.
struct ControlLook {
    bool visible = false;
    bool enabled = true;
    double leftTw = 0, topTw = 0, widthTw = 0, heightTw = 0;
    double fontSize = 0;
    Color foreColor = 0, backColor = 0, fillColor = 0, borderColor = 0;
    BackStyle backStyle = BackStyle::Transparent;
    BorderStyle borderStyle = BorderStyle::None;
    Alignment alignment = Alignment::Left;
    FillStyle fillStyle = FillStyle::Transparent;
    ShapeStyle shape = ShapeStyle::Rectangle;
    std::u16string caption, toolTip;
    std::vector<std::u16string> list;
    std::string picture; // the path of the picture painted, empty when none
    bool operator==(const ControlLook&) const = default;
};

// Where a shape's figure lies in its box of w x h pixels: squares and circles take the shorter side,
// centred; rounded figures have corners of a quarter of their shorter side.
struct ShapeFigure {
    double x = 0, y = 0, width = 0, height = 0;
    double radius = 0; // the corners' radius; 0 for square corners
    bool ellipse = false;
};
ShapeFigure shapeFigure(ShapeStyle style, double w, double h);
