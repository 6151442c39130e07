# Runs the configure step's host check on HOST, as `cmake -DHOST=... -P check_host.cmake`.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/../../cmake)
include(HostNameCheck)
qmz_check_host(QMZ_SITE_HOST "${HOST}")
message(STATUS "host accepted: ${HOST}")
