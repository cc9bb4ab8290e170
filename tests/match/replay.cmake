# Plays a seeded custom game through the real program with the autopilot and the trace on,
# and compares the trace's hash with the one a Release build produced. A Debug build of the
# whole game is too slow for the suite, so instead of comparing builds with each other every
# build type is held to this one value (the project compiles with -ffp-contract=off, so no
# build fuses floating-point operations differently). A deliberate change of the game's
# rules, physics, figure or start-up sequence changes the hash; then it is recomputed here.
# Arguments: VANTORIX (the program), MEDIA (its media folder), EXPECTED (the SHA-256).
execute_process(COMMAND mktemp -d OUTPUT_VARIABLE work OUTPUT_STRIP_TRAILING_WHITESPACE)
file(CREATE_LINK ${MEDIA} ${work}/media SYMBOLIC)
file(WRITE ${work}/script.txt "# no keys: the autopilot plays figure 1, the computer the others\n")
execute_process(
    COMMAND ${VANTORIX} --script script.txt --nodraw --seed 7 --autopilot 5 --trace match.trace
            --custom players=4,ai=12,gravity=2,arena=9 --frames 3000
    WORKING_DIRECTORY ${work}
    RESULT_VARIABLE status)
if(EXISTS ${work}/match.trace)
    file(SHA256 ${work}/match.trace hash)
    file(STRINGS ${work}/match.trace lines)
    list(LENGTH lines count)
endif()
file(REMOVE_RECURSE ${work})
if(NOT status EQUAL 0)
    message(FATAL_ERROR "vantorix ended with ${status}")
endif()
if(NOT hash STREQUAL EXPECTED)
    message(FATAL_ERROR "trace of ${count} lines hashes to ${hash}, expected ${EXPECTED}")
endif()
