# Runs the build-time check of one portal host:
#   cmake -DHOST=<host> -P CheckHost.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../../src/browser/WebHosts.cmake)
set(VELLMAR_PORTAL_HOST "${HOST}")
vellmar_check_host(VELLMAR_PORTAL_HOST)
