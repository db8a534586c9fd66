# The project's one font: its data file and the scripts that read it. Included
# by font/CMakeLists.txt (the C++ glyph table) and by resources/ (the label
# bitmaps), which builds for Windows where font/ is not a library.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(RT_FONT_DIR ${CMAKE_CURRENT_LIST_DIR})
set(RT_FONT_FILE ${RT_FONT_DIR}/glyphs.txt)
set(RT_FONT_READER ${RT_FONT_DIR}/font_file.py)
