# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# scanforms_add_installer(TARGET PROGRAM OUTPUT): the custom target TARGET
# makes the NSIS installer OUTPUT (scanforms.nsi) around the program target
# PROGRAM, stripped of its debugging sections. The real installer wraps
# scanforms.exe; the tests wrap a station over a fake scanner the same way.
find_program(SCANFORMS_MAKENSIS makensis)
set(SCANFORMS_INSTALLER_DIR ${CMAKE_CURRENT_LIST_DIR})

function(scanforms_add_installer target program output)
    if(NOT SCANFORMS_MAKENSIS)
        add_custom_target(${target}
            COMMAND ${CMAKE_COMMAND} -E echo
                    "The installer is made with NSIS, which is not installed: apt-get install nsis"
            COMMAND ${CMAKE_COMMAND} -E false)
        return()
    endif()
    set(stripped ${CMAKE_CURRENT_BINARY_DIR}/${target}/scanforms.exe)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/${target}
        COMMAND ${CMAKE_STRIP} --strip-debug -o ${stripped} $<TARGET_FILE:${program}>
        COMMAND ${SCANFORMS_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DPROGRAM=${stripped}
                -DICON=${SCANFORMS_INSTALLER_DIR}/scanforms.ico -DOUTFILE=${output}
                ${SCANFORMS_INSTALLER_DIR}/scanforms.nsi
        DEPENDS ${program} ${SCANFORMS_INSTALLER_DIR}/scanforms.nsi
                ${SCANFORMS_INSTALLER_DIR}/scanforms.ico
        COMMENT "Making the installer ${output}"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
