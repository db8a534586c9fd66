// Builds without the project's PNG writer still render raw .bgra output.
#include "previewer/png_file.h"

namespace previewer {

bool savePngFile(const std::string&, const Image&, std::string& error) {
    error = "this build has no PNG writer (use .bgra)";
    return false;
}

}  // namespace previewer
