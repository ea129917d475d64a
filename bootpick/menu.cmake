# The boot menu's tree, remote control and interaction, drawn through the
# display layer.
add_library(bootpick_menu STATIC
  ${CMAKE_CURRENT_LIST_DIR}/menutree.cpp
  ${CMAKE_CURRENT_LIST_DIR}/remote.cpp
  ${CMAKE_CURRENT_LIST_DIR}/menurun.cpp)
target_include_directories(bootpick_menu PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(bootpick_menu PUBLIC bootpick_display)

add_unit_test(menu_tree_test
  ${CMAKE_CURRENT_LIST_DIR}/tests/menu_tree_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/menu_fixture.cpp
  LIBS bootpick_menu)
add_unit_test(remote_test
  ${CMAKE_CURRENT_LIST_DIR}/tests/remote_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/remote_fixture.cpp
  LIBS bootpick_menu)
add_unit_test(menu_run_test
  ${CMAKE_CURRENT_LIST_DIR}/tests/menu_run_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/menu_fixture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/remote_fixture.cpp
  LIBS bootpick_menu)
