#include "app/options.h"
#include "app/program.h"

// The page has no command line: the game as it always was, without the
// player's records, which the page does not keep yet.
int main(int argc, char** argv) {
    Options options;
    options.keepRecords = false;
    return runProgram(argc, argv, options);
}
