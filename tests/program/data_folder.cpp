#include "data_folder.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

// The folder holds links to the real files; removing it never touches what they point to.
DataFolder::DataFolder() {
    const fs::path data = VANTOREL_DATA_DIR;
    fs::create_directory_symlink(data / "fonts", fs::path(path()) / "fonts");
    fs::create_directory_symlink(data / "sound", fs::path(path()) / "sound");
    const fs::path images = fs::path(path()) / "images";
    fs::create_directory(images);
    for (const fs::directory_entry& picture : fs::directory_iterator(data / "images")) {
        fs::create_symlink(picture.path(), images / picture.path().filename());
    }
}

void DataFolder::removePicture(const std::string& name) const {
    fs::remove(fs::path(path()) / "images" / name);
}

void DataFolder::replacePicture(const std::string& name, const std::string& bytes) const {
    removePicture(name);
    std::ofstream file(fs::path(path()) / "images" / name, std::ios::binary);
    file << bytes;
}

void DataFolder::removeSounds() const {
    fs::remove(fs::path(path()) / "sound");
}

void DataFolder::removePictures() const {
    fs::remove_all(fs::path(path()) / "images");
}
