// Scene pictures: loaded once into the hidden holder E at their own size, painted stretched over Pic.
#include "app/Fom.h"
#include "platform/PictureLoader.h"

void Fom::ClearPicture() {
    Pic.pictureName.clear();
    Pic.picturePath.clear();
}

void Fom::ShowPicture(const std::u16string& name) {
    ClearPicture();
    // From here a failure ends quietly, with the area left blank.
    if (!name.empty()) {
        const std::string path = pictureFile(name);
        auto size = platform.pictures.load(path);
        if (!size) return;
        E.pictureName = name;
        E.picturePath = path;
        E.widthTw = size->width * kTwipsPerPixel;
        E.heightTw = size->height * kTwipsPerPixel;
    }
    Pic.setScaleMode(ScaleMode::Pixels);
    E.setScaleMode(ScaleMode::Pixels);
    if (E.picturePath.empty()) return;
    Pic.pictureName = E.pictureName;
    Pic.picturePath = E.picturePath;
    Pic.visible = true;
}
