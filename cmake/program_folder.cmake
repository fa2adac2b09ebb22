# Lays out the program folder beside the built binaries. Existing tables, tunes and settings
# are kept: only what is missing is made.
file(MAKE_DIRECTORY "${DIR}/Data" "${DIR}/Music" "${DIR}/随机音乐")
if(NOT EXISTS "${FONT}")
    message(FATAL_ERROR "Clock font not found: ${FONT} (install fonts-dseg)")
endif()
file(COPY_FILE "${FONT}" "${DIR}/digital.ttf" ONLY_IF_DIFFERENT)
# The icon belongs to the program: always the built one. (The program writes its help page
# into help/ at each start, naming the folder it uses.)
file(COPY_FILE "${ASSETS}/tollvane.svg" "${DIR}/tollvane.svg" ONLY_IF_DIFFERENT)
if(NOT EXISTS "${DIR}/sys.mp3")
    file(COPY_FILE "${TUNE}" "${DIR}/sys.mp3")
endif()
foreach(table temp.dat xiaqing.dat xiayu.dat dongqing.dat dongyu.dat)
    if(NOT EXISTS "${DIR}/Data/${table}")
        execute_process(COMMAND "${TABLE_TOOL}" create "${DIR}/Data/${table}"
                        RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR "Could not make ${DIR}/Data/${table}")
        endif()
    endif()
endforeach()
