# What the tests against the terminal simulators need beyond the module's loader (included by
# this folder's CMakeLists.txt).

# The fault tests stand up loopback listeners of their own (a full accept queue, a terminal that
# closes in the middle of its answer) with the port layer's sockets.
if(WIN32)
  set(vx_e2e_socket ${CMAKE_SOURCE_DIR}/src/platform/win32/TcpSocket.cpp)
else()
  set(vx_e2e_socket ${CMAKE_SOURCE_DIR}/src/platform/posix/TcpSocket.cpp)
endif()
target_sources(test_e2e PRIVATE ${vx_e2e_socket} ${CMAKE_SOURCE_DIR}/src/platform/TcpBufferedClient.cpp ${CMAKE_SOURCE_DIR}/src/platform/Error.cpp
                                ${CMAKE_SOURCE_DIR}/src/platform/Utf8.cpp)

# The host program's friendly commands, run as a person runs them against the HTTP simulator.
if(TARGET vxpa AND VX_E2E_SIM_DIR)
  set(emulator "")
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(emulator ${CMAKE_CROSSCOMPILING_EMULATOR})
  endif()
  # RESET among the arguments: the terminal forgets its transactions first (a fresh period).
  function(vxpa_sim_test name exit match)
    cmake_parse_arguments(T "RESET" "" "" ${ARGN})
    add_test(NAME vxpa_${name}
             COMMAND ${CMAKE_COMMAND} -DVXPA=$<TARGET_FILE:vxpa> "-DEMULATOR=${emulator}" -DSIM_DIR=${VX_E2E_SIM_DIR}
                     -DWORK=${CMAKE_BINARY_DIR}/vxpa_${name} "-DARGS=${T_UNPARSED_ARGUMENTS}" -DEXIT=${exit}
                     "-DMATCH=${match}" -DRESET=${T_RESET}
                     -P ${CMAKE_CURRENT_SOURCE_DIR}/RunVxpaSession.cmake
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(vxpa_${name} PROPERTIES ${VX_TEST_PROPERTIES_e2e} TIMEOUT 300)
  endfunction()
  set(data ${CMAKE_CURRENT_SOURCE_DIR}/data)
  # A till's day in one session: each outcome in plain words, the receipts framed.
  vxpa_sim_test(session_day 0
    "Terminal SIM-00000001 at http://127\\.0\\.0\\.1:[0-9]+ is ready \\(device handle [0-9]+\\)\\.\n.*Sale of 12\\.50 EUR approved — Mastercard \\*\\*\\*\\*9999, auth [0-9]+\n.*\\.- customer receipt -+\\.\n.*\\| +[^\n]*12\\.50 \\|\n.*Refund of 12\\.50 EUR approved.*Sale of 7\\.90 EUR approved.*Void of 7\\.90 EUR approved.*Sale of 20\\.51 EUR declined — Refusal - Not enough balance\n.*Sale of 6\\.00 EUR approved — Mastercard \\*\\*\\*\\*9999, auth [0-9]+, tip 1\\.00 EUR\n.*Device [0-9]+ closed\\."
    session ${data}/day.session --profile PROFILE)
  # The demonstration's shop day (scripts/shop-day.session) from a fresh period: the decline, the
  # verification and reprint of the last sale, the refund, then the totals and the day close with
  # their sums and reports.
  vxpa_sim_test(shop_day 0
    "Sale of 12\\.50 EUR approved — Mastercard.*Sale of 20\\.51 EUR declined — Refusal - Not enough balance\n.*Sale of 7\\.61 EUR approved — Visa \\*\\*\\*\\*0010.*The last transaction: 7\\.61 EUR approved — Visa \\*\\*\\*\\*0010.*Receipts of the last transaction, printed again:\n +\\.- customer receipt \\(copy\\).*cashier receipt \\(copy\\).*Refund of 2\\.00 EUR approved.*Totals so far: 3 transactions, 18\\.11 EUR\n +\\.- totals report -+\\.\n +\\| +EFT TOTAL REPORT +\\|.*\\| Total Transactions Amount +EUR 18\\.11 \\|.*Day closed \\(closure 1\\): 3 transactions, 18\\.11 EUR\n +\\.- day close report -+\\.\n +\\| +EFT RECONCILIATION REPORT +\\|.*Device [0-9]+ closed\\."
    RESET session ${CMAKE_SOURCE_DIR}/scripts/shop-day.session --profile PROFILE)
  # One command in a process of its own opens its device implicitly.
  vxpa_sim_test(pay_single 0 "Sale of 3\\.30 EUR approved — Mastercard \\*\\*\\*\\*9999"
    pay --amount 3.30 --currency EUR --profile PROFILE)
  vxpa_sim_test(pay_bad_amount 2 "vxpa: --amount needs an amount such as 12\\.50, not \"12,50\""
    pay --amount 12,50 --profile PROFILE)
  vxpa_sim_test(pay_no_profile 2 "cannot read the device profile" pay --amount 1 --profile ${data}/no-such.profile)
  vxpa_sim_test(refund_without_sale 2 "Refund needs --payment-id and --payment-time"
    refund --amount 1 --profile PROFILE)
endif()
