# Settings for the 64-bit Windows modules, cross-built with MinGW-w64 and run under Wine.

enable_language(RC)

# M_PI and friends as on Linux; no min/max macros from <windows.h> over std::min and std::max.
add_compile_definitions(_USE_MATH_DEFINES NOMINMAX)

# Everything static: the modules must import nothing but system DLLs.
add_link_options(-static)

# Header-only JSON from the build machine's own package, copied so that no host include
# folder lands on the cross compiler's search path.
find_path(VERDIGRIX_HOST_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY ${VERDIGRIX_HOST_JSON_INCLUDE}/nlohmann DESTINATION ${PROJECT_BINARY_DIR}/host-headers)
add_library(nlohmann_json INTERFACE)
target_include_directories(nlohmann_json SYSTEM INTERFACE ${PROJECT_BINARY_DIR}/host-headers)
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)

if(VERDIGRIX_BUILD_TESTS)
    # GoogleTest from Debian's sources, built with this toolchain, before the project's own
    # warning flags apply.
    set(VERDIGRIX_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(${VERDIGRIX_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

    # Test programs run under Wine, in a prefix of this build.
    set(CMAKE_CROSSCOMPILING_EMULATOR
        ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${PROJECT_BINARY_DIR}/wine)
endif()

# verdigrix_install_for_windows_hosts(<what> <folder under Program Files>)
# Installs <what> (a file or folder, generator expressions allowed) where Windows hosts look:
# <prefix>/<folder>, with the prefix naming the "Program Files" folder. Without a prefix, a
# cross build installs into the Wine prefix in use ($WINEPREFIX, else ~/.wine).
set(VERDIGRIX_WINDOWS_DEFAULT_PREFIX "")
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(VERDIGRIX_WINDOWS_DEFAULT_PREFIX "${CMAKE_INSTALL_PREFIX}" CACHE INTERNAL "")
endif()
function(verdigrix_install_for_windows_hosts what folder)
    install(CODE "
        set(program_files \"\${CMAKE_INSTALL_PREFIX}\")
        if(program_files STREQUAL \"${VERDIGRIX_WINDOWS_DEFAULT_PREFIX}\")
            if(\"${CMAKE_CROSSCOMPILING}\")
                set(wine_prefix \"\$ENV{WINEPREFIX}\")
                if(wine_prefix STREQUAL \"\")
                    set(wine_prefix \"\$ENV{HOME}/.wine\")
                endif()
                set(program_files \"\${wine_prefix}/drive_c/Program Files\")
            else()
                set(program_files \"\$ENV{ProgramW6432}\")
            endif()
        endif()
        file(INSTALL \"${what}\" DESTINATION \"\${program_files}/${folder}\" USE_SOURCE_PERMISSIONS)
    ")
endfunction()

# verdigrix_link_pkgconfig_static(<prefix>...)
# Makes the pkg-config targets PkgConfig::<prefix> link as static libraries do: with their
# private dependencies (pixman under cairo, zlib under libpng, the system libraries).
function(verdigrix_link_pkgconfig_static)
    foreach(dep ${ARGN})
        set_target_properties(PkgConfig::${dep} PROPERTIES
            INTERFACE_LINK_LIBRARIES "${${dep}_STATIC_LDFLAGS}")
    endforeach()
endfunction()
