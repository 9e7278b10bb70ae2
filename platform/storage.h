#pragma once

// The files the game keeps for the player, as each platform can keep them
// (platform/desktop/, platform/web/).

// Renames `from` to `to` in one step unless something already has that name.
// False with errno set: EEXIST when the name is taken, EINVAL where the file
// system cannot rename that way, and the caller must look at the name first.
bool renameWithoutReplacing(const char* from, const char* to);
