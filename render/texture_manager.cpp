#include "render/texture_manager.h"

#include "render/tga_image.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <strings.h>
#include <unistd.h>

namespace {

constexpr const char* kTgaExtension = ".tga";
constexpr std::int32_t kTextureBits = 32;

TextureManager textures;

bool hasTgaExtension(const char* fileName) {
    const char* const dot = std::strrchr(fileName, '.');
    return dot && strcasecmp(dot, kTgaExtension) == 0;
}

// Said once for each picture that is not there. A picture whose whole folder
// is missing is not told of: the game says so of the folder, once.
void tellOfMissingPicture(const std::string& fileName) {
    static std::set<std::string> told;
    const std::string folder = fileName.substr(0, fileName.find_last_of('/') + 1);
    if (access(fileName.c_str(), F_OK) == 0 || access((folder + ".").c_str(), F_OK) != 0 ||
        !told.insert(fileName).second) {
        return;
    }
    std::fprintf(stderr, "vantorel: the picture %s is missing: it is drawn as a plain square\n",
                 fileName.c_str());
}

GLuint upload(const TgaImage& image, bool repeat) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const GLint wrap = repeat ? GL_REPEAT : GL_CLAMP;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(image.width()),
                 static_cast<GLsizei>(image.height()), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.pixels());
    return name;
}

} // namespace

int TextureManager::find(const char* fileName) const {
    for (const Sprite& sprite : sprites_) {
        if (std::strcmp(sprite.name.c_str(), fileName) == 0) {
            return sprite.textureId;
        }
    }
    return -1;
}

void TextureManager::add(const char* fileName, int textureId, bool opaque) {
    sprites_.push_back(Sprite{fileName, textureId, opaque});
}

bool TextureManager::isOpaque(int textureId) const {
    for (const Sprite& sprite : sprites_) {
        if (sprite.textureId == textureId) {
            return sprite.opaque;
        }
    }
    return false;
}

void TextureManager::remove(int textureId) {
    sprites_.erase(
        std::remove_if(sprites_.begin(), sprites_.end(),
                       [textureId](const Sprite& sprite) { return sprite.textureId == textureId; }),
        sprites_.end());
}

int loadTexture(const char* fileName, bool bottomUp, bool repeat) {
    if (!hasTgaExtension(fileName)) {
        return 0;
    }
    const int cached = textures.find(fileName);
    if (cached > 0) {
        return cached;
    }
    TgaImage image;
    // Only colour pictures become textures; 8-bit files decode but are refused.
    if (!image.load(fileName, bottomUp) || image.bitsPerPixel() != kTextureBits) {
        image.release();
        tellOfMissingPicture(fileName);
        return 0;
    }
    const int texture = static_cast<int>(upload(image, repeat));
    const bool opaque = !image.hasSeeThroughPixels();
    image.release();
    textures.add(fileName, texture, opaque);
    return texture;
}

void releaseTexture(int texture) {
    if (texture <= 0) {
        return;
    }
    const GLuint name = static_cast<GLuint>(texture);
    glDeleteTextures(1, &name);
    textures.remove(texture);
}

bool isOpaqueTexture(int texture) {
    return textures.isOpaque(texture);
}
