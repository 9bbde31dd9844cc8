# Installs BUILD_DIR into PREFIX and checks what lands there.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${status}):\n${out}")
endif()

# Exactly these files: the program finds showttl.dat beside itself, and nothing from
# the tests or GoogleTest may come along.
set(expected
    bin/rigsmith
    bin/rigsmith-cli
    bin/showttl.dat
    share/applications/rigsmith.desktop
    share/icons/hicolor/scalable/apps/rigsmith.svg
    share/mime/packages/rigsmith.xml
)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
    message(FATAL_ERROR "installed files:\n  ${installed}\nexpected:\n  ${expected}")
endif()

# The desktop entry must start the installed program by name, with the installed icon
# and the file types the MIME package declares.
file(READ "${PREFIX}/share/applications/rigsmith.desktop" entry)
file(READ "${PREFIX}/share/mime/packages/rigsmith.xml" mime)
foreach(line "Exec=rigsmith\n" "Icon=rigsmith\n" "Name=Rigsmith\n")
    string(FIND "${entry}" "\n${line}" at)
    if(at LESS 0)
        message(FATAL_ERROR "desktop entry lacks the line ${line}")
    endif()
endforeach()
string(REGEX MATCH "\nMimeType=([^\n]*)" _ "${entry}")
set(types "${CMAKE_MATCH_1}")
foreach(pair "application/x-rigsmith-lamp|*.lmp" "application/x-rigsmith-patch|*.pat")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 type)
    list(GET pair 1 glob)
    string(FIND "${types}" "${type};" in_entry)
    string(FIND "${mime}" "<mime-type type=\"${type}\">" in_mime)
    string(FIND "${mime}" "<glob pattern=\"${glob}\"/>" has_glob)
    if(in_entry LESS 0 OR in_mime LESS 0 OR has_glob LESS 0)
        message(FATAL_ERROR "${type} (${glob}) is not declared in both the desktop entry and the MIME package")
    endif()
endforeach()

# The installed command line runs from its new place.
execute_process(COMMAND "${PREFIX}/bin/rigsmith-cli" --version
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${out}" "${VERSION}" at)
if(NOT status EQUAL 0 OR at LESS 0)
    message(FATAL_ERROR "installed rigsmith-cli --version gave ${status}: ${out}${err}")
endif()
