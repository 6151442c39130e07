# qmz.exe as a user copies it: one small file that needs nothing Windows does not ship. Fails when
# it outgrows 150 KB, imports a DLL outside Windows' own, lacks a sharp icon in a size that
# Explorer's views ask for, or runs with other rights than its starter's. Run with
# -DPROGRAM=<qmz.exe> -DOBJDUMP=<the toolchain's objdump> -DOUT=<scratch folder>; icoutils' wrestool and
# icotool read the resources.
cmake_minimum_required(VERSION 3.25)
set(largest 153600)
set(windows_dlls advapi32 comctl32 gdi32 kernel32 msvcrt ole32 oleacc oleaut32 shell32 user32)

file(SIZE "${PROGRAM}" size)
if(size GREATER largest)
    message(FATAL_ERROR "qmz.exe has ${size} bytes, more than ${largest}")
endif()
execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}" OUTPUT_VARIABLE headers COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${headers}")
string(TOLOWER "${imports}" imports)
list(TRANSFORM imports REPLACE "^dll name: (.+)\\.dll$" "\\1")
set(foreign ${imports})
list(REMOVE_ITEM foreign ${windows_dlls})
if(NOT imports OR foreign)
    message(FATAL_ERROR "qmz.exe imports ${foreign}, which Windows does not ship (or none at all: objdump's output has changed)")
endif()

# The icons as Explorer reads them, each sharp: a smoothed scale adds colours to the drawings' 9.
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
execute_process(COMMAND wrestool -x -t 14 -o "${OUT}/qmz.ico" "${PROGRAM}" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND icotool -x -o "${OUT}" "${OUT}/qmz.ico" COMMAND_ERROR_IS_FATAL ANY)
file(GLOB images "${OUT}/*.png")
execute_process(COMMAND identify -format "%w %h %k, " ${images} OUTPUT_VARIABLE icons COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND wrestool -x --raw -t 24 "${PROGRAM}" OUTPUT_VARIABLE manifest COMMAND_ERROR_IS_FATAL ANY)
if(NOT icons STREQUAL "16 16 9, 32 32 9, 48 48 9, 256 256 9, " OR NOT manifest MATCHES "<requestedExecutionLevel level=\"asInvoker\"")
    message(FATAL_ERROR "qmz.exe's icons (width, height, colours: ${icons}) are not 16, 32, 48 and 256 pixels and sharp, or its \
manifest asks for no asInvoker level:\n${manifest}")
endif()
