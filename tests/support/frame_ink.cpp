#include "support/frame_ink.h"

#include <GL/gl.h>

#include <algorithm>

Frame readFrame() {
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    Frame frame;
    frame.width = viewport[2];
    frame.height = viewport[3];
    frame.rgba.resize(static_cast<std::size_t>(4 * frame.width * frame.height));
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, frame.width, frame.height, GL_RGBA, GL_UNSIGNED_BYTE, frame.rgba.data());
    return frame;
}

InkBox inkBoxOf(const Frame& frame, std::uint8_t clearRed, std::uint8_t clearGreen,
                std::uint8_t clearBlue) {
    InkBox box;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const std::uint8_t* pixel = frame.at(x, y);
            if (pixel[0] == clearRed && pixel[1] == clearGreen && pixel[2] == clearBlue) {
                continue;
            }
            if (!box.any) {
                box = InkBox{true, x, x, y, y};
            }
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.bottom = std::min(box.bottom, y);
            box.top = std::max(box.top, y);
        }
    }
    return box;
}
