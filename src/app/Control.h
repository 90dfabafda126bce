#pragma once
#include "app/Color.h"
#include "app/ControlState.h"
#include "game/Look.h"

#include <string>
#include <vector>

// One control of the window as plain data. Positions are kept in twips relative to the container and
// read and written in the container's units, so switching a container's scale changes what reading a
// position gives, as the game expects. Every kind carries the whole set of properties; each kind uses
// (and the dump shows) only its own.
class Control {
  public:
    Control(ControlKind kind, std::string name, int index, Control* container)
        : kind(kind), name(std::move(name)), index(index), container(container) {}

    const ControlKind kind;
    const std::string name;
    const int index; // -1 when the control is not an element of an array
    Control* const container;
    long zorder = 0; // stacking within the container: higher lies above

    std::u16string caption;
    std::u16string toolTipText;
    bool visible = true;
    bool enabled = true;
    Color foreColor = systemColor::buttonText;
    Color backColor = systemColor::buttonFace;
    BackStyle backStyle = BackStyle::Opaque;
    BorderStyle borderStyle = BorderStyle::None;
    Alignment alignment = Alignment::Left;
    double fontSize = 9;

    // Shapes.
    ShapeStyle shapeStyle = ShapeStyle::Rectangle;
    Color fillColor = rgb(0, 0, 0);
    FillStyle fillStyle = FillStyle::Transparent;
    Color borderColor = systemColor::windowText;

    // List boxes.
    std::vector<std::u16string> list;

    // Picture boxes: the picture last painted (base name and path; empty when cleared or never painted).
    std::u16string pictureName;
    std::string picturePath;

    // Physical position and size in twips; for the window, the outer size.
    double leftTw = 0, topTw = 0, widthTw = 0, heightTw = 0;
    // For the window: the frame around the client area, in twips (0 without a frame).
    double frameWidthTw = 0, frameHeightTw = 0;

    // Position in the container's units.
    double left() const;
    double top() const;
    double width() const;
    double height() const;
    void move(double left, double top, double width, double height);
    // One side of the position, in the container's units; the others stay as they are.
    void setTop(double top);
    void setWidth(double width);

    // Containers (the window and picture boxes): the scale of the inside.
    ScaleMode scaleMode = ScaleMode::Twips;
    double scaleLeft = 0, scaleTop = 0;
    double scaleWidth() const;
    double scaleHeight() const;
    void setScaleWidth(double w);
    void setScaleHeight(double h);
    void setScaleMode(ScaleMode mode);
    double innerWidthTw() const { return widthTw - frameWidthTw; }
    double innerHeightTw() const { return heightTw - frameHeightTw; }

    // What it shows: the properties its kind draws.
    ControlLook look() const;
    // Everything the game can change of it, and the same set back.
    ControlState state() const;
    void setState(const ControlState& s);
    // Whether it stands as s has it (without copying it).
    bool hasState(const ControlState& s) const;

    // Whether a player could reach it: it and every container above it visible and enabled.
    bool reachable() const;
    // Whether it lies inside the given container, at any depth.
    bool isInside(const Control& ancestor) const;
    // Windowed kinds lie above the labels and shapes drawn on their container's surface.
    bool isWindowed() const {
        return kind == ControlKind::PictureBox || kind == ControlKind::ListBox ||
               kind == ControlKind::CommandButton;
    }

  private:
    double twipsPerUnit(double innerTw, double userScale) const;
    double twipsPerUnitX() const;
    double twipsPerUnitY() const;
    double userScaleWidth_ = 0, userScaleHeight_ = 0;
};
