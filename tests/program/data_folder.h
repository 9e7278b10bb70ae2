#pragma once

#include "support/temporary_folder.h"

#include <string>

// The game's data laid out afresh in a temporary folder of its own, as links
// to the real files, so that a test can break one part of it and start the
// game there. Removed with everything in it when the test ends.
class DataFolder {
public:
    DataFolder();

    const std::string& path() const { return folder_.path(); }

    // Takes one picture away, as in "Spaceship.tga".
    void removePicture(const std::string& name) const;
    // Puts a file with these bytes in the place of one picture.
    void replacePicture(const std::string& name, const std::string& bytes) const;
    // Takes the whole sound folder, or the whole picture folder, away.
    void removeSounds() const;
    void removePictures() const;

private:
    TemporaryFolder folder_;
};
