# SPDX-License-Identifier: GPL-3.0-or-later
# Started with no display it can reach, the program says so in one line on
# stderr and exits with status 1, without Qt's abort.
# Usage: cmake -DTAVIK=path/to/tavik -DWORK_DIR=scratch -P NoDisplayCheck.cmake
set(expected "tavik: no display to open the window on")
# name|environment settings for `cmake -E env`, separated by commas
set(rows
    "no_display_set|--unset=DISPLAY,--unset=WAYLAND_DISPLAY,--unset=QT_QPA_PLATFORM"
    "unreachable_x_display|DISPLAY=:4711,--unset=WAYLAND_DISPLAY,--unset=QT_QPA_PLATFORM"
    "chosen_x_without_display|--unset=DISPLAY,--unset=WAYLAND_DISPLAY,QT_QPA_PLATFORM=xcb"
    "unreachable_wayland|--unset=DISPLAY,WAYLAND_DISPLAY=tavik-nowhere,--unset=QT_QPA_PLATFORM"
)
set(failed 0)
foreach(row IN LISTS rows)
    string(REPLACE "|" ";" fields "${row}")
    string(REPLACE "," ";" fields "${fields}")
    list(GET fields 0 name)
    list(SUBLIST fields 1 -1 environment)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ${environment} ${TAVIK}
        RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET TIMEOUT 20)
    string(REGEX REPLACE "\n$" "" errors "${errors}")
    if(NOT status STREQUAL "1" OR NOT errors STREQUAL expected)
        message(SEND_ERROR "${name}: status '${status}', stderr '${errors}'")
        set(failed 1)
    endif()
endforeach()
# A platform the user chose is taken as it is, display or not: it runs, and
# says nothing.
file(MAKE_DIRECTORY ${WORK_DIR})
file(CHMOD ${WORK_DIR} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
        --unset=QT_QPA_PLATFORM XDG_RUNTIME_DIR=${WORK_DIR} ${TAVIK} -platform offscreen
    RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET TIMEOUT 3)
if(NOT status MATCHES "timeout" OR NOT errors STREQUAL "")
    message(SEND_ERROR "chosen_offscreen: status '${status}', stderr '${errors}'")
    set(failed 1)
endif()

if(failed)
    message(FATAL_ERROR "expected status 1 and the one line '${expected}'")
endif()
