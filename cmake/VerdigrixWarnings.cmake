# Project-wide compiler settings: warnings everywhere, optional -Werror and sanitizers.
add_compile_options(-Wall -Wextra -Wpedantic)
if(VERDIGRIX_WERROR)
    add_compile_options(-Werror)
endif()
if(VERDIGRIX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(VERDIGRIX_SANITIZE_THREAD)
    if(VERDIGRIX_SANITIZE)
        message(FATAL_ERROR "The thread sanitizer cannot be combined with the address sanitizer")
    endif()
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()
if(VERDIGRIX_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link
        -fsanitize-coverage-ignorelist=${PROJECT_SOURCE_DIR}/cmake/FuzzCoverageIgnore.txt)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT WIN32)
    # One copy of each inline static per module, so modules can be unloaded.
    add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-gnu-unique>)
endif()

# verdigrix_test(name sources... LIBS libs...) — one GoogleTest executable registered with CTest.
function(verdigrix_test name)
    cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
    add_executable(${name} ${T_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    if(CMAKE_CROSSCOMPILING)
        # Each start of a program under Wine costs a fraction of a second: one run per program.
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "VERDIGRIX_BUILD_DIR=${PROJECT_BINARY_DIR}")
    else()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
            PROPERTIES ENVIRONMENT "VERDIGRIX_BUILD_DIR=${PROJECT_BINARY_DIR}")
    endif()
endfunction()

# verdigrix_bench(name sources... LIBS libs...) — one Google Benchmark executable.
function(verdigrix_bench name)
    cmake_parse_arguments(B "" "" "LIBS" ${ARGN})
    add_executable(${name} ${B_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    set_property(GLOBAL APPEND PROPERTY VERDIGRIX_BENCHES ${name})
endfunction()
