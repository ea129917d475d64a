# fbshot: screenshots of the virtual framebuffer file as indexed PNG (host only).
find_package(PNG REQUIRED)
add_executable(fbshot ${CMAKE_CURRENT_LIST_DIR}/fbshot.cpp)
target_link_libraries(fbshot PRIVATE PNG::PNG)

# The virtual framebuffer end to end: drawn through the display layer,
# photographed by fbshot, decoded and compared.
if(TARGET bootpick_display)
  add_unit_test(display_fbshot_test
    ${CMAKE_SOURCE_DIR}/bootpick/tests/display_fbshot_test.cpp
    LIBS bootpick_display PNG::PNG)
  target_compile_definitions(display_fbshot_test PRIVATE FBSHOT_PATH="$<TARGET_FILE:fbshot>")
  add_dependencies(display_fbshot_test fbshot)
endif()
