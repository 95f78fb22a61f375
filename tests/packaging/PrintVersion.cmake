# cmake -P tests/packaging/PrintVersion.cmake: prints the version the packages
# carry in their names (resources/version.cmake), for the package checks.
include(${CMAKE_CURRENT_LIST_DIR}/../../resources/version.cmake)
execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${TW_VERSION}")
