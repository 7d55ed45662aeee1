# cmake -DLISTER=... -DIN=... -DOUT=... -P MakeDesktopEntry.cmake
# Writes the launcher from its template, with the picture types the image
# readers of this build take as its MimeType list.
execute_process(COMMAND ${LISTER} OUTPUT_VARIABLE PICTURE_MIME_TYPES RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR PICTURE_MIME_TYPES STREQUAL "")
    message(FATAL_ERROR "could not list the picture types: ${result}")
endif()
configure_file(${IN} ${OUT} @ONLY)
