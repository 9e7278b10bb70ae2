#pragma once

// Whether an OpenGL or GLX extension list (names separated by spaces) holds
// `name` itself, not merely a longer name that starts with it.
bool listsExtension(const char* list, const char* name);
