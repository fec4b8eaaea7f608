# The CMake package of the install folder, for hosts that build with CMake:
#
#   find_package(ZymKit REQUIRED)
#   target_link_libraries(MyHost PRIVATE ZymKit::ZymShared ZymKit::ChatInterfaces)
#
# ZymKit::ZymShared     ZymShared.dll, linked by its exports through the import library
# ZymKit::ChatInterfaces the component interfaces (include/ComponentInterfaces)
# ZymKit::ZymChat       ZymChat.dll as a module: loaded by path, never linked;
#                       $<TARGET_FILE:ZymKit::ZymChat> and ZymKit_CHAT_LIBRARY name it
include(CMakePackageConfigHelpers)

# Hosts include "ComponentInterfaces/ChatComponent.h", as ChatHost does.
add_library(ZymChatInterfaces INTERFACE)
target_include_directories(ZymChatInterfaces INTERFACE $<INSTALL_INTERFACE:include>)
set_target_properties(ZymChatInterfaces PROPERTIES EXPORT_NAME ChatInterfaces)
install(TARGETS ZymChatInterfaces EXPORT ZymKitTargets)

set(ZYM_PACKAGE_DIR lib/cmake/ZymKit)
install(EXPORT ZymKitTargets NAMESPACE ZymKit:: DESTINATION ${ZYM_PACKAGE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ZymKitConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/ZymKitConfig.cmake
  INSTALL_DESTINATION ${ZYM_PACKAGE_DIR})
# The version check also refuses a host build of another architecture.
configure_file(${CMAKE_CURRENT_LIST_DIR}/ZymKitConfigVersion.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/ZymKitConfigVersion.cmake @ONLY)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/ZymKitConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/ZymKitConfigVersion.cmake
  DESTINATION ${ZYM_PACKAGE_DIR})
