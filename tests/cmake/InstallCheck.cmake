# SPDX-License-Identifier: GPL-3.0-or-later
# Checks for the installed tree and the Debian package, run by CTest:
#   cmake -DMODE=install -DBUILD_DIR=... -DWORK_DIR=... -DPREFIX=... -DHELP_FILE=... -P InstallCheck.cmake
#   cmake -DMODE=package -DBUILD_DIR=... -DWORK_DIR=... -P InstallCheck.cmake
cmake_minimum_required(VERSION 3.25)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed (${rc}):\n${out}\n${err}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

if(MODE STREQUAL "install")
    run(${CMAKE_COMMAND} -E env DESTDIR=${WORK_DIR} ${CMAKE_COMMAND} --install ${BUILD_DIR})
    set(prefix ${WORK_DIR}${PREFIX})
    set(expected
        ${prefix}/bin/tavik
        ${prefix}/bin/tavik-calc
        ${prefix}/share/man/man1/tavik.1.gz
        ${prefix}/share/man/man1/tavik-calc.1.gz
        ${prefix}/share/doc/tavik/copyright
        ${prefix}/share/doc/tavik/changelog.gz
        ${WORK_DIR}${HELP_FILE}
        ${prefix}/share/applications/org.example.Tavik.desktop
        ${prefix}/share/metainfo/org.example.Tavik.metainfo.xml
        ${prefix}/share/icons/hicolor/16x16/apps/org.example.Tavik.png
        ${prefix}/share/icons/hicolor/32x32/apps/org.example.Tavik.png
        ${prefix}/share/icons/hicolor/48x48/apps/org.example.Tavik.png
        ${prefix}/share/icons/hicolor/64x64/apps/org.example.Tavik.png
        ${prefix}/share/icons/hicolor/128x128/apps/org.example.Tavik.png
        ${prefix}/share/icons/hicolor/scalable/apps/org.example.Tavik.svg)
    foreach(path ${expected})
        if(NOT EXISTS ${path})
            message(FATAL_ERROR "missing from the installed tree: ${path}")
        endif()
    endforeach()
    # Each PNG is as wide as its folder says: the width in its IHDR chunk.
    foreach(icon "16|00000010" "32|00000020" "48|00000030" "64|00000040" "128|00000080")
        string(REPLACE "|" ";" icon ${icon})
        list(GET icon 0 size)
        list(GET icon 1 width)
        file(READ ${prefix}/share/icons/hicolor/${size}x${size}/apps/org.example.Tavik.png png
            HEX LIMIT 24)
        if(NOT png MATCHES "^89504e470d0a1a0a0000000d49484452${width}")
            message(FATAL_ERROR "the ${size}-pixel icon is not a ${size}-pixel PNG: ${png}")
        endif()
    endforeach()
    message(STATUS "installed tree complete under ${prefix}")
elseif(MODE STREQUAL "package")
    run(cpack -G DEB -B ${WORK_DIR} --config ${BUILD_DIR}/CPackConfig.cmake)
    file(GLOB debs ${WORK_DIR}/tavik_*_amd64.deb ${WORK_DIR}/tavik_*.deb)
    if(NOT debs)
        message(FATAL_ERROR "cpack wrote no tavik_*.deb")
    endif()
    list(GET debs 0 deb)
    run(dpkg-deb -f ${deb} Depends)
    foreach(dependency fonts-ipafont-gothic libqt6widgets6 libqt6gui6 libqt6core6)
        if(NOT output MATCHES "${dependency}")
            message(FATAL_ERROR "${deb} does not depend on ${dependency}: ${output}")
        endif()
    endforeach()
    message(STATUS "${deb} depends on: ${output}")
    run(dpkg-deb -f ${deb} Recommends)
    if(NOT output MATCHES "^ffmpeg")
        message(FATAL_ERROR "${deb} does not recommend ffmpeg: ${output}")
    endif()
else()
    message(FATAL_ERROR "MODE must be install or package")
endif()
