#pragma once

#include <string>
#include <vector>

// One cache entry: a file name exactly as requested, and its texture.
struct Sprite {
    std::string name;
    int textureId;
};

// Remembers every uploaded picture under the exact name it was requested by.
class TextureManager {
public:
    int find(const char* fileName) const;
    void add(const char* fileName, int textureId);

private:
    std::vector<Sprite> sprites_;
};

// The texture of a TGA file, uploaded once and cached by name; 0 when the
// file is refused or cannot be loaded. Needs a current OpenGL context.
int loadTexture(const char* fileName, bool bottomUp, bool repeat);
