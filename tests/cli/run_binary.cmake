# Runs the installed-style executable as a user would, with no display: the version,
# a failing read (status 2, one line), an export that must find showttl.dat beside
# the executable, and a patch sheet as PDF.
function(expect_run expected_status)
    execute_process(COMMAND ${CLI} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status STREQUAL "${expected_status}")
        message(FATAL_ERROR "rigsmith-cli ${ARGN}: status ${status}, expected ${expected_status}\n${out}\n${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
    set(err "${err}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

expect_run(0 --version)
if(NOT out STREQUAL "1.0.19\n")
    message(FATAL_ERROR "unexpected version output: '${out}'")
endif()

expect_run(2 verify ${WORK}/missing.lmp)
if(NOT err STREQUAL "rigsmith-cli: ${WORK}/missing.lmp: File not found\n")
    message(FATAL_ERROR "unexpected error output: '${err}'")
endif()

# A short file is a lamp file whose missing bytes read as zero.
file(WRITE ${WORK}/short.lmp "x")
expect_run(0 export -o ${WORK}/lamp.dat ${WORK}/short.lmp)
file(SIZE ${WORK}/lamp.dat size)
if(NOT size EQUAL 30720)
    message(FATAL_ERROR "lamp.dat is ${size} bytes")
endif()
get_filename_component(cli_dir ${CLI} DIRECTORY)
file(SHA256 ${cli_dir}/showttl.dat shipped)
file(SHA256 ${WORK}/showttl.dat copied)
if(NOT shipped STREQUAL copied)
    message(FATAL_ERROR "showttl.dat beside lamp.dat differs from the one beside the executable")
endif()

# A PDF is painted on the offscreen platform whatever platform is asked for, and the
# other commands start no Gui at all: with a platform that does not exist, both work.
set(ENV{QT_QPA_PLATFORM} "no-such-platform")
expect_run(0 patch-sheet ${WORK}/short.lmp --pdf ${WORK}/sheet.pdf)
file(READ ${WORK}/sheet.pdf head LIMIT 5 HEX)
if(NOT head STREQUAL "255044462d")  # "%PDF-"
    message(FATAL_ERROR "patch-sheet --pdf wrote no PDF")
endif()
expect_run(0 patch-sheet ${WORK}/short.lmp)
if(NOT out STREQUAL "(no lamps placed)\n")
    message(FATAL_ERROR "unexpected patch-sheet output: '${out}'")
endif()
