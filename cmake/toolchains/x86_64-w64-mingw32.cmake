# Cross-build for 64-bit Windows with MinGW-w64. Only the posix thread model has
# std::thread and the standard mutexes, so its compilers are called by name.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VERDIGRIX_MINGW_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VERDIGRIX_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VERDIGRIX_MINGW_HOST}-g++-posix)
set(CMAKE_ASM_COMPILER ${VERDIGRIX_MINGW_HOST}-gcc-posix)
set(CMAKE_RC_COMPILER ${VERDIGRIX_MINGW_HOST}-windres)

# The static drawing libraries live in a prefix outside the clone, built on first use.
# Try-compiles read this file again; the environment carries the answer to them.
if(NOT DEFINED ENV{VERDIGRIX_MINGW_PREFIX})
    execute_process(
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/../../scripts/build-mingw-deps.sh
        OUTPUT_VARIABLE mingw_prefix
        OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE mingw_deps_result)
    if(NOT mingw_deps_result EQUAL 0)
        message(FATAL_ERROR "building the Windows dependencies failed")
    endif()
    set(ENV{VERDIGRIX_MINGW_PREFIX} "${mingw_prefix}")
endif()
set(VERDIGRIX_MINGW_PREFIX "$ENV{VERDIGRIX_MINGW_PREFIX}")

set(CMAKE_FIND_ROOT_PATH /usr/${VERDIGRIX_MINGW_HOST} ${VERDIGRIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} "${VERDIGRIX_MINGW_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
