# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a text of the sources has no finished translation: lupdate
# updates a copy of each .ts from the same sources as the build, and any
# message it leaves unfinished (new, changed, or never translated) is named.
#   cmake -DLUPDATE=... -DSOURCES_LIST=... -DWORK_DIR=... -DTS_FILES=a.ts;b.ts -P TranslationCheck.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(faults "")
foreach(ts IN LISTS TS_FILES)
    get_filename_component(name ${ts} NAME)
    file(COPY_FILE ${ts} ${WORK_DIR}/${name})
    execute_process(
        COMMAND ${LUPDATE} -silent -locations none -no-obsolete @${SOURCES_LIST}
                -ts ${WORK_DIR}/${name}
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "lupdate failed on ${name}")
    endif()
    file(READ ${WORK_DIR}/${name} text)
    string(REGEX MATCHALL "<source>[^<]*</source>[^/]*<translation type=\"unfinished\""
           unfinished "${text}")
    foreach(message IN LISTS unfinished)
        string(REGEX REPLACE "<source>([^<]*)</source>.*" "\\1" source "${message}")
        list(APPEND faults "${name}: ${source}")
    endforeach()
endforeach()

if(faults)
    list(JOIN faults "\n" list)
    message(FATAL_ERROR "Texts without a finished translation (cmake --build build "
                        "--target update_translations, then translate them):\n${list}")
endif()
