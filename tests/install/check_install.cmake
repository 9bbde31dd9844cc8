# Installs BUILD_DIR into PREFIX and checks what lands there.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${status}):\n${out}")
endif()

# Exactly these files: nothing from the tests or GoogleTest may come along, and no data
# file in bin/ (Debian keeps programs and data apart).
set(expected
    bin/rigsmith
    bin/rigsmith-cli
    share/applications/rigsmith.desktop
    share/doc/rigsmith/changelog.gz
    share/doc/rigsmith/copyright
    share/icons/hicolor/scalable/apps/rigsmith.svg
    share/man/man1/rigsmith-cli.1.gz
    share/man/man1/rigsmith.1.gz
    share/mime/packages/rigsmith.xml
    share/rigsmith/showttl.dat
)
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
    message(FATAL_ERROR "installed files:\n  ${installed}\nexpected:\n  ${expected}")
endif()

function(gunzip path result)
    execute_process(COMMAND gzip -dc "${PREFIX}/${path}" RESULT_VARIABLE status OUTPUT_VARIABLE text ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${path} is not gzip data: ${err}")
    endif()
    set(${result} "${text}" PARENT_SCOPE)
endfunction()

# The Debian documents: a machine-readable copyright file, and a changelog whose newest
# entry is this version (a version raised without an entry fails here).
file(READ "${PREFIX}/share/doc/rigsmith/copyright" copyright)
foreach(field "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n" "\nFiles: *\n"
              "\nCopyright: " "\nLicense: ")
    string(FIND "${copyright}" "${field}" at)
    if(at LESS 0)
        message(FATAL_ERROR "copyright file lacks '${field}'")
    endif()
endforeach()
gunzip(share/doc/rigsmith/changelog.gz changelog)
if(NOT changelog MATCHES "^rigsmith \\(([^)]+)\\) [a-z]+; urgency=[a-z]+\n")
    message(FATAL_ERROR "changelog does not start with a Debian entry line:\n${changelog}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    message(FATAL_ERROR "the changelog's newest entry is ${CMAKE_MATCH_1}, the project is ${VERSION}")
endif()
if(NOT changelog MATCHES "\n -- [^<\n]+ <[^>\n]+>  [A-Z][a-z][a-z], [0-9][0-9] [A-Z][a-z][a-z] [0-9]+ [0-9:]+ [+-][0-9]+\n")
    message(FATAL_ERROR "changelog entry lacks its maintainer and date line")
endif()

# Manual pages in section 1; the command line's page names every command its --help lists.
gunzip(share/man/man1/rigsmith.1.gz page)
if(NOT page MATCHES "^\\.TH RIGSMITH 1 [^\n]*${VERSION}")
    message(FATAL_ERROR "rigsmith.1 has no section 1 title line with the version")
endif()
gunzip(share/man/man1/rigsmith-cli.1.gz cli_page)
if(NOT cli_page MATCHES "^\\.TH RIGSMITH\\\\-CLI 1 [^\n]*${VERSION}")
    message(FATAL_ERROR "rigsmith-cli.1 has no section 1 title line with the version")
endif()
execute_process(COMMAND "${PREFIX}/bin/rigsmith-cli" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
string(REGEX MATCHALL "\n  [a-z][a-z-]+ " commands "${help}")
list(REMOVE_DUPLICATES commands)
if(NOT status EQUAL 0 OR NOT commands)
    message(FATAL_ERROR "rigsmith-cli --help lists no commands (${status}):\n${help}")
endif()
string(REPLACE "\\-" "-" cli_page_text "${cli_page}")
foreach(command ${commands})
    string(STRIP "${command}" command)
    string(FIND "${cli_page_text}" ".BI \"${command} " at)
    if(at LESS 0)
        message(FATAL_ERROR "rigsmith-cli.1 does not describe the command '${command}'")
    endif()
endforeach()
# ... and every option it lists; the program's page describes File > Import Fixture.
string(REGEX MATCHALL "--[a-z][a-z-]+" options "${help}")
list(REMOVE_DUPLICATES options)
foreach(option ${options})
    string(FIND "${cli_page_text}" "${option}" at)
    if(at LESS 0)
        message(FATAL_ERROR "rigsmith-cli.1 does not describe the option '${option}'")
    endif()
endforeach()
string(FIND "${page}" "File > Import Fixture" at)
if(at LESS 0)
    message(FATAL_ERROR "rigsmith.1 does not describe File > Import Fixture")
endif()

# The data file is the one the build was given.
file(SHA256 "${SHOWTTL}" shipped)
file(SHA256 "${PREFIX}/share/rigsmith/showttl.dat" installed_data)
if(NOT shipped STREQUAL installed_data)
    message(FATAL_ERROR "share/rigsmith/showttl.dat differs from ${SHOWTTL}")
endif()

# The desktop entry must start the installed program by name, handing it the files
# the user opened (%F), with the installed icon and the file types the MIME package
# declares.
file(READ "${PREFIX}/share/applications/rigsmith.desktop" entry)
file(READ "${PREFIX}/share/mime/packages/rigsmith.xml" mime)
foreach(line "Exec=rigsmith %F\n" "Icon=rigsmith\n" "Name=Rigsmith\n")
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

# The installed command line runs from its new place, and its export finds the data
# file in the installed data folder, though that is not where the build configured it.
execute_process(COMMAND "${PREFIX}/bin/rigsmith-cli" --version
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${out}" "${VERSION}" at)
if(NOT status EQUAL 0 OR at LESS 0)
    message(FATAL_ERROR "installed rigsmith-cli --version gave ${status}: ${out}${err}")
endif()
set(work "${PREFIX}/../export")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")
file(WRITE "${work}/short.lmp" "x")
execute_process(COMMAND "${PREFIX}/bin/rigsmith-cli" export -o "${work}/lamp.dat" "${work}/short.lmp"
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT EXISTS "${work}/showttl.dat")
    message(FATAL_ERROR "installed rigsmith-cli export gave ${status}: ${out}${err}")
endif()
file(SHA256 "${work}/showttl.dat" copied)
if(NOT copied STREQUAL shipped)
    message(FATAL_ERROR "the export copied a showttl.dat other than the installed one")
endif()
