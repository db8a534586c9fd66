// triangle-render: renders effect presets to pictures (see --help).
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "frontend/signal_cleanup.h"
#include "previewer/previewer_app.h"

int main(int argc, char** argv) {
    frontend::removeTemporariesOnSignals();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return previewer::runPreviewer(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) != 0);
}
