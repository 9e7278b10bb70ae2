#include "app/program.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

int main(int argc, char** argv) {
    try {
        return runProgram(argc, argv);
    } catch (const std::runtime_error& error) {
        const char* slash = argc > 0 ? std::strrchr(argv[0], '/') : nullptr;
        const char* name = slash ? slash + 1 : (argc > 0 ? argv[0] : "vantorel");
        std::fprintf(stderr, "%s: %s\n", name, error.what());
        return 1;
    }
}
