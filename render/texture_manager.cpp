#include "render/texture_manager.h"

#include <cstring>

// Stand-in until the TGA loader lands: every picture is refused.

namespace {

TextureManager textures;

} // namespace

int TextureManager::find(const char* fileName) const {
    for (const Sprite& sprite : sprites_) {
        if (std::strcmp(sprite.name.c_str(), fileName) == 0) {
            return sprite.textureId;
        }
    }
    return -1;
}

void TextureManager::add(const char* fileName, int textureId) {
    sprites_.push_back(Sprite{fileName, textureId});
}

int loadTexture(const char*, bool, bool) {
    return 0;
}
