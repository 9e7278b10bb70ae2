#include "data_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

DataFolder::DataFolder() {
    char pattern[] = "/tmp/vantorel-data-XXXXXX";
    if (!mkdtemp(pattern)) {
        throw std::runtime_error("no temporary folder");
    }
    path_ = pattern;
    const fs::path data = VANTOREL_DATA_DIR;
    fs::create_directory_symlink(data / "fonts", fs::path(path_) / "fonts");
    fs::create_directory_symlink(data / "sound", fs::path(path_) / "sound");
    const fs::path images = fs::path(path_) / "images";
    fs::create_directory(images);
    for (const fs::directory_entry& picture : fs::directory_iterator(data / "images")) {
        fs::create_symlink(picture.path(), images / picture.path().filename());
    }
}

DataFolder::~DataFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored); // removes the links, never what they point to
}

void DataFolder::removePicture(const std::string& name) const {
    fs::remove(fs::path(path_) / "images" / name);
}

void DataFolder::replacePicture(const std::string& name, const std::string& bytes) const {
    removePicture(name);
    std::ofstream file(fs::path(path_) / "images" / name, std::ios::binary);
    file << bytes;
}

void DataFolder::removeSounds() const {
    fs::remove(fs::path(path_) / "sound");
}
