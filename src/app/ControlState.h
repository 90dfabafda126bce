#pragma once
#include "app/Color.h"
#include "game/Look.h"

#include <string>
#include <vector>

enum class ScaleMode { User, Twips, Pixels };

// Everything of a control that the game can change, as plain data: what a copy of the game needs to
// show and read back what the original did.
struct ControlState {
    long zorder = 0;
    std::u16string caption, toolTipText;
    bool visible = true, enabled = true;
    Color foreColor = 0, backColor = 0;
    BackStyle backStyle = BackStyle::Opaque;
    BorderStyle borderStyle = BorderStyle::None;
    Alignment alignment = Alignment::Left;
    double fontSize = 0;
    ShapeStyle shapeStyle = ShapeStyle::Rectangle;
    Color fillColor = 0;
    FillStyle fillStyle = FillStyle::Transparent;
    Color borderColor = 0;
    std::vector<std::u16string> list;
    std::u16string pictureName;
    std::string picturePath;
    double leftTw = 0, topTw = 0, widthTw = 0, heightTw = 0;
    double frameWidthTw = 0, frameHeightTw = 0;
    ScaleMode scaleMode = ScaleMode::Twips;
    double scaleLeft = 0, scaleTop = 0, userScaleWidth = 0, userScaleHeight = 0;

    bool operator==(const ControlState&) const = default;
};
