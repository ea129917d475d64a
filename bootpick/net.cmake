# The boot menu's network settings files (/etc/network/interfaces read,
# /tmp/interfaces written) and their unit tests.
add_library(bootpick_net STATIC ${CMAKE_CURRENT_LIST_DIR}/netsettings.cpp)
target_include_directories(bootpick_net PUBLIC ${CMAKE_CURRENT_LIST_DIR})

add_unit_test(net_normalize_test ${CMAKE_CURRENT_LIST_DIR}/tests/net_normalize_test.cpp LIBS bootpick_net)
add_unit_test(net_files_test ${CMAKE_CURRENT_LIST_DIR}/tests/net_files_test.cpp LIBS bootpick_net)
