# SPDX-License-Identifier: GPL-3.0-or-later
# Started with no display it can reach, the program says so in one line on
# stderr and exits with status 1, without Qt's abort; with only a Wayland
# display and no Qt Wayland platform the line names the package to install.
# Each row sets what the caller's session (DISPLAY, WAYLAND_DISPLAY, a runtime
# folder or none) would otherwise decide.
# Usage: cmake -DTAVIK=path/to/tavik -DWORK_DIR=scratch
#              -DQT_PLATFORMS_DIR=qt/plugins/platforms -P NoDisplayCheck.cmake
set(no_display "tavik: no display to open the window on")
file(GLOB wayland_platform "${QT_PLATFORMS_DIR}/libqwayland*")
if(wayland_platform)
    set(no_wayland_display "${no_display}")
else()
    set(no_wayland_display "tavik: no X display, and Qt's Wayland platform is missing; install the Debian package qt6-wayland")
endif()
file(MAKE_DIRECTORY ${WORK_DIR})
file(CHMOD ${WORK_DIR} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(session XDG_RUNTIME_DIR=${WORK_DIR} --unset=XDG_SESSION_TYPE --unset=QT_PLUGIN_PATH
    --unset=QT_QPA_PLATFORM_PLUGIN_PATH)
# name|expected line|environment settings for `cmake -E env`, separated by commas
set(rows
    "no_display_set|no_display|--unset=DISPLAY,--unset=WAYLAND_DISPLAY,--unset=QT_QPA_PLATFORM"
    "unreachable_x_display|no_display|DISPLAY=:4711,--unset=WAYLAND_DISPLAY,--unset=QT_QPA_PLATFORM"
    "chosen_x_without_display|no_display|--unset=DISPLAY,--unset=WAYLAND_DISPLAY,QT_QPA_PLATFORM=xcb"
    "unreachable_wayland|no_wayland_display|--unset=DISPLAY,WAYLAND_DISPLAY=tavik-nowhere,--unset=QT_QPA_PLATFORM"
)
set(failed 0)
foreach(row IN LISTS rows)
    string(REPLACE "|" ";" fields "${row}")
    string(REPLACE "," ";" fields "${fields}")
    list(GET fields 0 name)
    list(GET fields 1 line)
    list(SUBLIST fields 2 -1 environment)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ${session} ${environment} ${TAVIK}
        RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET TIMEOUT 20)
    string(REGEX REPLACE "\n$" "" errors "${errors}")
    if(NOT status STREQUAL "1" OR NOT errors STREQUAL "${${line}}")
        message(SEND_ERROR "${name}: status '${status}', stderr '${errors}', expected '${${line}}'")
        set(failed 1)
    endif()
endforeach()
# A platform the user chose is taken as it is, display or not: it runs, and
# says nothing.
execute_process(COMMAND ${CMAKE_COMMAND} -E env ${session} --unset=DISPLAY --unset=WAYLAND_DISPLAY
        --unset=QT_QPA_PLATFORM ${TAVIK} -platform offscreen
    RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET TIMEOUT 3)
if(NOT status MATCHES "timeout" OR NOT errors STREQUAL "")
    message(SEND_ERROR "chosen_offscreen: status '${status}', stderr '${errors}'")
    set(failed 1)
endif()

if(failed)
    message(FATAL_ERROR "expected status 1 and the one line")
endif()
