#include "game/Look.h"

#include <algorithm>

ShapeFigure shapeFigure(ShapeStyle style, double w, double h) {
    ShapeFigure f{0, 0, w, h, 0, false};
    const bool even =
        style == ShapeStyle::Square || style == ShapeStyle::Circle || style == ShapeStyle::RoundedSquare;
    if (even) {
        const double side = std::min(w, h);
        f = {(w - side) / 2, (h - side) / 2, side, side, 0, false};
    }
    f.ellipse = style == ShapeStyle::Oval || style == ShapeStyle::Circle;
    if (style == ShapeStyle::RoundedRectangle || style == ShapeStyle::RoundedSquare)
        f.radius = std::min(f.width, f.height) / 4;
    return f;
}
