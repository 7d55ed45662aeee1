# cmake -DBUILD_DIR=... -DPREFIX=... -DAPP_ID=... -DBINDIR=... -DDATADIR=... -DMANDIR=... -P CheckInstall.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
    ${BINDIR}/glimmora
    ${BINDIR}/glimmora-convert
    ${MANDIR}/man1/glimmora-convert.1
    ${DATADIR}/applications/${APP_ID}.desktop
    ${DATADIR}/metainfo/${APP_ID}.metainfo.xml)
foreach(size 16 32 48 64 128 256)
    list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()

foreach(path IN LISTS expected)
    if(NOT EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()

# Each icon must be as large as the folder it sits in says: the width and
# height in a PNG's header are the two big-endian words at byte 16.
foreach(size 16 32 48 64 128 256)
    set(icon ${PREFIX}/${DATADIR}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
    file(READ ${icon} header OFFSET 16 LIMIT 8 HEX)
    string(SUBSTRING ${header} 0 8 width_hex)
    string(SUBSTRING ${header} 8 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT width EQUAL size OR NOT height EQUAL size)
        message(FATAL_ERROR "${size}x${size} icon is ${width}x${height}")
    endif()
endforeach()

# The launcher hands the file to the program and offers it for pictures.
file(READ ${PREFIX}/${DATADIR}/applications/${APP_ID}.desktop entry)
foreach(line "Exec=glimmora %f\n" "\nMimeType=" "image/png;" "image/jpeg;" "image/bmp;")
    string(FIND "${entry}" "${line}" at)
    if(at LESS 0)
        message(FATAL_ERROR "the launcher lacks ${line}")
    endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
