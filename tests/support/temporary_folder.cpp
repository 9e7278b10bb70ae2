#include "support/temporary_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

TemporaryFolder::TemporaryFolder() {
    char pattern[] = "/tmp/vantorel-test-XXXXXX";
    if (!mkdtemp(pattern)) {
        throw std::runtime_error("no temporary folder");
    }
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void TemporaryFolder::write(const std::string& name, const std::string& bytes) const {
    std::ofstream file(pathOf(name), std::ios::binary | std::ios::trunc);
    file << bytes;
}

std::string TemporaryFolder::read(const std::string& name) const {
    std::ifstream file(pathOf(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool TemporaryFolder::has(const std::string& name) const {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(pathOf(name), ignored));
}
