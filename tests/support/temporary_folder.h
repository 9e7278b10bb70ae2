#pragma once

#include <string>

// A fresh folder under /tmp, removed with everything in it when the test ends.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string pathOf(const std::string& name) const { return path_ + "/" + name; }

    // Writes `bytes` to the file `name` inside the folder.
    void write(const std::string& name, const std::string& bytes) const;
    // The whole file `name`, empty when there is none.
    std::string read(const std::string& name) const;
    bool has(const std::string& name) const;

private:
    std::string path_;
};
