# vurezer_module(NAME SOURCES ... DEPENDS ...)
# A logic library under src/; its dependencies are linked privately unless a
# public header needs them, so nothing above reaches a toolkit by accident.
function(vurezer_module name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    add_library(vurezer_${name} STATIC ${ARG_SOURCES})
    target_include_directories(vurezer_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(vurezer_${name} PUBLIC vurezer_options ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
endfunction()

# vurezer_test(NAME SOURCES ... LIBS ...)
# One GoogleTest executable per module.
function(vurezer_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    add_executable(test_${name} ${ARG_SOURCES})
    target_link_libraries(test_${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(test_${name} PRIVATE VUREZER_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
    if(CMAKE_CROSSCOMPILING)
        # Each start of an emulated executable costs the better part of a
        # second, so a cross build runs each suite whole, as one test.
        add_test(NAME ${name} COMMAND test_${name})
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}")
    else()
        gtest_discover_tests(test_${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}")
    endif()
endfunction()
