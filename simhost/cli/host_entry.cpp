// songbeacon-host's entry: the command line as typed, its output as the operator's letters.
#include <cstdlib>

#include "cli/console_output.h"
#include "cli/host_main.h"

int main(int argc, char** argv) {
    sim::startConsoleOutput();
    sim::endOnOutOfMemory();
    // A script that runs the host passes on the command the operator typed, for a sweep to show.
    const int status = sim::hostMain(argc, argv, std::getenv("SONGBEACON_TYPED_COMMAND"), nullptr);
    sim::finishConsoleOutput();
    return status;
}
