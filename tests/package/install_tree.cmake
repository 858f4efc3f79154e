# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# The package tests' setup: installs the build folder under /usr into a
# scratch root, as dh_auto_install does for the Debian package.
#
#   cmake -D BUILD_DIR=<build> -D ROOT=<dir> -P install_tree.cmake

file(REMOVE_RECURSE ${ROOT})
file(MAKE_DIRECTORY ${ROOT})
set(ENV{DESTDIR} ${ROOT})
execute_process(
    COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
    RESULT_VARIABLE status
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output
    TIMEOUT 120)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install ${BUILD_DIR} failed (${status}):\n${output}")
endif()
message(STATUS "Installed ${BUILD_DIR} into ${ROOT}")
