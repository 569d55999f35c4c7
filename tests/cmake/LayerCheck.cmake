# SPDX-License-Identifier: GPL-3.0-or-later
# Every include points down: a folder includes only from the layers listed
# for it here, and the layers under the window's logic include no Qt. The
# suites are held to the same rule: each folder of tests/ names what it uses.
#   cmake -DSOURCE_DIR=... -P LayerCheck.cmake
cmake_minimum_required(VERSION 3.25)

set(below_core "")
set(below_console "")
set(below_winsys core)
set(below_ui core winsys)
set(below_media core)
set(below_i18n core)
set(below_x11 "")
set(below_qtwin core winsys ui media i18n x11)
set(below_app core console winsys ui media i18n x11 qtwin)
set(below_cli core console media i18n)
set(below_tests/support core winsys ui media)
set(below_tests/unit core winsys ui media i18n cli support)
set(below_tests/window core winsys ui media i18n x11 qtwin app support)
set(below_tests/system core media support)
set(below_tests/fuzz core media)
set(qt_free core console winsys ui tests/fuzz)

set(faults "")
foreach(layer core console winsys ui media i18n x11 qtwin app cli
        tests/support tests/unit tests/window tests/system tests/fuzz)
    file(GLOB_RECURSE sources ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
    foreach(source ${sources})
        file(STRINGS ${source} includes REGEX "^#include ")
        foreach(line ${includes})
            if(line MATCHES "^#include \"([a-z0-9]+)/")
                if(NOT CMAKE_MATCH_1 IN_LIST below_${layer})
                    list(APPEND faults "${source}: ${line}")
                endif()
            elseif(line MATCHES "^#include <Q" AND layer IN_LIST qt_free)
                list(APPEND faults "${source}: ${line} (no Qt in ${layer}/)")
            endif()
        endforeach()
    endforeach()
endforeach()

if(faults)
    list(JOIN faults "\n" text)
    message(FATAL_ERROR "Includes that point up or sideways:\n${text}")
endif()
