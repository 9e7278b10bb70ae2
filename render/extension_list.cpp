#include "render/extension_list.h"

#include <cstring>

bool listsExtension(const char* list, const char* name) {
    if (!list || !name || *name == '\0') {
        return false;
    }
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name)) {
        const bool startsAWord = at == list || at[-1] == ' ';
        const bool endsAWord = at[length] == ' ' || at[length] == '\0';
        if (startsAWord && endsAWord) {
            return true;
        }
    }
    return false;
}
