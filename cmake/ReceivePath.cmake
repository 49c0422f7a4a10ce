# The code that reads the modem's bytes, in two small libraries on Qt Core alone. The program and
# the virtual modem link them; the fuzz build compiles them, with Clang, and nothing else.
#
# brisvane_modemtext: what the program makes of the modem's text (decoding, line ends, caller ID).
add_library(brisvane_modemtext STATIC
    ${PROJECT_SOURCE_DIR}/src/modem/ModemText.cpp ${PROJECT_SOURCE_DIR}/src/modem/ModemText.h)
target_include_directories(brisvane_modemtext PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(brisvane_modemtext PUBLIC Qt6::Core brisvane_warnings)

# brisvane_atparsing: the virtual modem's readers of what the host sends (command lines, their
# commands, dial and tone strings).
set(dir ${PROJECT_SOURCE_DIR}/src/vmodem)
add_library(brisvane_atparsing STATIC
    ${dir}/AtCommand.h
    ${dir}/AtCommandParser.cpp ${dir}/AtCommandParser.h
    ${dir}/AtLineAssembler.cpp ${dir}/AtLineAssembler.h
    ${dir}/DialString.cpp ${dir}/DialString.h
    ${dir}/ToneString.cpp ${dir}/ToneString.h)
target_include_directories(brisvane_atparsing PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(brisvane_atparsing PUBLIC Qt6::Core brisvane_warnings)
unset(dir)
