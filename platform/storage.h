#pragma once

#include <string>

// The files the game keeps for the player, as each platform can keep them
// (platform/desktop/, platform/web/).

// The folder below which programs keep their players' files, each in a folder
// of its own; empty where the platform gives none.
std::string keptFilesRoot();

// Takes the lock on the open file `fd` at once, or returns false with errno
// EWOULDBLOCK while another program holds it.
bool tryLockFile(int fd);

// What was just written, renamed or removed in `folder` is made to last: on
// the disk, or in the browser's storage.
void keepChangesIn(const std::string& folder);

// Renames `from` to `to` in one step unless something already has that name.
// False with errno set: EEXIST when the name is taken, EINVAL where the file
// system cannot rename that way, and the caller must look at the name first.
bool renameWithoutReplacing(const char* from, const char* to);
