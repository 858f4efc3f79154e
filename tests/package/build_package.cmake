# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# The package tests' setup: builds the Debian package from the build folder
# with cpack and unpacks it into a scratch root, as dpkg would install it.
#
#   cmake -D CPACK=<cpack> -D CPACK_CONFIG=<build>/CPackConfig.cmake
#         -D SCRATCH=<dir> -P build_package.cmake
#
# Leaves SCRATCH/out/scanforms_<version>_<arch>.deb and SCRATCH/root/.

foreach(tool dpkg-deb dpkg-shlibdeps)
    find_program(found_${tool} ${tool})
    if(NOT found_${tool})
        message(FATAL_ERROR "${tool} is missing: install dpkg-dev (bash scripts/install-deps.sh)")
    endif()
endforeach()

file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/out ${SCRATCH}/root)

execute_process(
    COMMAND ${CPACK} --config ${CPACK_CONFIG} -G DEB -B ${SCRATCH}/out
    RESULT_VARIABLE status
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output
    TIMEOUT 200)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cpack -G DEB failed (${status}):\n${output}")
endif()

file(GLOB packages ${SCRATCH}/out/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "cpack made ${count} packages, not one: ${packages}\n${output}")
endif()

execute_process(
    COMMAND ${found_dpkg-deb} -x ${packages} ${SCRATCH}/root
    RESULT_VARIABLE status
    ERROR_VARIABLE errors
    TIMEOUT 60)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -x ${packages} failed (${status}): ${errors}")
endif()
message(STATUS "Unpacked ${packages} into ${SCRATCH}/root")
