# Produces the glyph atlas source compiled into velkor_core and stores its path in `outVar`.
# Native builds make and run tools/velkor-glyphs. A cross build (no native FreeType program)
# points VELKOR_GLYPHS_EXECUTABLE at a generator built for the build machine, or
# VELKOR_GLYPH_ATLAS_SOURCE at a source generated earlier.
set(VELKOR_GLYPH_ATLAS_SOURCE "" CACHE FILEPATH "Pre-generated glyph atlas source; skips the generator")
set(VELKOR_GLYPHS_EXECUTABLE "" CACHE FILEPATH "velkor-glyphs built for the build machine")
set(VELKOR_FONT_DIR /usr/share/fonts/truetype/dejavu CACHE PATH "Folder of DejaVuSans.ttf and DejaVuSans-Bold.ttf")
set(VELKOR_GLYPH_SIZES 9,10,11,13,16 CACHE STRING "Pixel sizes of the glyph atlases")

function(velkor_glyph_atlases outVar)
  if(VELKOR_GLYPH_ATLAS_SOURCE)
    set(${outVar} ${VELKOR_GLYPH_ATLAS_SOURCE} PARENT_SCOPE)
    return()
  endif()
  if(VELKOR_GLYPHS_EXECUTABLE)
    set(generator ${VELKOR_GLYPHS_EXECUTABLE})
  elseif(CMAKE_CROSSCOMPILING)
    message(FATAL_ERROR "A cross build needs VELKOR_GLYPHS_EXECUTABLE or VELKOR_GLYPH_ATLAS_SOURCE")
  else()
    add_subdirectory(${CMAKE_SOURCE_DIR}/tools/velkor-glyphs ${CMAKE_BINARY_DIR}/tools/velkor-glyphs)
    set(generator velkor-glyphs)
  endif()
  set(output ${CMAKE_BINARY_DIR}/generated/GlyphAtlases.cpp)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/generated)
  set(regular ${VELKOR_FONT_DIR}/DejaVuSans.ttf)
  set(bold ${VELKOR_FONT_DIR}/DejaVuSans-Bold.ttf)
  add_custom_command(OUTPUT ${output}
    COMMAND ${generator} --out ${output} --regular ${regular} --bold ${bold} --sizes ${VELKOR_GLYPH_SIZES}
    DEPENDS ${generator} ${regular} ${bold}
    COMMENT "Rendering glyph atlases"
    VERBATIM)
  set(${outVar} ${output} PARENT_SCOPE)
endfunction()
