#include "png_file.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

bool savePng(const RunningGame::Screenshot& shot, const std::string& path) {
    if (shot.rgb.empty()) {
        return false;
    }
    const std::string portable = path + ".ppm";
    {
        std::ofstream file(portable, std::ios::binary);
        file << "P6\n" << shot.width << ' ' << shot.height << "\n255\n";
        file.write(reinterpret_cast<const char*>(shot.rgb.data()),
                   static_cast<std::streamsize>(shot.rgb.size()));
        if (!file) {
            return false;
        }
    }
    // -strip leaves out the time stamps, so that the same picture makes the same file.
    const std::string command = "convert '" + portable + "' -strip '" + path + "'";
    const bool converted = std::system(command.c_str()) == 0;
    std::remove(portable.c_str());
    return converted;
}
