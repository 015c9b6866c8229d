# add_lorvane_test(<name> SOURCES <files...> LIBS <targets...> [GTEST])
# Registers one test executable with CTest. GUI tests run on the offscreen platform.
function(add_lorvane_test name)
    cmake_parse_arguments(ARG "GTEST" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    if(ARG_GTEST)
        target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
    else()
        target_link_libraries(${name} PRIVATE Qt6::Test)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0"
        TIMEOUT 600)
endfunction()
