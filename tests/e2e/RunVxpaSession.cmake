# Runs the host program against the fixture's HTTP terminal simulator: writes a device profile
# for it (the word PROFILE among the arguments stands for that file) and checks the exit status
# and the output.
# With -DRESET=ON the simulator forgets its transactions before the first request (a fresh period).
#   cmake -DVXPA=... [-DEMULATOR=...] -DSIM_DIR=... -DWORK=dir -DARGS="A;B" -DEXIT=n -DMATCH=regex [-DRESET=ON]
#         -P RunVxpaSession.cmake
file(READ ${SIM_DIR}/http.port port)
string(STRIP "${port}" port)
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/till.profile
"# the simulator's settings
URL = http://127.0.0.1:${port}
POIID = SIM-00000001
KeyIdentifier = SimKey
KeyVersion = 1
Secret = terminal-sim secret
LogId = vxpa
StoreCode = SHOP1
TillCode = TILL1
ReceiptColCount = 32
")
if(RESET)
  # Written aside and renamed into place: the simulator never reads half a file.
  file(WRITE ${SIM_DIR}/http.control.new "[{\"reset\":\"scenarios\"},{\"reset\":\"transactions\"}]")
  file(RENAME ${SIM_DIR}/http.control.new ${SIM_DIR}/http.control)
endif()
list(TRANSFORM ARGS REPLACE "^PROFILE$" "${WORK}/till.profile")
set(command ${VXPA} ${ARGS})
if(EMULATOR)
  set(command ${EMULATOR} ${command})
endif()
execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT "${status}" STREQUAL "${EXIT}")
  message(FATAL_ERROR "exit status ${status}, expected ${EXIT}\nstdout:\n${out}\nstderr:\n${err}")
endif()
if(NOT "${out}${err}" MATCHES "${MATCH}")
  message(FATAL_ERROR "output does not match [${MATCH}]\nstdout:\n${out}\nstderr:\n${err}")
endif()
message("${out}")
