#pragma once

// Every picture is drawn as one unit square centred on the origin, recorded in
// a display list and stretched into place with the modelview matrix.

// Records the sprite quad (normal, then four corners counter-clockwise seen
// from +z, texture t = 0 on the top edge) into the display list being compiled.
void recordSpriteQuad();
// The same quad showing only the part of its texture from (0, 0) to (sMax, tMax).
void recordSpriteQuadPart(float sMax, float tMax);

// A new display list holding the sprite quad and no texture bind.
int newSpriteList();

// Builds a list that binds its own picture: does nothing when listId is 0 or
// more; loads fileName when textureId is below 0.
void buildSpriteList(int& listId, int& textureId, const char* fileName);

// The state every see-through sprite is drawn with: texturing, blending with
// source alpha, and the alpha test that drops fully transparent texels. Pairs
// nest: inside an outer pair the state is already set and stays set, so a
// whole world of bodies is drawn with one change of state instead of one per
// body (a software renderer pays microseconds for every change).
void beginSpriteDrawing();
void endSpriteDrawing();

// Calls a sprite list centred on (x, y, z), scaled to an edge of `size` world
// units and turned by `rotation` degrees about its own centre; the modelview
// matrix is left as it was. The caller binds the texture and sets the colour.
void drawSpriteList(int list, float x, float y, float z, float size, float rotation);
