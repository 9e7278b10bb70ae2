#pragma once

#include <string>
#include <vector>

// One cache entry: a file name exactly as requested, its texture, and whether
// every texel of the picture is fully opaque.
struct Sprite {
    std::string name;
    int textureId;
    bool opaque;
};

// Remembers every uploaded picture under the exact name it was requested by.
class TextureManager {
public:
    int find(const char* fileName) const;
    void add(const char* fileName, int textureId, bool opaque);
    bool isOpaque(int textureId) const;
    void remove(int textureId);

private:
    std::vector<Sprite> sprites_;
};

// The texture of a TGA file, uploaded once and cached by name; 0 when the
// file is refused or cannot be loaded. Needs a current OpenGL context.
int loadTexture(const char* fileName, bool bottomUp, bool repeat);

// True for a texture of the cache whose picture has no see-through texel: it
// can be laid down without blending and look the same.
bool isOpaqueTexture(int texture);

// Deletes a texture of the cache and forgets its picture, for pictures that
// will not show again; a later request loads the file afresh.
void releaseTexture(int texture);
