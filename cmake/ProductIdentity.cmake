# The product's identity: company, product, version and the registry and
# folder names built from them. Every module that names one of them includes
# the header made here, so a rename or a new version is one edit.
set(ZYM_COMPANY_NAME "Quillmarsh")
set(ZYM_PRODUCT_NAME "Skelvane Client")
# The product's registry key below the company key.
set(ZYM_PRODUCT_KEY_NAME "SkelvaneClient")
# The folder chosen when no install folder is recorded. Installs made so far
# carry this spelling, so it stays apart from the company's registry name.
set(ZYM_INSTALL_FOLDER_NAME "QuillMarsh")
set(ZYM_COPYRIGHT_YEAR 2026)

set(ZYM_IDENTITY_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/ProductIdentity.h.in
  ${ZYM_IDENTITY_DIR}/ProductIdentity.h @ONLY)

add_library(ZymProductIdentity INTERFACE)
target_include_directories(ZymProductIdentity INTERFACE
  $<BUILD_INTERFACE:${ZYM_IDENTITY_DIR}>)
