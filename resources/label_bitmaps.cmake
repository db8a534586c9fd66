# The panel's four label bitmaps, set from the project's font (font/glyphs.txt)
# at build time. Used by the module's resources and by the native tests that
# check them.
include(${CMAKE_CURRENT_LIST_DIR}/../font/font.cmake)

# word: file stem | text | blank columns before | after. The margins are the
# ones the labels have always had: the bitmaps must stay as they are.
set(RT_LABELS "triangle|Triangle|2|2" "frame|Frame|1|2" "init|Init|1|0" "beat|Beat|1|2")

# Adds `target`, which writes label_<word>.bmp for every label into
# `outputDir`, and the glyph grid it was made from as <word>.txt beside it.
function(rt_add_label_bitmaps target outputDir)
  set(generator ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/make_label_bitmap.py)
  set(setter ${RT_FONT_DIR}/set_text.py)
  set(bitmaps)
  foreach(label IN LISTS RT_LABELS)
    string(REPLACE "|" ";" fields "${label}")
    list(GET fields 0 word)
    list(GET fields 1 text)
    list(GET fields 2 left)
    list(GET fields 3 right)
    set(grid ${outputDir}/${word}.txt)
    set(bitmap ${outputDir}/label_${word}.bmp)
    add_custom_command(OUTPUT ${bitmap} ${grid}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${outputDir}
      COMMAND Python3::Interpreter ${setter} ${RT_FONT_FILE} ${text} ${left} ${right} ${grid}
      COMMAND Python3::Interpreter ${generator} ${grid} ${bitmap}
      DEPENDS ${generator} ${setter} ${RT_FONT_READER} ${RT_FONT_FILE}
      COMMENT "Label bitmap ${word}"
      VERBATIM)
    list(APPEND bitmaps ${bitmap})
  endforeach()
  add_custom_target(${target} DEPENDS ${bitmaps})
endfunction()
