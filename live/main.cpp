// triangle-live: plays effect presets in a window and follows their edits
// (see --help).
#include <iostream>
#include <string>
#include <vector>

#include "frontend/signal_cleanup.h"
#include "live/live_app.h"

int main(int argc, char** argv) {
    frontend::removeTemporariesOnSignals();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return live::runLive(args, std::cout, std::cerr);
}
