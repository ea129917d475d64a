# The boot menu program itself, and its black-box tests: each script runs the
# built bootpick in the host simulation (tools/boxsim), one CTest test each so
# that the slow ones (the 5-second first wait) run side by side.
add_program(bootpick ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(bootpick PRIVATE bootpick_menu bootpick_display bootpick_net)

foreach(name defaults boxtype waiting_screen listfile interfaces walk failures firstkey)
  add_blackbox_test(bootpick_${name} ${CMAKE_CURRENT_LIST_DIR}/tests/bootpick_${name}.sh)
endforeach()
