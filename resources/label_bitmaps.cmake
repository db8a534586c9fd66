# The panel's four label bitmaps, generated from the glyph grids in glyphs/.
# Used by the module's resources and by the native tests that check them.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(RT_LABEL_WORDS triangle frame init beat)
set(RT_LABEL_GLYPH_DIR ${CMAKE_CURRENT_LIST_DIR}/glyphs)

# Adds `target`, which writes label_<word>.bmp for every word into `outputDir`.
function(rt_add_label_bitmaps target outputDir)
  set(generator ${RT_LABEL_GLYPH_DIR}/../make_label_bitmap.py)
  set(bitmaps)
  foreach(word IN LISTS RT_LABEL_WORDS)
    set(bitmap ${outputDir}/label_${word}.bmp)
    add_custom_command(OUTPUT ${bitmap}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${outputDir}
      COMMAND Python3::Interpreter ${generator} ${RT_LABEL_GLYPH_DIR}/${word}.txt ${bitmap}
      DEPENDS ${generator} ${RT_LABEL_GLYPH_DIR}/${word}.txt
      COMMENT "Label bitmap ${word}"
      VERBATIM)
    list(APPEND bitmaps ${bitmap})
  endforeach()
  add_custom_target(${target} DEPENDS ${bitmaps})
endfunction()
