# The boot menu's display layer: framebuffer and palette, the device seam with
# the virtual framebuffer, drawing primitives and font, image files.
add_library(bootpick_display STATIC
  ${CMAKE_CURRENT_LIST_DIR}/framebuffer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fbdevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/draw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/font12x22.cpp
  ${CMAKE_CURRENT_LIST_DIR}/imagefiles.cpp)
target_include_directories(bootpick_display PUBLIC ${CMAKE_CURRENT_LIST_DIR})

foreach(t draw font framebuffer vfb imagefiles)
  add_unit_test(display_${t}_test ${CMAKE_CURRENT_LIST_DIR}/tests/display_${t}_test.cpp
    LIBS bootpick_display)
endforeach()

# Band highlights and row fills are byte loops of unknown length: let the
# compiler vectorise them where the processor has vectors (a highlight move
# then costs a fraction of a full-screen fill).
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/draw.cpp PROPERTIES COMPILE_OPTIONS "-fvect-cost-model=dynamic")
